// The progress window of the import: a fixed dialog without system buttons, on top of the other
// windows and centred over the main window, with the bar and the two labels below it. It owns the
// import (TformProgress), which drives it through TProgressView.
#pragma once

#include <QDialog>
#include <chrono>
#include <cstdint>
#include <string>

#include "import/unitProgress.h"

class QLabel;
class QProgressBar;

namespace tabulon {

class TProgressWindow : public QDialog, public TProgressView {
  Q_OBJECT
 public:
  // over: the window to centre on (the main window).
  explicit TProgressWindow(QWidget* over);

  // Shows the window (not modal) and imports csvPath; the import closes the window however it
  // ends. Throws IoError.
  void Import(const std::string& csvPath);
  TformProgress& Importer() { return import_; }

  // ---- TProgressView. The bar and labels reach the screen at ProcessEvents (every 100 rows),
  // at most every kRepaintInterval and always at the end of the file, so a row costs one store
  // of the position and the window costs the import only a few percent.
  void SetCaption(const std::string& caption) override;
  void SetMax(int64_t max) override;
  void SetPosition(int64_t position) override { position_ = position; }
  void SetPositionLabel(const std::string& text) override { positionText_ = text; }
  void SetTimeLabel(const std::string& text) override { timeText_ = text; }
  void ProcessEvents() override;
  void Close() override;

  QProgressBar* ProgressBar1;
  QLabel* Label1;  // lower left: position / maximum
  QLabel* Label2;  // lower right: remaining time

 private:
  static constexpr std::chrono::milliseconds kRepaintInterval{40};
  // Writes the bar and the labels.
  void ShowProgress();

  QWidget* over_;             // the main window
  TformProgress import_;      // the import state, reused by every import
  int64_t max_ = 10000;       // the bar's range in bytes
  int64_t position_ = 0;      // bytes consumed
  int shift_ = 0;             // the bar counts bytes >> shift_, so a large file fits an int
  std::string positionText_;  // the lower-left label's next text (Shift-JIS)
  std::string timeText_;      // the lower-right label's next text
  std::chrono::steady_clock::time_point shown_;  // when the window was last brought up to date
};

}  // namespace tabulon
