// The main window's logic without a window: the open dataset, the column list with its markers,
// the four filter panels, the drill-down from the result grid and the record list. A window (or
// the command line) reads its controls, calls the handler of the same name here and renders the
// plain state exposed below; the engine (engine/Engine.h) works on Workspace(). It is the one
// door to the core for both front ends.
//
// Errors end the running command as exceptions whose what() is the user-facing Shift-JIS text:
// ConvertError for a text that is not a number, date or time, IoError for a file. Whatever the
// command changed before the error stays changed.
//
// Every handler that needs an open dataset or a selected column does nothing without one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/ResultTable.h"
#include "engine/Workspace.h"
#include "mainlogic/DatePanel.h"
#include "mainlogic/DrillHistory.h"
#include "mainlogic/ItemPanel.h"
#include "mainlogic/PanelState.h"
#include "mainlogic/RangePanel.h"
#include "mainlogic/SearchPanel.h"

namespace tabulon {

class TDatasetList;

class TMainLogic : public TWindowHooks, private TPanelContext {
 public:
  TMainLogic();
  ~TMainLogic() override;
  TMainLogic(const TMainLogic&) = delete;
  TMainLogic& operator=(const TMainLogic&) = delete;

  // ---- Window services and grids

  // A window adds its services by deriving from this class and overriding the TWindowHooks
  // members that have defaults (ChartShowing, BuildChart, CloseChart, BeginBusy, EndBusy,
  // ProcessEvents) and LabelWidth: the engine and the logic call them through that one
  // interface. Without a window they do nothing (no chart, no cursor).

  // Pixel width of a text in the 16-pixel label font of the range panel. Default: 8 pixels per
  // byte (a double-byte character is 16).
  int LabelWidth(const std::string& text) const override;
  // The main grid (StringGrid1). By default an in-memory table owned here; a window installs its
  // own grid. REQUIRES: grid outlives this object or is replaced first.
  void SetMainGrid(TResultTable* grid);
  TResultTable& MainGrid() { return *mainGrid_; }
  // The enlarged-table window's grid and whether that window is showing; while it is, results and
  // record lists go there.
  void SetEnlargedGrid(TResultTable* grid) { enlargedGrid_ = grid; }
  void SetEnlargedShowing(bool showing) { enlargedShowing_ = showing; }

  // The working state the engine reads and writes (columns, toggles, Label2, FOutGrid).
  TWorkspace& Workspace() override { return ws_; }
  const TWorkspace& Workspace() const { return ws_; }

  // ---- Dataset and column selection

  // Opens the dataset of a CSV file whose store has been built: Label1 := the path, one column
  // list entry "  name" per column, every column refreshed, Label2 := RowCount, column 0 selected.
  // The main and enlarged grids are emptied to 3 x 3 cells and the chart is closed: what they
  // showed was the previous dataset's. A missing descriptor opens an empty dataset. Reads files
  // only. Throws IoError; a descriptor that cannot be read leaves the open dataset and its table
  // as they were.
  void ListBox1Click(const std::string& csvPath);
  // The open dataset's descriptor as the opening read it; nullptr before a dataset is opened.
  const TDescriptor* Descriptor() const { return HasDataset() ? &*ws_.descriptor : nullptr; }
  // The dataset list's entry index was selected (-1: none, as after a deletion): an index within
  // list opens that entry's dataset with ListBox1Click and stays the selected entry even when the
  // opening throws; any other index leaves no entry selected and opens nothing.
  void SelectDatasetEntry(const TDatasetList& list, int index);
  // An entry of the dataset list is selected: the commands that read its CSV file may run.
  bool DatasetSelected() const { return datasetEntry_ >= 0; }
  // The selected entry's index, -1 none.
  int DatasetEntry() const { return datasetEntry_; }
  // Selects entry index of the column list and refreshes it; an index outside the list does
  // nothing.
  void ListBox2Click(int index);
  // Refreshes the current column: reads its descriptor entry (the descriptor is read once per
  // opening), resets the bounds of an unfiltered column to its extremes, shows its one filter panel
  // and its role toggles, rewrites its marker.
  void ListBox2Click();
  // Rewrites every column list marker: "→", "↓", "ｖ" for the roles, else "＊" when filtered,
  // else two blanks.
  void RefreshColumnMarkers() override;

