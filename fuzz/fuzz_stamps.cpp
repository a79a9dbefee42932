// A column of date-and-time stamps filtered through the date panel and the drill-down, then
// counted by a text axis. The grand total of the count table, the record count and the record
// list must equal a count made from the stamps as they were written into the CSV: a record passes
// when its calendar day lies within the days of FLower and FUpper, its weekday in the weekday set
// and its time of day, to the millisecond, within FTimeLower .. FTimeUpper. A blank stamp passes
// no filter and falls into no category of a date axis.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "column/Values.h"
#include "engine/Engine.h"
#include "fuzz/FuzzUtil.h"
#include "import/unitProgress.h"
#include "mainlogic/MainLogic.h"
#include "platform/Errors.h"
#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"

using namespace tabulon;
using tabulon::fuzz::Input;

namespace {

// A stamp as written: its day (days since 1899-12-30) and time of day in milliseconds; blank
// when the cell is empty.
struct Stamp {
  bool blank = false;
  int64_t day = 0;
  int32_t ms = 0;
};

// Days since 1899-12-30 of a civil date, by the days-from-civil count of the proleptic Gregorian
// calendar (independent of the platform's date code).
int64_t DayNumber(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;  // 1970-01-01 is day 25569
}

void CivilOf(int64_t day, int* y, int* m, int* d) {
  const int64_t z = day - 25569 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

// The times of day real exports give trouble with, and any other.
int32_t TimeOfDay(Input& in) {
  static const int32_t kEdges[] = {0,        1,        60000,    32400000, 64799000,
                                   64799999, 64800000, 86399000, 86399999, 43200000};
  if (in.Byte() % 2) return kEdges[in.Below(std::size(kEdges))];
  int32_t ms = static_cast<int32_t>(in.Below(86400)) * 1000;
  if (in.Byte() % 4 == 0) ms += static_cast<int32_t>(in.Below(1000));
  return ms;
}

std::string CellText(const Stamp& s) {
  if (s.blank) return "";
  int y, m, d;
  CivilOf(s.day, &y, &m, &d);
  char buf[64];
  const int32_t t = s.ms;
  if (t % 1000)
    std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d.%03d", y, m, d, t / 3600000,
                  t / 60000 % 60, t / 1000 % 60, t % 1000);
  else
    std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d", y, m, d, t / 3600000, t / 60000 % 60,
                  t / 1000 % 60);
  return buf;
}

// Whether a stamp passes the column's filter, from the column's fields alone.
bool Passes(const TCol& col, const Stamp& s) {
  if (!col.FFiltered) return true;
  if (s.blank) return false;
  // The filter's days: whole days on a column with times, the picked day on one without.
  const auto dayOf = [](double bound) { return static_cast<int64_t>(bound); };  // toward zero
  if (s.day < dayOf(col.FLower) || s.day > dayOf(col.FUpper)) return false;
  const int weekday = static_cast<int>(((s.day + 6) % 7 + 7) % 7) + 1;  // 1 Sunday .. 7 Saturday
  const int f = col.FWeekdayFilter;
  const bool day = f == -1 || (f >= 0 && f <= 6 && weekday == f + 1) ||
                   (f == 7 && (weekday == 1 || weekday == 7)) ||
                   (f == 8 && weekday >= 2 && weekday <= 6) ||
                   (f == 9 && weekday >= 2 && weekday <= 5);
  if (!day) return false;
  const auto ms = [](double fraction) { return std::llround(fraction * 86400000.0); };
  return s.ms >= ms(col.FTimeLower) && s.ms <= ms(col.FTimeUpper);
}

[[noreturn]] void Fail(const std::string& csv, const TCol& col, const char* what, long got,
                       long want) {
  std::fprintf(stderr,
               "%s: got %ld, want %ld\nFLower %.12f FUpper %.12f FTimeLower %.12f FTimeUpper "
               "%.12f weekday %d unit %d\n--- csv ---\n%s\n",
               what, got, want, col.FLower, col.FUpper, col.FTimeLower, col.FTimeUpper,
               col.FWeekdayFilter, col.FDateUnit, csv.c_str());
  std::abort();
}

long CellNumber(const TResultTable& grid, int c, int r) {
  const std::string cell = grid.Cell(c, r);
  char* end = nullptr;
  const long n = std::strtol(cell.c_str(), &end, 10);
  return end != cell.c_str() && *end == '\0' ? n : -1;
}

