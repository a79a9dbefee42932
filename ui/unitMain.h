// The main window TForm1: every control of the main screen, each handler a few lines that read
// the controls, call one operation of TMainLogic and render the state again (Render). The windows
// it shows (progress, enlarged table, chart) are made by the program entry and handed over by
// SetWindows.
#pragma once

#include <QDesktopServices>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "mainlogic/DatasetList.h"
#include "mainlogic/MainLogic.h"

class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QMimeData;
class QDateEdit;
class QGroupBox;
class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class QTimer;
class QToolButton;

namespace tabulon {

class TClickLabel;
class TDialogs;
class TForm2;
class TForm3;
class THelpWindow;
class TProgressWindow;
class TRangeBar;
class TStringGrid;

class TForm1;

// The main window's logic with the window's services: the chart window, the hourglass cursor,
// the pending events and the range labels' font. After Detach (the window is going) they do
// nothing.
class TForm1Logic final : public TMainLogic {
 public:
  explicit TForm1Logic(TForm1* form) : form_(form) {}
  void Detach() { form_ = nullptr; }

  bool ChartShowing() override;
  // The chart is drawn from the main grid, whichever grid received the result.
  void BuildChart(TResultTable& table) override;
  void CloseChart() override;
  void BeginBusy() override;
  void EndBusy() override;
  // Repaints the pressed button and the cursor; user input waits, so no second command starts
  // inside this one.
  void ProcessEvents() override;
  int LabelWidth(const std::string& text) const override;

 private:
  TForm1* form_;  // not owned
};

struct TForm1Options {
  std::string listFile;    // the ".lis" file (TDatasetList::ListFileFor)
  std::string samplePath;  // written into a list file that does not exist yet; empty: none
};

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  TForm1(TDialogs& dialogs, TForm1Options options, QWidget* parent = nullptr);
  ~TForm1() override;

  // The other windows, made after this one. Any may be null (no import, no enlarged table, no
  // chart). REQUIRES: they outlive this window's handlers.
  void SetWindows(TProgressWindow* progress, TForm2* form2, TForm3* form3);

  TMainLogic& Logic() { return logic_; }
  const TDatasetList& Datasets() const { return datasets_; }

  // Runs a command under the general error report, then renders the state.
  void Run(const std::function<void()>& command);
  // Writes the logic's state into the controls, with their signals blocked.
  void Render();
  // Widens the record count's panel to the left, its right edge kept, when the count needs more
  // than its width at design: ten million records would otherwise lose their first digit.
  void FitRecordCount();

  // The toggle SpeedButtonN (4..11) set down or up as the enlarged-table window copies it: in
  // the aggregate group a button set down releases the others and one cannot be released
  // directly.
  void SetToggleDown(int n, bool down);
  // The save command, its dialogs over parent.
  void SaveResult(QWidget* parent);

  // ---- Handlers, named after their controls.
  void Timer1Timer();
  void Button1Click();
  void Button2Click();
  void ListBox1Click();
  void ListBox2Click();
  void ListBox3Click();
  void Button3Click();
  void Splitter1Moved(int handleLeft);
  void Splitter2Moved(int handleLeft);
  void Panel2MouseDown(TMouseButton button, int x);
  void Panel3MouseDown(TMouseButton button, int x);
  void Panel4MouseDown(TMouseButton button, int x);
  void Label5Click();
  void Label6Click();
  void ComboBox2Change();
  void Button4Click();
  void Edit1KeyPress();
  void Button9Click();
  void ListBox4Click();
  void Button5Click();
  void DateTimePicker1Change(TDateControl sender);
  void RadioGroup1Click(int index);
  void Button6Click();
  void SpeedButton1Click(int button);  // 0..2 role toggles, 3..7 合計..件数
  void SpeedButton9Click();            // 合計表示, ０非表示
  void SpeedButton11Click();
  void Button7Click();
  void Button8Click();
  void Button10Click();
  void Button11Click();
  void Button12Click();
  void Button13Click();
  void Button14Click();
  void Button15Click();
  void StringGrid1MouseDown(int col, int row);
  // 戻る (Backspace on the grid, or its context menu): undoes the last drill-down.
  void BackClick();
  // 構成比 from the grid's context menu: 行比率, 列比率, 総計比率, or 実数 (kNone).
  void ShareClick(TShare share);
  // Appends to a context menu of the grid: "戻る" (enabled while a drill-down can be undone), a
  // separator, then "行比率", "列比率", "総計比率" (enabled where shares can be shown) and "実数",
  // the one in force checked. Each entry runs its handler under the general error report.
  void AppendGridMenuEntries(QMenu* menu);
  // The entries of the menu the right button opens on the main grid.
  void StringGrid1ContextMenu(QMenu& menu);
  // Opens the help page on the desktop; when the desktop cannot, shows it in a window of its own.
  void Image1Click();
  void CrossTabulateNow();  // the table computed again, for the enlarged-table window
  // 追加(&A) after its dialog: lists chosen (a path as the dialog returns it), imports it and opens
  // it. Throws what the list file and the import throw; the window is enabled again either way.
  void AddDataset(const QString& chosen);

