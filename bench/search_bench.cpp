// bench_search DATA_DIR [repeats]
//
// Times the file search for "*.txt" over DATA_DIR/tree, through SearchFiles (on every core and
// walking alone) and through the search window, beside find and fd (with its default threads and
// single-threaded) in the same run, and measures the peak memory a found path costs. Run by hand;
// see README.md.

#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "tools/search_rules.h"
#include "tools/search_window.h"
#include "ui/dialogs.h"

#include "bench_support.h"

using namespace bench;

namespace {

std::size_t CountLines(const std::string& file) {
  std::ifstream in(file);
  std::size_t lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

const char* Verdict(bool met) {
  return met ? "met" : "missed";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_search DATA_DIR [repeats]\n");
    return 2;
  }
  std::error_code ec;
  std::string tree = std::filesystem::absolute(argv[1], ec).lexically_normal().string();
  while (tree.size() > 1 && tree.back() == '/') tree.pop_back();
  tree += "/tree";
  if (!std::filesystem::is_directory(tree, ec)) Fail(tree + " is not a directory");
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const std::string mask = "*.txt";

  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication qt(argc, argv);
  char program_dir[] = "/tmp/bench_search.XXXXXX";
  if (mkdtemp(program_dir) == nullptr) Fail("cannot make a temporary directory");

  // The standard tools first; find's output also gives the count to check against.
  const std::string listing = std::string(program_dir) + "/find.out";
  RunOrFail({"find", tree, "-iname", mask}, listing);
  const std::size_t expected = CountLines(listing);
  const double find_ms = BestMs(repeats, [&] { RunOrFail({"find", tree, "-iname", mask}); });
  const double fd_ms = BestMs(repeats, [&] {
    RunOrFail({"fdfind", "-u", "-i", "-g", mask, tree});
  });
  const double fd1_ms = BestMs(repeats, [&] {
    RunOrFail({"fdfind", "-j1", "-u", "-i", "-g", mask, tree});
  });

  // SearchFiles alone: memory first, from a trimmed heap.
  malloc_trim(0);
  if (!ResetPeakRss()) Fail("cannot reset the peak memory mark (/proc/self/clear_refs)");
  const long rss_before = StatusKb("VmRSS");
  std::size_t found = 0;
  {
    std::vector<std::string> paths;
    tools::SearchFiles(tree, mask, paths);
    found = paths.size();
  }
  const long hwm_rules = StatusKb("VmHWM");
  if (found != expected) {
    Fail("SearchFiles found " + std::to_string(found) + ", find " + std::to_string(expected));
  }
  const double rules_ms = BestMs(repeats, [&] {
    std::vector<std::string> paths;
    tools::SearchFiles(tree, mask, paths);
  });
  const double alone_ms = BestMs(repeats, [&] {
    std::vector<std::string> paths;
    tools::SearchFiles(tree, mask, paths, {}, 1);
  });

  // The search window, offscreen in batch mode, with its results list and event pumping.
  double window_ms = 0;
  double window_peak = 0;
  {
    ScriptedDialogs dialogs;
    App::Options options;
    options.program_dir = std::string(program_dir) + "/";
    options.show_splash = false;
    options.batch = true;
    options.dialogs = &dialogs;
    App app(options);
    app.CreateWindows();
    TfrmSearch& search = *app.frmSearch;
    search.txtPathSea->setText(QString::fromStdString(tree));
    search.txtSearch->setText(QString::fromStdString(mask));
    malloc_trim(0);
    if (!ResetPeakRss()) Fail("cannot reset the peak memory mark (/proc/self/clear_refs)");
    const long before = StatusKb("VmRSS");
    search.btnStartClick();
    const long hwm = StatusKb("VmHWM");
    if (!app.SearchResults || app.SearchResults->size() != expected) {
      Fail("the search window found a different count");
    }
    window_peak = (hwm - before) * 1024.0 / static_cast<double>(expected);
    window_ms = BestMs(repeats, [&] {
      app.SearchResults.reset();
      search.btnStartClick();
    });
  }
  std::filesystem::remove_all(program_dir, ec);

  const double rules_peak = (hwm_rules - rss_before) * 1024.0 / static_cast<double>(found);
  std::printf("bench_search %s, mask %s: %zu files found, best of %d\n\n", tree.c_str(),
              mask.c_str(), found, repeats);
  std::printf("%-44s %10s %10s\n", "what", "ms", "x fd");
  const auto row = [&](const char* what, double ms) {
    std::printf("%-44s %10.1f %10.2f\n", what, ms, ms / fd_ms);
  };
  row("tools::SearchFiles, cores + 1 threads", rules_ms);
  row("tools::SearchFiles, walking alone", alone_ms);
  row("search window: btnStartClick", window_ms);
  row("fdfind -u -i -g '*.txt' > /dev/null", fd_ms);
  row("fdfind -j1 -u -i -g '*.txt' > /dev/null", fd1_ms);
  row("find -iname '*.txt' > /dev/null", find_ms);
  std::printf("\npeak memory per result: SearchFiles %.1f bytes, search window %.1f bytes\n\n",
              rules_peak, window_peak);
  constexpr double kTarget = 0.6;
  std::printf("goal: SearchFiles time / fd %.2f (target <= %.2f): %s\n", rules_ms / fd_ms, kTarget,
              Verdict(rules_ms <= kTarget * fd_ms));
  std::printf("goal: search window time / fd %.2f (target <= %.2f): %s\n", window_ms / fd_ms,
              kTarget, Verdict(window_ms <= kTarget * fd_ms));
  const double peak = std::max(rules_peak, window_peak);
  std::printf("goal: peak memory per result %.1f bytes (target < 200): %s\n", peak,
              Verdict(peak < 200));
  return 0;
}
