// JPEG pictures through libjpeg: baseline, colour (3 components, RGB in), the library's default
// settings with the quality given, not progressive.
#pragma once

#include <QString>
#include <string>

class QImage;

namespace tabulon {

// Encodes image as a JPEG file in memory. Returns false, with libjpeg's message in *error, when
// the library refuses (an empty image, for one); nothing is kept then.
// REQUIRES: 0 <= quality <= 100.
bool EncodeJpeg(const QImage& image, int quality, std::string* bytes, std::string* error);

// Encodes image and writes it to path, replacing any file there. The bytes go to a temporary
// file in the same folder that is renamed over path at the end, so a failure never leaves a half
// picture. Throws IoError naming path on any failure; path is then as it was.
void WriteJpeg(const QImage& image, const QString& path, int quality);

}  // namespace tabulon
