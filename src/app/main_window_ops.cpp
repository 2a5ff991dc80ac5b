// The main window's file operations, bookmarks, favourite applications and the entries that
// hand command lines to the console.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <optional>

#include "app/app.h"
#include "app/drive_select.h"
#include "app/file_deleter.h"
#include "app/file_op_rules.h"
#include "app/listing_rules.h"
#include "app/main_window.h"
#include "app/splash.h"
#include "app/undo_command.h"
#include "config/options_window.h"
#include "console/console_window.h"
#include "export/bookmarks_window.h"
#include "platform/desktop_entry.h"
#include "platform/file_ops.h"
#include "platform/launch.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "tools/copy_windows.h"
#include "tools/mask_select.h"
#include "ui/byte_text.h"
#include "ui/file_list_model.h"

namespace {

// While search results are listed the listed directory is empty and entries are full paths.
bool ListsSearchResults(const App& app) {
  return app.CurrentDir.empty() && app.SearchResults.has_value();
}

// Keeps the search results in step with a file that was deleted (no replacement) or renamed.
void UpdateSearchResult(App& app, const std::string& path, const std::string& replacement = {}) {
  if (!ListsSearchResults(app)) return;
  auto& results = *app.SearchResults;
  for (auto it = results.begin(); it != results.end();) {
    if (*it != path) {
      ++it;
    } else if (replacement.empty()) {
      it = results.erase(it);
    } else {
      *it++ = replacement;
    }
  }
}

// The entry a path has in fList while fList lists its directory; nothing for a path elsewhere, or
// one the listing leaves out (hidden, or not matching the mask).
std::optional<std::string> ListedEntry(const App& app, const std::string& path) {
  const std::string& dir = app.CurrentDir;
  if (dir.empty() || path.size() <= dir.size() || path.compare(0, dir.size(), dir) != 0) {
    return std::nullopt;
  }
  std::string name = path.substr(dir.size());
  if (name.find(platform::kPathDelim) != std::string::npos ||
      !app::ListingShows(name, app.FileMask)) {
    return std::nullopt;
  }
  return platform::DirectoryExists(path) ? name + platform::kPathDelim : name;
}

}  // namespace

void TForm1::Delete1Click() {
  DeleteCurrent(false);
}

void TForm1::DeleteForEver1Click() {
  DeleteCurrent(true);
}

void TForm1::DeleteCurrent(bool for_ever) {
  const int row = CurrentRow();
  const bool ask = app_.Choices().ask_on_delete;
  if (row < 0) {
    // Nothing under the cursor: the error beep, a second one where no question would be asked.
    app_.dialogs().Beep(true);
    if (!ask) app_.dialogs().Beep(true);
    return ScanDirectory1Click();
  }
  // A copy: the question below runs an event loop, in which the list may be listed anew.
  const std::string entry = fListModel->Entry(row);
  // The path line names the directory, as the user sees it above the list.
  const std::string path = app::EntryPath(TextToBytes(SearchLine->text()), entry);
  if (app::IsDirectoryEntry(entry)) {
    app_.PrintLine(app::SkippedDirectoriesLine(1));
    return ScanDirectory1Click();
  }
  if (ask) {
    const QString text = app_.Str(4) + "\n\r" + BytesToText(path);
    if (app_.dialogs().MessageBox(text, app_.Str(29), MsgIcon::kWarning, MsgButtons::kYesNo) !=
        MsgAnswer::kYes) {
      return ScanDirectory1Click();
    }
  }
  if (!FileDeleter(app_, for_ever).Remove(path)) {
    // The file may be gone or changed in another way: the directory is read again.
    app_.PrintLine("> Error: Can't delet file \"" + path);
    return ScanDirectory1Click();
  }
  UpdateSearchResult(app_, path);
  if (const auto listed = ListedEntry(app_, path)) fListModel->RemoveEntry(*listed);
  if (!ask) app_.dialogs().Beep(false);
  ScanAfterOwnChange();
}

void TForm1::DeleteAll1Click() {
  if (app_.Choices().ask_on_delete &&
      app_.dialogs().MessageBox(app_.Str(4), app_.Str(2), MsgIcon::kNone, MsgButtons::kYesNo) !=
          MsgAnswer::kYes) {
    return;
  }
  const std::vector<int> rows = SelectedRows();
  if (!rows.empty()) {
    app_.Show(app_.frmConsole);
    const app::DeletionPlan plan = app::PlanDeletion(app_.CurrentDir, Entries(), rows);
    FileDeleter deleter(app_, false);
    std::vector<std::string> deleted;
    bool failed = false;
    for (const std::string& path : plan.files) {
      if (deleter.Remove(path)) {
        UpdateSearchResult(app_, path);
        if (const auto listed = ListedEntry(app_, path)) deleted.push_back(*listed);
        app_.PrintLine("> Deleted: " + path + "\"");
      } else {
        app_.PrintLine("> Error: Can't delet file \"" + path);
        failed = true;
      }
    }
    if (plan.skipped_directories > 0) {
      app_.PrintLine(app::SkippedDirectoriesLine(plan.skipped_directories));
    }
    fListModel->ApplyChanges(deleted, {}, {});
    if (failed) return ScanDirectory1Click();
  }
  ScanAfterOwnChange();
}

