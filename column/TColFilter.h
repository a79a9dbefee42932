// The selection test of a column: what a row's value or text is worth under the column's
// selection state (filter, range, buckets, weekdays, time window, selected texts, date unit).
//
// Contract: Prepare derives every table from the column as it is; the answers hold until the
// selection, role, date unit, divisions or distinct values change, after which Prepare runs again
// (TCol::Load does). A category is a key of the tabulation, or kRejected for a value the filter
// leaves out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "column/Values.h"
#include "platform/LocaleFormats.h"

namespace tabulon {

class TCol;

class TColFilter {
 public:
  static constexpr int32_t kRejected = INT32_MIN;

  // Derives the tables from column's selection state and, for a key-stored column, its distinct
  // values in memory.
  void Prepare(const TCol& column);

  // Key-stored columns: the category of every distinct key, and for vtDat the weekday of every
  // distinct value (1 Sun .. 7 Sat). Empty for csLon columns.
  const std::vector<int32_t>& KeyCategories() const { return keyCategories_; }
  const std::vector<uint8_t>& KeyWeekdays() const { return keyWeekdays_; }

  // The category of a numeric value (scaled for vtCur): its range bucket when the column forms
  // buckets, else key; a null value of an unfiltered column has -1.
  int32_t NumericCategory(double value, bool isNull, int32_t key) const {
    if (formsBuckets_) {
      if (isNull && !filtered_) return -1;
      if (value == scaledHigh_)
        key = buckets_ - 1;
      else if (rangeHigh_ > rangeLow_)
        key = ClampBucket((value - scaledLow_) * buckets_ / (rangeHigh_ - rangeLow_) / scale_,
                          buckets_);
      else
        key = 0;
    }
    if (filtered_ && !(scaledLow_ <= value && value <= scaledHigh_)) return kRejected;
    return key;
  }

  // The category of a date-time on weekday dayOfWeek (1 Sun .. 7 Sat): its key under the date
  // unit (TCol::DateKey) when it lies in the range, on a weekday and in the time window.
  int32_t DateCategory(double value, int dayOfWeek) const {
    if (filtered_) {
      if (value < lower_ || value > upper_) return kRejected;
      if ((weekdayMask_ & (1u << dayOfWeek)) == 0) return kRejected;
      if (timeWindow_) {
        const int32_t ms = TimeOfDayMs(value);
        if (ms < timeLowMs_ || ms > timeHighMs_) return kRejected;
      }
    }
    if (!(value < DateNull())) return -1;
    return DateKey(value, dateOrigin_, dateUnit_);
  }

  // The position in the selected texts of a text, without regard to letter case, or -1.
  int32_t SelectedPosition(std::string_view text);

  // Passes over the lines of a text i.Dat from *at on, up to want of them, while each is an ASCII
  // text of at most 16 bytes whose bit is clear, so that it is not selected: keys[i] := kRejected
  // for each, *at := where the first line not passed begins; returns how many were passed. Stops
  // at any other line (a longer text, other bytes, a lone LF, a set bit) and near the end of
  // bytes, for the general test. REQUIRES: Prepare ran on a filtered vtStr column.
  int SkipUnselectedLines(std::string_view bytes, size_t* at, int want, int32_t* keys) const;

  // Truncates a bucket position toward zero and clamps it into 0 .. buckets - 1: the extremes
  // read back from the descriptor may lie a little inside the true ones, and no value may fall
  // outside the range labels. NaN lands in bucket 0.
  static int32_t ClampBucket(double position, int32_t buckets) {
    if (!(position >= 1)) return 0;
    if (position >= buckets) return buckets - 1;
    return static_cast<int32_t>(position);
  }

 private:
  void PrepareRange(const TCol& column);
  void PrepareSelectedTexts(const std::vector<std::string>& selected);
  void PrepareKeyCategories(const TCol& column);
  template <typename Values, typename T>
  void PrepareNumericKeys(const Values& values, T null);
  template <typename Values>
  void PrepareDateKeys(const Values& values);
  void PrepareTextKeys(const std::vector<std::string>& values);

  // The bit of a folded text (see SelectedBitOf).
  size_t SelectedBit(std::string_view key) const;
  // The bit of a folded text of n bytes from its first and last eight, each byte with bit 5
  // set (n < 8: the n bytes, then zeros, and last 0), for a table of 2^(64 - shift) bits. With
  // bit 5 set, an ASCII text and its folding have the same bit, so a row's text need not be
  // folded to be told unselected.
  static size_t SelectedBitOf(uint64_t first, uint64_t last, size_t n, int shift);

  std::vector<int32_t> keyCategories_;  // per distinct key: category or kRejected
  std::vector<uint8_t> keyWeekdays_;    // per distinct key of a vtDat column: 1 Sun .. 7 Sat

  // The selection as Prepare found it.
  bool filtered_ = false;
  double lower_ = 0, upper_ = 0;  // FLower, FUpper
  int dateUnit_ = 0;
  double dateOrigin_ = 0;  // where date keys count from (see TCol::DateKey)

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
  int selectedShift_ = 64;   // 64 - log2 of the number of bits
  std::string foldScratch_;  // reused buffer for folding a row's text

  bool formsBuckets_ = false;  // numeric keys are range buckets
  int32_t buckets_ = 1;        // number of buckets (FDivisions, at least 1)
  double scale_ = 1;           // 10000 for vtCur, else 1
  double rangeLow_ = 0;        // bucket range: FLower..FUpper when filtered, else FMin..FMax
  double rangeHigh_ = 0;
  double scaledLow_ = 0;  // rangeLow_ and rangeHigh_ times scale_
  double scaledHigh_ = 0;
  uint8_t weekdayMask_ = 0xFE;  // bit d set: weekday d (1 Sun .. 7 Sat) passes the filter
  bool timeWindow_ = false;     // FTimeLower..FTimeUpper leaves out part of the day
  int32_t timeLowMs_ = 0;       // the window in milliseconds after midnight
  int32_t timeHighMs_ = 0;
};

}  // namespace tabulon
