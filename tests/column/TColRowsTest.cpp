#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "TestUtil.h"
#include "column/Descriptor.h"
#include "column/TCol.h"
#include "import/unitProgress.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/LocaleFormats.h"

namespace tabulon::rows_test {
namespace {

using test::S;
using test::ScratchDir;
using test::WriteFile;

constexpr int32_t X = TCol::kRejected;

// A CSV file imported into its store, whose columns open for analysis as the main window opens
// them.
class Dataset {
 public:
  // lines: the CSV lines in UTF-8, header first.
  explicit Dataset(const std::vector<std::string>& lines) {
    std::string csv;
    for (const std::string& line : lines) csv += S(line) + "\r\n";
    WriteFile(csv_, csv);
    TSilentProgress view;
    TformProgress importer(&view);
    importer.Import(csv_);
  }

  // Column index with its types, Count and extremes from the descriptor, the range set to the
  // extremes and one division per distinct value.
  std::unique_ptr<TCol> Open(int32_t index) const {
    const TDescriptor descriptor = TDescriptor::Read(DescriptorPathOf(csv_));
    const size_t i = static_cast<size_t>(index);
    auto col = std::make_unique<TCol>();
    col->FIndex = index;
    col->Open(StoreDirOf(csv_), descriptor.names[i], descriptor.Rows());
    descriptor.sections[i].ApplyTo(*col);
    col->FLower = col->FMin;
    col->FUpper = col->FMax;
    col->FDivisions = col->FCount;
    return col;
  }
  const std::string& Csv() const { return csv_; }

