#pragma once

// The window set and the state the windows share. Every window gets App& and reaches the others
// through it.

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/language_rules.h"
#include "config/option_choices.h"
#include "config/settings_rules.h"
#include "console/script_rules.h"
#include "ui/dialogs.h"

class TForm1;
class TfrmConsole;
class TMaskSelect;
class TfrmBatch;
class TfrmBookMarks;
class TfrmLoading;
class TfrmHTMLFileList;
class TOptionz;
class TfrmHexEditor;
class TfrmSearch;
class TfrmLangEdit;
class TfrmConsoleComs;
class TfrmConsoleVars;
class TfrmHexCalc;
class TfrmCopyFile;
class TfrmMassCopy;
class TfrmSmallCss;
class TfrmDriveSel;
class TfrmComz;
class TfrmSplsh;
class QWidget;
class MainWindowApi;
class ConsoleApi;
namespace console {
struct VariableSource;
}

// The application title, shown by the task bar and used as the input box caption.
inline constexpr const char* kAppTitle = "Brackwell v0.1.1 (Little Steps)";

// Gives the application its title. Window titles stay exactly their captions: the toolkit
// would append a display name to each of them, so none is set.
void SetApplicationTitle();

class App {
 public:
  struct Options {
    std::string program_dir;     // with the delimiter; empty: the executable's directory
    std::string settings_dir;    // with the delimiter; empty: chosen from the program directory
    bool show_splash = true;     // "-NOLOGO" clears it
    bool batch = false;          // no window is ever shown
    Dialogs* dialogs = nullptr;  // not owned; empty: real dialogs
    // Receives every console line at the moment it is printed (batch mode writes it out).
    std::function<void(const std::string&)> echo;
  };

  explicit App(Options options);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Creates the nineteen windows once, in their fixed order; each runs its creation step.
  void CreateWindows();

  // The windows, in creation order.
  TForm1* Form1 = nullptr;
  TfrmConsole* frmConsole = nullptr;
  TMaskSelect* MaskSelect = nullptr;
  TfrmBatch* frmBatch = nullptr;
  TfrmBookMarks* frmBookMarks = nullptr;
  TfrmLoading* frmLoading = nullptr;
  TfrmHTMLFileList* frmHTMLFileList = nullptr;
  TOptionz* Optionz = nullptr;
  TfrmHexEditor* frmHexEditor = nullptr;
  TfrmSearch* frmSearch = nullptr;
  TfrmLangEdit* frmLangEdit = nullptr;
  TfrmConsoleComs* frmConsoleComs = nullptr;
  TfrmConsoleVars* frmConsoleVars = nullptr;
  TfrmHexCalc* frmHexCalc = nullptr;
  TfrmCopyFile* frmCopyFile = nullptr;
  TfrmMassCopy* frmMassCopy = nullptr;
  TfrmSmallCss* frmSmallCss = nullptr;
  TfrmDriveSel* frmDriveSel = nullptr;
  TfrmComz* frmComz = nullptr;

  // Shared state of the main window; names and paths are bytes.
  std::string CurrentDir;   // the listed directory, normally ending in the delimiter; $DIR
  std::string CurrentFile;  // CurrentDir followed by the entry last clicked; $THIS
  std::string FileMask = "*.*";
  std::optional<std::vector<std::string>> SearchResults;
  config::LanguageTable Lang;

  // Entry n of the language table as window text.
  QString Str(int n) const;
  // The program directory, ending in the delimiter; every data file lies in it.
  const std::string& ProgramDir() const { return program_dir_; }
  // Where the settings and the user's list files are kept, ending in the delimiter: the program
  // directory when it is writable, otherwise the per-user settings directory.
  const std::string& SettingsDir() const { return settings_dir_; }
  std::string ConfigPath() const { return settings_dir_ + config::kConfigFileName; }
  config::Settings Settings() const { return config::Settings(ConfigPath()); }
  Dialogs& dialogs() { return *dialogs_; }
  bool batch() const { return options_.batch; }
  bool show_splash() const { return options_.show_splash; }

  // Puts a line on top of the console text (and echoes it in batch mode).
  void PrintLine(std::string_view line);
  // Echoes a line added at the bottom of the console text (batch mode).
  void EchoLine(std::string_view line);
  // Runs one console command line.
  void ExecuteCommandLine(const std::string& line);
  // Expands the $-variables of a text.
  std::string ReplaceVariables(std::string_view text);
  // What ReplaceVariables takes the values from, for callers that expand many texts at once.
  console::VariableSource Variables();

  // Shows a window without blocking; in batch mode no window is ever shown.
  void Show(QWidget* window);

  // The main window and the console as the other windows see them (main_window_api.h,
  // console_api.h); both exist once CreateWindows has made them.
  MainWindowApi& Main();
  ConsoleApi& Console();
  // The main window as a window, for Show and for placing others over it.
  QWidget* MainWidget() const;
  // What the options window's confirmations and colours say now.
  config::OptionChoices Choices() const;
  // Runs the creation steps of the windows again, in their fixed order, so that a new language,
  // font or colour shows at once.
  void RerunCreationSteps();

  // Windows opened on something: each is shown and handed what it works on.
  // The hex viewer on a file, if one is given. Opened `afresh` it shows no dump until that file
  // is loaded; otherwise the dump it shows stays unless the file can be loaded.
  void ViewAsHex(const std::optional<std::string>& file, bool afresh);
  // The renaming window on entries of the main list, taken from `listed_dir`; earlier ones go.
  void OpenBatch(const std::vector<std::string>& entries, const std::string& listed_dir);
  // The HTML file list on a directory.
  void OpenHtmlList(const std::string& dir);
  // The search window, searching in `dir`.
  void OpenSearch(const std::string& dir);
  // The copy window for many files, with names of the listed directory added to its list.
  void OpenMassCopy(const std::vector<std::string>& names);
  // The calculator, with a hexadecimal number to convert when one is given.
  void OpenHexCalc(const std::optional<std::string>& hex_number);

  // Shows the error report for a failure no handler caught.
  void ReportError(const QString& text);
  // Runs an event handler; a failure it throws goes to the error report, never further.
  void Guarded(const std::function<void()>& handler);

  // The script runs in progress (scripts may run scripts) and those started since the first.
  console::ScriptRuns script_runs;

 private:
  Options options_;
  std::string program_dir_;
  std::string settings_dir_;
  std::unique_ptr<Dialogs> own_dialogs_;
  Dialogs* dialogs_ = nullptr;
};
