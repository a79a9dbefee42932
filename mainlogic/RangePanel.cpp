// The numeric range bar and the division choice of "Int" and "Cur" columns.
#include <algorithm>
#include <cmath>

#include "engine/Engine.h"
#include "import/Descriptor.h"
#include "mainlogic/FilterValues.h"
#include "mainlogic/MainLogic.h"
#include "platform/IniFile.h"
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

}  // namespace

void TMainLogic::RefreshRangePanel(TCol& col) {
  range_.caption = col.FName;
  const TColumnSection section = ReadColumnSection(*descriptor_, col.FName);
  col.FMin = section.min;
  col.FMax = section.max;
  range_.label3.text = HasValues(col) ? FormatFloat(col.FMin) : std::string();
  range_.label3.width = LabelWidth(range_.label3.text);
  range_.label3.left = TRangePanelState::kBarLeft;
  range_.label4.text = HasValues(col) ? FormatFloat(col.FMax) : std::string();
  range_.label4.width = LabelWidth(range_.label4.text);
  range_.label4.left = TRangePanelState::kBarLeft + range_.W - range_.label4.width;

  // Bounds at the extremes before the division choices are built from them, so the first
  // refresh offers the same choices as every later one.
  if (!col.FFiltered) {
    col.FLower = col.FMin;
    col.FUpper = col.FMax;
  }
  FillDivisionChoices();
  SelectDivisionEntry(col);

  if (col.FMax == col.FMin) {
    range_.visible = false;
    for (int r = 0; r < 3; ++r) ws_.roleVisible[r] = false;
    return;
  }
  range_.visible = true;
  int64_t lower = 0, upper = 0;
  if (col.FFiltered && filters::TryScale(col.FLower, &lower) &&
      filters::TryScale(col.FUpper, &upper)) {
    SetLowerBound(lower);
    SetUpperBound(upper);
  } else {
    range_.L = 1;
    range_.R = 1;
    range_.label5 = range_.label3;
    range_.label6 = range_.label4;
  }
}

void TMainLogic::SelectDivisionEntry(const TCol& col) {
  ComboBox2Change(EntryInForce(range_.divisions, col));
}

void TMainLogic::ShowDivisionInForce(const TCol& col) {
  range_.divisionIndex = EntryInForce(range_.divisions, col);
  range_.divisionInForce = DivisionText(col);
}

void TMainLogic::FillDivisionChoices() {
  TCol* col = Current();
  if (col == nullptr || !IsNumeric(*col)) return;
  const bool isInt = col->FValueType == vtInt;
  double n = std::trunc(col->FUpper - col->FLower);
  if (isInt) n -= 1;
  range_.divisions.clear();
  range_.divisionIndex = -1;
  if (col->FCount > 1 && col->FCount < kMaxOffered) range_.divisions.push_back(Sjis("全て"));
  for (int c : kDivisionCandidates) {
    if (isInt && n < c) break;
    if (c >= kMaxOffered) break;
    range_.divisions.push_back(filters::DecimalText(c));
  }
  // A refilled list still shows the count that stays in force.
  ShowDivisionInForce(*col);
}

void TMainLogic::ComboBox2Change(int index) {
  TCol* col = Current();
  if (col == nullptr || !IsNumeric(*col)) return;
  const auto& d = range_.divisions;
  range_.divisionIndex = index >= 0 && index < static_cast<int>(d.size()) ? index : -1;
  const std::string text = range_.divisionIndex >= 0 ? d[static_cast<size_t>(index)] : "";
  int32_t count = 0;
  if (text != Sjis("全て") && TryStrToInt(text, &count))
    col->FDivisions = count;
  else
    col->FDivisions = col->FCount;
  ShowDivisionInForce(*col);
  if (CurrentIsAxis()) CrossTabulateNow();
}

std::string TMainLogic::BoundText(const TCol& col, double bound, bool upper) const {
  // On "Int" the label shows the outermost whole number that passes the bound.
  if (col.FValueType == vtInt)
    return filters::DecimalText(static_cast<int64_t>(upper ? std::floor(bound) : std::ceil(bound)));
  return FormatFloat(bound);
}

void TMainLogic::PlaceLowerLabel() {
  TLabelState& label = range_.label5;
  const int handleLeft = 1 + range_.L;
  int left = handleLeft + TRangePanelState::kBarLeft - label.width / 2;
  left = std::max(left, range_.label3.left);
  if (left + label.width > range_.label6.left) left = range_.label6.left - label.width;
  label.left = left;
}

