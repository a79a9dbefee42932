#include "ui/QtStrings.h"

#include <QByteArray>
#include <QFile>

#include "platform/SjisText.h"

namespace tabulon {

QString FromSjis(std::string_view sjis) {
  // Most cells are digits and ASCII names: those need no converter and no copy of their own.
  if (IsAscii(sjis)) return QString::fromLatin1(sjis.data(), static_cast<qsizetype>(sjis.size()));
  return QString::fromStdString(SjisToUtf8(sjis));
}

std::string ToSjis(const QString& text) {
  return Utf8ToSjis(text.toStdString());
}

std::string ToNative(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString FromNative(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace tabulon
