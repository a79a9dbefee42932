#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "platform/LocaleFormats.h"

namespace tabulon {
namespace {

uint64_t Bits(double d) {
  uint64_t b;
  std::memcpy(&b, &d, sizeof b);
  return b;
}

double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

int ThisYear() {
  int y, m, d;
  DecodeDate(Now(), &y, &m, &d);
  return y;
}

TEST(LocaleFormats, DatesCountDaysFrom18991230) {
  const struct {
    int y, m, d;
    double serial;
    int weekday;
  } cases[] = {{1899, 12, 30, 0, 7},  {1899, 12, 31, 1, 1},      {1899, 12, 29, -1, 6},
               {1900, 1, 1, 2, 2},    {2000, 2, 29, 36585, 3},   {2024, 3, 31, 45382, 1},
               {1, 1, 1, -693593, 2}, {9999, 12, 31, 2958465, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.serial);
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial);
    int y, m, d;
    DecodeDate(c.serial, &y, &m, &d);
    EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d);
    EXPECT_EQ(DayOfWeek(c.serial), c.weekday);
  }
}

TEST(LocaleFormats, EveryDayOfYears1To9999DecodesToTheNextValidDate) {
  int py = 1, pm = 1, pd = 0;
  for (int serial = -693593; serial <= 2958465; ++serial) {
    int y, m, d;
    DecodeDate(serial, &y, &m, &d);
    const bool next = (y == py && m == pm && d == pd + 1) || (y == py && m == pm + 1 && d == 1) ||
                      (y == py + 1 && m == 1 && d == 1 && pm == 12);
    ASSERT_TRUE(next && IsValidDate(y, m, d) && EncodeDate(y, m, d) == serial) << serial;
    py = y, pm = m, pd = d;
  }
}

TEST(LocaleFormats, LeapYearsFollowTheGregorianRule) {
  EXPECT_EQ(DaysInMonth(1900, 2) * 10000 + DaysInMonth(2000, 2) * 100 + DaysInMonth(2023, 2),
            282928);
  EXPECT_FALSE(IsValidDate(0, 1, 1));
  EXPECT_FALSE(IsValidDate(2024, 4, 31));
}

