// The script runner over arbitrary script files, with a stand-in dispatcher that parses each
// line as the console does and runs "script(...)" lines as a nested run of the same file.
#include <stdexcept>
#include <string>

#include "console/command_rules.h"
#include "console/script_rules.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFile file("script.bws");
  const std::string& path = file.Write(std::string_view(reinterpret_cast<const char*>(data), size));

  // The run starts a few levels below the nesting limit, so inputs reach the limit within a
  // handful of nested runs instead of dozens, each of which reads the file again.
  const int start_depth = console::kMaxScriptDepth - 3;
  console::ScriptRuns runs;
  runs.depth = start_depth;
  int nested_runs = 0;  // bounded: a script that runs itself twice per level doubles each level
  console::ScriptHooks hooks;
  hooks.print = [](const std::string&) {};
  hooks.execute = [&](const std::string& line) {
    FUZZ_CHECK(line.find('\n') == std::string::npos);
    const console::ParsedLine parsed = console::ParseCommandLine(line);
    if (parsed.kind != console::ParsedLine::Kind::kCommand) return;
    if (console::FindCommand(parsed.name) == console::kScript && nested_runs < 8) {
      ++nested_runs;
      console::RunScriptFile(path, hooks, runs);
    }
  };
  try {
    console::RunScriptFile(path, hooks, runs);
  } catch (const std::runtime_error&) {
  }
  FUZZ_CHECK(runs.depth == start_depth);
  return 0;
}
