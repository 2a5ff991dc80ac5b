#pragma once

// The hexadecimal dump written on every core. Every line but the last has a fixed length for its
// label's width, so where each block of lines goes in the text is known before it is formatted
// (DumpLineStart). Each worker thread therefore reads a block, formats it and hands it to the
// sink with its place in the text, with no thread putting the blocks in order and no copy
// between threads. The text placed is exactly what StreamDump writes.
//
// Memory stays bounded: each worker holds one block and its text. The reader and the sink are
// called on the worker threads, for several blocks at once; the progress callback runs on the
// calling thread only, in the file's order, so a callback that pumps the window's events stays
// where it belongs.

#include <cstdint>
#include <functional>
#include <string_view>

#include "tools/hex_rules.h"

namespace tools {

struct ParallelDumpOptions {
  // Bytes of the file in one block (rounded down to whole lines). Its text (about 2 MiB) is
  // still in the processor's cache when it is written, and each write is a large one.
  std::int64_t block = std::int64_t{512} << 10;
  // Threads formatting and writing; 0: one per core, up to eight.
  int workers = 0;
};

// Takes the text of one block and its position in the dump; false when it could not be written.
// Called on several threads at once, each time for a different part of the text.
using PlacedTextSink = std::function<bool(std::int64_t position, std::string_view text)>;

// Writes the dump of the first `size` bytes to `sink` with the results StreamDump gives. The
// blocks are taken in the file's order; `keep_going` is called after each block with the bytes
// whose text is all placed, in order, one block at a time. A read error, a refused piece of text
// or a stop ends the work once the blocks under way are done, and the error reported is the one
// StreamDump would meet first: that of the earliest failed block, or the stop when it came
// before that block. Blocks after a failure or a stop may have been placed too.
StreamResult WriteDumpParallel(const ByteReader& read, std::int64_t size,
                               const PlacedTextSink& sink, const KeepGoing& keep_going,
                               const ParallelDumpOptions& options = {});

}  // namespace tools
