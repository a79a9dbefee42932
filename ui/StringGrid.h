// The string grid of the windows: a result table (engine/ResultTable.h) shown in a table view.
// Cells are held as Shift-JIS and converted only when a visible cell is painted, so a record list
// of a million rows costs no conversion of rows nobody looks at. Row 0 and column 0 are the fixed
// heading cells, painted in the button colour. Changes are published to the view in one model
// reset when control returns to the event loop (or at Flush), not once per cell.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>
#include <string>
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

  // Run on every mouse press with the cell under the pointer; -1 outside the cells.
  std::function<void(int col, int row)> onMouseDown;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Changed();
  // The column whose right border lies within 3 pixels of x in the heading row, or -1.
  int BorderAt(const QPoint& pos) const;

  TGridModel model_;
  std::vector<int> widths_;   // pixel width per column
  bool flushPosted_ = false;  // changes wait for Flush, which is queued
  bool userResizesColumns_;
  int resizing_ = -1;     // the column being resized by the user, -1 none
  int resizeStartX_ = 0;  // where that drag began
  int resizeStartWidth_ = 0;
};

}  // namespace tabulon
