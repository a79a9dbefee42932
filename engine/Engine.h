// The cross tabulation and the commands around it: roles, aggregates, display toggles, sort and
// export. Every function works on a TWorkspace whose hooks are set.
#pragma once

#include <string>

#include "engine/Workspace.h"

namespace tabulon {

// After every change of a filter: CrossTabulate when some column has a role; otherwise clears the
// result (Button13Click) and leaves the number of records that pass every filter in
// recordCountText. REQUIRES: ws.hooks set; the columns opened. Throws IoError when a filtered
// column's files cannot be read (recordCountText is then left as it was).
void Recalculate(TWorkspace& ws);

// Computes the result table into the grid the hooks choose (remembered as FOutGrid): labels,
// record pass, totals, cell texts, widths, hidden totals, sort, chart, hidden empty rows and
// columns. REQUIRES: ws.hooks set; the columns opened. Throws IoError when a column's files
// cannot be read; the grid may then hold part of a table, and the next call computes it whole.
void CrossTabulate(TWorkspace& ws);

// Whether 構成比 can be shown: the cells and totals are sums, that is counts (件数, or no value
// column) or 合計 of an integer or currency value column. Elsewhere (平均, 最小, 最大, 合計 of
// dates, times or texts) the table shows its values whatever share is chosen. Reads only the
// roles, the value column's type and ws.aggregate; never throws.
bool ShareAvailable(const TWorkspace& ws);

// The role and aggregate toggles. The caller has already set the toggle states as the click left
// them (roleDown, aggregate); clicked names the button: 0..2 the role toggles (by role), 3..7 the
// aggregate toggles 合計..件数. A role toggle released takes the role from the selected column and
// computes nothing; otherwise the selected column takes the role of the first toggle down
// (the column that held it gives it up; pressing the value toggle on a non-date column sets
// 合計) and the table is computed again. REQUIRES: ws.hooks set. Throws IoError as CrossTabulate.
void SpeedButton1Click(TWorkspace& ws, int clicked);
// 合計表示 and ０非表示: computes the table again (the caller has set showTotals / hideEmpty).
// Throws IoError as CrossTabulate.
void SpeedButton9Click(TWorkspace& ws);
// 並び替え: when sort is on and a table exists, sorts the rows and the columns of FOutGrid by
// their line texts (the heading line stays first, a total line shown stays last); otherwise does
// nothing. Never throws.
void SpeedButton11Click(TWorkspace& ws);
// 行を閉じる and 列を閉じる: the column holding the row (Button10Click) or column
// (Button11Click) role loses it, its toggle is released, and the toggles still down apply as
// after SpeedButton1Click, computing the table again.
// 行列入替え (Button12Click): the row and column axes change places and the table is computed
// again. Each throws IoError as CrossTabulate.
void Button10Click(TWorkspace& ws);
void Button11Click(TWorkspace& ws);
void Button12Click(TWorkspace& ws);
// ×: empties the result grid to 3 x 3 blank cells (choosing one when none is remembered) and
// closes the chart window. Never throws.
void Button13Click(TWorkspace& ws);

// The line text of a row or column: cells joined by ",", a cell quoted (inner quotes doubled)
// when it holds a blank, a control character, a double quote or a comma.
std::string RowLineText(const TResultTable& table, int row);
std::string ColLineText(const TResultTable& table, int col);
// Sets a row or column from a line text: empties its cells, then gives them the items of the
// text in order (split at commas outside quotes, quotes removed, blanks and control characters
// around items skipped); an empty item leaves a single space, an empty last item is dropped.
void SetRowLineText(TResultTable& table, int row, const std::string& text);
void SetColLineText(TResultTable& table, int col, const std::string& text);
// The result export: every row's line text and CR LF, written to path (created or replaced).
// Throws IoError; the file at path is then left as it was.
void SaveTable(const TResultTable& table, const std::string& path);
// The same bytes as a string.
std::string TableText(const TResultTable& table);

}  // namespace tabulon
