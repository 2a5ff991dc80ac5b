#include "console/dispatcher.h"

#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QScreen>
#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

#include "app/app.h"
#include "app/listing_rules.h"
#include "app/main_window_api.h"
#include "app/undo_command.h"
#include "config/options_window.h"
#include "console/command_rules.h"
#include "console/console_window.h"
#include "console/geometry_rules.h"
#include "console/script_rules.h"
#include "console/variable_rules.h"
#include "export/html_file_list.h"
#include "platform/file_ops.h"
#include "platform/launch.h"
#include "platform/text_file.h"
#include "tools/batch_window.h"
#include "tools/search_window.h"
#include "ui/byte_text.h"

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
    app.PrintLine("> OK");
    app.Main().ShowDirectory(dir);
  } else {
    app.PrintLine("> Directory \"" + dir + "\" does not exust");
    app.Main().ScanDirectory1Click();
  }
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
  // The program directory's file, the one substitution reads; the working directory follows
  // the directory tree and would show whatever file of that name lies there.
  const std::string path = app.ProgramDir() + kVarFileName;
  const auto text = platform::ReadWholeFile(path);
  if (!text) throw std::runtime_error(std::string("Cannot open file \"") + path + "\"");
  for (const std::string& line : platform::SplitLines(*text)) app.PrintLine(line);
  app.PrintLine("External constants: ");
}

void SetMask(App& app, const std::string& mask) {
  // The list shows bare names below the listed directory; a mask reaching into another one
  // would list names that every action then takes for files of the listed directory.
  if (app::MaskHoldsDelimiter(mask)) {
    const std::string error = app::MaskDelimiterError(mask);
    app.PrintLine(error);
    // The lines of a script after it expect the mask to hold: they would act on everything.
    if (app.script_runs.depth > 0)
      throw std::runtime_error(error.substr(std::string("> Error: ").size()));
    return;
  }
  app.Main().SetMask(mask);
  app.PrintLine("> Mask: " + mask);
}

void StartNumbering(App& app, const std::string& scheme) {
  app.frmBatch->Number(app.Main().SelectedEntries(), app.CurrentDir, scheme);
}

void CopyListed(App& app, const std::string& target) {
  // Every listed file, selected or not; an existing target is never replaced.
  const std::vector<std::string> entries = app.Main().Entries();
  std::vector<tools::TransferRecord::Pair> pairs;
  for (const std::string& entry : entries)
    pairs.push_back({app.CurrentDir + entry, target + entry});
  const tools::TransferRecord record = RecordTransfer(app, tools::UndoKind::kCopy, pairs);
  for (const std::string& entry : entries) {
    // A named pipe or a device has no contents to copy; reading a pipe would wait for ever.
    if (!platform::IsFileDirOrLink(app.CurrentDir + entry)) {
      app.PrintLine("> Warning: Skipped \"" + entry + "\": not a file, directory or link");
      continue;
    }
    const std::string source = app.CurrentDir + entry;
    const std::string copy = target + entry;
    if (platform::CopyFileNoReplace(source, copy)) {
      app.PrintLine("> Copyed...");
    } else if (!platform::DirectoryExists(source) && !platform::IsFileDirOrLink(copy)) {
      // Directories and existing targets are passed over quietly; any other failure (a full
      // disk, a refused or vanished file) is told, and no partial copy is left behind.
      app.PrintLine("> Error: Can't copy \"" + source + "\" to \"" + copy + "\"");
    }
  }
}

void RenameCurrent(App& app, const std::string& new_name) {
  const std::string old_path = app.ReplaceVariables("$THIS");
  const std::string new_path = app.ReplaceVariables("$DIR") + new_name;
  app.PrintLine(MoveWithUndo(app, old_path, new_path) ? "> File renamed!"
                                                      : "> File can not be renamed for some reson");
}

void ShowRenamingPage(App& app, const ParsedLine& parsed) {
  app.Show(app.frmBatch);
  const long long page = IntegerArgument(parsed);
  if (!app.frmBatch->ShowPage(page)) {
    throw std::runtime_error("List index out of bounds (" + std::to_string(page) + ")");
  }
}

