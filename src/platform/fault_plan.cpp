#include "platform/fault_plan.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace platform::faults {

std::atomic<bool> armed{false};

namespace {

std::mutex mutex;
Plan plan;

bool EndsWith(const std::string& path, const std::string& tail) {
  return !tail.empty() && path.size() >= tail.size() &&
         path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
}

// How many of `size` bytes the budget lets through; -1 with errno set when none may pass.
ssize_t Allow(std::int64_t& budget, std::size_t size, int error) {
  if (budget < 0) return static_cast<ssize_t>(size);
  if (budget == 0) {
    errno = error;
    return -1;
  }
  const auto allowed = static_cast<std::size_t>(std::min<std::int64_t>(budget, size));
  return static_cast<ssize_t>(allowed);
}

// The canonical form of `path` (no links, "." or ".." left), or "" when it cannot be had.
std::string RealPath(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
  return real ? std::string(real.get()) : std::string();
}

// Where a change of `path` would land: its directory resolved, its own name kept, since the
// change acts on the name itself (a link is removed or renamed, not what it points to).
std::string ChangedPlace(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const std::size_t slash = trimmed.rfind('/');
  const std::string name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
  if (name.empty() || name == "." || name == ".." || name == "/") return RealPath(trimmed);
  const std::string dir =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : trimmed.substr(0, slash));
  const std::string real_dir = RealPath(dir);
  if (real_dir.empty()) return {};
  return (real_dir == "/" ? "" : real_dir) + "/" + name;
}

}  // namespace

void Arm(Plan next) {
  if (!next.confine.empty()) {
    next.confine = RealPath(next.confine);
    if (next.confine.empty()) std::abort();  // a limit that cannot be placed must not pass
  }
  std::lock_guard lock(mutex);
  plan = std::move(next);
  armed.store(true, std::memory_order_relaxed);
}

void Disarm() {
  std::lock_guard lock(mutex);
  armed.store(false, std::memory_order_relaxed);
  plan = Plan{};
}

namespace {

// Runs `call` (a write or read of the given size) on as many bytes as the budget lets through and
// charges what it moved; fails with `error` once the budget is spent.
template <typename Call>
ssize_t WithinBudget(std::int64_t Plan::*budget, std::size_t size, int error, Call call) {
  std::lock_guard lock(mutex);
  const ssize_t allowed = Allow(plan.*budget, size, error);
  if (allowed < 0) return -1;
  const ssize_t n = call(static_cast<std::size_t>(allowed));
  if (n > 0 && plan.*budget >= 0) plan.*budget -= n;
  return n;
}

}  // namespace

ssize_t Write(int fd, const void* data, std::size_t size) {
  if (!Armed()) return ::write(fd, data, size);
  return WithinBudget(&Plan::write_budget, size, ENOSPC,
                      [&](std::size_t n) { return ::write(fd, data, n); });
}

ssize_t Pwrite(int fd, const void* data, std::size_t size, off_t offset) {
  if (!Armed()) return ::pwrite(fd, data, size, offset);
  return WithinBudget(&Plan::write_budget, size, ENOSPC,
                      [&](std::size_t n) { return ::pwrite(fd, data, n, offset); });
}

ssize_t Read(int fd, void* data, std::size_t size) {
  if (!Armed()) return ::read(fd, data, size);
  return WithinBudget(&Plan::read_budget, size, EIO,
                      [&](std::size_t n) { return ::read(fd, data, n); });
}

ssize_t Pread(int fd, void* data, std::size_t size, off_t offset) {
  if (!Armed()) return ::pread(fd, data, size, offset);
  return WithinBudget(&Plan::read_budget, size, EIO,
                      [&](std::size_t n) { return ::pread(fd, data, n, offset); });
}

ssize_t CopyFileRange(int in, off_t* in_offset, int out, off_t* out_offset, std::size_t size) {
  const auto copy = [&](std::size_t n) {
    return ::copy_file_range(in, in_offset, out, out_offset, n, 0);
  };
  if (!Armed()) return copy(size);
  std::lock_guard lock(mutex);
  const ssize_t readable = Allow(plan.read_budget, size, EIO);
  if (readable < 0) return -1;
  const ssize_t allowed = Allow(plan.write_budget, static_cast<std::size_t>(readable), ENOSPC);
  if (allowed < 0) return -1;
  const ssize_t n = copy(static_cast<std::size_t>(allowed));
  if (n > 0 && plan.read_budget >= 0) plan.read_budget -= n;
  if (n > 0 && plan.write_budget >= 0) plan.write_budget -= n;
  return n;
}

bool Refused(const std::string& path) {
  if (!Armed()) return false;
  std::lock_guard lock(mutex);
  if (!EndsWith(path, plan.refuse)) return false;
  errno = EACCES;
  return true;
}

bool Confined(const std::string& path) {
  if (!Armed()) return false;
  std::string confine;
  {
    std::lock_guard lock(mutex);
    confine = plan.confine;
  }
  if (confine.empty()) return false;
  const std::string place = ChangedPlace(path);
  if (place.size() > confine.size() && place.compare(0, confine.size(), confine) == 0 &&
      place[confine.size()] == '/') {
    return false;
  }
  errno = EACCES;
  return true;
}

bool LaunchRefused() {
  if (!Armed()) return false;
  std::lock_guard lock(mutex);
  if (plan.confine.empty()) return false;
  errno = EACCES;
  return true;
}

int Open(const std::string& path, int flags, mode_t mode) {
  if (Refused(path)) return -1;
  if ((flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0 && Confined(path)) return -1;
  return ::open(path.c_str(), flags, mode);
}

void BeforeUse(const std::string& path) {
  if (!Armed()) return;
  std::lock_guard lock(mutex);
  if (!EndsWith(path, plan.vanish)) return;
  plan.vanish.clear();
  ::unlink(path.c_str());
}

}  // namespace platform::faults
