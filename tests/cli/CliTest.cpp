#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "TestUtil.h"

namespace tabulon {
namespace {

using test::S;
using test::ScratchDir;
using test::WriteFile;

std::string CliPath() {
  if (const char* env = std::getenv("TABULON_CLI")) return env;
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  std::string dir = std::string(self, n > 0 ? static_cast<size_t>(n) : 0);
  dir = dir.substr(0, dir.rfind('/'));
  return dir + "/../cli/tabulon-cli";
}

struct CliRun {
  int exitCode;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs tabulon-cli with the arguments (a shell word list, already quoted), and the environment
// settings env ("NAME=VALUE ...") when given.
CliRun Cli(const std::string& args, const ScratchDir& dir, const std::string& env = "") {
  const std::string errFile = dir.File("stderr.txt");
  const std::string command =
      (env.empty() ? "" : "env " + env + " ") + CliPath() + " " + args + " 2>" + errFile;
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, test::ReadFile(errFile)};
}

TEST(Cli, InfoImportsFirstAndPrintsTheDescriptorInUtf8OrShiftJis) {
  ScratchDir dir;
  std::string csv = "店,金額,日付\r\n";
  for (int i = 0; i < 2100; ++i) csv += "新宿," + std::to_string(i) + ".5,2024/3/31\r\n";
  WriteFile(dir.File("s.csv"), S(csv));
  const CliRun r = Cli("info " + dir.File("s.csv"), dir);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "3\t2100\n"
            "0\t店\tStr\tByt\t1\t\t\n"
            "1\t金額\tCur\tLon\t\t0.5\t2099.5\n"
            "2\t日付\tDat\tByt\t1\t2024/03/31\t2024/03/31\n");
  const CliRun sjis = Cli("--sjis info " + dir.File("s.csv"), dir);
  EXPECT_EQ(sjis.out, S(r.out));
}

TEST(Cli, ErrorsNameTheFileAndUsageMistakesExitWith2) {
  ScratchDir dir;
  const CliRun missing = Cli("import " + dir.File("none.csv"), dir);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find(dir.File("none.csv")), std::string::npos);

  WriteFile(dir.File("b.csv"), "a\r\n1\r\n");
  WriteFile(dir.File("b"), "a file where the store folder belongs");
  const CliRun blocked = Cli("import " + dir.File("b.csv"), dir);
  EXPECT_EQ(blocked.exitCode, 1);
  EXPECT_NE(blocked.err.find(dir.File("b")), std::string::npos);

  EXPECT_EQ(Cli("", dir).exitCode, 2);
  EXPECT_EQ(Cli("frobnicate x.csv", dir).exitCode, 2);
  EXPECT_EQ(Cli("import", dir).exitCode, 2);
  EXPECT_EQ(Cli("info a.csv b.csv", dir).exitCode, 2);
}

TEST(Cli, ErrorsAreEnglishUnlessTheLocaleIsJapaneseAndKeepTheirExitCodes) {
  ScratchDir dir;
  const std::string none = dir.File("none.csv");
  const std::string english = "LC_ALL= LC_MESSAGES= LANG=C.UTF-8";
  const std::string japanese = "LC_ALL= LC_MESSAGES= LANG=ja_JP.UTF-8";
  const CliRun en = Cli("import " + none, dir, english);
  EXPECT_EQ(en.exitCode, 1);
  EXPECT_EQ(en.err, "tabulon-cli: " + none + ": cannot open: No such file or directory\n");
  const CliRun ja = Cli("import " + none, dir, japanese);
  EXPECT_EQ(ja.exitCode, 1);
  EXPECT_EQ(ja.err, "tabulon-cli: " + none + " を開けません: ファイルがありません\n");
  EXPECT_EQ(Cli("tab " + none, dir, "LC_ALL=ja_JP.UTF-8 LANG=C").err,
            "tabulon-cli: " + none + " を開けません: ファイルがありません\n");

  // A file inside a store is named by its CSV file.
  WriteFile(dir.File("b.csv"), "a\r\n1\r\n");
  WriteFile(dir.File("b"), "a file where the store folder belongs");
  EXPECT_EQ(Cli("import " + dir.File("b.csv"), dir, japanese).err,
            "tabulon-cli: " + dir.File("b.csv") +
                " のフォルダーを作成できません: 同じ名前のファイルがあります\n");
  EXPECT_EQ(Cli("import " + dir.File("b.csv"), dir, english).err,
            "tabulon-cli: " + dir.File("b.csv") +
                " (store folder): cannot create directory: a file of that name is in the way\n");
  // Usage mistakes stay English, with their own exit code.
  EXPECT_EQ(Cli("frobnicate", dir, japanese).exitCode, 2);
}

