// Bursts of directory events reduced to the changes a list applies.

#include "app/watch_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::WatchEvent;
using platform::WatchEventKind;
using Names = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

constexpr auto kAdd = WatchEventKind::kAdded;
constexpr auto kRm = WatchEventKind::kRemoved;
constexpr auto kChg = WatchEventKind::kChanged;
constexpr auto kGone = WatchEventKind::kDirGone;

WatchEvent Ev(WatchEventKind kind, std::string name, bool dir = false, std::uint32_t cookie = 0,
              int watch = 1) {
  return {watch, kind, std::move(name), dir, cookie};
}

TEST(WatchRulesTest, EachEntryEndsInItsLastState) {
  const struct {
    const char* what;
    std::vector<WatchEvent> events;
    bool relist;
    Names added, removed;
    Pairs renamed;
    Names changed;
  } cases[] = {
      {"a create", {Ev(kAdd, "a")}, false, {"a"}, {}, {}, {}},
      {"a directory keeps its delimiter", {Ev(kAdd, "d", true)}, false, {"d/"}, {}, {}, {}},
      {"created then written stays new", {Ev(kAdd, "a"), Ev(kChg, "a")}, false, {"a"}, {}, {}, {}},
      {"created then deleted", {Ev(kAdd, "a"), Ev(kRm, "a")}, false, {}, {"a"}, {}, {}},
      {"deleted then created", {Ev(kRm, "a"), Ev(kAdd, "a")}, false, {"a"}, {}, {}, {}},
      {"written twice is one change", {Ev(kChg, "a"), Ev(kChg, "a")}, false, {}, {}, {}, {"a"}},
      {"order of the last events",
       {Ev(kAdd, "b"), Ev(kAdd, "a"), Ev(kRm, "b"), Ev(kAdd, "b")},
       false,
       {"a", "b"},
       {},
       {},
       {}},
      {"file replaced by a directory",
       {Ev(kRm, "x"), Ev(kAdd, "x", true)},
       false,
       {"x/"},
       {"x"},
       {},
       {}},
      {"a rename",
       {Ev(kRm, "a", false, 7), Ev(kAdd, "b", false, 7)},
       false,
       {},
       {},
       {{"a", "b"}},
       {}},
      {"a rename then a write keeps the rename",
       {Ev(kRm, "a", false, 7), Ev(kAdd, "b", false, 7), Ev(kChg, "b")},
       false,
       {},
       {},
       {{"a", "b"}},
       {}},
      {"renamed away then deleted",
       {Ev(kRm, "a", false, 7), Ev(kAdd, "b", false, 7), Ev(kRm, "b")},
       false,
       {},
       {"a", "b"},
       {},
       {}},
      {"renamed twice",
       {Ev(kRm, "a", false, 7), Ev(kAdd, "b", false, 7), Ev(kRm, "b", false, 8),
        Ev(kAdd, "c", false, 8)},
       false,
       {},
       {"a"},
       {{"b", "c"}},
       {}},
      {"moved out to an unwatched place", {Ev(kRm, "a", false, 7)}, false, {}, {"a"}, {}, {}},
      {"the directory itself gone", {Ev(kAdd, "a"), Ev(kGone, "")}, true, {}, {}, {}, {}},
      {"over the threshold",
       {Ev(kAdd, "a"), Ev(kAdd, "b"), Ev(kAdd, "c"), Ev(kAdd, "d")},
       true,
       {},
       {},
       {},
       {}},
      {"at the threshold",
       {Ev(kAdd, "a"), Ev(kAdd, "b"), Ev(kRm, "c")},
       false,
       {"a", "b"},
       {"c"},
       {},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto result = app::CoalesceEvents(c.events, 3);
    ASSERT_EQ(result.size(), 1u);
    const app::DirChanges& got = result.at(1);
    EXPECT_EQ(got.relist, c.relist);
    EXPECT_EQ(got.added, c.added);
    EXPECT_EQ(got.removed, c.removed);
    EXPECT_EQ(got.renamed, c.renamed);
    EXPECT_EQ(got.changed, c.changed);
  }
}

TEST(WatchRulesTest, DirectoriesAreKeptApart) {
  // A move between two watched directories is a removal in one and an addition in the other;
  // lost events concern every directory and come as watch -1.
  const auto moved =
      app::CoalesceEvents({Ev(kRm, "a", false, 9, 1), Ev(kAdd, "a", false, 9, 2)}, 10);
  ASSERT_EQ(moved.size(), 2u);
  EXPECT_EQ(moved.at(1).removed, Names{"a"});
  EXPECT_TRUE(moved.at(1).renamed.empty());
  EXPECT_EQ(moved.at(2).added, Names{"a"});

  const auto lost = app::CoalesceEvents(
      {Ev(kAdd, "a"), {-1, WatchEventKind::kOverflow, "", false, 0}, Ev(kAdd, "b", false, 0, 2)},
      10);
  EXPECT_TRUE(lost.at(-1).relist);
  EXPECT_EQ(lost.at(1).added, Names{"a"});
  EXPECT_EQ(app::ChangeCount(lost.at(2)), 1u);
}

}  // namespace
