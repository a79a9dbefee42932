// The value input dialog "値の入力": one text box and an OK button. The caller puts a text in,
// shows the dialog modally and reads the text back however the dialog was closed (OK, Enter or
// the close box); there is no cancel and no check of the text.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tabulon {

class TformInput : public QDialog {
  Q_OBJECT
 public:
  explicit TformInput(QWidget* parent = nullptr);

  // Shows the dialog modally with initial in Edit1; returns Edit1's text when it closes.
  QString Ask(const QString& initial);

  // Enter in Edit1 runs Button1Click.
  void Edit1KeyPress();
  // Closes the dialog.
  void Button1Click();

  QLineEdit* Edit1;
  QPushButton* Button1;
};

}  // namespace tabulon
