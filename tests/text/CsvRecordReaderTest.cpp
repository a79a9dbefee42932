// Records taken in blocks of whole lines, as the import takes them, are the records read one by
// one: quoted line ends, an unclosed quote, encodings decided late, and blocks cut anywhere.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "platform/FileIo.h"
#include "platform/SjisText.h"
#include "text/CsvRecordReader.h"

namespace tabulon {
namespace {

using test::S;

struct Records {
  std::vector<std::string> texts;
  int64_t fileBytes = 0;
  int64_t blocks = 0;  // of records taken at once
  bool operator==(const Records& o) const { return texts == o.texts && fileBytes == o.fileBytes; }
};

// The records of bytes read one by one, or with limit other than 0 in blocks where they can be
// (records parted as the import parts them).
Records Read(const std::string& bytes, size_t limit) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("f.csv"), bytes);
  CsvRecordReader reader(dir.File("f.csv"), ReadAhead::kStream);
  Records out;
  TRecordBlock block;
  std::string_view record;
  int64_t fileBytes = 0;
  for (;;) {
    if (limit != 0 && reader.ReadRecords(&block, limit)) {
      ++out.blocks;
      out.fileBytes += block.fileBytes;
      std::string lines(block.text);
      if (block.utf8) {
        lines.clear();
        AppendUtf8AsSjis(block.text, &lines);
      }
      TQuoteScan scan(reader.Separator());
      size_t records = 0;
      for (size_t pos = 0; pos < lines.size(); ++records) {
        const TRecordSpan span = NextRecord(lines, pos, block.lfMode, &scan);
        EXPECT_NE(span.next, std::string_view::npos);
        std::string text = lines.substr(pos, span.end - pos);
        if (span.joined) {
          text.clear();
          AppendJoinedLines(std::string_view(lines).substr(pos, span.end - pos), block.lfMode,
                            &text);
        }
        out.texts.push_back(text);
        pos = span.next;
      }
      EXPECT_LE(records, block.lines);
      continue;
    }
    if (!reader.ReadRecord(&record, &fileBytes)) break;
    out.texts.emplace_back(record);
    out.fileBytes += fileBytes;
  }
  return out;
}

void ExpectTheRecordsReadOneByOne(const std::string& bytes) {
  const Records one = Read(bytes, 0);
  for (size_t limit : {size_t{1}, size_t{29}, size_t{1000}, SIZE_MAX}) {
    SCOPED_TRACE("blocks of at most " + std::to_string(limit) + " bytes");
    const Records blocks = Read(bytes, limit);
    EXPECT_TRUE(blocks == one);
    EXPECT_GT(blocks.blocks, 0);
  }
}

// Quoted fields over lines, doubled quotes, a quote inside a field, empty lines and no line end
// at the end, with each of the line ends.
std::string Tricky(const std::string& end) {
  std::string csv = "code,memo,amount" + end;
  for (int i = 0; i < 300; ++i) {
    const std::string n = std::to_string(i);
    csv += "0" + n + ",\"line one" + end + "line \"\"two\"\"" + end + "\",\"1,2" + n + "\"" + end;
    csv += n + ",5\"inch,7" + end + end;
    if (i % 50 == 7) csv += ",\"\"\"" + end + "\"" + end;
  }
  return csv + "last,\"x\",1";
}

TEST(CsvRecordReader, BlocksOfQuotedLineEndsGiveTheRecordsReadOneByOne) {
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    SCOPED_TRACE(end == "\n" ? "LF" : end == "\r" ? "CR" : "CR LF");
    ExpectTheRecordsReadOneByOne(Tricky(end));
  }
  // A quote still open at the end of the file: its line is a record, and the lines after it are
  // read again, one by one.
  ExpectTheRecordsReadOneByOne(Tricky("\r\n") + "\r\nopen,\"never closed\r\n1,2\r\n3,\"4\r\n");
  const Records open = Read("a,b\r\n1,2\r\nx,\"open\r\n3,4\r\n", SIZE_MAX);
  EXPECT_EQ(open.texts, (std::vector<std::string>{"a,b", "1,2", "x,\"open", "3,4"}));
}

// A file that is ASCII at first goes in blocks until its first other line, which decides the
// encoding, and in blocks again after it: Shift-JIS as it is, UTF-8 to be converted whole; a
// UTF-16 file goes in blocks of its Shift-JIS form, counted as two bytes of the file each.
TEST(CsvRecordReader, BlocksFollowTheEncodingAsItIsDecided) {
  std::string ascii = "id,name\r\n";
  for (int i = 0; i < 2000; ++i)
    ascii += std::to_string(i) + ",\"n\r\n" + std::to_string(i) + "\"\r\n";
  const std::string japanese = "9,\"" + std::string("\xE6\x96\xB0\xE5\xAE\xBF") + "\r\nx\"\r\n";
  const std::string sjis = ascii + Utf8ToSjis(japanese) + ascii.substr(9);
  const std::string utf8 = ascii + japanese + ascii.substr(9);
  ExpectTheRecordsReadOneByOne(sjis);
  ExpectTheRecordsReadOneByOne(utf8);
  ExpectTheRecordsReadOneByOne(ascii);
  EXPECT_EQ(Read(sjis, SIZE_MAX).texts.at(2001), S("9,\"新宿\nx\""));
  EXPECT_EQ(Read(utf8, SIZE_MAX).texts.at(2001), S("9,\"新宿\nx\""));

  std::string utf16 = "\xFF\xFE";
  for (const char c : std::string("a\tb\r\n1\t\"2\r\n3\"\r\n")) utf16 += std::string{c, '\0'};
  ExpectTheRecordsReadOneByOne(utf16);
  EXPECT_EQ(Read(utf16, SIZE_MAX).fileBytes, 2 * 9 + 2 * 3);  // 9 characters, 3 line ends
}

}  // namespace
}  // namespace tabulon
