#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "platform/System.h"

namespace tabulon {
namespace {

TEST(System, TheLastSeparatorEndsTheFolderPart) {
  EXPECT_EQ(sys::LastPathSeparator("a/b/c.csv"), 3u);
  EXPECT_EQ(sys::LastPathSeparator("/c.csv"), 0u);
  EXPECT_EQ(sys::LastPathSeparator("c.csv"), std::string::npos);
#ifdef _WIN32
  EXPECT_EQ(sys::LastPathSeparator("C:\\data/x\\c.csv"), 9u);
#else
  EXPECT_EQ(sys::LastPathSeparator("a/b\\c.csv"), 1u);  // a backslash is part of a name here
#endif
}

// What the file layer's errors and the up-to-date check rest on: what a path names, the errno
// values of the usual failures, and a rename that replaces its target.
TEST(System, FilesAndFoldersReportWhatTheyAreAndTheUsualFailures) {
  test::ScratchDir dir;
  const std::string file = dir.File("f.txt"), other = dir.File("g.txt");
  test::WriteFile(file, "12345");
  const sys::PathInfo info = sys::Examine(file);
  EXPECT_TRUE(info.exists && info.regular && !info.directory);
  EXPECT_EQ(info.size, 5);
  EXPECT_GT(info.modifiedNs, int64_t{1600000000} * 1000000000);
  EXPECT_TRUE(sys::Examine(dir.File("")).directory);
  EXPECT_FALSE(sys::Examine(dir.File("none")).exists);
  EXPECT_EQ(sys::Examine(dir.File("none")).size, -1);

  EXPECT_EQ(sys::MakeDirectory(file), EEXIST);
  EXPECT_EQ(sys::RemoveFile(dir.File("none")), ENOENT);
  sys::FileHandle handle;
  EXPECT_EQ(sys::OpenFile(dir.File("none"), sys::OpenFor::kRead, &handle), ENOENT);
  EXPECT_EQ(sys::OpenFile(dir.File(""), sys::OpenFor::kRead, &handle), EISDIR);
  EXPECT_EQ(handle, sys::kNoFile);

  test::WriteFile(other, "new");
  EXPECT_EQ(sys::ReplaceFile(other, file), 0);
  EXPECT_EQ(test::ReadFile(file), "new");
  EXPECT_FALSE(sys::Examine(other).exists);
  std::vector<std::string> names;
  EXPECT_EQ(sys::ListDirectory(dir.File(""), &names), 0);
  EXPECT_EQ(names, std::vector<std::string>{"f.txt"});
  EXPECT_TRUE(sys::CanWriteDirectory(dir.File("")));
}

}  // namespace
}  // namespace tabulon
