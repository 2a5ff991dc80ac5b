#include "console/console_window.h"

#include <QDate>
#include <QLineEdit>
#include <QLocale>
#include <algorithm>
#include <ctime>

#include "app/app.h"
#include "app/main_window_api.h"
#include "console/console_lists.h"
#include "console/console_rules.h"
#include "platform/enumerate.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "ui/byte_text.h"
#include "ui/console_view.h"
#include "ui/key_filter.h"

namespace {

constexpr int kCommandHeight = 21;

// Formats last-write dates in the locale's short form, remembering the last day formatted:
// entries of one directory mostly share a handful of days.
class ShortDateCache {
 public:
  const std::string& Format(std::int64_t mtime) {
    std::tm local{};
    const std::time_t t = static_cast<std::time_t>(mtime);
    localtime_r(&t, &local);
    const int key = (local.tm_year << 9) | local.tm_yday;
    if (key != key_) {
      key_ = key;
      const QDate date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
      text_ = TextToBytes(QLocale::system().toString(date, QLocale::ShortFormat));
    }
    return text_;
  }

 private:
  int key_ = -1;
  std::string text_;
};

}  // namespace

TfrmConsole::TfrmConsole(App& app) : QWidget(nullptr, Qt::Tool), app_(app) {
  setObjectName("frmConsole");
  setGeometry(197, 110, 546, 499);
  textConsole = new ConsoleView(this);
  textConsole->setObjectName("textConsole");
  txtCommand = new QLineEdit(this);
  txtCommand->setObjectName("txtCommand");
  txtCommand->setFixedHeight(kCommandHeight);
  txtCommand->setText("help()");
  new KeyFilter(txtCommand, [this](int key) {
    bool used = false;
    app_.Guarded([&] { used = txtCommandKeyDown(key); });
    return used;
  });
  setFocusProxy(txtCommand);
  // The initial text, top line first.
  textConsole->PrintLine("> Hint: Press F3 to view all avable commands");
  textConsole->PrintLine("> Hint:  Type \"help()\" to see console help");
  FormResize();
}

void TfrmConsole::FormCreate() {
  setWindowTitle(app_.Str(84));
}

void TfrmConsole::FormResize() {
  txtCommand->setGeometry(0, height() - kCommandHeight, width(), kCommandHeight);
  textConsole->setGeometry(0, 0, width(), height() - kCommandHeight);
}

void TfrmConsole::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The command line takes the keys whenever the window opens, so Enter at once runs "help()".
  txtCommand->setFocus();
}

void TfrmConsole::SetReadOnly(bool read_only) {
  textConsole->SetReadOnly(read_only);
}

std::string TfrmConsole::FontFace() const {
  return TextToBytes(textConsole->FontFace());
}

void TfrmConsole::SetFontFace(const std::string& face) {
  textConsole->SetFontFace(BytesToText(face));
}

void TfrmConsole::SetTitle(const std::string& title) {
  setWindowTitle(title.empty() ? app_.Str(84) : BytesToText(title) + " - " + app_.Str(84));
}

void TfrmConsole::HideWindow() {
  hide();
}

void TfrmConsole::SetCommandBeforeParen(const QString& text) {
  txtCommand->setText(text);
  txtCommand->setCursorPosition(static_cast<int>(text.size()) - 1);
}

void TfrmConsole::InsertInCommandLine(const QString& text) {
  txtCommand->insert(text);
}

void TfrmConsole::RememberCommand(const std::string& name) {
  LastCommand = name;
}

void TfrmConsole::PlaceBeside(QWidget* helper) const {
  const QRect frame = frameGeometry();
  helper->move(frame.left() + frame.width(), frame.top());
  helper->resize(helper->width(), height());
}

void TfrmConsole::ReturnToCommandLine() {
  if (!isVisible()) return;
  raise();
  activateWindow();
  txtCommand->setFocus();
}

void TfrmConsole::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

void TfrmConsole::PrintLine(std::string_view text) {
  textConsole->PrintLine(std::string(text));
  app_.EchoLine(text);
}

void TfrmConsole::AppendTextFile(const std::string& file_name) {
  const auto text = platform::ReadWholeFile(file_name);
  if (!text) {
    PrintLine("> Error: ???");
    return;
  }
  for (std::string& line : platform::SplitLines(*text)) {
    app_.EchoLine(line);
    textConsole->AppendLine(std::move(line));
  }
}

void TfrmConsole::ListFiles(const std::string& prefix) {
  ShortDateCache dates;
  platform::EnumOptions options;
  options.filter = platform::EntryFilter::kAll;
  options.details = true;
  std::vector<platform::DirEntry> listed;
  platform::EnumerateEntries(prefix + app_.FileMask, options,
                             [&](const platform::DirEntry& entry) { listed.push_back(entry); });
  // "." and ".." lead, as the enumeration gives them; the rest in the file list's order.
  const auto rest = std::stable_partition(listed.begin(), listed.end(), [](const auto& entry) {
    return entry.name == "." || entry.name == "..";
  });
  const app::EntryOrder order = app_.Main().ListOrder();
  std::vector<std::pair<app::EntryOrder::Key, const platform::DirEntry*>> keyed;
  for (auto it = rest; it != listed.end(); ++it) {
    keyed.emplace_back(order.MakeKey(it->is_dir ? it->name + "/" : it->name, {it->size, it->mtime}),
                       &*it);
  }
  std::sort(keyed.begin(), keyed.end(),
            [&](const auto& a, const auto& b) { return order.Less(a.first, b.first); });
  std::string line;
  const auto print = [&](const platform::DirEntry& entry) {
    console::FormatListingLine(line, entry.name, entry.size, dates.Format(entry.mtime));
    PrintLine(line);
  };
  for (auto it = listed.begin(); it != rest; ++it) print(*it);
  for (const auto& [key, entry] : keyed) print(*entry);
}

void TfrmConsole::SaveConsoleText(const std::string& file_name) {
  if (file_name.empty()) {
    PrintLine("> Error: Can't save file to nowhere");
    return;
  }
  platform::WriteFileAtomic(file_name, platform::JoinLinesCrlf(textConsole->Lines()));
  PrintLine("> Saved: " + file_name);
}

void TfrmConsole::ClearConsoleText() {
  if (app_.Choices().ask_before_clear &&
      app_.dialogs().MessageBox("Clear console messages?", app_.Str(2), MsgIcon::kQuestion,
                                MsgButtons::kYesNo) != MsgAnswer::kYes) {
    return;
  }
  textConsole->Clear();
}

bool TfrmConsole::txtCommandKeyDown(int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      const std::string line = TextToBytes(txtCommand->text());
      app_.ExecuteCommandLine(line);
      txtCommand->clear();
      return true;
    }
    case Qt::Key_Up:
      txtCommand->setText(BytesToText(LastCommand + "()"));
      txtCommand->setCursorPosition(static_cast<int>(txtCommand->text().size()));
      return true;
    case Qt::Key_F3:
      app_.Show(app_.frmConsoleComs);
      return true;
    case Qt::Key_F2:
      app_.Show(app_.frmConsoleVars);
      return true;
    case Qt::Key_F4: {
      TfrmComz* popup = app_.frmComz;
      // Directly below the console's frame, so that the command line stays in sight.
      const QRect frame = frameGeometry();
      popup->move(frame.left(), frame.top() + frame.height());
      app_.Show(popup);
      popup->Offer(console::CompletionsFor(TextToBytes(txtCommand->text())));
      return true;
    }
    default:
      return false;
  }
}
