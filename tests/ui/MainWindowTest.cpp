// The main window driven as a user drives it: start-up and the dataset list, the filter panels,
// the toggles, the drill-down, the record list, the value input and the save.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QToolButton>
#include <filesystem>
#include <thread>

#include "WindowTestUtil.h"
#include "engine/Engine.h"
#include "platform/FileIo.h"
#include "ui/ClickLabel.h"
#include "ui/RangeBar.h"
#include "ui/unitInput.h"

namespace tabulon::test {
namespace {

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    csv = dir.File("data.csv");
    WriteFile(csv, MakeCsv(2100));
    listFile = dir.File("tabulon.lis");
  }
  // Starts the program with a list holding csv.
  TWindows& StartWithData() {
    WriteFile(listFile, csv + "\r\n");
    w = std::make_unique<TWindows>(listFile);
    EXPECT_TRUE(w->Start());
    return *w;
  }
  // 店舗 as the column items, 金額 in three classes as the row items.
  void ShopsByAmountClasses() {
    TForm1& f = *w->form1;
    QTest::mouseClick(f.SpeedButton1, Qt::LeftButton);
    SelectColumn("金額");
    f.ComboBox2->setCurrentIndex(f.ComboBox2->findText("3"));
    emit f.ComboBox2->activated(f.ComboBox2->currentIndex());
    QTest::mouseClick(f.SpeedButton2, Qt::LeftButton);
  }
  // Selects the column named name (UTF-8) in the column list.
  void SelectColumn(const char* name) {
    const QStringList entries = Entries(w->form1->ListBox2);
    for (int i = 0; i < entries.size(); ++i)
      if (entries[i].mid(2) == Q(name)) return w->ClickEntry(w->form1->ListBox2, i);
    ADD_FAILURE() << "no column " << name;
  }

  ScratchDir dir;
  std::string csv, listFile;
  std::unique_ptr<TWindows> w;
};

TEST_F(MainWindow, FirstRunOffersTheAddDialogThenImportsAndSelectsTheChosenFile) {
  w = std::make_unique<TWindows>(listFile);
  w->dialogs.openAnswers.push_back(Q(csv));
  ASSERT_TRUE(w->Start());
  TForm1& f = *w->form1;
  EXPECT_EQ(w->dialogs.filters.at(0), QStringLiteral("CSVファイル|*.csv"));
  EXPECT_EQ(ReadFile(listFile), csv + "\r\n");
  EXPECT_EQ(Entries(f.ListBox1), QStringList{"data"});
  EXPECT_EQ(f.ListBox1->currentRow(), 0);
  EXPECT_EQ(f.Memo1->toPlainText(), Q(csv));
  EXPECT_FALSE(f.Memo1->isVisible());
  EXPECT_EQ(f.Label1->text(), Q(csv));
  EXPECT_EQ(Entries(f.ListBox2), (QStringList{"  店舗", "  金額", "  日付", "  伝票"}));
  EXPECT_EQ(f.Label2->text(), "2100");
  EXPECT_TRUE(f.isEnabled());
  EXPECT_FALSE(w->progress->isVisible());
  EXPECT_TRUE(std::filesystem::exists(dir.File("data/data.Ini")));
  // The first column, a text column of three shops, shows its item panel and role toggles.
  EXPECT_TRUE(f.GroupBox1->isVisible());
  EXPECT_EQ(f.GroupBox1->title(), "店舗");
  EXPECT_EQ(Entries(f.ListBox3), (QStringList{"京都店", "銀座店", "渋谷店"}));
  EXPECT_TRUE(f.Panel5->isVisible());
}

// Ten million records need more than the counter's width at design: it widens to the left, its
// right edge kept, so that no digit is cut; a short count gives the design's place back.
TEST_F(MainWindow, ALongRecordCountKeepsEveryDigit) {
  w = std::make_unique<TWindows>(listFile);
  ASSERT_TRUE(w->Start());
  TForm1& f = *w->form1;
  const QRect design = f.Panel1->geometry();
  f.Label2->setText(QStringLiteral("10000000"));
  f.FitRecordCount();
  EXPECT_GE(f.Label2->width(), f.Label2->fontMetrics().horizontalAdvance("10000000"));
  EXPECT_EQ(f.Panel1->geometry().right(), design.right());
  EXPECT_EQ(f.Label2->width(), f.Panel1->width());
  f.Label2->setText(QStringLiteral("2100"));
  f.FitRecordCount();
  EXPECT_EQ(f.Panel1->geometry(), design);
}

TEST_F(MainWindow, FirstRunCancelledLeavesAnEmptyWindowAndNoList) {
  w = std::make_unique<TWindows>(listFile);
  ASSERT_TRUE(w->Start());
  EXPECT_EQ(w->form1->ListBox1->count(), 0);
  EXPECT_EQ(w->form1->Label1->text(), "*");
  EXPECT_EQ(w->form1->Label2->text(), "00000");
  EXPECT_FALSE(w->form1->Panel5->isVisible());
  EXPECT_FALSE(std::filesystem::exists(listFile));
}

TEST_F(MainWindow, AListOfSeveralFilesIsShownInOrderImportedAndTheFirstSelected) {
  const std::string second = dir.File("second.csv");
  WriteFile(second, MakeCsv(10));
  const std::string missing = dir.File("gone/missing.csv");
  WriteFile(listFile, second + "\r\n" + missing + "\r\n" + csv + "\r\n");
  w = std::make_unique<TWindows>(listFile);
  ASSERT_TRUE(w->Start());
  EXPECT_EQ(Entries(w->form1->ListBox1), (QStringList{"second", "missing", "data"}));
  EXPECT_EQ(w->form1->ListBox1->currentRow(), 0);
  EXPECT_EQ(w->form1->Label2->text(), "10");
  EXPECT_TRUE(std::filesystem::exists(dir.File("second/second.Ini")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("data/data.Ini")));
  EXPECT_TRUE(w->dialogs.messages.empty());
  w->ClickEntry(w->form1->ListBox1, 2);
  EXPECT_EQ(w->form1->Label2->text(), "2100");
}

