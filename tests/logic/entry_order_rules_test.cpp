// The order of directory entries in every list: parent, directories, files, each by name as a
// person reads it, or by the field chosen in the View menu.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/entry_order_rules.h"
#include "app/listing_rules.h"
#include "support/temp_dir.h"

namespace {

using app::EntryFacts;
using app::EntryOrder;
using app::SortField;
using app::SortOrder;

TEST(CompareNames, NumbersByValueLettersWithoutCase) {
  const struct {
    const char* first;
    const char* second;
  } before[] = {
      {"file_2", "file_10"},  // numbers by value
      {"file_9.txt", "file_10.txt"},
      {"a1b2", "a1b10"},  // every run of digits
      {"x007", "x8"},     // leading zeros do not count
      {"x01", "x1"},      // ... except to part equal values, by their bytes
      {"Alpha", "beta"},  // letter case ignored
      {"alpha", "Beta"},
      {"ALPHA", "alpha"},         // equal but for case: by bytes, upper case first
      {"file.txt", "file2.txt"},  // a dot before a digit, as in code point order
      {"file", "file.txt"},       // a name before the longer names it begins
      {"9", "a"},                 // digits before letters
      {"Émile", "émilie"},        // Latin-1 capitals fold
      {"Ёлка", "ёлочка"},         // Cyrillic capitals fold
      {"Яблоко", "яма"},
      {"file_99999999999999999999", "file_100000000000000000000"},  // beyond 64 bits
  };
  for (const auto& c : before) {
    EXPECT_LT(app::CompareNames(c.first, c.second), 0) << c.first << " < " << c.second;
    EXPECT_GT(app::CompareNames(c.second, c.first), 0) << c.second << " > " << c.first;
  }
  EXPECT_EQ(app::CompareNames("same", "same"), 0);
}

TEST(EntryOrder, ParentThenDirectoriesThenFilesInEveryOrder) {
  const std::vector<std::string> listed = {"b10.txt", "Zed/",  "b2.log", "../",
                                           "a.txt",   "dir9/", "dir10/", "noext"};
  const std::vector<EntryFacts> facts = {{300, 5}, {0, 9}, {100, 7}, {0, 1},
                                         {200, 6}, {0, 3}, {0, 2},   {50, 8}};
  const struct {
    SortOrder order;
    std::vector<std::string> sorted;
  } cases[] = {
      {{SortField::kName, false},
       {"../", "dir9/", "dir10/", "Zed/", "a.txt", "b2.log", "b10.txt", "noext"}},
      {{SortField::kName, true},
       {"../", "Zed/", "dir10/", "dir9/", "noext", "b10.txt", "b2.log", "a.txt"}},
      {{SortField::kExtension, false},
       {"../", "dir9/", "dir10/", "Zed/", "noext", "b2.log", "a.txt", "b10.txt"}},
      {{SortField::kSize, false},  // directories have no size: by name
       {"../", "dir9/", "dir10/", "Zed/", "noext", "b2.log", "a.txt", "b10.txt"}},
      {{SortField::kSize, true},
       {"../", "Zed/", "dir10/", "dir9/", "b10.txt", "a.txt", "b2.log", "noext"}},
      {{SortField::kTime, false},
       {"../", "dir10/", "dir9/", "Zed/", "b10.txt", "a.txt", "b2.log", "noext"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> entries = listed;
    EntryOrder(c.order, false).Sort(entries, &facts);
    EXPECT_EQ(entries, c.sorted) << app::FormatSortOrder(c.order);
  }
}

TEST(EntryOrder, OneEntryInsertsWhereTheSortPutsIt) {
  const EntryOrder order({}, false);
  std::vector<std::string> entries = {"f3", "../", "f20", "sub/", "F1"};
  order.Sort(entries);
  const std::string added = "f10";
  const auto at = std::lower_bound(
      entries.begin(), entries.end(), added,
      [&](const std::string& a, const std::string& b) { return order.LessEntries(a, {}, b, {}); });
  entries.insert(at, added);
  EXPECT_EQ(entries, (std::vector<std::string>{"../", "sub/", "F1", "f3", "f10", "f20"}));
}

TEST(EntryOrder, LongListsSortAsOneEntryAtATimeCompares) {
  // Long enough to be sorted in halves; names share long beginnings, differ in case and
  // leading zeros, and some repeat.
  std::vector<std::string> listed = {"../"};
  std::vector<EntryFacts> facts = {{}};
  for (int i = 0; i < 24'000; ++i) {
    const int n = (i * 7919) % 10'007;
    const char* stem = i % 3 == 0 ? "Report_2026_final_" : i % 3 == 1 ? "report_2026_final_" : "B";
    std::string name = stem + std::string(i % 5 == 0 ? "00" : "") + std::to_string(n % 4'000);
    if (i % 11 == 0) {
      name += "/";
    } else if (i % 4 == 1) {
      name += ".txt";
    }
    listed.push_back(name);
    facts.push_back({n % 97, n % 13});
  }
  for (const SortField field :
       {SortField::kName, SortField::kExtension, SortField::kSize, SortField::kTime}) {
    for (const bool descending : {false, true}) {
      const EntryOrder order({field, descending}, false);
      std::vector<std::size_t> by_compare(listed.size());
      for (std::size_t i = 0; i < by_compare.size(); ++i) by_compare[i] = i;
      std::stable_sort(by_compare.begin(), by_compare.end(), [&](std::size_t a, std::size_t b) {
        return order.LessEntries(listed[a], facts[a], listed[b], facts[b]);
      });
      std::vector<std::string> expected;
      for (const std::size_t i : by_compare) expected.push_back(listed[i]);
      std::vector<std::string> entries = listed;
      order.Sort(entries, &facts);
      EXPECT_EQ(entries, expected) << app::FormatSortOrder(order.order());
      // The same list handed over in uneven pieces as a listing reads it.
      app::PieceSorter pieces(order);
      std::size_t from = 0;
      for (const std::size_t size : {std::size_t{1}, std::size_t{7'000}, std::size_t{9'001}}) {
        pieces.Add({listed.begin() + from, listed.begin() + from + size},
                   {facts.begin() + from, facts.begin() + from + size});
        from += size;
      }
      EXPECT_EQ(
          pieces.Finish({listed.begin() + from, listed.end()}, {facts.begin() + from, facts.end()}),
          expected)
          << "in pieces, " << app::FormatSortOrder(order.order());
    }
  }
}

TEST(SortOrderText, ReadsWhatItWritesAndNameOtherwise) {
  for (SortField field :
       {SortField::kName, SortField::kExtension, SortField::kSize, SortField::kTime}) {
    for (bool descending : {false, true}) {
      const SortOrder order{field, descending};
      EXPECT_EQ(app::ParseSortOrder(app::FormatSortOrder(order)), order);
    }
  }
  EXPECT_EQ(app::FormatSortOrder({SortField::kTime, true}), "time descending");
  EXPECT_EQ(app::ParseSortOrder("colour"), SortOrder{});
  EXPECT_EQ(app::ParseSortOrder(""), SortOrder{});
}

TEST(FillFileList, ListsInTheChosenOrder) {
  TempDir dir;
  for (const char* name : {"file_10", "file_2", "File_1", "b"}) dir.CreateFile(name);
  dir.CreateDir("sub10");
  dir.CreateDir("sub9");
  std::vector<std::string> entries;
  app::FillFileList(dir.Slash(), "*.*", entries, {}, EntryOrder({}, false));
  EXPECT_EQ(entries, (std::vector<std::string>{"../", "sub9/", "sub10/", "b", "File_1", "file_2",
                                               "file_10"}));
}

}  // namespace
