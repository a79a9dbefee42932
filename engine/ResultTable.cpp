#include "engine/ResultTable.h"

#include <algorithm>

#include "platform/SjisText.h"

namespace tabulon {

const std::string TTableCells::kEmpty;

void TTableCells::SetCols(int cols) {
  if (cols < 0) cols = 0;
  for (auto& row : cells_) row.resize(static_cast<size_t>(cols));
  // A column added later is empty in the source rows too.
  if (source_) sourceCols_.resize(static_cast<size_t>(cols), false);
  cols_ = cols;
  cachedRow_ = -1;
}

void TTableCells::SetRows(int rows) {
  if (rows < 0) rows = 0;
  if (source_) HoldSourceRows(std::min(rows, rows_));
  cells_.resize(static_cast<size_t>(rows), std::vector<std::string>(static_cast<size_t>(cols_)));
  rows_ = rows;
}

const std::string& TTableCells::At(int col, int row) const {
  if (!InSource(row)) return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
  if (!sourceCols_[static_cast<size_t>(col)]) return kEmpty;
  if (cachedRow_ != row) {
    source_->CellsOf(row - held_, &cached_);
    cachedRow_ = row;
  }
  const size_t c = static_cast<size_t>(col);
  return c < cached_.size() ? cached_[c] : kEmpty;
}

void TTableCells::Set(int col, int row, const std::string& text) {
  if (InSource(row)) HoldSourceRows(rows_);
  cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
}

void TTableCells::ClearCol(int col) {
  for (auto& row : cells_) row[static_cast<size_t>(col)].clear();
  if (source_) sourceCols_[static_cast<size_t>(col)] = false;
  cachedRow_ = -1;
}

void TTableCells::ClearRow(int row) {
  if (InSource(row)) HoldSourceRows(rows_);
  for (auto& cell : cells_[static_cast<size_t>(row)]) cell.clear();
}

void TTableCells::AppendRowSource(std::unique_ptr<const TRowSource> source) {
  if (source_) HoldSourceRows(rows_);
  held_ = rows_;
  rows_ += source->Rows();
  source_ = std::move(source);
  sourceCols_.assign(static_cast<size_t>(cols_), true);
  cachedRow_ = -1;
}

void TTableCells::HoldSourceRows(int rows) {
  cells_.resize(static_cast<size_t>(std::max(rows, held_)));
  for (int r = held_; r < rows; ++r) {
    auto& cells = cells_[static_cast<size_t>(r)];
    cells.resize(static_cast<size_t>(cols_));
    for (int c = 0; c < cols_; ++c) cells[static_cast<size_t>(c)] = At(c, r);
  }
  source_.reset();
  sourceCols_.clear();
  cachedRow_ = -1;
}

TMemoryTable::TMemoryTable() {
  SetColCount(3);
  SetRowCount(3);
}

void TMemoryTable::SetColCount(int cols) {
  cells_.SetCols(cols);
  widths_.resize(static_cast<size_t>(cells_.Cols()), DefaultColWidth());
}

void TMemoryTable::SetRowCount(int rows) {
  cells_.SetRows(rows);
}

std::string TMemoryTable::Cell(int col, int row) const {
  return cells_.At(col, row);
}

void TMemoryTable::SetCell(int col, int row, const std::string& text) {
  cells_.Set(col, row, text);
}

void TMemoryTable::ClearCol(int col) {
  cells_.ClearCol(col);
}

void TMemoryTable::ClearRow(int row) {
  cells_.ClearRow(row);
}

void TMemoryTable::AppendRowSource(std::unique_ptr<const TRowSource> source) {
  cells_.AppendRowSource(std::move(source));
}

int TMemoryTable::ColWidth(int col) const {
  return widths_[static_cast<size_t>(col)];
}

void TMemoryTable::SetColWidth(int col, int width) {
  widths_[static_cast<size_t>(col)] = width;
}

int TMemoryTable::TextWidth(const std::string& text) const {
  int width = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      width += 12;
      ++i;
    } else {
      width += 6;
    }
  }
  return width;
}

}  // namespace tabulon
