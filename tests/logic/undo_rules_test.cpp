#include "tools/undo_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tools {
namespace {

TEST(UndoRules, EntriesComeBackAsWrittenWithTheirCaptions) {
  const platform::FileIdentity id{3, 4, 5, 6, 7};
  struct Case {
    UndoEntry entry;
    const char* caption;
  };
  const Case cases[] = {
      {{UndoKind::kTrash, id, {"/d/a b.txt", "/t/files/a b.txt", "/t/info/a b.txt.trashinfo"}},
       "Undo delete of a b.txt"},
      {{UndoKind::kRename, id, {"/d/report.txt", std::string("/d/new\tname\n", 13)}},
       "Undo rename of report.txt"},
      {{UndoKind::kCreate, {}, {"/d/empty"}}, "Undo creation of empty"},
      {{UndoKind::kBatch, {}, {}}, "Undo renaming run"},
      {{UndoKind::kBatch, {}, {}, {}, "0f3a9c41d2e8b705"}, "Undo renaming run"},
      {{UndoKind::kCopy, {}, {}, {{id, "/s/report.txt", "/d/report (2).txt"}}},
       "Undo copy of report.txt"},
      {{UndoKind::kCopy,
        {},
        {},
        {{id, "/s/a", "/d/a"}, {{}, "/t/b", "/d/b"}, {id, "/s/c", "/d/c"}}},
       "Undo copy of 3 files"},
      {{UndoKind::kMove, {}, {}, {{id, "/s/report.txt", "/d/report.txt"}}},
       "Undo move of report.txt"},
      {{UndoKind::kMove,
        {},
        {},
        {{id, "/s/a", "/d/a"}, {id, "/s/b", "/d/b"}, {id, "/s/c", "/d/c"}}},
       "Undo move of 3 files"},
  };
  std::string text;
  for (const Case& c : cases) text += UndoEntryLine(c.entry);
  const auto entries = ParseUndoHistory(text + "RENAME\t1\t2");  // a last line cut by a crash
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ((*entries)[i], cases[i].entry);
    EXPECT_EQ(UndoCaption((*entries)[i]), cases[i].caption);
  }
  EXPECT_EQ(ParseUndoHistory("")->size(), 0u);
}

TEST(UndoRules, AHistoryWithALineThatCannotBeReadIsRefusedWhole) {
  for (const char* damaged : {
           "BATCH\r\nnonsense\r\n",
           "RENAME\t1\t2\t3\t4\t5\t/a\r\n",            // one path short
           "RENAME\t1\t2\t3\t4\t5\trelative\t/b\r\n",  // not a full path
           "CREATE\t1\tx\t3\t4\t5\t/a\r\nBATCH\r\n",   // not a number
           "TRASH\t1\t2\t3\t4\t5\t/a\t/b\t/c\\q\r\n",  // a bad escape
           "BATCH\tnot a run\r\n",
           "BATCH\tr1\textra\r\n",
           "COPY\r\n",                                                        // no file
           "COPY\t1\t2\t3\t4\t5\t/s/a\r\n",                                   // no target
           "MOVE\t1\t2\t3\t4\t5\t/s/a\t/d/a\t1\r\n",                          // a piece of an item
           "COPY\t1\t2\t3\t4\t5\t/s/a\t/d/a\t1\t2\t3\t4\t5\t/s/b\t/e/b\r\n",  // another dir
           "MOVE\t1\t2\t3\t4\t5\t/s/a\t/d/../etc/a\r\n",                      // not a plain path
           "COPY\t1\t2\t3\t4\t5\t/s//a\t/d/a\r\n",
           "COPY\t1\t2\t3\t4\t5\t/s/a\t/d/\r\n",
       }) {
    EXPECT_FALSE(ParseUndoHistory(damaged)) << damaged;
  }
}

