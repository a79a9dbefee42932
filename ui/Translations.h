// Qt's own texts (the buttons and labels of the file dialogs and message boxes) in Japanese.
#pragma once

#include <QLocale>
#include <QString>

class QTranslator;

namespace tabulon {

// When locale's language is Japanese, loads Qt's Japanese translation "qtbase_ja" from folder
// (Qt's translations folder when empty) and installs it in the application; returns it, owned by
// the application. Returns null, quietly, for another language or when the file is missing.
// REQUIRES: the application object exists.
QTranslator* InstallQtJapanese(const QLocale& locale = QLocale(), const QString& folder = {});

}  // namespace tabulon