TEST_F(MainWindow, AUtf8FileOpensAsItsTextAndWhatItLostIsShownOnce) {
  WriteFile(csv, "\xEF\xBB\xBF店舗,メモ\r\n渋谷店,café\r\n");
  StartWithData();
  TForm1& f = *w->form1;
  EXPECT_EQ(Entries(f.ListBox2), (QStringList{"  店舗", "  メモ"}));
  EXPECT_EQ(Entries(f.ListBox3), QStringList{"渋谷店"});
  EXPECT_EQ(
      w->dialogs.messages,
      std::vector<QString>{Q(csv) + QStringLiteral(": Shift-JIS にない文字 1 個を〓にしました")});
  EXPECT_EQ(w->progress->Label2->text(), QStringLiteral("〓にした文字 1 個"));
}

TEST_F(MainWindow, AChangedCsvIsImportedAgainAtTheNextStart) {
  StartWithData();
  w.reset();
  // The store remembers the file's time to the even second.
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  WriteFile(csv, MakeCsv(2105));
  StartWithData();
  EXPECT_EQ(w->form1->Label2->text(), "2105");
}

TEST_F(MainWindow, AddAndDeleteKeepTheListTheMemoAndTheFileInStep) {
  TForm1& f = *StartWithData().form1;
  const std::string other = dir.File("other.csv");
  WriteFile(other, MakeCsv(7));
  w->dialogs.openAnswers.push_back(Q(other));
  QTest::mouseClick(f.Button1, Qt::LeftButton);
  EXPECT_EQ(Entries(f.ListBox1), (QStringList{"data", "other"}));
  EXPECT_EQ(f.ListBox1->currentRow(), 1);
  EXPECT_EQ(f.Label2->text(), "7");
  EXPECT_EQ(ReadFile(listFile), csv + "\r\n" + other + "\r\n");

  // A list file that cannot be written: the error is reported and both lists stay as they were.
  InjectFileFault(FileOp::kRename, 1);
  QTest::mouseClick(f.Button2, Qt::LeftButton);
  ClearFileFaults();
  ASSERT_EQ(w->dialogs.messages.size(), 1u);
  EXPECT_EQ(w->dialogs.messages[0],
            Q(listFile) + " に書き込めません: テストのために起こした障害です");
  EXPECT_EQ(Entries(f.ListBox1), (QStringList{"data", "other"}));
  EXPECT_EQ(f.Memo1->toPlainText(), Q(csv + "\n" + other));

  QTest::mouseClick(f.Button2, Qt::LeftButton);
  EXPECT_EQ(Entries(f.ListBox1), QStringList{"data"});
  EXPECT_EQ(f.Memo1->toPlainText(), Q(csv));
  EXPECT_EQ(f.ListBox1->currentRow(), -1);
  EXPECT_EQ(ReadFile(listFile), csv + "\r\n");
  EXPECT_TRUE(std::filesystem::exists(other));

  // With no dataset selected the record list reads no file and the grid keeps its content.
  const QStringList before = Row(f.StringGrid1, 0);
  QTest::mouseClick(f.Button7, Qt::LeftButton);
  EXPECT_EQ(Row(f.StringGrid1, 0), before);
  EXPECT_EQ(f.Label2->text(), "7");
  // And a click without a selection deletes nothing.
  QTest::mouseClick(f.Button2, Qt::LeftButton);
  EXPECT_EQ(f.ListBox1->count(), 1);
}

TEST_F(MainWindow, PickingItemsFiltersAndTheResetClearsThem) {
  TForm1& f = *StartWithData().form1;
  w->ClickEntry(f.ListBox3, 0);
  w->ClickEntry(f.ListBox3, 2);
  EXPECT_EQ(f.ListBox2->item(0)->text(), "＊店舗");
  EXPECT_EQ(f.Label2->text(), "1400");
  EXPECT_TRUE(f.ListBox3->item(0)->isSelected());
  EXPECT_FALSE(f.ListBox3->item(1)->isSelected());
  QTest::mouseClick(f.Button3, Qt::LeftButton);
  EXPECT_EQ(f.ListBox2->item(0)->text(), "  店舗");
  EXPECT_TRUE(f.ListBox3->selectedItems().isEmpty());
  EXPECT_EQ(f.Label2->text(), "2100");
}

