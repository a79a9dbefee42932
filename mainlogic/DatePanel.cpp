// The date and time range, weekday set and interval of "Dat" columns.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/Engine.h"
#include "import/Descriptor.h"
#include "mainlogic/FilterValues.h"
#include "mainlogic/MainLogic.h"
#include "platform/IniFile.h"
#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

using filters::DayOf;
using filters::EndOfSecond;
using filters::FirstSerialOfDay;
using filters::LastSerialOfDay;
using filters::TimeOf;
using filters::WholeSecond;

constexpr int kLowerDate = 0, kUpperDate = 1, kLowerTime = 2, kUpperTime = 3;

// A day and a time of day as one serial; before 1899-12-30 the time counts away from zero.
double Combine(double day, double timeOfDay) {
  return day < 0 ? day - timeOfDay : day + timeOfDay;
}

std::string ShortDateText(double dateTime) {
  return FormatDateTimePattern("yyyy/mm/dd", dateTime);
}

// The long time format H:mm:ss.
std::string LongTimeText(double dateTime) {
  int h = 0, m = 0, s = 0, ms = 0;
  DecodeTime(dateTime, &h, &m, &s, &ms);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d:%02d:%02d", h, m, s);
  return buf;
}

// The interval entries and the unit each stores.
struct Interval {
  const char* utf8;
  uint8_t unit;
};
constexpr Interval kIntervals[] = {{"年", 0}, {"月", 1}, {"曜日", 2}, {"日", 3},
                                   {"時", 4}, {"分", 5}, {"秒", 6}};

std::string IntervalText(uint8_t unit) {
  for (const Interval& i : kIntervals)
    if (i.unit == unit) return Sjis(i.utf8);
  return std::string();
}

}  // namespace

void TMainLogic::RefreshDatePanel(TCol& col) {
  const TColumnSection section = ReadColumnSection(*descriptor_, col.FName);
  col.FMin = section.min;
  col.FMax = section.max;
  col.FindTimesBetween();
  if (!col.FFiltered) {
    col.FLower = col.FMin;
    col.FUpper = col.FMax;
    col.FTimeLower = 0;
    col.FTimeUpper = kLastMsOfDay;
  }
  date_.caption = col.FName;
  const bool hasDates = col.HasDates();
  const bool hasTimes = col.HasTimes();

  // The date pickers allow the column's days, widened to the days of the bounds (a drill-down
  // by year or month sets bounds beyond the records): showing a bound must not change it.
  date_.earliestDay = DayOf(col.FMin);
  date_.latestDay = col.FMax;
  if (col.FFiltered) {
    date_.earliestDay = std::min(date_.earliestDay, DayOf(col.FLower));
    date_.latestDay = std::max(date_.latestDay, DayOf(col.FUpper));
  }
  date_.intervals.clear();
  date_.intervalIndex = -1;

  TPickerState* p = date_.pickers;
  if (!hasDates) {
    p[kLowerDate].visible = p[kUpperDate].visible = false;
    date_.weekdayVisible = false;
    p[kLowerTime].left = p[kUpperTime].left = TDatePanelState::kDatePickerLeft;
    date_.earliestLabel.clear();
    date_.latestLabel.clear();
  } else {
    p[kLowerDate].value = DayOf(col.FLower);
    p[kUpperDate].value = DayOf(col.FUpper);
    date_.earliestLabel = ShortDateText(col.FMin);
    date_.latestLabel = ShortDateText(col.FMax);
    p[kLowerDate].visible = p[kUpperDate].visible = true;
    date_.weekdayVisible = true;
    p[kLowerTime].left = p[kUpperTime].left = TDatePanelState::kTimePickerBesideLeft;
    if (col.FMax - col.FMin < 2000) date_.intervals.push_back(Sjis("日"));
    date_.intervals.push_back(Sjis("曜日"));
    date_.intervals.push_back(Sjis("月"));
    date_.intervals.push_back(Sjis("年"));
  }
  if (!hasTimes) {
    p[kLowerTime].visible = p[kUpperTime].visible = false;
  } else {
    p[kLowerTime].visible = p[kUpperTime].visible = true;
    // With dates the time pickers show the time-of-day window (0:00:00 and 23:59:59 until it is
    // narrowed); without them the range itself.
    p[kLowerTime].value = hasDates ? WholeSecond(col.FTimeLower) : TimeOf(col.FLower);
    p[kUpperTime].value = hasDates ? WholeSecond(col.FTimeUpper) : TimeOf(col.FUpper);
    const auto append = [](std::string& label, const std::string& time) {
      label = label.empty() ? time : label + " " + time;
    };
    append(date_.earliestLabel, LongTimeText(col.FMin));
    append(date_.latestLabel, LongTimeText(col.FMax));
    date_.intervals.push_back(Sjis("時"));
    date_.intervals.push_back(Sjis("分"));
    if (std::trunc((col.FMax - col.FMin) * 43200) < 2000) date_.intervals.push_back(Sjis("秒"));
  }
  const int weekday = col.FWeekdayFilter;
  date_.weekdayIndex =
      weekday >= 0 && weekday < static_cast<int>(WeekdayChoices().size()) ? weekday : -1;

  // The column's unit when the list offers it, else the first entry: a time-only column starts
  // by hours. On a column with dates and times a date unit counts only once the user chose it
  // (a chosen unit survives every refresh); until then the first entry, the day, is taken.
  const auto& list = date_.intervals;
  const auto it = std::find(list.begin(), list.end(), IntervalText(col.FDateUnit));
  const size_t index = static_cast<size_t>(ws_.selectedColumn);
  const bool chosen = index < unitChosen_.size() && unitChosen_[index];
  const bool keep = !(hasDates && hasTimes) || col.FDateUnit >= 4 || chosen;
  if (keep && it != list.end())
    SelectInterval(static_cast<int>(it - list.begin()));
  else if (!list.empty())
    SelectInterval(0);
  date_.visible = true;
}

