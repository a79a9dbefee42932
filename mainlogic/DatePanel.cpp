#include "mainlogic/DatePanel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "column/Descriptor.h"
#include "column/TCol.h"
#include "engine/Workspace.h"
#include "mainlogic/FilterValues.h"
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
constexpr Interval kIntervals[] = {{"年", kDateUnitYear},      {"月", kDateUnitMonth},
                                   {"曜日", kDateUnitWeekday}, {"日", kDateUnitDay},
                                   {"時", kDateUnitHour},      {"分", kDateUnitMinute},
                                   {"秒", kDateUnitSecond}};

std::string IntervalText(uint8_t unit) {
  for (const Interval& i : kIntervals)
    if (i.unit == unit) return Sjis(i.utf8);
  return std::string();
}

// The weekday entry of index, kWeekdaysAll when there is none such.
int WeekdayEntry(int index) {
  const int entries = static_cast<int>(TDatePanel::WeekdayChoices().size());
  return index >= 0 && index < entries ? index : kWeekdaysAll;
}

// Takes the extremes of the column's descriptor section; an unfiltered column's bounds are the
// extremes and its time-of-day window the whole day.
void TakeExtremes(TCol& col, const TColumnSection& section) {
  col.FMin = section.min;
  col.FMax = section.max;
  col.FindTimesBetween();
  if (!col.FFiltered) {
    col.FLower = col.FMin;
    col.FUpper = col.FMax;
    col.FTimeLower = 0;
    col.FTimeUpper = kLastMsOfDay;
  }
}

// The two numbers of a heading "a<separator>b"; false when it has no separator. Throws
// ConvertError when either is no integer.
bool NumberPair(const std::string& text, char separator, int32_t* a, int32_t* b) {
  const size_t at = text.find(separator);
  if (at == std::string::npos) return false;
  *a = filters::IntOrThrow(std::string_view(text).substr(0, at), text);
  *b = filters::IntOrThrow(std::string_view(text).substr(at + 1), text);
  return true;
}

// The first and last day that a year, month or day heading names. False when a month heading
// has no slash: nothing is drilled. Throws ConvertError for a heading that names no date.
bool DaysOfHeading(uint8_t unit, const std::string& text, double* firstDay, double* lastDay) {
  switch (unit) {
    case kDateUnitYear: {  // "yyyy"
      const int32_t year = filters::IntOrThrow(text, text);
      if (!IsValidDate(year, 1, 1)) filters::ThrowNotDate(text);
      *firstDay = EncodeDate(year, 1, 1);
      *lastDay = EncodeDate(year, 12, 31);
      return true;
    }
    case kDateUnitMonth: {  // "yyyy/mm": the whole month
      int32_t year = 0, month = 0;
      if (!NumberPair(text, '/', &year, &month)) return false;
      if (!IsValidDate(year, month, 1)) filters::ThrowNotDate(text);
      *firstDay = EncodeDate(year, month, 1);
      *lastDay = EncodeDate(year, month, DaysInMonth(year, month));
      return true;
    }
    case kDateUnitDay: {  // "yyyy/mm/dd"
      double day = 0;
      if (!TryParseDateTime(text, &day) || TimeOf(day) != 0) filters::ThrowNotDate(text);
      *firstDay = *lastDay = day;
      return true;
    }
    default:
      return false;
  }
}

// The first and last millisecond of the hour, minute or second a heading names. False when a
// minute heading has no colon: nothing is drilled. Throws ConvertError for a heading that names
// no time of day.
bool TimesOfHeading(uint8_t unit, const std::string& text, double* lower, double* upper) {
  switch (unit) {
    case kDateUnitHour: {  // "hh"
      const int32_t hour = filters::IntOrThrow(text, text);
      if (hour < 0 || hour > 23) filters::ThrowNotTime(text);
      *lower = EncodeTime(hour, 0, 0, 0);
      *upper = EncodeTime(hour, 59, 59, 999);
      return true;
    }
    case kDateUnitMinute: {  // "hh:mm"
      int32_t hour = 0, minute = 0;
      if (!NumberPair(text, ':', &hour, &minute)) return false;
      if (hour < 0 || hour > 23 || minute < 0 || minute > 59) filters::ThrowNotTime(text);
      *lower = EncodeTime(hour, minute, 0, 0);
      *upper = EncodeTime(hour, minute, 59, 999);
      return true;
    }
    case kDateUnitSecond: {  // "hh:mm:ss"
      double time = 0;
      if (!TryParseDateTime(text, &time) || DayOf(time) != 0) filters::ThrowNotTime(text);
      *lower = time;
      *upper = time + EncodeTime(0, 0, 0, 999);
      return true;
    }
    default:
      return false;
  }
}

