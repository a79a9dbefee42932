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

namespace {

constexpr TColumnFile kColumnFiles[] = {TColumnFile::kDat, TColumnFile::kInd, TColumnFile::kTmp,
                                        TColumnFile::kVal};

const char* ExtensionOf(TColumnFile file) {
  switch (file) {
    case TColumnFile::kInd:
      return ".Ind";
    case TColumnFile::kTmp:
      return ".Tmp";
    case TColumnFile::kVal:
      return ".Val";
    case TColumnFile::kDat:
      break;
  }
  return ".Dat";
}

}  // namespace

std::string ColumnFilePath(const std::string& storeDir, int32_t column, TColumnFile file) {
  return storeDir + "/" + std::to_string(column) + ExtensionOf(file);
}

bool ParseColumnFileName(std::string_view name, int32_t* column, TColumnFile* file) {
  const size_t dot = name.find('.');
  // The number as ColumnFilePath writes it: decimal digits without a leading zero.
  if (dot == 0 || dot == std::string_view::npos || dot > 9 ||
      name.find_first_not_of("0123456789") != dot || (name[0] == '0' && dot > 1))
    return false;
  for (const TColumnFile kind : kColumnFiles) {
    if (name.substr(dot) != ExtensionOf(kind)) continue;
    *column = std::stoi(std::string(name.substr(0, dot)));
    *file = kind;
    return true;
  }
  return false;
}

void ClaimStore(const std::string& csvPath) {
  RegisterStoreFolder(StoreDirOf(csvPath), csvPath);
}

}  // namespace tabulon
