#include <gtest/gtest.h>

#include "FilterFixture.h"
#include "platform/Errors.h"
#include "platform/LocaleFormats.h"

namespace tabulon {
namespace {

using test::ConvertErrorOf;
using test::Opened;
using test::S;
using test::Strings;

const char* const kSales =
    "店,数量,日付,負,金額\r\n"
    "新宿,0,2004/03/01 00:00,-10,-10.5\r\n"
    "渋谷,10,2004/03/31 23:59:59,-7,-5\r\n"
    "池袋,20,2004/04/01,-5,0.25\r\n"
    "新宿,34,2004/12/31 08:00,0,1\r\n"
    "渋谷,50,2004/12/31,5,2\r\n"
    "池袋,66,2004/01/07 10:00,10,3\r\n"
    "新宿,67,2005/01/01,3,4\r\n"
    "渋谷,100,2004/02/29 12:00,-3,5\r\n";

enum { kShop, kQuantity, kDate, kNegative, kAmount };

const double kMs = EncodeTime(0, 0, 0, 1);

struct Drill : Opened {
  Drill() : Opened(S(kSales)) { logic.Workspace().sort = false; }
  // Gives column k a role by its toggle, as the user would.
  void Role(int k, int toggle) {
    logic.ListBox2Click(k);
    logic.SpeedButton1Click(toggle);
  }
  void Unit(int k, const char* utf8) {
    logic.ListBox2Click(k);
    logic.RadioGroup1Click(IndexOf(logic.DatePanel().intervals, S(utf8)));
  }
  const TResultTable& Grid() { return logic.MainGrid(); }
  // Quantities in three ranges as the column items, shops as the row items.
  void QuantityRangesByShop() {
    logic.ListBox2Click(kQuantity);
    logic.ComboBox2Change(IndexOf(logic.RangePanel().divisions, "3"));
    Role(kQuantity, 0);
    Role(kShop, 1);
  }
};

TEST(DrillDown, ARangeHeaderBecomesTheColumnsBoundsAndLeavesTheRowAxis) {
  Drill d;
  TMainLogic& m = d.logic;
  d.QuantityRangesByShop();
  ASSERT_EQ(Opened::Row(d.Grid(), 0), S("|  0- 33| 34- 66| 67-100|合計"));
  m.StringGrid1MouseDown(2, 0);
  EXPECT_EQ(d.Col(kQuantity).FLower, 34);
  EXPECT_EQ(d.Col(kQuantity).FUpper, 66);
  EXPECT_EQ(d.Col(kQuantity).FRole, kRoleNone);
  EXPECT_EQ(m.ColumnEntries(),
            (Strings{S("↓店"), S("＊数量"), S("  日付"), S("  負"), S("  金額")}));
  EXPECT_EQ(m.SelectedColumn(), kQuantity);
  EXPECT_EQ(m.RangePanel().label5.text, "34");
  EXPECT_FALSE(m.Workspace().roleDown[kRoleColumnItems]);
  EXPECT_EQ(Opened::Row(d.Grid(), 0), S("||合計"));
  EXPECT_EQ(Opened::Row(d.Grid(), 1), S("新宿|1|1"));
}

TEST(DrillDown, ANegativeRangeHeaderSplitsAfterTheLowerBoundsDigits) {
  Drill d;
  TMainLogic& m = d.logic;
  m.DrillDown(kNegative, "-10- -5");
  EXPECT_EQ(d.Col(kNegative).FLower, -10);
  EXPECT_EQ(d.Col(kNegative).FUpper, -5);
  m.DrillDown(kNegative, " -7");  // a single negative value reads whole
  EXPECT_EQ(d.Col(kNegative).FLower, -7);
  EXPECT_EQ(d.Col(kNegative).FUpper, -7);
  m.DrillDown(kAmount, "-10.5    --5");
  EXPECT_EQ(d.Col(kAmount).FLower, -10.5);
  EXPECT_EQ(d.Col(kAmount).FUpper, -5);
  m.DrillDown(kAmount, "0.25     -1");
  EXPECT_EQ(d.Col(kAmount).FLower, 0.25);
  EXPECT_EQ(d.Col(kAmount).FUpper, 1);
}

TEST(DrillDown, AHeaderThatIsNoNumberStopsWithTheConversionErrorAfterLeavingTheAxis) {
  Drill d;
  TMainLogic& m = d.logic;
  d.Role(kQuantity, 0);
  EXPECT_EQ(ConvertErrorOf([&] { m.DrillDown(kQuantity, S("合計")); }),
            S("'合計' は浮動小数点数ではありません"));
  EXPECT_EQ(ConvertErrorOf([&] { m.DrillDown(kQuantity, "(null)"); }),
            S("'(null)' は浮動小数点数ではありません"));
  EXPECT_EQ(d.Col(kQuantity).FRole, kRoleNone);
  EXPECT_FALSE(d.Col(kQuantity).FFiltered);
}

TEST(DrillDown, AMonthHeaderKeepsTheWholeMonth) {
  Drill d;
  TMainLogic& m = d.logic;
  d.Unit(kDate, "月");
  m.DrillDown(kDate, "2004/03");
  EXPECT_EQ(d.Col(kDate).FLower, EncodeDate(2004, 3, 1));
  EXPECT_EQ(d.Col(kDate).FUpper, EncodeDate(2004, 4, 1) - kMs);
  EXPECT_TRUE(d.Col(kDate).FFiltered);
  EXPECT_EQ(m.ColumnEntries()[kDate], S("＊日付"));
  EXPECT_EQ(m.DatePanel().pickers[0].value, EncodeDate(2004, 3, 1));
  EXPECT_EQ(m.DatePanel().pickers[1].value, EncodeDate(2004, 3, 31));
  m.Button7Click();
  EXPECT_EQ(m.Label2(), "2");  // 1 March 00:00 and 31 March 23:59:59
  m.DrillDown(kDate, "2004/12");
  EXPECT_EQ(d.Col(kDate).FUpper, EncodeDate(2005, 1, 1) - kMs);
}

TEST(DrillDown, AYearHeaderBeforeTheFirstRecordIsShownWithoutChangingTheBound) {
  Drill d;
  TMainLogic& m = d.logic;
  d.Unit(kDate, "年");
  d.Role(kDate, 1);
  EXPECT_EQ(Opened::Row(d.Grid(), 1), "2004|7|7");
  m.StringGrid1MouseDown(0, 1);
  // The whole year, 31 December 08:00 included: the records the "2004" row counted.
  EXPECT_EQ(d.Col(kDate).FLower, EncodeDate(2004, 1, 1));
  EXPECT_EQ(d.Col(kDate).FUpper, EncodeDate(2005, 1, 1) - kMs);
  EXPECT_EQ(m.Label2(), "7");
  EXPECT_EQ(Opened::Row(d.Grid(), 0), S("|店|数量|日付|負|金額"));
  // The first record is of 1 March; the pickers still show 1 January.
  EXPECT_EQ(m.DatePanel().pickers[0].value, EncodeDate(2004, 1, 1));
  EXPECT_LE(m.DatePanel().earliestDay, EncodeDate(2004, 1, 1));
}

TEST(DrillDown, AWeekdayHeaderChoosesThatWeekdayAndADayHeaderTheWholeDay) {
  Drill d;
  TMainLogic& m = d.logic;
  d.Unit(kDate, "曜日");
  m.DrillDown(kDate, S("水"));
  EXPECT_EQ(m.DatePanel().weekdayIndex, 3);
  EXPECT_EQ(d.Col(kDate).FWeekdayFilter, kWeekdayWednesday);
  m.Button7Click();
  EXPECT_EQ(m.Label2(), "2");  // 2004/01/07 and 2004/03/31

  d.Unit(kDate, "日");
  m.DrillDown(kDate, "2004/03/31");
  EXPECT_EQ(d.Col(kDate).FLower, EncodeDate(2004, 3, 31));
  EXPECT_EQ(d.Col(kDate).FUpper, EncodeDate(2004, 4, 1) - kMs);
  m.Button7Click();
  EXPECT_EQ(m.Label2(), "1");  // 23:59:59 included; the Wednesday set still applies
  EXPECT_EQ(ConvertErrorOf([&] { m.DrillDown(kDate, S("合計")); }),
            S("'合計' は日付ではありません"));
  d.Unit(kDate, "年");
  EXPECT_EQ(ConvertErrorOf([&] { m.DrillDown(kDate, S("合計")); }),
            S("'合計' は整数ではありません"));
}

TEST(DrillDown, DaysOfADateAndTimeColumnAreCalendarDaysInTheCellAndTheDrill) {
  // The earliest record is at 13:00: a 06:00 record of the next day is still the next day's.
  Opened d(S("日時\r\n2024/03/01 13:00\r\n2024/03/02 06:00\r\n2024/03/02 18:00\r\n"));
  TMainLogic& m = d.logic;
  m.Workspace().sort = false;
  m.ListBox2Click(0);
  m.RadioGroup1Click(Opened::IndexOf(m.DatePanel().intervals, S("日")));
  m.SpeedButton1Click(kRoleRowItems);
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), "2024/03/01|1|1");
  EXPECT_EQ(Opened::Row(m.MainGrid(), 2), "2024/03/02|2|2");
  m.StringGrid1MouseDown(1, 2);
  EXPECT_EQ(m.Label2(), "2");  // the records the cell counted
}

