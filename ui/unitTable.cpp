#include "ui/unitTable.h"

#include <QEvent>
#include <QFrame>
#include <QPushButton>
#include <QToolButton>

#include "ui/Artwork.h"
#include "ui/Fonts.h"
#include "ui/StringGrid.h"
#include "ui/Toggles.h"
#include "ui/unitMain.h"

namespace tabulon {

TForm2::TForm2(TForm1* main) : QWidget(main, Qt::Window | Qt::WindowStaysOnTopHint), main_(main) {
  setWindowTitle(QStringLiteral("拡大表示画面"));
  setWindowIcon(QIcon(QPixmap::fromImage(DrawIcon(64))));
  setFont(WindowFont());
  setGeometry(192, 107, 783, 540);
  Panel1 = new QFrame(this);
  Panel1->setFrameShape(QFrame::NoFrame);
  Panel1->setGeometry(0, 0, width(), 25);
  Button8 = new QPushButton(QStringLiteral("保存(&S)"), Panel1);
  Button8->setGeometry(0, 0, 65, 25);
  Button8->setAutoDefault(false);
  struct ButtonPlace {
    const char* caption;
    int left, top, width, height;
  };
  const ButtonPlace places[] = {{"合計", 72, 3, 33, 22},      {"平均", 104, 3, 33, 22},
                                {"最小", 136, 3, 33, 22},     {"最大", 168, 3, 33, 22},
                                {"件数", 200, 3, 33, 22},     {"合計表示", 240, 0, 49, 25},
                                {"０非表示", 288, 0, 49, 25}, {"並び替え", 336, 0, 49, 25}};
  for (int k = 0; k < 8; ++k) {
    toggles_[k] = MakeToggle(Panel1, QString::fromUtf8(places[k].caption), places[k].left,
                             places[k].top, places[k].width, places[k].height);
  }
  SpeedButton4 = toggles_[0];
  SpeedButton5 = toggles_[1];
  SpeedButton6 = toggles_[2];
  SpeedButton7 = toggles_[3];
  SpeedButton8 = toggles_[4];
  SpeedButton9 = toggles_[5];
  SpeedButton10 = toggles_[6];
  SpeedButton11 = toggles_[7];
  SpeedButton8->setChecked(true);
  SpeedButton9->setChecked(true);
  SpeedButton11->setChecked(true);

  StringGrid1 = new TStringGrid(this, false);
  StringGrid1->setFont(WindowFont());
  StringGrid1->setGeometry(0, 25, width(), height() - 25);

  for (int n = 4; n <= 11; ++n)
    connect(Toggle(n), &QToolButton::clicked, this, [this, n] {
      // The aggregate group: the clicked button is down and the others up.
      if (n <= 8)
        for (int m = 4; m <= 8; ++m) Toggle(m)->setChecked(m == n);
      SpeedButton4Click();
    });
  connect(Button8, &QPushButton::clicked, this, &TForm2::Button8Click);
}

void TForm2::ShowEnlarged() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
  show();
  raise();
  activateWindow();
  FormActivate();
}

void TForm2::FormActivate() {
  QToolButton* mainToggles[] = {main_->SpeedButton4,  main_->SpeedButton5, main_->SpeedButton6,
                                main_->SpeedButton7,  main_->SpeedButton8, main_->SpeedButton9,
                                main_->SpeedButton10, main_->SpeedButton11};
  for (int n = 4; n <= 11; ++n) Toggle(n)->setChecked(mainToggles[n - 4]->isChecked());
}

void TForm2::SpeedButton4Click() {
  main_->Run([this] {
    for (int n = 4; n <= 11; ++n) main_->SetToggleDown(n, Toggle(n)->isChecked());
    main_->CrossTabulateNow();
  });
}

void TForm2::Button8Click() {
  main_->Run([this] { main_->SaveResult(this); });
}

void TForm2::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TForm2::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  main_->Logic().SetEnlargedShowing(true);
}

void TForm2::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // A minimised window is still showing.
  main_->Logic().SetEnlargedShowing(isVisible());
}

void TForm2::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Panel1->setGeometry(0, 0, width(), 25);
  StringGrid1->setGeometry(0, 25, width(), height() - 25);
}

}  // namespace tabulon
