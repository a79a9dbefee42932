// The dialogs of the windows (open, save, save picture, message box, value input) go through this
// interface, so that tests can answer them; the program uses TQtDialogs.
#pragma once

#include <QDir>
#include <QString>

class QWidget;

namespace tabulon {

class TformInput;

class TDialogs {
 public:
  virtual ~TDialogs() = default;
  // A file dialog with a filter such as "CSVファイル|*.csv" and a default extension such as
  // ".csv"; false when cancelled. A save dialog's title says what it saves (empty: the
  // toolkit's own title). Every dialog opens above the program's windows, also above one that
  // stays on top (the chart window).
  virtual bool OpenFile(QWidget* parent, const QString& filter, const QString& defaultExt,
                        QString* path) = 0;
  virtual bool SaveFile(QWidget* parent, const QString& filter, const QString& defaultExt,
                        QString* path, const QString& title = QString()) = 0;
  // A file the user chose elsewhere (a dataset listed before, a file dropped on the window): the
  // next file dialog opens in its folder.
  virtual void Chose(const QString& /*path*/) {}
  // A message box with an OK button (the general error report uses it), above the program's
  // windows as the file dialogs.
  virtual void Message(QWidget* parent, const QString& text) = 0;
  // The value input dialog "値の入力", opened with initial; the text however it was closed. It
  // opens above the program's windows as the file dialogs do.
  virtual QString InputValue(QWidget* parent, const QString& initial) = 0;
};

// The real dialogs. Every file dialog opens in the folder of the file chosen last in any of them
// (at first the user's home folder).
class TQtDialogs : public TDialogs {
 public:
  // input: the program's value input dialog; without one, InputValue makes one per call.
  explicit TQtDialogs(TformInput* input = nullptr) : input_(input) {}
  void SetInputForm(TformInput* input) { input_ = input; }
  bool OpenFile(QWidget* parent, const QString& filter, const QString& defaultExt,
                QString* path) override;
  bool SaveFile(QWidget* parent, const QString& filter, const QString& defaultExt, QString* path,
                const QString& title = QString()) override;
  void Chose(const QString& path) override;
  void Message(QWidget* parent, const QString& text) override;
  QString InputValue(QWidget* parent, const QString& initial) override;

 private:
  TformInput* input_;                  // not owned
  QString folder_ = QDir::homePath();  // where the next file dialog opens
};

}  // namespace tabulon
