// The hex line formatter: the dump of fuzzed bytes has the length and layout the position
// arithmetic promises, slices agree with the whole dump, and typed offsets and search patterns
// accept any text.
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_support.h"
#include "support/hex_dump.h"
#include "tools/hex_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::int64_t length = static_cast<std::int64_t>(size);
  const std::string dump = FormatDump(bytes);
  FUZZ_CHECK(static_cast<std::int64_t>(dump.size()) == tools::DumpTextLength(length));

  const tools::ByteReader read = [&bytes](std::int64_t offset, char* buffer, std::int64_t count) {
    if (offset >= static_cast<std::int64_t>(bytes.size())) return std::int64_t{0};
    const std::int64_t n = std::min<std::int64_t>(count, bytes.size() - offset);
    std::memcpy(buffer, bytes.data() + offset, n);
    return n;
  };
  FuzzedDataProvider input(data, size);
  const std::int64_t from = input.ConsumeIntegralInRange<std::int64_t>(0, dump.size());
  const std::int64_t to = input.ConsumeIntegralInRange<std::int64_t>(from, dump.size());
  const auto slice = tools::DumpSlice(read, length, from, to);
  FUZZ_CHECK(slice && *slice == dump.substr(from, to - from));

  if (from < static_cast<std::int64_t>(dump.size())) {
    const auto byte = tools::DumpByteAt(from, length);
    if (byte) {
      FUZZ_CHECK(*byte >= 0 && *byte < length);
      const std::int64_t digit = tools::DumpBytePosition(*byte);
      FUZZ_CHECK(from >= digit && from < digit + tools::kCharsPerByte);
    }
    const std::int64_t line = tools::DumpLineAt(from, length);
    FUZZ_CHECK(line >= 0 && line < tools::DumpLineCount(length));
    FUZZ_CHECK(tools::DumpLineStart(line) <= from);
  }

  std::string streamed;
  const auto result = tools::StreamDump(
      read, length,
      [&streamed](std::string_view piece) {
        streamed += piece;
        return true;
      },
      [](std::int64_t) { return true; }, input.ConsumeIntegralInRange<std::int64_t>(1, 256));
  FUZZ_CHECK(result == tools::StreamResult::kDone && streamed == dump);

  const std::string typed = input.ConsumeRandomLengthString(32);
  tools::ParseOffset(typed);
  if (const auto needle = tools::ParseFindPattern(typed)) {
    const auto found = tools::FindBytes(
        read, length, *needle, 0, [](std::int64_t) { return true; },
        input.ConsumeIntegralInRange<std::int64_t>(1, 64));
    const std::size_t expected = bytes.find(*needle);
    if (expected == std::string::npos) {
      FUZZ_CHECK(found.status == tools::FindStatus::kNotFound);
    } else {
      FUZZ_CHECK(found.status == tools::FindStatus::kFound &&
                 found.offset == static_cast<std::int64_t>(expected));
    }
  }
  tools::OffsetText(input.ConsumeIntegral<std::int64_t>());
  tools::SizePanelText(input.ConsumeIntegral<std::int64_t>());
  return 0;
}
