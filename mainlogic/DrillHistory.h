// The drill-down history behind 戻る: the selection state of every column, the selected column and
// the record count shown as they were before each drill-down, newest last, so the drill-downs can
// be undone one by one.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "column/TCol.h"

namespace tabulon {

class TDrillHistory {
 public:
  // The most steps kept, and the most column states in all of them (a file of many thousand
  // columns keeps fewer steps); recording one more forgets the oldest. The newest step is always
  // kept.
  static constexpr size_t kMaxSteps = 100;
  static constexpr size_t kMaxColumnStates = size_t{1} << 20;

  explicit TDrillHistory(size_t maxColumnStates = kMaxColumnStates)
      : maxColumnStates_(maxColumnStates) {}

  // What is recorded besides the columns' selection states.
  struct Shown {
    int selectedColumn = -1;
    std::string recordCountText;  // Label2 (a drill-down to a record list rewrites it)
  };

  // Records the state of cols (whole selection states, roles included) and what was shown
  // before a drill-down.
  void Record(const std::vector<std::unique_ptr<TCol>>& cols, const Shown& shown);
  // Puts the newest recorded state back into cols and forgets it; *shown receives what was shown
  // then. False, with cols unchanged, when there is no step; a step
  // recorded for another number of columns is no step of these columns (every step is forgotten).
  bool Undo(const std::vector<std::unique_ptr<TCol>>& cols, Shown* shown);
  bool Empty() const { return steps_.empty(); }
  size_t Depth() const { return steps_.size(); }
  // Forgets every step (a new dataset, or a reset that the steps would undo).
  void Clear() {
    steps_.clear();
    columnStates_ = 0;
  }

 private:
  struct Step {
    std::vector<TColSelection> columns;  // one per column, in column order
    Shown shown;
  };
  std::vector<Step> steps_;  // oldest first
  size_t maxColumnStates_;   // the bound on columnStates_
  size_t columnStates_ = 0;  // the column states of all steps
};

}  // namespace tabulon
