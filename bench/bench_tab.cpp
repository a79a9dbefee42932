// tabulon-bench-tab SALES.csv: times the cross tabulation on an imported sales dataset (imported
// in-process first when its store is missing or out of date). Each case runs once to load its
// columns, then is timed several times; the best run is printed with its rows per second.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "engine/Dataset.h"
#include "engine/Engine.h"
#include "import/unitProgress.h"
#include "mainlogic/MainLogic.h"
#include "platform/Errors.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

constexpr int kRuns = 7;

class BenchWindow : public TWindowHooks {
 public:
  void RefreshColumnMarkers() override {}
  void SelectColumn(int) override {}
  TResultTable* ChooseOutputGrid() override { return &grid; }
  TMemoryTable grid;
};

double Seconds(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Terminal columns of a UTF-8 text: two for a three-byte (CJK) character, one otherwise.
int DisplayWidth(const std::string& text) {
  int width = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if ((b & 0xC0) == 0x80) continue;
    width += b >= 0xE0 ? 2 : 1;
  }
  return width;
}

void Report(const std::string& name, double seconds, int32_t rows) {
  const std::string pad(static_cast<size_t>(std::max(0, 46 - DisplayWidth(name))), ' ');
  std::printf("%s%s %9.2f ms %14.0f rows/s\n", name.c_str(), pad.c_str(), seconds * 1e3,
              rows / seconds);
}

class Bench {
 public:
  explicit Bench(const std::string& csv) {
    TSilentProgress view;
    TformProgress importer(&view);
    importer.Import(csv);
    const double open = Seconds([&] {
      OpenDataset(ws_, csv);
      ws_.hooks = &window_;
    });
    std::printf("%s: %d rows, %d columns\n", csv.c_str(), ws_.FRowCount, ws_.FColCount);
    Report("open the dataset (descriptor)", open, ws_.FRowCount);
  }

  TCol& Col(const char* utf8Name) {
    for (auto& col : ws_.FCols)
      if (col->FName == Sjis(utf8Name)) return *col;
    throw std::runtime_error(std::string("no column ") + utf8Name);
  }

  void Reset() {
    for (auto& col : ws_.FCols) {
      col->FRole = kRoleNone;
      col->SetSelected({});
    }
    ws_.aggregate = TAggregate::kSum;
  }

  // Times CrossTabulate under the roles and filters set up.
  void Case(const char* name) {
    CrossTabulate(ws_);  // loads the columns
    double best = 1e9;
    for (int i = 0; i < kRuns; ++i) best = std::min(best, Seconds([&] { CrossTabulate(ws_); }));
    Report(name, best, ws_.FRowCount);
  }

  // The first tabulation after opening, loading included.
  void FirstRun(const std::string& csv, const char* name) {
    const double seconds = Seconds([&] {
      OpenDataset(ws_, csv);
      Col("店舗").FRole = kRoleRowItems;
      Col("分類").FRole = kRoleColumnItems;
      Col("金額").FRole = kRoleValue;
      CrossTabulate(ws_);
    });
    Report(name, seconds, ws_.FRowCount);
  }

  TWorkspace ws_;

 private:
  BenchWindow window_;
};

int Main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tabulon-bench-tab SALES.csv\n");
    return 2;
  }
  try {
    Bench b(argv[1]);
    b.FirstRun(argv[1], "first run: open, load, 店舗 x 分類, 金額 合計");

    b.Reset();
    b.Col("店舗").FRole = kRoleRowItems;
    b.Col("分類").FRole = kRoleColumnItems;
    b.Col("金額").FRole = kRoleValue;
    b.Case("店舗 x 分類, 金額 合計");
    const struct {
      TAggregate aggregate;
      const char* name;
    } aggregates[] = {{TAggregate::kAverage, "店舗 x 分類, 金額 平均"},
                      {TAggregate::kMin, "店舗 x 分類, 金額 最小"},
                      {TAggregate::kMax, "店舗 x 分類, 金額 最大"},
                      {TAggregate::kCount, "店舗 x 分類, 金額 件数"}};
    for (const auto& a : aggregates) {
      b.ws_.aggregate = a.aggregate;
      b.Case(a.name);
    }
    b.ws_.aggregate = TAggregate::kSum;
    b.Col("地域").SetSelected({Sjis("関東"), Sjis("近畿")});
    b.Case("店舗 x 分類, 金額 合計, 地域 = 2 values");
    b.ws_.forceGenericPass = true;
    b.Case("  the same through ReadRow per row");
    b.ws_.forceGenericPass = false;

    b.Reset();
    b.Col("日付").FDateUnit = kDateUnitMonth;
    b.Col("日付").FRole = kRoleColumnItems;
    b.Col("店舗").FRole = kRoleRowItems;
    b.Col("金額").FRole = kRoleValue;
    b.Case("日付 by month x 店舗, 金額 合計");

    b.Reset();
    b.Col("単価").FDivisions = 5;
    b.Col("単価").FRole = kRoleRowItems;
    b.Col("分類").FRole = kRoleColumnItems;
    b.Col("数量").FRole = kRoleValue;
    b.Case("単価 in 5 ranges x 分類, 数量 合計");

    // The text search streams the per-row file of the high-cardinality column.
    TMainLogic logic;
    logic.ListBox1Click(argv[1]);
    const auto& entries = logic.ColumnEntries();
    for (size_t i = 0; i < entries.size(); ++i)
      if (entries[i].find(Sjis("顧客コード")) != std::string::npos)
        logic.ListBox2Click(static_cast<int>(i));
    const struct {
      const char* pattern;
      const char* name;
    } searches[] = {{"C12345", "search 顧客コード for C12345 (few matches)"},
                    {"C1", "search 顧客コード for C1 (stops at 2001)"},
                    {"X", "search 顧客コード for X (no match)"}};
    for (const auto& search : searches) {
      double best = 1e9;
      for (int i = 0; i < kRuns; ++i)
        best = std::min(best, Seconds([&] { logic.Button9Click(search.pattern); }));
      Report(std::string(search.name) + " -> " + SjisToUtf8(logic.SearchPanel().countText), best,
             b.ws_.FRowCount);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tabulon-bench-tab: %s\n", SjisToUtf8(e.what()).c_str());
    return 1;
  }
}

}  // namespace
}  // namespace tabulon

int main(int argc, char** argv) {
  return tabulon::Main(argc, argv);
}
