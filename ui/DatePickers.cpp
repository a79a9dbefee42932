#include "ui/DatePickers.h"

#include <QKeyEvent>
#include <algorithm>

namespace tabulon {
namespace {

// The largest value of a section, given the date the editor holds (for the days of its month).
int LargestOf(QDateTimeEdit::Section section, const QDate& date) {
  switch (section) {
    case QDateTimeEdit::YearSection:
      return 9999;
    case QDateTimeEdit::MonthSection:
      return 12;
    case QDateTimeEdit::DaySection:
      return date.daysInMonth();
    case QDateTimeEdit::HourSection:
      return 23;
    default:  // minutes, seconds
      return 59;
  }
}

// The editor's value with the section set to number, the day kept within its month.
QDateTime WithSection(const QDateTime& value, QDateTimeEdit::Section section, int number) {
  const QDate date = value.date();
  const QTime time = value.time();
  int year = date.year(), month = date.month(), day = date.day();
  int hour = time.hour(), minute = time.minute(), second = time.second();
  switch (section) {
    case QDateTimeEdit::YearSection:
      year = number;
      break;
    case QDateTimeEdit::MonthSection:
      month = number;
      break;
    case QDateTimeEdit::DaySection:
      day = number;
      break;
    case QDateTimeEdit::HourSection:
      hour = number;
      break;
    case QDateTimeEdit::MinuteSection:
      minute = number;
      break;
    default:
      second = number;
      break;
  }
  day = std::min(day, QDate(year, month, 1).daysInMonth());
  return QDateTime(QDate(year, month, day), QTime(hour, minute, second, time.msec()),
                   value.timeSpec());
}

}  // namespace

bool TSectionTyping::KeyPressed(QDateTimeEdit& editor, const QKeyEvent& event) {
  const QString text = event.text();
  const QDateTimeEdit::Section section = editor.currentSection();
  const bool typed = text.size() == 1 && text[0] >= u'0' && text[0] <= u'9';
  const bool numeric =
      section == QDateTimeEdit::YearSection || section == QDateTimeEdit::MonthSection ||
      section == QDateTimeEdit::DaySection || section == QDateTimeEdit::HourSection ||
      section == QDateTimeEdit::MinuteSection || section == QDateTimeEdit::SecondSection;
  if (!typed || !numeric || (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    Reset();
    return false;
  }
  const int digit = text[0].digitValue();
  const int width = section == QDateTimeEdit::YearSection ? 4 : 2;
  const int smallest =
      section == QDateTimeEdit::MonthSection || section == QDateTimeEdit::DaySection ? 1 : 0;
  const int largest = LargestOf(section, editor.date());
  // 1) the digit extends the number typed so far, or 2) starts it afresh.
  if (digits_ > 0 && section_ == section && digits_ < width && number_ * 10 + digit <= largest) {
    number_ = number_ * 10 + digit;
    ++digits_;
  } else {
    section_ = section;
    number_ = digit;
    digits_ = 1;
  }
  const bool complete = digits_ == width || number_ * 10 > largest;
  const bool settable = section == QDateTimeEdit::YearSection ? digits_ == width && number_ >= 100
                                                              : number_ >= smallest;
  if (settable) {
    const QDateTime wanted = WithSection(editor.dateTime(), section, number_);
    editor.setDateTime(std::clamp(wanted, editor.minimumDateTime(), editor.maximumDateTime()));
  }
  // 3) a complete number passes the cursor on to the next section, if any.
  int index = 0;
  while (index < editor.sectionCount() && editor.sectionAt(index) != section) ++index;
  if (complete) {
    Reset();
    if (index + 1 < editor.sectionCount()) index += 1;
  }
  editor.setCurrentSectionIndex(index);
  return true;
}

}  // namespace tabulon
