#include "column/Values.h"

#include <cmath>

#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"

namespace tabulon {

namespace {

constexpr uint64_t kPow10[20] = {1ull,
                                 10ull,
                                 100ull,
                                 1000ull,
                                 10000ull,
                                 100000ull,
                                 1000000ull,
                                 10000000ull,
                                 100000000ull,
                                 1000000000ull,
                                 10000000000ull,
                                 100000000000ull,
                                 1000000000000ull,
                                 10000000000000ull,
                                 100000000000000ull,
                                 1000000000000000ull,
                                 10000000000000000ull,
                                 100000000000000000ull,
                                 1000000000000000000ull,
                                 10000000000000000000ull};

constexpr uint64_t kCurMaxScaled = 9223372036854775807ull;  // 922337203685477.5807

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

const char* ValueTypeText(TValueType t) {
  switch (t) {
    case vtInt:
      return "Int";
    case vtCur:
      return "Cur";
    case vtDat:
      return "Dat";
    case vtStr:
      return "Str";
  }
  return "";
}

const char* StorageText(TColStorage s) {
  switch (s) {
    case csByt:
      return "Byt";
    case csWor:
      return "Wor";
    case csLon:
      return "Lon";
  }
  return "";
}

bool ParseValueType(std::string_view text, TValueType* t) {
  for (TValueType candidate : {vtInt, vtCur, vtDat, vtStr}) {
    if (text == ValueTypeText(candidate)) {
      *t = candidate;
      return true;
    }
  }
  return false;
}

bool ParseStorage(std::string_view text, TColStorage* s) {
  for (TColStorage candidate : {csByt, csWor, csLon}) {
    if (text == StorageText(candidate)) {
      *s = candidate;
      return true;
    }
  }
  return false;
}

namespace {

constexpr char kYen = '\\';  // 0x5C, the yen sign of the single-byte set

// "△" (81 A2) or "▲" (81 A3) at p, a minus sign.
bool IsTriangle(const char* p, const char* end) {
  return end - p >= 2 && static_cast<unsigned char>(p[0]) == 0x81 &&
         (static_cast<unsigned char>(p[1]) == 0xA2 || static_cast<unsigned char>(p[1]) == 0xA3);
}

// "円" (89 7E) at p.
bool IsEn(const char* p, const char* end) {
  return end - p >= 2 && static_cast<unsigned char>(p[0]) == 0x89 && p[1] == 0x7E;
}

// A number as office files write it, taken apart: leading blanks; a sign, a yen sign, or
// "△"/"▲" for minus, in the orders "-\500", "\-500", "△\500"; the integer digits, grouped by
// commas in threes or not at all; a fraction; an exponent; "円" right after the digits. Runs for
// every cell of a per-row numeric column: byte by byte, no search.
struct NumberParts {
  bool negative = false;
  std::string_view integer;   // digits, with their grouping commas
  std::string_view fraction;  // the digits after ".", when there is one
  bool point = false;
  std::string_view exponent;  // after "E": an optional sign and digits; "E" alone when empty
  std::string_view rest;      // whatever follows
  bool grouped = false;       // integer holds a comma
};

// Takes an optional "." and fraction, then an optional exponent, from p on into n; returns where
// they end.
const char* TakeFractionAndExponent(const char* p, const char* end, NumberParts* n) {
  if (p < end && *p == '.') {
    n->point = true;
    const char* from = ++p;
    while (p < end && IsDigit(*p)) ++p;
    n->fraction = std::string_view(from, static_cast<size_t>(p - from));
  }
  if (p < end && (*p == 'E' || *p == 'e')) {
    const char* from = p++;
    if (p < end && (*p == '+' || *p == '-')) ++p;
    while (p < end && IsDigit(*p)) ++p;
    n->exponent = p - from > 1 ? std::string_view(from + 1, static_cast<size_t>(p - from - 1))
                               : std::string_view(from, 1);
  }
  return p;
}

NumberParts SplitNumber(std::string_view text) {
  NumberParts n;
  const char* p = text.data();
  const char* const end = p + text.size();
  const auto sign = [&] {
    if (p < end && (*p == '+' || *p == '-')) n.negative = *p++ == '-';
  };
  while (p < end && *p == ' ') ++p;
  if (p < end && (*p == '+' || *p == '-')) {
    sign();
    if (p < end && *p == kYen) ++p;
  } else if (p < end && *p == kYen) {
    ++p;
    sign();
  } else if (IsTriangle(p, end)) {
    n.negative = true;
    p += 2;
    if (p < end && *p == kYen) ++p;
  }
  const char* from = p;
  for (; p < end; ++p) {
    if (*p == ',')
      n.grouped = true;
    else if (!IsDigit(*p))
      break;
  }
  n.integer = std::string_view(from, static_cast<size_t>(p - from));
  p = TakeFractionAndExponent(p, end, &n);
  if (IsEn(p, end)) p += 2;
  n.rest = std::string_view(p, static_cast<size_t>(end - p));
  return n;
}

// Whether integer digits are plain or grouped by commas in threes: the first group of 1 to 3
// digits, every later one of exactly 3.
bool WellGrouped(std::string_view integer) {
  const size_t comma = integer.find(',');
  if (comma == std::string_view::npos) return true;
  if (comma == 0 || comma > 3) return false;
  for (size_t at = comma; at < integer.size(); at += 4) {
    if (integer[at] != ',' || integer.size() - at < 4) return false;
    for (size_t k = 1; k <= 3; ++k)
      if (!IsDigit(integer[at + k])) return false;
  }
  return true;
}

// A code written with leading zeros (007, 0123, -012, 00.5, "0,123"): two or more integer digits,
// the first a zero. Such a text keeps its zeros as text rather than becoming a number.
bool IsZeroPadded(std::string_view integer) {
  return integer.size() >= 2 && integer[0] == '0';
}

// The parts of a number that the integer or currency conversion may read, or false.
bool TakeNumber(std::string_view text, bool allowFraction, NumberParts* parts) {
  *parts = SplitNumber(text);
  const NumberParts& n = *parts;
  if (!n.rest.empty() || (n.grouped && !WellGrouped(n.integer)) || IsZeroPadded(n.integer))
    return false;
  if (!allowFraction) return !n.point && n.exponent.empty() && !n.integer.empty();
  return true;
}

// A code with leading zeros as a whole text, blanks around it allowed: no date or time either.
bool IsCodeWithLeadingZeros(std::string_view text) {
  // Most texts, dates among them, are told apart by their first bytes.
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (i < text.size() && text[i] != '0' && text[i] != kYen &&
      static_cast<unsigned char>(text[i]) != 0x81)
    return false;
  const NumberParts n = SplitNumber(text);
  std::string_view rest = n.rest;
  while (!rest.empty() && rest.back() == ' ') rest.remove_suffix(1);
  return rest.empty() && (!n.grouped || WellGrouped(n.integer)) && IsZeroPadded(n.integer);
}

// The integer conversion of any text a number may be written as (TryStrToInt's general case).
bool IntOfWrittenNumber(std::string_view text, int32_t* value) {
  NumberParts n;
  if (!TakeNumber(text, false, &n)) return false;
  const uint64_t limit = n.negative ? 2147483648ull : 2147483647ull;
  uint64_t magnitude = 0;
  for (const char c : n.integer) {
    if (n.grouped && c == ',') continue;
    magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
    if (magnitude > limit) return false;
  }
  *value = static_cast<int32_t>(n.negative ? -static_cast<int64_t>(magnitude)
                                           : static_cast<int64_t>(magnitude));
  return true;
}

// The digits of a number as mantissa * 10^exponent, exactly, with at most 19 significant digits
// kept; the digits beyond them only matter for rounding: the first of them and whether any later
// one is nonzero.
struct SignificantDigits {
  uint64_t mantissa = 0;
  int kept = 0;
  int64_t exponent = 0;
  int firstDropped = -1;
  bool laterDroppedNonzero = false;
  int digits = 0;  // all digits taken, leading zeros too

