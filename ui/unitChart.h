// The chart window TForm3 "グラフ表示": the current result drawn as a chart, one series per result
// row and one point per result column, in one of six kinds cycled by 変更, with scroll bars that
// turn, tilt and zoom the 3D view. It stays above the other windows and is rebuilt by every
// tabulation while it is showing.
#pragma once

#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <string>

class QPushButton;
class QScrollBar;

namespace tabulon {

class TChart;
class TResultTable;

class TForm3 : public QWidget {
  Q_OBJECT

 public:
  // A tool window of parent (the main window), created hidden, FChartKind 0.
  explicit TForm3(QWidget* parent = nullptr);

  // Rebuilds the chart from the main window's grid: titleSjis is the selected dataset's display
  // name; with totalsShown the last column and the last row (the totals) are left out. Closes
  // the window when the result has fewer than 2 data columns and fewer than 2 data rows, and
  // builds all the same. May change FChartKind: bar for a single data column, line instead of a
  // pie for more than 2 rows. The grid is remembered for 変更.
  // REQUIRES: mainGrid outlives this window or the next call.
  void BuildChart(const TResultTable& mainGrid, bool totalsShown, const std::string& titleSjis);

  // True while the window is visible.
  bool IsShowing() const;

  // Shows the window in its normal state (not minimised or maximised) with its outer top-left
  // corner at topLeftOnScreen.
  void ShowOver(const QPoint& topLeftOnScreen);

  // Saves the chart as it is on screen, at Chart1's current size, as a JPEG picture over a
  // black background; an existing file is replaced. Throws IoError naming path when the picture
  // cannot be encoded or written; the file is then left as it was.
  void SavePicture(const QString& path);

  // Handlers.
  void FormCreate();
  // 変更: the next series kind (after pie comes line again), then a rebuild from the grid of the
  // last build.
  void Button1Click();
  void ScrollBar1Change();  // zoom
  void ScrollBar2Change();  // rotation
  void ScrollBar3Change();  // elevation

  uint8_t FChartKind;  // the series kind of the next build, numbered as TSeriesKind

  QPushButton* Button1;
  QScrollBar* ScrollBar2;  // rotation, horizontal
  QScrollBar* ScrollBar1;  // zoom, vertical
  QScrollBar* ScrollBar3;  // elevation, vertical
  TChart* Chart1;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The last build's inputs, which 変更 builds from again.
  const TResultTable* grid_ = nullptr;  // not owned
  bool totalsShown_ = false;
  std::string titleSjis_;
};

// The value a chart point takes from a grid cell: 0 for a blank text, the number for a decimal
// number, also one followed by "%" (a share of 構成比: "12.5%" is 12.5), 0 for the "-" of a share
// of a zero total, 1 for anything else.
double ChartCellValue(const std::string& cellSjis);

}  // namespace tabulon
