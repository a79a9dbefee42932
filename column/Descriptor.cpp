#include "column/Descriptor.h"

#include "column/TCol.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/LocaleFormats.h"

namespace tabulon {

namespace {

TColumnSection ReadSection(const IniFile& ini, const std::string& name) {
  TColumnSection section;
  section.valType = ini.ReadString(name, kKeyValType, "");
  section.colType = ini.ReadString(name, kKeyColType, "");
  section.count = ini.ReadInteger(name, kKeyCount, -1);
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

}  // namespace

int32_t TColumnSection::DistinctCount() const {
  return count < 0 || count > TCol::kMaxCount ? 0 : count;
}

std::string TColumnSection::ExtremeText(double value) const {
  if (valType == "Int") return std::to_string(static_cast<int32_t>(value));
  if (valType == "Dat") return FormatDateTime(value);
  return FormatFloat(value);
}

void TColumnSection::ApplyTo(TCol& col) const {
  col.SetTypes(valType, colType);
  col.FCount = DistinctCount();
  if (!hasExtremes) return;
  col.FMin = min;
  col.FMax = max;
}

TDescriptor TDescriptor::Read(const std::string& path) {
  const IniFile ini(path);
  TDescriptor descriptor;
  if (!Parse(ini, &descriptor))
    throw IoError(
        ini.Path(), TFileAction::kRead,
        Wording("damaged descriptor: no name for column ", "ファイルが壊れています（列 ") +
            std::to_string(descriptor.names.size()) + Wording("", " に名前がありません）"));
  return descriptor;
}

bool TDescriptor::Parse(const IniFile& ini, TDescriptor* out) {
  out->colCount = ini.ReadInteger(kSectionCsv, kKeyColCount, -1);
  out->rowCount = ini.ReadInteger(kSectionCsv, kKeyRowCount, -1);
  out->names.clear();
  out->sections.clear();
  // Every name is looked for before any section is read: a count of two thousand million must
  // not make that many sections first.
  for (int32_t i = 0; i < out->colCount; ++i) {
    const std::string key = std::to_string(i);
    if (!ini.KeyExists(kSectionCsv, key)) return false;
    out->names.push_back(ini.ReadString(kSectionCsv, key, ""));
  }
  for (const std::string& name : out->names) out->sections.push_back(ReadSection(ini, name));
  out->completed.reset();
  if (ini.KeyExists(kSectionCsv, kKeyDateTime))
    out->completed = ini.ReadDateTime(kSectionCsv, kKeyDateTime, 0);
  return true;
}

void TDescriptor::Write(const std::string& path) const {
  IniFile ini(path);
  ini.WriteInteger(kSectionCsv, kKeyColCount, colCount);
  ini.WriteInteger(kSectionCsv, kKeyRowCount, rowCount);
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    const TColumnSection& section = sections[i];
    ini.WriteString(kSectionCsv, std::to_string(i), name);
    if (section.hasExtremes) {
      ini.WriteString(name, kKeyMin, section.ExtremeText(section.min));
      ini.WriteString(name, kKeyMax, section.ExtremeText(section.max));
    }
    ini.WriteString(name, kKeyValType, section.valType);
    ini.WriteString(name, kKeyColType, section.colType);
    if (section.colType != "Lon") ini.WriteInteger(name, kKeyCount, section.count);
  }
  // The completion mark goes last, once every column file and section is complete.
  if (completed) ini.WriteDateTime(kSectionCsv, kKeyDateTime, *completed);
  ini.Flush();
}

void RemoveCompletionMark(IniFile& ini) {
  ini.DeleteKey(kSectionCsv, kKeyDateTime);
  ini.Flush();
}

}  // namespace tabulon
