#include "tools/rename_journal_rules.h"

#include <charconv>
#include <map>

#include "platform/paths.h"
#include "platform/text_file.h"

namespace tools {

namespace {

constexpr std::string_view kRun = "RUN";
constexpr std::string_view kRun2 = "RUN2";
constexpr std::string_view kRun3 = "RUN3";
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

// Index, device, inode, size, mtime, btime, old, new: the fields after PAIR (and its run).
std::optional<JournalPair> ParsePair(const std::vector<std::string_view>& line, std::size_t from,
                                     std::size_t index) {
  if (line.size() != from + 8) return std::nullopt;
  const std::string_view* f = line.data() + from;
  if (ParseNumber(f[0]) != index) return std::nullopt;
  const auto device = ParseNumber(f[1]);
  const auto inode = ParseNumber(f[2]);
  const auto size = ParseSigned(f[3]);
  const auto mtime = ParseSigned(f[4]);
  const auto btime = ParseSigned(f[5]);
  auto old_path = UnescapeField(f[6]);
  auto new_path = UnescapeField(f[7]);
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

bool IsRunId(std::string_view text) {
  if (text.empty() || text.size() > 64) return false;
  for (const char c : text) {
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alnum && c != '-' && c != '_') return false;
  }
  return true;
}

namespace {

// A record's keyword followed by its run's field, if it has one.
std::string Record(std::string_view keyword, std::string_view run) {
  std::string line(keyword);
  if (!run.empty()) (line += '\t') += run;
  return line;
}

}  // namespace

std::string JournalRunLine(std::string_view run) {
  return (run.empty() ? std::string(kRun2) : Record(kRun3, run)) + "\r\n";
}

std::string JournalPairLine(std::size_t index, const JournalPair& pair, std::string_view run) {
  const platform::FileIdentity& id = pair.id;
  return Record(kPair, run) + '\t' + std::to_string(index) + '\t' + std::to_string(id.device) +
         '\t' + std::to_string(id.inode) + '\t' + std::to_string(id.size) + '\t' +
         std::to_string(id.mtime_ns) + '\t' + std::to_string(id.btime_ns) + '\t' +
         EscapeField(pair.old_path) + '\t' + EscapeField(pair.new_path) + "\r\n";
}

std::string JournalDoneLine(std::size_t index, std::string_view run) {
  return Record(kDone, run) + '\t' + std::to_string(index) + "\r\n";
}

std::string JournalFailedLine(std::size_t index, std::string_view run) {
  return Record(kFailed, run) + '\t' + std::to_string(index) + "\r\n";
}

std::string JournalEndLine(std::string_view run) {
  return Record(kEnd, run) + "\r\n";
}

std::string JournalUndoneLine(std::string_view run) {
  return Record(kUndone, run) + "\r\n";
}

namespace {

// The old journals' line of a pair.
std::string OldPairLine(const JournalPair& pair) {
  return std::string(kMove) + '\t' + std::to_string(pair.id.device) + '\t' +
         std::to_string(pair.id.inode) + '\t' + EscapeField(pair.old_path) + '\t' +
         EscapeField(pair.new_path) + "\r\n";
}

// Reads the journal line by line into runs.
class JournalReader {
 public:
  void Read(std::string_view line) {
    const std::vector<std::string_view> f = SplitTabs(line);
    bool read = false;
    if (line == kRun || line == kRun2) {
      untagged_ = journal_.runs.size();
      journal_.runs.emplace_back();
      old_format_ = line == kRun;
      read = true;
    } else if (f.size() == 2 && f[0] == kRun3 && IsRunId(f[1])) {
      const auto [at, added] = by_id_.try_emplace(std::string(f[1]), journal_.runs.size());
      if (added) journal_.runs.emplace_back();
      journal_.runs[at->second] = JournalRun{at->first};
      read = true;
    } else if (JournalRun* run = Tagged(f)) {
      read = ReadRecord(*run, f, 2);
    } else if (untagged_ && !IsTaggedForm(f)) {
      read = ReadUntagged(journal_.runs[*untagged_], line, f);
    }
    if (!IsOldMove(f)) after_pair_ = false;
    if (!read) journal_.damaged = true;
  }

