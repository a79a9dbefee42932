#include "import/RemainingTime.h"

#include <cmath>

#include "platform/SjisText.h"

namespace tabulon {

std::string RemainingTimeText(int64_t max, int64_t position, double elapsedSeconds) {
  const std::string& calculating = Sjis("残り時間計算中");
  // An empty bar has no fraction done; below 1 % the rate is not yet worth extrapolating.
  if (max <= 0 || static_cast<double>(position) / static_cast<double>(max) < 0.01) {
    return calculating;
  }
  double remaining =
      static_cast<double>(max - position) * elapsedSeconds / static_cast<double>(position);
  // A last line without its line end is counted with one, so the position can pass the maximum
  // by 2: nothing remains then, rather than a negative time.
  if (remaining < 0) remaining = 0;
  if (!(remaining < 86399.059)) return calculating;  // from about a day on, and NaN

  const int64_t totalSeconds = static_cast<int64_t>(std::floor(remaining));
  const int64_t hours = totalSeconds / 3600;
  const int64_t minutes = totalSeconds / 60 % 60;
  const int64_t seconds = totalSeconds % 60;
  const std::string& about = Sjis("あと 約 ");
  if (remaining < 20) return Sjis("あと ") + std::to_string(seconds) + Sjis(" 秒");
  if (remaining < 60) return about + std::to_string(seconds / 10) + Sjis("0 秒");
  if (remaining < 20 * 60) return about + std::to_string(minutes) + Sjis(" 分");
  if (remaining < 60 * 60) return about + std::to_string(minutes / 10) + Sjis("0 分");
  return about + std::to_string(hours) + Sjis(" 時間");
}

}  // namespace tabulon
