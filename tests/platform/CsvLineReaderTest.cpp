#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "platform/CsvLineReader.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

using test::S;

TEST(SniffText, AMarkOrWellFormedMultiByteTextMeansUtf8) {
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

TEST(SniffText, TextIsWhatHasAtMostOnePercentOfStrayBytesAsEitherEncoding) {
  std::string text = S("新宿,");
  text += std::string(200, 'x');
  EXPECT_TRUE(SniffText(text + "\xFF", true).looksLikeText);  // one stray byte in 205
  EXPECT_TRUE(SniffText(text + "\x01", true).looksLikeText);
  EXPECT_FALSE(SniffText(text + std::string(3, '\0'), true).looksLikeText);  // control bytes
  EXPECT_FALSE(SniffText(text + "\xFF\xFE\xFD", true).looksLikeText);
  // Shift-JIS alone would count every UTF-8 character; UTF-8 alone every Shift-JIS one.
  EXPECT_TRUE(SniffText(std::string(300, '\x82') + "\xA0", true).looksLikeText);
}

TEST(AppendUtf8AsSjis, CountsWhatBecameAGetaMark) {
  std::string out = "x";
  EXPECT_EQ(AppendUtf8AsSjis("abc", &out), 0u);
  EXPECT_EQ(AppendUtf8AsSjis("新宿〓", &out), 0u);
  // é, an emoji, and one mark per byte of an overlong form and of an encoded surrogate (none of
  // their bytes begins a well-formed sequence).
  EXPECT_EQ(AppendUtf8AsSjis("é😀\xC0\xAF\xED\xA0\x80", &out), 7u);
  EXPECT_EQ(out, "xabc" + S("新宿〓") + S("〓〓〓〓〓〓〓"));
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
