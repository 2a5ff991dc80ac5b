#include "ui/dir_tree.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/enumerate.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "ui/byte_text.h"
#include "ui/pump_events.h"

namespace {

constexpr int kPathRole = Qt::UserRole;

// An absolute, lexically normal directory path without a final delimiter (the root keeps it).
std::string NormalDir(const std::string& path) {
  std::filesystem::path p(path);
  if (p.is_relative()) p = std::filesystem::path(platform::WorkingDir()) / p;
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == platform::kPathDelim) s.pop_back();
  return s.empty() ? std::string(1, platform::kPathDelim) : s;
}

}  // namespace

DirTreeList::DirTreeList(QWidget* parent, bool moves_working_dir)
    : QListWidget(parent), moves_working_dir_(moves_working_dir) {
  std::string start = platform::WorkingDir();
  dir_ = NormalDir(start.empty() ? std::string(1, platform::kPathDelim) : start);
  connect(this, &QListWidget::itemDoubleClicked, this, &DirTreeList::EnterItem);
}

void DirTreeList::SetDirectory(const std::string& path) {
  if (path == dir_) return;
  std::string target;
  if (platform::DirectoryExists(path)) {
    target = NormalDir(path);
  } else if (platform::FileExists(path)) {
    target = NormalDir(std::filesystem::path(path).parent_path().string());
  }
  if (!target.empty() && target != dir_) {
    dir_ = target;
    if (moves_working_dir_) platform::SetWorkingDir(dir_);
    stale_ = true;
    if (isVisible()) Rebuild();
  }
  emit Changed();
}

void DirTreeList::EnterOnClick() {
  connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    // Entering rebuilds the list, which must not happen inside the item's own signal.
    const std::string path = item->data(kPathRole).toByteArray().toStdString();
    QTimer::singleShot(0, this, [this, path] { SetDirectory(path); });
  });
}

void DirTreeList::showEvent(QShowEvent* event) {
  QListWidget::showEvent(event);
  if (stale_) Rebuild();
}

void DirTreeList::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
    EnterItem(currentItem());
    return;
  }
  QListWidget::keyPressEvent(event);
}

void DirTreeList::EnterItem(QListWidgetItem* item) {
  if (item == nullptr) return;
  const QByteArray path = item->data(kPathRole).toByteArray();
  SetDirectory(path.toStdString());
}

QListWidgetItem* DirTreeList::AddItem(const std::string& path, const std::string& name, int depth,
                                      int row) {
  auto* item = new QListWidgetItem(QString(depth * 2, ' ') + BytesToText(name));
  item->setData(kPathRole, QByteArray::fromStdString(path));
  insertItem(row < 0 ? count() : row, item);
  return item;
}

void DirTreeList::SubdirsChanged(const std::vector<std::string>& added,
                                 const std::vector<std::string>& removed) {
  if (stale_) return;  // rebuilt from the disk when next shown
  // The chain from the root holds one item per part of the path; the subdirectories follow it,
  // sorted by name.
  const auto parts = std::filesystem::path(dir_).relative_path();
  const int first = 1 + static_cast<int>(std::distance(parts.begin(), parts.end()));
  const auto path_of = [this](int row) { return item(row)->data(kPathRole).toByteArray(); };
  const auto sub_path = [this](const std::string& name) {
    return QByteArray::fromStdString((std::filesystem::path(dir_) / name).string());
  };
  for (const std::string& name : removed) {
    const QByteArray path = sub_path(name);
    for (int row = first; row < count(); ++row) {
      if (path_of(row) == path) {
        delete takeItem(row);
        break;
      }
    }
  }
  for (const std::string& name : added) {
    const QByteArray path = sub_path(name);
    int row = first;
    while (row < count() && path_of(row) < path) ++row;
    if (row < count() && path_of(row) == path) continue;
    AddItem(path.toStdString(), name, first, row);
  }
}

void DirTreeList::Refresh() {
  stale_ = true;
  if (!isVisible()) return;
  const int scrolled = verticalScrollBar()->value();
  Rebuild();
  verticalScrollBar()->setValue(scrolled);
}

void DirTreeList::Rebuild() {
  stale_ = false;
  clear();
  const auto add = [this](const std::string& path, const std::string& name, int depth) {
    return AddItem(path, name, depth);
  };
  // The chain from the root down to the current directory.
  std::string chain(1, platform::kPathDelim);
  QListWidgetItem* current = add(chain, chain, 0);
  int depth = 0;
  for (const auto& part : std::filesystem::path(dir_).relative_path()) {
    chain = (std::filesystem::path(chain) / part).string();
    current = add(chain, part.string(), ++depth);
  }
  setCurrentItem(current);
  // The subdirectories of the current directory, by name.
  // A directory of a million entries takes seconds to read: the window keeps painting.
  std::vector<std::string> subdirs;
  std::size_t read = 0;
  platform::EnumerateEntries(dir_ + (platform::IsRootDir(dir_) ? "" : "/") + "*",
                             platform::EnumOptions{}, [&](const platform::DirEntry& entry) {
                               if (entry.is_dir && entry.name != "." && entry.name != "..") {
                                 subdirs.push_back(entry.name);
                               }
                               if (++read % 256 == 0) PumpEvents(false);
                             });
  std::sort(subdirs.begin(), subdirs.end());
  for (const auto& name : subdirs) {
    add((std::filesystem::path(dir_) / name).string(), name, depth + 1);
  }
}
