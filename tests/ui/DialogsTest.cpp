// The standard dialogs: Qt's own texts in Japanese, and file dialogs that open where the user
// chose a file last.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QTranslator>
#include <filesystem>

#include "WindowTestUtil.h"
#include "ui/Translations.h"
#include "ui/unitInput.h"

namespace tabulon::test {
namespace {

// Runs open(), answering the file dialog it shows with answer after noting its folder.
QString FolderShown(const std::function<void()>& open, const QString& answer) {
  QString folder;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    folder = dialog->directory().absolutePath();
    dialog->selectFile(answer);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  open();
  return folder;
}

TEST(Dialogs, AFileDialogOpensInTheFolderOfTheFileChosenLast) {
  ScratchDir dir;
  std::filesystem::create_directories(dir.File("listed"));
  std::filesystem::create_directories(dir.File("saved"));
  const QString listed = QDir(Q(dir.File("listed"))).canonicalPath();
  const QString saved = QDir(Q(dir.File("saved"))).canonicalPath();
  TQtDialogs dialogs;
  dialogs.Chose(listed + "/sales.csv");  // a dataset listed at start
  QString path;
  const auto save = [&] { dialogs.SaveFile(nullptr, "CSVファイル|*.csv", ".csv", &path); };
  EXPECT_EQ(FolderShown(save, saved + "/table.csv"), listed);
  EXPECT_EQ(path, saved + "/table.csv");
  const auto open = [&] { dialogs.OpenFile(nullptr, "CSVファイル|*.csv", ".csv", &path); };
  EXPECT_EQ(FolderShown(open, saved + "/table.csv"), saved);
}

// The title and whether the window stays on top, of the file dialog save() shows (cancelled).
std::pair<QString, bool> SaveDialogShown(const std::function<void()>& save) {
  std::pair<QString, bool> shown;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    shown = {dialog->windowTitle(), dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint)};
    dialog->reject();
  });
  save();
  return shown;
}

TEST(Dialogs, ASaveDialogCarriesItsTitleAndOpensAboveAWindowThatStaysOnTop) {
  TQtDialogs dialogs;
  QString path;
  const auto save = [&] {
    EXPECT_FALSE(dialogs.SaveFile(nullptr, "JPEG|*.jpg", ".jpg", &path, "グラフを画像で保存"));
  };
  EXPECT_EQ(SaveDialogShown(save), std::make_pair(QString("グラフを画像で保存"), false));
  QWidget chart(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
  chart.show();
  EXPECT_EQ(SaveDialogShown(save), std::make_pair(QString("グラフを画像で保存"), true));

  // The value input dialog, kept for reuse, follows the chart window.
  TformInput input;
  dialogs.SetInputForm(&input);
  const auto inputOnTop = [&] {
    bool onTop = false;
    QTimer::singleShot(0, [&] {
      onTop = input.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
      input.Button1Click();
    });
    EXPECT_EQ(dialogs.InputValue(nullptr, "12"), "12");
    return onTop;
  };
  EXPECT_TRUE(inputOnTop());
  chart.hide();
  EXPECT_FALSE(inputOnTop());
}

TEST(Dialogs, QtsOwnTextsAreJapaneseOnlyUnderAJapaneseLocale) {
  const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
  EXPECT_EQ(InstallQtJapanese(QLocale(QLocale::English, QLocale::UnitedStates)), nullptr);
  ScratchDir empty;
  EXPECT_EQ(InstallQtJapanese(QLocale(QLocale::Japanese, QLocale::Japan), Q(empty.Path())),
            nullptr);  // no translation there: quietly none
  QTranslator* japanese = InstallQtJapanese(QLocale(QLocale::Japanese, QLocale::Japan));
  ASSERT_NE(japanese, nullptr) << "qt6-translations-l10n is not installed";
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "キャンセル");
  QCoreApplication::removeTranslator(japanese);
  delete japanese;
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancel);
}

}  // namespace
}  // namespace tabulon::test