  [[gnu::always_inline]] void Take(int d, bool fraction) {
    ++digits;
    if (kept == 0 && d == 0) {
      if (fraction) --exponent;
    } else if (kept < 19) {
      mantissa = mantissa * 10 + static_cast<uint64_t>(d);
      ++kept;
      if (fraction) --exponent;
    } else {
      if (!fraction) ++exponent;
      if (firstDropped < 0) {
        firstDropped = d;
      } else if (d != 0) {
        laterDroppedNonzero = true;
      }
    }
  }
};

[[gnu::always_inline]] inline SignificantDigits DigitsOf(const NumberParts& n) {
  SignificantDigits s;
  for (const char c : n.integer)
    if (!n.grouped || c != ',') s.Take(c - '0', false);
  for (const char c : n.fraction) s.Take(c - '0', true);
  return s;
}

// Adds a written exponent (what follows the "e": a sign, then digits) to *exponent, held at
// 100000 in size; false when no digit follows the sign.
[[gnu::always_inline]] inline bool AddExponent(std::string_view e, int64_t* exponent) {
  const bool negativeExponent = e.front() == '-';
  if (e.front() == '+' || e.front() == '-') e.remove_prefix(1);
  if (e.empty() || !IsDigit(e.front())) return false;
  int64_t magnitude = 0;
  for (const char c : e)
    if (magnitude < 100000) magnitude = magnitude * 10 + (c - '0');
  *exponent += negativeExponent ? -magnitude : magnitude;
  return true;
}

// The digits' value in units of 0.0001, rounded half to even; false beyond kCurMaxScaled.
[[gnu::always_inline]] inline bool ScaleToFourDecimals(const SignificantDigits& s,
                                                       uint64_t* result) {
  *result = 0;
  if (s.mantissa == 0) return true;
  // result = mantissa * 10^(exponent + 4)
  const int64_t shift = s.exponent + 4;
  if (shift >= 0) {
    if (shift > 18 || s.mantissa > kCurMaxScaled / kPow10[shift]) return false;
    *result = s.mantissa * kPow10[shift];
    // Dropped digits exist only when 19 are kept, so here shift is 0 and they are the fraction.
    if (s.firstDropped > 5 || (s.firstDropped == 5 && (s.laterDroppedNonzero || (*result & 1)))) {
      ++*result;
    }
  } else if (shift >= -19) {
    const uint64_t divisor = kPow10[-shift];
    const uint64_t half = divisor / 2;
    const uint64_t rest = s.mantissa % divisor;
    const bool tail = s.firstDropped > 0 || s.laterDroppedNonzero;
    *result = s.mantissa / divisor;
    if (rest > half || (rest == half && (tail || (*result & 1)))) ++*result;
  }
  // With a shift below -19 the value stays under half of 0.0001 and rounds to zero.
  return *result <= kCurMaxScaled;
}

// The currency value of a number's parts: mantissa * 10^exponent rounded to four decimals.
// Inlined into the plain digits' pass, which runs for every cell of a per-row currency column.
[[gnu::always_inline]] inline bool CurOfParts(const NumberParts& n, int64_t* scaled) {
  SignificantDigits s = DigitsOf(n);
  if (s.digits == 0) return false;
  if (!n.exponent.empty() && !AddExponent(n.exponent, &s.exponent)) return false;
  uint64_t result = 0;
  if (!ScaleToFourDecimals(s, &result)) return false;
  *scaled = n.negative ? -static_cast<int64_t>(result) : static_cast<int64_t>(result);
  return true;
}

// A byte that only a number written with separators or marks holds: the general case reads it.
bool MarksANumber(char c) {
  return c == ',' || c == kYen || static_cast<unsigned char>(c) >= 0x80;
}

// The currency conversion of any text a number may be written as (TryStrToCur's general case).
bool CurOfWrittenNumber(std::string_view text, int64_t* scaled) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  NumberParts n;
  return TakeNumber(text, true, &n) && CurOfParts(n, scaled);
}

}  // namespace

// Plain digits, most cells of a numeric column, are read in one pass; a text with a comma, a
// yen sign or a double-byte mark goes to the general case.
bool TryStrToInt(std::string_view text, int32_t* value) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end && *p == ' ') ++p;
  if (p == end) return false;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (p == end) return false;
  const char* const digits = p;
  const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
  uint64_t magnitude = 0;
  for (; p < end; ++p) {
    if (!IsDigit(*p)) return MarksANumber(*p) && IntOfWrittenNumber(text, value);
    magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
    if (magnitude > limit) return false;
  }
  if (IsZeroPadded(std::string_view(digits, static_cast<size_t>(end - digits)))) return false;
  *value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                         : static_cast<int64_t>(magnitude));
  return true;
}

