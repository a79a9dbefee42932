#include <gtest/gtest.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <random>
#include <string>

#include "TestUtil.h"
#include "text/HenkanJ.h"

namespace tabulon {
namespace {

struct TextCase {
  const char* what;
  std::string input;     // Shift-JIS
  std::string expected;  // Shift-JIS
};

TEST(HenkanJ, NormalisesFullWidthText) {
  const TextCase cases[] = {
      {"digits", test::S("１２３"), "123"},
      {"signed decimal", test::S("－５．５"), "-5.5"},
      {"date", test::S("２０２４／３／３１"), "2024/3/31"},
      {"letters", test::S("ＡＢＣｘｙｚ"), "ABCxyz"},
      {"full-width spaces", test::S("　　"), "  "},
      {"voiced kana", test::S("ガ"), "\xB6\xDE"},
      {"semi-voiced kana", test::S("ぱ"), "\xCA\xDF"},
      {"hiragana and katakana alike", test::S("かなカナ"), "\xB6\xC5\xB6\xC5"},
      {"wo by sound", test::S("をヲ"), "\xB5\xB5"},
      {"small wa, wi, we", test::S("ゎゐゑヮヰヱ"), "\xDC\xB2\xB4\xDC\xB2\xB4"},
      {"vu, small ka, small ke", test::S("ヴヵヶ"), "\xB3\xDE\xB6\xB9"},
      {"kanji between symbols", test::S("価格：￥１，２００"), test::S("価格") + ":\\1,200"},
      {"kanji whose trail byte leads a symbol", test::S("煤吹刀普潤浴磨"),
       test::S("煤吹刀普潤浴磨")},
      {"symbol lead as a trail byte, then '@'", "\x94\x81@", "\x94\x81@"},
      {"symbols not in the list", test::S("“［］※"), test::S("“［］※")},
      {"Greek and Cyrillic", test::S("αЖ"), test::S("αЖ")},
      {"half-width kana and ASCII", "\xB1\xB6\xDE a-1", "\xB1\xB6\xDE a-1"},
      {"lead byte at the end", "12\x82", "12\x82"},
      {"letter, then a cut-off lead byte", test::S("Ａ") + "\x82", "A\x82"},
      {"row 0x23 from second bytes that are no trail bytes",
       "\x82\x31\x82\x7F\x82\x20"
       "1",
       "\x12`\x01"
       "1"},
      {"kana cell from 0x7F, none below 0x20", "\x83\x7F\x83\x20\x82" + std::string(1, '\0'),
       "\xD1\x83\x20\x82" + std::string(1, '\0')},
      {"unassigned katakana cell: lead byte alone", "\x83\x97\x82\x60", "\x83\x97\x82\x60"},
      {"unassigned hiragana cell: lead byte alone", "\x82\xF5\x82\x60", "\x82\xF5\x82\x60"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(ToHankaku(c.input), c.expected) << c.what;
}

TEST(HenkanJ, MapsEachOfTheThirtySevenSymbols) {
  EXPECT_EQ(
      ToHankaku(test::S("　！”＃＄％＆’（）＝‘｜－＾￥￣｛＠「＋＊｝；：」＜＞？＿、。・，．／ー")),
      " !\"#$%&'()=`|-^\\~{@[+*};:]<>?_\xA4\xA1\xA5,./\xB0");
}

std::string Nfkc(const std::string& utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
  std::string out;
  nfkc->normalize(icu::UnicodeString::fromUTF8(utf8), status).toUTF8String(out);
  EXPECT_TRUE(U_SUCCESS(status));
  return out;
}

// Unicode's compatibility mapping of half-width katakana is an independent check of the table.
TEST(HenkanJ, KanaGiveTheHalfWidthFormOfTheSameSound) {
  for (unsigned cell = 0x21; cell <= 0x76; ++cell) {
    const std::string katakana = {'\x83',
                                  static_cast<char>(cell < 0x60 ? cell + 0x1F : cell + 0x20)};
    const std::string result = ToHankaku(katakana);
    if (cell <= 0x73) {
      const std::string hiragana = {'\x82', static_cast<char>(cell + 0x7E)};
      EXPECT_EQ(ToHankaku(hiragana), result) << std::hex << cell;
    }
    const bool exception = cell == 0x6E || (cell >= 0x70 && cell <= 0x72) || cell >= 0x75;
    if (!exception) {
      EXPECT_EQ(Nfkc(test::U(result)), test::U(katakana)) << std::hex << cell;
    }
  }
}

TEST(HenkanJ, RecognisesTextThatIsAlreadyHalfWidth) {
  EXPECT_TRUE(IsHankakuAlready(""));
  EXPECT_TRUE(IsHankakuAlready("2024/03/31 12:00:00 abc"));
  EXPECT_TRUE(IsHankakuAlready("\xB1\xB6\xDE\xA1"));
  EXPECT_TRUE(IsHankakuAlready("\x80\xA0\xFD\xFE\xFF"));  // one-byte characters, no lead byte
  EXPECT_FALSE(IsHankakuAlready("2024/03/31 12:00:0\x82"));
  EXPECT_FALSE(IsHankakuAlready(test::S("東")));
}

TEST(HenkanJ, IntoReusesTheOutputAndClearsIt) {
  std::string out(64, 'x');
  const char* storage = out.data();
  ToHankakuInto(test::S("１"), &out);
  EXPECT_EQ(out, "1");
  ToHankakuInto("abc", &out);
  EXPECT_EQ(out, "abc");
  EXPECT_EQ(out.data(), storage);
}

TEST(HenkanJ, RandomBytesNeverGrowAndNormaliseToAFixedPoint) {
  const char alphabet[] = {'\x81', '\x82', '\x83', '\x40', '\x60', '\xA0', '\x9F', '\x7F', '\0'};
  std::mt19937 rng(5);
  std::string into;
  for (int round = 0; round < 20000; ++round) {
    std::string text(rng() % 12, '\0');
    for (char& b : text) {
      b = rng() % 2 == 0 ? static_cast<char>(rng()) : alphabet[rng() % sizeof alphabet];
    }
    const std::string result = ToHankaku(text);
    ToHankakuInto(text, &into);
    ASSERT_EQ(into, result);
    ASSERT_LE(result.size(), text.size());
    ASSERT_EQ(ToHankaku(result), result);
    if (IsHankakuAlready(text)) {
      ASSERT_EQ(result, text);
    }
  }
}

}  // namespace
}  // namespace tabulon
