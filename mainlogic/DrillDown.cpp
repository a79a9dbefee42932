// The drill-down from the result grid: a heading becomes a filter on its axis column.
#include <algorithm>

#include "engine/Engine.h"
#include "mainlogic/FilterValues.h"
#include "mainlogic/MainLogic.h"
#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

// Splits a numeric heading into its lower and upper text: a range heading "lo-hi" at the "-"
// that follows the lower bound's sign and digits (so "-10- -5" is -10 and -5), a single value
// (also a negative one) into itself twice. A "-" of an exponent does not split.
void SplitNumericHeading(std::string_view text, std::string_view* lo, std::string_view* hi) {
  size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= 0x20) ++i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  for (; i < text.size(); ++i) {
    if (text[i] != '-') continue;
    if (i > 0 && (text[i - 1] == 'E' || text[i - 1] == 'e')) continue;
    *lo = text.substr(0, i);
    *hi = text.substr(i + 1);
    return;
  }
  *lo = *hi = text;
}

int64_t ScaledOrThrow(std::string_view part, const std::string& heading) {
  double value = 0;
  int64_t scaled = 0;
  if (!TryParseFloat(part, &value) || !filters::TryScale(value, &scaled))
    filters::ThrowNotFloat(heading);
  return scaled;
}

// A heading names an entry exactly; the "(null)" heading of a blank value names the blank
// entries, whose label the engine replaced.
bool HeadingNames(const std::string& heading, const std::string& entry) {
  if (entry == heading) return true;
  return heading == kNullText && filters::TrimControls(entry).empty();
}

std::vector<int> EntriesNamed(const std::vector<std::string>& entries, const std::string& heading) {
  std::vector<int> picks;
  for (size_t i = 0; i < entries.size(); ++i)
    if (HeadingNames(heading, entries[i])) picks.push_back(static_cast<int>(i));
  return picks;
}

}  // namespace

void TMainLogic::StringGrid1MouseDown(int col, int row) {
  if (!HasDataset()) return;
  const TResultTable& grid = *mainGrid_;
  const int c = col >= 0 && col < grid.ColCount() ? col : -1;
  const int r = row >= 0 && row < grid.RowCount() ? row : -1;
  int a = -1, b = -1;
  for (size_t i = 0; i < ws_.FCols.size(); ++i) {
    if (a < 0 && ws_.FCols[i]->FRole == kRoleColumnItems) a = static_cast<int>(i);
    if (b < 0 && ws_.FCols[i]->FRole == kRoleRowItems) b = static_cast<int>(i);
  }
  if (a < 0 && b < 0) return;
  // Both headings are read before drilling: the first drill-down recalculates and may rewrite
  // the grid, so the row heading would otherwise be read from another table.
  const std::string colHeading = c > 0 && a >= 0 ? grid.Cell(c, 0) : std::string();
  const std::string rowHeading = r > 0 && b >= 0 ? grid.Cell(0, r) : std::string();
  // Recorded before anything changes, so a drill-down that fails halfway can be undone too; a
  // click that drills nothing (the top-left cell) is no step.
  if ((c > 0 && a >= 0) || (r > 0 && b >= 0))
    history_.Record(ws_.FCols, {ws_.selectedColumn, ws_.recordCountText});
  // The panels' own recalculations are left out: the table or record list below follows them.
  struct TDrilling {
    bool& flag;
    explicit TDrilling(bool& f) : flag(f) { flag = true; }
    ~TDrilling() { flag = false; }
    TDrilling(const TDrilling&) = delete;
    TDrilling& operator=(const TDrilling&) = delete;
  } drilling(drilling_);
  if (c > 0 && a >= 0) {
    DrillDown(a, colHeading);
    a = -1;
  }
  if (r > 0 && b >= 0) {
    DrillDown(b, rowHeading);
    b = -1;
  }
  if (a < 0 && b < 0)
    Button7Click();
  else
    CrossTabulateNow();
}

bool TMainLogic::UndoDrillDown() {
  if (!HasDataset()) return false;
  TDrillHistory::Shown shown;
  if (!history_.Undo(ws_.FCols, &shown)) return false;
  ws_.recordCountText = shown.recordCountText;
  RefreshColumnMarkers();
  ListBox2Click(shown.selectedColumn);
  RecalculateNow();
  return true;
}

void TMainLogic::DrillDown(int k, const std::string& text) {
  if (!HasDataset() || k < 0 || k >= static_cast<int>(ws_.FCols.size())) return;
  ListBox2Click(k);
  TCol& col = *ws_.FCols[static_cast<size_t>(k)];
  col.FRole = kRoleNone;
  // The role toggles show the selected column's role, which is now none.
  for (bool& down : ws_.roleDown) down = false;
  if (text == Sjis("全て")) {
    RefreshColumnMarkers();
    return;
  }
  switch (col.FValueType) {
    case vtInt:
    case vtCur: {
      std::string_view lo, hi;
      SplitNumericHeading(text, &lo, &hi);
      const int64_t lower = ScaledOrThrow(lo, text);
      const int64_t upper = ScaledOrThrow(hi, text);
      SetLowerBound(lower);
      SetUpperBound(upper);
      break;
    }
    case vtDat:
      date_.Drill(col, text);
      col.FFiltered = true;
      ListBox2Click();
      break;
    case vtStr:
      if (col.FStorage == csLon) {
        Button9Click(text);
        ListBox4Click(EntriesNamed(search_.State().matches, text));
      } else {
        ListBox3Click(EntriesNamed(items_.State().items, text));
      }
      break;
  }
  RefreshColumnMarkers();
}

}  // namespace tabulon
