// One column of a dataset: written cell by cell by the import, loaded for analysis.
// Its files lie in the store as column/Store.h lays them out.
//
// TCol holds the column's state and hands each job to a part of its own:
//   TColWriter    the import's writer (its states: keyed 8/16-bit, per-row stamps, values, texts)
//   TColFiles     reading the store files into the fields (Load)
//   TColFilter    the selection test: what a row's value or text is worth under the selection
//   TColRowTexts  the text i.Dat of a per-row text column in memory, and a cursor over its lines
// The row cursor (ReadRow and its readers), the item lists and the dates are its own
// (TColRows.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "column/Store.h"
#include "column/TColFilter.h"
#include "column/TColRowTexts.h"
#include "column/Values.h"
#include "platform/FileIo.h"

namespace tabulon {

// The role of a column in the table (TColSelection::FRole); the first kRoleCount are the role
// toggles' 列項目, 行項目 and 値, in that order.
inline constexpr uint8_t kRoleColumnItems = 0;  // its items head the table's columns
inline constexpr uint8_t kRoleRowItems = 1;     // its items head the table's rows
inline constexpr uint8_t kRoleValue = 2;        // its values are aggregated into the cells
inline constexpr uint8_t kRoleNone = 3;
inline constexpr uint8_t kRoleCount = 3;

// The unit a vtDat axis groups its records by (TColSelection::FDateUnit; DateKey and DateLabel
// take it as their unit).
inline constexpr uint8_t kDateUnitYear = 0;     // "yyyy"
inline constexpr uint8_t kDateUnitMonth = 1;    // "yyyy/mm"
inline constexpr uint8_t kDateUnitWeekday = 2;  // a weekday character, Sunday first
inline constexpr uint8_t kDateUnitDay = 3;      // "yyyy/mm/dd"
inline constexpr uint8_t kDateUnitHour = 4;     // "hh"
inline constexpr uint8_t kDateUnitMinute = 5;   // "hh:mm"
inline constexpr uint8_t kDateUnitSecond = 6;   // "hh:mm:ss"
inline constexpr uint8_t kDateUnitCount = 7;

// Whether unit groups by the time of day (hour, minute or second) rather than by the date.
constexpr bool IsTimeOfDayUnit(uint8_t unit) {
  return unit >= kDateUnitHour && unit <= kDateUnitSecond;
}

// The weekday filter of a vtDat column (TColSelection::FWeekdayFilter): every weekday, one
// weekday (Sunday .. Saturday) or a set of them; the date panel's weekday entries in their order.
inline constexpr int32_t kWeekdaysAll = -1;
inline constexpr int32_t kWeekdaySunday = 0;
inline constexpr int32_t kWeekdayMonday = 1;
inline constexpr int32_t kWeekdayTuesday = 2;
inline constexpr int32_t kWeekdayWednesday = 3;
inline constexpr int32_t kWeekdayThursday = 4;
inline constexpr int32_t kWeekdayFriday = 5;
inline constexpr int32_t kWeekdaySaturday = 6;
inline constexpr int32_t kWeekdaysSatSun = 7;
inline constexpr int32_t kWeekdaysMonFri = 8;
inline constexpr int32_t kWeekdaysMonThu = 9;
inline constexpr int32_t kWeekdayFilterCount = 10;  // the filters after kWeekdaysAll

class TColWriter;

// The selection state of a column: everything the filter panels, the role toggles and a
// drill-down write and ReadRow tests. Kept apart so that it can be taken and put back whole (the
// drill-down history does), whatever fields it grows.
struct TColSelection {
  bool FFiltered = false;                 // a filter is active on the column
  std::vector<std::string> FSelected;     // selected item texts, or cached item labels
  uint8_t FRole = kRoleNone;              // kRoleColumnItems .. kRoleNone
  uint8_t FDateUnit = kDateUnitYear;      // kDateUnitYear .. kDateUnitSecond
  int32_t FDivisions = 0;                 // number of range buckets of a numeric column
  int32_t FWeekdayFilter = kWeekdaysAll;  // kWeekdaysAll, kWeekdaySunday .. kWeekdaysMonThu
  double FLower = 0, FUpper = 0;          // active range; FLower is also the origin of date keys
  std::string FPattern;                   // text filter pattern
  // The time-of-day window of a filtered vtDat column, as fractions of a day: a record passes
  // when FTimeLower <= its time of day <= FTimeUpper (in whole milliseconds), on every day of the
  // range. The whole day by default; only a column with dates and times of day narrows it.
  double FTimeLower = 0, FTimeUpper = kLastMsOfDay;
};

class TCol : public TColSelection {
 public:
  TCol();
  ~TCol();
  TCol(const TCol&) = delete;
  TCol& operator=(const TCol&) = delete;

  // ---- Writing side (the import)

