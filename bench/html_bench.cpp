// bench_html DATA_DIR [repeats]
//
// Times the HTML file list export of the data set's large flat directory, with the date and size
// columns, beside `tree -H . -L 1 -D -s --noreport` on the same directory in the same run. Run by
// hand; see README.md.

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "export/html_file_list.h"
#include "platform/enumerate.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "ui/byte_text.h"
#include "ui/dialogs.h"

#include "bench_support.h"

using namespace bench;

namespace {

std::size_t CountOf(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_html DATA_DIR [repeats]\n");
    return 2;
  }
  std::error_code ec;
  std::filesystem::path data = std::filesystem::absolute(argv[1], ec).lexically_normal();
  if (std::filesystem::is_directory(data / "flat", ec)) data /= "flat";
  std::string dir = data.string();
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (!std::filesystem::is_directory(dir, ec)) Fail(dir + " is not a directory");
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication qt(argc, argv);

  // A throw-away program directory; the page is written there, and a PATH without the desktop's
  // opener keeps the export from starting a browser.
  char work[] = "/tmp/bench_html.XXXXXX";
  if (mkdtemp(work) == nullptr) Fail("cannot make a temporary directory");
  const std::string work_dir = std::string(work) + "/";
  const std::string page_file = work_dir + "FileList.htm";
  const std::string tree_file = work_dir + "tree.html";
  const std::string saved_path = std::getenv("PATH") ? std::getenv("PATH") : "";
  std::filesystem::create_directory(work_dir + "bin", ec);

  std::size_t files = 0;
  platform::EnumerateEntries(dir + "/*.*", {}, [&](const platform::DirEntry& e) {
    if (!e.is_dir) ++files;
  });

  double export_ms = 0;
  {
    ScriptedDialogs dialogs;
    App::Options options;
    options.program_dir = work_dir;
    options.show_splash = false;
    options.batch = true;
    options.dialogs = &dialogs;
    App app(options);
    app.CreateWindows();
    TfrmHTMLFileList& list = *app.frmHTMLFileList;
    list.path->setText(BytesToText(dir + "/"));
    list.flDate->setChecked(true);
    list.flSize->setChecked(true);
    list.fTitle->setText("Benchmark");

    setenv("PATH", (work_dir + "bin").c_str(), 1);
    export_ms = BestMs(repeats, [&] {
      dialogs.save_answers = {BytesToText(page_file)};
      list.btOKClick();
    });
    setenv("PATH", saved_path.c_str(), 1);
    if (!dialogs.errors.isEmpty()) Fail("the export failed: " + TextToBytes(dialogs.errors[0]));
  }
  const std::string page = platform::ReadWholeFile(page_file).value_or("");
  if (CountOf(page, "<TR>") != files || CountOf(page, " KBytes</TD></TR>") != files) {
    Fail("the page does not hold a row with date and size for each of the " +
         std::to_string(files) + " files");
  }

  const double tree_ms = BestMs(repeats, [&] {
    RunOrFail({"tree", "-H", ".", "-L", "1", "-D", "-s", "--noreport", dir}, tree_file);
  });

  std::printf("bench_html %s: %zu files, best of %d\n\n", dir.c_str(), files, repeats);
  std::printf("%-48s %10s\n", "what", "ms");
  std::printf("%-48s %10.1f\n", "export (btOK: list, page, write), date+size", export_ms);
  std::printf("%-48s %10.1f\n", "tree -H . -L 1 -D -s --noreport DIR > file", tree_ms);
  const double ratio = export_ms / tree_ms;
  std::printf("\nratio export/tree %.2f\n", ratio);
  std::printf("goal: export no slower than tree %.2fx (target 1.00x): %s\n", ratio,
              ratio <= 1.0 ? "met" : "missed");
  std::filesystem::remove_all(work, ec);
  return 0;
}