TEST(Cli, ImportWarnsOnceOfLostCharactersAndOfFilesThatAreNoText) {
  ScratchDir dir;
  WriteFile(dir.File("u.csv"), "\xEF\xBB\xBF名前\r\ncafé\r\n한국\r\n");
  std::string garbage = "a\r\n";
  for (int i = 0; i < 200; ++i) garbage += static_cast<char>(i % 7 == 0 ? 0xFF : i);
  WriteFile(dir.File("g.csv"), garbage);
  const CliRun r = Cli("import " + dir.File("u.csv") + " " + dir.File("g.csv"), dir);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "tabulon-cli: warning: " + dir.File("u.csv") +
                       ": 3 characters without a Shift-JIS form became 〓\n"
                       "tabulon-cli: warning: " +
                       dir.File("g.csv") + " does not look like Shift-JIS or UTF-8 text\n");
  // An up-to-date store is not imported again, and nothing is said.
  EXPECT_EQ(Cli("import " + dir.File("u.csv"), dir).err, "");
  const CliRun list = Cli("list " + dir.File("u.csv"), dir);
  EXPECT_EQ(list.out, ",名前\r\n1,caf〓\r\n2,〓〓\r\n");

  // Under a Japanese locale the warning is Japanese.
  WriteFile(dir.File("v.csv"), "\xEF\xBB\xBF名前\r\ncafé\r\n");
  EXPECT_EQ(
      Cli("import " + dir.File("v.csv"), dir, "LC_ALL=ja_JP.UTF-8").err,
      "tabulon-cli: 警告: " + dir.File("v.csv") + ": Shift-JIS にない文字 1 個を〓にしました\n");
}

// A small sales file; every test imports it afresh.
std::string Sales(const ScratchDir& dir) {
  const std::string path = dir.File("sales.csv");
  WriteFile(path, S("店,分類,金額,日付\r\n"
                    "新宿,A,100,2024/01/05\r\n"
                    "渋谷,B,250.5,2024/02/10\r\n"
                    "新宿,B,50,2024/02/11\r\n"
                    "池袋,A,,2024/03/01\r\n"));
  return path;
}

TEST(Cli, TabWritesTheTableAsTheSaveCommandDoes) {
  ScratchDir dir;
  const std::string csv = Sales(dir);
  const CliRun counts = Cli("tab " + csv + " --row 店 --col 分類", dir);
  EXPECT_EQ(counts.exitCode, 0) << counts.err;
  EXPECT_EQ(counts.out, ",A,B,合計\r\n渋谷,0,1,1\r\n新宿,1,1,2\r\n池袋,1,0,1\r\n合計,2,2,4\r\n");

  // The value toggle switches to 合計; an explicit --agg wins wherever it stands.
  EXPECT_EQ(Cli("tab " + csv + " --value 金額", dir).out,
            ",,合計\r\n,400.5,400.5\r\n合計,400.5,400.5\r\n");
  EXPECT_EQ(Cli("tab " + csv + " --agg avg --value 金額", dir).out,
            ",,合計\r\n,133.5,133.5\r\n合計,133.5,133.5\r\n");

  // --output writes the Shift-JIS bytes of the same table.
  const CliRun saved =
      Cli("tab " + csv + " --row 店 --col 分類 --output " + dir.File("t.csv"), dir);
  EXPECT_EQ(saved.exitCode, 0) << saved.err;
  EXPECT_EQ(saved.out, "");
  EXPECT_EQ(test::ReadFile(dir.File("t.csv")), S(counts.out));
}