  // Starts the import of the column: the state of Open with Rows 0, and creates an empty i.Dat
  // in dir (truncating an old one), kept open for appending.
  // bufferBytes is the write buffer of each of its files (keep the sum over all columns small).
  // REQUIRES: FIndex set. Throws IoError.
  void OpenForImport(const std::string& dir, const std::string& name, size_t bufferBytes = 1 << 18);

  // Takes the next cell of the column (as split from the CSV line): widens the type when the
  // normalised text does not convert, finds or adds its distinct text and appends the row.
  // Throws IoError when a file operation fails.
  void AddValue(std::string_view text);
  // The next count cells, as AddValue takes them one by one.
  void AddValues(const std::string_view* texts, size_t count);

  // Ends the import: closes i.Dat, writes i.Ind (csByt, csWor) or rewrites a per-row numeric i.Dat
  // as values, and sets the extremes. A text that does not convert under the final type is stored
  // as the type's null marker and takes no part in the extremes. Throws IoError.
  void Finish(const std::string& indPath);

  // Closes any open file without finishing (after an error); never throws.
  void Abandon();

  int32_t Count() const { return FCount; }

  // ---- Reading side (analysis)

  // Initialises the column for analysis with the dataset's row count. Touches no file.
  // REQUIRES: FIndex set.
  void Open(const std::string& dir, const std::string& name, int32_t rows);

  // Sets FValueType from "Int", "Cur", "Dat", "Str" and FStorage from "Byt", "Wor", "Lon"; a text
  // that matches none leaves the field as it is.
  void SetTypes(std::string_view valType, std::string_view colType);

  // Reads the column's files into memory when the column has a role or a filter, once (a csLon
  // column again whenever its i.Dat changed size or last-write time since it was read; a csLon
  // vtStr column reads its text i.Dat only when its rows are asked for).
  // REQUIRES: Open, SetTypes and FCount set. Throws IoError when a file is missing or shorter
  // than FRows or FCount say, or a key points past the distinct values; never reads out of bounds.
  void Load();

  // ---- Row access

  // Whether row passes the column's filter (always true for an unfiltered column), leaving the
  // row's category key in FKey (kRejected when it fails) and its value in FIntValue, FCurValue,
  // FDateValue (with FDayOfWeek) or FText. A column without role and filter reads nothing (FKey =
  // row). Numeric range buckets lie in 0 .. max(FDivisions, 1) - 1; a null value of an unfiltered
  // column has key -1. Rows are asked in increasing order during one walk; a walk starts with
  // Load. REQUIRES: Load ran since the filter, role, unit or divisions last changed;
  // 0 <= row < FRows. Throws IoError when the text i.Dat of a csLon column ends before row.
  bool ReadRow(int32_t row);
  // ReadRow of rows first .. first + n - 1 of a csLon vtStr column at once: the category key
  // each would leave in FKey (kRejected when it fails the selection) into keys[0 .. n), and the
  // last row's text in FText. For the block pass: no per-row call and no copy of each text.
  // Same requirements and errors as ReadRow; n <= 0 reads nothing.
  void ReadTextKeys(int32_t first, int n, int32_t* keys);
  // The range bucket (0 .. buckets - 1) that ReadRow gives an integer value v of a column divided
  // into buckets classes between low and high (its FLower and FUpper when filtered, else FMin and
  // FMax). The engine's class labels use it to name the whole numbers each class holds.
  static int32_t IntBucket(double v, double low, double high, int32_t buckets);

  // Visits, in row order, the text of every row of a csLon vtStr column whose bytes hold `bytes`
  // (every row when empty) until visit returns false; a text is valid during its visit only.
  // Reads the text i.Dat when it changed since it was last read. Throws IoError.
  void VisitRowTextsContaining(std::string_view bytes,
                               const std::function<bool(std::string_view)>& visit);

  // Reads the text i.Dat of a csLon vtStr column when it changed since it was last read, as
  // VisitRowTextsContaining does, and returns a number for the text now held: every read, of any
  // column, gets a number of its own, so an equal number means the very bytes an earlier walk saw.
  // Throws IoError.
  uint64_t RowTextsVersion();

  // FSelected := list; FFiltered := !list.empty().
  void SetSelected(const std::vector<std::string>& list);

  // The entries of FSelected, each followed by CR LF. When FSelected is empty and the column is
  // a key-stored vtInt or vtCur column, the labels of all its distinct values, padded on the left
  // to the width of the longer of FLower and FUpper, are kept there first as a cache (FFiltered
  // unchanged); other columns leave it empty. Reads i.Ind when the values are not in memory.
  // Throws IoError.
  std::string GetItems();

  // The category key ReadRow gives a date-time under FDateUnit, counted from DateOrigin. The null
  // marker has no category (-1).
  int32_t DateKey(double value) const;
  // Where date keys count from: FLower, except that the time-of-day units (hour, minute, second)
  // on a column that has dates count from midnight (h; h*60+m; (h*60+m)*60+s), so records of
  // every day fall into the day's hours; on a column of times of day only they count from
  // FLower's time of day.
  double DateOrigin() const;
  // The label of a date-time under FDateUnit ("yyyy", "yyyy/mm", weekday character, ...).
  std::string DateLabel(double value) const;