TEST_F(MainWindow, TheRangePanelTakesATypedBoundAndADraggedHandle) {
  TForm1& f = *StartWithData().form1;
  SelectColumn("金額");
  EXPECT_TRUE(f.GroupBox2->isVisible());
  EXPECT_FALSE(f.GroupBox1->isVisible());
  EXPECT_EQ(f.GroupBox2->title(), "金額");
  EXPECT_EQ(f.Label3->text(), "0");
  EXPECT_EQ(f.Label4->text(), "900");
  EXPECT_EQ(f.Label5->text(), "0");

  w->dialogs.inputs.push_back("250");
  QTest::mouseClick(f.Label5, Qt::LeftButton);
  EXPECT_EQ(w->dialogs.inputInitials.at(0), "0");
  EXPECT_EQ(f.Label5->text(), "250");
  EXPECT_EQ(f.ListBox2->item(1)->text(), "* 金額");
  EXPECT_EQ(f.Label2->text(), "1470");  // 300 .. 900: seven of every ten records

  // Not a number: reported, the bound stays.
  w->dialogs.inputs.push_back("abc");
  QTest::mouseClick(f.Label6, Qt::LeftButton);
  ASSERT_EQ(w->dialogs.messages.size(), 1u);
  EXPECT_EQ(w->dialogs.messages[0], "'abc' は浮動小数点数ではありません");
  EXPECT_EQ(f.Label6->text(), "900");

  // Dragging the upper handle to the bar's middle.
  const int handle = f.Panel2->UpperHandleLeft() + 1;
  QTest::mousePress(f.Panel2, Qt::LeftButton, {}, QPoint(handle, 10));
  QMouseEvent move(QEvent::MouseMove, QPointF(180, 10), f.Panel2->mapToGlobal(QPointF(180, 10)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(f.Panel2, &move);
  QTest::mouseRelease(f.Panel2, Qt::LeftButton, {}, QPoint(180, 10));
  EXPECT_EQ(f.Label6->text(), "456");  // (179 + 4) * 900 / 361 = 456.2…, shown as the integer
  EXPECT_NE(f.Label2->text(), "1470");

  QTest::mouseClick(f.Button4, Qt::LeftButton);
  EXPECT_EQ(f.Label5->text(), "0");
  EXPECT_EQ(f.Label6->text(), "900");
  EXPECT_EQ(f.ListBox2->item(1)->text(), "  金額");
  EXPECT_EQ(f.Label2->text(), "2100");
}

TEST_F(MainWindow, TheSearchPanelRunsOnEnterAndTheResetEmptiesIt) {
  TForm1& f = *StartWithData().form1;
  SelectColumn("伝票");
  ASSERT_TRUE(f.GroupBox3->isVisible());
  EXPECT_FALSE(f.SpeedButton1->isEnabled());
  QTest::keyClicks(f.Edit1, "N1200");
  QTest::keyClick(f.Edit1, Qt::Key_Return);
  EXPECT_EQ(f.Label8->text(), "10");
  EXPECT_EQ(Entries(f.ListBox4).first(), "N12000");
  EXPECT_TRUE(f.SpeedButton1->isEnabled());
  w->ClickEntry(f.ListBox4, 3);
  EXPECT_EQ(f.ListBox2->item(3)->text(), "＊伝票");
  EXPECT_EQ(f.Label2->text(), "1");
  QTest::mouseClick(f.Button5, Qt::LeftButton);
  EXPECT_EQ(f.Edit1->text(), "");
  EXPECT_EQ(f.ListBox4->count(), 0);
  EXPECT_EQ(f.ListBox2->item(3)->text(), "  伝票");
}

TEST_F(MainWindow, TheDatePanelShowsJapaneseDatesAndFiltersByWeekday) {
  TForm1& f = *StartWithData().form1;
  SelectColumn("日付");
  ASSERT_TRUE(f.GroupBox4->isVisible());
  EXPECT_EQ(f.DateTimePicker1->text(), "2024年1月1日");
  EXPECT_EQ(f.DateTimePicker2->text(), "2024年2月29日");
  EXPECT_FALSE(f.DateTimePicker3->isVisible());
  QStringList intervals;
  for (QAbstractButton* b : f.RadioGroup1Buttons->buttons()) intervals << b->text();
  EXPECT_EQ(intervals, (QStringList{"日", "曜日", "月", "年"}));
  EXPECT_TRUE(f.RadioGroup1Buttons->button(3)->isChecked());

  f.ComboBox1->setCurrentIndex(3);  // 水
  emit f.ComboBox1->activated(3);
  EXPECT_EQ(f.ListBox2->item(2)->text(), "＊日付");
  EXPECT_EQ(f.Label2->text(), "315");  // 9 Wednesdays among the 60 days, 35 records each

  QTest::mouseClick(f.Button6, Qt::LeftButton);
  EXPECT_EQ(f.ListBox2->item(2)->text(), "  日付");
  EXPECT_EQ(f.ComboBox1->currentText(), "水");
  EXPECT_EQ(f.Label2->text(), "2100");
}

TEST_F(MainWindow, TheTimePickersOfAStampColumnStartWithTheWholeDayAndFilterEveryDay) {
  WriteFile(csv, S("日時,店\r\n"
                   "2024/03/01 0:01,a\r\n"
                   "2024/03/01 9:30,b\r\n"
                   "2024/03/02 17:59:59,a\r\n"
                   "2024/03/02 18:00,b\r\n"
                   "2024/03/03 0:00,a\r\n"));
  TForm1& f = *StartWithData().form1;
  SelectColumn("日時");
  ASSERT_TRUE(f.DateTimePicker3->isVisible());
  EXPECT_EQ(f.DateTimePicker3->text(), "0:00:00");
  EXPECT_EQ(f.DateTimePicker4->text(), "23:59:59");
  EXPECT_EQ(f.Label10->text(), "2024/03/01 0:01:00");  // the real first and last values
  EXPECT_EQ(f.Label11->text(), "2024/03/03 0:00:00");

  f.DateTimePicker2->setDate(QDate(2024, 3, 2));  // a date alone keeps the whole days
  EXPECT_EQ(f.Label2->text(), "4");
  f.DateTimePicker3->setTime(QTime(9, 0));
  f.DateTimePicker4->setTime(QTime(17, 59, 59));
  EXPECT_EQ(f.Label2->text(), "2");
  QTest::mouseClick(f.Button7, Qt::LeftButton);  // the record list lists the same records
  EXPECT_EQ(Column(f.StringGrid1, 1),
            (QStringList{"日時", "2024/03/01 9:30", "2024/03/02 17:59:59"}));

  QTest::mouseClick(f.Button6, Qt::LeftButton);
  EXPECT_EQ(f.DateTimePicker3->text(), "0:00:00");
  EXPECT_EQ(f.DateTimePicker4->text(), "23:59:59");
  EXPECT_EQ(f.Label2->text(), "5");
}

TEST_F(MainWindow, RoleAndDisplayTogglesShapeTheTable) {
  TForm1& f = *StartWithData().form1;
  QTest::mouseClick(f.SpeedButton1, Qt::LeftButton);  // 店舗 as column items
  EXPECT_TRUE(f.SpeedButton1->isChecked());
  EXPECT_EQ(f.ListBox2->item(0)->text(), "→店舗");
  EXPECT_EQ(Row(f.StringGrid1, 0), (QStringList{"", "京都店", "銀座店", "渋谷店", "合計"}));
  EXPECT_EQ(Row(f.StringGrid1, 1), (QStringList{"", "700", "700", "700", "2100"}));

  SelectColumn("金額");
  QTest::mouseClick(f.SpeedButton3, Qt::LeftButton);  // value: the aggregate becomes 合計
  EXPECT_TRUE(f.SpeedButton4->isChecked());
  EXPECT_FALSE(f.SpeedButton8->isChecked());
  EXPECT_EQ(f.ListBox2->item(1)->text(), "ｖ金額");
  // The down aggregate stays down when pressed again.
  QTest::mouseClick(f.SpeedButton4, Qt::LeftButton);
  EXPECT_TRUE(f.SpeedButton4->isChecked());
  QTest::mouseClick(f.SpeedButton8, Qt::LeftButton);
  EXPECT_TRUE(f.SpeedButton8->isChecked());
  EXPECT_FALSE(f.SpeedButton4->isChecked());

  QTest::mouseClick(f.SpeedButton9, Qt::LeftButton);  // totals off
  EXPECT_FALSE(f.SpeedButton9->isChecked());
  EXPECT_EQ(Row(f.StringGrid1, 0), (QStringList{"", "京都店", "銀座店", "渋谷店"}));
  QTest::mouseClick(f.SpeedButton9, Qt::LeftButton);

  QTest::mouseClick(f.Button12, Qt::LeftButton);  // swap: the shops become the rows
  EXPECT_EQ(f.ListBox2->item(0)->text(), "↓店舗");
  EXPECT_EQ(Column(f.StringGrid1, 0), (QStringList{"", "京都店", "銀座店", "渋谷店", "合計"}));

  QTest::mouseClick(f.Button13, Qt::LeftButton);  // ×
  EXPECT_EQ(f.StringGrid1->ColCount(), 3);
  EXPECT_EQ(Row(f.StringGrid1, 0), (QStringList{"", "", ""}));
}

TEST_F(MainWindow, DrillDownOnAHeaderThenOnADataCellEndsInTheRecordList) {
  TForm1& f = *StartWithData().form1;
  ShopsByAmountClasses();
  ASSERT_EQ(f.StringGrid1->RowCount(), 5);

  w->ClickCell(3, 0);  // the header 渋谷店
  EXPECT_EQ(f.ListBox2->item(0)->text(), "＊店舗");
  EXPECT_EQ(f.StringGrid1->ColCount(), 3);
  EXPECT_EQ(Row(f.StringGrid1, 0).at(2), "合計");

  w->ClickCell(1, 1);  // a data cell of the first amount class
  EXPECT_EQ(f.ListBox2->item(1)->text(), "＊金額");
  EXPECT_EQ(Row(f.StringGrid1, 0), (QStringList{"", "店舗", "金額", "日付", "伝票"}));
  EXPECT_EQ(Row(f.StringGrid1, 1).at(1), "渋谷店");
  EXPECT_EQ(f.Label2->text(), QString::number(f.StringGrid1->RowCount() - 1));
}

TEST_F(MainWindow, ErrorsAreReportedInJapaneseNamingTheUsersFiles) {
  TForm1& f = *StartWithData().form1;
  std::filesystem::remove(csv);
  QTest::mouseClick(f.Button7, Qt::LeftButton);  // the record list reads the CSV file
  ASSERT_EQ(w->dialogs.messages.size(), 1u);
  EXPECT_EQ(w->dialogs.messages[0], Q(csv) + " を開けません: ファイルがありません");

  // The store's files are the CSV file's: a deleted column file names the CSV file.
  std::filesystem::remove(dir.File("data/0.Dat"));
  QTest::mouseClick(f.SpeedButton1, Qt::LeftButton);  // 店舗 as the column items
  ASSERT_EQ(w->dialogs.messages.size(), 2u);
  EXPECT_EQ(w->dialogs.messages[1], Q(csv) + " の取り込みデータを開けません: ファイルがありません");
}

TEST_F(MainWindow, BackspaceAndTheMenusBackUndoTheDrillDownsOneByOne) {
  TForm1& f = *StartWithData().form1;
  ShopsByAmountClasses();
  const QStringList header = Row(f.StringGrid1, 0);
  w->ClickCell(3, 0);  // 渋谷店
  w->ClickCell(1, 1);  // the record list
  ASSERT_EQ(Row(f.StringGrid1, 0), (QStringList{"", "店舗", "金額", "日付", "伝票"}));

  QMenu menu;
  f.AppendGridMenuEntries(&menu);
  QAction* back = menu.actions().at(0);
  EXPECT_EQ(back->text(), "戻る");
  ASSERT_TRUE(back->isEnabled());
  back->trigger();
  EXPECT_EQ(Row(f.StringGrid1, 0).at(2), "合計");
  EXPECT_EQ(f.ListBox2->item(1)->text(), "↓金額");
  EXPECT_EQ(f.Label2->text(), "2100");

  f.StringGrid1->setFocus();
  QTest::keyClick(f.StringGrid1, Qt::Key_Backspace);
  EXPECT_EQ(Row(f.StringGrid1, 0), header);
  EXPECT_EQ(f.ListBox2->item(0)->text(), "→店舗");
  EXPECT_TRUE(f.SpeedButton2->isChecked());  // 金額 selected, back on the rows
  QMenu after;
  f.AppendGridMenuEntries(&after);
  EXPECT_FALSE(after.actions().at(0)->isEnabled());
}

TEST_F(MainWindow, TheMenusSharesShowPercentagesWhereTotalsAreSums) {
  TForm1& f = *StartWithData().form1;
  QTest::mouseClick(f.SpeedButton1, Qt::LeftButton);  // 店舗 columns, counts
  QMenu menu;
  f.AppendGridMenuEntries(&menu);
  QStringList texts;
  for (QAction* a : menu.actions()) texts << (a->isSeparator() ? "|" : a->text());
  EXPECT_EQ(texts, (QStringList{"戻る", "|", "行比率", "列比率", "総計比率", "実数", "|",
                                "3桁区切り", "合計の大きい順"}));
  EXPECT_TRUE(menu.actions().at(5)->isChecked());
  menu.actions().at(2)->trigger();  // 行比率
  EXPECT_EQ(Row(f.StringGrid1, 1), (QStringList{"", "33.3%", "33.3%", "33.3%", "100.0%"}));

  SelectColumn("伝票");
  QTest::mouseClick(f.SpeedButton3, Qt::LeftButton);  // texts under 合計: no shares
  EXPECT_EQ(Row(f.StringGrid1, 1).at(4).contains('%'), false);
  QMenu textValue;
  f.AppendGridMenuEntries(&textValue);
  EXPECT_FALSE(textValue.actions().at(2)->isEnabled());
  EXPECT_TRUE(textValue.actions().at(2)->isChecked());
  EXPECT_TRUE(textValue.actions().at(5)->isEnabled());
  textValue.actions().at(5)->trigger();  // 実数
  QMenu again;
  f.AppendGridMenuEntries(&again);
  EXPECT_TRUE(again.actions().at(5)->isChecked());
}

TEST_F(MainWindow, TheMenusSeparatorsAndSortByTotalTurnOnAndOff) {
  TForm1& f = *StartWithData().form1;
  QTest::mouseClick(f.SpeedButton1, Qt::LeftButton);  // 店舗 columns, counts
  const auto entry = [&f](const QString& text) {
    auto* menu = new QMenu(&f);
    f.AppendGridMenuEntries(menu);
    for (QAction* a : menu->actions())
      if (a->text() == text) return a;
    return static_cast<QAction*>(nullptr);
  };
  QAction* separators = entry("3桁区切り");
  ASSERT_NE(separators, nullptr);
  EXPECT_FALSE(separators->isChecked());
  separators->trigger();
  EXPECT_EQ(Row(f.StringGrid1, 1), (QStringList{"", "700", "700", "700", "2,100"}));
  EXPECT_TRUE(entry("3桁区切り")->isChecked());
  entry("3桁区切り")->trigger();
  EXPECT_EQ(Row(f.StringGrid1, 1), (QStringList{"", "700", "700", "700", "2100"}));

  QAction* byTotal = entry("合計の大きい順");
  ASSERT_NE(byTotal, nullptr);
  byTotal->trigger();
  EXPECT_TRUE(entry("合計の大きい順")->isChecked());
  // 並び替え goes back to the order by text and stays down.
  QTest::mouseClick(f.SpeedButton11, Qt::LeftButton);
  EXPECT_FALSE(entry("合計の大きい順")->isChecked());
  EXPECT_TRUE(f.SpeedButton11->isChecked());
  EXPECT_EQ(Row(f.StringGrid1, 0), (QStringList{"", "京都店", "銀座店", "渋谷店", "合計"}));
}

TEST_F(MainWindow, TheRecordListShowsNumberedRecordsAndTheirCount) {
  TForm1& f = *StartWithData().form1;
  w->ClickEntry(f.ListBox3, 1);  // 銀座店
  QTest::mouseClick(f.Button7, Qt::LeftButton);
  EXPECT_EQ(f.Label2->text(), "700");
  EXPECT_EQ(f.StringGrid1->RowCount(), 701);
  EXPECT_EQ(Row(f.StringGrid1, 1), (QStringList{"1", "銀座店", "100", "2024/01/02", "N10001"}));
  EXPECT_EQ(f.StringGrid1->ColWidth(1), 32);
  EXPECT_TRUE(f.StringGrid1->hasFocus() || !f.isActiveWindow());
}

TEST_F(MainWindow, SaveWritesTheShownTableAndCancelWritesNothing) {
  TForm1& f = *StartWithData().form1;
  QTest::mouseClick(f.SpeedButton2, Qt::LeftButton);  // 店舗 rows
  const std::string target = dir.File("out.csv");
  w->dialogs.saveAnswers.push_back("");
  QTest::mouseClick(f.Button8, Qt::LeftButton);
  EXPECT_FALSE(std::filesystem::exists(target));
  w->dialogs.saveAnswers.push_back(Q(target));
  QTest::mouseClick(f.Button8, Qt::LeftButton);
  // Rows only: one data column without a heading, then the totals column.
  EXPECT_EQ(
      ReadFile(target),
      S(",,合計\r\n京都店,700,700\r\n銀座店,700,700\r\n渋谷店,700,700\r\n合計,2100,2100\r\n"));
  // With the chart hidden no picture is asked for.
  EXPECT_EQ(w->dialogs.filters.size(), 2u);
}

TEST_F(MainWindow, TheEnlargedTableTakesTheResultsAndMirrorsTheToggles) {
  TForm1& f = *StartWithData().form1;
  TForm2& big = *w->form2;
  // No axis: the record list goes to the enlarged grid; the main grid keeps its content.
  QTest::mouseClick(f.Button14, Qt::LeftButton);
  ASSERT_TRUE(big.isVisible());
  EXPECT_EQ(big.windowTitle(), "拡大表示画面");
  EXPECT_EQ(Column(big.StringGrid1, 0).mid(0, 3), (QStringList{"", "1", "2"}));
  EXPECT_EQ(f.StringGrid1->RowCount(), 3);

  QTest::mouseClick(f.SpeedButton2, Qt::LeftButton);  // 店舗 rows, into the enlarged grid
  EXPECT_EQ(Column(big.StringGrid1, 0), (QStringList{"", "京都店", "銀座店", "渋谷店", "合計"}));
  QTest::mouseClick(big.SpeedButton9, Qt::LeftButton);  // totals off, copied to the main window
  EXPECT_FALSE(f.SpeedButton9->isChecked());
  EXPECT_EQ(big.StringGrid1->RowCount(), 4);
  QTest::mouseClick(big.SpeedButton6, Qt::LeftButton);
  EXPECT_TRUE(f.SpeedButton6->isChecked());
  EXPECT_FALSE(f.SpeedButton8->isChecked());

  // Saving from the enlarged window writes the enlarged grid.
  const std::string target = dir.File("big.csv");
  w->dialogs.saveAnswers.push_back(Q(target));
  QTest::mouseClick(big.Button8, Qt::LeftButton);
  EXPECT_EQ(ReadFile(target), S(",\r\n京都店,700\r\n銀座店,700\r\n渋谷店,700\r\n"));

  // Once it is closed the next result goes to the main grid; a toggle changed on the main window
  // shows on the enlarged window at its next activation.
  big.close();
  QTest::mouseClick(f.SpeedButton9, Qt::LeftButton);
  EXPECT_EQ(Column(f.StringGrid1, 0), (QStringList{"", "京都店", "銀座店", "渋谷店", "合計"}));
  EXPECT_FALSE(big.SpeedButton9->isChecked());
  big.FormActivate();
  EXPECT_TRUE(big.SpeedButton9->isChecked());
}

TEST_F(MainWindow, APressDraggedOverDataCellsSelectsThemForCopyAndDrillsNothing) {
  TForm1& f = *StartWithData().form1;
  ShopsByAmountClasses();
  TStringGrid* grid = f.StringGrid1;
  const QStringList header = Row(grid, 0);
  QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(1, 1).center());
  QTest::mouseMove(grid->viewport(), grid->CellRect(2, 2).center());
  QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(2, 2).center());
  EXPECT_EQ(Row(grid, 0), header);
  EXPECT_EQ(f.ListBox2->item(0)->text(), "→店舗");
  EXPECT_EQ(f.ListBox2->item(1)->text(), "↓金額");
  const QStringList row1 = Row(grid, 1), row2 = Row(grid, 2);
  EXPECT_EQ(grid->CopyText(), row1[1] + "\t" + row1[2] + "\n" + row2[1] + "\t" + row2[2] + "\n");

  w->ClickCell(1, 1);  // a click still drills both axes
  EXPECT_EQ(Row(grid, 0), (QStringList{"", "店舗", "金額", "日付", "伝票"}));
}

