// Changes applied to the file list model in place: where entries go, and the selection kept.

#include <QItemSelectionModel>
#include <string>
#include <vector>

#include "app/listing_rules.h"
#include "support/window_fixture.h"
#include "ui/file_list_model.h"

namespace {

using Entries = std::vector<std::string>;
using Renames = std::vector<std::pair<std::string, std::string>>;

TEST(FileListChangesTest, EntriesJoinTheirGroupAndTheSelectionStays) {
  // Few changes go row by row; many (here over 32) in one pass over the list: both keep order.
  Entries many_files;
  for (int i = 0; i < 40; ++i) many_files.push_back("f" + std::to_string(i));
  const struct {
    const char* what;
    Entries removed;
    Renames renamed;
    Entries added;
    Entries want;
  } cases[] = {
      {"a file goes last, a directory after the directories",
       {},
       {},
       {"new", "d2/"},
       {"../", "d/", "d2/", "a", "keep", "b", "new"}},
      {"absent removed, present added: nothing",
       {"zz", "d2/"},
       {},
       {"a"},
       {"../", "d/", "a", "keep", "b"}},
      {"a rename keeps the place", {}, {{"a", "z"}}, {}, {"../", "d/", "z", "keep", "b"}},
      {"a file renamed to a directory moves",
       {},
       {{"a", "e/"}},
       {},
       {"../", "d/", "e/", "keep", "b"}},
      {"renamed onto a listed name", {}, {{"a", "b"}}, {}, {"../", "d/", "keep", "b"}},
      {"an unlisted entry renamed is added",
       {},
       {{".x", "y"}},
       {},
       {"../", "d/", "a", "keep", "b", "y"}},
      {"many at once",
       many_files,
       {{"a", "z"}},
       {"c/", "n"},
       {"../", "d/", "c/", "z", "keep", "b", "n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FileListModel model;
    model.SetOrder(
        [](const std::string& a, const std::string& b) { return app::ListingGroupBefore(a, b); });
    Entries start = {"../", "d/", "a", "keep", "b"};
    if (c.removed.size() > 10) start.insert(start.end(), many_files.begin(), many_files.end());
    model.SetEntries(start);
    QItemSelectionModel selection(&model);
    selection.setCurrentIndex(model.index(model.Find("keep")), QItemSelectionModel::Select);
    model.ApplyChanges(c.removed, c.renamed, c.added);
    EXPECT_EQ(model.Entries(), c.want);
    EXPECT_EQ(model.Entry(selection.currentIndex().row()), "keep");
    ASSERT_EQ(selection.selectedIndexes().size(), 1);
    EXPECT_EQ(model.Entry(selection.selectedIndexes()[0].row()), "keep");
  }
}

TEST(FileListChangesTest, ANewListingIsMergedKeepingWhatStays) {
  FileListModel model;
  model.SetOrder(
      [](const std::string& a, const std::string& b) { return app::ListingGroupBefore(a, b); });
  model.SetEntries({"../", "d/", "a", "b", "c"});
  QItemSelectionModel selection(&model);
  selection.setCurrentIndex(model.index(3), QItemSelectionModel::Select);  // b
  model.Reconcile({"../", "e/", "d/", "c", "b", "f"});
  EXPECT_EQ(model.Entries(), (Entries{"../", "d/", "e/", "b", "c", "f"}));
  EXPECT_EQ(model.Entry(selection.currentIndex().row()), "b");
}

}  // namespace
