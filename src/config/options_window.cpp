#include "config/options_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/app.h"
#include "app/main_window_api.h"
#include "config/lang_editor.h"
#include "config/options_rules.h"
#include "config/settings_rules.h"
#include "platform/enumerate.h"
#include "platform/file_ops.h"
#include "platform/profile.h"
#include "platform/text_file.h"
#include "ui/byte_text.h"
#include "ui/guarded_slot.h"

namespace {

QScrollBar* ColourBar(QWidget* parent) {
  auto* bar = new QScrollBar(Qt::Horizontal, parent);
  bar->setRange(0, 255);
  return bar;
}

QFrame* Preview(QWidget* parent) {
  auto* panel = new QFrame(parent);
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setAutoFillBackground(true);
  panel->setMinimumSize(40, 40);
  return panel;
}

void Paint(QFrame* panel, const QColor& colour) {
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, colour);
  panel->setPalette(palette);
}

// A colour part as the options window reads it: an integer (the key's default when the value is
// absent or no integer), brought into 0-255 by the bar it is shown on.
int ColourBarValue(const App& app, const config::TextKey& key) {
  const std::string text = app.Settings().Read(key);
  const long long value =
      platform::ParseProfileInt(text).value_or(platform::ParseProfileInt(key.def).value_or(0));
  return static_cast<int>(std::clamp<long long>(value, 0, 255));
}

// A colour group: red, green and blue bars above each other, the preview panel beside them.
QGroupBox* ColourGroup(QWidget* page, QScrollBar*& red, QScrollBar*& green, QScrollBar*& blue,
                       QFrame*& preview) {
  auto* group = new QGroupBox(page);
  red = ColourBar(group);
  green = ColourBar(group);
  blue = ColourBar(group);
  preview = Preview(group);
  auto* layout = new QGridLayout(group);
  layout->addWidget(red, 0, 0);
  layout->addWidget(green, 1, 0);
  layout->addWidget(blue, 2, 0);
  layout->addWidget(preview, 0, 1, 3, 1);
  return group;
}

}  // namespace

TOptionz::TOptionz(App& app) : QWidget(nullptr, Qt::Window), app_(app) {
  setObjectName("Optionz");
  Pages = new QTabWidget(this);
  InterfaceSheet = BuildInterfaceSheet();
  Confrimz = BuildConfrimz();
  Pages->addTab(InterfaceSheet, {});
  Pages->addTab(Confrimz, {});

  btnOk = new QPushButton("OK", this);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(btnOk);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Pages);
  layout->addLayout(bottom);

  const auto guard = ui::GuardedSlots(app_, this);
  for (QScrollBar* bar : {rCh, gCh, bCh, fr, fg, fb}) {
    connect(bar, &QScrollBar::valueChanged, this, guard(&TOptionz::UpdateColourPreviews));
  }
  connect(fontz, &QComboBox::currentIndexChanged, this, guard(&TOptionz::UpdateFontPreview));
  connect(fsize, &QComboBox::currentTextChanged, this, guard(&TOptionz::UpdateFontPreview));
  for (QCheckBox* box : {cb, ci, cu}) {
    connect(box, &QCheckBox::toggled, this, guard(&TOptionz::UpdateFontPreview));
  }
  testClr->installEventFilter(this);
  testfcolor->installEventFilter(this);
  connect(LNames, &QListWidget::itemSelectionChanged, this, guard(&TOptionz::LNamesClick));
  connect(btnLanEdit, &QPushButton::clicked, this, guard(&TOptionz::btnLanEditClick));
  connect(btnAdd, &QPushButton::clicked, this, guard(&TOptionz::btnAddClick));
  connect(btnremov, &QPushButton::clicked, this, guard(&TOptionz::btnremovClick));
  // Closing runs the closing steps through closeEvent, whatever closed the window.
  connect(btnOk, &QPushButton::clicked, this, [this] { close(); });
}

bool TOptionz::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == testClr) app_.Guarded([this] { testClrClick(); });
    if (watched == testfcolor) app_.Guarded([this] { testfcolorClick(); });
  }
  return QWidget::eventFilter(watched, event);
}

void TOptionz::closeEvent(QCloseEvent* event) {
  bool done = false;
  app_.Guarded([&] {
    FormClose();
    done = true;
  });
  // A setting that could not be written keeps the window open with every edit in it.
  if (done) {
    event->accept();
  } else {
    event->ignore();
  }
}

