#include "engine/ResultTable.h"

#include "platform/SjisText.h"

namespace tabulon {

TMemoryTable::TMemoryTable() {
  SetColCount(3);
  SetRowCount(3);
}

void TMemoryTable::SetColCount(int cols) {
  if (cols < 0) cols = 0;
  for (auto& row : cells_) row.resize(static_cast<size_t>(cols));
  widths_.resize(static_cast<size_t>(cols), DefaultColWidth());
  cols_ = cols;
}

void TMemoryTable::SetRowCount(int rows) {
  if (rows < 0) rows = 0;
  cells_.resize(static_cast<size_t>(rows), std::vector<std::string>(static_cast<size_t>(cols_)));
  rows_ = rows;
}

std::string TMemoryTable::Cell(int col, int row) const {
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TMemoryTable::SetCell(int col, int row, const std::string& text) {
  cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
}

void TMemoryTable::ClearCol(int col) {
  for (auto& row : cells_) row[static_cast<size_t>(col)].clear();
}

void TMemoryTable::ClearRow(int row) {
  for (auto& cell : cells_[static_cast<size_t>(row)]) cell.clear();
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
