#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/fault_plan.h"

namespace platform {

bool IsRootDir(std::string_view path) {
  // "//" and alike name the root as well (a root path with a delimiter appended).
  return !path.empty() && path.find_first_not_of(kPathDelim) == std::string_view::npos;
}

bool EndsWithDelim(std::string_view path) {
  return !path.empty() && path.back() == kPathDelim;
}

std::string BaseName(std::string_view path) {
  const std::size_t delim = path.rfind(kPathDelim);
  return std::string(delim == std::string_view::npos ? path : path.substr(delim + 1));
}

std::string DirName(std::string_view path) {
  const std::size_t delim = path.rfind(kPathDelim);
  return delim == std::string_view::npos ? std::string() : std::string(path.substr(0, delim + 1));
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string path(dir);
  if (!path.empty() && !EndsWithDelim(path)) path += kPathDelim;
  path += name;
  return path;
}

std::optional<std::string> NormalFullPath(std::string_view path, const RealDirOf& real_dir) {
  if (path.empty() || path.front() != kPathDelim) return std::nullopt;
  std::vector<std::string_view> parts;
  bool up = false;
  for (std::size_t from = 1; from <= path.size();) {
    std::size_t delim = path.find(kPathDelim, from);
    if (delim == std::string_view::npos) delim = path.size();
    const std::string_view part = path.substr(from, delim - from);
    if (!part.empty() && part != ".") parts.push_back(part);
    up = up || part == "..";
    from = delim + 1;
  }
  std::string plain;
  for (const std::string_view part : parts) (plain += kPathDelim) += part;
  if (plain.empty()) return std::string(1, kPathDelim);
  if (!up) return plain;
  if (parts.back() == "..") return real_dir(plain);
  const std::string name(parts.back());
  const auto dir = real_dir(plain.substr(0, plain.size() - name.size() - 1));
  if (!dir) return std::nullopt;
  return JoinPath(*dir, name);
}

std::optional<std::string> ResolvedFullPath(std::string_view path) {
  return NormalFullPath(path, [](const std::string& dir) -> std::optional<std::string> {
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(dir.c_str(), nullptr),
                                                           &std::free);
    if (!real) return std::nullopt;
    return std::string(real.get());
  });
}

std::string ProgramDir() {
  std::unique_ptr<char, decltype(&std::free)> exe(realpath("/proc/self/exe", nullptr), &std::free);
  if (!exe) return "";
  std::string path(exe.get());
  return path.substr(0, path.rfind(kPathDelim) + 1);
}

std::string EnvValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

namespace {

bool IsDir(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates `dir` and the directories above it that are missing; true when it exists afterwards.
bool MakeDirs(const std::string& dir) {
  if (faults::Confined(dir)) return IsDir(dir);
  for (size_t pos = dir.find(kPathDelim, 1); pos != std::string::npos;
       pos = dir.find(kPathDelim, pos + 1)) {
    mkdir(dir.substr(0, pos).c_str(), 0700);
  }
  mkdir(dir.c_str(), 0700);
  return IsDir(dir);
}

}  // namespace

std::string DataDirFor(const std::string& exe_dir) {
  if (IsDir(exe_dir + "Lang")) return exe_dir;
  // "<prefix>/bin/" -> "<prefix>/share/brackwell/"
  std::string bin = exe_dir;
  while (EndsWithDelim(bin) && bin.size() > 1) bin.pop_back();
  const size_t slash = bin.rfind(kPathDelim);
  if (slash == std::string::npos) return exe_dir;
  const std::string shared = bin.substr(0, slash + 1) + "share/brackwell/";
  return IsDir(shared) ? shared : exe_dir;
}

bool IsWritableDir(const std::string& dir) {
  std::string probe = dir;
  if (!EndsWithDelim(probe)) probe += kPathDelim;
  probe += ".brackwell-write-XXXXXX";
  if (faults::Confined(probe)) return false;
  const int fd = mkstemp(probe.data());
  if (fd < 0) return false;
  close(fd);
  unlink(probe.c_str());
  return true;
}

std::string UserConfigDir(const std::string& xdg_config_home, const std::string& home) {
  std::string base;
  if (!xdg_config_home.empty() && xdg_config_home.front() == kPathDelim)
    base = xdg_config_home;
  else if (!home.empty() && home.front() == kPathDelim)
    base = home + (EndsWithDelim(home) ? "" : "/") + ".config";
  else
    return "";
  if (!EndsWithDelim(base)) base += kPathDelim;
  return base + "brackwell/";
}

std::string SettingsDirFor(const std::string& program_dir) {
  if (IsWritableDir(program_dir)) return program_dir;
  const std::string user = UserConfigDir(EnvValue("XDG_CONFIG_HOME"), EnvValue("HOME"));
  return !user.empty() && MakeDirs(user) ? user : program_dir;
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

namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string PercentEncode(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (unsigned char c : path) {
    if (Unreserved(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::optional<std::string> PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

}  // namespace platform
