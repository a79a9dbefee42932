#include "ui/ChartWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>
#include <algorithm>
#include <utility>

namespace tabulon {
namespace {

constexpr int kDragThreshold = 4;  // pixels a press must move to count as a drag
constexpr int kZoomMilliseconds = 250;
const QRectF kWholeChart(0.0, 0.0, 1.0, 1.0);

}  // namespace

TChart::TChart(QWidget* parent) : QWidget(parent), animation_(new QVariantAnimation(this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  animation_->setDuration(kZoomMilliseconds);
  animation_->setEasingCurve(QEasingCurve::OutCubic);
  connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
    view_.window = value.toRectF();
    update();
  });
}

void TChart::SetData(TChartData data) {
  data_ = std::move(data);
  animation_->stop();
  view_.window = kWholeChart;
  update();
}

void TChart::SetRotation(int degrees) {
  view_.rotation = std::clamp(degrees, 270, 450);
  update();
}

void TChart::SetElevation(int degrees) {
  view_.elevation = std::clamp(degrees, 270, 450);
  update();
}

void TChart::SetZoom(int percent) {
  view_.zoom = std::clamp(percent, 50, 150);
  update();
}

void TChart::PaintTo(QPainter& painter, const QRect& bounds) const {
  PaintChart(painter, bounds, data_, view_);
}

bool TChart::IsAnimating() const {
  return animation_->state() == QAbstractAnimation::Running;
}

void TChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTo(painter, rect());
  if (dragging_ && (dragTo_ - dragFrom_).manhattanLength() >= kDragThreshold) {
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(dragFrom_, dragTo_).normalized());
  }
}

void TChart::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  dragging_ = true;
  dragFrom_ = dragTo_ = event->position().toPoint();
}

void TChart::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return QWidget::mouseMoveEvent(event);
  dragTo_ = event->position().toPoint();
  update();
}

void TChart::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  dragging_ = false;
  dragTo_ = event->position().toPoint();
  const QPoint moved = dragTo_ - dragFrom_;
  if (moved.x() < kDragThreshold || moved.y() < kDragThreshold || width() <= 0 || height() <= 0) {
    AnimateTo(kWholeChart);
    return;
  }
  // The dragged rectangle is in the zoomed picture; the window is in the whole chart's fractions.
  const QRectF& w = view_.window;
  const QRectF dragged = QRectF(dragFrom_, dragTo_).intersected(QRectF(rect()));
  AnimateTo(
      QRectF(w.x() + dragged.x() / width() * w.width(), w.y() + dragged.y() / height() * w.height(),
             dragged.width() / width() * w.width(), dragged.height() / height() * w.height()));
}

void TChart::AnimateTo(const QRectF& window) {
  animation_->stop();
  animation_->setStartValue(view_.window);
  animation_->setEndValue(window);
  animation_->start();
  update();
}

}  // namespace tabulon
