// The result table: a grid of Shift-JIS strings with one fixed header row (column labels) and one
// fixed header column (row labels). The engine needs only these operations, so it runs the same
// on the window's grid and on the in-memory table of the command line and the tests.
#pragma once

#include <string>
#include <vector>

namespace tabulon {

class TResultTable {
 public:
  virtual ~TResultTable() = default;

  virtual int ColCount() const = 0;
  virtual int RowCount() const = 0;
  // Resizing keeps the cells that remain; new cells are empty.
  virtual void SetColCount(int cols) = 0;
  virtual void SetRowCount(int rows) = 0;
  // REQUIRES: 0 <= col < ColCount(), 0 <= row < RowCount().
  virtual std::string Cell(int col, int row) const = 0;
  virtual void SetCell(int col, int row, const std::string& text) = 0;
  // Empties every cell of one column or row.
  virtual void ClearCol(int col) = 0;
  virtual void ClearRow(int row) = 0;
  // Widths in pixels.
  virtual int ColWidth(int col) const = 0;
  virtual void SetColWidth(int col, int width) = 0;
  virtual int DefaultColWidth() const = 0;
  // The table's own width in pixels.
  virtual int Width() const = 0;
  // The pixel width of a text in the table's font.
  virtual int TextWidth(const std::string& text) const = 0;
};

// A table held in memory, measuring text with the fixed pitch of the 12-pixel data font:
// 6 pixels per single-byte character, 12 per double-byte character. Sized like the main
// window's grid: 777 pixels wide, default column width 32, 3 x 3 cells at first.
class TMemoryTable : public TResultTable {
 public:
  TMemoryTable();
  int ColCount() const override { return cols_; }
  int RowCount() const override { return rows_; }
  void SetColCount(int cols) override;
  void SetRowCount(int rows) override;
  std::string Cell(int col, int row) const override;
  void SetCell(int col, int row, const std::string& text) override;
  void ClearCol(int col) override;
  void ClearRow(int row) override;
  int ColWidth(int col) const override;
  void SetColWidth(int col, int width) override;
  int DefaultColWidth() const override { return 32; }
  int Width() const override { return 777; }
  int TextWidth(const std::string& text) const override;

 private:
  int cols_ = 0, rows_ = 0;
  std::vector<std::vector<std::string>> cells_;  // [row][col]
  std::vector<int> widths_;                      // per column
};

}  // namespace tabulon
