#include "support/batch_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// A hung program must not hang the whole suite: after this long without any output the run is
// abandoned (the program is killed and the result shows the signal).
constexpr int kSilenceLimitMs = 60000;

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The parent's environment with the settings every run needs put in place.
std::vector<std::string> ChildEnvironment() {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string_view entry(*e);
    if (entry.starts_with("QT_QPA_PLATFORM=") || entry.starts_with("LC_ALL=") ||
        entry.starts_with("XDG_DATA_HOME=")) {
      continue;
    }
    env.emplace_back(entry);
  }
  env.emplace_back("QT_QPA_PLATFORM=offscreen");
  env.emplace_back("LC_ALL=C.UTF-8");
  // Files the program deletes go to a trash of the test run, never to the user's.
  static const TempDir data_home;
  env.emplace_back("XDG_DATA_HOME=" + data_home.Path());
  return env;
}

void MakePipe(int fds[2]) {
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
}

}  // namespace

ProgramDir::ProgramDir() : path_(fs::canonical(dir_.Path()).string()) {
  // The program finds its data beside its resolved executable path, so it needs a real file
  // here: a hard link when the build lies on the same file system, a copy otherwise.
  const fs::path exe = fs::path(path_) / "brackwell";
  std::error_code ec;
  fs::create_hard_link(BW_EXE, exe, ec);
  if (ec) fs::copy_file(BW_EXE, exe);
  fs::copy(BW_DATA_DIR, path_, fs::copy_options::recursive);
}

// Paths handed out are built on the resolved directory, as the program reports them.
std::string ProgramDir::Write(std::string_view relative, std::string_view contents) const {
  dir_.CreateFile(relative, contents);
  return Slash() + std::string(relative);
}

std::string ProgramDir::MakeDir(std::string_view relative) const {
  dir_.CreateDir(relative);
  return Slash() + std::string(relative) + "/";
}

void ProgramDir::Remove(std::string_view relative) const {
  fs::remove_all(fs::path(path_) / fs::path(std::string(relative)));
}

std::string ProgramDir::Read(std::string_view relative) const {
  return dir_.Read(relative);
}

bool ProgramDir::Exists(std::string_view relative) const {
  return dir_.Exists(relative);
}

BatchResult ProgramDir::Run(const std::string& script, std::string_view input,
                            const std::string& cwd, const std::string& batch_switch) const {
  // A program that exits without reading its input must not kill the test with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);

  const std::string exe = path_ + "/brackwell";
  const std::string work_dir = cwd.empty() ? path_ : cwd;
  std::vector<std::string> args = {exe, "-NOLOGO", batch_switch, script};
  std::vector<std::string> env = ChildEnvironment();
  std::vector<char*> argv, envp;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  int in[2], out[2], err[2];
  MakePipe(in);
  MakePipe(out);
  MakePipe(err);

  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    // Only async-signal-safe calls between fork and exec.
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    if (chdir(work_dir.c_str()) != 0) _exit(126);
    execve(exe.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);

  // Feed the input while draining both outputs, so neither side can block the other.
  fcntl(in[1], F_SETFL, O_NONBLOCK);
  int in_fd = in[1];
  size_t written = 0;
  if (input.empty()) {
    close(in_fd);
    in_fd = -1;
  }
  std::string out_text, err_text;
  int out_fd = out[0], err_fd = err[0];
  bool killed = false;
  while (out_fd >= 0 || err_fd >= 0) {
    pollfd fds[3] = {{in_fd, POLLOUT, 0}, {out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    int ready = poll(fds, 3, kSilenceLimitMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      kill(pid, SIGKILL);
      killed = true;
      break;
    }
    if (in_fd >= 0 && fds[0].revents != 0) {
      ssize_t n = write(in_fd, input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<size_t>(n);
      if (n < 0 && errno != EAGAIN) written = input.size();  // the program closed its input
      if (written == input.size()) {
        close(in_fd);
        in_fd = -1;
      }
    }
    for (int i : {1, 2}) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[65536];
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        close(fds[i].fd);
        (i == 1 ? out_fd : err_fd) = -1;
        continue;
      }
      (i == 1 ? out_text : err_text).append(buffer, static_cast<size_t>(n));
    }
  }
  for (int fd : {in_fd, out_fd, err_fd}) {
    if (fd >= 0) close(fd);
  }

  int wait_status = 0;
  while (waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }
  BatchResult result;
  if (WIFEXITED(wait_status) && !killed) {
    result.status = WEXITSTATUS(wait_status);
  } else if (WIFSIGNALED(wait_status)) {
    result.status = 128 + WTERMSIG(wait_status);
  }
  result.out_lines = SplitLines(out_text);
  result.err = std::move(err_text);
  return result;
}

BatchResult ProgramDir::RunScript(std::string_view script_text, std::string_view input) const {
  return Run(Write("test.bws", script_text), input);
}

std::string BwScript(std::initializer_list<std::string_view> body) {
  std::string text = "BEGIN BWSCRIPT;\r\n";
  for (std::string_view line : body) {
    text.append(line);
    text.append("\r\n");
  }
  text.append("END;\r\n");
  return text;
}
