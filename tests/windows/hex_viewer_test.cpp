// The hex viewer and the hex calculator: loading with its console lines and panels, the click
// selection, the calculator hand-off, saving with abort, go-to and find.

#include <unistd.h>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "support/hex_dump.h"
#include "support/window_fixture.h"
#include "tools/hex_calc.h"
#include "tools/hex_rules.h"
#include "tools/hex_viewer.h"
#include "tools/search_window.h"
#include "ui/byte_text.h"

namespace {

using Lines = std::vector<std::string>;

class HexViewerTest : public WindowTest {
 protected:
  void SetUp() override {
    UseTestLanguage();
    dir.CreateFile("defvars.txt");
    CreateApp();
    Hex().show();
    QApplication::processEvents();
  }
  TfrmHexEditor& Hex() { return *app->frmHexEditor; }
  TfrmHexCalc& Calc() { return *app->frmHexCalc; }
  QString Panel(int i) { return Hex().InfoPanel[i]->text(); }
  // The console lines printed since `from`, in printing order.
  Lines EchoedSince(std::size_t from) { return Lines(echoed.begin() + from, echoed.end()); }
  // A mouse press on the dump text position, as a click there puts the caret on it.
  void ClickAt(std::int64_t position) {
    const QPoint at = Hex().memHex->PointOf(position) + QPoint(1, 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, Hex().memHex->viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Hex().memHex->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, Hex().memHex->viewport()->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Hex().memHex->viewport(), &release);
  }
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(Hex().memHex, &event);
  }
  std::string Selected() { return Hex().memHex->SelectedText().value_or("<unreadable>"); }
  // A file of `size` bytes that holds nothing but holes, made without writing them.
  std::string SparseFile(const std::string& name, std::int64_t size) {
    const std::string path = dir.CreateFile(name);
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
    return path;
  }
  // Names in the test directory that an unfinished save would leave behind.
  int LeftoverTemporaryFiles() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
      if (entry.path().filename().string().rfind(".bw-write.", 0) == 0) ++count;
    }
    return count;
  }
};

TEST_F(HexViewerTest, ConsoleCommandLoadsTheDumpWithItsLinesAndPanels) {
  const std::string path = dir.CreateFile("abc.bin", "AB\n");
  const std::size_t from = echoed.size();
  Run("bw_view_hex(" + path + ")");
  EXPECT_EQ(EchoedSince(from), (Lines{"Starting HEX engine...", "Opening \"" + path + "\"",
                                      "Loading hex data...", "Size: 3 bytes..", "> OK"}));
  EXPECT_EQ(Hex().memHex->toPlainText(), "1 : 41 42 0A ");
  EXPECT_EQ(Panel(0), "Size : 3 Bytes");
  EXPECT_EQ(Panel(1), "3\\3(Bytes)");
  EXPECT_EQ(Panel(2), "HEX File Size : 13Bytes");
  EXPECT_TRUE(Hex().isVisible());

  Hex().LoadHexDump(dir.CreateFile("empty.bin"));
  EXPECT_EQ(Hex().memHex->toPlainText(), "1 : ");
  EXPECT_EQ(Panel(2), "HEX File Size : 4Bytes");
  EXPECT_EQ(echoed.back(), "> OK");

  Hex().LoadHexDump(dir.CreateFile("k.bin", std::string(1024, 'x')));
  EXPECT_EQ(Panel(0), "Size : 1 KBaytes");
  Hex().LoadHexDump(dir.CreateFile("k1.bin", std::string(1023, 'x')));
  EXPECT_EQ(Panel(0), "Size : 1023 Bytes");
}

TEST_F(HexViewerTest, MissingFileIsReportedAndLeavesTheViewAlone) {
  Hex().LoadHexDump(dir.CreateFile("abc.bin", "AB\n"));
  const std::string missing = dir.Slash() + "gone.bin";
  const std::size_t from = echoed.size();
  Hex().LoadHexDump(missing);
  EXPECT_EQ(EchoedSince(from), Lines{"> Error: " + missing + " No such file or not file at all"});
  ASSERT_FALSE(dialogs.asked.isEmpty());
  EXPECT_EQ(dialogs.asked.back(), "message: E1: E82\n" + BytesToText(missing));
  EXPECT_EQ(Hex().memHex->toPlainText(), "1 : 41 42 0A ");
  EXPECT_EQ(Panel(2), "HEX File Size : 13Bytes");
  // A directory is no file either.
  Hex().LoadHexDump(dir.Path());
  EXPECT_EQ(echoed.back(), "> Error: " + dir.Path() + " No such file or not file at all");
}

