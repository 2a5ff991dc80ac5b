// The command-line grammar over arbitrary lines: the parts it reports come from the line as
// written, and the argument readers accept anything.
#include <string>

#include "console/command_rules.h"
#include "fuzz_support.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (std::string_view line : platform::SplitLineViews(text)) {
    const console::ParsedLine parsed = console::ParseCommandLine(line);
    if (parsed.kind == console::ParsedLine::Kind::kCommand) {
      FUZZ_CHECK(line.substr(0, parsed.name.size()) == parsed.name);
      FUZZ_CHECK(line.find(parsed.raw_argument) != std::string_view::npos);
      const int id = console::FindCommand(parsed.name);
      FUZZ_CHECK(id >= -1 && id < console::kCommandCount);
      if (id >= 0) {
        FUZZ_CHECK(console::EqualsIgnoreCase(console::Commands()[id].name, parsed.name));
      }
    }
    const auto number = console::ParseIntArgument(parsed.raw_argument);
    if (number) FUZZ_CHECK(console::ParseIntArgument(std::to_string(*number)) == number);
    console::ParseBoolArgument(parsed.raw_argument);
  }
  return 0;
}
