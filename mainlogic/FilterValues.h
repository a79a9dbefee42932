// Values as the filter panels of TMainLogic read, bound and compare them: the conversion errors'
// texts, bounds scaled to whole ten-thousandths, date-time serials split into day and time of day,
// and Shift-JIS text matching. Not part of TMainLogic's interface.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace tabulon::filters {

// The conversion errors' texts: "'text' は浮動小数点数ではありません" and its kin.
[[noreturn]] void ThrowNotFloat(const std::string& text);
[[noreturn]] void ThrowNotInteger(const std::string& text);
[[noreturn]] void ThrowNotDate(const std::string& text);
[[noreturn]] void ThrowNotTime(const std::string& text);

// The whole number part names, or ConvertError "'text' は整数ではありません" naming text, the
// whole text part was taken from.
int32_t IntOrThrow(std::string_view part, const std::string& text);

// nearest(value × 10000), a half going to the even neighbour. False when the result does not fit
// a 64-bit integer (or value is not finite).
bool TryScale(double value, int64_t* scaled);

// The day (integer part) and the time of day (fraction) of a date-time serial.
inline double DayOf(double dateTime) {
  return std::trunc(dateTime);
}
inline double TimeOf(double dateTime) {
  return std::fabs(dateTime - std::trunc(dateTime));
}

// The lowest and the highest date-time serial of the records of day (a whole day): 00:00:00.000
// and 23:59:59.999. Before 1899-12-30 the time of day counts away from zero, so there the order
// is the other way round.
double FirstSerialOfDay(double day);
double LastSerialOfDay(double day);

// A time of day cut to its whole second, and the last millisecond of that second: a time picker
// shows whole seconds, and the upper one takes in the whole second it shows.
double WholeSecond(double timeOfDay);
double EndOfSecond(double timeOfDay);

// Decimal text of an integer.
std::string DecimalText(int64_t value);

// Whether pattern occurs in text starting at a Shift-JIS character boundary (exact bytes).
bool ContainsAtCharBoundary(std::string_view text, std::string_view pattern);

// The text without leading and trailing bytes up to 0x20.
std::string_view TrimControls(std::string_view text);

}  // namespace tabulon::filters
