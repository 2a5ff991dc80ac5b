// The main window's file operations, bookmarks, favourite applications and the entries that
// hand command lines to the console.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "app/app.h"
#include "app/drive_select.h"
#include "app/listing_rules.h"
#include "app/main_window.h"
#include "app/splash.h"
#include "config/options_window.h"
#include "console/console_window.h"
#include "export/bookmarks_window.h"
#include "export/html_file_list.h"
#include "platform/desktop_entry.h"
#include "platform/file_ops.h"
#include "platform/launch.h"
#include "platform/paths.h"
#include "tools/batch_window.h"
#include "tools/copy_windows.h"
#include "tools/hex_viewer.h"
#include "tools/mask_select.h"
#include "tools/search_window.h"
#include "ui/byte_text.h"
#include "ui/file_list_model.h"

namespace {

bool HoldsDelim(const std::string& entry) {
  return entry.find(platform::kPathDelim) != std::string::npos;
}

}  // namespace

void TForm1::Delete1Click() {
  const int row = CurrentRow();
  const std::string dir = TextToBytes(SearchLine->text());
  const bool ask = app_.Optionz->ondel->isChecked();
  if (ask) {
    if (row < 0) {
      app_.dialogs().Beep(true);
    } else {
      const std::string& entry = fListModel->Entry(row);
      const QString text = app_.Str(4) + "\n\r" + BytesToText(dir + entry);
      if (app_.dialogs().MessageBox(text, app_.Str(29), MsgIcon::kWarning, MsgButtons::kYesNo) ==
          MsgAnswer::kYes) {
        platform::DeleteFile(dir + entry);
      }
    }
  } else if (row < 0) {
    app_.dialogs().Beep(true);
  } else {
    platform::DeleteFile(dir + fListModel->Entry(row));
    app_.dialogs().Beep(false);
  }
  ScanDirectory1Click();
}

void TForm1::DeleteAll1Click() {
  if (app_.Optionz->ondel->isChecked() &&
      app_.dialogs().MessageBox(app_.Str(4), app_.Str(2), MsgIcon::kNone, MsgButtons::kYesNo) !=
          MsgAnswer::kYes) {
    return;
  }
  const std::vector<int> rows = SelectedRows();
  if (!rows.empty()) {
    app_.Show(app_.frmConsole);
    for (int row : rows) {
      const std::string& entry = fListModel->Entry(row);
      if (HoldsDelim(entry)) continue;
      const std::string path = app_.CurrentDir + entry;
      if (platform::DeleteFile(path)) {
        app_.PrintLine("> Deleted: " + path + "\"");
      } else {
        app_.PrintLine("> Error: Can't delet file \"" + path);
      }
    }
  }
  ScanDirectory1Click();
}

void TForm1::CreateEmptyFile1Click() {
  const auto answer = app_.dialogs().InputBox(app_.Str(79), app_.Str(80), {});
  const std::string name = answer ? TextToBytes(*answer) : std::string();
  // An empty name names the directory itself; an existing file is left as it is.
  if (!name.empty()) platform::CreateEmptyFile(app_.CurrentDir + name);
  ScanDirectory1Click();
}

void TForm1::Rename1Click() {
  const int row = CurrentRow();
  if (row < 0) return ScanDirectory1Click();
  std::string name;
  for (;;) {
    const auto answer = app_.dialogs().InputBox("Rename", "New file name", {});
    name = answer ? TextToBytes(*answer) : std::string();
    if (name.empty()) return;
    if (!platform::FileExists(name) && !platform::FileExists(app_.CurrentDir + name)) break;
    app_.dialogs().MessageBox("File olready exist, please choose another name", "Error",
                              MsgIcon::kWarning, MsgButtons::kOk);
  }
  const std::string source = app_.CurrentDir + fListModel->Entry(row);
  if (platform::CopyFileNoReplace(source, app_.CurrentDir + name)) platform::DeleteFile(source);
  ScanDirectory1Click();
}

void TForm1::mnuCopyFileClick() {
  const std::vector<int> rows = SelectedRows();
  if (rows.size() < 2) {
    app_.Show(app_.frmCopyFile);
    return;
  }
  for (int row : rows) app_.frmMassCopy->ArrToCop->addItem(BytesToText(fListModel->Entry(row)));
  app_.Show(app_.frmMassCopy);
}

void TForm1::ViewAsHex1Click() {
  app_.frmHexEditor->memHex->clear();
  app_.Show(app_.frmHexEditor);
  const int row = CurrentRow();
  if (row < 0) return;
  const std::string& entry = fListModel->Entry(row);
  app_.frmHexEditor->LoadHexDump(
      app::IsSearchResultsPath(app_.CurrentDir) ? entry : app_.CurrentDir + entry);
}

void TForm1::Mask1Click() {
  app_.Show(app_.MaskSelect);
}

