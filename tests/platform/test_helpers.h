#pragma once

// Small aids shared by the platform tests.

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace platform_test {

// Root passes every permission check, so tests that rely on one skip or use another fault.
inline bool RunningAsRoot() {
  return geteuid() == 0;
}

// Waits until a file exists (a detached program writes it), giving up after five seconds.
inline bool WaitForFile(const std::string& path) {
  for (int i = 0; i < 500; ++i) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && st.st_size > 0) {
      // Let the writer finish its last line.
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// Limits the size of files this process may write, so that a write fails part-way even for
// root; the limit and the signal are restored when the object goes away.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_limit_);
    old_handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_limit_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_limit_);
    signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_limit_{};
  sighandler_t old_handler_ = SIG_DFL;
};

}  // namespace platform_test