// One user action on the stamp column (column 0), which is the current column.
void Operate(Input& in, TMainLogic& logic) {
  logic.ListBox2Click(0);
  const TDatePanelState& panel = logic.DatePanel();
  const TCol& col = *logic.Workspace().FCols[0];
  switch (in.Below(10)) {
    case 0:
    case 1: {  // a day the pickers allow, or one just beside
      const double day = std::trunc(col.FMin) + static_cast<double>(in.Below(50)) - 4;
      logic.DateTimePicker1Change(
          in.Byte() % 2 ? TDateControl::kLowerDate : TDateControl::kUpperDate, day);
      break;
    }
    case 2:
    case 3: {
      const double time = static_cast<double>(TimeOfDay(in) / 1000) / 86400.0;
      logic.DateTimePicker1Change(
          in.Byte() % 2 ? TDateControl::kLowerTime : TDateControl::kUpperTime, time);
      break;
    }
    case 4:
      logic.DateTimePicker1Change(TDateControl::kWeekday, static_cast<double>(in.Below(11)) - 1);
      break;
    case 5:
      logic.Button6Click();
      break;
    case 6: {
      const auto& list = panel.intervals;
      const int index = static_cast<int>(in.Below(static_cast<uint32_t>(list.size() + 1)));
      // Seconds over whole days make 86400 labels: too slow under the sanitizers.
      if (index < static_cast<int>(list.size()) && list[static_cast<size_t>(index)] == Sjis("秒"))
        break;
      logic.RadioGroup1Click(index);
      break;
    }
    case 7:
    case 8: {  // the column as column items, then a click on one of its headings
      const TWorkspace& ws = logic.Workspace();
      if (!ws.roleDown[0] && ws.roleVisible[0] && ws.roleEnabled[0]) logic.SpeedButton1Click(0);
      const TResultTable& grid = logic.MainGrid();
      if (grid.ColCount() < 2) break;
      logic.StringGrid1MouseDown(
          1 + static_cast<int>(in.Below(static_cast<uint32_t>(grid.ColCount() - 1))), 0);
      break;
    }
    default:
      logic.ListBox2Click(1);  // away and back: a refresh must not move the filter
      logic.ListBox2Click(0);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);

  // Stamps around a first day: before 1899-12-30 (negative serials), in 2024, or at a year's end.
  static const int64_t kFirstDays[] = {DayNumber(1899, 12, 20), DayNumber(2024, 2, 27),
                                       DayNumber(2024, 12, 30)};
  const int64_t first = kFirstDays[in.Below(std::size(kFirstDays))];
  const bool perRow = in.Byte() % 8 == 7;  // over 2000 distinct stamps: stored per row
  const int rows =
      perRow ? 2001 + static_cast<int>(in.Below(40)) : 1 + static_cast<int>(in.Below(40));
  std::vector<Stamp> pool(1 + in.Below(12));
  for (Stamp& s : pool) {
    s.blank = in.Byte() % 8 == 0;
    s.day = first + in.Below(40);
    s.ms = TimeOfDay(in);
  }
  std::vector<Stamp> stamps;
  std::string csv = "t,s\r\n";
  for (int r = 0; r < rows; ++r) {
    Stamp s;
    if (perRow) {
      s.day = first + r / 60;
      s.ms = static_cast<int32_t>((r * 7919) % 86400) * 1000 + (r % 3 == 0 ? 999 : 0);
    } else {
      s = pool[in.Below(static_cast<uint32_t>(pool.size()))];
    }
    stamps.push_back(s);
    csv += CellText(s) + "," + static_cast<char>('a' + r % 3) + "\r\n";
  }

  const std::string path = fuzz::FreshScratchDir() + "/data.csv";
  fuzz::WriteBytes(path, csv);
  TMainLogic logic;
  if (!fuzz::ImportAndOpen(path, logic)) return 0;
  TWorkspace& ws = logic.Workspace();
  if (ws.FCols.size() != 2 || ws.FCols[0]->FValueType != vtDat) {
    bool allBlank = true;
    for (const Stamp& s : stamps) allBlank = allBlank && s.blank;
    if (!allBlank) Fail(csv, *ws.FCols[0], "the stamps are not a date column", 0, 1);
    return 0;
  }
  TCol& col = *ws.FCols[0];

  const int ops = static_cast<int>(in.Below(10));
  for (int i = 0; i < ops; ++i) {
    try {
      Operate(in, logic);
    } catch (const TabulonError&) {
    }
  }

  // The text column as row items, counted.
  try {
    logic.ListBox2Click(1);
    if (!ws.roleDown[1]) logic.SpeedButton1Click(1);
    logic.SpeedButton1Click(7);
  } catch (const TabulonError&) {
    return 0;
  }
  if (ws.aggregate != TAggregate::kCount || !ws.showTotals || ws.hideEmpty) return 0;

  long passing = 0, counted = 0;
  const bool dateAxis = col.FRole == 0 || col.FRole == 1;
  for (const Stamp& s : stamps) {
    if (!Passes(col, s)) continue;
    ++passing;
    if (!(dateAxis && s.blank)) ++counted;
  }
  const TResultTable& grid = *ws.FOutGrid;
  const long grand = CellNumber(grid, grid.ColCount() - 1, grid.RowCount() - 1);
  if (grand != counted) Fail(csv, col, "grand total against the stamps", grand, counted);

  logic.Button7Click();
  if (logic.Label2() != std::to_string(passing))
    Fail(csv, col, ("record list " + logic.Label2()).c_str(), passing, passing);
  return 0;
}
