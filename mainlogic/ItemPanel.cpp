// The item selection filter of text columns stored as keys.
#include <unordered_set>

#include "mainlogic/MainLogic.h"
#include "platform/LineReader.h"
#include "platform/SjisText.h"

namespace tabulon {

void TMainLogic::RefreshItemPanel(TCol& col) {
  items_.caption = col.FName;
  items_.items.clear();
  LineReader lines(col.IndPath(), LineEnds::kCrLf);
  std::string_view line;
  while (lines.ReadLine(&line)) items_.items.emplace_back(line);
  items_.visible = true;

  // FSelected directly rather than GetItems: for a text column they hold the same lines, and
  // GetItems on an empty selection would cache labels in it.
  std::unordered_set<std::string> selected;
  for (const std::string& s : col.FSelected) selected.insert(FoldKey(s));
  items_.picked.assign(items_.items.size(), false);
  for (size_t i = 0; i < items_.items.size(); ++i)
    items_.picked[i] = selected.count(FoldKey(items_.items[i])) > 0;
}

void TMainLogic::ApplyPicks(TCol& col, const std::vector<std::string>& entries,
                            const std::vector<int>& picked) {
  std::vector<bool> mark(entries.size(), false);
  for (int i : picked)
    if (i >= 0 && i < static_cast<int>(mark.size())) mark[static_cast<size_t>(i)] = true;
  std::vector<std::string> list;
  for (size_t i = 0; i < mark.size(); ++i)
    if (mark[i]) list.push_back(entries[i]);
  col.SetSelected(list);
  ListBox2Click();
  RecalculateNow();
}

void TMainLogic::ResetSelection(TCol& col) {
  history_.Clear();
  col.SetSelected({});
  col.FRole = 3;
  col.FFiltered = false;
  RefreshColumnMarkers();
  ListBox2Click();
  RecalculateNow();
}

void TMainLogic::ListBox3Click(const std::vector<int>& picked) {
  TCol* col = Current();
  if (col != nullptr && items_.visible) ApplyPicks(*col, items_.items, picked);
}

void TMainLogic::Button3Click() {
  if (TCol* col = Current()) ResetSelection(*col);
}

}  // namespace tabulon
