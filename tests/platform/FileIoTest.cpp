#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"

namespace tabulon {
namespace {

// Bytes that differ from one position to the next, so that a misplaced block shows.
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  uint32_t x = 12345;
  for (char& c : bytes) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return bytes;
}

// Every size reads back byte for byte: empty, small, exactly 2 MiB (where large pages start to
// pay), and several MiB with a partial one; a second Read replaces the first, larger or smaller.
TEST(FileIo, FileBytesHoldTheWholeFileOfAnySize) {
  test::ScratchDir dir;
  const std::string path = dir.File("f");
  FileBytes bytes;
  EXPECT_EQ(bytes.Size(), 0u);
  for (size_t size : {size_t{0}, size_t{1}, size_t{4097}, size_t{2} << 20, (size_t{2} << 20) - 1,
                      (size_t{5} << 20) + 3, size_t{10}}) {
    const std::string want = Pattern(size);
    test::WriteFile(path, want);
    bytes.Read(path);
    ASSERT_EQ(bytes.Size(), size);
    EXPECT_TRUE(bytes.View() == want) << size;
  }
  bytes.Clear();
  EXPECT_EQ(bytes.Size(), 0u);
  EXPECT_TRUE(bytes.View().empty());
}

TEST(FileIo, FileBytesThatCannotBeReadAreEmptyAndTheErrorNamesTheFile) {
  test::ScratchDir dir;
  const std::string path = dir.File("f");
  test::WriteFile(path, Pattern(3 << 20));
  FileBytes bytes;
  bytes.Read(path);
  try {
    bytes.Read(dir.File("missing"));
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_NE(std::string(e.what()).find(dir.File("missing")), std::string::npos) << e.what();
  }
  EXPECT_EQ(bytes.Size(), 0u);

  InjectFileFault(FileOp::kRead, 2);  // the read that would find the end
  EXPECT_THROW(bytes.Read(path), IoError);
  ClearFileFaults();
  EXPECT_EQ(bytes.Size(), 0u);
  bytes.Read(path);
  EXPECT_EQ(bytes.Size(), size_t{3} << 20);
}

// Records read into fresh memory and into records that already have room hold the file's values,
// whatever the vector held before.
TEST(FileIo, RecordsOfMegabytesReadBackIntoNewAndReusedVectors) {
  test::ScratchDir dir;
  const std::string path = dir.File("r");
  const std::string bytes = Pattern(size_t{6} << 20);
  test::WriteFile(path, bytes);
  Records<uint32_t> records{1, 2, 3};
  const int64_t count = static_cast<int64_t>(bytes.size() / 4);
  ReadRecords(path, count, &records);
  ASSERT_EQ(records.size(), bytes.size() / 4);
  EXPECT_EQ(std::memcmp(records.data(), bytes.data(), bytes.size()), 0);
  ReadRecords(path, count / 3, &records);
  ASSERT_EQ(records.size(), static_cast<size_t>(count / 3));
  EXPECT_EQ(std::memcmp(records.data(), bytes.data(), records.size() * 4), 0);
  EXPECT_THROW(ReadRecords(path, count + 1, &records), IoError);
  // A read that fails on the way leaves no records of unknown value.
  InjectFileFault(FileOp::kRead, 1);
  EXPECT_THROW(ReadRecords(path, count, &records), IoError);
  ClearFileFaults();
  EXPECT_TRUE(records.empty());
}

// A file that starts writing may take the buffer of one closed before: what it writes is its own
// bytes alone, whatever the buffer held, with files of other buffer sizes and abandoned ones
// between, and however many are open at once.
TEST(FileIo, FilesThatTakeTheBuffersOfClosedFilesWriteOnlyTheirOwnBytes) {
  test::ScratchDir dir;
  std::vector<std::string> expected;
  {
    std::vector<OutFile> files(8);
    for (size_t i = 0; i < files.size(); ++i) {
      files[i].SetBufferSize(i % 3 == 0 ? 4096 : 1024);
      files[i].Create(dir.File(std::to_string(i)));
    }
    for (int round = 0; round < 3; ++round) {
      for (size_t i = 0; i < files.size(); ++i) {
        const std::string path = dir.File(std::to_string(i));
        std::string bytes(i * 700 + static_cast<size_t>(round) * 13, static_cast<char>('a' + i));
        if (round > 0) files[i].Create(path);
        files[i].WriteLine(bytes);
        if (i == 5 && round == 1) {
          files[i].Abandon();  // the file is never made; its buffer goes back all the same
          DeleteFileIfExists(path);
          continue;
        }
        files[i].Close();
        EXPECT_EQ(test::ReadFile(path), bytes + "\r\n") << i << ' ' << round;
      }
    }
  }
  OutFile small;
  small.SetBufferSize(1024);
  small.Create(dir.File("small"));
  small.Write("xyz");
  small.Close();
  EXPECT_EQ(test::ReadFile(dir.File("small")), "xyz");
}

}  // namespace
}  // namespace tabulon
