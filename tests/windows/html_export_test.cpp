// The HTML file list window and the small CSS editor: an export to a file with its page, its
// console line and the browser started on it; cancelled and failed exports; style files saved
// into FL/, edited, loaded and refused.

#include <sys/stat.h>
#include <time.h>
#include <utime.h>

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QListWidget>
#include <QLocale>
#include <QTime>
#include <QTreeWidget>
#include <cstdlib>
#include <string>

#include "export/html_file_list.h"
#include "export/small_css.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/test_helpers.h"
#include "platform/text_file.h"
#include "support/window_fixture.h"
#include "ui/byte_text.h"

namespace {

using platform_test::WaitForFile;

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv(name, value.c_str(), 1);
    tzset();
  }
  ~ScopedEnv() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
    tzset();
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

class HtmlExportTest : public WindowTest {
 protected:
  HtmlExportTest()
      : path_("PATH",
              bin.Slash() + ":" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "")) {
    // The desktop's opener is a recorder, so no test ever starts a browser.
    const std::string opener = bin.CreateFile("xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" > '" +
                                                              opened + ".part' && /bin/mv '" +
                                                              opened + ".part' '" + opened + "'\n");
    chmod(opener.c_str(), 0755);
  }

  TfrmHTMLFileList& List() { return *app->frmHTMLFileList; }
  TfrmSmallCss& Css() { return *app->frmSmallCss; }

  // The target's page, its lines without line ends.
  std::vector<std::string> PageLines(const std::string& relative) {
    return platform::SplitLines(dir.Read(relative));
  }

  TempDir bin;
  TempDir data;
  const std::string opened = bin.Slash() + "opened";

 private:
  ScopedEnv path_;
};

TEST_F(HtmlExportTest, ExportsTheFilesWithDateSizeAndStyleThenOpensThePage) {
  ScopedEnv tz("TZ", "UTC");
  dir.CreateFile("FL/blue.css", "BODY\r\n\t{COLOR : blue}");
  const std::string file = data.CreateFile("report.txt", std::string(2048 + 100, 'r'));
  data.CreateFile(".hidden", "h");
  data.CreateDir("sub");
  const utimbuf times{1'700'054'759, 1'700'054'759};  // 15.11.2023 13:25:59 UTC
  utime(file.c_str(), &times);
  CreateApp();
  QApplication::clipboard()->setText("what the user copied");

  const std::string target = dir.Slash() + "out/list.htm";
  dir.CreateDir("out");
  dialogs.save_answers = {BytesToText(target)};
  app->Show(&List());
  List().path->setText(BytesToText(data.Slash()));
  List().flDate->setChecked(true);
  List().flSize->setChecked(true);
  List().fTitle->setText("Report <1>");
  List().lStyles->item(0)->setSelected(true);
  List().btOK->click();

  EXPECT_EQ(dialogs.asked, QStringList({"save: HTML Files (*.htm;*.html)|*.htm;*.html: " +
                                        BytesToText(data.Slash()) + "FileList.htm"}));
  const QString date = QLocale::system().toString(QDate(2023, 11, 15), QLocale::ShortFormat) + " " +
                       QLocale::system().toString(QTime(13, 25, 58), QLocale::LongFormat);
  EXPECT_EQ(
      PageLines("out/list.htm"),
      (std::vector<std::string>{
          "<HTML><HEAD><META charset=\"utf-8\">", "<STYLE>", "BODY", "\t{COLOR : blue}", "</STYLE>",
          "<TITLE>Report &lt;1&gt;</TITLE></HEAD>",
          "<BODY><CENTER><BIG><B>Report &lt;1&gt;</B></BIG></CENTER><HR>"
          "<TABLE WIDTH=\"100%\" ALIGN=\"CENTER\">",
          "<TR><TD>report.txt</TD><TD>" + TextToBytes(date) + "</TD><TD>2 KBytes</TD></TR>",
          "</TABLE>", "<HR>Totlal: <B>2</B> KBytes in <B>1</B> files", "</BODY>", "</HTML>"}));
  EXPECT_EQ(ConsoleLines().front(), "> File list: " + target);
  EXPECT_FALSE(List().isVisible());
  EXPECT_EQ(QApplication::clipboard()->text(), "what the user copied");
  ASSERT_TRUE(WaitForFile(opened));
  EXPECT_EQ(bin.Read("opened"), target + "\n");
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

TEST_F(HtmlExportTest, FullPathsWithoutStyleAndAnEmptyPathListsTheWorkingDirectory) {
  data.CreateFile("a b.txt", "x");
  CreateApp();
  dialogs.save_answers = {BytesToText(dir.Slash() + "full.htm"),
                          BytesToText(dir.Slash() + "cwd.htm")};
  List().path->setText(BytesToText(data.Slash()));
  List().flFoolPath->setChecked(true);
  List().btOKClick();
  auto lines = PageLines("full.htm");
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[1], "<TITLE></TITLE></HEAD>");
  EXPECT_EQ(lines[3], "<TR><TD>" + data.Slash() + "a b.txt</TD></TR>");
  ASSERT_TRUE(WaitForFile(opened));
  platform::DeleteFile(opened);

  ASSERT_TRUE(platform::SetWorkingDir(data.Slash()));
  List().path->clear();
  List().btOKClick();
  lines = PageLines("cwd.htm");
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[3], "<TR><TD>a b.txt</TD></TR>");
  ASSERT_TRUE(WaitForFile(opened));
  EXPECT_EQ(bin.Read("opened"), dir.Slash() + "cwd.htm\n");
  EXPECT_EQ(dialogs.asked.back(), "save: HTML Files (*.htm;*.html)|*.htm;*.html: FileList.htm");
}

