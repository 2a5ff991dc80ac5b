#pragma once

// Small aids shared by the platform tests.

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

namespace platform_test {

// Root passes every permission check, so tests that rely on one skip or use another fault.
inline bool RunningAsRoot() {
  return geteuid() == 0;
}

// Runs `body` as a user whom permission bits bind. Under root (as in CI) it runs in a child
// process that drops to the unprivileged user "nobody" first, so that tests of refused reads and
// writes run everywhere instead of skipping; the child's failed expectations are printed as usual
// and fail the test here. The body makes its own temporary directories, as that user.
inline void RunUnprivileged(const std::function<void()>& body) {
  if (geteuid() != 0) {
    body();
    return;
  }
  std::fflush(nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0) << "fork failed";
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(3);
    body();
    std::fflush(nullptr);
    _exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  ASSERT_TRUE(WIFEXITED(status)) << "the unprivileged child died";
  ASSERT_NE(WEXITSTATUS(status), 3) << "cannot drop to an unprivileged user";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the unprivileged child failed (see its output above)";
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