bool TryStrToCur(std::string_view text, int64_t* scaled) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end && *p == ' ') ++p;
  while (end > p && end[-1] == ' ') --end;
  NumberParts n;
  if (p < end && (*p == '+' || *p == '-')) n.negative = *p++ == '-';
  const char* from = p;
  while (p < end && IsDigit(*p)) ++p;
  n.integer = std::string_view(from, static_cast<size_t>(p - from));
  p = TakeFractionAndExponent(p, end, &n);
  if (p < end) return MarksANumber(*p) && CurOfWrittenNumber(text, scaled);
  return !IsZeroPadded(n.integer) && CurOfParts(n, scaled);
}

namespace {

// The digits of text from *at on, up to its end or its first other byte, appended to *value (it
// wraps when they are many: the caller refuses that many); *at moves past them.
[[gnu::always_inline]] inline void TakeDigits(std::string_view text, size_t* at, uint64_t* value) {
  for (; *at < text.size(); ++*at) {
    const unsigned d = static_cast<unsigned char>(text[*at]) - unsigned{'0'};
    if (d > 9) return;
    *value = *value * 10 + d;
  }
}

}  // namespace

bool TryPlainInt(std::string_view text, int32_t* value) {
  const size_t n = text.size();
  if (n == 0 || n > 9 || (n > 1 && text[0] == '0')) return false;
  uint64_t v = 0;
  size_t at = 0;
  TakeDigits(text, &at, &v);
  if (at != n) return false;
  *value = static_cast<int32_t>(v);
  return true;
}

