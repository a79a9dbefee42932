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
      d.Col("day").FRole = 0;
      d.Col("shop").FRole = 1;
      d.Col("amount").FRole = 2;
      d.ws.aggregate = TAggregate::kSum;
    } else {
      d.Col("code").SetSelected({"c1", "c7", "C2099"});  // matched line by line
      d.Col("shop").FRole = 1;
      d.ws.aggregate = TAggregate::kCount;
    }
  };
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
        EXPECT_THROW(d.Tabulate(), IoError) << layout << " " << n;
        ClearFileFaults();
        EXPECT_EQ(d.Tabulate(), clean) << layout << " " << n;
      }
    }
  }
}

}  // namespace
}  // namespace tabulon
