// A store file failing to open or read part-way through a tabulation: the error is reported, and
// the next tabulation of the same workspace reads everything again and gives the clean result.
#include <gtest/gtest.h>

#include <string>

#include "EngineTestUtil.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"

namespace tabulon {
namespace {

std::string ManyRows() {
  std::string csv = "shop,code,amount,day";
  for (int i = 0; i < 2100; ++i)
    csv += "\ns" + std::to_string(i % 5) + ",c" + std::to_string(i) + "," + std::to_string(i) +
           ",2024/03/" + std::to_string(1 + i % 28);
  return csv;
}

TEST(ReadFailure, ATabulationThatFailedReadingIsWholeTheNextTime) {
  test::EngineData d(ManyRows());
  const std::string csv = d.ws.FCsvPath;
  // By date and shop, summing a per-row number; then by shop, filtered on a per-row text.
  const auto setUp = [&](int layout) {
    OpenDataset(d.ws, csv);
    if (layout == 0) {
      d.Col("day").FRole = kRoleColumnItems;
      d.Col("shop").FRole = kRoleRowItems;
      d.Col("amount").FRole = kRoleValue;
      d.ws.aggregate = TAggregate::kSum;
    } else {
      d.Col("code").SetSelected({"c1", "c7", "C2099"});  // matched line by line
      d.Col("shop").FRole = kRoleRowItems;
      d.ws.aggregate = TAggregate::kCount;
    }
  };
  int injected = 0;
  for (int layout = 0; layout < 2; ++layout) {
    setUp(layout);
    ClearFileFaults();
    const std::vector<std::string> clean = d.Tabulate();
    const int64_t opens = FileOpCount(FileOp::kOpen), reads = FileOpCount(FileOp::kRead);
    ASSERT_GT(reads, 1);
    for (FileOp op : {FileOp::kOpen, FileOp::kRead}) {
      const int64_t count = op == FileOp::kOpen ? opens : reads;
      for (int64_t n = 1; n <= count; ++n) {
        setUp(layout);
        InjectFileFault(op, n);
        ++injected;
        EXPECT_THROW(d.Tabulate(), IoError) << layout << " " << n;
        ClearFileFaults();
        EXPECT_EQ(d.Tabulate(), clean) << layout << " " << n;
      }
    }
  }
  RecordProperty("faults_injected", injected);
}

// A descriptor whose column count runs past the column names is refused before any column is
// made (a count of two thousand million made that many columns).
TEST(ReadFailure, AColumnCountBeyondTheColumnNamesIsADamagedDescriptor) {
  test::EngineData d("shop,amount\na,1\nb,2");
  const std::string csv = d.ws.FCsvPath;
  const std::string ini = d.ws.FDataDir + "/data.Ini";
  const std::string clean = test::ReadFile(ini);
  for (const char* count : {"ColCount=3", "ColCount=2000000000"}) {
    std::string damaged = clean;
    damaged.replace(damaged.find("ColCount=2"), 10, count);
    test::WriteFile(ini, damaged);
    EXPECT_THROW(OpenDataset(d.ws, csv), IoError) << count;
  }
  test::WriteFile(ini, clean);
  OpenDataset(d.ws, csv);
  EXPECT_EQ(d.ws.FCols.size(), 2u);
}

// A Count beyond what any store holds, here in the section of a per-row column (which has none),
// is not taken for the column's number of ranges: two thousand million made a label for each.
TEST(ReadFailure, ACountOfAPerRowColumnDoesNotDivideIt) {
  test::EngineData d(ManyRows());
  const std::string csv = d.ws.FCsvPath;
  const std::string ini = d.ws.FDataDir + "/data.Ini";
  ASSERT_EQ(d.Col("amount").FStorage, csLon);
  d.Col("amount").FRole = kRoleRowItems;
  const std::vector<std::string> clean = d.Tabulate();
  std::string damaged = test::ReadFile(ini);
  damaged.replace(damaged.find("ColType=Lon", damaged.find("[amount]")), 11,
                  "ColType=Lon\r\nCount=2000000000");
  test::WriteFile(ini, damaged);
  OpenDataset(d.ws, csv);
  EXPECT_EQ(d.Col("amount").FCount, 0);
  d.Col("amount").FRole = kRoleRowItems;
  EXPECT_EQ(d.Tabulate(), clean);
}

}  // namespace
}  // namespace tabulon
