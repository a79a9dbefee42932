// The program entry: the application object, the fonts the windows were designed with, Qt's own
// dialog texts in Japanese when the locale is Japanese, the windows in their order (main window,
// progress, value input, enlarged table, chart), then the message loop. The dataset list lives
// beside the program, or in the user's configuration folder when the program's folder cannot be
// written; TABULON_SAMPLE names a CSV file to list when no list exists yet (`make run` sets it to
// the bundled sample).
#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QPixmap>
#include <cstdlib>

#include "mainlogic/DatasetList.h"
#include "platform/Messages.h"
#include "ui/Artwork.h"
#include "ui/Dialogs.h"
#include "ui/Fonts.h"
#include "ui/ProgressWindow.h"
#include "ui/QtStrings.h"
#include "ui/Translations.h"
#include "ui/unitChart.h"
#include "ui/unitInput.h"
#include "ui/unitMain.h"
#include "ui/unitTable.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tabulon::SetMessageLanguage(tabulon::TLanguage::kJapanese);  // the window speaks Japanese
  QApplication::setApplicationName(QStringLiteral("Tabulon"));
  // No display name: the platform would append it to every caption ("グラフ表示 — Tabulon").
  QApplication::setWindowIcon(QIcon(QPixmap::fromImage(tabulon::DrawIcon(64))));
  QGuiApplication::setDesktopFileName(QStringLiteral("tabulon"));
  tabulon::InstallFontSubstitutions();
  QApplication::setFont(tabulon::WindowFont());
  tabulon::InstallQtJapanese();

  tabulon::TForm1Options options;
  options.listFile = tabulon::TDatasetList::ListFileFor(
      tabulon::ToNative(QCoreApplication::applicationFilePath()));
  if (const char* sample = std::getenv("TABULON_SAMPLE")) options.samplePath = sample;

  tabulon::TQtDialogs dialogs;
  tabulon::TForm1 form1(dialogs, options);
  tabulon::TProgressWindow formProgress(&form1);
  tabulon::TformInput formInput(&form1);
  tabulon::TForm2 form2(&form1);
  tabulon::TForm3 form3;
  dialogs.SetInputForm(&formInput);
  form1.SetWindows(&formProgress, &form2, &form3);
  form1.show();
  return QApplication::exec();
}