QWidget* TOptionz::BuildInterfaceSheet() {
  auto* page = new QWidget;

  bgClr = ColourGroup(page, rCh, gCh, bCh, testClr);
  FontColor = ColourGroup(page, fr, fg, fb, testfcolor);

  gFont = new QGroupBox(page);
  fontz = new QComboBox(gFont);
  cb = new QCheckBox("B", gFont);
  ci = new QCheckBox("I", gFont);
  cu = new QCheckBox("U", gFont);
  fsize = new QComboBox(gFont);
  fsize->setEditable(true);
  fsize->addItems(
      {"8", "10", "12", "14", "16", "18", "20", "22", "24", "26", "28", "32", "44", "72"});
  Label1 = new QLabel("BWv0.1", gFont);
  auto* font_layout = new QGridLayout(gFont);
  font_layout->addWidget(fontz, 0, 0, 1, 3);
  font_layout->addWidget(fsize, 0, 3);
  font_layout->addWidget(cb, 1, 0);
  font_layout->addWidget(ci, 1, 1);
  font_layout->addWidget(cu, 1, 2);
  font_layout->addWidget(Label1, 2, 0, 1, 4);

  Langvitsh = new QGroupBox(page);
  LNames = new QListWidget(Langvitsh);
  about = new QPlainTextEdit(Langvitsh);
  about->setReadOnly(true);
  btnLanEdit = new QPushButton(Langvitsh);
  auto* lang_layout = new QVBoxLayout(Langvitsh);
  lang_layout->addWidget(LNames);
  lang_layout->addWidget(about);
  lang_layout->addWidget(btnLanEdit);

  auto* layout = new QGridLayout(page);
  layout->addWidget(bgClr, 0, 0);
  layout->addWidget(FontColor, 1, 0);
  layout->addWidget(gFont, 2, 0);
  layout->addWidget(Langvitsh, 0, 1, 3, 1);
  return page;
}

QWidget* TOptionz::BuildConfrimz() {
  auto* page = new QWidget;
  onexit = new QCheckBox(page);
  ondel = new QCheckBox(page);
  chxTrash = new QCheckBox("Delete moves to the trash", page);
  chxTrash->setObjectName("chxTrash");
  chxConsoleClear = new QCheckBox(page);
  lblLogowhaid = new QLabel(page);
  logowhaid = new QLineEdit("2000", page);
  lblMs = new QLabel(page);

  GroupBox1 = new QGroupBox(page);
  faplist = new QListWidget(GroupBox1);
  btnAdd = new QPushButton("+", GroupBox1);
  btnremov = new QPushButton(QStringLiteral("\u2014"), GroupBox1);
  auto* fav_buttons = new QHBoxLayout;
  fav_buttons->addWidget(btnAdd);
  fav_buttons->addWidget(btnremov);
  fav_buttons->addStretch();
  auto* fav_layout = new QVBoxLayout(GroupBox1);
  fav_layout->addWidget(faplist);
  fav_layout->addLayout(fav_buttons);

  auto* wait_row = new QHBoxLayout;
  wait_row->addWidget(logowhaid);
  wait_row->addWidget(lblMs);
  wait_row->addStretch();
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(onexit);
  layout->addWidget(ondel);
  layout->addWidget(chxTrash);
  layout->addWidget(chxConsoleClear);
  layout->addWidget(lblLogowhaid);
  layout->addLayout(wait_row);
  layout->addWidget(GroupBox1);
  return page;
}

void TOptionz::FormCreate() {
  LNames->clear();
  hddnlist.clear();
  // The details belong to a selection that the cleared list no longer has.
  about->clear();
  setWindowTitle(app_.Str(15));
  Pages->setTabText(Pages->indexOf(InterfaceSheet), app_.Str(73));
  Pages->setTabText(Pages->indexOf(Confrimz), app_.Str(60));
  bgClr->setTitle(app_.Str(58));
  FontColor->setTitle(app_.Str(59));
  gFont->setTitle(app_.Str(74));
  Langvitsh->setTitle(app_.Str(56));
  btnLanEdit->setText(app_.Str(63));
  onexit->setText(app_.Str(62));
  ondel->setText(app_.Str(61));
  chxConsoleClear->setText(app_.Str(96));
  lblLogowhaid->setText(app_.Str(89));
  lblMs->setText(app_.Str(90));
  GroupBox1->setTitle(app_.Str(98));

  LoadFavourites();
  LoadColours();
  LoadFont();
  LoadConfirmations();
  UpdateColourPreviews();
  LoadLanguages();
}

