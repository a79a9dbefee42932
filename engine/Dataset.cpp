#include "engine/Dataset.h"

#include <algorithm>

namespace tabulon {

void OpenDataset(TWorkspace& ws, const std::string& csvPath) {
  ClaimStore(csvPath);
  TDescriptor descriptor = TDescriptor::Read(DescriptorPathOf(csvPath));
  const std::string dir = StoreDirOf(csvPath);
  // The columns are made aside, so that a file that cannot be read leaves the open dataset.
  std::vector<std::unique_ptr<TCol>> cols;
  cols.reserve(static_cast<size_t>(descriptor.Columns()));
  for (int32_t i = 0; i < descriptor.Columns(); ++i) {
    auto col = std::make_unique<TCol>();
    col->FIndex = i;
    col->Open(dir, descriptor.names[static_cast<size_t>(i)], descriptor.Rows());
    const TColumnSection& section = descriptor.sections[static_cast<size_t>(i)];
    section.ApplyTo(*col);
    if (section.valType == "Dat") col->FindTimesBetween();
    col->FLower = col->FMin;
    col->FUpper = col->FMax;
    col->FDivisions = col->FCount;
    cols.push_back(std::move(col));
  }
  ws.FCsvPath = csvPath;
  ws.FDataDir = dir;
  ws.FColCount = descriptor.Columns();
  ws.FRowCount = descriptor.Rows();
  ws.FCols = std::move(cols);
  ws.selectedColumn = -1;
  ws.descriptor = std::move(descriptor);
}

}  // namespace tabulon
