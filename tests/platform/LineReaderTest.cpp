#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/LineReader.h"

namespace tabulon {
namespace {

std::vector<std::string> ReadAll(const std::string& bytes, LineEnds ends = LineEnds::kAuto,
                                 ReadAhead ahead = ReadAhead::kBlocks) {
  test::ScratchDir dir;
  const std::string path = dir.File("in.txt");
  test::WriteFile(path, bytes);
  LineReader reader(path, ends, ahead);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.ReadLine(&line)) lines.emplace_back(line);
  EXPECT_TRUE(reader.Eof());
  EXPECT_FALSE(reader.ReadLine(&line));
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, SplitsLinesByTheCrConventionOrByLfForUnixFiles) {
  struct Case {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"\r\n", {""}},
      // CR mode (first line end is a CR): a lone LF is an ordinary byte.
      {"a\r\nb\nc\r\n", {"a", "b\nc"}},
      // LF mode (first line end is a lone LF): CR LF is one line end, a lone CR an ordinary byte.
      {"a\nb\r\nc\rd\n", {"a", "b", "c\rd"}},
      {"a\n\n", {"a", ""}},
      {"a\nb\r", {"a", "b\r"}},
      // 0x1A ends the file.
      {"a\r\nb\x1A"
       "c\r\n",
       {"a", "b"}},
      {"a\r\n\x1A"
       "b",
       {"a"}},
      {"\x1A"
       "a",
       {}},
      {"a\r\x1A\n", {"a"}},
      // Shift-JIS passes through untouched.
      {"\x83\x41\x83\x5D\r\n", {"\x83\x41\x83\x5D"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadAll(c.bytes), c.lines) << c.bytes;
}

TEST(LineReader, StoreFilesEndLinesOnlyAtCrLf) {
  // Values of a Unix file may hold a lone CR; every store line ends with CR LF.
  EXPECT_EQ(ReadAll("a\nb\rc\r\nd\x1A\r\n\r\ne\r", LineEnds::kCrLf),
            (Lines{"a\nb\rc", "d\x1A", "", "e\r"}));
  std::string across(size_t{4} << 20, 'x');  // the CR ends the first block
  across.back() = '\r';
  EXPECT_EQ(ReadAll(across + "y\r\n", LineEnds::kCrLf), (Lines{across + "y"}));
}

TEST(LineReader, LinesLongerThanABlockAndLineEndsAcrossBlocks) {
  const size_t block = size_t{4} << 20;
  std::string bytes(block - 1, 'x');  // its CR is the last byte of the first block, LF the next
  bytes += "\r\n";
  bytes += std::string(3 * block, 'y') + "\r\nend";
  Lines lines = ReadAll(bytes);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::string(block - 1, 'x'));
  EXPECT_EQ(lines[1], std::string(3 * block, 'y'));
  EXPECT_EQ(lines[2], "end");
}

// A reader of the first lines starts with a small read; when it reads on, it reads the same
// lines as any reader: over the end of the first read, a first line longer than it, and a CR LF
// split by it.
TEST(LineReader, AReaderOfTheFirstLinesReadsOnLikeAnyOther) {
  const size_t first = size_t{128} << 10;
  std::string numbered;
  for (int i = 0; numbered.size() < (size_t{9} << 20); ++i) numbered += std::to_string(i) + "\r\n";
  std::string longFirst(first + 1000, 'h');
  longFirst += "\r\nnext\r\n";
  std::string split(first - 1, 'c');  // its CR is the last byte of the first read
  split += "\r\nd\r\n";
  for (const std::string& bytes : {numbered, longFirst, split, std::string("a\r\nb")}) {
    const Lines lines = ReadAll(bytes, LineEnds::kAuto, ReadAhead::kFirstLines);
    EXPECT_EQ(lines, ReadAll(bytes)) << bytes.substr(0, 20);
    EXPECT_EQ(lines, ReadAll(bytes, LineEnds::kCrLf, ReadAhead::kFirstLines))
        << bytes.substr(0, 20);
  }
  EXPECT_EQ(ReadAll(split, LineEnds::kAuto, ReadAhead::kFirstLines),
            (Lines{std::string(first - 1, 'c'), "d"}));
  EXPECT_EQ(ReadAll(longFirst, LineEnds::kAuto, ReadAhead::kFirstLines).at(0),
            std::string(first + 1000, 'h'));
}

// The import's reader takes smaller blocks and reuses its buffer: the same lines over many
// blocks, a line longer than a block, a CR LF split between two reads and 0x1A in a later read.
TEST(LineReader, AStreamingReaderReadsTheSameLinesAsABlockReader) {
  const size_t block = size_t{256} << 10;
  std::string numbered;
  for (int i = 0; numbered.size() < (size_t{3} << 20); ++i) numbered += std::to_string(i) + "\r\n";
  std::string split(block - 1, 's');  // its CR is the last byte of the first read
  split += "\r\nnext\r\n";
  std::string longLine = "a\n" + std::string(3 * block + 7, 'L') + "\nb\n";
  std::string stopped = numbered + "\x1A" + "after\r\n";
  for (const std::string& bytes : {numbered, split, longLine, stopped}) {
    EXPECT_EQ(ReadAll(bytes, LineEnds::kAuto, ReadAhead::kStream), ReadAll(bytes))
        << bytes.substr(0, 20);
    EXPECT_EQ(ReadAll(bytes, LineEnds::kCrLf, ReadAhead::kStream), ReadAll(bytes, LineEnds::kCrLf))
        << bytes.substr(0, 20);
  }
  EXPECT_EQ(ReadAll(split, LineEnds::kAuto, ReadAhead::kStream),
            (Lines{std::string(block - 1, 's'), "next"}));
  EXPECT_EQ(ReadAll(longLine, LineEnds::kAuto, ReadAhead::kStream).at(1),
            std::string(3 * block + 7, 'L'));
}

// Lines taken whole from the buffer, as many at a time as are in hand, are the lines ReadLine
// reads: CR, LF and CR LF ends (the file's first end decides), a CR LF split between two reads, a
// line longer than a read, a last line without an end, and a caller that asks for more now and
// then. The counts of lines and of line-end bytes agree.
TEST(LineReader, WholeLinesInHandAreTheLinesReadOneByOne) {
  const size_t block = size_t{256} << 10;
  std::string mixed;
  for (unsigned i = 0; mixed.size() < 3 * block; ++i) {
    mixed += std::string(i * 7919 % 61, static_cast<char>('a' + i % 26));
    const char* ends[] = {"\r\n", "\r", "\n", "\r\r\n"};
    mixed += ends[i * 31 % 4];
  }
  std::string split(block - 1, 's');  // its CR is the last byte of the first read
  split += "\r\nnext\r\n";
  const std::string longLine = "a\n" + std::string(2 * block + 7, 'L') + "\nb\r\nlast";
  // The last line of a CR file may end with an LF of its own.
  for (const std::string& bytes : {mixed, "\n" + mixed, split, longLine, std::string("a\r\nb\n")}) {
    test::ScratchDir dir;
    test::WriteFile(dir.File("in.txt"), bytes);
    LineReader reader(dir.File("in.txt"), LineEnds::kAuto, ReadAhead::kStream);
    Lines lines;
    std::string_view hand;
    for (int call = 0; reader.PeekLines(&hand, call % 5 == 4); ++call) {
      Lines got;
      size_t lineBytes = 0;
      for (size_t pos = 0; pos < hand.size();) {
        const TLineSpan line = NextLine(hand, pos, reader.LfMode());
        got.emplace_back(hand.substr(pos, line.end - pos));
        lineBytes += line.end - pos;
        EXPECT_EQ(LineStart(hand, line.end, reader.LfMode()), pos);
        pos = line.next;
      }
      size_t endBytes = 0;
      EXPECT_EQ(CountLines(hand, reader.LfMode(), &endBytes), got.size());
      EXPECT_EQ(lineBytes + endBytes, hand.size());
      // Now all of them, now the first alone.
      if (call % 3 != 0) got.resize(1);
      lines.insert(lines.end(), got.begin(), got.end());
      reader.Consume(call % 3 == 0 ? hand.size() : NextLine(hand, 0, reader.LfMode()).next);
    }
    EXPECT_EQ(lines, ReadAll(bytes, LineEnds::kAuto, ReadAhead::kStream)) << bytes.substr(0, 20);
  }
}

TEST(LineReader, EofAndSize) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("f"), "a\r\nb\r\n");
  LineReader reader(dir.File("f"));
  EXPECT_EQ(reader.Size(), 6);
  std::string_view line;
  EXPECT_FALSE(reader.Eof());
  ASSERT_TRUE(reader.ReadLine(&line));
  EXPECT_FALSE(reader.Eof());
  ASSERT_TRUE(reader.ReadLine(&line));
  EXPECT_EQ(line, "b");
  EXPECT_TRUE(reader.Eof());
}

TEST(LineReader, FailuresRaiseIoError) {
  test::ScratchDir dir;
  EXPECT_THROW(LineReader(dir.File("missing")), IoError);
  test::WriteFile(dir.File("f"), "a\r\n");
  LineReader reader(dir.File("f"));
  InjectFileFault(FileOp::kRead, 1);
  std::string_view line;
  EXPECT_THROW(reader.ReadLine(&line), IoError);
  ClearFileFaults();
}

}  // namespace
}  // namespace tabulon