  // Role and aggregate toggles as a click leaves them: 0..2 列項目, 行項目, 値 (a pressed role
  // toggle is released by pressing it again), 3..7 合計, 平均, 最小, 最大, 件数 (always one down;
  // chosen even without a dataset, when there is nothing to compute). Then the engine's
  // SpeedButton1Click; a released role toggle then recalculates: the table without that role,
  // or, when no column has a role left, the cleared table and the count of passing records in
  // Label2. Throws IoError.
  void SpeedButton1Click(int button);

  // ---- Display toggles and the table's commands

  // 合計表示 and ０非表示 as the click left them; the table is computed again when the dataset has
  // columns.
  void SpeedButton9Click(bool showTotals, bool hideEmpty);
  // 並び替え as the click left it; the output grid is sorted when it is on. After
  // 合計の大きい順 it goes back to the order by text: 並び替え is on again and the table is
  // computed again.
  void SpeedButton11Click(bool sort);
  // 3桁区切り (the grid's context menu): turns the thousands separators of the table's numbers on
  // or off (1,234,567.5) and computes the table again when some column has a role. Throws IoError.
  void SeparatorsClick();
  bool Separators() const { return ws_.separators; }
  void SetSeparators(bool on) { ws_.separators = on; }  // without computing
  // 合計の大きい順 (the grid's context menu): turns the order of rows and columns by their totals,
  // largest first, "(null)" last, on or off (off: the order of 並び替え), and computes the table
  // again when some column has a role. Throws IoError.
  void SortByTotalClick();
  bool SortByTotal() const { return ws_.sortByTotal; }
  void SetSortByTotal(bool on) { ws_.sortByTotal = on; }  // without computing
  // Sets toggle SpeedButtonN (4..11) down or up without computing, as the enlarged-table window
  // copies it: setting an aggregate toggle (4..8) down chooses that aggregate, setting one up does
  // nothing (one is always down). Other numbers do nothing.
  void SetToggleDown(int n, bool down);
  // 行を閉じる, 列を閉じる, 行列入替え, ×: the engine's commands of the same names.
  void Button10Click();
  void Button11Click();
  void Button12Click();
  void Button13Click();
  // □ once the enlarged-table window shows: computes the table into it and returns true when some
  // column is an axis; returns false, computing nothing, when none is (the window then lists the
  // records with 一覧表示). Throws IoError.
  bool Button14Click();
  // Computes the table again (for the enlarged-table window) when the dataset has columns.
  // Throws IoError.
  void RefreshTable();
  // Computes the table into the output grid whatever the roles and the dataset (a dataset without
  // columns gives the empty 3 x 3 table). Throws IoError.
  void CrossTabulateNow();
  // With no role anywhere, shows in Label2 the number of records that pass every filter and
  // returns that text. Throws IoError.
  const std::string& CountRecords();
  // The grid that received the most recent result (the main grid before any).
  TResultTable& OutputGrid() { return ws_.FOutGrid != nullptr ? *ws_.FOutGrid : *mainGrid_; }
  // 保存(&S): the output grid as a CSV file, every row's line text and CR LF, or, when path ends in
  // ".xlsx", as an Excel workbook of one sheet named after the dataset (engine/Workbook.h); path
  // is created or replaced. Throws IoError; the file at path is then left as it was.
  void SaveResult(const std::string& path);
  // Whether SaveResult writes path as a workbook: it ends in ".xlsx" (any letter case).
  static bool IsWorkbookPath(const std::string& path);
  // The workbook's sheet name: the dataset's CSV file name without its extension (Shift-JIS).
  std::string WorkbookSheetName() const;
  // The bytes SaveResult would write.
  std::string ResultText();

  // 構成比: "実数" (kNone), "行比率", "列比率", "総計比率". Sets the choice and rebuilds the table
  // when some column has a role. The choice stays over aggregates, toggles and datasets; it shows
  // only while ShareAvailable() (elsewhere the table shows its values). Throws IoError.
  void ShareClick(TShare share);
  // While off, tabulations and recounts count no records (TWorkspace::skipRecordPasses): for a
  // headless caller's steps before the last, whose tables no one reads.
  void SetCountRecords(bool on) { ws_.skipRecordPasses = !on; }
  // Sets the 構成比 choice without computing.
  void SetShare(TShare share) { ws_.share = share; }
  TShare Share() const { return ws_.share; }
  bool ShareAvailable() const;

  // ---- Item selection filter (text columns stored as keys)