TEST(Cli, PercentShowsEachCellAsAShareOfItsRowColumnOrGrandTotal) {
  ScratchDir dir;
  const std::string csv = Sales(dir);
  const std::string table = "tab " + csv + " --row 店 --col 分類 --percent ";
  EXPECT_EQ(Cli(table + "row", dir).out,
            ",A,B,合計\r\n渋谷,0.0%,100.0%,100.0%\r\n新宿,50.0%,50.0%,100.0%\r\n"
            "池袋,100.0%,0.0%,100.0%\r\n合計,50.0%,50.0%,100.0%\r\n");
  EXPECT_EQ(Cli(table + "col", dir).out,
            ",A,B,合計\r\n渋谷,0.0%,50.0%,25.0%\r\n新宿,50.0%,50.0%,50.0%\r\n"
            "池袋,50.0%,0.0%,25.0%\r\n合計,100.0%,100.0%,100.0%\r\n");
  EXPECT_EQ(Cli(table + "total --hide-empty --no-totals", dir).out,
            ",A,B\r\n渋谷,\" \",25.0%\r\n新宿,25.0%,25.0%\r\n池袋,25.0%,\r\n");
  // Sums: 池袋's record has no amount, so its cell has no share (blank, as the sort leaves it).
  EXPECT_EQ(Cli("tab " + csv + " --row 店 --value 金額 --percent total", dir).out,
            ",,合計\r\n渋谷,62.5%,62.5%\r\n新宿,37.5%,37.5%\r\n池袋,\" \",\r\n"
            "合計,100.0%,100.0%\r\n");
  // Averages have no shares; nor has a record list.
  const CliRun avg = Cli("tab " + csv + " --value 金額 --agg avg --percent row", dir);
  EXPECT_EQ(avg.exitCode, 2);
  EXPECT_EQ(avg.err.substr(0, avg.err.find('\n')),
            "tabulon-cli: --percent: shares are of counts or of the sum of an integer or currency "
            "value");
  EXPECT_EQ(Cli("list " + csv + " --percent row", dir).exitCode, 2);
  EXPECT_EQ(Cli(table + "rows", dir).exitCode, 2);
}

// Integer class headings, the weekday order, 3桁区切り, 合計の大きい順 and the workbook of
// --output FILE.xlsx.
TEST(Cli, DivisionHeadingsWeekdaysSeparatorsSortByTotalAndWorkbook) {
  ScratchDir dir;
  std::string data = "x,日付,店,金額\r\n";
  const char* shops[] = {"A", "B", "B", "C", "C", "C"};
  for (int i = 0; i <= 10; ++i)
    data += std::to_string(i) + ",2024/01/" + std::to_string(7 + i % 7) + "," + shops[i % 6] + "," +
            std::to_string(1000 * i) + ".5\r\n";
  const std::string csv = dir.File("d.csv");
  WriteFile(csv, S(data));
  EXPECT_EQ(Cli("tab " + csv + " --col x --div x=2", dir).out,
            ",\" 0- 4\",\" 5-10\",合計\r\n,5,6,11\r\n合計,5,6,11\r\n");
  EXPECT_EQ(Cli("tab " + csv + " --col 日付 --unit 日付=weekday", dir).out,
            ",日,月,火,水,木,金,土,合計\r\n,2,2,2,2,1,1,1,11\r\n合計,2,2,2,2,1,1,1,11\r\n");
  EXPECT_EQ(Cli("tab " + csv + " --row 店 --value 金額 --separators", dir).out,
            ",,合計\r\nA,\"6,001\",\"6,001\"\r\nB,\"18,002\",\"18,002\"\r\n"
            "C,\"31,002.5\",\"31,002.5\"\r\n合計,\"55,005.5\",\"55,005.5\"\r\n");
  EXPECT_EQ(Cli("tab " + csv + " --row 店 --sort-by-total", dir).out,
            ",,合計\r\nC,5,5\r\nB,4,4\r\nA,2,2\r\n合計,11,11\r\n");
  EXPECT_EQ(Cli("list " + csv + " --separators", dir).exitCode, 2);

  const CliRun book =
      Cli("tab " + csv + " --row 店 --value 金額 --output " + dir.File("t.xlsx"), dir);
  EXPECT_EQ(book.exitCode, 0) << book.err;
  EXPECT_EQ(test::ReadFile(dir.File("t.xlsx")).substr(0, 2), "PK");
}