TEST_F(HtmlExportTest, CancelledOrFailedExportsWriteNothingAndKeepTheWindow) {
  dir.CreateFile("FL/gone.css", "BODY\r\n");
  data.CreateFile("a.txt", "x");
  CreateApp();
  app->Show(&List());
  List().path->setText(BytesToText(data.Slash()));
  const std::vector<std::string> console_before = ConsoleLines();

  // Cancelled: one question, and the export ends.
  List().btOK->click();
  EXPECT_EQ(dialogs.asked.size(), 1);

  // A target that cannot be written.
  dialogs.save_answers = {BytesToText(dir.Slash() + "no/such/dir/page.htm")};
  List().btOK->click();
  EXPECT_EQ(dialogs.errors.size(), 1);

  // A selected style file that has gone since the list was filled.
  platform::DeleteFile(dir.Slash() + "FL/gone.css");
  List().lStyles->item(0)->setSelected(true);
  dialogs.save_answers = {BytesToText(dir.Slash() + "page.htm")};
  List().btOK->click();
  ASSERT_EQ(dialogs.errors.size(), 2);
  EXPECT_TRUE(dialogs.errors[1].contains("gone.css"));

  EXPECT_FALSE(dir.Exists("page.htm"));
  EXPECT_TRUE(List().isVisible());
  EXPECT_EQ(ConsoleLines(), console_before);
  EXPECT_FALSE(bin.Exists("opened"));
}

TEST_F(HtmlExportTest, StylesButtonWidensTheWindowToShowTheStyleList) {
  CreateApp();
  TfrmHTMLFileList& list = List();
  EXPECT_EQ(list.width(), 296);
  EXPECT_GE(list.lStyles->geometry().left(), 296);
  EXPECT_GE(list.Label1->geometry().left(), 296);
  EXPECT_GE(list.btnSmall->geometry().left(), 296);
  EXPECT_LE(list.btOK->geometry().right(), 296);
  EXPECT_LE(list.lStyles->geometry().right(), 500);
  list.btnstyles->click();
  EXPECT_EQ(list.width(), 500);
  list.btnstyles->click();
  EXPECT_EQ(list.width(), 296);
  EXPECT_TRUE(list.btOK->isDefault());

  app->Show(&list);
  list.btnSmall->click();
  EXPECT_TRUE(Css().isVisible());
  list.btCancel->click();
  EXPECT_FALSE(list.isVisible());
}

