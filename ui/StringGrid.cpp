#include "ui/StringGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPalette>
#include <QStyle>

#include "platform/SjisText.h"

namespace tabulon {

namespace {
constexpr int kRowHeight = 16;
}

int TGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cells.Rows();
}

int TGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cells.Cols();
}

QVariant TGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= cells.Rows() || index.column() >= cells.Cols()) return {};
  if (role == Qt::DisplayRole) {
    const std::string& text = cells.At(index.column(), index.row());
    if (IsAscii(text)) return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    return QString::fromStdString(SjisToUtf8(text));
  }
  if (role == Qt::BackgroundRole && (index.row() == 0 || index.column() == 0))
    return QApplication::palette().button();
  return {};
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const {
  if (index.row() == 0 || index.column() == 0) return Qt::ItemIsEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void TGridModel::Publish() {
  beginResetModel();
  endResetModel();
}

TStringGrid::TStringGrid(QWidget* parent, bool userResizesColumns)
    : QTableView(parent), userResizesColumns_(userResizesColumns) {
  setModel(&model_);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setDefaultSectionSize(DefaultColWidth());
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setShowGrid(true);
  setMouseTracking(userResizesColumns);
  SetColCount(3);
  SetRowCount(3);
}

void TStringGrid::Changed() {
  if (flushPosted_) return;
  flushPosted_ = true;
  QMetaObject::invokeMethod(this, &TStringGrid::Flush, Qt::QueuedConnection);
}

void TStringGrid::Flush() {
  if (!flushPosted_) return;
  flushPosted_ = false;
  model_.Publish();
  for (int c = 0; c < model_.cells.Cols(); ++c) setColumnWidth(c, widths_[static_cast<size_t>(c)]);
}

void TStringGrid::SetColCount(int cols) {
  model_.cells.SetCols(cols);
  widths_.resize(static_cast<size_t>(model_.cells.Cols()), DefaultColWidth());
  Changed();
}

void TStringGrid::SetRowCount(int rows) {
  model_.cells.SetRows(rows);
  Changed();
}

std::string TStringGrid::Cell(int col, int row) const {
  return model_.cells.At(col, row);
}

void TStringGrid::SetCell(int col, int row, const std::string& text) {
  model_.cells.Set(col, row, text);
  Changed();
}

void TStringGrid::ClearCol(int col) {
  model_.cells.ClearCol(col);
  Changed();
}

void TStringGrid::ClearRow(int row) {
  model_.cells.ClearRow(row);
  Changed();
}

void TStringGrid::AppendRowSource(std::unique_ptr<const TRowSource> source) {
  model_.cells.AppendRowSource(std::move(source));
  Changed();
}

int TStringGrid::ColWidth(int col) const {
  return widths_[static_cast<size_t>(col)];
}

void TStringGrid::SetColWidth(int col, int width) {
  widths_[static_cast<size_t>(col)] = width;
  Changed();
}

int TStringGrid::TextWidth(const std::string& text) const {
  // The cell draws its text inside a margin on each side; a width that fits the text holds both.
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  return fontMetrics().horizontalAdvance(QString::fromStdString(SjisToUtf8(text))) + 2 * margin;
}

QString TStringGrid::DisplayText(int col, int row) const {
  return model_.data(model_.index(row, col), Qt::DisplayRole).toString();
}

int TStringGrid::BorderAt(const QPoint& pos) const {
  if (!userResizesColumns_ || rowAt(pos.y()) != 0) return -1;
  for (int c = 0; c < model_.cells.Cols(); ++c) {
    const int right = columnViewportPosition(c) + columnWidth(c);
    if (std::abs(pos.x() - right) <= 3) return c;
  }
  return -1;
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const int border = event->button() == Qt::LeftButton ? BorderAt(pos) : -1;
  if (border >= 0) {
    resizing_ = border;
    resizeStartX_ = pos.x();
    resizeStartWidth_ = columnWidth(border);
    return;
  }
  QTableView::mousePressEvent(event);
  const QModelIndex index = indexAt(pos);
  if (onMouseDown)
    onMouseDown(index.isValid() ? index.column() : -1, index.isValid() ? index.row() : -1);
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (resizing_ >= 0) {
    const int width = std::max(1, resizeStartWidth_ + pos.x() - resizeStartX_);
    widths_[static_cast<size_t>(resizing_)] = width;
    setColumnWidth(resizing_, width);
    return;
  }
  if (userResizesColumns_ && event->buttons() == Qt::NoButton) {
    if (BorderAt(pos) >= 0)
      viewport()->setCursor(Qt::SplitHCursor);
    else
      viewport()->unsetCursor();
  }
  QTableView::mouseMoveEvent(event);
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (resizing_ >= 0) {
    resizing_ = -1;
    return;
  }
  QTableView::mouseReleaseEvent(event);
}

}  // namespace tabulon
