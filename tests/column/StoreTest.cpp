#include <gtest/gtest.h>

#include <string>

#include "TestUtil.h"
#include "column/Store.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"

namespace tabulon {
namespace {

TEST(Store, TheStoreIsTheCsvPathWithoutTheExtensionOfItsFileName) {
  EXPECT_EQ(StoreDirOf("d/sales.csv"), "d/sales");
  EXPECT_EQ(StoreDirOf("d/sales.2024.csv"), "d/sales.2024");
  EXPECT_EQ(StoreDirOf("d.old/sales"), "d.old/sales");  // a dot of the directory is no extension
  EXPECT_EQ(StoreDirOf("d/.sales"), "d/.sales");        // nor is the dot of a hidden name
  EXPECT_EQ(FileNameOf("d/sales.csv"), "sales.csv");
  EXPECT_EQ(DescriptorPathOf("d/sales.csv"), "d/sales/sales.Ini");
  EXPECT_EQ(ColumnFilePath("d/sales", 0, TColumnFile::kDat), "d/sales/0.Dat");
  EXPECT_EQ(ColumnFilePath("d/sales", 12, TColumnFile::kInd), "d/sales/12.Ind");
  EXPECT_EQ(ColumnFilePath("d/sales", 3, TColumnFile::kTmp), "d/sales/3.Tmp");
  EXPECT_EQ(ColumnFilePath("d/sales", 3, TColumnFile::kVal), "d/sales/3.Val");
}

// The stale-file sweep of an import reads the names back: only what ColumnFilePath writes is a
// column's file, so nothing a user put in the folder is taken for one.
TEST(Store, AColumnFileNameReadsBackAsItsColumnAndKind) {
  int32_t column = -1;
  TColumnFile file = TColumnFile::kDat;
  EXPECT_TRUE(ParseColumnFileName("12.Ind", &column, &file));
  EXPECT_EQ(column, 12);
  EXPECT_EQ(file, TColumnFile::kInd);
  EXPECT_TRUE(ParseColumnFileName("0.Val", &column, &file));
  EXPECT_EQ(column, 0);
  EXPECT_EQ(file, TColumnFile::kVal);
  for (const char* other :
       {"sales.Ini", "012.Dat", ".Dat", "3.dat", "3.Dat.bak", "3x.Dat", "3", "1234567890.Dat"})
    EXPECT_FALSE(ParseColumnFileName(other, &column, &file)) << other;
}

std::string ReadMessage(const std::string& path) {
  try {
    ReadWholeFile(path);
  } catch (const IoError& e) {
    return e.what();
  }
  return "";
}

// Working out a store's paths claims nothing: only the claim makes messages about its files name
// the CSV file.
TEST(Store, MessagesNameTheCsvFileOnlyOnceItsStoreIsClaimed) {
  test::ScratchDir dir;
  const std::string csv = dir.File("claimed.csv");
  const std::string dat = ColumnFilePath(StoreDirOf(csv), 0, TColumnFile::kDat);
  DescriptorPathOf(csv);
  EXPECT_EQ(ReadMessage(dat), dat + ": cannot open: No such file or directory");
  ClaimStore(csv);
  EXPECT_EQ(ReadMessage(dat), csv + " (imported data): cannot open: No such file or directory");
}

}  // namespace
}  // namespace tabulon
