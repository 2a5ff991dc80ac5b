#pragma once

// The order in which the lists show directory entries: "../" first, then the directories, then
// the files, each group by the chosen field. Names compare as a person reads them: letter case
// ignored and runs of digits compared as numbers (file_2 before file_10), by the collation of
// the user's locale where it has one. Every list that shows entries (the file list, the console
// listing, the HTML export, the search results within each directory) uses this one order.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace app {

enum class SortField { kName, kExtension, kSize, kTime };

struct SortOrder {
  SortField field = SortField::kName;
  bool descending = false;
  bool operator==(const SortOrder&) const = default;
};

// The settings text of an order: "name", "extension", "size" or "time", followed by
// " descending" for the reverse order. Anything else reads as the name order.
SortOrder ParseSortOrder(std::string_view text);
std::string FormatSortOrder(SortOrder order);

// True when the locale's collation (LC_COLLATE) orders letters otherwise than by code point,
// that is for any locale but C, POSIX and C.UTF-8.
bool LocaleCollates();

// A byte string whose plain comparison orders names as described above. Letters are folded to
// lower case (ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic), then, with `collate`,
// transformed by the locale's collation; every run of digits compares by its value, and a name
// sorts before any longer name it begins.
std::string NameKey(std::string_view name, bool collate = false);

// Negative, zero or positive as `a` sorts before, with or after `b` (name order, code points).
// Names that differ only in letter case or leading zeros are ordered by their bytes.
int CompareNames(std::string_view a, std::string_view b);

// What the size and time orders need of an entry besides its list text.
struct EntryFacts {
  std::int64_t size = 0;
  std::int64_t mtime = 0;
};

// One order, with its sort keys computed once per entry.
class EntryOrder {
 public:
  explicit EntryOrder(SortOrder order = {}, bool collate = LocaleCollates())
      : order_(order), collate_(collate) {}

  SortOrder order() const { return order_; }
  // Whether the order needs each entry's size and time.
  bool NeedsFacts() const {
    return order_.field == SortField::kSize || order_.field == SortField::kTime;
  }

  struct Key {
    int group = 0;            // 0 for "../", 1 for a directory, 2 for a file
    std::int64_t number = 0;  // size or time where the order uses them
    std::string text;         // the name (or extension and name) key, then the bytes
  };
  // The key of a list text: "../", a directory "name/", a file name, or a full path (search
  // results), whose last part is the name.
  Key MakeKey(std::string_view entry, EntryFacts facts = {}) const;
  bool Less(const Key& a, const Key& b) const;
  // Compares two list texts; for inserting one entry into a sorted list with lower_bound.
  bool LessEntries(std::string_view a, EntryFacts fa, std::string_view b, EntryFacts fb) const {
    return Less(MakeKey(a, fa), MakeKey(b, fb));
  }

  // Sorts list texts; `facts`, when given, runs beside `entries`.
  void Sort(std::vector<std::string>& entries,
            const std::vector<EntryFacts>* facts = nullptr) const;

 private:
  friend class PieceSorter;
  // Sets a key's group and number and appends its text to `text`.
  void AppendKey(std::string_view entry, EntryFacts facts, int& group, std::int64_t& number,
                 std::string& text) const;

  SortOrder order_;
  bool collate_;
};

// Sorts a list handed over in pieces while it is still being read: each piece is keyed and
// sorted on a thread of its own as the next is read, and the sorted pieces are merged at the
// end. Of entries with equal keys the one added first comes first.
class PieceSorter {
 public:
  explicit PieceSorter(const EntryOrder& order);
  ~PieceSorter();
  PieceSorter(const PieceSorter&) = delete;
  PieceSorter& operator=(const PieceSorter&) = delete;

  // How many entries the next piece should gather: pieces grow with the list, so that a long
  // list merges from a few dozen at most.
  std::size_t NextPieceSize() const;
  // Starts sorting a piece; `facts`, when the order needs them, runs beside `entries`.
  void Add(std::vector<std::string> entries, std::vector<EntryFacts> facts = {});
  // Sorts the last piece on this thread, waits for the others and returns every entry in
  // order.
  std::vector<std::string> Finish(std::vector<std::string> entries = {},
                                  std::vector<EntryFacts> facts = {});

 private:
  struct Item;
  struct Piece;
  bool Before(const Item& a, const Item& b) const;
  std::vector<Item> SortPiece(Piece& piece, std::uint32_t id) const;
  void MergeIntoRun(std::vector<Item> items);

  EntryOrder order_;
  std::vector<std::unique_ptr<Piece>> pieces_;  // each sorted piece's entries and keys
  std::vector<Item> run_;                       // the pieces merged so far, in order
  std::thread last_;                            // sorts the newest piece, then merges it
  std::size_t added_ = 0;
};

}  // namespace app
