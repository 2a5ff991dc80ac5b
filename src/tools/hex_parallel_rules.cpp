#include "tools/hex_parallel_rules.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace tools {
namespace {

// More workers than this would format faster than any disk takes the text, and only hold more
// blocks in memory.
constexpr unsigned kMaxWorkers = 8;
constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::max();

// Where the text of the block that begins at byte `offset` (the start of a line) goes: the line
// break in front of its first line belongs to the block.
std::int64_t BlockTextPosition(std::int64_t offset) {
  const std::int64_t line = offset / kBytesPerLine;
  if (line == 0) return 0;
  return DumpLineStart(line) - static_cast<std::int64_t>(kDumpLineBreak.size());
}

// The worker threads and what they share: the next block to take, the block each one has under
// way, and the earliest block that failed. Dropping it stops the workers once their blocks are
// done and waits for them.
class DumpWorkers {
 public:
  DumpWorkers(const ByteReader& read, std::int64_t size, const PlacedTextSink& sink,
              std::int64_t block, int workers)
      : read_(read),
        sink_(sink),
        size_(size),
        block_(block),
        blocks_((size + block - 1) / block),
        under_way_(static_cast<std::size_t>(workers), kNone),
        running_(workers) {
    for (int i = 0; i < workers; ++i) threads_.emplace_back([this, i] { Run(i); });
  }
  ~DumpWorkers() {
    Stop();
    for (std::thread& thread : threads_) thread.join();
  }
  DumpWorkers(const DumpWorkers&) = delete;
  DumpWorkers& operator=(const DumpWorkers&) = delete;

  struct Progress {
    std::int64_t done_blocks;  // blocks done from the start of the file
    bool ended;                // every worker has ended, so no more will be done
  };
  // Waits until more blocks than `reported` are done from the start of the file, or until the
  // workers have all ended.
  Progress WaitPast(std::int64_t reported) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return DonePrefix() > reported || running_ == 0; });
    return {DonePrefix(), running_ == 0};
  }
  // No more blocks are taken.
  void Stop() {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  // What the earliest failed block met (kDone: none failed); rethrows what it threw. Only once
  // WaitPast has told that the workers ended.
  StreamResult Failure() const {
    if (failure_exception_) std::rethrow_exception(failure_exception_);
    return failure_;
  }

 private:
  // Blocks done from the start of the file: those before the first block still under way, not
  // yet taken or failed.
  std::int64_t DonePrefix() const {
    std::int64_t prefix = std::min(next_, failed_block_);
    for (const std::int64_t block : under_way_) prefix = std::min(prefix, block);
    return prefix;
  }

  void Run(int worker) {
    std::vector<char> bytes(static_cast<std::size_t>(block_));
    std::vector<char> text(DumpBlockCapacity(block_));
    for (;;) {
      std::int64_t block;
      {
        const std::lock_guard lock(mutex_);
        under_way_[static_cast<std::size_t>(worker)] = kNone;
        if (stopping_ || next_ >= blocks_) {
          --running_;
          changed_.notify_all();
          return;
        }
        block = next_++;
        under_way_[static_cast<std::size_t>(worker)] = block;
      }
      changed_.notify_all();  // the block before may have completed the prefix
      StreamResult result = StreamResult::kDone;
      std::exception_ptr thrown;
      try {
        result = DoBlock(block, bytes, text);
      } catch (...) {
        thrown = std::current_exception();
      }
      if (result == StreamResult::kDone && !thrown) continue;
      const std::lock_guard lock(mutex_);
      stopping_ = true;
      if (block < failed_block_) {
        failed_block_ = block;
        failure_ = result;
        failure_exception_ = thrown;
      }
    }
  }

  StreamResult DoBlock(std::int64_t block, std::vector<char>& bytes, std::vector<char>& text) {
    const std::int64_t offset = block * block_;
    const std::int64_t count = std::min(block_, size_ - offset);
    if (ReadDumpBytes(read_, offset, bytes.data(), count) != count) return StreamResult::kReadError;
    const char* end = FormatDumpBlock(text.data(), offset,
                                      reinterpret_cast<const unsigned char*>(bytes.data()), count);
    const std::string_view placed(text.data(), static_cast<std::size_t>(end - text.data()));
    return sink_(BlockTextPosition(offset), placed) ? StreamResult::kDone
                                                    : StreamResult::kWriteError;
  }

  const ByteReader& read_;
  const PlacedTextSink& sink_;
  const std::int64_t size_;
  const std::int64_t block_;
  const std::int64_t blocks_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::int64_t next_ = 0;
  std::vector<std::int64_t> under_way_;  // per worker; kNone: none
  int running_;
  bool stopping_ = false;
  std::int64_t failed_block_ = kNone;
  StreamResult failure_ = StreamResult::kDone;
  std::exception_ptr failure_exception_;
  std::vector<std::thread> threads_;  // last: started once everything above is set
};

}  // namespace

StreamResult WriteDumpParallel(const ByteReader& read, std::int64_t size,
                               const PlacedTextSink& sink, const KeepGoing& keep_going,
                               const ParallelDumpOptions& options) {
  if (size <= 0) return sink(0, "1 : ") ? StreamResult::kDone : StreamResult::kWriteError;
  const std::int64_t block = DumpBlockBytes(options.block);
  const std::int64_t blocks = (size + block - 1) / block;
  const unsigned wanted = options.workers > 0
                              ? static_cast<unsigned>(options.workers)
                              : std::clamp(std::thread::hardware_concurrency(), 1u, kMaxWorkers);
  DumpWorkers workers(read, size, sink, block,
                      static_cast<int>(std::min<std::int64_t>(wanted, blocks)));

  // Progress in the file's order, a block at a time, as the single-threaded dump gives it.
  std::int64_t reported = 0;
  for (bool ended = false; !ended;) {
    const DumpWorkers::Progress progress = workers.WaitPast(reported);
    for (; reported < progress.done_blocks; ++reported) {
      const std::int64_t done = std::min(size, (reported + 1) * block);
      if (!keep_going(done) && done < size) {
        workers.Stop();
        return StreamResult::kAborted;  // the workers finish their blocks as they are dropped
      }
    }
    ended = progress.ended;
  }
  if (reported == blocks) return StreamResult::kDone;
  // Every block before the failed one is done, so the loop above has reported them all.
  return workers.Failure();
}

}  // namespace tools
