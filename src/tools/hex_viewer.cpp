#include "tools/hex_viewer.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "app/app.h"
#include "app/main_window_api.h"
#include "config/options_window.h"
#include "console/console_window.h"
#include "platform/file_ops.h"
#include "platform/file_reader.h"
#include "platform/paths.h"
#include "tools/hex_calc.h"
#include "tools/hex_parallel_rules.h"
#include "ui/byte_text.h"
#include "ui/guarded_slot.h"
#include "ui/loading.h"
#include "ui/pump_events.h"

namespace {

constexpr int kProgressSteps = 1000;
// The status panels' widths before a file is shown; they grow to fit its texts.
constexpr int kPanelWidths[3] = {100, 150, 50};

// Gives the viewer's menu keys to the viewer while the dump has the keyboard: the key is taken
// before any shortcut lookup, so the main window's Ctrl+F (Find Files) never competes with the
// viewer's own, whatever the window manager says about which window is active.
class ViewerKeys : public QObject {
 public:
  ViewerKeys(QWidget* dump, std::vector<QAction*> actions)
      : QObject(dump), actions_(std::move(actions)) {
    dump->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const bool override_event = event->type() == QEvent::ShortcutOverride;
    if (!override_event && event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (QAction* action : actions_) {
      if (action->shortcut().isEmpty() || action->shortcut() != pressed) continue;
      event->accept();
      if (!override_event) action->trigger();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::vector<QAction*> actions_;
};

// Hands the keyboard back to the dump when a handler ends, however it ends: after a dialog
// the window manager would otherwise give it to the main window.
struct FocusBackToDump {
  QWidget* window;
  QWidget* dump;
  ~FocusBackToDump() {
    if (!window->isVisible()) return;
    window->activateWindow();
    dump->setFocus(Qt::OtherFocusReason);
  }
};

}  // namespace

tools::StreamResult SaveDumpFile(const tools::ByteReader& read, std::int64_t size,
                                 const std::string& path, const tools::KeepGoing& keep_going) {
  platform::AtomicFileWriter writer;
  if (!writer.Open(path) || !writer.Reserve(tools::DumpTextLength(size))) {
    return tools::StreamResult::kWriteError;
  }
  const tools::StreamResult result = tools::WriteDumpParallel(
      read, size,
      [&writer](std::int64_t position, std::string_view text) {
        return writer.WriteAt(position, text);
      },
      [&writer, &keep_going](std::int64_t done) {
        // The text of the bytes done is all written: its write-out to the disk can begin.
        writer.WrittenUpTo(tools::DumpTextLength(done));
        return keep_going(done);
      });
  if (result != tools::StreamResult::kDone) return result;  // the writer drops its file
  return writer.Commit() ? result : tools::StreamResult::kWriteError;
}

TfrmHexEditor::TfrmHexEditor(App& app)
    : QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), app_(app) {
  setObjectName("frmHexEditor");
  hexmenu = new QMenuBar(this);
  SAVE1 = hexmenu->addAction(QString());
  ABORT1 = hexmenu->addAction(QString());
  CALC1 = hexmenu->addAction(QString());
  GOTO1 = hexmenu->addAction("Go to...");
  GOTO1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  FIND1 = hexmenu->addAction("Find...");
  FIND1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  FINDNEXT1 = hexmenu->addAction("Find next");
  FINDNEXT1->setShortcut(QKeySequence(Qt::Key_F3));
  for (QAction* action : {GOTO1, FIND1, FINDNEXT1}) {
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(action);
  }

  lblFile = new QLabel(this);
  lblFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
  memHex = new HexDumpView(this);
  memHex->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font("Courier New");
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setBold(true);
  memHex->setFont(font);
  Progresss = new QProgressBar(this);
  Progresss->setTextVisible(false);
  Progresss->setValue(0);

  InfoFile = new QStatusBar(this);
  for (int i = 0; i < 3; ++i) {
    InfoPanel[i] = new QLabel(InfoFile);
    InfoPanel[i]->setMinimumWidth(kPanelWidths[i]);
    InfoFile->addWidget(InfoPanel[i]);
  }
  InfoOffset = new QLabel(InfoFile);
  InfoFile->addPermanentWidget(InfoOffset);

  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(hexmenu);
  layout->addWidget(lblFile);
  layout->addWidget(memHex);
  layout->addWidget(Progresss);
  layout->addWidget(InfoFile);
  // Wider than the classic 576 pixels so that the status bar has room for the offset panel.
  resize(680, 447);

  const auto guard = ui::GuardedSlots(app_, this);
  const auto on = [&](QAction* action, void (TfrmHexEditor::*handler)()) {
    connect(action, &QAction::triggered, this, guard(handler));
  };
  on(SAVE1, &TfrmHexEditor::SAVE1Click);
  on(ABORT1, &TfrmHexEditor::ABORT1Click);
  on(CALC1, &TfrmHexEditor::CALC1Click);
  on(GOTO1, &TfrmHexEditor::GOTO1Click);
  on(FIND1, &TfrmHexEditor::FIND1Click);
  on(FINDNEXT1, &TfrmHexEditor::FINDNEXT1Click);
  new ViewerKeys(memHex, {SAVE1, ABORT1, CALC1, GOTO1, FIND1, FINDNEXT1});
  memHex->on_mouse_down = [this](std::int64_t caret) {
    app_.Guarded([&] { memHexMouseDown(caret); });
  };
  connect(memHex, &HexDumpView::selectionChanged, this, [this] { ShowSelectedOffset(); });
}

void TfrmHexEditor::FormCreate() {
  setWindowTitle(app_.Str(27));
  SAVE1->setText(app_.Str(69));
  ABORT1->setText(app_.Str(70));
  CALC1->setText(app_.Str(88));
  // The options window is created before this one; its previews hold the configured colours.
  if (app_.Optionz != nullptr) {
    QPalette palette = memHex->palette();
    const config::OptionChoices choices = app_.Choices();
    palette.setColor(QPalette::Base, choices.background);
    palette.setColor(QPalette::Text, choices.text);
    memHex->setPalette(palette);
  }
}

void TfrmHexEditor::LoadHexDump(const std::string& path) {
  // A save or search still running belongs to the dump being replaced.
  if (busy_) abort_requested_ = true;
  if (!platform::FileExists(path)) {
    app_.dialogs().MessageBox(app_.Str(82) + "\n" + BytesToText(path), app_.Str(1), MsgIcon::kError,
                              MsgButtons::kOk);
    app_.PrintLine("> Error: " + path + " No such file or not file at all");
    app_.Show(app_.frmConsole);
    return;
  }
  loaded_path_ = path;
  lblFile->setText(BytesToText(path));
  memHex->clear();
  app_.PrintLine("Opening \"" + path + "\"");
  app_.PrintLine("Loading hex data...");
  LoadingIndicator loading(app_);
  const auto info = platform::StatFile(path);
  app_.PrintLine("Size: " + std::to_string(info ? info->size : 0) + " bytes..");
  std::shared_ptr<const platform::RandomAccessFile> file = platform::RandomAccessFile::Open(path);
  const std::int64_t size = file ? file->Size() : (info ? info->size : 0);
  InfoPanel[0]->setText(QString::fromStdString(tools::SizePanelText(size)));
  FitPanels(size);
  Progresss->setRange(0, kProgressSteps);
  Progresss->setValue(0);
  // The first screen is read now, so that a file that cannot be read is reported here.
  std::string first(static_cast<std::size_t>(std::min<std::int64_t>(size, 4096)), '\0');
  if (!file || file->ReadAt(0, first.data(), static_cast<std::int64_t>(first.size())) !=
                   static_cast<std::int64_t>(first.size())) {
    app_.PrintLine("> Error: Input/Output Error!");
    return;
  }
  memHex->SetFile(std::move(file), size);
  ShowLoadedPanels();
  loading.Hide();
  app_.PrintLine("> OK");
}

void TfrmHexEditor::FitPanels(std::int64_t size) {
  // Each panel is as wide as the longest text it shows for this file, in the font and scale on
  // screen, so no text is cut; the window widens when the panels need more room.
  const std::string longest[3] = {tools::SizePanelText(size), tools::CountPanelText(size, size),
                                  tools::DumpSizeText(size)};
  for (int i = 0; i < 3; ++i) {
    const QFontMetrics metrics(InfoPanel[i]->font());
    InfoPanel[i]->setMinimumWidth(
        std::max(kPanelWidths[i], metrics.horizontalAdvance(QString::fromStdString(longest[i])) +
                                      metrics.averageCharWidth()));
  }
  const int wanted = layout()->minimumSize().width();
  if (wanted > width()) resize(wanted, height());
}

void TfrmHexEditor::ShowLoadedPanels() {
  if (!memHex->HasDump()) return;
  const std::int64_t size = memHex->FileSize();
  InfoPanel[1]->setText(QString::fromStdString(tools::CountPanelText(size, size)));
  InfoPanel[2]->setText(QString::fromStdString(tools::DumpSizeText(size)));
  Progresss->setValue(Progresss->maximum());
}

void TfrmHexEditor::ShowSelectedOffset() {
  const auto offset = memHex->SelectedByte();
  InfoOffset->setText(offset ? QString::fromStdString(tools::OffsetText(*offset)) : QString());
}

void TfrmHexEditor::RunJob(const std::function<void(const tools::KeepGoing&)>& work) {
  busy_ = true;
  abort_requested_ = false;
  // Whatever way the work ends, the window is idle again and shows the dump's panels.
  struct Idle {
    TfrmHexEditor* window;
    ~Idle() {
      window->busy_ = false;
      window->abort_requested_ = false;
      window->ShowLoadedPanels();
    }
  } idle{this};
  LoadingIndicator loading(app_);
  const std::int64_t size = memHex->FileSize();
  Progresss->setRange(0, kProgressSteps);
  Progresss->setValue(0);
  work([this, size](std::int64_t done) {
    InfoPanel[1]->setText(QString::fromStdString(tools::CountPanelText(size, done)));
    InfoPanel[2]->setText(QString::fromStdString(tools::PercentText(done, size)));
    Progresss->setValue(size > 0 ? static_cast<int>(done * kProgressSteps / size) : 0);
    PumpEvents();
    return !abort_requested_;
  });
}

void TfrmHexEditor::ClearDump() {
  memHex->clear();
}

void TfrmHexEditor::SAVE1Click() {
  const FocusBackToDump focus{this, memHex};
  if (busy_ || !memHex->HasDump()) return;
  // The dialog opens in the main window's directory and proposes the viewed file's name.
  std::string directory;
  if (app_.Form1 != nullptr) directory = platform::DirName(app_.Main().ListedPath());
  const QString chosen = app_.dialogs().SaveFileName(
      "Text Files (*.txt)|*.txt",
      BytesToText(directory + platform::BaseName(loaded_path_) + ".txt"));
  if (chosen.isEmpty()) return;
  SaveDump(TextToBytes(chosen));
}

void TfrmHexEditor::SaveDump(const std::string& path) {
  if (busy_ || !memHex->HasDump()) return;
  const tools::ByteReader read = memHex->Reader();
  const std::int64_t size = memHex->FileSize();
  tools::StreamResult result = tools::StreamResult::kDone;
  RunJob([&](const tools::KeepGoing& keep_going) {
    result = SaveDumpFile(read, size, path, keep_going);
  });
  switch (result) {
    case tools::StreamResult::kDone:
      break;
    case tools::StreamResult::kAborted:
      app_.PrintLine("> Warning: Saving aborted!");
      break;
    case tools::StreamResult::kReadError:
      app_.PrintLine("> Error: Input/Output Error!");
      break;
    case tools::StreamResult::kWriteError:
      throw std::runtime_error("Unable to write to " + path);
  }
}

void TfrmHexEditor::ABORT1Click() {
  // A request while nothing runs is dropped, so it cannot stop the next piece of work.
  if (busy_) abort_requested_ = true;
}

void TfrmHexEditor::CALC1Click() {
  if (memHex->SelectionLength() == 2) {
    if (const auto text = memHex->SelectedText()) return app_.OpenHexCalc(*text);
  }
  app_.OpenHexCalc(std::nullopt);
}

void TfrmHexEditor::memHexMouseDown(std::int64_t caret) {
  memHex->SetSelection(caret, 2);
}

void TfrmHexEditor::GOTO1Click() {
  const FocusBackToDump focus{this, memHex};
  if (busy_ || !memHex->HasDump()) return;
  const auto answer =
      app_.dialogs().InputBox("Go to", "Offset (decimal, or hexadecimal with 0x):", QString());
  if (!answer) return;
  const auto offset = tools::ParseOffset(TextToBytes(*answer));
  if (!offset || *offset >= memHex->FileSize()) {
    app_.dialogs().MessageBox("There is no byte at offset " + *answer, app_.Str(1), MsgIcon::kError,
                              MsgButtons::kOk);
    return;
  }
  memHex->SetSelection(tools::DumpBytePosition(*offset), 2);
}

void TfrmHexEditor::FIND1Click() {
  const FocusBackToDump focus{this, memHex};
  if (busy_ || !memHex->HasDump()) return;
  const auto answer = app_.dialogs().InputBox(
      "Find", "Bytes in hexadecimal (4D 5A) or text:", BytesToText(find_text_));
  if (!answer) return;
  const auto pattern = tools::ParseFindPattern(TextToBytes(*answer));
  if (!pattern) return;
  find_text_ = TextToBytes(*answer);
  find_pattern_ = *pattern;
  FindFrom(memHex->SelectedByte().value_or(0));
}

void TfrmHexEditor::FINDNEXT1Click() {
  const FocusBackToDump focus{this, memHex};
  if (find_pattern_.empty()) {
    FIND1Click();
    return;
  }
  if (busy_ || !memHex->HasDump()) return;
  const auto selected = memHex->SelectedByte();
  FindFrom(selected ? *selected + 1 : 0);
}

void TfrmHexEditor::FindFrom(std::int64_t offset) {
  const tools::ByteReader read = memHex->Reader();
  const std::int64_t size = memHex->FileSize();
  tools::FindOutcome outcome;
  RunJob([&](const tools::KeepGoing& keep_going) {
    outcome = tools::FindBytes(read, size, find_pattern_, offset, keep_going);
  });
  switch (outcome.status) {
    case tools::FindStatus::kFound: {
      const std::int64_t from = tools::DumpBytePosition(outcome.offset);
      const std::int64_t last =
          outcome.offset + static_cast<std::int64_t>(find_pattern_.size()) - 1;
      memHex->SetSelection(from, tools::DumpBytePosition(last) + 2 - from);
      break;
    }
    case tools::FindStatus::kNotFound:
      app_.dialogs().MessageBox("Not found: " + BytesToText(find_text_), app_.Str(1),
                                MsgIcon::kInformation, MsgButtons::kOk);
      break;
    case tools::FindStatus::kAborted:
      app_.PrintLine("> Warning: Search aborted!");
      break;
    case tools::FindStatus::kReadError:
      app_.PrintLine("> Error: Input/Output Error!");
      break;
  }
}
