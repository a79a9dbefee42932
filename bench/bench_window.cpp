// tabulon-bench-window [SALES.csv]: the main window's clicks on an imported sales dataset (imported
// in-process first when its store is out of date), on Qt's offscreen platform. Each kind of click
// calls the window's own handler, as the click does, and is timed until the grid shows its new
// content: the tabulation, the model fill, the column widths and the sort, with pending events
// processed. Prints the best and the median of the runs per kind.
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "import/unitProgress.h"
#include "platform/SjisText.h"
#include "ui/Dialogs.h"
#include "ui/ProgressWindow.h"
#include "ui/StringGrid.h"
#include "ui/unitChart.h"
#include "ui/unitMain.h"
#include "ui/unitTable.h"

namespace tabulon {
namespace {

constexpr int kRuns = 7;

// Dialogs that never wait for a user: file dialogs cancel, messages are printed.
class TQuietDialogs : public TDialogs {
 public:
  bool OpenFile(QWidget*, const QString&, const QString&, QString*) override { return false; }
  bool SaveFile(QWidget*, const QString&, const QString&, QString*, const QString&) override {
    return false;
  }
  void Message(QWidget*, const QString& text) override {
    std::fprintf(stderr, "message: %s\n", text.toStdString().c_str());
  }
  QString InputValue(QWidget*, const QString& initial) override { return initial; }
};

void Settle(TStringGrid* grid) {
  grid->Flush();
  QCoreApplication::processEvents();
}

// The best and median milliseconds of kRuns runs of click, each followed by settling the grid;
// undo (when given) runs untimed after each run so that every run starts from the same state.
void Time(const char* name, TStringGrid* grid, const std::function<void()>& click,
          const std::function<void()>& undo = {}) {
  std::vector<double> ms;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    click();
    Settle(grid);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
    if (undo) {
      undo();
      Settle(grid);
    }
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-34s %9.1f %9.1f   (%d x %d cells)\n", name, ms.front(), ms[ms.size() / 2],
              grid->ColCount(), grid->RowCount());
}

// Selects the column named name (UTF-8) in the column list as a click on it does.
void SelectColumn(TForm1& f, const char* name) {
  for (int i = 0; i < f.ListBox2->count(); ++i) {
    const QString entry = f.ListBox2->item(i)->text();  // a role mark or two spaces, then the name
    if (entry.mid(1).trimmed() == QString::fromUtf8(name)) {
      f.ListBox2->setCurrentRow(i);
      f.ListBox2Click();
      Settle(f.StringGrid1);
      return;
    }
  }
  std::fprintf(stderr, "tabulon-bench-window: no column %s\n", name);
  std::exit(1);
}

void Toggle(QToolButton* button, const std::function<void()>& handler) {
  button->setChecked(!button->isChecked());
  handler();
}

int Main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const std::string csv = argc > 1 ? argv[1] : "bench-data/sales-1m.csv";
  const std::filesystem::path list = std::filesystem::temp_directory_path() /
                                     ("tabulon-bench-window-" + std::to_string(::getpid()));
  try {
    {
      TSilentProgress view;
      TformProgress importer(&view);
      importer.Import(csv);
    }
    std::ofstream(list, std::ios::binary) << csv << "\r\n";
    TQuietDialogs dialogs;
    TForm1Options options;
    options.listFile = list.string();
    TForm1 form1(dialogs, options);
    TProgressWindow progress(&form1);
    TForm2 form2(&form1);
    TForm3 form3;
    form1.SetWindows(&progress, &form2, &form3);
    form1.show();
    QElapsedTimer started;
    started.start();
    while (form1.Timer1->isActive() && started.elapsed() < 60000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::filesystem::remove(list);
    TForm1& f = form1;
    TStringGrid* grid = f.StringGrid1;
    std::printf("window: %s (%s records)\n", csv.c_str(), f.Label2->text().toStdString().c_str());
    std::printf("%-34s %9s %9s\n", "click", "best ms", "median ms");

    // 店舗 as the row items, 分類 as the column items, 金額 as the values: each role button.
    SelectColumn(f, "店舗");
    Time(
        "role: row items (店舗)", grid, [&] { f.SpeedButton1Click(kRoleRowItems); },
        [&] { f.SpeedButton1Click(kRoleRowItems); });
    f.SpeedButton1Click(kRoleRowItems);  // the role stays set for the clicks after it
    SelectColumn(f, "分類");
    Time(
        "role: column items (分類)", grid, [&] { f.SpeedButton1Click(kRoleColumnItems); },
        [&] { f.SpeedButton1Click(kRoleColumnItems); });
    f.SpeedButton1Click(kRoleColumnItems);  // the role stays set for the clicks after it
    SelectColumn(f, "金額");
    Time(
        "role: values (金額)", grid, [&] { f.SpeedButton1Click(kRoleValue); },
        [&] { f.SpeedButton1Click(kRoleValue); });
    f.SpeedButton1Click(kRoleValue);  // the role stays set for the clicks after it
    // The aggregate toggles follow the role toggles: 合計, 平均, 最小, 最大, 件数.
    const char* aggregates[] = {"aggregate: 合計", "aggregate: 平均", "aggregate: 最小",
                                "aggregate: 最大", "aggregate: 件数"};
    for (int i = 4; i >= 0; --i)
      Time(aggregates[i], grid, [&] { f.SpeedButton1Click(kRoleCount + i); });
    Time("行列入替え", grid, [&] { f.Button12Click(); });
    Time("合計表示", grid, [&] { Toggle(f.SpeedButton9, [&] { f.SpeedButton9Click(); }); });
    Time("並び替え", grid, [&] { Toggle(f.SpeedButton11, [&] { f.SpeedButton11Click(); }); });

    // A pick in the item list of 店舗, undone by picking every item again. A click on the list is
    // one change of its selection, whose signal runs the handler: the pick is made as one change
    // (only the first item), not as a clearing followed by a selection, two changes a click never
    // makes.
    SelectColumn(f, "店舗");
    Time(
        "item pick (店舗, first item)", grid,
        [&] {
          f.ListBox3->selectionModel()->select(f.ListBox3->model()->index(0, 0),
                                               QItemSelectionModel::ClearAndSelect);
        },
        [&] { f.ListBox3->selectAll(); });

    // A drill-down on the first column heading, undone by 戻る.
    Time(
        "drill-down (column heading)", grid, [&] { f.StringGrid1MouseDown(1, 0); },
        [&] { f.BackClick(); });

    // 数量 as the row items, then a change of its division between two of the choices offered.
    SelectColumn(f, "数量");
    f.ComboBox2->setCurrentIndex(std::min(1, f.ComboBox2->count() - 1));
    f.ComboBox2Change();
    f.SpeedButton1Click(0);
    Settle(grid);
    int division = 0;
    Time("division (数量)", grid, [&] {
      f.ComboBox2->setCurrentIndex(std::min(++division % 2 + 1, f.ComboBox2->count() - 1));
      f.ComboBox2Change();
    });

    // A search on the per-row text column 顧客コード.
    SelectColumn(f, "顧客コード");
    f.Edit1->setText(QStringLiteral("123"));
    Time("search (顧客コード, \"123\")", grid, [&] { f.Button9Click(); });
    return 0;
  } catch (const std::exception& e) {
    std::filesystem::remove(list);
    std::fprintf(stderr, "tabulon-bench-window: %s\n", SjisToUtf8(e.what()).c_str());
    return 1;
  }
}

}  // namespace
}  // namespace tabulon

int main(int argc, char** argv) {
  return tabulon::Main(argc, argv);
}