// A drilled time bucket. On a column with dates and times of day it narrows the time-of-day
// window (further when the column is filtered already) and keeps the days; otherwise it is the
// range, and on a column of times of day only the window too (see PickerChanged).
void DrillTimes(TCol& col, double lower, double upper) {
  if (!(col.HasDates() && col.HasTimes())) {
    col.FLower = lower;
    col.FUpper = upper;
    if (!col.HasDates()) {
      col.FTimeLower = lower;
      col.FTimeUpper = upper;
    }
    return;
  }
  col.FTimeLower = col.FFiltered ? std::max(col.FTimeLower, lower) : lower;
  col.FTimeUpper = col.FFiltered ? std::min(col.FTimeUpper, upper) : upper;
}

}  // namespace

const std::vector<std::string>& TDatePanel::WeekdayChoices() {
  static const std::vector<std::string> choices = {
      Sjis("日"), Sjis("月"), Sjis("火"),   Sjis("水"),     Sjis("木"),
      Sjis("金"), Sjis("土"), Sjis("土日"), Sjis("月～金"), Sjis("月～木")};
  return choices;
}

void TDatePanel::Open(int columnCount) {
  unitChosen_.assign(static_cast<size_t>(std::max(columnCount, 0)), false);
}

void TDatePanel::Refresh(TCol& col, const TColumnSection& section) {
  TakeExtremes(col, section);
  state_.caption = col.FName;
  ShowDayRange(col);
  state_.intervals.clear();
  state_.intervalIndex = -1;
  ShowDates(col);
  ShowTimes(col);
  state_.weekdayIndex = WeekdayEntry(col.FWeekdayFilter);
  SelectUnitOf(col);
  state_.visible = true;
}

void TDatePanel::ShowDayRange(const TCol& col) {
  // The date pickers allow the column's days, widened to the days of the bounds (a drill-down
  // by year or month sets bounds beyond the records): showing a bound must not change it.
  state_.earliestDay = DayOf(col.FMin);
  state_.latestDay = col.FMax;
  if (col.FFiltered) {
    state_.earliestDay = std::min(state_.earliestDay, DayOf(col.FLower));
    state_.latestDay = std::max(state_.latestDay, DayOf(col.FUpper));
  }
}

void TDatePanel::ShowDates(const TCol& col) {
  TPickerState* p = state_.pickers;
  if (!col.HasDates()) {
    p[kLowerDate].visible = p[kUpperDate].visible = false;
    state_.weekdayVisible = false;
    p[kLowerTime].left = p[kUpperTime].left = TDatePanelState::kDatePickerLeft;
    state_.earliestLabel.clear();
    state_.latestLabel.clear();
    return;
  }
  p[kLowerDate].value = DayOf(col.FLower);
  p[kUpperDate].value = DayOf(col.FUpper);
  state_.earliestLabel = ShortDateText(col.FMin);
  state_.latestLabel = ShortDateText(col.FMax);
  p[kLowerDate].visible = p[kUpperDate].visible = true;
  state_.weekdayVisible = true;
  p[kLowerTime].left = p[kUpperTime].left = TDatePanelState::kTimePickerBesideLeft;
  if (col.FMax - col.FMin < 2000) state_.intervals.push_back(Sjis("日"));
  state_.intervals.push_back(Sjis("曜日"));
  state_.intervals.push_back(Sjis("月"));
  state_.intervals.push_back(Sjis("年"));
}

void TDatePanel::ShowTimes(const TCol& col) {
  TPickerState* p = state_.pickers;
  if (!col.HasTimes()) {
    p[kLowerTime].visible = p[kUpperTime].visible = false;
    return;
  }
  p[kLowerTime].visible = p[kUpperTime].visible = true;
  // With dates the time pickers show the time-of-day window (0:00:00 and 23:59:59 until it is
  // narrowed); without them the range itself.
  const bool hasDates = col.HasDates();
  p[kLowerTime].value = hasDates ? WholeSecond(col.FTimeLower) : TimeOf(col.FLower);
  p[kUpperTime].value = hasDates ? WholeSecond(col.FTimeUpper) : TimeOf(col.FUpper);
  const auto append = [](std::string& label, const std::string& time) {
    label = label.empty() ? time : label + " " + time;
  };
  append(state_.earliestLabel, LongTimeText(col.FMin));
  append(state_.latestLabel, LongTimeText(col.FMax));
  state_.intervals.push_back(Sjis("時"));
  state_.intervals.push_back(Sjis("分"));
  if (std::trunc((col.FMax - col.FMin) * 43200) < 2000) state_.intervals.push_back(Sjis("秒"));
}

