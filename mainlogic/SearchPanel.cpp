// The text search filter of text columns stored one value per row.
#include "mainlogic/SearchPanel.h"

#include <unordered_set>

#include "column/TCol.h"
#include "engine/Workspace.h"
#include "mainlogic/FilterValues.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

constexpr size_t kMaxSelection = 2000;  // values one search may select; one more signals overflow

// Shows the hourglass for the lifetime of the object.
class BusyCursor {
 public:
  explicit BusyCursor(TWindowHooks& hooks) : hooks_(hooks) {
    hooks_.BeginBusy();
    hooks_.ProcessEvents();
  }
  ~BusyCursor() { hooks_.EndBusy(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  TWindowHooks& hooks_;
};

}  // namespace

bool TSearchPanel::ListMatches(TCol& col, const std::string& pattern, bool reuse) {
  BusyCursor busy(context_.Hooks());
  const uint64_t texts = col.RowTextsVersion();
  if (!reuse || texts == 0 || texts != walked_.texts || pattern != walked_.pattern) {
    walked_ = TWalk();
    std::vector<std::string> found;
    std::unordered_set<std::string> seen;  // folded keys of found
    col.VisitRowTextsContaining(pattern, [&](std::string_view line) {
      if (!filters::ContainsAtCharBoundary(line, pattern)) return true;
      if (!seen.insert(FoldKey(line)).second) return true;
      found.emplace_back(line);
      return found.size() <= kMaxSelection;
    });
    walked_ = {texts, pattern, std::move(found)};
  }
  state_.matches = walked_.found;
  state_.picked.assign(state_.matches.size(), false);
  const bool fits = state_.matches.size() <= kMaxSelection;
  state_.countText = fits ? filters::DecimalText(static_cast<int64_t>(state_.matches.size()))
                          : filters::DecimalText(kMaxSelection) + "*";
  return fits;
}

void TSearchPanel::Search(const std::string& pattern) {
  TCol* col = context_.Current();
  if (col == nullptr || !state_.visible) return;
  state_.patternBox = pattern;
  const bool fits = ListMatches(*col, pattern, false);
  col->FPattern = pattern;
  if (fits) {
    col->SetSelected(state_.matches);
    col->FFiltered = true;  // also with no match: then no record passes
    if (!state_.matches.empty())
      context_.Workspace().roleEnabled[0] = context_.Workspace().roleEnabled[1] = true;
  } else {
    col->FFiltered = false;  // too many values to select; the stored selection stays
  }
}

void TSearchPanel::Click(const std::vector<int>& picked) {
  TCol* col = context_.Current();
  if (col != nullptr && state_.visible) ApplyPicks(context_, *col, state_.matches, picked);
}

void TSearchPanel::Reset() {
  if (TCol* col = context_.Current()) ResetSelection(context_, *col);
}

void TSearchPanel::Refresh(TCol& col) {
  state_.caption = col.FName;
  if (col.FFiltered) {
    state_.patternBox = col.FPattern;
    ListMatches(col, col.FPattern, true);
    const std::vector<std::string>& selection = col.FSelected;
    const bool axisable = !selection.empty() && selection.size() <= kMaxSelection;
    if (axisable && selection.size() < state_.matches.size()) {
      std::unordered_set<std::string> selected;
      for (const std::string& s : selection) selected.insert(FoldKey(s));
      for (size_t i = 0; i < state_.matches.size(); ++i)
        state_.picked[i] = selected.count(FoldKey(state_.matches[i])) > 0;
    }
    context_.Workspace().roleEnabled[0] = context_.Workspace().roleEnabled[1] = axisable;
  } else {
    state_.patternBox.clear();
    context_.Workspace().roleEnabled[0] = context_.Workspace().roleEnabled[1] = false;
    state_.matches.clear();
    state_.picked.clear();
  }
  state_.visible = true;
}

}  // namespace tabulon
