// The range bar of the numeric range panel (Panel2 with its left part Panel3, the handles
// Splitter2 and Splitter1 and the right part Panel4), drawn from the panel state's W, L and R:
// the lower handle's left edge is at 1 + L, the upper handle's at W - 1 - R - 3, each 3 pixels
// wide. A handle dragged and released reports its new left edge; a click elsewhere reports the
// part and x within that part (the whole bar for the middle part).
#pragma once

#include <QWidget>
#include <functional>

#include "mainlogic/MainLogic.h"

namespace tabulon {

class TRangeBar : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kHandleWidth = 3;

  explicit TRangeBar(QWidget* parent);

  // Sets the geometry to draw. REQUIRES: no drag in progress, or the drag is abandoned.
  void SetParts(int w, int l, int r);
  int LowerHandleLeft() const { return 1 + l_; }
  int UpperHandleLeft() const { return w_ - 1 - r_ - kHandleWidth; }

  std::function<void(int handleLeft)> onSplitter2Moved;        // lower handle
  std::function<void(int handleLeft)> onSplitter1Moved;        // upper handle
  std::function<void(TMouseButton, int x)> onPanel2MouseDown;  // middle part, x in the bar
  std::function<void(TMouseButton, int x)> onPanel3MouseDown;  // left part, x in the part
  std::function<void(TMouseButton, int x)> onPanel4MouseDown;  // right part, x in the part

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class Drag { kNone, kLower, kUpper };

  int w_ = 361, l_ = 144, r_ = 144;  // the state's geometry
  Drag drag_ = Drag::kNone;          // the handle being dragged
  int dragLeft_ = 0;                 // its left edge while dragged
  int grabOffset_ = 0;               // pointer x minus the handle's left edge at the press
  bool moved_ = false;               // the handle left its place during this drag
};

}  // namespace tabulon
