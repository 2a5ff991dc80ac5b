// How the windows stand: secondary windows above the main window and on the screen, titles
// exactly their captions, the console's command line holding the keys, the main window
// dressing itself from one reading of each file.

#include <sys/inotify.h>
#include <unistd.h>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QWindow>
#include <map>
#include <string>

#include "app/drive_select.h"
#include "app/main_window.h"
#include "config/lang_editor.h"
#include "config/options_window.h"
#include "console/console_lists.h"
#include "console/console_window.h"
#include "export/bookmarks_window.h"
#include "export/html_file_list.h"
#include "export/small_css.h"
#include "support/window_fixture.h"
#include "tools/batch_window.h"
#include "tools/copy_windows.h"
#include "tools/hex_calc.h"
#include "tools/hex_viewer.h"
#include "tools/mask_select.h"
#include "tools/search_window.h"
#include "ui/byte_text.h"
#include "ui/console_view.h"
#include "ui/loading.h"
#include "ui/window_placement.h"

namespace {

class WindowStackingTest : public WindowTest {
 protected:
  void SetUp() override {
    UseTestLanguage();
    dir.CreateFile("defvars.txt");
    CreateApp();
  }
  TfrmConsole& Console() { return *app->frmConsole; }
  // The window with the keys and its control with the focus.
  QWidget* KeyWindow() { return QApplication::activeWindow(); }
  QWidget* KeyControl() { return QApplication::focusWidget(); }
  // Lets the shown windows take their places and the focus settle.
  void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }
  void OpenConsole() {
    app->Form1->show();
    Settle();
    app->Form1->mnuConsoleClick();
    Settle();
  }
  void PressOn(QWidget* control, Qt::Key key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(control, &event);
    Settle();
  }
};

TEST_F(WindowStackingTest, EverySecondaryWindowIsAToolWindowOfTheMainWindow) {
  app->Form1->show();
  QWidget* const windows[] = {app->frmConsole,   app->MaskSelect,     app->frmBatch,
                              app->frmBookMarks, app->frmLoading,     app->frmHTMLFileList,
                              app->Optionz,      app->frmHexEditor,   app->frmSearch,
                              app->frmLangEdit,  app->frmConsoleComs, app->frmConsoleVars,
                              app->frmHexCalc,   app->frmCopyFile,    app->frmMassCopy,
                              app->frmSmallCss,  app->frmDriveSel,    app->frmComz};
  for (QWidget* window : windows) {
    SCOPED_TRACE(window->objectName().toStdString());
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->parentWidget(), app->Form1);
    const Qt::WindowType type = window->windowType();
    EXPECT_TRUE(type == Qt::Tool || type == Qt::Dialog) << type;
    app->Show(window);
    // The window system keeps it above the main window.
    ASSERT_NE(window->windowHandle(), nullptr);
    EXPECT_EQ(window->windowHandle()->transientParent(), app->Form1->windowHandle());
    window->close();
  }
}

TEST_F(WindowStackingTest, AWindowNeverOpensOffTheScreen) {
  const QRect screen = app->Form1->screen()->availableGeometry();
  Console().move(screen.right() + 500, screen.bottom() + 500);
  app->Show(&Console());
  EXPECT_TRUE(screen.contains(Console().frameGeometry())) << Console().frameGeometry().x();
  Console().close();
  Console().setGeometry(-3000, -3000, screen.width() * 2, screen.height() * 2);
  app->Show(&Console());
  EXPECT_TRUE(screen.contains(Console().frameGeometry()));
  // A window that fits stays where it was put.
  Console().close();
  Console().setGeometry(screen.left() + 10, screen.top() + 40, 200, 150);
  const QRect placed = Console().frameGeometry();
  app->Show(&Console());
  EXPECT_EQ(Console().frameGeometry(), placed);
}

TEST_F(WindowStackingTest, WindowsOpenCentredOverTheMainWindowAndWhereTheUserLeftThem) {
  // Well inside the screen, so that keeping a window on screen does not move it.
  const QRect screen = app->Form1->screen()->availableGeometry();
  app->Form1->setGeometry(QRect(screen.center() - QPoint(300, 220), QSize(600, 440)));
  app->Form1->show();
  Settle();
  const QPoint centre = app->Form1->frameGeometry().center();
  QWidget* const windows[] = {app->Optionz,     app->frmHexEditor,    app->frmSearch,
                              app->frmBatch,    app->frmHTMLFileList, app->frmBookMarks,
                              app->frmCopyFile, app->frmMassCopy};
  for (QWidget* window : windows) {
    SCOPED_TRACE(window->objectName().toStdString());
    app->Show(window);
    Settle();
    const QPoint off = window->geometry().center() - centre;
    EXPECT_LE(off.manhattanLength(), 60) << off.x() << "," << off.y();
    // Moved by the user and closed, it comes back there on the next start.
    window->move(window->pos() + QPoint(-37, 23));
    const QPoint left_at = window->pos();
    window->close();
    EXPECT_EQ(app->Settings().Read({"windows", TextToBytes(window->objectName()).c_str(), ""}),
              std::to_string(left_at.x()) + "," + std::to_string(left_at.y()));
  }
  app.reset();
  CreateApp();
  app->Form1->show();
  app->Show(app->Optionz);
  Settle();
  EXPECT_EQ(app->Optionz->pos(), ParsePlace(app->Settings().Read({"windows", "Optionz", ""})));
}

