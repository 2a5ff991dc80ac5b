#include "tools/batch_window.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/app.h"
#include "console/console_lists.h"
#include "console/dispatcher.h"
#include "console/variable_rules.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "tools/batch_rules.h"
#include "ui/byte_text.h"
#include "ui/guarded_slot.h"

namespace {

constexpr const char* kLegend =
    "Local varables and constants:\n"
    "\n"
    "$NUM = number,\n"
    "$OFN = Old filename,\n"
    "$EXT = Old extension\n"
    "\n"
    "External constants:";

constexpr const char* kBuiltInScript =
    "begin bwscript;\n"
    "\n"
    "//place your code here\n"
    "\n"
    "end;";

constexpr const char* kDefaultScript = "scr_def.bws";

// A script file's text for the editor, whatever its line ends.
QString ScriptText(const std::string& bytes) {
  QString text = BytesToText(bytes);
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  return text;
}

}  // namespace

TfrmBatch::TfrmBatch(App& app) : QWidget(nullptr, Qt::Window), app_(app) {
  setObjectName("frmBatch");
  QWidget* list_side = BuildListSide();
  Pages = new QTabWidget(this);
  sheettonombs = BuildNumberingPage();
  tbScript = BuildScriptPage();
  tbsstrRep = BuildReplacePage();
  Pages->addTab(sheettonombs, {});
  Pages->addTab(tbScript, {});
  Pages->addTab(tbsstrRep, {});
  Pages->setCurrentWidget(tbScript);  // the page shown when the window first opens

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_side, 3);
  layout->addWidget(Pages, 2);
  resize(760, 420);

  // The preview is computed once the pending events are through, so that a burst of changes
  // (a list filled entry by entry) costs one computation.
  preview_timer_ = new QTimer(this);
  preview_timer_->setSingleShot(true);
  preview_timer_->setInterval(0);
  const auto guard = ui::GuardedSlots(app_, this);
  connect(preview_timer_, &QTimer::timeout, this, guard(&TfrmBatch::UpdatePreview));
  QAbstractItemModel* list_model = filelest->model();
  connect(list_model, &QAbstractItemModel::rowsInserted, this, &TfrmBatch::SchedulePreview);
  connect(list_model, &QAbstractItemModel::rowsRemoved, this, &TfrmBatch::SchedulePreview);
  connect(list_model, &QAbstractItemModel::modelReset, this, &TfrmBatch::SchedulePreview);
  connect(list_model, &QAbstractItemModel::dataChanged, this, &TfrmBatch::SchedulePreview);
  connect(masktoren, &QLineEdit::textChanged, this, &TfrmBatch::SchedulePreview);
  connect(Pages, &QTabWidget::currentChanged, this, &TfrmBatch::SchedulePreview);

  const auto on = [&](auto* sender, auto signal, void (TfrmBatch::*handler)()) {
    connect(sender, signal, this, guard(handler));
  };
  on(butbtngo, &QPushButton::clicked, &TfrmBatch::butbtngoClick);
  on(btnDo, &QPushButton::clicked, &TfrmBatch::btnDoClick);
  on(btnVars, &QPushButton::clicked, &TfrmBatch::btnVarsClick);
  on(btnConsts, &QPushButton::clicked, &TfrmBatch::btnConstsClick);
  on(btnUndo, &QPushButton::clicked, &TfrmBatch::btnUndoClick);
  on(btnStop, &QPushButton::clicked, &TfrmBatch::btnStopClick);
  on(btnRun, &QToolButton::clicked, &TfrmBatch::btnRunClick);
  on(ToolButton2, &QToolButton::clicked, &TfrmBatch::ToolButton2Click);
  on(ToolButton1, &QToolButton::clicked, &TfrmBatch::ToolButton1Click);
  on(txtReplasewhat, &QLineEdit::textChanged, &TfrmBatch::txtReplasewhatChange);
  on(txtReplacewith, &QLineEdit::textChanged, &TfrmBatch::txtReplacewithChange);
}

TfrmBatch::~TfrmBatch() {
  // The child widgets outlive this body; the signals they send while closing (the file list's
  // model is reset) must not reach the half-destroyed window.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

QWidget* TfrmBatch::BuildListSide() {
  auto* side = new QWidget(this);
  filelest = new QListWidget(side);
  filelest->setUniformItemSizes(true);
  filelest->setSelectionMode(QAbstractItemView::ExtendedSelection);
  PreviewModel = new BatchPreviewModel(side);
  lstPreview = new QListView(side);
  lstPreview->setObjectName("lstPreview");
  lstPreview->setModel(PreviewModel);
  lstPreview->setUniformItemSizes(true);
  lstPreview->setSelectionMode(QAbstractItemView::NoSelection);
  lstPreview->setFocusPolicy(Qt::NoFocus);
  lblPreview = new QLabel(side);
  btnUndo = new QPushButton("Undo last run", side);
  btnUndo->setObjectName("btnUndo");

  // The two lists scroll together, so each new name stands beside its old one.
  QScrollBar* old_bar = filelest->verticalScrollBar();
  QScrollBar* new_bar = lstPreview->verticalScrollBar();
  connect(old_bar, &QScrollBar::valueChanged, new_bar, &QScrollBar::setValue);
  connect(new_bar, &QScrollBar::valueChanged, old_bar, &QScrollBar::setValue);

  auto* lists = new QHBoxLayout;
  lists->addWidget(filelest);
  lists->addWidget(lstPreview);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lblPreview, 1);
  bottom->addWidget(btnUndo);
  auto* layout = new QVBoxLayout(side);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(lists, 1);
  layout->addLayout(bottom);
  return side;
}

