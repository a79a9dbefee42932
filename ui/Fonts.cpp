#include "ui/Fonts.h"

namespace tabulon {
namespace {
const QString kWindowFace = QStringLiteral("ＭＳ Ｐゴシック");
const QString kDataFace = QStringLiteral("ＭＳ ゴシック");
const QString kChartFace = QStringLiteral("ＭＳ Ｐ明朝");
}  // namespace

QFont WindowFont(int pixelSize, bool bold) {
  QFont font(kWindowFace);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

QFont WindowFont() {
  return WindowFont(12, false);
}

QFont DataFont() {
  QFont font(kDataFace);
  font.setPixelSize(12);
  font.setFixedPitch(true);
  font.setStyleHint(QFont::Monospace);
  return font;
}

void InstallFontSubstitutions() {
  QFont::insertSubstitution(kWindowFace, QStringLiteral("IPAPGothic"));
  QFont::insertSubstitution(kDataFace, QStringLiteral("IPAGothic"));
  QFont::insertSubstitution(kChartFace, QStringLiteral("IPAPMincho"));
}

}  // namespace tabulon
