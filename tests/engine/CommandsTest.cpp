#include <gtest/gtest.h>

#include "EngineTestUtil.h"

namespace tabulon {
namespace {

using test::EngineData;
using Lines = std::vector<std::string>;

constexpr const char* kSales =
    "店舗,分類,数量,日付\n"
    "A,x,1,2024/01/15\n"
    "A,y,2,2024/02/03\n"
    "B,x,3,2024/03/10\n";

class Commands : public ::testing::Test {
 protected:
  void SetUp() override { d.ws.sort = false; }
  // The user presses the toggle of role while column name is selected.
  void PressRole(const char* name, int role) {
    d.ws.selectedColumn = d.Index(name);
    for (int r = 0; r < kRoleCount; ++r) d.ws.roleDown[r] = r == role;
    SpeedButton1Click(d.ws, role);
  }
  uint8_t Role(const char* name) { return d.Col(name).FRole; }
  Lines Grid() { return test::Rows(d.window.grid); }
  EngineData d{kSales};
};

TEST_F(Commands, RowItemsTakeTheColumnAxisColumnToTheRows) {
  PressRole("店舗", kRoleColumnItems);
  EXPECT_EQ(Grid(), (Lines{",A,B,合計", ",2,1,3", "合計,2,1,3"}));
  PressRole("店舗", kRoleRowItems);
  EXPECT_EQ(Role("店舗"), kRoleRowItems);
  EXPECT_EQ(Grid(), (Lines{",,合計", "A,2,2", "B,1,1", "合計,3,3"}));
}

TEST_F(Commands, GivingARoleTakesItFromTheColumnThatHeldIt) {
  PressRole("店舗", kRoleRowItems);
  PressRole("分類", kRoleRowItems);
  EXPECT_EQ(Role("店舗"), kRoleNone);
  EXPECT_EQ(Role("分類"), kRoleRowItems);
  EXPECT_EQ(d.window.selections, 2);
  EXPECT_EQ(d.ws.selectedColumn, d.Index("分類"));
}

TEST_F(Commands, ValueToggleSwitchesToSumExceptForDates) {
  PressRole("日付", kRoleValue);
  EXPECT_EQ(d.ws.aggregate, TAggregate::kCount);
  PressRole("数量", kRoleValue);
  EXPECT_EQ(Role("日付"), kRoleNone);
  EXPECT_EQ(d.ws.aggregate, TAggregate::kSum);
  EXPECT_EQ(Grid(), (Lines{",,合計", ",6,6", "合計,6,6"}));
}

TEST_F(Commands, AnAggregateToggleChangesNoRole) {
  PressRole("店舗", kRoleRowItems);
  d.ws.aggregate = TAggregate::kMax;
  SpeedButton1Click(d.ws, 6);
  EXPECT_EQ(Role("店舗"), kRoleRowItems);
  EXPECT_EQ(Grid(), (Lines{",,合計", "A,2,2", "B,1,1", "合計,3,3"}));
}

TEST_F(Commands, ReleasingARoleToggleKeepsTheTableUntilTheNextComputation) {
  PressRole("店舗", kRoleRowItems);
  const Lines before = Grid();
  const int refreshes = d.window.markerRefreshes;
  d.ws.roleDown[kRoleRowItems] = false;
  SpeedButton1Click(d.ws, kRoleRowItems);
  EXPECT_EQ(Role("店舗"), kRoleNone);
  EXPECT_EQ(Grid(), before);
  EXPECT_EQ(d.window.markerRefreshes, refreshes + 1);
}

TEST_F(Commands, SwapWithOnlyARowAxisMakesItTheColumnAxis) {
  PressRole("店舗", kRoleRowItems);
  Button12Click(d.ws);
  EXPECT_EQ(Role("店舗"), kRoleColumnItems);
  EXPECT_TRUE(d.ws.roleDown[kRoleColumnItems]);
  EXPECT_FALSE(d.ws.roleDown[kRoleRowItems]);
  EXPECT_EQ(Grid(), (Lines{",A,B,合計", ",2,1,3", "合計,2,1,3"}));
}

TEST_F(Commands, SwapExchangesRowsAndColumns) {
  PressRole("分類", kRoleColumnItems);
  PressRole("店舗", kRoleRowItems);
  Button12Click(d.ws);
  EXPECT_EQ(Role("店舗"), kRoleColumnItems);
  EXPECT_EQ(Role("分類"), kRoleRowItems);
  EXPECT_EQ(Grid(), (Lines{",A,B,合計", "x,1,1,2", "y,1,0,1", "合計,2,1,3"}));
}

TEST_F(Commands, ClosingRowsOrColumnsDropsThatAxis) {
  PressRole("分類", kRoleColumnItems);
  PressRole("店舗", kRoleRowItems);
  Button10Click(d.ws);
  EXPECT_EQ(Role("店舗"), kRoleNone);
  EXPECT_FALSE(d.ws.roleDown[kRoleRowItems]);
  EXPECT_EQ(Grid(), (Lines{",x,y,合計", ",2,1,3", "合計,2,1,3"}));
  Button11Click(d.ws);
  EXPECT_EQ(Role("分類"), kRoleNone);
  EXPECT_EQ(Grid(), (Lines{",,合計", ",3,3", "合計,3,3"}));
}

TEST_F(Commands, ClearEmptiesTheGridAndClosesTheChart) {
  PressRole("店舗", kRoleRowItems);
  d.window.chartShowing = true;
  Button13Click(d.ws);
  EXPECT_EQ(Grid(), (Lines{",,", ",,", ",,"}));
  EXPECT_EQ(d.window.chartCloses, 1);
  EXPECT_EQ(Role("店舗"), kRoleRowItems);
}

}  // namespace
}  // namespace tabulon
