// Pieces of one run of CrossTabulate shared by the engine's files. Not part of the engine's
// interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "column/TCol.h"
#include "engine/ResultTable.h"
#include "engine/Workspace.h"

namespace tabulon::engine_detail {

// How an accepted record's value changes its cell.
enum class TFold {
  kNone,       // counts only (no value column, or "件数")
  kSum,        // value += v
  kScaledSum,  // currency summed exactly: scaled += the stored integer (the record pass's own)
  kMin,        // value := v when it is the cell's first record or v < value
  kMax,        // value := v when it is the cell's first record or v > value
  kLast,       // value := v; the cell remembers the record (dates under "合計")
  kTextMin,    // the data cell's text: the smallest text by character codes
  kTextMax,    // the largest text by character codes
  kTextFirst,  // the first record's text, then the record count ("合計", "平均")
};

// What one run tabulates, decided before the record pass.
struct TRunPlan {
  int colAxis = -1;        // the column whose role is column items, or -1
  int rowAxis = -1;        // the column whose role is row items, or -1
  int valueCol = -1;       // the column whose role is value, or -1
  int nc = 1;              // data columns: column labels, or 1 without a column axis
  int nr = 1;              // data rows: row labels, or 1 without a row axis
  bool timeOfDay = false;  // the value column holds times of day (summed as durations)
  TFold fold = TFold::kNone;
};

// The accumulator grid: (nc + 1) x (nr + 1) cells, the last column and row holding the totals.
struct TAccumulators {
  static constexpr int kSpareCells = 4;  // after the grid, for the record pass (a power of two)
  int nc = 1, nr = 1;
  std::vector<int32_t> count;
  std::vector<double> value;
  // During a record pass that sums currency exactly, per cell the sum of the stored integers
  // (value times 10000), added modulo 2^64; empty otherwise.
  std::vector<uint64_t> scaled;
  void Reset(int dataCols, int dataRows);
  int Index(int c, int r) const { return c + r * (nc + 1); }
};

// The item labels of an axis column, in key order. Raises FDivisions to 2 where a numeric column
// is divided into fewer ranges. Throws IoError when the distinct-value file cannot be read.
std::vector<std::string> AxisLabels(TCol& col);

// The record pass: every record that passes all participating columns (a role other than kRoleNone,
// or FFiltered) and falls on the axes is counted into acc and folded by plan.fold. The text folds
// write the data cells of table. REQUIRES: every column loaded.
void RecordPass(TWorkspace& ws, const TRunPlan& plan, TAccumulators& acc, TResultTable* table);

// What follows the record pass: totals, cell texts, widths, hidden totals, sort, chart and hidden
// empty rows and columns.
void FinishTable(TWorkspace& ws, const TRunPlan& plan, TAccumulators& acc, TResultTable& table);

// 合計の大きい順: orders the data rows and columns of ws.FOutGrid by their totals (one per data
// row / column, in table order), largest first, equal totals by text, "(null)" last.
void SortByTotals(TWorkspace& ws, const std::vector<double>& rowTotals,
                  const std::vector<double>& colTotals);

// 3桁区切り: a plain number text ("-1234567.5") with its whole digits grouped by threes
// ("-1,234,567.5"); any other text as it is.
std::string GroupedNumber(const std::string& text);

// Texts of values.
std::string CurrencyText(double value);  // nearest 0.0001, ties to even, general form
std::string TruncatedIntText(double value);
std::string TimeText(double value);      // H:mm:ss of the time of day
std::string DurationText(double value);  // "d+H:mm:ss" from one day on, else the time text
std::string DateTimeText(double value);  // empty unless 0 < value < the date null marker

// True when text holds only spaces and control characters.
bool IsBlank(const std::string& text);

}  // namespace tabulon::engine_detail