TEST_F(MainWindow, ReleasingARoleToggleTakesItsAxisOffTheTable) {
  TForm1& f = *StartWithData().form1;
  QTest::mouseClick(f.SpeedButton1, Qt::LeftButton);  // 店舗 as column items
  SelectColumn("金額");
  QTest::mouseClick(f.SpeedButton2, Qt::LeftButton);  // 金額 as row items
  ASSERT_EQ(Row(f.StringGrid1, 0), (QStringList{"", "京都店", "銀座店", "渋谷店", "合計"}));
  QTest::mouseClick(f.SpeedButton2, Qt::LeftButton);  // released
  EXPECT_EQ(f.ListBox2->item(1)->text(), "  金額");
  EXPECT_EQ(Column(f.StringGrid1, 0), (QStringList{"", "", "合計"}));
  EXPECT_EQ(Row(f.StringGrid1, 1), (QStringList{"", "700", "700", "700", "2100"}));

  w->ClickEntry(f.ListBox2, 0);                       // 店舗
  QTest::mouseClick(f.SpeedButton1, Qt::LeftButton);  // released: no role left
  EXPECT_EQ(f.ListBox2->item(0)->text(), "  店舗");
  EXPECT_EQ(f.StringGrid1->ColCount(), 3);
  EXPECT_EQ(Row(f.StringGrid1, 0), (QStringList{"", "", ""}));
  EXPECT_EQ(f.Label2->text(), "2100");
}