 private:
  ScratchDir dir_;
  std::string csv_ = dir_.File("data.csv");
};

// A CSV of the column v: header, then one line per cell. Each line also numbers its row in a
// second column, so that a blank cell at the end is a record (a line of nulls alone there is
// none).
std::vector<std::string> OneColumn(const std::vector<std::string>& cells) {
  std::vector<std::string> lines{"v,n"};
  for (size_t i = 0; i < cells.size(); ++i) lines.push_back(cells[i] + "," + std::to_string(i));
  return lines;
}

// The category of every row (X for a rejected row), checking on the way that the key table of a
// key-stored column answers as ReadRow does.
std::vector<int32_t> Walk(TCol& col) {
  std::vector<int32_t> keys;
  for (int32_t row = 0; row < col.FRows; ++row) {
    const int32_t key = col.ReadRow(row) ? col.FKey : X;
    if (col.FStorage != csLon) {
      const size_t k = col.FStorage == csByt ? col.FByteKeys[static_cast<size_t>(row)]
                                             : col.FWordKeys[static_cast<size_t>(row)];
      EXPECT_EQ(col.KeyCategories().at(k), key) << "row " << row;
    }
    keys.push_back(key);
  }
  return keys;
}

TEST(TColRows, ColumnWithoutRoleOrFilterAnswersTrueWithoutReading) {
  Dataset data(OneColumn({"5", "7", "9"}));
  auto col = data.Open(0);
  col->FIntValue = 12345;
  col->Load();
  EXPECT_FALSE(col->FLoaded);
  for (int32_t row = 0; row < 3; ++row) {
    EXPECT_TRUE(col->ReadRow(row));
    EXPECT_EQ(col->FKey, row);
  }
  EXPECT_EQ(col->FIntValue, 12345);
}

// The cells of the column v, given as one text with "," between the cells.
std::vector<std::string> OneColumnOf(std::string_view cells) {
  std::vector<std::string> column;
  for (size_t start = 0;;) {
    const size_t comma = cells.find(',', start);
    column.emplace_back(cells.substr(start, comma - start));
    if (comma == std::string_view::npos) return OneColumn(column);
    start = comma + 1;
  }
}

TEST(TColRows, IntegerKeysAndRangeTests) {
  const struct {
    const char* cells;
    int32_t divisions;
    bool filtered;
    double lower, upper;  // of a filtered column
    std::vector<int32_t> keys;
  } cases[] = {
      // Four buckets over 0..100: the maximum in the last; null -1.
      {"0,24,25,49,50,74,75,99,100,", 4, false, 0, 0, {0, 0, 1, 1, 2, 2, 3, 3, 3, -1}},
      // A filtered range rejects values outside it and null.
      {"0,24,25,49,50,74,75,", 2, true, 25, 74, {X, X, 0, 0, 1, 1, X, X}},
      // More divisions than values still form buckets; fewer alike.
      {"1,2,3,2", 6, false, 0, 0, {0, 3, 5, 3}},
      {"1,2,3,2", 2, false, 0, 0, {0, 1, 1, 1}},
      // As many divisions as values: the distinct keys, null included.
      {"7,3,,7", 3, false, 0, 0, {0, 1, 2, 0}},
      // Equal extremes (1 and +1 are two texts of one value): one bucket.
      {"1,+1,", 2, false, 0, 0, {1, 1, -1}},
  };
  for (const auto& c : cases) {
    Dataset data(OneColumnOf(c.cells));
    auto col = data.Open(0);
    col->FRole = 0;
    col->FDivisions = c.divisions;
    if (c.filtered) {
      col->FFiltered = true;
      col->FLower = c.lower;
      col->FUpper = c.upper;
    }
    col->Load();
    EXPECT_EQ(Walk(*col), c.keys) << c.cells << " in " << c.divisions;
  }
}

TEST(TColRows, CurrencyExtremesRoundedInTheDescriptorStillBucketEveryValue) {
  // 17 significant digits; the descriptor keeps 15, moving both extremes towards zero.
  Dataset data(OneColumn({"-1234567890123.4549", "100", "1234567890123.4549", ""}));
  auto col = data.Open(0);
  ASSERT_EQ(col->FValueType, vtCur);
  ASSERT_LT(col->FMax * 10000, 12345678901234549.0);
  ASSERT_GT(col->FMin * 10000, -12345678901234549.0);
  col->FRole = 0;
  col->FDivisions = 3;
  col->Load();
  EXPECT_EQ(Walk(*col), (std::vector<int32_t>{0, 1, 2, -1}));
  col->ReadRow(1);
  EXPECT_EQ(col->FCurValue, 1000000);
}

TEST(TColRows, FilteredCurrencyBucketsAndRange) {
  Dataset data(OneColumn({"0.5", "1.25", "1.2499", "2", "2.0001", ""}));
  auto col = data.Open(0);
  col->FFiltered = true;
  col->FLower = 0.5;
  col->FUpper = 2;
  col->FDivisions = 2;
  col->Load();
  EXPECT_EQ(Walk(*col), (std::vector<int32_t>{0, 1, 0, 1, X, X}));
}

// n values 0 .. n-1 as CSV cells.
std::vector<std::string> Counting(int n) {
  std::vector<std::string> cells;
  for (int i = 0; i < n; ++i) cells.push_back(std::to_string(i));
  return cells;
}

TEST(TColRows, WordKeyedIntegersBucketLikeByteKeyed) {
  Dataset data(OneColumn(Counting(300)));
  auto col = data.Open(0);
  ASSERT_EQ(col->FStorage, csWor);
  col->FRole = 0;
  col->FDivisions = 3;
  col->Load();
  const std::vector<int32_t> keys = Walk(*col);
  for (int32_t v = 0; v < 300; ++v) EXPECT_EQ(keys[v], v == 299 ? 2 : v * 3 / 299) << v;
}

TEST(TColRows, PerRowIntegersAlwaysFormBuckets) {
  std::vector<std::string> cells = Counting(2101);
  cells.push_back("");
  Dataset data(OneColumn(cells));
  auto col = data.Open(0);
  ASSERT_EQ(col->FStorage, csLon);
  ASSERT_EQ(col->FCount, 0);
  col->FRole = 1;

  col->FDivisions = 4;
  col->Load();
  EXPECT_TRUE(col->KeyCategories().empty());
  std::vector<int32_t> keys = Walk(*col);
  EXPECT_EQ(keys[0], 0);
  EXPECT_EQ(keys[525], 1);  // 525 * 4 / 2100 = 1
  EXPECT_EQ(keys[1574], 2);
  EXPECT_EQ(keys[1575], 3);
  EXPECT_EQ(keys[2100], 3);
  EXPECT_EQ(keys[2101], -1);

  // No divisions at all: one bucket rather than the row number.
  col->FDivisions = 0;
  col->Load();
  keys = Walk(*col);
  EXPECT_EQ(keys[2100], 0);
  EXPECT_EQ(keys[2101], -1);

  col->FFiltered = true;
  col->FLower = 100;
  col->FUpper = 199;
  col->FDivisions = 2;
  col->Load();
  keys = Walk(*col);
  EXPECT_EQ(keys[99], X);
  EXPECT_EQ(keys[100], 0);
  EXPECT_EQ(keys[150], 1);
  EXPECT_EQ(keys[199], 1);
  EXPECT_EQ(keys[200], X);
  EXPECT_EQ(keys[2101], X);
  col->ReadRow(150);
  EXPECT_EQ(col->FIntValue, 150);
}

TEST(TColRows, WeekdayFilters) {
  // 2024/03/31 is a Sunday; row i falls on weekday i + 1.
  Dataset data(OneColumn({"2024/03/31", "2024/04/01", "2024/04/02", "2024/04/03", "2024/04/04",
                          "2024/04/05", "2024/04/06"}));
  const struct {
    int32_t filter;
    const char* passes;  // per row, Sunday first
  } cases[] = {{-1, "1111111"}, {0, "1000000"}, {3, "0001000"}, {6, "0000001"},
               {7, "1000001"},  {8, "0111110"}, {9, "0111100"}, {10, "0000000"}};
  for (const auto& c : cases) {
    auto col = data.Open(0);
    col->FFiltered = true;
    col->FWeekdayFilter = c.filter;
    col->FDateUnit = 2;
    col->Load();
    const std::vector<int32_t> keys = Walk(*col);
    std::string passes;  // '?' for a passing row with a wrong weekday key
    for (int32_t row = 0; row < 7; ++row)
      passes += keys[row] == X ? '0' : keys[row] == row ? '1' : '?';
    EXPECT_EQ(passes, c.passes) << "filter " << c.filter;
    col->ReadRow(6);
    EXPECT_EQ(col->FDayOfWeek, 7);
  }
}

TEST(TColRows, DateRangeEndsAtTheUpperInstant) {
  Dataset data(OneColumn({"2024/01/14 23:59:59", "2024/01/15", "2024/01/15 0:00:01", ""}));
  auto col = data.Open(0);
  col->FFiltered = true;
  col->FUpper = EncodeDate(2024, 1, 15);
  col->FDateUnit = 3;
  col->Load();
  EXPECT_EQ(Walk(*col), (std::vector<int32_t>{0, 1, X, X}));  // by calendar day
}

TEST(TColRows, TheTimeWindowHoldsOnEveryDayToTheMillisecondKeyedAndPerRow) {
  // 2001 distinct stamps make the column per-row; the first five are the cases.
  std::vector<std::string> cells = {"2024/01/01 8:59:59.999", "2024/01/01 9:00",
                                    "2024/01/02 17:59:59.999", "2024/01/03 18:00", ""};
  const std::vector<int32_t> expected = {X, 0, 1, X, X};
  for (const bool perRow : {false, true}) {
    std::vector<std::string> all = cells;
    for (int i = 0; perRow && i < 2001; ++i)
      all.push_back("2024/02/01 0:" + std::to_string(i / 60) + ":" + std::to_string(i % 60));
    Dataset data(OneColumn(all));
    auto col = data.Open(0);
    ASSERT_EQ(col->FValueType, vtDat);
    ASSERT_EQ(col->FStorage, perRow ? csLon : csByt);
    col->FFiltered = true;
    col->FTimeLower = EncodeTime(9, 0, 0, 0);
    col->FTimeUpper = EncodeTime(17, 59, 59, 999);
    col->FDateUnit = 3;
    col->Load();
    std::vector<int32_t> keys = Walk(*col);
    keys.resize(expected.size());
    EXPECT_EQ(keys, expected) << (perRow ? "per row" : "keyed");
  }
}

TEST(TColRows, DateKeysByUnitOnAColumnWithDatesAndTimes) {
  // FLower = FMin = 2023/11/30 10:00 (a Thursday). Hours, minutes and seconds count from
  // midnight, so every day's records have a category.
  Dataset data(OneColumn({"2023/11/30 10:00", "2024/01/15", "2023/12/01 9:00:30", ""}));
  const struct {
    uint8_t unit;
    std::vector<int32_t> keys;
  } cases[] = {
      {0, {0, 1, 0, -1}},  {1, {0, 2, 1, -1}},     {2, {4, 1, 5, -1}},         {3, {0, 46, 1, -1}},
      {4, {10, 0, 9, -1}}, {5, {600, 0, 540, -1}}, {6, {36000, 0, 32430, -1}}, {7, {0, 0, 0, -1}},
  };
  for (const auto& c : cases) {
    auto col = data.Open(0);
    ASSERT_TRUE(col->HasDates() && col->HasTimes());
    col->FRole = 0;
    col->FDateUnit = c.unit;
    col->Load();
    EXPECT_EQ(Walk(*col), c.keys) << "unit " << int{c.unit};
  }
}

TEST(TColRows, TimesOfDayCountFromTheLowerTime) {
  Dataset data(OneColumn({"9:00", "10:30", "18:00"}));
  const struct {
    uint8_t unit;
    std::vector<int32_t> keys;
  } cases[] = {{4, {0, 1, 9}}, {5, {0, 90, 540}}, {6, {0, 5400, 32400}}};
  for (const auto& c : cases) {
    auto col = data.Open(0);
    ASSERT_TRUE(!col->HasDates() && col->HasTimes());
    col->FRole = 1;
    col->FDateUnit = c.unit;
    col->Load();
    EXPECT_EQ(Walk(*col), c.keys) << "unit " << int{c.unit};
  }
}

TEST(TColRows, TextSelectionMatchesWithoutRegardToCase) {
  Dataset data(OneColumn({"A", "a", "B", "C", "b"}));
  auto col = data.Open(0);
  col->SetSelected({"A", "B"});
  EXPECT_TRUE(col->FFiltered);
  col->Load();
  EXPECT_EQ(Walk(*col), (std::vector<int32_t>{0, 0, 1, X, 1}));
  col->ReadRow(3);
  EXPECT_EQ(col->FText, "C");

  // A selection spelled otherwise than the stored text, with a repeated entry: first position.
  col->SetSelected({"c", "a", "C"});
  col->Load();
  EXPECT_EQ(Walk(*col), (std::vector<int32_t>{1, 1, X, 0, X}));

  col->SetSelected({});
  EXPECT_FALSE(col->FFiltered);
}

TEST(TColRows, IntegerItemsArePaddedToTheWidestBound) {
  Dataset data(OneColumn({"5", "10", "100", "10"}));
  auto col = data.Open(0);  // no role and no filter: nothing loaded yet
  EXPECT_EQ(col->GetItems(), "  5\r\n 10\r\n100\r\n");
  EXPECT_EQ(col->FSelected, (std::vector<std::string>{"  5", " 10", "100"}));
  EXPECT_FALSE(col->FFiltered);
}

TEST(TColRows, CurrencyItemsArePaddedToTheWidestBound) {
  Dataset data(OneColumn({"1.5", "2", "-0.25"}));
  auto col = data.Open(0);
  col->FRole = 0;
  EXPECT_EQ(col->GetItems(), "  1.5\r\n    2\r\n-0.25\r\n");
}

TEST(TColRows, ItemsOfOtherTypesAreNotCached) {
  for (const char* cell : {"x", "2024/01/01"}) {
    Dataset data(OneColumn({cell, cell}));
    auto col = data.Open(0);
    EXPECT_EQ(col->GetItems(), "");
    EXPECT_TRUE(col->FSelected.empty()) << cell;
  }
  Dataset data(OneColumn({"x"}));
  auto col = data.Open(0);
  col->SetSelected({"x", "y"});
  EXPECT_EQ(col->GetItems(), "x\r\ny\r\n");
}

// A dataset whose column 0 holds 2100 distinct names (per-row text) and column 1 a number.
std::vector<std::string> Names() {
  std::vector<std::string> lines{"name,n"};
  char cell[32];
  for (int i = 0; i < 2100; ++i) {
    std::snprintf(cell, sizeof cell, "n%04d,%d", i, i % 7);
    lines.push_back(cell);
  }
  return lines;
}

TEST(TColRows, PerRowTextFilteredBySelection) {
  Dataset data(Names());
  auto col = data.Open(0);
  ASSERT_EQ(col->FStorage, csLon);
  col->SetSelected({"N0005", "n2050", "nobody"});
  col->Load();
  EXPECT_TRUE(col->KeyCategories().empty());
  const std::vector<int32_t> keys = Walk(*col);
  for (int32_t row = 0; row < 2100; ++row)
    EXPECT_EQ(keys[row], row == 5 ? 0 : row == 2050 ? 1 : X) << row;

  // A second walk starts again at the first line.
  col->Load();
  EXPECT_TRUE(col->ReadRow(5));
  EXPECT_EQ(col->FText, "n0005");
}

// Per-row texts are selected without regard to case whichever way their key is folded: short
// ASCII codes, full-width letters and texts longer than the short fold takes. A large selection
// passes every selected row and only those.
TEST(TColRows, PerRowTextSelectionIgnoresCaseForEveryKindOfText) {
  std::vector<std::string> cells;
  const std::string longText = "a-text-longer-than-thirty-two-bytes-";
  for (int i = 0; i < 2100; ++i) {
    const std::string number = std::to_string(i);
    cells.push_back(i % 3 == 0 ? "c" + number : i % 3 == 1 ? "ａＢ" + number : longText + number);
  }
  Dataset data(OneColumn(cells));
  auto col = data.Open(0);
  ASSERT_EQ(col->FStorage, csLon);
  std::vector<std::string> selected;
  std::vector<int32_t> want;
  for (int i = 0; i < 2100; ++i) {
    const bool pick = i % 7 < 4;
    want.push_back(pick ? static_cast<int32_t>(selected.size()) : X);
    if (!pick) continue;
    const std::string number = std::to_string(i);
    selected.push_back(i % 3 == 0   ? "C" + number
                       : i % 3 == 1 ? S("Ａｂ" + number)
                                    : "A-TEXT-longer-than-thirty-two-bytes-" + number);
  }
  col->SetSelected(selected);
  col->Load();
  EXPECT_EQ(Walk(*col), want);
}

TEST(TColRows, PerRowTextAsValueSkipsRowsNotAsked) {
  Dataset data(Names());
  auto col = data.Open(0);
  col->FRole = 2;
  col->Load();
  for (int32_t row : {0, 7, 7, 1999, 2099}) {
    EXPECT_TRUE(col->ReadRow(row));
    EXPECT_EQ(col->FKey, row);
    char name[16];
    std::snprintf(name, sizeof name, "n%04d", row);
    EXPECT_EQ(col->FText, name);
  }
}

TEST(TColRows, PerRowTextAsAxisWithoutFilterReadsNothing) {
  Dataset data(Names());
  auto col = data.Open(0);
  col->FRole = 0;
  col->Load();
  DeleteFileIfExists(col->DatPath());
  EXPECT_TRUE(col->ReadRow(2099));
  EXPECT_EQ(col->FText, "");
  EXPECT_EQ(col->FKey, 2099);
}

TEST(TColRows, PerRowTextShorterThanTheRowsIsAnErrorNamingTheCsvFile) {
  Dataset data(Names());
  auto col = data.Open(0);
  WriteFile(col->DatPath(), "n0000\r\nn0001\r\n");
  col->FRole = 2;
  col->Load();
  EXPECT_TRUE(col->ReadRow(1));
  try {
    col->ReadRow(2);
    FAIL() << "no error";
  } catch (const IoError& e) {
    // The store belongs to the CSV file: the user knows that one, not the store's files.
    EXPECT_EQ(std::string(e.what()),
              data.Csv() + " (imported data): cannot read: file is too short");
  }
}

}  // namespace
}  // namespace tabulon::rows_test

