// The program's pictures, drawn in code: the 100 x 20 banner of the main window and the window
// icon (a small table with a heading row and column).
#pragma once

#include <QImage>
#include <QUrl>

namespace tabulon {

QImage DrawBanner();
// A square icon of size pixels.
QImage DrawIcon(int size);

// The help page: the installed share/doc/tabulon/help.html beside the program's bin folder, else
// the source tree's docs/help.html.
QUrl HelpPageUrl();

}  // namespace tabulon
