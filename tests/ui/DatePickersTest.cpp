// Digits typed into the sections of the date and time pickers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "ui/DatePickers.h"

namespace tabulon {
namespace {

TEST(DatePickers, DigitsTypedIntoASectionSetItAndACompleteNumberPassesToTheNextSection) {
  TDatePicker picker(nullptr);
  picker.setDate(QDate(2024, 3, 31));
  picker.show();
  picker.setCurrentSection(QDateTimeEdit::YearSection);
  QTest::keyClicks(&picker, "202");
  EXPECT_EQ(picker.date(), QDate(2024, 3, 31));  // a year is set once it is whole
  QTest::keyClicks(&picker, "3");
  EXPECT_EQ(picker.date(), QDate(2023, 3, 31));
  EXPECT_EQ(picker.currentSection(), QDateTimeEdit::MonthSection);
  QTest::keyClicks(&picker, "2");  // February: the day kept within it; no month 2x follows
  EXPECT_EQ(picker.text(), "2023年2月28日");
  EXPECT_EQ(picker.currentSection(), QDateTimeEdit::DaySection);
  QTest::keyClicks(&picker, "15");
  EXPECT_EQ(picker.date(), QDate(2023, 2, 15));
  QTest::keyClicks(&picker, "4");  // the day was complete: a new one begins
  EXPECT_EQ(picker.date(), QDate(2023, 2, 4));

  picker.setCurrentSection(QDateTimeEdit::MonthSection);
  QTest::keyClicks(&picker, "1");  // January, and 10 to 12 could still follow
  EXPECT_EQ(picker.date(), QDate(2023, 1, 4));
  EXPECT_EQ(picker.currentSection(), QDateTimeEdit::MonthSection);
  QTest::keyClicks(&picker, "3");  // no month 13: March afresh
  EXPECT_EQ(picker.date(), QDate(2023, 3, 4));

  // Within the earliest and latest days allowed; the arrows work as before.
  picker.setDateRange(QDate(2023, 3, 1), QDate(2023, 3, 20));
  picker.setCurrentSection(QDateTimeEdit::DaySection);
  QTest::keyClicks(&picker, "25");
  EXPECT_EQ(picker.date(), QDate(2023, 3, 20));
  QTest::keyClick(&picker, Qt::Key_Down);
  EXPECT_EQ(picker.date(), QDate(2023, 3, 19));
}

TEST(DatePickers, ATimePickerTakesHoursMinutesAndSecondsTyped) {
  TTimePicker picker(nullptr);
  picker.setTime(QTime(0, 0));
  picker.show();
  picker.setCurrentSection(QDateTimeEdit::HourSection);
  QTest::keyClicks(&picker, "18307");
  EXPECT_EQ(picker.text(), "18:30:07");
  QTest::keyClicks(&picker, "45");
  EXPECT_EQ(picker.time(), QTime(18, 30, 45));
  picker.setCurrentSection(QDateTimeEdit::HourSection);
  QTest::keyClicks(&picker, "9");  // 9 o'clock: no hour 9x
  EXPECT_EQ(picker.time(), QTime(9, 30, 45));
  EXPECT_EQ(picker.currentSection(), QDateTimeEdit::MinuteSection);
}

}  // namespace
}  // namespace tabulon
