#include "tools/hex_rules.h"
#include "support/hex_dump.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tools {
namespace {

// Reads from bytes held in memory, counting the reads and optionally failing at an offset.
struct MemoryFile {
  std::string bytes;
  std::int64_t fail_at = -1;
  int reads = 0;

  ByteReader Reader() {
    return [this](std::int64_t offset, char* buffer, std::int64_t count) -> std::int64_t {
      ++reads;
      if (fail_at >= 0 && offset + count > fail_at) return -1;
      const auto size = static_cast<std::int64_t>(bytes.size());
      const std::int64_t n = std::max<std::int64_t>(0, std::min(count, size - offset));
      std::memcpy(buffer, bytes.data() + offset, static_cast<std::size_t>(n));
      return n;
    };
  }
};

std::string Bytes(int count, int first = 0) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += static_cast<char>((first + i) & 0xFF);
  return bytes;
}

std::string Streamed(MemoryFile& file, std::int64_t block) {
  std::string text;
  const StreamResult result = StreamDump(
      file.Reader(), static_cast<std::int64_t>(file.bytes.size()),
      [&](std::string_view piece) { return text += piece, true; },
      [](std::int64_t) { return true; }, block);
  EXPECT_EQ(result, StreamResult::kDone);
  return text;
}

TEST(HexDump, SmallFilesGiveTheExactText) {
  EXPECT_EQ(FormatDump("AB\n"), "1 : 41 42 0A ");
  EXPECT_EQ(FormatDump("AB\n").size(), 13u);
  EXPECT_EQ(FormatDump(""), "1 : ");
  EXPECT_EQ(FormatDump(std::string(1, '\xFF')), "1 : FF ");
  // 17 bytes: a full first line, LF CR, the label of the bytes above, the 17th byte.
  EXPECT_EQ(FormatDump(Bytes(17)),
            "1 : 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \n\r16 : 10 ");
  // A multiple of 16 ends with its last full line: no break and no label without bytes.
  EXPECT_EQ(FormatDump(Bytes(32, 0x40)),
            "1 : 40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F \n\r"
            "16 : 50 51 52 53 54 55 56 57 58 59 5A 5B 5C 5D 5E 5F ");
  EXPECT_EQ(FormatDump(Bytes(16)), "1 : 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ");
}

TEST(HexDump, TextColumnShowsPrintableAsciiAndDotsForTheRest) {
  const unsigned char bytes[] = {'A', ' ', '~', 0x7F, 0x00, 0x1F, 0x80, 0xFF, 'z'};
  EXPECT_EQ(tools::DumpTextColumn(bytes, 9), "A ~.....z");
  EXPECT_EQ(tools::DumpTextColumn(bytes, 0), "");
  // The saved dump never holds the text column.
  EXPECT_EQ(FormatDump("AB"), "1 : 41 42 ");
}

TEST(HexDump, LengthsAndLineStartsAgreeWithTheText) {
  for (int size :
       {0, 1, 3, 15, 16, 17, 31, 32, 33, 159, 160, 161, 1023, 1024, 1025, 16000, 16017, 20000}) {
    const std::string text = FormatDump(Bytes(size));
    SCOPED_TRACE(size);
    EXPECT_EQ(DumpTextLength(size), static_cast<std::int64_t>(text.size()));
    EXPECT_EQ(DumpLineCount(size), size == 0 ? 1 : (size + 15) / 16);
    std::int64_t start = 0;
    for (std::int64_t line = 0; line < DumpLineCount(size); ++line) {
      EXPECT_EQ(DumpLineStart(line), start);
      const std::string label = (line == 0 ? "1" : std::to_string(line * 16)) + " : ";
      EXPECT_EQ(text.compare(start, label.size(), label), 0);
      start += DumpLineLength(line, size) + 2;
    }
  }
}

