#include "platform/launch.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/ascii_case.h"
#include "platform/fault_plan.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

extern char** environ;

namespace platform {
namespace {

struct Located {
  int error = 0;     // 0 when found, else the start result to report
  std::string path;  // what to execute
};

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  // access() says yes to root for any file with one execute bit, so the bits decide too.
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0111) != 0 &&
         access(path.c_str(), X_OK) == 0;
}

// Not found when the directory part exists, path not found when it does not.
int MissingResult(const std::string& path) {
  std::size_t end = path.find_last_not_of(kPathDelim);
  if (end == std::string::npos) return kStartNotFound;
  std::size_t slash = path.rfind(kPathDelim, end);
  if (slash == std::string::npos) return kStartNotFound;
  std::string parent = slash == 0 ? std::string(1, kPathDelim) : path.substr(0, slash);
  return DirectoryExists(parent) ? kStartNotFound : kStartPathNotFound;
}

// The first executable of that name in PATH, or "".
std::string FindInPath(std::string_view name) {
  const char* env = std::getenv("PATH");
  std::string_view dirs = env ? env : "/usr/local/bin:/usr/bin:/bin";
  while (!dirs.empty()) {
    std::size_t colon = dirs.find(':');
    std::string_view dir = dirs.substr(0, colon);
    dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
    // An empty or relative entry ("." or "bin") would mean a directory below the working
    // directory, which follows the browsed directory: a program planted there must never run
    // for a bare name.
    if (dir.empty() || dir.front() != kPathDelim) continue;
    std::string candidate(dir);
    if (candidate.back() != kPathDelim) candidate += kPathDelim;
    candidate += name;
    if (IsExecutableFile(candidate)) return candidate;
  }
  return "";
}

// A program named with its directory is used as it is; a bare name is looked up in PATH.
Located LocateProgram(const std::string& word) {
  if (word.empty()) return {kStartNotFound, ""};
  if (word.find(kPathDelim) == std::string::npos) {
    std::string found = FindInPath(word);
    return found.empty() ? Located{kStartNotFound, ""} : Located{0, found};
  }
  struct stat st;
  if (stat(word.c_str(), &st) != 0) return {MissingResult(word), ""};
  if (!IsExecutableFile(word)) return {kStartBadFormat, ""};
  return {0, word};
}

// Starts a program fully detached: the intermediate child is reaped at once and the program
// runs in its own session, so no zombie is left behind. Returns 0 once the program runs, the
// exec error otherwise, -1 when no process could be made.
int SpawnDetached(const std::string& path, const std::vector<std::string>& args, bool quiet) {
  if (faults::LaunchRefused()) return errno;
  // Everything the children need is prepared here: after fork only async-signal-safe calls.
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  // The exec error comes back through a pipe that a successful exec closes.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return -1;
  pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return -1;
  }
  if (child == 0) {
    close(report[0]);
    setsid();
    pid_t program = fork();
    if (program != 0) {
      int err = program < 0 ? errno : 0;
      if (err != 0 && write(report[1], &err, sizeof err) < 0) _exit(1);
      _exit(0);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction dfl = {};
    dfl.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &dfl, nullptr);  // ignored ones stay so
    int null_fd = open("/dev/null", O_RDWR);
    if (null_fd >= 0) {
      dup2(null_fd, STDIN_FILENO);
      if (quiet) {
        dup2(null_fd, STDOUT_FILENO);
        dup2(null_fd, STDERR_FILENO);
      }
      if (null_fd > STDERR_FILENO) close(null_fd);
    }
    // Descriptors the program did not ask for stay with us.
    close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC);
    execve(path.c_str(), argv.data(), environ);
    int err = errno;
    if (write(report[1], &err, sizeof err) < 0) _exit(127);
    _exit(127);
  }
  close(report[1]);
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  int err = 0;
  ssize_t n;
  do {
    n = read(report[0], &err, sizeof err);
  } while (n < 0 && errno == EINTR);
  close(report[0]);
  return n == static_cast<ssize_t>(sizeof err) ? err : 0;
}

int StartResult(int spawn_error) {
  switch (spawn_error) {
    case 0:
      return kStartOk;
    case -1:
    case ENOMEM:
    case EAGAIN:
      return 0;  // out of resources, the classic 0
    case ENOENT:
      return kStartNotFound;
    case ENOTDIR:
      return kStartPathNotFound;
    default:
      return kStartBadFormat;
  }
}

// Hands a document, directory or URL to the desktop's registered application. Without
// xdg-open the target exists but nothing can open it: "cannot be started".
int OpenWithDesktop(std::string target) {
  std::string opener = FindInPath("xdg-open");
  if (opener.empty()) return kStartBadFormat;
  // A name that starts with "-" must not be taken for an option.
  if (!target.empty() && target.front() == '-') target.insert(0, "./");
  return StartResult(SpawnDetached(opener, {"xdg-open", target}, false));
}

