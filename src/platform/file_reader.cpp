#include "platform/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fault_plan.h"

namespace platform {

std::unique_ptr<RandomAccessFile> RandomAccessFile::Open(const std::string& path) {
  const int fd = faults::Open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<RandomAccessFile>(new RandomAccessFile(fd, st.st_size));
}

RandomAccessFile::~RandomAccessFile() {
  close(fd_);
}

std::int64_t RandomAccessFile::ReadAt(std::int64_t offset, char* buffer, std::int64_t count) const {
  std::int64_t done = 0;
  while (done < count) {
    const ssize_t n = faults::Pread(fd_, buffer + done, static_cast<std::size_t>(count - done),
                                    static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}

}  // namespace platform
