#pragma once

// A list model over byte-string entries, for lists that may hold a million names. The view asks
// only for the rows it shows, so filling the model costs no text conversion at all.

#include <QAbstractListModel>
#include <functional>
#include <string>
#include <vector>

class FileListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Replaces every entry.
  void SetEntries(std::vector<std::string> entries);
  void Clear() { SetEntries({}); }
  // Adds entries at the end; into an empty model they are moved, not copied.
  void Append(std::vector<std::string> entries);

  // The order of the list: true when the first entry sorts before the second. The listing sorts
  // by it; InsertSorted puts one entry where it belongs. Without one, entries go at the end.
  using EntryLess = std::function<bool(const std::string&, const std::string&)>;
  void SetEntryLess(EntryLess less) { less_ = std::move(less); }
  // Inserts one entry at its place in the order; returns its row.
  int InsertSorted(std::string entry);

  const std::vector<std::string>& Entries() const { return entries_; }
  // The bytes of row `row`.
  const std::string& Entry(int row) const { return entries_[static_cast<std::size_t>(row)]; }

  // Drag and drop: what rows being dragged carry, and what a drop does (true when taken).
  using DragData = std::function<QMimeData*(const std::vector<int>& rows)>;
  using Drop = std::function<bool(const QMimeData* data, Qt::DropAction action)>;
  void SetDragAndDrop(DragData drag, Drop drop);
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDropActions() const override;
  Qt::DropActions supportedDragActions() const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

 private:
  std::vector<std::string> entries_;
  EntryLess less_;
  DragData drag_;
  Drop drop_;
};
