// The dataset descriptor: the store's shape, its columns' names and their sections (column/Store.h
// describes the file).
#pragma once

#include <cstdint>
#include <string>

#include "column/Store.h"

namespace tabulon {

class IniFile;
class TCol;

inline constexpr const char* kSectionCsv = "Csv";
inline constexpr const char* kKeyColCount = "ColCount";
inline constexpr const char* kKeyRowCount = "RowCount";
inline constexpr const char* kKeyDateTime = "DateTime";
inline constexpr const char* kKeyMin = "Min";
inline constexpr const char* kKeyMax = "Max";
inline constexpr const char* kKeyValType = "ValType";
inline constexpr const char* kKeyColType = "ColType";
inline constexpr const char* kKeyCount = "Count";

// ColCount of a descriptor (0 when absent). Throws IoError when a column below it has no name in
// [Csv]: such a count is damage, and would make that many columns.
int32_t ReadColCount(const IniFile& ini);
// Count of a column's section: 0 when absent or beyond what any store holds (a damaged count
// would become that many ranges).
int32_t ReadDistinctCount(const IniFile& ini, const std::string& section);

// A column's section of a descriptor as analysis reads it.
struct TColumnSection {
  std::string valType;  // ValType and ColType as they stand ("" when absent)
  std::string colType;
  int32_t count = 0;  // Count as ReadDistinctCount takes it
  // Min and Max as the value type reads them: integers for Int, floats for Cur, date-times for
  // Dat (0 for an absent key). Other types (a Str column) have none: hasExtremes is false.
  bool hasExtremes = false;
  double min = 0;
  double max = 0;

  // Sets col's types (SetTypes), FCount and, when the section has extremes, FMin and FMax; a
  // column without keeps the extremes it has. The selection state is left as it is.
  void ApplyTo(TCol& col) const;
};

// The section of the column named name. Never throws; a missing section reads as empty.
TColumnSection ReadColumnSection(const IniFile& ini, const std::string& name);

}  // namespace tabulon
