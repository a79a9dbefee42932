#include "ui/unitChart.h"

#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>

#include "engine/ResultTable.h"
#include "platform/LocaleFormats.h"
#include "ui/ChartWidget.h"
#include "ui/Fonts.h"
#include "ui/JpegWriter.h"
#include "ui/QtStrings.h"

namespace tabulon {
namespace {

// Chart1's place at design; the client area ends where the chart does (769 x 294, which is an
// outer size of 777 x 321 with the designed border).
constexpr int kChartLeft = 40;
constexpr int kChartTop = 20;
constexpr int kChartWidth = 729;
constexpr int kChartHeight = 274;
constexpr int kPictureQuality = 90;

QScrollBar* MakeScrollBar(QWidget* parent, Qt::Orientation orientation, int low, int high,
                          int position) {
  auto* bar = new QScrollBar(orientation, parent);
  bar->setRange(low, high);
  bar->setValue(position);
  return bar;
}

}  // namespace

double ChartCellValue(const std::string& cellSjis) {
  size_t first = 0, last = cellSjis.size();
  while (first < last && static_cast<unsigned char>(cellSjis[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(cellSjis[last - 1]) <= ' ') --last;
  if (first == last || (last - first == 1 && cellSjis[first] == '-')) return 0;
  if (cellSjis[last - 1] == '%' && last - 1 > first) --last;
  double value = 0;
  return TryParseFloat(std::string_view(cellSjis).substr(first, last - first), &value) ? value : 1;
}

TForm3::TForm3(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), FChartKind(0) {
  setWindowTitle(QStringLiteral("グラフ表示"));
  setFont(WindowFont());
  Button1 = new QPushButton(QStringLiteral("変更"), this);
  Button1->setGeometry(0, 0, 39, 19);
  ScrollBar2 = MakeScrollBar(this, Qt::Horizontal, 270, 450, 360);
  ScrollBar2->setGeometry(40, 0, 729, 19);
  ScrollBar1 = MakeScrollBar(this, Qt::Vertical, 50, 150, 100);
  ScrollBar1->setGeometry(3, 20, 16, 274);
  ScrollBar3 = MakeScrollBar(this, Qt::Vertical, 270, 450, 315);
  ScrollBar3->setGeometry(23, 20, 16, 274);
  Chart1 = new TChart(this);
  Chart1->setGeometry(kChartLeft, kChartTop, kChartWidth, kChartHeight);
  resize(kChartLeft + kChartWidth, kChartTop + kChartHeight);

  connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
  connect(ScrollBar1, &QScrollBar::valueChanged, this, &TForm3::ScrollBar1Change);
  connect(ScrollBar2, &QScrollBar::valueChanged, this, &TForm3::ScrollBar2Change);
  connect(ScrollBar3, &QScrollBar::valueChanged, this, &TForm3::ScrollBar3Change);
  FormCreate();
  ScrollBar1Change();
  ScrollBar2Change();
  ScrollBar3Change();
}

void TForm3::FormCreate() {
  FChartKind = 0;
}

void TForm3::Button1Click() {
  FChartKind = FChartKind == skPie ? uint8_t{skLine} : static_cast<uint8_t>(FChartKind + 1);
  if (grid_ != nullptr) {
    BuildChart(*grid_, totalsShown_, titleSjis_);
  } else {
    TChartData data = Chart1->Data();
    data.kind = static_cast<TSeriesKind>(FChartKind);
    Chart1->SetData(std::move(data));
  }
}

void TForm3::ScrollBar1Change() {
  Chart1->SetZoom(ScrollBar1->value());
}
void TForm3::ScrollBar2Change() {
  Chart1->SetRotation(ScrollBar2->value());
}
void TForm3::ScrollBar3Change() {
  Chart1->SetElevation(ScrollBar3->value());
}

void TForm3::BuildChart(const TResultTable& mainGrid, bool totalsShown,
                        const std::string& titleSjis) {
  grid_ = &mainGrid;
  totalsShown_ = totalsShown;
  titleSjis_ = titleSjis;

  // 1) and 2): a new chart with the dataset's name as its title.
  TChartData data;
  data.title = FromSjis(titleSjis);

  // 4) the data columns and rows, the totals left out while they are shown.
  int c = mainGrid.ColCount() - 1, r = mainGrid.RowCount() - 1;
  if (totalsShown) --c, --r;
  // 5) a single cell is no chart, but the build goes on.
  if (c < 2 && r < 2) close();
  // 6) one column: bars; 7) a pie only for one or two rows. Both changes stay.
  if (c < 2) FChartKind = skBar;
  if (r > 2 && FChartKind == skPie) FChartKind = skLine;
  data.kind = static_cast<TSeriesKind>(FChartKind);

  // 8) and 9): series k from row k + 1, point q from column q.
  if (r > 0) {
    for (int q = 1; q <= c; ++q) data.labels.push_back(FromSjis(mainGrid.Cell(q, 0)));
    for (int p = 1; p <= r; ++p) {
      TChartSeries series;
      series.title = FromSjis(mainGrid.Cell(0, p));
      for (int q = 1; q <= c; ++q) series.values.push_back(ChartCellValue(mainGrid.Cell(q, p)));
      data.series.push_back(std::move(series));
    }
  }
  Chart1->SetData(std::move(data));
}

bool TForm3::IsShowing() const {
  return isVisible();
}

void TForm3::ShowOver(const QPoint& topLeftOnScreen) {
  setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
  show();
  move(topLeftOnScreen);
  raise();
}

void TForm3::SavePicture(const QString& path) {
  QImage picture(Chart1->size(), QImage::Format_RGB32);
  picture.fill(Qt::black);
  if (!picture.isNull()) {
    QPainter painter(&picture);
    Chart1->PaintTo(painter, picture.rect());
  }
  WriteJpeg(picture, path, kPictureQuality);
}

void TForm3::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The chart and the scroll bars reach the right and bottom edges: ScrollBar2 stretches right,
  // ScrollBar1 and ScrollBar3 down, Chart1 both ways.
  const int w = std::max(width(), kChartLeft), h = std::max(height(), kChartTop);
  ScrollBar2->setGeometry(kChartLeft, 0, w - kChartLeft, 19);
  ScrollBar1->setGeometry(3, kChartTop, 16, h - kChartTop);
  ScrollBar3->setGeometry(23, kChartTop, 16, h - kChartTop);
  Chart1->setGeometry(kChartLeft, kChartTop, w - kChartLeft, h - kChartTop);
}

}  // namespace tabulon
