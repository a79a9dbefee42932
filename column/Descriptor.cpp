#include "column/Descriptor.h"

#include "column/TCol.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"

namespace tabulon {

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
