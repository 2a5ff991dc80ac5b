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
