#pragma once

// The preview beside the batch list: each entry's new name as the pattern or the replace texts
// stand, with the names that cannot be used marked before anything touches the disk.

#include <QAbstractListModel>
#include <string>
#include <unordered_set>
#include <vector>

#include "tools/batch_rules.h"

class BatchPreviewModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  // Replaces every row at once; `names` are list texts (directories end in the delimiter).
  void Set(std::vector<std::string> names, std::vector<tools::NameProblem> problems);

  const std::vector<std::string>& Names() const { return names_; }
  const std::vector<tools::NameProblem>& Problems() const { return problems_; }
  // How many rows have a problem other than an unchanged name.
  int ProblemCount() const;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  std::vector<std::string> names_;
  std::vector<tools::NameProblem> problems_;
};

// The names in a directory, read again only when asked for another directory or after Forget().
class DirectoryNames {
 public:
  const std::unordered_set<std::string>& Of(const std::string& dir);
  void Forget() { valid_ = false; }

 private:
  std::string dir_;
  std::unordered_set<std::string> names_;
  bool valid_ = false;
};