TEST(UndoRules, AJobsLinesAreOneEntryAtItsFirstLineNamingWhatItMade) {
  const platform::FileIdentity before{0, 0, 5, 6, 0}, made{3, 4, 5, 6, 7};
  const TransferItem a{before, "/s/a", "/d/a"}, b{before, "/s/b", "/d/b"},
      c{before, "/t/c", "/d/c"};
  auto made_as = [&](TransferItem item) {
    item.id = made;
    return item;
  };
  auto running = [](UndoKind kind, std::uint64_t job, std::vector<TransferItem> items) {
    return UndoEntry{kind, {}, {}, std::move(items), {}, job};
  };
  auto line = [&](UndoKind kind, std::uint64_t job, std::vector<TransferItem> items) {
    return UndoEntryLine(running(kind, job, std::move(items)));
  };
  const UndoEntry rename{UndoKind::kRename, made, {"/d/x", "/d/y"}};
  const UndoEntry old_copy{UndoKind::kCopy, {}, {}, {made_as(a)}};
  const std::string big_name(std::size_t{1} << 20, 'n');
  const std::string made_line = TransferMadeLine(7, {made_as(a)});
  const std::string cut_made = made_line.substr(0, made_line.size() - 2);
  const TransferItem big{before, "/s/" + big_name, "/d/" + big_name};
  using Entries = std::vector<UndoEntry>;
  struct Case {
    const char* what;
    std::string text;
    std::optional<Entries> entries;
  };
  const Case cases[] = {
      {"planned and made, a change between",
       line(UndoKind::kCopy, 7, {a, b}) + UndoEntryLine(rename) + TransferMadeLine(7, {made_as(b)}),
       Entries{{UndoKind::kCopy, {}, {}, {made_as(b)}}, rename}},
      {"planned in two lines",
       line(UndoKind::kMove, 7, {a}) + UndoEntryLine(rename) + line(UndoKind::kMove, 7, {b}) +
           TransferMadeLine(7, {made_as(a), made_as(b)}),
       Entries{{UndoKind::kMove, {}, {}, {made_as(a), made_as(b)}}, rename}},
      {"two jobs interleaved",
       line(UndoKind::kCopy, 7, {a}) + line(UndoKind::kMove, 9, {c}) +
           TransferMadeLine(9, {made_as(c)}) + TransferMadeLine(7, {made_as(a)}),
       Entries{{UndoKind::kCopy, {}, {}, {made_as(a)}}, {UndoKind::kMove, {}, {}, {made_as(c)}}}},
      {"cut off by a crash: every file planned",
       UndoEntryLine(old_copy) + line(UndoKind::kCopy, 7, {a, b}),
       Entries{old_copy, running(UndoKind::kCopy, 7, {a, b})}},
      {"its end cut short: every file planned", line(UndoKind::kCopy, 7, {a, b}) + cut_made,
       Entries{running(UndoKind::kCopy, 7, {a, b})}},
      {"made nothing", line(UndoKind::kCopy, 7, {a}) + TransferMadeLine(7, {}), Entries{}},
      {"an end of a job taken off, and one naming a file its lines do not",
       TransferMadeLine(5, {made_as(a)}) + line(UndoKind::kCopy, 7, {b}) +
           TransferMadeLine(7, {made_as(a), made_as(b)}),
       Entries{{UndoKind::kCopy, {}, {}, {made_as(b)}}}},
      {"a number used again after its job ended",
       line(UndoKind::kCopy, 7, {a}) + TransferMadeLine(7, {made_as(a)}) +
           line(UndoKind::kMove, 7, {b}),
       Entries{{UndoKind::kCopy, {}, {}, {made_as(a)}}, running(UndoKind::kMove, 7, {b})}},
      {"a job's files in another directory",
       line(UndoKind::kCopy, 7, {a}) + line(UndoKind::kCopy, 7, {{before, "/s/e", "/e/e"}}),
       std::nullopt},
      {"copies and moves in one job", line(UndoKind::kCopy, 7, {a}) + line(UndoKind::kMove, 7, {b}),
       std::nullopt},
      {"one large line", line(UndoKind::kCopy, 7, {big}),
       Entries{running(UndoKind::kCopy, 7, {big})}},
      {"a job over the cap in all",
       line(UndoKind::kCopy, 7, {big}) + line(UndoKind::kCopy, 7, {big}), std::nullopt},
      {"no job number", "COPYING\t0\t5\t6\t0\t/s/a\t/d/a\r\n", std::nullopt},
      {"no file planned", "MOVING\t7\r\n", std::nullopt},
      {"a damaged end", line(UndoKind::kCopy, 7, {a}) + "MADE\t7\t1\t2\r\n", std::nullopt},
      {"an end without a number", "MADE\r\n", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseUndoHistory(c.text), c.entries) << c.what;
  }
  // A running job written back whole still takes its end.
  const std::string rewritten = UndoHistoryText({running(UndoKind::kCopy, 7, {a, b})}, 1000);
  EXPECT_EQ(ParseUndoHistory(rewritten + TransferMadeLine(7, {made_as(a)})),
            (Entries{{UndoKind::kCopy, {}, {}, {made_as(a)}}}));
}

