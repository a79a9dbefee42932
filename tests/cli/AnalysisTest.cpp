#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "cli/Analysis.h"

namespace tabulon {
namespace {

using test::S;
using test::ScratchDir;
using test::WriteFile;

// Splits a command line of plain words (no quoting) into arguments.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start < line.size()) {
    size_t end = line.find(' ', start);
    if (end == std::string::npos) end = line.size();
    if (end > start) words.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// A file with every kind of column: key-stored texts (店) and integers (数), per-row texts with
// spellings that differ in case only (客), per-row currency (金額), dates with times (日時).
std::string MixedCsv() {
  static const char* const kShops[] = {"新宿", "渋谷", "池袋"};
  std::string csv = "店,客,金額,数,日時\r\n";
  for (int i = 0; i < 2300; ++i) {
    const std::string code = (i % 7 == 0 ? "c" : "C") + std::to_string(1000 + i % 2150);
    const int day = 1 + i % 28, hour = 8 + i % 12, minute = i % 60;
    csv += std::string(kShops[i % 3]) + "," + code + "," + std::to_string(i * 37 % 1000) + "." +
           std::to_string(i % 10) + "," + std::to_string(1 + i % 9) + ",2024/" +
           std::to_string(1 + i % 3) + "/" + std::to_string(day) + " " + std::to_string(hour) +
           ":" + (minute < 10 ? "0" : "") + std::to_string(minute) + "\r\n";
  }
  return S(csv);
}

TEST(Analysis, SkippingTheCountsOfTheStepsBeforeTheLastGivesTheSameBytes) {
  ScratchDir dir;
  const std::string csv = dir.File("m.csv");
  WriteFile(csv, MixedCsv());
  const struct {
    TAnalysis what;
    const char* options;
  } kRuns[] = {
      {TAnalysis::kTab, "--row 店 --col 数"},
      {TAnalysis::kTab, "--row 店 --col 日時 --unit 日時=month --value 金額 --agg sum"},
      {TAnalysis::kTab, "--row 店 --col 日時 --unit 日時=weekday --value 数 --agg avg"},
      {TAnalysis::kTab, "--search 客=12 --row 客"},
      {TAnalysis::kTab, "--search 客=c1 --row 客 --col 店 --value 金額 --agg max --hide-empty"},
      {TAnalysis::kTab, "--value 客 --row 店 --agg min"},
      {TAnalysis::kTab, "--search 客=10 --col 客 --row 数 --value 金額 --agg sum"},
      {TAnalysis::kTab, "--search 客=C11 --row 店 --col 数"},
      {TAnalysis::kTab, "--value 客 --col 店 --search 客=C11"},
      {TAnalysis::kTab, "--row 金額 --div 金額=5 --col 店 --percent row"},
      {TAnalysis::kTab, "--pick 店=新宿 --row 数 --no-totals --no-sort"},
      {TAnalysis::kTab, "--range 数=2..5 --row 店 --value 数 --percent total"},
      {TAnalysis::kTab, "--dates 日時=2024/01/02..2024/02/10 --times 日時=10:00..15:00 --row 店"},
      {TAnalysis::kTab, "--row 日時 --unit 日時=hour --value 日時 --agg max --col 店"},
      {TAnalysis::kTab, "--row 数 --col 店 --row 店 --value 金額 --agg avg --col 数"},
      {TAnalysis::kList, "--search 客=99 --pick 店=渋谷"},
      {TAnalysis::kList, "--row 店 --range 金額=10..500"},
      {TAnalysis::kCount, "--search 客=1 --range 金額=10..500"},
      {TAnalysis::kCount, "--row 店 --col 数 --pick 店=池袋"},
  };
  for (const auto& run : kRuns) {
    std::vector<std::string> args = Words(run.options);
    args.insert(args.begin(), csv);
    const std::string windowWay = RunAnalysis(run.what, args, true);
    EXPECT_EQ(RunAnalysis(run.what, args), windowWay) << run.options;
    EXPECT_GT(windowWay.size(), 1u) << run.options;
  }
  // The count of the window's way, for one run: the counts are real, not zeros of both ways.
  EXPECT_EQ(RunAnalysis(TAnalysis::kCount, {csv, "--pick", "店=新宿"}), "767\n");
}

TEST(Analysis, AFailingOptionLeavesLaterRunsCounting) {
  ScratchDir dir;
  const std::string csv = dir.File("m.csv");
  WriteFile(csv, MixedCsv());
  EXPECT_THROW(RunAnalysis(TAnalysis::kTab, {csv, "--row", "店", "--pick", "店=無い"}), UsageError);
  EXPECT_EQ(RunAnalysis(TAnalysis::kCount, {csv}), "2300\n");
}

}  // namespace
}  // namespace tabulon
