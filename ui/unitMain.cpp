#include "ui/unitMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "platform/Errors.h"
#include "platform/SjisText.h"
#include "ui/Artwork.h"
#include "ui/ClickLabel.h"
#include "ui/DatePickers.h"
#include "ui/Dialogs.h"
#include "ui/ErrorReport.h"
#include "ui/Fonts.h"
#include "ui/HelpPage.h"
#include "ui/ProgressWindow.h"
#include "ui/QtStrings.h"
#include "ui/RangeBar.h"
#include "ui/StringGrid.h"
#include "ui/Toggles.h"
#include "ui/unitChart.h"
#include "ui/unitTable.h"

namespace tabulon {
namespace {

const QDate kEpoch(1899, 12, 30);

QDate DateOfSerial(double serial) {
  return kEpoch.addDays(static_cast<qint64>(std::floor(serial)));
}
double SerialOfDate(const QDate& date) {
  return static_cast<double>(kEpoch.daysTo(date));
}
QTime TimeOfSerial(double serial) {
  const double fraction = std::fabs(serial - std::trunc(serial));
  const int ms = std::min(86399999, static_cast<int>(std::llround(fraction * 86400000.0)));
  return QTime(0, 0).addMSecs(ms);
}
double SerialOfTime(const QTime& time) {
  return time.msecsSinceStartOfDay() / 86400000.0;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, int l, int t, int w, int h) {
  auto* button = new QPushButton(caption, parent);
  button->setGeometry(l, t, w, h);
  button->setAutoDefault(false);
  return button;
}

QLabel* MakeLabel(QWidget* parent, const QString& caption, int l, int t, int w, int h,
                  const QFont& font, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = new QLabel(caption, parent);
  label->setGeometry(l, t, w, h);
  label->setFont(font);
  label->setAlignment(align);
  return label;
}

QListWidget* MakeList(QWidget* parent, int l, int t, int w, int h, bool multi) {
  auto* list = new QListWidget(parent);
  list->setGeometry(l, t, w, h);
  list->setFont(DataFont());
  list->setSelectionMode(multi ? QAbstractItemView::MultiSelection
                               : QAbstractItemView::SingleSelection);
  list->setUniformItemSizes(true);
  return list;
}

// Sets a list's entries when they differ from what it shows (so its scroll position stays).
void SetEntries(QListWidget* list, const std::vector<std::string>& entries) {
  bool same = list->count() == static_cast<int>(entries.size());
  for (int i = 0; same && i < list->count(); ++i)
    same = list->item(i)->text() == FromSjis(entries[static_cast<size_t>(i)]);
  if (same) return;
  if (list->count() == static_cast<int>(entries.size())) {
    for (int i = 0; i < list->count(); ++i)
      list->item(i)->setText(FromSjis(entries[static_cast<size_t>(i)]));
    return;
  }
  list->clear();
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(entries.size()));
  for (const std::string& entry : entries) texts << FromSjis(entry);
  list->addItems(texts);
}

void SetPicks(QListWidget* list, const std::vector<bool>& picked) {
  for (int i = 0; i < list->count(); ++i) {
    const bool pick = i < static_cast<int>(picked.size()) && picked[static_cast<size_t>(i)];
    if (list->item(i)->isSelected() != pick) list->item(i)->setSelected(pick);
  }
}

std::vector<int> PickedRows(const QListWidget* list) {
  std::vector<int> rows;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) rows.push_back(i);
  return rows;
}

void SetCombo(QComboBox* combo, const std::vector<std::string>& entries, int index) {
  bool same = combo->count() == static_cast<int>(entries.size());
  for (int i = 0; same && i < combo->count(); ++i)
    same = combo->itemText(i) == FromSjis(entries[static_cast<size_t>(i)]);
  if (!same) {
    combo->clear();
    for (const std::string& entry : entries) combo->addItem(FromSjis(entry));
  }
  combo->setCurrentIndex(index);
}

void PlaceLabel(QLabel* label, const TLabelState& state, int top) {
  label->setText(FromSjis(state.text));
  label->setGeometry(state.left, top, std::max(1, state.width), label->height());
}

}  // namespace

