// Opening a dataset and refreshing the selected column.
#include <algorithm>

#include "column/Descriptor.h"
#include "mainlogic/DatasetList.h"
#include "mainlogic/FilterValues.h"
#include "mainlogic/MainLogic.h"
#include "platform/IniFile.h"

namespace tabulon {

void TMainLogic::SelectDatasetEntry(const TDatasetList& list, int index) {
  datasetEntry_ = index >= 0 && index < list.Count() ? index : -1;
  if (datasetEntry_ >= 0) ListBox1Click(list.Path(datasetEntry_));
}

void TMainLogic::ListBox1Click(const std::string& csvPath) {
  // Read the descriptor first, so an unreadable one leaves the open dataset as it was.
  ClaimStore(csvPath);
  auto descriptor = std::make_unique<IniFile>(DescriptorPathOf(csvPath));
  const int32_t colCount = ReadColCount(*descriptor);

  HideAllPanels();
  ClearTables();
  history_.Clear();
  label1_ = csvPath;
  ws_.FCsvPath = csvPath;
  ws_.FDataDir = StoreDirOf(csvPath);
  descriptor_ = std::move(descriptor);
  const IniFile& ini = *descriptor_;
  ws_.FColCount = std::max(0, colCount);
  ws_.FRowCount = std::max(0, ini.ReadInteger(kSectionCsv, kKeyRowCount, 0));

  columnEntries_.clear();
  ws_.selectedColumn = -1;
  ws_.FCols.clear();
  ws_.FCols.reserve(static_cast<size_t>(ws_.FColCount));
  date_.Open(ws_.FColCount);
  for (int32_t i = 0; i < ws_.FColCount; ++i) {
    auto col = std::make_unique<TCol>();
    const std::string name = ini.ReadString(kSectionCsv, std::to_string(i), "");
    col->FIndex = i;
    col->Open(ws_.FDataDir, name, ws_.FRowCount);
    ws_.FCols.push_back(std::move(col));
    columnEntries_.push_back("  " + name);
    // The refresh fills the descriptor-derived state before any tabulation reads it.
    ListBox2Click(i);
  }
  ws_.recordCountText = filters::DecimalText(ini.ReadInteger(kSectionCsv, kKeyRowCount, 0));
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
  // The column's own name, not the list entry's characters 3 to 258: a longer name would
  // otherwise read another descriptor section.
  const std::string& name = col->FName;

  rolePanelVisible_ = true;
  for (int r = 0; r < 3; ++r) {
    ws_.roleDown[r] = col->FRole == r;
    ws_.roleVisible[r] = true;
    ws_.roleEnabled[r] = true;
  }

  ws_.FDataDir = StoreDirOf(ws_.FCsvPath);
  const TColumnSection section = ReadColumnSection(*descriptor_, name);
  col->FCount = section.count;
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