void TMainLogic::SelectInterval(int index) {
  if (index == date_.intervalIndex) return;
  ApplyInterval(index);
}

void TMainLogic::RadioGroup1Click(int index) {
  if (!ApplyInterval(index)) return;
  const size_t column = static_cast<size_t>(ws_.selectedColumn);
  if (column < unitChosen_.size()) unitChosen_[column] = true;
}

bool TMainLogic::ApplyInterval(int index) {
  TCol* col = Current();
  if (col == nullptr || col->FValueType != vtDat) return false;
  if (index < 0 || index >= static_cast<int>(date_.intervals.size())) return false;
  date_.intervalIndex = index;
  for (const Interval& i : kIntervals)
    if (Sjis(i.utf8) == date_.intervals[static_cast<size_t>(index)]) col->FDateUnit = i.unit;
  if (CurrentIsAxis()) CrossTabulateNow();
  return true;
}

void TMainLogic::DateTimePicker1Change(TDateControl sender, double value) {
  TCol* col = Current();
  if (col == nullptr || col->FValueType != vtDat || !date_.visible) return;
  TPickerState* p = date_.pickers;
  if (sender == TDateControl::kWeekday) {
    const int index = static_cast<int>(value);
    date_.weekdayIndex =
        index >= 0 && index < static_cast<int>(WeekdayChoices().size()) ? index : -1;
    col->FWeekdayFilter = date_.weekdayIndex;
  } else {
    const int which = static_cast<int>(sender);
    // A date picker edits the day and keeps its time part; a time picker the reverse.
    if (which == kLowerDate || which == kUpperDate)
      p[which].value = Combine(DayOf(value), TimeOf(p[which].value));
    else
      p[which].value = Combine(DayOf(p[which].value), TimeOf(value));
    if (col->HasDates() && col->HasTimes()) {
      if (which == kLowerTime || which == kUpperTime) {
        col->FTimeLower = WholeSecond(TimeOf(p[kLowerTime].value));
        col->FTimeUpper = EndOfSecond(TimeOf(p[kUpperTime].value));
      }
    } else if (col->HasDates()) {
      col->FLower = p[kLowerDate].value;
      col->FUpper = p[kUpperDate].value;
    } else {
      col->FLower = TimeOf(p[kLowerTime].value);
      col->FUpper = TimeOf(p[kUpperTime].value);
    }
  }
  // With dates and times of day the date pickers bound whole days, whichever control changed:
  // the extremes from the descriptor are whole seconds and may lie inside the first and last
  // records' milliseconds.
  if (col->HasDates() && col->HasTimes()) {
    col->FLower = FirstSerialOfDay(DayOf(p[kLowerDate].value));
    col->FUpper = LastSerialOfDay(DayOf(p[kUpperDate].value));
  }
  col->FFiltered = true;
  SetMarker(ws_.selectedColumn, MarkerOf(*col));
  RecalculateNow();
}

void TMainLogic::ResetDatePickers(TCol& col) {
  TPickerState* p = date_.pickers;
  if (col.HasDates()) {
    p[kLowerDate].value = DayOf(col.FMin);
    p[kUpperDate].value = DayOf(col.FMax);
  }
  if (col.HasTimes() && col.HasDates()) {
    p[kLowerTime].value = 0;
    p[kUpperTime].value = WholeSecond(kLastMsOfDay);
  } else if (col.HasTimes()) {
    p[kLowerTime].value = TimeOf(col.FMin);
    p[kUpperTime].value = TimeOf(col.FMax);
  }
  col.FRole = 3;
  col.FFiltered = false;
  RecalculateNow();
}

void TMainLogic::Button6Click() {
  TCol* col = Current();
  if (col == nullptr) return;
  history_.Clear();
  col->FRole = 3;
  col->FFiltered = false;
  RefreshColumnMarkers();
  ListBox2Click();
  if (col->FValueType == vtDat)
    ResetDatePickers(*col);
  else
    RecalculateNow();
}

}  // namespace tabulon
