// bench_listing DIR [repeats]
//
// Times how the main window lists one large directory, beside ls and find run in the same
// process run, and measures the memory the listed entries take. Run by hand; see README.md.

#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/main_window.h"
#include "ui/dialogs.h"
#include "ui/dir_tree.h"
#include "ui/file_list_model.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Best wall-clock time of `repeats` runs of `run`; `prepare` runs untimed before each one.
double BestMs(int repeats, const std::function<void()>& run,
              const std::function<void()>& prepare = {}) {
  double best = 1e300;
  for (int i = 0; i < repeats; ++i) {
    if (prepare) prepare();
    const auto start = Clock::now();
    run();
    best = std::min(best, Ms(Clock::now() - start));
  }
  return best;
}

// A "VmRSS"-style field of /proc/self/status, in kB; -1 when missing.
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

// Resets VmHWM to the current RSS, so that it shows the peak of what follows.
bool ResetPeakRss() {
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
  out.flush();
  return out.good();
}

// Runs a command with standard output on /dev/null and waits for it, as a shell would.
void RunQuiet(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    std::fprintf(stderr, "bench_listing: cannot run %s: %s\n", argv[0], std::strerror(error));
    std::exit(1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "bench_listing: %s failed\n", argv[0]);
    std::exit(1);
  }
}

void Fail(const std::string& text) {
  std::fprintf(stderr, "bench_listing: %s\n", text.c_str());
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_listing DIR [repeats]\n");
    return 2;
  }
  std::error_code ec;
  std::string dir = std::filesystem::absolute(argv[1], ec).lexically_normal().string();
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (!std::filesystem::is_directory(dir, ec)) Fail(dir + " is not a directory");
  const std::string dir_slash = dir + "/";
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication qt(argc, argv);

  // A throw-away program directory, so the run reads and writes no real settings.
  char program_dir[] = "/tmp/bench_listing.XXXXXX";
  if (mkdtemp(program_dir) == nullptr) Fail("cannot make a temporary directory");

  {
    ScriptedDialogs dialogs;
    App::Options options;
    options.program_dir = std::string(program_dir) + "/";
    options.show_splash = false;
    options.batch = true;
    options.dialogs = &dialogs;
    App app(options);
    app.CreateWindows();
    TForm1& form = *app.Form1;

    // Memory first, before any listing has left freed blocks in the allocator.
    form.fListModel->Clear();
    malloc_trim(0);
    const bool peak_ok = ResetPeakRss();
    const long rss_before = StatusKb("VmRSS");
    const std::size_t entries = form.FillFileList(dir_slash);
    const long rss_after = StatusKb("VmRSS");
    const long hwm_after = StatusKb("VmHWM");
    if (entries == 0 || form.fListModel->Entries().size() != entries) {
      Fail("the list model does not hold the listed entries");
    }

    // (a) the listing alone, into an empty model.
    const double fill_ms = BestMs(
        repeats, [&] { form.FillFileList(dir_slash); }, [&] { form.fListModel->Clear(); });

    // (b) the whole scan. The tree holds the directory without the delimiter, so being pointed
    // at "DIR/" it moves and notifies, and the notification lists the directory a second time.
    int notifications = 0;
    QObject::connect(form.DirList, &DirTreeList::Changed, [&] { ++notifications; });
    const QString tree_listing = app.Str(53) + " " + QString::number(entries);
    bool listed_twice = true;
    const double scan_ms = BestMs(
        repeats, [&] { form.ScanDirectory1Click(); },
        [&] {
          if (notifications != 0 && form.StatusPanel(0)->text() != tree_listing) {
            listed_twice = false;
          }
          notifications = 0;
          form.SearchLine->setText(QString::fromStdString(dir_slash));
          form.StatusPanel(0)->clear();
        });
    if (notifications != 1 || form.StatusPanel(0)->text() != tree_listing) listed_twice = false;
    if (!listed_twice || form.DirList->Directory() != dir) {
      Fail("the scan did not list the directory twice (tree notification missing)");
    }
    if (form.fListModel->Entries().size() != entries) Fail("the scan listed a different count");

    // (b2) the same scan with the main window on screen (offscreen), the pending events (the
    // list's first layout and paint) processed once: the longest the window stays unresponsive.
    form.resize(1000, 700);
    form.show();
    QCoreApplication::processEvents();
    const double shown_ms = BestMs(
        repeats,
        [&] {
          form.ScanDirectory1Click();
          QCoreApplication::processEvents();
        },
        [&] { form.SearchLine->setText(QString::fromStdString(dir_slash)); });
    form.hide();

    // (c) standard tools, timed the same way in the same run.
    const double ls_ms = BestMs(repeats, [&] { RunQuiet({"ls", "-U", "-1", dir}); });
    const double find_ms = BestMs(repeats, [&] { RunQuiet({"find", dir, "-maxdepth", "1"}); });

    std::printf("bench_listing %s: %zu entries, best of %d\n\n", dir.c_str(), entries, repeats);
    std::printf("%-36s %10s %10s\n", "what", "ms", "x ls");
    auto row = [&](const char* what, double ms) {
      std::printf("%-36s %10.1f %10.2f\n", what, ms, ms / ls_ms);
    };
    row("TForm1::FillFileList(DIR/)", fill_ms);
    row("scan: ScanDirectory1Click (2 lists)", scan_ms);
    row("scan, window shown, first paint", shown_ms);
    row("ls -U -1 DIR > /dev/null", ls_ms);
    row("find DIR -maxdepth 1 > /dev/null", find_ms);
    std::printf("\nratios: FillFileList/ls %.2f, scan/ls %.2f\n", fill_ms / ls_ms, scan_ms / ls_ms);
    const double per_entry = (rss_after - rss_before) * 1024.0 / static_cast<double>(entries);
    std::printf("memory: RSS %ld kB -> %ld kB with the model holding the list: %.1f bytes/entry",
                rss_before, rss_after, per_entry);
    if (peak_ok && hwm_after > 0) {
      const double peak = (hwm_after - rss_before) * 1024.0 / static_cast<double>(entries);
      std::printf(" (peak during the listing %.1f bytes/entry)", peak);
    }
    std::printf("\n");
  }
  std::filesystem::remove_all(program_dir, ec);
  return 0;
}
