#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"

namespace tabulon {
namespace {

using test::S;
using Lines = std::vector<std::string>;

// A table from UTF-8 cells, row by row.
void Fill(TMemoryTable* table, const std::vector<Lines>& rows) {
  table->SetRowCount(static_cast<int>(rows.size()));
  table->SetColCount(static_cast<int>(rows[0].size()));
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c)
      table->SetCell(static_cast<int>(c), static_cast<int>(r), S(rows[r][c]));
}

class NoWindow : public TWindowHooks {
 public:
  void RefreshColumnMarkers() override {}
  void SelectColumn(int) override {}
  TResultTable* ChooseOutputGrid() override { return nullptr; }
};

class SortExport : public ::testing::Test {
 protected:
  void SetUp() override {
    ws.hooks = &hooks;
    ws.FOutGrid = &table;
  }
  TMemoryTable table;
  NoWindow hooks;
  TWorkspace ws;
};

TEST_F(SortExport, SortAColumnKeepsItsWidthWhenItMoves) {
  TMemoryTable table;
  table.SetCell(1, 0, "b");
  table.SetCell(2, 0, "a");
  table.SetColWidth(1, 50);
  table.SetColWidth(2, 80);
  TWorkspace ws;
  ws.FOutGrid = &table;
  ws.showTotals = false;
  SpeedButton11Click(ws);
  EXPECT_EQ(table.Cell(1, 0), "a");
  EXPECT_EQ(table.ColWidth(1), 80);
  EXPECT_EQ(table.ColWidth(2), 50);
}

TEST_F(SortExport, RowsAndColumnsSortByTextWithNullLastAndTotalsInPlace) {
  Fill(&table, {{"", "y", "(null)", "X", "合計"},
                {"b", "1", "2", "3", "6"},
                {"(null)", "4", "", "5", "9"},
                {"A", "x,y", "say \"hi\"", "", "z"},
                {"a", "7", "8", "9", "24"},
                {"合計", "12", "10", "17", "39"}});
  SpeedButton11Click(ws);
  EXPECT_EQ(test::Rows(table),
            (Lines{",X,y,(null),合計", "A,\" \",\"x,y\",\"say \"\"hi\"\"\",z", "a,9,7,8,24",
                   "b,3,1,2,6", "(null),5,4,\" \",9", "合計,17,12,10,39"}));
}

TEST_F(SortExport, WithTotalsHiddenTheLastRowTakesPart) {
  Fill(&table, {{"", "v"}, {"b", "1"}, {"a", "2"}});
  ws.showTotals = false;
  SpeedButton11Click(ws);
  EXPECT_EQ(test::Rows(table), (Lines{",v", "a,2", "b,1"}));
}

TEST_F(SortExport, NothingMovesWithOneDataRowOrWhenSortIsUp) {
  Fill(&table, {{"", "b", "a", "合計"}, {"x", "", "1", "1"}, {"合計", "", "1", "1"}});
  ws.sort = false;
  SpeedButton11Click(ws);
  EXPECT_EQ(test::Rows(table), (Lines{",b,a,合計", "x,,1,1", "合計,,1,1"}));
  ws.sort = true;
  SpeedButton11Click(ws);
  // The rewritten column b holds a single space where an empty cell was followed by another.
  EXPECT_EQ(test::Rows(table), (Lines{",a,b,合計", "x,1,\" \",1", "合計,1,,1"}));
}

TEST_F(SortExport, LineTextQuotesCellsWithBlanksControlsQuotesOrCommas) {
  TMemoryTable table;
  Fill(&table, {{"plain", " lead", "a\tb", "q\"q", "c,d", "", "全角 空白"}});
  EXPECT_EQ(RowLineText(table, 0),
            "plain,\" lead\",\"a\tb\",\"q\"\"q\",\"c,d\",," + S("\"全角 空白\""));
  SetRowLineText(table, 0, "x, \"a,\"\"b\" ,,y,");
  EXPECT_EQ(test::Rows(table), (Lines{"x,\"a,\"\"b\",\" \",y,,,"}));
}

TEST_F(SortExport, ExportWritesEveryRowWithCrLfAndQuoting) {
  test::ScratchDir dir;
  TMemoryTable table;
  Fill(&table, {{"", "a b", "合計"}, {"  0- 33", "x\"y", ""}, {"c,d", " ", ""}});
  const std::string expected = S(",\"a b\",合計\r\n\"  0- 33\",\"x\"\"y\",\r\n\"c,d\",\" \",\r\n");
  EXPECT_EQ(TableText(table), expected);
  SaveTable(table, dir.File("out.csv"));
  EXPECT_EQ(test::ReadFile(dir.File("out.csv")), expected);
  // A lone empty cell is written as two quotes.
  table.SetColCount(1);
  EXPECT_EQ(TableText(table), "\"\"\r\n\"  0- 33\"\r\n\"c,d\"\r\n");
}

TEST_F(SortExport, ExportAFailedSaveRaisesAnErrorAndKeepsTheOldFile) {
  TMemoryTable table;
  EXPECT_THROW(SaveTable(table, "/nonexistent-folder/out.csv"), IoError);

  test::ScratchDir dir;
  const std::string path = dir.File("out.csv");
  test::WriteFile(path, "old table\r\n");
  Fill(&table, {{"a", "b"}, {"c", "d"}});
  for (FileOp op : {FileOp::kCreate, FileOp::kWrite, FileOp::kRename}) {
    InjectFileFault(op, 1);
    EXPECT_THROW(SaveTable(table, path), IoError);
    ClearFileFaults();
    EXPECT_EQ(test::ReadFile(path), "old table\r\n");
    EXPECT_FALSE(FileExists(path + ".tmp"));
  }
  SaveTable(table, path);
  EXPECT_EQ(test::ReadFile(path), "a,b\r\nc,d\r\n");
}

}  // namespace
}  // namespace tabulon
