#include "ui/HelpPage.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "ui/Fonts.h"

namespace tabulon {

QString FindHelpPage(const QString& programDir) {
  const QString candidates[] = {
      programDir + QStringLiteral("/../share/doc/tabulon/help.html"),
      QStringLiteral(TABULON_INSTALL_PREFIX "/share/doc/tabulon/help.html"),
      programDir + QStringLiteral("/../docs/help.html"),
      programDir + QStringLiteral("/../../docs/help.html"),
      QStringLiteral(TABULON_SOURCE_DIR "/docs/help.html"),
  };
  for (const QString& candidate : candidates) {
    const QFileInfo file(candidate);
    if (file.isFile()) return file.canonicalFilePath();
  }
  return QString();
}

THelpWindow::THelpWindow(QWidget* parent) : QTextBrowser(parent) {
  setWindowFlags(Qt::Window);
  setWindowTitle(QStringLiteral("Tabulon ヘルプ"));
  setFont(WindowFont(14, false));
  setOpenExternalLinks(true);
  resize(720, 600);
}

void THelpWindow::ShowPage(const QString& path) {
  setSource(QUrl::fromLocalFile(path));
  show();
  raise();
  activateWindow();
}

}  // namespace tabulon
