// Language loading over arbitrary file contents: every entry of the table is filled.
#include <string>

#include "config/language_rules.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFile file("language.ini");
  const std::string& path = file.Write(std::string_view(reinterpret_cast<const char*>(data), size));
  config::LanguageTable table;
  table.Load(path);
  for (int n = 0; n <= config::kLanguageEntries + 1; ++n) {
    const std::string entry = table.Entry(n);
    if (n < 1 || n > config::kLanguageEntries) FUZZ_CHECK(entry == config::DefaultEntry(n));
  }
  return 0;
}
