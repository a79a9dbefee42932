// The record list: the CSV records that pass every filter, in file order.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "mainlogic/FilterValues.h"
#include "mainlogic/MainLogic.h"
#include "text/CsvRecordReader.h"
#include "text/CsvSplit.h"

namespace tabulon {
namespace {

// The listed records, each held as its text (in Shift-JIS, so a UTF-8 file's converted text; the
// lines of a record with a quoted line break joined) and split into the row number and its fields
// only when a cell of it is read. The records lie end to end in one buffer, found by a 2-byte
// length per record and the start of every 64th: the list takes about the size of the records'
// file bytes, and giving it up frees it whole.
class TRecordRows : public TRowSource {
 public:
  // expectedBytes: what the lines will take at most, as far as is known (the file's size).
  TRecordRows(size_t expectedBytes, char separator) : separator_(separator) {
    text_.reserve(expectedBytes);
  }
  void Add(std::string_view line) {
    if (lengths_.size() % kBlock == 0) blockStarts_.push_back(text_.size());
    if (line.size() < kLong) {
      lengths_.push_back(static_cast<uint16_t>(line.size()));
    } else {
      lengths_.push_back(kLong);
      longLengths_.emplace_back(lengths_.size() - 1, line.size());
    }
    text_.append(line);
  }
  int Rows() const override { return static_cast<int>(lengths_.size()); }
  void CellsOf(int row, std::vector<std::string>* cells) const override {
    const size_t r = static_cast<size_t>(row);
    size_t start = blockStarts_[r / kBlock];
    for (size_t i = r - r % kBlock; i < r; ++i) start += Length(i);
    SplitCsvDisplayRecord(std::string_view(text_).substr(start, Length(r)), &split_, separator_);
    const std::vector<std::string_view>& fields = split_.fields;
    cells->resize(fields.size() + 1);
    (*cells)[0] = filters::DecimalText(row + 1);
    for (size_t i = 0; i < fields.size(); ++i) (*cells)[i + 1].assign(fields[i]);
  }

 private:
  static constexpr size_t kBlock = 64;       // lines per stored start
  static constexpr uint16_t kLong = 0xFFFF;  // the length is in longLengths_

  size_t Length(size_t row) const {
    if (lengths_[row] != kLong) return lengths_[row];
    const auto found =
        std::lower_bound(longLengths_.begin(), longLengths_.end(), std::make_pair(row, size_t{0}));
    return found->second;
  }

  std::string text_;                                    // the lines, without their line ends
  std::vector<uint16_t> lengths_;                       // per line, kLong for a long one
  std::vector<size_t> blockStarts_;                     // where lines 0, 64, 128 ... begin
  std::vector<std::pair<size_t, size_t>> longLengths_;  // (line, length), in line order
  char separator_;
  mutable TCsvFields split_;  // reused by CellsOf
};

// The filtered columns, loaded: a record is listed when it passes each of them.
std::vector<TCol*> LoadedFilters(const TWorkspace& ws) {
  std::vector<TCol*> filtered;
  for (const auto& col : ws.FCols)
    if (col->FFiltered) {
      col->Load();
      filtered.push_back(col.get());
    }
  return filtered;
}

bool PassesAll(const std::vector<TCol*>& filtered, int32_t row) {
  for (TCol* col : filtered)
    if (!col->ReadRow(row)) return false;
  return true;
}

// Reads the CSV's header record into the grid's first row, as the import reads it, and makes
// the grid that one row with a heading column before the fields.
void ShowHeader(CsvRecordReader& csv, TResultTable& grid) {
  std::string_view line;
  if (!csv.ReadRecord(&line)) line = std::string_view();
  TCsvFields split;
  SplitCsvDisplayRecord(line, &split, csv.Separator());
  const std::vector<std::string_view>& fields = split.fields;
  grid.SetColCount(static_cast<int>(fields.size()) + 1);
  grid.SetRowCount(1);
  for (int c = 0; c < grid.ColCount(); ++c) grid.SetColWidth(c, grid.DefaultColWidth());
  grid.ClearRow(0);
  for (size_t i = 0; i < fields.size(); ++i)
    grid.SetCell(static_cast<int>(i) + 1, 0, std::string(fields[i]));
}

// Puts the records read under the header. The heading column is as wide as the last record
// number, the widest, so every number shows whole.
void ShowRecords(TResultTable& grid, std::unique_ptr<TRecordRows> rows) {
  const int width = grid.TextWidth(filters::DecimalText(rows->Rows()));
  grid.SetColWidth(0, std::max(grid.DefaultColWidth(), width));
  if (rows->Rows() > 0)
    grid.AppendRowSource(std::move(rows));
  else
    grid.SetRowCount(2);  // never fewer than 2 rows: one empty data row
}

}  // namespace

void TMainLogic::Button7Click() {
  if (!HasDataset()) return;
  TResultTable& grid = *ChooseOutputGrid();
  ws_.FOutGrid = &grid;
  const std::vector<TCol*> filtered = LoadedFilters(ws_);

  // Opened before the grid changes: a file that cannot be opened leaves the grid as it was. The
  // records are read as the import reads them, so that record numbers agree; the records follow
  // the header once they are all read.
  CsvRecordReader csv(ws_.FCsvPath);
  ShowHeader(csv, grid);
  auto records = std::make_unique<TRecordRows>(
      static_cast<size_t>(std::max<int64_t>(csv.Lines().Size(), 0)), csv.Separator());
  // A read that fails part-way leaves the header and the records read before it.
  try {
    std::string_view line;
    for (int32_t r = 0; r < ws_.FRowCount; ++r) {
      const bool passes = PassesAll(filtered, r);
      // Every record is read, passing or not, so records and record numbers stay in step; a
      // file shorter than its store reads as empty lines.
      if (!csv.ReadRecord(&line)) line = std::string_view();
      if (passes) records->Add(line);
    }
  } catch (...) {
    ShowRecords(grid, std::move(records));
    throw;
  }
  const int listed = records->Rows();
  ShowRecords(grid, std::move(records));
  ws_.recordCountText = filters::DecimalText(listed);
}

}  // namespace tabulon
