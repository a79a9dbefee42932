#include <gtest/gtest.h>

#include "FilterFixture.h"
#include "platform/LocaleFormats.h"

namespace tabulon {
namespace {

using test::Opened;
using test::S;
using test::Strings;

// 0 dates of 2004; 1 times of day 9:00 to 18:00; 2 dates with times; 3 dates over ten years;
// 4 times of day within 30 minutes.
const char* const kDates =
    "日付,時刻,日時,長期,短時間\r\n"
    "2004/01/01,9:00,2004/01/01 10:00,2000/01/01,9:00\r\n"   // Thursday
    "2004/01/03,12:30,2004/01/02 12:00,2005/01/01,9:10\r\n"  // Saturday
    "2004/01/04,18:00,2004/01/03 18:30,2010/01/01,9:30\r\n"  // Sunday
    "2004/01/07,10:00,2004/01/02 08:00,2003/01/01,9:20\r\n"  // Wednesday
    "2004/06/15,11:00,2004/01/02 23:00,2004/01/01,9:15\r\n"
    "2004/12/31,17:00,2004/01/01 11:00,2006/01/01,9:05\r\n";

enum { kDay, kTime, kDayTime, kLong, kShort };

std::string Selected(const TDatePanelState& p) {
  return p.intervalIndex < 0 ? "(none)" : p.intervals[static_cast<size_t>(p.intervalIndex)];
}

TEST(DatePanel, ADateOnlyColumnOffersDayWeekdayMonthYearWithYearFirstSelected) {
  Opened d(S(kDates));
  TMainLogic& m = d.logic;
  const TDatePanelState& p = m.DatePanel();
  EXPECT_TRUE(p.visible);
  EXPECT_EQ(p.caption, S("日付"));
  EXPECT_EQ(p.intervals, (Strings{S("日"), S("曜日"), S("月"), S("年")}));
  EXPECT_EQ(Selected(p), S("年"));
  EXPECT_EQ(d.Col(kDay).FDateUnit, 0);
  EXPECT_EQ(p.earliestLabel, "2004/01/01");
  EXPECT_EQ(p.latestLabel, "2004/12/31");
  EXPECT_TRUE(p.pickers[0].visible && p.pickers[1].visible && p.weekdayVisible);
  EXPECT_FALSE(p.pickers[2].visible || p.pickers[3].visible);
  EXPECT_EQ(p.pickers[0].value, EncodeDate(2004, 1, 1));
  EXPECT_EQ(p.pickers[1].value, EncodeDate(2004, 12, 31));
  EXPECT_EQ(p.earliestDay, EncodeDate(2004, 1, 1));
  EXPECT_EQ(p.latestDay, EncodeDate(2004, 12, 31));
  m.ListBox2Click(kLong);  // more than 2000 days: no days
  EXPECT_EQ(p.intervals, (Strings{S("曜日"), S("月"), S("年")}));
}

TEST(DatePanel, ATimeOnlyColumnShowsTimePickersInPlaceOfTheDatesAndStartsByHours) {
  Opened d(S(kDates));
  TMainLogic& m = d.logic;
  m.ListBox2Click(kTime);
  const TDatePanelState& p = m.DatePanel();
  EXPECT_EQ(p.intervals, (Strings{S("時"), S("分")}));
  EXPECT_EQ(Selected(p), S("時"));
  EXPECT_EQ(d.Col(kTime).FDateUnit, 4);
  EXPECT_FALSE(p.pickers[0].visible || p.pickers[1].visible || p.weekdayVisible);
  EXPECT_TRUE(p.pickers[2].visible && p.pickers[3].visible);
  EXPECT_EQ(p.pickers[2].left, TDatePanelState::kDatePickerLeft);
  EXPECT_EQ(p.pickers[2].value, EncodeTime(9, 0, 0, 0));
  EXPECT_EQ(p.pickers[3].value, EncodeTime(18, 0, 0, 0));
  EXPECT_EQ(p.earliestLabel, "9:00:00");
  EXPECT_EQ(p.latestLabel, "18:00:00");
  m.ListBox2Click(kShort);  // 30 minutes: seconds are offered
  EXPECT_EQ(p.intervals, (Strings{S("時"), S("分"), S("秒")}));
}

TEST(DatePanel, ADateAndTimeColumnShowsBothPickersAndTheWholeIntervalList) {
  Opened d(S(kDates));
  TMainLogic& m = d.logic;
  m.ListBox2Click(kDayTime);
  const TDatePanelState& p = m.DatePanel();
  EXPECT_EQ(p.intervals, (Strings{S("日"), S("曜日"), S("月"), S("年"), S("時"), S("分")}));
  EXPECT_EQ(Selected(p), S("日"));  // the first entry until the user chooses a unit
  EXPECT_EQ(p.earliestLabel, "2004/01/01 10:00:00");
  EXPECT_EQ(p.latestLabel, "2004/01/03 18:30:00");
  EXPECT_EQ(p.pickers[2].left, TDatePanelState::kTimePickerBesideLeft);
  // The earliest record is at 10:00; its day may still be picked.
  EXPECT_EQ(p.earliestDay, EncodeDate(2004, 1, 1));
  EXPECT_EQ(p.pickers[0].value, EncodeDate(2004, 1, 1));
  EXPECT_NEAR(p.pickers[2].value, EncodeTime(10, 0, 0, 0), 1e-9);  // the fraction of a day serial
}

TEST(DatePanel, EachBoundOfADateAndTimeColumnCombinesItsDateAndTimePickers) {
  Opened d(S(kDates));
  TMainLogic& m = d.logic;
  m.ListBox2Click(kDayTime);
  m.DateTimePicker1Change(TDateControl::kLowerTime, EncodeTime(11, 0, 0, 0));
  EXPECT_EQ(d.Col(kDayTime).FLower, EncodeDate(2004, 1, 1) + EncodeTime(11, 0, 0, 0));
  EXPECT_EQ(d.Col(kDayTime).FUpper, EncodeDate(2004, 1, 3) + EncodeTime(18, 30, 0, 0));
  EXPECT_EQ(m.Label2(), "5");
  EXPECT_EQ(m.ColumnEntries()[kDayTime], S("＊日時"));
  m.DateTimePicker1Change(TDateControl::kUpperDate, EncodeDate(2004, 1, 2));
  EXPECT_EQ(d.Col(kDayTime).FUpper, EncodeDate(2004, 1, 2) + EncodeTime(18, 30, 0, 0));
  EXPECT_EQ(m.Label2(), "3");
}

TEST(DatePanel, SaturdayAndSundayRestrictAnUnfilteredColumnOverItsWholeRange) {
  Opened d(S(kDates));
  TMainLogic& m = d.logic;
  EXPECT_EQ(TMainLogic::WeekdayChoices()[7], S("土日"));
  m.DateTimePicker1Change(TDateControl::kWeekday, 7);
  EXPECT_EQ(d.Col(kDay).FWeekdayFilter, 7);
  EXPECT_EQ(m.DatePanel().weekdayIndex, 7);
  EXPECT_EQ(m.Label2(), "2");
  m.DateTimePicker1Change(TDateControl::kUpperDate, EncodeDate(2004, 1, 3));  // keeps that day
  EXPECT_EQ(d.Col(kDay).FUpper, EncodeDate(2004, 1, 3));
  EXPECT_EQ(m.Label2(), "1");
}

TEST(DatePanel, ResetKeepsTheChosenWeekdayStoredButUnused) {
  Opened d(S(kDates));
  TMainLogic& m = d.logic;
  m.DateTimePicker1Change(TDateControl::kWeekday, 3);  // 水
  m.Button6Click();
  EXPECT_FALSE(d.Col(kDay).FFiltered);
  EXPECT_EQ(m.ColumnEntries()[kDay], S("  日付"));
  EXPECT_EQ(m.DatePanel().weekdayIndex, 3);
  EXPECT_EQ(m.Label2(), "6");
  m.DateTimePicker1Change(TDateControl::kLowerDate, EncodeDate(2004, 1, 1));
  EXPECT_EQ(m.Label2(), "1");
}

TEST(DatePanel, ARefreshKeepsTheChosenUnitOfADateAndTimeColumn) {
  Opened d(S(kDates));
  TMainLogic& m = d.logic;
  m.ListBox2Click(kDayTime);
  m.RadioGroup1Click(Opened::IndexOf(m.DatePanel().intervals, S("月")));
  EXPECT_EQ(d.Col(kDayTime).FDateUnit, 1);
  m.ListBox2Click(kDay);
  m.ListBox2Click(kDayTime);
  EXPECT_EQ(Selected(m.DatePanel()), S("月"));
  EXPECT_EQ(d.Col(kDayTime).FDateUnit, 1);
  m.RadioGroup1Click(Opened::IndexOf(m.DatePanel().intervals, S("分")));
  m.ListBox2Click();
  EXPECT_EQ(Selected(m.DatePanel()), S("分"));
  EXPECT_EQ(d.Col(kDayTime).FDateUnit, 5);
}

TEST(DatePanel, ChangingTheIntervalOfAnAxisRebuildsTheTable) {
  Opened d(S(kDates));
  TMainLogic& m = d.logic;
  m.ListBox2Click(kDayTime);
  m.Workspace().sort = false;
  m.SpeedButton1Click(0);  // column items
  EXPECT_EQ(m.MainGrid().Cell(1, 0), "2004/01/01");
  EXPECT_EQ(m.MainGrid().Cell(3, 0), "2004/01/03");
  m.RadioGroup1Click(Opened::IndexOf(m.DatePanel().intervals, S("年")));
  EXPECT_EQ(m.MainGrid().Cell(1, 0), "2004");
  m.ListBox2Click(0);
  m.ListBox2Click(kDayTime);  // a chosen unit survives the refresh
  EXPECT_EQ(Selected(m.DatePanel()), S("年"));
  m.RadioGroup1Click(Opened::IndexOf(m.DatePanel().intervals, S("時")));
  EXPECT_EQ(m.MainGrid().Cell(1, 0), "00");  // hours over the whole day
  EXPECT_EQ(m.MainGrid().Cell(24, 0), "23");
}

}  // namespace
}  // namespace tabulon
