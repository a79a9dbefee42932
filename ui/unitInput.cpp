#include "ui/unitInput.h"

#include <QLineEdit>
#include <QPushButton>

#include "ui/Fonts.h"

namespace tabulon {

TformInput::TformInput(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(QStringLiteral("値の入力"));
  setFont(WindowFont());
  setFixedSize(217, 37);
  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(8, 8, 121, 20);
  Button1 = new QPushButton(QStringLiteral("&OK"), this);
  Button1->setGeometry(136, 8, 75, 25);
  // Enter belongs to Edit1's handler, not to the dialog's default button.
  Button1->setAutoDefault(false);
  connect(Edit1, &QLineEdit::returnPressed, this, &TformInput::Edit1KeyPress);
  connect(Button1, &QPushButton::clicked, this, &TformInput::Button1Click);
}

QString TformInput::Ask(const QString& initial) {
  Edit1->setText(initial);
  Edit1->selectAll();
  Edit1->setFocus();
  exec();
  return Edit1->text();
}

void TformInput::Edit1KeyPress() {
  Button1Click();
}

void TformInput::Button1Click() {
  accept();
}

}  // namespace tabulon