TEST_F(HtmlExportTest, StyleSavedIntoFlIsOfferedOnceAndElsewhereNot) {
  dir.CreateDir("FL");
  CreateApp();
  EXPECT_EQ(List().lStyles->count(), 0);
  dialogs.save_answers = {BytesToText(dir.Slash() + "FL/mine.css"),
                          BytesToText(dir.Slash() + "FL/mine.css"),
                          BytesToText(dir.Slash() + "other.css")};
  Css().btnSave->click();
  Css().btnSave->click();
  Css().btnSave->click();
  EXPECT_EQ(dialogs.asked.front(),
            "save: Cascade Style Sheet|*.css: " + BytesToText(dir.Slash()) + "FL/");
  EXPECT_EQ(dir.Read("FL/mine.css"), "BODY\r\n");
  EXPECT_EQ(dir.Read("other.css"), "BODY\r\n");
  ASSERT_EQ(List().lStyles->count(), 1);
  EXPECT_EQ(List().lStyles->item(0)->text(), "mine.css");

  // A cancelled dialog writes nothing.
  Css().btnSave->click();
  EXPECT_EQ(dialogs.asked.size(), 4);
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

TEST_F(HtmlExportTest, TagsAreAddedEditedWithTheFieldsAndSaved) {
  CreateApp();
  TfrmSmallCss& css = Css();
  dialogs.input_answers = {QString("A:HOVER")};
  css.AddTag1->trigger();
  css.AddTag1->trigger();  // cancelled: nothing is added
  ASSERT_EQ(css.treCss->topLevelItemCount(), 2);
  QTreeWidgetItem* tag = css.treCss->topLevelItem(0);
  EXPECT_EQ(tag->text(0), "A:HOVER");
  EXPECT_EQ(dialogs.asked[0], "input: Add Tag: Tag name (ex: A:HOVER)");

  css.treCss->setCurrentItem(tag);
  css.EditTag1->trigger();
  EXPECT_TRUE(css.pnlEditor->isVisibleTo(&css));
  ASSERT_EQ(tag->childCount(), 1);
  EXPECT_EQ(css.treCss->currentItem(), tag->child(0));

  dialogs.color_answers = {QColor(255, 0, 0), std::nullopt};
  css.SpeedButton1->click();
  css.btnSelColor->click();  // cancelled: the field keeps its colour
  dialogs.font_answers = {QFont("Arial", 10)};
  css.btnFonF->click();
  css.Button1->click();
  EXPECT_FALSE(css.pnlEditor->isVisibleTo(&css));
  const std::string block =
      "{BACKGROUND :#FF0000; COLOR : #FFFFFF; Font-Family : Arial; FONT-WEIGHT :Regular; "
      "FONT-SIZE : 10pt; TEXT-DECORATION :none}";
  EXPECT_EQ(TextToBytes(tag->child(0)->text(0)), block);

  dialogs.save_answers = {BytesToText(dir.Slash() + "one.css"),
                          BytesToText(dir.Slash() + "two.css")};
  css.btnSave->click();
  EXPECT_EQ(dir.Read("one.css"), "A:HOVER\r\n\t" + block + "\r\nBODY\r\n");

  // A second edit confirmed with other fields replaces the first child and leaves a blank one.
  css.treCss->setCurrentItem(tag);
  css.EditTag1->trigger();
  css.cxDecor->setCurrentText("underline");
  css.Button1->click();
  css.btnSave->click();
  EXPECT_EQ(
      dir.Read("two.css"),
      "A:HOVER\r\n\t{BACKGROUND :#FF0000; COLOR : #FFFFFF; Font-Family : Arial; "
      "FONT-WEIGHT :Regular; FONT-SIZE : 10pt; TEXT-DECORATION :underline}\r\n\t \r\nBODY\r\n");

  // Delete takes the selected tag with its declarations.
  css.treCss->setCurrentItem(tag);
  css.Delete->trigger();
  ASSERT_EQ(css.treCss->topLevelItemCount(), 1);
  EXPECT_EQ(css.treCss->topLevelItem(0)->text(0), "BODY");
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

TEST_F(HtmlExportTest, LoadingReplacesTheTreeAndABadFileLeavesItAsItWas) {
  const std::string good = dir.CreateFile("good.css", "P\r\n\t{X}\r\nH1\r\n");
  const std::string bad = dir.CreateFile("bad.css", "EM\r\n\t\t{Y}\r\n");
  CreateApp();
  TfrmSmallCss& css = Css();
  dialogs.open_answers = {BytesToText(good), BytesToText(bad),
                          BytesToText(dir.Slash() + "none.css")};
  css.Load1->trigger();
  EXPECT_EQ(dialogs.asked.front(), "open: : " + BytesToText(dir.Slash()) + "FL/");
  ASSERT_EQ(css.treCss->topLevelItemCount(), 2);
  EXPECT_EQ(css.treCss->topLevelItem(0)->child(0)->text(0), "{X}");

  css.Load1->trigger();  // two levels deeper
  css.Load1->trigger();  // missing
  css.Load1->trigger();  // cancelled
  ASSERT_EQ(dialogs.errors.size(), 2);
  EXPECT_TRUE(dialogs.errors[0].contains("{Y}"));
  EXPECT_TRUE(dialogs.errors[1].contains("none.css"));
  ASSERT_EQ(css.treCss->topLevelItemCount(), 2);
  EXPECT_EQ(css.treCss->topLevelItem(0)->text(0), "P");
  EXPECT_EQ(css.treCss->topLevelItem(1)->text(0), "H1");
}

}  // namespace
