#include "platform/enumerate.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "platform/ascii_case.h"
#include "platform/paths.h"

namespace platform {
namespace {

// Bytes of the character starting at `pos`: a whole UTF-8 sequence where there is one, so that
// "?" stands for one letter of a name, and a single byte for anything else.
std::size_t CharLength(std::string_view text, std::size_t pos) {
  auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length == 1 || pos + length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

// "*" and "?" matching without regard to ASCII letter case; a star is retried one character
// further on a mismatch, which keeps the match linear for the usual patterns.
bool WildcardMatch(std::string_view name, std::string_view pattern) {
  std::size_t n = 0, p = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      n += CharLength(name, n);
      ++p;
    } else if (p < pattern.size() && ToLowerAscii(pattern[p]) == ToLowerAscii(name[n])) {
      ++n;
      ++p;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      resume += CharLength(name, resume);
      n = resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

struct CloseDir {
  void operator()(DIR* stream) const { closedir(stream); }
};

bool MatchesEverything(std::string_view pattern) {
  return pattern == "*" || pattern == "*.*";
}

// True when the directory is its own parent, the only place where ".." is not reported.
bool IsOwnParent(int dir_fd) {
  struct stat self, parent;
  return fstat(dir_fd, &self) == 0 && fstatat(dir_fd, "..", &parent, 0) == 0 &&
         self.st_dev == parent.st_dev && self.st_ino == parent.st_ino;
}

void FillDetails(int dir_fd, const char* name, DirEntry& entry) {
  struct stat st;
  entry.is_dir = false;
  if (fstatat(dir_fd, name, &st, 0) != 0) {
    // A dangling link: report the link itself, as a file.
    if (fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  } else {
    entry.is_dir = S_ISDIR(st.st_mode);
  }
  entry.size = entry.is_dir ? 0 : static_cast<std::int64_t>(st.st_size);
  entry.mtime = static_cast<std::int64_t>(st.st_mtime);
  // No write bit at all is the read-only attribute even for root, whom access() lets write.
  // The owner's bit answers for the owner (the usual case) without another system call.
  if ((st.st_mode & 0222) == 0) {
    entry.read_only = true;
  } else if (static const uid_t euid = geteuid(); st.st_uid == euid) {
    entry.read_only = (st.st_mode & S_IWUSR) == 0;
  } else {
    entry.read_only = faccessat(dir_fd, name, W_OK, AT_EACCESS) != 0;
  }
}

}  // namespace

void SplitPattern(std::string_view pattern, std::string& dir, std::string& name_pattern) {
  std::size_t slash = pattern.rfind(kPathDelim);
  if (slash == std::string_view::npos) {
    dir.clear();
    name_pattern.assign(pattern);
  } else {
    dir.assign(pattern.substr(0, slash + 1));
    name_pattern.assign(pattern.substr(slash + 1));
  }
}

bool MatchListingPattern(std::string_view name, std::string_view pattern) {
  if (MatchesEverything(pattern)) return true;
  if (WildcardMatch(name, pattern)) return true;
  // A trailing ".*" also stands for "no extension at all".
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos) {
    return WildcardMatch(name, pattern.substr(0, pattern.size() - 2));
  }
  return false;
}

std::size_t EnumerateEntries(const std::string& pattern, const EnumOptions& options,
                             const std::function<void(const DirEntry&)>& visit) {
  std::string dir, name_pattern;
  SplitPattern(pattern, dir, name_pattern);
  std::unique_ptr<DIR, CloseDir> stream(opendir(dir.empty() ? "." : dir.c_str()));
  if (!stream) return 0;
  const int dir_fd = dirfd(stream.get());
  const bool match_all = MatchesEverything(name_pattern);

  // One entry is reused throughout so that its name keeps its buffer: a directory of a million
  // entries costs no allocation per entry.
  DirEntry entry;
  std::size_t count = 0;
  const auto report = [&](const char* name, unsigned char type) {
    const bool dot = name[0] == '.' && name[1] == '\0';
    const bool dot_dot = name[0] == '.' && name[1] == '.' && name[2] == '\0';
    const bool hidden = name[0] == '.' && !dot && !dot_dot;
    if (hidden && options.filter == EntryFilter::kNormalAndDirs) return;
    if (!match_all && !MatchListingPattern(name, name_pattern)) return;
    if (dot_dot && IsOwnParent(dir_fd)) return;

    entry.name.assign(name);
    entry.hidden = hidden;
    entry.read_only = false;
    entry.size = 0;
    entry.mtime = 0;
    if (options.details) {
      FillDetails(dir_fd, name, entry);
    } else if (type == DT_DIR) {
      entry.is_dir = true;
    } else if (type == DT_LNK || type == DT_UNKNOWN) {
      // The directory read does not say what this is (or what a link points to).
      struct stat st;
      entry.is_dir = fstatat(dir_fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    } else {
      entry.is_dir = false;
    }
    visit(entry);
    ++count;
  };

  // "." and ".." come first, wherever the directory read happens to return them.
  report(".", DT_DIR);
  report("..", DT_DIR);
  while (const dirent* item = readdir(stream.get())) {
    const char* name = item->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    report(name, item->d_type);
  }
  return count;
}

}  // namespace platform
