// The record list: the CSV records that pass every filter, in file order.
#include "filters/Common.h"
#include "filters/MainLogic.h"
#include "import/CsvSplit.h"
#include "platform/CsvLineReader.h"

namespace tabulon {
namespace {

// Fills row of the grid from the left: first, then the fields, as many as the grid has columns.
void FillRow(TResultTable& grid, int row, const std::string& first,
             const std::vector<std::string_view>& fields) {
  grid.SetCell(0, row, first);
  const int cols = grid.ColCount();
  for (size_t i = 0; i < fields.size() && static_cast<int>(i) + 1 < cols; ++i)
    grid.SetCell(static_cast<int>(i) + 1, row, std::string(fields[i]));
}

}  // namespace

void TMainLogic::Button7Click() {
  if (!HasDataset()) return;
  TResultTable& grid = *ChooseOutputGrid();
  ws_.FOutGrid = &grid;
  std::vector<TCol*> filtered;
  for (const auto& col : ws_.FCols)
    if (col->FFiltered) {
      col->Load();
      filtered.push_back(col.get());
    }

  // Opened before the grid changes: a file that cannot be opened leaves the grid as it was.
  CsvLineReader csv(ws_.FCsvPath);
  std::string_view line;
  if (!csv.ReadLine(&line)) line = std::string_view();
  std::vector<std::string_view> fields;
  SplitCsvDisplayRecord(line, &fields);

  grid.SetColCount(static_cast<int>(fields.size()) + 1);
  grid.SetRowCount(2);
  for (int c = 0; c < grid.ColCount(); ++c) grid.SetColWidth(c, grid.DefaultColWidth());
  grid.ClearRow(0);
  FillRow(grid, 0, std::string(), fields);
  grid.ClearRow(1);

  int32_t listed = 0;
  for (int32_t r = 0; r < ws_.FRowCount; ++r) {
    bool passes = true;
    for (TCol* col : filtered)
      if (!col->ReadRow(r)) {
        passes = false;
        break;
      }
    // Every record's line is read, passing or not, so lines and record numbers stay in step; a
    // file shorter than its store reads as empty lines.
    if (!csv.ReadLine(&line)) line = std::string_view();
    if (!passes) continue;
    ++listed;
    if (grid.RowCount() - 1 < listed) grid.SetRowCount(listed + 1);
    SplitCsvDisplayRecord(line, &fields);
    FillRow(grid, listed, filters::DecimalText(listed), fields);
  }
  ws_.recordCountText = filters::DecimalText(listed);
}

}  // namespace tabulon
