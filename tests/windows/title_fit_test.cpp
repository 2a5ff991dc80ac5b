// Small windows and message boxes show their whole title, in the shipped language files, at
// whatever scale the suite runs (ctest runs it at 1 and at 1.5).

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <string>

#include "app/app.h"
#include "console/console_lists.h"
#include "support/window_fixture.h"
#include "tools/copy_windows.h"
#include "ui/title_fit.h"

namespace {

class TitleFitTest : public WindowTest {
 protected:
  void UseShippedLanguage(const std::string& file) {
    std::string lang;
    FILE* in = std::fopen((std::string(BW_DATA_DIR) + "/Lang/" + file).c_str(), "rb");
    ASSERT_NE(in, nullptr);
    for (int c; (c = std::fgetc(in)) != EOF;) lang += static_cast<char>(c);
    std::fclose(in);
    dir.CreateFile("Lang/" + file, lang);
    dir.CreateFile("config.ini", "[Lang]\r\nFile=" + file + "\r\n");
  }
  // The title as the window manager would draw it, bold in the title font.
  static int TextWidth(const QString& title) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title);
  }
};

TEST_F(TitleFitTest, SmallWindowsAreWideEnoughForTheirTitles) {
  for (const char* file : {"English.ini", "Russuan.ini"}) {
    UseShippedLanguage(file);
    CreateApp();
    QWidget* windows[] = {app->frmConsoleComs, app->frmConsoleVars, app->frmCopyFile};
    for (QWidget* window : windows) {
      app->Show(window);
      QApplication::processEvents();
      EXPECT_FALSE(window->windowTitle().isEmpty());
      // The text and room for the icon and the buttons beside it.
      EXPECT_GE(window->width(), TitleWidthOf(window))
          << file << ": " << window->objectName().toStdString();
      EXPECT_GT(TitleWidthOf(window), TextWidth(window->windowTitle()) + 80);
      window->close();
    }
    app.reset();
  }
}

TEST_F(TitleFitTest, AMessageBoxIsWideEnoughForItsTitle) {
  QMessageBox box(QMessageBox::Question, "A caption longer than the short question under it", "Go?",
                  QMessageBox::Yes | QMessageBox::No);
  FitTitle(&box);
  box.show();
  QApplication::processEvents();
  EXPECT_GE(box.width(), TitleWidthOf(&box));
  EXPECT_GT(TitleWidthOf(&box), TextWidth(box.windowTitle()));
  box.hide();
}

}  // namespace
