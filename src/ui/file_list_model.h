#pragma once

// A list model over byte-string entries, for lists that may hold a million names. The view asks
// only for the rows it shows, so filling the model costs no text conversion at all.

#include <QAbstractListModel>
#include <functional>
#include <string>
#include <utility>
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

  // Whether entry `a` goes before entry `b`. An inserted entry goes after every entry that does
  // not go after it; with no order set it goes at the end.
  using EntryOrder = std::function<bool(const std::string& a, const std::string& b)>;
  void SetOrder(EntryOrder before) { before_ = std::move(before); }
  // Runs the sorting that placing many entries takes; a window runs it beside its event loop so
  // that it keeps painting. Without one it runs at once.
  using WorkRunner = std::function<void(const std::function<void()>& work)>;
  void SetWorkRunner(WorkRunner run) { run_work_ = std::move(run); }

  // Changes that happened on disk, applied without listing again: entries that stay keep the
  // cursor, the selection and the scroll position. Removing an absent entry and adding a present
  // one change nothing; a rename of an absent entry adds the new name.
  void ApplyChanges(const std::vector<std::string>& removed,
                    const std::vector<std::pair<std::string, std::string>>& renamed,
                    std::vector<std::string> added);
  void InsertEntry(std::string entry) { ApplyChanges({}, {}, {std::move(entry)}); }
  void RemoveEntry(const std::string& entry) { ApplyChanges({entry}, {}, {}); }
  void RenameEntry(const std::string& from, std::string to) {
    ApplyChanges({}, {{from, std::move(to)}}, {});
  }
  // Makes the entries those of `listed`, a new listing of the same directory, by the changes
  // between the two, so that what stays keeps its place. `each_entry` runs after every entry
  // compared, so that a caller can keep its window painting through a huge directory.
  void Reconcile(std::vector<std::string> listed, const std::function<void()>& each_entry = {});

  // The row of an entry, -1 when it is not listed.
  int Find(const std::string& entry) const;

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
  void ApplyRows(const std::vector<bool>& removed_rows,
                 const std::vector<std::pair<int, std::string>>& renamed_rows,
                 std::vector<std::string> added);
  // Whether the entries, once in order (sorted here), all go after the last listed one.
  bool GoAtTheEnd(std::vector<std::string>& added) const;
  // Whether `entry` may take the place of row `row` under the order.
  bool StaysInPlace(int row, const std::string& entry) const;
  void InsertOne(std::string entry);
  void RebuildWith(const std::vector<bool>& removed_rows,
                   const std::vector<std::pair<int, std::string>>& renamed_rows,
                   std::vector<std::string> added);

  std::vector<std::string> entries_;
  void RunWork(const std::function<void()>& work) const { run_work_ ? run_work_(work) : work(); }

  EntryOrder before_;
  WorkRunner run_work_;
  DragData drag_;
  Drop drop_;
};
