#include "import/Descriptor.h"

namespace tabulon {

namespace {

size_t NameStart(const std::string& path) {
  const size_t slash = path.find_last_of('/');
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

}  // namespace tabulon
