#include "console/script_rules.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>

#include "console/command_rules.h"

namespace console {

namespace {

constexpr std::string_view kHeader = "BEGIN BWSCRIPT;";

// Keeps the nesting count right however the run ends, exceptions included.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

// Reads one line without its line break; CR LF, LF and a lone CR all end a line. Reading stops
// once the line is longer than `limit` bytes (the rest of it stays unread). False at the end of
// the file when nothing was read; throws when the file cannot be read.
bool ReadLine(std::ifstream& in, const std::string& file_name, std::string& line,
              size_t limit = std::string::npos) {
  line.clear();
  bool got_any = false;
  char c = 0;
  while (line.size() <= limit && in.get(c)) {
    got_any = true;
    if (c == '\n') break;
    if (c == '\r') {
      if (in.peek() == '\n') in.get(c);
      break;
    }
    line.push_back(c);
  }
  if (in.bad()) throw std::runtime_error("Cannot read file " + file_name);
  return got_any;
}

}  // namespace

void RunScriptFile(const std::string& file_name, const ScriptHooks& hooks, int& depth) {
  auto print = [&](const std::string& line) {
    if (hooks.print) hooks.print(line);
  };
  // A script that runs itself, directly or through others, would otherwise nest without end.
  if (depth >= kMaxScriptDepth) {
    print("> Error: Script nesting deeper than " + std::to_string(kMaxScriptDepth) + " levels, \"" +
          file_name + "\" not run");
    return;
  }
  DepthGuard guard(depth);

  // A directory may open as a stream on some systems; it is not a file to run.
  std::error_code ec;
  if (std::filesystem::is_directory(file_name, ec)) {
    throw std::runtime_error("Cannot open file " + file_name + ": it is a directory");
  }
  std::ifstream in(file_name, std::ios::binary);
  if (!in.is_open()) throw std::runtime_error("Cannot open file " + file_name);

  // The header is short, so a long first line (a binary file, say) is rejected unread.
  std::string line;
  ReadLine(in, file_name, line, kHeader.size());
  if (!EqualsIgnoreCase(line, kHeader)) {
    print("> Error: file \"" + file_name + "\" is not bwscript!");
    return;
  }
  while (ReadLine(in, file_name, line)) {
    if (EqualsIgnoreCase(line, "END;")) return;
    if (hooks.execute) hooks.execute(line);
  }
}

}  // namespace console
