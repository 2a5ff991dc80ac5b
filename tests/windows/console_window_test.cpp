// The console window: output order, keys, helper windows and the menu entries that use it.

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

#include "app/main_window.h"
#include "config/options_window.h"
#include "console/console_lists.h"
#include "console/console_window.h"
#include "support/window_fixture.h"
#include "ui/byte_text.h"
#include "ui/console_view.h"

namespace {

class ConsoleTest : public WindowTest {
 protected:
  void SetUp() override {
    UseTestLanguage();
    // An empty variables file keeps the missing-file warning out of the console.
    dir.CreateFile("defvars.txt");
    CreateApp();
  }
  TfrmConsole& Console() { return *app->frmConsole; }
  QLineEdit& Command() { return *Console().txtCommand; }
  // Presses a key on the command line the way the keyboard does.
  void Press(Qt::Key key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&Command(), &event);
  }
  std::vector<std::string> Top(std::size_t n) {
    auto lines = ConsoleLines();
    lines.resize(std::min(n, lines.size()));
    return lines;
  }
};

TEST_F(ConsoleTest, StartsWithTheHintsAndPrintsNewestOnTop) {
  EXPECT_EQ(ConsoleLines(),
            (std::vector<std::string>{"> Hint:  Type \"help()\" to see console help",
                                      "> Hint: Press F3 to view all avable commands"}));
  EXPECT_EQ(Command().text(), "help()");
  EXPECT_EQ(Console().windowTitle(), "E84");
  app->PrintLine("A");
  app->PrintLine("B");
  app->PrintLine("");
  app->PrintLine("C");
  EXPECT_EQ(Top(4), (std::vector<std::string>{"C", "", "B", "A"}));
  EXPECT_EQ(echoed, (std::vector<std::string>{"A", "B", "", "C"}));
}

TEST_F(ConsoleTest, EnterRunsTheLineAndEmptiesIt) {
  Command().setText("cn_print(hello)");
  Press(Qt::Key_Return);
  EXPECT_EQ(ConsoleLines()[0], "hello");
  EXPECT_EQ(Command().text(), "");
  Press(Qt::Key_Return);
  EXPECT_EQ(ConsoleLines()[0], "> Error: Command must ends on \"()\"");
  EXPECT_EQ(Command().text(), "");
}

TEST_F(ConsoleTest, UpRecallsTheLastNameOnly) {
  Press(Qt::Key_Up);
  EXPECT_EQ(Command().text(), "()");
  Run("cn_print(some argument)");
  Press(Qt::Key_Up);
  EXPECT_EQ(Command().text(), "cn_print()");
  EXPECT_EQ(Command().cursorPosition(), 10);
  Run("foo()");
  Press(Qt::Key_Up);
  EXPECT_EQ(Command().text(), "foo()");
}

TEST_F(ConsoleTest, CompletionPopupListsMatchingNamesInTableOrder) {
  const auto popup_items = [this] {
    QStringList items;
    for (int i = 0; i < app->frmComz->lstCm->count(); ++i) {
      items << app->frmComz->lstCm->item(i)->text();
    }
    return items;
  };
  Command().setText("set");
  Press(Qt::Key_F4);
  EXPECT_EQ(popup_items(),
            (QStringList{"SetVar()", "cn_set_X()", "cn_set_y()", "cn_set_wt()", "cn_set_ht()"}));
  EXPECT_EQ(app->frmComz->pos(), QPoint(Console().x(), Console().y() + Console().height()));
  Command().setText("CN_P");
  Press(Qt::Key_F4);
  EXPECT_EQ(popup_items(), QStringList{"cn_print()"});
  // Enter takes the chosen name with the caret inside the parentheses.
  app->frmComz->lstCm->setCurrentRow(0);
  app->frmComz->lstCmKeyDown(Qt::Key_Return);
  EXPECT_EQ(Command().text(), "cn_print()");
  EXPECT_EQ(Command().cursorPosition(), 9);

  Command().setText("");
  Press(Qt::Key_F4);
  EXPECT_TRUE(popup_items().isEmpty());
  Command().setText("kept");
  app->frmComz->lstCmKeyDown(Qt::Key_Return);
  EXPECT_EQ(Command().text(), "kept");
}

TEST_F(ConsoleTest, CommandsWindowShowsHelpAndInsertsTheName) {
  QListWidget* list = app->frmConsoleComs->lComs;
  ASSERT_EQ(list->count(), 40);
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
  QStringList sorted = names;
  sorted.sort();
  EXPECT_EQ(names, sorted);
  EXPECT_TRUE(names.contains("msgbox_1"));
  EXPECT_TRUE(names.contains("cn_set_x"));
  list->setCurrentRow(static_cast<int>(names.indexOf("msgbox_1")));
  app->frmConsoleComs->lComsClick();
  EXPECT_EQ(list->toolTip(), "MsgBox_1(msg : string) - Message box, type 1");
  list->setCurrentRow(static_cast<int>(names.indexOf("cn_set_x")));
  app->frmConsoleComs->lComsClick();
  EXPECT_EQ(list->toolTip(), "");

  list->setCurrentRow(static_cast<int>(names.indexOf("cn_print")));
  app->frmConsoleComs->lComsDblClick();
  EXPECT_EQ(Command().text(), "cn_print()");
  EXPECT_EQ(Command().cursorPosition(), 9);
  Command().insert("hello");
  Press(Qt::Key_Return);
  EXPECT_EQ(ConsoleLines()[0], "hello");
}

