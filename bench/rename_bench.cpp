// bench_rename DATA_DIR [repeats]
//
// Numbers the 10,000 files of DATA_DIR/rename through bt_start in batch mode, beside perl's
// `rename` doing the same on the same files in the same run, and times how fast the batch
// window's preview of those 10,000 names follows a key press. Run by hand; see README.md.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/main_window.h"
#include "tools/batch_window.h"
#include "ui/dialogs.h"

namespace fs = std::filesystem;

#include "bench_support.h"

using namespace bench;

namespace {

constexpr int kFiles = 10000;

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) Fail("failed: " + command);
}

// Makes DIR hold exactly the 10,000 empty files img_00001.jpg .. img_10000.jpg again, with the
// data set's mk_rename.sh when MK_RENAME names it, otherwise the same way here.
void Remake(const std::string& dir) {
  if (const char* mk = std::getenv("MK_RENAME"); mk != nullptr && *mk != '\0') {
    Shell(Quote(mk) + " " + Quote(dir) + " > /dev/null");
    return;
  }
  if (fs::path(dir).filename().string().rfind("rename", 0) != 0) Fail("refusing: " + dir);
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec)) {
    if (e.is_directory()) Fail("refusing: " + dir + " holds directories");
  }
  fs::remove_all(dir, ec);
  fs::create_directories(dir);
  char name[32];
  for (int i = 1; i <= kFiles; ++i) {
    std::snprintf(name, sizeof name, "/img_%05d.jpg", i);
    std::ofstream(dir + name);
  }
}

// How many names of DIR start with a number and "_img_": the files a run has numbered.
int Numbered(const std::string& dir) {
  int count = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    const std::size_t underscore = name.find("_img_");
    if (underscore != std::string::npos && underscore > 0 &&
        std::all_of(name.begin(), name.begin() + static_cast<long>(underscore), ::isdigit)) {
      ++count;
    }
  }
  return count;
}

// The processor time (user and system) of the children waited for so far, in milliseconds.
double ChildrenCpuMs() {
  struct rusage usage {};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

struct RunTimes {
  double wall_ms = 1e300;
  double cpu_ms = 1e300;  // on a busy machine the wall clock waits for other work; this does not
};

// Best times of `repeats` runs of a shell command, the directory made afresh before each; every
// run must number all the files.
RunTimes BestRun(int repeats, const std::string& dir, const std::string& command) {
  RunTimes best;
  for (int r = 0; r < repeats; ++r) {
    Remake(dir);
    const double cpu_before = ChildrenCpuMs();
    const auto start = Clock::now();
    Shell(command);
    best.wall_ms = std::min(best.wall_ms, Ms(Clock::now() - start));
    best.cpu_ms = std::min(best.cpu_ms, ChildrenCpuMs() - cpu_before);
    if (Numbered(dir) != kFiles) Fail("not every file was numbered by: " + command);
  }
  return best;
}

// The floor the kernel sets: the same 10,000 renames of DIR made by a bare loop of renameat2
// through one descriptor of the directory, nothing else; best of `repeats`.
double BareRenamesMs(int repeats, const std::string& dir) {
  double best = 1e300;
  for (int r = 0; r < repeats; ++r) {
    Remake(dir);
    std::vector<std::pair<std::string, std::string>> names;
    char old_name[32], new_name[32];
    for (int i = 1; i <= kFiles; ++i) {
      std::snprintf(old_name, sizeof old_name, "img_%05d.jpg", i);
      std::snprintf(new_name, sizeof new_name, "%d_img_%05d", i - 1, i);
      names.emplace_back(old_name, new_name);
    }
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) Fail("cannot open " + dir);
    const auto start = Clock::now();
    for (const auto& [from, to] : names) {
      if (syscall(SYS_renameat2, fd, from.c_str(), fd, to.c_str(), RENAME_NOREPLACE) != 0) {
        Fail("renameat2 failed in " + dir);
      }
    }
    best = std::min(best, Ms(Clock::now() - start));
    close(fd);
    if (Numbered(dir) != kFiles) Fail("the bare loop did not number every file");
  }
  return best;
}

// The longest time from a key press in `edit` to the preview showing its effect.
double WorstKeyMs(TfrmBatch& batch, QLineEdit* edit, const QString& keys) {
  double worst = 0;
  for (QChar key : keys) {
    const std::string before = batch.PreviewModel->Names().back();
    const auto start = Clock::now();
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(key));
    QApplication::sendEvent(edit, &press);
    while (batch.PreviewModel->Names().back() == before) QCoreApplication::processEvents();
    worst = std::max(worst, Ms(Clock::now() - start));
  }
  return worst;
}

