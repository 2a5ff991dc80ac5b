#include "export/html_file_list.h"

#include <QCheckBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTime>
#include <memory>
#include <stdexcept>
#include <utility>

#include "app/app.h"
#include "export/html_page_rules.h"
#include "export/small_css.h"
#include "platform/enumerate.h"
#include "platform/file_ops.h"
#include "platform/launch.h"
#include "platform/text_file.h"
#include "ui/byte_text.h"
#include "ui/guarded_slot.h"
#include "ui/window_flags.h"

namespace {

constexpr int kHeight = 226;
constexpr const char* kPageFilter = "HTML Files (*.htm;*.html)|*.htm;*.html";
constexpr const char* kProposedName = "FileList.htm";

// The format with every zone field ("t" outside quotes) replaced by the zone's text, quoted.
// Qt looks the time zone up again each time a format writes it, which would cost a file-system
// lookup per row; the zone of each time is known already.
QString WithZoneText(const QString& format, const QString& zone) {
  QString quoted_zone = zone;
  quoted_zone.replace('\'', "''");
  QString out;
  bool quoted = false;
  for (qsizetype i = 0; i < format.size(); ++i) {
    if (format[i] == '\'') {
      quoted = !quoted;
    } else if (!quoted && format[i] == 't') {
      while (i + 1 < format.size() && format[i + 1] == 't') ++i;
      out += '\'' + quoted_zone + '\'';
      continue;
    }
    out += format[i];
  }
  return out;
}

// The locale's short date and long time, as the rest of the program writes them.
html::DateFormat LocaleDateFormat() {
  const QLocale locale = QLocale::system();
  const QString time_format = locale.timeFormat(QLocale::LongFormat);
  // The format for the zone last seen; files of one directory mostly share one zone.
  auto zone_format = std::make_shared<std::pair<std::string, QString>>();
  return {[locale](int year, int month, int day) {
            return TextToBytes(locale.toString(QDate(year, month, day), QLocale::ShortFormat));
          },
          [locale, time_format, zone_format](int hour, int minute, int second,
                                             const std::string& zone) {
            if (zone_format->second.isEmpty() || zone_format->first != zone) {
              *zone_format = {zone, WithZoneText(time_format, BytesToText(zone))};
            }
            return TextToBytes(locale.toString(QTime(hour, minute, second), zone_format->second));
          }};
}

}  // namespace

TfrmHTMLFileList::TfrmHTMLFileList(App& app) : QWidget(nullptr, kDialogWindowFlags), app_(app) {
  setObjectName("frmHTMLFileList");
  setFixedSize(kNarrowWidth, kHeight);
  path = new QLineEdit(this);
  path->setReadOnly(true);
  path->setGeometry(8, 8, 280, 22);
  flFoolPath = new QCheckBox(this);
  flFoolPath->setGeometry(8, 38, 280, 20);
  flDate = new QCheckBox(this);
  flDate->setGeometry(8, 60, 280, 20);
  flSize = new QCheckBox(this);
  flSize->setGeometry(8, 82, 280, 20);
  title = new QLabel(this);
  title->setGeometry(8, 108, 280, 18);
  fTitle = new QLineEdit(this);
  fTitle->setGeometry(8, 128, 280, 22);
  btOK = new QPushButton("OK", this);
  btOK->setDefault(true);
  btOK->setGeometry(8, 160, 136, 26);
  btCancel = new QPushButton(this);
  btCancel->setGeometry(152, 160, 136, 26);
  btnstyles = new QPushButton(this);
  btnstyles->setGeometry(8, 192, 280, 26);
  Label1 = new QLabel(this);
  Label1->setGeometry(304, 8, 188, 18);
  lStyles = new QListWidget(this);
  lStyles->setGeometry(304, 28, 188, 158);
  btnSmall = new QPushButton(this);
  btnSmall->setGeometry(304, 192, 188, 26);

  const auto on_click = [this](QPushButton* button, void (TfrmHTMLFileList::*handler)()) {
    connect(button, &QPushButton::clicked, this, ui::GuardedSlot(app_, this, handler));
  };
  on_click(btOK, &TfrmHTMLFileList::btOKClick);
  on_click(btCancel, &TfrmHTMLFileList::btCancelClick);
  on_click(btnstyles, &TfrmHTMLFileList::btnstylesClick);
  on_click(btnSmall, &TfrmHTMLFileList::btnSmallClick);
}

void TfrmHTMLFileList::FormCreate() {
  lStyles->clear();
  setWindowTitle(app_.Str(26));
  flFoolPath->setText(app_.Str(48));
  flDate->setText(app_.Str(50));
  flSize->setText(app_.Str(49));
  title->setText(app_.Str(51));
  btCancel->setText(app_.Str(72));
  btnstyles->setText(app_.Str(52) + " > > >");
  Label1->setText(app_.Str(52));
  btnSmall->setText(app_.Str(68));
  // Ordinary files only: the default filter leaves hidden entries out, directories are skipped.
  platform::EnumerateEntries(app_.ProgramDir() + "FL/*.css", {},
                             [this](const platform::DirEntry& entry) {
                               if (!entry.is_dir) lStyles->addItem(BytesToText(entry.name));
                             });
}

std::optional<std::string> TfrmHTMLFileList::SelectedStyle() const {
  const QList<QListWidgetItem*> selected = lStyles->selectedItems();
  if (selected.isEmpty()) return std::nullopt;
  const std::string file = app_.ProgramDir() + "FL/" + TextToBytes(selected.front()->text());
  std::optional<std::string> text = platform::ReadWholeFile(file);
  if (!text) throw std::runtime_error("Cannot open file \"" + file + "\"");
  return text;
}

void TfrmHTMLFileList::btOKClick() {
  const QString target_text =
      app_.dialogs().SaveFileName(kPageFilter, path->text() + kProposedName);
  if (target_text.isEmpty()) return;
  const std::string target = TextToBytes(target_text);

  html::PageOptions options;
  options.path = TextToBytes(path->text());
  options.full_path = flFoolPath->isChecked();
  options.date = flDate->isChecked();
  options.size = flSize->isChecked();
  const std::optional<std::string> style = SelectedStyle();
  html::DateColumn dates(LocaleDateFormat());
  const std::string page = html::BuildFileListPage(
      html::ListPageFiles(options.path), options, TextToBytes(fTitle->text()), style,
      [&dates](std::int64_t mtime) { return dates.Text(mtime); });
  platform::WriteFileAtomic(target, page);

  platform::OpenDocument(target);
  close();
  app_.PrintLine("> File list: " + target);
}

void TfrmHTMLFileList::SetDirectory(const std::string& dir) {
  path->setText(BytesToText(dir));
}

void TfrmHTMLFileList::AddStyle(const QString& name) {
  if (lStyles->findItems(name, Qt::MatchExactly).isEmpty()) lStyles->addItem(name);
}

void TfrmHTMLFileList::btCancelClick() {
  app_.Show(app_.MainWidget());
  close();
}

void TfrmHTMLFileList::btnstylesClick() {
  setFixedSize(width() == kNarrowWidth ? kWideWidth : kNarrowWidth, height());
}

void TfrmHTMLFileList::btnSmallClick() {
  app_.Show(app_.frmSmallCss);
}
