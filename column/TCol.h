// One column of a dataset: written cell by cell by the import, loaded for analysis.
// Its files lie in the store as column/Store.h lays them out.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "column/Store.h"
#include "column/Values.h"
#include "platform/FileIo.h"

namespace tabulon {

// The selection state of a column: everything the filter panels, the role toggles and a
// drill-down write and ReadRow tests. Kept apart so that it can be taken and put back whole (the
// drill-down history does), whatever fields it grows.
struct TColSelection {
  bool FFiltered = false;              // a filter is active on the column
  std::vector<std::string> FSelected;  // selected item texts, or cached item labels
  uint8_t FRole = 3;                   // 0 column items, 1 row items, 2 value, 3 none
  uint8_t FDateUnit = 0;               // date grouping unit 0..6
  int32_t FDivisions = 0;              // number of range buckets of a numeric column
  int32_t FWeekdayFilter = -1;         // -1 none, 0..6 one weekday, 7 Sat+Sun, 8 Mon-Fri, 9 Mon-Thu
  double FLower = 0, FUpper = 0;       // active range; FLower is also the origin of date keys
  std::string FPattern;                // text filter pattern
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

  // The category key ReadRow gives a date-time under FDateUnit, counted from FLower. The null
  // marker has no category (-1). Units 4..6 on a column that has dates count from midnight
  // (h; h*60+m; (h*60+m)*60+s), so records of every day fall into the day's hours; on a column of
  // times of day only they count from FLower's time of day.
  int32_t DateKey(double value) const;
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
  // The most distinct texts a key-stored column has: a descriptor's Count beyond it is damage.
  static constexpr int32_t kMaxCount = 2000;
  // Key-stored columns after Load: the category of every distinct key (kRejected when a row
  // with that key fails the filter); ReadRow answers alike. Empty for csLon columns.
  const std::vector<int32_t>& KeyCategories() const { return keyCategories_; }

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
  class Writer;
  void ResetState(const std::string& dir, const std::string& name, int32_t rows);
  void ReopenDatAfterTmp(InFile* tmp);  // i.Dat renamed to i.Tmp (open in *tmp), i.Dat anew
  void ConvertToWordKeys();             // i.Dat from 8-bit to 16-bit keys
  void ConvertToText();                 // i.Dat from 16-bit keys to one text line per row
  void ResetExtremes();
  // The parts of AddValue. DistinctKeyOf finds or adds the distinct text of a key-stored
  // column's cell, testing its type; adding one may widen the keys (ConvertToWordKeys) or make the
  // column per-row (ConvertToText, FStorage then csLon, the key meaningless). WriteKey appends a
  // row's key to i.Dat; AppendRowText appends a per-row column's cell text, and its value to i.Val
  // while the type holds.
  int32_t DistinctKeyOf(std::string_view text);
  void WriteKey(int32_t key);
  void AppendRowText(std::string_view text);
  // Writes to i.Dat the texts of the rows whose time stamps went to i.Val alone (see
  // Writer::unwrittenStamps), read back from i.Val, and writes every text of the rows after them.
  void WriteOutStampTexts();
  void ReadFiles();    // the file part of Load
  void PrepareRows();  // derives the per-key tables ReadRow uses; run by every Load

  // ---- Row access state (derived by PrepareRows)

  // Row readers, one per kind of column; PrepareRows picks one into reader_.
  using RowReader = bool (TCol::*)(int32_t row);
  bool ReadNothing(int32_t row);
  template <typename K, TValueType T>
  bool ReadKeyed(int32_t row);  // csByt (K uint8_t), csWor (K uint16_t): table look-up
  bool ReadLonInt(int32_t row);
  bool ReadLonCur(int32_t row);
  bool ReadLonDate(int32_t row);
  bool ReadLonText(int32_t row);
  void ReadTextLine(int32_t row);  // FText := line row of rowTexts_, reading forward
  void ReadRowTexts();             // rowTexts_ from the text i.Dat unless it is unchanged
  // Category of a numeric value (scaled for vtCur) or kRejected; key is kept when no buckets
  // are formed.
  int32_t NumericCategory(double value, bool isNull, int32_t key) const;
  int32_t DateCategory(double value, int dayOfWeek) const;
  int32_t SelectedPosition(std::string_view text);  // in FSelected, case-insensitive, or -1
  void ReadDistinctValues();  // FIntValues/FCurValues from i.Ind when not in memory

