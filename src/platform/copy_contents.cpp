#include "platform/copy_contents.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>

#include "platform/fault_plan.h"

namespace platform {
namespace {

// How much the kernel copies between two progress reports.
constexpr std::size_t kKernelChunk = std::size_t{8} << 20;
constexpr std::size_t kBufferSize = std::size_t{1} << 17;

// One copy of the data of `in` to the same offsets of `out`.
class ContentsCopy {
 public:
  ContentsCopy(int in, int out, const CopyProgress& progress)
      : in_(in), out_(out), progress_(progress) {}

  // Copies the bytes from `from` up to `to` (or the end of the file, should it come first);
  // `end` receives the offset after the last byte copied.
  CopyStep Range(off_t from, off_t to, off_t& end) {
    off_t in_offset = from;
    off_t out_offset = from;
    while (in_offset < to) {
      const auto want =
          static_cast<std::size_t>(std::min<off_t>(to - in_offset, off_t{kKernelChunk}));
      ssize_t n;
      if (kernel_) {
        // The kernel moves the data without bringing it up here, and shares the blocks where
        // the file system can.
        n = faults::CopyFileRange(in_, &in_offset, out_, &out_offset, want);
        if (n < 0) {
          // Not supported between these files: go on from the same offset by hand. A real fault
          // (a full disk) fails there again.
          if (errno != EINTR) kernel_ = false;
          continue;
        }
      } else {
        n = ReadWrite(in_offset, want);
        if (n < 0) return CopyStep::kFailed;
        in_offset += n;
        out_offset += n;
      }
      if (n == 0) break;  // the file ended early
      if (!Report(in_offset)) return CopyStep::kStopped;
    }
    end = in_offset;
    return CopyStep::kDone;
  }

  // Tells the caller how far the copy has come; false when it asks to stop.
  bool Report(std::int64_t offset) {
    if (offset <= reported_) return true;
    reported_ = offset;
    return !progress_ || progress_(offset);
  }

  // The kernel's copy is not tried: for files whose size says nothing of their contents.
  void ByHand() { kernel_ = false; }

 private:
  // One read of up to `want` bytes at `offset` and its write; the bytes moved, or -1.
  ssize_t ReadWrite(off_t offset, std::size_t want) {
    if (!buffer_) buffer_.reset(new char[kBufferSize]);
    for (;;) {
      const ssize_t n = faults::Pread(in_, buffer_.get(), std::min(want, kBufferSize), offset);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return n;
      for (ssize_t done = 0; done < n;) {
        const ssize_t w = faults::Pwrite(out_, buffer_.get() + done,
                                         static_cast<std::size_t>(n - done), offset + done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return -1;
        done += w;
      }
      return n;
    }
  }

  int in_;
  int out_;
  const CopyProgress& progress_;
  bool kernel_ = true;
  std::int64_t reported_ = 0;
  std::unique_ptr<char[]> buffer_;
};

}  // namespace

CopyStep CopyContents(int in, int out, const struct stat& st, const CopyProgress& progress) {
  ContentsCopy copy(in, out, progress);
  constexpr off_t kToTheEnd = std::numeric_limits<off_t>::max();
  off_t end = 0;
  // Files that report size 0 (such as those under /proc) may still have contents that only a
  // read shows, so they are read to their end.
  if (st.st_size == 0) {
    copy.ByHand();
    return copy.Range(0, kToTheEnd, end);
  }
  // A clone writes nothing the fault plan could stop, so a copy under a plan copies the data.
  if (!faults::Armed() && ioctl(out, FICLONE, in) == 0) {
    return copy.Report(st.st_size) ? CopyStep::kDone : CopyStep::kStopped;
  }
  // Every block allocated: no hole to look for. The copy takes what the file held when opened.
  if (st.st_blocks * 512 >= st.st_size) return copy.Range(0, st.st_size, end);

  for (off_t offset = 0;;) {
    const off_t data = lseek(in, offset, SEEK_DATA);
    if (data < 0) {
      if (errno == ENXIO) break;  // nothing but a hole up to the end
      // A file system that cannot tell holes from data: all of it is copied.
      if (offset == 0 && errno == EINVAL) return copy.Range(0, kToTheEnd, end);
      return CopyStep::kFailed;
    }
    const off_t hole = lseek(in, data, SEEK_HOLE);
    if (hole < 0) return CopyStep::kFailed;
    const CopyStep step = copy.Range(data, hole, end);
    if (step != CopyStep::kDone) return step;
    if (end < hole) break;  // the file shrank meanwhile
    offset = hole;
  }
  // The hole at the end is the size alone.
  const off_t size = lseek(in, 0, SEEK_END);
  if (size < 0 || ftruncate(out, std::max(size, end)) != 0) return CopyStep::kFailed;
  return copy.Report(std::max(size, end)) ? CopyStep::kDone : CopyStep::kStopped;
}

}  // namespace platform
