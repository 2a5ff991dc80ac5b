// bench_million DATA_DIR
//
// Lists a directory of 1,000,000 empty files in the main window (shown offscreen) and measures
// the longest the window thread stays busy for each step a user takes: the scan, select all,
// going to the last entry, and a key press. `ls -U -1` lists the same directory in the same run.
// The directory is made beside the data set (DATA_DIR/../million.XXXXXX) and removed at the end.

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/main_window.h"
#include "ui/column_list_view.h"
#include "ui/dialogs.h"
#include "ui/file_list_model.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kEntries = 1'000'000;
constexpr int kBurst = 100'000;
constexpr double kStallMs = 200;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The longest the window thread goes without running its event loop while `step` and the
// window events it leaves pending (layout, paint) are handled: a zero-interval timer fires on
// every pass of the loop, and the widest gap between two passes is the stall. `total_ms`
// receives the whole time of the step.
double StallMs(const std::function<void()>& step, double* total_ms = nullptr) {
  QTimer heartbeat;
  heartbeat.setInterval(0);
  auto last = Clock::now();
  const auto start = last;
  double worst = 0;
  QObject::connect(&heartbeat, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    worst = std::max(worst, Ms(now - last));
    last = now;
  });
  heartbeat.start();
  step();
  QCoreApplication::processEvents();
  heartbeat.stop();
  const auto end = Clock::now();
  worst = std::max(worst, Ms(end - last));
  if (total_ms != nullptr) *total_ms = Ms(end - start);
  return worst;
}

void Fail(const std::string& text) {
  std::fprintf(stderr, "bench_million: %s\n", text.c_str());
  std::exit(1);
}

// Runs a command with standard output on /dev/null and waits for it; returns the time taken.
double RunQuietMs(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const auto start = Clock::now();
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) Fail(std::string("cannot run ") + argv[0] + ": " + std::strerror(error));
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail(std::string(argv[0]) + " failed");
  return Ms(Clock::now() - start);
}

void SendKey(QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers);
  QApplication::sendEvent(to, &press);
  QApplication::sendEvent(to, &release);
}

