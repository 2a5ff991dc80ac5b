// The listing patterns: a pattern and a name, split at the first NUL byte.
#include <string>

#include "fuzz_support.h"
#include "platform/enumerate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::SplitInput(data, size, 2);
  const std::string& pattern = parts[0];
  const std::string& name = parts[1];

  std::string dir, name_pattern;
  platform::SplitPattern(pattern, dir, name_pattern);
  FUZZ_CHECK(dir + name_pattern == pattern);
  FUZZ_CHECK(name_pattern.find('/') == std::string::npos);
  platform::MatchListingPattern(name, name_pattern);
  if (name_pattern.find_first_of("*?") == std::string::npos) {
    FUZZ_CHECK(platform::MatchListingPattern(name_pattern, name_pattern));
  }
  FUZZ_CHECK(platform::MatchListingPattern(name, "*"));
  return 0;
}