TEST(HexDump, LabelWidthsGrowAtPowersOfTen) {
  // Every full line is its label, 48 characters and a break; labels widen at 112, 1008, 10000...
  std::int64_t expected = 0;
  for (std::int64_t line = 0; line <= 700; ++line) {
    ASSERT_EQ(DumpLineStart(line), expected) << line;
    expected += DumpLabelLength(line) + 48 + 2;
  }
  EXPECT_EQ(DumpLabelLength(6), 2 + 3);    // 96
  EXPECT_EQ(DumpLabelLength(7), 3 + 3);    // 112
  EXPECT_EQ(DumpLabelLength(625), 5 + 3);  // 10000
  // Far out, where only the closed form can tell: 16 * 62500000000 = 10^12.
  for (std::int64_t line : {std::int64_t{62499999999}, std::int64_t{62500000000}}) {
    EXPECT_EQ(DumpLineStart(line + 1) - DumpLineStart(line), DumpLabelLength(line) + 50);
  }
  EXPECT_EQ(DumpLabelLength(62499999999), 12 + 3);
  EXPECT_EQ(DumpLabelLength(62500000000), 13 + 3);
  // 4 GiB: 268435456 lines; the last label is 4294967280.
  const std::int64_t four_gib = std::int64_t{4} << 30;
  const std::int64_t last = DumpLineCount(four_gib) - 1;
  EXPECT_EQ(DumpLabelLength(last), 10 + 3);
  EXPECT_EQ(DumpLineAt(DumpTextLength(four_gib) - 1, four_gib), last);
  EXPECT_EQ(DumpByteAt(DumpBytePosition(four_gib - 1), four_gib), four_gib - 1);
}

TEST(HexDump, PositionsMapToBytesAndBack) {
  const std::int64_t size = 40;
  const std::string text = FormatDump(Bytes(40));
  for (std::int64_t offset = 0; offset < size; ++offset) {
    const std::int64_t at = DumpBytePosition(offset);
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", static_cast<int>(offset));
    EXPECT_EQ(text.substr(at, 2), digits);
    EXPECT_EQ(DumpByteAt(at, size), offset);
    EXPECT_EQ(DumpByteAt(at + 1, size), offset);
    EXPECT_EQ(DumpByteAt(at + 2, size), offset);  // the space belongs to the byte
  }
  EXPECT_EQ(DumpByteAt(0, size), std::nullopt);   // the label "1 : "
  EXPECT_EQ(DumpByteAt(52, size), std::nullopt);  // the line break
  EXPECT_EQ(DumpByteAt(54, size), std::nullopt);  // the label "16 : "
  EXPECT_EQ(DumpLineAt(52, size), 0);             // a break belongs to the line before it
  EXPECT_EQ(DumpLineAt(54, size), 1);
  EXPECT_EQ(DumpLineAt(static_cast<std::int64_t>(text.size()), size), 2);
}

TEST(HexDump, StreamingGivesTheFormatterTextAtEveryBlockSize) {
  for (int size : {0, 3, 16, 17, 1023, 1024, 5000}) {
    MemoryFile file{Bytes(size, 7)};
    for (std::int64_t block : {16, 32, 48, 1024, 1 << 20}) {
      EXPECT_EQ(Streamed(file, block), FormatDump(file.bytes)) << size << " " << block;
    }
  }
}

TEST(HexDump, StreamingStopsOnAbortAndReportsFailures) {
  MemoryFile file{Bytes(1000)};
  std::vector<std::int64_t> progress;
  std::string text;
  auto sink = [&](std::string_view piece) { return text += piece, true; };
  EXPECT_EQ(StreamDump(
                file.Reader(), 1000, sink,
                [&](std::int64_t done) { return progress.push_back(done), done < 320; }, 160),
            StreamResult::kAborted);
  EXPECT_EQ(progress, (std::vector<std::int64_t>{160, 320}));
  EXPECT_EQ(text, FormatDump(file.bytes.substr(0, 320)));
  // Stopping after the last block is no abort: the work is done.
  EXPECT_EQ(StreamDump(
                file.Reader(), 1000, sink, [](std::int64_t) { return false; }, 4096),
            StreamResult::kDone);

  file.fail_at = 500;
  EXPECT_EQ(StreamDump(
                file.Reader(), 1000, sink, [](std::int64_t) { return true; }, 160),
            StreamResult::kReadError);
  MemoryFile shorter{Bytes(10)};  // cut short since its size was taken
  EXPECT_EQ(StreamDump(shorter.Reader(), 20, sink, [](std::int64_t) { return true; }),
            StreamResult::kReadError);
  EXPECT_EQ(StreamDump(
                file.Reader(), 100, [](std::string_view) { return false; },
                [](std::int64_t) { return true; }),
            StreamResult::kWriteError);
}