QWidget* TfrmBatch::BuildNumberingPage() {
  auto* page = new QWidget;
  maskto = new QLabel(page);
  masktoren = new QLineEdit("$NUM_$OFN", page);
  butbtngo = new QPushButton("------>>>", page);
  butbtngo->setDefault(true);
  btnVars = new QPushButton(page);
  btnConsts = new QPushButton(page);
  legend1 = new QPlainTextEdit(kLegend, page);
  legend1->setReadOnly(true);
  ProgressBar1 = new QProgressBar(page);
  ProgressBar1->setMinimum(0);
  ProgressBar1->setValue(0);
  btnStop = new QPushButton("Stop", page);
  btnStop->setObjectName("btnStop");
  btnStop->setEnabled(false);
  // Enter in the pattern box starts the run, as the page's default button does.
  connect(masktoren, &QLineEdit::returnPressed, butbtngo, &QPushButton::click);

  auto* layout = new QGridLayout(page);
  layout->addWidget(maskto, 0, 0);
  layout->addWidget(masktoren, 0, 1);
  layout->addWidget(butbtngo, 0, 2);
  layout->addWidget(legend1, 1, 0, 1, 3);
  layout->addWidget(btnVars, 2, 0);
  layout->addWidget(btnConsts, 2, 1);
  layout->addWidget(ProgressBar1, 3, 0, 1, 2);
  layout->addWidget(btnStop, 3, 2);
  return page;
}

QWidget* TfrmBatch::BuildScriptPage() {
  auto* page = new QWidget;
  auto* tools = new QToolBar(page);
  btnRun = new QToolButton(tools);
  btnRun->setText("Run");
  ToolButton2 = new QToolButton(tools);
  ToolButton2->setText("Open");
  ToolButton1 = new QToolButton(tools);
  ToolButton1->setText("Save");
  tools->addWidget(btnRun);
  tools->addWidget(ToolButton2);
  tools->addWidget(ToolButton1);
  memscript = new QPlainTextEdit(kBuiltInScript, page);
  memscript->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  memscript->setTabChangesFocus(false);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(tools);
  layout->addWidget(memscript);
  return page;
}

QWidget* TfrmBatch::BuildReplacePage() {
  auto* page = new QWidget;
  txtReplasewhat = new QLineEdit(page);
  lbl1 = new QLabel("- >", page);
  txtReplacewith = new QLineEdit(page);
  btnDo = new QPushButton(">", page);
  StatusBar1 = new QStatusBar(page);
  StatusBar1->setSizeGripEnabled(false);
  StatusPanel0 = new QLabel(StatusBar1);
  StatusPanel0->setMinimumWidth(50);
  StatusBar1->addWidget(StatusPanel0, 1);

  auto* row = new QHBoxLayout;
  row->addWidget(txtReplasewhat);
  row->addWidget(lbl1);
  row->addWidget(txtReplacewith);
  row->addWidget(btnDo);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(row);
  layout->addStretch();
  layout->addWidget(StatusBar1);
  return page;
}

void TfrmBatch::FormCreate() {
  setWindowTitle(app_.Str(25));
  Pages->setTabText(Pages->indexOf(sheettonombs), app_.Str(43));
  Pages->setTabText(Pages->indexOf(tbScript), app_.Str(44));
  Pages->setTabText(Pages->indexOf(tbsstrRep), app_.Str(95));
  maskto->setText(app_.Str(71));
  btnVars->setText(app_.Str(93));
  btnConsts->setText(app_.Str(94));

  // A variables file may be long: the legend is filled when the window is shown, not at every
  // start of the program (nor of a batch run, which never shows it).
  legend1->setPlainText(kLegend);
  legend_filled_ = false;
  if (isVisible()) FillLegend();
  SetReplaceStatus();
  // Without a default script the editor keeps what it holds.
  if (const auto script = platform::ReadWholeFile(app_.ProgramDir() + kDefaultScript)) {
    memscript->setPlainText(ScriptText(*script));
  }
  UpdateUndoButton();
}

