// A small dataset imported into a scratch folder, opened into a workspace whose window is a fake
// that records what the engine asks of it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "TestUtil.h"
#include "engine/Dataset.h"
#include "engine/Engine.h"
#include "import/unitProgress.h"

namespace tabulon::test {

// Row line texts of a table, in UTF-8.
inline std::vector<std::string> Rows(const TResultTable& table) {
  std::vector<std::string> rows;
  for (int r = 0; r < table.RowCount(); ++r) rows.push_back(U(RowLineText(table, r)));
  return rows;
}

class FakeWindow : public TWindowHooks {
 public:
  explicit FakeWindow(TWorkspace* ws) : ws_(ws) {}
  void RefreshColumnMarkers() override { ++markerRefreshes; }
  // As the column selection does: the role toggles show the column's role.
  void SelectColumn(int index) override {
    ws_->selectedColumn = index;
    for (int r = 0; r < kRoleCount; ++r)
      ws_->roleDown[r] = ws_->FCols[static_cast<size_t>(index)]->FRole == r;
    ++selections;
  }
  TResultTable* ChooseOutputGrid() override { return &grid; }
  bool ChartShowing() override { return chartShowing; }
  void BuildChart(TResultTable& table) override { chartRows = Rows(table); }
  void CloseChart() override {
    chartShowing = false;
    ++chartCloses;
  }

  TMemoryTable grid;
  bool chartShowing = false;
  std::vector<std::string> chartRows;  // the table as the chart last saw it
  int markerRefreshes = 0, selections = 0, chartCloses = 0;

 private:
  TWorkspace* ws_;
};

class EngineData {
 private:
  ScratchDir dir_;  // first member: outlives the columns that read from it

 public:
  // csv: UTF-8 lines separated by "\n"; written in Shift-JIS with CR LF.
  explicit EngineData(std::string_view csv) {
    std::string bytes;
    for (char ch : S(csv)) {
      if (ch == '\n') bytes += '\r';
      bytes += ch;
    }
    const std::string path = dir_.File("data.csv");
    WriteFile(path, bytes);
    TSilentProgress view;
    TformProgress importer(&view);
    importer.Import(path);
    OpenDataset(ws, path);
    ws.hooks = &window;
  }

  TCol& Col(std::string_view utf8Name) {
    for (auto& col : ws.FCols)
      if (col->FName == S(utf8Name)) return *col;
    throw std::runtime_error("no column " + std::string(utf8Name));
  }
  int Index(std::string_view utf8Name) { return Col(utf8Name).FIndex; }

  std::vector<std::string> Tabulate() {
    CrossTabulate(ws);
    return Rows(window.grid);
  }

  TWorkspace ws;
  FakeWindow window{&ws};
};

}  // namespace tabulon::test
