// The help page the banner opens (docs/help.html, installed as share/doc/tabulon/help.html) and
// the window that shows it when the desktop cannot open it.
#pragma once

#include <QString>
#include <QTextBrowser>

namespace tabulon {

// The help page of a program whose executable lies in programDir, the first that exists of:
// programDir/../share/doc/tabulon/help.html (an installed copy), the same under the install
// prefix the program was built for, programDir/../docs/help.html and
// programDir/../../docs/help.html (a build tree inside the source tree), and the source tree's
// docs/help.html. Empty when there is none.
QString FindHelpPage(const QString& programDir);

// The help page shown by the program itself: links to other pages of the folder are followed,
// links to the web are handed to the desktop.
class THelpWindow : public QTextBrowser {
 public:
  explicit THelpWindow(QWidget* parent);
  // Shows the page at path (an HTML file) and brings the window up.
  void ShowPage(const QString& path);
};

}  // namespace tabulon
