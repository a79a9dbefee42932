// Tables whose rows come from a row source: what they show, and when the source ends.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/ResultTable.h"

namespace tabulon {
namespace {

// Rows of fixed cells; counts the splits and notes its own end.
class FixedRows : public TRowSource {
 public:
  FixedRows(std::vector<std::vector<std::string>> rows, int* splits, bool* gone)
      : rows_(std::move(rows)), splits_(splits), gone_(gone) {}
  ~FixedRows() override { *gone_ = true; }
  int Rows() const override { return static_cast<int>(rows_.size()); }
  void CellsOf(int row, std::vector<std::string>* cells) const override {
    ++*splits_;
    *cells = rows_[static_cast<size_t>(row)];
  }

 private:
  std::vector<std::vector<std::string>> rows_;
  int* splits_;
  bool* gone_;
};

// A 3-column table with a header row and two source rows, one too long and one too short.
struct Listed {
  Listed() {
    table.SetColCount(3);
    table.SetRowCount(1);
    table.SetCell(1, 0, "h1");
    table.AppendRowSource(std::make_unique<FixedRows>(
        std::vector<std::vector<std::string>>{{"1", "a", "b", "dropped"}, {"2"}}, &splits, &gone));
  }
  std::string Text() const { return TableText(table); }
  TMemoryTable table;
  int splits = 0;
  bool gone = false;
};

TEST(ResultTable, RowsShowTheirCellsUpToTheTablesColumnsAndAreSplitOncePerRowRead) {
  Listed l;
  EXPECT_EQ(l.table.RowCount(), 3);
  EXPECT_EQ(l.Text(), ",h1,\r\n1,a,b\r\n2,,\r\n");
  EXPECT_EQ(l.splits, 2);  // each row split once for its three cells
  EXPECT_FALSE(l.gone);
}

TEST(ResultTable, ShrinkingTheRowsKeepsThoseThatRemainAndEndsTheSource) {
  Listed l;
  l.table.SetRowCount(2);
  EXPECT_TRUE(l.gone);
  l.table.SetRowCount(3);  // a new row is empty
  EXPECT_EQ(l.Text(), ",h1,\r\n1,a,b\r\n,,\r\n");
}

TEST(ResultTable, AChangedCellKeepsEveryOtherCellOfEveryRow) {
  Listed l;
  l.table.SetCell(2, 2, "x");  // as the sort rewrites rows
  EXPECT_TRUE(l.gone);
  EXPECT_EQ(l.Text(), ",h1,\r\n1,a,b\r\n2,,x\r\n");
  Listed m;
  m.table.ClearRow(1);
  EXPECT_EQ(m.Text(), ",h1,\r\n,,\r\n2,,\r\n");
}

TEST(ResultTable, AClearedOrReAddedColumnIsEmptyInTheSourceRows) {
  Listed l;
  l.table.ClearCol(1);
  EXPECT_EQ(l.Text(), ",,\r\n1,,b\r\n2,,\r\n");
  l.table.SetColCount(2);
  l.table.SetColCount(3);
  EXPECT_EQ(l.Text(), ",,\r\n1,,\r\n2,,\r\n");
  EXPECT_FALSE(l.gone);  // its rows are still there
}

TEST(ResultTable, ANewSourceReplacesTheRowsOfTheOldOne) {
  Listed l;
  l.table.SetRowCount(1);
  int splits = 0;
  bool gone = false;
  l.table.AppendRowSource(std::make_unique<FixedRows>(
      std::vector<std::vector<std::string>>{{"1", "new"}}, &splits, &gone));
  EXPECT_TRUE(l.gone);
  EXPECT_EQ(l.Text(), ",h1,\r\n1,new,\r\n");
}

}  // namespace
}  // namespace tabulon
