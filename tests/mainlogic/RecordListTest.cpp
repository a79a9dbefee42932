#include <gtest/gtest.h>

#include <cstdio>

#include "FilterFixture.h"
#include "engine/Engine.h"
#include "platform/FileIo.h"

namespace tabulon {
namespace {

using test::Opened;
using test::S;

const char* const kShops =
    "店,数量,メモ\r\n"
    "新宿,1,\"a,b\"\r\n"
    "渋谷,,  \r\n"
    "新宿,3,\"\",extra\r\n";

TEST(RecordList, WithoutFiltersListsEveryRecordAsTheFileSpellsIt) {
  Opened d(S(kShops));
  TMainLogic& m = d.logic;
  m.MainGrid().SetColWidth(1, 200);
  m.Button7Click();
  const TResultTable& g = m.MainGrid();
  ASSERT_EQ(g.ColCount(), 4);
  ASSERT_EQ(g.RowCount(), 4);
  EXPECT_EQ(Opened::Row(g, 0), S("|店|数量|メモ"));
  EXPECT_EQ(Opened::Row(g, 1), S("1|新宿|1|a,b"));
  EXPECT_EQ(Opened::Row(g, 2), S("2|渋谷|(null)|"));  // an empty field; a blank one
  EXPECT_EQ(Opened::Row(g, 3), S("3|新宿|3|"));       // the field beyond the header is dropped
  EXPECT_EQ(g.ColWidth(1), g.DefaultColWidth());
  EXPECT_EQ(m.Label2(), "3");
  EXPECT_EQ(m.Workspace().FOutGrid, &m.MainGrid());
}

TEST(RecordList, OnlyRecordsPassingEveryFilterAreListedAndNumberedInTurn) {
  Opened d(S(kShops));
  TMainLogic& m = d.logic;
  m.ListBox3Click({0});
  m.Button7Click();
  const TResultTable& g = m.MainGrid();
  ASSERT_EQ(g.RowCount(), 3);
  EXPECT_EQ(Opened::Row(g, 1), S("1|新宿|1|a,b"));
  EXPECT_EQ(Opened::Row(g, 2), S("2|新宿|3|"));
  EXPECT_EQ(m.Label2(), "2");
}

TEST(RecordList, RecordsWithQuotedLineBreaksAndTabsAgreeWithTheImport) {
  // A memo over two lines, a doubled quote, tabs for separators: the second shop is still record
  // 2, so a filter on it lists the record the import counted; each line break shows as a blank.
  Opened d(S("店\tメモ\r\n"
             "新宿\t\"来週訪問\r\n確認済み\"\r\n"
             "渋谷\t\"C \"\"24型\"\"\"\r\n"
             "池袋\t普通\r\n"
             "\r\n\r\n"));
  TMainLogic& m = d.logic;
  m.Button7Click();
  const TResultTable& all = m.MainGrid();
  ASSERT_EQ(all.RowCount(), 4);
  EXPECT_EQ(Opened::Row(all, 1), S("1|新宿|来週訪問 確認済み"));
  EXPECT_EQ(Opened::Row(all, 2), S("2|渋谷|C \"24型\""));
  EXPECT_EQ(Opened::Row(all, 3), S("3|池袋|普通"));
  m.ListBox3Click({1});
  m.Button7Click();
  ASSERT_EQ(m.MainGrid().RowCount(), 2);
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), S("1|渋谷|C \"24型\""));
}

TEST(RecordList, AFilterNoRecordPassesLeavesTheHeaderAndOneEmptyRow) {
  Opened d(S(kShops));
  TMainLogic& m = d.logic;
  m.Button7Click();
  m.ListBox2Click(1);
  m.Label5Click("10");
  m.Button7Click();
  const TResultTable& g = m.MainGrid();
  ASSERT_EQ(g.RowCount(), 2);
  EXPECT_EQ(Opened::Row(g, 0), S("|店|数量|メモ"));
  EXPECT_EQ(Opened::Row(g, 1), "|||");
  EXPECT_EQ(m.Label2(), "0");
}

TEST(RecordList, RecordsMissingFromAShortenedFileAreListedAsOneNullField) {
  Opened d(S(kShops));
  TMainLogic& m = d.logic;
  d.data.Overwrite(S("店,数量,メモ\r\n新宿,1,x\r\n"));
  m.Button7Click();
  const TResultTable& g = m.MainGrid();
  ASSERT_EQ(g.RowCount(), 4);
  EXPECT_EQ(Opened::Row(g, 1), S("1|新宿|1|x"));
  EXPECT_EQ(Opened::Row(g, 2), "2|(null)||");
  EXPECT_EQ(Opened::Row(g, 3), "3|(null)||");
  EXPECT_EQ(m.Label2(), "3");
}

TEST(RecordList, AUtf8FileListsItsRecordsInShiftJisAsItsImportReadThem) {
  Opened d("\xEF\xBB\xBF" + std::string(kShops) + "池袋,5,café\r\n");
  TMainLogic& m = d.logic;
  m.ListBox3Click({1});  // 渋谷, as the store spells it
  m.Button7Click();
  const TResultTable& g = m.MainGrid();
  ASSERT_EQ(g.RowCount(), 2);
  EXPECT_EQ(Opened::Row(g, 0), S("|店|数量|メモ"));  // without the mark
  EXPECT_EQ(Opened::Row(g, 1), S("1|渋谷|(null)|"));
  m.ListBox3Click({2});
  m.Button7Click();
  EXPECT_EQ(Opened::Row(g, 1), S("1|池袋|5|caf〓"));
}

