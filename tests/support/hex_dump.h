#pragma once

// The whole hex dump of bytes held in memory, line by line: what the viewer's streamed dump,
// slices and saved files are checked against.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/hex_rules.h"

inline std::string FormatDump(std::string_view bytes) {
  std::string text;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto size = static_cast<std::int64_t>(bytes.size());
  for (std::int64_t line = 0; line < tools::DumpLineCount(size); ++line) {
    if (line > 0) text += tools::kDumpLineBreak;
    const std::int64_t first = line * tools::kBytesPerLine;
    tools::AppendDumpLine(
        text, line, data + first,
        static_cast<int>(std::min<std::int64_t>(tools::kBytesPerLine, size - first)));
  }
  return text;
}
