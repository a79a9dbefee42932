#include "ui/Toggles.h"

#include <QToolButton>

namespace tabulon {
namespace {

const QString kToggleStyle = QStringLiteral(
    "QToolButton { border: 1px solid #8c8c8c; border-radius: 2px; padding: 0px;"
    " background: #f4f4f4; color: black; }"
    "QToolButton:hover:!checked { background: #e2ebf7; }"
    "QToolButton:checked { border: 1px solid #0b2d5c; background: #1f4e8c; color: white; }"
    "QToolButton:disabled { color: #a0a0a0; }"
    "QToolButton:checked:disabled { background: #7f97b8; color: #e8e8e8; }"
    "QToolButton:focus { border: 1px dotted black; }");

}  // namespace

QToolButton* MakeToggle(QWidget* parent, const QString& caption, int left, int top, int width,
                        int height) {
  auto* button = new QToolButton(parent);
  button->setText(caption);
  button->setCheckable(true);
  button->setGeometry(left, top, width, height);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  button->setStyleSheet(kToggleStyle);
  return button;
}

}  // namespace tabulon