TEST(HexDump, BlocksAnywhereInAFileGiveTheTextOfTheirLines) {
  // Blocks that begin where labels widen by a digit (10000, 10^8, 10^12, 10^18), near the largest
  // offsets, and at the start; each of 1 to 9 full lines and a short last line or none.
  const std::int64_t starts[] = {0,
                                 16,
                                 10000 - 3 * 16,
                                 100000000 - 5 * 16,
                                 1000000000000 - 2 * 16,
                                 1000000000000000000 - 16,
                                 9223372036854770000};
  const std::string bytes = Bytes(9 * 16 + 15, 0xF3);
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (const std::int64_t start : starts) {
    for (const std::int64_t count : {1, 15, 16, 17, 48, 9 * 16, 9 * 16 + 15}) {
      // Line by line, as the view writes them.
      std::string expected;
      for (std::int64_t at = 0; at < count; at += kBytesPerLine) {
        const std::int64_t line = (start + at) / kBytesPerLine;
        if (line > 0) expected += kDumpLineBreak;
        AppendDumpLine(expected, line, data + at,
                       static_cast<int>(std::min<std::int64_t>(kBytesPerLine, count - at)));
      }
      std::vector<char> text(DumpBlockCapacity(count));
      const char* end = FormatDumpBlock(text.data(), start, data, count);
      EXPECT_EQ(std::string(const_cast<const char*>(text.data()), end), expected)
          << start << " + " << count;
    }
  }
}

TEST(HexDump, SlicesAreExactlyTheText) {
  MemoryFile file{Bytes(100)};
  const std::string text = FormatDump(file.bytes);
  const auto length = static_cast<std::int64_t>(text.size());
  for (std::int64_t from : {0, 1, 4, 51, 52, 53, 54, 60, 300}) {
    for (std::int64_t to : {from, from + 1, from + 2, from + 55, length}) {
      const auto slice = DumpSlice(file.Reader(), 100, from, to);
      ASSERT_TRUE(slice);
      EXPECT_EQ(*slice, text.substr(from, std::max<std::int64_t>(0, std::min(to, length) - from)))
          << from << ".." << to;
    }
  }
  EXPECT_EQ(DumpSlice(file.Reader(), 100, length - 3, length + 50), text.substr(length - 3));
  file.fail_at = 0;
  EXPECT_EQ(DumpSlice(file.Reader(), 100, 0, 10), std::nullopt);
}

TEST(HexFind, FindsAcrossBlockEdgesAndFromAnOffset) {
  MemoryFile file{std::string(100, '\0')};
  file.bytes.replace(62, 4, "\x4D\x5A\x90\x00", 4);  // across the edge of 64-byte blocks
  const auto keep = [](std::int64_t) { return true; };
  const std::string needle("\x4D\x5A\x90\x00", 4);
  for (std::int64_t block : {1, 3, 4, 63, 64, 65, 1 << 20}) {
    const FindOutcome found = FindBytes(file.Reader(), 100, needle, 0, keep, block);
    EXPECT_EQ(found.status, FindStatus::kFound) << block;
    EXPECT_EQ(found.offset, 62) << block;
  }
  EXPECT_EQ(FindBytes(file.Reader(), 100, needle, 62, keep, 64).offset, 62);
  EXPECT_EQ(FindBytes(file.Reader(), 100, needle, 63, keep, 64).status, FindStatus::kNotFound);
  // The last bytes of the file, and a needle longer than what is left.
  file.bytes.replace(96, 4, "ABCD");
  EXPECT_EQ(FindBytes(file.Reader(), 100, "ABCD", 0, keep, 64).offset, 96);
  // A match ending on the last byte, with the search starting where it begins.
  for (std::int64_t block : {1, 4, 64}) {
    EXPECT_EQ(FindBytes(file.Reader(), 100, "ABCD", 96, keep, block).offset, 96) << block;
    EXPECT_EQ(FindBytes(file.Reader(), 100, "D", 99, keep, block).offset, 99) << block;
  }
  EXPECT_EQ(FindBytes(file.Reader(), 100, "ABCDE", 0, keep, 64).status, FindStatus::kNotFound);
  EXPECT_EQ(FindBytes(file.Reader(), 100, "", 0, keep, 64).status, FindStatus::kNotFound);
  // Only the first `size` bytes count.
  EXPECT_EQ(FindBytes(file.Reader(), 99, "ABCD", 0, keep, 64).status, FindStatus::kNotFound);
}

