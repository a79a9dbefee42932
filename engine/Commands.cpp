// The role, aggregate and display commands of the main window.
#include "engine/Engine.h"

namespace tabulon {
namespace {

// Shows the hourglass while a command runs and restores the cursor however it ends.
class BusyCursor {
 public:
  explicit BusyCursor(TWindowHooks* hooks) : hooks_(hooks) { hooks_->BeginBusy(); }
  ~BusyCursor() { hooks_->EndBusy(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  TWindowHooks* hooks_;
};

// The role command once a toggle is pressed: the selected column takes the role of the first role
// toggle that is down (taking it from the column that held it), then markers, column selection
// and the computation. valueClicked: the value toggle itself was pressed.
void ApplyRolesAndCompute(TWorkspace& ws, bool valueClicked) {
  BusyCursor busy(ws.hooks);
  ws.hooks->ProcessEvents();
  const int i = ws.selectedColumn;
  if (i >= 0 && i < static_cast<int>(ws.FCols.size())) {
    for (uint8_t role = 0; role < kRoleCount; ++role) {
      if (!ws.roleDown[role]) continue;
      for (auto& col : ws.FCols)
        if (col->FRole == role) col->FRole = kRoleNone;
      TCol& selected = *ws.FCols[static_cast<size_t>(i)];
      selected.FRole = role;
      if (role == kRoleValue && valueClicked && selected.FValueType != vtDat)
        ws.aggregate = TAggregate::kSum;
      break;
    }
  }
  ws.hooks->RefreshColumnMarkers();
  if (i >= 0) ws.hooks->SelectColumn(i);
  CrossTabulate(ws);
}

// The role toggles as the column selection shows them for the selected column.
void ShowSelectedRole(TWorkspace& ws) {
  const int i = ws.selectedColumn;
  if (i < 0 || i >= static_cast<int>(ws.FCols.size())) return;
  const uint8_t role = ws.FCols[static_cast<size_t>(i)]->FRole;
  for (uint8_t r = 0; r < kRoleCount; ++r) ws.roleDown[r] = role == r;
}

void CloseRole(TWorkspace& ws, uint8_t role) {
  for (auto& col : ws.FCols)
    if (col->FRole == role) col->FRole = kRoleNone;
  ws.roleDown[role] = false;
  ApplyRolesAndCompute(ws, false);
}

}  // namespace

void SpeedButton1Click(TWorkspace& ws, int clicked) {
  // A role toggle released by the user: the selected column loses its role, nothing is
  // recomputed.
  if (clicked >= 0 && clicked < kRoleCount && !ws.roleDown[clicked]) {
    const int i = ws.selectedColumn;
    if (i >= 0 && i < static_cast<int>(ws.FCols.size()))
      ws.FCols[static_cast<size_t>(i)]->FRole = kRoleNone;
    ws.hooks->RefreshColumnMarkers();
    return;
  }
  // A toggle pressed: the selected column takes the role, and the table is computed again.
  ApplyRolesAndCompute(ws, clicked == kRoleValue);
}

void SpeedButton9Click(TWorkspace& ws) {
  CrossTabulate(ws);
}

void Button10Click(TWorkspace& ws) {
  CloseRole(ws, kRoleRowItems);
}

void Button11Click(TWorkspace& ws) {
  CloseRole(ws, kRoleColumnItems);
}

void Button12Click(TWorkspace& ws) {
  TCol* columnAxis = nullptr;
  TCol* rowAxis = nullptr;
  for (auto& col : ws.FCols) {
    if (col->FRole == kRoleColumnItems) columnAxis = col.get();
    if (col->FRole == kRoleRowItems) rowAxis = col.get();
  }
  if (columnAxis) columnAxis->FRole = kRoleRowItems;
  if (rowAxis) rowAxis->FRole = kRoleColumnItems;
  // The column selection shows the selected column's new role, which the steps below then keep.
  ShowSelectedRole(ws);
  if (ws.selectedColumn >= 0) ws.hooks->SelectColumn(ws.selectedColumn);
  ApplyRolesAndCompute(ws, false);
}

void Button13Click(TWorkspace& ws) {
  if (!ws.FOutGrid) ws.FOutGrid = ws.hooks->ChooseOutputGrid();
  TResultTable& table = *ws.FOutGrid;
  table.SetColCount(3);
  table.SetRowCount(3);
  for (int r = 0; r < 3; ++r) table.ClearRow(r);
  if (ws.hooks->ChartShowing()) ws.hooks->CloseChart();
}

}  // namespace tabulon
