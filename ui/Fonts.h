// The fonts of the windows, by the names the windows were designed with; the program entry maps
// the names to installed fonts (QFont::insertSubstitution).
#pragma once

#include <QFont>

namespace tabulon {

// "ＭＳ Ｐゴシック", 12 pixels: every window's font.
QFont WindowFont();
// "ＭＳ ゴシック", 12 pixels, fixed pitch: lists and grids that show data.
QFont DataFont();
// The window font at another pixel size, bold or not.
QFont WindowFont(int pixelSize, bool bold);
// Maps the design names to the IPA fonts. Run once before any window is made.
void InstallFontSubstitutions();

}  // namespace tabulon
