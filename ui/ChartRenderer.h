// The chart drawing: category series in a turnable three-dimensional view, painted into any
// QPainter, so that the chart window and the off-screen picture share one drawing.
#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <vector>

class QPainter;
class QRect;

namespace tabulon {

// The series kinds, numbered as the chart window counts them.
enum TSeriesKind : uint8_t { skLine, skArea, skPoint, skBar, skFastLine, skPie };

// One series: its legend title and one value per point.
struct TChartSeries {
  QString title;
  std::vector<double> values;
};

// Everything the chart shows.
struct TChartData {
  QString title;                     // one line, drawn left-aligned above the plot
  TSeriesKind kind = skLine;         // the kind of every series
  std::vector<QString> labels;       // the point labels, shared by all series
  std::vector<TChartSeries> series;  // REQUIRES: each holds labels.size() values
};

// How the chart is seen. The angles are the scroll-bar positions in degrees: 360 rotation is the
// front view, elevations below 360 look from above. 360 / 315 is the default, a gentle 3D view.
struct TChartView {
  int rotation = 360;   // 270..450
  int elevation = 315;  // 270..450
  int zoom = 100;       // percent, 50..150
  // The part of the chart's rectangle stretched over the whole of it (the mouse zoom), as
  // fractions of that rectangle; (0, 0, 1, 1) shows everything.
  QRectF window{0.0, 0.0, 1.0, 1.0};
};

// A value axis: ticks from low to high every step, shown with decimals fractional digits.
struct TAxisScale {
  double low;
  double high;
  double step;
  int decimals;
};

// The axis from low to high in round steps (1, 2 or 5 times a power of ten) with at most
// maxTicks intervals; low and high are widened outwards to whole steps. An empty range becomes
// one step wide. REQUIRES: low <= high, both finite; maxTicks >= 1.
TAxisScale NiceScale(double low, double high, int maxTicks);

// The fixed palette: the colour of series number index (of slice number index in a pie).
QColor ChartColor(int index);

// Paints the chart over bounds: the panel and its dashed frame, the title, the legend, the walls,
// axes and series in the view. Nothing outside bounds is touched; the painter's state is kept.
void PaintChart(QPainter& painter, const QRect& bounds, const TChartData& data,
                const TChartView& view);

}  // namespace tabulon
