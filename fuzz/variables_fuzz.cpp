// Variable substitution: a command text and a variables file, split at the first NUL byte.
#include <optional>
#include <string>

#include "console/variable_rules.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::SplitInput(data, size, 2);
  const std::string& text = parts[0];
  const std::string& defvars = parts[1];

  console::VariableSource source;
  source.start_button = "start";
  source.current_dir = "/home/user/$DIR/";  // values holding names must not be replaced again
  source.program_dir = "/opt/bw/";
  source.current_file = "$THIS.txt";
  source.date = [] { return std::string("08.12.2026"); };
  source.time = [] { return std::string("02:10:00"); };
  source.system_dir = [] { return std::string("/usr/lib/"); };
  source.ask_input = [] { return std::string("$INPUT"); };
  source.ask_open_file = [] { return std::string("/tmp/open"); };
  source.ask_save_file = [] { return std::string(); };
  source.print = [](const std::string&) {};
  source.read_external = [&defvars] { return std::optional<std::string>(defvars); };
  console::ReplaceVariables(text, source);

  source.read_external = {};
  const std::string plain = console::ReplaceVariables(text, source);
  if (text.find_first_of("${") == std::string::npos) {
    FUZZ_CHECK(plain == text);
  }
  return 0;
}