TEST(DrillDown, TimeHeadersOfATimeColumnKeepTheirHourMinuteOrSecond) {
  Opened d("t\r\n9:00\r\n9:15:30\r\n9:30\r\n");
  TMainLogic& m = d.logic;
  const auto unit = [&](const char* utf8) {
    m.RadioGroup1Click(Opened::IndexOf(m.DatePanel().intervals, S(utf8)));
  };
  m.DrillDown(0, "09");
  EXPECT_EQ(d.Col(0).FLower, EncodeTime(9, 0, 0, 0));
  EXPECT_EQ(d.Col(0).FUpper, EncodeTime(9, 59, 59, 999));
  unit("分");
  m.DrillDown(0, "09:15");
  EXPECT_EQ(d.Col(0).FLower, EncodeTime(9, 15, 0, 0));
  EXPECT_EQ(d.Col(0).FUpper, EncodeTime(9, 15, 59, 999));
  unit("秒");
  m.DrillDown(0, "09:15:30");
  EXPECT_EQ(d.Col(0).FLower, EncodeTime(9, 15, 30, 0));
  m.Button7Click();
  EXPECT_EQ(m.Label2(), "1");
  EXPECT_EQ(ConvertErrorOf([&] { m.DrillDown(0, S("合計")); }), S("'合計' は時刻ではありません"));
}

