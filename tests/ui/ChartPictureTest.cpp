// The chart picture: JPEG encoding through libjpeg, the write by rename, and the failures.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
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
