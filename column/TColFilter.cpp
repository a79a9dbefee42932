#include "column/TColFilter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "column/TCol.h"
#include "platform/Bytes.h"
#include "platform/SjisText.h"

namespace tabulon {

namespace {

// Weekdays (bit 1 Sunday .. bit 7 Saturday) that pass a weekday filter; -1 passes all, an
// unknown filter none.
uint8_t WeekdayMask(int32_t filter) {
  constexpr auto bit = [](int day) { return static_cast<uint8_t>(1u << day); };
  if (filter == kWeekdaysAll) return 0xFE;
  if (filter >= kWeekdaySunday && filter <= kWeekdaySaturday) return bit(filter + 1);
  switch (filter) {
    case kWeekdaysSatSun:
      return bit(1) | bit(7);
    case kWeekdaysMonFri:
      return bit(2) | bit(3) | bit(4) | bit(5) | bit(6);
    case kWeekdaysMonThu:
      return bit(2) | bit(3) | bit(4) | bit(5);
    default:
      return 0;
  }
}

// A time-of-day bound (a fraction of a day) in whole milliseconds, held within the day.
int32_t TimeBoundMs(double fraction) {
  const double ms = std::nearbyint(fraction * 86400000.0);
  if (!(ms > 0)) return 0;  // NaN too
  if (ms >= 86399999.0) return 86399999;
  return static_cast<int32_t>(ms);
}

constexpr uint64_t kCaseBits = 0x2020202020202020ull;  // bit 5 of every byte: a-z against A-Z

// The first and the last eight bytes of a text of n bytes at p, each byte with bit 5 set, so
// that an ASCII text and its folding give the same words (n < 8: the n bytes, then zeros, and
// *last 0). REQUIRES: eight bytes readable at p.
void CaseFoldedEnds(const char* p, size_t n, uint64_t* first, uint64_t* last) {
  std::memcpy(first, p, 8);
  *last = 0;
  if (n >= 8) {
    std::memcpy(last, p + n - 8, 8);
    *first |= kCaseBits;
    *last |= kCaseBits;
  } else {
    *first = (*first | kCaseBits) & (n == 0 ? 0 : ~uint64_t{0} >> (64 - 8 * n));
  }
}

}  // namespace

// ---------------------------------------------------------------- preparing

void TColFilter::Prepare(const TCol& c) {
  keyCategories_.clear();
  keyWeekdays_.clear();
  selectedSlots_.clear();
  selectedKeys_.clear();
  selectedBits_.clear();
  PrepareRange(c);
  if (c.FValueType == vtStr && c.FFiltered) PrepareSelectedTexts(c.FSelected);
  if (c.FStorage != csLon) PrepareKeyCategories(c);
}

void TColFilter::PrepareRange(const TCol& c) {
  filtered_ = c.FFiltered;
  lower_ = c.FLower;
  upper_ = c.FUpper;
  dateUnit_ = c.FDateUnit;
  dateOrigin_ = c.DateOrigin();
  weekdayMask_ = WeekdayMask(c.FWeekdayFilter);
  timeLowMs_ = TimeBoundMs(c.FTimeLower);
  timeHighMs_ = TimeBoundMs(c.FTimeUpper);
  timeWindow_ = timeLowMs_ > 0 || timeHighMs_ < 86399999;
  scale_ = c.FValueType == vtCur ? static_cast<double>(kCurScale) : 1.0;
  // Per-row numeric columns have no distinct-value labels, so they always form buckets.
  formsBuckets_ = c.FStorage == csLon || c.FCount != c.FDivisions;
  buckets_ = std::max(c.FDivisions, 1);
  rangeLow_ = c.FFiltered ? c.FLower : c.FMin;
  rangeHigh_ = c.FFiltered ? c.FUpper : c.FMax;
  scaledLow_ = rangeLow_ * scale_;
  scaledHigh_ = rangeHigh_ * scale_;
}

void TColFilter::PrepareSelectedTexts(const std::vector<std::string>& selected) {
  size_t slots = 16;
  while (slots < selected.size() * 4) slots *= 2;
  selectedSlots_.assign(slots, SelectedSlot());
  for (size_t i = 0; i < selected.size(); ++i) {
    std::string key = FoldKey(selected[i]);
    const uint64_t hash = HashBytes(key);
    size_t at = hash & (slots - 1);
    for (; selectedSlots_[at].position >= 0; at = (at + 1) & (slots - 1))
      if (selectedSlots_[at].hash == hash && selectedKeys_[selectedSlots_[at].key] == key) break;
    if (selectedSlots_[at].position >= 0) continue;  // an earlier entry folds alike
    selectedSlots_[at] = {hash, static_cast<int32_t>(i),
                          static_cast<int32_t>(selectedKeys_.size())};
    selectedKeys_.push_back(std::move(key));
  }
  selectedBits_.assign(slots / 2, 0);  // 32 bits per slot, 128 or more per key
  selectedShift_ = 64;
  for (size_t bits = selectedBits_.size() * 64; bits > 1; bits /= 2) --selectedShift_;
  for (const std::string& key : selectedKeys_) {
    const size_t bit = SelectedBit(key);
    selectedBits_[bit / 64] |= uint64_t{1} << (bit % 64);
  }
}

// The category of every distinct key, so that a row costs one look-up.
void TColFilter::PrepareKeyCategories(const TCol& c) {
  switch (c.FValueType) {
    case vtInt:
      PrepareNumericKeys(c.FIntValues, kIntNull);
      break;
    case vtCur:
      PrepareNumericKeys(c.FCurValues, kCurNull);
      break;
    case vtDat:
      PrepareDateKeys(c.FDateValues);
      break;
    case vtStr:
      PrepareTextKeys(c.FValues);
      break;
  }
}

template <typename Values, typename T>
void TColFilter::PrepareNumericKeys(const Values& values, T null) {
  keyCategories_.resize(values.size());
  for (size_t k = 0; k < values.size(); ++k)
    keyCategories_[k] =
        NumericCategory(static_cast<double>(values[k]), values[k] == null, static_cast<int32_t>(k));
}

template <typename Values>
void TColFilter::PrepareDateKeys(const Values& values) {
  keyCategories_.resize(values.size());
  keyWeekdays_.resize(values.size());
  for (size_t k = 0; k < values.size(); ++k) {
    keyWeekdays_[k] = static_cast<uint8_t>(DayOfWeek(values[k]));
    keyCategories_[k] = DateCategory(values[k], keyWeekdays_[k]);
  }
}

void TColFilter::PrepareTextKeys(const std::vector<std::string>& values) {
  keyCategories_.resize(values.size());
  for (size_t k = 0; k < values.size(); ++k) {
    if (!filtered_) {
      keyCategories_[k] = static_cast<int32_t>(k);
    } else {
      const int32_t position = SelectedPosition(values[k]);
      keyCategories_[k] = position >= 0 ? position : kRejected;
    }
  }
}

// ---------------------------------------------------------------- selected texts

size_t TColFilter::SelectedBit(std::string_view key) const {
  const size_t n = key.size();
  uint64_t first, last;
  if (n >= 8) {
    CaseFoldedEnds(key.data(), n, &first, &last);
  } else {
    char padded[8] = {};
    std::memcpy(padded, key.data(), n);
    CaseFoldedEnds(padded, n, &first, &last);
  }
  return SelectedBitOf(first, last, n, selectedShift_);
}

size_t TColFilter::SelectedBitOf(uint64_t first, uint64_t last, size_t n, int shift) {
  // The length and the first and last eight bytes, mixed by one multiplication, whose top bits
  // are the bit's number: cheaper than the slots' hash, and a collision only costs a probe.
  const uint64_t mixed = (first ^ (last >> 29 | last << 35)) + n;
  return static_cast<size_t>((mixed * 0x9E3779B97F4A7C15ull) >> shift);
}

int32_t TColFilter::SelectedPosition(std::string_view text) {
  if (selectedSlots_.empty()) return -1;
  // A short ASCII text (a code, mostly) folds on the stack; others through the tables.
  char shortKey[32];
  std::string_view key;
  if (text.size() <= sizeof shortKey && FoldAsciiInto(text, shortKey)) {
    key = std::string_view(shortKey, text.size());
  } else {
    foldScratch_.clear();
    AppendFoldKey(text, &foldScratch_);
    key = foldScratch_;
  }
  const size_t bit = SelectedBit(key);
  if ((selectedBits_[bit / 64] >> (bit % 64) & 1) == 0) return -1;  // most rows end here
  const uint64_t hash = HashBytes(key);
  const size_t mask = selectedSlots_.size() - 1;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    const SelectedSlot& slot = selectedSlots_[at];
    if (slot.position < 0) return -1;
    if (slot.hash == hash && selectedKeys_[static_cast<size_t>(slot.key)] == key)
      return slot.position;
  }
}