  // The item list picks changed: the picked entries become the selection. Indices outside the
  // list are ignored.
  void ListBox3Click(const std::vector<int>& picked) { items_.Click(picked); }
  // Reset: no selection, no role.
  void Button3Click() { items_.Reset(); }

  // ---- Numeric range division

  // Sets the lower / upper bound of the current column to b / 10000, moves the bar and label,
  // marks the column filtered (marker "* "), refills the division choices and recalculates.
  void SetLowerBound(int64_t b) { range_.SetLowerBound(b); }
  void SetUpperBound(int64_t b) { range_.SetUpperBound(b); }
  // A handle was dragged; handleLeft is its new left edge within the bar.
  void Splitter2Moved(int handleLeft) { range_.LowerHandleMoved(handleLeft); }
  void Splitter1Moved(int handleLeft) { range_.UpperHandleMoved(handleLeft); }
  // A click on the bar's middle part (x within the whole bar), its left part or its right part
  // (x within that part).
  void Panel2MouseDown(TMouseButton button, int x) { range_.BarClick(button, x); }
  void Panel3MouseDown(TMouseButton /*button*/, int x) { range_.LowerPartClick(x); }
  void Panel4MouseDown(TMouseButton /*button*/, int x) { range_.UpperPartClick(x); }
  // A bound typed into the value input dialog (which opened with label5/label6's text).
  // Throws ConvertError "'t' は浮動小数点数ではありません" when t is not a number (or too large
  // for a bound); the bound and filter then stay unchanged.
  void Label5Click(const std::string& typed) { range_.TypeLowerBound(typed); }
  void Label6Click(const std::string& typed) { range_.TypeUpperBound(typed); }
  // Rebuilds the division choices from the current column's bounds; none is selected afterwards.
  void FillDivisionChoices() { range_.FillDivisionChoices(); }
  // Selects division entry index (-1 none) and applies it to FDivisions; rebuilds the table when
  // the column is an axis.
  void ComboBox2Change(int index) { range_.SelectDivision(index); }
  // Reset: bounds back to the extremes, no filter, no role.
  void Button4Click() { range_.Reset(); }

  // ---- Text search filter (text columns stored per row)

  // The pattern box's text as typed (no search).
  void Edit1Change(const std::string& text) { search_.SetPattern(text); }
  // A key typed into the pattern box: Enter (13) runs the search and is consumed (returns true).
  bool Edit1KeyPress(char key);
  // Puts pattern into the pattern box and searches the column's values for it (case-sensitive
  // substring, at character boundaries); up to 2000 distinct matches become the selection.
  // Does not recalculate. Throws IoError.
  void Button9Click(const std::string& pattern) { search_.Search(pattern); }
  void Button9Click() { Button9Click(search_.State().patternBox); }
  // The match list picks changed.
  void ListBox4Click(const std::vector<int>& picked) { search_.Click(picked); }
  // Reset.
  void Button5Click() { search_.Reset(); }

  // ---- Date filter and intervals

  // The user set a picker to value (kWeekday: value is the weekday entry index, -1..9). A date
  // picker takes the day of value and a time picker its time of day. The bounds become: date-only
  // column, the two date pickers; time-only column, the two time pickers, the upper one to the end
  // of its second, and FTimeLower..FTimeUpper the same; a column with both,
  // two filters: FLower..FUpper the date pickers' days from 0:00:00.000 to 23:59:59.999, and on
  // a time picker's change FTimeLower..FTimeUpper the time pickers' times of day, the upper one
  // to the end of its second. Filters the column and recalculates.
  void DateTimePicker1Change(TDateControl sender, double value) {
    date_.PickerChanged(sender, value);
  }
  // The user selected interval entry index: sets FDateUnit; rebuilds the table when the column
  // is an axis. A column refresh rebuilds the entries and selects the column's own unit when
  // they offer it, else the first entry (a time-only column thus starts by hours).
  void RadioGroup1Click(int index) { date_.IntervalClick(index); }
  // Reset: bounds back to the extremes and the time-of-day window to the whole day, no filter,
  // no role; the weekday set stays stored.
  void Button6Click() { date_.Reset(); }

  // ---- Drill-down

