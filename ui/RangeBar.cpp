#include "ui/RangeBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace tabulon {
namespace {

TMouseButton ButtonOf(const QMouseEvent* event) {
  switch (event->button()) {
    case Qt::RightButton:
      return TMouseButton::kRight;
    case Qt::LeftButton:
      return TMouseButton::kLeft;
    default:
      return TMouseButton::kMiddle;
  }
}

}  // namespace

TRangeBar::TRangeBar(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
}

void TRangeBar::SetParts(int w, int l, int r) {
  w_ = w;
  l_ = l;
  r_ = r;
  drag_ = Drag::kNone;
  update();
}

void TRangeBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int h = height();
  const QPalette& pal = palette();
  // Panel2: grey, with a sunken 1-pixel border.
  painter.fillRect(0, 0, w_, h, QColor(0xC0, 0xC0, 0xC0));
  painter.setPen(pal.color(QPalette::Dark));
  painter.drawLine(0, 0, w_ - 1, 0);
  painter.drawLine(0, 0, 0, h - 1);
  painter.setPen(pal.color(QPalette::Light));
  painter.drawLine(0, h - 1, w_ - 1, h - 1);
  painter.drawLine(w_ - 1, 0, w_ - 1, h - 1);

  int lower = LowerHandleLeft();
  int upper = UpperHandleLeft();
  if (drag_ == Drag::kLower) lower = dragLeft_;
  if (drag_ == Drag::kUpper) upper = dragLeft_;
  const QColor shaded(0x80, 0x80, 0x80);
  // Panel3 and Panel4, clipped to the inside of the border (a bound beyond the extremes may ask
  // for more than the bar holds).
  const QRect inside(1, 1, w_ - 2, h - 2);
  painter.fillRect(QRect(1, 1, std::max(0, lower - 1), h - 2).intersected(inside), shaded);
  painter.fillRect(QRect(upper + kHandleWidth, 1, std::max(0, w_ - 1 - upper - kHandleWidth), h - 2)
                       .intersected(inside),
                   shaded);
  for (int left : {lower, upper}) {
    const QRect handle = QRect(left, 1, kHandleWidth, h - 2).intersected(inside);
    painter.fillRect(handle, pal.color(QPalette::Button));
    painter.setPen(pal.color(QPalette::Light));
    painter.drawLine(handle.topLeft(), handle.bottomLeft());
    painter.setPen(pal.color(QPalette::Dark));
    painter.drawLine(handle.topRight(), handle.bottomRight());
  }
}

void TRangeBar::mousePressEvent(QMouseEvent* event) {
  const int x = event->position().toPoint().x();
  const int lower = LowerHandleLeft();
  const int upper = UpperHandleLeft();
  if (event->button() == Qt::LeftButton && x >= lower && x < lower + kHandleWidth) {
    drag_ = Drag::kLower;
    dragLeft_ = lower;
  } else if (event->button() == Qt::LeftButton && x >= upper && x < upper + kHandleWidth) {
    drag_ = Drag::kUpper;
    dragLeft_ = upper;
  } else if (x < lower) {
    if (onPanel3MouseDown) onPanel3MouseDown(ButtonOf(event), x - 1);
    return;
  } else if (x >= upper + kHandleWidth) {
    if (onPanel4MouseDown) onPanel4MouseDown(ButtonOf(event), x - (w_ - 1 - r_));
    return;
  } else {
    if (onPanel2MouseDown) onPanel2MouseDown(ButtonOf(event), x);
    return;
  }
  grabOffset_ = x - dragLeft_;
  moved_ = false;
}

void TRangeBar::mouseMoveEvent(QMouseEvent* event) {
  const int x = event->position().toPoint().x();
  if (drag_ == Drag::kNone) {
    const bool onHandle = (x >= LowerHandleLeft() && x < LowerHandleLeft() + kHandleWidth) ||
                          (x >= UpperHandleLeft() && x < UpperHandleLeft() + kHandleWidth);
    setCursor(onHandle ? Qt::SplitHCursor : Qt::ArrowCursor);
    return;
  }
  // The left part keeps at least 1 pixel and the handles do not pass each other.
  int left = x - grabOffset_;
  if (drag_ == Drag::kLower)
    left = std::clamp(left, 2, std::max(2, UpperHandleLeft() - kHandleWidth));
  else
    left = std::clamp(left, std::min(LowerHandleLeft() + kHandleWidth, w_ - 1 - kHandleWidth),
                      w_ - 1 - kHandleWidth);
  if (left != dragLeft_) moved_ = true;
  dragLeft_ = left;
  update();
}

void TRangeBar::mouseReleaseEvent(QMouseEvent*) {
  const Drag drag = drag_;
  drag_ = Drag::kNone;
  update();
  if (!moved_) return;
  moved_ = false;
  if (drag == Drag::kLower && onSplitter2Moved) onSplitter2Moved(dragLeft_);
  if (drag == Drag::kUpper && onSplitter1Moved) onSplitter1Moved(dragLeft_);
}

}  // namespace tabulon