int TColFilter::SkipUnselectedLines(std::string_view bytes, size_t* at, int want,
                                    int32_t* keys) const {
  // Without the fast block test, the caller's line-by-line test is as quick.
  if (!kFastMask16 || selectedBits_.empty()) return 0;
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  int done = 0;
  const char* const p = bytes.data();
  const size_t size = bytes.size();
  const uint64_t* const bits = selectedBits_.data();
  const int shift = selectedShift_;
  size_t start = *at;  // where the next line begins
  // The line ends are found sixteen bytes at a time, apart from the test of each line, so that
  // one line's test does not wait for the search of its end; up to 24 bytes before the end, so
  // that the eight bytes at a line's start lie within bytes.
  for (size_t scan = start; done < want && scan + 24 <= size; scan += 16) {
    uint32_t ends = EqualMask16(p + scan, '\n');
    for (; ends != 0 && done < want; ends &= ends - 1) {
      const size_t lf = scan + static_cast<size_t>(std::countr_zero(ends));
      // The text's length when a CR comes before the LF; an LF at the start wraps around.
      const size_t n = lf - start - 1;
      if (n > 16 || p[lf - 1] != '\r') goto general;
      // The first and the last eight bytes hold the whole text (its first n, when shorter),
      // taken as SelectedBit takes them: an ASCII text needs no folding then.
      uint64_t first, last;
      CaseFoldedEnds(p + start, n, &first, &last);
      if (((first | last) & kHigh) != 0) goto general;
      const size_t bit = SelectedBitOf(first, last, n, shift);
      if ((bits[bit / 64] >> (bit % 64) & 1) != 0) goto general;
      keys[done++] = kRejected;
      start = lf + 1;
    }
  }
general:
  *at = start;
  return done;
}

}  // namespace tabulon
