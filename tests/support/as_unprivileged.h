#pragma once

// Root reads and writes anything, so permission cases run under an unprivileged effective user
// (nobody, 65534) for as long as an AsUnprivileged lives; under any other user nothing changes.

#include <sys/stat.h>
#include <unistd.h>

#include <string>

class AsUnprivileged {
 public:
  AsUnprivileged() {
    if (geteuid() == 0) dropped_ = setegid(65534) == 0 && seteuid(65534) == 0;
  }
  // Opens `dir` to everybody first, so the unprivileged user can work in it.
  explicit AsUnprivileged(const std::string& dir) {
    if (geteuid() != 0) return;
    chmod(dir.c_str(), 0777);
    dropped_ = setegid(65534) == 0 && seteuid(65534) == 0;
  }
  ~AsUnprivileged() {
    if (dropped_ && seteuid(0) == 0) setegid(0);
  }
  AsUnprivileged(const AsUnprivileged&) = delete;
  AsUnprivileged& operator=(const AsUnprivileged&) = delete;

 private:
  bool dropped_ = false;
};