TEST(LocaleFormats, NegativeSerialsKeepTheirTimeAsAbsoluteFraction) {
  int y, m, d, h, mi, s, ms;
  DecodeDate(-1.25, &y, &m, &d);
  DecodeTime(-1.25, &h, &mi, &s, &ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
  EXPECT_EQ(h, 6);
  EXPECT_EQ(FormatDateTime(-1.25), "1899/12/29 6:00:00");
  double parsed;
  ASSERT_TRUE(TryParseDateTime("1899/12/29 6:00", &parsed));
  EXPECT_EQ(parsed, -1.25);
}

TEST(LocaleFormats, TimeRoundsToTheMillisecondAndCarriesIntoTheNextDay) {
  int y, m, d, h, mi, s, ms;
  const double almostMidnight = 1 + 0.9999999999;
  DecodeDate(almostMidnight, &y, &m, &d);
  DecodeTime(almostMidnight, &h, &mi, &s, &ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 19000101);
  EXPECT_EQ(h + mi + s + ms, 0);
  EXPECT_EQ(FormatDateTime(almostMidnight), "1900/01/01");
  DecodeTime(At(2024, 3, 31, 9, 5, 7, 250), &h, &mi, &s, &ms);
  EXPECT_EQ(h * 10000000 + mi * 100000 + s * 1000 + ms, 90507250);
}

TEST(LocaleFormats, FormatsShortDateAndLongTime) {
  EXPECT_EQ(FormatDateTime(0), "1899/12/30");
  EXPECT_EQ(FormatDateTime(At(2024, 3, 31)), "2024/03/31");
  EXPECT_EQ(FormatDateTime(At(2024, 3, 31, 9, 5)), "2024/03/31 9:05:00");
  EXPECT_EQ(FormatDateTime(At(2024, 3, 31, 23, 59, 59, 999)), "2024/03/31 23:59:59");
  EXPECT_EQ(FormatDateTime(EncodeDate(1, 1, 1)), "0001/01/01");
  EXPECT_EQ(FormatDateTime(0.5), "1899/12/30 12:00:00");
}

TEST(LocaleFormats, DateNullMarkerPrintsAsLastSecondAndReadsBackAsTheMarkerFromADescriptor) {
  const uint64_t nullBits = 0x41469240FFFF9EF2ull;
  double marker;
  std::memcpy(&marker, &nullBits, sizeof marker);
  EXPECT_EQ(FormatDateTime(marker), "9999/12/31 23:59:59");
  double stored = 0, cell = 0;
  ASSERT_TRUE(TryParseStoredDateTime(FormatDateTime(marker), &stored));
  EXPECT_EQ(Bits(stored), nullBits);
  // A cell of that text is a real date, the last second of 9999, just below the marker.
  ASSERT_TRUE(TryParseDateTime("9999/12/31 23:59:59", &cell));
  EXPECT_EQ(Bits(cell), 0x41469240FFFF9EE9ull);
  EXPECT_LT(cell, marker);
}

TEST(LocaleFormats, WholeSecondDateTimesRoundTripThroughTheirText) {
  const double values[] = {0,
                           At(2024, 3, 31, 9, 5),
                           -(1 + EncodeTime(6, 0, 1, 0)),
                           At(9999, 12, 31, 23, 59, 58),
                           FileTimeToDateTime(1711843507),
                           FileTimeToDateTime(0)};
  for (double v : values) {
    double parsed;
    ASSERT_TRUE(TryParseDateTime(FormatDateTime(v), &parsed)) << FormatDateTime(v);
    EXPECT_EQ(Bits(parsed), Bits(v)) << FormatDateTime(v);
  }
}

TEST(LocaleFormats, FileTimesKeepEvenSeconds) {
  int h, mi, s, ms;
  DecodeTime(FileTimeToDateTime(1711843507), &h, &mi, &s, &ms);  // an odd second
  EXPECT_EQ(s % 2, 0);
  EXPECT_EQ(FileTimeToDateTime(1711843507), FileTimeToDateTime(1711843506));
}

TEST(LocaleFormats, PatternTokensAndLiterals) {
  const double v = At(2024, 3, 31, 9, 5, 7);
  EXPECT_EQ(FormatDateTimePattern("yyyy/mm/dd hh:nn:ss", v), "2024/03/31 09:05:07");
  EXPECT_EQ(FormatDateTimePattern("hh:mm", v), "09:05");  // mm after hh is the minute
  EXPECT_EQ(FormatDateTimePattern(test::S("yyyy年mm月dd日"), v), test::S("2024年03月31日"));
  // The second byte of ハ is "n": it and the "n" after it are no minute token.
  EXPECT_EQ(FormatDateTimePattern(test::S("ハn"), v), test::S("ハn"));
  EXPECT_EQ(FormatDateTimePattern("y m", v), "y m");
}

TEST(LocaleFormats, ParsesTheLocaleDateTimeForms) {
  const int year = ThisYear();
  const struct {
    std::string text;
    double expected;
  } cases[] = {{"2024/3/31", At(2024, 3, 31)},
               {" 2024/03/31 9:05 ", At(2024, 3, 31, 9, 5)},
               {"2024/3/31/", At(2024, 3, 31)},
               {"3/31", At(year, 3, 31)},
               {"3/31/ 23:59:59", At(year, 3, 31, 23, 59, 59)},
               {"24/3/31", At(year / 100 * 100 + 24, 3, 31)},
               {"024/3/31", At(24, 3, 31)},
               {"12", 0.5},
               {"0", 0},
               {"9:05:07.250", EncodeTime(9, 5, 7, 250)},
               {"9:05:07.5", EncodeTime(9, 5, 7, 5)},
               {"9:05:07.05", EncodeTime(9, 5, 7, 5)},
               {"PM 3:00", EncodeTime(15, 0, 0, 0)},
               {"3:00 pm", EncodeTime(15, 0, 0, 0)},
               {"3:00Pm", EncodeTime(15, 0, 0, 0)},
               {test::S("午後3:00"), EncodeTime(15, 0, 0, 0)},
               {test::S("3:00 午前"), EncodeTime(3, 0, 0, 0)},
               {"12 AM", 0},
               {"12:30 am", EncodeTime(0, 30, 0, 0)},
               {"12 PM", 0.5},
               {"2024/3/31   PM 3:00:01", At(2024, 3, 31, 15, 0, 1)},
               {"0001/1/1", -693593}};
  for (const auto& c : cases) {
    double parsed = -99;
    EXPECT_TRUE(TryParseDateTime(c.text, &parsed)) << c.text;
    EXPECT_EQ(Bits(parsed), Bits(c.expected)) << c.text;
  }
}

TEST(LocaleFormats, RejectsTextsThatAreNoDateTime) {
  const std::string texts[] = {"123",          "2024-03-31",
                               "24:00",        "2/30",
                               "2024/3/31x",   "",
                               "   ",          "PM",
                               "13 PM",        "0 AM",
                               "9:60",         "9:05:60",
                               "2024/3",       "2024/13/1",
                               "2023/2/29",    "0000/1/1",
                               "2024//31",     "/3/31",
                               "2024/3/31//",  "3/31 9:05 x",
                               "9:",           "9::05",
                               "9:05.5",       "9:05:07.1000",
                               "AM 9:05 PM",   "2024/3/31T9",
                               "1e3",          "Apr 1",
                               "2024/3/319",   "2024/3/31\t9:00",
                               "9999999999/1", test::S("午後"),
                               "x12"};
  for (const auto& text : texts) {
    double parsed = 7;
    EXPECT_FALSE(TryParseDateTime(text, &parsed)) << text;
    EXPECT_EQ(parsed, 7) << text;
  }
}

TEST(LocaleFormats, FloatsPrintWithFifteenSignificantDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{0, "0"},
               {-0.0, "0"},
               {1, "1"},
               {-2.5, "-2.5"},
               {100, "100"},
               {0.1 + 0.2, "0.3"},
               {1.0 / 3, "0.333333333333333"},
               {2.0 / 3, "0.666666666666667"},
               {0.0001, "0.0001"},
               {0.00001, "1E-5"},
               {1.5e-7, "1.5E-7"},
               {1e14, "100000000000000"},
               {999999999999999.0, "999999999999999"},
               {9999999999999999.0, "1E16"},
               {1e15, "1E15"},
               {-2.5e20, "-2.5E20"},
               {922337203685477.5807, "922337203685478"},
               {-922337203685477.5807, "-922337203685478"},
               {45382.375, "45382.375"},
               {2958465.99998843, "2958465.99998843"},
               {DBL_MAX, "1.79769313486232E308"},
               {4.9406564584124654e-324, "4.94065645841247E-324"}};
  for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.value), c.text);
}

