// bench_console [lines]
//
// Prints many lines on top of the console through App::PrintLine, first with the console
// hidden and then shown (offscreen), and compares the cost of a line at the start with the
// cost at the end, when the console already holds almost every line. Run by hand; see README.md.

#include <malloc.h>
#include <stdlib.h>

#include <QApplication>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "app/app.h"
#include "console/console_window.h"
#include "ui/console_view.h"
#include "ui/dialogs.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

long RssKb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

struct Result {
  double print_ms = 0;   // the N PrintLine calls
  double events_ms = 0;  // the event processing after them (repaint of a shown console)
  double first_ns = 0;   // per line, first tenth
  double last_ns = 0;    // per line, last tenth
  double bytes_per_line = 0;
};

Result Run(const std::string& program_dir, std::size_t lines, bool shown) {
  ScriptedDialogs dialogs;
  App::Options options;
  options.program_dir = program_dir;
  options.show_splash = false;
  options.batch = true;
  options.dialogs = &dialogs;
  App app(options);
  app.CreateWindows();
  if (shown) {
    app.frmConsole->show();
    QApplication::processEvents();
  }
  const std::size_t before = app.frmConsole->textConsole->LineCount();
  malloc_trim(0);
  const long rss_before = RssKb();

  // The line text is built in a fixed buffer so that the loop measures the printing only.
  char buffer[64] = "> Scanning line ";
  const std::size_t prefix = std::char_traits<char>::length(buffer);
  Clock::time_point marks[11];
  marks[0] = Clock::now();
  for (int tenth = 0; tenth < 10; ++tenth) {
    const std::size_t end = lines * (tenth + 1) / 10;
    for (std::size_t i = lines * tenth / 10; i < end; ++i) {
      const auto done = std::to_chars(buffer + prefix, buffer + sizeof buffer, i).ptr;
      app.PrintLine(std::string_view(buffer, static_cast<std::size_t>(done - buffer)));
    }
    marks[tenth + 1] = Clock::now();
  }
  QApplication::processEvents();
  const auto events_done = Clock::now();

  if (app.frmConsole->textConsole->LineCount() != before + lines) {
    std::fprintf(stderr, "bench_console: the console does not hold every printed line\n");
    std::exit(1);
  }
  Result r;
  r.print_ms = Ms(marks[10] - marks[0]);
  r.events_ms = Ms(events_done - marks[10]);
  const double tenth_lines = static_cast<double>(std::max<std::size_t>(1, lines / 10));
  r.first_ns = Ms(marks[1] - marks[0]) * 1e6 / tenth_lines;
  r.last_ns = Ms(marks[10] - marks[9]) * 1e6 / tenth_lines;
  r.bytes_per_line = (RssKb() - rss_before) * 1024.0 / static_cast<double>(lines);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t lines = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
  if (lines < 10) {
    std::fprintf(stderr, "usage: bench_console [lines]  (at least 10)\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication qt(argc, argv);
  char program_dir[] = "/tmp/bench_console.XXXXXX";
  if (mkdtemp(program_dir) == nullptr) return 1;

  const Result hidden = Run(std::string(program_dir) + "/", lines, false);
  const Result shown = Run(std::string(program_dir) + "/", lines, true);

  std::printf("bench_console: %zu lines through App::PrintLine\n\n", lines);
  std::printf("%-8s %10s %10s %10s %14s %14s %11s %10s\n", "console", "total ms", "print ms",
              "events ms", "ns/line 1st", "ns/line last", "last/first", "B/line");
  auto row = [](const char* name, const Result& r) {
    std::printf("%-8s %10.1f %10.1f %10.1f %14.1f %14.1f %11.2f %10.1f\n", name,
                r.print_ms + r.events_ms, r.print_ms, r.events_ms, r.first_ns, r.last_ns,
                r.last_ns / r.first_ns, r.bytes_per_line);
  };
  row("hidden", hidden);
  row("shown", shown);
  std::printf("\n(1st/last: the first and the last 10%% of the lines)\n");
  const double scaled =
      std::max(hidden.print_ms + hidden.events_ms, shown.print_ms + shown.events_ms) * 1e6 /
      static_cast<double>(lines);
  std::printf("goal: 1,000,000 lines under 1000 ms -> %.0f ms per million: %s\n", scaled,
              scaled < 1000 ? "met" : "MISSED");
  std::error_code ec;
  std::filesystem::remove_all(program_dir, ec);
  return 0;
}
