// The search panel: a text column stored one value per row, filtered by the values containing a
// pattern.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mainlogic/PanelContext.h"
#include "mainlogic/PanelState.h"

namespace tabulon {

class TSearchPanel {
 public:
  explicit TSearchPanel(TPanelContext& context) : context_(context) {}
  TSearchPanel(const TSearchPanel&) = delete;

  // Shows col's pattern and, when col is filtered, the values matching it with those of its
  // selection picked; enables the axis roles when that selection may be an axis. Throws IoError.
  void Refresh(TCol& col);
  void Hide() { state_.visible = false; }
  // The pattern box's text as typed (no search).
  void SetPattern(const std::string& text) { state_.patternBox = text; }
  // Puts pattern into the pattern box and searches the current column's values for it
  // (case-sensitive substring, at character boundaries); up to 2000 distinct matches become the
  // selection. Nothing while the panel is hidden or no column is current. Does not recalculate.
  // Throws IoError.
  void Search(const std::string& pattern);
  // The match list picks changed: the picked matches become the current column's selection.
  void Click(const std::vector<int>& picked);
  // Reset: no selection, no role.
  void Reset();
  const TSearchPanelState& State() const { return state_; }

 private:
  // Lists the distinct values containing pattern (at most 2001) and writes the count label;
  // returns whether they are at most 2000.
  // reuse: the last walk's matches serve when it walked the same text for the same pattern (a
  // refresh); a search walks always.
  bool ListMatches(TCol& col, const std::string& pattern, bool reuse);

  TPanelContext& context_;
  TSearchPanelState state_;
  // The last walk's result and what it depended on: the column's text (its RowTextsVersion) and
  // the pattern. A refresh of the same column with the same pattern over the same text, as
  // selecting the column after its search is, takes the result instead of walking again.
  // At most 2001 texts.
  struct TWalk {
    uint64_t texts = 0;  // 0: no walk
    std::string pattern;
    std::vector<std::string> found;
  };
  TWalk walked_;
};

}  // namespace tabulon