bool TryPlainCur(std::string_view text, int64_t* scaled) {
  uint64_t v = 0;
  size_t at = 0;
  TakeDigits(text, &at, &v);
  const size_t digits = at;
  if (digits == 0 || digits > 14 || (digits > 1 && text[0] == '0')) return false;
  size_t decimals = 0;
  if (at < text.size()) {
    if (text[at] != '.') return false;
    ++at;
    TakeDigits(text, &at, &v);
    decimals = at - digits - 1;
    if (decimals == 0 || decimals > 4 || at != text.size()) return false;
  }
  *scaled = static_cast<int64_t>(v * kPow10[4 - decimals]);
  return true;
}

bool TryStrToDateTime(std::string_view text, double* value) {
  // Only a text whose first byte is a zero or a sign may be a code (most dates and times are
  // told by it).
  size_t first = 0;
  while (first < text.size() && text[first] == ' ') ++first;
  const bool mayBeCode =
      first < text.size() && (text[first] == '0' || text[first] == '+' || text[first] == '-');
  return !(mayBeCode && IsCodeWithLeadingZeros(text)) && TryParseDateTime(text, value);
}

std::string IntToText(int32_t value) {
  return std::to_string(value);
}

std::string CurToText(int64_t scaled) {
  const uint64_t magnitude =
      scaled < 0 ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  std::string text = std::to_string(magnitude / kCurScale);
  if (scaled < 0) text.insert(text.begin(), '-');
  uint64_t fraction = magnitude % kCurScale;
  if (fraction != 0) {
    int width = 4;
    while (fraction % 10 == 0) {
      fraction /= 10;
      --width;
    }
    text.push_back('.');
    for (int i = width - 1; i >= 0; --i)
      text.push_back(static_cast<char>('0' + fraction / kPow10[i] % 10));
  }
  return text;
}

int32_t DateKey(double value, double lower, int unit) {
  int y, mo, d, yl, mol, dl;
  int h, mi, s, ms, hl, mil, sl, msl;
  switch (unit) {
    case 0:
    case 1:
      DecodeDate(value, &y, &mo, &d);
      DecodeDate(lower, &yl, &mol, &dl);
      return unit == 0 ? y - yl : (y - yl) * 12 + mo - mol;
    case 2:
      return DayOfWeek(value) - 1;
    case 3: {
      // Calendar days, as the labels and the drill-down read them: a value in the small hours
      // of the next day is the next day's, whatever time of day lower has.
      const double days = std::trunc(value) - std::trunc(lower);
      if (!(days == days)) return 0;
      if (days > 2147483647.0) return 2147483647;
      if (days < -2147483648.0) return INT32_MIN;
      return static_cast<int32_t>(days);
    }
    case 4:
    case 5:
    case 6:
      DecodeTime(value, &h, &mi, &s, &ms);
      DecodeTime(lower, &hl, &mil, &sl, &msl);
      if (unit == 4) return h - hl;
      if (unit == 5) return (h - hl) * 60 + mi - mil;
      return ((h - hl) * 60 + mi - mil) * 60 + s - sl;
    default:
      return 0;
  }
}

std::string DateLabel(double value, int unit) {
  switch (unit) {
    case 0:
      return FormatDateTimePattern("yyyy", value);
    case 1:
      return FormatDateTimePattern("yyyy/mm", value);
    case 2:
      // One double-byte character per weekday, Sunday first.
      return Sjis("日月火水木金土").substr(static_cast<size_t>(DayOfWeek(value) - 1) * 2, 2);
    case 3:
      return FormatDateTimePattern("yyyy/mm/dd", value);
    case 4:
      return FormatDateTimePattern("hh", value);
    case 5:
      return FormatDateTimePattern("hh:nn", value);
    case 6:
      return FormatDateTimePattern("hh:nn:ss", value);
    default:
      return std::string();
  }
}

}  // namespace tabulon