  RowReader reader_ = &TCol::ReadNothing;  // the reader for the current kind, filter and role
  std::vector<int32_t> keyCategories_;     // per distinct key: category or kRejected
  std::vector<uint8_t> keyWeekdays_;       // per distinct key of a vtDat column: 1 Sun .. 7 Sat
  // Folded FSelected -> the first index with that key, as an open-addressing table: a row's test
  // is one probe of a small table whose slots hold the hash, so a miss rarely touches a text.
  struct SelectedSlot {
    uint64_t hash = 0;
    int32_t position = -1;  // -1 marks an empty slot
    int32_t key = 0;        // index in selectedKeys_
  };
  std::vector<SelectedSlot> selectedSlots_;  // power-of-two size, at most a quarter full
  std::vector<std::string> selectedKeys_;    // the distinct folded texts
  // Bits indexed by a quick hash of a folded text (SelectedBit), set for selectedKeys_, 32 per
  // slot (128 or more per key): a clear bit rejects a row before the slots are probed, from a
  // table that stays in the first-level cache (at 2000 keys 32 KiB against 128 KiB of slots).
  std::vector<uint64_t> selectedBits_;
  int selectedShift_ = 64;                         // 64 - log2 of the number of bits
  size_t SelectedBit(std::string_view key) const;  // the bit of a folded text
  // The bit of a folded text of n bytes from its first and last eight, each byte with bit 5
  // set (n < 8: the n bytes, then zeros, and last 0), for a table of 2^(64 - shift) bits. With
  // bit 5 set, an ASCII text and its folding have the same bit, so a row's text need not be
  // folded to be told unselected.
  static size_t SelectedBitOf(uint64_t first, uint64_t last, size_t n, int shift);
  // Passes over the lines from *at on, up to want of them, while each is an ASCII text of at
  // most 16 bytes whose bit is clear, so that it is not selected: keys[i] := kRejected for each,
  // *at := where the first line not passed begins; returns how many were passed. Stops at any
  // other line (a longer text, other bytes, a lone LF, a set bit) and near the end of bytes, for
  // the general test. REQUIRES: the selection's tables built (PrepareRows).
  int SkipUnselectedLines(std::string_view bytes, size_t* at, int want, int32_t* keys) const;
  std::string foldScratch_;    // reused buffer for folding a row's text
  int32_t nextLine_ = 0;       // number of the line ReadTextLine reads next
  size_t nextOffset_ = 0;      // where that line begins in rowTexts_
  bool formsBuckets_ = false;  // numeric keys are range buckets
  int32_t buckets_ = 1;        // number of buckets (FDivisions, at least 1)
  double scale_ = 1;           // 10000 for vtCur, else 1
  double rangeLow_ = 0;        // bucket range: FLower..FUpper when filtered, else FMin..FMax
  double rangeHigh_ = 0;
  double scaledLow_ = 0;  // rangeLow_ and rangeHigh_ times scale_
  double scaledHigh_ = 0;
  bool timesSought_ = false;    // FindTimesBetween has looked
  bool timesBetween_ = false;   // it found a value with a time of day
  uint8_t weekdayMask_ = 0xFE;  // bit d set: weekday d (1 Sun .. 7 Sat) passes the filter
  bool timeWindow_ = false;     // FTimeLower..FTimeUpper leaves out part of the day
  int32_t timeLowMs_ = 0;       // the window in milliseconds after midnight
  int32_t timeHighMs_ = 0;

  std::unique_ptr<Writer> writer_;  // import state; null during analysis
  // A csLon column's i.Dat as last read: the bytes of a text one (lines ending in CR LF) and the
  // file's stamp then, to read it again only when it changed. One copy per column, shared by the
  // search walk and the walks of rows: about the file's size (10 MB for a million 8-byte codes);
  // no per-row index is kept beside it.
  FileBytes rowTexts_;
  FileStamp datStamp_;
  uint64_t rowTextsVersion_ = 0;  // RowTextsVersion: 0 while nothing is held
};

}  // namespace tabulon
