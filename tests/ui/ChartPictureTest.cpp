// The chart picture: where the drawing puts a value against its scale, JPEG encoding through
// libjpeg, the write by rename, and the failures.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <filesystem>

#include "TestUtil.h"
#include "engine/ResultTable.h"
#include "platform/Errors.h"
#include "ui/ChartWidget.h"
#include "ui/JpegWriter.h"
#include "ui/unitChart.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;

struct TDecoded {
  bool ok = false;
  int width = 0, height = 0, components = 0;
  bool progressive = false;
  bool allRowsRead = false;
};

struct TDecodeErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void JumpOut(j_common_ptr info) {
  std::longjmp(reinterpret_cast<TDecodeErrors*>(info->err)->jump, 1);
}

// Reads the header of a JPEG and, with readRows, decodes every row.
TDecoded Decode(const std::string& bytes, bool readRows) {
  TDecoded result;
  jpeg_decompress_struct info;
  TDecodeErrors errors;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpOut;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return result;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  if (jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK) {
    result.ok = true;
    result.width = static_cast<int>(info.image_width);
    result.height = static_cast<int>(info.image_height);
    result.components = info.num_components;
    result.progressive = info.progressive_mode;
    if (readRows) {
      jpeg_start_decompress(&info);
      std::vector<unsigned char> row(info.output_width * info.output_components);
      JSAMPROW rows[1] = {row.data()};
      while (info.output_scanline < info.output_height) jpeg_read_scanlines(&info, rows, 1);
      result.allRowsRead = true;
      jpeg_finish_decompress(&info);
    }
  }
  jpeg_destroy_decompress(&info);
  return result;
}

TMemoryTable SmallResult() {
  TMemoryTable table;
  table.SetColCount(3);
  table.SetRowCount(3);
  table.SetCell(1, 0, "a");
  table.SetCell(2, 0, "b");
  table.SetCell(0, 1, "x");
  table.SetCell(0, 2, "y");
  table.SetCell(1, 1, "3");
  table.SetCell(2, 1, "4");
  table.SetCell(1, 2, "7");
  table.SetCell(2, 2, "1");
  return table;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

TEST(ChartPicture, SavedPictureIsABaselineColourJpegOfTheChartsSize) {
  test::ScratchDir dir;
  TForm3 form;
  form.BuildChart(SmallResult(), false, "t");
  const std::string path = dir.File("chart.jpg");
  test::WriteFile(path, "an older file of that name");
  form.SavePicture(QString::fromStdString(path));
  TDecoded decoded = Decode(test::ReadFile(path), true);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.width, 729);
  EXPECT_EQ(decoded.height, 274);
  EXPECT_EQ(decoded.components, 3);
  EXPECT_FALSE(decoded.progressive);
  EXPECT_TRUE(decoded.allRowsRead);
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"chart.jpg"});

  // The picture follows the chart's size on screen.
  form.show();
  form.resize(1000, 400);
  form.SavePicture(QString::fromStdString(path));
  decoded = Decode(test::ReadFile(path), false);
  EXPECT_EQ(decoded.width, 960);
  EXPECT_EQ(decoded.height, 380);
}

TEST(ChartPicture, PictureLooksLikeTheChart) {
  test::ScratchDir dir;
  TForm3 form;
  form.BuildChart(SmallResult(), false, "t");
  const std::string path = dir.File("chart.jpg");
  form.SavePicture(QString::fromStdString(path));
  QImage expected(form.Chart1->size(), QImage::Format_RGB32);
  expected.fill(Qt::black);
  QPainter painter(&expected);
  form.Chart1->PaintTo(painter, expected.rect());
  painter.end();
  const QImage saved(QString::fromStdString(path));
  ASSERT_EQ(saved.size(), expected.size());
  // Quality 90 keeps every pixel close to the drawing on average.
  double error = 0;
  for (int y = 0; y < saved.height(); ++y)
    for (int x = 0; x < saved.width(); ++x) {
      const QColor a = saved.pixelColor(x, y), b = expected.pixelColor(x, y);
      error += std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue());
    }
  EXPECT_LT(error / (saved.width() * saved.height() * 3), 4.0);
}

TEST(ChartPicture, LargeNoisyPictureGrowsTheOutputAndDecodes) {
  QImage noise(900, 700, QImage::Format_RGB32);
  QRandomGenerator random(7);
  for (int y = 0; y < noise.height(); ++y)
    for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, random.generate() | 0xFF000000u);
  std::string bytes, error;
  ASSERT_TRUE(EncodeJpeg(noise, 90, &bytes, &error)) << error;
  EXPECT_GT(bytes.size(), 4u * 64 * 1024);
  const TDecoded decoded = Decode(bytes, true);
  EXPECT_TRUE(decoded.allRowsRead);
  EXPECT_EQ(decoded.width, 900);
  EXPECT_EQ(decoded.height, 700);
}

