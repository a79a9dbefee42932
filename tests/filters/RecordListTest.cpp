#include <gtest/gtest.h>

#include "FilterFixture.h"

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