TEST(Cli, FiltersApplyInOrderToCountAndList) {
  ScratchDir dir;
  const std::string csv = Sales(dir);
  EXPECT_EQ(Cli("count " + csv, dir).out, "4\n");
  EXPECT_EQ(Cli("count " + csv + " --pick 店=新宿", dir).out, "2\n");
  EXPECT_EQ(Cli("count " + csv + " --pick 店=新宿 --pick 店=池袋", dir).out, "3\n");
  EXPECT_EQ(Cli("count " + csv + " --range 金額=100..", dir).out, "2\n");
  EXPECT_EQ(Cli("count " + csv + " --dates 日付=2024/02/01..2024/02/28", dir).out, "2\n");
  EXPECT_EQ(Cli("count " + csv + " --weekday 日付=土日", dir).out, "2\n");  // 02/10, 02/11
  EXPECT_EQ(Cli("list " + csv + " --pick 店=新宿", dir).out,
            ",店,分類,金額,日付\r\n1,新宿,A,100,2024/01/05\r\n2,新宿,B,50,2024/02/11\r\n");
}

TEST(Cli, DatesAndTimesOfOneStampColumnAreWholeDaysAndTheTimeOfDayOnEveryDay) {
  ScratchDir dir;
  const std::string csv = dir.File("stamps.csv");
  WriteFile(csv, S("日時\r\n"
                   "2024/03/01 0:01\r\n"
                   "2024/03/01 9:00\r\n"
                   "2024/03/02 17:59:59\r\n"
                   "2024/03/02 18:00\r\n"
                   "2024/03/31 12:00\r\n"
                   "2024/04/01 0:00\r\n"));
  EXPECT_EQ(Cli("count " + csv + " --times 日時=09:00..17:59:59", dir).out, "3\n");
  EXPECT_EQ(Cli("count " + csv + " --dates 日時=2024/03/01..2024/03/31", dir).out, "5\n");
  EXPECT_EQ(Cli("count " + csv + " --dates 日時=2024/03/02.. --times 日時=..17:59:59", dir).out,
            "3\n");  // 3/2 17:59:59, 3/31 12:00, 4/1 0:00
  EXPECT_EQ(Cli("list " + csv + " --times 日時=18:00..23:59:59", dir).out,
            ",日時\r\n1,\"2024/03/02 18:00\"\r\n");
}

TEST(Cli, ChoicesTheWindowWouldNotOfferAreUsageErrors) {
  ScratchDir dir;
  const std::string csv = Sales(dir);
  const char* wrong[] = {
      "tab CSV --row 支店",                 // no such column
      "tab CSV --pick 金額=100",            // no item list on a number
      "tab CSV --pick 店=上野",             // no such item
      "tab CSV --search 店=宿",             // an item list, not a search
      "tab CSV --range 金額=abc..",         // not a number
      "tab CSV --div 金額=7000",            // not offered
      "tab CSV --unit 日付=second",         // not offered for dates without times
      "tab CSV --times 日付=09:00..10:00",  // no times of day
      "tab CSV --dates 日付=2023/12/31..",  // before the column's first day
      "tab CSV --agg median",
      "tab CSV --col",
      "count CSV --output x.csv",
  };
  for (std::string args : wrong) {
    args.replace(args.find("CSV"), 3, csv);
    const CliRun r = Cli(args, dir);
    EXPECT_EQ(r.exitCode, 2) << args << "\n" << r.err;
    EXPECT_FALSE(r.err.empty()) << args;
  }
}

}  // namespace
}  // namespace tabulon
