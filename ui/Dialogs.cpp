#include "ui/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "ui/unitInput.h"

namespace tabulon {
namespace {

// "CSVファイル|*.csv|…" (description and pattern alternating) as Qt's "CSVファイル (*.csv);;…".
QString QtFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString& pattern = parts[i + 1];
    filters << (description.contains(QLatin1Char('(')) ? description
                                                       : description + " (" + pattern + ")");
  }
  return filters.join(QStringLiteral(";;"));
}

// While a window of the program stays on top (the chart), a dialog about to open stays on top
// as well, so that it opens above that window: a modal dialog hidden under it would leave a
// program that seems to hang.
// REQUIRES: dialog is hidden (a dialog kept for reuse, too).
void KeepAboveWindowsOnTop(QDialog& dialog) {
  bool onTop = false;
  for (const QWidget* window : QApplication::topLevelWidgets())
    onTop = onTop || (window != &dialog && window->isVisible() &&
                      window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  if (dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint) != onTop)
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
}

// Opens in *folder and, when a file is chosen, leaves its folder there.
bool RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& title,
                   const QString& filter, const QString& defaultExt, QString* folder,
                   QString* path) {
  QFileDialog dialog(parent, title, *folder);
  KeepAboveWindowsOnTop(dialog);
  dialog.setAcceptMode(mode);
  // The open dialog takes a typed name of a file that does not exist yet.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QtFilter(filter));
  QString suffix = defaultExt;
  if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  // A name typed without extension takes that of the type chosen ("… (*.xlsx)").
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
    const qsizetype star = f.lastIndexOf(QStringLiteral("(*."));
    if (star >= 0) dialog.setDefaultSuffix(f.mid(star + 3).section(QLatin1Char(')'), 0, 0));
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  *path = dialog.selectedFiles().first();
  *folder = QFileInfo(*path).absolutePath();
  return true;
}

}  // namespace

bool TQtDialogs::OpenFile(QWidget* parent, const QString& filter, const QString& defaultExt,
                          QString* path) {
  return RunFileDialog(parent, QFileDialog::AcceptOpen, QString(), filter, defaultExt, &folder_,
                       path);
}

bool TQtDialogs::SaveFile(QWidget* parent, const QString& filter, const QString& defaultExt,
                          QString* path, const QString& title) {
  return RunFileDialog(parent, QFileDialog::AcceptSave, title, filter, defaultExt, &folder_, path);
}

void TQtDialogs::Chose(const QString& path) {
  if (!path.isEmpty()) folder_ = QFileInfo(path).absolutePath();
}

void TQtDialogs::Message(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Tabulon"), text, QMessageBox::Ok, parent);
  KeepAboveWindowsOnTop(box);
  box.exec();
}

QString TQtDialogs::InputValue(QWidget* parent, const QString& initial) {
  if (input_ != nullptr) {
    KeepAboveWindowsOnTop(*input_);
    return input_->Ask(initial);
  }
  TformInput input(parent);
  KeepAboveWindowsOnTop(input);
  return input.Ask(initial);
}

}  // namespace tabulon
