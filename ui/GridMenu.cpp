// The main grid's own commands beside the drill-down: 戻る (Backspace, or the context menu) and
// the 構成比, 3桁区切り and 合計の大きい順 choices of the context menu.
#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>
#include <functional>

#include "ui/StringGrid.h"
#include "ui/unitMain.h"

namespace tabulon {

void TForm1::AppendGridMenuEntries(QMenu* menu) {
  QAction* back = menu->addAction(QStringLiteral("戻る"));
  back->setEnabled(logic_.CanUndoDrillDown());
  connect(back, &QAction::triggered, this, [this] { Run([this] { BackClick(); }); });

  menu->addSeparator();
  struct Entry {
    const char16_t* text;
    TShare share;
  };
  static const Entry kEntries[] = {{u"行比率", TShare::kRow},
                                   {u"列比率", TShare::kColumn},
                                   {u"総計比率", TShare::kTotal},
                                   {u"実数", TShare::kNone}};
  auto* group = new QActionGroup(menu);
  const bool available = logic_.ShareAvailable();
  for (const Entry& entry : kEntries) {
    QAction* action = menu->addAction(QString::fromUtf16(entry.text));
    group->addAction(action);
    action->setCheckable(true);
    action->setChecked(logic_.Share() == entry.share);
    // 実数 is always there to go back to; shares only where the totals are sums.
    action->setEnabled(available || entry.share == TShare::kNone);
    const TShare share = entry.share;
    connect(action, &QAction::triggered, this,
            [this, share] { Run([this, share] { ShareClick(share); }); });
  }

  menu->addSeparator();
  QAction* separators = menu->addAction(QStringLiteral("3桁区切り"));
  separators->setCheckable(true);
  separators->setChecked(logic_.Separators());
  connect(separators, &QAction::triggered, this,
          [this] { Run([this] { logic_.SeparatorsClick(); }); });
  QAction* byTotal = menu->addAction(QStringLiteral("合計の大きい順"));
  byTotal->setCheckable(true);
  byTotal->setChecked(logic_.SortByTotal());
  connect(byTotal, &QAction::triggered, this,
          [this] { Run([this] { logic_.SortByTotalClick(); }); });
}

namespace {

// Runs a command for a Backspace typed into the widget it watches (without modifiers).
class TBackspaceKey : public QObject {
 public:
  TBackspaceKey(QObject* parent, std::function<void()> command)
      : QObject(parent), command_(std::move(command)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Backspace && key->modifiers() == Qt::NoModifier) {
        command_();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> command_;
};

}  // namespace

void TForm1::WireGridCommands() {
  StringGrid1->installEventFilter(
      new TBackspaceKey(StringGrid1, [this] { Run([this] { BackClick(); }); }));
}

void TForm1::BackClick() {
  logic_.UndoDrillDown();
}

void TForm1::ShareClick(TShare share) {
  logic_.ShareClick(share);
}

}  // namespace tabulon