namespace {

// Asks for a name until it names nothing that exists in the directory of `beside` (a path in that
// directory); returns the full path. An empty answer or Cancel gives nothing.
// The box starts with `initial`; answering it unchanged changes nothing, as Cancel does.
std::optional<std::string> AskFreeName(App& app, const QString& caption, const QString& prompt,
                                       const std::string& beside, const std::string& initial = {}) {
  for (;;) {
    const auto answer = app.dialogs().InputBox(caption, prompt, BytesToText(initial));
    const std::string name = answer ? TextToBytes(*answer) : std::string();
    if (name.empty() || name == initial) return std::nullopt;
    const std::string target = app::RenameTarget(beside, name);
    if (!platform::FileExists(target) && !platform::DirectoryExists(target)) return target;
    app.dialogs().MessageBox("File olready exist, please choose another name", "Error",
                             MsgIcon::kWarning, MsgButtons::kOk);
  }
}

void ReportFailure(App& app, const std::string& line) {
  app.PrintLine(line);
  app.dialogs().MessageBox(BytesToText(line.substr(2)), app.Str(1), MsgIcon::kWarning,
                           MsgButtons::kOk);
}

}  // namespace

std::string TForm1::ListedName(const std::string& path) const {
  // Search results list full paths; a directory lists names.
  if (app_.CurrentDir.empty() || !path.starts_with(app_.CurrentDir)) return path;
  return path.substr(app_.CurrentDir.size());
}

void TForm1::CreateEmptyFile1Click() {
  // A taken name is refused as renaming refuses it: an existing file is never emptied.
  const auto path = AskFreeName(app_, app_.Str(79), app_.Str(80), app_.CurrentDir);
  if (path) {
    const tools::UndoHistory history = UndoHistoryOf(app_);
    history.Record({tools::UndoKind::kCreate, {}, {*path}});
    if (!platform::CreateEmptyFile(*path)) {
      history.DropLast();
      ReportFailure(app_, "> Error: Can't create file \"" + *path + "\"");
      return ScanDirectory1Click();
    }
  }
  if (const auto listed = path ? ListedEntry(app_, *path) : std::nullopt) {
    fListModel->InsertEntry(*listed);
  }
  ScanAfterOwnChange();
  if (path) SelectEntry(ListedName(*path));
}

void TForm1::Rename1Click() {
  const int row = CurrentRow();
  if (row < 0) return ScanDirectory1Click();
  const std::string entry = fListModel->Entry(row);
  const std::string source = app::EntryPath(app_.CurrentDir, entry);
  if (app::IsDirectoryEntry(entry)) {
    app_.PrintLine("> Warning: Directories are not renamed: " + source);
    return ScanDirectory1Click();
  }
  const auto asked =
      AskFreeName(app_, "Rename", "New file name", source, source.substr(source.rfind('/') + 1));
  if (!asked) return;
  // One move, never a copy: a large file is renamed at once, and an existing target is never
  // replaced. A name leading into another directory makes it a move, and the undo history
  // records it as one, with ".." in the name taken where the file system takes it.
  const std::string target = RecordedPath(*asked);
  if (!MoveWithUndo(app_, source, target)) {
    ReportFailure(app_, "> Error: Can't rename file \"" + source + "\" to \"" + *asked + "\"");
    return ScanDirectory1Click();
  }
  UpdateSearchResult(app_, source, target);
  if (ListedEntry(app_, source)) {
    const auto listed = ListedEntry(app_, target);
    listed ? fListModel->RenameEntry(entry, *listed) : fListModel->RemoveEntry(entry);
  }
  ScanAfterOwnChange();
  SelectEntry(ListedName(target));
}

void TForm1::mnuCopyFileClick() {
  const std::vector<int> rows = SelectedRows();
  if (rows.size() < 2) {
    // The copy window copies CurrentFile. The entry under the cursor is taken here, because a
    // right click for the pop-up menu and a click on a search result do not set it.
    const int row = CurrentRow();
    if (row >= 0) app_.CurrentFile = app::EntryPath(app_.CurrentDir, fListModel->Entry(row));
    app_.Show(app_.frmCopyFile);
    return;
  }
  std::vector<std::string> names;
  for (int row : rows) names.push_back(fListModel->Entry(row));
  app_.OpenMassCopy(names);
}

void TForm1::ViewAsHex1Click() {
  const int row = CurrentRow();
  if (row < 0) return app_.ViewAsHex(std::nullopt, true);
  const std::string& entry = fListModel->Entry(row);
  app_.ViewAsHex(app::IsSearchResultsPath(app_.CurrentDir) ? entry : app_.CurrentDir + entry, true);
}

void TForm1::Mask1Click() {
  app_.Show(app_.MaskSelect);
}

void TForm1::BatchRename1Click() {
  app_.OpenBatch(SelectedEntries(), app_.CurrentDir);
}

void TForm1::HTMLLIST1Click() {
  app_.OpenHtmlList(ListedPath());
}

void TForm1::SEARCH1Click() {
  app_.OpenSearch(app_.CurrentDir);
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
  app_.frmBookMarks->AddBookmark(ListedPath());
}

void TForm1::BuildFavouritesMenu() {
  const std::string file = app_.SettingsDir() + config::kFavAppsFileName;
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
    const std::string file = app_.SettingsDir() + config::kFavAppsFileName;
    std::vector<std::string> lines;
    if (const auto text = platform::ReadWholeFile(file)) lines = platform::SplitLines(*text);
    lines.push_back(TextToBytes(chosen));
    platform::WriteFileAtomic(file, platform::JoinLinesCrlf(lines));
    app_.Optionz->AddFavouriteApp(chosen);
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
