// Changes of the listed directory applied to the file list model in place, so that the views keep
// their cursor, selection and scroll position on the entries that stay.

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "ui/file_list_model.h"

namespace {

// Up to this many rows change one by one, each announced as a row inserted or removed (which
// accessibility clients follow best); more change in one pass over the whole list.
constexpr std::size_t kOneByOne = 32;

// A set of the strings of a vector, kept by their index in one flat table (open addressing), so
// that a set of a million names is made and freed at once: a set of nodes takes a second to free.
class FlatIndex {
 public:
  explicit FlatIndex(const std::vector<std::string>& items) : items_(items) {
    std::size_t capacity = 16;
    while (capacity < 2 * items.size()) capacity <<= 1;
    slots_.assign(capacity, kEmpty);
  }
  void Add(std::size_t item) {
    std::size_t slot = SlotOf(items_[item]);
    for (; slots_[slot] != kEmpty; slot = (slot + 1) & (slots_.size() - 1)) {
      if (items_[slots_[slot]] == items_[item]) return;
    }
    slots_[slot] = item;
  }
  bool Contains(std::string_view key) const {
    for (std::size_t slot = SlotOf(key); slots_[slot] != kEmpty;
         slot = (slot + 1) & (slots_.size() - 1)) {
      if (items_[slots_[slot]] == key) return true;
    }
    return false;
  }

 private:
  static constexpr std::size_t kEmpty = static_cast<std::size_t>(-1);
  std::size_t SlotOf(std::string_view key) const {
    return std::hash<std::string_view>{}(key) & (slots_.size() - 1);
  }
  const std::vector<std::string>& items_;
  std::vector<std::size_t> slots_;
};

}  // namespace

int FileListModel::Find(const std::string& entry) const {
  const auto it = std::find(entries_.begin(), entries_.end(), entry);
  return it == entries_.end() ? -1 : static_cast<int>(it - entries_.begin());
}

void FileListModel::ApplyChanges(const std::vector<std::string>& removed,
                                 const std::vector<std::pair<std::string, std::string>>& renamed,
                                 std::vector<std::string> added) {
  if (removed.empty() && renamed.empty() && added.empty()) return;
  const std::unordered_set<std::string_view> removing(removed.begin(), removed.end());
  std::unordered_map<std::string_view, std::size_t> renaming;
  std::unordered_set<std::string_view> incoming(added.begin(), added.end());
  for (std::size_t i = 0; i < renamed.size(); ++i) {
    renaming.emplace(renamed[i].first, i);
    incoming.insert(renamed[i].second);
  }
  // One pass over the list finds the rows named and the incoming names already listed.
  std::vector<bool> removed_rows(entries_.size());
  std::vector<std::pair<int, std::size_t>> renamed_found;
  std::unordered_set<std::string> listed;
  for (std::size_t row = 0; row < entries_.size(); ++row) {
    const std::string& entry = entries_[row];
    if (removing.count(entry) > 0) {
      removed_rows[row] = true;
    } else if (auto it = renaming.find(entry); it != renaming.end()) {
      renamed_found.emplace_back(static_cast<int>(row), it->second);
    }
    if (incoming.count(entry) > 0) listed.insert(entry);
  }
  // A rename onto a listed name leaves one entry of that name; a rename of an unlisted entry
  // adds the new name.
  std::vector<std::pair<int, std::string>> renamed_rows;
  std::vector<bool> source_found(renamed.size());
  for (const auto& [row, i] : renamed_found) {
    source_found[i] = true;
    if (listed.insert(renamed[i].second).second) {
      renamed_rows.emplace_back(row, renamed[i].second);
    } else {
      removed_rows[static_cast<std::size_t>(row)] = true;
    }
  }
  std::vector<std::string> adding;
  for (std::size_t i = 0; i < renamed.size(); ++i) {
    if (!source_found[i] && listed.insert(renamed[i].second).second) {
      adding.push_back(renamed[i].second);
    }
  }
  for (std::string& entry : added) {
    if (listed.insert(entry).second) adding.push_back(std::move(entry));
  }
  ApplyRows(removed_rows, renamed_rows, std::move(adding));
}

void FileListModel::Reconcile(std::vector<std::string> listed,
                              const std::function<void()>& each_entry) {
  const auto tick = [&each_entry] {
    if (each_entry) each_entry();
  };
  std::vector<bool> removed_rows(entries_.size());
  std::vector<std::string> added;
  {
    FlatIndex now(listed);
    for (std::size_t i = 0; i < listed.size(); ++i) {
      now.Add(i);
      tick();
    }
    FlatIndex before(entries_);
    for (std::size_t row = 0; row < entries_.size(); ++row) {
      before.Add(row);
      removed_rows[row] = !now.Contains(entries_[row]);
      tick();
    }
    // `now` looks into `listed`, whose names are taken from here on.
    for (std::string& entry : listed) {
      if (!before.Contains(entry)) added.push_back(std::move(entry));
      tick();
    }
  }
  ApplyRows(removed_rows, {}, std::move(added));
}

