#include "ui/StringGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyledItemDelegate>
#include <limits>
#include <utility>

#include "ui/QtStrings.h"

namespace tabulon {

namespace {
constexpr int kRowHeight = 16;
constexpr int kGrip = 3;  // a column border this near the pointer is dragged

// The room a cell leaves on each side of its text.
int TextMargin(const QWidget* widget) {
  return widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

// A number as the cells show one: an optional sign, digits (thousands separators allowed), an
// optional fraction and an optional "%". A code with leading zeros (00123, 0010926) is text.
bool LooksNumeric(const QString& text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  if (i < n && (text[i] == u'-' || text[i] == u'+')) ++i;
  if (i + 1 < n && text[i] == u'0' && (text[i + 1].isDigit() || text[i + 1] == u',')) return false;
  bool digits = false;
  for (; i < n && (text[i].isDigit() || (digits && text[i] == u',')); ++i)
    if (text[i].isDigit()) digits = true;
  if (i < n && text[i] == u'.') {
    ++i;
    for (; i < n && text[i].isDigit(); ++i) digits = true;
  }
  if (i < n && text[i] == u'%') ++i;
  return digits && i == n && text.back() != u',';
}

// Draws a heading cell as a string grid draws its fixed cells: the button face with a raised
// edge, the text from the left, clipped at the cell's border.
void PaintHeadingCell(QPainter& painter, const QRect& rect, const QString& text,
                      const QWidget* widget) {
  if (!rect.isValid()) return;
  const QPalette& palette = widget->palette();
  painter.save();
  painter.setClipRect(rect);
  painter.fillRect(rect, palette.button());
  painter.setPen(palette.light().color());
  painter.drawLine(rect.topLeft(), rect.topRight());
  painter.drawLine(rect.topLeft(), rect.bottomLeft());
  painter.setPen(palette.dark().color());
  painter.drawLine(rect.topRight(), rect.bottomRight());
  painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  painter.setClipRect(rect.adjusted(0, 0, -1, -1));
  painter.setPen(palette.buttonText().color());
  painter.drawText(rect.adjusted(TextMargin(widget), 0, 0, -1), Qt::AlignLeft | Qt::AlignVCenter,
                   text);
  painter.restore();
}

// What a data cell of width cellWidth shows of its text: a number too wide for the cell becomes
// as many "#" as fit (at least one), as a spreadsheet shows it, since its first digits alone
// would read as another number; anything else shows as it is (and is clipped).
QString DataCellText(const QString& text, int cellWidth, const QFontMetrics& metrics,
                     const QWidget* widget) {
  if (!LooksNumeric(text)) return text;
  const int room = cellWidth - 2 * TextMargin(widget);
  if (metrics.horizontalAdvance(text) <= room) return text;
  const int mark = std::max(1, metrics.horizontalAdvance(QLatin1Char('#')));
  return QString(std::max(1, room / mark), QLatin1Char('#'));
}

// Data cells: a text is clipped, never elided; a number is right-aligned, or "#" marks when it
// does not fit.
class TCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = Qt::ElideNone;
    if (!LooksNumeric(option->text)) return;
    option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
    option->text =
        DataCellText(option->text, option->rect.width(), option->fontMetrics, option->widget);
  }
};

}  // namespace

// The heading row (horizontal: row 0 of columns 1 on) or the heading column (vertical: column 0
// of rows 1 on). A left press reports its cell, the right button opens the grid's menu, and in a
// grid whose columns the user resizes a column border of the heading row is dragged.
class TGridHeading : public QHeaderView {
 public:
  TGridHeading(Qt::Orientation orientation, TStringGrid* grid)
      : QHeaderView(orientation, grid), grid_(grid) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setMinimumSectionSize(1);
    setDefaultSectionSize(orientation == Qt::Horizontal ? grid->DefaultColWidth() : kRowHeight);
    setSectionResizeMode(orientation == Qt::Horizontal && grid->userResizesColumns_
                             ? QHeaderView::Interactive
                             : QHeaderView::Fixed);
  }

  QSize sizeHint() const override {
    if (orientation() == Qt::Horizontal) return {QHeaderView::sizeHint().width(), kRowHeight};
    const int width = grid_->widths_.empty() ? 0 : grid_->widths_[0];
    return {width, QHeaderView::sizeHint().height()};
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QHeaderView::paintEvent(event);
    // Beyond the last cell the grid's empty background, as in the body, not a heading's face.
    const int end = length() - offset();
    const QRect all = viewport()->rect();
    const QRect beyond = orientation() == Qt::Horizontal
                             ? QRect(end, 0, all.width() - end, all.height())
                             : QRect(0, end, all.width(), all.height() - end);
    if (beyond.isValid()) QPainter(viewport()).fillRect(beyond, palette().base());
  }

  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
    const bool top = orientation() == Qt::Horizontal;
    PaintHeadingCell(*painter, rect,
                     grid_->DisplayText(top ? logicalIndex : 0, top ? 0 : logicalIndex), this);
  }

  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    if (OnBorder(pos)) return QHeaderView::mousePressEvent(event);
    const int section = logicalIndexAt(pos);
    if (!grid_->onMouseDown) return;
    if (section < 0)
      grid_->onMouseDown(-1, -1);
    else if (orientation() == Qt::Horizontal)
      grid_->onMouseDown(section, 0);
    else
      grid_->onMouseDown(0, section);
  }

  void contextMenuEvent(QContextMenuEvent* event) override {
    grid_->ShowContextMenu(event->globalPos());
  }

 private:
  // Whether pos lies on a column border the user may drag.
  bool OnBorder(const QPoint& pos) const {
    if (sectionResizeMode(0) != QHeaderView::Interactive) return false;
    for (int s = 0; s < count(); ++s) {
      if (isSectionHidden(s)) continue;
      const int right = sectionViewportPosition(s) + sectionSize(s);
      if (std::abs(pos.x() - right) <= kGrip) return true;
    }
    return false;
  }

  TStringGrid* grid_;  // the grid whose heading cells these are
};

