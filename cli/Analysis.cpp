#include "cli/Analysis.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "import/unitProgress.h"
#include "mainlogic/MainLogic.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

// Joins texts (Shift-JIS) for a message in UTF-8.
std::string Offered(const std::vector<std::string>& sjisTexts) {
  std::string list;
  for (const std::string& t : sjisTexts) list += (list.empty() ? "" : ", ") + SjisToUtf8(t);
  return list.empty() ? "(none)" : list;
}

// The options without a value.
bool IsFlag(const std::string& a) {
  return a == "--no-totals" || a == "--hide-empty" || a == "--no-sort" || a == "--separators" ||
         a == "--sort-by-total";
}

class Session {
 public:
  explicit Session(const std::string& csvPath) : csvPath_(csvPath) {}

  // Imports the file when its store is out of date and opens the dataset.
  void Open() {
    if (!FileExists(csvPath_)) throw IoError(csvPath_, TFileAction::kOpen, ENOENT);
    TSilentProgress silent;
    TformProgress importer(&silent);
    importer.Import(csvPath_);
    logic_.ListBox1Click(csvPath_);
  }

  // Whether the runs from here on count records (see TMainLogic::SetCountRecords).
  void CountRecords(bool on) { logic_.SetCountRecords(on); }

  void Apply(const std::string& option, const std::string& value) {
    if (option == "--col" || option == "--row" || option == "--value") {
      Role(option, value);
    } else if (option == "--agg") {
      Aggregate(value);
    } else if (option == "--percent") {
      Percent(value);
    } else if (option == "--pick" || option == "--search" || option == "--range" ||
               option == "--div" || option == "--dates" || option == "--times" ||
               option == "--weekday" || option == "--unit") {
      const size_t eq = value.find('=');
      if (eq == std::string::npos)
        throw UsageError(option + " takes NAME=VALUE, not '" + value + "'");
      Panel(option, value.substr(0, eq), value.substr(eq + 1));
    } else {
      throw UsageError("unknown option '" + option + "'");
    }
  }

  // The toggles 合計表示 (SpeedButton9), ０非表示 (10) and 並び替え (11), set without computing.
  void SetFlag(const std::string& flag) {
    if (flag == "--no-totals") logic_.SetToggleDown(9, false);
    if (flag == "--hide-empty") logic_.SetToggleDown(10, true);
    if (flag == "--no-sort") logic_.SetToggleDown(11, false);
    if (flag == "--separators") logic_.SetSeparators(true);
    if (flag == "--sort-by-total") logic_.SetSortByTotal(true);
  }

  // 保存(&S) of the result into path: a workbook when it ends in ".xlsx", else the CSV file.
  void Save(const std::string& path) { logic_.SaveResult(path); }

  // The result, as 保存(&S) writes it.
  std::string Finish(TAnalysis what) {
    if (explicitAggregate_ >= 0) logic_.SetToggleDown(4 + explicitAggregate_, true);
    switch (what) {
      case TAnalysis::kTab:
        if (share_ != TShare::kNone) {
          logic_.SetShare(share_);
          if (!logic_.ShareAvailable())
            throw UsageError(
                "--percent: shares are of counts or of the sum of an integer or currency value");
        }
        logic_.CrossTabulateNow();
        return logic_.ResultText();
      case TAnalysis::kList:
        logic_.Button7Click();
        return logic_.ResultText();
      case TAnalysis::kCount:
        return logic_.CountRecords() + "\n";
    }
    return {};
  }

 private:
  // Makes column name (UTF-8) the current column; returns its index.
  int Select(const std::string& option, const std::string& name) {
    const std::string sjis = Utf8ToSjis(name);
    const TWorkspace& ws = logic_.Workspace();
    std::vector<std::string> names;
    for (int i = 0; i < static_cast<int>(ws.FCols.size()); ++i) {
      if (ws.FCols[static_cast<size_t>(i)]->FName == sjis) {
        logic_.ListBox2Click(i);
        return i;
      }
      names.push_back(ws.FCols[static_cast<size_t>(i)]->FName);
    }
    throw UsageError(option + ": no column '" + name + "'; columns: " + Offered(names));
  }

  void Role(const std::string& option, const std::string& name) {
    const int role = option == "--col"   ? kRoleColumnItems
                     : option == "--row" ? kRoleRowItems
                                         : kRoleValue;
    Select(option, name);
    const TWorkspace& ws = logic_.Workspace();
    if (!ws.roleVisible[role] || !ws.roleEnabled[role])
      throw UsageError(option + ": column '" + name + "' cannot take that role now");
    if (!ws.roleDown[role]) logic_.SpeedButton1Click(role);
  }

  void Aggregate(const std::string& value) {
    static const char* const kNames[] = {"sum", "avg", "min", "max", "count"};
    for (int i = 0; i < 5; ++i) {
      if (value == kNames[i]) {
        explicitAggregate_ = i;
        return;
      }
    }
    throw UsageError("--agg: '" + value + "' is none of sum, avg, min, max, count");
  }