  // A click on the main grid's cell (col, row); -1 where the point is outside the cells. Drills
  // the column axis by the column's header, the row axis by the row's header (both read before
  // either drill rebuilds the grid), then rebuilds the table, or lists the records when no axis
  // is left. Throws ConvertError for a header that is not the axis column's kind of value.
  void StringGrid1MouseDown(int col, int row);
  // Turns header text into a filter on column k and takes the column off its axis: a numeric
  // range "lo-hi" (split after lo's sign and digits) or value, a date bucket by FDateUnit from
  // its first to its last millisecond (a weekday sets the weekday set instead; an hour, minute
  // or second of a column with dates narrows its time-of-day window and keeps the days), or the
  // text items equal to the header. "全て" only takes the column off its axis.
  void DrillDown(int k, const std::string& text);

  // 戻る: undoes the newest drill-down of StringGrid1MouseDown. The selection state and role of
  // every column and the selected column come back as they were before it, the column panels
  // and markers are refreshed and the table is computed again (a record list the drill-down
  // showed gives way to the table). Returns false, changing nothing, when there is no drill-down
  // to undo. Opening a dataset forgets every drill-down, and so does a reset of a column (its
  // 解除 button): the earlier states would bring back what the user has just removed.
  // Throws IoError.
  bool UndoDrillDown();
  bool CanUndoDrillDown() const { return !history_.Empty(); }

  // ---- Record list

  // 一覧表示: lists the CSV records that pass every filter in the output grid and shows their
  // number in Label2. Throws IoError.
  void Button7Click();

  // ---- What the window shows

  const std::string& Label1() const { return label1_; }  // the dataset's CSV path; "*" at first
  const std::string& Label2() const { return ws_.recordCountText; }
  const std::string& Label7() const { return label7_; }  // distinct values of the column
  const std::vector<std::string>& ColumnEntries() const { return columnEntries_; }  // ListBox2
  int SelectedColumn() const { return ws_.selectedColumn; }
  bool RolePanelVisible() const { return rolePanelVisible_; }  // Panel5
  const TItemPanelState& ItemPanel() const { return items_.State(); }
  const TRangePanelState& RangePanel() const { return range_.State(); }
  const TSearchPanelState& SearchPanel() const { return search_.State(); }
  const TDatePanelState& DatePanel() const { return date_.State(); }
  // ComboBox1's entries: 日 月 火 水 木 金 土 土日 月～金 月～木.
  static const std::vector<std::string>& WeekdayChoices() { return TDatePanel::WeekdayChoices(); }

  // ---- TWindowHooks: the engine's requests of the logic

  void SelectColumn(int index) override { ListBox2Click(index); }
  TResultTable* ChooseOutputGrid() override;

 private:
  // TPanelContext: what the filter panels share.
  TCol* Current() override;
  TWindowHooks& Hooks() override { return *this; }
  void SetCurrentMarker(const std::string& marker) override;
  void RefreshCurrent() override { ListBox2Click(); }
  void ResetColumn(TCol& col) override;
  // A drill-down sets its filters first and computes the table once at the end.
  void Recalculate() override {
    if (!drilling_) RecalculateNow();
  }
  void RetabulateIfAxis() override;

  // A dataset opened by ListBox1Click (not merely a path set in the workspace).
  bool HasDataset() const { return ws_.descriptor.has_value() && !ws_.FCsvPath.empty(); }
  void SetMarker(int index, const std::string& marker);
  void HideAllPanels();
  void RecalculateNow();
  // Empties the main and enlarged grids to 3 x 3 cells of the default width, makes the grid in
  // use the output grid, and closes the chart.
  void ClearTables();
  // Computes the table again when a dataset is open and some column has a role.
  void RetabulateIfAnyRole();

  TWorkspace ws_;                            // the state the engine shares
  std::unique_ptr<TResultTable> ownedGrid_;  // the default main grid
  TResultTable* mainGrid_ = nullptr;         // StringGrid1
  TResultTable* enlargedGrid_ = nullptr;     // the enlarged-table window's grid, not owned
  bool enlargedShowing_ = false;             // that window is showing

  std::string label1_ = "*";                // the dataset's CSV path
  std::string label7_ = "0000";             // the column's distinct values
  std::vector<std::string> columnEntries_;  // ListBox2: marker + name
  bool rolePanelVisible_ = false;           // Panel5
  TItemPanel items_{*this};
  TRangePanel range_{*this};
  TSearchPanel search_{*this};
  TDatePanel date_{*this};
  TDrillHistory history_;  // the states before the drill-downs, for 戻る
  bool drilling_ = false;  // StringGrid1MouseDown is setting its filters
  int datasetEntry_ = -1;  // the selected dataset list entry, -1 none
};

}  // namespace tabulon
