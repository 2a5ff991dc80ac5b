#include "tools/hex_parallel_rules.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace tools {
namespace {

// More workers than this would format faster than any disk takes the text, and only hold more
// blocks in memory.
constexpr unsigned kMaxWorkers = 8;

// One block of the ring: its bytes as read, and their text once a worker has formatted them.
struct Slot {
  std::vector<char> bytes;
  std::vector<char> text;
  std::int64_t offset = 0;
  std::int64_t count = 0;
  std::size_t length = 0;  // characters of `text` in use
  bool formatted = false;
};

// Worker threads formatting the blocks posted to them, in any order. Dropping the pool stops
// the workers once the blocks they are formatting are done; blocks still queued are dropped.
class FormatPool {
 public:
  explicit FormatPool(int workers) {
    for (int i = 0; i < workers; ++i) threads_.emplace_back([this] { Run(); });
  }
  ~FormatPool() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    work_ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }
  FormatPool(const FormatPool&) = delete;
  FormatPool& operator=(const FormatPool&) = delete;

  void Post(Slot& slot) {
    {
      const std::lock_guard lock(mutex_);
      slot.formatted = false;
      queue_.push_back(&slot);
    }
    work_ready_.notify_one();
  }

  void WaitFormatted(const Slot& slot) {
    std::unique_lock lock(mutex_);
    formatted_.wait(lock, [&slot] { return slot.formatted; });
  }

 private:
  void Run() {
    for (;;) {
      Slot* slot = nullptr;
      {
        std::unique_lock lock(mutex_);
        work_ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        slot = queue_.front();
        queue_.pop_front();
      }
      const char* end =
          FormatDumpBlock(slot->text.data(), slot->offset,
                          reinterpret_cast<const unsigned char*>(slot->bytes.data()), slot->count);
      {
        const std::lock_guard lock(mutex_);
        slot->length = static_cast<std::size_t>(end - slot->text.data());
        slot->formatted = true;
      }
      formatted_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable formatted_;
  std::deque<Slot*> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace

StreamResult StreamDumpParallel(const ByteReader& read, std::int64_t size, const TextSink& sink,
                                const KeepGoing& keep_going, const ParallelDumpOptions& options) {
  const std::int64_t block = DumpBlockBytes(options.block);
  // A single block has nothing to share out.
  if (size <= block) return StreamDump(read, size, sink, keep_going, block);
  const int workers =
      options.workers > 0
          ? options.workers
          : static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, kMaxWorkers));
  const std::int64_t blocks = (size + block - 1) / block;
  // A block for each worker, the one being written and the one being read.
  const std::int64_t ring = std::min<std::int64_t>(workers + 2, blocks);
  std::vector<Slot> slots(static_cast<std::size_t>(ring));  // outlives the pool's workers
  FormatPool pool(workers);

  std::int64_t next_read = 0;
  std::int64_t failed_read = -1;  // the block whose read failed
  for (std::int64_t next_write = 0; next_write < blocks; ++next_write) {
    // Keep the ring full, so the workers have blocks to format while the sink writes.
    while (failed_read < 0 && next_read < blocks && next_read - next_write < ring) {
      Slot& slot = slots[static_cast<std::size_t>(next_read % ring)];
      if (slot.bytes.empty()) {
        slot.bytes.resize(static_cast<std::size_t>(block));
        slot.text.resize(DumpBlockCapacity(block));
      }
      slot.offset = next_read * block;
      slot.count = std::min(block, size - slot.offset);
      if (ReadDumpBytes(read, slot.offset, slot.bytes.data(), slot.count) != slot.count) {
        failed_read = next_read;  // reported once the blocks before it are written
        break;
      }
      pool.Post(slot);
      ++next_read;
    }
    if (next_write == failed_read) return StreamResult::kReadError;
    const Slot& slot = slots[static_cast<std::size_t>(next_write % ring)];
    pool.WaitFormatted(slot);
    if (!sink(std::string_view(slot.text.data(), slot.length))) return StreamResult::kWriteError;
    const std::int64_t done = slot.offset + slot.count;
    if (!keep_going(done) && done < size) return StreamResult::kAborted;
  }
  return StreamResult::kDone;
}

}  // namespace tools
