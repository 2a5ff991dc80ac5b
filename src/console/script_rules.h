#pragma once

// Running script files: "BEGIN BWSCRIPT;" on the first line, command lines, "END;".

#include <functional>
#include <string>

namespace console {

// How deep scripts may run scripts before the next one is refused.
inline constexpr int kMaxScriptDepth = 32;

struct ScriptHooks {
  std::function<void(const std::string&)> execute;  // runs one body line
  std::function<void(const std::string&)> print;    // console lines
};

// Runs the script file line by line until "END;" or the end of the file; lines after "END;" are
// never run. A file whose first line is not the header prints the "is not bwscript!" error.
// A file that cannot be opened or read, is no regular file (a named pipe is never waited for) or
// is larger than platform::kMaxWholeFileSize throws std::runtime_error. `depth` counts the runs
// in progress; a run beyond kMaxScriptDepth is refused with an error line.
void RunScriptFile(const std::string& file_name, const ScriptHooks& hooks, int& depth);

}  // namespace console
