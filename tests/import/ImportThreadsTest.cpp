// The columns written by several threads: whatever the threads and the chunks of rows handed to
// them, the store is the one a single thread writes, byte for byte.
#include <gtest/gtest.h>
#include <unicode/unistr.h>

#include <string>
#include <utility>

#include "TestUtil.h"
#include "import/ImportBytes.h"

namespace tabulon {
namespace {

using test::ImportBytes;
using test::Imported;
using test::S;

// Imports bytes with one thread and then with several, and expects the same store, counts and
// notices. One thread takes the records in blocks of the lines in hand, as an import does; the
// others take them one by one in chunks of a few rows, so that even a small file crosses many
// chunk ends (one row a chunk, chunks shorter than the threads' share, longer ones), or in blocks
// of a few bytes, which end after almost every record.
void ExpectTheOneThreadStore(std::string_view bytes) {
  const Imported one = ImportBytes(bytes, 1);
  ASSERT_FALSE(one.files.empty());
  struct Way {
    int threads;
    size_t chunkRecords, blockBytes;
  };
  for (const Way way : {Way{2, 1, 0}, {3, 7, 0}, {8, 100, 0}, {3, 0, 0}, {2, 0, 1}, {3, 0, 90}}) {
    SCOPED_TRACE(std::to_string(way.threads) + " threads, chunks of " +
                 std::to_string(way.chunkRecords) + " records, blocks of " +
                 std::to_string(way.blockBytes) + " bytes");
    const Imported many = ImportBytes(bytes, way.threads, way.chunkRecords, way.blockBytes);
    ASSERT_EQ(many.files.size(), one.files.size());
    for (const auto& [name, content] : one.files) {
      ASSERT_EQ(many.files.count(name), 1u) << name;
      EXPECT_TRUE(many.files.at(name) == content) << name << " differs";
    }
    EXPECT_EQ(many.replaced, one.replaced);
    EXPECT_EQ(many.notices, one.notices);
    EXPECT_EQ(many.view.position, one.view.position);
    EXPECT_EQ(many.view.timeLabel, one.view.timeLabel);
  }
}

// Rows whose columns change late: a number column turned text, 8-bit keys widened to 16 bits and
// 16-bit keys made per-row well into the file, per-row stamps and integers turned text, letter
// case variants, blank and missing cells, rows of nulls between records and at the end, and rows
// with fields beyond the header.
std::string LateChangesCsv(int rows) {
  std::string csv = "number,slow,stamp,count,code,price,memo,\r\n";
  for (int i = 0; i < rows; ++i) {
    const std::string n = std::to_string(i);
    csv += (i == rows - 40 ? std::string("n/a") : std::to_string(i % 50)) + ",";
    // 200 distinct texts, then a new one each row: 257 at row 2056, 2001 at row 3800.
    csv += "k" + std::to_string(i < 2000 ? i % 200 : i - 1800) + ",";
    csv += "2024/05/" + std::to_string(1 + i % 28) + " " + std::to_string(i % 24) + ":" +
           std::to_string(10 + i % 50) + (i == rows - 7 ? "x," : ",");
    csv += (i == rows - 100 ? std::string("many") : std::to_string(i * 7919 % 100003)) + ",";
    csv += std::string(i % 3 == 0 ? "Ab" : "aB") + std::to_string(i % 5) + ",";
    csv += (i % 9 == 0 ? "" : std::to_string(i % 400) + ".25");
    if (i % 13 != 0) csv += S(",メモ") + std::to_string(i % 4);
    if (i % 17 == 0) csv += ",,beyond,the,header";
    csv += "\r\n";
    if (i % 500 == 250) csv += ",,,\r\n\r\n";
  }
  return csv + "\r\n,,,,\r\n \r\n";
}

TEST(ImportThreads, ColumnsThatWidenLateAndNullAndLongRowsGiveTheOneThreadStore) {
  ExpectTheOneThreadStore(LateChangesCsv(4000));
}

TEST(ImportThreads, QuotedLineEndsAndAnUnclosedQuoteGiveTheOneThreadStore) {
  std::string csv = S("商品,金額,メモ\r\n");
  for (int i = 0; i < 60; ++i) {
    const std::string n = std::to_string(i);
    csv += "\"C \"\"" + n + "\"\"\"," + n + ",\"" + S("来週") + "\r\n" + n + "\n\"\r\n";
    csv += "B" + n + ",\"1,2" + n + "\",plain\r\n";
    if (i == 45) csv += "X,\"open\r\n";  // never closed: the lines after it are read again
  }
  ExpectTheOneThreadStore(csv);
}

TEST(ImportThreads, Utf8AndUtf16FilesGiveTheOneThreadStore) {
  std::string text = "店舗\t金額\t記号\r\n";
  for (int i = 0; i < 300; ++i)
    text += "店" + std::to_string(i % 31) + "\t" + std::to_string(i) + "\t" +
            (i % 7 == 0 ? "\xF0\x9F\x98\x80" : "～") + "\r\n";  // an emoji has no Shift-JIS form
  ExpectTheOneThreadStore("\xEF\xBB\xBF" + text);
  const icu::UnicodeString utf16 = icu::UnicodeString::fromUTF8("\uFEFF" + text);
  ExpectTheOneThreadStore(std::string_view(reinterpret_cast<const char*>(utf16.getBuffer()),
                                           static_cast<size_t>(utf16.length()) * 2));
}

TEST(ImportThreads, FewerColumnsThanThreadsAndManyMoreGiveTheOneThreadStore) {
  std::string one = "only\r\n", two = "a,b\r\n", wide;
  for (int c = 0; c < 40; ++c) wide += "c" + std::to_string(c) + (c < 39 ? "," : "\r\n");
  for (int i = 0; i < 700; ++i) {
    one += std::to_string(i % 300) + "\r\n";
    two += "x" + std::to_string(i % 3) + "," + std::to_string(i) + "\r\n";
    for (int c = 0; c < 40; ++c)
      wide += std::to_string((i + 1) * (c + 1) % (c * 100 + 7)) + (c < 39 ? "," : "\r\n");
  }
  ExpectTheOneThreadStore(one);
  ExpectTheOneThreadStore(two);
  ExpectTheOneThreadStore(wide);
  ExpectTheOneThreadStore("a,b,c\r\n");  // no rows
}

}  // namespace
}  // namespace tabulon
