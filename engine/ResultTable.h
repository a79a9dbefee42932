// The result table: a grid of Shift-JIS strings with one fixed header row (column labels) and one
// fixed header column (row labels). The engine needs only these operations, so it runs the same
// on the window's grid and on the in-memory table of the command line and the tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tabulon {

// Rows a table makes only when a cell of them is read: the record list keeps its records as
// lines and splits one when it is painted, copied or saved.
class TRowSource {
 public:
  virtual ~TRowSource() = default;
  virtual int Rows() const = 0;
  // Replaces *cells with the cells of row (0-based in the source), from the left; a table shows
  // as many of them as it has columns and empty cells after the last.
  virtual void CellsOf(int row, std::vector<std::string>* cells) const = 0;
};

// The cells of a table: rows held as strings, followed by the rows of an optional row source.
// The source stays for as long as its rows do: cutting the row count below them, or a change of
// one of their cells (which makes every source row a held one), ends it and frees it.
class TTableCells {
 public:
  int Cols() const { return cols_; }
  int Rows() const { return rows_; }
  // Resizing keeps the cells that remain; new cells are empty. Growing past the source rows
  // makes held ones of the source rows that remain.
  void SetCols(int cols);
  void SetRows(int rows);
  // The cell's text, valid until the next call. REQUIRES: 0 <= col < Cols(), 0 <= row < Rows().
  const std::string& At(int col, int row) const;
  // The same REQUIRES as At; a source row set or cleared makes held rows of the source's rows.
  void Set(int col, int row, const std::string& text);
  void ClearCol(int col);  // REQUIRES: 0 <= col < Cols()
  void ClearRow(int row);  // REQUIRES: 0 <= row < Rows()
  // Appends the rows of source after the rows there are.
  void AppendRowSource(std::unique_ptr<const TRowSource> source);

 private:
  bool InSource(int row) const { return source_ && row >= held_; }
  // Makes held rows of the source rows below rows, and ends the source.
  void HoldSourceRows(int rows);

  int cols_ = 0, rows_ = 0;
  std::vector<std::vector<std::string>> cells_;  // [row][col], the held rows
  std::unique_ptr<const TRowSource> source_;     // the rows from held_ on, when set
  int held_ = 0;                                 // rows in cells_ while a source is set
  std::vector<bool> sourceCols_;                 // per column: shows the source's cells
  mutable int cachedRow_ = -1;                   // the source row last split
  mutable std::vector<std::string> cached_;      // its cells
  static const std::string kEmpty;
};

class TResultTable {
 public:
  virtual ~TResultTable() = default;

  virtual int ColCount() const = 0;
  virtual int RowCount() const = 0;
  // Resizing keeps the cells that remain; new cells are empty.
  virtual void SetColCount(int cols) = 0;
  virtual void SetRowCount(int rows) = 0;
  // REQUIRES (both): 0 <= col < ColCount(), 0 <= row < RowCount().
  virtual std::string Cell(int col, int row) const = 0;
  virtual void SetCell(int col, int row, const std::string& text) = 0;
  // Empties every cell of one column or row. REQUIRES: the column or row exists.
  virtual void ClearCol(int col) = 0;
  virtual void ClearRow(int row) = 0;
  // Appends the rows of source after the rows there are (see TTableCells).
  virtual void AppendRowSource(std::unique_ptr<const TRowSource> source) = 0;
  // Widths in pixels. REQUIRES: 0 <= col < ColCount().
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
  int ColCount() const override { return cells_.Cols(); }
  int RowCount() const override { return cells_.Rows(); }
  void SetColCount(int cols) override;
  void SetRowCount(int rows) override;
  std::string Cell(int col, int row) const override;
  void SetCell(int col, int row, const std::string& text) override;
  void ClearCol(int col) override;
  void ClearRow(int row) override;
  void AppendRowSource(std::unique_ptr<const TRowSource> source) override;
  int ColWidth(int col) const override;
  void SetColWidth(int col, int width) override;
  int DefaultColWidth() const override { return 32; }
  int Width() const override { return 777; }
  int TextWidth(const std::string& text) const override;

 private:
  TTableCells cells_;
  std::vector<int> widths_;  // per column
};

}  // namespace tabulon
