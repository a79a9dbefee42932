#include "engine/Dataset.h"

#include "column/Descriptor.h"
#include "platform/IniFile.h"

namespace tabulon {

void OpenDataset(TWorkspace& ws, const std::string& csvPath) {
  ClaimStore(csvPath);
  const IniFile ini(DescriptorPathOf(csvPath));
  const int32_t colCount = ReadColCount(ini);
  ws.FCsvPath = csvPath;
  ws.FDataDir = StoreDirOf(csvPath);
  ws.FColCount = colCount;
  ws.FRowCount = ini.ReadInteger(kSectionCsv, kKeyRowCount, 0);
  ws.FCols.clear();
  ws.selectedColumn = -1;
  for (int32_t i = 0; i < ws.FColCount; ++i) {
    auto col = std::make_unique<TCol>();
    col->FIndex = i;
    const std::string name = ini.ReadString(kSectionCsv, std::to_string(i), "");
    col->Open(ws.FDataDir, name, ws.FRowCount);
    const TColumnSection section = ReadColumnSection(ini, name);
    section.ApplyTo(*col);
    if (section.valType == "Dat") col->FindTimesBetween();
    col->FLower = col->FMin;
    col->FUpper = col->FMax;
    col->FDivisions = col->FCount;
    ws.FCols.push_back(std::move(col));
  }
}

}  // namespace tabulon
