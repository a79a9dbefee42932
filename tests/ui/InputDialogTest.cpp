// The value input dialog hands back its text however it closes.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "ui/Dialogs.h"
#include "ui/unitInput.h"

namespace tabulon {
namespace {

TEST(InputDialog, EnterClosesTheDialogWithTheTypedText) {
  TformInput input;
  EXPECT_EQ(input.windowTitle(), "値の入力");
  EXPECT_EQ(input.size(), QSize(217, 37));
  QTimer::singleShot(0, &input, [&input] {
    input.Edit1->clear();
    QTest::keyClicks(input.Edit1, "12.5");
    QTest::keyClick(input.Edit1, Qt::Key_Return);
  });
  EXPECT_EQ(input.Ask("0"), "12.5");
  EXPECT_FALSE(input.isVisible());
}

TEST(InputDialog, TheCloseBoxStillHandsBackTheText) {
  TformInput input;
  TQtDialogs dialogs(&input);
  QTimer::singleShot(0, &input, [&input] {
    QTest::keyClicks(input.Edit1, "7");
    input.close();
  });
  // The initial text is selected, so typing replaces it.
  EXPECT_EQ(dialogs.InputValue(nullptr, "900"), "7");
  QTimer::singleShot(0, &input, [&input] { input.close(); });
  EXPECT_EQ(dialogs.InputValue(nullptr, "900"), "900");
}

}  // namespace
}  // namespace tabulon
