// The four value types, their binary forms, null markers, conversions from text and display
// texts; date keys and date labels.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tabulon {

enum TValueType : uint8_t { vtInt, vtCur, vtDat, vtStr };
enum TColStorage : uint8_t { csByt, csWor, csLon };

// Descriptor texts: "Int", "Cur", "Dat", "Str" and "Byt", "Wor", "Lon".
const char* ValueTypeText(TValueType t);
const char* StorageText(TColStorage s);
// False when the text is none of them (exact, case-sensitive).
bool ParseValueType(std::string_view text, TValueType* t);
bool ParseStorage(std::string_view text, TColStorage* s);

// Null markers.
constexpr int32_t kIntNull = -2147483647;    // 0x80000001
constexpr int64_t kCurNull = INT64_MIN + 1;  // 0x8000000000000001
inline double DateNull() {                   // 0x41469240FFFF9EF2, 9999-12-31 23:59:59
  const uint64_t bits = 0x41469240FFFF9EF2ull;
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}
constexpr int64_t kCurScale = 10000;

// The last millisecond of a day, 23:59:59.999, as a fraction of the day.
constexpr double kLastMsOfDay = 86399999.0 / 86400000.0;

// The text "(null)", which stands for a missing value.
inline constexpr std::string_view kNullText = "(null)";

// Conversions from (normalised) text. Each returns false when the text does not convert.
// Both numeric conversions read numbers as office files write them: the integer digits plain or
// grouped by commas in threes ("12,345,678"), a yen sign "\" right before the digits or the sign
// ("\1,234", "-\500", "\-500"), "△" or "▲" as the minus sign ("△\1,234"), "円" right after the
// digits ("1,234円"); the value is that of the plain digits. A code with leading zeros (two or more
// integer digits, the first a zero: 007, -012, 00.5, "0,123") converts under no type, so that it
// stays text with its zeros. Nothing makes digits hexadecimal.
// Integer: optional leading blanks, then such a number without fraction or exponent; must fit in
// 32 bits signed.
bool TryStrToInt(std::string_view text, int32_t* value);
// Currency: optional blanks, then such a number with an optional "." and fraction and an optional
// exponent ("E" and a signed integer) before any "円", optional trailing blanks; rounded to four
// decimals (half to even), must lie within -922337203685477.5807 .. 922337203685477.5807.
// *scaled is the value times 10000.
bool TryStrToCur(std::string_view text, int64_t* scaled);
// Date-time: the grammar of TryParseDateTime (platform/LocaleFormats.h), but never a code with
// leading zeros ("07" is no hour).
bool TryStrToDateTime(std::string_view text, double* value);

// The commonest cells of a numeric column in one short pass: nothing but ASCII digits, no leading
// zero, at most 9 of them (integer) or 14 with a point and one to four decimals after them
// (currency). The value is the one TryStrToInt or TryStrToCur gives; false for any other text,
// which they then read.
bool TryPlainInt(std::string_view text, int32_t* value);
bool TryPlainCur(std::string_view text, int64_t* scaled);

// Integer text: decimal, "-" for negatives.
std::string IntToText(int32_t value);
// Currency text: the shortest decimal text with at most four decimals (1.5, 2, -0.25).
std::string CurToText(int64_t scaled);

// Date key of a value relative to lower by unit (0 year .. 6 second; other units give 0).
int32_t DateKey(double value, double lower, int unit);
// Date label by unit: "yyyy", "yyyy/mm", a weekday character of 日月火水木金土 (Shift-JIS),
// "yyyy/mm/dd", "hh", "hh:mm", "hh:mm:ss"; the empty text for other units.
std::string DateLabel(double value, int unit);

}  // namespace tabulon
