// The program's pictures, drawn in code: the 100 x 20 banner of the main window and the window
// icon (a small table with a heading row and column).
#pragma once

#include <QImage>

namespace tabulon {

QImage DrawBanner();
// A square icon of size pixels.
QImage DrawIcon(int size);

}  // namespace tabulon
