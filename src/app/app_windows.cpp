// App's side of the traffic between windows: the creation steps run again, the windows opened
// on what they work on, and the two windows that every other one talks to.

#include "app/app.h"
#include "app/drive_select.h"
#include "app/main_window.h"
#include "config/lang_editor.h"
#include "config/options_window.h"
#include "console/console_lists.h"
#include "console/console_window.h"
#include "export/bookmarks_window.h"
#include "export/html_file_list.h"
#include "export/small_css.h"
#include "tools/batch_window.h"
#include "tools/copy_windows.h"
#include "tools/hex_calc.h"
#include "tools/hex_viewer.h"
#include "tools/mask_select.h"
#include "tools/search_window.h"
#include "ui/loading.h"

MainWindowApi& App::Main() {
  return *Form1;
}

ConsoleApi& App::Console() {
  return *frmConsole;
}

QWidget* App::MainWidget() const {
  return Form1;
}

config::OptionChoices App::Choices() const {
  return Optionz->Choices();
}

void App::RerunCreationSteps() {
  // The main window reloads the language table first; every window after it takes its captions
  // from the new table. The order is fixed, the search window's step included twice.
  Form1->FormCreate();
  frmHexEditor->FormCreate();
  frmSearch->FormCreate();
  Optionz->FormCreate();
  frmBatch->FormCreate();
  frmBookMarks->FormCreate();
  frmConsole->FormCreate();
  frmHTMLFileList->FormCreate();
  frmLangEdit->FormCreate();
  frmLoading->FormCreate();
  frmSearch->FormCreate();
  MaskSelect->FormCreate();
  // The windows that take their captions only in their creation step follow, so that no window
  // stays in the old language until the next start.
  frmConsoleVars->FormCreate();
  frmHexCalc->FormCreate();
  frmCopyFile->FormCreate();
  frmMassCopy->FormCreate();
  frmSmallCss->FormCreate();
  frmDriveSel->FormCreate();
}

void App::ViewAsHex(const std::optional<std::string>& file, bool afresh) {
  if (afresh) frmHexEditor->ClearDump();
  Show(frmHexEditor);
  if (file) frmHexEditor->LoadHexDump(*file);
}

void App::OpenBatch(const std::vector<std::string>& entries, const std::string& listed_dir) {
  frmBatch->SetEntries(entries, listed_dir);
  Show(frmBatch);
}

void App::OpenHtmlList(const std::string& dir) {
  frmHTMLFileList->SetDirectory(dir);
  Show(frmHTMLFileList);
}

void App::OpenSearch(const std::string& dir) {
  // Showing the window fills in the listed directory; the one asked for replaces it.
  Show(frmSearch);
  frmSearch->SetDirectory(dir);
}

void App::OpenMassCopy(const std::vector<std::string>& names) {
  frmMassCopy->AddNames(names);
  Show(frmMassCopy);
}

void App::OpenHexCalc(const std::optional<std::string>& hex_number) {
  if (hex_number) frmHexCalc->SetHexNumber(*hex_number);
  Show(frmHexCalc);
}
