#include <gtest/gtest.h>

#include <cmath>

#include "EngineTestUtil.h"
#include "platform/LocaleFormats.h"

namespace tabulon {
namespace {

using test::EngineData;
using Lines = std::vector<std::string>;

// Five slips: shops A, B and a blank shop; a blank quantity and a blank unit price.
constexpr const char* kSales =
    "店舗,分類,数量,単価,日付,時刻,メモ\n"
    "A,x,1,1.5,2024/01/15,12:00:00,p\n"
    "A,y,2,2.25,2024/02/03,12:00:00,q\n"
    "B,x,,3,2024/03/10,12:00:00,r\n"
    "B,y,4,,2024/03/11,9:00:00,\n"
    ",x,5,0.5,2024/01/20,10:00:00,s\n";

class CrossTab : public ::testing::Test {
 protected:
  void SetUp() override { d.ws.sort = false; }
  void Roles(const char* column, const char* row, const char* value) {
    if (column) d.Col(column).FRole = 0;
    if (row) d.Col(row).FRole = 1;
    if (value) d.Col(value).FRole = 2;
  }
  EngineData d{kSales};
};

TEST_F(CrossTab, OnlyAValueGivesOneCellAndNullValuesCountNowhere) {
  Roles(nullptr, nullptr, "数量");
  d.ws.aggregate = TAggregate::kSum;
  EXPECT_EQ(d.Tabulate(), (Lines{",,合計", ",12,12", "合計,12,12"}));
  d.ws.aggregate = TAggregate::kCount;
  EXPECT_EQ(d.Tabulate(), (Lines{",,合計", ",4,4", "合計,4,4"}));
}

TEST_F(CrossTab, NoRoleStillCountsTheRecordsThatPass) {
  SpeedButton9Click(d.ws);
  EXPECT_EQ(test::Rows(d.window.grid), (Lines{",,合計", ",5,5", "合計,5,5"}));
}

TEST_F(CrossTab, AggregatesOfIntegers) {
  Roles(nullptr, "店舗", "数量");
  struct Case {
    TAggregate aggregate;
    Lines rows;
  };
  const Case cases[] = {
      {TAggregate::kSum, {",,合計", "A,3,3", "B,4,4", "(null),5,5", "合計,12,12"}},
      {TAggregate::kAverage, {",,合計", "A,1.5,1.5", "B,4,4", "(null),5,5", "合計,3,3"}},
      {TAggregate::kMin, {",,合計", "A,1,1", "B,4,4", "(null),5,5", "合計,1,1"}},
      {TAggregate::kMax, {",,合計", "A,2,2", "B,4,4", "(null),5,5", "合計,5,5"}},
      {TAggregate::kCount, {",,合計", "A,2,2", "B,1,1", "(null),1,1", "合計,4,4"}},
  };
  for (const Case& c : cases) {
    d.ws.aggregate = c.aggregate;
    EXPECT_EQ(d.Tabulate(), c.rows) << static_cast<int>(c.aggregate);
  }
}

TEST_F(CrossTab, MinimumTotalsLookOnlyAtCellsWithRecords) {
  Roles("分類", "店舗", "数量");
  d.ws.aggregate = TAggregate::kMin;
  EXPECT_EQ(d.Tabulate(), (Lines{",x,y,合計", "A,1,2,1", "B,,4,4", "(null),5,,5", "合計,1,2,1"}));
}

TEST_F(CrossTab, CountDisplayShowsZerosUnlessEmptyIsHidden) {
  Roles("分類", "店舗", nullptr);
  EXPECT_EQ(d.Tabulate(), (Lines{",x,y,合計", "A,1,1,2", "B,1,1,2", "(null),1,0,1", "合計,3,2,5"}));
  d.ws.hideEmpty = true;
  EXPECT_EQ(d.Tabulate(), (Lines{",x,y,合計", "A,1,1,2", "B,1,1,2", "(null),1,,1", "合計,3,2,5"}));
}

// The columns are fitted to the counts as to values: a grand total of 100000 records (36 pixels
// in the data font) is wider than the heading 合計.
TEST_F(CrossTab, CountColumnsAreAsWideAsTheirCounts) {
  std::string csv = "店舗\n";
  for (int i = 0; i < 99999; ++i) csv += "A\n";
  csv += "B\n";
  EngineData big{csv};
  big.ws.sort = false;
  big.Col("店舗").FRole = 1;
  EXPECT_EQ(big.Tabulate(), (Lines{",,合計", "A,99999,99999", "B,1,1", "合計,100000,100000"}));
  const TMemoryTable& grid = big.window.grid;
  EXPECT_EQ(grid.ColWidth(1), 38);
  EXPECT_EQ(grid.ColWidth(2), 38);
}

TEST_F(CrossTab, HiddenTotalsDropTheTotalRowAndColumn) {
  Roles("分類", "店舗", nullptr);
  d.ws.showTotals = false;
  EXPECT_EQ(d.Tabulate(), (Lines{",x,y", "A,1,1", "B,1,1", "(null),1,0"}));
  SaveTable(d.window.grid, d.ws.FDataDir + "/out.csv");
  EXPECT_EQ(test::ReadFile(d.ws.FDataDir + "/out.csv"),
            test::S(",x,y\r\nA,1,1\r\nB,1,1\r\n(null),1,0\r\n"));
}

TEST_F(CrossTab, CurrencySumsAndRangeLabelsAlignTheirDecimalPoints) {
  Roles(nullptr, "店舗", "単価");
  d.ws.aggregate = TAggregate::kSum;
  EXPECT_EQ(d.Tabulate(),
            (Lines{",,合計", "A,3.75,3.75", "B,3,3", "(null),0.5,0.5", "合計,7.25,7.25"}));
  d.Col("店舗").FRole = 3;
  d.Col("単価").FRole = 1;
  d.Col("単価").FDivisions = 2;
  d.ws.aggregate = TAggregate::kCount;
  EXPECT_EQ(d.Tabulate(), (Lines{",,合計", "\"0.5   -1.75\",2,2", "\"1.75  -3\",2,2", "合計,4,4"}));
}

TEST_F(CrossTab, TextValues) {
  Roles("分類", nullptr, "メモ");
  d.ws.aggregate = TAggregate::kMin;
  EXPECT_EQ(d.Tabulate(), (Lines{",x,y,合計", ",p,(null),5", "合計,3,2,5"}));
  d.ws.aggregate = TAggregate::kMax;
  EXPECT_EQ(d.Tabulate(), (Lines{",x,y,合計", ",s,q,5", "合計,3,2,5"}));
  d.ws.aggregate = TAggregate::kSum;
  EXPECT_EQ(d.Tabulate(), (Lines{",x,y,合計", ",3,2,5", "合計,3,2,5"}));
  Roles("分類", "店舗", "メモ");
  EXPECT_EQ(d.Tabulate(),
            (Lines{",x,y,合計", "A,p,q,2", "B,r,(null),2", "(null),s,,1", "合計,3,2,5"}));
}

TEST_F(CrossTab, DateValues) {
  Roles("分類", nullptr, "日付");
  struct Case {
    TAggregate aggregate;
    Lines rows;
  };
  const Case cases[] = {
      // The last record met per cell; a total adds its cells up, as totals do.
      {TAggregate::kSum,
       {",x,y,合計", ",2024/01/20,2024/03/11,2148/04/01", "合計,2024/01/20,2024/03/11,2148/04/01"}},
      // The mean date.
      {TAggregate::kAverage,
       {",x,y,合計", ",2024/02/04,\"2024/02/21 12:00:00\",2024/02/11",
        "合計,2024/02/04,\"2024/02/21 12:00:00\",2024/02/11"}},
      {TAggregate::kMin,
       {",x,y,合計", ",2024/01/15,2024/02/03,2024/01/15", "合計,2024/01/15,2024/02/03,2024/01/15"}},
  };
  for (const Case& c : cases) {
    d.ws.aggregate = c.aggregate;
    EXPECT_EQ(d.Tabulate(), c.rows) << static_cast<int>(c.aggregate);
  }
}

TEST_F(CrossTab, TimesOfDayAreSummedAsDurations) {
  Roles("分類", nullptr, "時刻");
  d.ws.aggregate = TAggregate::kSum;
  EXPECT_EQ(d.Tabulate(), (Lines{",x,y,合計", ",1+10:00:00,21:00:00,2+7:00:00",
                                 "合計,1+10:00:00,21:00:00,2+7:00:00"}));
  d.ws.aggregate = TAggregate::kAverage;
  EXPECT_EQ(d.Tabulate(),
            (Lines{",x,y,合計", ",11:20:00,10:30:00,11:00:00", "合計,11:20:00,10:30:00,11:00:00"}));
}

TEST_F(CrossTab, DateAxes) {
  TCol& date = d.Col("日付");
  date.FRole = 0;
  date.FDateUnit = 1;
  date.FUpper = EncodeDate(2024, 3, 10);
  EXPECT_EQ(d.Tabulate()[0], ",2024/01,2024/02,2024/03,合計");
  date.FDateUnit = 2;
  EXPECT_EQ(d.Tabulate(),
            (Lines{",日,月,火,水,木,金,土,合計", ",1,2,0,0,0,0,2,5", "合計,1,2,0,0,0,0,2,5"}));
  date.FUpper = date.FMax;
  date.FDateUnit = 0;
  EXPECT_EQ(d.Tabulate()[0], ",2024,合計");
  date.FDateUnit = 3;
  date.FUpper = EncodeDate(2024, 1, 17);
  EXPECT_EQ(d.Tabulate()[0], ",2024/01/15,2024/01/16,2024/01/17,合計");
}

TEST_F(CrossTab, HoursOfTimesOnlyRunFromTheLowerBound) {
  TCol& time = d.Col("時刻");
  time.FRole = 1;
  time.FDateUnit = 4;
  EXPECT_EQ(d.Tabulate(), (Lines{",,合計", "09,1,1", "10,1,1", "11,0,0", "12,3,3", "合計,5,5"}));
}

TEST_F(CrossTab, DateTimeAxisHoursOfAColumnWithDatesRunOverTheWholeDay) {
  EngineData d("日時\n2024/01/01 09:30\n2024/01/02 23:15\n2024/01/03 09:59:59\n");
  TCol& when = d.Col("日時");
  when.FRole = 0;
  when.FDateUnit = 4;
  Lines rows = d.Tabulate();
  ASSERT_EQ(d.window.grid.ColCount(), 26);
  EXPECT_EQ(test::U(d.window.grid.Cell(1, 0)), "00");
  EXPECT_EQ(test::U(d.window.grid.Cell(24, 0)), "23");
  EXPECT_EQ(d.window.grid.Cell(10, 1), "2");
  EXPECT_EQ(d.window.grid.Cell(24, 1), "1");
  when.FDateUnit = 5;
  d.Tabulate();
  ASSERT_EQ(d.window.grid.ColCount(), 1440 + 2);
  EXPECT_EQ(test::U(d.window.grid.Cell(1440, 0)), "23:59");
  EXPECT_EQ(d.window.grid.Cell(9 * 60 + 30 + 1, 1), "1");
}

TEST_F(CrossTab, RangeAxisThreeRangesFromZeroToHundred) {
  EngineData d("値\n0\n10\n33\n34\n50\n66\n67\n100\n");
  d.ws.sort = false;
  TCol& v = d.Col("値");
  v.FRole = 1;
  v.FDivisions = 3;
  EXPECT_EQ(d.Tabulate(),
            (Lines{",,合計", "\"  0- 33\",3,3", "\" 34- 66\",3,3", "\" 67-100\",2,2", "合計,8,8"}));
}

TEST_F(CrossTab, RangeAxisEmptyRangeIsHiddenAfterTheChartSawIt) {
  EngineData d("値\n0\n1\n2\n100\n");
  d.ws.sort = true;
  d.ws.hideEmpty = true;
  d.window.chartShowing = true;
  TCol& v = d.Col("値");
  v.FRole = 1;
  v.FDivisions = 3;
  EXPECT_EQ(d.Tabulate(), (Lines{",,合計", "\"  0- 33\",3,3", "\" 67-100\",1,1", "合計,4,4"}));
  // Sorted: the emptied count cell followed by the empty total holds a single space.
  EXPECT_EQ(d.window.chartRows, (Lines{",,合計", "\"  0- 33\",3,3", "\" 34- 66\",\" \",",
                                       "\" 67-100\",1,1", "合計,4,4"}));
}

TEST_F(CrossTab, RangeAxisPerRowNumbersAlwaysFormAtLeastTwoRanges) {
  std::string csv = "番号\n";
  for (int i = 0; i <= 2000; ++i) csv += std::to_string(i) + "\n";
  EngineData d(csv);
  d.ws.sort = false;
  TCol& id = d.Col("番号");
  ASSERT_EQ(id.FStorage, csLon);
  id.FRole = 1;
  EXPECT_EQ(d.Tabulate(),
            (Lines{",,合計", "\"   0- 999\",1000,1000", "1000-2000,1001,1001", "合計,2001,2001"}));
  EXPECT_EQ(id.FDivisions, 2);
}

// An integer class is headed by the whole numbers it holds.
TEST_F(CrossTab, RangeAxisIntegerClassesNameTheNumbersTheyHold) {
  EngineData d("x\n0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n");
  d.ws.sort = true;
  TCol& x = d.Col("x");
  x.FRole = 1;
  x.FDivisions = 2;
  EXPECT_EQ(d.Tabulate(), (Lines{",,合計", "\" 0- 4\",5,5", "\" 5-10\",6,6", "合計,11,11"}));
  // Narrowed to 9..15 of 1..20 (as after the range panel): never inverted, never overlapping.
  EngineData e("数量\n1\n9\n10\n11\n12\n13\n14\n15\n20\n");
  TCol& n = e.Col("数量");
  n.FRole = 1;
  n.FFiltered = true;
  n.FLower = 9;
  n.FUpper = 15;
  n.FDivisions = 5;
  e.ws.sort = false;
  EXPECT_EQ(e.Tabulate(), (Lines{",,合計", "\" 9-10\",2,2", "11-11,1,1", "12-12,1,1", "13-13,1,1",
                                 "14-15,2,2", "合計,7,7"}));
}

// Integer class headings over many ranges, bounds and counts: every record lands in the class whose
// heading names its number, and the headings run on without gaps or overlaps.
TEST_F(CrossTab, RangeAxisIntegerHeadingsAgreeWithTheClassesOfTheRecords) {
  std::string csv = "v\n";
  for (int i = -7; i <= 53; ++i) csv += std::to_string(i) + "\n";
  EngineData e(csv);
  e.ws.sort = false;
  TCol& v = e.Col("v");
  v.FRole = 1;
  const double bounds[][2] = {{-7, 53}, {-6.5, 52.25}, {0, 10}, {3.9999, 4.0001}, {9, 15}};
  for (const auto& b : bounds) {
    for (int divisions : {2, 3, 4, 5, 7, 9, 10, 20, 30, 40, 50}) {
      v.FFiltered = true;
      v.FLower = b[0];
      v.FUpper = b[1];
      v.FDivisions = divisions;
      e.Tabulate();
      const TResultTable& t = e.window.grid;
      long expectNext = static_cast<long>(std::ceil(b[0]));
      for (int r = 1; r + 1 < t.RowCount(); ++r) {
        const std::string label = t.Cell(0, r);
        if (label.find_first_not_of(" -") == std::string::npos) {  // a class of no whole number
          EXPECT_EQ(t.Cell(1, r), "0");
          continue;
        }
        const size_t dash = label.find('-', label.find_first_not_of(' ') + 1);
        ASSERT_NE(dash, std::string::npos) << label;
        const std::string lo = label.substr(0, dash), hi = label.substr(dash + 1);
        const long first = std::stol(lo), last = std::stol(hi);
        EXPECT_EQ(first, expectNext) << label << " " << b[0] << ".." << b[1] << "/" << divisions;
        EXPECT_LE(first, last) << label;
        EXPECT_EQ(t.Cell(1, r), std::to_string(last - first + 1))
            << label << " " << b[0] << ".." << b[1] << "/" << divisions;
        expectNext = last + 1;
      }
      EXPECT_EQ(expectNext, static_cast<long>(std::floor(b[1])) + 1);
    }
  }
}

TEST_F(CrossTab, TextAxisBlankTextsReadNullAndSelectionsGiveTheLabels) {
  // The second record is short: its shop is the empty text.
  EngineData d("n,店舗\n1,A\n2\n3,B\n4,A\n");
  d.ws.sort = false;
  TCol& shop = d.Col("店舗");
  shop.FRole = 1;
  EXPECT_EQ(d.Tabulate(), (Lines{",,合計", "A,2,2", "(null),1,1", "B,1,1", "合計,4,4"}));
  shop.SetSelected({"B", "a"});
  EXPECT_EQ(d.Tabulate(), (Lines{",,合計", "B,1,1", "a,2,2", "合計,3,3"}));
}

TEST_F(CrossTab, RecalculateWithoutRolesClearsTheResultAndCountsTheRecordsThatPass) {
  EngineData d(kSales);
  d.window.chartShowing = true;
  d.Col("店舗").FRole = 1;
  d.Tabulate();
  d.Col("店舗").FRole = 3;
  d.Col("店舗").SetSelected({"A", "(null)"});
  Recalculate(d.ws);
  EXPECT_EQ(d.ws.recordCountText, "3");
  EXPECT_EQ(test::Rows(d.window.grid), (Lines{",,", ",,", ",,"}));
  EXPECT_FALSE(d.window.chartShowing);
}

}  // namespace
}  // namespace tabulon
