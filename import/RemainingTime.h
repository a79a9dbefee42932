// The remaining-time text of the progress window.
#pragma once

#include <cstdint>
#include <string>

namespace tabulon {

// From the bar's maximum and position (bytes) and the seconds elapsed since the import began:
// "残り時間計算中" below 1 %, else an estimate ("あと 7 秒", "あと 約 40 秒", "あと 約 12 分",
// "あと 約 30 分", "あと 約 3 時間"), "残り時間計算中" again from about a day. Shift-JIS.
std::string RemainingTimeText(int64_t max, int64_t position, double elapsedSeconds);

}  // namespace tabulon