  // Hands a page to the desktop's browser; false when the desktop cannot open it.
  std::function<bool(const QUrl&)> openUrl = &QDesktopServices::openUrl;
  // The window Image1Click shows the help page in, null until it is needed.
  THelpWindow* HelpWindow() const { return helpWindow_; }

  // ---- Controls (public so the tests drive them as a user would).
  QListWidget* ListBox1;
  QPushButton* Button1;
  QPushButton* Button2;
  QPlainTextEdit* Memo1;
  QLabel* Label1;
  QListWidget* ListBox2;

  QGroupBox* GroupBox1;
  QListWidget* ListBox3;
  QLabel* Label7;
  QPushButton* Button3;

  QGroupBox* GroupBox2;
  QLabel* Label3;
  QLabel* Label4;
  TRangeBar* Panel2;
  TClickLabel* Label5;
  TClickLabel* Label6;
  QLabel* Label12;
  QComboBox* ComboBox2;
  QPushButton* Button4;

  QGroupBox* GroupBox3;
  QLineEdit* Edit1;
  QPushButton* Button9;
  QLabel* Label8;
  QListWidget* ListBox4;
  QPushButton* Button5;

  QGroupBox* GroupBox4;
  QLabel* Label10;
  QLabel* Label11;
  QDateEdit* DateTimePicker1;
  QDateEdit* DateTimePicker2;
  QTimeEdit* DateTimePicker3;
  QTimeEdit* DateTimePicker4;
  QLabel* Label9;
  QComboBox* ComboBox1;
  QGroupBox* RadioGroup1;
  QButtonGroup* RadioGroup1Buttons;
  QPushButton* Button6;

  QFrame* Panel5;
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton3;
  QFrame* Panel1;
  QLabel* Label2;
  TClickLabel* Image1;
  QPushButton* Button7;
  QPushButton* Button8;
  QToolButton* SpeedButton4;
  QToolButton* SpeedButton5;
  QToolButton* SpeedButton6;
  QToolButton* SpeedButton7;
  QToolButton* SpeedButton8;
  QPushButton* Button10;
  QPushButton* Button11;
  QPushButton* Button12;
  QToolButton* SpeedButton9;
  QToolButton* SpeedButton10;
  QToolButton* SpeedButton11;
  QPushButton* Button15;
  QPushButton* Button14;
  QPushButton* Button13;
  TStringGrid* StringGrid1;
  QTimer* Timer1;

 protected:
  friend class TForm1Logic;
  // CSV files dropped on the window are added one after the other, each as 追加(&A) adds it.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The local files named *.csv among dropped data, in their order.
  static std::vector<QString> DroppedCsvFiles(const QMimeData* data);
  void BuildDatasetControls();
  void BuildItemPanel();
  void BuildRangePanel();
  void BuildSearchPanel();
  void BuildDatePanel();
  void BuildToolbar();
  void Wire();
  void WireGridCommands();  // Backspace on StringGrid1 runs 戻る
  void RenderItemPanel();
  void RenderRangePanel();
  void RenderSearchPanel();
  void RenderDatePanel();
  void RenderToggles();
  void ShowDatasetList();  // Memo1 from the dataset list
  // Imports path through the progress window, then shows in one message box what its text lost
  // (characters that became "〓", or a file that is no text). Throws IoError.
  void ImportWithNotices(const std::string& path);
  std::string ChartTitle() const;  // the selected dataset's display name, Shift-JIS

  TDialogs& dialogs_;                      // every dialog and message box
  TForm1Options options_;                  // list file and first-run sample
  TDatasetList datasets_;                  // Memo1's paths and the ".lis" file
  TForm1Logic logic_;                      // the window's state and handlers without widgets
  TProgressWindow* progress_ = nullptr;    // not owned
  TForm2* form2_ = nullptr;                // not owned
  TForm3* form3_ = nullptr;                // not owned
  QToolButton* toggles_[12] = {};          // SpeedButton1..11 by number (0 unused)
  std::vector<std::string> radioEntries_;  // the interval entries RadioGroup1 shows
  bool rendering_ = false;                 // Render is writing the controls
  THelpWindow* helpWindow_ = nullptr;      // owned by this window as its child
  int rowBeforePress_ = -1;                // ListBox1's current row when the mouse went down
};

}  // namespace tabulon