TEST(LocaleFormats, ParsesFloatsAndRejectsOtherTexts) {
  const struct {
    const char* text;
    double value;
  } good[] = {{"1", 1},
              {" -2.5 ", -2.5},
              {"+3", 3},
              {"1.", 1},
              {".5", 0.5},
              {"1e3", 1000},
              {"1.5E-2", 0.015},
              {"1E15", 1e15},
              {"1e-400", 0},
              {"0e999", 0},
              {"-0", -0.0},
              {"922337203685478", 922337203685478.0},
              {"2958465.99998843", 2958465.99998843}};
  for (const auto& c : good) {
    double v = 7;
    EXPECT_TRUE(TryParseFloat(c.text, &v)) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
  const char* bad[] = {"",   ".",    "INF", "NAN", "inf",   "1e", "1e+",   "1,5",
                       "$1", "0x10", "1 2", "- 1", "1e400", "e3", "1.2.3", "--1"};
  for (const char* text : bad) {
    double v = 7;
    EXPECT_FALSE(TryParseFloat(text, &v)) << text;
  }
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

TEST(LocaleFormats, PlainTimesParseLikeEveryOtherTime) {
  for (int h = 0; h < 24; ++h) {
    for (int m = 0; m < 60; m += 7) {
      for (int s = 0; s < 60; s += 13) {
        char text[16];
        std::snprintf(text, sizeof text, "%d:%02d:%02d", h, m, s);
        double plain = -1, designated = -1;
        ASSERT_TRUE(TryParseDateTime(text, &plain)) << text;
        EXPECT_EQ(plain, EncodeTime(h, m, s, 0)) << text;
        // The same time through the designator form takes the general parser.
        std::snprintf(text, sizeof text, "%d:%02d:%02d %s", h % 12 == 0 ? 12 : h % 12, m, s,
                      h < 12 ? "AM" : "PM");
        ASSERT_TRUE(TryParseDateTime(text, &designated)) << text;
        EXPECT_EQ(plain, designated) << text;
      }
    }
  }
  double v;
  for (const char* bad : {"24:00", "9:60", "9:05:60", "9::05", ":05", "9:", "123:4", "9:05:07:1",
                          "24:00:00", "19:60:00", "9:05:6x", "x9:05:06", "1::34:56"})
    EXPECT_FALSE(TryParseDateTime(bad, &v)) << bad;
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

// A leading blank keeps a text off every shortcut: the general parser skips it and reads the rest
// as it would the text alone. So the two must agree, in the answer and in every bit of the value.
void ExpectSameAsGeneralParse(const std::string& text) {
  double fast = -1, general = -1;
  const bool fastOk = TryParseDateTime(text, &fast);
  const bool generalOk = TryParseDateTime(" " + text, &general);
  ASSERT_EQ(fastOk, generalOk) << '"' << text << '"';
  if (fastOk) {
    EXPECT_EQ(Bits(fast), Bits(general)) << '"' << text << '"';
  }
}

TEST(LocaleFormats, FixedDateTimeShapesParseBitForBitAsTheGeneralParser) {
  // Every month and day number, valid or not, of years around leap days and at the calendar's
  // ends, with each time shape.
  const char* const times[] = {"",       " 0:00",  " 9:05", " 09:05",    " 00:00",   " 23:59",
                               " 24:00", " 19:60", " 9:5",  " 12:34:56", " 7:08:09", " 1a:00"};
  std::vector<std::string> dates;
  for (int y : {1, 1899, 1900, 2000, 2023, 2024, 2025, 9999}) {
    for (int m = 0; m <= 13; ++m) {
      for (int d = 0; d <= 32; ++d) {
        char text[16];
        std::snprintf(text, sizeof text, "%04d/%02d/%02d", y, m, d);
        dates.push_back(text);
      }
    }
  }
  double v = 0;
  for (const std::string& date : dates)
    for (const char* time : times) ExpectSameAsGeneralParse(date + time);
  ASSERT_TRUE(TryParseDateTime("2024/02/29 09:05", &v));
  EXPECT_EQ(v, At(2024, 2, 29, 9, 5));
  ASSERT_TRUE(TryParseDateTime("1899/12/30", &v));
  EXPECT_EQ(Bits(v), Bits(0.0));
  ASSERT_TRUE(TryParseDateTime("1899/12/29 06:00", &v));
  EXPECT_EQ(v, -1.25);
}

TEST(LocaleFormats, NearMissesOfTheFixedShapesGetTheGeneralParsersAnswer) {
  // Accepted by the general parser in other spellings, or refused by both.
  for (const char* text : {"2024/3/31",
                           "2024/03/1",
                           "2024/03/31/",
                           "2024/03/31 ",
                           "2024/03/31  9:05",
                           "2024/03/31 9",
                           "2024/03/31 9:05:07.250",
                           "2024/03/31 9:05 PM",
                           "2024/03/31 PM 9:05",
                           "2024/03/31 24:00",
                           "2024/03/31 9:60",
                           "2024/03/31 9:05:60",
                           "2024/03/31 123:00",
                           "2024/03/31 9:05:07:01",
                           "2024/03/31T9:05",
                           "2024/02/30",
                           "2023/02/29",
                           "0000/01/01",
                           "2024/00/10",
                           "2024/13/01",
                           "2024-03-31",
                           "2024/03/3x",
                           "2O24/03/31",
                           "2024/03/31 9:o5",
                           "24/03/31",
                           "02024/03/31",
                           "2024/03/31 \x8c\xdf\x8c\xe3"})
    ExpectSameAsGeneralParse(text);
  double v = 0;
  ASSERT_TRUE(TryParseDateTime("2024/03/31 9:05:07.250", &v));
  EXPECT_EQ(v, At(2024, 3, 31, 9, 5, 7, 250));
  EXPECT_FALSE(TryParseDateTime("2024/02/30 09:05", &v));
  EXPECT_FALSE(TryParseDateTime("2024/03/31 24:00", &v));
}

// Whether text is "dddd/dd/dd dd:dd", each d a digit.
bool IsStampShape(const std::string& text) {
  if (text.size() != 16) return false;
  for (size_t i = 0; i < 16; ++i) {
    const char want = i == 4 || i == 7 ? '/' : i == 10 ? ' ' : i == 13 ? ':' : '0';
    if (want == '0' ? text[i] < '0' || text[i] > '9' : text[i] != want) return false;
  }
  return true;
}

// The stamp reader remembers the day of the last stamp it read whole; whatever came before, its
// answer for a text must be TryParseDateTime's, bit for bit, or false where it leaves the text to
// TryParseDateTime. The cells follow each other as in a column: days repeated with times valid
// and invalid, then days that change, vanish or reappear.
TEST(LocaleFormats, TheStampReaderAnswersAsTheGeneralParserWhateverItReadBefore) {
  std::vector<std::string> cells;
  for (const char* day :
       {"2024/02/29", "2024/02/29", "2024/02/28", "2024/02/19", "2023/02/29", "2024/02/29",
        "2024/03/01", "1899/12/30", "1899/12/29", "0001/01/01", "9999/12/31", "2024/13/01",
        "2024/00/10", "2024/04/31", "2024/4/30 ", "2O24/03/31", "2024-03-31"}) {
    for (const char* time : {" 00:00", " 23:59", " 24:00", " 09:05", " 9:05", " 19:60", " 1a:00",
                             " 12:3x", "T10:00", " 10:00:00", " 10:00 ", "  10:0", ""})
      cells.push_back(std::string(day) + time);
  }
  for (const char* d : {"2024/03/31 ", "2024/03/31\xff"}) cells.push_back(std::string(d) + "10:00");
  cells.push_back("(null)");
  cells.push_back("");
  cells.push_back("2024/02/29 12:00");    // after texts of other shapes, the day still holds
  for (int step = 0; step < 2; ++step) {  // forwards and backwards: other days before each cell
    TStampReader reader;
    for (const std::string& cell : cells) {
      double read = -1, general = -1;
      const bool generalOk = TryParseDateTime(cell, &general);
      if (reader.TryRead(cell, &read)) {
        ASSERT_TRUE(generalOk) << '"' << cell << '"';
        EXPECT_EQ(Bits(read), Bits(general)) << '"' << cell << '"';
      } else {
        // Refused in the stamp's own shape only when the general parser refuses it too.
        EXPECT_FALSE(generalOk && IsStampShape(cell)) << '"' << cell << '"';
      }
    }
    std::reverse(cells.begin(), cells.end());
  }
  TStampReader reader;
  double v = 0;
  ASSERT_TRUE(reader.TryRead("2024/02/29 23:59", &v));
  EXPECT_EQ(v, At(2024, 2, 29, 23, 59));
  ASSERT_TRUE(reader.TryRead("2024/02/29 00:01", &v));
  EXPECT_EQ(v, At(2024, 2, 29, 0, 1));
  EXPECT_FALSE(reader.TryRead("2024/02/29 24:00", &v));
  EXPECT_FALSE(reader.TryRead("2023/02/29 10:00", &v));
  ASSERT_TRUE(reader.TryRead("1899/12/29 06:00", &v));
  EXPECT_EQ(v, -1.25);
}

}  // namespace
}  // namespace tabulon