  void Percent(const std::string& value) {
    if (value == "row")
      share_ = TShare::kRow;
    else if (value == "col")
      share_ = TShare::kColumn;
    else if (value == "total")
      share_ = TShare::kTotal;
    else
      throw UsageError("--percent: '" + value + "' is none of row, col, total");
  }

  // An option NAME=VALUE for the panel of column NAME, which is the current column while it runs.
  struct TPanelOption {
    const std::string& option;
    const std::string& name;
    const std::string& value;
    // The mistake why, naming the option, the column and the value.
    UsageError Bad(const std::string& why) const {
      return UsageError(option + ": " + why + " (column '" + name + "', value '" + value + "')");
    }
  };

  void Panel(const std::string& option, const std::string& name, const std::string& value) {
    Select(option, name);
    const TPanelOption o{option, name, value};
    if (option == "--pick")
      Pick(o);
    else if (option == "--search")
      Search(o);
    else if (option == "--range")
      Range(o);
    else if (option == "--div")
      Division(o);
    else if (option == "--dates" || option == "--times")
      Stamps(o, option == "--dates");
    else if (option == "--weekday")
      Weekday(o);
    else if (option == "--unit")
      Unit(o);
  }

  // --pick: adds the item to the item list's picks.
  void Pick(const TPanelOption& o) {
    const TItemPanelState& items = logic_.ItemPanel();
    if (!items.visible) throw o.Bad("the column has no item list");
    const auto it = std::find(items.items.begin(), items.items.end(), Utf8ToSjis(o.value));
    if (it == items.items.end()) throw o.Bad("no such item; items: " + Offered(items.items));
    std::vector<int> picked;
    for (size_t i = 0; i < items.picked.size(); ++i)
      if (items.picked[i]) picked.push_back(static_cast<int>(i));
    picked.push_back(static_cast<int>(it - items.items.begin()));
    std::sort(picked.begin(), picked.end());
    picked.erase(std::unique(picked.begin(), picked.end()), picked.end());
    logic_.ListBox3Click(picked);
  }

  // --search: the text search's OK with the pattern.
  void Search(const TPanelOption& o) {
    if (!logic_.SearchPanel().visible) throw o.Bad("the column has no text search");
    logic_.Button9Click(Utf8ToSjis(o.value));
  }

  // --range LO..HI: the bounds as typed into the value input dialog; an empty one stays.
  void Range(const TPanelOption& o) {
    if (!logic_.RangePanel().visible) throw o.Bad("the column has no value range");
    const auto [lo, hi] = SplitRange(o.option, o.value);
    double ignored;
    if ((!lo.empty() && !TryParseFloat(lo, &ignored)) ||
        (!hi.empty() && !TryParseFloat(hi, &ignored)))
      throw o.Bad("a bound is not a number");
    if (!lo.empty()) logic_.Label5Click(lo);
    if (!hi.empty()) logic_.Label6Click(hi);
  }

  // --div: the division choice offered under that text ("all" for 全て).
  void Division(const TPanelOption& o) {
    const TRangePanelState& range = logic_.RangePanel();
    if (!range.visible) throw o.Bad("the column has no division choice");
    const std::string entry = o.value == "all" ? Sjis("全て") : o.value;
    const auto it = std::find(range.divisions.begin(), range.divisions.end(), entry);
    if (it == range.divisions.end())
      throw o.Bad("not offered; choices: " + Offered(range.divisions));
    logic_.ComboBox2Change(static_cast<int>(it - range.divisions.begin()));
  }

  // --dates or --times LO..HI: the two date pickers or the two time pickers; an empty end stays.
  void Stamps(const TPanelOption& o, bool dates) {
    const TDatePanelState& date = logic_.DatePanel();
    const int first = dates ? 0 : 2;
    if (!date.visible || !date.pickers[first].visible)
      throw o.Bad(dates ? "the column has no dates" : "the column has no times of day");
    const auto [lo, hi] = SplitRange(o.option, o.value);
    double low = 0, high = 0;
    if ((!lo.empty() && !ParsePicker(lo, dates, &low)) ||
        (!hi.empty() && !ParsePicker(hi, dates, &high)))
      throw o.Bad(dates ? "expected YYYY/MM/DD..YYYY/MM/DD" : "expected HH:MM[:SS]..HH:MM[:SS]");
    if (dates) {
      // The date pickers allow only the column's days.
      const auto outside = [&](double day) {
        return (date.earliestDay != 0 && day < date.earliestDay) ||
               (date.latestDay != 0 && day > date.latestDay);
      };
      if ((!lo.empty() && outside(low)) || (!hi.empty() && outside(high)))
        throw o.Bad("the pickers offer " + SjisToUtf8(FormatDateTime(date.earliestDay)) + ".." +
                    SjisToUtf8(FormatDateTime(std::trunc(date.latestDay))));
    }
    const TDateControl lower = dates ? TDateControl::kLowerDate : TDateControl::kLowerTime;
    const TDateControl upper = dates ? TDateControl::kUpperDate : TDateControl::kUpperTime;
    if (!lo.empty()) logic_.DateTimePicker1Change(lower, low);
    if (!hi.empty()) logic_.DateTimePicker1Change(upper, high);
  }