namespace tabulon::rows_test {
namespace {

// A per-row column keeps its file between walks; a file rewritten since (here with the same
// size, as a new import of an edited CSV may leave it) is read again.
TEST(TColRows, PerRowColumnsAreReadAgainOnlyAfterTheirFileChanged) {
  Dataset data(Names());
  auto text = data.Open(0);
  text->FRole = 2;
  text->Load();
  ASSERT_TRUE(text->ReadRow(1));
  EXPECT_EQ(text->FText, "n0001");

  std::string changed = ReadWholeFile(text->DatPath());
  changed.replace(changed.find("n0001"), 5, "m0001");
  WriteFile(text->DatPath(), changed);
  struct timespec later[2] = {{0, UTIME_OMIT}, {2000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, text->DatPath().c_str(), later, 0), 0);
  text->Load();
  ASSERT_TRUE(text->ReadRow(1));
  EXPECT_EQ(text->FText, "m0001");
}

// Sets a file's last-write time to a whole number of seconds.
void SetModifiedTime(const std::string& path, time_t seconds) {
  struct timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// The text a search walk read is the one the next walk of rows reads, not a second copy of the
// file: bytes changed behind an unchanged stamp (size and last-write time) stay unseen. Once the
// stamp moves, the rows are read anew.
TEST(TColRows, RowsWalkTheTextTheSearchWalkRead) {
  Dataset data(Names());
  auto col = data.Open(0);
  SetModifiedTime(col->DatPath(), 1700000000);
  int offered = 0;
  col->VisitRowTextsContaining("n0001", [&](std::string_view) { return ++offered, true; });
  EXPECT_EQ(offered, 1);

  std::string changed = ReadWholeFile(col->DatPath());
  changed.replace(changed.find("n0001"), 5, "m0001");
  WriteFile(col->DatPath(), changed);
  SetModifiedTime(col->DatPath(), 1700000000);
  col->SetSelected({"n0001", "m0001"});
  col->Load();
  EXPECT_TRUE(col->ReadRow(1));
  EXPECT_EQ(col->FText, "n0001");
  EXPECT_EQ(col->FKey, 0);

  SetModifiedTime(col->DatPath(), 1700000001);
  col->Load();
  EXPECT_TRUE(col->ReadRow(1));
  EXPECT_EQ(col->FText, "m0001");
  EXPECT_EQ(col->FKey, 1);
}

// The search walk finds a pattern wherever it lies in the text: across the blocks the test steps
// through, in the last bytes, and among many starts that share its first and last byte; patterns
// of one byte and longer than a block too. Each line holding it is offered once, in order.
TEST(TColRows, TheSearchWalkFindsThePatternAtEveryPlace) {
  std::vector<std::string> cells;
  uint32_t x = 7;
  for (int i = 0; i < 2100; ++i) {
    std::string cell = "r" + std::to_string(i) + ":";
    x = x * 1103515245u + 12345u;
    const size_t length = (x >> 16) % 40;
    for (size_t k = 0; k < length; ++k) {
      x = x * 1103515245u + 12345u;
      cell += "1231aAbcdefghijklmnopq"[(x >> 16) % 22];
    }
    cells.push_back(cell);
  }
  Dataset data(OneColumn(cells));
  auto col = data.Open(0);
  ASSERT_EQ(col->FStorage, csLon);
  const std::vector<std::string> patterns{
      "1", "12", "123", "1a1", "q1", "abcdefghijklmnopq", "2099:", cells.back(), "zz"};
  for (const std::string& pattern : patterns) {
    std::vector<std::string> want;
    for (const std::string& cell : cells)
      if (cell.find(pattern) != std::string::npos) want.push_back(cell);
    std::vector<std::string> seen;
    col->VisitRowTextsContaining(pattern, [&](std::string_view line) {
      seen.emplace_back(line);
      return true;
    });
    EXPECT_EQ(seen, want) << pattern;
  }
}

// A row's text is its line up to CR LF, whatever else it holds: a lone CR or LF (near the line's
// start, or past its first sixteen bytes), nothing at all, or many bytes; the last line may end
// without CR LF. Rows read alike one by one and in the search walk.
TEST(TColRows, PerRowTextsSplitAtCrLfOnly) {
  Dataset data(Names());
  auto col = data.Open(0);
  std::vector<std::string> texts{"a\nb",
                                 "\n",
                                 "\r",
                                 "",
                                 "c\r",
                                 "\rd",
                                 "",
                                 "0123456789abcdef\nx",
                                 "0123456789abcde\r",
                                 "0123456789abcdefghij",
                                 "\n\n\r\r"};
  while (texts.size() < 2099) texts.push_back("f" + std::to_string(texts.size()));
  texts.push_back("last\rline");
  std::string file;
  for (const std::string& t : texts) file += t + "\r\n";
  file.resize(file.size() - 2);
  WriteFile(col->DatPath(), file);

  col->FRole = 2;
  col->Load();
  for (int32_t row = 0; row < 2100; ++row) {
    ASSERT_TRUE(col->ReadRow(row));
    ASSERT_EQ(col->FText, texts[static_cast<size_t>(row)]) << row;
  }
  std::vector<std::string> seen;
  col->VisitRowTextsContaining("", [&](std::string_view line) {
    seen.emplace_back(line);
    return true;
  });
  EXPECT_EQ(seen, texts);
}

// The search walk offers each line holding the bytes once, in order, and stops when asked.
TEST(TColRows, VisitingRowTextsOffersTheLinesThatHoldThePattern) {
  Dataset data(Names());
  auto col = data.Open(0);
  col->Load();
  std::vector<std::string> seen;
  col->VisitRowTextsContaining("n000", [&](std::string_view line) {
    seen.emplace_back(line);
    return true;
  });
  ASSERT_EQ(seen.size(), 10u);
  EXPECT_EQ(seen.front(), "n0000");
  EXPECT_EQ(seen.back(), "n0009");

  seen.clear();
  col->VisitRowTextsContaining("", [&](std::string_view line) {
    seen.emplace_back(line);
    return seen.size() < 3;
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"n0000", "n0001", "n0002"}));

  // After a walk of its own the column's rows read from the first line again.
  col->FRole = 2;
  col->Load();
  ASSERT_TRUE(col->ReadRow(2099));
  EXPECT_EQ(col->FText, "n2099");
}

}  // namespace
}  // namespace tabulon::rows_test
