#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "EngineTestUtil.h"
#include "platform/SjisText.h"

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

// The table of the block pass and of the generic pass.
std::pair<std::string, std::string> TablesBothWays(EngineData& d) {
  d.ws.forceGenericPass = false;
  CrossTabulate(d.ws);
  const std::string fast = TableText(d.window.grid);
  d.ws.forceGenericPass = true;
  CrossTabulate(d.ws);
  const std::string generic = TableText(d.window.grid);
  d.ws.forceGenericPass = false;
  return {fast, generic};
}

class RecordPass : public ::testing::Test {
 protected:
  std::pair<std::string, std::string> BothWays() { return TablesBothWays(d); }
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

TEST_F(RecordPass, PerRowTextFilterCountsItsRows) {
  d.Col("備考").SetSelected({"r1", "r8", "r15"});
  d.Col("店舗").FRole = 1;
  d.ws.sort = false;
  CrossTabulate(d.ws);
  EXPECT_EQ(test::U(TableText(d.window.grid)),
            ",,合計\r\nS0,0,0\r\nS1,3,3\r\nS2,0,0\r\nS3,0,0\r\nS4,0,0\r\nS5,0,0\r\nS6,0,0\r\n"
            "合計,3,3\r\n");
}

// A per-row text column of every kind of text (codes of 1 to 16 bytes, letters in either case,
// Japanese, blanks), selected by texts that differ in case, as an axis and as a filter: the lines
// told at once and the lines read one by one give the same tables.
TEST(RecordPassTexts, PerRowTextsGiveTheSameTablesBothWays) {
  std::string csv = "番号,店舗,備考\n";
  std::vector<std::string> texts;
  const char* const kinds[] = {"C", "c", "ab", "Code-", "備考", "ﾒﾓ", "X123456789012-"};
  for (int i = 0; i < 4000; ++i) {
    texts.push_back(std::string(kinds[i % 7]) + std::to_string(i % 2500));
    if (i % 97 == 0) texts.back().clear();
    csv += std::to_string(i) + ",S" + std::to_string(i % 5) + "," + texts.back() + "\n";
  }
  EngineData d(csv);
  ASSERT_EQ(d.Col("備考").FStorage, csLon);
  d.ws.sort = false;
  const std::vector<std::string> selection = {test::S("c7"),      test::S("C14"),
                                              test::S("AB2"),     test::S("備考4"),
                                              test::S("ﾒﾓ5"),     test::S("x123456789012-6"),
                                              test::S("code-3"),  test::S("C2499"),
                                              test::S("Code-10"), test::S("ｃ7")};
  d.Col("備考").SetSelected(selection);
  std::set<std::string> folded;
  for (const std::string& s : selection) folded.insert(FoldKey(s));
  const auto selected = std::count_if(texts.begin(), texts.end(), [&](const std::string& t) {
    return folded.count(FoldKey(test::S(t))) > 0;
  });
  ASSERT_GT(selected, 10);
  for (int shape = 0; shape < 3; ++shape) {
    for (auto& col : d.ws.FCols) col->FRole = 3;
    if (shape == 0) d.Col("備考").FRole = 1;   // row items
    if (shape == 1) d.Col("備考").FRole = 0;   // column items
    d.Col("店舗").FRole = shape == 1 ? 1 : 0;  // and the text as a filter in shape 2
    const auto [fast, generic] = TablesBothWays(d);
    EXPECT_EQ(fast, generic) << shape;
    const std::string total = "," + std::to_string(selected) + "\r\n";
    EXPECT_EQ(fast.substr(fast.size() - total.size()), total) << shape << test::U(fast);
  }
}

// A selection of the texts a search walk found (as the text search makes it): the block pass
// gives the tables of the generic pass, also with spellings in another case, a selection that
// does not hold the pattern, and a text file changed since the walk.
TEST(RecordPassTexts, TheTextsOfASearchWalkGiveTheSameTablesBothWays) {
  std::string csv = "番号,店舗,客\n";
  for (int i = 0; i < 6000; ++i) {
    std::string code = (i % 5 == 0 ? "c" : "C") + std::to_string(100000 + i * 7 % 2599);
    if (i % 11 == 0) code = "客" + code;
    csv += std::to_string(i) + ",S" + std::to_string(i % 4) + "," + code + "\n";
  }
  EngineData d(csv);
  TCol& col = d.Col("客");
  ASSERT_EQ(col.FStorage, csLon);
  d.ws.sort = false;
  col.FRole = 1;
  d.Col("店舗").FRole = 0;
  const auto walk = [&](const std::string& pattern) {
    std::vector<std::string> found;
    std::set<std::string> seen;
    col.VisitRowTextsContaining(pattern, [&](std::string_view line) {
      if (line.find(pattern) != std::string_view::npos && seen.insert(FoldKey(line)).second)
        found.emplace_back(line);
      return true;
    });
    return found;
  };
  const auto check = [&](const std::vector<std::string>& selection, const char* what) {
    col.SetSelected(selection);
    const auto [fast, generic] = TablesBothWays(d);
    EXPECT_EQ(fast, generic) << what;
    EXPECT_GT(fast.size(), 40u) << what;
  };
  std::vector<std::string> found = walk("12");
  ASSERT_GT(found.size(), 50u);
  std::vector<std::string> some;
  for (size_t i = 0; i < found.size(); i += 3) some.push_back(found[i]);
  check(found, "all found");
  check(some, "some of them");
  some.push_back(test::S("c100012"));  // spelled in the other case from the rows' C100012
  check(some, "another case");
  some.push_back("C100005");  // without the pattern: every row is read
  check(some, "a text without the pattern");
  some.pop_back();
  check(walk("C1000"), "a pattern with a letter");  // rows of c1000.. hold no C1000

  // The file changed since the walk: each text a row earlier.
  const std::string before = TablesBothWays(d).first;
  const std::string text = test::ReadFile(col.DatPath());
  const size_t end = text.find("\r\n") + 2;
  test::WriteFile(col.DatPath(), text.substr(end) + text.substr(0, end));
  check(some, "after a change");
  EXPECT_NE(TablesBothWays(d).first, before);
}

// Random tables of every value kind (whole numbers with negatives and blanks, currency with
// fractions, dates with times) on byte-key, word-key and per-row axes, with and without filters:
// a pass split over several threads gives, cell for cell, the table of one thread, the currency
// and date sums among them.
TEST(RecordPassThreads, SplitPassesGiveTheTablesOfOneThread) {
  std::mt19937 random(20261209);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  std::string csv = "番号,店舗,商品,数量,金額,日付\n";
  for (int i = 0; i < 5000; ++i) {
    csv += std::to_string(pick(100000)) + ",S" + std::to_string(pick(9)) + ",P" +
           std::to_string(pick(400)) + "," +
           (pick(40) == 0 ? std::string() : std::to_string(pick(2000000) - 1000000)) + "," +
           std::to_string(pick(100000)) + "." + std::to_string(pick(10000)) + ",2024/" +
           std::to_string(1 + pick(12)) + "/" + std::to_string(1 + pick(28)) + " " +
           std::to_string(pick(24)) + ":" + std::to_string(pick(60)) + ":17\n";
  }
  EngineData d(csv);
  ASSERT_EQ(d.Col("店舗").FStorage, csByt);
  ASSERT_EQ(d.Col("商品").FStorage, csWor);
  ASSERT_EQ(d.Col("番号").FStorage, csLon);
  d.Col("日付").FDateUnit = 1;
  const char* const axes[][2] = {{"商品", "店舗"}, {"店舗", nullptr}, {"番号", "店舗"}};
  const TAggregate aggregates[] = {TAggregate::kSum, TAggregate::kAverage, TAggregate::kMin,
                                   TAggregate::kMax, TAggregate::kCount};
  for (const auto& axis : axes) {
    for (const char* value : {"数量", "金額", "日付"}) {
      for (bool filtered : {false, true}) {
        for (auto& col : d.ws.FCols) col->FRole = 3;
        d.Col(axis[0]).FRole = 0;
        if (axis[1]) d.Col(axis[1]).FRole = 1;
        d.Col(value).FRole = 2;
        d.Col("商品").SetSelected(filtered ? std::vector<std::string>{"P1", "p7", "P300"}
                                           : std::vector<std::string>{});
        for (TAggregate aggregate : aggregates) {
          d.ws.aggregate = aggregate;
          d.ws.passThreads = 1;
          CrossTabulate(d.ws);
          const std::string one = TableText(d.window.grid);
          for (int threads : {2, 3, 7}) {
            d.ws.passThreads = threads;
            CrossTabulate(d.ws);
            EXPECT_EQ(TableText(d.window.grid), one)
                << axis[0] << " " << value << " " << static_cast<int>(aggregate) << " " << filtered
                << " " << threads;
          }
          EXPECT_GT(one.size(), 30u);
        }
      }
    }
  }
}

// A sum of money is exact, whatever the order of its records: a hundred amounts of 0.0001 added
// to 100000000000 one by one in doubles drift by about 0.0007 (each addition rounds to the
// double's grid there). Per-key amounts (byte keys) and per-row amounts, on one thread, on three
// and through ReadRow, all give the exact total and average.
TEST(RecordPassCurrency, SumsOfMoneyAreExactWhateverTheOrderAndTheThreads) {
  std::string csv = "番号,店舗,金額,単価\n";
  for (int i = 0; i < 101; ++i)
    csv += std::to_string(i) + ",S," + (i == 50 ? "100000000000" : "0.0001") + "," +
           (i == 50 ? "100000000000" : "0.0001") + "\n";
  for (int i = 0; i < 3000; ++i)
    csv += std::to_string(1000 + i) + ",T," + std::to_string(i) + ".5,2\n";
  EngineData d(csv);
  ASSERT_EQ(d.Col("単価").FStorage, csByt);
  ASSERT_EQ(d.Col("金額").FStorage, csLon);
  for (const char* value : {"金額", "単価"}) {
    for (auto& col : d.ws.FCols) col->FRole = 3;
    d.Col("店舗").FRole = 1;
    d.Col(value).FRole = 2;
    for (int threads : {1, 3}) {
      for (bool generic : {false, true}) {
        d.ws.passThreads = threads;
        d.ws.forceGenericPass = generic;
        d.ws.aggregate = TAggregate::kSum;
        CrossTabulate(d.ws);
        EXPECT_EQ(d.window.grid.Cell(1, 1), "100000000000.01") << value << threads << generic;
        d.ws.aggregate = TAggregate::kAverage;
        CrossTabulate(d.ws);
        EXPECT_EQ(d.window.grid.Cell(1, 1), "990099009.9011") << value << threads << generic;
      }
    }
  }
}

// Amounts whose stored integers a double cannot hold exactly are summed as before, in record
// order on one thread: the table is the same with any number of threads.
TEST(RecordPassCurrency, AmountsBeyondExactSumsStayInRecordOrder) {
  std::string csv = "店舗,金額\n";
  for (int i = 0; i < 400; ++i)
    csv += std::string(i % 2 ? "S" : "T") + "," + (i == 7 ? "900000000000.5" : "0.0003") + "\n";
  EngineData d(csv);
  d.Col("店舗").FRole = 1;
  d.Col("金額").FRole = 2;
  d.ws.aggregate = TAggregate::kSum;
  d.ws.passThreads = 1;
  CrossTabulate(d.ws);
  const std::string one = TableText(d.window.grid);
  EXPECT_NE(one.find("900000000000.5"), std::string::npos) << one;
  d.ws.passThreads = 3;
  CrossTabulate(d.ws);
  EXPECT_EQ(TableText(d.window.grid), one);
}

}  // namespace
}  // namespace tabulon
