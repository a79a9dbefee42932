// The working state of the main window that the engine reads and writes: the open dataset, the
// toggles, the role toggles of the selected column and the grid that receives results. The
// main window's logic (mainlogic/) and the window build on it; the engine reaches the rest of the
// window through TWindowHooks.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "column/Descriptor.h"
#include "column/TCol.h"
#include "engine/ResultTable.h"

namespace tabulon {

// The aggregate toggles "合計", "平均", "最小", "最大", "件数" (SpeedButton4 to SpeedButton8).
enum class TAggregate { kSum, kAverage, kMin, kMax, kCount };

// 構成比: what each cell shows. kNone the values themselves (実数); otherwise the cell's share of
// its row's total (行比率), its column's total (列比率) or the grand total (総計比率).
enum class TShare { kNone, kRow, kColumn, kTotal };

// What the engine asks of the window around it.
class TWindowHooks {
 public:
  virtual ~TWindowHooks() = default;
  // Rewrites every column list marker from FRole and FFiltered.
  virtual void RefreshColumnMarkers() = 0;
  // Selects entry index of the column list and refreshes that column (ListBox2Click).
  virtual void SelectColumn(int index) = 0;
  // The grid that receives the next result: the enlarged-table window's grid while it is
  // showing, else the main grid.
  virtual TResultTable* ChooseOutputGrid() = 0;
  // The chart window.
  virtual bool ChartShowing() { return false; }
  virtual void BuildChart(TResultTable& /*table*/) {}
  virtual void CloseChart() {}
  // The hourglass cursor, and letting pending window events run.
  virtual void BeginBusy() {}
  virtual void EndBusy() {}
  virtual void ProcessEvents() {}
};

struct TWorkspace {
  // The open dataset.
  std::vector<std::unique_ptr<TCol>> FCols;  // one per CSV column, index = FIndex
  int32_t FColCount = 0;
  int32_t FRowCount = 0;
  std::string FCsvPath;     // the selected dataset's CSV file (native path)
  std::string FDataDir;     // its store directory
  std::string FValType;     // descriptor ValType of the selected column
  std::string FColType;     // descriptor ColType of the selected column
  int selectedColumn = -1;  // ListBox2.ItemIndex: the current column, -1 for none
  // The open dataset's descriptor as OpenDataset read it: each column's section, read once per
  // opening. Absent until a dataset is opened.
  std::optional<TDescriptor> descriptor;

  // Toggles.
  TAggregate aggregate = TAggregate::kCount;
  bool showTotals = true;        // 合計表示 down
  bool hideEmpty = false;        // ０非表示 down
  bool sort = true;              // 並び替え down
  TShare share = TShare::kNone;  // 構成比; applies only where ShareAvailable (Engine.h)
  bool separators = false;       // 3桁区切り: numbers shown as 1,234,567.5
  bool sortByTotal = false;  // 合計の大きい順: rows and columns by their totals, largest first
  // The role toggles of the selected column, indexed by role (列項目, 行項目, 値): down, visible,
  // enabled.
  bool roleDown[kRoleCount] = {false, false, false};
  bool roleVisible[kRoleCount] = {false, false, false};
  bool roleEnabled[kRoleCount] = {false, false, false};

  // Label2: the record count shown above the grid (Shift-JIS text).
  std::string recordCountText = "00000";

  // The grid that received the most recent result (not owned).
  TResultTable* FOutGrid = nullptr;

  TWindowHooks* hooks = nullptr;  // not owned; REQUIRED before any command runs

  // How record passes run; no user of the window sees these.
  // While on, every tabulation and recount lays out its table, loads its columns and caches its
  // labels as always but counts no records: a recount reads as if no record passed, and a
  // tabulation's cells stay empty and its lines unsorted. For a headless caller that applies
  // several options, each tabulating as the window's controls do, and reads only the table of a
  // last run made with it off.
  bool skipRecordPasses = false;
  // While on, the record pass asks every participating column ReadRow for every record even
  // where the columns' key tables would serve; the tables must come out the same (tests and
  // benchmarks compare the two).
  bool forceGenericPass = false;
  // Threads of the block pass: 0 for the machine's cores (also TABULON_PASS_THREADS, when set),
  // 1 for one thread. Every count must come out the same whatever the number.
  int passThreads = 0;
};

}  // namespace tabulon