void TForm1::BatchRename1Click() {
  app_.frmBatch->filelest->clear();
  for (int row : SelectedRows())
    app_.frmBatch->filelest->addItem(BytesToText(fListModel->Entry(row)));
  app_.Show(app_.frmBatch);
}

void TForm1::HTMLLIST1Click() {
  app_.frmHTMLFileList->path->setText(SearchLine->text());
  app_.Show(app_.frmHTMLFileList);
}

void TForm1::SEARCH1Click() {
  app_.Show(app_.frmSearch);
  app_.frmSearch->txtPathSea->setText(BytesToText(app_.CurrentDir));
}

void TForm1::Optionz1Click() {
  app_.Show(app_.Optionz);
}

void TForm1::ToolButton2Click() {
  app_.Show(app_.frmDriveSel);
}

void TForm1::About1Click() {
  app_.Show(new TfrmSplsh());
}

void TForm1::bookmarkzClick() {
  QListWidgetItem* item = bookmarkz->currentItem();
  if (item == nullptr) return;
  SearchLine->setText(item->text());
  ScanDirectory1Click();
}

void TForm1::SHOWBOOKMARKS1Click() {
  SHOWBOOKMARKS1->setChecked(!SHOWBOOKMARKS1->isChecked());
  bookmarkz->setVisible(SHOWBOOKMARKS1->isChecked());
}

void TForm1::BOOKMARKS1Click() {
  app_.Show(app_.frmBookMarks);
}

void TForm1::ADDBOOKMARK1Click() {
  app_.frmBookMarks->addsrch->setText(SearchLine->text());
  app_.frmBookMarks->addClick();
}

void TForm1::BuildFavouritesMenu() {
  const std::string file = app_.ProgramDir() + config::kFavAppsFileName;
  // A missing list is an empty list.
  const auto text = platform::ReadWholeFile(file);
  if (!text) return;
  const auto plain = [](QString caption) { return caption.remove('&').toCaseFolded(); };
  for (const std::string& line : platform::SplitLines(*text)) {
    const QString caption = BytesToText(line);
    bool present = false;
    for (QAction* action : FAVAPPS1->actions()) {
      present = present || plain(action->text()) == plain(caption);
    }
    if (present) continue;
    auto* action = new QAction(caption, FAVAPPS1);
    connect(action, &QAction::triggered, this,
            [this, action] { app_.Guarded([&] { FavorApps(action->text()); }); });
    FAVAPPS1->insertAction(FAVAPPS1->actions().value(0), action);
  }
}

void TForm1::FavorApps(const QString& caption) {
  QString command = caption;
  command.remove('&');
  const std::string program = TextToBytes(command);
  app_.PrintLine("> Favorite App: " + program);
  // A desktop entry starts the program its Exec line names.
  if (platform::IsDesktopEntry(program)) {
    if (const auto entry = platform::ReadWholeFile(program)) {
      platform::StartCommandLine(platform::DesktopEntryCommand(*entry));
      return;
    }
  }
  platform::StartCommandLine(program);
}

void TForm1::Default1Click() {
  const QString chosen = app_.dialogs().OpenFileName("Programms|*.exe;*.com;*.bat;*.lnk");
  if (!chosen.isEmpty()) {
    const std::string file = app_.ProgramDir() + config::kFavAppsFileName;
    std::vector<std::string> lines;
    if (const auto text = platform::ReadWholeFile(file)) lines = platform::SplitLines(*text);
    lines.push_back(TextToBytes(chosen));
    platform::WriteFileAtomic(file, platform::JoinLinesCrlf(lines));
    app_.Optionz->faplist->addItem(chosen);
  }
  BuildFavouritesMenu();
}

void TForm1::GoEntryClick(const char* name) {
  app_.ExecuteCommandLine(std::string("go(") + name + ")");
}

void TForm1::LISTING1Click() {
  app_.ExecuteCommandLine("cn_clear()");
  app_.ExecuteCommandLine("cn_listing($DIR)");
  app_.ExecuteCommandLine("cn_show()");
}

void TForm1::mnuViewAsTextClick() {
  const int row = CurrentRow();
  if (row < 0) return;
  app_.ExecuteCommandLine("cn_clear()");
  app_.ExecuteCommandLine("cn_read_txtfile($DIR" + fListModel->Entry(row) + ")");
  app_.ExecuteCommandLine("cn_show()");
}

void TForm1::pDELELOPERLOG1Click() {
  app_.ExecuteCommandLine("cn_clear()");
  app_.ExecuteCommandLine("cn_read_txtfile($EXEdevlog.txt)");
  app_.Show(app_.frmConsole);
}

void TForm1::mnuConsoleClick() {
  app_.Show(app_.frmConsole);
}

void TForm1::Help1Click() {
  platform::OpenDocument(app_.ProgramDir() + "help.html");
}
