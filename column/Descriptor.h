// The dataset descriptor: the store's shape, its columns' names and their sections, read and
// written whole (column/Store.h describes the file).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// A column's section.
struct TColumnSection {
  std::string valType;  // ValType and ColType as they stand ("" when absent)
  std::string colType;
  int32_t count = -1;  // Count as it stands: -1 when absent or no 32-bit integer
  // Min and Max as the value type reads them: integers for Int, floats for Cur, date-times for
  // Dat (0 for an absent key). Other types (a Str column) have none: hasExtremes is false.
  bool hasExtremes = false;
  double min = 0;
  double max = 0;

  // Count as analysis takes it: 0 when absent or beyond what any store holds (a damaged count
  // would become that many ranges).
  int32_t DistinctCount() const;
  // Min or Max as the section holds it: a decimal integer for Int, the float form for Cur, the
  // date-time form for Dat (platform/LocaleFormats.h).
  std::string ExtremeText(double value) const;
  // Sets col's types (SetTypes), FCount := DistinctCount() and, when the section has extremes,
  // FMin and FMax; a column without keeps the extremes it has. The selection state is left as it
  // is.
  void ApplyTo(TCol& col) const;

  bool operator==(const TColumnSection&) const = default;
};

struct TDescriptor {
  int32_t colCount = -1;  // ColCount and RowCount as they stand: -1 when absent or no number
  int32_t rowCount = -1;
  std::vector<std::string> names;        // the names of the columns below ColCount
  std::vector<TColumnSection> sections;  // the section of each of them, found by its name
  // DateTime, the completion mark: absent while the store is imported (0 when it is no date-time).
  std::optional<double> completed;

  // The columns and rows a dataset opens with: the counts, 0 for an absent or negative one.
  int32_t Columns() const { return colCount < 0 ? 0 : colCount; }
  int32_t Rows() const { return rowCount < 0 ? 0 : rowCount; }

  // The descriptor of the file at path; a missing file reads as a descriptor without columns.
  // Throws IoError when the file cannot be read, or when a column below ColCount has no name in
  // [Csv]: such a count is damage, and would make that many columns.
  static TDescriptor Read(const std::string& path);
  // The same of a file already read; false (and *out unspecified) for a damaged descriptor.
  static bool Parse(const IniFile& ini, TDescriptor* out);

  // Writes this descriptor into the file at path, keys already there kept in their places and
  // new ones added in this order: ColCount, RowCount, then for each column its name in [Csv] and
  // its section (Min and Max when it has extremes, ValType, ColType, Count unless the column is
  // Lon), and DateTime last, when set. REQUIRES: names and sections of colCount columns. Throws
  // IoError (the file is then as it was).
  void Write(const std::string& path) const;

  bool operator==(const TDescriptor&) const = default;
};

// Deletes the completion mark of the descriptor ini and writes the file: the store is being
// rebuilt. Throws IoError.
void RemoveCompletionMark(IniFile& ini);

}  // namespace tabulon
