#include "platform/trash.h"

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <stdexcept>

#include "platform/fault_plan.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "platform/trash_info.h"

namespace platform {

namespace {

constexpr const char* kInfoSuffix = ".trashinfo";
constexpr int kMaxNameTries = 10000;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The absolute path of `path` with its directory resolved and its own name kept, so that a link
// is trashed as the link and the info file names the place the user saw.
std::string AbsolutePath(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const std::unique_ptr<char, decltype(&std::free)> dir(
      realpath(ParentOf(trimmed).c_str(), nullptr), &std::free);
  if (!dir) return {};
  const std::string base = dir.get();
  return (base == "/" ? "" : base) + "/" + NameOf(trimmed);
}

// A directory of the trash: made (private to the user) when missing; a link or anything but a
// directory is refused, so that nothing trashed ever lands where a link points.
bool UsableDir(const std::string& dir, bool create, std::string& why) {
  struct stat st;
  if (lstat(dir.c_str(), &st) != 0) {
    if (errno != ENOENT || !create || faults::Confined(dir) || mkdir(dir.c_str(), 0700) != 0) {
      why = "can not make " + dir + ": " + std::strerror(errno);
      return false;
    }
    if (lstat(dir.c_str(), &st) != 0) return false;
  }
  if (S_ISLNK(st.st_mode) || !S_ISDIR(st.st_mode)) {
    why = dir + " is not a directory of its own (a link or a file)";
    return false;
  }
  return true;
}

// Makes the directories above the home trash that are missing ($XDG_DATA_HOME may not exist).
void MakeParents(const std::string& dir) {
  for (std::size_t slash = dir.find('/', 1); slash != std::string::npos;
       slash = dir.find('/', slash + 1)) {
    mkdir(dir.substr(0, slash).c_str(), 0700);
  }
}

bool UsableTrash(const std::string& root, std::string& why) {
  return UsableDir(root, true, why) && UsableDir(root + "/files", true, why) &&
         UsableDir(root + "/info", true, why);
}

std::uint64_t DeviceOf(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_dev) : 0;
}

// The top directory of the file system that holds `path` (absolute): the last directory above
// it on the same device.
std::string TopDirOf(const std::string& path, std::uint64_t device) {
  std::string top = ParentOf(path);
  while (top != "/") {
    const std::string up = ParentOf(top);
    if (DeviceOf(up) != device) break;
    top = up;
  }
  return top;
}

// The trash that takes a file of `device`, or "" with `why` set.
std::string TrashFor(const std::string& path, std::uint64_t device, std::string& why) {
  const std::string home = HomeTrashDir();
  if (!home.empty()) {
    std::string existing = home;
    while (existing != "/" && DeviceOf(existing) == 0) existing = ParentOf(existing);
    if (DeviceOf(existing) == device) {
      MakeParents(home);
      return UsableTrash(home, why) ? home : std::string();
    }
  }
  const std::string top = TopDirOf(path, device);
  const std::string prefix = top == "/" ? "" : top;
  const std::string uid = std::to_string(getuid());
  // An administrator's shared .Trash counts only when it is a sticky directory of its own.
  struct stat st;
  const std::string shared = prefix + "/.Trash";
  if (lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
    std::string ignored;
    if (UsableTrash(shared + "/" + uid, ignored)) return shared + "/" + uid;
  }
  const std::string own = prefix + "/.Trash-" + uid;
  if (!UsableTrash(own, why)) return {};
  if (lstat(own.c_str(), &st) != 0 || st.st_uid != getuid()) {
    why = own + " belongs to another user";
    return {};
  }
  return own;
}

// The n-th name tried for `name` in the trash: the name itself, then "report.2.txt" and so on.
std::string Candidate(const std::string& name, int n) {
  if (n == 1) return name;
  const std::size_t dot = name.rfind('.');
  const std::string tag = "." + std::to_string(n);
  if (dot == std::string::npos || dot == 0) return name + tag;
  return name.substr(0, dot) + tag + name.substr(dot);
}

enum class InfoWrite { kWritten, kTaken, kFailed };

// Creates the info file, never over an existing one, and writes it whole to the disk.
InfoWrite WriteInfo(const std::string& info, const std::string& text, std::string& why) {
  const int fd = faults::Open(info, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    if (errno == EEXIST) return InfoWrite::kTaken;
    why = "can not write " + info + ": " + std::strerror(errno);
    return InfoWrite::kFailed;
  }
  std::string_view rest = text;
  bool ok = true;
  while (ok && !rest.empty()) {
    const ssize_t n = faults::Write(fd, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) rest.remove_prefix(static_cast<std::size_t>(n));
  }
  const int error = errno;
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok) return InfoWrite::kWritten;
  unlink(info.c_str());
  why = "can not write " + info + ": " + std::strerror(error);
  return InfoWrite::kFailed;
}

