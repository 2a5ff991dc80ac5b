// The keys every Linux file manager gives its file list, and the status bar following the cursor.

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>

#include "app/app.h"
#include "app/main_window.h"
#include "ui/byte_text.h"
#include "ui/file_list_model.h"
#include "ui/guarded_slot.h"

namespace {

// Hands the list's key presses to the window before the view's own handling.
class FileListKeys : public QObject {
 public:
  FileListKeys(TForm1* form, App& app) : QObject(form->fList), form_(form), app_(app) {
    form->fList->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    bool used = false;
    app_.Guarded([&] { used = form_->fListKeyDown(key->key(), key->modifiers()); });
    return used;
  }

 private:
  TForm1* form_;
  App& app_;
};

}  // namespace

void TForm1::InstallFileListKeys() {
  new FileListKeys(this, app_);
  // Keys move the cursor as clicks do, and the third panel tells what is under it.
  connect(fList->selectionModel(), &QItemSelectionModel::currentChanged, this,
          ui::GuardedSlot(app_, this, &TForm1::fListClick));
}

bool TForm1::fListKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
  const bool plain = mods == Qt::NoModifier;
  const bool ctrl = mods == Qt::ControlModifier;
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && plain) {
    fListDblClick();
  } else if ((key == Qt::Key_Backspace && plain) ||
             (key == Qt::Key_Up && mods == Qt::AltModifier)) {
    btnUpOnDirClick();
  } else if (key == Qt::Key_Delete && plain) {
    // Several selected entries go as the menu's "delete selected" takes them, with its question.
    if (SelectedRows().size() > 1) {
      DeleteAll1Click();
    } else {
      Delete1Click();
    }
  } else if (key == Qt::Key_F2 && plain) {
    Rename1Click();
  } else if (key == Qt::Key_F5 && plain) {
    ScanDirectory1Click();
  } else if (key == Qt::Key_C && ctrl) {
    CopyToClipboard(false);
  } else if (key == Qt::Key_X && ctrl) {
    CopyToClipboard(true);
  } else if (key == Qt::Key_V && ctrl) {
    PasteFromClipboard();
  } else {
    return false;
  }
  return true;
}

void TForm1::SelectEntry(const std::string& name) {
  const std::vector<std::string>& entries = Entries();
  for (std::size_t row = 0; row < entries.size(); ++row) {
    if (entries[row] != name) continue;
    const QModelIndex index = fListModel->index(static_cast<int>(row));
    fList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    fList->scrollTo(index);
    return;
  }
}
