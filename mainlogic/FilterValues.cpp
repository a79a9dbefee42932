#include "mainlogic/FilterValues.h"

#include <charconv>

#include "column/Values.h"
#include "platform/Errors.h"
#include "platform/SjisText.h"

namespace tabulon::filters {

void ThrowNotFloat(const std::string& text) {
  throw ConvertError("'" + text + Sjis("' は浮動小数点数ではありません"));
}
void ThrowNotInteger(const std::string& text) {
  throw ConvertError("'" + text + Sjis("' は整数ではありません"));
}
int32_t IntOrThrow(std::string_view part, const std::string& text) {
  // The parts of labels the program wrote ("2004/03", "09:05", " 5"): decimal digits, zeros in
  // front included, which a cell's conversion takes for a code.
  while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
  if (!part.empty() && part.front() == '+') part.remove_prefix(1);
  int32_t value = 0;
  const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
  if (part.empty() || error != std::errc() || end != part.data() + part.size())
    ThrowNotInteger(text);
  return value;
}
void ThrowNotDate(const std::string& text) {
  throw ConvertError("'" + text + Sjis("' は日付ではありません"));
}
void ThrowNotTime(const std::string& text) {
  throw ConvertError("'" + text + Sjis("' は時刻ではありません"));
}

bool TryScale(double value, int64_t* scaled) {
  const double x = std::nearbyint(value * 10000.0);
  // 2^63 itself does not fit; every double below it in magnitude does.
  if (!std::isfinite(x) || x >= 9223372036854775808.0 || x < -9223372036854775808.0) return false;
  *scaled = static_cast<int64_t>(x);
  return true;
}

// Composed as the import composes a date and a time, so that a record at 23:59:59.999 is equal
// to the bound, not an ulp beyond it.
double FirstSerialOfDay(double day) {
  return day < 0 ? day - kLastMsOfDay : day;
}

double LastSerialOfDay(double day) {
  return day < 0 ? day : day + kLastMsOfDay;
}

// Both in whole milliseconds over 86400000, as EncodeTime builds a time of day.
double WholeSecond(double timeOfDay) {
  return std::floor(timeOfDay * 86400.0 + 5e-7) * 1000.0 / 86400000.0;
}

double EndOfSecond(double timeOfDay) {
  return (std::floor(timeOfDay * 86400.0 + 5e-7) * 1000.0 + 999.0) / 86400000.0;
}

std::string DecimalText(int64_t value) {
  return std::to_string(value);
}

bool ContainsAtCharBoundary(std::string_view text, std::string_view pattern) {
  if (pattern.empty()) return true;
  size_t i = 0;
  while (i + pattern.size() <= text.size()) {
    if (text.compare(i, pattern.size(), pattern) == 0) return true;
    i += (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
  }
  return false;
}

std::string_view TrimControls(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

}  // namespace tabulon::filters