TEST_F(MainWindow, OpeningAnotherDatasetEmptiesTheTableOfTheOneBefore) {
  const std::string second = dir.File("second.csv");
  WriteFile(second, MakeCsv(10));
  WriteFile(listFile, csv + "\r\n" + second + "\r\n");
  w = std::make_unique<TWindows>(listFile);
  ASSERT_TRUE(w->Start());
  TForm1& f = *w->form1;
  QTest::mouseClick(f.SpeedButton1, Qt::LeftButton);  // 店舗 as column items
  ASSERT_EQ(f.StringGrid1->ColCount(), 5);
  w->ClickEntry(f.ListBox1, 1);
  EXPECT_EQ(f.Label2->text(), "10");
  EXPECT_EQ(f.StringGrid1->ColCount(), 3);
  EXPECT_EQ(Row(f.StringGrid1, 0), (QStringList{"", "", ""}));
  EXPECT_EQ(Row(f.StringGrid1, 1), (QStringList{"", "", ""}));
}

TEST_F(MainWindow, TheSaveDialogsSayWhatTheySaveAndThePictureIsAskedForWhileTheChartShows) {
  TForm1& f = *StartWithData().form1;
  QTest::mouseClick(f.SpeedButton1, Qt::LeftButton);  // 店舗 as column items
  SelectColumn("金額");
  QTest::mouseClick(f.SpeedButton2, Qt::LeftButton);  // 金額 as row items
  QTest::mouseClick(f.Button15, Qt::LeftButton);
  ASSERT_TRUE(w->form3->IsShowing());
  w->dialogs.saveAnswers = {Q(dir.File("t.csv")), Q(dir.File("chart.jpg"))};
  QTest::mouseClick(f.Button8, Qt::LeftButton);
  EXPECT_EQ(w->dialogs.titles, (std::vector<QString>{"表を保存", "グラフを画像で保存"}));
  EXPECT_TRUE(std::filesystem::exists(dir.File("chart.jpg")));
}