  // Whether the column's extremes carry a date (integer part of FMin or FMax not 0) and a time of
  // day (fraction of FMin or FMax not 0, or a value between them that FindTimesBetween found).
  // REQUIRES: FMin and FMax read from the descriptor.
  bool HasDates() const;
  bool HasTimes() const;
  // Looks once, on a vtDat column whose extremes both lie at midnight, for a value with a time
  // of day: the descriptor keeps only the extremes (in whole seconds), so stamps from 3/1 0:00 to
  // 4/1 0:00 would otherwise pass for dates alone, and times of 0:00:00.001 for no time at all.
  // Reads i.Ind, or the i.Dat of a csLon column. REQUIRES: Open, SetTypes, FCount, FMin and FMax
  // set. Throws IoError.
  void FindTimesBetween();

  // The category of a row that fails the column's filter.
  static constexpr int32_t kRejected = INT32_MIN;
  static_assert(kRejected == TColFilter::kRejected);
  // The most distinct texts a key-stored column has: a descriptor's Count beyond it is damage.
  static constexpr int32_t kMaxCount = 2000;
  // Key-stored columns after Load: the category of every distinct key (kRejected when a row
  // with that key fails the filter); ReadRow answers alike. Empty for csLon columns.
  const std::vector<int32_t>& KeyCategories() const { return filter_.KeyCategories(); }

  // Paths of the column's files.
  std::string DatPath() const;
  std::string IndPath() const;
  std::string TmpPath() const;

  // The selection state as a whole (a copy), and putting a copy back. Restoring requires a Load
  // before the next ReadRow, as every change of the selection does.
  const TColSelection& Selection() const { return *this; }
  void RestoreSelection(const TColSelection& selection) { TColSelection::operator=(selection); }

  // ---- Fields (the selection state is in TColSelection)
  bool FLoaded = false;               // the files have been read into memory by Load
  int32_t FRows = 0;                  // data rows of the dataset; 0 while importing
  std::vector<std::string> FValues;   // distinct texts in key order (import); vtStr i.Ind lines
  std::string FDir;                   // store directory
  Records<uint8_t> FByteKeys;         // per-row keys (csByt)
  Records<uint16_t> FWordKeys;        // per-row keys (csWor)
  Records<int32_t> FIntValues;        // vtInt values: per distinct text, or per row for csLon
  Records<int64_t> FCurValues;        // vtCur values, scaled by 10000
  Records<double> FDateValues;        // vtDat values
  TColStorage FStorage = csByt;       // storage class
  TValueType FValueType = vtInt;      // value type
  std::string FName;                  // column name; the descriptor section of the column
  int32_t FIndex = 0;                 // column number, stem of the file names
  int32_t FIntMin = 0, FIntMax = 0;   // extremes of vtInt values met by the writer
  double FMin = 0, FMax = 0;          // writer: vtCur extremes; analysis: Min and Max of any type
  double FDateMin = 0, FDateMax = 0;  // extremes of vtDat values met by the writer
  int32_t FCount = 0;                 // number of distinct texts (descriptor key Count)
  // The row last read.
  int32_t FKey = 0;
  int32_t FIntValue = 0;
  int64_t FCurValue = 0;
  double FDateValue = 0;
  std::string FText;
  int32_t FDayOfWeek = 0;

 private:
  void ResetState(const std::string& dir, const std::string& name, int32_t rows);
  void PrepareRows();  // derives what ReadRow uses (filter_, reader_); run by every Load
  void ChooseReader();

  // Row readers, one per kind of column; ChooseReader picks one into reader_.
  using RowReader = bool (TCol::*)(int32_t row);
  bool ReadNothing(int32_t row);
  template <typename K, TValueType T>
  bool ReadKeyed(int32_t row);  // csByt (K uint8_t), csWor (K uint16_t): table look-up
  bool ReadLonInt(int32_t row);
  bool ReadLonCur(int32_t row);
  bool ReadLonDate(int32_t row);
  bool ReadLonText(int32_t row);
  int32_t TextKey(std::string_view text, int32_t row);  // ReadRow's FKey for a csLon vtStr row

  RowReader reader_ = &TCol::ReadNothing;  // the reader for the current kind, filter and role
  TColFilter filter_;                      // the selection test, prepared by every Load
  TColRowTexts rowTexts_{*this};           // the text i.Dat of a csLon vtStr column
  bool timesSought_ = false;               // FindTimesBetween has looked
  bool timesBetween_ = false;              // it found a value with a time of day
  std::unique_ptr<TColWriter> writer_;     // the import's writer; null during analysis
};

}  // namespace tabulon
