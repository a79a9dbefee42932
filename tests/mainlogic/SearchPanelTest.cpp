#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <string>

#include "FilterFixture.h"

namespace tabulon {
namespace {

using test::Opened;
using test::S;
using test::Strings;

// Column 0 holds more than 2000 distinct texts, so it is stored one text per row.
std::string ManyNames() {
  std::string csv = "name,n\r\n";
  for (const char* v : {"apple", "Apple", "pineapple", "ABC", "applet", "apple"})
    csv += std::string(v) + ",1\r\n";
  for (int i = 0; i < 2100; ++i) csv += "v" + std::to_string(i) + ",2\r\n";
  return csv;
}

TEST(SearchPanel, AnEmptyPatternFindsTooManyValuesAndDoesNotFilter) {
  Opened d(ManyNames());
  TMainLogic& m = d.logic;
  EXPECT_TRUE(m.SearchPanel().visible);
  EXPECT_EQ(m.Label7(), "0");  // a per-row column has no Count
  EXPECT_FALSE(m.Workspace().roleEnabled[0] || m.Workspace().roleEnabled[1]);
  m.Button9Click("");
  EXPECT_EQ(m.SearchPanel().countText, "2000*");
  EXPECT_EQ(m.SearchPanel().matches.size(), 2001u);
  EXPECT_FALSE(d.Col(0).FFiltered);
}

TEST(SearchPanel, ThreeMatchesInOrderOfFirstOccurrenceBecomeTheSelection) {
  Opened d(ManyNames());
  TMainLogic& m = d.logic;
  m.Edit1Change("pple");
  EXPECT_FALSE(m.Edit1KeyPress('a'));
  EXPECT_TRUE(m.Edit1KeyPress('\r'));  // Enter searches
  // "Apple" differs from "apple" only in letter case: one match.
  EXPECT_EQ(m.SearchPanel().countText, "3");
  EXPECT_EQ(m.SearchPanel().matches, (Strings{"apple", "pineapple", "applet"}));
  EXPECT_EQ(d.Col(0).FSelected, (Strings{"apple", "pineapple", "applet"}));
  EXPECT_TRUE(m.Workspace().roleEnabled[0] && m.Workspace().roleEnabled[1]);
  EXPECT_EQ(m.ColumnEntries()[0], "  name");  // the search itself does not refresh
  m.ListBox2Click();
  EXPECT_EQ(m.ColumnEntries()[0], S("＊name"));

  m.ListBox4Click({1});
  EXPECT_EQ(d.Col(0).FSelected, (Strings{"pineapple"}));
  EXPECT_EQ(m.Label2(), "1");
  m.ListBox2Click(1);
  m.ListBox2Click(0);
  EXPECT_EQ(m.SearchPanel().patternBox, "pple");
  EXPECT_EQ(m.SearchPanel().matches, (Strings{"apple", "pineapple", "applet"}));
  EXPECT_EQ(m.SearchPanel().picked, (std::vector<bool>{false, true, false}));
}

TEST(SearchPanel, ACaseSensitiveMissFiltersEveryRecordOut) {
  Opened d(ManyNames());
  TMainLogic& m = d.logic;
  m.Button9Click("abc");
  EXPECT_EQ(m.SearchPanel().countText, "0");
  EXPECT_TRUE(d.Col(0).FFiltered);
  m.ListBox2Click();
  EXPECT_FALSE(m.Workspace().roleEnabled[0] || m.Workspace().roleEnabled[1]);
  m.ListBox2Click(1);
  m.Splitter2Moved(1);  // any recalculation counts the records
  EXPECT_EQ(m.Label2(), "0");
}

TEST(SearchPanel, ResetEmptiesThePatternTheMatchesAndTheRole) {
  Opened d(ManyNames());
  TMainLogic& m = d.logic;
  m.Button9Click("pple");
  m.SpeedButton1Click(kRoleRowItems);
  EXPECT_EQ(m.ColumnEntries()[0], S("↓name"));
  m.Button5Click();
  EXPECT_EQ(m.ColumnEntries()[0], "  name");
  EXPECT_TRUE(d.Col(0).FSelected.empty());
  EXPECT_EQ(m.SearchPanel().patternBox, "");
  EXPECT_TRUE(m.SearchPanel().matches.empty());
  EXPECT_EQ(m.Label2(), "2106");
}

// Sets a file's last-write time to a whole number of seconds.
void SetModifiedTime(const std::string& path, time_t seconds) {
  struct timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Selecting the searched column again lists the matches its search found, taken from that walk
// while the text and the pattern are the same; after another pattern, or once the column's file
// changed, the matches are those of the new pattern and of the new text.
TEST(SearchPanel, ARefreshListsTheMatchesOfTheCurrentPatternAndText) {
  Opened d(ManyNames());
  TMainLogic& m = d.logic;
  const std::string dat = d.Col(0).DatPath();
  SetModifiedTime(dat, 1700000000);
  m.Button9Click("pple");
  m.ListBox2Click(1);
  m.ListBox2Click(0);
  EXPECT_EQ(m.SearchPanel().matches, (Strings{"apple", "pineapple", "applet"}));

  m.Button9Click("pplet");
  m.ListBox2Click(0);
  EXPECT_EQ(m.SearchPanel().matches, (Strings{"applet"}));
  m.Button9Click("pple");
  m.ListBox2Click(0);
  EXPECT_EQ(m.SearchPanel().matches, (Strings{"apple", "pineapple", "applet"}));

  // A selection put back whole (as 戻る does) brings its own pattern.
  TColSelection earlier = d.Col(0).Selection();
  earlier.FPattern = "pplet";
  earlier.FSelected = {"applet"};
  d.Col(0).RestoreSelection(earlier);
  m.ListBox2Click(0);
  EXPECT_EQ(m.SearchPanel().matches, (Strings{"applet"}));
  m.Button9Click("pple");

  std::string changed = test::ReadFile(dat);
  changed.replace(changed.find("applet"), 6, "appl_t");
  test::WriteFile(dat, changed);
  SetModifiedTime(dat, 1700000001);
  m.ListBox2Click(0);
  EXPECT_EQ(m.SearchPanel().matches, (Strings{"apple", "pineapple"}));
  EXPECT_EQ(d.Col(0).FSelected, (Strings{"apple", "pineapple", "applet"}));  // still the search's
}

TEST(SearchPanel, AMultiByteCharacterMatchesOnlyWholeCharacters) {
  // "ア" is 0x83 0x41 in Shift-JIS; its second byte is the letter "A".
  std::string csv = "name\r\n" + S("アイ") + "\r\nA\r\n";
  for (int i = 0; i < 2001; ++i) csv += "w" + std::to_string(i) + "\r\n";
  Opened d(csv);
  d.logic.Button9Click("A");
  EXPECT_EQ(d.logic.SearchPanel().matches, (Strings{"A"}));
}

}  // namespace
}  // namespace tabulon