std::int64_t TotalSize(const std::string& dir) {
  static thread_local std::int64_t total;
  total = 0;
  nftw(
      dir.c_str(),
      [](const char*, const struct stat* st, int type, struct FTW*) {
        if (type == FTW_F) total += st->st_size;
        return 0;
      },
      64, FTW_PHYS);
  return total;
}

// Keeps the trash's cache of directory sizes in step: a trashed directory is added, one put
// back is taken out. The cache is only an aid to the other file managers, so a failure to
// write it never fails the trash.
void UpdateDirectorySizes(const std::string& root, const std::string& name,
                          const std::string& add_line) {
  const std::string file = root + "/directorysizes";
  const std::string encoded = PercentEncode(name);
  std::string text;
  if (const auto old = ReadWholeFile(file)) {
    for (std::string_view line : SplitLineViews(*old)) {
      const std::size_t last = line.rfind(' ');
      if (last != std::string_view::npos && line.substr(last + 1) == encoded) continue;
      text.append(line).append("\n");
    }
  }
  text += add_line;
  try {
    WriteFileAtomic(file, text);
  } catch (const std::runtime_error&) {
  }
}

std::string TrashRootOf(const std::string& trashed) {
  return ParentOf(ParentOf(trashed));
}

}  // namespace

std::string HomeTrashDir() {
  std::string data = Env("XDG_DATA_HOME");
  if (data.empty() || data.front() != '/') {
    const std::string home = Env("HOME");
    if (home.empty() || home.front() != '/') return {};
    data = home + "/.local/share";
  }
  while (data.size() > 1 && data.back() == '/') data.pop_back();
  return data + "/Trash";
}

TrashResult MoveToTrash(const std::string& path, const BeforeTrashMove& before) {
  TrashResult result;
  const std::string absolute = AbsolutePath(path);
  struct stat st;
  if (absolute.empty() || lstat(absolute.c_str(), &st) != 0) {
    result.why = std::strerror(errno);
    return result;
  }
  const std::string root = TrashFor(absolute, static_cast<std::uint64_t>(st.st_dev), result.why);
  if (root.empty()) {
    result.outcome = TrashOutcome::kNoTrash;
    return result;
  }
  const std::string text = TrashInfoText(absolute, std::time(nullptr));
  const std::string name = NameOf(absolute);
  for (int n = 1; n <= kMaxNameTries; ++n) {
    const std::string trashed_name = Candidate(name, n);
    const std::string trashed = root + "/files/" + trashed_name;
    const std::string info = root + "/info/" + trashed_name + kInfoSuffix;
    struct stat taken;
    if (lstat(trashed.c_str(), &taken) == 0) continue;
    const InfoWrite written = WriteInfo(info, text, result.why);
    if (written == InfoWrite::kTaken) continue;
    if (written == InfoWrite::kFailed) {
      result.outcome = TrashOutcome::kNoTrash;
      return result;
    }
    if (before) before(trashed, info);
    if (RenameWithinFileSystem(absolute, trashed)) {
      if (S_ISDIR(st.st_mode)) {
        struct stat info_st;
        const std::int64_t mtime = stat(info.c_str(), &info_st) == 0 ? info_st.st_mtime : 0;
        UpdateDirectorySizes(root, trashed_name,
                             std::to_string(TotalSize(trashed)) + " " + std::to_string(mtime) +
                                 " " + PercentEncode(trashed_name) + "\n");
      }
      result.outcome = TrashOutcome::kTrashed;
      result.trashed = trashed;
      result.info = info;
      return result;
    }
    const int error = errno;
    unlink(info.c_str());
    if (error == EEXIST) continue;  // taken between the check and the move
    result.why = std::strerror(error);
    result.outcome = error == EXDEV ? TrashOutcome::kNoTrash : TrashOutcome::kFailed;
    return result;
  }
  result.outcome = TrashOutcome::kNoTrash;
  result.why = "no free name in the trash";
  return result;
}

bool RestoreFromTrash(const std::string& trashed, const std::string& info,
                      const std::string& original) {
  struct stat st;
  if (lstat(trashed.c_str(), &st) != 0) return false;
  if (!RenameWithinFileSystem(trashed, original)) return false;
  unlink(info.c_str());
  if (S_ISDIR(st.st_mode)) UpdateDirectorySizes(TrashRootOf(trashed), NameOf(trashed), {});
  return true;
}

}  // namespace platform
