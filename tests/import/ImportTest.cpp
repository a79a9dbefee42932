#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "column/Descriptor.h"
#include "column/TCol.h"
#include "column/Values.h"
#include "import/unitProgress.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/IniFile.h"
#include "platform/LocaleFormats.h"

namespace tabulon {
namespace {

using test::ReadFile;
using test::S;
using test::ScratchDir;
using test::WriteFile;

// Records what the import shows.
class RecordingView : public TProgressView {
 public:
  void SetCaption(const std::string& c) override { caption = c; }
  void SetMax(int64_t m) override { max = m; }
  void SetPosition(int64_t p) override { position = p; }
  void SetPositionLabel(const std::string& t) override { positionLabel = t; }
  void SetTimeLabel(const std::string& t) override { timeLabel = t; }
  void ProcessEvents() override { ++events; }
  void Close() override { ++closes; }
  std::string caption, positionLabel, timeLabel;
  int64_t max = 0, position = 0;
  int events = 0, closes = 0;
};

// A CSV file in a scratch folder and the paths of its store.
struct Dataset {
  ScratchDir dir;
  std::string csv = dir.File("data.csv");
  std::string store = dir.File("data");
  std::string File(const std::string& name) const { return store + "/" + name; }
  std::string Ini() const { return ReadFile(File("data.Ini")); }
  void Write(std::string_view bytes) { WriteFile(csv, bytes); }
  void Import() {
    RecordingView view;
    TformProgress importer(&view);
    importer.Import(csv);
  }
};

std::string Int32s(std::initializer_list<int32_t> values) {
  std::string bytes;
  for (int32_t v : values) bytes.append(reinterpret_cast<const char*>(&v), 4);
  return bytes;
}

std::string Int64s(std::initializer_list<int64_t> values) {
  std::string bytes;
  for (int64_t v : values) bytes.append(reinterpret_cast<const char*>(&v), 8);
  return bytes;
}

std::string CsvDateTime(const std::string& csv) {
  time_t t = 0;
  FileModifiedTime(csv, &t);
  return FormatDateTime(FileTimeToDateTime(t));
}

TEST(Import, WritesTheStoreAndDescriptorByteForByte) {
  Dataset d;
  d.Write(
      S("店,数量,単価,日付\r\n新宿,1,1.5,2024/3/31\r\n渋谷,２,2,2024/04/01 9:05\r\n新宿,1,,\r\n"));
  d.Import();

  EXPECT_EQ(ReadFile(d.File("0.Dat")), std::string("\x00\x01\x00", 3));
  EXPECT_EQ(ReadFile(d.File("0.Ind")), S("新宿\r\n渋谷\r\n"));
  EXPECT_EQ(ReadFile(d.File("1.Dat")), std::string("\x00\x01\x00", 3));
  EXPECT_EQ(ReadFile(d.File("1.Ind")), Int32s({1, 2}));  // the full-width ２ converts
  EXPECT_EQ(ReadFile(d.File("2.Dat")), std::string("\x00\x01\x02", 3));
  EXPECT_EQ(ReadFile(d.File("2.Ind")), Int64s({15000, 20000, INT64_MIN + 1}));
  double dates[3] = {EncodeDate(2024, 3, 31), EncodeDate(2024, 4, 1) + EncodeTime(9, 5, 0, 0),
                     DateNull()};
  EXPECT_EQ(ReadFile(d.File("3.Ind")), std::string(reinterpret_cast<const char*>(dates), 24));
  EXPECT_FALSE(FileExists(d.File("0.Tmp")));

  EXPECT_EQ(d.Ini(), S("[Csv]\r\nColCount=4\r\nRowCount=3\r\n0=店\r\n1=数量\r\n2=単価\r\n3=日付\r\n"
                       "DateTime=") +
                         CsvDateTime(d.csv) +
                         S("\r\n[店]\r\nValType=Str\r\nColType=Byt\r\nCount=2\r\n"
                           "[数量]\r\nMin=1\r\nMax=2\r\nValType=Int\r\nColType=Byt\r\nCount=2\r\n"
                           "[単価]\r\nMin=1.5\r\nMax=2\r\nValType=Cur\r\nColType=Byt\r\nCount=3\r\n"
                           "[日付]\r\nMin=2024/03/31\r\nMax=2024/04/01 9:05:00\r\nValType=Dat\r\n"
                           "ColType=Byt\r\nCount=3\r\n"));
}

TEST(Import, DistinctTextsIgnoreLetterCaseAndKeepTheFirstSpelling) {
  Dataset d;
  d.Write("city\r\nTokyo\r\nTOKYO\r\n" + S("ＡＢ\r\nａｂ\r\n") + "tokyo\r\n");
  d.Import();
  EXPECT_EQ(ReadFile(d.File("0.Dat")), std::string("\x00\x00\x01\x01\x00", 5));
  EXPECT_EQ(ReadFile(d.File("0.Ind")), "Tokyo\r\n" + S("ＡＢ\r\n"));
}

// Texts of 7 to 9 bytes that share their first bytes and texts that differ only in length or
// order: each is a distinct text of its own, met again by its key, and the letter case of each is
// ignored whatever its length.
// A spelling met again is its key and needs no test only while no two spellings share a key and
// the type has not widened since it was added: after a spelling that differs in letter case, and
// after a widening, the look-up and the test come back.
TEST(Import, RepeatedSpellingsAfterALetterCaseVariantOrAWideningKeepTheirKeyAndTest) {
  Dataset d;
  d.Write("city\r\nTokyo\r\nTOKYO\r\nOsaka\r\nOsaka\r\nTOKYO\r\nosaka\r\nNagoya\r\nOsaka\r\n");
  d.Import();
  EXPECT_EQ(ReadFile(d.File("0.Dat")), std::string("\x00\x00\x01\x01\x00\x01\x02\x01", 8));
  EXPECT_EQ(ReadFile(d.File("0.Ind")), "Tokyo\r\nOsaka\r\nNagoya\r\n");

  // "$10" is an integer (hexadecimal) but no currency, date or time: met again after "1.5"
  // widened the column to currency, it makes the column text.
  Dataset e;
  e.Write("a\r\n$10\r\n7\r\n1.5\r\n7\r\n$10\r\n");
  e.Import();
  EXPECT_EQ(ReadFile(e.File("0.Dat")), std::string("\x00\x01\x02\x01\x00", 5));
  EXPECT_EQ(ReadFile(e.File("0.Ind")), "$10\r\n7\r\n1.5\r\n");
  EXPECT_NE(e.Ini().find("[a]\r\nValType=Str\r\nColType=Byt\r\nCount=3\r\n"), std::string::npos);
}

TEST(Import, ShortAndLongTextsWithCommonBytesAreToldApart) {
  const std::vector<std::string> texts = {
      "1234567", "12345678", "123456789", "12345679", "abcdefgh", "a", "abcdefghi", "ab", "ba"};
  std::string csv = "c\r\n";
  for (const std::string& t : texts) csv += t + "\r\n";
  csv += "ABCDEFGH\r\nA\r\nABCDEFGHI\r\n12345678\r\nBA\r\n";
  Dataset d;
  d.Write(csv);
  d.Import();
  std::string ind;
  for (const std::string& t : texts) ind += t + "\r\n";
  EXPECT_EQ(ReadFile(d.File("0.Ind")), ind);
  EXPECT_EQ(ReadFile(d.File("0.Dat")),
            std::string("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x04\x05\x06\x01\x08", 14));
}

// n distinct texts t0..t(n-1) in one column, then t0 again.
std::string DistinctColumn(int n, const std::string& prefix) {
  std::string csv = "c\r\n";
  for (int i = 0; i < n; ++i) csv += prefix + std::to_string(i) + "\r\n";
  return csv + prefix + "0\r\n";
}

TEST(Import, The257thDistinctTextWidensKeysTo16Bits) {
  Dataset d;
  d.Write(DistinctColumn(256, "x"));
  d.Import();
  EXPECT_EQ(ReadFile(d.File("0.Dat")).size(), 257u);

  Dataset e;
  e.Write(DistinctColumn(257, "x"));
  e.Import();
  const std::string keys = ReadFile(e.File("0.Dat"));
  ASSERT_EQ(keys.size(), 2u * 258);
  EXPECT_EQ(keys.substr(2 * 255, 2), std::string("\xff\x00", 2));
  EXPECT_EQ(keys.substr(2 * 256, 2), std::string("\x00\x01", 2));
  EXPECT_EQ(keys.substr(2 * 257, 2), std::string("\x00\x00", 2));
  EXPECT_NE(e.Ini().find("ColType=Wor\r\nCount=257\r\n"), std::string::npos);
}

TEST(Import, The2001stDistinctTextMakesTheColumnPerRow) {
  Dataset d;
  d.Write(DistinctColumn(2000, "x"));
  d.Import();
  EXPECT_NE(d.Ini().find("ColType=Wor\r\nCount=2000\r\n"), std::string::npos);

  Dataset e;
  e.Write(DistinctColumn(2001, "x"));
  e.Import();
  std::string lines;
  for (int i = 0; i < 2001; ++i) lines += "x" + std::to_string(i) + "\r\n";
  EXPECT_EQ(ReadFile(e.File("0.Dat")), lines + "x0\r\n");
  EXPECT_FALSE(FileExists(e.File("0.Ind")));
  EXPECT_NE(e.Ini().find("[c]\r\nValType=Str\r\nColType=Lon\r\n"), std::string::npos);
  EXPECT_EQ(e.Ini().find("\r\nCount="), std::string::npos);
}

TEST(Import, APerRowNumericColumnStoresOneValuePerRow) {
  Dataset d;
  std::string csv = "n\r\n";
  std::string expected;
  for (int i = 0; i < 2100; ++i) {
    csv += std::to_string(i * 3 - 100) + "\r\n";
    expected += Int32s({i * 3 - 100});
  }
  d.Write(csv + "\r\n5\r\n");
  d.Import();
  EXPECT_EQ(ReadFile(d.File("0.Dat")), expected + Int32s({-2147483647, 5}));
  EXPECT_NE(d.Ini().find("[n]\r\nMin=-100\r\nMax=6197\r\nValType=Int\r\nColType=Lon\r\n"),
            std::string::npos);
  EXPECT_FALSE(FileExists(d.File("0.Tmp")));
  EXPECT_FALSE(FileExists(d.File("0.Val")));
}

TEST(Import, APerRowColumnWidenedLateIsConvertedAgain) {
  // Integers until row 2100, then one decimal: every row is stored as currency.
  Dataset d;
  std::string csv = "n\r\n";
  std::string expected;
  for (int i = 0; i < 2100; ++i) {
    csv += std::to_string(i) + "\r\n";
    expected += Int64s({int64_t{i} * 10000});
  }
  d.Write(csv + "0.5\r\n");
  d.Import();
  EXPECT_EQ(ReadFile(d.File("0.Dat")), expected + Int64s({5000}));
  EXPECT_NE(d.Ini().find("[n]\r\nMin=0\r\nMax=2099\r\nValType=Cur\r\nColType=Lon\r\n"),
            std::string::npos);
}

// n distinct time stamps "yyyy/mm/dd hh:mm": the calendar's ends, a day before the date origin,
// a leap day, then minutes of consecutive days.
std::vector<std::string> DistinctStamps(int n) {
  std::vector<std::string> stamps = {"0001/01/01 00:00", "9999/12/31 23:59", "1899/12/29 06:00",
                                     "2024/02/29 23:59"};
  for (int i = 0; static_cast<int>(stamps.size()) < n; ++i) {
    int y, m, day;
    DecodeDate(EncodeDate(2024, 2, 27) + i / 3, &y, &m, &day);
    const int minute = (i * 487) % 1440;
    char text[24];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", y, m, day, minute / 60,
                  minute % 60);
    stamps.push_back(text);
  }
  return stamps;
}

// A per-row column of time stamps keeps their texts only until its values can replace them; a
// text that then widens it to text, after stamps alone or after other cells between them, must
// still find every row's own text.
TEST(Import, APerRowStampColumnWidenedToTextKeepsEveryRowsText) {
  const std::vector<std::string> stamps = DistinctStamps(2600);
  const auto column = [&](std::initializer_list<std::pair<int, const char*>> inserts,
                          const char* last) {
    std::vector<std::string> cells(stamps);
    for (auto it = std::rbegin(inserts); it != std::rend(inserts); ++it)
      cells.insert(cells.begin() + it->first, it->second);
    if (last != nullptr) cells.push_back(last);
    return cells;
  };
  const std::vector<std::vector<std::string>> cases = {
      column({}, "x"),                                        // stamps alone, then a text
      column({{2300, "2024/3/1 9:00"}}, "x"),                 // another date shape between
      column({{2300, "(null)"}, {2400, "2024/03/01"}}, "x"),  // a blank, a date without time
      column({{2500, "late"}}, nullptr),                      // the text among the stamps
      column({{2001, "x"}}, nullptr),  // right after the column became per-row
  };
  for (size_t k = 0; k < cases.size(); ++k) {
    Dataset d;
    std::string csv = "t,n\r\n", lines;
    for (const std::string& cell : cases[k]) {
      csv += (cell == "(null)" ? "" : cell) + ",1\r\n";
      lines += cell + "\r\n";
    }
    d.Write(csv);
    d.Import();
    EXPECT_EQ(ReadFile(d.File("0.Dat")), lines) << k;
    EXPECT_NE(d.Ini().find("[t]\r\nValType=Str\r\nColType=Lon\r\n"), std::string::npos) << k;
    EXPECT_FALSE(FileExists(d.File("0.Val"))) << k;
    EXPECT_FALSE(FileExists(d.File("0.Tmp"))) << k;
  }
}

// Stamps with another date shape, a blank and a short line among them stay a date column: each
// row's value is the general parser's, bit for bit, the blank the null marker.
TEST(Import, APerRowStampColumnStoresTheGeneralParsersValues) {
  std::vector<std::string> cells = DistinctStamps(2400);
  cells.insert(cells.begin() + 2100, "2024/3/1 9:00");
  cells.insert(cells.begin() + 2200, "");
  cells.insert(cells.begin() + 2300, "2024/03/02");
  Dataset d;
  std::string csv = "t,n\r\n", expected;
  for (size_t i = 0; i < cells.size(); ++i) {
    csv += i == 2250 ? std::string("\r\n") : cells[i] + ",1\r\n";
    double v = DateNull();
    if (i != 2250 && !cells[i].empty()) {
      ASSERT_TRUE(TryParseDateTime(cells[i], &v)) << cells[i];
    }
    expected.append(reinterpret_cast<const char*>(&v), sizeof v);
  }
  d.Write(csv);
  d.Import();
  EXPECT_EQ(ReadFile(d.File("0.Dat")), expected);
  EXPECT_NE(d.Ini().find("[t]\r\nMin=0001/01/01\r\nMax=9999/12/31 23:59:00\r\nValType=Dat\r\n"
                         "ColType=Lon\r\n"),
            std::string::npos);
  EXPECT_FALSE(FileExists(d.File("0.Val")));
  EXPECT_FALSE(FileExists(d.File("0.Tmp")));
}

TEST(Import, ATextThatNoLongerConvertsIsStoredAsNull) {
  // "1,234" is an integer but no date; it must not fail the import.
  Dataset d;
  d.Write("a\r\n\"1,234\"\r\n2024/3/31\r\n");
  d.Import();
  double day = 0;
  ASSERT_TRUE(TryParseDateTime("2024/03/31", &day));
  const double values[] = {DateNull(), day};
  EXPECT_EQ(ReadFile(d.File("0.Ind")), std::string(reinterpret_cast<const char*>(values), 16));
  EXPECT_NE(d.Ini().find("[a]\r\nMin=2024/03/31\r\nMax=2024/03/31\r\nValType=Dat\r\n"),
            std::string::npos);
  EXPECT_NE(d.Ini().find("DateTime="), std::string::npos);
}

TEST(Import, DateExtremesBeforeTheDateOriginAreTheColumnsOwn) {
  // Date-times before 1899-12-30 are negative; the largest of them is the maximum, not day 0.
  Dataset d;
  d.Write("d\r\n1800/1/1\r\n1850/12/31 6:00\r\n1820/5/5\r\n");
  d.Import();
  EXPECT_NE(d.Ini().find("[d]\r\nMin=1800/01/01\r\nMax=1850/12/31 6:00:00\r\nValType=Dat\r\n"),
            std::string::npos)
      << d.Ini();
}

TEST(Import, ColumnNamesAreMadeUniqueWithoutRegardToCase) {
  Dataset d;
  d.Write(S("売上,売上,,売上,a,A,CSV,v2\r\n"));
  d.Import();
  const IniFile ini(d.File("data.Ini"));
  const char* expected[] = {"売上", "売上(2)", "v2", "売上(3)", "a", "A(2)", "CSV(2)", "v2(2)"};
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(ini.ReadString("Csv", std::to_string(i), ""), S(expected[i])) << i;
}

TEST(Import, AnEmptyFileHasOneBlankColumnAndNoRows) {
  Dataset d;
  d.Write("");
  d.Import();
  EXPECT_EQ(ReadFile(d.File("0.Dat")), "");
  EXPECT_EQ(ReadFile(d.File("0.Ind")), Int32s({}));
  EXPECT_NE(d.Ini().find("ColCount=1\r\nRowCount=0\r\n0=v0\r\n"), std::string::npos);
  EXPECT_NE(d.Ini().find("[v0]\r\nMin=2147483647\r\nMax=-2147483647\r\nValType=Int\r\n"),
            std::string::npos);
}

TEST(Import, AShortLinesMissingCellIsNullLikeABlankOne) {
  Dataset d;
  d.Write("a,b\r\nx\r\ny,z\r\nw, \r\n");
  d.Import();
  EXPECT_EQ(ReadFile(d.File("1.Ind")), "(null)\r\nz\r\n");  // one "(null)" item for both
  EXPECT_EQ(ReadFile(d.File("1.Dat")), std::string("\x00\x01\x00", 3));
}

TEST(Import, UnixLineEndsAreRecognisedFromTheFirstLineEnd) {
  Dataset d;
  d.Write("a,b\n1,2\r\n3,4\n");
  d.Import();
  EXPECT_NE(d.Ini().find("ColCount=2\r\nRowCount=2\r\n"), std::string::npos);
  EXPECT_EQ(ReadFile(d.File("1.Ind")), Int32s({2, 4}));
}

TEST(Import, ALoneCrInAUnixFileStaysInsideItsValue) {
  Dataset d;
  d.Write("a,b\nx\ry,1\nz,2\n");
  d.Import();
  TCol col;
  col.FIndex = 0;
  col.Open(d.store, "a", 2);
  col.SetTypes("Str", "Byt");
  col.FCount = 2;
  col.FRole = kRoleRowItems;
  col.Load();
  EXPECT_EQ(col.FValues, (std::vector<std::string>{"x\ry", "z"}));
}

TEST(Import, ARebuildKeepsOnlyTheColumnFilesOfTheNewFile) {
  Dataset d;
  d.Write("a,b,c\r\nx,1,2\r\n");
  d.Import();
  std::string csv = "a\r\n";  // one column, now stored per row: no distinct values
  for (int i = 0; i < 2100; ++i) csv += "v" + std::to_string(i) + "\r\n";
  d.Write(csv);
  struct timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, d.csv.c_str(), times, 0), 0);
  d.Import();
  std::vector<std::string> files = ListDirectory(d.store);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"0.Dat", "data.Ini"}));
}

