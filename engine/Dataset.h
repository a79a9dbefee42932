// Opening an imported dataset without the window: the columns as the dataset list's selection
// creates them, each refreshed from its descriptor section as an unfiltered column. For headless
// callers (command line, benchmarks, tests).
#pragma once

#include <string>

#include "engine/Workspace.h"

namespace tabulon {

// Replaces ws's dataset with the one of csvPath: FCols, FColCount, FRowCount, FCsvPath,
// FDataDir. Every column is opened with the row count, typed, and given FCount, FMin and FMax
// (numeric and date columns), FLower = FMin, FUpper = FMax and FDivisions = FCount; roles and
// filters start cleared. A missing descriptor gives an empty dataset. REQUIRES: the store is
// imported. Throws IoError when the descriptor cannot be read.
void OpenDataset(TWorkspace& ws, const std::string& csvPath);

}  // namespace tabulon
