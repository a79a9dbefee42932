#include "ui/Artwork.h"

#include <QLinearGradient>
#include <QPainter>

namespace tabulon {

QImage DrawBanner() {
  QImage image(100, 20, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient gradient(0, 0, 100, 0);
  gradient.setColorAt(0, QColor(0x1F, 0x4E, 0x8C));
  gradient.setColorAt(1, QColor(0x4A, 0x90, 0xD9));
  painter.fillRect(image.rect(), gradient);
  // A tiny table at the left.
  painter.fillRect(4, 4, 13, 12, Qt::white);
  painter.fillRect(4, 4, 13, 4, QColor(0xF2, 0xB1, 0x34));
  painter.fillRect(4, 4, 4, 12, QColor(0xF2, 0xB1, 0x34));
  painter.setPen(QColor(0x1F, 0x4E, 0x8C));
  painter.drawLine(8, 4, 8, 15);
  painter.drawLine(12, 4, 12, 15);
  painter.drawLine(4, 8, 16, 8);
  painter.drawLine(4, 12, 16, 12);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(13);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(21, 0, 79, 20), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("Tabulon"));
  return image;
}

QImage DrawIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const int cells = 4;
  const int margin = size / 16;
  const int cell = (size - 2 * margin) / cells;
  const int edge = cell * cells;
  const QRect table(margin, margin, edge, edge);
  painter.fillRect(table, Qt::white);
  painter.fillRect(QRect(margin, margin, edge, cell), QColor(0x1F, 0x4E, 0x8C));
  painter.fillRect(QRect(margin, margin, cell, edge), QColor(0x1F, 0x4E, 0x8C));
  painter.fillRect(QRect(margin + cell, margin + cell * 2, cell, cell * 2),
                   QColor(0xF2, 0xB1, 0x34));
  painter.fillRect(QRect(margin + cell * 3, margin + cell, cell, cell * 3),
                   QColor(0x4A, 0x90, 0xD9));
  QPen pen(QColor(0x40, 0x40, 0x40));
  pen.setWidth(std::max(1, size / 32));
  painter.setPen(pen);
  for (int k = 0; k <= cells; ++k) {
    painter.drawLine(margin + k * cell, margin, margin + k * cell, margin + edge);
    painter.drawLine(margin, margin + k * cell, margin + edge, margin + k * cell);
  }
  return image;
}

}  // namespace tabulon
