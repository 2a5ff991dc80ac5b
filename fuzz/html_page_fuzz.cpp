// The HTML page builder: fuzzed names, sizes, times, title and style. The page and every
// escaped text are valid UTF-8 with no raw markup characters taken from a name.
#include <cstdint>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "export/html_page_rules.h"
#include "fuzz_support.h"

namespace {

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = s[i];
    int extra = 0;
    char32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, cp = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char t = s[i + k];
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) ||
        cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      return false;
    }
    i += extra + 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::vector<html::PageFile> files(input.ConsumeIntegralInRange(0, 8));
  for (html::PageFile& f : files) {
    f.name = input.ConsumeRandomLengthString(40);
    f.size = input.ConsumeIntegralInRange<std::int64_t>(0, INT64_MAX);  // as stat gives them
    f.mtime = input.ConsumeIntegral<std::int64_t>();
    const std::string escaped = html::EscapeHtml(f.name);
    FUZZ_CHECK(IsValidUtf8(escaped));
    FUZZ_CHECK(escaped.find_first_of("<>\"'") == std::string::npos);
  }
  html::PageOptions options;
  options.path = input.ConsumeRandomLengthString(40);
  options.full_path = input.ConsumeBool();
  options.date = input.ConsumeBool();
  options.size = input.ConsumeBool();
  const std::string title = input.ConsumeRandomLengthString(40);
  std::optional<std::string> style;
  if (input.ConsumeBool()) style = input.ConsumeRandomLengthString(80);

  html::DateColumn dates(html::DateFormat{
      [](int y, int m, int d) {
        return std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d);
      },
      [](int h, int m, int s, const std::string& zone) {
        return std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s) + zone;
      }});
  const std::string page = html::BuildFileListPage(
      files, options, title, style, [&dates](std::int64_t mtime) { return dates.Text(mtime); });
  if (!style) FUZZ_CHECK(IsValidUtf8(page));
  return 0;
}
