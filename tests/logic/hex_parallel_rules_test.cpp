#include "tools/hex_parallel_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
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
const std::thread::id main_thread = std::this_thread::get_id();

// Where the text of block `k` goes: the break in front of its first line is its own.
std::int64_t BlockPosition(std::int64_t k) {
  return k == 0 ? 0 : DumpLineStart(k * kBlock / kBytesPerLine) - 2;
}

// The pieces the workers place, put together by position; `refused_block`: the block whose
// piece the sink refuses, as a full disk would.
class PlacedText {
 public:
  explicit PlacedText(std::int64_t refused_block = -1) : refused_block_(refused_block) {}
  PlacedTextSink Sink() {
    return [this](std::int64_t position, std::string_view piece) {
      const std::lock_guard lock(mutex_);
      if (refused_block_ >= 0 && position == BlockPosition(refused_block_)) return false;
      pieces_.emplace_back(position, piece);
      return true;
    };
  }
  // The text from the start up to the first gap.
  std::string Prefix() const {
    std::string text;
    std::vector<std::pair<std::int64_t, std::string>> sorted = pieces_;
    std::sort(sorted.begin(), sorted.end());
    for (const auto& [position, piece] : sorted) {
      if (position != static_cast<std::int64_t>(text.size())) break;
      text += piece;
    }
    return text;
  }
  // True when every piece is the dump `full` holds at its position.
  bool AllPiecesIn(const std::string& full) const {
    return std::all_of(pieces_.begin(), pieces_.end(), [&full](const auto& placed) {
      return full.compare(static_cast<std::size_t>(placed.first), placed.second.size(),
                          placed.second) == 0;
    });
  }

 private:
  std::int64_t refused_block_;
  std::mutex mutex_;
  std::vector<std::pair<std::int64_t, std::string>> pieces_;
};

// kBlock, 2 * kBlock, ... up to `bytes`, the last one cut to `bytes`.
std::vector<std::int64_t> BlockProgress(std::int64_t bytes) {
  std::vector<std::int64_t> progress;
  for (std::int64_t done = kBlock; done < bytes + kBlock; done += kBlock) {
    progress.push_back(std::min(done, bytes));
  }
  return progress;
}

TEST(HexParallelDump, GivesExactlyTheSingleThreadedText) {
  const std::int64_t sizes[] = {
      0, 1, 15, 16, 17, kBlock - 1, kBlock, kBlock + 1, 2 * kBlock, 7 * kBlock + 5, 40 * kBlock};
  for (const std::int64_t size : sizes) {
    const std::string bytes = Bytes(size);
    for (const int workers : {1, 2, 3}) {
      PlacedText placed;
      std::vector<std::int64_t> progress;
      bool on_calling_thread = true;
      const StreamResult result = WriteDumpParallel(
          Reader(bytes), size, placed.Sink(),
          [&](std::int64_t done) {
            on_calling_thread = on_calling_thread && std::this_thread::get_id() == main_thread;
            return progress.push_back(done), true;
          },
          {kBlock, workers});
      EXPECT_EQ(result, StreamResult::kDone) << size;
      EXPECT_EQ(placed.Prefix(), FormatDump(bytes)) << size << " bytes, " << workers << " workers";
      // Progress comes in the file's order, a block at a time, on the calling thread.
      EXPECT_EQ(progress, BlockProgress(size)) << size;
      EXPECT_TRUE(on_calling_thread);
    }
  }
}

TEST(HexParallelDump, StopsAndFailsAsTheSingleThreadedDumpDoes) {
  const std::string bytes = Bytes(20 * kBlock);
  const std::string full = FormatDump(bytes);
  const std::int64_t size = 20 * kBlock;
  struct Case {
    const char* what;
    std::int64_t fail_read_at;   // -1: reads never fail
    std::int64_t refused_block;  // the block whose text the sink refuses; -1: none
    std::int64_t stop_after;     // keep_going says no from here on; -1: never
    StreamResult expected;
    std::int64_t text_bytes;  // the bytes whose text is placed, and reported done, from the start
  } cases[] = {
      {"read error mid-file", 5 * kBlock + 3, -1, -1, StreamResult::kReadError, 5 * kBlock},
      {"disk full", -1, 3, -1, StreamResult::kWriteError, 3 * kBlock},
      // A block after it holds the read error; the write fails first.
      {"write fails before a bad block", 3 * kBlock + 1, 2, -1, StreamResult::kWriteError,
       2 * kBlock},
      {"read fails before a refused block", 2 * kBlock + 1, 3, -1, StreamResult::kReadError,
       2 * kBlock},
      {"stopped", -1, -1, 4 * kBlock, StreamResult::kAborted, 4 * kBlock},
      {"stopped before a bad block", 3 * kBlock + 1, -1, 2 * kBlock, StreamResult::kAborted,
       2 * kBlock},
      {"stop asked after the last block", -1, -1, size, StreamResult::kDone, size},
  };
  for (const Case& c : cases) {
    for (const int workers : {1, 2, 3}) {
      PlacedText placed(c.refused_block);
      std::vector<std::int64_t> progress;
      const StreamResult result =
          WriteDumpParallel(Reader(bytes, c.fail_read_at), size, placed.Sink(),
                            [&](std::int64_t done) {
                              progress.push_back(done);
                              return c.stop_after < 0 || done < c.stop_after;
                            },
                            {kBlock, workers});
      EXPECT_EQ(result, c.expected) << c.what;
      EXPECT_EQ(progress, BlockProgress(c.text_bytes)) << c.what;
      // Blocks past the end may have been placed too, but only ever with their own text.
      const std::string prefix = placed.Prefix();
      const std::string expected =
          FormatDump(bytes.substr(0, static_cast<std::size_t>(c.text_bytes)));
      EXPECT_EQ(prefix.substr(0, std::min(prefix.size(), expected.size())), expected) << c.what;
      EXPECT_GE(prefix.size(), expected.size()) << c.what;
      EXPECT_TRUE(placed.AllPiecesIn(full)) << c.what;
    }
  }
  // A file cut short since its size was taken is a read error.
  PlacedText placed;
  EXPECT_EQ(WriteDumpParallel(Reader(bytes), size + 1, placed.Sink(), kKeepGoing, {kBlock, 2}),
            StreamResult::kReadError);
  // What a reader throws on a worker is thrown again on the calling thread.
  const ByteReader throwing = [](std::int64_t offset, char*, std::int64_t) -> std::int64_t {
    if (offset >= 3 * kBlock) throw std::runtime_error("reader gone");
    return kBlock;
  };
  EXPECT_THROW(WriteDumpParallel(throwing, size, placed.Sink(), kKeepGoing, {kBlock, 2}),
               std::runtime_error);
}

}  // namespace
}  // namespace tools