TEST_F(HexViewerTest, UnreadableFileIsAnInputOutputError) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const std::string path = dir.CreateFile("locked.bin", "secret");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  Hex().LoadHexDump(path);
  EXPECT_EQ(echoed.back(), "> Error: Input/Output Error!");
  EXPECT_FALSE(Hex().memHex->HasDump());
}

TEST_F(HexViewerTest, ClickSelectsTwoCharactersAndCalcTakesThem) {
  Hex().LoadHexDump(dir.CreateFile("ab.bin", "AB"));
  const std::int64_t first_digit = tools::DumpBytePosition(0);
  ClickAt(first_digit);
  EXPECT_EQ(Selected(), "41");
  EXPECT_EQ(Hex().InfoOffset->text(), "Offset: 0 (0x0)");
  Hex().CALC1Click();
  EXPECT_EQ(Calc().txtChislo->text(), "41");
  EXPECT_EQ(Calc().rgtyp->checkedId(), 0);
  EXPECT_TRUE(Calc().isVisible());
  Calc().btnDecClick();
  EXPECT_EQ(Calc().txtChislo->text(), "65");

  // The second digit: that digit and the space after it.
  ClickAt(first_digit + 1);
  EXPECT_EQ(Selected(), "1 ");
  Hex().CALC1Click();
  EXPECT_EQ(Calc().txtChislo->text(), "1 ");
  EXPECT_EQ(Calc().rgtyp->checkedId(), 0);

  // Anything but two characters leaves the calculator's value alone.
  Press(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Selected(), "1 : 41 42 ");
  Calc().txtChislo->setText("7F");
  Hex().CALC1Click();
  EXPECT_EQ(Calc().txtChislo->text(), "7F");
}

