// Files saved as UTF-8 import as their text: the store is the one of the same text saved as
// Shift-JIS.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>

#include "TestUtil.h"
#include "import/ImportBytes.h"

namespace tabulon {
namespace {

using test::ImportBytes;
using test::Imported;
using test::ReadFile;
using test::S;
using test::ScratchDir;
using test::WriteFile;

constexpr std::string_view kMark = "\xEF\xBB\xBF";

// Expects the stores of the UTF-8 text, with and without a mark, to equal the Shift-JIS store,
// and the progress to end lineEndExtra bytes beyond the file's size (every line end counts 2).
void ExpectSameStores(const std::string& utf8Text, int64_t lineEndExtra = 0) {
  const Imported sjis = ImportBytes(S(utf8Text));
  ASSERT_GE(sjis.files.size(), 3u);
  for (const std::string& variant : {utf8Text, std::string(kMark) + utf8Text}) {
    const Imported utf8 = ImportBytes(variant);
    ASSERT_EQ(utf8.files.size(), sjis.files.size());
    for (const auto& [name, bytes] : sjis.files) EXPECT_EQ(utf8.files.at(name), bytes) << name;
    EXPECT_EQ(utf8.replaced, 0);
    EXPECT_TRUE(utf8.notices.empty());
    EXPECT_EQ(utf8.view.max, static_cast<int64_t>(variant.size()));
    EXPECT_EQ(utf8.view.position, utf8.view.max + lineEndExtra);
  }
}

TEST(Utf8Import, TheStoreIsTheOneOfTheSameTextSavedAsShiftJis) {
  ExpectSameStores(
      "店舗,数量,金額,日付,メモ\r\n"
      "新宿,１２,\\1500,2024/3/31,\"ｶﾀｶﾅ, 半角\"\r\n"
      "渋谷,3,\\20.5,2024/04/01 9:05,①髙～－\r\n"
      "池袋,,,,\"\"\"引用\"\"\"\r\n");
  // Lines ending with a line feed alone, and no line end after the last line.
  ExpectSameStores("名前,値\n東京,1\n大阪,2", 2 + 2);
}

TEST(Utf8Import, ACharacterCutByAReadBlockIsReadWhole) {
  constexpr size_t kBlock = size_t{4} << 20;  // the line reader's read size
  const std::string row = "12345,あいうえお\r\n";
  // The header's length puts the block's end on the second byte of an あ.
  std::string header = "値,かな\r\n";
  while ((kBlock - header.size()) % row.size() != 7) header.insert(0, "x");
  std::string text = header;
  while (text.size() < kBlock + 2 * row.size()) text += row;
  ExpectSameStores(text);
}

TEST(Utf8Import, CharactersWithoutAShiftJisFormBecomeGetaMarksAndAreCounted) {
  // é, an emoji and a Hangul syllable have no Shift-JIS form; a 〓 of the text stays one.
  const test::InJapanese japanese;
  const Imported r = ImportBytes(std::string(kMark) + "名前\r\ncafé😀한〓\r\n");
  EXPECT_EQ(r.files.at("0.Ind"), S("caf〓〓〓〓\r\n"));
  EXPECT_EQ(r.replaced, 3);
  EXPECT_EQ(r.view.timeLabel, S("〓にした文字 3 個"));
  EXPECT_EQ(r.notices,
            (std::vector<std::string>{"data.csv: Shift-JIS にない文字 3 個を〓にしました"}));
}

TEST(Utf8Import, WaveDashAndYenSignTakeTheirShiftJisCodes) {
  // Other tables' code points for ～, ¥ and −: the code page's own characters, not 〓.
  const Imported r = ImportBytes("名前\r\n〜¥−\r\n");
  EXPECT_EQ(r.files.at("0.Ind"), S("～\\－\r\n"));
  EXPECT_EQ(r.replaced, 0);
}

TEST(Utf8Import, AnIllFormedSequenceAfterTheFirst64KiBBecomesAGetaMark) {
  std::string text = "かな\r\n";
  while (text.size() <= 64 * 1024) text += "あ\r\n";
  text +=
      "a\xFF"
      "b\r\n";
  const Imported r = ImportBytes(text);
  EXPECT_EQ(r.files.at("0.Ind"), S("あ\r\n") + S("a〓b\r\n"));
  EXPECT_EQ(r.replaced, 1);
}

TEST(Utf8Import, ShiftJisAndAsciiFilesImportAsShiftJis) {
  // Shift-JIS text is no well-formed UTF-8; ASCII reads alike either way.
  const Imported sjis = ImportBytes(S("名前\r\n新宿\r\n"));
  EXPECT_EQ(sjis.files.at("0.Ind"), S("新宿\r\n"));
  EXPECT_TRUE(sjis.notices.empty());
  // The decision waits for the first byte that is not ASCII, after 64 KiB of ASCII lines too.
  std::string late = "a\r\n";
  while (late.size() <= 200 * 1024) late += "b\r\n";
  const Imported lateUtf8 = ImportBytes(late + "返品\r\n");
  EXPECT_EQ(lateUtf8.files.at("0.Ind"), "b\r\n" + S("返品\r\n"));
  EXPECT_EQ(lateUtf8.replaced, 0);
  // Half-width kana alone are two-byte sequences in UTF-8 as well: still Shift-JIS.
  const Imported kana = ImportBytes(S("名前\r\nﾆｼ ﾐｷ\r\nﾔﾏﾀﾞ\r\n"));
  EXPECT_EQ(kana.files.at("0.Ind"), S("ﾆｼ ﾐｷ\r\nﾔﾏﾀﾞ\r\n"));
}

TEST(Utf8Import, BinaryGarbageImportsAsBeforeAndIsNamedOnce) {
  std::string garbage = "a,b\r\n";
  for (int i = 0; i < 300; ++i) garbage += static_cast<char>((i * 37) % 256);
  const test::InJapanese japanese;
  const Imported r = ImportBytes(garbage);
  EXPECT_FALSE(r.looksLikeText);
  EXPECT_EQ(r.notices,
            (std::vector<std::string>{"data.csv は Shift-JIS や UTF-8 のテキストに見えません"}));
  EXPECT_EQ(r.files.at("data.Ini").find("DateTime") != std::string::npos, true);  // complete
}

}  // namespace
TEST(Utf8Import, AStoreBuiltFromTheRawBytesOfAUtf8FileIsRebuiltOnce) {
  // A store as the import left it when UTF-8 files were read as Shift-JIS: the same file with a
  // broken byte at its end reads as Shift-JIS, so its names are the header's raw bytes.
  ScratchDir dir;
  const std::string csv = dir.File("data.csv");
  const std::string text = "名前,値\r\nあ,1\r\n";
  const timespec times[2] = {{1700000000, 0}, {1700000000, 0}};
  WriteFile(csv, text + "\x80\r\n");
  ASSERT_EQ(::utimensat(AT_FDCWD, csv.c_str(), times, 0), 0);
  TSilentProgress view;
  TformProgress importer(&view);
  importer.Import(csv);
  // The file as it really is, with the time the store was made for.
  WriteFile(csv, text);
  ASSERT_EQ(::utimensat(AT_FDCWD, csv.c_str(), times, 0), 0);
  EXPECT_TRUE(importer.NeedsImport(csv));
  importer.Import(csv);
  EXPECT_EQ(ReadFile(StoreDirOf(csv) + "/0.Ind"), S("あ\r\n"));
  EXPECT_FALSE(importer.NeedsImport(csv));  // the rebuilt store is up to date
}

}  // namespace tabulon