void FileListModel::ApplyRows(const std::vector<bool>& removed_rows,
                              const std::vector<std::pair<int, std::string>>& renamed_rows,
                              std::vector<std::string> added) {
  const std::size_t removed =
      static_cast<std::size_t>(std::count(removed_rows.begin(), removed_rows.end(), true));
  // Under an order a renamed entry may have to move: the whole-list pass places it.
  const bool moves = std::any_of(renamed_rows.begin(), renamed_rows.end(), [this](const auto& r) {
    return !StaysInPlace(r.first, r.second);
  });
  if (removed == 0 && !moves && GoAtTheEnd(added)) {
    // New entries that all join the end, as new files do: one insertion, nothing moves.
    for (const auto& [row, entry] : renamed_rows) {
      entries_[static_cast<std::size_t>(row)] = entry;
      emit dataChanged(index(row), index(row));
    }
    return Append(std::move(added));
  }
  if (moves || removed + added.size() > kOneByOne) {
    return RebuildWith(removed_rows, renamed_rows, std::move(added));
  }
  for (const auto& [row, entry] : renamed_rows) {
    entries_[static_cast<std::size_t>(row)] = entry;
    emit dataChanged(index(row), index(row));
  }
  for (int row = static_cast<int>(removed_rows.size()) - 1; row >= 0; --row) {
    if (!removed_rows[static_cast<std::size_t>(row)]) continue;
    int first = row;
    while (first > 0 && removed_rows[static_cast<std::size_t>(first - 1)]) --first;
    beginRemoveRows(QModelIndex(), first, row);
    entries_.erase(entries_.begin() + first, entries_.begin() + row + 1);
    endRemoveRows();
    row = first;
  }
  for (std::string& entry : added) InsertOne(std::move(entry));
}

bool FileListModel::GoAtTheEnd(std::vector<std::string>& added) const {
  if (added.empty() || !before_) return !added.empty();
  RunWork([&] { std::stable_sort(added.begin(), added.end(), before_); });
  return entries_.empty() || !before_(added.front(), entries_.back());
}

bool FileListModel::StaysInPlace(int row, const std::string& entry) const {
  if (!before_) return true;
  const auto at = static_cast<std::size_t>(row);
  return (at == 0 || !before_(entry, entries_[at - 1])) &&
         (at + 1 >= entries_.size() || !before_(entries_[at + 1], entry));
}

void FileListModel::InsertOne(std::string entry) {
  const auto at =
      before_ ? std::upper_bound(entries_.begin(), entries_.end(), entry, before_) : entries_.end();
  const int row = static_cast<int>(at - entries_.begin());
  beginInsertRows(QModelIndex(), row, row);
  entries_.insert(at, std::move(entry));
  endInsertRows();
}

void FileListModel::RebuildWith(const std::vector<bool>& removed_rows,
                                const std::vector<std::pair<int, std::string>>& renamed_rows,
                                std::vector<std::string> added) {
  struct Item {
    std::string entry;
    int old_row;  // -1 for a new entry
  };
  std::vector<const std::string*> renamed_to(entries_.size(), nullptr);
  for (const auto& [row, entry] : renamed_rows) renamed_to[static_cast<std::size_t>(row)] = &entry;
  std::vector<Item> kept;
  std::vector<Item> placed;  // entries that take their place by the order
  kept.reserve(entries_.size() + added.size());
  for (std::size_t row = 0; row < entries_.size(); ++row) {
    if (removed_rows[row]) continue;
    // Copied, not moved: the list keeps painting its entries while the new order is worked out.
    Item item{renamed_to[row] ? *renamed_to[row] : entries_[row], static_cast<int>(row)};
    const bool moves = renamed_to[row] && !StaysInPlace(static_cast<int>(row), *renamed_to[row]);
    (moves ? placed : kept).push_back(std::move(item));
  }
  for (std::string& entry : added) placed.push_back({std::move(entry), -1});
  std::vector<Item> merged;
  if (before_) {
    const auto before = [this](const Item& a, const Item& b) { return before_(a.entry, b.entry); };
    RunWork([&] {
      std::stable_sort(placed.begin(), placed.end(), before);
      merged.reserve(kept.size() + placed.size());
      // On a tie the listed entry stays first: a new entry goes after its equals.
      std::merge(std::make_move_iterator(kept.begin()), std::make_move_iterator(kept.end()),
                 std::make_move_iterator(placed.begin()), std::make_move_iterator(placed.end()),
                 std::back_inserter(merged), before);
    });
  } else {
    merged = std::move(kept);
    for (Item& item : placed) merged.push_back(std::move(item));
  }

  // The views' cursor and selection are persistent indexes: each moves with its entry.
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> new_row(entries_.size(), -1);
  entries_.clear();
  entries_.reserve(merged.size());
  for (Item& item : merged) {
    if (item.old_row >= 0) {
      new_row[static_cast<std::size_t>(item.old_row)] = static_cast<int>(entries_.size());
    }
    entries_.push_back(std::move(item.entry));
  }
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& old : from) {
    const int row = old.row() < static_cast<int>(new_row.size()) ? new_row[old.row()] : -1;
    to.push_back(row >= 0 ? index(row) : QModelIndex());
  }
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
