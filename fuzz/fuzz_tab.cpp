// A count tabulation over a store imported from a CSV made of the input, after a sequence of the
// main window's filter operations. The grand total of the count table must equal the number of
// records that pass every filter, counted by walking the filtered columns row by row, less the
// records that no axis bucket takes:
// - a null value of a date axis (the null marker has no date category), and of a numeric axis
//   divided into ranges while the column is unfiltered (key -1);
// - a null value of a numeric or date value column (the record pass takes no null value, also
//   under the count);
// - every record, when an axis is a per-row text column without a filter: such a column has no
//   item labels. A search with more than 2000 matches leaves the column so (its filter goes, its
//   role stays), and the table then counts nothing while the record list lists every record.
// The record list (一覧表示) must list the records the walk passes, and the data cells must add
// up to the grand total.
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
#include "platform/SjisText.h"
#include "text/HenkanJ.h"

using namespace tabulon;
using tabulon::fuzz::Input;

namespace {

std::string Format(const char* format, int a, int b = 0, int c = 0, int d = 0, int e = 0) {
  char buf[96];
  std::snprintf(buf, sizeof buf, format, a, b, c, d, e);
  return buf;
}

enum Kind { kInt, kCur, kDate, kTime, kText, kMixed, kKinds };

// One cell value of a kind, drawn from the input.
std::string PoolValue(Input& in, Kind kind) {
  switch (kind) {
    case kInt:
      return std::to_string(static_cast<int>(in.Below(200)) - 50) + (in.Byte() % 8 ? "" : "000");
    case kCur:
      return std::string(in.Byte() % 4 ? "" : "-") +
             Format("%d.%02d", static_cast<int>(in.Below(100)), static_cast<int>(in.Below(100)));
    case kDate: {
      std::string d = Format("%d/%d/%d", 2023 + in.Below(3), 1 + in.Below(12), 1 + in.Below(28));
      if (in.Byte() % 4 == 0) d += Format(" %d:%02d", in.Below(24), in.Below(60));
      return d;
    }
    case kTime:
      return in.Byte() % 2 ? Format("%d:%02d", in.Below(24), in.Below(60))
                           : Format("%d:%02d:%02d", in.Below(24), in.Below(60), in.Below(60));
    case kText: {
      static const char* const kTexts[] = {"a",        "A",    "b",   "B",      "\x93\x8c\x8b\x9e",
                                           "\x82\x60", "\xB1", "a b", "(null)", "x1"};
      return kTexts[in.Below(std::size(kTexts))];
    }
    default: {
      // Bytes that make any type: digits, signs, separators, hex and exponent marks, a full-width
      // digit.
      static const char* const kPieces[] = {"0", "1", "2", "9", ".", "-",        "/",
                                            ":", " ", "a", "E", "$", "\x82\x50", "F"};
      std::string s;
      const int n = 1 + in.Below(5);
      for (int i = 0; i < n; ++i) s += kPieces[in.Below(std::size(kPieces))];
      return s;
    }
  }
}

// A value of row r that differs from every other row's (per-row columns).
std::string RowValue(Kind kind, int r, int base) {
  switch (kind) {
    case kInt:
      return std::to_string(base + r * 3);
    case kCur:
      return Format("%d.%02d", base + r / 100, r % 100);
    case kDate:
      return Format("%d/%02d/%02d %d:%02d", 2000 + r / 336, 1 + (r / 28) % 12, 1 + r % 28,
                    (r + base) % 24, r % 60);
    case kTime:
      return Format("%d:%02d:%02d", (r / 3600 + base) % 24, r / 60 % 60, r % 60);
    default:
      return "t" + std::to_string(r + base);
  }
}

// Whether the import stores the cell as the null marker of its column's type: a blank cell
// (after normalisation), "(null)", or a cell that does not convert under the type the column
// widened to after it.
bool IsNullCell(const std::string& cell, TValueType type) {
  size_t b = 0, e = cell.size();
  while (b < e && static_cast<unsigned char>(cell[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(cell[e - 1]) <= 0x20) --e;
  const std::string text = cell.substr(b, e - b);
  if (text == "(null)") return true;
  const std::string n = ToHankaku(text);
  bool blank = true;
  for (char ch : n) blank = blank && static_cast<unsigned char>(ch) <= 0x20;
  if (blank) return true;
  int32_t i;
  int64_t c;
  double d;
  switch (type) {
    case vtInt:
      return !TryStrToInt(n, &i);
    case vtCur:
      return !TryStrToCur(n, &c);
    case vtDat:
      return !TryStrToDateTime(n, &d);
    case vtStr:
      break;
  }
  return false;
}

[[noreturn]] void Fail(const std::string& csv, const char* what, long got, long want) {
  std::fprintf(stderr, "%s: got %ld, want %ld\n--- csv ---\n%s\n", what, got, want, csv.c_str());
  std::abort();
}

// The picked entries of a list of n: a few indices from the input.
std::vector<int> Picks(Input& in, size_t n) {
  std::vector<int> picks;
  const int count = in.Below(4);
  for (int i = 0; i < count; ++i)
    picks.push_back(static_cast<int>(in.Below(static_cast<uint32_t>(n + 1))));
  return picks;
}

// A bound as the range handlers take it: the value times 10000, held within 64 bits.
int64_t Scaled(double value) {
  const double x = value * 10000;
  if (!(x > -9e18)) return static_cast<int64_t>(-9e18);
  if (x > 9e18) return static_cast<int64_t>(9e18);
  return static_cast<int64_t>(x);
}

void Operate(Input& in, TMainLogic& logic, const std::vector<std::vector<std::string>>& cells) {
  TWorkspace& ws = logic.Workspace();
  const int cols = static_cast<int>(ws.FCols.size());
  const int current = logic.SelectedColumn();
  TCol* col =
      current >= 0 && current < cols ? ws.FCols[static_cast<size_t>(current)].get() : nullptr;
  // A point of the column's range: one of nine steps from its minimum to its maximum.
  const auto point = [&]() {
    if (col == nullptr) return 0.0;
    return col->FMin + (col->FMax - col->FMin) * in.Below(9) / 8;
  };
  switch (in.Below(17)) {
    case 0:
    case 1:
      logic.ListBox2Click(static_cast<int>(in.Below(static_cast<uint32_t>(cols))));
      break;
    case 2:
      logic.ListBox3Click(Picks(in, logic.ItemPanel().items.size()));
      break;
    case 3:
      logic.SetLowerBound(Scaled(point()));
      break;
    case 4:
      logic.SetUpperBound(Scaled(point()));
      break;
    case 5:
      logic.ComboBox2Change(static_cast<int>(in.Below(
                                static_cast<uint32_t>(logic.RangePanel().divisions.size() + 1))) -
                            1);
      break;
    case 6: {
      const auto sender = static_cast<TDateControl>(in.Below(5));
      const double value =
          sender == TDateControl::kWeekday ? static_cast<double>(in.Below(11)) - 1 : point();
      logic.DateTimePicker1Change(sender, value);
      break;
    }
    case 7: {
      const auto& intervals = logic.DatePanel().intervals;
      const int index = static_cast<int>(in.Below(static_cast<uint32_t>(intervals.size() + 1)));
      // Seconds on a column with dates label every second of the day: 86400 columns, whose sort
      // takes seconds under the sanitizers.
      if (index < static_cast<int>(intervals.size()) && col != nullptr && col->HasDates() &&
          intervals[static_cast<size_t>(index)] == Sjis("秒"))
        break;
      logic.RadioGroup1Click(index);
      break;
    }
    case 8: {
      // A piece of one of the column's cells, or a text of the input.
      std::string pattern;
      if (current >= 0 && current < cols && !cells[static_cast<size_t>(current)].empty() &&
          in.Byte() % 4) {
        const auto& column = cells[static_cast<size_t>(current)];
        const std::string& cell = column[in.Below(static_cast<uint32_t>(column.size()))];
        const size_t from = in.Below(static_cast<uint32_t>(cell.size() + 1));
        pattern = cell.substr(from, in.Below(4));
      } else {
        pattern = std::string(in.Text(3));
      }
      logic.Button9Click(pattern);
      break;
    }
    case 9:
      logic.ListBox4Click(Picks(in, logic.SearchPanel().matches.size()));
      break;
    case 10:
      logic.Button3Click();
      break;
    case 11:
      logic.Button4Click();
      break;
    case 12:
      logic.Button5Click();
      break;
    case 13:
      logic.Button6Click();
      break;
    case 14: {
      const int button = static_cast<int>(in.Below(3));
      if (ws.roleVisible[button] && ws.roleEnabled[button]) logic.SpeedButton1Click(button);
      break;
    }
    case 15: {
      const TResultTable& grid = logic.MainGrid();
      logic.StringGrid1MouseDown(
          static_cast<int>(in.Below(static_cast<uint32_t>(grid.ColCount()))),
          static_cast<int>(in.Below(static_cast<uint32_t>(grid.RowCount()))));
      break;
    }
    default: {
      const int x = static_cast<int>(in.Below(362));
      switch (in.Below(4)) {
        case 0:
          logic.Panel2MouseDown(in.Byte() % 2 ? TMouseButton::kLeft : TMouseButton::kRight, x);
          break;
        case 1:
          logic.Splitter2Moved(x);
          break;
        case 2:
          logic.Splitter1Moved(x);
          break;
        default:
          logic.Panel4MouseDown(TMouseButton::kLeft, x % 144);
          break;
      }
      break;
    }
  }
}

// Puts role on column index when the window lets it.
void GiveRole(TMainLogic& logic, int index, int role) {
  logic.ListBox2Click(index);
  const TWorkspace& ws = logic.Workspace();
  if (ws.roleVisible[role] && ws.roleEnabled[role] && !ws.roleDown[role])
    logic.SpeedButton1Click(role);
}

long CellNumber(const TResultTable& grid, int c, int r) {
  const std::string cell = grid.Cell(c, r);
  char* end = nullptr;
  const long n = std::strtol(cell.c_str(), &end, 10);
  return end != cell.c_str() && *end == '\0' ? n : -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);

  // The CSV: up to four columns of a kind each, keyed or (with over 2000 rows) per-row.
  const bool large = in.Byte() % 16 == 15;
  const int rows = large ? 2001 + static_cast<int>(in.Below(64)) : static_cast<int>(in.Below(40));
  const int ncols = 1 + static_cast<int>(in.Below(4));
  std::vector<std::vector<std::string>> cells(static_cast<size_t>(ncols));
  for (auto& column : cells) {
    const Kind kind = static_cast<Kind>(in.Below(kKinds));
    const bool perRow = large && in.Byte() % 2;
    std::vector<std::string> pool(1 + in.Below(8));
    for (auto& v : pool) v = in.Byte() % 6 == 0 ? std::string() : PoolValue(in, kind);
    const int base = static_cast<int>(in.Below(100)) - 20;
    const int blankEvery = static_cast<int>(in.Below(8));
    const uint32_t step = 1 + in.Below(5);
    for (int r = 0; r < rows; ++r) {
      if (perRow)
        column.push_back(blankEvery && r % (blankEvery * 97) == 5 ? "" : RowValue(kind, r, base));
      else if (large)
        column.push_back(pool[(r * step + base + 20) % pool.size()]);
      else
        column.push_back(pool[in.Below(static_cast<uint32_t>(pool.size()))]);
    }
  }
  std::string csv;
  for (int c = 0; c < ncols; ++c) csv += (c ? ",c" : "c") + std::to_string(c);
  csv += "\r\n";
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < ncols; ++c)
      csv += (c ? "," : "") + cells[static_cast<size_t>(c)][static_cast<size_t>(r)];
    csv += "\r\n";
  }

