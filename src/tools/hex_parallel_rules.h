#pragma once

// The streamed hexadecimal dump with its text formatted on every core. The calling thread reads
// the file in large blocks of whole lines and hands each block to a pool of worker threads; the
// formatted blocks come back to the calling thread, which gives them to the sink strictly in
// the file's order. The text is exactly what StreamDump writes.
//
// Memory stays bounded: a small ring of blocks (one for each worker and two more) is all that is
// ever held, so reading waits for the writing rather than running ahead through the file. The
// reader, the sink and the progress callback run on the calling thread only, so a callback that
// pumps the window's events stays where it belongs.

#include <cstdint>

#include "tools/hex_rules.h"

namespace tools {

struct ParallelDumpOptions {
  // Bytes of the file in one block (rounded down to whole lines).
  std::int64_t block = std::int64_t{1} << 20;
  // Threads formatting the text; 0: one per core, up to eight.
  int workers = 0;
};

// Writes the dump of the first `size` bytes to `sink` with the results StreamDump gives: a read
// error, a refused piece of text or a stop asked for between blocks ends the work, and the error
// that StreamDump would meet first is the one reported (a block read ahead of a failed write
// never turns the write error into a read error).
StreamResult StreamDumpParallel(const ByteReader& read, std::int64_t size, const TextSink& sink,
                                const KeepGoing& keep_going,
                                const ParallelDumpOptions& options = {});

}  // namespace tools
