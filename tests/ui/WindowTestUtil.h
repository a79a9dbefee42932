// The main window under test: scripted dialogs, a generated Shift-JIS dataset and the windows of
// the program made in their order.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "platform/SjisText.h"
#include "ui/Dialogs.h"
#include "ui/ProgressWindow.h"
#include "ui/StringGrid.h"
#include "ui/unitChart.h"
#include "ui/unitMain.h"
#include "ui/unitTable.h"

namespace tabulon::test {

// Dialogs that answer from scripts: an empty answer cancels a file dialog.
class TScriptedDialogs : public TDialogs {
 public:
  bool OpenFile(QWidget*, const QString& filter, const QString&, QString* path) override {
    filters.push_back(filter);
    return Answer(&openAnswers, path);
  }
  bool SaveFile(QWidget* parent, const QString& filter, const QString&, QString* path,
                const QString& title) override {
    filters.push_back(filter);
    titles.push_back(title);
    parents.push_back(parent);
    return Answer(&saveAnswers, path);
  }
  void Message(QWidget*, const QString& text) override {
    messages.push_back(text);
    if (onMessage) onMessage();
  }
  QString InputValue(QWidget*, const QString& initial) override {
    inputInitials.push_back(initial);
    if (inputs.empty()) return initial;
    QString typed = inputs.front();
    inputs.pop_front();
    return typed;
  }

  std::deque<QString> openAnswers, saveAnswers, inputs;
  std::vector<QString> filters, messages, inputInitials;
  std::vector<QString> titles;      // of the save dialogs, in turn
  std::vector<QWidget*> parents;    // of the save dialogs, in turn
  std::function<void()> onMessage;  // run while a message is shown

 private:
  static bool Answer(std::deque<QString>* answers, QString* path) {
    if (answers->empty()) return false;
    *path = answers->front();
    answers->pop_front();
    return !path->isEmpty();
  }
};

// Processes events until done() holds or the time runs out.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// A dataset of rows records: 店舗 (3 shops), 金額 (0..900 in hundreds), 日付 (60 days from
// 2024/01/01) and 伝票 (a distinct slip number per record: more than 2000 makes a search column).
inline std::string MakeCsv(int rows) {
  static const char* shops[] = {"京都店", "銀座店", "渋谷店"};
  std::string text = S("店舗,金額,日付,伝票") + "\r\n";
  for (int i = 0; i < rows; ++i) {
    const QDate day = QDate(2024, 1, 1).addDays(i % 60);
    text += S(shops[i % 3]) + "," + std::to_string((i % 10) * 100) + "," +
            day.toString(QStringLiteral("yyyy/MM/dd")).toStdString() + ",N" +
            std::to_string(10000 + i) + "\r\n";
  }
  return text;
}

inline QString Q(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

inline QStringList Entries(const QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
  return texts;
}

inline QStringList Row(TStringGrid* grid, int row) {
  grid->Flush();
  QStringList texts;
  for (int c = 0; c < grid->ColCount(); ++c) texts << grid->DisplayText(c, row);
  return texts;
}

inline QStringList Column(TStringGrid* grid, int col) {
  grid->Flush();
  QStringList texts;
  for (int r = 0; r < grid->RowCount(); ++r) texts << grid->DisplayText(col, r);
  return texts;
}

// Clicks cell (col, row) of grid where it is drawn: a heading, the corner or the body.
inline void ClickGridCell(TStringGrid* grid, int col, int row,
                          Qt::MouseButton button = Qt::LeftButton) {
  grid->Flush();
  QTest::mouseClick(grid->CellWidget(col, row), button, {}, grid->CellRect(col, row).center());
}

// The entries of the context menu that a context-menu event at pos of target opens.
inline QStringList MenuEntries(QWidget* target, const QPoint& pos) {
  QStringList entries;
  QTimer::singleShot(0, [&entries] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    for (QAction* action : menu->actions()) entries << action->text();
    menu->close();
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, pos, target->mapToGlobal(pos));
  QApplication::sendEvent(target, &event);
  return entries;
}

// The program's windows over a scratch folder.
class TWindows {
 public:
  explicit TWindows(const std::string& listFile, const std::string& sample = "") {
    TForm1Options options;
    options.listFile = listFile;
    options.samplePath = sample;
    form1 = std::make_unique<TForm1>(dialogs, options);
    progress = std::make_unique<TProgressWindow>(form1.get());
    form2 = std::make_unique<TForm2>(form1.get());
    form3 = std::make_unique<TForm3>();
    form1->SetWindows(progress.get(), form2.get(), form3.get());
  }
  // Shows the main window and waits for the start-up to end.
  bool Start() {
    form1->show();
    return WaitUntil([this] { return !form1->Timer1->isActive(); });
  }
  // Clicks row of a list as a user does.
  void ClickEntry(QListWidget* list, int row) {
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
  }
  void ClickCell(int col, int row, Qt::MouseButton button = Qt::LeftButton) {
    ClickGridCell(form1->StringGrid1, col, row, button);
  }

  TScriptedDialogs dialogs;
  std::unique_ptr<TForm1> form1;
  std::unique_ptr<TProgressWindow> progress;
  std::unique_ptr<TForm2> form2;
  std::unique_ptr<TForm3> form3;
};

}  // namespace tabulon::test
