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

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
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

bool TryStrToInt(std::string_view text, int32_t* value) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end && *p == ' ') ++p;
  if (p == end) return false;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (p == end) return false;
  uint64_t magnitude = 0;
  if (*p == '$') {
    // Hexadecimal: the digits themselves must stay within 7FFFFFFF.
    if (++p == end) return false;
    for (; p < end; ++p) {
      const int d = HexDigit(*p);
      if (d < 0) return false;
      magnitude = magnitude * 16 + static_cast<uint64_t>(d);
      if (magnitude > 0x7FFFFFFFull) return false;
    }
  } else {
    const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    for (; p < end; ++p) {
      if (!IsDigit(*p)) return false;
      magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
      if (magnitude > limit) return false;
    }
  }
  *value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                         : static_cast<int64_t>(magnitude));
  return true;
}

bool TryStrToCur(std::string_view text, int64_t* scaled) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end && *p == ' ') ++p;
  while (end > p && end[-1] == ' ') --end;
  if (p == end) return false;
  if (!IsDigit(*p) && *p != '+' && *p != '-' && *p != '.') return false;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';

  // The value is mantissa * 10^exponent, exactly, with at most 19 significant digits kept; the
  // digits beyond them only matter for rounding: the first of them and whether any later one is
  // nonzero.
  uint64_t mantissa = 0;
  int kept = 0;
  int64_t exponent = 0;
  int firstDropped = -1;
  bool laterDroppedNonzero = false;
  int digits = 0;
  auto take = [&](int d, bool fraction) {
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
  };
  for (; p < end && IsDigit(*p); ++p) take(*p - '0', false);
  if (p < end && *p == '.') {
    for (++p; p < end && IsDigit(*p); ++p) take(*p - '0', true);
  }
  if (digits == 0) return false;
  if (p < end && (*p == 'E' || *p == 'e')) {
    ++p;
    bool negativeExponent = false;
    if (p < end && (*p == '+' || *p == '-')) negativeExponent = *p++ == '-';
    if (p == end || !IsDigit(*p)) return false;
    int64_t e = 0;
    for (; p < end && IsDigit(*p); ++p)
      if (e < 100000) e = e * 10 + (*p - '0');
    exponent += negativeExponent ? -e : e;
  }
  if (p != end) return false;

  uint64_t result = 0;
  if (mantissa != 0) {
    // Scale to four decimals: result = mantissa * 10^(exponent + 4), rounded half to even.
    const int64_t shift = exponent + 4;
    if (shift >= 0) {
      if (shift > 18 || mantissa > kCurMaxScaled / kPow10[shift]) return false;
      result = mantissa * kPow10[shift];
      // Dropped digits exist only when 19 are kept, so here shift is 0 and they are the fraction.
      if (firstDropped > 5 || (firstDropped == 5 && (laterDroppedNonzero || (result & 1)))) {
        ++result;
      }
    } else if (shift >= -19) {
      const uint64_t divisor = kPow10[-shift];
      const uint64_t half = divisor / 2;
      const uint64_t rest = mantissa % divisor;
      const bool tail = firstDropped > 0 || laterDroppedNonzero;
      result = mantissa / divisor;
      if (rest > half || (rest == half && (tail || (result & 1)))) ++result;
    }
    // With a shift below -19 the value stays under half of 0.0001 and rounds to zero.
  }
  if (result > kCurMaxScaled) return false;
  *scaled = negative ? -static_cast<int64_t>(result) : static_cast<int64_t>(result);
  return true;
}

bool TryStrToDateTime(std::string_view text, double* value) {
  return TryParseDateTime(text, value);
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
