#include "ui/ProgressWindow.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

#include "ui/Fonts.h"
#include "ui/QtStrings.h"

namespace tabulon {
TProgressWindow::TProgressWindow(QWidget* over)
    : QDialog(over, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowStaysOnTopHint),
      over_(over),
      import_(this) {
  setFont(WindowFont());
  setFixedSize(377, 57);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setGeometry(8, 8, 361, 17);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setRange(0, 10000);
  ProgressBar1->setValue(0);
  Label1 = new QLabel(QStringLiteral("0"), this);
  Label1->setGeometry(8, 32, 180, 16);
  Label2 = new QLabel(QStringLiteral("残り時間"), this);
  Label2->setGeometry(189, 32, 180, 16);
  Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TProgressWindow::Import(const std::string& csvPath) {
  if (over_ != nullptr) {
    const QPoint centre = over_->frameGeometry().center();
    move(centre.x() - width() / 2, centre.y() - height() / 2);
  }
  show();
  import_.Import(csvPath);
}

void TProgressWindow::SetCaption(const std::string& caption) {
  setWindowTitle(FromSjis(caption));
}

void TProgressWindow::SetMax(int64_t max) {
  shown_ = {};
  max_ = max;
  position_ = 0;
  shift_ = 0;
  while ((max_ >> shift_) > 0x7FFFFFFF) ++shift_;
  ProgressBar1->setRange(0, static_cast<int>(max_ >> shift_));
  ProgressBar1->setValue(0);
}

void TProgressWindow::ShowProgress() {
  // A last line without a line end puts the position 2 bytes past the maximum: the bar is full.
  const int64_t position = std::clamp<int64_t>(position_, 0, max_);
  ProgressBar1->setValue(static_cast<int>(position >> shift_));
  if (!positionText_.empty() || !timeText_.empty() || position >= max_) {
    Label1->setText(FromSjis(positionText_));
    Label2->setText(FromSjis(timeText_));
  }
}

void TProgressWindow::ProcessEvents() {
  const auto now = std::chrono::steady_clock::now();
  if (now - shown_ < kRepaintInterval && position_ < max_) return;
  shown_ = now;
  ShowProgress();
  QCoreApplication::processEvents();
}

void TProgressWindow::Close() {
  ShowProgress();
  hide();
}

}  // namespace tabulon
