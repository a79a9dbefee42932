// The widget boundary: core texts are Shift-JIS bytes and file paths are the system's bytes; the
// widgets take QString. Every conversion between the two goes through these.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tabulon {

// Shift-JIS bytes as widget text. Bytes that do not form a character show as U+FFFD.
QString FromSjis(std::string_view sjis);

// Widget text as Shift-JIS bytes. Characters without a Shift-JIS form become "?".
std::string ToSjis(const QString& text);

// A path as a dialog or Qt's file classes give it, in the bytes the file layer opens.
std::string ToNative(const QString& path);

// A path in the file layer's bytes as a dialog or Qt's file classes take it.
QString FromNative(const std::string& path);

}  // namespace tabulon