TEST(UndoRules, ACopyOrMoveLineIsKeptUnderItsCap) {
  UndoEntry entry{UndoKind::kCopy, {}, {}, {}};
  std::size_t bytes = 0;
  for (int i = 0; bytes < kMaxTransferLineBytes - 4096; ++i) {
    const std::string name = std::string(200, 'n') + std::to_string(i);
    const std::int64_t wide = std::numeric_limits<std::int64_t>::min();
    entry.items.push_back({{~0ull, ~0ull, wide, wide, wide}, "/s/" + name, "/d/" + name});
    bytes += TransferItemBytes(entry.items.back());
  }
  const std::string line = UndoEntryLine(entry);
  EXPECT_LE(line.size(), bytes + 8);  // the estimate is never short
  EXPECT_GT(line.size(), kMaxTransferLineBytes - 8192);
  ASSERT_TRUE(ParseUndoHistory(line));
  entry.items.push_back({{}, "/s/" + std::string(8192, 'x'), "/d/x"});
  EXPECT_FALSE(ParseUndoHistory(UndoEntryLine(entry)));
}

TEST(UndoRules, ARewrittenHistoryLetsTheOldestEntriesGoBeyondItsCap) {
  const UndoEntry batch{UndoKind::kBatch, {}, {}};
  const UndoEntry create{UndoKind::kCreate, {}, {"/d/new"}};
  const std::string both = UndoEntryLine(batch) + UndoEntryLine(create);
  struct Case {
    std::size_t cap;
    std::string text;
  };
  for (const Case& c : {Case{1000, both}, Case{both.size(), both},
                        Case{both.size() - 1, UndoEntryLine(create)}, Case{3, ""}}) {
    EXPECT_EQ(UndoHistoryText({batch, create}, c.cap), c.text) << c.cap;
  }
}

TEST(UndoRules, ATransferredFileIsKnownByItsIdentityOrBeforeTheJobByItsSizeAndTime) {
  const platform::FileIdentity made{3, 4, 5, 6, 7};
  struct Case {
    platform::FileIdentity recorded, now;
    bool same;
  };
  for (const Case& c : {
           Case{made, made, true},
           Case{made, {3, 4, 5, 9, 7}, false},  // written since
           Case{made, {3, 8, 5, 6, 7}, false},  // another file
           Case{{0, 0, 5, 6, 0}, made, true},   // recorded before the copy was made
           Case{{0, 0, 5, 6, 0}, {3, 4, 2, 6, 7}, false},
           Case{{0, 0, 5, 6, 0}, {3, 4, 5, 1'999'999'999, 7}, true},  // a coarse time
           Case{{0, 0, 5, 6, 0}, {3, 4, 5, 2'000'000'006, 7}, false},
       }) {
    EXPECT_EQ(IsTransferredFile(c.recorded, c.now), c.same);
  }
}

}  // namespace
}  // namespace tools
