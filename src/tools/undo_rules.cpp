#include "tools/undo_rules.h"

#include <charconv>

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

// A copy or a move: items of an identity and two plain paths, every target in one directory.
std::optional<UndoEntry> ParseTransfer(UndoKind kind, std::string_view line,
                                       const std::vector<std::string_view>& f) {
  constexpr std::size_t kItemFields = kIdFields + 2;
  if (line.size() > kMaxTransferLineBytes || f.size() < 1 + kItemFields ||
      (f.size() - 1) % kItemFields != 0) {
    return std::nullopt;
  }
  UndoEntry entry{kind, {}, {}, {}};
  for (std::size_t at = 1; at < f.size(); at += kItemFields) {
    const auto id = ParseIdentity(f, at);
    auto source = ParsePath(f[at + kIdFields]);
    auto target = ParsePath(f[at + kIdFields + 1]);
    if (!id || !source || !target || !IsPlainFullPath(*source) || !IsPlainFullPath(*target))
      return std::nullopt;
    if (!entry.items.empty() && DirectoryOf(*target) != DirectoryOf(entry.items.front().target)) {
      return std::nullopt;
    }
    entry.items.push_back({*id, std::move(*source), std::move(*target)});
  }
  return entry;
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

std::string CountedCaption(std::string_view what, const std::vector<TransferItem>& items) {
  const std::string of = items.size() == 1 ? platform::BaseName(items.front().source)
                                           : std::to_string(items.size()) + " files";
  return "Undo " + std::string(what) + " of " + of;
}

}  // namespace

std::string UndoEntryLine(const UndoEntry& entry) {
  std::string line(Describe(entry.kind).name);
  if (IsTransfer(entry.kind)) {
    for (const TransferItem& item : entry.items) {
      line += IdentityFields(item.id) + '\t' + EscapeField(item.source) + '\t' +
              EscapeField(item.target);
    }
  } else if (entry.kind == UndoKind::kBatch) {
    if (!entry.run.empty()) (line += '\t') += entry.run;
  } else {
    line += IdentityFields(entry.id);
    for (const std::string& path : entry.paths) line += '\t' + EscapeField(path);
  }
  return line + "\r\n";
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
  std::vector<UndoEntry> entries;
  const std::vector<std::string_view> lines = platform::SplitLineViews(text);
  const bool last_cut = !text.empty() && text.back() != '\n' && text.back() != '\r';
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto entry = ParseEntry(lines[i]);
    if (entry) {
      entries.push_back(std::move(*entry));
    } else if (!(last_cut && i + 1 == lines.size())) {
      return std::nullopt;
    }
  }
  return entries;
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
