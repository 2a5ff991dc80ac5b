#include "tools/batch_preview.h"

#include <QBrush>
#include <QColor>

#include "platform/enumerate.h"
#include "platform/paths.h"
#include "ui/byte_text.h"

void BatchPreviewModel::Set(std::vector<std::string> names,
                            std::vector<tools::NameProblem> problems) {
  beginResetModel();
  names_ = std::move(names);
  problems_ = std::move(problems);
  problems_.resize(names_.size(), tools::NameProblem::kNone);
  endResetModel();
}

int BatchPreviewModel::ProblemCount() const {
  int count = 0;
  for (tools::NameProblem p : problems_) {
    if (p != tools::NameProblem::kNone && p != tools::NameProblem::kUnchanged) ++count;
  }
  return count;
}

int BatchPreviewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(names_.size());
}

QVariant BatchPreviewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  const tools::NameProblem problem = problems_[row];
  const bool bad =
      problem != tools::NameProblem::kNone && problem != tools::NameProblem::kUnchanged;
  switch (role) {
    case Qt::DisplayRole:
      return BytesToText(names_[row]);
    case Qt::ToolTipRole:
      return problem == tools::NameProblem::kNone ? QVariant() : QString(ProblemText(problem));
    case Qt::ForegroundRole:
      if (bad) return QBrush(QColor(0xB0, 0x00, 0x00));
      if (problem == tools::NameProblem::kUnchanged) return QBrush(Qt::gray);
      return {};
    case Qt::BackgroundRole:
      return bad ? QVariant(QBrush(QColor(0xFF, 0xE0, 0xE0))) : QVariant();
    default:
      return {};
  }
}

const std::unordered_set<std::string>& DirectoryNames::Of(const std::string& dir) {
  if (valid_ && dir == dir_) return names_;
  dir_ = dir;
  names_.clear();
  platform::EnumOptions options;
  options.filter = platform::EntryFilter::kAll;
  platform::EnumerateEntries(platform::JoinPath(dir, "*"), options,
                             [this](const platform::DirEntry& e) { names_.insert(e.name); });
  valid_ = true;
  return names_;
}
