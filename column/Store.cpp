#include "column/Store.h"

#include "platform/Messages.h"
#include "platform/System.h"

namespace tabulon {

namespace {

size_t NameStart(const std::string& path) {
  const size_t slash = sys::LastPathSeparator(path);
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string StoreDirOf(const std::string& csvPath) {
  const size_t start = NameStart(csvPath);
  const size_t dot = csvPath.find_last_of('.');
  // A leading dot starts a hidden name, not an extension.
  if (dot == std::string::npos || dot <= start) return csvPath;
  return csvPath.substr(0, dot);
}

std::string FileNameOf(const std::string& csvPath) {
  return csvPath.substr(NameStart(csvPath));
}

std::string DescriptorPathOf(const std::string& csvPath) {
  const std::string dir = StoreDirOf(csvPath);
  return dir + "/" + dir.substr(NameStart(dir)) + ".Ini";
}

std::string ColumnFilePath(const std::string& storeDir, int32_t column, TColumnFile file) {
  const char* extension = ".Dat";
  switch (file) {
    case TColumnFile::kDat:
      break;
    case TColumnFile::kInd:
      extension = ".Ind";
      break;
    case TColumnFile::kTmp:
      extension = ".Tmp";
      break;
    case TColumnFile::kVal:
      extension = ".Val";
      break;
  }
  return storeDir + "/" + std::to_string(column) + extension;
}

void ClaimStore(const std::string& csvPath) {
  RegisterStoreFolder(StoreDirOf(csvPath), csvPath);
}

}  // namespace tabulon
