#include "ui/file_list_model.h"

#include <QMimeData>
#include <algorithm>

#include "ui/byte_text.h"
#include "ui/file_type_icons.h"

int FileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return BytesToText(Entry(index.row()));
  if (role == Qt::DecorationRole) return FileTypeIcon(Entry(index.row()));
  return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractListModel::flags(index);
  if (drag_ && index.isValid()) flags |= Qt::ItemIsDragEnabled;
  if (drop_) flags |= Qt::ItemIsDropEnabled;
  return flags;
}

void FileListModel::SetEntries(std::vector<std::string> entries) {
  beginResetModel();
  entries_ = std::move(entries);
  endResetModel();
}

void FileListModel::Append(std::vector<std::string> entries) {
  if (entries.empty()) return;
  if (entries_.empty()) return SetEntries(std::move(entries));
  const int first = rowCount();
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(entries.size()) - 1);
  entries_.insert(entries_.end(), std::make_move_iterator(entries.begin()),
                  std::make_move_iterator(entries.end()));
  endInsertRows();
}

void FileListModel::SetDragAndDrop(DragData drag, Drop drop) {
  drag_ = std::move(drag);
  drop_ = std::move(drop);
}

QStringList FileListModel::mimeTypes() const {
  return {"text/uri-list", "x-special/gnome-copied-files"};
}

QMimeData* FileListModel::mimeData(const QModelIndexList& indexes) const {
  if (!drag_) return nullptr;
  std::vector<int> rows;
  for (const QModelIndex& index : indexes) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return drag_(rows);
}

Qt::DropActions FileListModel::supportedDropActions() const {
  return drop_ ? Qt::CopyAction | Qt::MoveAction : Qt::IgnoreAction;
}

Qt::DropActions FileListModel::supportedDragActions() const {
  return Qt::CopyAction | Qt::MoveAction;
}

bool FileListModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                    const QModelIndex&) const {
  return drop_ && data != nullptr && data->hasFormat("text/uri-list");
}

bool FileListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                 const QModelIndex&) {
  // The list's own entries stay where they are: the drop is the window's copy or move.
  return drop_ && drop_(data, action);
}
