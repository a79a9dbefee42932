#include "platform/Errors.h"

#include "platform/SjisText.h"

namespace tabulon {

IoError::IoError(const std::string& path, const std::string& reason)
    : TabulonError(Utf8ToSjis(path) + ": " + reason) {}

}  // namespace tabulon
