#include "mainlogic/PanelContext.h"

#include "column/TCol.h"
#include "platform/SjisText.h"

namespace tabulon {

std::string MarkerOf(const TCol& col) {
  switch (col.FRole) {
    case kRoleColumnItems:
      return Sjis("→");
    case kRoleRowItems:
      return Sjis("↓");
    case kRoleValue:
      return Sjis("ｖ");
    default:
      return col.FFiltered ? Sjis("＊") : std::string("  ");
  }
}

void ApplyPicks(TPanelContext& context, TCol& col, const std::vector<std::string>& entries,
                const std::vector<int>& picked) {
  std::vector<bool> mark(entries.size(), false);
  for (int i : picked)
    if (i >= 0 && i < static_cast<int>(mark.size())) mark[static_cast<size_t>(i)] = true;
  std::vector<std::string> list;
  for (size_t i = 0; i < mark.size(); ++i)
    if (mark[i]) list.push_back(entries[i]);
  // Picks that leave the selection as it is (the list's own change signal and the click that
  // follows it) change no result.
  const bool same = col.FFiltered == !list.empty() && col.FSelected == list;
  col.SetSelected(list);
  context.RefreshCurrent();
  if (!same) context.Recalculate();
}

void ResetSelection(TPanelContext& context, TCol& col) {
  col.SetSelected({});
  context.ResetColumn(col);
  context.Recalculate();
}

}  // namespace tabulon
