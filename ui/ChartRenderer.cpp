#include "ui/ChartRenderer.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace tabulon {
namespace {

// The box of the 3D view is 1 wide; its height follows the plot's shape, and its depth is this
// share of the height (of the width, when that is smaller).
constexpr double kDepthShare = 0.3;
// The depth of the series' row as a share of the box's depth; the floor behind it stays free.
constexpr double kRowShare = 0.4;
// Where lines coincide, each takes this many stripes of every piece they share.
constexpr int kStripesPerSeries = 3;
// Camera tilt in degrees per degree of elevation away from 360: the default elevation of 315
// then looks down by 22.5 degrees, and the scroll bar's ends by 45.
constexpr double kTiltPerDegree = 0.5;
constexpr int kDefaultElevation = 315;
constexpr double kPad = 6;           // free space inside the frame and around the legend
constexpr double kMarkerPixels = 9;  // edge of a point marker at 100 % zoom
constexpr double kLabelMaxWidth = 140;

const QColor kPanelColour(0xF0, 0xF0, 0xF0);
const QColor kSideWallColour(0xE6, 0xE6, 0xE6);
const QColor kFloorColour(0xDA, 0xDA, 0xDA);
const QColor kGridColour(0xB4, 0xB4, 0xB4);
const QColor kZeroColour(0x60, 0x60, 0x60);

struct V3 {
  double x, y, z;
};

double Dot(const V3& a, const V3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

double Radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

QFont ChartFont(bool bold) {
  QFont font;
  // The IPA fonts stand in where the Windows font is missing.
  font.setFamilies(
      {QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho")});
  font.setPixelSize(12);
  font.setBold(bold);
  return font;
}

// An orthographic camera turned by yaw about the vertical axis and tilted by pitch (positive
// looks from above), followed by the fit into the plot, the zoom and the mouse-zoom window. The
// whole map is affine, so planar faces stay planar polygons.
class TProjection {
 public:
  TProjection(double yawDegrees, double pitchDegrees) {
    const double cy = std::cos(Radians(yawDegrees)), sy = std::sin(Radians(yawDegrees));
    const double cp = std::cos(Radians(pitchDegrees)), sp = std::sin(Radians(pitchDegrees));
    right_ = {cy, 0, sy};
    up_ = {-sy * sp, cp, cy * sp};
    depth_ = {-sy * cp, -sp, cy * cp};
  }

  // Scales the points uniformly to fill area, centred, times zoom; then stretches the window
  // (fractions of bounds) over bounds.
  void Fit(const std::vector<V3>& points, const QRectF& area, double zoom, const QRectF& bounds,
           const QRectF& window) {
    double minX = std::numeric_limits<double>::max(), maxX = -minX;
    double minY = minX, maxY = -minX;
    for (const V3& p : points) {
      const double x = Dot(right_, p), y = -Dot(up_, p);
      minX = std::min(minX, x), maxX = std::max(maxX, x);
      minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    const double width = std::max(maxX - minX, 1e-9), height = std::max(maxY - minY, 1e-9);
    scale_ = std::min(area.width() / width, area.height() / height) * zoom;
    const double bx = area.center().x() - scale_ * (minX + maxX) / 2;
    const double by = area.center().y() - scale_ * (minY + maxY) / 2;
    const double ww = std::max(window.width(), 1e-6), wh = std::max(window.height(), 1e-6);
    sx_ = scale_ / ww;
    sy_ = scale_ / wh;
    ox_ = bounds.x() + (bx - bounds.x() - window.x() * bounds.width()) / ww;
    oy_ = bounds.y() + (by - bounds.y() - window.y() * bounds.height()) / wh;
  }

  QPointF Map(const V3& p) const { return {ox_ + sx_ * Dot(right_, p), oy_ - sy_ * Dot(up_, p)}; }
  // Larger is farther from the viewer.
  double Depth(const V3& p) const { return Dot(depth_, p); }
  // True when a face with this outward normal is seen from its outside.
  bool Faces(const V3& normal) const { return Dot(depth_, normal) < 0; }
  // World units to pixels, without the mouse-zoom window.
  double Scale() const { return scale_; }

 private:
  V3 right_, up_, depth_;  // camera axes in world coordinates
  double sx_ = 1, sy_ = 1, ox_ = 0, oy_ = 0, scale_ = 1;
};

struct TFace {
  std::array<V3, 4> corners;
  V3 normal;  // outward
};

// The six faces of the box between corners a and b (a below b on every axis).
std::array<TFace, 6> BoxFaces(const V3& a, const V3& b) {
  return {{
      {{{{a.x, a.y, a.z}, {b.x, a.y, a.z}, {b.x, b.y, a.z}, {a.x, b.y, a.z}}}, {0, 0, -1}},
      {{{{a.x, a.y, b.z}, {b.x, a.y, b.z}, {b.x, b.y, b.z}, {a.x, b.y, b.z}}}, {0, 0, 1}},
      {{{{a.x, a.y, a.z}, {a.x, a.y, b.z}, {a.x, b.y, b.z}, {a.x, b.y, a.z}}}, {-1, 0, 0}},
      {{{{b.x, a.y, a.z}, {b.x, a.y, b.z}, {b.x, b.y, b.z}, {b.x, b.y, a.z}}}, {1, 0, 0}},
      {{{{a.x, a.y, a.z}, {b.x, a.y, a.z}, {b.x, a.y, b.z}, {a.x, a.y, b.z}}}, {0, -1, 0}},
      {{{{a.x, b.y, a.z}, {b.x, b.y, a.z}, {b.x, b.y, b.z}, {a.x, b.y, b.z}}}, {0, 1, 0}},
  }};
}

template <typename Points>
QPolygonF Project(const TProjection& projection, const Points& points) {
  QPolygonF polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const V3& p : points) polygon << projection.Map(p);
  return polygon;
}

void FillPolygon(QPainter& painter, const QPolygonF& polygon, const QColor& fill,
                 const QColor& edge) {
  painter.setPen(QPen(edge, 1));
  painter.setBrush(fill);
  painter.drawPolygon(polygon);
}

// Light falls from above and a little from the left, so tops are brighter than fronts.
QColor Shade(const QColor& colour, const V3& normal) {
  if (normal.y > 0.5) return colour.lighter(125);
  if (normal.y < -0.5) return colour.darker(135);
  if (std::abs(normal.x) > 0.5) return colour.darker(118);
  return colour;
}

QColor Edge(const QColor& colour) {
  return colour.darker(165);
}

// Draws the faces of a convex solid that are seen from outside; they never overlap each other.
void DrawSolid(QPainter& painter, const TProjection& projection, const V3& a, const V3& b,
               const QColor& colour) {
  for (const TFace& face : BoxFaces(a, b)) {
    if (!projection.Faces(face.normal)) continue;
    FillPolygon(painter, Project(projection, face.corners), Shade(colour, face.normal),
                Edge(colour));
  }
}

QString FormatTick(double value, int decimals) {
  if (std::abs(value) < 1e-12) value = 0;  // no "-0"
  return QLocale(QLocale::Japanese, QLocale::Japan).toString(value, 'f', decimals);
}

// Draws texts at their rectangles in order, leaving out any that would touch one already drawn.
class TLabelPlacer {
 public:
  explicit TLabelPlacer(QPainter& painter) : painter_(painter) {}
  // Also leaves out a text that would touch one of avoid.
  bool Draw(const QRectF& rect, int flags, const QString& text,
            const std::vector<QRectF>& avoid = {}) {
    const QRectF padded = rect.adjusted(-3, -1, 3, 1);
    for (const std::vector<QRectF>* list : {&std::as_const(taken_), &avoid})
      for (const QRectF& taken : *list)
        if (taken.intersects(padded)) return false;
    taken_.push_back(padded);
    painter_.drawText(rect, flags, text);
    return true;
  }

 private:
  QPainter& painter_;
  std::vector<QRectF> taken_;
};

// The plot of the non-pie kinds: a box 1 wide, height tall and depth deep, with the categories
// side by side along x. Every series stands at the front of the box, from z = 0 back into the
// row, and the front plane z = 0 carries the value axis and its grid: a value is read where its
// series meets that plane, so equal values of any series look equal in every view, and depth
// never shifts a series against the scale as the view tilts. Bars and markers stand side by side
// in their category's slot; lines of equal values share their ribbon in stripes and areas of
// equal values coincide, as they are equal (a series set further back to stay in sight would
// show its colour above its value and read higher).
struct TBoxPlot {
  double height = 0.5;
  double depth = kDepthShare;
  TAxisScale scale{0, 1, 0.5, 1};
  int points = 0;
  int series = 0;

  double Slot() const { return 1.0 / std::max(points, 1); }
  double X(int point) const { return (point + 0.5) * Slot(); }
  double Y(double value) const {
    const double y = (value - scale.low) / (scale.high - scale.low) * height;
    return std::clamp(y, 0.0, height);
  }
  double Base() const { return Y(0); }
  double Row() const { return depth * kRowShare; }
  // The value axis has Ticks() + 1 ticks, Tick(0) = scale.low.
  int Ticks() const { return static_cast<int>(std::lround((scale.high - scale.low) / scale.step)); }
  double Tick(int t) const { return scale.low + t * scale.step; }
};

double FiniteValue(double value) {
  return std::isfinite(value) ? value : 0.0;
}

// The walls seen from inside: the back wall white with a dashed black border, the side wall and
// the floor (or ceiling) in grey. The value grid runs across the front plane, where the series
// are read, and back along the side wall in sight, which carries it into the depth of the box.
// The back wall has no grid: seen from above its lines would stand higher than the front
// plane's and read as other values.
void DrawWalls(QPainter& painter, const TProjection& projection, const TBoxPlot& plot) {
  const V3 far{1, plot.height, plot.depth};
  double sideX = -1;
  for (const TFace& face : BoxFaces({0, 0, 0}, far)) {
    if (projection.Faces(face.normal)) continue;
    const QPolygonF polygon = Project(projection, face.corners);
    if (face.normal.z > 0) {
      painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
      painter.setBrush(Qt::white);
    } else {
      painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
      painter.setBrush(face.normal.y != 0 ? kFloorColour : kSideWallColour);
      if (face.normal.x != 0) sideX = face.normal.x < 0 ? 0 : 1;
    }
    painter.drawPolygon(polygon);
  }
  for (int t = 0; t <= plot.Ticks(); ++t) {
    const double v = plot.Tick(t);
    const bool zero = std::abs(v) < plot.scale.step / 2;
    painter.setPen(QPen(zero ? kZeroColour : kGridColour, 1));
    const double y = plot.Y(v);
    if (sideX >= 0)
      painter.drawLine(projection.Map({sideX, y, 0}), projection.Map({sideX, y, plot.depth}));
    painter.drawLine(projection.Map({0, y, 0}), projection.Map({1, y, 0}));
  }
}

// The value axis on the front plane's left edge and the category axis on the lowest bottom edge,
// with their labels outside the box. A value label stands at the height of its grid line on the
// front plane; when the box is turned so that its side juts out further left, the label moves
// out past it and its tick reaches back to the axis.
void DrawAxes(QPainter& painter, const TProjection& projection, const TBoxPlot& plot,
              const TChartData& data) {
  const QFontMetricsF metrics(painter.font());
  painter.setPen(QPen(Qt::black, 1));
  painter.drawLine(projection.Map({0, 0, 0}), projection.Map({0, plot.height, 0}));
  const double outside =
      std::min(projection.Map({0, 0, 0}).x(), projection.Map({0, 0, plot.depth}).x()) - 4;
  // One placer for both axes, so that the first category label gives way to the value labels.
  TLabelPlacer labels(painter);
  for (int t = 0; t <= plot.Ticks(); ++t) {
    const double v = plot.Tick(t);
    const QPointF at = projection.Map({0, plot.Y(v), 0});
    painter.drawLine(at, QPointF(outside, at.y()));
    const QString text = FormatTick(v, plot.scale.decimals);
    const double width = metrics.horizontalAdvance(text) + 2;
    labels.Draw(QRectF(outside - 3 - width, at.y() - metrics.height() / 2, width, metrics.height()),
                Qt::AlignRight | Qt::AlignVCenter, text);
  }

  const double edgeZ =
      projection.Map({0.5, 0, 0}).y() >= projection.Map({0.5, 0, plot.depth}).y() ? 0 : plot.depth;
  const QPointF from = projection.Map({0, 0, edgeZ}), to = projection.Map({1, 0, edgeZ});
  painter.drawLine(from, to);
  // The labels go out from the edge, away from the box: below it in front views, beside it when
  // the box is turned so far that the edge runs up the picture.
  QPointF out(-(to - from).y(), (to - from).x());
  const double length = std::hypot(out.x(), out.y());
  out = length > 0 ? out / length : QPointF(0, 1);
  const QPointF centre = projection.Map({0.5, plot.height / 2, plot.depth / 2});
  if (QPointF::dotProduct(out, (from + to) / 2 - centre) < 0) out = -out;
  const bool below = std::abs(out.y()) >= std::abs(out.x()) * 0.8;
  for (int i = 0; i < plot.points && i < static_cast<int>(data.labels.size()); ++i) {
    const QPointF at = projection.Map({plot.X(i), 0, edgeZ});
    painter.drawLine(at, at + out * 4);
    const QPointF anchor = at + out * 6;
    const QString text = metrics.elidedText(data.labels[i], Qt::ElideRight, kLabelMaxWidth);
    const double width = metrics.horizontalAdvance(text) + 2, height = metrics.height();
    const QRectF rect = below
                            ? QRectF(anchor.x() - width / 2,
                                     out.y() > 0 ? anchor.y() : anchor.y() - height, width, height)
                            : QRectF(out.x() > 0 ? anchor.x() : anchor.x() - width,
                                     anchor.y() - height / 2, width, height);
    labels.Draw(rect, Qt::AlignCenter, text);
  }
}

// Bars stand side by side in each category slot, one per series, their fronts on the front plane.
void DrawBars(QPainter& painter, const TProjection& projection, const TBoxPlot& plot,
              const TChartData& data) {
  struct TBar {
    double key;
    V3 low, high;
    QColor colour;
  };
  std::vector<TBar> bars;
  const double group = plot.Slot() * 0.72, width = group / std::max(plot.series, 1);
  const double z0 = 0, z1 = plot.Row();
  for (int s = 0; s < plot.series; ++s) {
    for (int i = 0; i < plot.points; ++i) {
      const double x0 = plot.X(i) - group / 2 + s * width + width * 0.06;
      const double x1 = x0 + width * 0.88;
      const double y = plot.Y(FiniteValue(data.series[s].values[i])), base = plot.Base();
      // Equal footprints in one row: their order along the view is the order of their centres.
      const double key = projection.Depth({(x0 + x1) / 2, plot.height / 2, (z0 + z1) / 2});
      bars.push_back(
          {key, {x0, std::min(y, base), z0}, {x1, std::max(y, base), z1}, ChartColor(s)});
    }
  }
  std::stable_sort(bars.begin(), bars.end(),
                   [](const TBar& a, const TBar& b) { return a.key > b.key; });
  for (const TBar& bar : bars) DrawSolid(painter, projection, bar.low, bar.high, bar.colour);
}

// The polyline of a series; one point becomes a short level piece.
std::vector<std::pair<double, double>> SeriesPath(const TBoxPlot& plot,
                                                  const TChartSeries& series) {
  std::vector<std::pair<double, double>> path;
  for (int i = 0; i < plot.points; ++i)
    path.emplace_back(plot.X(i), plot.Y(FiniteValue(series.values[i])));
  if (path.size() == 1) {
    const double half = plot.Slot() * 0.2, y = path[0].second;
    path = {{path[0].first - half, y}, {path[0].first + half, y}};
  }
  return path;
}

// The path with a point added wherever it crosses the level base, so that every piece of an
// area between two neighbouring points lies on one side of it and is convex.
std::vector<std::pair<double, double>> SplitAtBase(
    const std::vector<std::pair<double, double>>& path, double base) {
  std::vector<std::pair<double, double>> split;
  for (size_t i = 0; i < path.size(); ++i) {
    if (i > 0) {
      const auto [xa, ya] = path[i - 1];
      const auto [xb, yb] = path[i];
      if ((ya - base) * (yb - base) < 0)
        split.emplace_back(xa + (xb - xa) * (base - ya) / (yb - ya), base);
    }
    split.push_back(path[i]);
  }
  return split;
}

// The parts of piece i (from point i to point i + 1) of line s that it draws, as fractions of
// the piece: all of it, or where other lines run exactly alike, its share of stripes taken in
// turn, so that each of them stays in sight at its value. REQUIRES: all paths have one length.
std::vector<std::pair<double, double>> OwnStripes(
    const std::vector<std::vector<std::pair<double, double>>>& paths, int s, size_t i) {
  std::vector<int> alike;
  for (size_t t = 0; t < paths.size(); ++t)
    if (paths[t][i] == paths[s][i] && paths[t][i + 1] == paths[s][i + 1])
      alike.push_back(static_cast<int>(t));
  if (alike.size() < 2) return {{0.0, 1.0}};
  const int stripes = kStripesPerSeries * static_cast<int>(alike.size());
  std::vector<std::pair<double, double>> own;
  for (int j = 0; j < stripes; ++j)
    if (alike[j % alike.size()] == s)
      own.emplace_back(static_cast<double>(j) / stripes, (j + 1.0) / stripes);
  return own;
}

// Where a part of a series stands in the drawing order: key is the depth of its place along the
// row (larger is farther), level its height, series its number.
struct TPlace {
  double key, level;
  int series;
};

// The painter's order of the parts of several series in the one row: the farther place first;
// at one place the lower level first when lowerFirst, the higher otherwise; of equal levels the
// earlier series first, so that the later one lies on top as in the legend's order.
bool DrawnBefore(const TPlace& a, const TPlace& b, bool lowerFirst) {
  if (std::abs(a.key - b.key) > 1e-9) return a.key > b.key;
  if (a.level != b.level) return (a.level < b.level) == lowerFirst;
  return a.series < b.series;
}

// One piece of a line's ribbon or of an area's prism: the part between two neighbouring points.
struct TPiece {
  TPlace place;  // level: a line's height, an area's height above or below the base
  std::vector<TFace> faces;
  QPolygonF front;  // an area's front face, empty for a ribbon
  QLineF top;       // the front edge along the values
};

// Lines are ribbons and areas are prisms standing on the zero level, drawn piece by piece from
// the farthest place along the row. Among the pieces of one place a line's lower piece goes
// first, so that the higher ribbon's top lies over it as it does seen from above, while an area's
// larger piece goes first, so that a smaller area stays in sight in front of a larger one; either
// way each piece's front edge stays visible.
void DrawRibbons(QPainter& painter, const TProjection& projection, const TBoxPlot& plot,
                 const TChartData& data, bool area) {
  const double z0 = 0, z1 = plot.Row(), base = plot.Base();
  std::vector<std::vector<std::pair<double, double>>> paths;
  for (int s = 0; s < plot.series; ++s) {
    paths.push_back(SeriesPath(plot, data.series[s]));
    if (area) paths.back() = SplitAtBase(paths.back(), base);
  }
  std::vector<TPiece> pieces;
  // The piece of series s from (xa, ya) to (xb, yb); first and last close an area's ends.
  const auto add = [&](int s, double xa, double ya, double xb, double yb, bool first, bool last) {
    const double length = std::max(std::hypot(xb - xa, yb - ya), 1e-12);
    V3 up{-(yb - ya) / length, (xb - xa) / length, 0};
    const bool below = area && (ya + yb) / 2 < base;
    if (below) up = {-up.x, -up.y, 0};
    const double middle = (ya + yb) / 2;
    TPiece piece{{projection.Depth({(xa + xb) / 2, plot.height / 2, plot.Row() / 2}),
                  area ? std::abs(middle - base) : middle, s},
                 {},
                 {},
                 QLineF(projection.Map({xa, ya, z0}), projection.Map({xb, yb, z0}))};
    piece.faces.push_back({{{{xa, ya, z0}, {xb, yb, z0}, {xb, yb, z1}, {xa, ya, z1}}}, up});
    if (area) {
      piece.faces.push_back({{{{xa, base, z0}, {xb, base, z0}, {xb, base, z1}, {xa, base, z1}}},
                             {0, below ? 1.0 : -1.0, 0}});
      if (first)
        piece.faces.push_back(
            {{{{xa, base, z0}, {xa, ya, z0}, {xa, ya, z1}, {xa, base, z1}}}, {-1, 0, 0}});
      if (last)
        piece.faces.push_back(
            {{{{xb, base, z0}, {xb, yb, z0}, {xb, yb, z1}, {xb, base, z1}}}, {1, 0, 0}});
      if (projection.Faces({0, 0, -1}))
        piece.front = Project(projection, std::array<V3, 4>{V3{xa, base, z0}, V3{xa, ya, z0},
                                                            V3{xb, yb, z0}, V3{xb, base, z0}});
    }
    pieces.push_back(std::move(piece));
  };
  for (int s = 0; s < plot.series; ++s) {
    const auto& path = paths[s];
    for (size_t i = 0; i + 1 < path.size(); ++i) {
      const auto [xa, ya] = path[i];
      const auto [xb, yb] = path[i + 1];
      if (area) {
        add(s, xa, ya, xb, yb, i == 0, i + 2 == path.size());
        continue;
      }
      for (const auto& [from, to] : OwnStripes(paths, s, i))
        add(s, xa + (xb - xa) * from, ya + (yb - ya) * from, xa + (xb - xa) * to,
            ya + (yb - ya) * to, false, false);
    }
  }
  const bool lowerFirst = !area && projection.Faces({0, 1, 0});
  std::stable_sort(pieces.begin(), pieces.end(), [&](const TPiece& a, const TPiece& b) {
    return DrawnBefore(a.place, b.place, lowerFirst);
  });
  for (const TPiece& piece : pieces) {
    const QColor colour = ChartColor(piece.place.series);
    for (const TFace& face : piece.faces) {
      const bool seen = projection.Faces(face.normal);
      // A ribbon is a surface: its underside shows too, darker.
      if (area && !seen) continue;
      const V3 lit = seen ? face.normal : V3{-face.normal.x, -face.normal.y, -face.normal.z};
      const QColor fill = seen ? Shade(colour, lit) : colour.darker(140);
      FillPolygon(painter, Project(projection, face.corners), fill, Edge(colour));
    }
    if (!piece.front.isEmpty()) {
      // Neighbouring front faces join without a seam (antialiased edges would let what lies
      // behind shine through); only the values' edge is outlined.
      painter.setRenderHint(QPainter::Antialiasing, false);
      painter.setPen(Qt::NoPen);
      painter.setBrush(colour);
      painter.drawPolygon(piece.front);
      painter.setRenderHint(QPainter::Antialiasing, true);
      painter.setPen(QPen(Edge(colour), 1));
      painter.drawLine(piece.top);
    }
  }
}

// Point markers are cubes whose front face is centred on the point's value, the series side by
// side in their category's slot so that equal values of several series all stay in sight.
void DrawMarkers(QPainter& painter, const TProjection& projection, const TBoxPlot& plot,
                 const TChartData& data) {
  struct TMarker {
    TPlace place;
    V3 low, high;
  };
  const double half = kMarkerPixels / 2 / std::max(projection.Scale(), 1e-9);
  const double spacing = std::min(half * 2.5, plot.Slot() * 0.6 / std::max(plot.series, 1));
  std::vector<TMarker> markers;
  for (int s = 0; s < plot.series; ++s)
    for (int i = 0; i < plot.points; ++i) {
      const double x = plot.X(i) + (s - (plot.series - 1) / 2.0) * spacing;
      const double y = plot.Y(FiniteValue(data.series[s].values[i]));
      const TPlace place{projection.Depth({x, plot.height / 2, half}), y, s};
      markers.push_back({place, {x - half, y - half, 0}, {x + half, y + half, 2 * half}});
    }
  const bool lowerFirst = projection.Faces({0, 1, 0});
  std::stable_sort(markers.begin(), markers.end(), [&](const TMarker& a, const TMarker& b) {
    return DrawnBefore(a.place, b.place, lowerFirst);
  });
  for (const TMarker& m : markers)
    DrawSolid(painter, projection, m.low, m.high, ChartColor(m.place.series));
}

// The fast line: a plain line on the front plane, without ribbon or markers; lines that run
// exactly alike share it in stripes.
void DrawFastLines(QPainter& painter, const TProjection& projection, const TBoxPlot& plot,
                   const TChartData& data) {
  std::vector<std::vector<std::pair<double, double>>> paths;
  for (const TChartSeries& series : data.series) paths.push_back(SeriesPath(plot, series));
  painter.setBrush(Qt::NoBrush);
  for (int s = 0; s < plot.series; ++s) {
    painter.setPen(QPen(ChartColor(s), 1.5, Qt::SolidLine, Qt::RoundCap));
    const auto& path = paths[s];
    for (size_t i = 0; i + 1 < path.size(); ++i) {
      const QPointF a = projection.Map({path[i].first, path[i].second, 0});
      const QPointF b = projection.Map({path[i + 1].first, path[i + 1].second, 0});
      for (const auto& [from, to] : OwnStripes(paths, s, i))
        painter.drawLine(a + (b - a) * from, a + (b - a) * to);
    }
  }
}

struct TLayout {
  QRectF inner;   // inside the frame
  QRectF plot;    // where the 3D box or the pies go
  QRectF legend;  // the legend's box; empty without entries
  int legendRows = 0;
};

// The legend lists the series titles; a pie's legend lists its slices.
std::vector<QString> LegendEntries(const TChartData& data) {
  std::vector<QString> entries;
  if (data.kind == skPie && !data.series.empty()) {
    entries = data.labels;
  } else {
    for (const TChartSeries& series : data.series) entries.push_back(series.title);
  }
  return entries;
}

constexpr double kSwatch = 14;

TLayout Arrange(const QRect& bounds, const TChartData& data, const QFontMetricsF& metrics,
                const std::vector<QString>& entries) {
  TLayout layout;
  layout.inner = QRectF(bounds).adjusted(1, 1, -1, -1);
  QRectF free = layout.inner.adjusted(kPad, kPad, -kPad, -kPad);
  if (!data.title.isEmpty()) free.setTop(free.top() + metrics.height() + 4);
  if (!entries.empty()) {
    double textWidth = 0;
    for (const QString& entry : entries)
      textWidth = std::max(textWidth, metrics.horizontalAdvance(entry));
    textWidth = std::min(textWidth, std::max(40.0, layout.inner.width() * 0.25));
    const double row = metrics.height() + 3;
    const double width = kPad + kSwatch + 5 + textWidth + kPad;
    const int fitting = std::max(1, static_cast<int>((free.height() - 2 * kPad) / row));
    layout.legendRows = std::min(fitting, static_cast<int>(entries.size()));
    const double height = layout.legendRows * row + 2 * kPad - 3;
    layout.legend = QRectF(free.right() - width, free.center().y() - height / 2, width, height);
    free.setRight(layout.legend.left() - 2 * kPad);
  }
  layout.plot = free;
  return layout;
}

void DrawLegend(QPainter& painter, const TLayout& layout, const std::vector<QString>& entries,
                const QFontMetricsF& metrics) {
  if (entries.empty()) return;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 60));
  painter.drawRect(layout.legend.translated(2, 2));
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::white);
  painter.drawRect(layout.legend);
  const double row = metrics.height() + 3;
  const double textLeft = layout.legend.left() + kPad + kSwatch + 5;
  const double textWidth = layout.legend.right() - kPad - textLeft;
  for (int i = 0; i < layout.legendRows; ++i) {
    const double top = layout.legend.top() + kPad + i * row;
    const bool more =
        i + 1 == layout.legendRows && layout.legendRows < static_cast<int>(entries.size());
    if (!more) {
      const QColor colour = ChartColor(i);
      painter.setPen(QPen(Edge(colour), 1));
      painter.setBrush(colour);
      painter.drawRect(
          QRectF(layout.legend.left() + kPad, top + (metrics.height() - 9) / 2, kSwatch, 9));
    }
    painter.setPen(Qt::black);
    const QString text =
        more ? QStringLiteral("…") : metrics.elidedText(entries[i], Qt::ElideRight, textWidth);
    painter.drawText(QRectF(textLeft, top, textWidth + 2, metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
  }
}

// The box chart: walls, series, axes.
void DrawBoxChart(QPainter& painter, const QRect& bounds, const TLayout& layout,
                  const TChartData& data, const TChartView& view, const QFontMetricsF& metrics) {
  TBoxPlot plot;
  plot.points = static_cast<int>(data.labels.size());
  plot.series = static_cast<int>(data.series.size());
  double low = 0, high = 0;
  for (const TChartSeries& series : data.series)
    for (double v : series.values)
      low = std::min(low, FiniteValue(v)), high = std::max(high, FiniteValue(v));

  // Room for the axis labels; the value labels' width depends on the scale, which depends on
  // the plot's height only.
  QRectF area = layout.plot.adjusted(0, metrics.height() / 2, -8, -(metrics.height() + 10));
  const int maxTicks =
      std::clamp(static_cast<int>(area.height() / (metrics.height() * 2.2)), 2, 10);
  plot.scale = NiceScale(low, high, maxTicks);
  double labelWidth = 0;
  for (int t = 0; t <= plot.Ticks(); ++t)
    labelWidth = std::max(labelWidth,
                          metrics.horizontalAdvance(FormatTick(plot.Tick(t), plot.scale.decimals)));
  area.setLeft(area.left() + labelWidth + 12);
  if (area.width() < 10 || area.height() < 10) return;

  // The box's height makes it fill the plot at the default view; other views keep its shape.
  const double tilt = Radians((360 - kDefaultElevation) * kTiltPerDegree);
  plot.height =
      std::max(0.1, area.height() / area.width() / (std::cos(tilt) + kDepthShare * std::sin(tilt)));
  plot.depth = kDepthShare * std::min(plot.height, 1.0);

  TProjection projection(view.rotation - 360.0, (360.0 - view.elevation) * kTiltPerDegree);
  std::vector<V3> corners;
  for (const TFace& face : BoxFaces({0, 0, 0}, {1, plot.height, plot.depth}))
    corners.insert(corners.end(), face.corners.begin(), face.corners.end());
  projection.Fit(corners, area, view.zoom / 100.0, bounds, view.window);

  DrawWalls(painter, projection, plot);
  switch (data.kind) {
    case skArea:
      DrawRibbons(painter, projection, plot, data, true);
      break;
    case skPoint:
      DrawMarkers(painter, projection, plot, data);
      break;
    case skBar:
      DrawBars(painter, projection, plot, data);
      break;
    case skFastLine:
      DrawFastLines(painter, projection, plot, data);
      break;
    default:
      DrawRibbons(painter, projection, plot, data, false);
      break;
  }
  DrawAxes(painter, projection, plot, data);
}

// The slices of a pie as end angles (radians, clockwise from the start) with their colours, the
// sizes by absolute value; *total is the sum of those. A series of zeros is one grey slice.
std::vector<std::pair<double, QColor>> PieSlices(const std::vector<double>& values, double* total) {
  *total = 0;
  for (double v : values) *total += std::abs(FiniteValue(v));
  std::vector<std::pair<double, QColor>> slices;
  if (*total <= 0) {
    slices.emplace_back(2 * std::numbers::pi, QColor(Qt::lightGray));
    return slices;
  }
  double sum = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    sum += std::abs(FiniteValue(values[i]));
    slices.emplace_back(2 * std::numbers::pi * sum / *total, ChartColor(static_cast<int>(i)));
  }
  return slices;
}

// Pies are discs lying on the floor, one per series side by side; slices run clockwise from the
// far side, and the rotation turns each disc about its own axis.
struct TPieDiscs {
  static constexpr double kThickness = 0.22, kSpacing = 3.0;
  static constexpr int kSegments = 120;

  TProjection projection;
  double turn = 0;        // the rotation, radians
  bool fromAbove = true;  // the caps are seen from above
  double capY = 0;        // the height of the cap in sight
  int count = 0;          // discs

  // A point of disc d's rim at angle (radians, clockwise from the far side) and height y.
  V3 Rim(int d, double angle, double y) const {
    return V3{d * kSpacing + std::sin(angle + turn), y, std::cos(angle + turn)};
  }
  V3 Centre(int d, double y) const { return {d * kSpacing, y, 0}; }
};

// The projection that fits the discs of data's series into the plot, leaving room for the slice
// labels beside and the series titles below; false when nothing is to be drawn (no series, or no
// room).
bool FitPies(const QRect& bounds, const TLayout& layout, const TChartData& data,
             const TChartView& view, const QFontMetricsF& metrics, TPieDiscs* discs) {
  const int count = static_cast<int>(data.series.size());
  if (count == 0) return false;
  double labelWidth = 0;
  for (const QString& label : data.labels)
    labelWidth = std::max(labelWidth, std::min(metrics.horizontalAdvance(label), kLabelMaxWidth));
  QRectF area = layout.plot.adjusted(labelWidth + 12, metrics.height() + 8, -(labelWidth + 12),
                                     -(metrics.height() * (count > 1 ? 2 : 1) + 14));
  if (area.width() < 10 || area.height() < 10) return false;

  discs->count = count;
  discs->turn = Radians(view.rotation - 360.0);
  std::vector<V3> outline;
  for (int d = 0; d < count; ++d)
    for (int k = 0; k < TPieDiscs::kSegments; ++k)
      for (double y : {0.0, -TPieDiscs::kThickness})
        outline.push_back(discs->Rim(d, 2 * std::numbers::pi * k / TPieDiscs::kSegments, y));
  discs->projection.Fit(outline, area, view.zoom / 100.0, bounds, view.window);
  discs->fromAbove = discs->projection.Faces({0, 1, 0});
  discs->capY = discs->fromAbove ? 0 : -TPieDiscs::kThickness;
  return true;
}

// Draws every disc, rim first, then cap (both are seen from outside of one convex solid);
// returns each disc's extent in the picture.
std::vector<QRectF> DrawDiscs(QPainter& painter, const TPieDiscs& discs, const TChartData& data) {
  constexpr double kThickness = TPieDiscs::kThickness;
  constexpr int kSegments = TPieDiscs::kSegments;
  const TProjection& projection = discs.projection;
  std::vector<QRectF> discRects;
  for (int d = 0; d < discs.count; ++d) {
    double total = 0;
    const auto slices = PieSlices(data.series[d].values, &total);
    double start = 0;
    for (int pass = 0; pass < 2; ++pass) {
      start = 0;
      for (const auto& [end, colour] : slices) {
        const int steps = std::max(
            1, static_cast<int>(std::ceil((end - start) / (2 * std::numbers::pi) * kSegments)));
        if (pass == 0) {
          const QColor side = colour.darker(125);
          for (int k = 0; k < steps; ++k) {
            const double a = start + (end - start) * k / steps;
            const double b = start + (end - start) * (k + 1) / steps;
            const double m = (a + b) / 2;
            if (!projection.Faces({std::sin(m + discs.turn), 0, std::cos(m + discs.turn)}))
              continue;
            const std::array<V3, 4> quad{discs.Rim(d, a, 0), discs.Rim(d, b, 0),
                                         discs.Rim(d, b, -kThickness),
                                         discs.Rim(d, a, -kThickness)};
            FillPolygon(painter, Project(projection, quad), side, side);
          }
        } else {
          QPolygonF fan;
          fan << projection.Map(discs.Centre(d, discs.capY));
          for (int k = 0; k <= steps; ++k)
            fan << projection.Map(discs.Rim(d, start + (end - start) * k / steps, discs.capY));
          FillPolygon(painter, fan, discs.fromAbove ? colour : colour.darker(135), Edge(colour));
        }
        start = end;
      }
    }
    QPolygonF extent;
    for (int k = 0; k < kSegments; ++k)
      for (double y : {0.0, -kThickness})
        extent << projection.Map(discs.Rim(d, 2 * std::numbers::pi * k / kSegments, y));
    discRects.push_back(extent.boundingRect());
  }
  return discRects;
}

// Labels the discs after all of them are drawn, keeping off the other discs: with several discs
// each carries its series title underneath; every slice wide enough carries its label outside
// the rim, pointing away from the disc's centre.
void LabelDiscs(QPainter& painter, const TPieDiscs& discs, const TChartData& data,
                const std::vector<QRectF>& discRects, const QFontMetricsF& metrics) {
  const TProjection& projection = discs.projection;
  TLabelPlacer placer(painter);
  for (int d = 0; d < discs.count; ++d) {
    const std::vector<double>& values = data.series[d].values;
    double total = 0;
    const auto slices = PieSlices(values, &total);
    std::vector<QRectF> others = discRects;
    others.erase(others.begin() + d);
    painter.setPen(Qt::black);
    const QPointF centre = projection.Map(discs.Centre(d, discs.capY));
    // The title is placed before the slice labels so that none of them takes its place.
    if (discs.count > 1) {
      const double lowest = discRects[d].bottom();
      const QString text =
          metrics.elidedText(data.series[d].title, Qt::ElideRight, kLabelMaxWidth * 2);
      const double width = metrics.horizontalAdvance(text) + 2;
      placer.Draw(
          QRectF(centre.x() - width / 2, lowest + metrics.height() + 6, width, metrics.height()),
          Qt::AlignCenter, text);
    }
    double start = 0;
    for (size_t i = 0; i < values.size() && total > 0; ++i) {
      const double end = slices[i].first, middle = (start + end) / 2;
      const bool wide = end - start >= 2 * std::numbers::pi * 0.02;
      start = end;
      if (!wide || i >= data.labels.size()) continue;
      QPointF at = projection.Map(discs.Rim(d, middle, discs.capY));
      // The near half of the disc shows its rim below the cap.
      if (projection.Depth(discs.Rim(d, middle, 0)) < projection.Depth(discs.Centre(d, 0)))
        at = projection.Map(discs.Rim(d, middle, discs.fromAbove ? -TPieDiscs::kThickness : 0));
      QPointF direction = at - centre;
      const double length = std::hypot(direction.x(), direction.y());
      direction = length > 0 ? direction / length : QPointF(1, 0);
      const QPointF anchor = at + direction * 8;
      const QString text = metrics.elidedText(data.labels[i], Qt::ElideRight, kLabelMaxWidth);
      const double width = metrics.horizontalAdvance(text) + 2;
      const double left = direction.x() >= 0 ? anchor.x() : anchor.x() - width;
      const double top = anchor.y() - metrics.height() / 2 + direction.y() * metrics.height() / 2;
      if (placer.Draw(QRectF(left, top, width, metrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                      text, others)) {
        painter.setPen(QPen(Qt::darkGray, 1));
        painter.drawLine(at, anchor);
        painter.setPen(Qt::black);
      }
    }
  }
}

void DrawPies(QPainter& painter, const QRect& bounds, const TLayout& layout, const TChartData& data,
              const TChartView& view, const QFontMetricsF& metrics) {
  // The tilt doubles the box's so that the discs read as discs at the default view.
  TPieDiscs discs{TProjection(0, (360.0 - view.elevation) * kTiltPerDegree * 2)};
  if (!FitPies(bounds, layout, data, view, metrics, &discs)) return;
  const std::vector<QRectF> discRects = DrawDiscs(painter, discs, data);
  LabelDiscs(painter, discs, data, discRects, metrics);
}

}  // namespace

TAxisScale NiceScale(double low, double high, int maxTicks) {
  if (high <= low) high = low + (low == 0 ? 1 : std::abs(low) * 0.1);
  const double rough = (high - low) / std::max(maxTicks, 1);
  const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
  const double fraction = rough / magnitude;
  const double nice = fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10;
  const double step = nice * magnitude;
  // The small allowances keep a bound that already lies on a step from being widened by noise.
  const double niceLow = std::floor(low / step + 1e-9) * step;
  const double niceHigh = std::ceil(high / step - 1e-9) * step;
  const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
  return {niceLow, niceHigh, step, decimals};
}

QColor ChartColor(int index) {
  static const std::array<QRgb, 12> kPalette = {
      0x4E79A7, 0xF28E2B, 0x59A14F, 0xE15759, 0x76B7B2, 0xEDC948,
      0xB07AA1, 0xFF9DA7, 0x9C755F, 0x86BCB6, 0xD4A6C8, 0xBAB0AC,
  };
  return QColor(kPalette[static_cast<size_t>(std::max(index, 0)) % kPalette.size()]);
}

void PaintChart(QPainter& painter, const QRect& bounds, const TChartData& data,
                const TChartView& view) {
  painter.save();
  painter.setClipRect(bounds);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.fillRect(bounds, kPanelColour);

  const QFont font = ChartFont(false);
  painter.setFont(font);
  const QFontMetricsF metrics(font, painter.device());
  const std::vector<QString> entries = LegendEntries(data);
  const TLayout layout = Arrange(bounds, data, metrics, entries);

  painter.save();
  painter.setClipRect(layout.inner, Qt::IntersectClip);
  if (data.kind == skPie) {
    DrawPies(painter, bounds, layout, data, view, metrics);
  } else {
    DrawBoxChart(painter, bounds, layout, data, view, metrics);
  }
  painter.restore();

  DrawLegend(painter, layout, entries, metrics);
  if (!data.title.isEmpty()) {
    const QFont titleFont = ChartFont(true);
    const QFontMetricsF titleMetrics(titleFont, painter.device());
    painter.setFont(titleFont);
    painter.setPen(Qt::blue);
    const QRectF line(layout.inner.left() + kPad, layout.inner.top() + kPad / 2,
                      layout.inner.width() - 2 * kPad, titleMetrics.height());
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     titleMetrics.elidedText(data.title, Qt::ElideRight, line.width()));
  }
  painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(bounds).adjusted(0.5, 0.5, -0.5, -0.5));
  painter.restore();
}

}  // namespace tabulon
