#pragma once

// Running script files: "BEGIN BWSCRIPT;" on the first line, command lines, "END;".

#include <functional>
#include <string>

namespace console {

// How deep scripts may run scripts before the next one is refused.
inline constexpr int kMaxScriptDepth = 32;
// How many script runs one top-level run may start, itself included: a script that runs itself
// twice per level would otherwise take about 2^33 runs under the depth bound.
inline constexpr long long kMaxScriptRuns = 10000;

// The script runs in progress and those started since the top-level run began.
struct ScriptRuns {
  int depth = 0;
  long long started = 0;
};

struct ScriptHooks {
  std::function<void(const std::string&)> execute;  // runs one body line
  std::function<void(const std::string&)> print;    // console lines
};

// Runs the script file line by line until "END;" or the end of the file; lines after "END;" are
// never run. A file whose first line is not the header prints the "is not bwscript!" error.
// A file that cannot be opened or read, is no regular file (a named pipe is never waited for) or
// is larger than platform::kMaxWholeFileSize throws std::runtime_error. A run beyond
// kMaxScriptDepth levels, or beyond kMaxScriptRuns runs of one top-level run, is refused with an
// error line.
void RunScriptFile(const std::string& file_name, const ScriptHooks& hooks, ScriptRuns& runs);

}  // namespace console