TEST(Import, AnUnchangedFileIsSkippedAndAChangedOneRebuilt) {
  Dataset d;
  d.Write("a\r\n1\r\n");
  d.Import();
  WriteFile(d.File("0.Ind"), "mark");  // a value of the right size
  d.Import();                          // up to date: nothing is written
  EXPECT_EQ(ReadFile(d.File("0.Ind")), "mark");

  struct timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, d.csv.c_str(), times, 0), 0);
  d.Import();
  EXPECT_EQ(ReadFile(d.File("0.Ind")), Int32s({1}));
}

TEST(Import, ProgressCountsLineBytesAndTheViewAlwaysCloses) {
  Dataset d;
  std::string csv = "h\r\n";
  for (int i = 0; i < 250; ++i) csv += "12345\r\n";
  d.Write(csv);
  RecordingView view;
  TformProgress importer(&view);
  importer.Import(d.csv);
  EXPECT_EQ(view.caption, S("CSVファイルの前処理中 data.csv"));
  EXPECT_EQ(view.max, static_cast<int64_t>(csv.size()));
  EXPECT_EQ(view.position, static_cast<int64_t>(csv.size()));
  EXPECT_EQ(view.positionLabel, "");  // emptied before the descriptor is written
  EXPECT_EQ(view.timeLabel, S("終了処理中"));
  EXPECT_EQ(view.closes, 1);

  // A store directory blocked by a file: an error naming it, the view closed, nothing marked.
  Dataset e;
  e.Write("a\r\n1\r\n");
  WriteFile(e.store, "not a folder");
  RecordingView view2;
  TformProgress importer2(&view2);
  try {
    importer2.Import(e.csv);
    FAIL() << "no error";
  } catch (const IoError& err) {
    EXPECT_NE(std::string(err.what()).find(e.store), std::string::npos);
  }
  EXPECT_EQ(view2.closes, 1);
  EXPECT_EQ(ReadFile(e.store), "not a folder");
}

