#include "ui/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <string>

#include "ui/byte_text.h"
#include "ui/title_fit.h"

namespace {

// "Name|*.a;*.b|Other|*.c" as Qt writes it: "Name (*.a *.b);;Other (*.c)".
QString QtFilter(const QString& filter) {
  if (filter.isEmpty()) return {};
  const QStringList parts = filter.split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << parts[i] + " (" + patterns + ")";
  }
  return out.join(";;");
}

// A filter of Windows program patterns ("*.exe;*.com;...") asks for programs, which here are
// executable files and desktop entries: no name pattern can say that, so a proxy model does.
bool IsProgramsFilter(const QString& filter) {
  return filter.contains("*.exe", Qt::CaseInsensitive);
}

class ProgramsOnly : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files == nullptr) return true;
    const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
    return info.isDir() || info.isExecutable() || info.suffix() == "desktop";
  }
};

QString OpenProgramName(const QString& filter) {
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(filter.section('|', 0, 0) + " (*)");
  dialog.setProxyModel(new ProgramsOnly(&dialog));
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles().value(0);
}

QMessageBox::Icon QtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::kError:
      return QMessageBox::Critical;
    case MsgIcon::kWarning:
      return QMessageBox::Warning;
    case MsgIcon::kQuestion:
      return QMessageBox::Question;
    case MsgIcon::kInformation:
      return QMessageBox::Information;
    case MsgIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

MsgAnswer QtDialogs::MessageBox(const QString& text, const QString& caption, MsgIcon icon,
                                MsgButtons buttons) {
  QMessageBox::StandardButtons shown = QMessageBox::Ok;
  if (buttons == MsgButtons::kYesNo) shown = QMessageBox::Yes | QMessageBox::No;
  if (buttons == MsgButtons::kYesNoCancel) {
    shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  QMessageBox box(QtIcon(icon), caption, text, shown);
  FitTitle(&box);
  const int result = box.exec();
  if (buttons == MsgButtons::kOk) return MsgAnswer::kOk;
  if (result == QMessageBox::Cancel) return MsgAnswer::kCancel;
  return result == QMessageBox::Yes ? MsgAnswer::kYes : MsgAnswer::kNo;
}

std::optional<QString> QtDialogs::InputBox(const QString& caption, const QString& prompt,
                                           const QString& initial) {
  QInputDialog dialog;
  dialog.setWindowTitle(caption);
  dialog.setLabelText(prompt);
  dialog.setTextValue(initial);
  // A name offered for editing has the part before its extension selected, as file managers do,
  // once the box is shown (showing it would select all of it).
  if (auto* edit = dialog.findChild<QLineEdit*>()) {
    const qsizetype dot = initial.lastIndexOf('.');
    const int length = static_cast<int>(dot > 0 ? dot : initial.size());
    QTimer::singleShot(0, edit, [edit, length] { edit->setSelection(0, length); });
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

QString QtDialogs::OpenFileName(const QString& filter, const QString& initial) {
  if (IsProgramsFilter(filter)) return OpenProgramName(filter);
  return QFileDialog::getOpenFileName(nullptr, {}, initial, QtFilter(filter));
}

QString QtDialogs::SaveFileName(const QString& filter, const QString& initial) {
  return QFileDialog::getSaveFileName(nullptr, {}, initial, QtFilter(filter));
}

std::optional<QColor> QtDialogs::ChooseColor(const QColor& initial) {
  const QColor c = QColorDialog::getColor(initial);
  if (!c.isValid()) return std::nullopt;
  return c;
}

std::optional<QFont> QtDialogs::ChooseFont(const QFont& initial) {
  bool ok = false;
  const QFont f = QFontDialog::getFont(&ok, initial);
  if (!ok) return std::nullopt;
  return f;
}

void QtDialogs::ErrorReport(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok);
  FitTitle(&box);
  box.exec();
}

void QtDialogs::Beep(bool) {
  QApplication::beep();
}

MsgAnswer ScriptedDialogs::MessageBox(const QString& text, const QString& caption, MsgIcon,
                                      MsgButtons buttons) {
  asked << "message: " + caption + ": " + text;
  MsgAnswer answer = buttons == MsgButtons::kOk ? MsgAnswer::kOk : MsgAnswer::kYes;
  if (!message_answers.empty()) {
    answer = message_answers.front();
    message_answers.pop_front();
  }
  return answer;
}

std::optional<QString> ScriptedDialogs::InputBox(const QString& caption, const QString& prompt,
                                                 const QString& initial) {
  asked << "input: " + caption + ": " + prompt;
  input_initials << initial;
  if (input_answers.empty()) return std::nullopt;
  auto answer = input_answers.front();
  input_answers.pop_front();
  return answer;
}

QString ScriptedDialogs::OpenFileName(const QString& filter, const QString& initial) {
  asked << "open: " + filter + (initial.isEmpty() ? QString() : ": " + initial);
  if (open_answers.empty()) return {};
  QString answer = open_answers.front();
  open_answers.pop_front();
  return answer;
}

QString ScriptedDialogs::SaveFileName(const QString& filter, const QString& initial) {
  asked << "save: " + filter + (initial.isEmpty() ? QString() : ": " + initial);
  if (save_answers.empty()) return {};
  QString answer = save_answers.front();
  save_answers.pop_front();
  return answer;
}

std::optional<QColor> ScriptedDialogs::ChooseColor(const QColor&) {
  asked << "color";
  if (color_answers.empty()) return std::nullopt;
  auto answer = color_answers.front();
  color_answers.pop_front();
  return answer;
}

std::optional<QFont> ScriptedDialogs::ChooseFont(const QFont&) {
  asked << "font";
  if (font_answers.empty()) return std::nullopt;
  auto answer = font_answers.front();
  font_answers.pop_front();
  return answer;
}

void ScriptedDialogs::ErrorReport(const QString& text) {
  errors << text;
}

void ScriptedDialogs::Beep(bool critical) {
  critical ? ++critical_beeps : ++beeps;
}

MsgAnswer BatchDialogs::MessageBox(const QString& text, const QString& caption, MsgIcon,
                                   MsgButtons buttons) {
  std::cerr << TextToBytes(caption) << ": " << TextToBytes(text) << std::endl;
  return buttons == MsgButtons::kOk ? MsgAnswer::kOk : MsgAnswer::kYes;
}

std::optional<QString> BatchDialogs::ReadAnswer() {
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return BytesToText(line);
}

std::optional<QString> BatchDialogs::InputBox(const QString&, const QString&, const QString&) {
  return ReadAnswer();
}

QString BatchDialogs::OpenFileName(const QString&, const QString&) {
  return ReadAnswer().value_or(QString());
}

QString BatchDialogs::SaveFileName(const QString&, const QString&) {
  return ReadAnswer().value_or(QString());
}

std::optional<QColor> BatchDialogs::ChooseColor(const QColor&) {
  return std::nullopt;
}

std::optional<QFont> BatchDialogs::ChooseFont(const QFont&) {
  return std::nullopt;
}

void BatchDialogs::ErrorReport(const QString& text) {
  std::cerr << "Error: " << TextToBytes(text) << std::endl;
  failed_ = true;
}

void BatchDialogs::Beep(bool) {}
