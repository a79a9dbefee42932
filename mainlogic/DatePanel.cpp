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
  col.FMin = section.min;
  col.FMax = section.max;
  col.FindTimesBetween();
  if (!col.FFiltered) {
    col.FLower = col.FMin;
    col.FUpper = col.FMax;
    col.FTimeLower = 0;
    col.FTimeUpper = kLastMsOfDay;
  }
  state_.caption = col.FName;
  const bool hasDates = col.HasDates();
  const bool hasTimes = col.HasTimes();

  // The date pickers allow the column's days, widened to the days of the bounds (a drill-down
  // by year or month sets bounds beyond the records): showing a bound must not change it.
  state_.earliestDay = DayOf(col.FMin);
  state_.latestDay = col.FMax;
  if (col.FFiltered) {
    state_.earliestDay = std::min(state_.earliestDay, DayOf(col.FLower));
    state_.latestDay = std::max(state_.latestDay, DayOf(col.FUpper));
  }
  state_.intervals.clear();
  state_.intervalIndex = -1;

  TPickerState* p = state_.pickers;
  if (!hasDates) {
    p[kLowerDate].visible = p[kUpperDate].visible = false;
    state_.weekdayVisible = false;
    p[kLowerTime].left = p[kUpperTime].left = TDatePanelState::kDatePickerLeft;
    state_.earliestLabel.clear();
    state_.latestLabel.clear();
  } else {
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
    append(state_.earliestLabel, LongTimeText(col.FMin));
    append(state_.latestLabel, LongTimeText(col.FMax));
    state_.intervals.push_back(Sjis("時"));
    state_.intervals.push_back(Sjis("分"));
    if (std::trunc((col.FMax - col.FMin) * 43200) < 2000) state_.intervals.push_back(Sjis("秒"));
  }
  const int weekday = col.FWeekdayFilter;
  state_.weekdayIndex =
      weekday >= 0 && weekday < static_cast<int>(WeekdayChoices().size()) ? weekday : kWeekdaysAll;

  // The column's unit when the list offers it, else the first entry: a time-only column starts
  // by hours. On a column with dates and times a date unit counts only once the user chose it
  // (a chosen unit survives every refresh); until then the first entry, the day, is taken.
  const auto& list = state_.intervals;
  const auto it = std::find(list.begin(), list.end(), IntervalText(col.FDateUnit));
  const size_t index = static_cast<size_t>(context_.Workspace().selectedColumn);
  const bool chosen = index < unitChosen_.size() && unitChosen_[index];
  const bool keep = !(hasDates && hasTimes) || IsTimeOfDayUnit(col.FDateUnit) || chosen;
  if (keep && it != list.end())
    SelectInterval(static_cast<int>(it - list.begin()));
  else if (!list.empty())
    SelectInterval(0);
  state_.visible = true;
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
    const int index = static_cast<int>(value);
    state_.weekdayIndex =
        index >= 0 && index < static_cast<int>(WeekdayChoices().size()) ? index : kWeekdaysAll;
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
  const bool twoFilters = col.HasDates() && col.HasTimes();
  const bool narrow = twoFilters && col.FFiltered;
  const auto setDays = [&col](double firstDay, double lastDay) {
    col.FLower = FirstSerialOfDay(firstDay);
    col.FUpper = LastSerialOfDay(lastDay);
  };
  const auto setTimes = [&col, twoFilters, narrow](double lower, double upper) {
    if (!twoFilters) {
      col.FLower = lower;
      col.FUpper = upper;
      // Times of day only: the window says the same as the range (see PickerChanged).
      if (!col.HasDates()) {
        col.FTimeLower = lower;
        col.FTimeUpper = upper;
      }
      return;
    }
    col.FTimeLower = narrow ? std::max(col.FTimeLower, lower) : lower;
    col.FTimeUpper = narrow ? std::min(col.FTimeUpper, upper) : upper;
  };
  switch (col.FDateUnit) {
    case kDateUnitYear: {  // "yyyy"
      const int32_t year = filters::IntOrThrow(text, text);
      if (!IsValidDate(year, 1, 1)) filters::ThrowNotDate(text);
      setDays(EncodeDate(year, 1, 1), EncodeDate(year, 12, 31));
      break;
    }
    case kDateUnitMonth: {  // "yyyy/mm": the whole month
      const size_t slash = text.find('/');
      if (slash == std::string::npos) break;
      const int32_t year = filters::IntOrThrow(std::string_view(text).substr(0, slash), text);
      const int32_t month = filters::IntOrThrow(std::string_view(text).substr(slash + 1), text);
      if (!IsValidDate(year, month, 1)) filters::ThrowNotDate(text);
      setDays(EncodeDate(year, month, 1), EncodeDate(year, month, DaysInMonth(year, month)));
      break;
    }
    case kDateUnitWeekday: {  // a weekday character: the weekday set, bounds unchanged
      const auto& choices = WeekdayChoices();
      const auto it = std::find(choices.begin(), choices.end(), text);
      state_.weekdayIndex =
          it == choices.end() ? kWeekdaysAll : static_cast<int>(it - choices.begin());
      col.FWeekdayFilter = state_.weekdayIndex;
      break;
    }
    case kDateUnitDay: {  // "yyyy/mm/dd"
      double day = 0;
      if (!TryParseDateTime(text, &day) || TimeOf(day) != 0) filters::ThrowNotDate(text);
      setDays(day, day);
      break;
    }
    case kDateUnitHour: {  // "hh"
      const int32_t hour = filters::IntOrThrow(text, text);
      if (hour < 0 || hour > 23) filters::ThrowNotTime(text);
      setTimes(EncodeTime(hour, 0, 0, 0), EncodeTime(hour, 59, 59, 999));
      break;
    }
    case kDateUnitMinute: {  // "hh:mm"
      const size_t colon = text.find(':');
      if (colon == std::string::npos) break;
      const int32_t hour = filters::IntOrThrow(std::string_view(text).substr(0, colon), text);
      const int32_t minute = filters::IntOrThrow(std::string_view(text).substr(colon + 1), text);
      if (hour < 0 || hour > 23 || minute < 0 || minute > 59) filters::ThrowNotTime(text);
      setTimes(EncodeTime(hour, minute, 0, 0), EncodeTime(hour, minute, 59, 999));
      break;
    }
    case kDateUnitSecond: {  // "hh:mm:ss"
      double time = 0;
      if (!TryParseDateTime(text, &time) || DayOf(time) != 0) filters::ThrowNotTime(text);
      setTimes(time, time + EncodeTime(0, 0, 0, 999));
      break;
    }
    default:
      break;
  }
  if (twoFilters) {
    col.FLower = FirstSerialOfDay(DayOf(col.FLower));
    col.FUpper = LastSerialOfDay(DayOf(col.FUpper));
  }
}

}  // namespace tabulon
