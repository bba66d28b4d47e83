#include "task/RunProgress.h"

#include "base/NumberText.h"

#include <algorithm>
#include <cmath>

namespace sarvanta {

std::string DurationText(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) return "--:--:--";
  const auto total = static_cast<int64_t>(std::llround(seconds));
  const int64_t minutes = total / 60 % 60;
  const int64_t secs = total % 60;
  return IntToStr(total / 3600) + ":" + (minutes < 10 ? "0" : "") + IntToStr(minutes) + ":" +
         (secs < 10 ? "0" : "") + IntToStr(secs);
}

std::string TimeOfDayText(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  const int64_t total = static_cast<int64_t>(std::floor(seconds)) % 86400;
  auto two = [](int64_t value) { return (value < 10 ? "0" : "") + IntToStr(value); };
  return two(total / 3600) + ":" + two(total / 60 % 60) + ":" + two(total % 60);
}

std::string ProgressLine(const TRunProgress& p, int barWidth) {
  const int32_t steps = std::max(p.Steps, 0);
  const int32_t step = std::clamp(p.Step, 0, steps);
  const int filled = steps == 0 ? barWidth : static_cast<int>(int64_t{step} * barWidth / steps);
  std::string line = "[" + std::string(static_cast<size_t>(filled), '#') +
                     std::string(static_cast<size_t>(barWidth - filled), '-') + "]  ";
  line += IntToStr(step) + "/" + IntToStr(steps);
  line += "  best " + FloatToStrDigits(p.BestFitness, 6);
  line += "  improvement " + FloatToStrDigits(p.Improvement, 6);
  line += "  elapsed " + DurationText(p.ElapsedSeconds);
  const double left =
      step == 0 ? -1.0 : p.ElapsedSeconds / step * static_cast<double>(steps - step);
  line += "  left " + DurationText(left);
  return line;
}

}  // namespace sarvanta
