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
  EXPECT_EQ(d.Col(kDay).FDateUnit, kDateUnitYear);
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
  EXPECT_EQ(d.Col(kTime).FDateUnit, kDateUnitHour);
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
  // The time pickers bound the time of day on every day, and start with the whole day.
  EXPECT_EQ(p.pickers[2].value, 0);
  EXPECT_EQ(p.pickers[3].value, EncodeTime(23, 59, 59, 0));
}

// Records of days that begin and end at awkward times: the first at 00:01, the last at 00:00.
const char* const kStamps =
    "日時,店\r\n"
    "2024/03/01 0:01,a\r\n"
    "2024/03/02 0:00,b\r\n"
    "2024/03/02 9:00,a\r\n"
    "2024/03/02 17:59:59,b\r\n"
    "2024/03/02 18:00,a\r\n"
    "2024/03/31 8:59:59,b\r\n"
    "2024/03/31 17:59:59.500,a\r\n"
    "2024/03/31 23:59:59,b\r\n"
    "2024/04/01 0:00,a\r\n";

TEST(DatePanel, TheUpperDatePickerKeepsTheWholeDayWhenTheLastRecordIsAtMidnight) {
  Opened d(S(kStamps));
  TMainLogic& m = d.logic;
  EXPECT_EQ(m.DatePanel().latestLabel, "2024/04/01 0:00:00");
  m.DateTimePicker1Change(TDateControl::kUpperDate, EncodeDate(2024, 3, 31));
  EXPECT_EQ(m.Label2(), "8");  // every record of 3/31, only the one of 4/1 left out
  EXPECT_EQ(d.Col(0).FLower, EncodeDate(2024, 3, 1));
  EXPECT_EQ(d.Col(0).FUpper, EncodeDate(2024, 4, 1) - EncodeTime(0, 0, 0, 1));
  EXPECT_EQ(m.ColumnEntries()[0], S("＊日時"));
}

TEST(DatePanel, TheLowerDatePickerKeepsMidnightWhenTheFirstRecordIsAtOneMinutePast) {
  Opened d(S(kStamps));
  TMainLogic& m = d.logic;
  EXPECT_EQ(m.DatePanel().earliestLabel, "2024/03/01 0:01:00");
  m.DateTimePicker1Change(TDateControl::kLowerDate, EncodeDate(2024, 3, 2));
  EXPECT_EQ(m.Label2(), "8");  // 3/2 0:00 stays
  m.DateTimePicker1Change(TDateControl::kLowerDate, EncodeDate(2024, 3, 1));
  EXPECT_EQ(m.Label2(), "9");
}

TEST(DatePanel, StampsWhoseFirstAndLastLieAtMidnightStillHaveTimesOfDay) {
  Opened d(S("日時\r\n2024/03/01 0:00\r\n2024/03/31 12:00\r\n2024/04/01 0:00\r\n"));
  TMainLogic& m = d.logic;
  const TDatePanelState& p = m.DatePanel();
  EXPECT_TRUE(p.pickers[2].visible && p.pickers[3].visible);
  EXPECT_EQ(p.intervals, (Strings{S("日"), S("曜日"), S("月"), S("年"), S("時"), S("分")}));
  EXPECT_EQ(p.latestLabel, "2024/04/01 0:00:00");
  m.DateTimePicker1Change(TDateControl::kUpperDate, EncodeDate(2024, 3, 31));
  EXPECT_EQ(m.Label2(), "2");  // 3/31 12:00 stays
  // Dates alone stay dates alone.
  Opened dates(S("日付\r\n2024/03/01\r\n2024/03/31 0:00\r\n2024/04/01\r\n"));
  EXPECT_FALSE(dates.logic.DatePanel().pickers[2].visible);
  EXPECT_EQ(dates.logic.DatePanel().intervals.back(), S("年"));
}

