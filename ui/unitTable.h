// The enlarged-table window TForm2 "拡大表示画面": the current result on the whole screen, with
// its own grid and its own copies of the aggregate and display toggles. While it is showing,
// tabulations and record lists go to its grid (the main window's logic is told on every show and
// hide). The main window's toggles are the ones the tabulation reads: activation copies them
// here, a click here copies them back and recomputes.
#pragma once

#include <QWidget>

class QFrame;
class QPushButton;
class QToolButton;

namespace tabulon {

class TForm1;
class TStringGrid;

class TForm2 : public QWidget {
  Q_OBJECT
 public:
  // main: the main window. REQUIRES: main outlives this window.
  explicit TForm2(TForm1* main);

  // Shows the window maximised (the main window's □).
  void ShowEnlarged();

  // Copies SpeedButton4..11 from the main window, in that order.
  void FormActivate();
  // Copies SpeedButton4..11 to the main window, in that order, then recomputes.
  void SpeedButton4Click();
  // The main window's save command.
  void Button8Click();

  QFrame* Panel1;
  QPushButton* Button8;
  QToolButton* SpeedButton4;
  QToolButton* SpeedButton5;
  QToolButton* SpeedButton6;
  QToolButton* SpeedButton7;
  QToolButton* SpeedButton8;
  QToolButton* SpeedButton9;
  QToolButton* SpeedButton10;
  QToolButton* SpeedButton11;
  TStringGrid* StringGrid1;

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* Toggle(int n) const { return toggles_[n - 4]; }

  TForm1* main_;                  // not owned
  QToolButton* toggles_[8] = {};  // SpeedButton4..11
};

}  // namespace tabulon