void Goal(const char* what, double ms) {
  std::printf("goal: %s %.1f ms (target < %.0f ms): %s\n", what, ms, kStallMs,
              ms < kStallMs ? "met" : "missed");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_million DATA_DIR\n");
    return 2;
  }
  std::error_code ec;
  std::string data = std::filesystem::absolute(argv[1], ec).lexically_normal().string();
  while (data.size() > 1 && data.back() == '/') data.pop_back();
  if (!std::filesystem::is_directory(data, ec)) Fail(data + " is not a directory");
  std::string dir = std::filesystem::path(data).parent_path().string() + "/million.XXXXXX";
  if (mkdtemp(dir.data()) == nullptr) Fail("cannot make " + dir);
  char program_dir[] = "/tmp/bench_million.XXXXXX";
  if (mkdtemp(program_dir) == nullptr) Fail("cannot make a temporary directory");

  auto start = Clock::now();
  for (int i = 0; i < kEntries; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/f%07d.dat", i);
    const int fd = open((dir + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) Fail("cannot create " + dir + name);
    close(fd);
  }
  const double make_ms = Ms(Clock::now() - start);

  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication qt(argc, argv);
  {
    ScriptedDialogs dialogs;
    App::Options options;
    options.program_dir = std::string(program_dir) + "/";
    options.show_splash = false;
    options.dialogs = &dialogs;
    App app(options);
    app.CreateWindows();
    TForm1& form = *app.Form1;
    form.resize(1000, 700);
    form.show();
    QCoreApplication::processEvents();

    const double ls_ms = RunQuietMs({"ls", "-U", "-1", dir});
    form.SearchLine->setText(QString::fromStdString(dir + "/"));
    double scan_total_ms = 0;
    const double scan_ms = StallMs([&] { form.ScanDirectory1Click(); }, &scan_total_ms);
    const std::size_t listed = form.fListModel->Entries().size();
    if (listed < static_cast<std::size_t>(kEntries)) Fail("the scan listed too few entries");
    const double ls_again_ms = RunQuietMs({"ls", "-U", "-1", dir});

    form.fList->setFocus();
    form.SetCurrentRow(0);
    QCoreApplication::processEvents();
    const double select_ms = StallMs([&] { form.SELECTALL1Click(); });
    if (form.fList->selectionModel()->selection().size() == 0) Fail("select all selected nothing");
    const double end_ms = StallMs([&] { SendKey(form.fList, Qt::Key_End); });
    if (form.CurrentRow() != static_cast<int>(listed) - 1) Fail("End did not reach the last entry");
    const double key_ms = StallMs([&] { SendKey(form.fList, Qt::Key_Up); });
    if (form.CurrentRow() != static_cast<int>(listed) - 2) Fail("Up did not move the cursor");
    const double home_ms = StallMs([&] { SendKey(form.fList, Qt::Key_Home, Qt::ShiftModifier); });
    const double deselect_ms = StallMs([&] { form.Deselect1Click(); });

    // Another program adds 100,000 files while the list is followed: the window takes them in
    // (the kernel's queue overflows, so the directory is listed again in slices) without
    // stalling. The cursor stays where it was.
    form.SetCurrentRow(10);
    double burst_ms = 0;
    double burst_total_ms = 0;
    const std::size_t before_burst = form.fListModel->Entries().size();
    const auto burst_start = Clock::now();
    for (int i = 0; i < kBurst; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "/g%07d.dat", i);
      const int fd = open((dir + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
      if (fd < 0) Fail("cannot create " + dir + name);
      close(fd);
    }
    const double burst_make_ms = Ms(Clock::now() - burst_start);
    burst_ms = StallMs(
        [&] {
          const auto deadline = Clock::now() + std::chrono::seconds(60);
          while (form.fListModel->Entries().size() < before_burst + kBurst &&
                 Clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
          }
        },
        &burst_total_ms);
    if (form.fListModel->Entries().size() != before_burst + kBurst) {
      Fail("the list did not follow the burst of new files");
    }
    if (form.CurrentRow() != 10) Fail("the burst moved the cursor");

    std::printf("bench_million %s: %zu entries (made in %.0f ms)\n\n", dir.c_str(), listed,
                make_ms);
    std::printf("%-44s %10s %8s\n", "what (window thread busy)", "ms", "x ls");
    auto row = [&](const char* what, double ms) {
      std::printf("%-44s %10.1f %8.2f\n", what, ms, ms / ls_ms);
    };
    row("ls -U -1 DIR > /dev/null (before the scan)", ls_ms);
    row("ls -U -1 DIR > /dev/null (after the scan)", ls_again_ms);
    row("scan (ScanDirectory1Click), whole time", scan_total_ms);
    row("scan: longest stall of the window thread", scan_ms);
    row("select all (Ctrl+A) and paint", select_ms);
    row("End key to the last entry and paint", end_ms);
    row("Up key round trip and paint", key_ms);
    row("Shift+Home (range to the first) and paint", home_ms);
    row("deselect (Ctrl+D) and paint", deselect_ms);
    std::printf("%-44s %10.1f\n", "100,000 files made by another program", burst_make_ms);
    row("burst followed: longest stall", burst_ms);
    row("burst followed: until all listed", burst_total_ms);
    std::printf("\nratio: scan (whole time)/ls %.2f\n", scan_total_ms / ls_ms);
    Goal("scan stall", scan_ms);
    Goal("select-all stall", select_ms);
    Goal("scroll-to-end stall", end_ms);
    Goal("keypress round trip", key_ms);
    Goal("range selection stall", home_ms);
    Goal("100,000-change burst stall", burst_ms);
    form.hide();
  }
  std::filesystem::remove_all(program_dir, ec);
  std::filesystem::remove_all(dir, ec);
  if (ec)
    std::fprintf(stderr, "bench_million: could not remove %s: %s\n", dir.c_str(),
                 ec.message().c_str());
  return 0;
}
