#include "platform/Errors.h"

namespace tabulon {

IoError::IoError(const std::string& path, TFileAction action, int err)
    : IoError(path, action, ErrnoReason(err)) {}

IoError::IoError(const std::string& path, TFileAction action, const std::string& reason)
    : TabulonError(FileMessage(path, action, reason)) {}

}  // namespace tabulon
