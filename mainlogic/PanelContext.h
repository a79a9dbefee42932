// What the main window's filter panels share with its logic.
#pragma once

#include <string>
#include <vector>

namespace tabulon {

class TCol;
class TWindowHooks;
struct TWorkspace;

class TPanelContext {
 public:
  virtual ~TPanelContext() = default;
  // The current column, or null when no dataset is open or no column is selected.
  virtual TCol* Current() = 0;
  // The state the engine shares (the role buttons' enabling among it).
  virtual TWorkspace& Workspace() = 0;
  // The window's services (the busy cursor among them).
  virtual TWindowHooks& Hooks() = 0;
  // The picked entries of a list become col's selection (indices outside entries are ignored);
  // then the column list is refreshed and the table recalculated.
  virtual void ApplyPicks(TCol& col, const std::vector<std::string>& entries,
                          const std::vector<int>& picked) = 0;
  // A text panel's reset: no selection, no role; then refresh and recalculate.
  virtual void ResetSelection(TCol& col) = 0;
};

}  // namespace tabulon
