// The ".lis" file rules of the dataset list, without windows.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "TestUtil.h"
#include "mainlogic/DatasetList.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"

namespace tabulon {
namespace {

using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;

TEST(DatasetList, ReadsCrLfCrAndLfLinesAndKeepsABlankLineAsAnEmptyDataset) {
  ScratchDir dir;
  WriteFile(dir.File("t.lis"), "/a/Sales.csv\r\n\r\n/b/x.csv\n/c/y.csv\r/d/z.csv\r\n");
  TDatasetList list(dir.File("t.lis"));
  list.Load();
  ASSERT_EQ(list.Count(), 5);
  EXPECT_EQ(list.Path(0), "/a/Sales.csv");
  EXPECT_EQ(list.Path(1), "");
  EXPECT_EQ(list.Path(4), "/d/z.csv");
  EXPECT_EQ(TDatasetList::DisplayName(list.Path(0)), "Sales");
  EXPECT_EQ(TDatasetList::DisplayName("/a.b/noext"), "noext");
}

TEST(DatasetList, AddAndDeleteRewriteTheWholeFileWithCrLfAndLeaveNoTemporaryFile) {
  ScratchDir dir;
  TDatasetList list(dir.File("t.lis"));
  list.Load();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Add("/a/one.csv"), 0);
  EXPECT_EQ(list.Add("/a/two.csv"), 1);
  EXPECT_EQ(ReadFile(dir.File("t.lis")), "/a/one.csv\r\n/a/two.csv\r\n");
  list.Delete(0);
  list.Delete(0);
  EXPECT_EQ(ReadFile(dir.File("t.lis")), "");
  EXPECT_FALSE(std::filesystem::exists(dir.File("t.lis.tmp")));
}

TEST(DatasetList, AFailedWriteKeepsTheOldFileAndTheListUnchanged) {
  ScratchDir dir;
  TDatasetList list(dir.File("t.lis"));
  list.Add("/a/one.csv");
  list.Add("/a/two.csv");
  for (FileOp op : {FileOp::kWrite, FileOp::kRename}) {
    InjectFileFault(op, 1);
    EXPECT_THROW(list.Add("/a/three.csv"), IoError);
    InjectFileFault(op, 1);
    EXPECT_THROW(list.Delete(0), IoError);
    ClearFileFaults();
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(ReadFile(dir.File("t.lis")), "/a/one.csv\r\n/a/two.csv\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.lis.tmp")));
  }
}

// A process adding datasets one after another is killed at random moments: the file on disk is
// always a whole list, the one before some Add or the one after it.
TEST(DatasetList, AWriteKilledAtAnyMomentLeavesTheOldListOrTheNewOne) {
  ScratchDir dir;
  const std::string file = dir.File("t.lis");
  std::string bytes;
  for (int i = 0; i < 3000; ++i)
    bytes += "/home/user/" + std::string(80, 'd') + "/data" + std::to_string(i) + ".csv\r\n";
  WriteFile(file, bytes);

  // How long a writer takes to its first whole write (loading the list, then one write), for the
  // spread of the kills: some of them must come after it.
  const std::string probe = dir.File("probe.lis");
  WriteFile(probe, bytes);
  const auto start = std::chrono::steady_clock::now();
  TDatasetList probeList(probe);
  probeList.Load();
  probeList.Add("/probe.csv");
  const double write =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::mt19937 random(1208);
  const char* const env = std::getenv("TABULON_KILLS");
  const int kills = env != nullptr ? std::atoi(env) : 20;
  int added = 0;
  for (int k = 0; k < kills; ++k) {
    TDatasetList before(file);
    before.Load();
    const std::string stem = "/new/" + std::to_string(k) + "-";
    test::KillPartWay(
        [&] {
          TDatasetList list(file);
          list.Load();
          for (int i = 0;; ++i) list.Add(stem + std::to_string(i) + ".csv");
        },
        4 * write, random);

    TDatasetList after(file);
    after.Load();
    ASSERT_GE(after.Count(), before.Count()) << k;
    std::string expected;
    for (int i = 0; i < after.Count(); ++i) {
      const std::string path =
          i < before.Count() ? before.Path(i) : stem + std::to_string(i - before.Count()) + ".csv";
      expected += path + "\r\n";
    }
    ASSERT_EQ(ReadFile(file), expected) << "kill " << k;
    added += after.Count() - before.Count();
  }
  EXPECT_GT(added, 0);
}

TEST(DatasetList, LivesBesideAWritableProgramElseInTheConfigFolder) {
  ScratchDir dir;
  EXPECT_EQ(TDatasetList::ListFileFor(dir.File("tabulon")), dir.File("tabulon.lis"));
  EXPECT_EQ(TDatasetList::ListFileFor(dir.File("tabulon.exe")), dir.File("tabulon.lis"));

  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
  const std::string listFile = TDatasetList::ListFileFor("/no/such/folder/bin/tabulon");
  EXPECT_EQ(listFile, dir.File("config") + "/tabulon/tabulon.lis");
  // The folders are made at the first write.
  TDatasetList list(listFile);
  list.Add("/a/one.csv");
  EXPECT_EQ(ReadFile(listFile), "/a/one.csv\r\n");
  if (old != nullptr)
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(DatasetList, TheSampleSeedsOnlyAListThatDoesNotExistYet) {
  ScratchDir dir;
  TDatasetList list(dir.File("t.lis"));
  EXPECT_FALSE(list.SeedIfMissing(""));
  EXPECT_FALSE(std::filesystem::exists(dir.File("t.lis")));
  EXPECT_TRUE(list.SeedIfMissing("/s/sales.csv"));
  EXPECT_EQ(ReadFile(dir.File("t.lis")), "/s/sales.csv\r\n");
  // A list the user emptied stays empty.
  WriteFile(dir.File("t.lis"), "");
  EXPECT_FALSE(list.SeedIfMissing("/s/sales.csv"));
  EXPECT_EQ(ReadFile(dir.File("t.lis")), "");
}

}  // namespace
}  // namespace tabulon
