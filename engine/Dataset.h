// Opening an imported dataset: the one opener of the window, the command line, the benchmarks
// and the tests.
#pragma once

#include <string>

#include "engine/Workspace.h"

namespace tabulon {

// Replaces ws's dataset with the one of csvPath, whose store has been built: claims the store
// (ClaimStore), reads its descriptor into ws.descriptor and sets FCols, FColCount, FRowCount (the
// descriptor's counts, 0 for a negative one), FCsvPath, FDataDir and selectedColumn := -1. Every
// column is opened with the row count and takes its section (ApplyTo: types, FCount and, for
// numeric and date columns, FMin and FMax); a date column has its times of day looked for
// (FindTimesBetween). Each column is as an unfiltered one stands: roles and filters cleared,
// FLower = FMin, FUpper = FMax and FDivisions = FCount. A missing descriptor gives an empty
// dataset. Throws IoError when the descriptor or a date column's files cannot be read; ws is
// then as it was.
void OpenDataset(TWorkspace& ws, const std::string& csvPath);

}  // namespace tabulon
