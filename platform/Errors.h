// Errors raised by the core. Every message is the user-facing text in Shift-JIS; the front end
// converts it for display and shows it in its one general error report.
#pragma once

#include <stdexcept>
#include <string>

namespace tabulon {

// Base of every error the core raises on purpose.
class TabulonError : public std::runtime_error {
 public:
  explicit TabulonError(const std::string& sjisMessage) : std::runtime_error(sjisMessage) {}
};

// A file operation failed: the message names the file and the reason.
class IoError : public TabulonError {
 public:
  // path is a file-system path (native bytes); reason is plain ASCII or Shift-JIS.
  IoError(const std::string& path, const std::string& reason);
};

// A text does not convert to the value asked for ("'%s' は整数ではありません").
class ConvertError : public TabulonError {
 public:
  explicit ConvertError(const std::string& sjisMessage) : TabulonError(sjisMessage) {}
};

}  // namespace tabulon
