// (being written)
#include "column/TCol.h"

namespace tabulon {
void TCol::PrepareRows() {}
bool TCol::ReadRow(int32_t row) { FKey = row; return true; }
void TCol::SetSelected(const std::vector<std::string>& list) { FSelected = list; FFiltered = !list.empty(); }
std::string TCol::GetItems() { return {}; }
int32_t TCol::DateKey(double value) const { return tabulon::DateKey(value, FLower, FDateUnit); }
std::string TCol::DateLabel(double value) const { return tabulon::DateLabel(value, FDateUnit); }
}  // namespace tabulon
