// The string grid of the windows: a result table (engine/ResultTable.h) shown in a table view.
// Cells are held as Shift-JIS and converted only when a visible cell is painted, so a record list
// of a million rows costs no conversion of rows nobody looks at. Row 0 and column 0 are the fixed
// heading cells, painted in the button colour by the view's headers, so they never scroll away.
// A cell too narrow for its text clips it; a data cell holding a number is drawn right-aligned,
// or as "#" marks when the number does not fit (a spreadsheet's way: never its first digits).
// Changes are published to the view in one model reset when control returns to the
// event loop (or at Flush), not once per cell.
#pragma once

#include <QAbstractTableModel>
#include <QMenu>
#include <QTableView>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/ResultTable.h"

namespace tabulon {

class TGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Tells the views that everything may have changed.
  void Publish();

  TTableCells cells;  // Shift-JIS
};

class TGridHeading;

class TStringGrid : public QTableView, public TResultTable {
  Q_OBJECT
 public:
  // userResizesColumns: the user may drag a column border in the heading row.
  TStringGrid(QWidget* parent, bool userResizesColumns);

  // ---- TResultTable
  int ColCount() const override { return model_.cells.Cols(); }
  int RowCount() const override { return model_.cells.Rows(); }
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
  int Width() const override { return width(); }
  int TextWidth(const std::string& text) const override;

  // Publishes pending changes to the view now (nothing when there are none, so the view keeps its
  // scroll position).
  void Flush();
  // The text the view shows in a cell (Unicode), after Flush.
  QString DisplayText(int col, int row) const;
  // The text the cell is drawn with: DisplayText, except that a data cell (not a heading) too
  // narrow for its number shows "#" marks. REQUIRES: Flush.
  QString ShownText(int col, int row) const;

  // The widget that draws cell (col, row) (a heading, the corner or the viewport) and the cell's
  // rectangle in it; an empty rectangle when the cell is out of sight. REQUIRES: Flush.
  QWidget* CellWidget(int col, int row) const;
  QRect CellRect(int col, int row) const;

  // The selected cells, or the whole table when none is selected, as tab-separated lines (each
  // ended by a line feed) for a spreadsheet; a cell holding a tab, a line end or a double quote is
  // quoted, inner quotes doubled.
  QString CopyText() const;
  // Puts CopyText on the clipboard.
  void Copy();
  // Adds the entry "コピー" (Copy) to a context menu of this grid.
  void AddCopyEntry(QMenu& menu);

  // Run on a left-button click with the cell clicked; -1 outside the cells. A heading cell (row
  // 0 or column 0) reports at the press. The body reports at the release, and only when the
  // pointer stayed on the pressed cell and neither Shift nor Ctrl was held: a press dragged over
  // other cells selects them (for コピー).
  std::function<void(int col, int row)> onMouseDown;
  // Fills the context menu the right button opens; unset, the menu holds "コピー" alone.
  std::function<void(QMenu& menu)> onContextMenu;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void updateGeometries() override;
  void changeEvent(QEvent* event) override;

 private:
  friend class TGridHeading;
  void Changed();
  // Opens the context menu at globalPos.
  void ShowContextMenu(const QPoint& globalPos);
  // Hides the heading row and column in the body (the headings draw them) and sizes the headings.
  void PlaceHeadings();
  // The body cell (col, row) under pos in the viewport; (-1, -1) outside the cells.
  QPoint BodyCellAt(const QPoint& pos) const;

  TGridModel model_;
  // Text advances measured in the grid's font, by Shift-JIS text: the labels and most figures of
  // a table recur from one click to the next. Emptied when the font changes or it grows large.
  mutable std::unordered_map<std::string, int> advances_;
  std::vector<int> widths_;   // pixel width per column
  bool flushPosted_ = false;  // changes wait for Flush, which is queued
  bool userResizesColumns_;
  TGridHeading* top_ = nullptr;   // draws row 0 from column 1 on
  TGridHeading* left_ = nullptr;  // draws column 0 from row 1 on
  QWidget* corner_ = nullptr;     // draws cell (0, 0); its right border resizes column 0
  QPoint pressedCell_{-1, -1};    // the body cell the left button went down on
  bool clickPending_ = false;     // its release there is a click (no drag, no modifier)
};

}  // namespace tabulon