TEST(ChartPicture, FailuresRaiseIoErrorNamingTheFileAndLeaveNoFile) {
  test::ScratchDir dir;
  const QImage picture(40, 30, QImage::Format_RGB32);

  // 1) the folder does not exist
  const std::string missing = dir.File("no-such-folder/chart.jpg");
  try {
    WriteJpeg(picture, QString::fromStdString(missing), 90);
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), missing + test::S(" を作成できません: ファイルがありません"));
  }
  EXPECT_FALSE(fs::exists(missing));

  // 2) the name is taken by a folder: the rename fails and the temporary file goes
  const std::string folder = dir.File("taken.jpg");
  fs::create_directory(folder);
  EXPECT_THROW(WriteJpeg(picture, QString::fromStdString(folder), 90), IoError);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"taken.jpg"});

  // 3) libjpeg refuses an empty picture: the old file stays as it was
  const std::string old = dir.File("old.jpg");
  test::WriteFile(old, "old");
  std::string bytes, error;
  EXPECT_FALSE(EncodeJpeg(QImage(), 90, &bytes, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_THROW(WriteJpeg(QImage(), QString::fromStdString(old), 90), IoError);
  EXPECT_EQ(test::ReadFile(old), "old");
}

// Grey or black: the channels differ by little (a saturation is unstable near black).
bool Neutral(const QColor& pixel) {
  const int low = std::min({pixel.red(), pixel.green(), pixel.blue()});
  const int high = std::max({pixel.red(), pixel.green(), pixel.blue()});
  return high - low < 12;
}

// Reading a rendered chart as a person does, by its pixels alone.
class TChartReader {
 public:
  explicit TChartReader(QImage image) : image_(std::move(image)) {}

  // The value axis: the column of the picture's left half, inside its frame, with the longest run
  // of dark grey or black pixels (the axis may fall between two columns and leave both grey).
  int AxisColumn() const {
    int best = 0, bestRun = 0;
    for (int x = 10; x < image_.width() / 2; ++x) {
      int run = 0;
      for (int y = 0; y < image_.height(); ++y) {
        const QColor pixel = image_.pixelColor(x, y);
        run = Neutral(pixel) && pixel.value() < 160 ? run + 1 : 0;
        if (run > bestRun) bestRun = run, best = x;
      }
    }
    return best;
  }

  // The rows of the value axis' tick marks from the top, each the centre of its line, read three
  // columns left of the axis, clear of the walls' edges that may run beside it; the chart's frame
  // at the picture's edges is left out.
  std::vector<double> TickRows() const {
    return LineCentres(AxisColumn() - 3, 2, image_.height() - 3);
  }

  // How far the value grid falls per column to the right: the slope of the category axis.
  double GridSlope(int left, int right) const {
    return (LowestBlackRow(right) - LowestBlackRow(left)) / (right - left);
  }

  // The centre of the grid line crossing column x nearest to row around, within 4 rows of it;
  // -1 when there is none.
  double GridRowNear(int x, double around) const {
    double nearest = -1;
    for (double row : LineCentres(x, static_cast<int>(around) - 8, static_cast<int>(around) + 9))
      if (std::abs(row - around) <= 4 &&
          (nearest < 0 || std::abs(row - around) < std::abs(nearest - around)))
        nearest = row;
    return nearest;
  }

  // The runs of at least 20 columns along row y whose pixels are exactly colour, as [first,
  // last]; the legend's swatches are narrower.
  std::vector<std::pair<int, int>> Runs(int y, const QColor& colour) const {
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < image_.width(); ++x) {
      if (image_.pixelColor(x, y) != colour) continue;
      if (!runs.empty() && runs.back().second == x - 1) {
        runs.back().second = x;
      } else {
        runs.emplace_back(x, x);
      }
    }
    std::erase_if(runs, [](const auto& run) { return run.second - run.first < 19; });
    return runs;
  }

  // Where a bar's front face ends at the top: walking up column x from row y inside the face,
  // the last row of its flat colour, less the half row of the edge line drawn on the boundary.
  double FrontTop(int x, int y, const QColor& colour) const {
    while (y > 0 && image_.pixelColor(x, y - 1) == colour) --y;
    return y - 0.5;
  }

  // The first pixel of column x in the hue of colour (any shade), walking from row y by step
  // (-1 up, 1 down); -1 when there is none.
  int FirstOfHue(int x, int y, int step, const QColor& colour) const {
    for (; x >= 0 && x < image_.width() && y >= 0 && y < image_.height(); y += step) {
      const QColor pixel = image_.pixelColor(x, y);
      if (pixel.hsvSaturation() > 60 && std::abs(pixel.hsvHue() - colour.hsvHue()) < 12) return y;
    }
    return -1;
  }

 private:
  // The centre of the lowest black line in column x, above the chart's bottom frame.
  double LowestBlackRow(int x) const {
    int y = image_.height() - 3;
    while (y > 0 && qGray(image_.pixel(x, y)) > 100) --y;
    const int bottom = y;
    while (y > 0 && qGray(image_.pixel(x, y - 1)) <= 100) --y;
    return (y + bottom) / 2.0;
  }

  // Centres of the grey or black lines crossing column x between rows from and to, each weighted
  // by how much darker its pixels are than the background three rows above and below (a line
  // may fall between two rows and leave both only a little darker).
  std::vector<double> LineCentres(int x, int from, int to) const {
    std::vector<double> centres;
    double weight = 0, sum = 0;
    for (int y = std::max(from, 3); y < std::min(to, image_.height() - 3); ++y) {
      const QColor pixel = image_.pixelColor(x, y);
      const int around =
          std::min(image_.pixelColor(x, y - 3).value(), image_.pixelColor(x, y + 3).value());
      const double dark = Neutral(pixel) ? std::max(0, around - pixel.value() - 8) : 0;
      if (dark > 0) {
        weight += dark, sum += dark * y;
      } else if (weight > 0) {
        centres.push_back(sum / weight);
        weight = sum = 0;
      }
    }
    if (weight > 0) centres.push_back(sum / weight);
    return centres;
  }

  QImage image_;
};

