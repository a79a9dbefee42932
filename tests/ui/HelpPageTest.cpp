// The banner's help page: found beside an installed program or in a build tree, handed to the
// desktop, and shown by the program itself when the desktop cannot open it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <filesystem>

#include "WindowTestUtil.h"
#include "ui/ClickLabel.h"
#include "ui/HelpPage.h"

namespace tabulon::test {
namespace {

namespace fs = std::filesystem;

TEST(HelpPage, IsFoundBesideAnInstalledProgramAndInABuildTreeInsideTheSources) {
  ScratchDir dir;
  fs::create_directories(dir.File("usr/bin"));
  fs::create_directories(dir.File("usr/share/doc/tabulon"));
  WriteFile(dir.File("usr/share/doc/tabulon/help.html"), "<html></html>");
  EXPECT_EQ(FindHelpPage(Q(dir.File("usr/bin"))),
            QFileInfo(Q(dir.File("usr/share/doc/tabulon/help.html"))).canonicalFilePath());

  fs::create_directories(dir.File("src/build/app"));
  fs::create_directories(dir.File("src/docs"));
  WriteFile(dir.File("src/docs/help.html"), "<html></html>");
  EXPECT_EQ(FindHelpPage(Q(dir.File("src/build/app"))),
            QFileInfo(Q(dir.File("src/docs/help.html"))).canonicalFilePath());

  // Anywhere else, the page of the sources the program was built from.
  fs::create_directories(dir.File("elsewhere"));
  EXPECT_TRUE(FindHelpPage(Q(dir.File("elsewhere"))).endsWith("/docs/help.html"));
}

TEST(HelpPage, TheBannerHandsThePageToTheDesktopOrShowsItItselfWhenTheDesktopCannot) {
  ScratchDir dir;
  TWindows w(dir.File("tabulon.lis"));
  ASSERT_TRUE(w.Start());
  std::vector<QUrl> handed;
  bool desktopOpens = true;
  w.form1->openUrl = [&](const QUrl& url) {
    handed.push_back(url);
    return desktopOpens;
  };
  w.form1->Image1->onClick();
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_TRUE(handed[0].isLocalFile());
  EXPECT_TRUE(handed[0].toLocalFile().endsWith("/help.html"));
  EXPECT_EQ(w.form1->HelpWindow(), nullptr);

  desktopOpens = false;
  w.form1->Image1->onClick();
  ASSERT_NE(w.form1->HelpWindow(), nullptr);
  EXPECT_TRUE(w.form1->HelpWindow()->isVisible());
  EXPECT_EQ(w.form1->HelpWindow()->documentTitle(), "Tabulon ヘルプ / Help");
  EXPECT_TRUE(w.dialogs.messages.empty());
}

}  // namespace
}  // namespace tabulon::test
