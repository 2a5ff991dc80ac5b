#include "app/entry_order_rules.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <thread>

#include "platform/utf8.h"

namespace app {

namespace {

constexpr std::pair<SortField, std::string_view> kFieldNames[] = {
    {SortField::kName, "name"},
    {SortField::kExtension, "extension"},
    {SortField::kSize, "size"},
    {SortField::kTime, "time"},
};
constexpr std::string_view kDescending = " descending";
// Lists from this length on are sorted on two threads.
constexpr std::size_t kSortInHalves = 20'000;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The lower-case partner of an upper-case letter of the scripts names mostly use; every other
// code point stays as it is.
char32_t FoldCase(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x130) return 'i';
    if (c == 0x178) return 0xFF;
    const bool even_upper = c <= 0x12F || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool odd_upper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (even_upper && c % 2 == 0) return c + 1;
    if (odd_upper && c % 2 == 1) return c + 1;
    return c;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
  if (c == 0x3C2) return 0x3C3;  // final sigma
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

// Appends the locale's collation key of a run of letters, ended by a byte below any letter.
void AppendCollated(std::string& key, const std::string& run) {
  if (run.empty()) return;
  const std::size_t length = std::strxfrm(nullptr, run.c_str(), 0);
  std::string transformed(length + 1, '\0');
  std::strxfrm(transformed.data(), run.c_str(), length + 1);
  transformed.resize(length);
  key += transformed;
  key += '\x01';
}

// The last part of a list text: the name of a file, a directory ("sub/") or a found file's path.
std::string_view NameOf(std::string_view entry) {
  if (!entry.empty() && entry.back() == '/') entry.remove_suffix(1);
  const std::size_t delim = entry.rfind('/');
  return delim == std::string_view::npos ? entry : entry.substr(delim + 1);
}

// The extension: what follows the last dot, unless the dot begins the name.
std::string_view ExtensionOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot + 1);
}

}  // namespace

SortOrder ParseSortOrder(std::string_view text) {
  SortOrder order;
  if (text.size() >= kDescending.size() &&
      text.substr(text.size() - kDescending.size()) == kDescending) {
    order.descending = true;
    text.remove_suffix(kDescending.size());
  }
  for (const auto& [field, name] : kFieldNames) {
    if (text == name) {
      order.field = field;
      return order;
    }
  }
  return {};
}

std::string FormatSortOrder(SortOrder order) {
  std::string text;
  for (const auto& [field, name] : kFieldNames) {
    if (field == order.field) text = name;
  }
  if (order.descending) text += kDescending;
  return text;
}

bool LocaleCollates() {
  const char* name = std::setlocale(LC_COLLATE, nullptr);
  if (name == nullptr) return false;
  const std::string_view locale(name);
  return !(locale == "C" || locale == "POSIX" || locale.starts_with("C."));
}

// Appends the key of `name` to `key`; see NameKey.
void AppendNameKey(std::string& key, std::string_view name, bool collate) {
  std::string run;  // letters waiting for the collation, with `collate`
  std::string& letters = collate ? run : key;
  std::size_t i = 0;
  while (i < name.size()) {
    const char byte = name[i];
    if (IsDigit(byte)) {
      std::size_t end = i;
      while (end < name.size() && IsDigit(name[end])) ++end;
      // Leading zeros do not count; the value is its digits behind their count, so a longer
      // number sorts after a shorter one. The run stands where a "0" would.
      while (i + 1 < end && name[i] == '0') ++i;
      if (collate) {
        AppendCollated(key, run);
        run.clear();
      }
      key += '0';
      key += static_cast<char>(end - i);
      key.append(name.substr(i, end - i));
      i = end;
      continue;
    }
    if (static_cast<unsigned char>(byte) < 0x80) {  // the usual case, without decoding
      letters += static_cast<char>(FoldCase(static_cast<unsigned char>(byte)));
      ++i;
      continue;
    }
    char32_t c = 0;
    const std::size_t length = platform::DecodeUtf8(name.substr(i), c);
    if (length == 0) {
      letters += name[i++];  // not UTF-8: the byte as it is
      continue;
    }
    platform::AppendUtf8(letters, FoldCase(c));
    i += length;
  }
  if (collate) AppendCollated(key, run);
}