TEST_F(HexViewerTest, KeysMoveTheCaretAndCopyGivesTheDumpText) {
  std::string bytes;
  for (int i = 0; i < 40; ++i) bytes += static_cast<char>(i);
  Hex().LoadHexDump(dir.CreateFile("forty.bin", bytes));
  ClickAt(tools::DumpBytePosition(2));
  // The caret stood after "02"; one line down, the same column is the second digit of "12"
  // (the label below is one character longer).
  Press(Qt::Key_Down);
  EXPECT_EQ(Hex().memHex->SelectionLength(), 0);
  EXPECT_EQ(Hex().memHex->SelectedByte(), 18);
  EXPECT_EQ(Hex().InfoOffset->text(), "Offset: 18 (0x12)");
  Press(Qt::Key_Left);
  Press(Qt::Key_Right, Qt::ShiftModifier);
  Press(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), "12");
  Press(Qt::Key_Up, Qt::ShiftModifier);  // back across the line break
  EXPECT_EQ(Selected(), "03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \n\r16 : 10 11 ");
  Press(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(TextToBytes(QApplication::clipboard()->text()), Selected());
  Press(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(Hex().memHex->Caret(), Hex().memHex->TextLength());
  EXPECT_EQ(Hex().memHex->SelectionLength(), 0);
}

TEST_F(HexViewerTest, SaveWritesTheDumpAndProposesTheViewedName) {
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes += static_cast<char>(i * 7);
  const std::string path = dir.CreateFile("data.bin", bytes);
  app->Form1->SearchLine->setText(BytesToText(dir.Slash()));
  Hex().LoadHexDump(path);
  const std::string target = dir.CreateFile("out.txt", "old text");
  dialogs.save_answers.push_back(BytesToText(target));
  const std::size_t from = echoed.size();
  Hex().SAVE1Click();
  EXPECT_EQ(dialogs.asked.back(),
            "save: Text Files (*.txt)|*.txt: " + BytesToText(dir.Slash() + "data.bin.txt"));
  EXPECT_EQ(dir.Read("out.txt"), FormatDump(bytes));
  EXPECT_TRUE(EchoedSince(from).empty());  // saving prints nothing
  EXPECT_EQ(Panel(2), "HEX File Size : " + QString::number(tools::DumpTextLength(3000)) + "Bytes");
  EXPECT_FALSE(Hex().Busy());

  // A cancelled dialog writes nothing; a file that cannot be written goes to the error report
  // and leaves nothing behind.
  Hex().SAVE1Click();
  EXPECT_EQ(dir.Read("out.txt"), FormatDump(bytes));
  app->Guarded([this] { Hex().SaveDump(dir.Slash() + "no-such-dir/out.txt"); });
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_EQ(dialogs.errors[0],
            "Unable to write to " + BytesToText(dir.Slash()) + "no-such-dir/out.txt");
  EXPECT_EQ(LeftoverTemporaryFiles(), 0);
}

TEST_F(HexViewerTest, AbortStopsASaveAndKeepsTheOldFile) {
  const std::string big = SparseFile("big.bin", std::int64_t{256} << 20);
  Hex().LoadHexDump(big);
  // An abort while nothing runs is dropped...
  Hex().ABORT1Click();
  const std::string small = dir.CreateFile("small.bin", "xyz");
  const std::string target = dir.CreateFile("out.txt", "old text");
  // ...so it cannot stop the next save.
  Hex().LoadHexDump(small);
  Hex().SaveDump(target);
  EXPECT_EQ(dir.Read("out.txt"), "1 : 78 79 7A ");

  dir.CreateFile("out.txt", "old text");
  Hex().LoadHexDump(big);
  QTimer::singleShot(0, &Hex(), [this] {
    EXPECT_TRUE(Hex().Busy());
    Hex().ABORT1->trigger();
  });
  const std::size_t from = echoed.size();
  Hex().SaveDump(target);
  EXPECT_EQ(EchoedSince(from), Lines{"> Warning: Saving aborted!"});
  EXPECT_EQ(dir.Read("out.txt"), "old text");
  EXPECT_EQ(LeftoverTemporaryFiles(), 0);
  EXPECT_FALSE(Hex().Busy());
  EXPECT_EQ(Panel(1), QString("%1\\%1(Bytes)").arg(std::int64_t{256} << 20));
}

TEST_F(HexViewerTest, ViewerKeysWorkInTheViewerAndTheDumpKeepsTheKeyboard) {
  Hex().LoadHexDump(dir.CreateFile("keys.bin", std::string(40, 'A')));
  // Each key, pressed in the dump, runs the viewer's own entry: Ctrl+F never reaches the main
  // window's Find Files, Ctrl+A selects the dump, not the file list.
  const struct {
    QKeyCombination key;
    const char* asked;
  } keys[] = {
      {Qt::CTRL | Qt::Key_F, "input: Find: Bytes in hexadecimal (4D 5A) or text:"},
      {Qt::CTRL | Qt::Key_G, "input: Go to: Offset (decimal, or hexadecimal with 0x):"},
      {QKeyCombination(Qt::Key_F3), "input: Find: Bytes in hexadecimal (4D 5A) or text:"},
  };
  for (const auto& k : keys) {
    app->Form1->activateWindow();
    Hex().memHex->setFocus();
    dialogs.asked.clear();
    QKeyEvent override_event(QEvent::ShortcutOverride, k.key.key(), k.key.keyboardModifiers());
    QApplication::sendEvent(Hex().memHex, &override_event);
    EXPECT_TRUE(override_event.isAccepted());
    Press(k.key.key(), k.key.keyboardModifiers());
    EXPECT_EQ(dialogs.asked, QStringList{k.asked});
    EXPECT_FALSE(app->frmSearch->isVisible());
  }
  QKeyEvent select_all(QEvent::ShortcutOverride, Qt::Key_A, Qt::ControlModifier);
  QApplication::sendEvent(Hex().memHex, &select_all);
  EXPECT_TRUE(select_all.isAccepted());

  // After each dialog the keyboard is back in the dump, so Ctrl+C copies the selected bytes.
  const std::function<void()> handlers[] = {
      [&] {
        dialogs.input_answers.push_back(QString("3"));
        Hex().GOTO1Click();
      },
      [&] {
        dialogs.input_answers.push_back(QString("41 41"));
        Hex().FIND1Click();
      },
      [&] { Hex().FINDNEXT1Click(); }, [&] { Hex().SAVE1Click(); },  // cancelled
  };
  app->Form1->show();
  for (const auto& handler : handlers) {
    // A dialog hands the keyboard to the main window when it closes.
    app->Form1->activateWindow();
    app->Form1->fList->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), app->Form1->fList);
    handler();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Hex().memHex);
  }
  Press(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(TextToBytes(QApplication::clipboard()->text()), Selected());
  EXPECT_EQ(Selected(), "41 41");
}

TEST_F(HexViewerTest, StatusPanelsShowTheirTextsWhole) {
  Hex().LoadHexDump(SparseFile("big.bin", std::int64_t{19591352} * 1024));
  QApplication::processEvents();
  for (QLabel* panel : Hex().InfoPanel) {
    SCOPED_TRACE(panel->text().toStdString());
    EXPECT_GE(panel->width(), panel->fontMetrics().horizontalAdvance(panel->text()));
  }
}