// Stamps of three days; the 9 o'clock hour holds records of every day.
const char* const kStamps =
    "日時\r\n"
    "2024/03/01 9:05\r\n"
    "2024/03/01 10:00\r\n"
    "2024/03/02 9:00\r\n"
    "2024/03/02 9:59:59.900\r\n"
    "2024/03/03 8:59:59\r\n"
    "2024/03/03 9:30\r\n"
    "2024/03/03 23:00\r\n";

TEST(DrillDown, AnHourHeadingOfADateAndTimeColumnKeepsThatHourOnEveryDay) {
  Opened d(S(kStamps));
  TMainLogic& m = d.logic;
  m.RadioGroup1Click(Opened::IndexOf(m.DatePanel().intervals, S("時")));
  m.SpeedButton1Click(kRoleColumnItems);
  m.StringGrid1MouseDown(10, 0);  // the heading "09"
  EXPECT_EQ(d.Col(0).FTimeLower, EncodeTime(9, 0, 0, 0));
  EXPECT_EQ(d.Col(0).FTimeUpper, EncodeTime(9, 59, 59, 999));
  EXPECT_EQ(d.Col(0).FLower, EncodeDate(2024, 3, 1));  // the days are kept whole
  EXPECT_EQ(d.Col(0).FUpper, EncodeDate(2024, 3, 4) - kMs);
  EXPECT_EQ(m.ColumnEntries()[0], S("＊日時"));
  EXPECT_EQ(m.Label2(), "4");
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), "1|2024/03/01 9:05");
  EXPECT_EQ(Opened::Row(m.MainGrid(), 4), "4|2024/03/03 9:30");
  EXPECT_EQ(m.DatePanel().pickers[2].value, EncodeTime(9, 0, 0, 0));
  EXPECT_EQ(m.DatePanel().pickers[3].value, EncodeTime(9, 59, 59, 0));
}

