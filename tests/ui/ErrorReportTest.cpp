#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "WindowTestUtil.h"
#include "platform/Errors.h"
#include "ui/ErrorReport.h"

namespace tabulon::test {
namespace {

TEST(ErrorReport, EveryFailureIsReportedInJapanese) {
  TScriptedDialogs dialogs;
  EXPECT_TRUE(Guard(dialogs, nullptr, [] {}));
  EXPECT_FALSE(
      Guard(dialogs, nullptr, [] { throw IoError("/tmp/x.csv", TFileAction::kRead, EIO); }));
  EXPECT_FALSE(Guard(dialogs, nullptr, [] { throw std::bad_alloc(); }));
  EXPECT_FALSE(Guard(dialogs, nullptr, [] { throw std::runtime_error("ICU: U_ILLEGAL"); }));
  EXPECT_EQ(
      dialogs.messages,
      (std::vector<QString>{"/tmp/x.csv を読み込めません: 読み書きの途中で装置のエラーが起きました",
                            "メモリが足りません", "予期しないエラーが起きました: ICU: U_ILLEGAL"}));
}

}  // namespace
}  // namespace tabulon::test
