#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "TestUtil.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

using test::S;

TEST(SjisText, ConvertsBothWaysWithReplacementsForWhatDoesNotConvert) {
  EXPECT_EQ(S("合計Ａa"),
            "\x8d\x87\x8c\x76\x82\x60"
            "a");
  EXPECT_EQ(SjisToUtf8("\x8d\x87\x8c\x76"), "合計");
  // An unassigned pair, a lead byte at the end: U+FFFD each.
  EXPECT_EQ(SjisToUtf8("a\x85\x41z"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(SjisToUtf8("a\x82"), "a\xEF\xBF\xBD");
  // No Shift-JIS form (euro, emoji, yen sign) or malformed UTF-8: "?" each.
  EXPECT_EQ(Utf8ToSjis("€😀x¥"), "??x?");
  EXPECT_EQ(Utf8ToSjis("a\xFF"
                       "b"),
            "a?b");
}

TEST(SjisText, SjisLiteralIsConvertedOncePerAddress) {
  static const char kLiteral[] = "値";
  const std::string& first = Sjis(kLiteral);
  EXPECT_EQ(first, "\x92\x6c");
  EXPECT_EQ(&Sjis(kLiteral), &first);
}

TEST(SjisText, FoldKeyFoldsWholeCharactersOnly) {
  struct Case {
    std::string text, key;
  } cases[] = {
      {"ABCxyz", "abcxyz"},
      // More than eight ASCII bytes (the word-at-a-time path) with the neighbours of A-Z.
      {"@AZ[`az{ HELLO, World!", "@az[`az{ hello, world!"},
      {S("Ａｂ"), S("ａｂ")},
      {"\x83\x41", "\x83\x41"},  // ア: its second byte is 'A' and stays
      {"\x83\x5D"
       "A",
       "\x83\x5D"
       "a"},                     // ゾ: second byte ']'
      {S("ΑΩ"), S("αω")},        // Greek
      {S("АЯ"), S("ая")},        // Cyrillic
      {"\x87\x54", "\xFA\x40"},  // Ⅰ (NEC row 13) -> ⅰ (its one code)
      {"\xFA\x4A", "\xFA\x40"},  // Ⅰ (IBM)
      {"\xEE\xEF", "\xFA\x40"},  // ⅰ (NEC-selected IBM)
      {"\x87\x9A", "\x81\xE6"},  // ∵ has three codes; one canonical
      {"\xB1"
       "A",
       "\xB1"
       "a"},               // half-width katakana
      {"A\x82", "a\x82"},  // lead byte at the end
      {"\x85\x41"
       "A",
       "\x85\x41"
       "a"},  // unassigned pair kept byte for byte
      {"\x81\x0A"
       "A",
       "\x81\x0A"
       "a"},                                     // lead byte before a non-trail byte
      {"\x80\xA0\xFD\xFF", "\x80\xA0\xFD\xFF"},  // no character
      {"ABCDEFG\x82\x60"
       "HIJKLMNOP",
       "abcdefg\x82\x81"
       "hijklmnop"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FoldKey(c.text), c.key) << test::U(c.text);
    EXPECT_TRUE(SameText(c.text, c.key));
  }
  EXPECT_FALSE(SameText(S("ア"), S("ァ")));
  EXPECT_FALSE(SameText(S("Ａ"), "A"));
}

TEST(SjisText, FoldingIsIdempotentForEveryCode) {
  for (int c = 0; c < 0x10000; ++c) {
    std::string text;
    if (c >= 0x100) text.push_back(static_cast<char>(c >> 8));
    text.push_back(static_cast<char>(c & 0xFF));
    const std::string key = FoldKey(text);
    ASSERT_LE(key.size(), text.size());
    ASSERT_EQ(FoldKey(key), key) << std::hex << c;
  }
}

TEST(SjisText, AppendFoldKeyWritesIntoTheRoomItHas) {
  std::string out = "k:";
  out.reserve(64);
  const char* before = out.data();
  AppendFoldKey(S("ＡbC"), &out);
  EXPECT_EQ(out, "k:" + S("ａ") + "bc");
  EXPECT_EQ(out.data(), before);
}

// The ASCII folding agrees with FoldKey at every length around its eight-byte steps, every ASCII
// byte at every position, and refuses a text with any byte from 0x80 wherever it stands.
TEST(SjisText, FoldAsciiIntoIsFoldKeyForAsciiTexts) {
  char out[40];
  for (size_t n = 0; n <= 33; ++n) {
    for (int c = 0; c < 0x80; ++c) {
      for (size_t at = 0; at < n; at += (n > 9 ? n / 3 : 1)) {
        std::string text(n, 'Q');
        for (size_t i = 0; i < n; ++i) text[i] = static_cast<char>("aZ@[`{09"[i % 8]);
        text[at] = static_cast<char>(c);
        ASSERT_TRUE(FoldAsciiInto(text, out)) << n << " " << c;
        ASSERT_EQ(std::string(out, n), FoldKey(text)) << n << " " << c << " " << at;
      }
    }
    for (size_t at = 0; at < n; ++at) {
      std::string text(n, 'A');
      text[at] = '\x80';
      EXPECT_FALSE(FoldAsciiInto(text, out)) << n << " " << at;
      text[at] = '\xFF';
      EXPECT_FALSE(FoldAsciiInto(text, out)) << n << " " << at;
    }
  }
  EXPECT_TRUE(FoldAsciiInto("", out));
}

TEST(SjisText, HashBytesSeparatesNearTexts) {
  EXPECT_EQ(HashBytes("abc"), HashBytes(std::string("abc")));
  std::unordered_set<uint64_t> seen;
  std::vector<std::string> texts = {"", std::string(1, '\0'), std::string(2, '\0'), "a", "a\0"};
  texts[4].push_back('\0');
  for (int i = 0; i < 100000; ++i) texts.push_back("row" + std::to_string(i));
  for (int n = 1; n <= 40; ++n) texts.push_back(std::string(static_cast<size_t>(n), 'x'));
  for (const std::string& t : texts) EXPECT_TRUE(seen.insert(HashBytes(t)).second) << t;
}

TEST(SjisText, CompareTextSortsInJapaneseOrderAndIsZeroOnlyForSameText) {
  std::vector<std::string> labels = {S("犬"), S("いぬ"), S("Ｂ"),   "9",   S("イヌ"),
                                     "a",     "10",      S("あめ"), S("ｱ")};
  std::sort(labels.begin(), labels.end(),
            [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  std::vector<std::string> expected = {"10",      "9",       "a",       S("Ｂ"), S("ｱ"),
                                       S("あめ"), S("いぬ"), S("イヌ"), S("犬")};
  EXPECT_EQ(labels, expected);

  EXPECT_EQ(CompareText("ABC", "abc"), 0);
  EXPECT_EQ(CompareText(S("Ａ"), S("ａ")), 0);
  // Texts that collate alike but differ are still ordered, both ways alike.
  EXPECT_NE(CompareText("b", S("ｂ")), 0);
  EXPECT_EQ(CompareText("b", S("ｂ")), -CompareText(S("ｂ"), "b"));
  EXPECT_NE(CompareText("a\x85\x40", "a\x85\x41"), 0);
}

// Keys order every pair of texts as CompareText does: case and width variants, kana, kanji,
// digits and symbols, texts that collate alike but differ, prefixes of one another, the empty
// text and bytes that form no character.
TEST(SjisText, CompareKeysOrderPairsAsCompareTextDoes) {
  const std::vector<std::string> texts = {"",
                                          "a",
                                          "A",
                                          "ab",
                                          "aB",
                                          "abc",
                                          "b",
                                          "B",
                                          S("ｂ"),
                                          S("Ｂ"),
                                          "9",
                                          "10",
                                          "09",
                                          "-1",
                                          " ",
                                          "a b",
                                          S("犬"),
                                          S("いぬ"),
                                          S("イヌ"),
                                          S("ｲﾇ"),
                                          S("あめ"),
                                          S("ｱ"),
                                          S("ア"),
                                          S("あ"),
                                          S("Ⅰ"),
                                          S("ⅰ"),
                                          S("Ω"),
                                          S("ω"),
                                          S("Я"),
                                          S("я"),
                                          "a\x85\x40",
                                          "a\x85\x41",
                                          "\x81",
                                          "\xFF",
                                          "C1011231",
                                          "c1011231",
                                          "C1011231,4,4",
                                          "C101123,4,4"};
  const auto sign = [](int v) { return (v > 0) - (v < 0); };
  for (const std::string& a : texts) {
    const std::string ka = CompareKey(a);
    for (const std::string& b : texts)
      EXPECT_EQ(sign(ka.compare(CompareKey(b))), sign(CompareText(a, b))) << a << " | " << b;
  }
}

}  // namespace
}  // namespace tabulon
