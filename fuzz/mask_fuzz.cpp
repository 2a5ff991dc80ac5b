// The search masks: a mask and a name, split at the first NUL byte. A mask is refused exactly
// when it has an error text, and a compiled mask answers for any name.
#include <string>

#include "fuzz_support.h"
#include "tools/mask_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::SplitInput(data, size, 2);
  const std::string& mask_text = parts[0];
  const std::string& name = parts[1];

  std::string error;
  const auto mask = tools::Mask::Compile(mask_text, &error);
  FUZZ_CHECK(mask.has_value() == error.empty());
  if (mask) mask->Matches(name);
  if (mask && mask_text.find_first_of("*?[") == std::string::npos) {
    FUZZ_CHECK(mask->Matches(mask_text));
  }
  tools::ListingMaskError(mask_text);
  return 0;
}