TEST(DrillDown, AMinuteHeadingOfADateAndTimeColumnKeepsThatMinuteToItsLastMillisecond) {
  Opened d(S(kStamps));
  TMainLogic& m = d.logic;
  m.RadioGroup1Click(Opened::IndexOf(m.DatePanel().intervals, S("分")));
  m.DrillDown(0, "09:30");
  m.Button7Click();
  EXPECT_EQ(m.Label2(), "1");
  m.Button6Click();
  m.DrillDown(0, "09:59");
  m.Button7Click();
  EXPECT_EQ(m.Label2(), "1");  // 9:59:59.900
  EXPECT_EQ(d.Col(0).FTimeUpper, EncodeTime(9, 59, 59, 999));
}

TEST(DrillDown, DrillBackAnHourHeadingBringsTheWholeDayBackAndTheAxis) {
  Opened d(S(kStamps));
  TMainLogic& m = d.logic;
  m.RadioGroup1Click(Opened::IndexOf(m.DatePanel().intervals, S("時")));
  m.SpeedButton1Click(kRoleColumnItems);
  m.StringGrid1MouseDown(10, 0);  // the heading "09": a time window on every day
  ASSERT_EQ(d.Col(0).FTimeLower, EncodeTime(9, 0, 0, 0));
  EXPECT_TRUE(m.UndoDrillDown());
  EXPECT_EQ(d.Col(0).FTimeLower, 0);
  EXPECT_EQ(d.Col(0).FTimeUpper, kLastMsOfDay);
  EXPECT_FALSE(d.Col(0).FFiltered);
  EXPECT_EQ(d.Col(0).FRole, kRoleColumnItems);
  m.Button7Click();
  EXPECT_EQ(m.Label2(), "7");  // every record passes again
}

TEST(DrillDown, ADayHeadingOfADateAndTimeColumnKeepsTheTimeWindow) {
  Opened d(S(kStamps));
  TMainLogic& m = d.logic;
  m.DateTimePicker1Change(TDateControl::kLowerTime, EncodeTime(9, 0, 0, 0));
  m.DateTimePicker1Change(TDateControl::kUpperTime, EncodeTime(17, 59, 59, 0));
  EXPECT_EQ(m.Label2(), "5");
  m.RadioGroup1Click(Opened::IndexOf(m.DatePanel().intervals, S("日")));
  m.DrillDown(0, "2024/03/03");
  m.Button7Click();
  EXPECT_EQ(d.Col(0).FLower, EncodeDate(2024, 3, 3));
  EXPECT_EQ(d.Col(0).FTimeLower, EncodeTime(9, 0, 0, 0));
  EXPECT_EQ(m.Label2(), "1");  // 9:30; neither 8:59:59 nor 23:00
  // An hour drilled under the window keeps only the part of the hour the window let in.
  m.DateTimePicker1Change(TDateControl::kLowerTime, EncodeTime(9, 10, 0, 0));
  m.RadioGroup1Click(Opened::IndexOf(m.DatePanel().intervals, S("時")));
  m.DrillDown(0, "09");
  m.Button7Click();
  EXPECT_EQ(d.Col(0).FTimeLower, EncodeTime(9, 10, 0, 0));
  EXPECT_EQ(d.Col(0).FTimeUpper, EncodeTime(9, 59, 59, 999));
  EXPECT_EQ(m.Label2(), "1");
  m.Button6Click();
  EXPECT_EQ(m.Label2(), "7");
}

