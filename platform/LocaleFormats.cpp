#include "platform/LocaleFormats.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>

#include "platform/SjisText.h"
#include "platform/System.h"

namespace tabulon {

namespace {

constexpr int64_t kMsPerDay = 86400000;
constexpr double kMsPerDayF = 86400000.0;

// Days from 0001-01-01 to the first day of year (proleptic Gregorian calendar).
constexpr int64_t DaysBeforeYear(int year) {
  const int64_t y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

constexpr int kDaysBeforeMonth[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};

constexpr bool Leap(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// Days from 0001-01-01 to the given date.
constexpr int64_t Ordinal(int year, int month, int day) {
  return DaysBeforeYear(year) + kDaysBeforeMonth[Leap(year) ? 1 : 0][month - 1] + day - 1;
}

// The ordinal of day 0 of the date-time scale, 1899-12-30.
constexpr int64_t kEpochOrdinal = Ordinal(1899, 12, 30);
constexpr int64_t kFirstSerial = Ordinal(1, 1, 1) - kEpochOrdinal;
constexpr int64_t kLastSerial = Ordinal(9999, 12, 31) - kEpochOrdinal;

// The date null marker of the column store (9999-12-31 23:59:59 plus a fraction of a millisecond).
// It prints like 9999/12/31 23:59:59; that text in a descriptor reads back as exactly these bits.
constexpr uint64_t kDateNullBits = 0x41469240FFFF9EF2ull;

double DateNullValue() {
  double d;
  std::memcpy(&d, &kDateNullBits, sizeof d);
  return d;
}

// A date-time as a day serial and a time of day in whole milliseconds. The date part of a
// negative serial is its integer part and the time its absolute fraction (-1.25 is 1899-12-29
// 06:00). A time that rounds up to 24:00 moves to the start of the next calendar day. Values
// beyond the years 1..9999 are clamped to them.
struct DayAndTime {
  int64_t day;
  int64_t ms;
};

DayAndTime Split(double dateTime) {
  if (!(dateTime == dateTime)) return {0, 0};  // NaN
  if (dateTime <= static_cast<double>(kFirstSerial - 1)) return {kFirstSerial, 0};
  if (dateTime >= static_cast<double>(kLastSerial + 1)) return {kLastSerial, kMsPerDay - 1};
  const double whole = std::trunc(dateTime);
  DayAndTime r{static_cast<int64_t>(whole), std::llround(std::fabs(dateTime - whole) * kMsPerDayF)};
  if (r.ms >= kMsPerDay) {
    r.ms -= kMsPerDay;
    ++r.day;
  }
  return r;
}

double Compose(int64_t day, int64_t ms) {
  const double time = static_cast<double>(ms) / kMsPerDayF;
  const double date = static_cast<double>(day);
  return day >= 0 ? date + time : date - time;
}

struct Civil {
  int year, month, day;
};

Civil CivilFromSerial(int64_t serial) {
  if (serial < kFirstSerial) serial = kFirstSerial;
  if (serial > kLastSerial) serial = kLastSerial;
  int64_t n = serial + kEpochOrdinal;
  const int64_t n400 = n / 146097;
  n %= 146097;
  int64_t n100 = n / 36524;
  if (n100 == 4) n100 = 3;  // the last day of a 400-year cycle
  n -= n100 * 36524;
  const int64_t n4 = n / 1461;
  n %= 1461;
  int64_t n1 = n / 365;
  if (n1 == 4) n1 = 3;  // the last day of a leap year
  n -= n1 * 365;
  Civil c;
  c.year = static_cast<int>(n400 * 400 + n100 * 100 + n4 * 4 + n1 + 1);
  const int* before = kDaysBeforeMonth[Leap(c.year) ? 1 : 0];
  int month = 1;
  while (n >= before[month]) ++month;
  c.month = month;
  c.day = static_cast<int>(n - before[month - 1]) + 1;
  return c;
}

// Writes value as exactly width digits, zero-padded (value must fit).
char* PutDigits(char* out, int64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return out + width;
}

// Writes a day as yyyy/mm/dd.
char* PutDate(char* out, const Civil& c) {
  out = PutDigits(out, c.year, 4);
  *out++ = '/';
  out = PutDigits(out, c.month, 2);
  *out++ = '/';
  return PutDigits(out, c.day, 2);
}

// Writes a non-negative value without padding.
char* PutNumber(char* out, int64_t value) {
  return std::to_chars(out, out + 20, value).ptr;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// The current year, re-read from the clock at most once a minute so that parsing millions of
// short dates does not consult the time zone each time.
int CurrentYear() {
  thread_local time_t checkedAt = 0;
  thread_local int year = 0;
  const time_t now = std::time(nullptr);
  if (year == 0 || now - checkedAt >= 60 || now < checkedAt) {
    std::tm local;
    year = sys::LocalTime(now, &local) ? local.tm_year + 1900 : 2000;
    checkedAt = now;
  }
  return year;
}

// Reads up to nine decimal digits. Fails on no digit or more than nine.
bool ReadNumber(const char*& p, const char* end, int* value, int* digits) {
  int v = 0, n = 0;
  while (p < end && IsDigit(*p)) {
    if (++n > 9) return false;
    v = v * 10 + (*p - '0');
    ++p;
  }
  *value = v;
  *digits = n;
  return n > 0;
}

void SkipBlanks(const char*& p, const char* end) {
  while (p < end && *p == ' ') ++p;
}

const std::string& AmText() {
  static const std::string& text = Sjis("午前");
  return text;
}
const std::string& PmText() {
  static const std::string& text = Sjis("午後");
  return text;
}

enum Designator { kNone, kAm, kPm };

// Consumes an AM/PM designator at p: "AM"/"PM" in any case, 午前 or 午後.
Designator ReadDesignator(const char*& p, const char* end) {
  const size_t left = static_cast<size_t>(end - p);
  if (left >= 2 && Lower(p[1]) == 'm') {
    const char c = Lower(p[0]);
    if (c == 'a' || c == 'p') {
      p += 2;
      return c == 'a' ? kAm : kPm;
    }
  }
  const std::string& am = AmText();
  const std::string& pm = PmText();
  if (left >= am.size() && std::memcmp(p, am.data(), am.size()) == 0) {
    p += am.size();
    return kAm;
  }
  if (left >= pm.size() && std::memcmp(p, pm.data(), pm.size()) == 0) {
    p += pm.size();
    return kPm;
  }
  return kNone;
}

// Parses a time of day from p to end (blanks already trimmed at end). If hourRead, the hour has
// been read already and no designator can precede it.
bool ParseTime(const char* p, const char* end, bool hourRead, int hour, int64_t* ms) {
  Designator designator = kNone;
  int digits = 0;
  if (!hourRead) {
    designator = ReadDesignator(p, end);
    if (designator != kNone) SkipBlanks(p, end);
    if (!ReadNumber(p, end, &hour, &digits)) return false;
  }
  int minute = 0, second = 0, milli = 0;
  if (p < end && *p == ':') {
    ++p;
    if (!ReadNumber(p, end, &minute, &digits)) return false;
    if (p < end && *p == ':') {
      ++p;
      if (!ReadNumber(p, end, &second, &digits)) return false;
      if (p < end && *p == '.') {
        ++p;
        // The number after the separator counts milliseconds: ".5" is 5 ms, ".250" 250 ms.
        if (!ReadNumber(p, end, &milli, &digits) || milli > 999) return false;
      }
    }
  }
  if (designator == kNone) {
    SkipBlanks(p, end);
    designator = ReadDesignator(p, end);
  }
  if (p != end) return false;
  if (minute > 59 || second > 59) return false;
  if (designator == kNone) {
    if (hour > 23) return false;
  } else {
    if (hour < 1 || hour > 12) return false;
    if (hour == 12) hour = 0;
    if (designator == kPm) hour += 12;
  }
  *ms = ((hour * 60 + minute) * 60 + second) * int64_t{1000} + milli;
  return true;
}

// Parses the date part starting at p, whose first number n1 (of d1 digits) is read and is
// followed by "/". Leaves p after the date.
bool ParseDate(const char*& p, const char* end, int n1, int d1, int64_t* serial) {
  ++p;  // the "/" after the first number
  int n2, d2;
  if (!ReadNumber(p, end, &n2, &d2)) return false;
  int n3 = 0, d3 = 0;
  if (p < end && *p == '/') {
    ++p;
    if (p < end && IsDigit(*p)) {
      if (!ReadNumber(p, end, &n3, &d3)) return false;
      if (p < end && *p == '/') ++p;
    }
  }
  int year, month, day;
  if (d3 > 0) {
    year = n1;
    if (d1 <= 2) year += CurrentYear() / 100 * 100;
    month = n2;
    day = n3;
  } else {
    year = CurrentYear();
    month = n1;
    day = n2;
  }
  if (!IsValidDate(year, month, day)) return false;
  *serial = Ordinal(year, month, day) - kEpochOrdinal;
  return true;
}

}  // namespace

bool IsLeapYear(int year) {
  return Leap(year);
}

int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  const int* before = kDaysBeforeMonth[Leap(year) ? 1 : 0];
  return before[month] - before[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

double EncodeDate(int year, int month, int day) {
  return static_cast<double>(Ordinal(year, month, day) - kEpochOrdinal);
}

double EncodeTime(int hour, int minute, int second, int millisecond) {
  const int64_t ms = ((hour * int64_t{60} + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<double>(ms) / kMsPerDayF;
}

void DecodeDate(double dateTime, int* year, int* month, int* day) {
  const Civil c = CivilFromSerial(Split(dateTime).day);
  *year = c.year;
  *month = c.month;
  *day = c.day;
}

void DecodeTime(double dateTime, int* hour, int* minute, int* second, int* millisecond) {
  const int64_t ms = Split(dateTime).ms;
  *hour = static_cast<int>(ms / 3600000);
  *minute = static_cast<int>(ms / 60000 % 60);
  *second = static_cast<int>(ms / 1000 % 60);
  *millisecond = static_cast<int>(ms % 1000);
}

int32_t TimeOfDayMs(double dateTime) {
  return static_cast<int32_t>(Split(dateTime).ms);
}

int DayOfWeek(double dateTime) {
  // Day 0, 1899-12-30, was a Saturday (7).
  const int64_t r = (Split(dateTime).day + 6) % 7;
  return static_cast<int>(r < 0 ? r + 7 : r) + 1;
}

double Now() {
  const int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
  const int64_t seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
  std::tm local;
  if (!sys::LocalTime(seconds, &local)) return 0;
  const int second = local.tm_sec < 60 ? local.tm_sec : 59;
  return Compose(
      Ordinal(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) - kEpochOrdinal,
      ((local.tm_hour * 60 + local.tm_min) * 60 + second) * int64_t{1000} + (ms - seconds * 1000));
}

double FileTimeToDateTime(time_t seconds) {
  std::tm local;
  if (!sys::LocalTime(seconds, &local)) return 0;
  const int second = (local.tm_sec < 60 ? local.tm_sec : 59) & ~1;
  return Compose(Ordinal(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) - kEpochOrdinal,
                 ((local.tm_hour * 60 + local.tm_min) * 60 + second) * int64_t{1000});
}

std::string FormatDateTime(double dateTime) {
  const DayAndTime dt = Split(dateTime);
  const Civil c = CivilFromSerial(dt.day);
  char buf[32];
  char* p = PutDate(buf, c);
  if (dt.ms != 0) {
    *p++ = ' ';
    p = PutNumber(p, dt.ms / 3600000);
    *p++ = ':';
    p = PutDigits(p, dt.ms / 60000 % 60, 2);
    *p++ = ':';
    p = PutDigits(p, dt.ms / 1000 % 60, 2);
  }
  return std::string(buf, p);
}

std::string FormatDateTimePattern(std::string_view pattern, double dateTime) {
  const DayAndTime dt = Split(dateTime);
  const Civil c = CivilFromSerial(dt.day);
  std::string out;
  out.reserve(pattern.size() + 8);
  char buf[8];
  bool afterHour = false;  // "mm" following "hh" is the minute
  size_t i = 0;
  while (i < pattern.size()) {
    const char ch = pattern[i];
    if (IsLeadByte(static_cast<unsigned char>(ch)) && i + 1 < pattern.size()) {
      out.append(pattern, i, 2);  // a double-byte literal; its second byte is no token letter
      i += 2;
      continue;
    }
    const char l = Lower(ch);
    auto run = [&](size_t n) {
      if (i + n > pattern.size()) return false;
      for (size_t k = 0; k < n; ++k)
        if (Lower(pattern[i + k]) != l) return false;
      return true;
    };
    int64_t value = -1;
    int width = 2;
    size_t length = 2;
    if (l == 'y' && run(4)) {
      value = c.year;
      width = 4;
      length = 4;
    } else if (l == 'm' && run(2)) {
      value = afterHour ? dt.ms / 60000 % 60 : c.month;
    } else if (l == 'd' && run(2)) {
      value = c.day;
    } else if (l == 'h' && run(2)) {
      value = dt.ms / 3600000;
    } else if (l == 'n' && run(2)) {
      value = dt.ms / 60000 % 60;
    } else if (l == 's' && run(2)) {
      value = dt.ms / 1000 % 60;
    }
    if (value < 0) {
      out.push_back(ch);
      ++i;
      continue;
    }
    out.append(buf, PutDigits(buf, value, width));
    afterHour = l == 'h';
    i += length;
  }
  return out;
}

namespace {

// The value of a digit, or a number above 9 for any other byte.
constexpr unsigned DigitOf(char c) {
  return static_cast<unsigned>(static_cast<unsigned char>(c)) - '0';
}

// The commonest time texts, "H:MM" and "H:MM:SS" with one- or two-digit fields and nothing
// else, without the general parser's designator and blank handling, as milliseconds of the day.
// False when the text is not of that form (the general parser then decides).
bool TryParsePlainTimeMs(std::string_view text, int64_t* ms) {
  // "h:mm:ss" and "hh:mm:ss" read in place; shorter and odder ones by the loop below.
  const size_t n = text.size();
  if ((n == 7 || n == 8) && text[n - 3] == ':' && text[n - 6] == ':') {
    const unsigned h = n == 8 ? DigitOf(text[0]) * 10 + DigitOf(text[1]) : DigitOf(text[0]);
    const unsigned m1 = DigitOf(text[n - 5]), m2 = DigitOf(text[n - 4]);
    const unsigned s1 = DigitOf(text[n - 2]), s2 = DigitOf(text[n - 1]);
    if ((n == 8 && DigitOf(text[0]) > 9) || DigitOf(text[n - 7]) > 9 || h > 23 || m1 > 5 ||
        m2 > 9 || s1 > 5 || s2 > 9)
      return false;
    *ms = ((h * 60 + m1 * 10 + m2) * 60 + s1 * 10 + s2) * int64_t{1000};
    return true;
  }
  int field[3] = {0, 0, 0};
  int fields = 0, digits = 0;
  for (char c : text) {
    if (IsDigit(c)) {
      if (++digits > 2) return false;
      field[fields] = field[fields] * 10 + (c - '0');
    } else if (c == ':' && digits > 0 && fields < 2) {
      ++fields;
      digits = 0;
    } else {
      return false;
    }
  }
  if (fields == 0 || digits == 0) return false;
  if (field[0] > 23 || field[1] > 59 || field[2] > 59) return false;
  *ms = ((field[0] * 60 + field[1]) * 60 + field[2]) * int64_t{1000};
  return true;
}

// The fixed shapes of exported dates: "yyyy/mm/dd", optionally a blank and a plain time (see
// TryParsePlainTimeMs), as the general parser reads them. False for any other text, or a date
// that does not exist (the general parser then decides).
// The day serial of the date "yyyy/mm/dd" that the first ten bytes of text (at least ten) spell;
// false when they spell no date of that shape, or one that does not exist.
bool TryParseFixedDate(std::string_view text, int64_t* serial) {
  if (text[4] != '/' || text[7] != '/') return false;
  const unsigned d[8] = {DigitOf(text[0]), DigitOf(text[1]), DigitOf(text[2]), DigitOf(text[3]),
                         DigitOf(text[5]), DigitOf(text[6]), DigitOf(text[8]), DigitOf(text[9])};
  for (unsigned digit : d)
    if (digit > 9) return false;
  const int year = static_cast<int>(((d[0] * 10 + d[1]) * 10 + d[2]) * 10 + d[3]);
  const int month = static_cast<int>(d[4] * 10 + d[5]);
  const int day = static_cast<int>(d[6] * 10 + d[7]);
  if (!IsValidDate(year, month, day)) return false;
  *serial = Ordinal(year, month, day) - kEpochOrdinal;
  return true;
}

// The time "hh:mm" of a 16-byte "yyyy/mm/dd hh:mm" text as milliseconds of the day; false when
// bytes 10 to 15 are not a blank and such a time below 24:00 (the date is not looked at).
bool TryParseStampTimeMs(std::string_view text, int64_t* ms) {
  if (text[10] != ' ' || text[13] != ':') return false;
  const unsigned h1 = DigitOf(text[11]), h2 = DigitOf(text[12]);
  const unsigned m1 = DigitOf(text[14]), m2 = DigitOf(text[15]);
  if (h1 > 9 || h2 > 9 || m1 > 5 || m2 > 9) return false;
  const unsigned hour = h1 * 10 + h2;
  if (hour > 23) return false;
  *ms = (hour * 60 + m1 * 10 + m2) * int64_t{60000};
  return true;
}

bool TryParseFixedDateTime(std::string_view text, double* dateTime) {
  int64_t serial = 0;
  if (text.size() < 10 || !TryParseFixedDate(text, &serial)) return false;
  int64_t ms = 0;
  if (text.size() == 16 && text[10] == ' ' && text[13] == ':') {
    // "hh:mm", the commonest time of a time stamp, read in place.
    if (!TryParseStampTimeMs(text, &ms)) return false;
  } else if (text.size() > 10 && (text[10] != ' ' || !TryParsePlainTimeMs(text.substr(11), &ms))) {
    return false;
  }
  *dateTime = Compose(serial, ms);
  return true;
}

}  // namespace

bool TryParseDateTime(std::string_view text, double* dateTime) {
  // Fast paths for the commonest exact shapes; every other text, and every text they refuse,
  // goes through the general parser, which gives the same value for what they accept.
  int64_t plainMs = 0;
  if (text.size() <= 8 && TryParsePlainTimeMs(text, &plainMs)) {
    *dateTime = Compose(0, plainMs);
    return true;
  }
  if (text.size() >= 10 && text.size() <= 19 && TryParseFixedDateTime(text, dateTime)) return true;
  const char* p = text.data();
  const char* end = p + text.size();
  SkipBlanks(p, end);
  while (end > p && end[-1] == ' ') --end;
  if (p == end) return false;
  // Quick reject: a date-time starts with a digit or a designator.
  const char first = *p;
  if (!IsDigit(first) && Lower(first) != 'a' && Lower(first) != 'p' && first != AmText()[0])
    return false;

  int64_t serial = 0;
  int64_t ms = 0;
  if (!IsDigit(first)) {
    // 1) a time that starts with its designator
    if (!ParseTime(p, end, false, 0, &ms)) return false;
  } else {
    int n1, d1;
    if (!ReadNumber(p, end, &n1, &d1)) return false;
    if (p < end && *p == '/') {
      // 2) a date, optionally followed by blanks and a time
      if (!ParseDate(p, end, n1, d1, &serial)) return false;
      if (p != end) {
        if (*p != ' ') return false;
        SkipBlanks(p, end);
        if (!ParseTime(p, end, false, 0, &ms)) return false;
      }
    } else {
      // 3) a time alone whose hour has been read
      if (!ParseTime(p, end, true, n1, &ms)) return false;
    }
  }
  *dateTime = Compose(serial, ms);
  return true;
}

bool TStampReader::TryRead(std::string_view text, double* dateTime) {
  int64_t ms = 0;
  if (text.size() != 16 || !TryParseStampTimeMs(text, &ms)) return false;
  if (!known_ || std::memcmp(text.data(), day_, sizeof day_) != 0) {
    int64_t serial = 0;
    if (!TryParseFixedDate(text, &serial)) return false;
    std::memcpy(day_, text.data(), sizeof day_);
    serial_ = serial;
    known_ = true;
  }
  *dateTime = Compose(serial_, ms);
  return true;
}

void AppendStamp(double dateTime, std::string* out) {
  const DayAndTime dt = Split(dateTime);
  const Civil c = CivilFromSerial(dt.day);
  char buf[16];
  char* p = PutDate(buf, c);
  *p++ = ' ';
  p = PutDigits(p, dt.ms / 3600000, 2);
  *p++ = ':';
  p = PutDigits(p, dt.ms / 60000 % 60, 2);
  out->append(buf, sizeof buf);
}

bool TryParseStoredDateTime(std::string_view text, double* dateTime) {
  if (!TryParseDateTime(text, dateTime)) return false;
  if (*dateTime == Compose(kLastSerial, kMsPerDay - 1000)) *dateTime = DateNullValue();
  return true;
}

std::string FormatFloat(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  // Correctly rounded to 15 significant digits: [-]d.dddddddddddddde[+-]x
  char sci[40];
  const char* sciEnd =
      std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 14).ptr;
  const char* p = sci;
  const bool negative = *p == '-';
  if (negative) ++p;
  char digits[16];
  int count = 0;
  for (; p < sciEnd && *p != 'e'; ++p)
    if (IsDigit(*p)) digits[count++] = *p;
  int exponent = 0;
  std::from_chars(p + 1 + (p[1] == '+'), sciEnd, exponent);
  while (count > 1 && digits[count - 1] == '0') --count;

  std::string out;
  out.reserve(24);
  if (negative) out.push_back('-');
  if (exponent < -4 || exponent >= 15) {
    out.push_back(digits[0]);
    if (count > 1) {
      out.push_back('.');
      out.append(digits + 1, count - 1);
    }
    out.push_back('E');
    out.append(std::to_string(exponent));
  } else if (exponent < 0) {
    out.append("0.");
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out.append(digits, count);
  } else if (count <= exponent + 1) {
    out.append(digits, count);
    out.append(static_cast<size_t>(exponent + 1 - count), '0');
  } else {
    out.append(digits, exponent + 1);
    out.push_back('.');
    out.append(digits + exponent + 1, count - exponent - 1);
  }
  return out;
}

bool TryParseFloat(std::string_view text, double* value) {
  const char* p = text.data();
  const char* end = p + text.size();
  SkipBlanks(p, end);
  while (end > p && end[-1] == ' ') --end;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  const char* number = p;
  // The decimal exponent of the first significant digit tells an underflow from an overflow.
  int64_t leadExponent = 0;
  bool seenSignificant = false;
  int mantissaDigits = 0;
  for (; p < end && IsDigit(*p); ++p, ++mantissaDigits) {
    if (seenSignificant) {
      ++leadExponent;
    } else if (*p != '0') {
      seenSignificant = true;
    }
  }
  if (p < end && *p == '.') {
    for (++p; p < end && IsDigit(*p); ++p, ++mantissaDigits) {
      if (!seenSignificant) {
        --leadExponent;
        if (*p != '0') seenSignificant = true;
      }
    }
  }
  if (mantissaDigits == 0) return false;
  if (p < end && (*p == 'E' || *p == 'e')) {
    ++p;
    int64_t exponent = 0;
    bool negativeExponent = false;
    if (p < end && (*p == '+' || *p == '-')) negativeExponent = *p++ == '-';
    if (p == end || !IsDigit(*p)) return false;
    for (; p < end && IsDigit(*p); ++p)
      if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
    leadExponent += negativeExponent ? -exponent : exponent;
  }
  if (p != end) return false;
  if (!seenSignificant) {
    *value = negative ? -0.0 : 0.0;
    return true;
  }
  double parsed = 0;
  const auto result = std::from_chars(number, end, parsed, std::chars_format::general);
  if (result.ptr != end) return false;
  if (result.ec == std::errc::result_out_of_range) {
    if (leadExponent >= 0) return false;  // too large for a double
    parsed = 0;
  } else if (result.ec != std::errc()) {
    return false;
  }
  *value = negative ? -parsed : parsed;
  return true;
}

}  // namespace tabulon
