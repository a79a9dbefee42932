// The string grid as a user sees it: headings that never scroll away, cells clipped and never
// elided, numbers right-aligned, copying as tab-separated text, and what each mouse button does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <memory>

#include "WindowTestUtil.h"
#include "ui/Fonts.h"
#include "ui/QtStrings.h"

namespace tabulon::test {
namespace {

// A shown grid of cols × rows: headings "列c" and "行r", data cells c * 1000 + r.
std::unique_ptr<TStringGrid> MakeGrid(int cols, int rows, int width, int height) {
  auto grid = std::make_unique<TStringGrid>(nullptr, true);
  grid->resize(width, height);
  grid->SetColCount(cols);
  grid->SetRowCount(rows);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      grid->SetCell(c, r,
                    r == 0   ? S("列") + std::to_string(c)
                    : c == 0 ? S("行") + std::to_string(r)
                             : std::to_string(c * 1000 + r));
  grid->SetCell(0, 0, "");
  grid->show();
  grid->Flush();
  return grid;
}

// The picture of cell (col, row) as the grid draws it.
QImage Picture(TStringGrid& grid, int col, int row) {
  return grid.CellWidget(col, row)->grab(grid.CellRect(col, row)).toImage();
}

// The first and last pixel columns of img holding dark ink, -1 -1 when none.
std::pair<int, int> Ink(const QImage& img) {
  int first = -1, last = -1;
  for (int x = 1; x < img.width() - 1; ++x)
    for (int y = 1; y < img.height() - 1; ++y)
      if (qGray(img.pixel(x, y)) < 110) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

TEST(StringGrid, TheHeadingRowAndColumnStayInSightWhileTheBodyScrolls) {
  auto grid = MakeGrid(40, 500, 300, 200);
  // The strips end where the scroll bars begin.
  const QRect body = grid->viewport()->geometry();
  const QRect topStrip(0, 0, body.right(), body.top());
  const QRect leftStrip(0, 0, body.left(), body.bottom());
  const QImage topBefore = grid->grab(topStrip).toImage();
  const QImage leftBefore = grid->grab(leftStrip).toImage();

  // PageDown scrolls the rows only: the column names are drawn exactly as before.
  grid->setFocus();
  grid->setCurrentIndex(grid->model()->index(1, 1));
  QTest::keyClick(grid.get(), Qt::Key_PageDown);
  QTest::keyClick(grid.get(), Qt::Key_PageDown);
  ASSERT_GT(grid->rowAt(0), 10);
  EXPECT_EQ(grid->grab(topStrip).toImage(), topBefore);

  // The horizontal bar scrolls the columns only: back at the top, the row labels are unchanged.
  grid->verticalScrollBar()->setValue(0);
  grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
  ASSERT_GT(grid->columnAt(0), 10);
  EXPECT_EQ(grid->grab(leftStrip).toImage(), leftBefore);

  // Ctrl+End: the last row's label and the last column's name are in sight in the headings.
  QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
  for (const auto& [col, row] : {std::pair{39, 0}, std::pair{0, 499}}) {
    const QRect cell = grid->CellRect(col, row);
    EXPECT_TRUE(grid->CellWidget(col, row)->rect().contains(cell)) << col << "," << row;
    EXPECT_TRUE(grid->CellWidget(col, row)->isVisible());
  }
  EXPECT_EQ(grid->DisplayText(0, 499), "行499");
}

TEST(StringGrid, ACellTooNarrowForItsTextClipsItLikeAStringGridNeverElides) {
  auto grid = MakeGrid(3, 3, 300, 100);
  grid->SetColWidth(1, 18);
  grid->SetColWidth(2, 120);
  // A heading cell as a number and a data cell as a text, each too wide for its column.
  grid->SetCell(1, 0, "5045");
  grid->SetCell(2, 0, "5045x");
  grid->SetCell(1, 1, "5045x");
  grid->SetCell(2, 1, "5045x");
  grid->Flush();
  for (int row : {0, 1}) {
    const QImage narrow = Picture(*grid, 1, row);
    // The narrow cell shows the beginning of the text, cut at its border: the same pixels as
    // the wide cell's left part (the grid line at the right end aside).
    const QImage wideLeft = Picture(*grid, 2, row).copy(0, 0, narrow.width() - 1, narrow.height());
    EXPECT_EQ(narrow.copy(0, 0, narrow.width() - 1, narrow.height()), wideLeft) << "row " << row;
    EXPECT_EQ(grid->ShownText(1, row), grid->DisplayText(1, row));
  }
}

TEST(StringGrid, ANumberTooWideForItsDataCellShowsHashMarksNeverItsFirstDigits) {
  auto grid = MakeGrid(3, 3, 300, 100);
  grid->SetColWidth(1, 32);
  grid->SetCell(1, 1, "1000000");
  grid->SetCell(1, 2, "-12.5%");
  grid->SetCell(0, 1, "1000000");  // a heading clips as labels do
  grid->Flush();
  const int mark = grid->fontMetrics().horizontalAdvance(QLatin1Char('#'));
  const QString marks = grid->ShownText(1, 1);
  EXPECT_EQ(marks, QString(marks.size(), QLatin1Char('#')));
  EXPECT_GE(marks.size(), 1);
  EXPECT_LE(marks.size() * mark, 32);
  EXPECT_GT((marks.size() + 1) * mark, 32 - 8);  // as many as fit
  EXPECT_EQ(grid->ShownText(1, 2), marks);
  EXPECT_EQ(grid->ShownText(0, 1), "1000000");
  EXPECT_EQ(grid->DisplayText(1, 1), "1000000");  // コピー and 保存 take the number
  // A code with leading zeros is text: it clips.
  grid->SetCell(1, 2, "0010926");
  grid->Flush();
  EXPECT_EQ(grid->ShownText(1, 2), "0010926");
  grid->SetCell(1, 2, "-12.5%");
  grid->Flush();
  // Drawn as the marks are: a cell holding them as its text looks the same.
  grid->SetCell(2, 1, marks.toStdString());
  grid->SetColWidth(2, 32);
  grid->Flush();
  const QImage drawn = Picture(*grid, 1, 1);
  const QImage asText = Picture(*grid, 2, 1);
  EXPECT_EQ(Ink(drawn).second - Ink(drawn).first, Ink(asText).second - Ink(asText).first);
  grid->SetColWidth(1, 80);  // wide enough: the number itself
  grid->Flush();
  EXPECT_EQ(grid->ShownText(1, 1), "1000000");
}

TEST(StringGrid, DataCellsHoldingNumbersAreRightAlignedTextsAndLabelsLeftAligned) {
  auto grid = MakeGrid(2, 8, 300, 200);
  grid->SetColWidth(0, 100);
  grid->SetColWidth(1, 100);
  const char* numbers[] = {"42", "-1,234.5", "12.5%", "0"};
  const char* texts[] = {"京都店", "2024/01/01", "N10001"};
  for (int k = 0; k < 4; ++k) grid->SetCell(1, 1 + k, numbers[k]);
  for (int k = 0; k < 3; ++k) grid->SetCell(1, 5 + k, S(texts[k]));
  grid->SetCell(0, 1, "1234");  // a row label stays as labels are
  grid->Flush();
  for (int row = 1; row <= 7; ++row) {
    const auto [first, last] = Ink(Picture(*grid, 1, row));
    ASSERT_GE(first, 0) << "row " << row;
    if (row <= 4) {
      EXPECT_GT(first, 20) << grid->DisplayText(1, row).toStdString();
      EXPECT_GT(last, 90) << grid->DisplayText(1, row).toStdString();
    } else {
      EXPECT_LT(first, 8) << grid->DisplayText(1, row).toStdString();
    }
  }
  EXPECT_LT(Ink(Picture(*grid, 0, 1)).first, 8);
}

TEST(StringGrid, CopyGivesTheSelectedCellsOrTheWholeTableAsTabSeparatedLines) {
  auto grid = MakeGrid(3, 3, 300, 100);
  grid->SetCell(1, 0, S("京都店"));
  grid->SetCell(2, 0, "say \"hi\"");
  grid->SetCell(2, 2, "a\tb");
  grid->Flush();
  const QString whole = QStringLiteral(
      "\t京都店\t\"say \"\"hi\"\"\"\n"
      "行1\t1001\t2001\n"
      "行2\t1002\t\"a\tb\"\n");
  EXPECT_EQ(grid->CopyText(), whole);

  // Ctrl+C puts the text on the clipboard in Unicode.
  grid->setFocus();
  QTest::keyClick(grid.get(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), whole);

  const QAbstractItemModel* model = grid->model();
  grid->selectionModel()->select(QItemSelection(model->index(1, 1), model->index(2, 1)),
                                 QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(grid->CopyText(), "1001\n1002\n");
  grid->selectionModel()->select(QItemSelection(model->index(2, 1), model->index(2, 2)),
                                 QItemSelectionModel::ClearAndSelect);
  QTest::keyClick(grid.get(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "1002\t\"a\tb\"\n");
}

TEST(StringGrid, TheLeftButtonReportsTheCellTheRightOpensTheMenuAndKeepsTheSelection) {
  auto grid = MakeGrid(4, 4, 300, 100);
  std::vector<std::pair<int, int>> pressed;
  grid->onMouseDown = [&pressed](int col, int row) { pressed.emplace_back(col, row); };
  ClickGridCell(grid.get(), 2, 0);
  ClickGridCell(grid.get(), 0, 3);
  ClickGridCell(grid.get(), 0, 0);
  ClickGridCell(grid.get(), 1, 2);
  EXPECT_EQ(pressed, (std::vector<std::pair<int, int>>{{2, 0}, {0, 3}, {0, 0}, {1, 2}}));

  ClickGridCell(grid.get(), 3, 3, Qt::RightButton);
  ClickGridCell(grid.get(), 3, 0, Qt::RightButton);
  EXPECT_EQ(pressed.size(), 4u);
  EXPECT_EQ(grid->CopyText(), "1002\n");  // the cell the left button selected

  for (const auto& [col, row] : {std::pair{2, 2}, std::pair{2, 0}, std::pair{0, 2}})
    EXPECT_EQ(MenuEntries(grid->CellWidget(col, row), grid->CellRect(col, row).center()),
              QStringList{"コピー"})
        << col << "," << row;
}

TEST(StringGrid, APressDraggedOverDataCellsSelectsThemAndOnlyAClickReportsItsCell) {
  auto grid = MakeGrid(4, 4, 300, 100);
  std::vector<std::pair<int, int>> clicked;
  grid->onMouseDown = [&clicked](int col, int row) { clicked.emplace_back(col, row); };
  QWidget* body = grid->viewport();
  QTest::mousePress(body, Qt::LeftButton, {}, grid->CellRect(1, 1).center());
  EXPECT_TRUE(clicked.empty());  // a press alone reports nothing
  QTest::mouseMove(body, grid->CellRect(2, 2).center());
  QTest::mouseRelease(body, Qt::LeftButton, {}, grid->CellRect(2, 2).center());
  EXPECT_TRUE(clicked.empty());
  EXPECT_EQ(grid->CopyText(), "1001\t2001\n1002\t2002\n");

  // Shift extends the selection and reports nothing either.
  QTest::mouseClick(body, Qt::LeftButton, Qt::ShiftModifier, grid->CellRect(3, 3).center());
  EXPECT_TRUE(clicked.empty());
  EXPECT_EQ(grid->CopyText(), "1001\t2001\t3001\n1002\t2002\t3002\n1003\t2003\t3003\n");

  // A press and release on one cell is a click, reported at the release.
  QTest::mousePress(body, Qt::LeftButton, {}, grid->CellRect(2, 1).center());
  EXPECT_TRUE(clicked.empty());
  QTest::mouseRelease(body, Qt::LeftButton, {}, grid->CellRect(2, 1).center());
  EXPECT_EQ(clicked, (std::vector<std::pair<int, int>>{{2, 1}}));
}

}  // namespace
}  // namespace tabulon::test

namespace tabulon::test {
namespace {

// The width of text as measured by shaping the whole text in the grid's font.
int WholeTextWidth(const TStringGrid& grid, const std::string& text) {
  return grid.fontMetrics().horizontalAdvance(FromSjis(text)) + grid.TextWidth("");
}

TEST(StringGrid, TextWidthsFollowTheGridsFontWhenItChanges) {
  TStringGrid grid(nullptr, true);
  grid.setFont(DataFont());
  const std::string text = S("京都店 合計 ﾃﾞｰﾀ 123,456");
  const int before = grid.TextWidth(text);
  EXPECT_EQ(before, WholeTextWidth(grid, text));
  EXPECT_EQ(grid.TextWidth(text), before);  // measured again, the same
  QFont larger = DataFont();
  larger.setPixelSize(24);
  grid.setFont(larger);
  EXPECT_EQ(grid.TextWidth(text), WholeTextWidth(grid, text));
  EXPECT_GT(grid.TextWidth(text), before);
}

}  // namespace
}  // namespace tabulon::test
