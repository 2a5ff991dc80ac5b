// Console command lines run by the whole program: a batch-mode window set over a scratch
// directory answers each input's lines as the console's Enter key would. Every change to files is
// kept inside the scratch directory's work/ folder, each input may write at most a megabyte there
// (then the disk is full), and no program is started. A file the lines may read but never change
// lies beside work/ and must come out of every run as it went in.
#include <sys/stat.h>
#include <QApplication>
#include <QCoreApplication>
#include <QListWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/main_window.h"
#include "console/console_window.h"
#include "fuzz_support.h"
#include "platform/fault_plan.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "tools/batch_window.h"
#include "ui/byte_text.h"
#include "ui/column_list_view.h"
#include "ui/console_view.h"
#include "ui/dialogs.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxLines = 16;
constexpr std::int64_t kWriteBudget = 1 << 20;
const std::string kGuardText = "must never change\r\n";

struct Scene {
  std::string root;        // with the delimiter
  std::string work;        // root + "work/": everything the lines may change
  std::string list;        // work + "list/": the listed directory, rebuilt for each input
  std::string prog;        // work + "prog/": program and settings directory
  std::string keep;        // root + "keep/": readable, never to be changed
  std::string fuzzer_dir;  // the fuzzer's working directory: its corpus paths may be relative
  ScriptedDialogs dialogs;
  std::unique_ptr<App> app;
  std::vector<std::int64_t> laid_out;  // Stamps() right after the files were last laid out
};

Scene* scene = nullptr;

// Empties work/ and lays out the same few files each time, so an input does the same whatever
// ran before it.
void ResetFiles(Scene& s) {
  platform::faults::Disarm();
  for (const fs::directory_entry& entry : fs::directory_iterator(s.work)) {
    fs::remove_all(entry.path());
  }
  fs::create_directories(s.list + "sub");
  fs::create_directories(s.prog);
  fuzz::WriteFileOrAbort(s.list + "a.txt", "alpha\r\nbeta\r\n");
  fuzz::WriteFileOrAbort(s.list + "b c.bin", std::string("\0\1\2\377 binary", 12));
  fuzz::WriteFileOrAbort(s.list + "run.bws",
                         "BEGIN BWSCRIPT;\r\ncn_print($DIR)\r\nbw_sel_all()\r\nEND;\r\n");
  fuzz::WriteFileOrAbort(s.list + "sub/deep.txt", "deep\r\n");
  fuzz::WriteFileOrAbort(s.prog + "defvars.txt", "$ME=fuzz\r\n$TWICE=$ME$ME\r\n");
}

// Ends the windows while the toolkit still stands, and leaves no scratch directory behind.
void TearDown() {
  scene->app.reset();
  fs::remove_all(scene->root);
  delete scene;
  scene = nullptr;
}

// Modification times and sizes of work/'s folders and fixture files: any file made, removed,
// renamed or rewritten there changes one of them. Cheaper than laying the files out anew.
std::vector<std::int64_t> Stamps(const Scene& s) {
  std::vector<std::int64_t> stamps;
  for (const std::string& path :
       {s.work, s.list, s.list + "sub", s.prog, s.list + "a.txt", s.list + "b c.bin",
        s.list + "run.bws", s.list + "sub/deep.txt", s.prog + "defvars.txt"}) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) st.st_mtim.tv_sec = -1;
    stamps.push_back(st.st_mtim.tv_sec * 1000000000 + st.st_mtim.tv_nsec);
    stamps.push_back(st.st_size);
  }
  return stamps;
}

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int qt_argc = 1;
  static char* qt_argv[] = {(*argv)[0], nullptr};
  static QApplication qt(qt_argc, qt_argv);
  (void)argc;

  scene = new Scene;
  scene->root = fuzz::MakeScratchDir() + "/";
  scene->work = scene->root + "work/";
  scene->list = scene->work + "list/";
  scene->prog = scene->work + "prog/";
  scene->keep = scene->root + "keep/";
  fs::create_directories(scene->work);
  fs::create_directories(scene->keep);
  fuzz::WriteFileOrAbort(scene->keep + "guard.txt", kGuardText);
  ResetFiles(*scene);

  App::Options options;
  options.program_dir = scene->prog;
  options.settings_dir = scene->prog;
  options.show_splash = false;
  options.batch = true;
  options.dialogs = &scene->dialogs;
  scene->app = std::make_unique<App>(options);
  scene->fuzzer_dir = platform::WorkingDir();
  scene->app->CreateWindows();
  platform::SetWorkingDir(scene->fuzzer_dir);  // the directory tree moved it
  std::atexit(TearDown);  // registered after the toolkit was made, so it runs before that ends
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Scene& s = *scene;
  App& app = *s.app;
  // Each input starts from the same files and listing, as after a fresh start; files and listing
  // are only made anew when the last input changed them, as making them is most of the cost.
  if (Stamps(s) != s.laid_out || app.CurrentDir != s.list || app.FileMask != "*.*") {
    ResetFiles(s);
    // The scan comes first: setting the mask lists the current directory again, which the last
    // input may have left somewhere large.
    app.ExecuteCommandLine("bw_scan_dir(" + s.list + ")");
    if (app.FileMask != "*.*") app.ExecuteCommandLine("bw_mask(*.*)");
    s.laid_out = Stamps(s);  // after the scan, which keeps the listed directory in the settings
  }
  app.Form1->fList->clearSelection();
  // The numbering command adds the selection to the rename window's list; across inputs the list
  // would only grow.
  app.frmBatch->filelest->clear();
  // The lines run in the listed directory, as the program does after a scan.
  platform::SetWorkingDir(s.list);
  app.frmConsole->textConsole->SetReadOnly(true);  // an editable console prints slower
  app.frmConsole->textConsole->Clear();
  s.dialogs.asked.clear();
  s.dialogs.errors.clear();

  platform::faults::Plan plan;
  plan.confine = s.work;
  plan.write_budget = kWriteBudget;
  platform::faults::Arm(plan);

  const std::string text(reinterpret_cast<const char*>(data), size);
  std::size_t run = 0;
  for (std::string_view line : platform::SplitLineViews(text)) {
    if (run++ == kMaxLines) break;
    app.Guarded([&] { app.ExecuteCommandLine(std::string(line)); });
    QCoreApplication::sendPostedEvents();
  }
  platform::faults::Disarm();
  platform::SetWorkingDir(s.fuzzer_dir);

  // Nothing outside work/ changed, whatever the lines named.
  FUZZ_CHECK(platform::ReadWholeFile(s.keep + "guard.txt") == kGuardText);
  FUZZ_CHECK(Names(s.keep) == std::vector<std::string>{"guard.txt"});
  std::vector<std::string> top = Names(s.root);
  std::sort(top.begin(), top.end());
  FUZZ_CHECK((top == std::vector<std::string>{"keep", "work"}));
  return 0;
}
