#include <gtest/gtest.h>

#include "EngineTestUtil.h"

namespace tabulon {
namespace {

using test::EngineData;
using Lines = std::vector<std::string>;

// Five slips: shops A, B and a blank shop; B's x slip has no quantity.
constexpr const char* kSlips =
    "店舗,分類,数量,単価\n"
    "A,x,1,1.5\n"
    "A,y,2,2.25\n"
    "B,x,,3\n"
    "B,y,4,\n"
    ",x,5,0.5\n";

class Share : public ::testing::Test {
 protected:
  void SetUp() override {
    d.ws.sort = false;
    d.Col("分類").FRole = kRoleColumnItems;
    d.Col("店舗").FRole = kRoleRowItems;
  }
  Lines Shares(TShare share) {
    d.ws.share = share;
    return d.Tabulate();
  }
  EngineData d{kSlips};
};

TEST_F(Share, CountsAsSharesOfTheRowColumnOrGrandTotal) {
  d.ws.aggregate = TAggregate::kCount;
  EXPECT_EQ(Shares(TShare::kNone),
            (Lines{",x,y,合計", "A,1,1,2", "B,1,1,2", "(null),1,0,1", "合計,3,2,5"}));
  EXPECT_EQ(Shares(TShare::kRow),
            (Lines{",x,y,合計", "A,50.0%,50.0%,100.0%", "B,50.0%,50.0%,100.0%",
                   "(null),100.0%,0.0%,100.0%", "合計,60.0%,40.0%,100.0%"}));
  EXPECT_EQ(Shares(TShare::kColumn),
            (Lines{",x,y,合計", "A,33.3%,50.0%,40.0%", "B,33.3%,50.0%,40.0%",
                   "(null),33.3%,0.0%,20.0%", "合計,100.0%,100.0%,100.0%"}));
  EXPECT_EQ(Shares(TShare::kTotal),
            (Lines{",x,y,合計", "A,20.0%,20.0%,40.0%", "B,20.0%,20.0%,40.0%",
                   "(null),20.0%,0.0%,20.0%", "合計,60.0%,40.0%,100.0%"}));
  // 実数 again: exactly the table before.
  EXPECT_EQ(Shares(TShare::kNone),
            (Lines{",x,y,合計", "A,1,1,2", "B,1,1,2", "(null),1,0,1", "合計,3,2,5"}));
}

TEST_F(Share, SumsAsSharesLeaveCellsWithoutRecordsBlank) {
  d.Col("数量").FRole = kRoleValue;
  d.ws.aggregate = TAggregate::kSum;
  EXPECT_EQ(Shares(TShare::kRow), (Lines{",x,y,合計", "A,33.3%,66.7%,100.0%", "B,,100.0%,100.0%",
                                         "(null),100.0%,,100.0%", "合計,50.0%,50.0%,100.0%"}));
  d.Col("数量").FRole = kRoleNone;
  d.Col("単価").FRole = kRoleValue;  // currency
  EXPECT_EQ(Shares(TShare::kTotal), (Lines{",x,y,合計", "A,20.7%,31.0%,51.7%", "B,41.4%,,41.4%",
                                           "(null),6.9%,,6.9%", "合計,69.0%,31.0%,100.0%"}));
}

TEST_F(Share, HiddenTotalsStillDivideAndHiddenZerosStayHidden) {
  d.ws.aggregate = TAggregate::kCount;
  d.ws.showTotals = false;
  EXPECT_EQ(Shares(TShare::kRow),
            (Lines{",x,y", "A,50.0%,50.0%", "B,50.0%,50.0%", "(null),100.0%,0.0%"}));
  d.ws.showTotals = true;
  d.ws.hideEmpty = true;
  EXPECT_EQ(Shares(TShare::kColumn),
            (Lines{",x,y,合計", "A,33.3%,50.0%,40.0%", "B,33.3%,50.0%,40.0%", "(null),33.3%,,20.0%",
                   "合計,100.0%,100.0%,100.0%"}));
}

TEST_F(Share, TheChartSeesTheShares) {
  d.ws.aggregate = TAggregate::kCount;
  d.window.chartShowing = true;
  Shares(TShare::kTotal);
  EXPECT_EQ(d.window.chartRows[3], "(null),20.0%,0.0%,20.0%");
}

TEST_F(Share, AveragesMinimaMaximaAndDatesShowTheirValues) {
  d.Col("数量").FRole = kRoleValue;
  d.ws.share = TShare::kRow;
  for (TAggregate a : {TAggregate::kAverage, TAggregate::kMin, TAggregate::kMax}) {
    d.ws.aggregate = a;
    EXPECT_FALSE(ShareAvailable(d.ws));
    EXPECT_EQ(d.Tabulate()[1].find('%'), std::string::npos);
  }
  d.ws.aggregate = TAggregate::kSum;
  EXPECT_TRUE(ShareAvailable(d.ws));
  d.Col("数量").FRole = kRoleNone;
  d.Col("店舗").FRole = kRoleValue;  // texts under 合計
  d.Col("分類").FRole = kRoleRowItems;
  EXPECT_FALSE(ShareAvailable(d.ws));
  d.Col("店舗").FRole = kRoleNone;
  EXPECT_TRUE(ShareAvailable(d.ws));  // no value column: counts
}

TEST_F(Share, AWholeOfZeroHasNoShares) {
  EngineData d("k,v\na,5\na,-5\nb,1\n");
  d.ws.sort = false;
  d.Col("k").FRole = kRoleRowItems;
  d.Col("v").FRole = kRoleValue;
  d.ws.aggregate = TAggregate::kSum;
  d.ws.share = TShare::kRow;
  EXPECT_EQ(d.Tabulate(), (Lines{",,合計", "a,-,-", "b,100.0%,100.0%", "合計,100.0%,100.0%"}));
  d.ws.share = TShare::kTotal;
  EXPECT_EQ(d.Tabulate(),
            (Lines{",,合計", "a,0.0%,0.0%", "b,100.0%,100.0%", "合計,100.0%,100.0%"}));
}

}  // namespace
}  // namespace tabulon
