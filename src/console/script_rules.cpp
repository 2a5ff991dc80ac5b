#include "console/script_rules.h"

#include <string_view>
#include <vector>

#include "console/command_rules.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"

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

}  // namespace

void RunScriptFile(const std::string& file_name, const ScriptHooks& hooks, ScriptRuns& runs) {
  auto print = [&](const std::string& line) {
    if (hooks.print) hooks.print(line);
  };
  // A script that runs itself, directly or through others, would otherwise nest without end.
  if (runs.depth >= kMaxScriptDepth) {
    print("> Error: Script nesting deeper than " + std::to_string(kMaxScriptDepth) + " levels, \"" +
          file_name + "\" not run");
    return;
  }
  if (runs.depth == 0) runs.started = 0;
  if (runs.started >= kMaxScriptRuns) {
    print("> Error: Script runs more than " + std::to_string(kMaxScriptRuns) + " scripts, \"" +
          file_name + "\" not run");
    return;
  }
  ++runs.started;
  DepthGuard guard(runs.depth);

  // The whole file is read at once, held to the size limit of every file read whole; a named
  // pipe or a directory is refused rather than waited for. Lines after "END;" are never run.
  const std::string text = platform::ReadWholeFileOrThrow(file_name);
  const std::vector<std::string_view> lines = platform::SplitLineViews(text);
  if (lines.empty() || !EqualsIgnoreCase(lines.front(), kHeader)) {
    print("> Error: file \"" + file_name + "\" is not bwscript!");
    return;
  }
  for (size_t i = 1; i < lines.size(); ++i) {
    if (EqualsIgnoreCase(lines[i], "END;")) return;
    if (hooks.execute) hooks.execute(std::string(lines[i]));
  }
}

}  // namespace console
