#include "mainlogic/RangePanel.h"

#include <algorithm>
#include <cmath>

#include "column/Descriptor.h"
#include "column/TCol.h"
#include "engine/Workspace.h"
#include "mainlogic/FilterValues.h"
#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

constexpr int kDivisionCandidates[] = {
    2,    3,    4,    5,    6,    7,    8,    9,     10,    20,    30,    40,    50,   60,
    70,   80,   90,   100,  200,  300,  400,  500,   600,   700,   800,   900,   1000, 2000,
    3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000, 30000, 40000, 50000, 60000};
constexpr int kMaxOffered = 2000;  // a count of this or more is never offered

bool IsNumeric(const TCol& col) {
  return col.FValueType == vtInt || col.FValueType == vtCur;
}

// A column of an empty or header-only file, or of blanks only, has no values: its extremes are
// the import's starting values, the minimum above the maximum.
bool HasValues(const TCol& col) {
  return col.FMin <= col.FMax;
}

// A pixel count, computed in floating point, held within [lo, hi] before it becomes an int.
int ClampPixels(double px, int lo, int hi) {
  if (!(px >= lo)) return lo;  // NaN too
  if (px > hi) return hi;
  return static_cast<int>(px);
}

// The text of col's division count in force: the count in decimal, or "全て" when every
// distinct value is its own category.
std::string DivisionText(const TCol& col) {
  return col.FDivisions != col.FCount && col.FDivisions != 0 ? filters::DecimalText(col.FDivisions)
                                                             : Sjis("全て");
}

// The entry of choices whose text is col's division count in force, -1 when none is.
int EntryInForce(const std::vector<std::string>& choices, const TCol& col) {
  const auto it = std::find(choices.begin(), choices.end(), DivisionText(col));
  return it == choices.end() ? -1 : static_cast<int>(it - choices.begin());
}

// The label of a bound: on "Int" the smallest (lower) or largest (upper) whole number that passes
// it; on "Cur" the bound itself.
std::string BoundText(const TCol& col, double bound, bool upper) {
  if (col.FValueType == vtInt)
    return filters::DecimalText(static_cast<int64_t>(upper ? std::floor(bound) : std::ceil(bound)));
  return FormatFloat(bound);
}

}  // namespace

void TRangePanel::Refresh(TCol& col, const TColumnSection& section) {
  state_.caption = col.FName;
  col.FMin = section.min;
  col.FMax = section.max;
  state_.label3.text = HasValues(col) ? FormatFloat(col.FMin) : std::string();
  state_.label3.width = context_.LabelWidth(state_.label3.text);
  state_.label3.left = TRangePanelState::kBarLeft;
  state_.label4.text = HasValues(col) ? FormatFloat(col.FMax) : std::string();
  state_.label4.width = context_.LabelWidth(state_.label4.text);
  state_.label4.left = TRangePanelState::kBarLeft + state_.W - state_.label4.width;

  // Bounds at the extremes before the division choices are built from them, so the first
  // refresh offers the same choices as every later one.
  if (!col.FFiltered) {
    col.FLower = col.FMin;
    col.FUpper = col.FMax;
  }
  FillDivisionChoices();
  SelectDivision(EntryInForce(state_.divisions, col));

  if (col.FMax == col.FMin) {
    state_.visible = false;
    for (bool& visible : context_.Workspace().roleVisible) visible = false;
    return;
  }
  state_.visible = true;
  int64_t lower = 0, upper = 0;
  if (col.FFiltered && filters::TryScale(col.FLower, &lower) &&
      filters::TryScale(col.FUpper, &upper)) {
    SetLowerBound(lower);
    SetUpperBound(upper);
  } else {
    state_.L = 1;
    state_.R = 1;
    state_.label5 = state_.label3;
    state_.label6 = state_.label4;
  }
}

TCol* TRangePanel::NumericCurrent() {
  TCol* col = context_.Current();
  return col != nullptr && IsNumeric(*col) ? col : nullptr;
}

void TRangePanel::ShowDivisionInForce(const TCol& col) {
  state_.divisionIndex = EntryInForce(state_.divisions, col);
  state_.divisionInForce = DivisionText(col);
}

void TRangePanel::FillDivisionChoices() {
  TCol* col = NumericCurrent();
  if (col == nullptr) return;
  const bool isInt = col->FValueType == vtInt;
  double n = std::trunc(col->FUpper - col->FLower);
  if (isInt) n -= 1;
  state_.divisions.clear();
  state_.divisionIndex = -1;
  int largest = 0;  // the largest count offered
  if (col->FCount > 1 && col->FCount < kMaxOffered) state_.divisions.push_back(Sjis("全て"));
  for (int c : kDivisionCandidates) {
    if (isInt && n < c) break;
    if (c >= kMaxOffered) break;
    state_.divisions.push_back(filters::DecimalText(c));
    largest = c;
  }
  // A count in force above those now offered (a narrower range) becomes the largest offered one,
  // so that no class is empty and the choice names the count in force.
  if (col->FDivisions != col->FCount && col->FDivisions > largest && largest > 0)
    col->FDivisions = largest;
  // A refilled list still shows the count that stays in force.
  ShowDivisionInForce(*col);
}

