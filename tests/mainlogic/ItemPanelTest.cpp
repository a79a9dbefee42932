#include <gtest/gtest.h>

#include "FilterFixture.h"

namespace tabulon {
namespace {

using test::Opened;
using test::S;
using test::Strings;

// Five shops over eight records.
const char* const kSales =
    "店,数量\r\n新宿,1\r\n渋谷,2\r\n池袋,3\r\n上野,4\r\n品川,5\r\n新宿,6\r\n渋谷,7\r\n池袋,8\r\n";

TEST(ItemPanel, PicksBecomeTheSelectionAndNoPickMeansNoFilter) {
  Opened d(S(kSales));
  TMainLogic& m = d.logic;
  m.ListBox3Click({2, 0});
  EXPECT_EQ(d.Col(0).FSelected, (Strings{S("新宿"), S("池袋")}));  // in list order
  EXPECT_EQ(m.ColumnEntries()[0], S("＊店"));
  EXPECT_EQ(Opened::Picked(m.ItemPanel().items, m.ItemPanel().picked),
            (Strings{S("新宿"), S("池袋")}));
  EXPECT_EQ(m.Label2(), "4");

  m.ListBox3Click({0, 1, 2, 3, 4, 99, -1});  // every entry; indices outside are ignored
  EXPECT_TRUE(d.Col(0).FFiltered);
  EXPECT_EQ(m.Label2(), "8");

  m.ListBox3Click({});
  EXPECT_FALSE(d.Col(0).FFiltered);
  EXPECT_EQ(m.ColumnEntries()[0], S("  店"));
}

TEST(ItemPanel, ResettingTheRowItemsRemovesTheRowAxisAndTheFilter) {
  Opened d(S(kSales));
  TMainLogic& m = d.logic;
  m.ListBox3Click({0, 1});
  m.Workspace().sort = false;
  m.SpeedButton1Click(kRoleRowItems);
  EXPECT_EQ(m.ColumnEntries()[0], S("↓店"));
  EXPECT_EQ(m.MainGrid().Cell(0, 1), S("新宿"));
  EXPECT_EQ(m.MainGrid().Cell(0, 2), S("渋谷"));
  m.Button3Click();
  EXPECT_EQ(m.ColumnEntries()[0], S("  店"));
  EXPECT_EQ(d.Col(0).FRole, kRoleNone);
  EXPECT_TRUE(d.Col(0).FSelected.empty());
  EXPECT_EQ(m.ItemPanel().picked, std::vector<bool>(5, false));
  // No role anywhere: the result is cleared and only the record count remains.
  EXPECT_EQ(m.MainGrid().Cell(0, 1), "");
  EXPECT_EQ(m.Label2(), "8");
}

TEST(ItemPanel, PicksMatchStoredValuesWithoutRegardToLetterCase) {
  Opened d("shop\r\nAlpha\r\nbeta\r\nalpha\r\n");
  TMainLogic& m = d.logic;
  EXPECT_EQ(m.ItemPanel().items, (Strings{"Alpha", "beta"}));
  d.Col(0).SetSelected({"ALPHA"});
  m.ListBox2Click();
  EXPECT_EQ(m.ItemPanel().picked, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace tabulon
