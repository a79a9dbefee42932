// The value conversions of the import and the descriptor: texts that parse format back to texts
// that parse to the same value, a number written with separators and marks converts as its plain
// digits, and the date keys, labels and formats take any double (NaN,
// infinities, the date null marker, values beyond the calendar) without undefined behaviour.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "column/Values.h"
#include "fuzz/FuzzUtil.h"
#include "platform/LocaleFormats.h"

using namespace tabulon;
using tabulon::fuzz::Input;

namespace {

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

double DoubleFrom(Input& in) {
  static const double kSpecial[] = {0.0,
                                    -0.0,
                                    std::numeric_limits<double>::quiet_NaN(),
                                    std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    std::numeric_limits<double>::max(),
                                    -std::numeric_limits<double>::max(),
                                    std::numeric_limits<double>::denorm_min(),
                                    DateNull(),
                                    2958465.9999999,  // the last moment of 9999-12-31
                                    2958466.0,
                                    -693593.0,  // 0001-01-01
                                    -693594.5,
                                    -0.9999999999,
                                    45382.999999999,
                                    2147483648.0,
                                    -2147483649.0};
  const uint8_t kind = in.Byte();
  if (kind < sizeof kSpecial / sizeof kSpecial[0]) return kSpecial[kind];
  if (kind < 128) {
    // A date-time in or near the calendar's range.
    const int32_t days = static_cast<int32_t>(in.Below(4000000)) - 1000000;
    return days + in.Below(1u << 30) / static_cast<double>(1u << 30) * (kind & 1 ? 1 : -1);
  }
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = bits << 8 | in.Byte();
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

// A formatted date-time parses back to a date-time that formats to the same text.
void CheckDateTimeText(double value) {
  const std::string text = FormatDateTime(value);
  double back = 0;
  Check(TryParseDateTime(text, &back));
  // The text keeps no milliseconds: a time under a second after midnight reads back as midnight,
  // which is written without its time.
  const std::string again = FormatDateTime(back);
  Check(again == text || (again.size() == 10 && text == again + " 0:00:00"));
  double stored = 0;
  Check(TryParseStoredDateTime(text, &stored));
  if (text == "9999/12/31 23:59:59") Check(SameBits(stored, DateNull()));
}

// The plain digits of a number written with grouping commas, a yen sign, "△"/"▲" or "円": the
// sign, then the digits and what follows them, without the marks. Empty for a text without any.
std::string PlainDigits(std::string_view text) {
  const std::string_view yen = "\\", white = "\x81\xA2", black = "\x81\xA3", en = "\x89\x7E";
  std::string plain;
  bool marked = false;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  for (; i < text.size(); ++i) {
    const std::string_view at = text.substr(i);
    if (at.substr(0, 2) == white || at.substr(0, 2) == black) {
      plain += '-';
      marked = true;
      ++i;
    } else if (at.substr(0, 2) == en) {
      marked = true;
      ++i;
    } else if (at.substr(0, 1) == yen || text[i] == ',') {
      marked = true;
    } else {
      plain += text[i];
    }
  }
  return marked ? plain : std::string();
}

void CheckInt(std::string_view text) {
  // No text is hexadecimal; a code with leading zeros is no number.
  int32_t v = 0;
  int32_t onePass = 0;
  const bool isPlain = TryPlainInt(text, &onePass);
  if (!TryStrToInt(text, &v)) {
    Check(!isPlain);
    return;
  }
  Check(!isPlain || onePass == v);
  Check(text.find('$') == std::string_view::npos);
  int32_t back = 0;
  Check(TryStrToInt(IntToText(v), &back) && back == v);
  // An integer text is a currency text too, of the same value.
  int64_t scaled = 0;
  Check(TryStrToCur(text, &scaled) && scaled == int64_t{v} * kCurScale);
  // A written number converts to the value of its plain digits.
  const std::string plain = PlainDigits(text);
  if (!plain.empty()) Check(TryStrToInt(plain, &back) && back == v);
}

void CheckCur(std::string_view text) {
  int64_t scaled = 0;
  int64_t onePass = 0;
  const bool isPlain = TryPlainCur(text, &onePass);
  if (!TryStrToCur(text, &scaled)) {
    Check(!isPlain);
    return;
  }
  Check(!isPlain || onePass == scaled);
  const std::string formatted = CurToText(scaled);
  int64_t back = 0;
  Check(TryStrToCur(formatted, &back) && back == scaled);
  // The same text (its plain digits) read as a float agrees up to the rounding to four decimals.
  const std::string plain = PlainDigits(text);
  if (!plain.empty()) {
    int64_t plainScaled = 0;
    Check(TryStrToCur(plain, &plainScaled) && plainScaled == scaled);
    text = plain;
  }
  double f = 0;
  Check(TryParseFloat(text, &f));
  const double x = f * kCurScale;
  Check(std::fabs(x - static_cast<double>(scaled)) <= 0.5 + std::fabs(x) * 1e-15);
}

void CheckDateTime(std::string_view text) {
  double v = 0;
  if (!TryStrToDateTime(text, &v)) return;
  Check(std::isfinite(v));
  CheckDateTimeText(v);
  int h, mi, s, ms;
  DecodeTime(v, &h, &mi, &s, &ms);
  double back = 0;
  Check(TryParseDateTime(FormatDateTime(v), &back));
  if (ms == 0) Check(SameBits(back, v) || (back == 0 && v == 0));
}

void CheckFloat(std::string_view text) {
  double v = 0;
  if (!TryParseFloat(text, &v)) return;
  Check(std::isfinite(v));
  const std::string formatted = FormatFloat(v);
  double back = 0;
  Check(TryParseFloat(formatted, &back));
  Check(FormatFloat(back) == formatted);
}

void CheckDouble(double value, double lower, int unit, std::string_view pattern) {
  (void)DateKey(value, lower, unit);
  const std::string label = DateLabel(value, unit);
  static const size_t kLabelSize[] = {4, 7, 2, 10, 2, 5, 8};
  Check(label.size() == (unit >= 0 && unit <= 6 ? kLabelSize[unit] : 0));
  CheckDateTimeText(value);
  int y, mo, d, h, mi, s, ms;
  DecodeDate(value, &y, &mo, &d);
  Check(IsValidDate(y, mo, d));
  DecodeTime(value, &h, &mi, &s, &ms);
  Check(h >= 0 && h < 24 && mi >= 0 && mi < 60 && s >= 0 && s < 60 && ms >= 0 && ms < 1000);
  const int weekday = DayOfWeek(value);
  Check(weekday >= 1 && weekday <= 7);
  (void)FormatDateTimePattern(pattern, value);
  if (std::isfinite(value)) {
    const std::string formatted = FormatFloat(value);
    double back = 0;
    if (std::fabs(value) < 1.797693134862e308) {
      Check(TryParseFloat(formatted, &back));
      Check(FormatFloat(back) == formatted);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  switch (in.Below(6)) {
    case 0:
      CheckInt(in.Rest());
      break;
    case 1:
      CheckCur(in.Rest());
      break;
    case 2:
      CheckDateTime(in.Rest());
      break;
    case 3:
      CheckFloat(in.Rest());
      break;
    case 4: {
      const double value = DoubleFrom(in);
      const double lower = DoubleFrom(in);
      const int unit = static_cast<int>(in.Below(9)) - 1;
      CheckDouble(value, lower, unit, in.Rest());
      break;
    }
    default: {
      // Numbers to texts and back, and calendar parts to date-times and back.
      int32_t i = 0;
      int64_t c = 0;
      for (int k = 0; k < 4; ++k)
        i = static_cast<int32_t>(static_cast<uint32_t>(i) << 8 | in.Byte());
      for (int k = 0; k < 8; ++k)
        c = static_cast<int64_t>(static_cast<uint64_t>(c) << 8 | in.Byte());
      int32_t iback = 0;
      Check(TryStrToInt(IntToText(i), &iback) && iback == i);
      int64_t cback = 0;
      if (c >= -static_cast<int64_t>(9223372036854775807)) {
        Check(TryStrToCur(CurToText(c), &cback) && cback == c);
      }
      const int year = static_cast<int>(in.Below(10002)) - 1;
      const int month = static_cast<int>(in.Below(15)) - 1;
      const int day = static_cast<int>(in.Below(34)) - 1;
      if (IsValidDate(year, month, day)) {
        int y, mo, d;
        DecodeDate(EncodeDate(year, month, day), &y, &mo, &d);
        Check(y == year && mo == month && d == day);
      }
      const int hour = static_cast<int>(in.Below(24));
      const int minute = static_cast<int>(in.Below(60));
      const int second = static_cast<int>(in.Below(60));
      const int milli = static_cast<int>(in.Below(1000));
      int h, mi, s, ms;
      DecodeTime(EncodeTime(hour, minute, second, milli), &h, &mi, &s, &ms);
      Check(h == hour && mi == minute && s == second && ms == milli);
      break;
    }
  }
  return 0;
}
