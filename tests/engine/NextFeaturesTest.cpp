// The weekday order, 3桁区切り, 合計の大きい順 and the Excel workbook.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "EngineTestUtil.h"
#include "engine/EngineInternal.h"
#include "engine/Workbook.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"

namespace tabulon {
namespace {

using test::EngineData;
using Lines = std::vector<std::string>;

// One record a day from Sunday 2024/01/07 to Saturday 2024/01/13, one more on Wednesday, and a
// blank date.
constexpr const char* kWeek =
    "日付,店\n2024/01/07,A\n2024/01/08,B\n2024/01/09,A\n2024/01/10,B\n2024/01/10,A\n"
    "2024/01/11,A\n2024/01/12,C\n2024/01/13,A\n,A\n";

TEST(WeekdaySort, AWeekdayAxisRunsFromSundayToSaturdayWhenSorted) {
  EngineData d(kWeek);
  d.ws.sort = true;
  TCol& date = d.Col("日付");
  date.FDateUnit = kDateUnitWeekday;
  date.FRole = kRoleColumnItems;
  EXPECT_EQ(d.Tabulate()[0], ",日,月,火,水,木,金,土,合計");
  date.FRole = kRoleRowItems;
  const Lines rows = d.Tabulate();
  ASSERT_EQ(rows.size(), 9u);
  const char* days[] = {"日", "月", "火", "水", "木", "金", "土"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(rows[static_cast<size_t>(i) + 1].substr(0, 3), days[i]);
  EXPECT_EQ(rows[4], "水,2,2");
  // Other labels sort by text as before.
  date.FRole = kRoleNone;
  d.Col("店").FRole = kRoleColumnItems;
  EXPECT_EQ(d.Tabulate()[0], ",A,B,C,合計");
}

TEST(WeekdaySort, TheSortToggleOnATableAlreadyShownOrdersWeekdays) {
  EngineData d(kWeek);
  d.ws.sort = false;
  TCol& date = d.Col("日付");
  date.FDateUnit = kDateUnitWeekday;
  date.FRole = kRoleColumnItems;
  d.Tabulate();
  d.ws.sort = true;
  SpeedButton11Click(d.ws);
  EXPECT_EQ(test::Rows(d.window.grid)[0], ",日,月,火,水,木,金,土,合計");
}

TEST(Separators, GroupedNumberGroupsWholeDigitsOfPlainNumbersOnly) {
  using engine_detail::GroupedNumber;
  EXPECT_EQ(GroupedNumber("1234567.5"), "1,234,567.5");
  EXPECT_EQ(GroupedNumber("-1234"), "-1,234");
  EXPECT_EQ(GroupedNumber("123"), "123");
  EXPECT_EQ(GroupedNumber("100000"), "100,000");
  EXPECT_EQ(GroupedNumber("12.5%"), "12.5%");
  EXPECT_EQ(GroupedNumber("2024/01/01"), "2024/01/01");
  EXPECT_EQ(GroupedNumber("1+10:00:00"), "1+10:00:00");
  EXPECT_EQ(GroupedNumber(""), "");
  EXPECT_EQ(GroupedNumber("-"), "-");
  EXPECT_EQ(GroupedNumber("12345abc"), "12345abc");
}

TEST(Separators, TheTableShowsItsNumbersGroupedAndItsLabelsAsTheyAre) {
  EngineData d("店,金額,数\nA,1234567.5,1000\nB,2000,5000\nA,0.25,1\n");
  d.ws.sort = true;
  d.ws.separators = true;
  d.Col("店").FRole = kRoleRowItems;
  d.Col("金額").FRole = kRoleValue;
  d.ws.aggregate = TAggregate::kSum;
  EXPECT_EQ(d.Tabulate(),
            (Lines{",,合計", "A,\"1,234,567.75\",\"1,234,567.75\"", "B,\"2,000\",\"2,000\"",
                   "合計,\"1,236,567.75\",\"1,236,567.75\""}));
  d.Col("金額").FRole = kRoleNone;
  d.Col("数").FRole = kRoleColumnItems;
  d.Col("数").FDivisions = d.Col("数").FCount;
  d.ws.aggregate = TAggregate::kCount;
  const Lines rows = d.Tabulate();
  EXPECT_EQ(rows[0], ",\"   1\",1000,5000,合計");  // labels keep their text
  d.ws.separators = false;
  d.Col("数").FRole = kRoleNone;
  d.Col("金額").FRole = kRoleValue;
  d.ws.aggregate = TAggregate::kSum;
  EXPECT_EQ(d.Tabulate()[1], "A,1234567.75,1234567.75");
}

TEST(SortByTotal, RowsAndColumnsByTheirTotalsLargestFirstNullLast) {
  EngineData d("店,分類\nA,x\nB,y\nB,y\nB,x\nC,z\nC,z\nC,z\nC,y\n,z\n,z\n,z\n,z\n,z\n");
  d.ws.sort = true;
  d.ws.sortByTotal = true;
  d.Col("店").FRole = kRoleRowItems;
  d.Col("分類").FRole = kRoleColumnItems;
  EXPECT_EQ(d.Tabulate(), (Lines{",z,y,x,合計", "C,3,1,0,4", "B,0,2,1,3", "A,0,0,1,1",
                                 "(null),5,0,0,5", "合計,8,3,2,13"}));
  // Off again: the order of 並び替え.
  d.ws.sortByTotal = false;
  EXPECT_EQ(d.Tabulate(), (Lines{",x,y,z,合計", "A,1,0,0,1", "B,1,2,0,3", "C,0,1,3,4",
                                 "(null),0,0,5,5", "合計,2,3,8,13"}));
  // With totals hidden the order is the same.
  d.ws.sortByTotal = true;
  d.ws.showTotals = false;
  EXPECT_EQ(d.Tabulate(), (Lines{",z,y,x", "C,3,1,0", "B,0,2,1", "A,0,0,1", "(null),5,0,0"}));
}

TEST(SortByTotal, SumsOrderByTheirValues) {
  EngineData d("店,金額\nA,5\nA,6\nB,100\nC,-3\n");
  d.ws.sortByTotal = true;
  d.Col("店").FRole = kRoleRowItems;
  d.Col("金額").FRole = kRoleValue;
  d.ws.aggregate = TAggregate::kSum;
  EXPECT_EQ(d.Tabulate(), (Lines{",,合計", "B,100,100", "A,11,11", "C,-3,-3", "合計,108,108"}));
}

TEST(Workbook, IsWorkbookPathByExtension) {
  EXPECT_TRUE(IsWorkbookPath("a.xlsx"));
  EXPECT_TRUE(IsWorkbookPath("/x/y/A.XLSX"));
  EXPECT_FALSE(IsWorkbookPath("a.csv"));
  EXPECT_FALSE(IsWorkbookPath("xlsx"));
}

// The workbook's sheet XML, unzipped by the system's unzip when there is one.
std::string SheetXml(const std::string& path) {
  const std::string command = "unzip -p '" + path + "' xl/worksheets/sheet1.xml 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::string xml;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) xml.append(buf, n);
  pclose(pipe);
  return xml;
}

TEST(Workbook, WritesNumbersAsNumbersAndHeadingsAsText) {
  test::ScratchDir dir;
  TMemoryTable table;
  table.SetColCount(4);
  table.SetRowCount(3);
  const char* cells[3][4] = {{"", " 0- 4", "x", "合計"},
                             {"A", "1,234", "12.5%", "2.25"},
                             {"合計", "-", "2024/01/01", "7"}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) table.SetCell(c, r, test::S(cells[r][c]));
  const std::string path = dir.File("t.xlsx");
  SaveWorkbook(table, path, test::S("売上"));
  ASSERT_TRUE(FileExists(path));
  EXPECT_EQ(ReadWholeFile(path).substr(0, 2), "PK");
  const std::string xml = SheetXml(path);
  if (xml.empty()) GTEST_SKIP() << "no unzip to look inside";
  EXPECT_NE(xml.find("<v>1234</v>"), std::string::npos);
  EXPECT_NE(xml.find("<v>0.125</v>"), std::string::npos);
  EXPECT_NE(xml.find("<v>2.25</v>"), std::string::npos);
  EXPECT_NE(xml.find("<v>7</v>"), std::string::npos);
  EXPECT_NE(xml.find("<pane xSplit=\"1\" ySplit=\"1\""), std::string::npos);
}

TEST(Workbook, AFailedSaveRaisesAnIoErrorAndLeavesNoFileBehind) {
  test::ScratchDir dir;
  TMemoryTable table;
  table.SetCell(1, 1, "1");
  EXPECT_THROW(SaveWorkbook(table, dir.File("missing/t.xlsx"), "t"), IoError);
  EXPECT_FALSE(FileExists(dir.File("missing/t.xlsx.tmp~")));
  // Over an older file that stays whole.
  WriteWholeFileAtomically(dir.File("old.xlsx"), "old");
  SaveWorkbook(table, dir.File("old.xlsx"), "t");
  EXPECT_EQ(ReadWholeFile(dir.File("old.xlsx")).substr(0, 2), "PK");
  EXPECT_FALSE(FileExists(dir.File("old.xlsx.tmp~")));
}

TEST(Workbook, AThousandByFiftyTableIsWrittenWellUnderASecond) {
  test::ScratchDir dir;
  TMemoryTable table;
  table.SetColCount(51);
  table.SetRowCount(1001);
  for (int c = 1; c <= 50; ++c) table.SetCell(c, 0, "c" + std::to_string(c));
  for (int r = 1; r <= 1000; ++r) {
    table.SetCell(0, r, "r" + std::to_string(r));
    for (int c = 1; c <= 50; ++c) table.SetCell(c, r, std::to_string(r * 1000 + c) + ".5");
  }
  const auto start = std::chrono::steady_clock::now();
  SaveWorkbook(table, dir.File("big.xlsx"), "big");
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 1.0);
}

}  // namespace
}  // namespace tabulon