QColor TOptionz::BackgroundColour() const {
  return QColor(rCh->value(), gCh->value(), bCh->value());
}

QColor TOptionz::TextColour() const {
  return QColor(fr->value(), fg->value(), fb->value());
}

void TOptionz::LoadFavourites() {
  faplist->clear();
  // A missing favapps.bw is an empty list: the file appears with the first favourite saved.
  const std::string file = app_.SettingsDir() + config::kFavAppsFileName;
  const auto text = platform::ReadWholeFile(file);
  favourites_loaded_ = text.has_value() || !platform::IsFileDirOrLink(file);
  if (!text) return;
  for (const std::string& line : platform::SplitLines(*text)) faplist->addItem(BytesToText(line));
}

void TOptionz::LoadColours() {
  namespace keys = config::keys;
  rCh->setValue(ColourBarValue(app_, keys::kBgcr));
  gCh->setValue(ColourBarValue(app_, keys::kBgcg));
  bCh->setValue(ColourBarValue(app_, keys::kBgcb));
  fr->setValue(ColourBarValue(app_, keys::kTtcr));
  fg->setValue(ColourBarValue(app_, keys::kTtcg));
  fb->setValue(ColourBarValue(app_, keys::kTtcb));
}

void TOptionz::LoadFont() {
  namespace keys = config::keys;
  const config::Settings settings = app_.Settings();
  fontz->clear();
  QStringList families = QFontDatabase::families();
  families.sort(Qt::CaseInsensitive);
  fontz->addItems(families);

  cb->setChecked(settings.ReadFlag(keys::kFontb));
  ci->setChecked(settings.ReadFlag(keys::kFonti));
  cu->setChecked(settings.ReadFlag(keys::kFontu));
  fsize->setCurrentText(QString::number(settings.Read(keys::kFsize)));

  const QString stored = BytesToText(settings.Read(keys::kFont));
  int index = fontz->findText(stored, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index < 0) {
    // The stored font is not installed here. Keep its name on offer, so that the name is
    // shown and is not lost when the settings are written back.
    fontz->insertItem(0, stored);
    index = 0;
  }
  fontz->setCurrentIndex(index);
  UpdateFontPreview();
}

void TOptionz::LoadConfirmations() {
  namespace keys = config::keys;
  const config::Settings settings = app_.Settings();
  onexit->setChecked(settings.ReadFlag(keys::kOnexit));
  ondel->setChecked(settings.ReadFlag(keys::kOndel));
  chxTrash->setChecked(settings.ReadFlag(keys::kTrash));
  const config::TextKey wait{keys::kLogowaid.section, keys::kLogowaid.key,
                             keys::kLogowaidOptionsDefault};
  logowhaid->setText(BytesToText(settings.Read(wait)));
  chxConsoleClear->setChecked(settings.ReadFlag(keys::kOncnclr));
}

void TOptionz::LoadLanguages() {
  const std::string lang_dir = app_.ProgramDir() + "Lang/";
  platform::EnumerateEntries(lang_dir + "*.ini", {}, [&](const platform::DirEntry& entry) {
    if (entry.is_dir) return;
    const std::string name =
        platform::ProfileReadString(lang_dir + entry.name, "info", "name", "Untitled");
    LNames->addItem(BytesToText(config::LanguageListLine(name, entry.name)));
    hddnlist.push_back(entry.name);
  });
}

void TOptionz::UpdateColourPreviews() {
  Paint(testClr, BackgroundColour());
  Paint(testfcolor, TextColour());
}

void TOptionz::UpdateFontPreview() {
  QFont font = Label1->font();
  font.setFamily(fontz->currentText());
  font.setBold(cb->isChecked());
  font.setItalic(ci->isChecked());
  font.setUnderline(cu->isChecked());
  // A size box that holds no whole number yet (the user is typing) keeps the previous size.
  bool ok = false;
  const int size = fsize->currentText().toInt(&ok);
  if (ok && size > 0) font.setPointSize(size);
  Label1->setFont(font);
}

void TOptionz::ChooseColour(QFrame* panel, QScrollBar* red, QScrollBar* green, QScrollBar* blue) {
  const auto colour = app_.dialogs().ChooseColor(panel->palette().color(QPalette::Window));
  if (!colour) return;
  red->setValue(colour->red());
  green->setValue(colour->green());
  blue->setValue(colour->blue());
  UpdateColourPreviews();
}

