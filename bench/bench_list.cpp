// tabulon-bench-list SALES.csv: the record list (一覧表示) of every record of an imported sales
// dataset (imported in-process first when its store is out of date): the time to list, the time
// to read every cell back as 保存 writes them, and the process's resident memory before the
// list, with it, and after a tabulation has replaced it.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "engine/Engine.h"
#include "import/unitProgress.h"
#include "mainlogic/MainLogic.h"
#include "platform/Errors.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

double Seconds(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The resident set size now, in MB (10^6 bytes).
double ResidentMb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1e6;
}

int Main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tabulon-bench-list SALES.csv\n");
    return 2;
  }
  try {
    {
      TSilentProgress view;
      TformProgress importer(&view);
      importer.Import(argv[1]);
    }
    TMainLogic logic;
    logic.ListBox1Click(argv[1]);
    const double before = ResidentMb();
    const double list = Seconds([&] { logic.Button7Click(); });
    const double with = ResidentMb();
    const TResultTable& grid = logic.MainGrid();
    size_t bytes = 0;
    const double read = Seconds([&] {
      for (int r = 0; r < grid.RowCount(); ++r) bytes += RowLineText(grid, r).size() + 2;
    });
    // A tabulation replaces the list: the grid shrinks to its 3 x 3 cells.
    logic.MainGrid().SetRowCount(3);
    logic.MainGrid().SetColCount(3);
    const double after = ResidentMb();
    std::printf("records listed                 %12s\n", SjisToUtf8(logic.Label2()).c_str());
    std::printf("一覧表示                        %9.3f s\n", list);
    std::printf("every cell read as 保存 writes  %9.3f s (%zu bytes)\n", read, bytes);
    std::printf("resident before the list       %9.1f MB\n", before);
    std::printf("resident with the list         %9.1f MB\n", with);
    std::printf("resident after it is replaced  %9.1f MB\n", after);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tabulon-bench-list: %s\n", SjisToUtf8(e.what()).c_str());
    return 1;
  }
}

}  // namespace
}  // namespace tabulon

int main(int argc, char** argv) {
  return tabulon::Main(argc, argv);
}