const char* Verdict(bool met) {
  return met ? "met" : "missed";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_rename DATA_DIR [repeats]\n");
    return 2;
  }
  const std::string dir = fs::absolute(argv[1]).lexically_normal().string() + "/rename";
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

  // The program reads its data files beside the executable, so it runs from a private copy.
  char prog[] = "/tmp/bench_rename.XXXXXX";
  if (mkdtemp(prog) == nullptr) Fail("cannot make a temporary directory");
  const std::string prog_dir = prog;
  fs::copy(BW_EXE, prog_dir + "/brackwell");
  fs::copy(BW_DATA_DIR, prog_dir, fs::copy_options::recursive);
  {
    std::ofstream script(prog_dir + "/number.bws");
    script << "BEGIN BWSCRIPT;\r\nbw_scan_dir(" << dir << "/)\r\nbw_sel_all()\r\n"
           << "bt_start($NUM_$OFN)\r\nEND;\r\n";
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);

  const RunTimes bw = BestRun(repeats, dir,
                              Quote(prog_dir + "/brackwell") + " -NOLOGO -BATCH " +
                                  Quote(prog_dir + "/number.bws") + " > /dev/null 2>&1");
  // The same names: a counter in list order, "_" and the name up to its first dot.
  const RunTimes perl =
      BestRun(repeats, dir,
              "cd " + Quote(dir) +
                  " && rename 'our $n; s/^([^.]*)(\\..*)?$/($n++).\"_\".$1/e' * > /dev/null");

  const double bare_ms = BareRenamesMs(repeats, dir);

  // The preview, in this process: the window shown (offscreen) with the 10,000 names.
  Remake(dir);
  double numbering_key_ms = 0, replace_key_ms = 0;
  {
    QApplication qt(argc, argv);
    ScriptedDialogs dialogs;
    App::Options options;
    options.program_dir = prog_dir + "/";
    options.show_splash = false;
    options.dialogs = &dialogs;
    App app(options);
    app.CreateWindows();
    app.Form1->SearchLine->setText(QString::fromStdString(dir + "/"));
    app.Form1->ScanDirectory1Click();
    TfrmBatch& batch = *app.frmBatch;
    QStringList names;
    for (const auto& e : fs::directory_iterator(dir)) {
      names << QString::fromStdString(e.path().filename().string());
    }
    batch.filelest->addItems(names);
    batch.Pages->setCurrentWidget(batch.sheettonombs);
    batch.resize(900, 600);
    batch.show();
    while (batch.PreviewModel->Names().size() != static_cast<std::size_t>(kFiles)) {
      QCoreApplication::processEvents();
    }
    batch.masktoren->setFocus();
    numbering_key_ms = WorstKeyMs(batch, batch.masktoren, "_$EXT");
    batch.Pages->setCurrentWidget(batch.tbsstrRep);
    batch.txtReplasewhat->setText("img");
    QCoreApplication::processEvents();
    replace_key_ms = WorstKeyMs(batch, batch.txtReplacewith, "photo");
    batch.hide();
  }
  fs::remove_all(prog_dir);

  const double ratio = bw.wall_ms / perl.wall_ms;
  const double key_ms = std::max(numbering_key_ms, replace_key_ms);
  std::printf("bench_rename %s: %d files, best of %d\n\n", dir.c_str(), kFiles, repeats);
  std::printf("%-52s %10s %10s\n", "what", "ms", "cpu ms");
  std::printf("%-52s %10.1f %10.1f\n", "brackwell -BATCH: bt_start($NUM_$OFN)", bw.wall_ms,
              bw.cpu_ms);
  std::printf("%-52s %10.1f %10.1f\n", "perl rename, the same names", perl.wall_ms, perl.cpu_ms);
  std::printf("%-52s %10.1f\n", "renameat2 alone, the same renames (the floor)", bare_ms);
  std::printf("%-52s %10.1f\n", "preview after a key, numbering pattern (worst)", numbering_key_ms);
  std::printf("%-52s %10.1f\n", "preview after a key, replace text (worst)", replace_key_ms);
  std::printf(
      "\nratio brackwell / perl rename: %.2f (processor time %.2f); the renames alone: %.2f\n",
      ratio, bw.cpu_ms / perl.cpu_ms, bare_ms / perl.wall_ms);
  std::printf("goal: numbering 10,000 files %.2fx perl rename (target 0.8x): %s\n", ratio,
              Verdict(ratio <= 0.8));
  std::printf("goal: preview of 10,000 names after a key press %.1f ms (target 50 ms): %s\n",
              key_ms, Verdict(key_ms <= 50));
  return 0;
}