void TfrmBatch::FillLegend() {
  // The legend starts again from its fixed lines, so filling it again does not list the
  // variables twice. A missing variables file leaves the fixed lines alone; the console warns
  // about it whenever a variable is expanded. The lines go in as one text, in one step.
  legend_filled_ = true;
  const auto vars = platform::ReadWholeFile(app_.ProgramDir() + console::kVarFileName);
  if (!vars) return;
  std::string text = kLegend;
  for (const std::string_view line : platform::SplitLineViews(*vars)) {
    text += '\n';
    text += line;
  }
  legend1->setPlainText(BytesToText(text));
}

void TfrmBatch::SetReplaceStatus() {
  StatusPanel0->setText("\"" + txtReplasewhat->text() + "\" to \"" + txtReplacewith->text() + "\"");
}

void TfrmBatch::txtReplasewhatChange() {
  SetReplaceStatus();
  SchedulePreview();
}

void TfrmBatch::txtReplacewithChange() {
  SetReplaceStatus();
  SchedulePreview();
}

void TfrmBatch::btnVarsClick() {
  app_.Show(app_.frmConsoleVars);
}

void TfrmBatch::btnConstsClick() {
  app_.ExecuteCommandLine("go($EXEdefvars.txt)");
}

void TfrmBatch::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!legend_filled_) FillLegend();
  // The directory may have changed while the window was hidden.
  dir_names_.Forget();
  UpdateUndoButton();
  SchedulePreview();
}

void TfrmBatch::AddEntries(const std::vector<std::string>& entries, const std::string& listed_dir) {
  QStringList texts;
  std::vector<QString> dirs;
  dirs.reserve(entries.size());
  for (const std::string& entry : entries) {
    const tools::BoundEntry bound = tools::BindEntry(listed_dir, entry);
    texts << BytesToText(bound.entry);
    dirs.push_back(BytesToText(bound.dir));
  }
  const int first = filelest->count();
  filelest->addItems(texts);  // one change to the list, however long the selection
  // The directories are not shown, so binding them need not announce a change of the list.
  const QSignalBlocker quiet(filelest->model());
  for (std::size_t i = 0; i < dirs.size(); ++i) {
    if (!dirs[i].isEmpty()) filelest->item(first + static_cast<int>(i))->setData(kDirRole, dirs[i]);
  }
}

void TfrmBatch::SetEntries(const std::vector<std::string>& entries, const std::string& listed_dir) {
  filelest->clear();
  AddEntries(entries, listed_dir);
}

void TfrmBatch::Number(const std::vector<std::string>& entries, const std::string& listed_dir,
                       const std::string& scheme) {
  AddEntries(entries, listed_dir);
  masktoren->setText(BytesToText(scheme));
  butbtngoClick();
}

bool TfrmBatch::ShowPage(long long page) {
  if (page < 0 || page >= Pages->count()) return false;
  Pages->setCurrentIndex(static_cast<int>(page));
  return true;
}

std::string TfrmBatch::EntryDir(int row, const std::string& fallback) const {
  const QVariant dir = filelest->item(row)->data(kDirRole);
  return dir.isValid() ? TextToBytes(dir.toString()) : fallback;
}

void TfrmBatch::SchedulePreview() {
  if (!running_ && isVisible()) preview_timer_->start();
}

void TfrmBatch::btnRunClick() {
  // The number of lines is taken once; each line goes to the dispatcher as it stands.
  const int count = memscript->document()->blockCount();
  for (int i = 0; i < count; ++i) {
    app_.ExecuteCommandLine(TextToBytes(memscript->document()->findBlockByNumber(i).text()));
  }
}

void TfrmBatch::ToolButton2Click() {
  setWindowTitle(app_.Str(44));
  const QString chosen =
      app_.dialogs().OpenFileName("Brackwell Script Files|*.bws|Text files|*.txt");
  if (chosen.isEmpty()) return;
  const std::string path = TextToBytes(chosen);
  const auto text = platform::ReadWholeFile(path);
  if (!text) throw std::runtime_error("Cannot open file \"" + path + "\"");
  memscript->setPlainText(ScriptText(*text));
  if (app_.dialogs().MessageBox(app_.Str(45), "?", MsgIcon::kQuestion, MsgButtons::kYesNo) ==
      MsgAnswer::kYes) {
    console::RunScriptFile(app_, path);
  }
}

void TfrmBatch::ToolButton1Click() {
  const QString chosen = app_.dialogs().SaveFileName("Brackwell Scripts|*.bws");
  if (chosen.isEmpty()) return;
  const std::string path = tools::ScriptSaveName(TextToBytes(chosen));
  // The editor's lines joined by CR LF, with no line end after the last one.
  QString text = memscript->toPlainText();
  text.replace('\n', "\r\n");
  platform::WriteFileAtomic(path, TextToBytes(text));
  app_.PrintLine("> BW Saved in \"" + path + "\"");
}