TEST(DrillDown, ADataCellOfTheOnlyAxisFiltersToItsValueAndListsTheRecords) {
  Drill d;
  TMainLogic& m = d.logic;
  m.ListBox3Click({0, 1, 2});
  d.Role(kShop, 1);
  m.StringGrid1MouseDown(1, 1);
  EXPECT_EQ(d.Col(kShop).FSelected, (Strings{S("新宿")}));
  EXPECT_EQ(d.Col(kShop).FRole, kRoleNone);
  EXPECT_EQ(m.ColumnEntries()[kShop], S("＊店"));
  EXPECT_EQ(Opened::Picked(m.ItemPanel().items, m.ItemPanel().picked), (Strings{S("新宿")}));
  EXPECT_EQ(m.Label2(), "3");
  EXPECT_EQ(Opened::Row(d.Grid(), 1), S("1|新宿|0|2004/03/01 00:00|-10|-10.5"));
  EXPECT_EQ(Opened::Row(d.Grid(), 3), S("3|新宿|67|2005/01/01|3|4"));
}

TEST(DrillDown, TheTotalHeaderOfATextAxisPicksNothing) {
  Drill d;
  TMainLogic& m = d.logic;
  m.ListBox3Click({0, 1});
  d.Role(kShop, 1);
  ASSERT_EQ(d.Grid().Cell(0, 3), S("合計"));
  m.StringGrid1MouseDown(0, 3);
  EXPECT_EQ(d.Col(kShop).FRole, kRoleNone);
  EXPECT_FALSE(d.Col(kShop).FFiltered);
  EXPECT_TRUE(d.Col(kShop).FSelected.empty());
  EXPECT_EQ(m.ColumnEntries()[kShop], S("  店"));
  EXPECT_EQ(m.Label2(), "8");  // no axis left: the record list
}

TEST(DrillDown, ADataCellWithTwoAxesDrillsBothHeadingsOfThatCell) {
  Drill d;
  TMainLogic& m = d.logic;
  d.QuantityRangesByShop();
  m.StringGrid1MouseDown(2, 2);  // 34-66 of 渋谷
  EXPECT_EQ(d.Col(kShop).FSelected, (Strings{S("渋谷")}));
  EXPECT_EQ(d.Col(kQuantity).FLower, 34);
  EXPECT_EQ(m.Label2(), "1");
  EXPECT_EQ(Opened::Row(d.Grid(), 1), S("1|渋谷|50|2004/12/31|5|2"));
}

TEST(DrillDown, TheTopLeftCellDrillsNothingAndRebuildsTheTable) {
  Drill d;
  TMainLogic& m = d.logic;
  d.Role(kShop, 1);
  d.Role(kNegative, 0);
  const std::string before = Opened::Row(d.Grid(), 1);
  m.StringGrid1MouseDown(0, 0);
  m.StringGrid1MouseDown(-1, 5);
  EXPECT_EQ(d.Col(kShop).FRole, kRoleRowItems);
  EXPECT_EQ(d.Col(kNegative).FRole, kRoleColumnItems);
  EXPECT_EQ(Opened::Row(d.Grid(), 1), before);
}

TEST(DrillDown, ASearchedColumnDrillsToTheExactMatch) {
  std::string csv = "name\r\napple\r\npineapple\r\napple\r\n";
  for (int i = 0; i < 2001; ++i) csv += "v" + std::to_string(i) + "\r\n";
  Opened d(csv);
  TMainLogic& m = d.logic;
  m.Button9Click("apple");
  m.SpeedButton1Click(kRoleRowItems);
  m.DrillDown(0, "apple");
  EXPECT_EQ(d.Col(0).FSelected, (Strings{"apple"}));
  EXPECT_EQ(m.SearchPanel().picked, (std::vector<bool>{true, false}));
  EXPECT_EQ(m.ColumnEntries()[0], S("＊name"));
  EXPECT_EQ(m.Label2(), "2");
}