TEST(Import, AFailedImportLeavesTheStoreUnmarkedAndTheNextOneRebuilds) {
  Dataset d;
  std::string csv = "a,b\r\n";
  for (int i = 0; i < 600; ++i) csv += "v" + std::to_string(i) + "," + std::to_string(i) + "\r\n";
  d.Write(csv);
  d.Import();
  const std::string good0 = ReadFile(d.File("0.Dat")), good1 = ReadFile(d.File("1.Dat"));
  const std::string goodIni = d.Ini();

  for (int n = 1; n <= 6; ++n) {
    struct timespec times[2] = {{0, UTIME_OMIT}, {1700000000 + n * 10, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, d.csv.c_str(), times, 0), 0);
    InjectFileFault(FileOp::kWrite, n);
    EXPECT_THROW(d.Import(), IoError) << n;
    ClearFileFaults();
    // Never marked complete for the new file time (a failure before the mark was removed leaves
    // the old time, which no longer matches).
    EXPECT_EQ(d.Ini().find("DateTime=" + CsvDateTime(d.csv)), std::string::npos) << n;
    EXPECT_FALSE(FileExists(d.File("0.Tmp")));
    d.Import();
    EXPECT_EQ(ReadFile(d.File("0.Dat")), good0);
    EXPECT_EQ(ReadFile(d.File("1.Dat")), good1);
  }
}