void TOptionz::testClrClick() {
  ChooseColour(testClr, rCh, gCh, bCh);
}

void TOptionz::testfcolorClick() {
  ChooseColour(testfcolor, fr, fg, fb);
}

std::string TOptionz::SelectedLanguageFile() const {
  const int row = LNames->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= hddnlist.size() ||
      !LNames->item(row)->isSelected()) {
    return {};
  }
  return hddnlist[static_cast<std::size_t>(row)];
}

void TOptionz::LNamesClick() {
  const std::string file = SelectedLanguageFile();
  if (file.empty()) return;
  const std::string path = app_.ProgramDir() + "Lang/" + file;
  const auto info = [&](const char* key, const char* def) {
    return BytesToText(platform::ProfileReadString(path, "info", key, def));
  };
  about->clear();
  about->appendPlainText(app_.Str(54) + ": " + info("author", "Anonymus"));
  about->appendPlainText(app_.Str(50) + ": " + info("date", "[N/A]"));
  about->appendPlainText(app_.Str(101) + " : " + info("comment", ""));
}

void TOptionz::btnLanEditClick() {
  // Without a selected language the editor opens as it stands, ready for a new language.
  const std::string file = SelectedLanguageFile();
  if (!file.empty()) app_.frmLangEdit->Load(app_.ProgramDir() + "Lang/" + file);
  app_.Show(app_.frmLangEdit);
}

void TOptionz::btnAddClick() {
  const QString chosen = app_.dialogs().OpenFileName("Programs|*");
  if (chosen.isEmpty()) return;
  const std::string path = TextToBytes(chosen);
  if (!platform::FileExists(path)) return;
  if (!config::IsFavouriteProgram(path, QFileInfo(chosen).isExecutable())) {
    app_.PrintLine("> Warning: Not a program: " + path);
    return;
  }
  faplist->addItem(chosen);
}

void TOptionz::btnremovClick() {
  QListWidgetItem* item = faplist->currentItem();
  if (item == nullptr || !item->isSelected()) return;
  delete faplist->takeItem(faplist->row(item));
}

void TOptionz::FormClose() {
  config::OptionValues values;
  values.background = {rCh->value(), gCh->value(), bCh->value()};
  values.text = {fr->value(), fg->value(), fb->value()};
  values.font = TextToBytes(fontz->currentText());
  values.fsize = TextToBytes(fsize->currentText());
  values.bold = cb->isChecked();
  values.italic = ci->isChecked();
  values.underline = cu->isChecked();
  values.ondel = ondel->isChecked();
  values.trash = chxTrash->isChecked();
  values.onexit = onexit->isChecked();
  values.logowaid = TextToBytes(logowhaid->text());
  values.oncnclr = chxConsoleClear->isChecked();
  const std::string language = SelectedLanguageFile();
  if (!language.empty()) values.language_file = language;
  config::WriteOptions(app_.Settings(), values);

  std::vector<std::string> favourites;
  for (int i = 0; i < faplist->count(); ++i)
    favourites.push_back(TextToBytes(faplist->item(i)->text()));
  const std::string file = app_.SettingsDir() + config::kFavAppsFileName;
  // An empty list shown for a file that could not be read must not replace that file.
  if (favourites_loaded_) {
    platform::WriteFileAtomic(file, platform::JoinLinesCrlf(favourites));
  } else {
    app_.PrintLine("> Warning: Favourite applications not saved, " + file + " could not be read");
  }
  // The main window's creation step reads its panels from the file: the panels on screen go
  // there first, so that closing this window keeps them as the user left them.
  const config::Settings settings = app_.Settings();
  const MainWindowApi& main = app_.Main();
  settings.WriteFlag(config::keys::kDirTree, main.PanelShown(MainWindowApi::Panel::kDirTree));
  settings.WriteFlag(config::keys::kBmatframe, main.PanelShown(MainWindowApi::Panel::kBookmarks));
  app_.RerunCreationSteps();
}

config::OptionChoices TOptionz::Choices() const {
  return {onexit->isChecked(),          ondel->isChecked(), chxTrash->isChecked(),
          chxConsoleClear->isChecked(), BackgroundColour(), TextColour()};
}

void TOptionz::SetAskOnExit(bool ask) {
  onexit->setChecked(ask);
}

void TOptionz::AddFavouriteApp(const QString& program) {
  faplist->addItem(program);
}