void TRangePanel::SelectDivision(int index) {
  TCol* col = NumericCurrent();
  if (col == nullptr) return;
  const auto& d = state_.divisions;
  state_.divisionIndex = index >= 0 && index < static_cast<int>(d.size()) ? index : -1;
  const std::string text = state_.divisionIndex >= 0 ? d[static_cast<size_t>(index)] : "";
  int32_t count = 0;
  if (text != Sjis("全て") && TryStrToInt(text, &count))
    col->FDivisions = count;
  else
    col->FDivisions = col->FCount;
  ShowDivisionInForce(*col);
  context_.RetabulateIfAxis();
}

void TRangePanel::PlaceLowerLabel() {
  TLabelState& label = state_.label5;
  const int handleLeft = 1 + state_.L;
  int left = handleLeft + TRangePanelState::kBarLeft - label.width / 2;
  left = std::max(left, state_.label3.left);
  if (left + label.width > state_.label6.left) left = state_.label6.left - label.width;
  label.left = left;
}

void TRangePanel::PlaceUpperLabel() {
  TLabelState& label = state_.label6;
  const int handleLeft = state_.W - 1 - state_.R - 3;
  int left = handleLeft + TRangePanelState::kBarLeft - label.width / 2;
  left = std::min(left, state_.label4.left);
  left = std::max(left, state_.label5.left + state_.label5.width);
  label.left = left;
}

void TRangePanel::SetLowerBound(int64_t b) {
  TCol* col = NumericCurrent();
  if (col == nullptr) return;
  col->FLower = static_cast<double>(b) / 10000.0;
  // A bound outside the extremes pins the bar to its end.
  const double span = col->FMax - col->FMin;
  state_.L = span == 0 ? 1
                       : ClampPixels(std::nearbyint((static_cast<double>(b) - col->FMin * 10000.0) *
                                                    (state_.W / span) / 10000.0),
                                     1, state_.W);
  state_.label5.text = BoundText(*col, col->FLower, false);
  state_.label5.width = context_.LabelWidth(state_.label5.text);
  PlaceLowerLabel();
  context_.SetCurrentMarker("* ");
  col->FFiltered = true;
  FillDivisionChoices();
  context_.Recalculate();
}

void TRangePanel::SetUpperBound(int64_t b) {
  TCol* col = NumericCurrent();
  if (col == nullptr) return;
  col->FUpper = static_cast<double>(b) / 10000.0;
  const double span = col->FMax - col->FMin;
  state_.R =
      span == 0
          ? 1
          : state_.W - ClampPixels(std::nearbyint((static_cast<double>(b) - col->FMin * 10000.0) *
                                                  (state_.W / span) / 10000.0),
                                   0, state_.W);
  state_.label6.text = BoundText(*col, col->FUpper, true);
  state_.label6.width = context_.LabelWidth(state_.label6.text);
  PlaceUpperLabel();
  context_.SetCurrentMarker("* ");
  col->FFiltered = true;
  FillDivisionChoices();
  context_.Recalculate();
}

void TRangePanel::LowerDragged(int p) {
  TCol* col = NumericCurrent();
  if (col == nullptr || !state_.visible || !HasValues(*col)) return;
  state_.L = p;
  col->FLower = col->FMin + (col->FMax - col->FMin) / state_.W * p;
  int64_t b = 0;
  if (filters::TryScale(col->FLower, &b)) SetLowerBound(b);
}

void TRangePanel::UpperDragged(int p) {
  TCol* col = NumericCurrent();
  if (col == nullptr || !state_.visible || !HasValues(*col)) return;
  state_.R = state_.W - p;
  col->FUpper = col->FMin + (col->FMax - col->FMin) / state_.W * p;
  int64_t b = 0;
  if (filters::TryScale(col->FUpper, &b)) SetUpperBound(b);
}

void TRangePanel::LowerHandleMoved(int handleLeft) {
  LowerDragged(handleLeft - 1);
}

void TRangePanel::UpperHandleMoved(int handleLeft) {
  UpperDragged(handleLeft + 4);
}

void TRangePanel::BarClick(TMouseButton button, int x) {
  if (button == TMouseButton::kLeft)
    LowerDragged(x);
  else if (button == TMouseButton::kRight)
    UpperDragged(x);
}

void TRangePanel::LowerPartClick(int x) {
  LowerDragged(x);
}

void TRangePanel::UpperPartClick(int x) {
  UpperDragged(state_.W - (state_.R - x));
}

namespace {

// The typed text as a scaled bound, or the conversion error.
int64_t TypedBound(const std::string& typed) {
  double value = 0;
  int64_t scaled = 0;
  if (!TryParseFloat(typed, &value) || !filters::TryScale(value, &scaled))
    filters::ThrowNotFloat(typed);
  return scaled;
}

}  // namespace

void TRangePanel::TypeLowerBound(const std::string& typed) {
  if (NumericCurrent() != nullptr) SetLowerBound(TypedBound(typed));
}

void TRangePanel::TypeUpperBound(const std::string& typed) {
  if (NumericCurrent() != nullptr) SetUpperBound(TypedBound(typed));
}

void TRangePanel::Reset() {
  TCol* col = context_.Current();
  if (col == nullptr) return;
  col->FLower = col->FMin;
  col->FUpper = col->FMax;
  context_.ResetColumn(*col);
  context_.Recalculate();
}

}  // namespace tabulon
