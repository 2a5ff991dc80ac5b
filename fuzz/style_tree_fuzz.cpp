// The style-file tree over arbitrary files: writing what was read and reading it back gives the
// same tree, and the declaration panel's builders accept any field text.
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "export/style_tree_rules.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const css::StyleTreeRead read = css::ReadStyleTree(text);
  const std::string written = css::WriteStyleTree(read.tree);
  const css::StyleTreeRead again = css::ReadStyleTree(written);
  FUZZ_CHECK(css::WriteStyleTree(again.tree) == written);

  FuzzedDataProvider input(data, size);
  css::Declaration d;
  for (std::string* field :
       {&d.background, &d.color, &d.font_family, &d.font_weight, &d.font_size, &d.decoration}) {
    *field = input.ConsumeRandomLengthString(64);
  }
  css::BuildDeclaration(d);
  const int red = input.ConsumeIntegral<int>();
  const int green = input.ConsumeIntegralInRange(0, 255);
  const int blue = input.ConsumeIntegralInRange(0, 255);
  const std::string color = css::ColorText(red, green, blue);
  if (red >= 0 && red <= 255) FUZZ_CHECK(color.size() == 7);
  const std::string file = input.ConsumeRandomLengthString(64);
  css::IsDirectlyIn(file, input.ConsumeRemainingBytesAsString());
  return 0;
}
