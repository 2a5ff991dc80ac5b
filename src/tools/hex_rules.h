#pragma once

// The hexadecimal dump of a file as text, worked out line by line from the file's bytes so that
// no caller ever needs the whole text in memory.
//
// Layout: every byte is two upper-case hexadecimal digits and a space; a line holds 16 bytes and
// begins with a label and " : ". The first line's label is 1; every later line's label is the
// number of bytes above it (16, 32, 48, ...), that is the offset of its first byte. Lines are
// separated by the two characters LF CR. A line break and a label are only written when a byte
// follows them, so a length that is a multiple of 16 ends with the last full line, and an empty
// file gives the single label "1 : ".

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tools {

inline constexpr int kBytesPerLine = 16;
inline constexpr int kCharsPerByte = 3;
inline constexpr std::string_view kDumpLineBreak = "\n\r";

// How many lines the dump of `size` bytes has (at least one).
std::int64_t DumpLineCount(std::int64_t size);
// Characters of the label of line `line` (0-based), " : " included.
int DumpLabelLength(std::int64_t line);
// Characters of line `line` without its line break.
int DumpLineLength(std::int64_t line, std::int64_t size);
// Position in the dump text of the first character of line `line`'s label.
std::int64_t DumpLineStart(std::int64_t line);
// Characters of the whole dump text.
std::int64_t DumpTextLength(std::int64_t size);
// The line a text position lies on; the line break after a line counts as part of that line.
std::int64_t DumpLineAt(std::int64_t position, std::int64_t size);
// The byte whose two digits and space hold a text position; nothing for labels and breaks.
std::optional<std::int64_t> DumpByteAt(std::int64_t position, std::int64_t size);
// The text position of the first digit of the byte at `offset`.
std::int64_t DumpBytePosition(std::int64_t offset);

// Appends the text of line `line` (label and `count` bytes, no line break).
void AppendDumpLine(std::string& out, std::int64_t line, const unsigned char* bytes, int count);
// The bytes as the text column beside the hex shows them: printable ASCII as it is, a dot for
// every other byte. Shown in the view only; the dump text never holds it.
std::string DumpTextColumn(const unsigned char* bytes, int count);

// Reads up to `count` bytes at `offset` into `buffer`; returns how many were read (fewer only at
// the end of the file), or -1 when the read failed.
using ByteReader =
    std::function<std::int64_t(std::int64_t offset, char* buffer, std::int64_t count)>;
// Takes the next piece of text; false when it could not be written.
using TextSink = std::function<bool(std::string_view text)>;
// Called between blocks with the number of bytes done so far; false stops the work.
using KeepGoing = std::function<bool(std::int64_t done)>;

enum class StreamResult { kDone, kAborted, kReadError, kWriteError };

// Reads exactly `count` bytes unless the file ends or fails first; returns how many were read,
// or -1 on failure.
std::int64_t ReadDumpBytes(const ByteReader& read, std::int64_t offset, char* buffer,
                           std::int64_t count);
// The bytes a block of the streamed dump holds when about `block` are asked for: whole lines,
// at least one.
std::int64_t DumpBlockBytes(std::int64_t block);
// The room FormatDumpBlock needs for `count` bytes: the longest text they can give and the spare
// byte the formatter stores past the end of its text.
std::size_t DumpBlockCapacity(std::int64_t count);
// Writes the dump text of `count` bytes that lie at `offset` (the start of a line) to `out`,
// each line preceded by its line break except the file's first; returns the end of the text.
// Blocks formatted one after the other give the dump of their bytes together.
char* FormatDumpBlock(char* out, std::int64_t offset, const unsigned char* bytes,
                      std::int64_t count);

// Writes the dump of the first `size` bytes to `sink` in pieces of about `block` bytes' text.
// A file shorter than `size` is a read error.
StreamResult StreamDump(const ByteReader& read, std::int64_t size, const TextSink& sink,
                        const KeepGoing& keep_going, std::int64_t block = std::int64_t{1} << 20);

// The dump text between positions `from` and `to`; nothing when a read fails.
std::optional<std::string> DumpSlice(const ByteReader& read, std::int64_t size, std::int64_t from,
                                     std::int64_t to);

enum class FindStatus { kFound, kNotFound, kAborted, kReadError };
struct FindOutcome {
  FindStatus status = FindStatus::kNotFound;
  std::int64_t offset = -1;  // where the bytes were found
};

// Looks for `needle` in the first `size` bytes, starting at offset `from`, reading blocks of
// `block` bytes (matches across block edges are found too).
FindOutcome FindBytes(const ByteReader& read, std::int64_t size, std::string_view needle,
                      std::int64_t from, const KeepGoing& keep_going,
                      std::int64_t block = std::int64_t{4} << 20);

// An offset typed by the user: decimal, or hexadecimal behind "0x"; nothing for anything else.
std::optional<std::int64_t> ParseOffset(std::string_view text);
// A byte sequence typed by the user: hexadecimal pairs separated by spaces ("4D 5A") are bytes;
// text in double quotes, or anything else, stands for its own bytes. Nothing for empty input.
std::optional<std::string> ParseFindPattern(std::string_view text);

// Status texts: "Size : 1023 Bytes" or "Size : 1 KBaytes" (whole KiB from 1024 bytes on).
std::string SizePanelText(std::int64_t size);
// "2048\17(Bytes)": the size and how many bytes are done.
std::string CountPanelText(std::int64_t size, std::int64_t done);
// The share done as "42%"; an empty file counts as all done.
std::string PercentText(std::int64_t done, std::int64_t size);
// "HEX File Size : 13Bytes": the characters of the dump text.
std::string DumpSizeText(std::int64_t size);
// "Offset: 26 (0x1A)".
std::string OffsetText(std::int64_t offset);

}  // namespace tools