TEST_F(HexViewerTest, GoToAndFindSelectTheBytes) {
  std::string bytes(100, '\0');
  bytes.replace(30, 2, "MZ");
  bytes.replace(70, 2, "MZ");
  Hex().LoadHexDump(dir.CreateFile("two.bin", bytes));

  dialogs.input_answers.push_back(QString("0x11"));
  Hex().GOTO1Click();
  EXPECT_EQ(Hex().memHex->SelectedByte(), 17);
  EXPECT_EQ(Selected(), "00");
  EXPECT_EQ(Hex().InfoOffset->text(), "Offset: 17 (0x11)");
  dialogs.input_answers.push_back(QString("100"));
  Hex().GOTO1Click();
  EXPECT_EQ(dialogs.asked.back(), "message: E1: There is no byte at offset 100");
  EXPECT_EQ(Hex().memHex->SelectedByte(), 17);

  dialogs.input_answers.push_back(QString("4D 5A"));
  Hex().FIND1Click();
  EXPECT_EQ(Selected(), "4D 5A");
  EXPECT_EQ(Hex().InfoOffset->text(), "Offset: 30 (0x1E)");
  Hex().FINDNEXT1Click();  // F3: the next one, beyond the selected byte
  EXPECT_EQ(Hex().InfoOffset->text(), "Offset: 70 (0x46)");
  const int asked = dialogs.asked.size();
  Hex().FINDNEXT1Click();
  EXPECT_EQ(dialogs.asked.size(), asked + 1);
  EXPECT_EQ(dialogs.asked.back(), "message: E1: Not found: 4D 5A");
  EXPECT_EQ(Hex().InfoOffset->text(), "Offset: 70 (0x46)");

  // Text, found across a line break: the selection runs over the break and the label.
  bytes.replace(14, 4, "abcd");
  Hex().LoadHexDump(dir.CreateFile("text.bin", bytes));
  dialogs.input_answers.push_back(QString("abcd"));
  Hex().FIND1Click();
  EXPECT_EQ(Selected(), "61 62 \n\r16 : 63 64");
}

TEST_F(HexViewerTest, HugeFileOpensAtOnceAndShowsItsEnd) {
  const std::int64_t size = (std::int64_t{4} << 30) + 5;
  Hex().LoadHexDump(SparseFile("huge.bin", size));
  EXPECT_EQ(Panel(0), "Size : 4194304 KBaytes");
  EXPECT_EQ(Panel(2), QString::fromStdString(tools::DumpSizeText(size)));
  dialogs.input_answers.push_back(QString("0x100000004"));
  Hex().GOTO1Click();
  EXPECT_EQ(Hex().InfoOffset->text(), "Offset: 4294967300 (0x100000004)");
  EXPECT_EQ(Selected(), "00");
  EXPECT_GT(Hex().memHex->TopLine(), 268435400);
  Press(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Selected(), "00 ");
}

TEST_F(HexViewerTest, CalculatorConvertsInPlace) {
  QLineEdit& value = *Calc().txtChislo;
  EXPECT_EQ(value.text(), "FF");
  Calc().btnDec->click();
  EXPECT_EQ(value.text(), "255");
  EXPECT_EQ(Calc().rgtyp->checkedId(), 1);
  Calc().btnChar->click();
  EXPECT_EQ(value.text(), QString(QChar(0xFF)));
  EXPECT_EQ(Calc().rgtyp->checkedId(), 2);
  Calc().btnHex->click();
  EXPECT_EQ(value.text(), "FF");
  EXPECT_EQ(Calc().rgtyp->checkedId(), 0);

  value.setText("ff");
  Calc().btnDec->click();
  EXPECT_EQ(value.text(), "ff");
  EXPECT_EQ(Calc().rgtyp->checkedId(), 1);
  // Not an integer: the error report, and nothing changes.
  Calc().btnHex->click();
  EXPECT_EQ(dialogs.errors, QStringList{"'ff' is not a valid integer value"});
  EXPECT_EQ(value.text(), "ff");
  EXPECT_EQ(Calc().rgtyp->checkedId(), 1);
  // No byte to show: a beep, and nothing changes.
  value.setText("300");
  Calc().btnHex->click();
  EXPECT_EQ(value.text(), "300");
  EXPECT_EQ(Calc().rgtyp->checkedId(), 1);
  EXPECT_EQ(dialogs.beeps, 1);
  Calc().btnChar->click();
  EXPECT_EQ(value.text(), ",");  // 300 keeps its low 8 bits: 44
}

}  // namespace
