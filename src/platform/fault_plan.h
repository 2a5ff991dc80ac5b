#pragma once

// Faults a test can make the platform's file calls meet: a disk that fills up part-way through a
// write, a read error in the middle of a file, a refused permission, and a file that disappears
// between the moment it is checked and the moment it is used. The plan is always compiled in and
// does nothing until a test arms it; unarmed, each file call pays one relaxed atomic load.

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>

namespace platform::faults {

struct Plan {
  // Bytes that may still be written before every write fails with ENOSPC; negative: no limit.
  std::int64_t write_budget = -1;
  // Bytes that may still be read before every read fails with EIO; negative: no limit.
  std::int64_t read_budget = -1;
  // Opening, creating, renaming or watching a path that ends with this fails with EACCES; empty:
  // none.
  std::string refuse;
  // A path that ends with this is removed just after the platform checked it and before it
  // uses it (once); empty: none.
  std::string vanish;
  // An existing directory: creating, writing, renaming or removing anything outside it fails
  // with EACCES, and no program is started. Lets arbitrary command lines run without reaching
  // anything but a scratch directory. Empty: no such limit.
  std::string confine;
};

// Arms `plan` for the whole process until Disarm.
void Arm(Plan plan);
void Disarm();

// Arms a plan for one scope (a test) and disarms it at the end of the scope.
class Scoped {
 public:
  explicit Scoped(Plan plan) { Arm(std::move(plan)); }
  ~Scoped() { Disarm(); }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
};

// What the platform's own calls go through.

extern std::atomic<bool> armed;
inline bool Armed() {
  return armed.load(std::memory_order_relaxed);
}

// write(2), pwrite(2), read(2) and pread(2) with the armed budgets applied.
ssize_t Write(int fd, const void* data, std::size_t size);
ssize_t Pwrite(int fd, const void* data, std::size_t size, off_t offset);
ssize_t Read(int fd, void* data, std::size_t size);
ssize_t Pread(int fd, void* data, std::size_t size, off_t offset);
// copy_file_range(2) between the two files' offsets, charged to both budgets: the kernel's copy
// meets a full disk or a read error where read and write would.
ssize_t CopyFileRange(int in, off_t* in_offset, int out, off_t* out_offset, std::size_t size);
// True (with errno set to EACCES) when the plan refuses `path`.
bool Refused(const std::string& path);
// True (with errno set to EACCES) when the plan keeps changes inside a directory that does not
// hold `path`. Symbolic links in the directories above `path` are followed.
bool Confined(const std::string& path);
// True (with errno set to EACCES) when the plan lets no program start.
bool LaunchRefused();
// open(2) that the plan may refuse; opens that may create or change a file are kept to the
// confining directory.
int Open(const std::string& path, int flags, mode_t mode = 0);
// Called between checking `path` and using it: removes it when the plan says so.
void BeforeUse(const std::string& path);

}  // namespace platform::faults