void SetConsoleGeometry(App& app, int id, const ParsedLine& parsed) {
  // The window system takes whole numbers of the int range; anything larger is no number here.
  const long long value = IntegerArgument(parsed);
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
    throw NotAnInteger(parsed.raw_argument);
  }
  TfrmConsole* console = app.frmConsole;
  Box box{console->x(), console->y(), console->width(), console->height()};
  switch (id) {
    case kCnSetX:
      box.x = value;
      break;
    case kCnSetY:
      box.y = value;
      break;
    case kCnSetWt:
      box.width = value;
      break;
    default:
      box.height = value;
      break;
  }
  // A size beyond the screens would only take memory and time; a position off them, the window.
  const QRect screens = console->screen()->virtualGeometry();
  const QSize least = console->minimumSizeHint().expandedTo(console->minimumSize());
  box = KeepOnScreens(box, {screens.x(), screens.y(), screens.width(), screens.height()},
                      least.width(), least.height());
  console->move(static_cast<int>(box.x), static_cast<int>(box.y));
  console->resize(static_cast<int>(box.width), static_cast<int>(box.height));
}

// Each command reads its argument at most once, and only when it takes one.
std::string Text(App& app, const ParsedLine& parsed) {
  return app.ReplaceVariables(parsed.raw_argument);
}

bool Flag(const ParsedLine& parsed) {
  return ParseBoolArgument(parsed.raw_argument);
}

void Help(App& app, const ParsedLine& parsed) {
  const std::string arg = UpperAscii(Text(app, parsed));
  if (arg.empty() || arg == "RUS" || arg == "ENG") PrintHelpList(app);
}

void Quit(App& app, const ParsedLine& parsed) {
  app.PrintLine("Bye-bye!");
  app.Optionz->SetAskOnExit(Flag(parsed));
  app.Main().CloseWindow();
}

void ToggleBookmarks(App& app, const ParsedLine& parsed) {
  const bool show = Flag(parsed);
  app.PrintLine("Toggle Bookmarks");
  app.Main().ShowPanel(MainWindowApi::Panel::kBookmarks, show);
  app.PrintLine("> OK");
}

void ToggleDirTree(App& app, const ParsedLine& parsed) {
  const bool show = Flag(parsed);
  app.PrintLine("Toggle Directory tree");
  app.Main().ShowPanel(MainWindowApi::Panel::kDirTree, show);
  app.PrintLine("> OK");
}

void ViewHex(App& app, const ParsedLine& parsed) {
  const std::string file = Text(app, parsed);
  app.PrintLine("Starting HEX engine...");
  app.ViewAsHex(file, false);
}

void RunScript(App& app, const ParsedLine& parsed) {
  const std::string file = Text(app, parsed);
  app.PrintLine("> Script file: " + file);
  RunScriptFile(app, file);
}

void ChangeFont(App& app, const ParsedLine& parsed) {
  const std::string face = Text(app, parsed);
  app.PrintLine("> \"" + app.Console().FontFace() + "\" -> \"" + face + "\"");
  app.Console().SetFontFace(face);
}

void SetTitle(App& app, const ParsedLine& parsed) {
  app.Console().SetTitle(Text(app, parsed));
}

void ShowMessage(App& app, const ParsedLine& parsed, const QString& caption, MsgIcon icon) {
  app.dialogs().MessageBox(BytesToText(Text(app, parsed)), caption, icon, MsgButtons::kOk);
}

using Action = void (*)(App& app, const ParsedLine& parsed);

