// A label that reports a click (press and release of the left button over it), like the
// clickable labels and the banner picture of the main window.
#pragma once

#include <QLabel>
#include <QMouseEvent>
#include <functional>

namespace tabulon {

class TClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> onClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onClick)
      onClick();
  }
};

}  // namespace tabulon
