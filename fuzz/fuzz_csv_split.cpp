// Both CSV splitting variants over any line: every field is a view into the line (or the null
// text), trimmed, and the two variants agree on the number of fields.
#include <cstdlib>
#include <string_view>
#include <vector>

#include "column/Values.h"
#include "fuzz/FuzzUtil.h"
#include "import/CsvSplit.h"

using namespace tabulon;

namespace {

void CheckFields(std::string_view line, const std::vector<std::string_view>& fields) {
  Check(!fields.empty());
  for (std::string_view f : fields) {
    if (f == kNullText && (f.data() < line.data() || f.data() >= line.data() + line.size()))
      continue;  // the static null text
    Check(f.empty() ||
          (f.data() >= line.data() && f.data() + f.size() <= line.data() + line.size()));
    if (!f.empty()) {
      Check(static_cast<unsigned char>(f.front()) > 0x20);
      Check(static_cast<unsigned char>(f.back()) > 0x20);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> imported, shown;
  SplitCsvRecord(line, &imported);
  SplitCsvDisplayRecord(line, &shown);
  CheckFields(line, imported);
  CheckFields(line, shown);
  Check(imported.size() == shown.size());
  return 0;
}
