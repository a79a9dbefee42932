// The date and time pickers of the date panel. Tab and Shift+Tab leave a picker in one step, as
// they leave every other control; its sections (year, month, day or hours, minutes, seconds) are
// reached with the arrow keys.
#pragma once

#include <QDateEdit>
#include <QTimeEdit>

namespace tabulon {

// The Japanese long date format, "2001年1月1日", whatever the machine's locale.
inline const QString kLongDateFormat = QStringLiteral("yyyy年M月d日");

class TDatePicker : public QDateEdit {
 public:
  explicit TDatePicker(QWidget* parent) : QDateEdit(parent) {
    setDisplayFormat(kLongDateFormat);
    setCalendarPopup(true);
  }

 protected:
  bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

class TTimePicker : public QTimeEdit {
 public:
  explicit TTimePicker(QWidget* parent) : QTimeEdit(parent) {
    setDisplayFormat(QStringLiteral("H:mm:ss"));
  }

 protected:
  bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

}  // namespace tabulon
