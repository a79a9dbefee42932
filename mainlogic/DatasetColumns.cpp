// Opening a dataset and refreshing the selected column.
#include <algorithm>

#include "engine/Dataset.h"
#include "mainlogic/DatasetList.h"
#include "mainlogic/FilterValues.h"
#include "mainlogic/MainLogic.h"

namespace tabulon {

void TMainLogic::SelectDatasetEntry(const TDatasetList& list, int index) {
  datasetEntry_ = index >= 0 && index < list.Count() ? index : -1;
  if (datasetEntry_ >= 0) ListBox1Click(list.Path(datasetEntry_));
}

void TMainLogic::ListBox1Click(const std::string& csvPath) {
  // The dataset first: a descriptor or column that cannot be read leaves the open one as it was.
  OpenDataset(ws_, csvPath);

  HideAllPanels();
  ClearTables();
  history_.Clear();
  label1_ = csvPath;
  columnEntries_.clear();
  for (const auto& col : ws_.FCols) columnEntries_.push_back("  " + col->FName);
  date_.Open(ws_.FColCount);
  // Each column as a click on it shows it, so every panel starts from its column's state.
  for (int32_t i = 0; i < ws_.FColCount; ++i) ListBox2Click(i);
  ws_.recordCountText = filters::DecimalText(ws_.FRowCount);
  if (ws_.FColCount > 0) ListBox2Click(0);
}

void TMainLogic::ListBox2Click(int index) {
  if (!HasDataset() || index < 0 || index >= static_cast<int>(ws_.FCols.size())) return;
  ws_.selectedColumn = index;
  ListBox2Click();
}

void TMainLogic::ListBox2Click() {
  TCol* col = Current();
  if (col == nullptr) return;
  rolePanelVisible_ = true;
  for (int r = 0; r < kRoleCount; ++r) {
    ws_.roleDown[r] = col->FRole == r;
    ws_.roleVisible[r] = true;
    ws_.roleEnabled[r] = true;
  }

  ws_.FDataDir = StoreDirOf(ws_.FCsvPath);
  // The column's own section, by its number: not by the list entry's text, which a long name
  // would make another section's.
  const std::vector<TColumnSection>& sections = ws_.descriptor->sections;
  const size_t index = static_cast<size_t>(col->FIndex);
  const TColumnSection section = index < sections.size() ? sections[index] : TColumnSection();
  col->FCount = section.DistinctCount();
  ws_.FValType = section.valType;
  ws_.FColType = section.colType;
  col->SetTypes(ws_.FValType, ws_.FColType);
  label7_ = filters::DecimalText(col->FCount);

  // Each refresh shows its own panel when it is done: one whose store files cannot be read leaves
  // no panel in sight rather than the previous column's.
  items_.Hide();
  range_.Hide();
  search_.Hide();
  date_.Hide();
  const bool isStr = ws_.FValType == "Str";
  const bool keyed = ws_.FColType == "Byt" || ws_.FColType == "Wor";
  if (isStr && keyed)
    items_.Refresh(*col);
  else
    items_.Hide();
  if (ws_.FValType == "Int" || ws_.FValType == "Cur")
    range_.Refresh(*col, section);
  else
    range_.Hide();
  if (isStr && ws_.FColType == "Lon")
    search_.Refresh(*col);
  else
    search_.Hide();
  if (ws_.FValType == "Dat")
    date_.Refresh(*col, section);
  else
    date_.Hide();

  SetMarker(ws_.selectedColumn, MarkerOf(*col));
}

}  // namespace tabulon
