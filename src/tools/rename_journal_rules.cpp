#include "tools/rename_journal_rules.h"

#include <charconv>

#include "platform/paths.h"
#include "platform/text_file.h"

namespace tools {

namespace {

constexpr std::string_view kRun = "RUN";
constexpr std::string_view kRun2 = "RUN2";
constexpr std::string_view kPair = "PAIR";
constexpr std::string_view kDone = "DONE";
constexpr std::string_view kMove = "MOVE";
constexpr std::string_view kFailed = "FAILED";
constexpr std::string_view kUndone = "UNDONE";
constexpr std::string_view kEnd = "END";

}  // namespace

std::string EscapeField(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::optional<std::string> UnescapeField(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t from = 0;
  for (std::size_t tab = line.find('\t'); tab != std::string_view::npos;
       tab = line.find('\t', from)) {
    fields.push_back(line.substr(from, tab - from));
    from = tab + 1;
  }
  fields.push_back(line.substr(from));
  return fields;
}

namespace {

std::optional<std::uint64_t> ParseNumber(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<std::int64_t> ParseSigned(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// A pair of an old journal: MOVE, device, inode, old, new.
std::optional<JournalPair> ParseOldPair(const std::vector<std::string_view>& f) {
  if (f.size() != 5 || f[0] != kMove) return std::nullopt;
  const auto device = ParseNumber(f[1]);
  const auto inode = ParseNumber(f[2]);
  auto old_path = UnescapeField(f[3]);
  auto new_path = UnescapeField(f[4]);
  if (!device || !inode || !old_path || !new_path || old_path->empty() || new_path->empty()) {
    return std::nullopt;
  }
  JournalPair pair;
  pair.id.device = *device;
  pair.id.inode = *inode;
  pair.old_path = std::move(*old_path);
  pair.new_path = std::move(*new_path);
  pair.full_id = false;
  return pair;
}

// PAIR, index, device, inode, size, mtime, btime, old, new.
std::optional<JournalPair> ParsePair(const std::vector<std::string_view>& f, std::size_t index) {
  if (f.size() != 9 || f[0] != kPair || ParseNumber(f[1]) != index) return std::nullopt;
  const auto device = ParseNumber(f[2]);
  const auto inode = ParseNumber(f[3]);
  const auto size = ParseSigned(f[4]);
  const auto mtime = ParseSigned(f[5]);
  const auto btime = ParseSigned(f[6]);
  auto old_path = UnescapeField(f[7]);
  auto new_path = UnescapeField(f[8]);
  if (!device || !inode || !size || !mtime || !btime || !old_path || !new_path ||
      old_path->empty() || new_path->empty()) {
    return std::nullopt;
  }
  JournalPair pair;
  pair.id = {*device, *inode, *size, *mtime, *btime};
  pair.old_path = std::move(*old_path);
  pair.new_path = std::move(*new_path);
  return pair;
}

// Both paths absolute, in one directory, and neither name a step out of it.
bool StaysInItsDirectory(const JournalPair& pair) {
  const std::string dir = platform::DirName(pair.old_path);
  if (dir.empty() || dir.front() != '/' || dir != platform::DirName(pair.new_path)) return false;
  for (const std::string* path : {&pair.old_path, &pair.new_path}) {
    const std::string name = path->substr(dir.size());
    if (name.empty() || name == "." || name == "..") return false;
  }
  return dir.find("/../") == std::string::npos && dir.find("/./") == std::string::npos;
}

bool IsTheRenamedFile(const JournalPair& pair, const std::optional<platform::FileIdentity>& now) {
  if (!now) return false;
  if (!pair.full_id) return now->device == pair.id.device && now->inode == pair.id.inode;
  return platform::SameFile(pair.id, *now);
}

}  // namespace

std::string JournalRunLine() {
  return std::string(kRun2) + "\r\n";
}

std::string JournalPairLine(std::size_t index, const JournalPair& pair) {
  const platform::FileIdentity& id = pair.id;
  return std::string(kPair) + '\t' + std::to_string(index) + '\t' + std::to_string(id.device) +
         '\t' + std::to_string(id.inode) + '\t' + std::to_string(id.size) + '\t' +
         std::to_string(id.mtime_ns) + '\t' + std::to_string(id.btime_ns) + '\t' +
         EscapeField(pair.old_path) + '\t' + EscapeField(pair.new_path) + "\r\n";
}

std::string JournalDoneLine(std::size_t index) {
  return std::string(kDone) + '\t' + std::to_string(index) + "\r\n";
}

std::string JournalFailedLine(std::size_t index) {
  return std::string(kFailed) + '\t' + std::to_string(index) + "\r\n";
}

std::string JournalEndLine() {
  return std::string(kEnd) + "\r\n";
}

std::string JournalUndoneLine() {
  return std::string(kUndone) + "\r\n";
}

std::optional<JournalRun> LastJournalRun(std::string_view text) {
  std::optional<JournalRun> run;
  bool damaged = false;
  bool old_format = false;
  // In an old journal: whether the last line read was a MOVE line, which FAILED may cancel.
  bool after_pair = false;
  const std::vector<std::string_view> lines = platform::SplitLineViews(text);
  const bool last_cut = !text.empty() && text.back() != '\n' && text.back() != '\r';
  // A last line without its line break was cut short by a crash, even when what is left of it
  // reads as a record ("DONE\t12" of "DONE\t123"): it is passed over.
  const std::size_t whole = lines.size() - (last_cut ? 1 : 0);
  for (std::size_t i = 0; i < whole; ++i) {
    const std::string_view line = lines[i];
    const std::vector<std::string_view> f = SplitTabs(line);
    bool read = true;
    if (line == kRun || line == kRun2) {
      run = JournalRun{};
      old_format = line == kRun;
      after_pair = false;
    } else if (!run) {
      read = false;
    } else if (line == kUndone) {
      run->undone = true;
      after_pair = false;
    } else if (!old_format && line == kEnd) {
      run->complete = true;
    } else if (old_format && line == kFailed) {
      if (after_pair) run->pairs.pop_back();
      after_pair = false;
    } else if (old_format) {
      auto pair = ParseOldPair(f);
      read = pair.has_value();
      if (pair) run->pairs.push_back(std::move(*pair));
      after_pair = read;
    } else if (f.size() == 2 && (f[0] == kDone || f[0] == kFailed)) {
      const auto index = ParseNumber(f[1]);
      read = index && *index < run->pairs.size();
      if (read) run->pairs[*index].state = f[0] == kDone ? PairState::kDone : PairState::kFailed;
    } else {
      auto pair = ParsePair(f, run->pairs.size());
      read = pair.has_value();
      if (pair) run->pairs.push_back(std::move(*pair));
    }
    if (!read) damaged = true;
  }
  if (damaged) {
    if (!run) run = JournalRun{};
    run->damaged = true;
  }
  return run;
}

UndoPlan PlanUndo(const JournalRun& run, const IdentityOf& identity_of) {
  UndoPlan plan;
  if (run.damaged) {
    plan.refused = true;
    return plan;
  }
  for (auto it = run.pairs.rbegin(); it != run.pairs.rend(); ++it) {
    if (!StaysInItsDirectory(*it)) {
      plan.refused = true;
      plan.left.push_back({*it, "does not stay in one directory"});
    }
  }
  if (plan.refused || run.undone) return plan;
  for (auto it = run.pairs.rbegin(); it != run.pairs.rend(); ++it) {
    const JournalPair& pair = *it;
    if (pair.state == PairState::kFailed) continue;
    if (pair.state == PairState::kUnknown && run.complete) continue;  // never tried
    const auto at_new = identity_of(pair.new_path);
    const auto at_old = identity_of(pair.old_path);
    if (IsTheRenamedFile(pair, at_new)) {
      if (at_old) {
        plan.left.push_back({pair, "its old name is taken"});
      } else {
        plan.rename_back.push_back(pair);
      }
    } else if (pair.state == PairState::kUnknown && IsTheRenamedFile(pair, at_old)) {
      continue;  // never renamed
    } else {
      plan.left.push_back({pair, "has changed since the run"});
    }
  }
  return plan;
}

}  // namespace tools
