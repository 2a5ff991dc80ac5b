#include "tools/undo_rules.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>
#include <unordered_set>

#include "platform/paths.h"
#include "platform/text_file.h"
#include "tools/rename_journal_rules.h"

namespace tools {

namespace {

struct KindName {
  UndoKind kind;
  std::string_view name;
  std::size_t paths;
};

constexpr KindName kKinds[] = {
    {UndoKind::kTrash, "TRASH", 3},   {UndoKind::kRename, "RENAME", 2},
    {UndoKind::kCreate, "CREATE", 1}, {UndoKind::kBatch, "BATCH", 0},
    {UndoKind::kCopy, "COPY", 2},     {UndoKind::kMove, "MOVE", 2},
};

// The lines of a copy or move job, written before it starts and when it is over.
struct RunningName {
  UndoKind kind;
  std::string_view name;
};
constexpr RunningName kRunning[] = {{UndoKind::kCopy, "COPYING"}, {UndoKind::kMove, "MOVING"}};
constexpr std::string_view kMade = "MADE";

constexpr std::size_t kIdFields = 5;
// The widest identity: five numbers of at most 20 characters, each after a tab.
constexpr std::size_t kMaxIdBytes = kIdFields * 21;

bool IsTransfer(UndoKind kind) {
  return kind == UndoKind::kCopy || kind == UndoKind::kMove;
}

const KindName& Describe(UndoKind kind) {
  for (const KindName& k : kKinds) {
    if (k.kind == kind) return k;
  }
  return kKinds[0];
}

template <typename T>
std::optional<T> Number(std::string_view text) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// The identity in the five fields from `at`.
std::optional<platform::FileIdentity> ParseIdentity(const std::vector<std::string_view>& f,
                                                    std::size_t at) {
  const auto dev = Number<std::uint64_t>(f[at]);
  const auto ino = Number<std::uint64_t>(f[at + 1]);
  const auto size = Number<std::int64_t>(f[at + 2]);
  const auto mtime = Number<std::int64_t>(f[at + 3]);
  const auto btime = Number<std::int64_t>(f[at + 4]);
  if (!dev || !ino || !size || !mtime || !btime) return std::nullopt;
  return platform::FileIdentity{*dev, *ino, *size, *mtime, *btime};
}

std::optional<std::string> ParsePath(std::string_view field) {
  auto path = UnescapeField(field);
  if (!path || path->empty() || path->front() != '/') return std::nullopt;
  return path;
}

std::string_view DirectoryOf(std::string_view path) {
  return path.substr(0, path.rfind('/') + 1);
}

// Items of an identity and two plain paths from field `first` on, every target in one
// directory; nothing when they cannot be read or are fewer than `least`.
std::optional<std::vector<TransferItem>> ParseItems(const std::vector<std::string_view>& f,
                                                    std::size_t first, std::size_t least) {
  constexpr std::size_t kItemFields = kIdFields + 2;
  if (f.size() < first + least * kItemFields || (f.size() - first) % kItemFields != 0) {
    return std::nullopt;
  }
  std::vector<TransferItem> items;
  items.reserve((f.size() - first) / kItemFields);
  for (std::size_t at = first; at < f.size(); at += kItemFields) {
    const auto id = ParseIdentity(f, at);
    auto source = ParsePath(f[at + kIdFields]);
    auto target = ParsePath(f[at + kIdFields + 1]);
    if (!id || !source || !target || !IsPlainFullPath(*source) || !IsPlainFullPath(*target))
      return std::nullopt;
    if (!items.empty() && DirectoryOf(*target) != DirectoryOf(items.front().target)) {
      return std::nullopt;
    }
    items.push_back({*id, std::move(*source), std::move(*target)});
  }
  return items;
}

// A copy or a move of one line: at least one item.
std::optional<UndoEntry> ParseTransfer(UndoKind kind, std::string_view line,
                                       const std::vector<std::string_view>& f) {
  if (line.size() > kMaxTransferLineBytes) return std::nullopt;
  auto items = ParseItems(f, 1, 1);
  if (!items) return std::nullopt;
  return UndoEntry{kind, {}, {}, std::move(*items)};
}

std::optional<UndoEntry> ParseEntry(std::string_view line) {
  const std::vector<std::string_view> f = SplitTabs(line);
  for (const KindName& k : kKinds) {
    if (f[0] != k.name) continue;
    if (IsTransfer(k.kind)) return ParseTransfer(k.kind, line, f);
    if (k.kind == UndoKind::kBatch) {
      if (f.size() > 2 || (f.size() == 2 && !IsRunId(f[1]))) return std::nullopt;
      return UndoEntry{k.kind, {}, {}, {}, f.size() == 2 ? std::string(f[1]) : std::string()};
    }
    if (f.size() != 1 + kIdFields + k.paths) return std::nullopt;
    const auto id = ParseIdentity(f, 1);
    if (!id) return std::nullopt;
    UndoEntry entry{k.kind, *id, {}, {}};
    for (std::size_t i = 1 + kIdFields; i < f.size(); ++i) {
      auto path = ParsePath(f[i]);
      if (!path) return std::nullopt;
      entry.paths.push_back(std::move(*path));
    }
    return entry;
  }
  return std::nullopt;
}

std::string IdentityFields(const platform::FileIdentity& id) {
  std::string fields;
  for (const std::string& number :
       {std::to_string(id.device), std::to_string(id.inode), std::to_string(id.size),
        std::to_string(id.mtime_ns), std::to_string(id.btime_ns)}) {
    fields += '\t' + number;
  }
  return fields;
}

std::string ItemFields(const std::vector<TransferItem>& items) {
  std::string fields;
  for (const TransferItem& item : items) {
    fields +=
        IdentityFields(item.id) + '\t' + EscapeField(item.source) + '\t' + EscapeField(item.target);
  }
  return fields;
}

// The key of an item's pair of paths, which hold no NUL.
std::string PairKey(const TransferItem& item) {
  return item.source + '\0' + item.target;
}

// Reads a history line by line, folding the lines of each copy or move job into one entry at the
// place of its first line.
class HistoryReader {
 public:
  // False when the line cannot be read.
  bool Add(std::string_view line) {
    const std::string_view name = line.substr(0, line.find('\t'));
    if (name == kMade) return AddMade(line);
    for (const RunningName& r : kRunning) {
      if (name == r.name) return AddRunning(r.kind, line);
    }
    auto entry = ParseEntry(line);
    if (!entry) return false;
    entries_.push_back(std::move(*entry));
    return true;
  }

