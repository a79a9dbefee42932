#include "column/Descriptor.h"

#include "column/TCol.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
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
  std::string dir = csvPath.substr(0, dot);
  RegisterStoreFolder(dir, csvPath);
  return dir;
}

std::string FileNameOf(const std::string& csvPath) {
  return csvPath.substr(NameStart(csvPath));
}

std::string DescriptorPathOf(const std::string& csvPath) {
  const std::string dir = StoreDirOf(csvPath);
  return dir + "/" + dir.substr(NameStart(dir)) + ".Ini";
}

int32_t ReadColCount(const IniFile& ini) {
  const int32_t count = ini.ReadInteger(kSectionCsv, kKeyColCount, 0);
  for (int32_t i = 0; i < count; ++i)
    if (!ini.KeyExists(kSectionCsv, std::to_string(i)))
      throw IoError(
          ini.Path(), TFileAction::kRead,
          Wording("damaged descriptor: no name for column ", "ファイルが壊れています（列 ") +
              std::to_string(i) + Wording("", " に名前がありません）"));
  return count;
}

int32_t ReadDistinctCount(const IniFile& ini, const std::string& section) {
  const int32_t count = ini.ReadInteger(section, kKeyCount, 0);
  return count < 0 || count > TCol::kMaxCount ? 0 : count;
}

TColumnSection ReadColumnSection(const IniFile& ini, const std::string& name) {
  TColumnSection section;
  section.valType = ini.ReadString(name, kKeyValType, "");
  section.colType = ini.ReadString(name, kKeyColType, "");
  section.count = ReadDistinctCount(ini, name);
  section.hasExtremes = true;
  if (section.valType == "Int") {
    section.min = ini.ReadInteger(name, kKeyMin, 0);
    section.max = ini.ReadInteger(name, kKeyMax, 0);
  } else if (section.valType == "Cur") {
    section.min = ini.ReadFloat(name, kKeyMin, 0);
    section.max = ini.ReadFloat(name, kKeyMax, 0);
  } else if (section.valType == "Dat") {
    section.min = ini.ReadDateTime(name, kKeyMin, 0);
    section.max = ini.ReadDateTime(name, kKeyMax, 0);
  } else {
    section.hasExtremes = false;
  }
  return section;
}

void TColumnSection::ApplyTo(TCol& col) const {
  col.SetTypes(valType, colType);
  col.FCount = count;
  if (!hasExtremes) return;
  col.FMin = min;
  col.FMax = max;
}

}  // namespace tabulon