TEST_F(ConsoleTest, VariablesWindowDescribesDialogsAndEvaluatesTheRest) {
  QListWidget* list = app->frmConsoleVars->lVars;
  ASSERT_EQ(list->count(), 9);
  list->setCurrentRow(3);
  app->frmConsoleVars->lVarsClick();
  EXPECT_EQ(list->toolTip(), "Input dialog");
  EXPECT_TRUE(dialogs.asked.isEmpty());
  list->setCurrentRow(0);
  app->frmConsoleVars->lVarsClick();
  EXPECT_EQ(TextToBytes(list->toolTip()), app->CurrentDir);

  Command().setText("cn_print()");
  Command().setCursorPosition(9);
  app->frmConsoleVars->lVarsDblClick();
  EXPECT_EQ(Command().text(), "cn_print($DIR)");
}

TEST_F(ConsoleTest, TextFilesGoToTheBottomAndSavedTextReadsBack) {
  const std::string file = dir.CreateFile("three.txt", "one\r\ntwo\nthree");
  Run("cn_read_txtfile(" + file + ")");
  Run("cn_print(after)");
  auto lines = ConsoleLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines.front(), "after");
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{"one", "two", "three"}));
  Run("cn_read_txtfile(" + dir.Path() + "/missing.txt)");
  EXPECT_EQ(ConsoleLines()[0], "> Error: ???");

  Run("cn_clear()");
  Run("cn_print(first)");
  Run("cn_print(second)");
  Run("cn_save_data(" + dir.Path() + "/saved.txt)");
  EXPECT_EQ(dir.Read("saved.txt"), "second\r\nfirst\r\n");
  Run("cn_read_txtfile(" + dir.Path() + "/saved.txt)");
  lines = ConsoleLines();
  EXPECT_EQ(lines.front(), "> Saved: " + dir.Path() + "/saved.txt");
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
            (std::vector<std::string>{"second", "first"}));
  Run("cn_save_data()");
  EXPECT_EQ(ConsoleLines()[0], "> Error: Can't save file to nowhere");
}

TEST_F(ConsoleTest, ClearAsksWhenTheOptionsSaySo) {
  ASSERT_TRUE(app->Optionz->chxConsoleClear->isChecked());
  dialogs.message_answers = {MsgAnswer::kNo};
  Run("cn_clear()");
  EXPECT_FALSE(ConsoleLines().empty());
  EXPECT_EQ(dialogs.asked.last(), "message: E2: Clear console messages?");
  Run("cn_clear()");  // answered Yes
  EXPECT_TRUE(ConsoleLines().empty());
  app->Optionz->chxConsoleClear->setChecked(false);
  const auto asked = dialogs.asked.size();
  Run("cn_print(x)");
  Run("cn_clear()");
  EXPECT_TRUE(ConsoleLines().empty());
  EXPECT_EQ(dialogs.asked.size(), asked);
}

TEST_F(ConsoleTest, EditedTextIsWhatGetsSaved) {
  Run("cn_read_only(FALSE)");
  ASSERT_FALSE(Console().textConsole->IsReadOnly());
  Run("cn_print(typed over)");
  Run("cn_read_only(TRUE)");
  Run("cn_save_data(" + dir.Path() + "/edited.txt)");
  const std::string saved = dir.Read("edited.txt");
  EXPECT_EQ(saved.substr(0, 12), "typed over\r\n");
  EXPECT_NE(saved.find("> Hint: Press F3"), std::string::npos);
}

TEST_F(ConsoleTest, WindowCommandsAndIntegerFailures) {
  Run("cn_title(Log)");
  EXPECT_EQ(Console().windowTitle(), "Log - E84");
  Run("cn_title()");
  EXPECT_EQ(Console().windowTitle(), "E84");
  Run("cn_set_wt(321)");
  EXPECT_EQ(Console().width(), 321);
  Run("cn_set_X(abc)");
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_EQ(dialogs.errors[0], "'abc' is not a valid integer value");
  Run("sw_renaming(7)");
  EXPECT_EQ(dialogs.errors.last(), "List index out of bounds (7)");
  Run("cn_font(Monospace)");
  EXPECT_EQ(Console().textConsole->FontFace(), "Monospace");
}

TEST_F(ConsoleTest, MenuEntriesHandLinesToTheConsole) {
  dir.CreateFile("devlog.txt", "log line\r\n");
  dir.CreateFile("shown.txt", "text of the file\r\n");
  app->Optionz->chxConsoleClear->setChecked(false);
  app->Form1->pDELELOPERLOG1Click();
  EXPECT_EQ(ConsoleLines(), std::vector<std::string>{"log line"});

  app->Form1->SearchLine->setText(BytesToText(dir.Slash()));
  app->Form1->ScanDirectory1Click();
  const auto& entries = app->Form1->Entries();
  const int row =
      static_cast<int>(std::find(entries.begin(), entries.end(), "shown.txt") - entries.begin());
  app->Form1->SetCurrentRow(row);
  app->Form1->mnuViewAsTextClick();
  EXPECT_EQ(ConsoleLines(), std::vector<std::string>{"text of the file"});

  app->Form1->LISTING1Click();
  bool listed = false;
  for (const auto& line : ConsoleLines())
    listed = listed || line.rfind("shown.txt; Size: 18; Date: ", 0) == 0;
  EXPECT_TRUE(listed);

  // With the confirmation on and answered No, the old text stays and the new lines are added.
  app->Optionz->chxConsoleClear->setChecked(true);
  dialogs.message_answers = {MsgAnswer::kNo};
  app->Form1->pDELELOPERLOG1Click();
  EXPECT_EQ(ConsoleLines().back(), "log line");
  EXPECT_GT(ConsoleLines().size(), 1u);
}

}  // namespace