  // The entries read; a job that ended having made nothing leaves none.
  std::vector<UndoEntry> Entries() && {
    std::erase_if(entries_, [](const UndoEntry& entry) {
      return IsTransfer(entry.kind) && entry.items.empty();
    });
    return std::move(entries_);
  }

 private:
  struct Job {
    std::size_t entry;  // its place in entries_
    std::size_t bytes;  // what its items take, by TransferItemBytes
  };

  // The job's number and items of a line "NAME <tab> job <tab> items"; at least `least` items.
  static std::optional<std::pair<std::uint64_t, std::vector<TransferItem>>> JobLine(
      std::string_view line, std::size_t least) {
    if (line.size() > kMaxTransferLineBytes) return std::nullopt;
    const std::vector<std::string_view> f = SplitTabs(line);
    if (f.size() < 2) return std::nullopt;
    const auto job = Number<std::uint64_t>(f[1]);
    auto items = ParseItems(f, 2, least);
    if (!job || *job == 0 || !items) return std::nullopt;
    return std::make_pair(*job, std::move(*items));
  }

  bool AddRunning(UndoKind kind, std::string_view line) {
    auto read = JobLine(line, 1);
    if (!read) return false;
    auto& [job, items] = *read;
    const auto [at, fresh] = running_.try_emplace(job, Job{entries_.size(), 0});
    if (fresh) entries_.push_back(UndoEntry{kind, {}, {}, {}, {}, job});
    UndoEntry& entry = entries_[at->second.entry];
    if (entry.kind != kind) return false;
    if (!entry.items.empty() && !SameDirectory(entry.items.front().target, items.front().target))
      return false;
    for (const TransferItem& item : items) at->second.bytes += TransferItemBytes(item);
    if (at->second.bytes + kTransferLineHeadBytes > kMaxTransferLineBytes) return false;
    entry.items.insert(entry.items.end(), std::make_move_iterator(items.begin()),
                       std::make_move_iterator(items.end()));
    return true;
  }

  bool AddMade(std::string_view line) {
    auto read = JobLine(line, 0);
    if (!read) return false;
    auto& [job, made] = *read;
    const auto at = running_.find(job);
    if (at == running_.end()) return true;  // taken off by an undo while it ran: it stays off
    UndoEntry& entry = entries_[at->second.entry];
    running_.erase(at);
    std::unordered_set<std::string> planned;
    for (const TransferItem& item : entry.items) planned.insert(PairKey(item));
    entry.items.clear();
    for (TransferItem& item : made) {
      if (planned.erase(PairKey(item)) != 0) entry.items.push_back(std::move(item));
    }
    entry.job = 0;
    return true;
  }