TEST_F(MainWindow, DigitsTypedIntoTheUpperDatePickerNarrowTheRecords) {
  TForm1& f = *StartWithData().form1;
  SelectColumn("日付");
  f.DateTimePicker2->setFocus();
  f.DateTimePicker2->setCurrentSection(QDateTimeEdit::MonthSection);
  QTest::keyClicks(f.DateTimePicker2, "1");
  EXPECT_EQ(f.DateTimePicker2->text(), "2024年1月29日");
  EXPECT_EQ(f.ListBox2->item(2)->text(), "＊日付");
  EXPECT_EQ(f.Label2->text(), "1015");  // 29 days of 35 records
  f.DateTimePicker2->setCurrentSection(QDateTimeEdit::DaySection);
  QTest::keyClicks(f.DateTimePicker2, "15");
  EXPECT_EQ(f.DateTimePicker2->text(), "2024年1月15日");
  EXPECT_EQ(f.Label2->text(), "525");
}

TEST_F(MainWindow, TheSampleIsListedWhenNoListExistsYet) {
  const std::string sample = dir.File("sample.csv");
  WriteFile(sample, MakeCsv(5));
  w = std::make_unique<TWindows>(listFile, sample);
  ASSERT_TRUE(w->Start());
  EXPECT_EQ(Entries(w->form1->ListBox1), QStringList{"sample"});
  EXPECT_EQ(w->form1->Label2->text(), "5");
  EXPECT_TRUE(w->dialogs.filters.empty());
}

}  // namespace
}  // namespace tabulon::test