bool IsUrl(std::string_view text) {
  const std::string_view mailto = "mailto:";
  if (text.size() > mailto.size() && EqualsIgnoreCase(text.substr(0, mailto.size()), mailto)) {
    return true;
  }
  std::size_t sep = text.find("://");
  if (sep == std::string_view::npos || sep == 0) return false;
  auto letter = [](char c) { return ToLowerAscii(c) >= 'a' && ToLowerAscii(c) <= 'z'; };
  if (!letter(text[0])) return false;
  for (std::size_t i = 1; i < sep; ++i) {
    char c = text[i];
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

std::string ClassicKey(std::string_view name) {
  std::string key = LowerAscii(name);
  if (key.size() > 4 && key.compare(key.size() - 4, 4, ".exe") == 0) key.resize(key.size() - 4);
  return key;
}

std::string FirstInstalled(std::initializer_list<const char*> candidates) {
  for (const char* name : candidates) {
    if (!FindInPath(name).empty()) return name;
  }
  return "";
}

}  // namespace

int ShellOpen(const std::string& target) {
  if (target.empty()) return kStartNotFound;
  if (IsUrl(target)) return OpenWithDesktop(target);

  if (target.find(kPathDelim) != std::string::npos) {
    struct stat st;
    if (stat(target.c_str(), &st) != 0) return MissingResult(target);
    if (!IsExecutableFile(target)) return OpenWithDesktop(target);
    int err = SpawnDetached(target, {target}, false);
    // An execute bit on something that is no program (every file on a FAT stick has one):
    // open it as the document it is.
    if (err == ENOEXEC) return OpenWithDesktop(target);
    return StartResult(err);
  }

  std::string classic = ResolveClassicProgram(target);
  if (!classic.empty()) return StartCommandLine(classic);
  std::string program = FindInPath(target);
  if (!program.empty()) return StartResult(SpawnDetached(program, {target}, false));
  // A document or folder in the working directory is opened, never run.
  struct stat st;
  if (stat(target.c_str(), &st) == 0) return OpenWithDesktop(WorkingDir() + target);
  return kStartNotFound;
}

int OpenDocument(const std::string& path) {
  if (path.empty()) return kStartNotFound;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return MissingResult(path);
  return OpenWithDesktop(path);
}

std::vector<std::string> SplitCommandLine(std::string_view command_line) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false, quoted = false;
  for (char c : command_line) {
    if (c == '"') {
      quoted = !quoted;
      in_word = true;  // "" is an empty word
    } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

int StartCommandLine(std::string_view command_line) {
  std::vector<std::string> words = SplitCommandLine(command_line);
  if (words.empty()) return kStartNotFound;
  Located program = LocateProgram(words[0]);
  if (program.error != 0) return program.error;
  return StartResult(SpawnDetached(program.path, words, false));
}

std::string ResolveClassicProgram(std::string_view name) {
  const std::string key = ClassicKey(name);
  if (key == "chkdsk") return FirstInstalled({"gnome-disks", "partitionmanager", "gparted"});
  if (key == "calc") {
    return FirstInstalled(
        {"gnome-calculator", "kcalc", "galculator", "qalculate-gtk", "mate-calc", "xcalc"});
  }
  if (key == "command") {
    return FirstInstalled(
        {"x-terminal-emulator", "gnome-terminal", "konsole", "xfce4-terminal", "xterm"});
  }
  if (key == "debug") {
    if (FindInPath("gdb").empty()) return "";
    std::string terminal =
        FirstInstalled({"x-terminal-emulator", "konsole", "xfce4-terminal", "xterm"});
    if (!terminal.empty()) return terminal + " -e gdb";
    // gnome-terminal takes the command after "--" rather than behind -e.
    return FindInPath("gnome-terminal").empty() ? "" : "gnome-terminal -- gdb";
  }
  if (key == "iexplore") {
    return FirstInstalled(
        {"x-www-browser", "firefox", "firefox-esr", "chromium", "sensible-browser"});
  }
  if (key == "mspaint") return FirstInstalled({"kolourpaint", "pinta", "gimp"});
  if (key == "notepad") {
    return FirstInstalled(
        {"gedit", "gnome-text-editor", "kate", "kwrite", "mousepad", "xed", "pluma", "leafpad"});
  }
  if (key == "regedit") return FirstInstalled({"dconf-editor", "gconf-editor"});
  return "";
}

void PlaySoundAsync(const std::string& file) {
  try {
    if (!FileExists(file)) return;
    for (const char* player : {"paplay", "pw-play", "aplay"}) {
      std::string path = FindInPath(player);
      if (path.empty()) continue;
      std::string arg = file.front() == '-' ? "./" + file : file;
      SpawnDetached(path, {player, arg}, true);
      return;
    }
  } catch (...) {
    // A click sound that cannot be played is no concern of the caller.
  }
}

}  // namespace platform