  const std::string path = fuzz::FreshScratchDir() + "/data.csv";
  fuzz::WriteBytes(path, csv);
  TMainLogic logic;
  if (!fuzz::ImportAndOpen(path, logic)) return 0;
  TWorkspace& ws = logic.Workspace();
  // Lines of blank cells alone at the end of the file are no records.
  const auto blankLine = [&](int r) {
    for (const auto& column : cells) {
      std::string_view v = column[static_cast<size_t>(r)];
      while (!v.empty() && static_cast<unsigned char>(v.front()) <= 0x20) v.remove_prefix(1);
      while (!v.empty() && static_cast<unsigned char>(v.back()) <= 0x20) v.remove_suffix(1);
      if (!v.empty() && v != kNullText) return false;
    }
    return true;
  };
  int records = rows;
  while (records > 0 && blankLine(records - 1)) --records;
  if (ws.FRowCount != records) Fail(csv, "rows", ws.FRowCount, records);

  const int ops = static_cast<int>(in.Below(12));
  for (int i = 0; i < ops; ++i) {
    try {
      Operate(in, logic, cells);
    } catch (const TabulonError&) {
    }
  }

  // Roles, 件数 and the table.
  try {
    GiveRole(logic, static_cast<int>(in.Below(static_cast<uint32_t>(ncols))), 1);
    // Two axes of 2000 labels each would make a table of four million cells: one axis on large
    // data.
    if (in.Byte() % 2 && !large)
      GiveRole(logic, static_cast<int>(in.Below(static_cast<uint32_t>(ncols))), 0);
    if (in.Byte() % 4 == 0)
      GiveRole(logic, static_cast<int>(in.Below(static_cast<uint32_t>(ncols))), 2);
    logic.SpeedButton1Click(7);
  } catch (const TabulonError&) {
    return 0;
  }
  if (ws.aggregate != TAggregate::kCount || !ws.showTotals || ws.hideEmpty) return 0;
  const TResultTable& grid = *ws.FOutGrid;
  const int lastCol = grid.ColCount() - 1, lastRow = grid.RowCount() - 1;
  const long grand = CellNumber(grid, lastCol, lastRow);