namespace tabulon::test {
namespace {

TEST_F(MainWindow, AClickOnTheSelectedDatasetOpensItAgainWithEveryColumnAfresh) {
  TForm1& f = *StartWithData().form1;
  w->ClickEntry(f.ListBox3, 1);                       // 銀座店 only
  QTest::mouseClick(f.SpeedButton2, Qt::LeftButton);  // 店舗 as row items
  ASSERT_EQ(f.ListBox2->item(0)->text(), "↓店舗");
  w->ClickEntry(f.ListBox1, 0);
  EXPECT_EQ(Entries(f.ListBox2), (QStringList{"  店舗", "  金額", "  日付", "  伝票"}));
  EXPECT_EQ(f.Label2->text(), "2100");
  EXPECT_TRUE(f.ListBox3->selectedItems().isEmpty());
  EXPECT_TRUE(w->dialogs.messages.empty());
}

TEST_F(MainWindow, AfterAnErrorInAColumnsPanelTheListMarksTheColumnTheRoleButtonsActOn) {
  TForm1& f = *StartWithData().form1;
  SelectColumn("金額");
  ASSERT_TRUE(f.GroupBox2->isVisible());
  std::filesystem::remove(dir.File("data/0.Ind"));  // 店舗's distinct values
  QString marked;
  bool rangePanelShown = true;
  w->dialogs.onMessage = [&] {
    const QList<QListWidgetItem*> highlighted = f.ListBox2->selectedItems();
    if (highlighted.size() == 1) marked = highlighted[0]->text();
    rangePanelShown = f.GroupBox2->isVisible();
  };
  SelectColumn("店舗");
  ASSERT_EQ(w->dialogs.messages.size(), 1u);
  // While the error is reported and after it: 店舗 is marked, no panel of 金額 is left in sight.
  EXPECT_EQ(marked, "  店舗");
  EXPECT_FALSE(rangePanelShown);
  EXPECT_EQ(f.ListBox2->currentRow(), 0);
  EXPECT_EQ(f.ListBox2->selectedItems().size(), 1);
  EXPECT_FALSE(f.GroupBox1->isVisible());
  EXPECT_FALSE(f.GroupBox2->isVisible());
  EXPECT_TRUE(f.Panel5->isVisible());
  QTest::mouseClick(f.SpeedButton2, Qt::LeftButton);
  EXPECT_EQ(f.ListBox2->item(0)->text(), "↓店舗");
  EXPECT_EQ(f.ListBox2->currentRow(), 0);
}

TEST_F(MainWindow, DroppedCsvFilesAreAddedOneAfterTheOtherAsTheAddCommandAddsThem) {
  TForm1& f = *StartWithData().form1;
  const std::string north = dir.File("north.csv"), south = dir.File("south.CSV");
  WriteFile(north, MakeCsv(5));
  WriteFile(south, MakeCsv(8));
  auto* data = new QMimeData;
  data->setUrls({QUrl::fromLocalFile(Q(north)), QUrl::fromLocalFile(Q(dir.File("notes.txt"))),
                 QUrl::fromLocalFile(Q(south))});
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, data, Qt::LeftButton, {});
  QApplication::sendEvent(&f, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, data, Qt::LeftButton, {});
  QApplication::sendEvent(&f, &drop);
  EXPECT_TRUE(drop.isAccepted());
  ASSERT_TRUE(
      WaitUntil([&f] { return f.ListBox1->count() == 3 && f.ListBox1->currentRow() == 2; }));
  EXPECT_EQ(Entries(f.ListBox1), (QStringList{"data", "north", "south"}));
  EXPECT_EQ(ReadFile(listFile), csv + "\r\n" + north + "\r\n" + south + "\r\n");
  EXPECT_TRUE(std::filesystem::exists(dir.File("north/north.Ini")));
  EXPECT_EQ(f.ListBox1->currentRow(), 2);
  EXPECT_EQ(f.Label2->text(), "8");
  EXPECT_TRUE(w->dialogs.filters.empty());  // no file dialog