  Journal Take() {
    if (journal_.damaged) {
      for (JournalRun& run : journal_.runs) run.damaged = true;
    }
    return std::move(journal_);
  }

 private:
  // The fields a record takes with its run field, counted from the keyword.
  static std::size_t TaggedFields(std::string_view keyword) {
    if (keyword == kPair) return 10;
    if (keyword == kDone || keyword == kFailed) return 3;
    if (keyword == kEnd || keyword == kUndone) return 2;
    return 0;
  }
  static bool IsTaggedForm(const std::vector<std::string_view>& f) {
    return f.size() > 1 && f.size() == TaggedFields(f[0]);
  }
  bool IsOldMove(const std::vector<std::string_view>& f) const {
    return old_format_ && f[0] == kMove;
  }
  // The run a record with a run field belongs to; nothing for a line of another form or a run
  // that was never started.
  JournalRun* Tagged(const std::vector<std::string_view>& f) {
    if (!IsTaggedForm(f)) return nullptr;
    const auto it = by_id_.find(std::string(f[1]));
    return it == by_id_.end() ? nullptr : &journal_.runs[it->second];
  }

  // A PAIR, DONE, FAILED, END or UNDONE record whose fields after the keyword start at `from`.
  static bool ReadRecord(JournalRun& run, const std::vector<std::string_view>& f,
                         std::size_t from) {
    if (f[0] == kUndone && f.size() == from) {
      run.undone = true;
    } else if (f[0] == kEnd && f.size() == from) {
      run.complete = true;
    } else if ((f[0] == kDone || f[0] == kFailed) && f.size() == from + 1) {
      const auto index = ParseNumber(f[from]);
      if (!index || *index >= run.pairs.size()) return false;
      run.pairs[*index].state = f[0] == kDone ? PairState::kDone : PairState::kFailed;
    } else if (f[0] == kPair) {
      auto pair = ParsePair(f, from, run.pairs.size());
      if (!pair) return false;
      run.pairs.push_back(std::move(*pair));
    } else {
      return false;
    }
    return true;
  }

  // A line of the last run without an id, in the form of its journal's version.
  bool ReadUntagged(JournalRun& run, std::string_view line,
                    const std::vector<std::string_view>& f) {
    if (!old_format_) return ReadRecord(run, f, 1);
    if (line == kUndone) {
      run.undone = true;
    } else if (line == kFailed) {
      if (after_pair_) run.pairs.pop_back();
    } else {
      auto pair = ParseOldPair(f);
      if (!pair) return false;
      run.pairs.push_back(std::move(*pair));
      after_pair_ = true;
      return true;
    }
    return true;
  }

