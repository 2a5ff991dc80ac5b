#include "app/app.h"

#include <QStringList>

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QTime>

#include "app/drive_select.h"
#include "app/main_window.h"
#include "config/lang_editor.h"
#include "config/options_window.h"
#include "console/console_lists.h"
#include "console/console_window.h"
#include "console/dispatcher.h"
#include "console/variable_rules.h"
#include "export/bookmarks_window.h"
#include "export/html_file_list.h"
#include "export/small_css.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "tools/batch_window.h"
#include "tools/copy_windows.h"
#include "tools/hex_calc.h"
#include "tools/hex_viewer.h"
#include "tools/mask_select.h"
#include "tools/search_window.h"
#include "ui/byte_text.h"
#include "ui/loading.h"
#include "ui/window_placement.h"

namespace {

// Creates one window and runs its creation step, which sees only the windows made before it.
// Every window after the main window is a tool window of it. A creation step that fails is
// reported and the start goes on with the window as it stands.
template <typename Window>
Window* Create(App& app) {
  auto* window = new Window(app);
  if (app.Form1 != nullptr) MakeToolWindowOf(window, app.Form1);
  app.Guarded([&] { window->FormCreate(); });
  return window;
}

}  // namespace

void SetApplicationTitle() {
  QCoreApplication::setApplicationName(kAppTitle);
}

App::App(Options options) : options_(std::move(options)) {
  program_dir_ = options_.program_dir.empty() ? platform::DataDirFor(platform::ProgramDir())
                                              : options_.program_dir;
  settings_dir_ = options_.settings_dir.empty() ? platform::SettingsDirFor(program_dir_)
                                                : options_.settings_dir;
  if (options_.dialogs != nullptr) {
    dialogs_ = options_.dialogs;
  } else {
    own_dialogs_ = std::make_unique<QtDialogs>();
    dialogs_ = own_dialogs_.get();
  }
}

void App::CreateWindows() {
  Form1 = Create<TForm1>(*this);
  frmConsole = Create<TfrmConsole>(*this);
  MaskSelect = Create<TMaskSelect>(*this);
  frmBatch = Create<TfrmBatch>(*this);
  frmBookMarks = Create<TfrmBookMarks>(*this);
  frmLoading = Create<TfrmLoading>(*this);
  frmHTMLFileList = Create<TfrmHTMLFileList>(*this);
  Optionz = Create<TOptionz>(*this);
  frmHexEditor = Create<TfrmHexEditor>(*this);
  frmSearch = Create<TfrmSearch>(*this);
  frmLangEdit = Create<TfrmLangEdit>(*this);
  frmConsoleComs = Create<TfrmConsoleComs>(*this);
  frmConsoleVars = Create<TfrmConsoleVars>(*this);
  frmHexCalc = Create<TfrmHexCalc>(*this);
  frmCopyFile = Create<TfrmCopyFile>(*this);
  frmMassCopy = Create<TfrmMassCopy>(*this);
  frmSmallCss = Create<TfrmSmallCss>(*this);
  frmDriveSel = Create<TfrmDriveSel>(*this);
  frmComz = Create<TfrmComz>(*this);
}

App::~App() {
  // Released in the reverse order of creation; no closing steps run here.
  QWidget* windows[] = {frmComz,      frmDriveSel,    frmSmallCss,     frmMassCopy, frmCopyFile,
                        frmHexCalc,   frmConsoleVars, frmConsoleComs,  frmLangEdit, frmSearch,
                        frmHexEditor, Optionz,        frmHTMLFileList, frmLoading,  frmBookMarks,
                        frmBatch,     MaskSelect,     frmConsole,      Form1};
  for (QWidget* w : windows) delete w;
}

QString App::Str(int n) const {
  return BytesToText(Lang.Entry(n));
}

void App::PrintLine(std::string_view line) {
  if (frmConsole != nullptr) {
    frmConsole->PrintLine(line);
  } else {
    EchoLine(line);
  }
}

void App::EchoLine(std::string_view line) {
  if (options_.echo) options_.echo(std::string(line));
}

void App::ExecuteCommandLine(const std::string& line) {
  console::ExecuteCommandLine(*this, line);
}

std::string App::ReplaceVariables(std::string_view text) {
  return console::ReplaceVariables(text, Variables());
}

console::VariableSource App::Variables() {
  console::VariableSource source;
  source.start_button = Lang.Entry(81);
  source.current_dir = CurrentDir;
  source.program_dir = program_dir_;
  source.current_file = CurrentFile;
  source.date = [] {
    return TextToBytes(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
  };
  source.time = [] {
    return TextToBytes(QLocale::system().toString(QTime::currentTime(), QLocale::LongFormat));
  };
  source.system_dir = [] { return platform::SystemDir(); };
  source.ask_input = [this] {
    return TextToBytes(dialogs().InputBox(kAppTitle, {}, {}).value_or(QString()));
  };
  source.ask_open_file = [this] { return TextToBytes(dialogs().OpenFileName({})); };
  source.ask_save_file = [this] { return TextToBytes(dialogs().SaveFileName({})); };
  source.print = [this](const std::string& line) { PrintLine(line); };
  source.read_external = [this] {
    return platform::ReadWholeFile(program_dir_ + console::kVarFileName);
  };
  return source;
}

void App::Show(QWidget* window) {
  if (batch() || window == nullptr) return;
  bool centre = false;
  // The windows that open on their own; the console and its helpers place themselves beside
  // one another.
  static const QStringList kPlacedOverMain = {
      "Optionz",      "frmHexEditor", "frmSearch",   "frmBatch",    "frmHTMLFileList",
      "frmBookMarks", "frmCopyFile",  "frmMassCopy", "frmSmallCss", "MaskSelect"};
  if (kPlacedOverMain.contains(window->objectName())) {
    const std::string name = TextToBytes(window->objectName());
    const config::TextKey key{config::keys::kWindowPlaceSection, name.c_str(), ""};
    centre = PlaceOverOwner(
        window, Form1, Settings().Read(key), [this, window](const std::string& place) {
          const std::string window_name = TextToBytes(window->objectName());
          // A window's place is a convenience: a settings file that cannot take it is no
          // reason to interrupt the user on every close.
          try {
            Settings().Write({config::keys::kWindowPlaceSection, window_name.c_str(), ""}, place);
          } catch (const std::exception&) {
          }
        });
  }
  // Windows that place themselves when shown are checked again afterwards.
  KeepOnScreen(window);
  window->show();
  if (centre) CentreOver(window, Form1);
  KeepOnScreen(window);
  window->raise();
  window->activateWindow();
}

void App::ReportError(const QString& text) {
  dialogs_->ErrorReport(text);
}

void App::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ReportError(BytesToText(e.what()));
  }
}