  std::vector<UndoEntry> entries_;
  std::unordered_map<std::uint64_t, Job> running_;  // jobs without their MADE line yet
};

std::string CountedCaption(std::string_view what, const std::vector<TransferItem>& items) {
  const std::string of = items.size() == 1 ? platform::BaseName(items.front().source)
                                           : std::to_string(items.size()) + " files";
  return "Undo " + std::string(what) + " of " + of;
}

}  // namespace

std::string UndoEntryLine(const UndoEntry& entry) {
  if (IsTransfer(entry.kind) && entry.job != 0) {
    const auto running = std::find_if(std::begin(kRunning), std::end(kRunning),
                                      [&](const RunningName& r) { return r.kind == entry.kind; });
    return std::string(running->name) + '\t' + std::to_string(entry.job) + ItemFields(entry.items) +
           "\r\n";
  }
  std::string line(Describe(entry.kind).name);
  if (IsTransfer(entry.kind)) {
    line += ItemFields(entry.items);
  } else if (entry.kind == UndoKind::kBatch) {
    if (!entry.run.empty()) (line += '\t') += entry.run;
  } else {
    line += IdentityFields(entry.id);
    for (const std::string& path : entry.paths) line += '\t' + EscapeField(path);
  }
  return line + "\r\n";
}

std::string TransferMadeLine(std::uint64_t job, const std::vector<TransferItem>& made) {
  return std::string(kMade) + '\t' + std::to_string(job) + ItemFields(made) + "\r\n";
}

std::string UndoHistoryText(const std::vector<UndoEntry>& entries, std::size_t cap) {
  std::vector<std::string> lines;
  std::size_t bytes = 0;
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    std::string line = UndoEntryLine(*entry);
    if (bytes + line.size() > cap) break;
    bytes += line.size();
    lines.push_back(std::move(line));
  }
  std::string text;
  text.reserve(bytes);
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) text += *line;
  return text;
}

std::size_t TransferItemBytes(const TransferItem& item) {
  return kMaxIdBytes + 2 + EscapeField(item.source).size() + EscapeField(item.target).size();
}

bool IsPlainFullPath(std::string_view path) {
  if (path.size() < 2 || path.front() != '/') return false;
  for (std::size_t from = 1; from <= path.size();) {
    std::size_t slash = path.find('/', from);
    if (slash == std::string_view::npos) slash = path.size();
    const std::string_view part = path.substr(from, slash - from);
    if (part.empty() || part == "." || part == "..") return false;
    from = slash + 1;
  }
  return true;
}

bool SameDirectory(std::string_view a, std::string_view b) {
  return DirectoryOf(a) == DirectoryOf(b);
}

bool IsTransferredFile(const platform::FileIdentity& recorded, const platform::FileIdentity& now) {
  constexpr std::int64_t kCoarseTimeNs = 2'000'000'000;
  if (recorded.inode != 0) return platform::SameFile(recorded, now);
  const std::int64_t apart = recorded.mtime_ns > now.mtime_ns ? recorded.mtime_ns - now.mtime_ns
                                                              : now.mtime_ns - recorded.mtime_ns;
  return recorded.size == now.size && apart < kCoarseTimeNs;
}

std::optional<std::vector<UndoEntry>> ParseUndoHistory(std::string_view text) {
  HistoryReader reader;
  const std::vector<std::string_view> lines = platform::SplitLineViews(text);
  const bool last_cut = !text.empty() && text.back() != '\n' && text.back() != '\r';
  // A last line cut short by a crash is not read at all, even where what is left of it would
  // read: a job's end cut short leaves the job as planned rather than short of files.
  const std::size_t whole = lines.size() - (last_cut ? 1 : 0);
  for (std::size_t i = 0; i < whole; ++i) {
    if (!reader.Add(lines[i])) return std::nullopt;
  }
  return std::move(reader).Entries();
}

std::string UndoCaption(const UndoEntry& entry) {
  switch (entry.kind) {
    case UndoKind::kTrash:
      return "Undo delete of " + platform::BaseName(entry.paths[0]);
    case UndoKind::kRename:
      return "Undo rename of " + platform::BaseName(entry.paths[0]);
    case UndoKind::kCreate:
      return "Undo creation of " + platform::BaseName(entry.paths[0]);
    case UndoKind::kBatch:
      return "Undo renaming run";
    case UndoKind::kCopy:
      return CountedCaption("copy", entry.items);
    case UndoKind::kMove:
      return CountedCaption("move", entry.items);
  }
  return "Undo";
}

}  // namespace tools