std::string NameKey(std::string_view name, bool collate) {
  std::string key;
  key.reserve(2 * name.size() + 2);
  AppendNameKey(key, name, collate);
  return key;
}

int CompareNames(std::string_view a, std::string_view b) {
  const EntryOrder order({}, false);
  const EntryOrder::Key ka = order.MakeKey(a), kb = order.MakeKey(b);
  return order.Less(ka, kb) ? -1 : order.Less(kb, ka) ? 1 : 0;
}

void EntryOrder::AppendKey(std::string_view entry, EntryFacts facts, int& group,
                           std::int64_t& number, std::string& text) const {
  group = entry == "../" ? 0 : !entry.empty() && entry.back() == '/' ? 1 : 2;
  number = 0;
  const std::string_view name = NameOf(entry);
  if (order_.field == SortField::kExtension && group == 2) {
    AppendNameKey(text, ExtensionOf(name), collate_);
    text += '\0';
  } else if (order_.field == SortField::kSize && group == 2) {
    number = facts.size;
  } else if (order_.field == SortField::kTime) {
    number = facts.mtime;
  }
  AppendNameKey(text, name, collate_);
  // Names that fold to one key keep an order of their own, by their bytes.
  text += '\0';
  text.append(name);
}

EntryOrder::Key EntryOrder::MakeKey(std::string_view entry, EntryFacts facts) const {
  Key key;
  // One allocation for the key and the bytes behind it, enough for names without collation.
  key.text.reserve(3 * entry.size() + 4);
  AppendKey(entry, facts, key.group, key.number, key.text);
  return key;
}

bool EntryOrder::Less(const Key& a, const Key& b) const {
  if (a.group != b.group) return a.group < b.group;
  int c = (a.number > b.number) - (a.number < b.number);
  if (c == 0) c = a.text.compare(b.text);
  return order_.descending ? c > 0 : c < 0;
}

namespace {

// The first eight bytes of a key as one number, so that most comparisons of a sort need no
// memory beyond the item; bytes missing from a short key count as zero, which orders a key
// before every longer key it begins.
std::uint64_t KeyPrefix(std::string_view text) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    prefix <<= 8;
    if (i < text.size()) prefix |= static_cast<unsigned char>(text[i]);
  }
  return prefix;
}

// The first piece's size; pieces grow with the list, so that a long list is merged a few dozen
// times at most.
constexpr std::size_t kFirstPiece = 16'384;

}  // namespace

// An entry of a piece: its key (in the piece's buffer, which stays put once the piece is
// keyed), the key's first bytes, and where the entry is.
struct PieceSorter::Item {
  std::uint64_t prefix;
  std::int64_t number;
  const char* key;
  std::uint32_t length;
  std::uint32_t piece;
  std::uint32_t index;
  std::uint8_t group;
};

// The keys of one piece lie one after another in one buffer, so that a long list costs no
// allocation per entry.
struct PieceSorter::Piece {
  std::vector<std::string> entries;
  std::vector<EntryFacts> facts;
  std::string keys;
};

PieceSorter::PieceSorter(const EntryOrder& order) : order_(order) {}

PieceSorter::~PieceSorter() {
  if (last_.joinable()) last_.join();
}

std::size_t PieceSorter::NextPieceSize() const {
  return std::max(kFirstPiece, added_ / 4);
}

bool PieceSorter::Before(const Item& a, const Item& b) const {
  if (a.group != b.group) return a.group < b.group;
  int c = (a.number > b.number) - (a.number < b.number);
  if (c == 0) c = (a.prefix > b.prefix) - (a.prefix < b.prefix);
  if (c == 0) c = std::string_view(a.key, a.length).compare(std::string_view(b.key, b.length));
  return order_.order_.descending ? c > 0 : c < 0;
}

