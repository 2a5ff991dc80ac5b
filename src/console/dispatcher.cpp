#include "console/dispatcher.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QTabWidget>
#include <stdexcept>

#include "app/app.h"
#include "app/main_window.h"
#include "config/options_window.h"
#include "console/command_rules.h"
#include "console/console_window.h"
#include "console/script_rules.h"
#include "console/variable_rules.h"
#include "export/html_file_list.h"
#include "platform/file_ops.h"
#include "platform/launch.h"
#include "tools/batch_window.h"
#include "tools/hex_viewer.h"
#include "tools/search_window.h"
#include "ui/byte_text.h"
#include "ui/console_view.h"

namespace console {
namespace {

std::runtime_error NotAnInteger(const std::string& raw) {
  return std::runtime_error("'" + raw + "' is not a valid integer value");
}

long long IntegerArgument(const ParsedLine& parsed) {
  const auto value = ParseIntArgument(parsed.raw_argument);
  if (!value) throw NotAnInteger(parsed.raw_argument);
  return *value;
}

// The help list reads top-down in table order, so it is printed from the last entry up.
void PrintHelpList(App& app) {
  for (int i = kCommandCount - 1; i >= 0; --i) app.PrintLine(Commands()[i].help);
}

void PrintHelpOn(App& app, const std::string& name) {
  const int index = FindCommand(name);
  if (index < 0) return;
  const std::string help = Commands()[index].help;
  if (help.empty()) {
    app.PrintLine("H> Sorry, no help on this command");
    return;
  }
  app.PrintLine("");
  app.PrintLine("H> " + help);
  app.PrintLine("");
}

void ScanDir(App& app, const std::string& dir) {
  app.PrintLine("Scanning \"" + dir + "\"");
  if (platform::DirectoryExists(dir)) {
    app.Form1->SearchLine->setText(BytesToText(dir));
    app.PrintLine("> OK");
  } else {
    app.PrintLine("> Directory \"" + dir + "\" does not exust");
  }
  app.Form1->ScanDirectory1Click();
}

void ShellGo(App& app, const std::string& target) {
  app.PrintLine("Windows\u2122 Command Line: " + target);
  switch (platform::ShellOpen(target)) {
    case 0:
      app.PrintLine("> Error: The operating system is out of memory or resources!");
      break;
    case platform::kStartNotFound:
      app.PrintLine("> Error: File not found!");
      break;
    case platform::kStartPathNotFound:
      app.PrintLine("> Error: Path not found!");
      break;
    case platform::kStartBadFormat:
      app.PrintLine("Error: Bad format");
      break;
    default:
      app.PrintLine("> OK");
      break;
  }
}

void StartProgram(App& app, const std::string& command_line) {
  switch (platform::StartCommandLine(command_line)) {
    case 0:
      app.PrintLine("> Error: Out of memory resources");
      break;
    case platform::kStartNotFound:
      app.PrintLine("> Error: File not found!");
      break;
    case platform::kStartPathNotFound:
      app.PrintLine("> Error: Path not found");
      break;
    case platform::kStartBadFormat:
      app.PrintLine("> Error: Bad format(Possible non Win32 Application)");
      break;
    default:
      break;
  }
}

void ViewVars(App& app) {
  // The bare name resolves against the working directory, which the directory tree moves.
  const auto text = platform::ReadWholeFile(kVarFileName);
  if (!text) throw std::runtime_error(std::string("Cannot open file \"") + kVarFileName + "\"");
  for (const std::string& line : platform::SplitLines(*text)) app.PrintLine(line);
  app.PrintLine("External constants: ");
}

void SetMask(App& app, const std::string& mask) {
  app.FileMask = mask;
  app.Form1->Mask1->setText(app.Str(23) + " " + BytesToText(mask));
  app.Form1->ScanDirectory1Click();
  app.PrintLine("> Mask: " + mask);
}

void StartNumbering(App& app, const std::string& scheme) {
  const auto& entries = app.Form1->Entries();
  QStringList selected;  // added in one go: a long selection is one change to the list
  for (int row : app.Form1->SelectedRows()) {
    selected << BytesToText(entries[static_cast<std::size_t>(row)]);
  }
  app.frmBatch->filelest->addItems(selected);
  app.frmBatch->masktoren->setText(BytesToText(scheme));
  app.frmBatch->butbtngoClick();
}

void CopyListed(App& app, const std::string& target) {
  // Every listed file, selected or not; an existing target is never replaced.
  const std::vector<std::string> entries = app.Form1->Entries();
  for (const std::string& entry : entries) {
    if (platform::CopyFileNoReplace(app.CurrentDir + entry, target + entry)) {
      app.PrintLine("> Copyed...");
    }
  }
}

void RenameCurrent(App& app, const std::string& new_name) {
  const std::string old_path = app.ReplaceVariables("$THIS");
  const std::string new_path = app.ReplaceVariables("$DIR") + new_name;
  app.PrintLine(platform::MoveFileNoReplace(old_path, new_path)
                    ? "> File renamed!"
                    : "> File can not be renamed for some reson");
}

void ShowRenamingPage(App& app, const ParsedLine& parsed) {
  app.Show(app.frmBatch);
  const long long page = IntegerArgument(parsed);
  if (page < 0 || page >= app.frmBatch->Pages->count()) {
    throw std::runtime_error("List index out of bounds (" + std::to_string(page) + ")");
  }
  app.frmBatch->Pages->setCurrentIndex(static_cast<int>(page));
}

void SetConsoleGeometry(App& app, int id, const ParsedLine& parsed) {
  const int value = static_cast<int>(IntegerArgument(parsed));
  TfrmConsole* console = app.frmConsole;
  switch (id) {
    case kCnSetX:
      console->move(value, console->y());
      break;
    case kCnSetY:
      console->move(console->x(), value);
      break;
    case kCnSetWt:
      console->resize(value, console->height());
      break;
    default:
      console->resize(console->width(), value);
      break;
  }
}

void RunCommand(App& app, int id, const ParsedLine& parsed) {
  // Each command reads its argument at most once, and only when it takes one.
  const auto text = [&] { return app.ReplaceVariables(parsed.raw_argument); };
  const auto flag = [&] { return ParseBoolArgument(parsed.raw_argument); };
  TForm1* main = app.Form1;
  TfrmConsole* console = app.frmConsole;
  switch (id) {
    case kHelp: {
      const std::string arg = UpperAscii(text());
      if (arg.empty() || arg == "RUS" || arg == "ENG") PrintHelpList(app);
      break;
    }
    case kHelpOn:
      PrintHelpOn(app, text());
      break;
    case kBwQuit:
      app.PrintLine("Bye-bye!");
      app.Optionz->onexit->setChecked(flag());
      main->close();
      break;
    case kBwScanDir:
      ScanDir(app, text());
      break;
    case kCnClear:
      console->ClearConsoleText();
      break;
    case kBwSelAll:
      main->SELECTALL1Click();
      app.PrintLine("> OK");
      break;
    case kBwBookmarks: {
      const bool show = flag();
      app.PrintLine("Toggle Bookmarks");
      main->bookmarkz->setVisible(show);
      app.PrintLine("> OK");
      break;
    }
    case kBwDirTree: {
      const bool show = flag();
      app.PrintLine("Toggle Directory tree");
      main->DirTree->setVisible(show);
      app.PrintLine("> OK");
      break;
    }
    case kBwViewHex: {
      const std::string file = text();
      app.PrintLine("Starting HEX engine...");
      app.Show(app.frmHexEditor);
      app.frmHexEditor->LoadHexDump(file);
      break;
    }
    case kGo:
      ShellGo(app, text());
      break;
    case kSwOptions:
      app.Show(app.Optionz);
      break;
    case kSwRenaming:
      ShowRenamingPage(app, parsed);
      break;
    case kSwHtmlfl:
      app.Show(app.frmHTMLFileList);
      break;
    case kSwSearch:
      app.Show(app.frmSearch);
      break;
    case kCnPrint:
      app.PrintLine(text());
      break;
    case kViewVars:
      ViewVars(app);
      break;
    case kMsgBox1:
      app.dialogs().MessageBox(BytesToText(text()), app.Str(1), MsgIcon::kError, MsgButtons::kOk);
      break;
    case kMsgBox2:
      app.dialogs().MessageBox(BytesToText(text()), app.Str(2), MsgIcon::kQuestion,
                               MsgButtons::kOk);
      break;
    case kMsgBox3:
      app.dialogs().MessageBox(BytesToText(text()), "Message", MsgIcon::kNone, MsgButtons::kOk);
      break;
    case kBwMask:
      SetMask(app, text());
      break;
    case kCnShow:
      app.Show(console);
      break;
    case kCnClose:
      console->hide();
      break;
    case kCnSaveData:
      console->SaveConsoleText(text());
      break;
    case kScript: {
      const std::string file = text();
      app.PrintLine("> Script file: " + file);
      RunScriptFile(app, file);
      break;
    }
    case kCnReadTxtfile:
      console->AppendTextFile(text());
      break;
    case kCnListing:
      console->ListFiles(text());
      break;
    case kCnFont: {
      const std::string face = text();
      app.PrintLine("> \"" + TextToBytes(console->textConsole->FontFace()) + "\" -> \"" + face +
                    "\"");
      console->textConsole->SetFontFace(BytesToText(face));
      break;
    }
    case kSetVar:
      break;  // accepted, as the command list promises, but it changes nothing
    case kWinExec:
      StartProgram(app, text());
      break;
    case kBtStart:
      StartNumbering(app, text());
      break;
    case kBwDelSel:
      main->DeleteAll1Click();
      break;
    case kBwDelThis:
      main->Delete1Click();
      break;
    case kBwCopy:
      CopyListed(app, text());
      break;
    case kBwRename:
      RenameCurrent(app, text());
      break;
    case kCnTitle: {
      const std::string title = text();
      console->setWindowTitle(title.empty() ? app.Str(84)
                                            : BytesToText(title) + " - " + app.Str(84));
      break;
    }
    case kCnReadOnly:
      console->textConsole->SetReadOnly(flag());
      break;
    default:
      SetConsoleGeometry(app, id, parsed);
      break;
  }
}

}  // namespace

void ExecuteCommandLine(App& app, const std::string& line) {
  const ParsedLine parsed = ParseCommandLine(line);
  switch (parsed.kind) {
    case ParsedLine::Kind::kScriptHeader:
      app.PrintLine("> BW Script started...");
      return;
    case ParsedLine::Kind::kScriptEnd:
      app.PrintLine("> End of BW Script.");
      return;
    case ParsedLine::Kind::kComment:
      return;
    case ParsedLine::Kind::kMissingParen:
      app.PrintLine("> Error: Command must ends on \"()\"");
      return;
    case ParsedLine::Kind::kCommand:
      break;
  }
  app.frmConsole->LastCommand = parsed.name;
  const int id = FindCommand(parsed.name);
  // An unknown name is ignored without a word.
  if (id >= 0) RunCommand(app, id, parsed);
}

void RunScriptFile(App& app, const std::string& file_name) {
  ScriptHooks hooks;
  hooks.execute = [&app](const std::string& line) { ExecuteCommandLine(app, line); };
  hooks.print = [&app](const std::string& line) { app.PrintLine(line); };
  console::RunScriptFile(file_name, hooks, app.script_depth);
}

}  // namespace console
