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
    {UndoKind::kTrash, "TRASH", 3},
    {UndoKind::kRename, "RENAME", 2},
    {UndoKind::kCreate, "CREATE", 1},
    {UndoKind::kBatch, "BATCH", 0},
};

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

std::optional<UndoEntry> ParseEntry(std::string_view line) {
  const std::vector<std::string_view> f = SplitTabs(line);
  for (const KindName& k : kKinds) {
    if (f[0] != k.name) continue;
    if (k.kind == UndoKind::kBatch) {
      if (f.size() != 1) return std::nullopt;
      return UndoEntry{k.kind, {}, {}};
    }
    if (f.size() != 6 + k.paths) return std::nullopt;
    const auto dev = Number<std::uint64_t>(f[1]);
    const auto ino = Number<std::uint64_t>(f[2]);
    const auto size = Number<std::int64_t>(f[3]);
    const auto mtime = Number<std::int64_t>(f[4]);
    const auto btime = Number<std::int64_t>(f[5]);
    if (!dev || !ino || !size || !mtime || !btime) return std::nullopt;
    UndoEntry entry{k.kind, {*dev, *ino, *size, *mtime, *btime}, {}};
    for (std::size_t i = 6; i < f.size(); ++i) {
      auto path = UnescapeField(f[i]);
      if (!path || path->empty() || path->front() != '/') return std::nullopt;
      entry.paths.push_back(std::move(*path));
    }
    return entry;
  }
  return std::nullopt;
}

}  // namespace

std::string UndoEntryLine(const UndoEntry& entry) {
  const KindName& k = Describe(entry.kind);
  std::string line(k.name);
  if (entry.kind != UndoKind::kBatch) {
    const platform::FileIdentity& id = entry.id;
    for (const std::string& number :
         {std::to_string(id.device), std::to_string(id.inode), std::to_string(id.size),
          std::to_string(id.mtime_ns), std::to_string(id.btime_ns)}) {
      line += '\t' + number;
    }
    for (const std::string& path : entry.paths) line += '\t' + EscapeField(path);
  }
  return line + "\r\n";
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
  }
  return "Undo";
}

}  // namespace tools
