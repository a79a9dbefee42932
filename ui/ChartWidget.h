// The chart component: a widget that shows a TChartData through the chart drawing, turned, tilted
// and zoomed by its view settings, with an animated mouse zoom.
#pragma once

#include <QPoint>
#include <QWidget>

#include "ui/ChartRenderer.h"

class QVariantAnimation;

namespace tabulon {

class TChart : public QWidget {
  Q_OBJECT

 public:
  explicit TChart(QWidget* parent = nullptr);

  // Replaces what the chart shows and restores a mouse zoom (it belonged to the old data); the
  // rotation, elevation and zoom stay.
  void SetData(TChartData data);
  const TChartData& Data() const { return data_; }

  // The 3D view in scroll-bar units: degrees 270..450 and percent 50..150 (clamped).
  void SetRotation(int degrees);
  void SetElevation(int degrees);
  void SetZoom(int percent);
  const TChartView& View() const { return view_; }

  // Paints the chart as it is shown now (without a rubber band) into bounds of any painter.
  void PaintTo(QPainter& painter, const QRect& bounds) const;

  // True while a mouse zoom or its undoing is still moving.
  bool IsAnimating() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  // A drag towards the lower right zooms into the dragged rectangle; a click, or a drag towards
  // the upper left, restores the whole chart. Both move there in a short animation.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void AnimateTo(const QRectF& window);

  TChartData data_;               // what is drawn
  TChartView view_;               // angles, zoom and the mouse-zoom window
  QVariantAnimation* animation_;  // moves view_.window; owned as a child
  bool dragging_ = false;         // the left button went down on the chart
  QPoint dragFrom_, dragTo_;      // the rubber band's corners while dragging
};

}  // namespace tabulon