TEST(DatePanel, TheTimePickersBoundTheTimeOfDayOnEveryDayBesideTheDays) {
  Opened d(S(kStamps));
  TMainLogic& m = d.logic;
  m.DateTimePicker1Change(TDateControl::kLowerTime, EncodeTime(9, 0, 0, 0));
  m.DateTimePicker1Change(TDateControl::kUpperTime, EncodeTime(17, 59, 59, 0));
  // Office hours on 3/2 and 3/31; the upper picker takes in the whole second it shows.
  EXPECT_EQ(m.Label2(), "3");
  EXPECT_EQ(d.Col(0).FTimeLower, EncodeTime(9, 0, 0, 0));
  EXPECT_EQ(d.Col(0).FTimeUpper, EncodeTime(17, 59, 59, 999));
  EXPECT_EQ(d.Col(0).FLower, EncodeDate(2024, 3, 1));  // the days stay whole
  m.DateTimePicker1Change(TDateControl::kUpperDate, EncodeDate(2024, 3, 2));
  EXPECT_EQ(m.Label2(), "2");  // both filters hold
  m.ListBox2Click(1);
  m.ListBox2Click(0);  // a refresh shows both as they are
  const TDatePanelState& p = m.DatePanel();
  EXPECT_EQ(p.pickers[1].value, EncodeDate(2024, 3, 2));
  EXPECT_EQ(p.pickers[2].value, EncodeTime(9, 0, 0, 0));
  EXPECT_EQ(p.pickers[3].value, EncodeTime(17, 59, 59, 0));
  EXPECT_EQ(m.Label2(), "2");

  m.Button6Click();  // reset clears both
  EXPECT_EQ(m.Label2(), "9");
  EXPECT_EQ(p.pickers[0].value, EncodeDate(2024, 3, 1));
  EXPECT_EQ(p.pickers[1].value, EncodeDate(2024, 4, 1));
  EXPECT_EQ(p.pickers[2].value, 0);
  EXPECT_EQ(p.pickers[3].value, EncodeTime(23, 59, 59, 0));
  m.DateTimePicker1Change(TDateControl::kLowerDate, EncodeDate(2024, 3, 1));
  EXPECT_EQ(m.Label2(), "9");  // no time window is left behind
}

TEST(DatePanel, TheTableAndTheRecordListApplyTheTimeWindowAsTheCountDoes) {
  Opened d(S(kStamps));
  TMainLogic& m = d.logic;
  m.Workspace().sort = false;
  m.DateTimePicker1Change(TDateControl::kLowerTime, EncodeTime(9, 0, 0, 0));
  m.DateTimePicker1Change(TDateControl::kUpperTime, EncodeTime(17, 59, 59, 0));
  m.ListBox2Click(1);
  m.SpeedButton1Click(kRoleRowItems);  // 店 as row items
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), "a|2|2");
  EXPECT_EQ(Opened::Row(m.MainGrid(), 2), "b|1|1");
  m.SpeedButton1Click(kRoleRowItems);
  m.Button7Click();
  ASSERT_EQ(m.MainGrid().RowCount(), 4);
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), "1|2024/03/02 9:00|a");
  EXPECT_EQ(Opened::Row(m.MainGrid(), 2), "2|2024/03/02 17:59:59|b");
  EXPECT_EQ(Opened::Row(m.MainGrid(), 3), "3|2024/03/31 17:59:59.500|a");
}

