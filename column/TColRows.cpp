// Row access: category keys, filter tests and item lists of a column.
#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "column/TCol.h"
#include "platform/Bytes.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/LineReader.h"
#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"

namespace tabulon {

namespace {

// Truncates a bucket position toward zero and clamps it into 0 .. buckets - 1: the extremes
// read back from the descriptor may lie a little inside the true ones, and no value may fall
// outside the range labels. NaN lands in bucket 0.
int32_t ClampBucket(double position, int32_t buckets) {
  if (!(position >= 1)) return 0;
  if (position >= buckets) return buckets - 1;
  return static_cast<int32_t>(position);
}

// Weekdays (bit 1 Sunday .. bit 7 Saturday) that pass a weekday filter; -1 passes all, an
// unknown filter none.
uint8_t WeekdayMask(int32_t filter) {
  constexpr auto bit = [](int day) { return static_cast<uint8_t>(1u << day); };
  if (filter == -1) return 0xFE;
  if (filter >= 0 && filter <= 6) return bit(filter + 1);
  switch (filter) {
    case 7:
      return bit(1) | bit(7);
    case 8:
      return bit(2) | bit(3) | bit(4) | bit(5) | bit(6);
    case 9:
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

bool IsDateNull(double value) {
  return !(value < DateNull());
}

// The decimal text of the integer part of value ("-0" never appears).
std::string IntegerPartText(double value) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.0f", std::trunc(value) + 0.0);
  return buf;
}

// A currency amount as its scaled form, rounded and held within the currency range.
int64_t ToScaled(double value) {
  const double scaled = std::round(value * kCurScale);
  if (!(scaled > -9.2233720368547758e18)) return kCurNull;
  if (scaled >= 9.2233720368547758e18) return INT64_MAX;
  return static_cast<int64_t>(scaled);
}

}  // namespace

// ---------------------------------------------------------------- preparing a walk

void TCol::PrepareRows() {
  nextLine_ = 0;  // Load has just opened the text i.Dat at its first line
  FText.clear();
  keyCategories_.clear();
  keyWeekdays_.clear();
  selectedSlots_.clear();
  selectedKeys_.clear();
  selectedBits_.clear();

  weekdayMask_ = WeekdayMask(FWeekdayFilter);
  timeLowMs_ = TimeBoundMs(FTimeLower);
  timeHighMs_ = TimeBoundMs(FTimeUpper);
  timeWindow_ = timeLowMs_ > 0 || timeHighMs_ < 86399999;
  scale_ = FValueType == vtCur ? static_cast<double>(kCurScale) : 1.0;
  // Per-row numeric columns have no distinct-value labels, so they always form buckets.
  formsBuckets_ = FStorage == csLon || FCount != FDivisions;
  buckets_ = std::max(FDivisions, 1);
  rangeLow_ = FFiltered ? FLower : FMin;
  rangeHigh_ = FFiltered ? FUpper : FMax;
  scaledLow_ = rangeLow_ * scale_;
  scaledHigh_ = rangeHigh_ * scale_;

  if (FValueType == vtStr && FFiltered) {
    size_t slots = 16;
    while (slots < FSelected.size() * 4) slots *= 2;
    selectedSlots_.assign(slots, SelectedSlot());
    for (size_t i = 0; i < FSelected.size(); ++i) {
      std::string key = FoldKey(FSelected[i]);
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

  if (FStorage == csLon) {
    switch (FValueType) {
      case vtInt:
        reader_ = &TCol::ReadLonInt;
        break;
      case vtCur:
        reader_ = &TCol::ReadLonCur;
        break;
      case vtDat:
        reader_ = &TCol::ReadLonDate;
        break;
      case vtStr:
        reader_ = FFiltered || FRole == 2 ? &TCol::ReadLonText : &TCol::ReadNothing;
        break;
    }
    return;
  }

  // 1) The category of every distinct key, so that a row costs one look-up.
  switch (FValueType) {
    case vtInt:
      keyCategories_.resize(FIntValues.size());
      for (size_t k = 0; k < FIntValues.size(); ++k)
        keyCategories_[k] =
            NumericCategory(FIntValues[k], FIntValues[k] == kIntNull, static_cast<int32_t>(k));
      break;
    case vtCur:
      keyCategories_.resize(FCurValues.size());
      for (size_t k = 0; k < FCurValues.size(); ++k)
        keyCategories_[k] = NumericCategory(static_cast<double>(FCurValues[k]),
                                            FCurValues[k] == kCurNull, static_cast<int32_t>(k));
      break;
    case vtDat:
      keyCategories_.resize(FDateValues.size());
      keyWeekdays_.resize(FDateValues.size());
      for (size_t k = 0; k < FDateValues.size(); ++k) {
        keyWeekdays_[k] = static_cast<uint8_t>(DayOfWeek(FDateValues[k]));
        keyCategories_[k] = DateCategory(FDateValues[k], keyWeekdays_[k]);
      }
      break;
    case vtStr:
      keyCategories_.resize(FValues.size());
      for (size_t k = 0; k < FValues.size(); ++k) {
        if (!FFiltered) {
          keyCategories_[k] = static_cast<int32_t>(k);
        } else {
          const int32_t position = SelectedPosition(FValues[k]);
          keyCategories_[k] = position >= 0 ? position : kRejected;
        }
      }
      break;
  }

  // 2) The reader for the key width and type.
  const bool bytes = FStorage == csByt;
  switch (FValueType) {
    case vtInt:
      reader_ = bytes ? &TCol::ReadKeyed<uint8_t, vtInt> : &TCol::ReadKeyed<uint16_t, vtInt>;
      break;
    case vtCur:
      reader_ = bytes ? &TCol::ReadKeyed<uint8_t, vtCur> : &TCol::ReadKeyed<uint16_t, vtCur>;
      break;
    case vtDat:
      reader_ = bytes ? &TCol::ReadKeyed<uint8_t, vtDat> : &TCol::ReadKeyed<uint16_t, vtDat>;
      break;
    case vtStr:
      reader_ = bytes ? &TCol::ReadKeyed<uint8_t, vtStr> : &TCol::ReadKeyed<uint16_t, vtStr>;
      break;
  }
}

int32_t TCol::IntBucket(double v, double low, double high, int32_t buckets) {
  buckets = std::max(buckets, 1);
  // The very arithmetic of NumericCategory with scale 1.
  if (v == high) return buckets - 1;
  if (high > low) return ClampBucket((v - low) * buckets / (high - low) / 1.0, buckets);
  return 0;
}

int32_t TCol::NumericCategory(double value, bool isNull, int32_t key) const {
  if (formsBuckets_) {
    if (isNull && !FFiltered) return -1;
    if (value == scaledHigh_)
      key = buckets_ - 1;
    else if (rangeHigh_ > rangeLow_)
      key = ClampBucket((value - scaledLow_) * buckets_ / (rangeHigh_ - rangeLow_) / scale_,
                        buckets_);
    else
      key = 0;
  }
  if (FFiltered && !(scaledLow_ <= value && value <= scaledHigh_)) return kRejected;
  return key;
}

int32_t TCol::DateCategory(double value, int dayOfWeek) const {
  if (FFiltered) {
    if (value < FLower || value > FUpper) return kRejected;
    if ((weekdayMask_ & (1u << dayOfWeek)) == 0) return kRejected;
    if (timeWindow_) {
      const int32_t ms = TimeOfDayMs(value);
      if (ms < timeLowMs_ || ms > timeHighMs_) return kRejected;
    }
  }
  return DateKey(value);
}

namespace {
constexpr uint64_t kCaseBits = 0x2020202020202020ull;  // bit 5 of every byte: a-z against A-Z
}  // namespace

size_t TCol::SelectedBit(std::string_view key) const {
  const size_t n = key.size();
  uint64_t first = 0, last = 0;
  if (n >= 8) {
    std::memcpy(&first, key.data(), 8);
    std::memcpy(&last, key.data() + n - 8, 8);
    first |= kCaseBits;
    last |= kCaseBits;
  } else {
    for (size_t i = 0; i < n; ++i)
      first |= uint64_t{static_cast<unsigned char>(key[i]) | 0x20u} << (8 * i);
  }
  return SelectedBitOf(first, last, n, selectedShift_);
}

size_t TCol::SelectedBitOf(uint64_t first, uint64_t last, size_t n, int shift) {
  // The length and the first and last eight bytes, mixed by one multiplication, whose top bits
  // are the bit's number: cheaper than the slots' hash, and a collision only costs a probe.
  const uint64_t mixed = (first ^ (last >> 29 | last << 35)) + n;
  return static_cast<size_t>((mixed * 0x9E3779B97F4A7C15ull) >> shift);
}

int32_t TCol::SelectedPosition(std::string_view text) {
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

// ---------------------------------------------------------------- reading rows

bool TCol::ReadRow(int32_t row) {
  FKey = row;
  if (FRole == 3 && !FFiltered) return true;
  return (this->*reader_)(row);
}

bool TCol::ReadNothing(int32_t) {
  return true;
}

template <typename K, TValueType T>
bool TCol::ReadKeyed(int32_t row) {
  size_t k;
  if constexpr (sizeof(K) == 1)
    k = FByteKeys[static_cast<size_t>(row)];
  else
    k = FWordKeys[static_cast<size_t>(row)];
  if constexpr (T == vtInt) {
    FIntValue = FIntValues[k];
  } else if constexpr (T == vtCur) {
    FCurValue = FCurValues[k];
  } else if constexpr (T == vtDat) {
    FDateValue = FDateValues[k];
    FDayOfWeek = keyWeekdays_[k];
  } else {
    FText = FValues[k];
  }
  FKey = keyCategories_[k];
  return FKey != kRejected;
}

bool TCol::ReadLonInt(int32_t row) {
  FIntValue = FIntValues[static_cast<size_t>(row)];
  FKey = NumericCategory(FIntValue, FIntValue == kIntNull, row);
  return FKey != kRejected;
}

bool TCol::ReadLonCur(int32_t row) {
  FCurValue = FCurValues[static_cast<size_t>(row)];
  FKey = NumericCategory(static_cast<double>(FCurValue), FCurValue == kCurNull, row);
  return FKey != kRejected;
}

bool TCol::ReadLonDate(int32_t row) {
  FDateValue = FDateValues[static_cast<size_t>(row)];
  FDayOfWeek = DayOfWeek(FDateValue);
  FKey = DateCategory(FDateValue, FDayOfWeek);
  return FKey != kRejected;
}

bool TCol::ReadLonText(int32_t row) {
  ReadTextLine(row);
  if (!FFiltered) return true;
  const int32_t position = SelectedPosition(FText);
  FKey = position >= 0 ? position : kRejected;
  return position >= 0;
}

namespace {

// The line of a store text file that begins at offset `from` of bytes: up to the CR LF that ends
// it (a lone CR or LF belongs to the line) or the end of the bytes. *next := where the following
// line begins. REQUIRES: from < bytes.size().
std::string_view LineAt(std::string_view bytes, size_t from, size_t* next) {
  size_t at = from;
  // A short line (a code, mostly) ends within the next sixteen bytes: found there without a call.
  if (kFastMask16 && from + 16 <= bytes.size()) {
    const uint32_t lfs = EqualMask16(bytes.data() + from, '\n');
    if (lfs != 0) {
      at = from + static_cast<size_t>(std::countr_zero(lfs));
      if (at > from && bytes[at - 1] == '\r') {
        *next = at + 1;
        return bytes.substr(from, at - 1 - from);
      }
      at = from;  // a lone LF first: the general search below
    }
  }
  for (;;) {
    const char* hit = FindByte(bytes.data() + at, bytes.size() - at, '\n');
    if (hit == nullptr) {
      *next = bytes.size();
      return bytes.substr(from);
    }
    at = static_cast<size_t>(hit - bytes.data());
    if (at > from && bytes[at - 1] == '\r') {
      *next = at + 1;
      return bytes.substr(from, at - 1 - from);
    }
    ++at;
  }
}

// Where needle (not empty) first occurs in bytes at or after from, or npos. Sixteen starts at a
// time are tested for the needle's first, middle and last byte, and only the starts with all
// three are compared whole: in a column of codes most bytes may equal a digit pattern's first
// byte, but few triples at the needle's places do, so this runs several times faster than
// FindBytes there.
size_t FindBytes(std::string_view bytes, size_t from, std::string_view needle) {
  const char* const p = bytes.data();
  const size_t n = needle.size();
  size_t at = from;
  if (kFastMask16 && n >= 2) {
    // The needle's first, middle and last byte: for a needle of three, the whole of it.
    const size_t mid = n / 2;
    for (; at + n + 15 <= bytes.size(); at += 16) {
      uint32_t mask = EqualMask16(p + at, needle[0]) & EqualMask16(p + at + mid, needle[mid]) &
                      EqualMask16(p + at + n - 1, needle[n - 1]);
      for (; mask != 0; mask &= mask - 1) {
        const size_t start = at + static_cast<size_t>(std::countr_zero(mask));
        if (std::memcmp(p + start + 1, needle.data() + 1, n - 2) == 0) return start;
      }
    }
  }
  // The rest, and every start without the block test.
  const char* hit = tabulon::FindBytes(p + at, bytes.size() - at, needle.data(), n);
  return hit == nullptr ? std::string_view::npos : static_cast<size_t>(hit - p);
}

// Where the line that holds offset `at` begins, when a line begins at `from` <= at.
size_t LineStartOf(std::string_view bytes, size_t from, size_t at) {
  while (at > from) {
    const char* hit = FindLastByte(bytes.data() + from, at - from, '\n');
    if (hit == nullptr) return from;
    const size_t lf = static_cast<size_t>(hit - bytes.data());
    if (lf > from && bytes[lf - 1] == '\r') return lf + 1;
    at = lf;
  }
  return from;
}

}  // namespace

void TCol::ReadRowTexts() {
  // The number of the last read of any column's text.
  static std::atomic<uint64_t> lastVersion{0};
  const FileStamp stamp = StampOf(DatPath());
  if (stamp.size >= 0 && stamp == datStamp_) return;
  datStamp_ = FileStamp();
  rowTextsVersion_ = 0;
  rowTexts_.Read(DatPath());
  datStamp_ = stamp;
  rowTextsVersion_ = ++lastVersion;
}

uint64_t TCol::RowTextsVersion() {
  ReadRowTexts();
  return rowTextsVersion_;
}

void TCol::ReadTextLine(int32_t row) {
  // Rows come in increasing order; a row asked again keeps its text, and an earlier row (outside
  // a walk's contract) starts the file over rather than give another row's text.
  if (nextLine_ > 0 && row == nextLine_ - 1) return;
  if (nextLine_ == 0 || row < nextLine_) {
    ReadRowTexts();
    nextLine_ = 0;
    nextOffset_ = 0;
  }
  std::string_view line;
  while (nextLine_ <= row) {
    if (nextOffset_ >= rowTexts_.Size())
      throw IoError(DatPath(), TFileAction::kRead, TooShortReason());
    line = LineAt(rowTexts_.View(), nextOffset_, &nextOffset_);
    ++nextLine_;
  }
  FText.assign(line);
}

int TCol::SkipUnselectedLines(std::string_view bytes, size_t* at, int want, int32_t* keys) const {
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
      // taken with bit 5 set as SelectedBit takes them: an ASCII text needs no folding then.
      uint64_t first, last = 0;
      std::memcpy(&first, p + start, 8);
      if (n >= 8) {
        std::memcpy(&last, p + start + n - 8, 8);
        first |= kCaseBits;
        last |= kCaseBits;
      } else {
        first = (first | kCaseBits) & (n == 0 ? 0 : ~uint64_t{0} >> (64 - 8 * n));
      }
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

void TCol::ReadTextKeys(int32_t first, int n, int32_t* keys) {
  if (n <= 0) return;
  const auto keyOf = [this](std::string_view text, int32_t row) {
    if (!FFiltered) return row;
    const int32_t position = SelectedPosition(text);
    return position >= 0 ? position : kRejected;
  };
  ReadTextLine(first);  // the reader's position and its checks, as for one row
  keys[0] = keyOf(FText, first);
  if (n == 1) return;
  const std::string_view all = rowTexts_.View();
  // Most rows of a selection hold a short code that is not selected: told from the line's bytes
  // where they lie, many lines at a time. Each other line is cut out and tested whole, and so is
  // the last, for FText.
  for (int i = 1; i < n - 1;) {
    if (FFiltered) {
      const int skipped = SkipUnselectedLines(all, &nextOffset_, n - 1 - i, keys + i);
      i += skipped;
      nextLine_ += skipped;
      if (i == n - 1) break;
    }
    if (nextOffset_ >= all.size()) throw IoError(DatPath(), TFileAction::kRead, TooShortReason());
    keys[i] = keyOf(LineAt(all, nextOffset_, &nextOffset_), first + i);
    ++nextLine_;
    ++i;
  }
  if (nextOffset_ >= all.size()) throw IoError(DatPath(), TFileAction::kRead, TooShortReason());
  const std::string_view last = LineAt(all, nextOffset_, &nextOffset_);
  ++nextLine_;
  keys[n - 1] = keyOf(last, first + n - 1);
  FText.assign(last);
}

void TCol::VisitRowTextsContaining(std::string_view bytes,
                                   const std::function<bool(std::string_view)>& visit) {
  ReadRowTexts();
  nextLine_ = 0;  // a walk reading rows starts over
  const std::string_view all = rowTexts_.View();
  size_t from = 0;  // a line begins here
  while (from < all.size()) {
    size_t next;
    if (bytes.empty()) {
      if (!visit(LineAt(all, from, &next))) return;
      from = next;
      continue;
    }
    const size_t hit = FindBytes(all, from, bytes);
    if (hit == std::string_view::npos) return;
    // The line the hit begins in; a hit across a line end is offered too and fails the visit's
    // own test.
    const size_t start = LineStartOf(all, from, hit);
    if (!visit(LineAt(all, start, &next))) return;
    from = next;
  }
}

// ---------------------------------------------------------------- item lists

void TCol::SetSelected(const std::vector<std::string>& list) {
  FSelected = list;
  FFiltered = !FSelected.empty();
}

std::string TCol::GetItems() {
  // Only numeric key-stored columns have labels of their own; other columns leave an empty list
  // empty, so that no blank labels pass for a selection later.
  if (FSelected.empty() && (FValueType == vtInt || FValueType == vtCur) && FStorage != csLon) {
    Load();
    ReadDistinctValues();
    size_t width;
    if (FValueType == vtInt)
      width = std::max(IntegerPartText(FUpper).size(), IntegerPartText(FLower).size());
    else
      width = std::max(CurToText(ToScaled(FUpper)).size(), CurToText(ToScaled(FLower)).size());
    for (int32_t k = 0; k < FCount; ++k) {
      std::string label = FValueType == vtInt ? IntToText(FIntValues[static_cast<size_t>(k)])
                                              : CurToText(FCurValues[static_cast<size_t>(k)]);
      if (label.size() < width) label.insert(0, width - label.size(), ' ');
      FSelected.push_back(std::move(label));
    }
  }
  std::string text;
  for (const std::string& item : FSelected) {
    text += item;
    text += "\r\n";
  }
  return text;
}

void TCol::ReadDistinctValues() {
  // Load reads nothing for a column without role and filter; its labels still need the values.
  const size_t count = static_cast<size_t>(std::max(FCount, 0));
  if (FValueType == vtInt && FIntValues.size() != count)
    ReadRecords(IndPath(), FCount, &FIntValues);
  else if (FValueType == vtCur && FCurValues.size() != count)
    ReadRecords(IndPath(), FCount, &FCurValues);
}

// ---------------------------------------------------------------- dates

int32_t TCol::DateKey(double value) const {
  if (IsDateNull(value)) return -1;
  if (FDateUnit >= 4 && FDateUnit <= 6 && HasDates())
    return tabulon::DateKey(value, 0.0, FDateUnit);
  return tabulon::DateKey(value, FLower, FDateUnit);
}

std::string TCol::DateLabel(double value) const {
  return tabulon::DateLabel(value, FDateUnit);
}

bool TCol::HasDates() const {
  return std::trunc(FMin) != 0 || std::trunc(FMax) != 0;
}

bool TCol::HasTimes() const {
  return FMin - std::trunc(FMin) != 0 || FMax - std::trunc(FMax) != 0 || timesBetween_;
}

void TCol::FindTimesBetween() {
  // Also without dates: a column of 0:00:00.001 has the extremes 0 and 0 (whole seconds).
  if (timesSought_ || FValueType != vtDat || HasTimes()) return;
  Records<double> values;
  if (FStorage == csLon)
    ReadRecords(DatPath(), FRows, &values);
  else
    ReadRecords(IndPath(), FCount, &values);
  timesSought_ = true;
  timesBetween_ = std::any_of(values.begin(), values.end(),
                              [](double v) { return !IsDateNull(v) && v - std::trunc(v) != 0; });
}

}  // namespace tabulon
