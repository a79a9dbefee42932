// Files shaped like what office systems export: amounts with separators, codes with zeros,
// doubled quotes and quoted line breaks, tabs, UTF-16, trailing empty lines, a title line.
#include <gtest/gtest.h>
#include <unicode/unistr.h>

#include <string>

#include "TestUtil.h"
#include "import/ImportBytes.h"

namespace tabulon {
namespace {

using test::ImportBytes;
using test::Imported;
using test::S;

std::string Ints(std::initializer_list<int32_t> values) {
  std::string bytes;
  for (int32_t v : values) bytes.append(reinterpret_cast<const char*>(&v), 4);
  return bytes;
}

std::u16string Utf16(const std::string& utf8) {
  const icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
  return std::u16string(text.getBuffer(), static_cast<size_t>(text.length()));
}

// The descriptor's lines of a column's section, from its Min on.
std::string Section(const Imported& r, const std::string& nameUtf8) {
  const std::string& ini = r.files.at("data.Ini");
  const size_t at = ini.find("[" + S(nameUtf8) + "]\r\n");
  if (at == std::string::npos) return "";
  return ini.substr(at, ini.find("\r\n[", at + 1) - at);
}

TEST(RealExports, AmountsAsPeopleWriteThemAreNumbers) {
  const Imported r =
      ImportBytes(S("伝票,金額,値引,単価\r\n"
                    "1,\"1,200\",△500,\"1,234.5\"\r\n"
                    "2,\"1,300\",▲1,\"\\1,000\"\r\n"
                    "3,\"￥1,234\",-\\500,\"12,345,678.5\"\r\n"
                    "4,\"1,234円\",\\-5,0.5\r\n"
                    "5,500,0,\"-1,234\"\r\n"));
  EXPECT_EQ(r.files.at("1.Ind"), Ints({1200, 1300, 1234, 1234, 500}));
  EXPECT_EQ(Section(r, "金額"), S("[金額]\r\nMin=500\r\nMax=1300\r\nValType=Int\r\nColType=Byt\r\n"
                                  "Count=5"));
  EXPECT_EQ(r.files.at("2.Ind"), Ints({-500, -1, -500, -5, 0}));
  EXPECT_NE(Section(r, "単価").find("ValType=Cur"), std::string::npos);
}

TEST(RealExports, HexadecimalLooksAndCodesWithZerosStayText) {
  const Imported r =
      ImportBytes(S("価格,顧客コード,郵便番号,口座番号\r\n"
                    "$10,00123,0010926,0123456\r\n"
                    "$25,0123,1000001,0000001\r\n"
                    "$100,123,0600001,7\r\n"));
  EXPECT_EQ(r.files.at("0.Ind"), "$10\r\n$25\r\n$100\r\n");
  EXPECT_EQ(r.files.at("1.Ind"), "00123\r\n0123\r\n123\r\n");
  EXPECT_EQ(r.files.at("2.Ind"), "0010926\r\n1000001\r\n0600001\r\n");
  EXPECT_EQ(r.files.at("3.Ind"), "0123456\r\n0000001\r\n7\r\n");
  for (const char* name : {"価格", "顧客コード", "郵便番号", "口座番号"})
    EXPECT_NE(Section(r, name).find("ValType=Str"), std::string::npos) << name;
  // "07" is no hour, while a time and plain numbers keep their types.
  const Imported times = ImportBytes("a,b,c\r\n07,09:05,0\r\n12,10:00,0.5\r\n");
  EXPECT_NE(times.files.at("data.Ini").find("[a]\r\nValType=Str"), std::string::npos);
  EXPECT_NE(times.files.at("data.Ini").find("ValType=Dat"), std::string::npos);
  EXPECT_NE(times.files.at("data.Ini").find("[c]\r\nMin=0\r\nMax=0.5\r\nValType=Cur"),
            std::string::npos);
}

TEST(RealExports, DoubledQuotesAndQuotedLineBreaksKeepEveryRecordWhole) {
  const Imported r =
      ImportBytes(S("商品,金額,メモ\r\n"
                    "\"C \"\"24型\"\"\",\"900\",\r\n"
                    "A,100,\"来週訪問予定\r\n先方確認済み\"\r\n"
                    "B,200,\"Alt+Enterの\n改行\"\r\n"
                    "C,300,\"空\r\n\r\n行\"\r\n"
                    "D,400,普通\r\n"));
  EXPECT_NE(r.files.at("data.Ini").find("RowCount=5\r\n"), std::string::npos);
  EXPECT_EQ(r.files.at("0.Ind"), S("C \"24型\"\r\nA\r\nB\r\nC\r\nD\r\n"));
  EXPECT_EQ(r.files.at("1.Ind"), Ints({900, 100, 200, 300, 400}));
  EXPECT_EQ(r.files.at("2.Ind"),
            S("(null)\r\n来週訪問予定\n先方確認済み\r\nAlt+Enterの\n改行\r\n空\n\n行\r\n普通\r\n"));
  // The progress counts every line of the file.
  EXPECT_EQ(r.view.position, r.view.max);
}

TEST(RealExports, AQuoteLeftOpenDoesNotSwallowTheLinesAfterIt) {
  const Imported r = ImportBytes("a,b\r\n1,\"x\r\n2,y\r\n3,z\r\n");
  EXPECT_NE(r.files.at("data.Ini").find("RowCount=3\r\n"), std::string::npos);
  // The open quote's line is split as before: an empty field, the byte after the quote dropped.
  EXPECT_EQ(r.files.at("1.Ind"), "(null)\r\ny\r\nz\r\n");
}

TEST(RealExports, TabSeparatedAndUtf16FilesGiveTheStoreOfTheCommaFile) {
  const std::string text = "店舗,金額,メモ\r\n新宿,\"1,200\",会議\r\n渋谷,300,\"a,b\"\r\n";
  const Imported comma = ImportBytes(S(text));
  std::string tabs = text;
  for (size_t at = 0; (at = tabs.find(',', at)) != std::string::npos;)
    if (tabs.compare(at - 1, 3, "1,2") == 0 || tabs.compare(at - 1, 3, "a,b") == 0)
      ++at;
    else
      tabs[at] = '\t';
  const Imported tabbed = ImportBytes(S(tabs));
  // Excel's "Unicode text": UTF-16 little-endian with its mark and tabs; 会 is 4F 1A in UTF-16.
  std::u16string wide = u"\uFEFF";
  wide += Utf16(tabs);
  const Imported utf16le(
      ImportBytes(std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2)));
  std::string bigEndian;
  for (char16_t c : wide) {
    bigEndian.push_back(static_cast<char>(c >> 8));
    bigEndian.push_back(static_cast<char>(c & 0xFF));
  }
  const Imported utf16be = ImportBytes(bigEndian);
  for (const Imported* other : {&tabbed, &utf16le, &utf16be}) {
    ASSERT_EQ(other->files.size(), comma.files.size());
    for (const auto& [name, bytes] : comma.files) EXPECT_EQ(other->files.at(name), bytes) << name;
    EXPECT_TRUE(other->notices.empty());
  }
  // A character without a Shift-JIS form is counted as in a UTF-8 file.
  const std::u16string emoji = u"\uFEFFa\r\n\U0001F600\r\n";
  const Imported replaced =
      ImportBytes(std::string(reinterpret_cast<const char*>(emoji.data()), emoji.size() * 2));
  EXPECT_EQ(replaced.files.at("0.Ind"), S("〓\r\n"));
  EXPECT_EQ(replaced.replaced, 1);
}

TEST(RealExports, EmptyLinesAtTheEndAreNoRecordsButThoseBetweenRecordsAre) {
  const Imported r = ImportBytes("a,b\r\n1,x\r\n\r\n2,y\r\n3,z\r\n\r\n , \r\n,\r\n\"\",\r\n");
  EXPECT_NE(r.files.at("data.Ini").find("RowCount=4\r\n"), std::string::npos);
  EXPECT_EQ(r.files.at("0.Dat"), std::string("\x00\x01\x02\x03", 4));
  EXPECT_EQ(r.files.at("0.Ind"), Ints({1, -2147483647, 2, 3}));
}

TEST(RealExports, FieldsBeyondTheHeaderAreCountedAndATitleLineIsNamed) {
  const test::InJapanese japanese;
  const Imported some = ImportBytes("a,b\r\n1,2,3\r\n4,5\r\n6,7\r\n");
  EXPECT_EQ(some.view.timeLabel, S("列数を超えるフィールドがある行 1 行"));
  ASSERT_EQ(some.notices.size(), 1u);
  EXPECT_EQ(some.notices[0],
            "data.csv: 列数を超えるフィールドがある行 1 行 "
            "(見出しの列数を超えたフィールドは読み込んでいません)");
  // A title above the header: most lines hold more fields than the first.
  const Imported titled = ImportBytes(S("売上一覧 2024年4月\r\n店舗,金額\r\n新宿,1\r\n渋谷,2\r\n"));
  ASSERT_EQ(titled.notices.size(), 2u);
  EXPECT_NE(titled.notices[1].find("1行目は見出しではないかもしれません"), std::string::npos);
  EXPECT_TRUE(ImportBytes("a,b\r\n1,2\r\n").notices.empty());
}

}  // namespace
}  // namespace tabulon
