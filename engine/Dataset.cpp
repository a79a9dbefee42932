#include "engine/Dataset.h"

#include "import/Descriptor.h"
#include "platform/IniFile.h"

namespace tabulon {

void OpenDataset(TWorkspace& ws, const std::string& csvPath) {
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
    col->FCount = ReadDistinctCount(ini, name);
    const std::string valType = ini.ReadString(name, kKeyValType, "");
    col->SetTypes(valType, ini.ReadString(name, kKeyColType, ""));
    if (valType == "Int") {
      col->FMin = ini.ReadInteger(name, kKeyMin, 0);
      col->FMax = ini.ReadInteger(name, kKeyMax, 0);
    } else if (valType == "Cur") {
      col->FMin = ini.ReadFloat(name, kKeyMin, 0);
      col->FMax = ini.ReadFloat(name, kKeyMax, 0);
    } else if (valType == "Dat") {
      col->FMin = ini.ReadDateTime(name, kKeyMin, 0);
      col->FMax = ini.ReadDateTime(name, kKeyMax, 0);
      col->FindTimesBetween();
    }
    col->FLower = col->FMin;
    col->FUpper = col->FMax;
    col->FDivisions = col->FCount;
    ws.FCols.push_back(std::move(col));
  }
}

}  // namespace tabulon
