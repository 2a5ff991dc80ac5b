// Newspaper columns: where an entry stands, how far the view scrolls, where the keys go.

#include "ui/column_layout_rules.h"
#include "ui/title_fit_rules.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

// 201 entries, 40 lines to a column, two columns in view: columns 0 to 5, the last holding 1.
constexpr ColumnLayout kList{201, 40, 2};

TEST(ColumnLayout, PlacesEntriesDownEachColumnInTurn) {
  EXPECT_EQ(kList.Columns(), 6);
  EXPECT_EQ(kList.ColumnOf(39), 0);
  EXPECT_EQ(kList.ColumnOf(40), 1);
  EXPECT_EQ(kList.LineOf(41), 1);
  EXPECT_EQ(kList.ItemAt(5, 0), 200);
  EXPECT_EQ(kList.ItemAt(5, 1), -1);   // below the last entry
  EXPECT_EQ(kList.ItemAt(0, 40), -1);  // below the last line
  EXPECT_EQ(kList.ItemAt(-1, 0), -1);
  EXPECT_EQ(kList.LastFirstColumn(), 4);
  EXPECT_EQ((ColumnLayout{0, 40, 2}).Columns(), 0);
  EXPECT_EQ((ColumnLayout{80, 40, 2}).LastFirstColumn(), 0);  // fits: no scrolling at all
  EXPECT_EQ((ColumnLayout{81, 40, 2}).LastFirstColumn(), 1);
}

TEST(ColumnLayout, ScrollsTheLeastThatShowsAnEntry) {
  const struct {
    int item, first, expected;
  } cases[] = {
      {0, 0, 0},   {79, 0, 0},   // in view: no scroll
      {80, 0, 1},  {119, 0, 1},  // one column to the right
      {200, 0, 4}, {200, 1, 4},  // the last entry: the last column at the right edge
      {0, 4, 0},   {45, 3, 1},   // back to the left edge
      {100, 2, 2}, {100, 1, 1},  // already in view
      {-5, 3, 0},  {999, 0, 4},  // out of range: clamped to the list
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kList.FirstColumnShowing(c.item, c.first), c.expected)
        << c.item << " from " << c.first;
  }
  // Every entry of a long list is reachable, whatever column the view stood at.
  const ColumnLayout huge{100000, 17, 2};
  for (int item : {0, 1, 16, 17, 50000, 99983, 99999}) {
    const int first = huge.FirstColumnShowing(item, 1234);
    EXPECT_GE(huge.ColumnOf(item), first);
    EXPECT_LT(huge.ColumnOf(item), first + 2);
  }
  // After a resize, the entry that was at the top left stays in view.
  EXPECT_EQ((ColumnLayout{201, 20, 2}).FirstColumnKeeping(80), 4);
  EXPECT_EQ((ColumnLayout{201, 100, 2}).FirstColumnKeeping(200), 1);  // no further than the end
}

TEST(ColumnLayout, KeysMoveWithinTheList) {
  using M = CursorMove;
  const struct {
    int item;
    M move;
    int expected;
  } cases[] = {
      {39, M::kDown, 40},  // past the bottom of a column: the top of the next
      {40, M::kUp, 39},      {0, M::kUp, 0},         {200, M::kDown, 200},     {5, M::kRight, 45},
      {45, M::kLeft, 5},     {5, M::kLeft, 5},  // the first column: stays
      {170, M::kRight, 200},                    // the next column is shorter: its last entry
      {200, M::kRight, 200}, {10, M::kPageDown, 90}, {190, M::kPageDown, 200}, {90, M::kPageUp, 10},
      {50, M::kPageUp, 0},   {77, M::kHome, 0},      {77, M::kEnd, 200},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kList.Move(c.item, c.move), c.expected) << c.item << " key " << int(c.move);
  }
  EXPECT_EQ((ColumnLayout{0, 40, 2}).Move(0, M::kDown), -1);
}

}  // namespace
}  // namespace ui

namespace {

TEST(TitleFitWidth, WidensForTheTitleAndItsButtonsWithinTheScreen) {
  struct Case {
    int width, text, line, screen, fitted;
  } cases[] = {
      {213, 120, 15, 1920, 120 + 7 * 15},  // too narrow: widened
      {400, 120, 15, 1920, 400},           // wide enough: kept
      {213, 900, 20, 800, 800},            // never past the screen
      {213, 200, 15, 0, 305},              // no screen known
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ui::TitleFitWidth(c.width, c.text, c.line, c.screen), c.fitted) << c.text;
  }
}

}  // namespace
