// Line texts, the sort of the result and its export.
#include <algorithm>

#include "engine/Engine.h"
#include "engine/EngineInternal.h"
#include "platform/FileIo.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

bool NeedsQuotes(const std::string& cell) {
  for (char ch : cell) {
    const unsigned char b = static_cast<unsigned char>(ch);
    if (b <= ' ' || ch == '"' || ch == ',') return true;
  }
  return false;
}

void AppendCell(std::string* line, const std::string& cell) {
  if (!NeedsQuotes(cell)) {
    *line += cell;
    return;
  }
  *line += '"';
  for (char ch : cell) {
    if (ch == '"') *line += '"';
    *line += ch;
  }
  *line += '"';
}

// cell(i) for i in 0..n-1 joined into one line text.
template <typename CellOf>
std::string LineText(int n, CellOf cell) {
  // A lone empty cell is written as a quoted empty text, so that the line is not blank.
  if (n == 1 && cell(0).empty()) return "\"\"";
  std::string line;
  for (int i = 0; i < n; ++i) {
    if (i > 0) line += ',';
    AppendCell(&line, cell(i));
  }
  return line;
}

bool IsSpaceOrControl(char ch) {
  return static_cast<unsigned char>(ch) <= ' ';
}

// The items of a line text: split at commas outside quotes, quotes removed, blanks and control
// characters around the items skipped, an empty last item dropped.
std::vector<std::string> SplitLineText(const std::string& text) {
  std::vector<std::string> items;
  size_t p = 0;
  const size_t n = text.size();
  while (p < n && IsSpaceOrControl(text[p])) ++p;
  while (p < n) {
    std::string item;
    if (text[p] == '"') {
      ++p;
      while (p < n) {
        if (text[p] == '"') {
          if (p + 1 < n && text[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text[p++];
      }
    } else {
      while (p < n && !IsSpaceOrControl(text[p]) && text[p] != ',') item += text[p++];
    }
    items.push_back(std::move(item));
    while (p < n && IsSpaceOrControl(text[p])) ++p;
    if (p < n && text[p] == ',') {
      ++p;
      while (p < n && IsSpaceOrControl(text[p])) ++p;
    }
  }
  return items;
}

// Empties every cell, then gives cell i item i; an empty item leaves a single space.
template <typename SetCellOf>
void SetLineText(int n, const std::string& text, SetCellOf set) {
  for (int i = 0; i < n; ++i) set(i, std::string());
  const std::vector<std::string> items = SplitLineText(text);
  for (int i = 0; i < n && i < static_cast<int>(items.size()); ++i)
    set(i,
        items[static_cast<size_t>(i)].empty() ? std::string(" ") : items[static_cast<size_t>(i)]);
}

// The weekday (0 Sunday .. 6 Saturday) whose label begins a line text of a weekday axis,
// 7 for any other line.
int WeekdayOfLine(const std::string& line) {
  static const std::string days = Sjis("日月火水木金土");
  if (line.size() < 2 || (line.size() > 2 && line[2] != ',')) return 7;
  for (int d = 0; d < 7; ++d)
    if (line.compare(0, 2, days, static_cast<size_t>(d) * 2, 2) == 0) return d;
  return 7;
}

bool IsNullLine(const std::string& line) {
  return line.compare(0, 6, "(null)") == 0;
}

// The order of line texts 1..last (as positions into lines): case-insensitive in the locale,
// "(null)" lines last in their order. On a weekday axis the weekdays come first, Sunday to
// Saturday.
std::vector<size_t> SortedOrder(const std::vector<std::string>& lines, bool weekdays) {
  std::vector<size_t> nulls, others;
  for (size_t i = 0; i < lines.size(); ++i) (IsNullLine(lines[i]) ? nulls : others).push_back(i);
  std::vector<std::string> keys(lines.size());  // CompareKey of each line to be sorted
  for (size_t i : others) {
    keys[i] = CompareKey(lines[i]);
    if (weekdays) keys[i].insert(keys[i].begin(), static_cast<char>('0' + WeekdayOfLine(lines[i])));
  }
  std::stable_sort(others.begin(), others.end(),
                   [&](size_t a, size_t b) { return keys[a] < keys[b]; });
  others.insert(others.end(), nulls.begin(), nulls.end());
  return others;
}

// The order by totals: largest first, equal totals in text order, "(null)" lines last.
std::vector<size_t> TotalOrder(const std::vector<std::string>& lines,
                               const std::vector<double>& totals) {
  std::vector<size_t> nulls, others;
  for (size_t i = 0; i < lines.size(); ++i) (IsNullLine(lines[i]) ? nulls : others).push_back(i);
  std::vector<std::string> keys(lines.size());
  for (size_t i : others) keys[i] = CompareKey(lines[i]);
  const auto total = [&](size_t i) { return i < totals.size() ? totals[i] : 0.0; };
  std::stable_sort(others.begin(), others.end(), [&](size_t a, size_t b) {
    if (total(a) != total(b)) return total(a) > total(b);
    return keys[a] < keys[b];
  });
  others.insert(others.end(), nulls.begin(), nulls.end());
  return others;
}

// Whether the column holding role (kRoleColumnItems or kRoleRowItems) is a weekday axis.
bool WeekdayAxis(const TWorkspace& ws, uint8_t role) {
  for (const auto& col : ws.FCols)
    if (col->FRole == role) return col->FValueType == vtDat && col->FDateUnit == kDateUnitWeekday;
  return false;
}

// Orders rows 1 .. last and columns 1 .. last of FOutGrid (a total line shown stays last), by
// text or, given totals (one per data row / column in table order), by total.
void OrderTable(TWorkspace& ws, const std::vector<double>* rowTotals,
                const std::vector<double>* colTotals) {
  if (!ws.FOutGrid) return;
  TResultTable& table = *ws.FOutGrid;
  const int totalShown = ws.showTotals ? 1 : 0;

  // Rows 1 .. last, the total row excepted.
  const int lastRow = table.RowCount() - 1 - totalShown;
  if (lastRow >= 2) {
    std::vector<std::string> lines;
    for (int r = 1; r <= lastRow; ++r) lines.push_back(RowLineText(table, r));
    const std::vector<size_t> order = rowTotals
                                          ? TotalOrder(lines, *rowTotals)
                                          : SortedOrder(lines, WeekdayAxis(ws, kRoleRowItems));
    for (int r = 1; r <= lastRow; ++r)
      SetRowLineText(table, r, lines[order[static_cast<size_t>(r - 1)]]);
  }
  // Columns 1 .. last, the total column excepted.
  const int lastCol = table.ColCount() - 1 - totalShown;
  if (lastCol >= 2) {
    // A column's width goes with its texts, so a fitted label is not cut where it lands.
    std::vector<std::string> lines;
    std::vector<int> widths;
    for (int c = 1; c <= lastCol; ++c) {
      lines.push_back(ColLineText(table, c));
      widths.push_back(table.ColWidth(c));
    }
    const std::vector<size_t> order = colTotals
                                          ? TotalOrder(lines, *colTotals)
                                          : SortedOrder(lines, WeekdayAxis(ws, kRoleColumnItems));
    for (int c = 1; c <= lastCol; ++c) {
      const size_t from = order[static_cast<size_t>(c - 1)];
      SetColLineText(table, c, lines[from]);
      table.SetColWidth(c, widths[from]);
    }
  }
}

}  // namespace

std::string RowLineText(const TResultTable& table, int row) {
  return LineText(table.ColCount(), [&](int c) { return table.Cell(c, row); });
}

std::string ColLineText(const TResultTable& table, int col) {
  return LineText(table.RowCount(), [&](int r) { return table.Cell(col, r); });
}

void SetRowLineText(TResultTable& table, int row, const std::string& text) {
  SetLineText(table.ColCount(), text,
              [&](int c, const std::string& cell) { table.SetCell(c, row, cell); });
}

void SetColLineText(TResultTable& table, int col, const std::string& text) {
  SetLineText(table.RowCount(), text,
              [&](int r, const std::string& cell) { table.SetCell(col, r, cell); });
}

void SpeedButton11Click(TWorkspace& ws) {
  if (!ws.sort || ws.sortByTotal) return;
  OrderTable(ws, nullptr, nullptr);
}

void engine_detail::SortByTotals(TWorkspace& ws, const std::vector<double>& rowTotals,
                                 const std::vector<double>& colTotals) {
  OrderTable(ws, &rowTotals, &colTotals);
}

std::string TableText(const TResultTable& table) {
  std::string text;
  for (int r = 0; r < table.RowCount(); ++r) {
    text += RowLineText(table, r);
    text += "\r\n";
  }
  return text;
}

void SaveTable(const TResultTable& table, const std::string& path) {
  // A failed save leaves the old file whole.
  WriteFileAtomically(path, [&](OutFile& file) {
    for (int r = 0; r < table.RowCount(); ++r) file.WriteLine(RowLineText(table, r));
  });
}

}  // namespace tabulon
