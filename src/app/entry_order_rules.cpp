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

}  // namespace

void EntryOrder::Sort(std::vector<std::string>& entries,
                      const std::vector<EntryFacts>* facts) const {
  // The keys of one part of the list lie one after another in one buffer, so that a long list
  // costs no allocation per entry.
  struct Item {
    std::uint64_t prefix;
    std::int64_t number;
    std::size_t offset;
    std::uint32_t length;
    std::uint32_t index;
    std::uint8_t group;
  };
  struct Part {
    std::string keys;
    std::vector<Item> items;
  };
  const auto less = [this](const Part& part_a, const Item& a, const Part& part_b, const Item& b) {
    if (a.group != b.group) return a.group < b.group;
    int c = (a.number > b.number) - (a.number < b.number);
    if (c == 0) c = (a.prefix > b.prefix) - (a.prefix < b.prefix);
    if (c == 0) {
      c = std::string_view(part_a.keys)
              .substr(a.offset, a.length)
              .compare(std::string_view(part_b.keys).substr(b.offset, b.length));
    }
    return order_.descending ? c > 0 : c < 0;
  };
  const auto sort_part = [&](Part& part, std::size_t begin, std::size_t end) {
    part.items.reserve(end - begin);
    // Room for the usual keys at once: a buffer that grew by steps would leave its smaller
    // predecessors with the allocator after the sort.
    std::size_t room = 0;
    for (std::size_t i = begin; i < end; ++i) room += 3 * entries[i].size() + 4;
    part.keys.reserve(room);
    for (std::size_t i = begin; i < end; ++i) {
      const std::size_t offset = part.keys.size();
      int group = 0;
      std::int64_t number = 0;
      AppendKey(entries[i], facts != nullptr ? (*facts)[i] : EntryFacts{}, group, number,
                part.keys);
      const std::string_view text = std::string_view(part.keys).substr(offset);
      part.items.push_back({KeyPrefix(text), number, offset,
                            static_cast<std::uint32_t>(text.size()), static_cast<std::uint32_t>(i),
                            static_cast<std::uint8_t>(group)});
    }
    std::sort(part.items.begin(), part.items.end(),
              [&](const Item& a, const Item& b) { return less(part, a, part, b); });
  };
  // A long list is sorted in two halves at once, then merged.
  Part first, second;
  const std::size_t half = entries.size() >= kSortInHalves ? entries.size() / 2 : 0;
  if (half > 0) {
    std::thread first_half(sort_part, std::ref(first), 0, half);
    sort_part(second, half, entries.size());
    first_half.join();
  } else {
    sort_part(second, 0, entries.size());
  }
  std::vector<std::string> sorted;
  sorted.reserve(entries.size());
  auto a = first.items.begin(), b = second.items.begin();
  while (a != first.items.end() || b != second.items.end()) {
    // Of equal keys the first half's comes first, as a stable merge has it.
    const bool take_second =
        a == first.items.end() || (b != second.items.end() && less(second, *b, first, *a));
    sorted.push_back(std::move(entries[take_second ? (b++)->index : (a++)->index]));
  }
  entries = std::move(sorted);
}

}  // namespace app