std::vector<PieceSorter::Item> PieceSorter::SortPiece(Piece& piece, std::uint32_t id) const {
  const std::size_t count = piece.entries.size();
  const bool with_facts = piece.facts.size() == count;
  // Room for the usual keys at once: the items point into the buffer, and a buffer that grew
  // by steps would leave its smaller predecessors with the allocator after the sort.
  std::size_t room = 0;
  for (const std::string& entry : piece.entries) room += 3 * entry.size() + 4;
  piece.keys.reserve(room);
  std::vector<std::pair<std::size_t, std::size_t>> spans;  // each key's offset and length
  spans.reserve(count);
  std::vector<Item> items;
  items.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t offset = piece.keys.size();
    int group = 0;
    std::int64_t number = 0;
    order_.AppendKey(piece.entries[i], with_facts ? piece.facts[i] : EntryFacts{}, group, number,
                     piece.keys);
    const std::string_view text = std::string_view(piece.keys).substr(offset);
    items.push_back({KeyPrefix(text), number, nullptr, static_cast<std::uint32_t>(text.size()), id,
                     static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(group)});
    spans.emplace_back(offset, text.size());
  }
  // A key longer than the room reserved may have moved the buffer: the pointers are set once
  // every key is in it.
  for (std::size_t i = 0; i < count; ++i) items[i].key = piece.keys.data() + spans[i].first;
  // Equal keys are equal names of one group, which no order tells apart.
  std::sort(items.begin(), items.end(),
            [this](const Item& a, const Item& b) { return Before(a, b); });
  return items;
}

void PieceSorter::MergeIntoRun(std::vector<Item> items) {
  if (run_.empty()) {
    run_ = std::move(items);
    return;
  }
  // Of equal keys the run's, added earlier, comes first.
  std::vector<Item> merged(run_.size() + items.size());
  std::merge(run_.begin(), run_.end(), items.begin(), items.end(), merged.begin(),
             [this](const Item& a, const Item& b) { return Before(a, b); });
  run_ = std::move(merged);
}

void PieceSorter::Add(std::vector<std::string> entries, std::vector<EntryFacts> facts) {
  if (entries.empty()) return;
  added_ += entries.size();
  pieces_.push_back(std::make_unique<Piece>(Piece{std::move(entries), std::move(facts), {}}));
  Piece* piece = pieces_.back().get();
  const auto id = static_cast<std::uint32_t>(pieces_.size() - 1);
  // Each piece is sorted at once and merged into the run when the piece before it is.
  last_ = std::thread([this, piece, id, before = std::move(last_)]() mutable {
    std::vector<Item> items = SortPiece(*piece, id);
    if (before.joinable()) before.join();
    MergeIntoRun(std::move(items));
  });
}

std::vector<std::string> PieceSorter::Finish(std::vector<std::string> entries,
                                             std::vector<EntryFacts> facts) {
  std::vector<Item> last;
  if (!entries.empty()) {
    pieces_.push_back(std::make_unique<Piece>(Piece{std::move(entries), std::move(facts), {}}));
    last = SortPiece(*pieces_.back(), static_cast<std::uint32_t>(pieces_.size() - 1));
  }
  if (last_.joinable()) last_.join();
  MergeIntoRun(std::move(last));
  std::vector<std::string> sorted;
  sorted.reserve(run_.size());
  for (const Item& item : run_) {
    sorted.push_back(std::move(pieces_[item.piece]->entries[item.index]));
  }
  run_ = {};
  pieces_.clear();
  added_ = 0;
  return sorted;
}

void EntryOrder::Sort(std::vector<std::string>& entries,
                      const std::vector<EntryFacts>* facts) const {
  PieceSorter sorter(*this);
  std::vector<EntryFacts> all_facts = facts != nullptr ? *facts : std::vector<EntryFacts>{};
  // A long list is sorted in two halves at once, then merged.
  if (entries.size() >= kSortInHalves) {
    const auto half = static_cast<std::ptrdiff_t>(entries.size() / 2);
    std::vector<std::string> first(std::make_move_iterator(entries.begin()),
                                   std::make_move_iterator(entries.begin() + half));
    std::vector<EntryFacts> first_facts;
    if (!all_facts.empty()) {
      first_facts.assign(all_facts.begin(), all_facts.begin() + half);
      all_facts.erase(all_facts.begin(), all_facts.begin() + half);
    }
    entries.erase(entries.begin(), entries.begin() + half);
    sorter.Add(std::move(first), std::move(first_facts));
  }
  entries = sorter.Finish(std::move(entries), std::move(all_facts));
}

}  // namespace app