TEST(Import, LoadReadsWhatTheImportWroteAndRejectsDamagedFiles) {
  Dataset d;
  d.Write("s,n\r\na,5\r\nb,7\r\na,5\r\n");
  d.Import();

  const auto open = [&](int index, const char* val, const char* col, int rows, int count) {
    auto c = std::make_unique<TCol>();
    c->FIndex = index;
    c->Open(d.store, "x", rows);
    c->SetTypes(val, col);
    c->FCount = count;
    c->FRole = kRoleColumnItems;
    return c;
  };
  auto s = open(0, "Str", "Byt", 3, 2);
  s->Load();
  EXPECT_EQ(s->FByteKeys, (Records<uint8_t>{0, 1, 0}));
  EXPECT_EQ(s->FValues, (std::vector<std::string>{"a", "b"}));
  auto n = open(1, "Int", "Byt", 3, 2);
  n->Load();
  EXPECT_EQ(n->FIntValues, (Records<int32_t>{5, 7}));

  // A column without a role or filter reads nothing, even from missing files.
  auto idle = open(9, "Int", "Byt", 3, 2);
  idle->FRole = kRoleNone;
  EXPECT_NO_THROW(idle->Load());

  EXPECT_THROW(open(1, "Int", "Byt", 4, 2)->Load(), IoError);           // rows beyond .Dat
  EXPECT_THROW(open(1, "Int", "Byt", 3, 3)->Load(), IoError);           // count beyond .Ind
  EXPECT_THROW(open(1, "Int", "Byt", 2000000000, 2)->Load(), IoError);  // absurd, no allocation
  EXPECT_THROW(open(1, "Int", "Byt", -5, 2)->Load(), IoError);
  EXPECT_THROW(open(7, "Int", "Byt", 3, 2)->Load(), IoError);  // missing files
  WriteFile(d.File("0.Dat"), std::string("\x00\x05\x00", 3));
  EXPECT_THROW(open(0, "Str", "Byt", 3, 2)->Load(), IoError);  // key past the values

  // A key past the values anywhere among many rows, of 8 and of 16 bits (one with its top bit).
  std::string bytes(1000, '\x01');
  WriteFile(d.File("0.Dat"), bytes);
  EXPECT_NO_THROW(open(0, "Str", "Byt", 1000, 2)->Load());
  bytes[500] = '\x02';
  WriteFile(d.File("0.Dat"), bytes);
  EXPECT_THROW(open(0, "Str", "Byt", 1000, 2)->Load(), IoError);
  for (const char* key : {"\x02\x00", "\x01\x80"}) {
    std::string words(2000, '\x00');
    WriteFile(d.File("0.Dat"), words);
    EXPECT_NO_THROW(open(0, "Str", "Wor", 1000, 2)->Load());
    words.replace(600, 2, key, 2);
    WriteFile(d.File("0.Dat"), words);
    EXPECT_THROW(open(0, "Str", "Wor", 1000, 2)->Load(), IoError);
  }
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

TEST(Import, RobustnessAHeaderOfMoreThan65536ColumnsIsRefused) {
  Dataset d;
  d.Write(std::string(65536, ',') + "\r\n1\r\n");
  try {
    d.Import();
    ADD_FAILURE() << "imported";
  } catch (const IoError& e) {
    EXPECT_NE(std::string(e.what()).find("too many columns: 65537 (at most 65536)"),
              std::string::npos);
  }
  EXPECT_FALSE(FileExists(d.File("data.Ini")));  // nothing written, no completion mark
  EXPECT_FALSE(FileExists(d.File("0.Dat")));
}

TEST(Import, MessagesInJapaneseTheyNameTheCsvFileNeverTheStoresFiles) {
  const test::InJapanese japanese;
  const auto message = [](Dataset& d) {
    try {
      d.Import();
    } catch (const IoError& e) {
      return std::string(e.what());
    }
    return std::string("(no error)");
  };
  Dataset wide;
  wide.Write(std::string(65536, ',') + "\r\n1\r\n");
  EXPECT_EQ(message(wide), wide.csv + S(" を取り込めません: 列が多すぎます: 65537（最大 65536）"));

  Dataset blocked;
  blocked.Write("a\r\n1\r\n");
  WriteFile(blocked.store, "not a folder");
  EXPECT_EQ(message(blocked),
            blocked.csv + S(" のフォルダーを作成できません: 同じ名前のファイルがあります"));

  // A column file that cannot be written: the store's file is not named, its CSV file is.
  Dataset failing;
  failing.Write("a,b\r\n1,2\r\n");
  InjectFileFault(FileOp::kCreate, 2);
  EXPECT_EQ(message(failing),
            failing.csv + S(" の取り込みデータを作成できません: テストのために起こした障害です"));
  ClearFileFaults();
}

TEST(Import, RobustnessAPipeOrDeviceIsRefusedInsteadOfReadForever) {
  Dataset d;
  ASSERT_EQ(::mkfifo(d.csv.c_str(), 0600), 0);  // no writer: opening it would wait for ever
  EXPECT_THROW(d.Import(), IoError);
  RecordingView view;
  TformProgress importer(&view);
  EXPECT_THROW(importer.Import("/dev/zero"), IoError);  // one endless line
  EXPECT_EQ(view.closes, 1);
}

TEST(Import, RobustnessGarbageHugeLinesAndManyColumnsImportWithoutFailing) {
  // Random bytes with NULs, quotes, lead bytes at line ends and 0x1A late in the file.
  uint64_t seed = 42;
  const auto next = [&seed] {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<unsigned char>(seed >> 56);
  };
  std::string garbage;
  for (int i = 0; i < 200000; ++i) {
    const unsigned char c = next();
    garbage += static_cast<char>(c % 7 == 0 ? ',' : c % 11 == 0 ? '\r' : c % 13 == 0 ? '"' : c);
  }
  garbage += "\x82\r\nend\x1A after";
  Dataset g;
  g.Write(garbage);
  EXPECT_NO_THROW(g.Import());
  EXPECT_NE(g.Ini().find("DateTime="), std::string::npos);

  // A 20 MB line, and more columns than a process may hold open files.
  Dataset h;
  std::string header;
  for (int i = 0; i < 3000; ++i) header += "c" + std::to_string(i) + ",";
  h.Write(header + "\r\n" + std::string(20 << 20, 'x') + "\r\n1,2,3\r\n");
  h.Import();
  EXPECT_NE(h.Ini().find("ColCount=3001\r\nRowCount=2\r\n"), std::string::npos);
  EXPECT_EQ(ReadFile(h.File("0.Ind")).size(), (20u << 20) + 2 + 1 + 2);
  EXPECT_EQ(ReadFile(h.File("2999.Dat")), std::string("\x00\x00", 2));  // two empty cells
}

TEST(Import, LoadOpeningAColumnForAnalysisCreatesNoFile) {
  ScratchDir dir;
  TCol col;
  col.FIndex = 3;
  col.Open(dir.Path(), "x", 0);
  col.SetTypes("Int", "Byt");
  EXPECT_FALSE(FileExists(col.DatPath()));
  EXPECT_FALSE(FileExists(col.IndPath()));
}

}  // namespace
}  // namespace tabulon
