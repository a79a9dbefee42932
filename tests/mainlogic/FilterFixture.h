// A dataset imported by the real import into a scratch folder, and a main-window logic to drive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "TestUtil.h"
#include "import/unitProgress.h"
#include "mainlogic/MainLogic.h"
#include "platform/Errors.h"

namespace tabulon::test {

// Writes csvBytes (Shift-JIS) as a CSV file and imports it.
class ImportedCsv {
 public:
  explicit ImportedCsv(std::string_view csvBytes) : csv_(dir_.File("data.csv")) {
    WriteFile(csv_, csvBytes);
    TSilentProgress view;
    TformProgress importer(&view);
    importer.Import(csv_);
  }
  const std::string& Csv() const { return csv_; }
  // Rewrites the CSV file without importing it again.
  void Overwrite(std::string_view csvBytes) const { WriteFile(csv_, csvBytes); }

 private:
  ScratchDir dir_;
  std::string csv_;
};

// The logic with the dataset of csvBytes open.
struct Opened {
  explicit Opened(std::string_view csvBytes) : data(csvBytes) { logic.ListBox1Click(data.Csv()); }
  TCol& Col(int i) { return *logic.Workspace().FCols[static_cast<size_t>(i)]; }
  // The entries of the match list or item list that are picked.
  static std::vector<std::string> Picked(const std::vector<std::string>& entries,
                                         const std::vector<bool>& picked) {
    std::vector<std::string> out;
    for (size_t i = 0; i < entries.size(); ++i)
      if (picked[i]) out.push_back(entries[i]);
    return out;
  }
  // Index of an entry (-1 when absent).
  static int IndexOf(const std::vector<std::string>& entries, const std::string& entry) {
    for (size_t i = 0; i < entries.size(); ++i)
      if (entries[i] == entry) return static_cast<int>(i);
    return -1;
  }
  // Every cell of a grid row joined by "|".
  static std::string Row(const TResultTable& grid, int row) {
    std::string out;
    for (int c = 0; c < grid.ColCount(); ++c) out += (c ? "|" : "") + grid.Cell(c, row);
    return out;
  }

  ImportedCsv data;
  TMainLogic logic;
};

using Strings = std::vector<std::string>;

// The text of the conversion error a command raises, or "(no error)".
template <typename Command>
std::string ConvertErrorOf(Command command) {
  try {
    command();
  } catch (const ConvertError& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace tabulon::test