namespace {

// The top-left cell (0, 0). In a grid whose columns the user resizes, its right border drags
// the width of column 0; the widget then reaches kGrip pixels past the cell, over the heading
// row, so the border is caught on both sides, and leaves that strip unpainted.
class TGridCorner : public QWidget {
 public:
  TGridCorner(TStringGrid* grid, std::vector<int>& widths, bool resizable,
              std::function<void()> resized)
      : QWidget(grid),
        grid_(grid),
        widths_(widths),
        resizable_(resizable),
        resized_(std::move(resized)) {
    setMouseTracking(resizable);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    PaintHeadingCell(painter, QRect(0, 0, CellWidth(), height()), grid_->DisplayText(0, 0), this);
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    const int x = event->position().toPoint().x();
    if (OnBorder(x) && !widths_.empty()) {
      dragStartX_ = x;
      dragStartWidth_ = widths_[0];
      return;
    }
    if (grid_->onMouseDown) grid_->onMouseDown(0, 0);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    const int x = event->position().toPoint().x();
    if (dragStartX_ >= 0) {
      widths_[0] = std::max(1, dragStartWidth_ + x - dragStartX_);
      resized_();
      return;
    }
    if (OnBorder(x))
      setCursor(Qt::SplitHCursor);
    else
      unsetCursor();
  }
  void mouseReleaseEvent(QMouseEvent*) override { dragStartX_ = -1; }
  void contextMenuEvent(QContextMenuEvent* event) override {
    QApplication::sendEvent(grid_->viewport(), event);
  }

 private:
  int CellWidth() const { return width() - (resizable_ ? kGrip : 0); }
  bool OnBorder(int x) const { return resizable_ && std::abs(x - CellWidth()) <= kGrip; }

  TStringGrid* grid_;              // whose corner this is
  std::vector<int>& widths_;       // the grid's column widths
  bool resizable_;                 // the user may drag column 0's border
  std::function<void()> resized_;  // column 0 changed width
  int dragStartX_ = -1;            // where a drag of the border began, -1 none
  int dragStartWidth_ = 0;         // column 0's width then
};

}  // namespace

int TGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cells.Rows();
}

int TGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cells.Cols();
}

QVariant TGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= cells.Rows() || index.column() >= cells.Cols()) return {};
  if (role == Qt::DisplayRole) {
    return FromSjis(cells.At(index.column(), index.row()));
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
  top_ = new TGridHeading(Qt::Horizontal, this);
  left_ = new TGridHeading(Qt::Vertical, this);
  setHorizontalHeader(top_);
  setVerticalHeader(left_);
  corner_ = new TGridCorner(this, widths_, userResizesColumns, [this] { updateGeometries(); });
  // A border dragged in the heading row. Column 0, hidden in the body, keeps its width.
  connect(top_, &QHeaderView::sectionResized, this, [this](int col, int, int width) {
    if (col >= 1 && col < static_cast<int>(widths_.size()) && !top_->isSectionHidden(col))
      widths_[static_cast<size_t>(col)] = width;
  });
  setCornerButtonEnabled(false);
  setItemDelegate(new TCellDelegate(this));
  setTextElideMode(Qt::ElideNone);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setShowGrid(true);
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
  PlaceHeadings();
}

void TStringGrid::PlaceHeadings() {
  if (model_.cells.Rows() > 0) setRowHidden(0, true);
  if (model_.cells.Cols() > 0) setColumnHidden(0, true);
  for (int c = 1; c < model_.cells.Cols(); ++c) setColumnWidth(c, widths_[static_cast<size_t>(c)]);
  updateGeometries();
  corner_->update();
}

