#include "platform/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace platform {

bool IsRootDir(std::string_view path) {
  // "//" and alike name the root as well (a root path with a delimiter appended).
  return !path.empty() && path.find_first_not_of(kPathDelim) == std::string_view::npos;
}

bool EndsWithDelim(std::string_view path) {
  return !path.empty() && path.back() == kPathDelim;
}

std::string ProgramDir() {
  std::unique_ptr<char, decltype(&std::free)> exe(realpath("/proc/self/exe", nullptr), &std::free);
  if (!exe) return "";
  std::string path(exe.get());
  return path.substr(0, path.rfind(kPathDelim) + 1);
}

std::string SystemDir() {
  return "/usr/bin";
}

std::string WorkingDir() {
  // glibc allocates a buffer of the needed size when given none.
  std::unique_ptr<char, decltype(&std::free)> cwd(getcwd(nullptr, 0), &std::free);
  if (!cwd) return "";
  std::string dir(cwd.get());
  if (!EndsWithDelim(dir)) dir += kPathDelim;
  return dir;
}

std::optional<std::string> AbsoluteFromWorkingDir(const std::string& name) {
  if (name.empty() || name.front() == kPathDelim) return name;
  const std::string dir = WorkingDir();
  if (dir.empty()) return std::nullopt;
  return dir + name;
}

bool SetWorkingDir(const std::string& dir) {
  return !dir.empty() && chdir(dir.c_str()) == 0;
}

}  // namespace platform
