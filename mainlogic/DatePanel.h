// The date panel: the date and time range, the weekday set and the interval of a "Dat" column.
#pragma once

#include <string>
#include <vector>

#include "mainlogic/PanelContext.h"
#include "mainlogic/PanelState.h"

namespace tabulon {

struct TColumnSection;

class TDatePanel {
 public:
  explicit TDatePanel(TPanelContext& context) : context_(context) {}
  TDatePanel(const TDatePanel&) = delete;

  // ComboBox1's entries: 日 月 火 水 木 金 土 土日 月～金 月～木.
  static const std::vector<std::string>& WeekdayChoices();

  // A dataset of columnCount columns was opened: no column's interval has been chosen.
  void Open(int columnCount);
  // Shows col with the extremes of its descriptor section: bounds at the extremes while it is
  // unfiltered, the pickers and labels its dates and times call for, the weekday choice and the
  // interval entries with the column's unit selected when they offer it.
  void Refresh(TCol& col, const TColumnSection& section);
  void Hide() { state_.visible = false; }
  // The user set a picker to value (kWeekday: value is the weekday entry index, -1..9); filters
  // the current column and recalculates (see TMainLogic::DateTimePicker1Change).
  void PickerChanged(TDateControl sender, double value);
  // The user selected interval entry index: sets FDateUnit; rebuilds the table when the column
  // is an axis. The choice survives the column's refreshes until a dataset is opened.
  void IntervalClick(int index);
  // A drill-down by heading text on col, by its FDateUnit (see TMainLogic::DrillDown). Throws
  // ConvertError for a heading that is not a date or time of that unit.
  void Drill(TCol& col, const std::string& text);
  // Reset: bounds back to the extremes and the time-of-day window to the whole day, no filter,
  // no role; the weekday set stays stored.
  void Reset();

  const TDatePanelState& State() const { return state_; }

 private:
  // The parts of Refresh: the days the date pickers allow; the date pickers, labels and date
  // intervals; the same for times of day; the interval of the column's unit.
  void ShowDayRange(const TCol& col);
  void ShowDates(const TCol& col);
  void ShowTimes(const TCol& col);
  void SelectUnitOf(const TCol& col);
  void ResetPickers(TCol& col);
  void SelectInterval(int index);
  bool ApplyInterval(int index);  // the interval entry's unit; false when there is none

  TPanelContext& context_;
  TDatePanelState state_;
  std::vector<bool> unitChosen_;  // per column: the user chose its interval (kept by refreshes)
};

}  // namespace tabulon
