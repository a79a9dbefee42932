// The item panel: the distinct values of a text column stored as keys, picked to filter it.
#pragma once

#include <string>
#include <vector>

#include "mainlogic/PanelContext.h"
#include "mainlogic/PanelState.h"

namespace tabulon {

class TItemPanel {
 public:
  explicit TItemPanel(TPanelContext& context) : context_(context) {}
  TItemPanel(const TItemPanel&) = delete;

  // Shows col's distinct values in file order, those of its selection picked. Throws IoError.
  void Refresh(TCol& col);
  void Hide() { state_.visible = false; }
  // The picks changed: the picked entries become the current column's selection. Nothing while
  // the panel is hidden or no column is current.
  void Click(const std::vector<int>& picked);
  // Reset: no selection, no role.
  void Reset();
  const TItemPanelState& State() const { return state_; }

 private:
  TPanelContext& context_;
  TItemPanelState state_;
};

}  // namespace tabulon