  QMimeData text;
  text.setUrls({QUrl::fromLocalFile(Q(dir.File("notes.txt")))});
  QDragEnterEvent refused(QPoint(100, 100), Qt::CopyAction, &text, Qt::LeftButton, {});
  QApplication::sendEvent(&f, &refused);
  EXPECT_FALSE(refused.isAccepted());
  delete data;
}

TEST_F(MainWindow, TheDivisionChoiceShowsTheCountInForceAfterABoundIsTyped) {
  TForm1& f = *StartWithData().form1;
  SelectColumn("金額");
  f.ComboBox2->setCurrentIndex(f.ComboBox2->findText("3"));
  emit f.ComboBox2->activated(f.ComboBox2->currentIndex());
  w->dialogs.inputs.push_back("100");
  f.Label5->onClick();
  EXPECT_EQ(f.Label5->text(), "100");
  EXPECT_EQ(f.ComboBox2->currentText(), "3");
}

TEST_F(MainWindow, TabLeavesADatePickerInOneStepAndThePickersShowTheLongDate) {
  TForm1& f = *StartWithData().form1;
  SelectColumn("日付");
  ASSERT_TRUE(f.GroupBox4->isVisible());
  // The window's focus widget: offscreen, the window need not be active.
  f.DateTimePicker1->setFocus();
  ASSERT_EQ(f.focusWidget(), f.DateTimePicker1);
  QTest::keyClick(f.DateTimePicker1, Qt::Key_Tab);
  EXPECT_EQ(f.focusWidget(), f.DateTimePicker2);  // the hidden time picker is passed over
  QTest::keyClick(f.DateTimePicker2, Qt::Key_Backtab);
  EXPECT_EQ(f.focusWidget(), f.DateTimePicker1);
  EXPECT_EQ(f.DateTimePicker1->text(), "2024年1月1日");
  // The arrow keys move between the sections: Right then Up changes the month.
  QTest::keyClick(f.DateTimePicker1, Qt::Key_Home);
  QTest::keyClick(f.DateTimePicker1, Qt::Key_Right);
  QTest::keyClick(f.DateTimePicker1, Qt::Key_Right);
  QTest::keyClick(f.DateTimePicker1, Qt::Key_Right);
  QTest::keyClick(f.DateTimePicker1, Qt::Key_Right);
  QTest::keyClick(f.DateTimePicker1, Qt::Key_Right);
  QTest::keyClick(f.DateTimePicker1, Qt::Key_Up);
  EXPECT_EQ(f.DateTimePicker1->text(), "2024年2月1日");
}

TEST_F(MainWindow, APressedToggleIsDarkAndAReleasedOneLight) {
  TForm1& f = *StartWithData().form1;
  // 件数, 合計表示 and 並び替え are down at start; 合計 and ０非表示 up.
  auto face = [](QWidget* button) {  // the mean grey of the button's picture
    const QImage image = button->grab().toImage();
    int64_t sum = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) sum += qGray(image.pixel(x, y));
    return static_cast<int>(sum / (image.width() * image.height()));
  };
  for (QWidget* down :
       {static_cast<QWidget*>(f.SpeedButton8), static_cast<QWidget*>(f.SpeedButton9),
        static_cast<QWidget*>(f.SpeedButton11)})
    EXPECT_LT(face(down), 100);
  for (QWidget* up :
       {static_cast<QWidget*>(f.SpeedButton4), static_cast<QWidget*>(f.SpeedButton10)})
    EXPECT_GT(face(up), 200);
  QTest::mouseClick(f.SpeedButton4, Qt::LeftButton);
  EXPECT_LT(face(f.SpeedButton4), 100);
  EXPECT_GT(face(f.SpeedButton8), 200);
}

TEST_F(MainWindow, CaptionsAreTheWindowsOwnTexts) {
  TWindows& windows = StartWithData();
  EXPECT_EQ(windows.form1->windowTitle(), "Tabulon");
  EXPECT_EQ(windows.form2->windowTitle(), "拡大表示画面");
  EXPECT_EQ(windows.form3->windowTitle(), "グラフ表示");
  EXPECT_EQ(windows.progress->windowTitle(), "CSVファイルの前処理中 data.csv");
  TformInput input(windows.form1.get());
  EXPECT_EQ(input.windowTitle(), "値の入力");
}

TEST_F(MainWindow, TheGridsMenuCopiesTheResultForASpreadsheet) {
  TForm1& f = *StartWithData().form1;
  QTest::mouseClick(f.SpeedButton1, Qt::LeftButton);  // 店舗 columns
  TStringGrid* grid = f.StringGrid1;
  grid->Flush();
  EXPECT_EQ(MenuEntries(grid->CellWidget(1, 1), grid->CellRect(1, 1).center()),
            (QStringList{"コピー", "", "戻る", "", "行比率", "列比率", "総計比率", "実数", "",
                         "3桁区切り", "合計の大きい順"}));
  EXPECT_EQ(grid->CopyText(),
            "\t京都店\t銀座店\t渋谷店\t合計\n"
            "\t700\t700\t700\t2100\n"
            "合計\t700\t700\t700\t2100\n");
}

}  // namespace
}  // namespace tabulon::test
