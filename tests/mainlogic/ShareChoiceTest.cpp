#include <gtest/gtest.h>

#include "FilterFixture.h"

namespace tabulon {
namespace {

using test::Opened;
using test::S;

const char* const kSlips =
    "店,数量,単価\r\n"
    "新宿,1,1.5\r\n"
    "渋谷,3,2.5\r\n"
    "新宿,4,2\r\n";

TEST(ShareChoice, TheChoiceRebuildsTheTableAndOutlastsTheAggregate) {
  Opened d(S(kSlips));
  TMainLogic& m = d.logic;
  m.Workspace().sort = false;
  const std::string cleared = Opened::Row(m.MainGrid(), 1);
  m.ShareClick(TShare::kTotal);  // no role yet: nothing to rebuild
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), cleared);
  m.SpeedButton1Click(kRoleRowItems);  // 店 as the row items
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), S("新宿|66.7%|66.7%"));
  m.ShareClick(TShare::kRow);
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), S("新宿|100.0%|100.0%"));

  m.ListBox2Click(2);
  m.SpeedButton1Click(kRoleValue);  // 単価 as the value: 合計 of currency
  EXPECT_TRUE(m.ShareAvailable());
  m.ShareClick(TShare::kColumn);
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), S("新宿|58.3%|58.3%"));
  m.SpeedButton1Click(4);  // 平均: no shares, the values again
  EXPECT_FALSE(m.ShareAvailable());
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), S("新宿|1.75|1.75"));
  EXPECT_EQ(m.Share(), TShare::kColumn);
  m.SpeedButton1Click(3);  // 合計: the chosen shares come back
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), S("新宿|58.3%|58.3%"));
  m.ShareClick(TShare::kNone);
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), S("新宿|3.5|3.5"));
}

}  // namespace
}  // namespace tabulon
