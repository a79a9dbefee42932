#include <gtest/gtest.h>

#include "EngineTestUtil.h"

namespace tabulon {
namespace {

using test::EngineData;

// 3000 slips: shop (8-bit keys), product (16-bit keys: 300 names), slip number (per row),
// quantity with blanks, price, date with time, remark (per-row text).
std::string ManyRows() {
  std::string csv = "番号,店舗,商品,数量,単価,日付,備考\n";
  for (int i = 0; i < 3000; ++i) {
    csv += std::to_string(i * 7) + ",S" + std::to_string(i % 7) + ",P" + std::to_string(i % 300) +
           "," + (i % 50 == 0 ? std::string() : std::to_string(i % 13)) + "," +
           std::to_string(i % 17) + "." + std::to_string(i % 4 * 25) + ",2024/" +
           std::to_string(1 + i % 12) + "/" + std::to_string(1 + i % 28) + " " +
           std::to_string(i % 24) + ":30,r" + std::to_string(i) + "\n";
  }
  return csv;
}

class RecordPass : public ::testing::Test {
 protected:
  void TearDown() override { ForceGenericRecordPass(false); }
  // The table of the key-table pass and of the generic pass.
  std::pair<std::string, std::string> BothWays() {
    ForceGenericRecordPass(false);
    CrossTabulate(d.ws);
    const std::string fast = TableText(d.window.grid);
    ForceGenericRecordPass(true);
    CrossTabulate(d.ws);
    const std::string generic = TableText(d.window.grid);
    ForceGenericRecordPass(false);
    return {fast, generic};
  }
  EngineData d{ManyRows()};
};

TEST_F(RecordPass, KeyTablesGiveTheSameTablesAsReadRow) {
  ASSERT_EQ(d.Col("店舗").FStorage, csByt);
  ASSERT_EQ(d.Col("商品").FStorage, csWor);
  ASSERT_EQ(d.Col("番号").FStorage, csLon);
  struct Case {
    const char *column, *row, *value;
    TAggregate aggregate;
  };
  const Case cases[] = {
      {"商品", "店舗", "数量", TAggregate::kSum},   {"商品", "店舗", "数量", TAggregate::kAverage},
      {"店舗", "商品", "単価", TAggregate::kMin},   {"店舗", "商品", "単価", TAggregate::kMax},
      {"店舗", "日付", "数量", TAggregate::kCount}, {"店舗", nullptr, "日付", TAggregate::kSum},
      {"番号", "店舗", "単価", TAggregate::kSum},   {nullptr, "店舗", "番号", TAggregate::kAverage},
  };
  for (const Case& c : cases) {
    for (auto& col : d.ws.FCols) col->FRole = 3;
    if (c.column) d.Col(c.column).FRole = 0;
    if (c.row) d.Col(c.row).FRole = 1;
    d.Col(c.value).FRole = 2;
    d.Col("日付").FDateUnit = 1;
    d.ws.aggregate = c.aggregate;
    for (bool filtered : {false, true}) {
      if (filtered) {
        d.Col("店舗").SetSelected({"S1", "s3", "S6"});
        TCol& qty = d.Col("数量");
        qty.FFiltered = true;
        qty.FLower = 2;
        qty.FUpper = 9;
        TCol& id = d.Col("番号");
        id.FFiltered = true;
        id.FLower = 100;
        id.FUpper = 15000;
      }
      const auto [fast, generic] = BothWays();
      EXPECT_EQ(fast, generic) << c.value << " " << static_cast<int>(c.aggregate) << " "
                               << filtered;
      EXPECT_GT(fast.size(), 20u);
    }
    d.Col("店舗").SetSelected({});
    d.Col("数量").FFiltered = false;
    d.Col("番号").FFiltered = false;
  }
}

TEST_F(RecordPass, PerRowTextFilterTakesTheGenericPath) {
  d.Col("備考").SetSelected({"r1", "r8", "r15"});
  d.Col("店舗").FRole = 1;
  d.ws.sort = false;
  CrossTabulate(d.ws);
  EXPECT_EQ(test::U(TableText(d.window.grid)),
            ",,合計\r\nS0,0,0\r\nS1,3,3\r\nS2,0,0\r\nS3,0,0\r\nS4,0,0\r\nS5,0,0\r\nS6,0,0\r\n"
            "合計,3,3\r\n");
}

}  // namespace
}  // namespace tabulon
