// The chart window: what a build takes from the result grid, the kind rules, the view controls
// and the mouse zoom.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "engine/ResultTable.h"
#include "ui/ChartWidget.h"
#include "ui/unitChart.h"

namespace tabulon {
namespace {

using test::S;

// A result grid from UTF-8 rows; row 0 holds the column labels, column 0 the row labels.
TMemoryTable Grid(const std::vector<std::vector<std::string>>& rows) {
  TMemoryTable table;
  table.SetRowCount(static_cast<int>(rows.size()));
  table.SetColCount(static_cast<int>(rows[0].size()));
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c)
      table.SetCell(static_cast<int>(c), static_cast<int>(r), S(rows[r][c]));
  return table;
}

// Data rows with n columns and the totals, as the tabulation leaves them with 合計表示 down.
TMemoryTable Rows(int rows, int cols) {
  std::vector<std::vector<std::string>> cells(rows + 2, std::vector<std::string>(cols + 2, "5"));
  cells[0][0] = "";
  for (int c = 1; c <= cols; ++c) cells[0][c] = "c" + std::to_string(c);
  for (int r = 1; r <= rows; ++r) cells[r][0] = "r" + std::to_string(r);
  cells[0][cols + 1] = cells[rows + 1][0] = "合計";
  return Grid(cells);
}

QImage Render(const TForm3& form) {
  QImage image(form.Chart1->size(), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  form.Chart1->PaintTo(painter, image.rect());
  return image;
}

int DifferentPixels(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
  return count;
}

void WaitForZoom(const TChart& chart) {
  for (int waited = 0; chart.IsAnimating() && waited < 3000; waited += 10) QTest::qWait(10);
}

TEST(ChartWindow, StartsAsDesignedAndHidden) {
  TForm3 form;
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("グラフ表示"));
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(form.IsShowing());
  EXPECT_EQ(form.FChartKind, 0);
  EXPECT_EQ(form.Button1->text(), QString::fromUtf8("変更"));
  EXPECT_EQ(form.Chart1->geometry(), QRect(40, 20, 729, 274));
  EXPECT_EQ(form.ScrollBar2->value(), 360);
  EXPECT_EQ(form.ScrollBar1->value(), 100);
  EXPECT_EQ(form.ScrollBar3->value(), 315);
  EXPECT_EQ(form.ScrollBar3->minimum(), 270);
  EXPECT_EQ(form.ScrollBar3->maximum(), 450);
}

TEST(ChartWindow, ResizingStretchesTheChartAndTheScrollBars) {
  TForm3 form;
  form.show();  // a hidden window defers its resize events
  form.resize(900, 400);
  EXPECT_EQ(form.Chart1->geometry(), QRect(40, 20, 860, 380));
  EXPECT_EQ(form.ScrollBar2->width(), 860);
  EXPECT_EQ(form.ScrollBar1->height(), 380);
  EXPECT_EQ(form.ScrollBar3->height(), 380);
}

TEST(ChartWindow, CellValuesAreNumbersOrSharesBlankZeroAndOtherTextOne) {
  EXPECT_EQ(ChartCellValue("12"), 12);
  EXPECT_EQ(ChartCellValue(" -3.25 "), -3.25);
  EXPECT_EQ(ChartCellValue("1E3"), 1000);
  EXPECT_EQ(ChartCellValue(""), 0);
  EXPECT_EQ(ChartCellValue("  \t"), 0);
  EXPECT_EQ(ChartCellValue(S("東京")), 1);
  EXPECT_EQ(ChartCellValue("2024/03/31"), 1);
  EXPECT_EQ(ChartCellValue("12.5%"), 12.5);  // 構成比
  EXPECT_EQ(ChartCellValue("%"), 1);
  EXPECT_EQ(ChartCellValue("-"), 0);  // no share: a zero total
  EXPECT_EQ(ChartCellValue("1+12:00:00"), 1);
  EXPECT_EQ(ChartCellValue("nan"), 1);
}

TEST(ChartWindow, BuildTakesOneSeriesPerRowAndLeavesShownTotalsOut) {
  TForm3 form;
  const TMemoryTable grid = Grid({{"", "東京", "大阪", "合計"},
                                  {"2023年", "12", "", "12"},
                                  {"2024年", "abc", "2.5", "3.5"},
                                  {"合計", "13", "2.5", "15.5"}});
  form.BuildChart(grid, true, S("売上.csv"));
  const TChartData& data = form.Chart1->Data();
  EXPECT_EQ(data.title, QString::fromUtf8("売上.csv"));
  EXPECT_EQ(data.kind, skLine);
  ASSERT_EQ(data.labels,
            (std::vector<QString>{QString::fromUtf8("東京"), QString::fromUtf8("大阪")}));
  ASSERT_EQ(data.series.size(), 2u);
  EXPECT_EQ(data.series[0].title, QString::fromUtf8("2023年"));
  EXPECT_EQ(data.series[0].values, (std::vector<double>{12, 0}));
  EXPECT_EQ(data.series[1].title, QString::fromUtf8("2024年"));
  EXPECT_EQ(data.series[1].values, (std::vector<double>{1, 2.5}));

  // Without shown totals the last row and column are data like any other.
  form.BuildChart(grid, false, S("売上.csv"));
  ASSERT_EQ(form.Chart1->Data().series.size(), 3u);
  EXPECT_EQ(form.Chart1->Data().series[2].values, (std::vector<double>{13, 2.5, 15.5}));
}

TEST(ChartWindow, ChangeCyclesTheSixKindsAndRebuildsFromTheLastGrid) {
  TForm3 form;
  const TMemoryTable grid = Rows(2, 3);
  form.BuildChart(grid, true, "t");
  const std::vector<TSeriesKind> expected = {skArea, skPoint, skBar, skFastLine, skPie, skLine};
  for (TSeriesKind kind : expected) {
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(form.FChartKind, kind);
    EXPECT_EQ(form.Chart1->Data().kind, kind);
    EXPECT_EQ(form.Chart1->Data().series.size(), 2u) << "kind " << int(kind);
  }
}

TEST(ChartWindow, OneDataColumnMakesBarsAndTheKindStays) {
  TForm3 form;
  form.FChartKind = skArea;
  form.BuildChart(Rows(3, 1), true, "t");
  EXPECT_EQ(form.FChartKind, skBar);
  EXPECT_EQ(form.Chart1->Data().kind, skBar);
  form.BuildChart(Rows(3, 4), true, "t");
  EXPECT_EQ(form.FChartKind, skBar);
}

TEST(ChartWindow, PieIsDrawnForTwoRowsAndBecomesLineForThree) {
  TForm3 form;
  form.FChartKind = skPie;
  form.BuildChart(Rows(2, 3), true, "t");
  EXPECT_EQ(form.Chart1->Data().kind, skPie);
  EXPECT_EQ(form.Chart1->Data().series.size(), 2u);

  form.BuildChart(Rows(3, 3), true, "t");
  EXPECT_EQ(form.FChartKind, skLine);
  EXPECT_EQ(form.Chart1->Data().kind, skLine);
}

TEST(ChartWindow, ASingleCellClosesTheWindowButStillBuilds) {
  TForm3 form;
  form.ShowOver(QPoint(10, 10));
  ASSERT_TRUE(form.IsShowing());
  form.BuildChart(Rows(1, 1), true, "t");
  EXPECT_FALSE(form.IsShowing());
  EXPECT_EQ(form.FChartKind, skBar);
  ASSERT_EQ(form.Chart1->Data().series.size(), 1u);
  EXPECT_EQ(form.Chart1->Data().series[0].values, std::vector<double>{5});

  // Two data columns in one row keep it open.
  form.ShowOver(QPoint(10, 10));
  form.BuildChart(Rows(1, 2), true, "t");
  EXPECT_TRUE(form.IsShowing());
}

TEST(ChartWindow, NoDataRowsBuildsAnEmptyChart) {
  TForm3 form;
  form.BuildChart(Grid({{"", "a", "b", "c"}}), false, "t");
  EXPECT_TRUE(form.Chart1->Data().series.empty());
  EXPECT_FALSE(Render(form).isNull());
}

TEST(ChartWindow, EveryScrollBarVisiblyChangesTheChartAndARebuildKeepsTheView) {
  TForm3 form;
  const TMemoryTable grid = Rows(3, 5);
  form.BuildChart(grid, true, "t");
  const QImage front = Render(form);
  // Not blank: the panel, walls and series give many colours.
  QList<QRgb> colours;
  for (int y = 0; y < front.height(); y += 3)
    for (int x = 0; x < front.width(); x += 3)
      if (!colours.contains(front.pixel(x, y)) && colours.size() < 20) colours << front.pixel(x, y);
  EXPECT_GE(colours.size(), 10);

  const int area = front.width() * front.height();
  form.ScrollBar2->setValue(300);
  const QImage turned = Render(form);
  EXPECT_GT(DifferentPixels(front, turned), area / 20);
  form.ScrollBar3->setValue(340);
  const QImage tilted = Render(form);
  EXPECT_GT(DifferentPixels(turned, tilted), area / 50);
  form.ScrollBar1->setValue(60);
  EXPECT_GT(DifferentPixels(tilted, Render(form)), area / 20);

  form.BuildChart(grid, true, "t");
  EXPECT_EQ(form.Chart1->View().rotation, 300);
  EXPECT_EQ(form.Chart1->View().elevation, 340);
  EXPECT_EQ(form.Chart1->View().zoom, 60);
  EXPECT_EQ(form.ScrollBar2->value(), 300);
}

TEST(ChartWindow, EveryKindDrawsAtEveryExtremeOfTheView) {
  TForm3 form;
  form.BuildChart(Rows(2, 4), true, "t");
  for (int kind = 0; kind < 6; ++kind) {
    form.FChartKind = static_cast<uint8_t>(kind);
    form.BuildChart(Rows(2, 4), true, "t");
    for (int rotation : {270, 360, 450})
      for (int elevation : {270, 360, 450}) {
        form.ScrollBar2->setValue(rotation);
        form.ScrollBar3->setValue(elevation);
        EXPECT_FALSE(Render(form).isNull());
      }
  }
}

TEST(ChartWindow, DragZoomsInAnimatedAndAClickRestores) {
  TForm3 form;
  form.BuildChart(Rows(3, 5), true, "t");
  const QImage whole = Render(form);
  TChart* chart = form.Chart1;
  QTest::mousePress(chart, Qt::LeftButton, {}, QPoint(100, 50));
  QTest::mouseMove(chart, QPoint(300, 150));
  QTest::mouseRelease(chart, Qt::LeftButton, {}, QPoint(300, 150));
  EXPECT_TRUE(chart->IsAnimating());
  WaitForZoom(*chart);
  const QRectF window = chart->View().window;
  EXPECT_NEAR(window.x(), 100.0 / 729, 1e-9);
  EXPECT_NEAR(window.width(), 200.0 / 729, 1e-9);
  EXPECT_NEAR(window.height(), 100.0 / 274, 1e-9);
  EXPECT_GT(DifferentPixels(whole, Render(form)), whole.width() * whole.height() / 10);

  // A second drag zooms within the first.
  QTest::mousePress(chart, Qt::LeftButton, {}, QPoint(1, 1));
  QTest::mouseRelease(chart, Qt::LeftButton, {}, QPoint(1 + 729 / 2, 1 + 274 / 2));
  WaitForZoom(*chart);
  EXPECT_NEAR(chart->View().window.width(), 364.0 / 729 * (200.0 / 729), 1e-9);
  EXPECT_NEAR(chart->View().window.x(), 100.0 / 729 + 1.0 / 729 * (200.0 / 729), 1e-9);

  QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(200, 100));
  WaitForZoom(*chart);
  EXPECT_EQ(chart->View().window, QRectF(0, 0, 1, 1));
  EXPECT_EQ(DifferentPixels(whole, Render(form)), 0);
}

}  // namespace
}  // namespace tabulon
