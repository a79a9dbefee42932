// The analysis commands of tabulon-cli: tab, list and count. Each opens the dataset as the main
// window opens it, applies the options in command-line order exactly as the matching panel or
// button does with that column as the current column, then runs one tabulation, record list or
// count with the toggles as set.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace tabulon {

// A mistake in the command line: exit code 2.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

enum class TAnalysis { kTab, kList, kCount };

// args: FILE.csv followed by the options (UTF-8). Returns the bytes for standard output in
// Shift-JIS (empty when --output wrote the table to a file). Throws UsageError for a bad option
// and TabulonError for an I/O or data error.
// The tabulations the options cause on the way (one per role, unit, filter ...) leave behind what
// the last one needs (loaded columns, cached labels) but count no records; countEveryStep counts
// them too, as the window does, for tests that the output is the same either way.
std::string RunAnalysis(TAnalysis what, const std::vector<std::string>& args,
                        bool countEveryStep = false);

}  // namespace tabulon
