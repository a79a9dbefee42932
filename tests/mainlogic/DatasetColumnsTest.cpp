#include <gtest/gtest.h>

#include "FilterFixture.h"
#include "column/Descriptor.h"
#include "engine/Dataset.h"
#include "mainlogic/DatasetList.h"
#include "platform/FileIo.h"

namespace tabulon {
namespace {

using test::Opened;
using test::S;
using test::Strings;

const char* const kShops =
    "店,数量,日付,単価\r\n"
    "新宿,1,2004/01/05,7\r\n"
    "渋谷,2,2004/02/05,7\r\n"
    "池袋,3,2004/03/05,7\r\n";

TEST(DatasetColumns, AnEntryOfTheDatasetListOpensItsFileAndNoEntryLeavesNothingSelected) {
  Opened d(S(kShops));
  TDatasetList list(d.data.Csv() + ".lis");
  list.Add(d.data.Csv());
  TMainLogic m;
  EXPECT_FALSE(m.DatasetSelected());
  m.SelectDatasetEntry(list, 1);  // past the list's end
  EXPECT_FALSE(m.DatasetSelected());
  EXPECT_EQ(m.DatasetEntry(), -1);
  EXPECT_EQ(m.Label1(), "*");

  m.SelectDatasetEntry(list, 0);
  EXPECT_TRUE(m.DatasetSelected());
  EXPECT_EQ(m.DatasetEntry(), 0);
  EXPECT_EQ(m.Label1(), d.data.Csv());
  EXPECT_EQ(m.Label2(), "3");

  // Deleting the entry leaves none selected; what the window shows of the dataset stays.
  m.SelectDatasetEntry(list, -1);
  EXPECT_FALSE(m.DatasetSelected());
  EXPECT_EQ(m.Label1(), d.data.Csv());
}

TEST(DatasetColumns, OpeningListsUnmarkedColumnsAndShowsOnePanelPerColumnType) {
  Opened d(S(kShops));
  TMainLogic& m = d.logic;
  EXPECT_EQ(m.Label1(), d.data.Csv());
  EXPECT_EQ(m.ColumnEntries(), (Strings{S("  店"), S("  数量"), S("  日付"), S("  単価")}));
  EXPECT_EQ(m.SelectedColumn(), 0);
  EXPECT_EQ(m.Label2(), "3");
  EXPECT_EQ(m.Label7(), "3");
  EXPECT_TRUE(m.RolePanelVisible());
  EXPECT_TRUE(m.ItemPanel().visible);
  EXPECT_EQ(m.ItemPanel().caption, S("店"));
  EXPECT_EQ(m.ItemPanel().items, (Strings{S("新宿"), S("渋谷"), S("池袋")}));
  const TWorkspace& ws = m.Workspace();
  for (int r = 0; r < kRoleCount; ++r) EXPECT_TRUE(ws.roleVisible[r] && !ws.roleDown[r]) << r;
  EXPECT_TRUE(ws.roleEnabled[kRoleColumnItems] && ws.roleEnabled[kRoleRowItems]);

  const auto shown = [&] {
    return std::string(m.ItemPanel().visible ? "item " : "") +
           (m.RangePanel().visible ? "range " : "") + (m.SearchPanel().visible ? "search " : "") +
           (m.DatePanel().visible ? "date " : "");
  };
  EXPECT_EQ(shown(), "item ");
  m.ListBox2Click(1);
  EXPECT_EQ(shown(), "range ");
  EXPECT_EQ(m.RangePanel().caption, S("数量"));
  m.ListBox2Click(2);
  EXPECT_EQ(shown(), "date ");
  // A numeric column with one value: no range panel and no role toggles.
  m.ListBox2Click(3);
  EXPECT_EQ(shown(), "");
  EXPECT_EQ(m.Label7(), "1");
  for (int r = 0; r < 3; ++r) EXPECT_FALSE(ws.roleVisible[r]) << r;
}

TEST(DatasetColumns, ARoleMarkerWinsOverTheFilterMarkerAndResetClearsBoth) {
  Opened d(S(kShops));
  TMainLogic& m = d.logic;
  m.ListBox3Click({0});
  EXPECT_EQ(m.ColumnEntries()[0], S("＊店"));
  m.SpeedButton1Click(kRoleRowItems);  // 行項目
  EXPECT_EQ(m.ColumnEntries()[0], S("↓店"));
  EXPECT_TRUE(m.Workspace().roleDown[kRoleRowItems]);
  m.Button3Click();
  EXPECT_EQ(m.ColumnEntries()[0], S("  店"));
  EXPECT_EQ(d.Col(0).FRole, kRoleNone);
  EXPECT_FALSE(m.Workspace().roleDown[kRoleRowItems]);
}

TEST(DatasetColumns, SelectionsSurviveSwitchingColumnsButNotReopening) {
  Opened d(S(kShops));
  TMainLogic& m = d.logic;
  m.ListBox3Click({0, 2});
  m.ListBox2Click(1);
  m.Label6Click("2");
  m.ListBox2Click(0);
  EXPECT_EQ(Opened::Picked(m.ItemPanel().items, m.ItemPanel().picked),
            (Strings{S("新宿"), S("池袋")}));
  m.ListBox2Click(1);
  EXPECT_EQ(m.RangePanel().label6.text, "2");
  EXPECT_EQ(m.ColumnEntries(), (Strings{S("＊店"), S("＊数量"), S("  日付"), S("  単価")}));

  d.Col(1).FRole = kRoleColumnItems;
  m.ListBox1Click(d.data.Csv());
  EXPECT_EQ(m.ColumnEntries(), (Strings{S("  店"), S("  数量"), S("  日付"), S("  単価")}));
  EXPECT_EQ(m.SelectedColumn(), 0);
  EXPECT_EQ(m.ItemPanel().picked, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(d.Col(1).FRole, kRoleNone);
  EXPECT_EQ(d.Col(1).FUpper, 3);
}

// The window opens a dataset with the opener of every other caller: its columns stand as the
// headless opening leaves them, whatever panel showed them on the way.
TEST(DatasetColumns, TheWindowsColumnsAreTheHeadlessOpenersColumns) {
  Opened d(
      S("店,数量,日付,単価,時刻\r\n"
        "新宿,1,2004/01/05,7.5,2004/01/05 9:30:00\r\n"
        "渋谷,2,2004/02/05,7,2004/01/06 18:00:00\r\n"
        "池袋,30,,7.25,\r\n"));
  const TWorkspace& window = d.logic.Workspace();
  TWorkspace headless;
  OpenDataset(headless, d.data.Csv());
  EXPECT_EQ(window.FColCount, 5);
  EXPECT_EQ(window.FRowCount, headless.FRowCount);
  EXPECT_EQ(window.FDataDir, headless.FDataDir);
  ASSERT_TRUE(window.descriptor && headless.descriptor);
  EXPECT_EQ(*window.descriptor, *headless.descriptor);
  EXPECT_EQ(*d.logic.Descriptor(), *headless.descriptor);
  ASSERT_EQ(window.FCols.size(), headless.FCols.size());
  for (size_t i = 0; i < window.FCols.size(); ++i) {
    const TCol& w = *window.FCols[i];
    const TCol& h = *headless.FCols[i];
    EXPECT_EQ(w.FName, h.FName) << i;
    EXPECT_EQ(w.FValueType, h.FValueType) << i;
    EXPECT_EQ(w.FStorage, h.FStorage) << i;
    EXPECT_EQ(w.FCount, h.FCount) << i;
    EXPECT_EQ(w.FMin, h.FMin) << i;
    EXPECT_EQ(w.FMax, h.FMax) << i;
    EXPECT_EQ(w.FLower, h.FLower) << i;
    EXPECT_EQ(w.FUpper, h.FUpper) << i;
    EXPECT_EQ(w.FDivisions, h.FDivisions) << i;
    EXPECT_EQ(w.HasTimes(), h.HasTimes()) << i;
    EXPECT_FALSE(w.FFiltered) << i;
  }
  EXPECT_TRUE(window.FCols[4]->HasTimes());
}

// A column file the opening reads (the days of a date column, to look for times of day) that
// cannot be read leaves the open dataset as it was, as an unreadable descriptor does.
TEST(DatasetColumns, AnUnreadableDateColumnLeavesTheOpenDataset) {
  Opened first(S(kShops));
  Opened second(S("品,数\r\nA,1\r\n"));
  TMainLogic& m = second.logic;
  DeleteFileIfExists(ColumnFilePath(StoreDirOf(first.data.Csv()), 2, TColumnFile::kInd));
  EXPECT_THROW(m.ListBox1Click(first.data.Csv()), IoError);
  EXPECT_EQ(m.Label1(), second.data.Csv());
  EXPECT_EQ(m.ColumnEntries(), (Strings{S("  品"), S("  数")}));
  EXPECT_EQ(m.Workspace().FCsvPath, second.data.Csv());
  EXPECT_EQ(m.Workspace().FCols.size(), 2u);
  EXPECT_EQ(m.Descriptor()->names, (Strings{S("品"), S("数")}));
}

// A descriptor whose column count runs past the column names is refused, and the open dataset
// stays as it was (a count of two thousand million made that many columns).
TEST(DatasetColumns, AColumnCountBeyondTheColumnNamesLeavesTheOpenDataset) {
  Opened d(S(kShops));
  TMainLogic& m = d.logic;
  const std::string ini = StoreDirOf(d.data.Csv()) + "/data.Ini";
  const std::string clean = test::ReadFile(ini);
  std::string damaged = clean;
  damaged.replace(damaged.find("ColCount=4"), 10, "ColCount=2000000000");
  test::WriteFile(ini, damaged);
  EXPECT_THROW(m.ListBox1Click(d.data.Csv()), IoError);
  EXPECT_EQ(m.ColumnEntries().size(), 4u);
  EXPECT_EQ(m.Workspace().FCols.size(), 4u);
  test::WriteFile(ini, clean);
  m.ListBox1Click(d.data.Csv());
  EXPECT_EQ(m.ColumnEntries().size(), 4u);
}

// A Count beyond what any store holds, here in the section of a per-row column (which has none),
// is not taken for the column's number of ranges: two thousand million made a label for each.
TEST(DatasetColumns, ACountOfAPerRowColumnDoesNotDivideIt) {
  std::string csv = "n\r\n";
  for (int i = 0; i < 2100; ++i) csv += std::to_string(i) + "\r\n";
  Opened d(csv);
  TMainLogic& m = d.logic;
  ASSERT_EQ(d.Col(0).FStorage, csLon);
  const std::string ini = StoreDirOf(d.data.Csv()) + "/data.Ini";
  std::string damaged = test::ReadFile(ini);
  damaged.replace(damaged.find("ColType=Lon"), 11, "ColType=Lon\r\nCount=2000000000");
  test::WriteFile(ini, damaged);
  m.ListBox1Click(d.data.Csv());
  EXPECT_EQ(m.Label7(), "0");
  m.SpeedButton1Click(kRoleRowItems);
  EXPECT_EQ(Opened::Row(m.MainGrid(), 3), S("合計|2100|2100"));
}

TEST(DatasetColumns, WithoutADatasetTheCommandsDoNothing) {
  TMainLogic m;
  m.ListBox2Click(0);
  m.ListBox3Click({0});
  m.Button3Click();
  m.Label5Click("abc");  // no column: not even the conversion runs
  m.Button9Click("x");
  m.DateTimePicker1Change(TDateControl::kWeekday, 3);
  m.DrillDown(0, "x");
  m.StringGrid1MouseDown(1, 1);
  m.Button7Click();
  m.SpeedButton1Click(kRoleColumnItems);
  EXPECT_EQ(m.Label1(), "*");
  EXPECT_EQ(m.Label2(), "00000");
  EXPECT_EQ(m.Label7(), "0000");
  EXPECT_EQ(m.SearchPanel().countText, "-");
  EXPECT_TRUE(m.ColumnEntries().empty());
  EXPECT_FALSE(m.RolePanelVisible());
}

}  // namespace
}  // namespace tabulon
