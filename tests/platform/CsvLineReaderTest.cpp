#include <gtest/gtest.h>
#include <unicode/ucnv.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "platform/CsvLineReader.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

using test::S;

TEST(CsvLineReader, SniffTextAMarkOrWellFormedMultiByteTextMeansUtf8) {
  struct Case {
    std::string head;
    bool complete;
    TextEncoding encoding;
    size_t markBytes;
  };
  const std::string a = "\xE3\x81\x82";  // あ in UTF-8
  const Case cases[] = {
      {"\xEF\xBB\xBF"
       "abc",
       true, TextEncoding::kUtf8, 3},
      {"\xEF\xBB\xBF" + S("新宿"), true, TextEncoding::kUtf8, 3},  // the mark decides
      {"abc,def\r\n", true, TextEncoding::kShiftJis, 0},           // ASCII alone
      {"x," + a + "\r\n", true, TextEncoding::kUtf8, 0},
      {S("店舗,新宿\r\n"), true, TextEncoding::kShiftJis, 0},
      {a + "\xFF", true, TextEncoding::kShiftJis, 0},  // one ill-formed byte
      // A character cut by the end of the sample goes on in the file; by the end of the file
      // it is ill-formed.
      {a + a.substr(0, 2), false, TextEncoding::kUtf8, 0},
      {a + a.substr(0, 2), true, TextEncoding::kShiftJis, 0},
      {"", true, TextEncoding::kShiftJis, 0},
  };
  for (const Case& c : cases) {
    const TextSniff s = SniffText(c.head, c.complete);
    EXPECT_EQ(s.encoding, c.encoding) << c.head;
    EXPECT_EQ(s.markBytes, c.markBytes) << c.head;
  }
}

TEST(CsvLineReader, SniffTextTextIsWhatHasAtMostOnePercentOfStrayBytesAsEitherEncoding) {
  std::string text = S("新宿,");
  text += std::string(200, 'x');
  EXPECT_TRUE(SniffText(text + "\xFF", true).looksLikeText);  // one stray byte in 205
  EXPECT_TRUE(SniffText(text + "\x01", true).looksLikeText);
  EXPECT_FALSE(SniffText(text + std::string(3, '\0'), true).looksLikeText);  // control bytes
  EXPECT_FALSE(SniffText(text + "\xFF\xFE\xFD", true).looksLikeText);
  // Shift-JIS alone would count every UTF-8 character; UTF-8 alone every Shift-JIS one.
  EXPECT_TRUE(SniffText(std::string(300, '\x82') + "\xA0", true).looksLikeText);
}

TEST(CsvLineReader, AppendUtf8AsSjisCountsWhatBecameAGetaMark) {
  std::string out = "x";
  EXPECT_EQ(AppendUtf8AsSjis("abc", &out), 0u);
  EXPECT_EQ(AppendUtf8AsSjis("新\u00AD宿\u200B〓", &out), 0u);  // invisible ones dropped
  // é, an emoji, and one mark per byte of an overlong form and of an encoded surrogate (none of
  // their bytes begins a well-formed sequence).
  EXPECT_EQ(AppendUtf8AsSjis("é😀\xC0\xAF\xED\xA0\x80", &out), 7u);
  EXPECT_EQ(out, "xabc" + S("新宿〓") + S("〓〓〓〓〓〓〓"));
}

TEST(CsvLineReader, AppendUtf8AsSjisEveryBmpCharacterConvertsAsTheCodePageConverterConvertsIt) {
  std::u16string units;
  std::string utf8;
  for (UChar32 cp = 0x80; cp < 0x10000; ++cp) {
    if (U_IS_SURROGATE(cp)) continue;
    units.push_back(static_cast<char16_t>(cp));
    char bytes[4];
    int32_t n = 0;
    U8_APPEND_UNSAFE(bytes, n, cp);
    utf8.append(bytes, static_cast<size_t>(n));
  }
  // The reference: the whole text through ICU's converter at once, "〓" for what has no code.
  UErrorCode err = U_ZERO_ERROR;
  UConverter* conv = ucnv_open("windows-31j", &err);
  ucnv_setFallback(conv, true);
  ucnv_setSubstChars(conv, "\x81\xAC", 2, &err);
  std::string expected(units.size() * 2, '\0');
  const int32_t n = ucnv_fromUChars(conv, expected.data(), static_cast<int32_t>(expected.size()),
                                    units.data(), static_cast<int32_t>(units.size()), &err);
  ucnv_close(conv);
  ASSERT_TRUE(U_SUCCESS(err)) << u_errorName(err);
  expected.resize(static_cast<size_t>(n));

  std::string out;
  const size_t replaced = AppendUtf8AsSjis(utf8, &out);
  const auto differ = std::mismatch(out.begin(), out.end(), expected.begin(), expected.end());
  EXPECT_EQ(differ.first - out.begin(), static_cast<ptrdiff_t>(expected.size()))
      << std::string(differ.first, std::min(differ.first + 8, out.end())) << " / "
      << std::string(differ.second, std::min(differ.second + 8, expected.end()));
  size_t marks = 0;  // "〓" characters of the output
  for (size_t i = 0; i < out.size(); ++i) {
    if (!IsLeadByte(static_cast<unsigned char>(out[i]))) continue;
    marks += out.compare(i, 2, "\x81\xAC") == 0 ? 1 : 0;
    ++i;
  }
  EXPECT_EQ(replaced + 1, marks);  // U+3013 itself is the one more
  EXPECT_GT(replaced, 40000u);     // most of the BMP has no Shift-JIS form
}

std::vector<std::string> ReadAll(const std::string& bytes, std::vector<size_t>* fileBytes) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("f.csv"), bytes);
  CsvLineReader reader(dir.File("f.csv"));
  std::vector<std::string> lines;
  std::string_view line;
  size_t n = 0;
  while (reader.ReadLine(&line, &n)) {
    lines.emplace_back(line);
    fileBytes->push_back(n);
  }
  return lines;
}

TEST(CsvLineReader, DropsTheMarkAndCountsTheFileBytesOfEachLine) {
  std::vector<size_t> bytes;
  EXPECT_EQ(ReadAll("\xEF\xBB\xBF"
                    "店\r\nab\r\n",
                    &bytes),
            (std::vector<std::string>{S("店"), "ab"}));
  EXPECT_EQ(bytes, (std::vector<size_t>{6, 2}));
  bytes.clear();
  // A Shift-JIS file is read byte for byte, and so is a mark-only file's empty line.
  EXPECT_EQ(ReadAll(S("店\r\n") + "\xFF\r\n", &bytes), (std::vector<std::string>{S("店"), "\xFF"}));
  EXPECT_EQ(ReadAll("\xEF\xBB\xBF", &bytes), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace tabulon
