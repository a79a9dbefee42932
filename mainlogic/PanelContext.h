// What the main window's filter panels share with its logic, and the steps they share.
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
  // The state the engine shares (the role buttons' enabling and the selected column among it).
  virtual TWorkspace& Workspace() = 0;
  // The window's services (the busy cursor among them).
  virtual TWindowHooks& Hooks() = 0;
  // Pixel width of a text in the range panel's label font.
  virtual int LabelWidth(const std::string& text) const = 0;
  // Writes marker before the current column's name in the column list.
  virtual void SetCurrentMarker(const std::string& marker) = 0;
  // Shows the current column again as selecting it does: its panel, role toggles and marker.
  virtual void RefreshCurrent() = 0;
  // A panel's reset of col: every drill-down is forgotten (undoing one would bring back what the
  // user has just removed), col has no role and no filter, every marker is rewritten and the
  // current column shown again. Does not recalculate.
  virtual void ResetColumn(TCol& col) = 0;
  // The table (or the record count) again, after a filter changed.
  virtual void Recalculate() = 0;
  // The table again when the current column is an axis (its categories changed); else nothing.
  virtual void RetabulateIfAxis() = 0;
};

// The column list marker of col: "→", "↓", "ｖ" for the roles, else "＊" when it is filtered,
// else two blanks.
std::string MarkerOf(const TCol& col);

// The picked entries of a list become col's selection (indices outside entries are ignored); then
// the current column is shown again and the table recalculated.
void ApplyPicks(TPanelContext& context, TCol& col, const std::vector<std::string>& entries,
                const std::vector<int>& picked);

// A text panel's reset: no selection, no role, then recalculation.
void ResetSelection(TPanelContext& context, TCol& col);

}  // namespace tabulon
