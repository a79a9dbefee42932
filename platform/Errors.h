// Errors raised by the core. Every message is the user-facing text in Shift-JIS; the front end
// converts it for display and shows it in its one general error report.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/Messages.h"

namespace tabulon {

// Base of every error the core raises on purpose.
class TabulonError : public std::runtime_error {
 public:
  explicit TabulonError(const std::string& sjisMessage) : std::runtime_error(sjisMessage) {}
};

// A file operation failed: the message names the file as the user knows it, what failed and why,
// in the language in force (platform/Messages.h).
class IoError : public TabulonError {
 public:
  // path is a file-system path (native bytes); err the operating system's error number.
  IoError(const std::string& path, TFileAction action, int err);
  // reason: a reason of our own, Shift-JIS, already worded in the language in force.
  IoError(const std::string& path, TFileAction action, const std::string& reason);
};

// A text does not convert to the value asked for ("'%s' は整数ではありません").
class ConvertError : public TabulonError {
 public:
  explicit ConvertError(const std::string& sjisMessage) : TabulonError(sjisMessage) {}
};

}  // namespace tabulon
