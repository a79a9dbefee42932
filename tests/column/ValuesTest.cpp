#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <regex>

#include "TestUtil.h"
#include "column/Values.h"
#include "platform/LocaleFormats.h"

namespace tabulon {
namespace {

TEST(Values, DescriptorTextsParseBackExactly) {
  TValueType t = vtInt;
  TColStorage s = csByt;
  EXPECT_TRUE(ParseValueType(ValueTypeText(vtDat), &t) && t == vtDat);
  EXPECT_TRUE(ParseStorage(StorageText(csWor), &s) && s == csWor);
  EXPECT_STREQ(ValueTypeText(vtCur), "Cur");
  EXPECT_FALSE(ParseValueType("int", &t));
  EXPECT_FALSE(ParseStorage("Lon ", &s));
}

TEST(Values, IntegerTexts) {
  const struct {
    const char* text;
    int32_t value;
  } good[] = {{"0", 0},
              {"123", 123},
              {"  -45", -45},
              {"+7", 7},
              {"2147483647", 2147483647},
              {"-2147483648", INT32_MIN},
              // Amounts as office files write them.
              {"1,234", 1234},
              {"-1,234", -1234},
              {"2,147,483,647", 2147483647},
              {"\\1,234", 1234},
              {"-\\500", -500},
              {"\\-500", -500},
              {"\x81\xA2"
               "1,234",
               -1234},  // △
              {"\x81\xA3\\"
               "1,234",
               -1234},                  // ▲ and the yen sign
              {"1,234\x89\x7E", 1234},  // 円
              {"0", 0},
              {"-0", 0}};
  for (const auto& c : good) {
    int32_t v = 0;
    EXPECT_TRUE(TryStrToInt(c.text, &v)) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
  const char* bad[] = {
      "2147483648", "-2147483649", "99999999999999999999", "", " ", "-", "12 ", "1.0", "1e3", "- 1",
      // No hexadecimal in any form.
      "$10", "$FF", "-$10", "$", "0x10",
      // Codes keep their zeros.
      "007", "0123", "-012", "0,123", "0000000000000042",
      // Commas that do not group in threes; signs and marks out of place.
      "12,34", "1,2345", ",123", "1,", "1,,234", "1,234,56", "\\", "\x89\x7E", "\x81\xA2-5",
      "-\x81\xA2"
      "5",
      "5\\", "(500)", "50%", "1,234 \x89\x7E"};
  for (const char* text : bad) {
    int32_t v = 5;
    EXPECT_FALSE(TryStrToInt(text, &v)) << text;
    EXPECT_EQ(v, 5) << text;
  }
}

TEST(Values, CurrencyTextsScaleExactlyToFourDecimalsHalfToEven) {
  const struct {
    const char* text;
    int64_t scaled;
  } good[] = {{"1", 10000},
              {"-0.25", -2500},
              {"1.", 10000},
              {".5", 5000},
              {"1e3", 10000000},
              {"1.5E-2", 150},
              {"+3", 30000},
              {" 2 ", 20000},
              {"2147483648", 21474836480000},
              {"0.00005", 0},
              {"0.00015", 2},
              {"0.00025", 2},
              {"-1.23455", -12346},
              {"0.000250001", 3},
              {"0.0000500000000000000000001", 1},
              {"0.0000499999999999999999999", 0},
              {"12345678901234.56789012345", 123456789012345679},
              {"0.000000000000000000000000000009", 0},
              {"0e999", 0},
              {"9.22337203685477E14", 9223372036854770000},
              {"922337203685477.5807", 9223372036854775807},
              {"922337203685477.58074999999", 9223372036854775807},
              {"-922337203685477.5807", kCurNull},
              {"12,345,678.5", 123456785000},
              {"\\1,234.5\x89\x7E", 12345000},
              {"\x81\xA2"
               "0.25",
               -2500},
              {"0.5", 5000},
              {"-0.25", -2500}};
  for (const auto& c : good) {
    int64_t v = 0;
    EXPECT_TRUE(TryStrToCur(c.text, &v)) << c.text;
    EXPECT_EQ(v, c.scaled) << c.text;
  }
  const char* bad[] = {"$10",
                       "00.5",
                       "-012.5",
                       "12,34.5",
                       "",
                       ".",
                       "e3",
                       "1e",
                       "- 1",
                       "1.2.3",
                       "INF",
                       "NAN",
                       "1 2",
                       "922337203685477.5808",
                       "922337203685477.58075",
                       "1e15",
                       "-1e15",
                       "1e99999999999"};
  for (const char* text : bad) {
    int64_t v = 5;
    EXPECT_FALSE(TryStrToCur(text, &v)) << text;
    EXPECT_EQ(v, 5) << text;
  }
}

// Texts of at most 12 characters and 4 decimals are exact in a double once scaled, so
// the double parser is a reference; every integer text must convert as currency as well.
TEST(Values, RandomNumericTextsAgreeWithReferenceConversions) {
  std::mt19937 rng(12345);
  const char alphabet[] = "0123456789-+. $eE,";
  for (int i = 0; i < 200000; ++i) {
    std::string text;
    const int length = 1 + static_cast<int>(rng() % 12);
    for (int k = 0; k < length; ++k) text.push_back(alphabet[rng() % (sizeof alphabet - 1)]);
    int32_t n;
    int64_t scaled;
    double f;
    const bool isInt = TryStrToInt(text, &n);
    const bool isCur = TryStrToCur(text, &scaled);
    double dt;
    TryStrToDateTime(text, &dt);
    // The one-pass reading of the plain shapes gives the general conversion's value.
    int32_t plainN;
    int64_t plainScaled;
    if (TryPlainInt(text, &plainN)) {
      ASSERT_TRUE(isInt) << text;
      EXPECT_EQ(plainN, n) << text;
    }
    if (TryPlainCur(text, &plainScaled)) {
      ASSERT_TRUE(isCur) << text;
      EXPECT_EQ(plainScaled, scaled) << text;
    }
    if (isInt) {
      ASSERT_TRUE(isCur) << text;
      EXPECT_EQ(scaled, int64_t{n} * kCurScale) << text;
    }
    ASSERT_FALSE(text.find('$') != std::string::npos && (isInt || isCur)) << text;
    // A code with leading zeros is no number and no time.
    static const std::regex zeroPadded(R"(^ *[+-]?0[0-9,].*)");
    if (std::regex_match(text, zeroPadded)) {
      EXPECT_FALSE(isInt || isCur || TryStrToDateTime(text, &dt)) << text;
      continue;
    }
    // Grouped digits read as the plain digits.
    if (text.find(',') != std::string::npos) {
      std::string plainDigits = text;
      std::erase(plainDigits, ',');
      int64_t plainScaled;
      if (isCur) {
        ASSERT_TRUE(TryStrToCur(plainDigits, &plainScaled)) << text;
        EXPECT_EQ(scaled, plainScaled) << text;
      }
      continue;
    }
    const size_t point = text.find('.');
    const bool plain = text.find_first_of("eE") == std::string::npos &&
                       (point == std::string::npos || text.size() - point <= 5);
    if (plain) {
      ASSERT_EQ(isCur, TryParseFloat(text, &f)) << text;
      if (isCur) {
        EXPECT_EQ(scaled, std::llround(f * 10000)) << text;
      }
    }
  }
}

TEST(Values, PlainShapesReadInOnePassAtTheirLimits) {
  int32_t n = 0;
  int64_t c = 0;
  for (const char* text : {"0", "7", "999999999"}) EXPECT_TRUE(TryPlainInt(text, &n)) << text;
  EXPECT_EQ(n, 999999999);
  for (const char* text : {"0", "0.5", "1276.8", "99999999999999.9999"})
    EXPECT_TRUE(TryPlainCur(text, &c)) << text;
  EXPECT_EQ(c, 999999999999999999);
  // Longer, signed, blank, grouped, zero-padded or rounded texts are left to the general reading.
  for (const char* text : {"", "1234567890", "-1", " 1", "1 ", "1,234", "01", "1.5", "1e3"})
    EXPECT_FALSE(TryPlainInt(text, &n)) << text;
  for (const char* text :
       {"", "123456789012345", "1.23456", "1.", ".5", "00.5", "-1.5", "1.5 ", "1,234.5", "1.5e2"})
    EXPECT_FALSE(TryPlainCur(text, &c)) << text;
  EXPECT_TRUE(TryStrToInt("1234567890", &n) && TryStrToCur("123456789012345", &c));
}

TEST(Values, IntegerAndCurrencyDisplayTexts) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(-5), "-5");
  EXPECT_EQ(IntToText(kIntNull), "-2147483647");
  const struct {
    int64_t scaled;
    const char* text;
  } cases[] = {{15000, "1.5"},
               {20000, "2"},
               {-2500, "-0.25"},
               {1, "0.0001"},
               {-1, "-0.0001"},
               {0, "0"},
               {123450, "12.345"},
               {kCurNull, "-922337203685477.5807"},
               {INT64_MAX, "922337203685477.5807"}};
  for (const auto& c : cases) {
    EXPECT_EQ(CurToText(c.scaled), c.text);
    int64_t back = 0;
    ASSERT_TRUE(TryStrToCur(CurToText(c.scaled), &back)) << c.text;
    EXPECT_EQ(back, c.scaled);
  }
}

TEST(Values, DateKeysByUnit) {
  const double lower = EncodeDate(2023, 11, 30);
  const double value = EncodeDate(2024, 1, 15);
  EXPECT_EQ(DateKey(value, lower, 0), 1);
  EXPECT_EQ(DateKey(value, lower, 1), 2);
  EXPECT_EQ(DateKey(value, lower, 3), 46);
  EXPECT_EQ(DateKey(lower, value, 1), -2);
  EXPECT_EQ(DateKey(EncodeDate(2024, 3, 31), lower, 2), 0);  // Sunday
  EXPECT_EQ(DateKey(EncodeDate(2024, 4, 6), lower, 2), 6);   // Saturday
  // Days are calendar days, whatever the lower bound's time of day.
  const double lowerAt10 = lower + EncodeTime(10, 0, 0, 0);
  EXPECT_EQ(DateKey(lower + EncodeTime(23, 59, 59, 999), lowerAt10, 3), 0);
  EXPECT_EQ(DateKey(lower + 1 + EncodeTime(9, 0, 0, 0), lowerAt10, 3), 1);
  EXPECT_EQ(DateKey(lower + 1 + EncodeTime(10, 0, 0, 0), lowerAt10, 3), 1);
  // Time units look at the time of day only.
  const double l = lower + EncodeTime(10, 20, 30, 0);
  const double v = value + EncodeTime(12, 25, 35, 0);
  EXPECT_EQ(DateKey(v, l, 4), 2);
  EXPECT_EQ(DateKey(v, l, 5), 125);
  EXPECT_EQ(DateKey(v, l, 6), 7505);
  EXPECT_EQ(DateKey(l, v, 6), -7505);
  EXPECT_EQ(DateKey(v, l, 7), 0);
  EXPECT_EQ(DateKey(v, l, -1), 0);
}

TEST(Values, DateLabelsByUnit) {
  const double sunday = EncodeDate(2024, 3, 31);
  const double v = sunday + EncodeTime(9, 5, 7, 0);
  EXPECT_EQ(DateLabel(v, 0), "2024");
  EXPECT_EQ(DateLabel(v, 1), "2024/03");
  EXPECT_EQ(DateLabel(v, 3), "2024/03/31");
  EXPECT_EQ(DateLabel(v, 4), "09");
  EXPECT_EQ(DateLabel(v, 5), "09:05");
  EXPECT_EQ(DateLabel(v, 6), "09:05:07");
  EXPECT_EQ(DateLabel(v, 7), "");
  std::string week;
  for (int d = 0; d < 7; ++d) week += DateLabel(sunday + d, 2);
  EXPECT_EQ(week, test::S("日月火水木金土"));
  EXPECT_EQ(DateLabel(DateNull(), 6), "23:59:59");
  EXPECT_EQ(DateLabel(DateNull(), 3), "9999/12/31");
}

}  // namespace
}  // namespace tabulon