// ---- 戻る

// The whole visible state a drill-down changes: grid, column list, record count, selected column,
// role toggles and every column's selection.
std::string Snapshot(Drill& d) {
  TMainLogic& m = d.logic;
  std::string out = "col " + std::to_string(m.SelectedColumn()) + " roles";
  for (bool down : m.Workspace().roleDown) out += down ? " 1" : " 0";
  out += "\n" + m.Label2() + "\n";
  for (const std::string& e : m.ColumnEntries()) out += e + "/";
  for (const auto& col : m.Workspace().FCols) {
    out += "\n" + std::to_string(col->FRole) + (col->FFiltered ? "F " : "- ") +
           std::to_string(col->FLower) + ".." + std::to_string(col->FUpper) + " w" +
           std::to_string(col->FWeekdayFilter) + " [";
    for (const std::string& s : col->FSelected) out += s + ";";
    out += "]";
  }
  for (int r = 0; r < d.Grid().RowCount(); ++r) out += "\n" + Opened::Row(d.Grid(), r);
  return out;
}

TEST(DrillDown, DrillBackEachStepBackRestoresTheStateBeforeThatDrillDown) {
  Drill d;
  TMainLogic& m = d.logic;
  d.QuantityRangesByShop();
  d.Role(kAmount, 2);
  const std::string start = Snapshot(d);
  m.StringGrid1MouseDown(2, 0);  // 34-66: the shops remain the rows
  const std::string afterFirst = Snapshot(d);
  ASSERT_EQ(Opened::Row(d.Grid(), 0), S("||合計"));
  m.StringGrid1MouseDown(0, 1);  // 新宿: no axis left, the record list
  ASSERT_EQ(m.Label2(), "1");
  EXPECT_TRUE(m.CanUndoDrillDown());

  EXPECT_TRUE(m.UndoDrillDown());
  EXPECT_EQ(Snapshot(d), afterFirst);
  EXPECT_TRUE(m.UndoDrillDown());
  EXPECT_EQ(Snapshot(d), start);
  EXPECT_EQ(Opened::Row(d.Grid(), 0), S("|  0- 33| 34- 66| 67-100|合計"));
  EXPECT_EQ(m.ColumnEntries(),
            (Strings{S("↓店"), S("→数量"), S("  日付"), S("  負"), S("ｖ金額")}));
  EXPECT_EQ(m.SelectedColumn(), kAmount);
  EXPECT_TRUE(m.Workspace().roleDown[kRoleValue]);

  // Nothing left to undo: nothing changes.
  EXPECT_FALSE(m.CanUndoDrillDown());
  EXPECT_FALSE(m.UndoDrillDown());
  EXPECT_EQ(Snapshot(d), start);
}

TEST(DrillDown, DrillBackADrillDownOfBothHeadingsIsOneStepAndTheTopLeftCellNone) {
  Drill d;
  TMainLogic& m = d.logic;
  d.Unit(kDate, "曜日");
  d.Role(kDate, 0);
  d.Role(kShop, 1);
  const std::string start = Snapshot(d);
  m.StringGrid1MouseDown(0, 0);
  EXPECT_FALSE(m.CanUndoDrillDown());
  m.StringGrid1MouseDown(1, 2);  // a weekday of 渋谷
  ASSERT_NE(Snapshot(d), start);
  EXPECT_TRUE(m.UndoDrillDown());
  EXPECT_EQ(Snapshot(d), start);
  EXPECT_EQ(d.Col(kDate).FWeekdayFilter, kWeekdaysAll);
  EXPECT_FALSE(m.CanUndoDrillDown());
}

