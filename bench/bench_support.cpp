#include "bench_support.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

extern char** environ;

namespace bench {

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double BestMs(int repeats, const std::function<void()>& run, const std::function<void()>& prepare,
              const std::function<void()>& after) {
  double best = 1e300;
  for (int i = 0; i < repeats; ++i) {
    if (prepare) prepare();
    const auto start = Clock::now();
    run();
    best = std::min(best, Ms(Clock::now() - start));
    if (after) after();
  }
  return best;
}

long StatusKb(const std::string& field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(field + ":", 0) == 0) {
      return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
  }
  return -1;
}

bool ResetPeakRss() {
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
  out.flush();
  return out.good();
}

bool RunTool(const std::vector<std::string>& args, const std::string& out_file) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_file.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void RunOrFail(const std::vector<std::string>& args, const std::string& out_file) {
  if (!RunTool(args, out_file)) Fail("cannot run " + args[0] + ", or it failed");
}

void Fail(const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, text.c_str());
  std::exit(1);
}

}  // namespace bench
