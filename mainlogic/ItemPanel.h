// The item panel: the distinct values of a text column stored as keys, picked to filter it.
#pragma once

#include <string>
#include <vector>

#include "mainlogic/PanelState.h"

namespace tabulon {

class TCol;

// What the filter panels share with the main window's logic.
class TPanelContext {
 public:
  virtual ~TPanelContext() = default;
  // The current column, or null when no dataset is open or no column is selected.
  virtual TCol* Current() = 0;
  // The picked entries of a list become col's selection (indices outside entries are ignored);
  // then the column list is refreshed and the table recalculated.
  virtual void ApplyPicks(TCol& col, const std::vector<std::string>& entries,
                          const std::vector<int>& picked) = 0;
};

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
  const TItemPanelState& State() const { return state_; }

 private:
  TPanelContext& context_;
  TItemPanelState state_;
};

}  // namespace tabulon