TEST(DrillDown, DrillBackAHalfDoneDrillDownCanBeUndone) {
  Drill d;
  TMainLogic& m = d.logic;
  d.Role(kShop, 1);
  EXPECT_EQ(ConvertErrorOf([&] { m.DrillDown(kQuantity, "x"); }),
            S("'x' は浮動小数点数ではありません"));
  // DrillDown alone is no click on the grid: nothing recorded.
  EXPECT_FALSE(m.CanUndoDrillDown());
  const std::string start = Snapshot(d);
  m.Workspace().FOutGrid->SetCell(0, 1, "x");  // a heading that is no shop: nothing picked
  m.StringGrid1MouseDown(0, 1);
  EXPECT_TRUE(m.UndoDrillDown());
  EXPECT_EQ(Snapshot(d), start);
}

TEST(DrillDown, DrillBackAResetOrAnotherDatasetForgetsTheSteps) {
  Drill d;
  TMainLogic& m = d.logic;
  d.Role(kShop, 1);
  m.StringGrid1MouseDown(0, 1);
  ASSERT_TRUE(m.CanUndoDrillDown());
  m.ListBox2Click(kShop);
  m.Button3Click();
  EXPECT_FALSE(m.CanUndoDrillDown());
  EXPECT_FALSE(m.UndoDrillDown());
  EXPECT_FALSE(d.Col(kShop).FFiltered);

  d.Role(kQuantity, 1);
  m.StringGrid1MouseDown(0, 1);
  ASSERT_TRUE(m.CanUndoDrillDown());
  m.ListBox2Click(kQuantity);
  m.Button4Click();
  EXPECT_FALSE(m.CanUndoDrillDown());

  d.Role(kShop, 1);
  m.StringGrid1MouseDown(0, 1);
  m.ListBox1Click(d.data.Csv());
  EXPECT_FALSE(m.CanUndoDrillDown());
  EXPECT_FALSE(m.UndoDrillDown());
  EXPECT_EQ(d.Col(kShop).FRole, kRoleNone);
}

TEST(DrillDown, DrillBackTheHistoryKeepsTheNewestStepsAndIgnoresOtherColumns) {
  Drill d;
  TDrillHistory history;
  std::vector<std::unique_ptr<TCol>>& cols = d.logic.Workspace().FCols;
  for (int i = 0; i < static_cast<int>(TDrillHistory::kMaxSteps) + 5; ++i) {
    cols[0]->FDivisions = i;
    history.Record(cols, {i, std::to_string(i)});
  }
  EXPECT_EQ(history.Depth(), TDrillHistory::kMaxSteps);
  TDrillHistory::Shown shown;
  ASSERT_TRUE(history.Undo(cols, &shown));
  EXPECT_EQ(shown.selectedColumn, static_cast<int>(TDrillHistory::kMaxSteps) + 4);
  while (history.Undo(cols, &shown)) {
  }
  EXPECT_EQ(shown.recordCountText, "5");  // the oldest five were forgotten
  EXPECT_EQ(cols[0]->FDivisions, 5);

  history.Record(cols, {0, "0"});
  std::vector<std::unique_ptr<TCol>> fewer;
  fewer.push_back(std::make_unique<TCol>());
  fewer[0]->FDivisions = 77;
  EXPECT_FALSE(history.Undo(fewer, &shown));
  EXPECT_EQ(fewer[0]->FDivisions, 77);
  EXPECT_TRUE(history.Empty());

  // Many columns: fewer steps, the newest kept.
  TDrillHistory bounded(12);
  for (int i = 0; i < 4; ++i) bounded.Record(cols, {i, ""});  // 5 columns a step
  EXPECT_EQ(bounded.Depth(), 2u);
  ASSERT_TRUE(bounded.Undo(cols, &shown));
  EXPECT_EQ(shown.selectedColumn, 3);
  TDrillHistory tiny(1);
  tiny.Record(cols, {7, ""});
  EXPECT_EQ(tiny.Depth(), 1u);
}

}  // namespace
}  // namespace tabulon