TEST_F(WindowStackingTest, TitlesAreExactlyTheCaptions) {
  const QString saved = QCoreApplication::applicationName();
  SetApplicationTitle();
  EXPECT_EQ(QCoreApplication::applicationName(), kAppTitle);
  // No display name is fixed: the toolkit would append one to every window title. The shown
  // name follows the application name only while none is fixed.
  QCoreApplication::setApplicationName("probe");
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
  QCoreApplication::setApplicationName(saved);
  app->Form1->show();
  app->Show(&Console());
  EXPECT_EQ(app->Form1->windowHandle()->title(), "Brackwell v0.1.1.25 (Little Steps)");
  EXPECT_EQ(Console().windowHandle()->title(), "E84");
}

TEST_F(WindowStackingTest, TheConsoleOpensWithTheCommandLineReadyForEnter) {
  OpenConsole();
  EXPECT_EQ(KeyWindow(), &Console());
  ASSERT_EQ(KeyControl(), Console().txtCommand);
  PressOn(KeyControl(), Qt::Key_Return);
  // "help()" ran: the help list stands on top.
  EXPECT_EQ(app->frmConsole->textConsole->Lines().front(),
            "help() - View short help on this console");
}

TEST_F(WindowStackingTest, AfterAChoiceInAHelperWindowTheKeysGoBackToTheCommandLine) {
  OpenConsole();
  QLineEdit* command = Console().txtCommand;
  // F2: the variables window.
  command->setText("cn_print()");
  command->setCursorPosition(9);
  PressOn(command, Qt::Key_F2);
  ASSERT_TRUE(app->frmConsoleVars->isVisible());
  app->frmConsoleVars->lVars->setCurrentRow(0);
  app->frmConsoleVars->lVarsDblClick();
  Settle();
  EXPECT_FALSE(app->frmConsoleVars->isVisible());
  EXPECT_EQ(command->text(), "cn_print($DIR)");
  EXPECT_EQ(KeyWindow(), &Console());
  EXPECT_EQ(KeyControl(), command);

  // F3: the commands window.
  PressOn(command, Qt::Key_F3);
  ASSERT_TRUE(app->frmConsoleComs->isVisible());
  app->frmConsoleComs->lComs->setCurrentRow(0);
  app->frmConsoleComs->lComsDblClick();
  Settle();
  EXPECT_FALSE(app->frmConsoleComs->isVisible());
  EXPECT_EQ(KeyWindow(), &Console());
  EXPECT_EQ(KeyControl(), command);

  // F4: the completion popup, by Enter (which takes the name) and by Escape (which does not).
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
    command->setText("cn_p");
    PressOn(command, Qt::Key_F4);
    ASSERT_TRUE(app->frmComz->isVisible());
    EXPECT_EQ(KeyControl(), app->frmComz->lstCm);
    app->frmComz->lstCm->setCurrentRow(0);
    PressOn(app->frmComz->lstCm, key);
    EXPECT_FALSE(app->frmComz->isVisible());
    EXPECT_EQ(KeyWindow(), &Console());
    EXPECT_EQ(KeyControl(), command);
    EXPECT_EQ(command->text(), key == Qt::Key_Return ? "cn_print()" : "cn_p");
  }
}

TEST_F(WindowStackingTest, HelperWindowsStandBesideTheConsoleNotOverIt) {
  OpenConsole();
  Console().setGeometry(100, 80, 400, 300);
  Settle();
  const QRect console = Console().frameGeometry();
  Console().txtCommand->setText("cn");
  PressOn(Console().txtCommand, Qt::Key_F4);
  const QRect popup = app->frmComz->frameGeometry();
  EXPECT_EQ(popup.topLeft(), QPoint(console.left(), console.bottom() + 1));
  EXPECT_FALSE(popup.intersects(console));
  PressOn(app->frmComz->lstCm, Qt::Key_Escape);
  PressOn(Console().txtCommand, Qt::Key_F3);
  const QRect commands = app->frmConsoleComs->frameGeometry();
  EXPECT_EQ(commands.topLeft(), QPoint(console.right() + 1, console.top()));
  EXPECT_FALSE(commands.intersects(console));
}

// Counts the times files are opened while something runs.
class OpenCounter {
 public:
  OpenCounter() : fd_(inotify_init1(IN_NONBLOCK)) {}
  ~OpenCounter() { close(fd_); }
  int Watch(const std::string& path) { return inotify_add_watch(fd_, path.c_str(), IN_OPEN); }
  // Opens seen since the last call, by watch.
  std::map<int, int> Take() {
    std::map<int, int> opens;
    alignas(inotify_event) char buffer[4096];
    ssize_t length;
    while ((length = read(fd_, buffer, sizeof buffer)) > 0) {
      for (char* p = buffer; p < buffer + length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(p);
        ++opens[event->wd];
        p += sizeof(inotify_event) + event->len;
      }
    }
    return opens;
  }

 private:
  int fd_;
};

TEST_F(WindowStackingTest, TheMainWindowDressesItselfFromOneReadingOfEachFile) {
  dir.CreateFile("config.ini",
                 dir.Read("config.ini") + "[interface]\r\nfontb=1\r\nfsize=11\r\nbgcr=10\r\n");
  OpenCounter counter;
  const int config = counter.Watch(dir.Slash() + "config.ini");
  const int language = counter.Watch(dir.Slash() + "Lang/English.ini");
  ASSERT_GE(config, 0);
  ASSERT_GE(language, 0);
  counter.Take();
  app->Form1->FormCreate();
  std::map<int, int> opens = counter.Take();
  EXPECT_EQ(opens[config], 1);
  EXPECT_EQ(opens[language], 1);
  // And what it read took effect.
  EXPECT_EQ(app->Str(84), "E84");
  EXPECT_EQ(app->Form1->fList->font().pointSize(), 11);
  EXPECT_TRUE(app->Form1->fList->font().bold());
  EXPECT_EQ(app->Form1->fList->palette().color(QPalette::Base), QColor(10, 255, 255));
}

}  // namespace
