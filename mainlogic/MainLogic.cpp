#include "mainlogic/MainLogic.h"

#include "engine/Engine.h"
#include "engine/Workbook.h"
#include "platform/SjisText.h"

namespace tabulon {

TMainLogic::TMainLogic() : ownedGrid_(std::make_unique<TMemoryTable>()) {
  mainGrid_ = ownedGrid_.get();
  ws_.FOutGrid = mainGrid_;
  ws_.hooks = this;
}

TMainLogic::~TMainLogic() = default;

void TMainLogic::SetMainGrid(TResultTable* grid) {
  TResultTable* const old = mainGrid_;
  mainGrid_ = grid != nullptr ? grid : ownedGrid_.get();
  if (ws_.FOutGrid == old) ws_.FOutGrid = mainGrid_;
}

// ---------------------------------------------------------------- hooks

TResultTable* TMainLogic::ChooseOutputGrid() {
  return enlargedShowing_ && enlargedGrid_ != nullptr ? enlargedGrid_ : mainGrid_;
}

int TMainLogic::LabelWidth(const std::string& text) const {
  return static_cast<int>(text.size()) * 8;
}

// ---------------------------------------------------------------- shared pieces

TCol* TMainLogic::Current() {
  const int i = ws_.selectedColumn;
  if (!HasDataset() || i < 0 || i >= static_cast<int>(ws_.FCols.size())) return nullptr;
  return ws_.FCols[static_cast<size_t>(i)].get();
}

void TMainLogic::SetMarker(int index, const std::string& marker) {
  if (index < 0 || index >= static_cast<int>(columnEntries_.size())) return;
  columnEntries_[static_cast<size_t>(index)] =
      marker + ws_.FCols[static_cast<size_t>(index)]->FName;
}

void TMainLogic::SetCurrentMarker(const std::string& marker) {
  SetMarker(ws_.selectedColumn, marker);
}

void TMainLogic::ResetColumn(TCol& col) {
  history_.Clear();
  col.FRole = kRoleNone;
  col.FFiltered = false;
  RefreshColumnMarkers();
  ListBox2Click();
}

void TMainLogic::RetabulateIfAxis() {
  // The role toggles show the current column's role.
  if (ws_.roleDown[kRoleColumnItems] || ws_.roleDown[kRoleRowItems]) CrossTabulateNow();
}

void TMainLogic::RefreshColumnMarkers() {
  for (size_t i = 0; i < columnEntries_.size() && i < ws_.FCols.size(); ++i)
    SetMarker(static_cast<int>(i), MarkerOf(*ws_.FCols[i]));
}

void TMainLogic::HideAllPanels() {
  items_.Hide();
  range_.Hide();
  search_.Hide();
  date_.Hide();
  rolePanelVisible_ = false;
  for (int r = 0; r < 3; ++r) ws_.roleVisible[r] = false;
}

void TMainLogic::RecalculateNow() {
  tabulon::Recalculate(ws_);
}

void TMainLogic::CrossTabulateNow() {
  CrossTabulate(ws_);
}

void TMainLogic::SpeedButton1Click(int button) {
  if (button < 0 || button > 7) return;
  if (button >= 3) ws_.aggregate = static_cast<TAggregate>(button - 3);
  if (!HasDataset()) return;
  if (button < kRoleCount) {
    if (Current() == nullptr || !ws_.roleVisible[button] || !ws_.roleEnabled[button]) return;
    const bool wasDown = ws_.roleDown[button];
    for (bool& down : ws_.roleDown) down = false;
    ws_.roleDown[button] = !wasDown;
    if (wasDown) {
      // The engine only takes the role away; the table would go on showing the axis the markers
      // no longer show.
      tabulon::SpeedButton1Click(ws_, button);
      BeginBusy();
      try {
        ProcessEvents();
        RecalculateNow();
      } catch (...) {
        EndBusy();
        throw;
      }
      EndBusy();
      return;
    }
  }
  tabulon::SpeedButton1Click(ws_, button);
}

void TMainLogic::SpeedButton9Click(bool showTotals, bool hideEmpty) {
  ws_.showTotals = showTotals;
  ws_.hideEmpty = hideEmpty;
  if (!ws_.FCols.empty()) tabulon::SpeedButton9Click(ws_);
}

void TMainLogic::SpeedButton11Click(bool sort) {
  if (ws_.sortByTotal) {
    // 並び替え after 合計の大きい順 goes back to the order by text.
    ws_.sortByTotal = false;
    ws_.sort = true;
    RetabulateIfAnyRole();
    return;
  }
  ws_.sort = sort;
  tabulon::SpeedButton11Click(ws_);
}

void TMainLogic::SeparatorsClick() {
  ws_.separators = !ws_.separators;
  RetabulateIfAnyRole();
}

void TMainLogic::SortByTotalClick() {
  ws_.sortByTotal = !ws_.sortByTotal;
  RetabulateIfAnyRole();
}

void TMainLogic::RetabulateIfAnyRole() {
  if (!HasDataset()) return;
  for (const auto& col : ws_.FCols)
    if (col->FRole != kRoleNone) {
      CrossTabulateNow();
      return;
    }
}

void TMainLogic::SetToggleDown(int n, bool down) {
  if (n >= 4 && n <= 8) {
    if (down) ws_.aggregate = static_cast<TAggregate>(n - 4);
  } else if (n == 9) {
    ws_.showTotals = down;
  } else if (n == 10) {
    ws_.hideEmpty = down;
  } else if (n == 11) {
    ws_.sort = down;
  }
}

void TMainLogic::Button10Click() {
  tabulon::Button10Click(ws_);
}
void TMainLogic::Button11Click() {
  tabulon::Button11Click(ws_);
}
void TMainLogic::Button12Click() {
  tabulon::Button12Click(ws_);
}
void TMainLogic::Button13Click() {
  tabulon::Button13Click(ws_);
}

void TMainLogic::ClearTables() {
  for (TResultTable* grid : {mainGrid_, enlargedGrid_}) {
    if (grid == nullptr) continue;
    grid->SetColCount(3);
    grid->SetRowCount(3);
    for (int r = 0; r < 3; ++r) grid->ClearRow(r);
    for (int c = 0; c < 3; ++c) grid->SetColWidth(c, grid->DefaultColWidth());
  }
  ws_.FOutGrid = ChooseOutputGrid();
  if (ChartShowing()) CloseChart();
}

bool TMainLogic::Button14Click() {
  bool anyAxis = false;
  for (const auto& col : ws_.FCols)
    anyAxis = anyAxis || col->FRole == kRoleColumnItems || col->FRole == kRoleRowItems;
  if (anyAxis) RefreshTable();
  return anyAxis;
}

void TMainLogic::RefreshTable() {
  if (!ws_.FCols.empty()) CrossTabulateNow();
}

const std::string& TMainLogic::CountRecords() {
  for (auto& col : ws_.FCols) col->FRole = kRoleNone;
  RecalculateNow();
  return ws_.recordCountText;
}

void TMainLogic::SaveResult(const std::string& path) {
  if (IsWorkbookPath(path))
    SaveWorkbook(OutputGrid(), path, WorkbookSheetName());
  else
    SaveTable(OutputGrid(), path);
}

bool TMainLogic::IsWorkbookPath(const std::string& path) {
  return tabulon::IsWorkbookPath(path);
}

std::string TMainLogic::WorkbookSheetName() const {
  // The dataset's name: its CSV file's name without folder and extension.
  std::string name = ws_.FCsvPath;
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

std::string TMainLogic::ResultText() {
  return TableText(OutputGrid());
}

void TMainLogic::ShareClick(TShare share) {
  ws_.share = share;
  RetabulateIfAnyRole();
}

bool TMainLogic::ShareAvailable() const {
  return tabulon::ShareAvailable(ws_);
}

bool TMainLogic::Edit1KeyPress(char key) {
  if (key != '\r') return false;
  Button9Click();
  return true;
}

}  // namespace tabulon