void TStringGrid::updateGeometries() {
  QTableView::updateGeometries();
  if (corner_ == nullptr) return;  // still being made
  corner_->setGeometry(left_->x(), top_->y(), left_->width() + (userResizesColumns_ ? kGrip : 0),
                       top_->height());
  corner_->setVisible(left_->width() > 0 && top_->height() > 0);
  corner_->raise();
  top_->viewport()->update();
  left_->viewport()->update();
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
  constexpr size_t kMostTexts = 1 << 16;
  auto found = advances_.find(text);
  if (found == advances_.end()) {
    if (advances_.size() >= kMostTexts) advances_.clear();
    found = advances_.emplace(text, fontMetrics().horizontalAdvance(FromSjis(text))).first;
  }
  return found->second + 2 * margin;
}

void TStringGrid::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) advances_.clear();
  QTableView::changeEvent(event);
}

QString TStringGrid::DisplayText(int col, int row) const {
  return model_.data(model_.index(row, col), Qt::DisplayRole).toString();
}

QString TStringGrid::ShownText(int col, int row) const {
  const QString text = DisplayText(col, row);
  if (col == 0 || row == 0) return text;
  return DataCellText(text, columnWidth(col), fontMetrics(), this);
}

QWidget* TStringGrid::CellWidget(int col, int row) const {
  if (row == 0 && col == 0) return corner_;
  if (row == 0) return top_->viewport();
  if (col == 0) return left_->viewport();
  return viewport();
}

QRect TStringGrid::CellRect(int col, int row) const {
  if (row == 0 && col == 0) return QRect(0, 0, left_->width(), corner_->height());
  if (row == 0)
    return QRect(top_->sectionViewportPosition(col), 0, top_->sectionSize(col), top_->height());
  if (col == 0)
    return QRect(0, left_->sectionViewportPosition(row), left_->width(), left_->sectionSize(row));
  return visualRect(model_.index(row, col)).intersected(viewport()->rect());
}

QString TStringGrid::CopyText() const {
  int c0 = 0, r0 = 0, c1 = model_.cells.Cols() - 1, r1 = model_.cells.Rows() - 1;
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  if (!selected.isEmpty()) {
    c0 = r0 = std::numeric_limits<int>::max();
    c1 = r1 = -1;
    for (const QModelIndex& index : selected) {
      c0 = std::min(c0, index.column());
      c1 = std::max(c1, index.column());
      r0 = std::min(r0, index.row());
      r1 = std::max(r1, index.row());
    }
  }
  QString text;
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) {
      if (c > c0) text += QLatin1Char('\t');
      QString cell = DisplayText(c, r);
      if (cell.contains(QLatin1Char('\t')) || cell.contains(QLatin1Char('\n')) ||
          cell.contains(QLatin1Char('\r')) || cell.contains(QLatin1Char('"')))
        cell = QLatin1Char('"') + cell.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
               QLatin1Char('"');
      text += cell;
    }
    text += QLatin1Char('\n');
  }
  return text;
}

void TStringGrid::Copy() {
  QGuiApplication::clipboard()->setText(CopyText());
}

void TStringGrid::AddCopyEntry(QMenu& menu) {
  QAction* copy = menu.addAction(QStringLiteral("コピー"), this, &TStringGrid::Copy);
  copy->setShortcut(QKeySequence::Copy);
}

void TStringGrid::ShowContextMenu(const QPoint& globalPos) {
  QMenu menu(this);
  if (onContextMenu)
    onContextMenu(menu);
  else
    AddCopyEntry(menu);
  if (!menu.isEmpty()) menu.exec(globalPos);
}

QPoint TStringGrid::BodyCellAt(const QPoint& pos) const {
  const QModelIndex index = indexAt(pos);
  return index.isValid() ? QPoint(index.column(), index.row()) : QPoint(-1, -1);
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
  // The right button keeps the selection for the menu it opens.
  if (event->button() == Qt::RightButton) return;
  QTableView::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  // With Shift or Ctrl the press extends or adds to the selection.
  clickPending_ = !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
  pressedCell_ = BodyCellAt(event->position().toPoint());
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event) {
  QTableView::mouseMoveEvent(event);
  if (clickPending_ && BodyCellAt(event->position().toPoint()) != pressedCell_)
    clickPending_ = false;  // a drag: it selects
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !std::exchange(clickPending_, false)) return;
  if (BodyCellAt(event->position().toPoint()) != pressedCell_ || !onMouseDown) return;
  onMouseDown(pressedCell_.x(), pressedCell_.y());
}

void TStringGrid::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    Copy();
    return;
  }
  QTableView::keyPressEvent(event);
}

void TStringGrid::contextMenuEvent(QContextMenuEvent* event) {
  ShowContextMenu(event->globalPos());
}

}  // namespace tabulon