// The stamps fuzz target's finding: times of day only, the last at 23:59:59.999, whose
// descriptor extremes are whole seconds. A picker change must not lose the records of the last
// second, and range and time-of-day window say the same.
TEST(DatePanel, ATimeOnlyColumnKeepsTheRecordsOfTheUpperPickersWholeSecond) {
  Opened d(S("t,s\r\n23:59:59.999,a\r\n12:00:00.250,b\r\n23:59:59.999,c\r\n,a\r\n"));
  TMainLogic& m = d.logic;
  const TCol& t = d.Col(0);
  ASSERT_FALSE(t.HasDates());
  ASSERT_TRUE(t.HasTimes());
  m.DateTimePicker1Change(TDateControl::kWeekday, -1);  // filters with the bounds as shown
  EXPECT_EQ(m.Label2(), "3");
  EXPECT_EQ(t.FUpper, EncodeTime(23, 59, 59, 999));
  m.DateTimePicker1Change(TDateControl::kLowerTime, EncodeTime(12, 0, 0, 0));
  EXPECT_EQ(m.Label2(), "3");
  m.DateTimePicker1Change(TDateControl::kUpperTime, EncodeTime(23, 59, 59, 0));
  EXPECT_EQ(m.Label2(), "3");
  EXPECT_EQ(t.FTimeLower, t.FLower);
  EXPECT_EQ(t.FTimeUpper, t.FUpper);
  m.DateTimePicker1Change(TDateControl::kLowerTime, EncodeTime(12, 0, 1, 0));
  EXPECT_EQ(m.Label2(), "2");
  m.DateTimePicker1Change(TDateControl::kUpperTime, EncodeTime(0, 0, 0, 0));  // crossed
  EXPECT_EQ(m.Label2(), "0");
  EXPECT_EQ(t.FTimeLower, t.FLower);
  EXPECT_EQ(t.FTimeUpper, t.FUpper);
  m.Button6Click();
  EXPECT_EQ(m.Label2(), "4");
  // A drill-down on an hour narrows range and window alike.
  m.SpeedButton1Click(kRoleColumnItems);
  m.StringGrid1MouseDown(1, 0);  // "12"
  EXPECT_EQ(t.FLower, EncodeTime(12, 0, 0, 0));
  EXPECT_EQ(t.FTimeLower, t.FLower);
  EXPECT_EQ(t.FTimeUpper, t.FUpper);
}

// The second finding: times of 0:00:00.001 only, whose extremes read back as 0 and 0.
TEST(DatePanel, TimesWithinTheFirstSecondAreTimesOfDayAndPassThePickersOwnBounds) {
  Opened d(S("t,s\r\n0:00:00.001,a\r\n,b\r\n0:00:00.001,c\r\n"));
  TMainLogic& m = d.logic;
  const TCol& t = d.Col(0);
  EXPECT_TRUE(t.HasTimes());
  EXPECT_TRUE(m.DatePanel().pickers[2].visible);
  m.DateTimePicker1Change(TDateControl::kWeekday, -1);
  EXPECT_EQ(m.Label2(), "2");
  m.DateTimePicker1Change(TDateControl::kUpperTime, 0);
  EXPECT_EQ(m.Label2(), "2");
}

TEST(DatePanel, SaturdayAndSundayRestrictAnUnfilteredColumnOverItsWholeRange) {
  Opened d(S(kDates));
  TMainLogic& m = d.logic;
  EXPECT_EQ(TMainLogic::WeekdayChoices()[7], S("土日"));
  m.DateTimePicker1Change(TDateControl::kWeekday, 7);
  EXPECT_EQ(d.Col(kDay).FWeekdayFilter, kWeekdaysSatSun);
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
  EXPECT_EQ(d.Col(kDayTime).FDateUnit, kDateUnitMonth);
  m.ListBox2Click(kDay);
  m.ListBox2Click(kDayTime);
  EXPECT_EQ(Selected(m.DatePanel()), S("月"));
  EXPECT_EQ(d.Col(kDayTime).FDateUnit, kDateUnitMonth);
  m.RadioGroup1Click(Opened::IndexOf(m.DatePanel().intervals, S("分")));
  m.ListBox2Click();
  EXPECT_EQ(Selected(m.DatePanel()), S("分"));
  EXPECT_EQ(d.Col(kDayTime).FDateUnit, kDateUnitMinute);
}

TEST(DatePanel, ChangingTheIntervalOfAnAxisRebuildsTheTable) {
  Opened d(S(kDates));
  TMainLogic& m = d.logic;
  m.ListBox2Click(kDayTime);
  m.Workspace().sort = false;
  m.SpeedButton1Click(kRoleColumnItems);  // column items
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