  Journal journal_;
  std::map<std::string, std::size_t> by_id_;  // run id -> its place in journal_.runs
  std::optional<std::size_t> untagged_;       // the last run without an id
  bool old_format_ = false;                   // that run is of the oldest form
  bool after_pair_ = false;                   // the last line was its MOVE, which FAILED cancels
};

// The part of the text up to its last line break: a last line without one was cut short by a
// crash, even when what is left of it reads as a record ("DONE\t12" of "DONE\t123").
std::string_view WholeLines(std::string_view text) {
  const std::size_t end = text.find_last_of("\r\n");
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

}  // namespace

Journal ParseJournal(std::string_view text) {
  JournalReader reader;
  for (const std::string_view line : platform::SplitLineViews(WholeLines(text))) reader.Read(line);
  return reader.Take();
}

std::optional<JournalRun> LastJournalRun(std::string_view text) {
  Journal journal = ParseJournal(text);
  if (!journal.runs.empty()) return std::move(journal.runs.back());
  if (!journal.damaged) return std::nullopt;
  JournalRun damaged;
  damaged.damaged = true;
  return damaged;
}

std::string JournalRunText(const JournalRun& run) {
  const bool oldest = run.id.empty() && !run.pairs.empty() && !run.pairs.front().full_id;
  std::string text = oldest ? std::string(kRun) + "\r\n" : JournalRunLine(run.id);
  for (std::size_t i = 0; i < run.pairs.size(); ++i)
    text += oldest ? OldPairLine(run.pairs[i]) : JournalPairLine(i, run.pairs[i], run.id);
  for (std::size_t i = 0; i < run.pairs.size() && !oldest; ++i) {
    if (run.pairs[i].state == PairState::kDone) text += JournalDoneLine(i, run.id);
    if (run.pairs[i].state == PairState::kFailed) text += JournalFailedLine(i, run.id);
  }
  if (run.complete && !oldest) text += JournalEndLine(run.id);
  if (run.undone) text += JournalUndoneLine(run.id);
  return text;
}

std::optional<std::size_t> ChooseRun(const Journal& journal,
                                     const std::optional<std::string>& run) {
  for (std::size_t i = journal.runs.size(); i-- > 0;) {
    const JournalRun& r = journal.runs[i];
    if (run ? r.id == *run : !r.undone && !r.pairs.empty()) return i;
  }
  return std::nullopt;
}

JournalWrite PlanJournalWrite(const std::optional<std::string>& current,
                              const std::string& addition, std::size_t cap) {
  // The first addition makes the journal as it is: there is nothing to check it against, and
  // it is the newest run, which is kept whatever its size.
  if (!current) return {true, addition, 0};
  const std::string_view whole = current ? WholeLines(*current) : std::string_view();
  Journal journal = ParseJournal(whole);
  if (current && !journal.damaged && whole.size() == current->size() &&
      current->size() + addition.size() <= cap) {
    return {false, addition, 0};
  }
  const std::string_view sound = journal.damaged ? std::string_view() : whole;
  journal = ParseJournal(std::string(sound) + addition);
  // An addition that does not fit the journal read (a mark for a run it no longer holds) is
  // appended as it is rather than let anything go.
  if (journal.damaged) return {false, addition, 0};
  JournalWrite write{true, {}, 0};
  std::vector<std::string> kept;  // the newest first
  std::size_t bytes = 0;
  for (auto run = journal.runs.rbegin(); run != journal.runs.rend(); ++run) {
    if (run->undone || run->pairs.empty()) continue;
    std::string text = JournalRunText(*run);
    if (!kept.empty() && (write.runs_let_go > 0 || bytes + text.size() > cap)) {
      ++write.runs_let_go;
      continue;
    }
    bytes += text.size();
    kept.push_back(std::move(text));
  }
  write.text.reserve(bytes);
  for (auto text = kept.rbegin(); text != kept.rend(); ++text) write.text += *text;
  return write;
}

namespace {

// Adds the run's pairs that leave their directory, most recent first.
void AddStrays(const JournalRun& run, std::vector<LeftPair>& strays) {
  for (auto it = run.pairs.rbegin(); it != run.pairs.rend(); ++it) {
    if (!StaysInItsDirectory(*it)) strays.push_back({*it, "does not stay in one directory"});
  }
}

}  // namespace

std::vector<LeftPair> StrayPairs(const Journal& journal) {
  std::vector<LeftPair> strays;
  for (auto run = journal.runs.rbegin(); run != journal.runs.rend(); ++run) AddStrays(*run, strays);
  return strays;
}

UndoPlan PlanUndo(const JournalRun& run, const IdentityOf& identity_of) {
  UndoPlan plan;
  if (run.damaged) {
    plan.refused = true;
    return plan;
  }
  AddStrays(run, plan.left);
  plan.refused = !plan.left.empty();
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