bool TForm1Logic::ChartShowing() {
  return form_ != nullptr && form_->form3_ != nullptr && form_->form3_->IsShowing();
}
void TForm1Logic::BuildChart(TResultTable&) {
  if (form_ != nullptr && form_->form3_ != nullptr)
    form_->form3_->BuildChart(*form_->StringGrid1, Workspace().showTotals, form_->ChartTitle());
}
void TForm1Logic::CloseChart() {
  if (form_ != nullptr && form_->form3_ != nullptr) form_->form3_->close();
}
void TForm1Logic::BeginBusy() {
  if (form_ != nullptr) QApplication::setOverrideCursor(Qt::WaitCursor);
}
void TForm1Logic::EndBusy() {
  if (form_ != nullptr) QApplication::restoreOverrideCursor();
}
void TForm1Logic::ProcessEvents() {
  if (form_ != nullptr) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
int TForm1Logic::LabelWidth(const std::string& text) const {
  if (form_ == nullptr) return TMainLogic::LabelWidth(text);
  return QFontMetrics(form_->Label5->font()).horizontalAdvance(FromSjis(text));
}

TForm1::TForm1(TDialogs& dialogs, TForm1Options options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      dialogs_(dialogs),
      options_(std::move(options)),
      datasets_(options_.listFile),
      logic_(this) {
  setWindowTitle(QStringLiteral("Tabulon"));
  setWindowIcon(QIcon(QPixmap::fromImage(DrawIcon(64))));
  setFont(WindowFont());
  setFixedSize(792, 573);
  move(219, 153);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Button);
  setAcceptDrops(true);

  BuildDatasetControls();
  BuildItemPanel();
  BuildRangePanel();
  BuildSearchPanel();
  BuildDatePanel();
  BuildToolbar();
  Wire();

  Timer1 = new QTimer(this);
  Timer1->setSingleShot(true);
  Timer1->setInterval(1);
  connect(Timer1, &QTimer::timeout, this, [this] { Run([this] { Timer1Timer(); }); });
  Timer1->start();
  Render();
}

TForm1::~TForm1() {
  logic_.Detach();
  logic_.SetEnlargedGrid(nullptr);
  logic_.SetMainGrid(nullptr);
}

void TForm1::BuildDatasetControls() {
  ListBox1 = MakeList(this, 8, 8, 153, 169, false);
  ListBox1->setFont(WindowFont());
  Button1 = MakeButton(this, QStringLiteral("追加(&A)"), 8, 184, 75, 25);
  Button2 = MakeButton(this, QStringLiteral("削除(&D)"), 88, 184, 75, 25);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setGeometry(24, 16, 33, 33);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVisible(false);
  Label1 = MakeLabel(this, QStringLiteral("*"), 176, 8, 600, 14, WindowFont());
  ListBox2 = MakeList(this, 176, 24, 153, 185, false);
}

void TForm1::BuildItemPanel() {
  GroupBox1 = new QGroupBox(this);
  GroupBox1->setGeometry(336, 24, 449, 185);
  ListBox3 = MakeList(GroupBox1, 8, 16, 361, 161, true);
  Label7 = MakeLabel(GroupBox1, QStringLiteral("0000"), 376, 14, 67, 24, WindowFont(21, true),
                     Qt::AlignRight | Qt::AlignVCenter);
  Button3 = MakeButton(GroupBox1, QStringLiteral("リセット(&R)"), 376, 152, 67, 25);
  GroupBox1->setVisible(false);
}

void TForm1::BuildRangePanel() {
  GroupBox2 = new QGroupBox(this);
  GroupBox2->setGeometry(336, 24, 449, 185);
  const QFont font16 = WindowFont(16, false);
  Label3 = MakeLabel(GroupBox2, QString(), 8, 16, 100, 18, font16);
  Label4 =
      MakeLabel(GroupBox2, QString(), 269, 16, 100, 18, font16, Qt::AlignRight | Qt::AlignVCenter);
  Panel2 = new TRangeBar(GroupBox2);
  Panel2->setGeometry(TRangePanelState::kBarLeft, 36, 361, 25);
  QFont underlined = font16;
  underlined.setUnderline(true);
  Label5 = new TClickLabel(GroupBox2);
  Label6 = new TClickLabel(GroupBox2);
  for (TClickLabel* label : {Label5, Label6}) {
    label->setFont(underlined);
    label->setCursor(Qt::PointingHandCursor);
    label->setGeometry(8, 64, 100, 18);
  }
  Label12 = MakeLabel(GroupBox2, QStringLiteral("分割選択"), 8, 100, 100, 16, WindowFont());
  ComboBox2 = new QComboBox(GroupBox2);
  ComboBox2->setFont(font16);
  ComboBox2->setGeometry(8, 118, 100, 26);
  Button4 = MakeButton(GroupBox2, QStringLiteral("リセット(&R)"), 376, 152, 67, 25);
  GroupBox2->setVisible(false);
}

void TForm1::BuildSearchPanel() {
  GroupBox3 = new QGroupBox(this);
  GroupBox3->setGeometry(336, 24, 449, 185);
  Edit1 = new QLineEdit(GroupBox3);
  Edit1->setGeometry(8, 16, 145, 20);
  Button9 = MakeButton(GroupBox3, QStringLiteral("&OK"), 152, 16, 33, 20);
  Label8 = MakeLabel(GroupBox3, QStringLiteral("-"), 192, 12, 177, 26, WindowFont(21, true),
                     Qt::AlignRight | Qt::AlignVCenter);
  ListBox4 = MakeList(GroupBox3, 8, 40, 361, 137, true);
  Button5 = MakeButton(GroupBox3, QStringLiteral("リセット(&R)"), 376, 152, 67, 25);
  GroupBox3->setVisible(false);
}

void TForm1::BuildDatePanel() {
  GroupBox4 = new QGroupBox(this);
  GroupBox4->setGeometry(336, 24, 449, 185);
  const QFont font21 = WindowFont(21, false);
  Label10 = MakeLabel(GroupBox4, QStringLiteral("1900年 1月1日"), 8, 14, 260, 24, font21);
  Label11 = MakeLabel(GroupBox4, QStringLiteral("1900年 1月1日"), 8, 92, 260, 24, font21);
  DateTimePicker1 = new TDatePicker(GroupBox4);
  DateTimePicker2 = new TDatePicker(GroupBox4);
  DateTimePicker1->setGeometry(8, 40, 145, 22);
  DateTimePicker2->setGeometry(8, 66, 145, 22);
  DateTimePicker3 = new TTimePicker(GroupBox4);
  DateTimePicker4 = new TTimePicker(GroupBox4);
  DateTimePicker3->setGeometry(160, 40, 100, 22);
  DateTimePicker4->setGeometry(160, 66, 100, 22);
  Label9 = MakeLabel(GroupBox4, QStringLiteral("曜日選択"), 8, 122, 89, 16, WindowFont());
  ComboBox1 = new QComboBox(GroupBox4);
  ComboBox1->setGeometry(8, 140, 89, 22);
  for (const std::string& day : TMainLogic::WeekdayChoices()) ComboBox1->addItem(FromSjis(day));
  ComboBox1->setCurrentIndex(-1);
  RadioGroup1 = new QGroupBox(QStringLiteral("集計間隔"), GroupBox4);
  RadioGroup1->setGeometry(272, 12, 97, 167);
  RadioGroup1Buttons = new QButtonGroup(this);
  Button6 = MakeButton(GroupBox4, QStringLiteral("リセット(&R)"), 376, 152, 67, 25);
  GroupBox4->setVisible(false);
}

void TForm1::BuildToolbar() {
  Panel5 = new QFrame(this);
  Panel5->setGeometry(711, 64, 68, 105);
  Panel5->setFrameShape(QFrame::NoFrame);
  SpeedButton1 = MakeToggle(Panel5, QStringLiteral(" 列項目(&C)"), 1, 8, 67, 22);
  SpeedButton2 = MakeToggle(Panel5, QStringLiteral(" 行項目(&H)"), 1, 40, 67, 22);
  SpeedButton3 = MakeToggle(Panel5, QStringLiteral("    値(&V)"), 1, 72, 67, 22);
  Panel5->setVisible(false);

  Panel1 = new QFrame(this);
  Panel1->setGeometry(592, 3, 96, 21);
  Panel1->setFrameShape(QFrame::NoFrame);
  Label2 = MakeLabel(Panel1, QStringLiteral("00000"), 0, 0, 96, 21, WindowFont(21, true),
                     Qt::AlignRight | Qt::AlignVCenter);
  Image1 = new TClickLabel(this);
  Image1->setGeometry(688, 4, 100, 20);
  Image1->setPixmap(QPixmap::fromImage(DrawBanner()));
  Image1->setCursor(Qt::PointingHandCursor);

  Button7 = MakeButton(this, QStringLiteral("一覧表示(&L)"), 40, 216, 65, 25);
  Button8 = MakeButton(this, QStringLiteral("保存(&S)"), 104, 216, 65, 25);
  const char* aggregates[] = {"合計", "平均", "最小", "最大", "件数"};
  QToolButton** aggregateButtons[] = {&SpeedButton4, &SpeedButton5, &SpeedButton6, &SpeedButton7,
                                      &SpeedButton8};
  for (int k = 0; k < 5; ++k)
    *aggregateButtons[k] =
        MakeToggle(this, QString::fromUtf8(aggregates[k]), 176 + 32 * k, 216, 33, 22);
  Button10 = MakeButton(this, QStringLiteral("行を閉じる"), 344, 216, 65, 25);
  Button11 = MakeButton(this, QStringLiteral("列を閉じる"), 408, 216, 65, 25);
  Button12 = MakeButton(this, QStringLiteral("行列入替え"), 472, 216, 65, 25);
  SpeedButton9 = MakeToggle(this, QStringLiteral("合計表示"), 544, 216, 49, 25);
  SpeedButton10 = MakeToggle(this, QStringLiteral("０非表示"), 592, 216, 49, 25);
  SpeedButton11 = MakeToggle(this, QStringLiteral("並び替え"), 640, 216, 49, 25);
  Button15 = MakeButton(this, QStringLiteral("グラフ"), 696, 216, 49, 25);
  Button14 = MakeButton(this, QStringLiteral("□"), 751, 232, 17, 17);
  Button13 = MakeButton(this, QStringLiteral("×"), 768, 232, 17, 17);

  StringGrid1 = new TStringGrid(this, true);
  StringGrid1->setGeometry(8, 248, 777, 321);
  StringGrid1->setFont(DataFont());
  logic_.SetMainGrid(StringGrid1);

  QToolButton* toggles[] = {nullptr,      SpeedButton1, SpeedButton2,  SpeedButton3,
                            SpeedButton4, SpeedButton5, SpeedButton6,  SpeedButton7,
                            SpeedButton8, SpeedButton9, SpeedButton10, SpeedButton11};
  std::copy(std::begin(toggles), std::end(toggles), toggles_);

  // The role panel lies over the right edge of the filter panels.
  Panel5->raise();

  QWidget* order[] = {
      ListBox1,        Button1,         Button2,         ListBox2,        ListBox3,     Button3,
      Edit1,           Button9,         ListBox4,        Button5,         ComboBox2,    Button4,
      DateTimePicker1, DateTimePicker3, DateTimePicker2, DateTimePicker4, ComboBox1,    RadioGroup1,
      Button6,         StringGrid1,     SpeedButton1,    SpeedButton2,    SpeedButton3, Button7,
      Button8,         Button10,        Button11,        Button12,        Button13,     Button14,
      Button15};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void TForm1::Wire() {
  auto on = [this](auto* sender, auto signal, auto handler) {
    connect(sender, signal, this, [this, handler] {
      if (!rendering_) Run([this, handler] { (this->*handler)(); });
    });
  };
  on(Button1, &QPushButton::clicked, &TForm1::Button1Click);
  on(Button2, &QPushButton::clicked, &TForm1::Button2Click);
  on(ListBox1, &QListWidget::currentRowChanged, &TForm1::ListBox1Click);
  // A click on the dataset already selected opens it again, so every column starts afresh; a
  // click on another one has opened it through currentRowChanged.
  ListBox1->viewport()->installEventFilter(this);
  connect(ListBox1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    if (!rendering_ && ListBox1->row(item) == rowBeforePress_) Run([this] { ListBox1Click(); });
  });
  on(ListBox2, &QListWidget::currentRowChanged, &TForm1::ListBox2Click);
  on(ListBox3, &QListWidget::itemSelectionChanged, &TForm1::ListBox3Click);
  on(Button3, &QPushButton::clicked, &TForm1::Button3Click);
  on(ComboBox2, &QComboBox::activated, &TForm1::ComboBox2Change);
  on(Button4, &QPushButton::clicked, &TForm1::Button4Click);
  on(Edit1, &QLineEdit::returnPressed, &TForm1::Edit1KeyPress);
  on(Button9, &QPushButton::clicked, &TForm1::Button9Click);
  on(ListBox4, &QListWidget::itemSelectionChanged, &TForm1::ListBox4Click);
  on(Button5, &QPushButton::clicked, &TForm1::Button5Click);
  on(Button6, &QPushButton::clicked, &TForm1::Button6Click);
  on(SpeedButton11, &QToolButton::clicked, &TForm1::SpeedButton11Click);
  on(SpeedButton9, &QToolButton::clicked, &TForm1::SpeedButton9Click);
  on(SpeedButton10, &QToolButton::clicked, &TForm1::SpeedButton9Click);
  on(Button7, &QPushButton::clicked, &TForm1::Button7Click);
  on(Button8, &QPushButton::clicked, &TForm1::Button8Click);
  on(Button10, &QPushButton::clicked, &TForm1::Button10Click);
  on(Button11, &QPushButton::clicked, &TForm1::Button11Click);
  on(Button12, &QPushButton::clicked, &TForm1::Button12Click);
  on(Button13, &QPushButton::clicked, &TForm1::Button13Click);
  on(Button14, &QPushButton::clicked, &TForm1::Button14Click);
  on(Button15, &QPushButton::clicked, &TForm1::Button15Click);
  connect(Edit1, &QLineEdit::textEdited, this,
          [this](const QString& text) { logic_.Edit1Change(ToSjis(text)); });

  for (int k = 1; k <= 8; ++k)
    connect(toggles_[k], &QToolButton::clicked, this,
            [this, k] { Run([this, k] { SpeedButton1Click(k - 1); }); });

  const std::pair<QWidget*, TDateControl> pickers[] = {{DateTimePicker1, TDateControl::kLowerDate},
                                                       {DateTimePicker2, TDateControl::kUpperDate},
                                                       {DateTimePicker3, TDateControl::kLowerTime},
                                                       {DateTimePicker4, TDateControl::kUpperTime}};
  for (const auto& [picker, sender] : pickers)
    connect(static_cast<QDateTimeEdit*>(picker), &QDateTimeEdit::dateTimeChanged, this,
            [this, sender = sender] {
              if (!rendering_) Run([this, sender] { DateTimePicker1Change(sender); });
            });
  connect(ComboBox1, &QComboBox::activated, this,
          [this] { Run([this] { DateTimePicker1Change(TDateControl::kWeekday); }); });
  connect(RadioGroup1Buttons, &QButtonGroup::idClicked, this,
          [this](int id) { Run([this, id] { RadioGroup1Click(id); }); });

  Panel2->onSplitter1Moved = [this](int left) { Run([this, left] { Splitter1Moved(left); }); };
  Panel2->onSplitter2Moved = [this](int left) { Run([this, left] { Splitter2Moved(left); }); };
  Panel2->onPanel2MouseDown = [this](TMouseButton b, int x) {
    Run([this, b, x] { Panel2MouseDown(b, x); });
  };
  Panel2->onPanel3MouseDown = [this](TMouseButton b, int x) {
    Run([this, b, x] { Panel3MouseDown(b, x); });
  };
  Panel2->onPanel4MouseDown = [this](TMouseButton b, int x) {
    Run([this, b, x] { Panel4MouseDown(b, x); });
  };
  Label5->onClick = [this] { Run([this] { Label5Click(); }); };
  Label6->onClick = [this] { Run([this] { Label6Click(); }); };
  Image1->onClick = [this] { Run([this] { Image1Click(); }); };
  StringGrid1->onMouseDown = [this](int col, int row) {
    Run([this, col, row] { StringGrid1MouseDown(col, row); });
  };
  WireGridCommands();
  StringGrid1->onContextMenu = [this](QMenu& menu) { StringGrid1ContextMenu(menu); };
}

void TForm1::SetWindows(TProgressWindow* progress, TForm2* form2, TForm3* form3) {
  progress_ = progress;
  form2_ = form2;
  form3_ = form3;
  logic_.SetEnlargedGrid(form2 != nullptr ? form2->StringGrid1 : nullptr);
}

void TForm1::Run(const std::function<void()>& command) {
  // A failing command's state is on screen before its error is reported: the column list marks
  // the column the role buttons act on while the message box is open.
  Guard(dialogs_, this, [this, &command] {
    try {
      command();
    } catch (...) {
      Render();
      throw;
    }
  });
  Render();
}

// ---------------------------------------------------------------- rendering

void TForm1::Render() {
  rendering_ = true;
  const QSignalBlocker blockList2(ListBox2);
  Label1->setText(FromNative(logic_.Label1()));
  Label2->setText(FromSjis(logic_.Label2()));
  FitRecordCount();
  SetEntries(ListBox2, logic_.ColumnEntries());
  ListBox2->setCurrentRow(logic_.SelectedColumn());
  RenderItemPanel();
  RenderRangePanel();
  RenderSearchPanel();
  RenderDatePanel();
  RenderToggles();
  StringGrid1->Flush();
  if (form2_ != nullptr) form2_->StringGrid1->Flush();
  rendering_ = false;
}

void TForm1::FitRecordCount() {
  constexpr int kRight = 592 + 96, kWidth = 96;  // the panel at design
  const int width = std::max(kWidth, Label2->fontMetrics().horizontalAdvance(Label2->text()) + 4);
  if (width == Panel1->width()) return;
  Panel1->setGeometry(kRight - width, Panel1->y(), width, Panel1->height());
  Label2->setGeometry(0, 0, width, Panel1->height());
}

void TForm1::RenderItemPanel() {
  const TItemPanelState& s = logic_.ItemPanel();
  const QSignalBlocker block(ListBox3);
  GroupBox1->setTitle(FromSjis(s.caption));
  SetEntries(ListBox3, s.items);
  SetPicks(ListBox3, s.picked);
  Label7->setText(FromSjis(logic_.Label7()));
  GroupBox1->setVisible(s.visible);
}

void TForm1::RenderRangePanel() {
  const TRangePanelState& s = logic_.RangePanel();
  const QSignalBlocker block(ComboBox2);
  GroupBox2->setTitle(FromSjis(s.caption));
  Panel2->resize(s.W, Panel2->height());
  Panel2->SetParts(s.W, s.L, s.R);
  PlaceLabel(Label3, s.label3, 16);
  PlaceLabel(Label4, s.label4, 16);
  PlaceLabel(Label5, s.label5, 64);
  PlaceLabel(Label6, s.label6, 64);
  SetCombo(ComboBox2, s.divisions, s.divisionIndex);
  ComboBox2->setPlaceholderText(FromSjis(s.divisionInForce));
  GroupBox2->setVisible(s.visible);
}

void TForm1::RenderSearchPanel() {
  const TSearchPanelState& s = logic_.SearchPanel();
  const QSignalBlocker block(ListBox4);
  GroupBox3->setTitle(FromSjis(s.caption));
  const QString pattern = FromSjis(s.patternBox);
  if (Edit1->text() != pattern) Edit1->setText(pattern);
  SetEntries(ListBox4, s.matches);
  SetPicks(ListBox4, s.picked);
  Label8->setText(FromSjis(s.countText));
  GroupBox3->setVisible(s.visible);
}

void TForm1::RenderDatePanel() {
  const TDatePanelState& s = logic_.DatePanel();
  GroupBox4->setTitle(FromSjis(s.caption));
  QDateEdit* dates[] = {DateTimePicker1, DateTimePicker2};
  for (int k = 0; k < 2; ++k) {
    QDateEdit* picker = dates[k];
    const QSignalBlocker block(picker);
    picker->clearMinimumDate();
    picker->clearMaximumDate();
    if (s.earliestDay != 0) picker->setMinimumDate(DateOfSerial(s.earliestDay));
    if (s.latestDay != 0) picker->setMaximumDate(DateOfSerial(s.latestDay));
    picker->setDate(DateOfSerial(s.pickers[k].value));
    picker->setVisible(s.pickers[k].visible);
    picker->move(s.pickers[k].left, picker->y());
  }
  QTimeEdit* times[] = {DateTimePicker3, DateTimePicker4};
  for (int k = 0; k < 2; ++k) {
    QTimeEdit* picker = times[k];
    const QSignalBlocker block(picker);
    picker->setTime(TimeOfSerial(s.pickers[k + 2].value));
    picker->setVisible(s.pickers[k + 2].visible);
    picker->move(s.pickers[k + 2].left, picker->y());
  }
  Label10->setText(FromSjis(s.earliestLabel));
  Label11->setText(FromSjis(s.latestLabel));
  Label9->setVisible(s.weekdayVisible);
  ComboBox1->setVisible(s.weekdayVisible);
  {
    const QSignalBlocker block(ComboBox1);
    ComboBox1->setCurrentIndex(s.weekdayIndex);
  }
  if (radioEntries_ != s.intervals) {
    for (QAbstractButton* button : RadioGroup1Buttons->buttons()) {
      RadioGroup1Buttons->removeButton(button);
      delete button;
    }
    radioEntries_ = s.intervals;
    for (size_t k = 0; k < radioEntries_.size(); ++k) {
      auto* radio = new QRadioButton(FromSjis(radioEntries_[k]), RadioGroup1);
      radio->setGeometry(8, 18 + 20 * static_cast<int>(k), 80, 18);
      radio->show();
      RadioGroup1Buttons->addButton(radio, static_cast<int>(k));
    }
  }
  {
    const QSignalBlocker block(RadioGroup1Buttons);
    RadioGroup1Buttons->setExclusive(false);
    for (QAbstractButton* button : RadioGroup1Buttons->buttons())
      button->setChecked(RadioGroup1Buttons->id(button) == s.intervalIndex);
    RadioGroup1Buttons->setExclusive(true);
  }
  GroupBox4->setVisible(s.visible);
}

void TForm1::RenderToggles() {
  const TWorkspace& ws = logic_.Workspace();
  Panel5->setVisible(logic_.RolePanelVisible());
  for (int r = 0; r < kRoleCount; ++r) {
    QToolButton* button = toggles_[r + 1];
    button->setChecked(ws.roleDown[r]);
    button->setVisible(ws.roleVisible[r]);
    button->setEnabled(ws.roleEnabled[r]);
  }
  for (int k = 0; k < 5; ++k) toggles_[4 + k]->setChecked(static_cast<int>(ws.aggregate) == k);
  SpeedButton9->setChecked(ws.showTotals);
  SpeedButton10->setChecked(ws.hideEmpty);
  SpeedButton11->setChecked(ws.sort);
}

// ---------------------------------------------------------------- start-up and dataset list

void TForm1::ShowDatasetList() {
  QStringList lines;
  for (const std::string& path : datasets_.Paths()) lines << FromNative(path);
  Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

std::string TForm1::ChartTitle() const {
  if (!logic_.DatasetSelected()) return std::string();
  return ToSjis(FromNative(TDatasetList::DisplayName(datasets_.Path(logic_.DatasetEntry()))));
}

void TForm1::Timer1Timer() {
  Timer1->stop();
  Guard(dialogs_, this, [this] { datasets_.SeedIfMissing(options_.samplePath); });
  datasets_.Load();
  ShowDatasetList();
  if (datasets_.Count() == 0) {
    Button1->setFocus();
    Button1Click();
    return;
  }
  // Every name is listed before the imports run, so an import that fails leaves ListBox1 and
  // Memo1 in step; each failure is reported and the next file is still imported.
  for (const std::string& path : datasets_.Paths())
    ListBox1->addItem(FromNative(TDatasetList::DisplayName(path)));
  dialogs_.Chose(FromNative(datasets_.Paths().back()));  // the file chosen last
  if (progress_ != nullptr)
    for (const std::string& path : datasets_.Paths())
      Guard(dialogs_, this, [this, &path] { ImportWithNotices(path); });
  {
    const QSignalBlocker block(ListBox1);
    ListBox1->setCurrentRow(0);
  }
  ListBox1Click();
}

void TForm1::ImportWithNotices(const std::string& path) {
  progress_->Import(path);
  QStringList notices;
  for (const std::string& notice : progress_->Importer().Notices()) notices << FromSjis(notice);
  if (!notices.isEmpty()) dialogs_.Message(this, notices.join(QLatin1Char('\n')));
}

void TForm1::Button1Click() {
  QString chosen;
  if (!dialogs_.OpenFile(this, QStringLiteral("CSVファイル|*.csv"), QStringLiteral(".csv"),
                         &chosen))
    return;
  AddDataset(chosen);
}

void TForm1::AddDataset(const QString& chosen) {
  dialogs_.Chose(chosen);
  const std::string path = ToNative(chosen);
  const int index = datasets_.Add(path);  // a failed write changes neither list
  ShowDatasetList();
  ListBox1->addItem(FromNative(TDatasetList::DisplayName(path)));
  if (progress_ != nullptr) {
    setEnabled(false);
    try {
      ImportWithNotices(path);
    } catch (...) {
      setEnabled(true);
      throw;
    }
    setEnabled(true);
  }
  {
    const QSignalBlocker block(ListBox1);
    ListBox1->setCurrentRow(index);
  }
  ListBox1Click();
}

std::vector<QString> TForm1::DroppedCsvFiles(const QMimeData* data) {
  std::vector<QString> files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile() &&
        url.toLocalFile().endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
      files.push_back(url.toLocalFile());
  return files;
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (isEnabled() && !DroppedCsvFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const std::vector<QString> files = DroppedCsvFiles(event->mimeData());
  if (files.empty()) return;
  event->acceptProposedAction();
  // The drop ends first, so the program the files came from does not wait for the imports. Each
  // file is one 追加(&A): a failure is reported and the next file is still added.
  QTimer::singleShot(0, this, [this, files] {
    for (const QString& file : files) Run([this, &file] { AddDataset(file); });
  });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonPress)
    rowBeforePress_ = ListBox1->currentRow();
  return QWidget::eventFilter(watched, event);
}

void TForm1::Button2Click() {
  const int index = ListBox1->currentRow();
  if (index < 0 || index >= datasets_.Count()) return;
  datasets_.Delete(index);  // a failed write changes neither list
  ShowDatasetList();
  const QSignalBlocker block(ListBox1);
  delete ListBox1->takeItem(index);
  ListBox1->setCurrentRow(-1);
  ListBox1->clearSelection();
  logic_.SelectDatasetEntry(datasets_, -1);
}

void TForm1::ListBox1Click() {
  logic_.SelectDatasetEntry(datasets_, ListBox1->currentRow());
}

// ---------------------------------------------------------------- column list and panels

void TForm1::ListBox2Click() {
  if (!logic_.DatasetSelected()) return;
  logic_.ListBox2Click(ListBox2->currentRow());
}

void TForm1::ListBox3Click() {
  logic_.ListBox3Click(PickedRows(ListBox3));
}

void TForm1::Button3Click() {
  logic_.Button3Click();
}

void TForm1::Splitter1Moved(int handleLeft) {
  logic_.Splitter1Moved(handleLeft);
}
void TForm1::Splitter2Moved(int handleLeft) {
  logic_.Splitter2Moved(handleLeft);
}
void TForm1::Panel2MouseDown(TMouseButton button, int x) {
  logic_.Panel2MouseDown(button, x);
}
void TForm1::Panel3MouseDown(TMouseButton button, int x) {
  logic_.Panel3MouseDown(button, x);
}
void TForm1::Panel4MouseDown(TMouseButton button, int x) {
  logic_.Panel4MouseDown(button, x);
}

void TForm1::Label5Click() {
  const QString typed = dialogs_.InputValue(this, Label5->text());
  logic_.Label5Click(ToSjis(typed));
}

void TForm1::Label6Click() {
  const QString typed = dialogs_.InputValue(this, Label6->text());
  logic_.Label6Click(ToSjis(typed));
}

void TForm1::ComboBox2Change() {
  logic_.ComboBox2Change(ComboBox2->currentIndex());
}

void TForm1::Button4Click() {
  logic_.Button4Click();
}

void TForm1::Edit1KeyPress() {
  logic_.Edit1Change(ToSjis(Edit1->text()));
  logic_.Edit1KeyPress('\r');
}

void TForm1::Button9Click() {
  logic_.Button9Click(ToSjis(Edit1->text()));
}

void TForm1::ListBox4Click() {
  logic_.ListBox4Click(PickedRows(ListBox4));
}

void TForm1::Button5Click() {
  logic_.Button5Click();
}

void TForm1::DateTimePicker1Change(TDateControl sender) {
  double value = 0;
  switch (sender) {
    case TDateControl::kLowerDate:
      value = SerialOfDate(DateTimePicker1->date());
      break;
    case TDateControl::kUpperDate:
      value = SerialOfDate(DateTimePicker2->date());
      break;
    case TDateControl::kLowerTime:
      value = SerialOfTime(DateTimePicker3->time());
      break;
    case TDateControl::kUpperTime:
      value = SerialOfTime(DateTimePicker4->time());
      break;
    case TDateControl::kWeekday:
      value = ComboBox1->currentIndex();
      break;
  }
  logic_.DateTimePicker1Change(sender, value);
}

void TForm1::RadioGroup1Click(int index) {
  logic_.RadioGroup1Click(index);
}

void TForm1::Button6Click() {
  logic_.Button6Click();
}

// ---------------------------------------------------------------- toggles and commands

void TForm1::SpeedButton1Click(int button) {
  logic_.SpeedButton1Click(button);
}

void TForm1::SpeedButton9Click() {
  logic_.SpeedButton9Click(SpeedButton9->isChecked(), SpeedButton10->isChecked());
}

void TForm1::SpeedButton11Click() {
  logic_.SpeedButton11Click(SpeedButton11->isChecked());
  SpeedButton11->setChecked(logic_.Workspace().sort);  // down again after 合計の大きい順
}

void TForm1::SetToggleDown(int n, bool down) {
  logic_.SetToggleDown(n, down);
  RenderToggles();
}

void TForm1::CrossTabulateNow() {
  logic_.RefreshTable();
}

void TForm1::Button7Click() {
  if (!logic_.DatasetSelected()) return;
  logic_.Button7Click();
  if (auto* grid = dynamic_cast<TStringGrid*>(&logic_.OutputGrid())) grid->setFocus();
}

void TForm1::Button8Click() {
  SaveResult(this);
}

void TForm1::SaveResult(QWidget* parent) {
  QString path;
  if (!dialogs_.SaveFile(parent, QStringLiteral("CSVファイル|*.csv|Excel ブック (*.xlsx)|*.xlsx"),
                         QStringLiteral(".csv"), &path, QStringLiteral("表を保存")))
    return;
  logic_.SaveResult(ToNative(path));
  if (form3_ == nullptr || !form3_->IsShowing()) return;
  QString picture;
  if (!dialogs_.SaveFile(parent,
                         QStringLiteral("JPEG イメージファイル (*.jpg)|*.jpg|JPEG イメージファイル "
                                        "(*.jpeg)|*.jpeg"),
                         QStringLiteral(".jpg"), &picture, QStringLiteral("グラフを画像で保存")))
    return;
  form3_->SavePicture(picture);
}

void TForm1::Button10Click() {
  logic_.Button10Click();
}
void TForm1::Button11Click() {
  logic_.Button11Click();
}
void TForm1::Button12Click() {
  logic_.Button12Click();
}
void TForm1::Button13Click() {
  logic_.Button13Click();
}

void TForm1::Button14Click() {
  if (form2_ == nullptr) return;
  form2_->ShowEnlarged();
  if (!logic_.Button14Click()) Button7Click();
}

void TForm1::Button15Click() {
  if (form3_ == nullptr) return;
  form3_->ShowOver(mapToGlobal(QPoint(StringGrid1->x() + 3, StringGrid1->y() + 20)));
  StringGrid1->Flush();
  form3_->BuildChart(*StringGrid1, logic_.Workspace().showTotals, ChartTitle());
}

void TForm1::StringGrid1MouseDown(int col, int row) {
  // A drill-down may end in the record list, which reads the selected dataset's file.
  if (!logic_.DatasetSelected()) return;
  logic_.StringGrid1MouseDown(col, row);
}

void TForm1::StringGrid1ContextMenu(QMenu& menu) {
  StringGrid1->AddCopyEntry(menu);
  menu.addSeparator();
  AppendGridMenuEntries(&menu);
}

void TForm1::Image1Click() {
  const QString page = FindHelpPage(QCoreApplication::applicationDirPath());
  if (page.isEmpty()) throw TabulonError(Utf8ToSjis("ヘルプページ help.html が見つかりません"));
  if (openUrl(QUrl::fromLocalFile(page))) return;
  if (helpWindow_ == nullptr) {
    helpWindow_ = new THelpWindow(this);
    helpWindow_->move(frameGeometry().topLeft() + QPoint(40, 40));
  }
  helpWindow_->ShowPage(page);
}

}  // namespace tabulon