TEST(HexFind, FindsInDataFullOfNearMatches) {
  const auto keep = [](std::int64_t) { return true; };
  std::string pattern;
  for (int i = 0; i < 25000; ++i) pattern += "ab";
  // Every other byte starts a near match: the search must still find the one at the end.
  MemoryFile file{pattern + "aab" + pattern};
  EXPECT_EQ(
      FindBytes(file.Reader(), static_cast<std::int64_t>(file.bytes.size()), "aab", 0, keep).offset,
      50000);
  EXPECT_EQ(
      FindBytes(file.Reader(), static_cast<std::int64_t>(file.bytes.size()), "bb", 0, keep).status,
      FindStatus::kNotFound);
  // The rarest byte of the needle is its last one; matches at the very start and end.
  MemoryFile zeros{std::string("\x01\0\0", 3) + std::string(100000, '\0') +
                   std::string("\0\0\x01", 3)};
  EXPECT_EQ(FindBytes(zeros.Reader(), 100006, std::string("\0\0\x01", 3), 0, keep).offset, 100003);
  EXPECT_EQ(FindBytes(zeros.Reader(), 100006, std::string("\x01\0", 2), 0, keep).offset, 0);
}

TEST(HexFind, StopsWhenAskedAndOnReadErrors) {
  MemoryFile file{std::string(1000, 'x')};
  std::vector<std::int64_t> progress;
  const FindOutcome stopped = FindBytes(
      file.Reader(), 1000, "yz", 0,
      [&](std::int64_t done) { return progress.push_back(done), false; }, 100);
  EXPECT_EQ(stopped.status, FindStatus::kAborted);
  EXPECT_EQ(progress, std::vector<std::int64_t>{100});
  file.fail_at = 500;
  EXPECT_EQ(FindBytes(
                file.Reader(), 1000, "yz", 0, [](std::int64_t) { return true; }, 100)
                .status,
            FindStatus::kReadError);
}

TEST(HexInput, OffsetsAreDecimalOrHexadecimal) {
  EXPECT_EQ(ParseOffset("0"), 0);
  EXPECT_EQ(ParseOffset(" 1024 "), 1024);
  EXPECT_EQ(ParseOffset("0x1A"), 26);
  EXPECT_EQ(ParseOffset("0Xff"), 255);
  EXPECT_EQ(ParseOffset("0x100000000"), std::int64_t{1} << 32);
  for (const char* bad : {"", "0x", "-1", "+5", "1A", "12 34", "x10", "99999999999999999999"}) {
    EXPECT_EQ(ParseOffset(bad), std::nullopt) << bad;
  }
}

TEST(HexInput, FindPatternsAreHexPairsOrText) {
  EXPECT_EQ(ParseFindPattern("4D 5A"), std::string("\x4D\x5A"));
  EXPECT_EQ(ParseFindPattern(" 00  ff "), std::string("\x00\xFF", 2));
  EXPECT_EQ(ParseFindPattern("4d"), std::string("\x4D"));
  EXPECT_EQ(ParseFindPattern("4D5A"), "4D5A");  // not pairs: text
  EXPECT_EQ(ParseFindPattern("4D 5"), "4D 5");
  EXPECT_EQ(ParseFindPattern("hello world"), "hello world");
  EXPECT_EQ(ParseFindPattern("\"4D 5A\""), "4D 5A");  // quoted: always text
  EXPECT_EQ(ParseFindPattern("\" a \""), " a ");
  EXPECT_EQ(ParseFindPattern("   "), std::nullopt);
  EXPECT_EQ(ParseFindPattern("\"\""), std::nullopt);
}

TEST(HexPanels, StatusTexts) {
  EXPECT_EQ(SizePanelText(1023), "Size : 1023 Bytes");
  EXPECT_EQ(SizePanelText(1024), "Size : 1 KBaytes");
  EXPECT_EQ(SizePanelText(0), "Size : 0 Bytes");
  EXPECT_EQ(SizePanelText(std::int64_t{5} << 30), "Size : 5242880 KBaytes");
  EXPECT_EQ(CountPanelText(2048, 17), "2048\\17(Bytes)");
  EXPECT_EQ(PercentText(50, 100), "50%");
  EXPECT_EQ(PercentText(3, 7), "42%");  // shorter than 100 bytes
  EXPECT_EQ(PercentText(199, 199), "100%");
  EXPECT_EQ(PercentText(0, 0), "100%");
  EXPECT_EQ(PercentText(std::int64_t{3} << 40, std::int64_t{4} << 40), "75%");
  EXPECT_EQ(DumpSizeText(3), "HEX File Size : 13Bytes");
  EXPECT_EQ(DumpSizeText(0), "HEX File Size : 4Bytes");
  EXPECT_EQ(OffsetText(26), "Offset: 26 (0x1A)");
  EXPECT_EQ(OffsetText(std::int64_t{1} << 32), "Offset: 4294967296 (0x100000000)");
}

}  // namespace
}  // namespace tools