TEST(RecordList, SavingAndSortingTheListSeeEveryRecordAsTheFileSpellsIt) {
  Opened d(S(kShops));
  TMainLogic& m = d.logic;
  m.Button7Click();
  test::ScratchDir out;
  SaveTable(m.MainGrid(), out.File("list.csv"));
  EXPECT_EQ(test::ReadFile(out.File("list.csv")),
            S(",店,数量,メモ\r\n1,新宿,1,\"a,b\"\r\n2,渋谷,(null),\r\n3,新宿,3,\r\n"));
  TWorkspace& ws = m.Workspace();
  ws.sort = true;
  SpeedButton11Click(ws);  // the sort toggle sorts what the grid shows, columns too
  EXPECT_EQ(TableText(m.MainGrid()),
            S(",数量,店,メモ\r\n1,1,新宿,\"a,b\"\r\n2,(null),渋谷,\r\n3,3,新宿,\r\n"));
}

TEST(RecordList, RecordsLongerThan64KiBAndTheRecordsAfterThemKeepTheirTexts) {
  const std::string longText(70000, 'x');
  std::string csv = "a,b\r\n";
  for (int i = 0; i < 70; ++i)
    csv += (i % 3 == 0 ? longText : "s") + "," + std::to_string(i) + "\r\n";
  Opened d(csv);
  TMainLogic& m = d.logic;
  m.Button7Click();
  const TResultTable& g = m.MainGrid();
  ASSERT_EQ(g.RowCount(), 71);
  for (int i = 0; i < 70; ++i) {
    EXPECT_EQ(g.Cell(1, i + 1), i % 3 == 0 ? longText : "s") << i;
    EXPECT_EQ(g.Cell(2, i + 1), std::to_string(i));
  }
}

TEST(RecordList, AReadThatFailsPartWayKeepsTheHeaderAndTheRecordsBeforeIt) {
  // 12-byte records past the first 4 MiB read: the second read fails.
  std::string csv = "h,v\r\n";
  char record[16];
  for (int i = 1; csv.size() < (size_t{5} << 20); ++i) {
    std::snprintf(record, sizeof record, "r%07d,1\r\n", i);
    csv += record;
  }
  Opened d(csv);
  TMainLogic& m = d.logic;
  InjectFileFault(FileOp::kRead, 2);
  EXPECT_THROW(m.Button7Click(), IoError);
  ClearFileFaults();
  const int inFirstRead = ((4 << 20) - 5) / 12;  // records whose line end the first read holds
  const TResultTable& g = m.MainGrid();
  ASSERT_EQ(g.RowCount(), inFirstRead + 1);
  EXPECT_EQ(RowLineText(g, 0), ",h,v");
  EXPECT_EQ(RowLineText(g, inFirstRead), "349524,r0349524,1");
  EXPECT_EQ(g.ColWidth(0), g.TextWidth("349524"));  // the numbers listed show whole
}

// A grid whose texts measure 10 pixels a byte.
class TWideTable : public TMemoryTable {
 public:
  int TextWidth(const std::string& text) const override {
    return static_cast<int>(text.size()) * 10;
  }
};

TEST(RecordList, TheHeadingColumnIsAsWideAsTheLastRecordNumberAndNeverNarrowerThanAColumn) {
  std::string csv = "n\r\n";
  for (int i = 0; i < 1200; ++i) csv += (i < 3 ? "a" : "b") + std::string("\r\n");
  Opened d(csv);
  TMainLogic& m = d.logic;
  TWideTable grid;
  m.SetMainGrid(&grid);
  m.Button7Click();
  EXPECT_EQ(grid.Cell(0, 1200), "1200");
  EXPECT_EQ(grid.ColWidth(0), 40);
  EXPECT_EQ(grid.ColWidth(1), grid.DefaultColWidth());
  m.ListBox3Click({0});  // "a": three records
  m.Button7Click();
  EXPECT_EQ(grid.ColWidth(0), grid.DefaultColWidth());
  m.SetMainGrid(nullptr);
}

TEST(RecordList, GoesToTheEnlargedTableWhileItIsShowing) {
  Opened d(S(kShops));
  TMainLogic& m = d.logic;
  TMemoryTable enlarged;
  m.SetEnlargedGrid(&enlarged);
  m.SetEnlargedShowing(true);
  m.Button7Click();
  EXPECT_EQ(Opened::Row(enlarged, 1), S("1|新宿|1|a,b"));
  EXPECT_EQ(m.Workspace().FOutGrid, &enlarged);
  EXPECT_EQ(m.MainGrid().RowCount(), 3);
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), "||");
  m.SetEnlargedShowing(false);
  m.Button7Click();
  EXPECT_EQ(Opened::Row(m.MainGrid(), 1), S("1|新宿|1|a,b"));
}

}  // namespace
}  // namespace tabulon
