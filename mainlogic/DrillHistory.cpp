#include "mainlogic/DrillHistory.h"

namespace tabulon {

void TDrillHistory::Record(const std::vector<std::unique_ptr<TCol>>& cols, const Shown& shown) {
  while (!steps_.empty() &&
         (steps_.size() >= kMaxSteps || columnStates_ + cols.size() > maxColumnStates_)) {
    columnStates_ -= steps_.front().columns.size();
    steps_.erase(steps_.begin());
  }
  Step step;
  step.columns.reserve(cols.size());
  for (const auto& col : cols) step.columns.push_back(col->Selection());
  step.shown = shown;
  columnStates_ += step.columns.size();
  steps_.push_back(std::move(step));
}

bool TDrillHistory::Undo(const std::vector<std::unique_ptr<TCol>>& cols, Shown* shown) {
  if (steps_.empty()) return false;
  Step& step = steps_.back();
  if (step.columns.size() != cols.size()) {
    Clear();
    return false;
  }
  for (size_t i = 0; i < cols.size(); ++i) cols[i]->RestoreSelection(step.columns[i]);
  *shown = step.shown;
  columnStates_ -= step.columns.size();
  steps_.pop_back();
  return true;
}

}  // namespace tabulon
