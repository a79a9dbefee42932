// The item selection filter of text columns stored as keys.
#include "mainlogic/ItemPanel.h"

#include <unordered_set>

#include "column/TCol.h"
#include "platform/LineReader.h"
#include "platform/SjisText.h"

namespace tabulon {

void TItemPanel::Refresh(TCol& col) {
  state_.caption = col.FName;
  state_.items.clear();
  LineReader lines(col.IndPath(), LineEnds::kCrLf);
  std::string_view line;
  while (lines.ReadLine(&line)) state_.items.emplace_back(line);
  state_.visible = true;

  // FSelected directly rather than GetItems: for a text column they hold the same lines, and
  // GetItems on an empty selection would cache labels in it.
  std::unordered_set<std::string> selected;
  for (const std::string& s : col.FSelected) selected.insert(FoldKey(s));
  state_.picked.assign(state_.items.size(), false);
  for (size_t i = 0; i < state_.items.size(); ++i)
    state_.picked[i] = selected.count(FoldKey(state_.items[i])) > 0;
}

void TItemPanel::Click(const std::vector<int>& picked) {
  TCol* col = context_.Current();
  if (col != nullptr && state_.visible) ApplyPicks(context_, *col, state_.items, picked);
}

void TItemPanel::Reset() {
  if (TCol* col = context_.Current()) ResetSelection(context_, *col);
}

}  // namespace tabulon