void TMainLogic::PlaceUpperLabel() {
  TLabelState& label = range_.label6;
  const int handleLeft = range_.W - 1 - range_.R - 3;
  int left = handleLeft + TRangePanelState::kBarLeft - label.width / 2;
  left = std::min(left, range_.label4.left);
  left = std::max(left, range_.label5.left + range_.label5.width);
  label.left = left;
}

void TMainLogic::SetLowerBound(int64_t b) {
  TCol* col = Current();
  if (col == nullptr || !IsNumeric(*col)) return;
  col->FLower = static_cast<double>(b) / 10000.0;
  // A bound outside the extremes pins the bar to its end.
  const double span = col->FMax - col->FMin;
  range_.L = span == 0 ? 1
                       : ClampPixels(std::nearbyint((static_cast<double>(b) - col->FMin * 10000.0) *
                                                    (range_.W / span) / 10000.0),
                                     1, range_.W);
  range_.label5.text = BoundText(*col, col->FLower, false);
  range_.label5.width = LabelWidth(range_.label5.text);
  PlaceLowerLabel();
  SetMarker(ws_.selectedColumn, "* ");
  col->FFiltered = true;
  FillDivisionChoices();
  RecalculateNow();
}

void TMainLogic::SetUpperBound(int64_t b) {
  TCol* col = Current();
  if (col == nullptr || !IsNumeric(*col)) return;
  col->FUpper = static_cast<double>(b) / 10000.0;
  const double span = col->FMax - col->FMin;
  range_.R =
      span == 0
          ? 1
          : range_.W - ClampPixels(std::nearbyint((static_cast<double>(b) - col->FMin * 10000.0) *
                                                  (range_.W / span) / 10000.0),
                                   0, range_.W);
  range_.label6.text = BoundText(*col, col->FUpper, true);
  range_.label6.width = LabelWidth(range_.label6.text);
  PlaceUpperLabel();
  SetMarker(ws_.selectedColumn, "* ");
  col->FFiltered = true;
  FillDivisionChoices();
  RecalculateNow();
}

void TMainLogic::LowerDragged(int p) {
  TCol* col = Current();
  if (col == nullptr || !IsNumeric(*col) || !range_.visible || !HasValues(*col)) return;
  range_.L = p;
  col->FLower = col->FMin + (col->FMax - col->FMin) / range_.W * p;
  int64_t b = 0;
  if (filters::TryScale(col->FLower, &b)) SetLowerBound(b);
}

void TMainLogic::UpperDragged(int p) {
  TCol* col = Current();
  if (col == nullptr || !IsNumeric(*col) || !range_.visible || !HasValues(*col)) return;
  range_.R = range_.W - p;
  col->FUpper = col->FMin + (col->FMax - col->FMin) / range_.W * p;
  int64_t b = 0;
  if (filters::TryScale(col->FUpper, &b)) SetUpperBound(b);
}

void TMainLogic::Splitter2Moved(int handleLeft) {
  LowerDragged(handleLeft - 1);
}

void TMainLogic::Splitter1Moved(int handleLeft) {
  UpperDragged(handleLeft + 4);
}

void TMainLogic::Panel2MouseDown(TMouseButton button, int x) {
  if (button == TMouseButton::kLeft)
    LowerDragged(x);
  else if (button == TMouseButton::kRight)
    UpperDragged(x);
}

void TMainLogic::Panel3MouseDown(TMouseButton /*button*/, int x) {
  LowerDragged(x);
}

void TMainLogic::Panel4MouseDown(TMouseButton /*button*/, int x) {
  UpperDragged(range_.W - (range_.R - x));
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

void TMainLogic::Label5Click(const std::string& typed) {
  TCol* col = Current();
  if (col == nullptr || !IsNumeric(*col)) return;
  SetLowerBound(TypedBound(typed));
}

void TMainLogic::Label6Click(const std::string& typed) {
  TCol* col = Current();
  if (col == nullptr || !IsNumeric(*col)) return;
  SetUpperBound(TypedBound(typed));
}

void TMainLogic::Button4Click() {
  TCol* col = Current();
  if (col == nullptr) return;
  history_.Clear();
  col->FLower = col->FMin;
  col->FUpper = col->FMax;
  col->FRole = 3;
  col->FFiltered = false;
  RefreshColumnMarkers();
  ListBox2Click();
  RecalculateNow();
}

}  // namespace tabulon
