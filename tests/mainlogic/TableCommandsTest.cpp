// The toggles and table commands the window and the command line reach through TMainLogic.
#include <gtest/gtest.h>

#include "FilterFixture.h"
#include "engine/Engine.h"

namespace tabulon {
namespace {

using test::Opened;
using test::S;

const char* const kSlips =
    "店,数量\r\n"
    "新宿,1\r\n"
    "渋谷,3\r\n"
    "新宿,4\r\n";

TEST(TableCommands, AnAggregateIsChosenEvenWithoutADataset) {
  TMainLogic m;
  m.SpeedButton1Click(3);
  EXPECT_EQ(m.Workspace().aggregate, TAggregate::kSum);
  m.SetToggleDown(6, false);  // an aggregate toggle set up changes nothing
  EXPECT_EQ(m.Workspace().aggregate, TAggregate::kSum);
  m.SetToggleDown(6, true);
  EXPECT_EQ(m.Workspace().aggregate, TAggregate::kMin);
}

TEST(TableCommands, TheEnlargedTableIsComputedOnlyWhenAColumnIsAnAxis) {
  Opened d(S(kSlips));
  TMainLogic& m = d.logic;
  m.SetToggleDown(11, false);  // no sort
  m.SetToggleDown(9, false);   // no totals; set without computing
  const std::string before = Opened::Row(m.MainGrid(), 1);
  EXPECT_FALSE(m.Button14Click());
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), before);

  m.SpeedButton1Click(kRoleRowItems);  // 店 as the row items
  m.SpeedButton9Click(true, false);
  EXPECT_EQ(Opened::Row(m.OutputGrid(), 1), S("新宿|2|2"));
  EXPECT_TRUE(m.Button14Click());
  EXPECT_EQ(m.ResultText(), S(",,合計\r\n新宿,2,2\r\n渋谷,1,1\r\n合計,3,3\r\n"));
}

TEST(TableCommands, CountingTakesEveryRoleAndCountsThePassingRecords) {
  Opened d(S(kSlips));
  TMainLogic& m = d.logic;
  m.SpeedButton1Click(kRoleRowItems);
  m.ListBox3Click({Opened::IndexOf(m.ItemPanel().items, S("新宿"))});
  EXPECT_EQ(m.CountRecords(), "2");
  EXPECT_EQ(m.Label2(), "2");
  EXPECT_EQ(m.Workspace().FCols[0]->FRole, kRoleNone);
}

TEST(TableCommands, ReleasingARoleToggleShowsTheTableWithoutThatRole) {
  Opened d(S(kSlips));
  TMainLogic& m = d.logic;
  m.SetToggleDown(11, false);          // no sort
  m.SpeedButton1Click(kRoleRowItems);  // 店 as the row items
  m.ListBox2Click(1);
  m.SpeedButton1Click(kRoleColumnItems);  // 数量 as the column items
  ASSERT_EQ(Opened::Row(m.MainGrid(), 0), S("|1|3|4|合計"));
  m.SpeedButton1Click(kRoleColumnItems);  // released
  EXPECT_EQ(d.Col(1).FRole, kRoleNone);
  EXPECT_EQ(m.ColumnEntries()[1], S("  数量"));
  EXPECT_EQ(m.ResultText(), S(",,合計\r\n新宿,2,2\r\n渋谷,1,1\r\n合計,3,3\r\n"));

  // The last role released: no table, and the passing records counted.
  m.ListBox2Click(0);
  m.ListBox3Click({Opened::IndexOf(m.ItemPanel().items, S("新宿"))});
  m.SpeedButton1Click(kRoleRowItems);
  EXPECT_EQ(d.Col(0).FRole, kRoleNone);
  EXPECT_EQ(m.MainGrid().ColCount(), 3);
  EXPECT_EQ(m.MainGrid().RowCount(), 3);
  EXPECT_EQ(m.ResultText(), ",,\r\n,,\r\n,,\r\n");
  EXPECT_EQ(m.Label2(), "2");
}

TEST(TableCommands, OpeningADatasetEmptiesTheTablesOfTheOneBefore) {
  Opened d(S(kSlips));
  TMainLogic& m = d.logic;
  TMemoryTable enlarged;
  m.SetEnlargedGrid(&enlarged);
  m.SpeedButton1Click(kRoleRowItems);  // 店 as the row items
  m.SetEnlargedShowing(true);
  m.RefreshTable();
  ASSERT_EQ(enlarged.RowCount(), 4);
  ASSERT_EQ(m.MainGrid().RowCount(), 4);

  test::ImportedCsv other(S("品,数\r\nx,1\r\n"));
  m.ListBox1Click(other.Csv());
  for (const TResultTable* grid : {static_cast<const TResultTable*>(&m.MainGrid()),
                                   static_cast<const TResultTable*>(&enlarged)}) {
    EXPECT_EQ(grid->ColCount(), 3);
    EXPECT_EQ(grid->RowCount(), 3);
    EXPECT_EQ(TableText(*grid), ",,\r\n,,\r\n,,\r\n");
  }
  EXPECT_EQ(m.Workspace().FOutGrid, &enlarged);
  EXPECT_EQ(m.Label2(), "1");
  m.SetEnlargedGrid(nullptr);
}

// A window's services, as a window adds them to the logic.
class ServedLogic : public TMainLogic {
 public:
  void BeginBusy() override { ++busy; }
  void EndBusy() override { --busy, ++commands; }
  int LabelWidth(const std::string& text) const override {
    return static_cast<int>(text.size()) * 7;
  }
  int busy = 0, commands = 0;
};

TEST(TableCommands, TheEngineAndThePanelsReachTheWindowsServicesThroughTheLogic) {
  test::ImportedCsv data(S(kSlips));
  ServedLogic m;
  m.ListBox1Click(data.Csv());
  m.SpeedButton1Click(kRoleRowItems);  // 店 as the row items: the engine shows the hourglass once
  EXPECT_EQ(m.busy, 0);
  EXPECT_EQ(m.commands, 1);
  m.ListBox2Click(1);  // 数量: the range panel's labels measured in the window's font
  const TRangePanelState& range = m.RangePanel();
  EXPECT_EQ(range.label3.text, "1");
  EXPECT_EQ(range.label3.width, 7);
  EXPECT_EQ(range.label4.width, static_cast<int>(range.label4.text.size()) * 7);
}

}  // namespace
}  // namespace tabulon
