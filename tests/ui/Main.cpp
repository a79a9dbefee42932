// The window tests need an application object; they run on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/Messages.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  tabulon::SetMessageLanguage(tabulon::TLanguage::kJapanese);  // as the program entry sets it
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