  // --weekday: the weekday choice by its entry number 0..9 or its text.
  void Weekday(const TPanelOption& o) {
    const TDatePanelState& date = logic_.DatePanel();
    if (!date.visible || !date.weekdayVisible) throw o.Bad("the column has no weekday choice");
    const auto& choices = TMainLogic::WeekdayChoices();
    int index = -1;
    if (o.value.size() == 1 && o.value[0] >= '0' && o.value[0] <= '9') index = o.value[0] - '0';
    const auto it = std::find(choices.begin(), choices.end(), Utf8ToSjis(o.value));
    if (it != choices.end()) index = static_cast<int>(it - choices.begin());
    if (index < 0) throw o.Bad("choices: 0..9, " + Offered(choices));
    logic_.DateTimePicker1Change(TDateControl::kWeekday, index);
  }

  // --unit: the interval entry by its English name or its text.
  void Unit(const TPanelOption& o) {
    const TDatePanelState& date = logic_.DatePanel();
    if (!date.visible) throw o.Bad("the column has no date interval");
    static const char* const kUnits[][2] = {{"year", "年"},  {"month", "月"}, {"weekday", "曜日"},
                                            {"day", "日"},   {"hour", "時"},  {"minute", "分"},
                                            {"second", "秒"}};
    std::string entry = Utf8ToSjis(o.value);
    for (const auto& unit : kUnits)
      if (o.value == unit[0]) entry = Sjis(unit[1]);
    const auto it = std::find(date.intervals.begin(), date.intervals.end(), entry);
    if (it == date.intervals.end()) throw o.Bad("not offered; choices: " + Offered(date.intervals));
    logic_.RadioGroup1Click(static_cast<int>(it - date.intervals.begin()));
  }

  static std::pair<std::string, std::string> SplitRange(const std::string& option,
                                                        const std::string& value) {
    const size_t dots = value.find("..");
    if (dots == std::string::npos)
      throw UsageError(option + ": expected LO..HI, not '" + value + "'");
    return {value.substr(0, dots), value.substr(dots + 2)};
  }

  // A date picker's day (YYYY/MM/DD) or a time picker's time of day (HH:MM[:SS]).
  static bool ParsePicker(const std::string& text, bool date, double* value) {
    if (!TryParseDateTime(text, value)) return false;
    const bool hasDay = std::trunc(*value) != 0;
    const bool hasTime = *value != std::trunc(*value);
    if (date) return hasDay && !hasTime && text.find(':') == std::string::npos;
    return text.find(':') != std::string::npos && text.find('/') == std::string::npos;
  }

  std::string csvPath_;
  TMainLogic logic_;
  int explicitAggregate_ = -1;    // --agg given: it wins over the value toggle's switch to 合計
  TShare share_ = TShare::kNone;  // --percent
};

}  // namespace

std::string RunAnalysis(TAnalysis what, const std::vector<std::string>& args, bool countEveryStep) {
  if (args.empty() || args[0].rfind("--", 0) == 0) throw UsageError("name the CSV file first");
  std::string output;
  std::vector<std::pair<std::string, std::string>> options;
  std::vector<std::string> flags;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (IsFlag(a)) {
      options.emplace_back(a, "");
    } else if (a == "--output" || a == "--col" || a == "--row" || a == "--value" || a == "--agg" ||
               a == "--percent" || a == "--pick" || a == "--search" || a == "--range" ||
               a == "--div" || a == "--dates" || a == "--times" || a == "--weekday" ||
               a == "--unit") {
      if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
      if (a == "--output")
        output = args[++i];
      else
        options.emplace_back(a, args[++i]);
    } else {
      throw UsageError("unknown option '" + a + "'");
    }
  }
  if (!output.empty() && what != TAnalysis::kTab && what != TAnalysis::kList)
    throw UsageError("--output goes with tab and list");
  for (const auto& option : options) {
    if (option.first == "--percent" && what != TAnalysis::kTab)
      throw UsageError("--percent goes with tab");
    if ((option.first == "--separators" || option.first == "--sort-by-total") &&
        what != TAnalysis::kTab)
      throw UsageError(option.first + " goes with tab");
  }

  // Only the last run counts records.
  Session session(args[0]);
  session.CountRecords(countEveryStep);
  session.Open();
  for (const auto& [option, value] : options) {
    if (value.empty() && IsFlag(option))
      session.SetFlag(option);
    else
      session.Apply(option, value);
  }
  session.CountRecords(true);
  std::string text = session.Finish(what);
  if (output.empty()) return text;
  if (TMainLogic::IsWorkbookPath(output))
    session.Save(output);
  else
    WriteWholeFileAtomically(output, text);
  return {};
}

}  // namespace tabulon
