#pragma once

// A list model over byte-string entries, for lists that may hold a million names. The view asks
// only for the rows it shows, so filling the model costs no text conversion at all.

#include <QAbstractListModel>
#include <string>
#include <vector>

class FileListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Replaces every entry.
  void SetEntries(std::vector<std::string> entries);
  void Clear() { SetEntries({}); }
  // Adds entries at the end; into an empty model they are moved, not copied.
  void Append(std::vector<std::string> entries);

  const std::vector<std::string>& Entries() const { return entries_; }
  // The bytes of row `row`.
  const std::string& Entry(int row) const { return entries_[static_cast<std::size_t>(row)]; }

 private:
  std::vector<std::string> entries_;
};