  // The data cells add up to the grand total (after the sort moved them).
  long cellSum = 0;
  for (int r = 1; r < lastRow; ++r)
    for (int c = 1; c < lastCol; ++c) cellSum += CellNumber(grid, c, r);
  if (cellSum != grand) Fail(csv, "data cells against the grand total", cellSum, grand);

  // The walk over the filtered columns.
  std::vector<TCol*> filtered;
  for (auto& col : ws.FCols)
    if (col->FFiltered) filtered.push_back(col.get());
  long passing = 0, counted = 0;
  try {
    for (TCol* col : filtered) col->Load();
    for (int32_t r = 0; r < ws.FRowCount; ++r) {
      bool passes = true;
      for (TCol* col : filtered) passes = col->ReadRow(r) && passes;
      if (!passes) continue;
      ++passing;
      bool excluded = false;
      for (size_t c = 0; c < ws.FCols.size(); ++c) {
        const TCol& col = *ws.FCols[c];
        if ((col.FRole == 0 || col.FRole == 1) && col.FValueType == vtStr &&
            col.FStorage == csLon && !col.FFiltered)
          excluded = true;  // an axis without labels
        if (col.FRole == 3 || !IsNullCell(cells[c][static_cast<size_t>(r)], col.FValueType))
          continue;
        const bool numeric = col.FValueType == vtInt || col.FValueType == vtCur;
        const bool divided = col.FStorage == csLon || col.FCount != col.FDivisions;
        if (col.FRole == 2)
          excluded = excluded || col.FValueType != vtStr;
        else
          excluded = excluded || col.FValueType == vtDat || (numeric && divided && !col.FFiltered);
      }
      if (!excluded) ++counted;
    }
  } catch (const TabulonError&) {
    return 0;
  }
  if (grand != counted) Fail(csv, "grand total against the walk", grand, counted);

  logic.Button7Click();
  if (logic.Label2() != std::to_string(passing))
    Fail(csv, ("record list " + logic.Label2()).c_str(), passing, passing);
  return 0;
}
