#include <gtest/gtest.h>

#include "TestUtil.h"
#include "import/RemainingTime.h"

namespace tabulon {
namespace {

struct TimeCase {
  int64_t max;
  int64_t position;
  double elapsed;
  const char* expected;  // UTF-8
};

TEST(RemainingTime, ChoosesTheTextByTheEstimate) {
  // With position = max / 2 the estimate equals the elapsed time exactly.
  const TimeCase cases[] = {
      {1000, 5, 10, "残り時間計算中"},  // 0.5 %
      {1000, 10, 1, "あと 約 1 分"},    // 1 %: 99 s
      {2, 1, 0, "あと 0 秒"},
      {2, 1, 19.99, "あと 19 秒"},
      {2, 1, 20, "あと 約 20 秒"},
      {2, 1, 45, "あと 約 40 秒"},
      {2, 1, 59.9, "あと 約 50 秒"},
      {2, 1, 60, "あと 約 1 分"},
      {2, 1, 12 * 60 + 59, "あと 約 12 分"},
      {2, 1, 20 * 60, "あと 約 20 分"},
      {2, 1, 25 * 60, "あと 約 20 分"},
      {2, 1, 59 * 60 + 59, "あと 約 50 分"},
      {2, 1, 3600, "あと 約 1 時間"},
      {2, 1, 3 * 3600 + 1800, "あと 約 3 時間"},
      {2, 1, 86399, "あと 約 23 時間"},
      {2, 1, 86399.059, "残り時間計算中"},
      {2, 1, 2 * 86400, "残り時間計算中"},
      {1000, 1000, 50, "あと 0 秒"},
      {1000, 1002, 50, "あと 0 秒"},  // last line without a line end
      {0, 0, 5, "残り時間計算中"},
      {0, 7, 5, "残り時間計算中"},
  };
  for (const TimeCase& c : cases) {
    EXPECT_EQ(RemainingTimeText(c.max, c.position, c.elapsed), test::S(c.expected))
        << c.max << " " << c.position << " " << c.elapsed;
  }
}

}  // namespace
}  // namespace tabulon
