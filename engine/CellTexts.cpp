// Totals, cell texts, column widths, hidden totals and hidden empty rows and columns.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/Engine.h"
#include "engine/EngineInternal.h"
#include "platform/LocaleFormats.h"

namespace tabulon::engine_detail {
namespace {

constexpr int64_t kMsPerDay = 86400000;

// Fills the total cell from the cells cell(0) .. cell(parts - 1).
template <typename CellOf>
void Total(TAccumulators& acc, TFold fold, size_t total, int parts, CellOf cell) {
  int32_t count = 0;
  double value = 0;
  bool any = false;
  for (int i = 0; i < parts; ++i) {
    const size_t k = cell(i);
    count += acc.count[k];
    if (fold == TFold::kMin || fold == TFold::kMax) {
      if (acc.count[k] < 1) continue;
      const double v = acc.value[k];
      if (!any || (fold == TFold::kMin ? v < value : v > value)) value = v;
      any = true;
    } else {
      // Sums, also of the "last dates" a date value keeps under 合計, as the totals are defined.
      value += acc.value[k];
    }
  }
  acc.count[total] = count;
  acc.value[total] = value;
}

void Totals(TAccumulators& acc, TFold fold) {
  const int nc = acc.nc, nr = acc.nr;
  for (int r = 0; r < nr; ++r)
    Total(acc, fold, static_cast<size_t>(acc.Index(nc, r)), nc,
          [&](int c) { return static_cast<size_t>(acc.Index(c, r)); });
  for (int c = 0; c <= nc; ++c)
    Total(acc, fold, static_cast<size_t>(acc.Index(c, nr)), nr,
          [&](int r) { return static_cast<size_t>(acc.Index(c, r)); });
}

std::string ValueText(const TCol& col, const TRunPlan& plan, TAggregate aggregate,
                      const TAccumulators& acc, size_t k) {
  const double value = acc.value[k];
  const bool average = aggregate == TAggregate::kAverage;
  const double v = average ? value / acc.count[k] : value;
  switch (col.FValueType) {
    case vtInt:
      return average ? CurrencyText(v) : TruncatedIntText(v);
    case vtCur:
      return CurrencyText(v);
    case vtDat:
      return plan.timeOfDay ? DurationText(v) : DateTimeText(v);
    case vtStr:
      break;
  }
  return std::string();
}

// Widens data and total column c + 1 to its widest text, up to half the grid.
void FitColumn(TResultTable& table, const TAccumulators& acc, int c) {
  int width = table.ColWidth(c + 1);
  for (int r = 1; r <= acc.nr + 1; ++r)
    width = std::max(width, table.TextWidth(table.Cell(c + 1, r)));
  table.SetColWidth(c + 1, std::min(width + 2, table.Width() / 2));
}

// Counts are fitted like values: a column as wide as its heading would cut a count of many
// records (the grand total of a large file at least), and a cut number reads as another.
void CountTexts(const TAccumulators& acc, bool hideEmpty, TResultTable& table) {
  for (int c = 0; c <= acc.nc; ++c) {
    for (int r = 0; r <= acc.nr; ++r) {
      const int32_t n = acc.count[static_cast<size_t>(acc.Index(c, r))];
      table.SetCell(c + 1, r + 1, n == 0 && hideEmpty ? std::string() : std::to_string(n));
    }
    FitColumn(table, acc, c);
  }
}

// A share of a whole as shown: one decimal and "%"; "-" for a share of a zero whole, which has
// none (a row of no records, or sums that cancel out).
std::string ShareText(double part, double whole) {
  if (whole == 0) return "-";
  double percent = part / whole * 100;
  if (std::fabs(percent) < 0.05) percent = 0;  // no "-0.0%"
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.1f%%", percent);
  return buf;
}

// 構成比 in place of the values, each cell and total against its row's total, its column's total
// or the grand total; the totals are those of every row and column, also while they are hidden.
// Cells the values would leave blank (no records under 合計; no records under 件数 with ０非表示)
// stay blank.
void ShareTexts(const TWorkspace& ws, const TRunPlan& plan, const TAccumulators& acc,
                TResultTable& table) {
  const bool counts = ws.aggregate == TAggregate::kCount || plan.valueCol < 0;
  const auto amount = [&](size_t k) {
    return counts ? static_cast<double>(acc.count[k]) : acc.value[k];
  };
  for (int c = 0; c <= acc.nc; ++c) {
    for (int r = 0; r <= acc.nr; ++r) {
      const size_t k = static_cast<size_t>(acc.Index(c, r));
      const bool blank = counts ? acc.count[k] == 0 && ws.hideEmpty : acc.count[k] <= 0;
      if (blank) {
        table.SetCell(c + 1, r + 1, std::string());
        continue;
      }
      const int wc = ws.share == TShare::kColumn ? c : acc.nc;
      const int wr = ws.share == TShare::kRow ? r : acc.nr;
      table.SetCell(c + 1, r + 1,
                    ShareText(amount(k), amount(static_cast<size_t>(acc.Index(wc, wr)))));
    }
    FitColumn(table, acc, c);
  }
}

void ValueTexts(const TWorkspace& ws, const TRunPlan& plan, const TAccumulators& acc,
                TResultTable& table) {
  const TCol& col = *ws.FCols[static_cast<size_t>(plan.valueCol)];
  const bool textChosen = plan.fold == TFold::kTextMin || plan.fold == TFold::kTextMax;
  for (int c = 0; c <= acc.nc; ++c) {
    for (int r = 0; r <= acc.nr; ++r) {
      const size_t k = static_cast<size_t>(acc.Index(c, r));
      const int32_t n = acc.count[k];
      if (n <= 0) continue;
      if (col.FValueType != vtStr) {
        table.SetCell(c + 1, r + 1, ValueText(col, plan, ws.aggregate, acc, k));
      } else {
        // The record pass wrote the data cells; totals and counted cells show record counts.
        const bool dataCell = c < acc.nc && r < acc.nr;
        if (n >= 2) {
          if (!(dataCell && textChosen)) table.SetCell(c + 1, r + 1, std::to_string(n));
        } else if (table.Cell(c + 1, r + 1).empty()) {
          table.SetCell(c + 1, r + 1, "1");
        }
      }
    }
    FitColumn(table, acc, c);
  }
}

void DeleteCol(TResultTable& table, int col) {
  const int cols = table.ColCount(), rows = table.RowCount();
  for (int c = col; c + 1 < cols; ++c) {
    for (int r = 0; r < rows; ++r) table.SetCell(c, r, table.Cell(c + 1, r));
    table.SetColWidth(c, table.ColWidth(c + 1));
  }
  table.SetColCount(cols - 1);
}

void DeleteRow(TResultTable& table, int row) {
  const int cols = table.ColCount(), rows = table.RowCount();
  for (int r = row; r + 1 < rows; ++r)
    for (int c = 0; c < cols; ++c) table.SetCell(c, r, table.Cell(c, r + 1));
  table.SetRowCount(rows - 1);
}

void HideEmpty(TResultTable& table) {
  for (int c = table.ColCount() - 1; c >= 1; --c) {
    bool empty = true;
    for (int r = 1; r < table.RowCount() && empty; ++r) empty = IsBlank(table.Cell(c, r));
    if (empty) DeleteCol(table, c);
  }
  for (int r = table.RowCount() - 1; r >= 1; --r) {
    bool empty = true;
    for (int c = 1; c < table.ColCount() && empty; ++c) empty = IsBlank(table.Cell(c, r));
    if (empty) DeleteRow(table, r);
  }
}

// 3桁区切り over the numbers the engine wrote: counts, integer and currency values and the
// counts of text values; never the texts a text value shows in its data cells, nor dates, times
// and shares (which are no plain numbers).
void GroupNumbers(const TWorkspace& ws, const TRunPlan& plan, TAccumulators& acc,
                  TResultTable& table) {
  const bool counts = ws.aggregate == TAggregate::kCount || plan.valueCol < 0;
  const bool textCells =
      !counts && ws.FCols[static_cast<size_t>(plan.valueCol)]->FValueType == vtStr;
  for (int c = 0; c <= acc.nc; ++c) {
    for (int r = 0; r <= acc.nr; ++r) {
      if (textCells && c < acc.nc && r < acc.nr) continue;
      const std::string& cell = table.Cell(c + 1, r + 1);
      const std::string grouped = GroupedNumber(cell);
      if (grouped != cell) table.SetCell(c + 1, r + 1, grouped);
    }
    FitColumn(table, acc, c);
  }
}

// What a row's or column's total cell amounts to, for 合計の大きい順: the count under 件数 and
// for text values, the total's value otherwise (the mean under 平均); a total of no records
// comes after every other.
double TotalAmount(const TWorkspace& ws, const TRunPlan& plan, const TAccumulators& acc, size_t k) {
  const bool counts = ws.aggregate == TAggregate::kCount || plan.valueCol < 0 ||
                      ws.FCols[static_cast<size_t>(plan.valueCol)]->FValueType == vtStr;
  if (counts) return acc.count[k];
  if (acc.count[k] <= 0) return -HUGE_VAL;
  if (ws.aggregate == TAggregate::kAverage) return acc.value[k] / acc.count[k];
  return acc.value[k];
}

}  // namespace

std::string GroupedNumber(const std::string& text) {
  size_t p = 0;
  const size_t n = text.size();
  if (p < n && text[p] == '-') ++p;
  const size_t digits = p;
  while (p < n && text[p] >= '0' && text[p] <= '9') ++p;
  const size_t whole = p - digits;
  if (whole == 0) return text;
  if (p < n && text[p] == '.') {
    size_t q = p + 1;
    while (q < n && text[q] >= '0' && text[q] <= '9') ++q;
    if (q == p + 1 || q != n) return text;
  } else if (p != n) {
    return text;
  }
  if (whole <= 3) return text;
  std::string out = text.substr(0, digits);
  for (size_t i = 0; i < whole; ++i) {
    if (i > 0 && (whole - i) % 3 == 0) out += ',';
    out += text[digits + i];
  }
  out += text.substr(p);
  return out;
}

void FinishTable(TWorkspace& ws, const TRunPlan& plan, TAccumulators& acc, TResultTable& table) {
  Totals(acc, plan.fold);
  if (ws.share != TShare::kNone && ShareAvailable(ws))
    ShareTexts(ws, plan, acc, table);
  else if (ws.aggregate == TAggregate::kCount || plan.valueCol < 0)
    CountTexts(acc, ws.hideEmpty, table);
  else
    ValueTexts(ws, plan, acc, table);
  if (ws.separators) GroupNumbers(ws, plan, acc, table);
  if (!ws.showTotals) {
    table.SetColCount(table.ColCount() - 1);
    table.SetRowCount(table.RowCount() - 1);
  }
  if (ws.sortByTotal) {
    std::vector<double> rowTotals, colTotals;
    for (int r = 0; r < acc.nr; ++r)
      rowTotals.push_back(TotalAmount(ws, plan, acc, static_cast<size_t>(acc.Index(acc.nc, r))));
    for (int c = 0; c < acc.nc; ++c)
      colTotals.push_back(TotalAmount(ws, plan, acc, static_cast<size_t>(acc.Index(c, acc.nr))));
    SortByTotals(ws, rowTotals, colTotals);
  } else {
    SpeedButton11Click(ws);
  }
  if (ws.hooks->ChartShowing()) ws.hooks->BuildChart(table);
  if (ws.hideEmpty) HideEmpty(table);
}

bool IsBlank(const std::string& text) {
  for (char ch : text)
    if (static_cast<unsigned char>(ch) > ' ') return false;
  return true;
}

std::string CurrencyText(double value) {
  // Beyond the currency range the text is unguarded; clamping keeps the conversion defined.
  double scaled = std::nearbyint(value * kCurScale);
  if (!(scaled > -9.2233720368547e18)) scaled = -9.2233720368547e18;
  if (scaled > 9.2233720368547e18) scaled = 9.2233720368547e18;
  return CurToText(static_cast<int64_t>(scaled));
}

std::string TruncatedIntText(double value) {
  double t = std::trunc(value);
  if (!(t > -9.2233720368547e18)) t = -9.2233720368547e18;
  if (t > 9.2233720368547e18) t = 9.2233720368547e18;
  return std::to_string(static_cast<int64_t>(t));
}

namespace {
std::string ClockText(int64_t msOfDay) {
  const int64_t s = msOfDay / 1000;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d:%02d:%02d", static_cast<int>(s / 3600),
                static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
  return buf;
}
}  // namespace

std::string TimeText(double value) {
  int64_t ms = std::llround(value * kMsPerDay) % kMsPerDay;
  if (ms < 0) ms += kMsPerDay;
  return ClockText(ms);
}

std::string DurationText(double value) {
  const int64_t ms = std::llround(value * kMsPerDay);
  if (ms < kMsPerDay) return TimeText(value);
  return std::to_string(ms / kMsPerDay) + "+" + ClockText(ms % kMsPerDay);
}

std::string DateTimeText(double value) {
  if (!(value > 0 && value < DateNull())) return std::string();
  return FormatDateTime(value);
}

}  // namespace tabulon::engine_detail

namespace tabulon {

bool ShareAvailable(const TWorkspace& ws) {
  if (ws.aggregate == TAggregate::kCount) return true;
  if (ws.aggregate != TAggregate::kSum) return false;
  for (const auto& col : ws.FCols)
    if (col->FRole == kRoleValue) return col->FValueType == vtInt || col->FValueType == vtCur;
  return true;  // no value column: the cells count records
}

}  // namespace tabulon
