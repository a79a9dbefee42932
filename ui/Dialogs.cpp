#include "ui/Dialogs.h"

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

// Opens in *folder and, when a file is chosen, leaves its folder there.
bool RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter,
                   const QString& defaultExt, QString* folder, QString* path) {
  QFileDialog dialog(parent, QString(), *folder);
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
  return RunFileDialog(parent, QFileDialog::AcceptOpen, filter, defaultExt, &folder_, path);
}

bool TQtDialogs::SaveFile(QWidget* parent, const QString& filter, const QString& defaultExt,
                          QString* path) {
  return RunFileDialog(parent, QFileDialog::AcceptSave, filter, defaultExt, &folder_, path);
}

void TQtDialogs::Chose(const QString& path) {
  if (!path.isEmpty()) folder_ = QFileInfo(path).absolutePath();
}

void TQtDialogs::Message(QWidget* parent, const QString& text) {
  QMessageBox::warning(parent, QStringLiteral("Tabulon"), text);
}

QString TQtDialogs::InputValue(QWidget* parent, const QString& initial) {
  if (input_ != nullptr) return input_->Ask(initial);
  TformInput input(parent);
  return input.Ask(initial);
}

}  // namespace tabulon
