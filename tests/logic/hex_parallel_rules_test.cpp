#include "tools/hex_parallel_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "support/hex_dump.h"

namespace tools {
namespace {

constexpr std::int64_t kBlock = 160;  // ten lines

std::string Bytes(std::int64_t count) {
  std::string bytes;
  for (std::int64_t i = 0; i < count; ++i) bytes += static_cast<char>((i * 37 + i / 256) & 0xFF);
  return bytes;
}

// Reads from memory; a read that reaches `fail_at` fails.
ByteReader Reader(const std::string& bytes, std::int64_t fail_at = -1) {
  return [&bytes, fail_at](std::int64_t offset, char* buffer, std::int64_t count) -> std::int64_t {
    if (fail_at >= 0 && offset + count > fail_at) return -1;
    const std::int64_t n = std::max<std::int64_t>(
        0, std::min(count, static_cast<std::int64_t>(bytes.size()) - offset));
    std::memcpy(buffer, bytes.data() + offset, static_cast<std::size_t>(n));
    return n;
  };
}

const auto kKeepGoing = [](std::int64_t) { return true; };

TEST(HexParallelDump, GivesExactlyTheSingleThreadedText) {
  const std::int64_t sizes[] = {
      0, 1, 15, 16, 17, kBlock - 1, kBlock, kBlock + 1, 2 * kBlock, 7 * kBlock + 5, 40 * kBlock};
  for (const std::int64_t size : sizes) {
    const std::string bytes = Bytes(size);
    for (const int workers : {1, 2, 3}) {
      std::string text;
      std::vector<std::int64_t> progress;
      const StreamResult result = StreamDumpParallel(
          Reader(bytes), size, [&](std::string_view piece) { return text += piece, true; },
          [&](std::int64_t done) { return progress.push_back(done), true; }, {kBlock, workers});
      EXPECT_EQ(result, StreamResult::kDone) << size;
      EXPECT_EQ(text, FormatDump(bytes)) << size << " bytes, " << workers << " workers";
      // Progress comes in the file's order, a block at a time.
      EXPECT_EQ(progress.empty() ? 0 : progress.back(), size);
      EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    }
  }
}

TEST(HexParallelDump, StopsAndFailsAsTheSingleThreadedDumpDoes) {
  const std::string bytes = Bytes(20 * kBlock);
  const std::int64_t size = 20 * kBlock;
  struct Case {
    const char* what;
    std::int64_t fail_read_at;  // -1: reads never fail
    int refused_piece;          // the piece the sink refuses; -1: none
    std::int64_t stop_after;    // keep_going says no from here on; -1: never
    StreamResult expected;
    std::int64_t text_bytes;  // the bytes whose text reached the sink
  } cases[] = {
      {"read error mid-file", 5 * kBlock + 3, -1, -1, StreamResult::kReadError, 5 * kBlock},
      {"disk full", -1, 3, -1, StreamResult::kWriteError, 3 * kBlock},
      // The blocks read ahead hold the read error; the write fails first.
      {"write fails before a bad block", 3 * kBlock + 1, 2, -1, StreamResult::kWriteError,
       2 * kBlock},
      {"stopped", -1, -1, 4 * kBlock, StreamResult::kAborted, 4 * kBlock},
      {"stopped before a bad block", 3 * kBlock + 1, -1, 2 * kBlock, StreamResult::kAborted,
       2 * kBlock},
      {"stop asked after the last block", -1, -1, size, StreamResult::kDone, size},
  };
  for (const Case& c : cases) {
    for (const int workers : {1, 2}) {
      std::string text;
      int pieces = 0;
      const StreamResult result = StreamDumpParallel(
          Reader(bytes, c.fail_read_at), size,
          [&](std::string_view piece) {
            return pieces++ != c.refused_piece && (text += piece, true);
          },
          [&](std::int64_t done) { return c.stop_after < 0 || done < c.stop_after; },
          {kBlock, workers});
      EXPECT_EQ(result, c.expected) << c.what;
      EXPECT_EQ(text, FormatDump(bytes.substr(0, static_cast<std::size_t>(c.text_bytes))))
          << c.what;
    }
  }
  // A file cut short since its size was taken is a read error.
  EXPECT_EQ(StreamDumpParallel(Reader(bytes), size + 1, [](std::string_view) { return true; },
                               kKeepGoing, {kBlock, 2}),
            StreamResult::kReadError);
}

}  // namespace
}  // namespace tools
