// The item labels of an axis column: distinct values, selected items, value ranges or date
// buckets.
#include <algorithm>
#include <cmath>
#include <string_view>

#include "engine/EngineInternal.h"
#include "platform/LineReader.h"
#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"

namespace tabulon::engine_detail {
namespace {

std::vector<std::string> SplitItems(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

// A label that stands for the null value of the column's type reads "(null)".
void ReplaceNullLabels(const TCol& col, std::vector<std::string>* labels) {
  for (std::string& label : *labels) {
    bool isNull = false;
    switch (col.FValueType) {
      case vtInt: {
        int32_t v;
        isNull = TryStrToInt(Trimmed(label), &v) && v == kIntNull;
        break;
      }
      case vtCur: {
        int64_t v;
        isNull = TryStrToCur(Trimmed(label), &v) && v == kCurNull;
        break;
      }
      case vtStr:
        isNull = IsBlank(label);
        break;
      case vtDat:
        break;
    }
    if (isNull) label = std::string(kNullText);
  }
}

std::string PadLeft(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// Currency text of a real rounded to four decimals.
std::string FourDecimals(double value) {
  return CurrencyText(value);
}

std::string FixedFiveDecimals(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.5f", value);
  return buf;
}

std::vector<std::string> RangeLabels(TCol& col) {
  if (col.FDivisions < 2) col.FDivisions = 2;
  const int buckets = col.FDivisions;
  const double lower = col.FLower, upper = col.FUpper;
  const double span = (upper - lower) / buckets;  // of one bucket
  std::vector<std::string> labels;
  labels.reserve(static_cast<size_t>(buckets));
  if (col.FValueType == vtInt) {
    // Each class is named by the whole numbers it holds, first and last, as the record pass
    // assigns them (TCol::IntBucket), so that neighbouring headings never overlap.
    const size_t width = std::max(FourDecimals(upper).size(), FourDecimals(lower).size());
    const double first = std::ceil(lower), last = std::floor(upper);  // the numbers that pass
    // The smallest whole number of first .. last whose class is k or above; last + 1 when none.
    const auto startOf = [&](int k) {
      double lo = first, hi = last + 1;
      while (lo < hi) {
        const double mid = std::floor(lo + (hi - lo) / 2);
        if (TCol::IntBucket(mid, lower, upper, buckets) >= k)
          hi = mid;
        else
          lo = mid + 1;
      }
      return lo;
    };
    double start = startOf(0);
    for (int k = 0; k < buckets; ++k) {
      const double next = k == buckets - 1 ? last + 1 : startOf(k + 1);
      if (start <= next - 1) {
        labels.push_back(PadLeft(TruncatedIntText(start), width) + "-" +
                         PadLeft(TruncatedIntText(next - 1), width));
      } else {
        // A class that holds no whole number (more classes than numbers) names none.
        labels.push_back(std::string(width, ' ') + "-" + std::string(width, ' '));
      }
      start = next;
    }
  } else {
    const size_t width = std::max(FixedFiveDecimals(upper).size(), FixedFiveDecimals(lower).size());
    for (int k = 0; k < buckets; ++k) {
      const double lo = lower + k * span;
      const double hi = k == buckets - 1 ? upper : lower + (k + 1) * span;
      const std::string low = FourDecimals(lo);
      const size_t dot = low.find('.');
      // 1-based position of the decimal point plus 5; a text without one has it after its end.
      const size_t p = (dot == std::string::npos ? low.size() + 1 : dot + 1) + 5;
      std::string label(width > p ? width - p : 0, ' ');
      label += low;
      if (p > low.size() + 1) label.append(p - low.size() - 1, ' ');
      label += "-";
      label += FourDecimals(hi);
      labels.push_back(std::move(label));
    }
  }
  return labels;
}

struct TimeParts {
  int h, m, s, ms;
};

TimeParts TimeOf(double value) {
  TimeParts t;
  DecodeTime(value, &t.h, &t.m, &t.s, &t.ms);
  return t;
}

// A time of day from milliseconds after midnight (wrapped into one day).
double TimeFromMs(int64_t ms) {
  ms %= 86400000;
  if (ms < 0) ms += 86400000;
  return EncodeTime(static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
                    static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
}

// The seven weekday characters, Sunday first.
std::vector<std::string> WeekdayLabels() {
  std::vector<std::string> labels;
  const std::string& days = Sjis("日月火水木金土");
  for (size_t i = 0; i < 7; ++i) labels.push_back(days.substr(i * 2, 2));
  return labels;
}

// How many labels a date axis of a unit other than the weekday has: the whole day's hours,
// minutes or seconds, or the buckets from the lower bound's to the upper bound's.
int64_t DateLabelCount(const TCol& col, bool wholeDay) {
  const uint8_t unit = col.FDateUnit;
  if (wholeDay) return unit == kDateUnitHour ? 24 : unit == kDateUnitMinute ? 1440 : 86400;
  return static_cast<int64_t>(tabulon::DateKey(col.FUpper, col.FLower, unit)) + 1;
}

std::vector<std::string> DateLabels(const TCol& col) {
  const uint8_t unit = col.FDateUnit;
  if (unit == kDateUnitWeekday) return WeekdayLabels();
  std::vector<std::string> labels;
  if (unit >= kDateUnitCount) return labels;
  const double lower = col.FLower;
  // Hours, minutes and seconds on a column that has dates count from midnight: the labels run over
  // the whole day.
  const bool wholeDay = IsTimeOfDayUnit(unit) && col.HasDates();
  const int64_t n = DateLabelCount(col, wholeDay);
  if (n <= 0) return labels;
  labels.reserve(static_cast<size_t>(n));
  int y, mo, d;
  DecodeDate(lower, &y, &mo, &d);
  const TimeParts t = TimeOf(lower);
  const int64_t lowerMs = ((t.h * 60LL + t.m) * 60 + t.s) * 1000 + t.ms;
  int monthDay = d;
  for (int64_t k = 0; k < n; ++k) {
    double v = 0;
    switch (unit) {
      case kDateUnitYear: {
        const int year = y + static_cast<int>(k);
        const int day = (mo == 2 && d == 29 && !IsLeapYear(year)) ? 28 : d;
        v = EncodeDate(year, mo, day);
        break;
      }
      case kDateUnitMonth: {
        const int64_t months = (mo - 1) + k;
        const int year = y + static_cast<int>(months / 12);
        const int month = static_cast<int>(months % 12) + 1;
        // The shortened day of a short month is carried into the following steps.
        monthDay = std::min(monthDay, DaysInMonth(year, month));
        v = EncodeDate(year, month, monthDay);
        break;
      }
      case kDateUnitDay:
        v = lower + static_cast<double>(k);
        break;
      case kDateUnitHour:
        v = wholeDay ? TimeFromMs(k * 3600000) : TimeFromMs(lowerMs + k * 3600000);
        break;
      case kDateUnitMinute:
        v = wholeDay ? TimeFromMs(k * 60000) : TimeFromMs(lowerMs + k * 60000);
        break;
      case kDateUnitSecond:
        v = wholeDay ? TimeFromMs(k * 1000) : TimeFromMs(lowerMs + k * 1000);
        break;
    }
    labels.push_back(col.DateLabel(v));
  }
  return labels;
}

std::vector<std::string> DistinctValueLines(const TCol& col) {
  std::vector<std::string> lines;
  LineReader reader(col.IndPath(), LineEnds::kCrLf);
  std::string_view line;
  while (reader.ReadLine(&line)) lines.emplace_back(line);
  return lines;
}

}  // namespace

std::vector<std::string> AxisLabels(TCol& col) {
  std::vector<std::string> labels;
  switch (col.FValueType) {
    case vtDat:
      return DateLabels(col);
    case vtInt:
    case vtCur:
      // A per-row numeric column has no distinct values to list: it is always divided.
      if (col.FStorage == csLon || col.Count() != col.FDivisions) return RangeLabels(col);
      labels = SplitItems(col.GetItems());
      break;
    case vtStr:
      if (col.FFiltered) {
        labels = SplitItems(col.GetItems());
      } else if (col.FStorage != csLon) {
        labels = DistinctValueLines(col);
      }
      break;
  }
  ReplaceNullLabels(col, &labels);
  return labels;
}

}  // namespace tabulon::engine_detail
