// The text search filter of text columns stored one value per row.
#include <unordered_set>

#include "mainlogic/FilterValues.h"
#include "mainlogic/MainLogic.h"
#include "platform/LineReader.h"
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

bool TMainLogic::ListMatches(TCol& col, const std::string& pattern) {
  BusyCursor busy(*this);
  std::vector<std::string> found;
  std::unordered_set<std::string> seen;  // folded keys of found
  col.VisitRowTextsContaining(pattern, [&](std::string_view line) {
    if (!filters::ContainsAtCharBoundary(line, pattern)) return true;
    if (!seen.insert(FoldKey(line)).second) return true;
    found.emplace_back(line);
    return found.size() <= kMaxSelection;
  });
  search_.matches = std::move(found);
  search_.picked.assign(search_.matches.size(), false);
  const bool fits = search_.matches.size() <= kMaxSelection;
  search_.countText = fits ? filters::DecimalText(static_cast<int64_t>(search_.matches.size()))
                           : filters::DecimalText(kMaxSelection) + "*";
  return fits;
}

void TMainLogic::Button9Click(const std::string& pattern) {
  TCol* col = Current();
  if (col == nullptr || !search_.visible) return;
  search_.patternBox = pattern;
  const bool fits = ListMatches(*col, pattern);
  col->FPattern = pattern;
  if (fits) {
    col->SetSelected(search_.matches);
    col->FFiltered = true;  // also with no match: then no record passes
    if (!search_.matches.empty()) ws_.roleEnabled[0] = ws_.roleEnabled[1] = true;
  } else {
    col->FFiltered = false;  // too many values to select; the stored selection stays
  }
}

bool TMainLogic::Edit1KeyPress(char key) {
  if (key != '\r') return false;
  Button9Click();
  return true;
}

void TMainLogic::ListBox4Click(const std::vector<int>& picked) {
  TCol* col = Current();
  if (col != nullptr && search_.visible) ApplyPicks(*col, search_.matches, picked);
}

void TMainLogic::Button5Click() {
  if (TCol* col = Current()) ResetSelection(*col);
}

void TMainLogic::RefreshSearchPanel(TCol& col) {
  search_.caption = col.FName;
  if (col.FFiltered) {
    search_.patternBox = col.FPattern;
    ListMatches(col, col.FPattern);
    const std::vector<std::string>& selection = col.FSelected;
    const bool axisable = !selection.empty() && selection.size() <= kMaxSelection;
    if (axisable && selection.size() < search_.matches.size()) {
      std::unordered_set<std::string> selected;
      for (const std::string& s : selection) selected.insert(FoldKey(s));
      for (size_t i = 0; i < search_.matches.size(); ++i)
        search_.picked[i] = selected.count(FoldKey(search_.matches[i])) > 0;
    }
    ws_.roleEnabled[0] = ws_.roleEnabled[1] = axisable;
  } else {
    search_.patternBox.clear();
    ws_.roleEnabled[0] = ws_.roleEnabled[1] = false;
    search_.matches.clear();
    search_.picked.clear();
  }
  search_.visible = true;
}

}  // namespace tabulon
