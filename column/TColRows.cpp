// The row cursor of a column (ReadRow and its readers, one per kind of column), its item lists
// and its dates; the tests themselves are TColFilter's.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "column/TCol.h"
#include "column/TColFiles.h"
#include "platform/LocaleFormats.h"

namespace tabulon {

namespace {

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
  rowTexts_.Rewind();  // Load has just opened the text i.Dat at its first line
  FText.clear();
  filter_.Prepare(*this);
  ChooseReader();
}

void TCol::ChooseReader() {
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
        reader_ = FFiltered || FRole == kRoleValue ? &TCol::ReadLonText : &TCol::ReadNothing;
        break;
    }
    return;
  }
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
  // The very arithmetic of TColFilter::NumericCategory with scale 1.
  if (v == high) return buckets - 1;
  if (high > low) return TColFilter::ClampBucket((v - low) * buckets / (high - low) / 1.0, buckets);
  return 0;
}

// ---------------------------------------------------------------- reading rows

bool TCol::ReadRow(int32_t row) {
  FKey = row;
  if (FRole == kRoleNone && !FFiltered) return true;
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
    FDayOfWeek = filter_.KeyWeekdays()[k];
  } else {
    FText = FValues[k];
  }
  FKey = filter_.KeyCategories()[k];
  return FKey != kRejected;
}

bool TCol::ReadLonInt(int32_t row) {
  FIntValue = FIntValues[static_cast<size_t>(row)];
  FKey = filter_.NumericCategory(FIntValue, FIntValue == kIntNull, row);
  return FKey != kRejected;
}

bool TCol::ReadLonCur(int32_t row) {
  FCurValue = FCurValues[static_cast<size_t>(row)];
  FKey = filter_.NumericCategory(static_cast<double>(FCurValue), FCurValue == kCurNull, row);
  return FKey != kRejected;
}

bool TCol::ReadLonDate(int32_t row) {
  FDateValue = FDateValues[static_cast<size_t>(row)];
  FDayOfWeek = DayOfWeek(FDateValue);
  FKey = filter_.DateCategory(FDateValue, FDayOfWeek);
  return FKey != kRejected;
}

bool TCol::ReadLonText(int32_t row) {
  rowTexts_.ReadLine(row, &FText);
  if (!FFiltered) return true;
  const int32_t position = filter_.SelectedPosition(FText);
  FKey = position >= 0 ? position : kRejected;
  return position >= 0;
}

int32_t TCol::TextKey(std::string_view text, int32_t row) {
  if (!FFiltered) return row;
  const int32_t position = filter_.SelectedPosition(text);
  return position >= 0 ? position : kRejected;
}

void TCol::ReadTextKeys(int32_t first, int n, int32_t* keys) {
  if (n <= 0) return;
  rowTexts_.ReadLine(first, &FText);  // the reader's position and its checks, as for one row
  keys[0] = TextKey(FText, first);
  if (n == 1) return;
  // Most rows of a selection hold a short code that is not selected: told from the line's bytes
  // where they lie, many lines at a time. Each other line is cut out and tested whole, and so is
  // the last, for FText.
  for (int i = 1; i < n - 1;) {
    if (FFiltered) {
      size_t at = rowTexts_.NextOffset();
      const int skipped = filter_.SkipUnselectedLines(rowTexts_.Bytes(), &at, n - 1 - i, keys + i);
      rowTexts_.Skip(skipped, at);
      i += skipped;
      if (i == n - 1) break;
    }
    keys[i] = TextKey(rowTexts_.NextLine(), first + i);
    ++i;
  }
  const std::string_view last = rowTexts_.NextLine();
  keys[n - 1] = TextKey(last, first + n - 1);
  FText.assign(last);
}

void TCol::VisitRowTextsContaining(std::string_view bytes,
                                   const std::function<bool(std::string_view)>& visit) {
  rowTexts_.VisitContaining(bytes, visit);
}

uint64_t TCol::RowTextsVersion() {
  return rowTexts_.Version();
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
    LoadDistinctNumbers(*this);
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

// ---------------------------------------------------------------- dates

int32_t TCol::DateKey(double value) const {
  if (IsDateNull(value)) return -1;
  return tabulon::DateKey(value, DateOrigin(), FDateUnit);
}

double TCol::DateOrigin() const {
  return IsTimeOfDayUnit(FDateUnit) && HasDates() ? 0.0 : FLower;
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
  const Records<double> values = ReadDateTimes(*this);
  timesSought_ = true;
  timesBetween_ = std::any_of(values.begin(), values.end(),
                              [](double v) { return !IsDateNull(v) && v - std::trunc(v) != 0; });
}

}  // namespace tabulon
