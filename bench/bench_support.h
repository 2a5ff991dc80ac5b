#pragma once

// What every benchmark needs: wall-clock timing, the process's memory marks, running a standard
// tool beside the program, and stopping with a message.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

// A duration in milliseconds.
double Ms(Clock::duration d);

// The best wall-clock milliseconds of `repeats` runs of `run`; `prepare` runs untimed before each
// run and `after` untimed after it.
double BestMs(int repeats, const std::function<void()>& run,
              const std::function<void()>& prepare = {}, const std::function<void()>& after = {});

// A "VmRSS"-style field of /proc/self/status, in kB; -1 when missing.
long StatusKb(const std::string& field);

// Resets VmHWM to the current RSS, so that it shows the peak of what follows; false when the
// kernel refuses.
bool ResetPeakRss();

// Runs a program (looked up in PATH) with its standard output into `out_file` and waits for it;
// true when it ran and exited with status 0.
bool RunTool(const std::vector<std::string>& args, const std::string& out_file = "/dev/null");

// RunTool, ending the benchmark when the tool cannot run or fails.
void RunOrFail(const std::vector<std::string>& args, const std::string& out_file = "/dev/null");

// Prints "<benchmark>: text" on standard error and ends the benchmark with status 1.
[[noreturn]] void Fail(const std::string& text);

}  // namespace bench
