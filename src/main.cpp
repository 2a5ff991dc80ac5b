// Brackwell: a small file manager with a command console.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "app/main_window.h"
#include "app/splash.h"
#include "console/command_rules.h"
#include "console/dispatcher.h"
#include "platform/paths.h"
#include "ui/byte_text.h"

namespace {

struct CommandLine {
  bool show_splash = true;
  bool batch = false;
  std::string script;
  bool script_missing = false;
};

CommandLine ReadCommandLine(int argc, char** argv) {
  CommandLine cl;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = console::UpperAscii(argv[i]);
    if (arg == "-NOLOGO") {
      cl.show_splash = false;
    } else if (arg == "-BATCH") {
      cl.batch = true;
      if (i + 1 < argc) {
        cl.script = argv[++i];
      } else {
        cl.script_missing = true;
      }
    }
  }
  return cl;
}

bool HaveDisplay() {
  return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
         std::getenv("QT_QPA_PLATFORM") != nullptr;
}

// In batch mode standard error carries the run's own questions and failures; the toolkit's
// notes about its environment would only bury them.
void QuietToolkitNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
}

// The program's arguments with the toolkit's "minimal" platform added. A batch run never shows
// a window, so it needs no display and no fonts: the minimal platform loads none, which is a
// third of the start-up. Named on the command line rather than in the environment, so that the
// programs a script starts still get the user's platform.
std::vector<char*> BatchToolkitArgs(int argc, char** argv) {
  static char platform_flag[] = "-platform";
  static char platform_name[] = "minimal";
  std::vector<char*> args(argv, argv + argc);
  args.insert(args.begin() + std::min(argc, 1), {platform_flag, platform_name});
  args.push_back(nullptr);
  return args;
}

// Runs a script with no window shown; every console line goes to standard output.
int RunBatch(int argc, char** argv, const CommandLine& cl) {
  qInstallMessageHandler(QuietToolkitNotes);
  std::vector<char*> args = BatchToolkitArgs(argc, argv);
  int args_count = static_cast<int>(args.size()) - 1;
  QApplication qt(args_count, args.data());
  QApplication::setApplicationName(kAppTitle);
  BatchDialogs dialogs;
  App::Options options;
  options.batch = true;
  options.show_splash = false;
  options.dialogs = &dialogs;
  options.echo = [](const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  };
  if (cl.script_missing) {
    dialogs.ErrorReport("-BATCH needs a script file name");
    return 1;
  }
  // The directory tree moves the working directory at start, so a relative script name is
  // fixed against the directory the program was started in first. When that directory cannot
  // be read back, the name would later find another file of that name: it is refused.
  const std::optional<std::string> script = platform::AbsoluteFromWorkingDir(cl.script);
  if (!script) {
    dialogs.ErrorReport(BytesToText(
        "Cannot run \"" + cl.script +
        "\": the directory it was named from cannot be read; give the script's full path"));
    return 1;
  }
  App app(options);
  app.CreateWindows();
  if (dialogs.failed()) return 1;
  app.Guarded([&] { console::RunScriptFile(app, *script); });
  return dialogs.failed() ? 1 : 0;
}

int RunWindows(int argc, char** argv, const CommandLine& cl) {
  QApplication qt(argc, argv);
  SetApplicationTitle();
  TfrmSplsh* splash = nullptr;
  if (cl.show_splash) {
    splash = new TfrmSplsh();
    splash->show();
    splash->repaint();
    QApplication::processEvents();
  }
  App::Options options;
  options.show_splash = cl.show_splash;
  App app(options);
  app.CreateWindows();
  // The splash stays for the creation time plus the configured wait. A wait past a minute is
  // taken for a typing slip rather than left to freeze the start.
  constexpr long long kLongestWaitMs = 60'000;
  const long long wait_ms = std::min(app.Settings().Read(config::keys::kLogowaid), kLongestWaitMs);
  if (wait_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(wait_ms));
  if (splash != nullptr) splash->close();
  app.Form1->showMaximized();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  const CommandLine cl = ReadCommandLine(argc, argv);
  if (cl.batch) return RunBatch(argc, argv, cl);
  if (!HaveDisplay()) {
    std::fprintf(stderr,
                 "brackwell: no display is available (DISPLAY and WAYLAND_DISPLAY are unset).\n"
                 "Start it on a desktop, or run a script without windows: brackwell -BATCH "
                 "script.bws\n");
    return 1;
  }
  return RunWindows(argc, argv, cl);
}