// One action per command, each beside the command it belongs to.
struct CommandAction {
  CommandId id;
  Action action;
};
constexpr std::array<CommandAction, kCommandCount> kActions = {{
    {kHelp, Help},
    {kHelpOn, [](App& app, const ParsedLine& p) { PrintHelpOn(app, Text(app, p)); }},
    {kBwQuit, Quit},
    {kBwScanDir, [](App& app, const ParsedLine& p) { ScanDir(app, Text(app, p)); }},
    {kCnClear, [](App& app, const ParsedLine&) { app.Console().ClearConsoleText(); }},
    {kBwSelAll,
     [](App& app, const ParsedLine&) {
       app.Main().SELECTALL1Click();
       app.PrintLine("> OK");
     }},
    {kBwBookmarks, ToggleBookmarks},
    {kBwDirTree, ToggleDirTree},
    {kBwViewHex, ViewHex},
    {kGo, [](App& app, const ParsedLine& p) { ShellGo(app, Text(app, p)); }},
    {kSwOptions, [](App& app, const ParsedLine&) { app.Show(app.Optionz); }},
    {kSwRenaming, ShowRenamingPage},
    {kSwHtmlfl, [](App& app, const ParsedLine&) { app.Show(app.frmHTMLFileList); }},
    {kSwSearch, [](App& app, const ParsedLine&) { app.Show(app.frmSearch); }},
    {kCnPrint, [](App& app, const ParsedLine& p) { app.PrintLine(Text(app, p)); }},
    {kViewVars, [](App& app, const ParsedLine&) { ViewVars(app); }},
    {kMsgBox1,
     [](App& app, const ParsedLine& p) { ShowMessage(app, p, app.Str(1), MsgIcon::kError); }},
    {kMsgBox2,
     [](App& app, const ParsedLine& p) { ShowMessage(app, p, app.Str(2), MsgIcon::kQuestion); }},
    {kMsgBox3,
     [](App& app, const ParsedLine& p) { ShowMessage(app, p, "Message", MsgIcon::kNone); }},
    {kBwMask, [](App& app, const ParsedLine& p) { SetMask(app, Text(app, p)); }},
    {kCnShow, [](App& app, const ParsedLine&) { app.Show(app.frmConsole); }},
    {kCnClose, [](App& app, const ParsedLine&) { app.Console().HideWindow(); }},
    {kCnSaveData,
     [](App& app, const ParsedLine& p) { app.Console().SaveConsoleText(Text(app, p)); }},
    {kScript, RunScript},
    {kCnReadTxtfile,
     [](App& app, const ParsedLine& p) { app.Console().AppendTextFile(Text(app, p)); }},
    {kCnListing, [](App& app, const ParsedLine& p) { app.Console().ListFiles(Text(app, p)); }},
    {kCnFont, ChangeFont},
    // SetVar: accepted, as the command list promises, but it changes nothing
    {kSetVar, [](App&, const ParsedLine&) {}},
    {kWinExec, [](App& app, const ParsedLine& p) { StartProgram(app, Text(app, p)); }},
    {kBtStart, [](App& app, const ParsedLine& p) { StartNumbering(app, Text(app, p)); }},
    {kBwDelSel, [](App& app, const ParsedLine&) { app.Main().DeleteAll1Click(); }},
    {kBwDelThis, [](App& app, const ParsedLine&) { app.Main().Delete1Click(); }},
    {kBwCopy, [](App& app, const ParsedLine& p) { CopyListed(app, Text(app, p)); }},
    {kBwRename, [](App& app, const ParsedLine& p) { RenameCurrent(app, Text(app, p)); }},
    {kCnTitle, SetTitle},
    {kCnReadOnly, [](App& app, const ParsedLine& p) { app.Console().SetReadOnly(Flag(p)); }},
    {kCnSetX, [](App& app, const ParsedLine& p) { SetConsoleGeometry(app, kCnSetX, p); }},
    {kCnSetY, [](App& app, const ParsedLine& p) { SetConsoleGeometry(app, kCnSetY, p); }},
    {kCnSetWt, [](App& app, const ParsedLine& p) { SetConsoleGeometry(app, kCnSetWt, p); }},
    {kCnSetHt, [](App& app, const ParsedLine& p) { SetConsoleGeometry(app, kCnSetHt, p); }},
}};

// Each action sits at its command's index, so two swapped entries do not compile, and a command
// left out would leave a hole at the end.
constexpr bool EachActionAtItsCommand() {
  for (int i = 0; i < kCommandCount; ++i) {
    if (kActions[i].id != i || kActions[i].action == nullptr) return false;
  }
  return true;
}
static_assert(EachActionAtItsCommand());

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
  app.Console().RememberCommand(parsed.name);
  const int id = FindCommand(parsed.name);
  // An unknown name is ignored without a word.
  if (id >= 0) kActions[static_cast<std::size_t>(id)].action(app, parsed);
}

void RunScriptFile(App& app, const std::string& file_name) {
  ScriptHooks hooks;
  hooks.execute = [&app](const std::string& line) { ExecuteCommandLine(app, line); };
  hooks.print = [&app](const std::string& line) { app.PrintLine(line); };
  console::RunScriptFile(file_name, hooks, app.script_runs);
}

}  // namespace console
