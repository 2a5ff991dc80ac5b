#include "tools/rename_journal_rules.h"

#include <charconv>

#include "platform/file_ops.h"

namespace tools {

namespace {

constexpr std::string_view kRun = "RUN";
constexpr std::string_view kMove = "MOVE";
constexpr std::string_view kFailed = "FAILED";
constexpr std::string_view kUndone = "UNDONE";

std::string Escape(std::string_view text) {
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

std::optional<std::string> Unescape(std::string_view text) {
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

std::optional<std::uint64_t> ParseNumber(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<JournalPair> ParsePair(std::string_view line) {
  const std::vector<std::string_view> f = SplitTabs(line);
  if (f.size() != 5 || f[0] != kMove) return std::nullopt;
  const auto device = ParseNumber(f[1]);
  const auto inode = ParseNumber(f[2]);
  auto old_path = Unescape(f[3]);
  auto new_path = Unescape(f[4]);
  if (!device || !inode || !old_path || !new_path || old_path->empty() || new_path->empty()) {
    return std::nullopt;
  }
  return JournalPair{*device, *inode, std::move(*old_path), std::move(*new_path)};
}

}  // namespace

std::string JournalRunLine() {
  return std::string(kRun) + "\r\n";
}

std::string JournalPairLine(const JournalPair& pair) {
  return std::string(kMove) + '\t' + std::to_string(pair.device) + '\t' +
         std::to_string(pair.inode) + '\t' + Escape(pair.old_path) + '\t' + Escape(pair.new_path) +
         "\r\n";
}

std::string JournalFailedLine() {
  return std::string(kFailed) + "\r\n";
}

std::string JournalUndoneLine() {
  return std::string(kUndone) + "\r\n";
}

std::optional<JournalRun> LastJournalRun(std::string_view text) {
  std::optional<JournalRun> run;
  // Whether the last line read was a MOVE line, which a FAILED line may cancel.
  bool after_pair = false;
  for (std::string_view line : platform::SplitLineViews(text)) {
    if (line == kRun) {
      run = JournalRun{};
      after_pair = false;
    } else if (!run) {
      continue;
    } else if (line == kFailed) {
      if (after_pair) run->pairs.pop_back();
      after_pair = false;
    } else if (line == kUndone) {
      run->undone = true;
      after_pair = false;
    } else if (auto pair = ParsePair(line)) {
      run->pairs.push_back(std::move(*pair));
      after_pair = true;
    } else {
      after_pair = false;
    }
  }
  return run;
}

}  // namespace tools
