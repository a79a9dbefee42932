// The date and time pickers of the date panel. Tab and Shift+Tab leave a picker in one step, as
// they leave every other control; its sections (year, month, day or hours, minutes, seconds) are
// reached with the arrow keys or the mouse. Digits typed into a section set it as in any date
// editor (TSectionTyping).
#pragma once

#include <QDateEdit>
#include <QTimeEdit>

class QKeyEvent;

namespace tabulon {

// The Japanese long date format, "2001年1月1日", whatever the machine's locale.
inline const QString kLongDateFormat = QStringLiteral("yyyy年M月d日");

// Digits typed into the current section of a date or time editor. The first digit starts the
// section's number afresh and later ones append to it, as long as it stays a valid value
// (otherwise the digit starts it afresh again); each number that is valid is set at once (a year
// once its four digits are typed), within the editor's earliest and latest values and with the
// day kept within its month. A number that no further digit can extend is complete: the cursor
// passes to the next section. Any other key, a click or a change of focus starts afresh.
class TSectionTyping {
 public:
  // Takes a digit typed into editor's current section and returns true; returns false for
  // any other key, which the editor then handles as usual.
  bool KeyPressed(QDateTimeEdit& editor, const QKeyEvent& event);
  // The next digit starts its section afresh.
  void Reset() { digits_ = 0; }

 private:
  QDateTimeEdit::Section section_ = QDateTimeEdit::NoSection;  // where the digits were typed
  int number_ = 0;                                             // the number they make
  int digits_ = 0;                                             // how many were typed, 0 none
};

// A date or time editor whose sections take typed digits; Tab leaves it.
template <class Editor>
class TSectionPicker : public Editor {
 public:
  explicit TSectionPicker(QWidget* parent) : Editor(parent) {}

 protected:
  bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
  void keyPressEvent(QKeyEvent* event) override {
    if (!typing_.KeyPressed(*this, *event)) Editor::keyPressEvent(event);
  }
  void mousePressEvent(QMouseEvent* event) override {
    typing_.Reset();
    Editor::mousePressEvent(event);
  }
  void focusInEvent(QFocusEvent* event) override {
    typing_.Reset();
    Editor::focusInEvent(event);
  }

 private:
  TSectionTyping typing_;  // the digits typed into the current section
};

class TDatePicker : public TSectionPicker<QDateEdit> {
 public:
  explicit TDatePicker(QWidget* parent) : TSectionPicker(parent) {
    setDisplayFormat(kLongDateFormat);
    setCalendarPopup(true);
  }
};

class TTimePicker : public TSectionPicker<QTimeEdit> {
 public:
  explicit TTimePicker(QWidget* parent) : TSectionPicker(parent) {
    setDisplayFormat(QStringLiteral("H:mm:ss"));
  }
};

}  // namespace tabulon
