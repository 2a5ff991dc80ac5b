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

#include "bench_support.h"

using namespace bench;

namespace {}  // namespace

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
    const double ls_ms = BestMs(repeats, [&] { RunOrFail({"ls", "-U", "-1", dir}); });
    const double find_ms = BestMs(repeats, [&] { RunOrFail({"find", dir, "-maxdepth", "1"}); });
    // ls sorts by default: the same work as the sorted listing.
    const double ls_sorted_ms = BestMs(repeats, [&] { RunOrFail({"ls", "-1", dir}); });

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
    row("ls -1 DIR > /dev/null (sorted)", ls_sorted_ms);
    std::printf("\nratios: FillFileList/ls %.2f, scan/ls %.2f\n", fill_ms / ls_ms, scan_ms / ls_ms);
    const double sorted_ratio = fill_ms / ls_sorted_ms;
    std::printf("goal: sorted listing %.2f x ls -1 (target <= 0.50): %s\n", sorted_ratio,
                sorted_ratio <= 0.5 ? "met" : "missed");
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