QImage RenderChart(const TChartData& data, const TChartView& view) {
  QImage image(729, 274, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  PaintChart(painter, image.rect(), data, view);
  return image;
}

TChartData Attendance(TSeriesKind kind, std::vector<double> in, std::vector<double> out) {
  TChartData data;
  data.kind = kind;
  data.title = QStringLiteral("勤怠");
  data.labels = {QStringLiteral("営業"), QStringLiteral("総務"), QStringLiteral("開発")};
  data.series = {{QStringLiteral("出勤"), std::move(in)}, {QStringLiteral("退勤"), std::move(out)}};
  return data;
}

// The row of value v on the value axis, whose ticks run from 0 at the bottom to top.
double ValueRow(const std::vector<double>& ticks, double top, double v) {
  return ticks.back() + (ticks.front() - ticks.back()) * v / top;
}

std::string ViewName(const TChartView& view) {
  return std::to_string(view.rotation) + " / " + std::to_string(view.elevation) + " / " +
         std::to_string(view.zoom);
}

TEST(ChartPicture, BarFrontsMeetTheGridLineOfTheirValueInEveryView) {
  // The scale runs from 0 to 60; 40 and 60 have grid lines whatever its step.
  const TChartData data = Attendance(skBar, {60, 40, 60}, {60, 60, 40});
  for (const TChartView& view :
       {TChartView{}, TChartView{360, 280, 80, {0, 0, 1, 1}},
        TChartView{360, 420, 95, {0, 0, 1, 1}}, TChartView{375, 300, 90, {0, 0, 1, 1}}}) {
    SCOPED_TRACE(ViewName(view));
    const TChartReader chart(RenderChart(data, view));
    const std::vector<double> ticks = chart.TickRows();
    ASSERT_GE(ticks.size(), 4u);
    // A row through every bar's front face, where it is flat colour, also when the turned view
    // lets the bars' feet fall to the right.
    const int probe = static_cast<int>(ValueRow(ticks, 60, 10));
    const auto blue = chart.Runs(probe, ChartColor(0)), orange = chart.Runs(probe, ChartColor(1));
    ASSERT_EQ(blue.size(), 3u);
    ASSERT_EQ(orange.size(), 3u);
    const int axis = chart.AxisColumn();
    const double slope = chart.GridSlope(blue[0].first - 12, blue[2].first - 12);
    for (size_t i = 0; i < 3; ++i) {
      // The grid line of a bar's value in the free space either side of its pair; it is
      // straight, so at the bar's middle it lies where its two ends say.
      const int left = blue[i].first - 12, right = orange[i].second + 12;
      for (int s = 0; s < 2; ++s) {
        const auto [first, last] = s == 0 ? blue[i] : orange[i];
        const double value = data.series[s].values[i];
        const double leftRow =
            chart.GridRowNear(left, ValueRow(ticks, 60, value) + slope * (left - axis));
        const double rightRow =
            chart.GridRowNear(right, ValueRow(ticks, 60, value) + slope * (right - axis));
        ASSERT_GE(leftRow, 0) << "category " << i << " value " << value;
        ASSERT_GE(rightRow, 0) << "category " << i << " value " << value;
        const int x = (first + last) / 2;
        const double grid = leftRow + (rightRow - leftRow) * (x - left) / (right - left);
        EXPECT_NEAR(chart.FrontTop(x, probe, ChartColor(s)), grid, 1.5)
            << "category " << i << " series " << s;
      }
    }
  }
}

TEST(ChartPicture, LinesMeetTheTickOfTheirValueAndZeroSitsOnTheZeroLine) {
  for (const TSeriesKind kind : {skLine, skFastLine}) {
    const TChartData data = Attendance(kind, {40, 40, 40}, {0, 0, 0});
    for (const TChartView& view : {TChartView{}, TChartView{360, 275, 100, {0, 0, 1, 1}},
                                   TChartView{360, 440, 60, {0, 0, 1, 1}}}) {
      SCOPED_TRACE(std::to_string(kind) + ": " + ViewName(view));
      const TChartReader chart(RenderChart(data, view));
      // The scale runs from 0 to 40.
      const std::vector<double> ticks = chart.TickRows();
      ASSERT_GE(ticks.size(), 3u);
      const bool fromBelow = view.elevation > 360;
      const int axis = chart.AxisColumn();
      for (int x = axis + 120; x <= axis + 260; x += 35) {
        // Seen from above a ribbon rises behind the edge that meets its value; from below it
        // hangs under it.
        const int start = static_cast<int>(fromBelow ? ticks.front() - 8 : ticks.back() + 8);
        const int step = fromBelow ? 1 : -1;
        EXPECT_NEAR(chart.FirstOfHue(x, start, step, ChartColor(0)), ticks.front(), 1.5)
            << "column " << x;
        EXPECT_NEAR(chart.FirstOfHue(x, start, step, ChartColor(1)), ticks.back(), 1.5)
            << "column " << x;
      }
    }
  }
}

TEST(ChartPicture, EqualLinesBothShowAtTheirValue) {
  for (const TSeriesKind kind : {skLine, skFastLine}) {
    const TChartReader chart(RenderChart(Attendance(kind, {40, 40, 40}, {40, 40, 40}), {}));
    const std::vector<double> ticks = chart.TickRows();
    ASSERT_GE(ticks.size(), 3u);
    const int axis = chart.AxisColumn();
    for (int s = 0; s < 2; ++s) {
      int atValue = 0;
      for (int x = axis + 120; x <= axis + 400; x += 4)
        atValue += std::abs(chart.FirstOfHue(x, ticks.back() + 8, -1, ChartColor(s)) -
                            ticks.front()) <= 1.5;
      EXPECT_GE(atValue, 10) << "kind " << kind << " series " << s;
    }
  }
}

TEST(ChartPicture, ChartScaleTicksAreRoundAndCoverTheValues) {
  TAxisScale s = NiceScale(0, 97, 5);
  EXPECT_EQ(s.low, 0);
  EXPECT_EQ(s.high, 100);
  EXPECT_EQ(s.step, 20);
  EXPECT_EQ(s.decimals, 0);
  s = NiceScale(-3, 7, 5);
  EXPECT_EQ(s.low, -4);
  EXPECT_EQ(s.high, 8);
  EXPECT_EQ(s.step, 2);
  s = NiceScale(0, 0, 5);
  EXPECT_EQ(s.low, 0);
  EXPECT_EQ(s.high, 1);
  s = NiceScale(0, 0.37, 4);
  EXPECT_DOUBLE_EQ(s.step, 0.1);
  EXPECT_DOUBLE_EQ(s.high, 0.4);
  EXPECT_EQ(s.decimals, 1);
  s = NiceScale(0, 150, 7);
  EXPECT_EQ(s.high, 150);
  EXPECT_EQ(s.step, 50);
  s = NiceScale(0, 3e9, 5);
  EXPECT_EQ(s.step, 1e9);
  EXPECT_EQ(s.high, 3e9);
}

}  // namespace
}  // namespace tabulon