void TDatePanel::SelectUnitOf(const TCol& col) {
  // The column's unit when the list offers it, else the first entry: a time-only column starts
  // by hours. On a column with dates and times a date unit counts only once the user chose it
  // (a chosen unit survives every refresh); until then the first entry, the day, is taken.
  const auto& list = state_.intervals;
  const auto it = std::find(list.begin(), list.end(), IntervalText(col.FDateUnit));
  const size_t index = static_cast<size_t>(context_.Workspace().selectedColumn);
  const bool chosen = index < unitChosen_.size() && unitChosen_[index];
  const bool keep = !(col.HasDates() && col.HasTimes()) || IsTimeOfDayUnit(col.FDateUnit) || chosen;
  if (keep && it != list.end())
    SelectInterval(static_cast<int>(it - list.begin()));
  else if (!list.empty())
    SelectInterval(0);
}

void TDatePanel::SelectInterval(int index) {
  if (index == state_.intervalIndex) return;
  ApplyInterval(index);
}

void TDatePanel::IntervalClick(int index) {
  if (!ApplyInterval(index)) return;
  const size_t column = static_cast<size_t>(context_.Workspace().selectedColumn);
  if (column < unitChosen_.size()) unitChosen_[column] = true;
}

bool TDatePanel::ApplyInterval(int index) {
  TCol* col = context_.Current();
  if (col == nullptr || col->FValueType != vtDat) return false;
  if (index < 0 || index >= static_cast<int>(state_.intervals.size())) return false;
  state_.intervalIndex = index;
  for (const Interval& i : kIntervals)
    if (Sjis(i.utf8) == state_.intervals[static_cast<size_t>(index)]) col->FDateUnit = i.unit;
  context_.RetabulateIfAxis();
  return true;
}

void TDatePanel::PickerChanged(TDateControl sender, double value) {
  TCol* col = context_.Current();
  if (col == nullptr || col->FValueType != vtDat || !state_.visible) return;
  TPickerState* p = state_.pickers;
  if (sender == TDateControl::kWeekday) {
    state_.weekdayIndex = WeekdayEntry(static_cast<int>(value));
    col->FWeekdayFilter = state_.weekdayIndex;
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
    }
  }
  if (!col->HasDates() && col->HasTimes()) {
    // Times of day only: the time pickers bound the times, the upper one to the end of the second
    // it shows, as on a column with dates: the extremes from the descriptor are whole seconds, and
    // a record at 23:59:59.999 must pass a range that ends at 23:59:59. The time-of-day window
    // says the same, so that range and window never disagree.
    col->FLower = col->FTimeLower = WholeSecond(TimeOf(p[kLowerTime].value));
    col->FUpper = col->FTimeUpper = EndOfSecond(TimeOf(p[kUpperTime].value));
  }
  // With dates and times of day the date pickers bound whole days, whichever control changed:
  // the extremes from the descriptor are whole seconds and may lie inside the first and last
  // records' milliseconds.
  if (col->HasDates() && col->HasTimes()) {
    col->FLower = FirstSerialOfDay(DayOf(p[kLowerDate].value));
    col->FUpper = LastSerialOfDay(DayOf(p[kUpperDate].value));
  }
  col->FFiltered = true;
  context_.SetCurrentMarker(MarkerOf(*col));
  context_.Recalculate();
}

void TDatePanel::ResetPickers(TCol& col) {
  TPickerState* p = state_.pickers;
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
  col.FRole = kRoleNone;
  col.FFiltered = false;
  context_.Recalculate();
}

void TDatePanel::Reset() {
  TCol* col = context_.Current();
  if (col == nullptr) return;
  context_.ResetColumn(*col);
  if (col->FValueType == vtDat)
    ResetPickers(*col);
  else
    context_.Recalculate();
}

// Every drilled bucket runs from its first to its last millisecond, so the drill-down keeps
// exactly the records that the heading's cell counted (a year includes the hours of 31 December,
// a second its fractions). On a column with dates and times of day an hour, minute or second
// narrows the time-of-day window and keeps the days, a year, month or day narrows the days and
// keeps the window; the days are then whole days, as the date pickers set them. A window already
// narrowed narrows further: the part of the hour inside it is what the hour's cell counted.
void TDatePanel::Drill(TCol& col, const std::string& text) {
  const uint8_t unit = col.FDateUnit;
  double first = 0, last = 0;
  if (unit == kDateUnitWeekday) {
    // A weekday character: the weekday set, bounds unchanged.
    const auto& choices = WeekdayChoices();
    const auto it = std::find(choices.begin(), choices.end(), text);
    state_.weekdayIndex =
        it == choices.end() ? kWeekdaysAll : static_cast<int>(it - choices.begin());
    col.FWeekdayFilter = state_.weekdayIndex;
  } else if (DaysOfHeading(unit, text, &first, &last)) {
    col.FLower = FirstSerialOfDay(first);
    col.FUpper = LastSerialOfDay(last);
  } else if (TimesOfHeading(unit, text, &first, &last)) {
    DrillTimes(col, first, last);
  }
  if (col.HasDates() && col.HasTimes()) {
    col.FLower = FirstSerialOfDay(DayOf(col.FLower));
    col.FUpper = LastSerialOfDay(DayOf(col.FUpper));
  }
}

}  // namespace tabulon
