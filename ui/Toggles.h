// The toggle buttons of the windows (aggregates, 合計表示, ０非表示, 並び替え, the role buttons).
#pragma once

#include <QString>

class QToolButton;
class QWidget;

namespace tabulon {

// A checkable button with caption at (left, top), width × height in parent. A pressed toggle is
// told from a released one at a glance: dark blue with white text against the light face.
QToolButton* MakeToggle(QWidget* parent, const QString& caption, int left, int top, int width,
                        int height);

}  // namespace tabulon
