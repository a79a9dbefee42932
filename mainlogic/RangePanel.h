// The range panel: the range bar and the division choice of a numeric ("Int" or "Cur") column.
#pragma once

#include <cstdint>
#include <string>

#include "mainlogic/PanelContext.h"
#include "mainlogic/PanelState.h"

namespace tabulon {

struct TColumnSection;

// The mouse buttons the range bar tells apart.
enum class TMouseButton { kLeft, kRight, kMiddle };

class TRangePanel {
 public:
  explicit TRangePanel(TPanelContext& context) : context_(context) {}
  TRangePanel(const TRangePanel&) = delete;

  // Shows col with the extremes of its descriptor section: the labels of its minimum and
  // maximum, bounds at the extremes while it is unfiltered, the division choices, the bar at its
  // bounds. A column of one value (or none) hides the panel and the role toggles.
  void Refresh(TCol& col, const TColumnSection& section);
  void Hide() { state_.visible = false; }

  // Sets the lower / upper bound of the current column to b / 10000, moves the bar and label,
  // marks the column filtered (marker "* "), refills the division choices and recalculates.
  void SetLowerBound(int64_t b);
  void SetUpperBound(int64_t b);
  // A handle was dragged; handleLeft is its new left edge within the bar.
  void LowerHandleMoved(int handleLeft);
  void UpperHandleMoved(int handleLeft);
  // A click on the bar's middle part (x within the whole bar), its left part or its right part
  // (x within that part).
  void BarClick(TMouseButton button, int x);
  void LowerPartClick(int x);
  void UpperPartClick(int x);
  // A bound typed into the value input dialog. Throws ConvertError "'t'
  // は浮動小数点数ではありません" when typed is not a number (or too large for a bound); the bound
  // and filter then stay.
  void TypeLowerBound(const std::string& typed);
  void TypeUpperBound(const std::string& typed);
  // Rebuilds the division choices from the current column's bounds; none is selected afterwards.
  void FillDivisionChoices();
  // Selects division entry index (-1 none) and applies it to FDivisions; rebuilds the table when
  // the column is an axis.
  void SelectDivision(int index);
  // Reset: bounds back to the extremes, no filter, no role.
  void Reset();

  const TRangePanelState& State() const { return state_; }

 private:
  // The current column when it is numeric, else null.
  TCol* NumericCurrent();
  void LowerDragged(int p);  // the left part is p pixels wide
  void UpperDragged(int p);  // the right part begins p pixels from the bar's left
  void PlaceLowerLabel();
  void PlaceUpperLabel();
  // Points the division choice at the entry of col's count in force, whatever was picked.
  void ShowDivisionInForce(const TCol& col);

  TPanelContext& context_;
  TRangePanelState state_;
};

}  // namespace tabulon
