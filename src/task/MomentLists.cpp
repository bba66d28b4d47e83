#include "task/MomentLists.h"

#include "base/NumberText.h"
#include "base/Random.h"

namespace sarvanta {

const char* const PeriodCountMessage = "Enter valud number of periods to add";

TRealLines ParseRealLines(const std::vector<std::string>& lines) {
  TRealLines result;
  result.Values.assign(lines.size(), 0.0L);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!TryStrToFloat(lines[i], result.Values[i])) {
      result.Values[i] = 0;
      result.FirstBad = static_cast<int>(i);
      break;
    }
  }
  return result;
}

std::string StimulMessage(int index) {
  return "Stimul " + IntToStr(index) + " is not valid real number";
}

std::string CoefficientMessage(int index) {
  return "Coefficient " + IntToStr(index) + " is not valid real number";
}

TPeriodical ReadPeriodical(const TPeriodicalText& text) {
  TPeriodical result;
  result.PeriodReset = !TryStrToFloat(text.Period, result.Period);
  if (result.PeriodReset) result.Period = 0;
  if (!text.Offset.empty()) {
    result.OffsetReset = !TryStrToFloat(text.Offset, result.Offset);
    if (result.OffsetReset) result.Offset = 0;
  }
  int32_t count = 0;
  result.CountBad = !TryStrToInt(text.Count, count) || count < 0 || count > MaxPeriods;
  result.Count = result.CountBad ? 0 : count;
  int32_t variation = 0;
  result.Variation = TryStrToInt(text.Variation, variation) ? variation : 0;
  return result;
}

std::vector<long double> PeriodicMoments(const TPeriodical& periodical) {
  std::vector<long double> moments;
  for (int i = 0; i < periodical.Count; ++i)
    moments.push_back(i * periodical.Period + periodical.Offset);
  return moments;
}

std::vector<long double> VariedPeriodicMoments(const TPeriodical& periodical, TRandom& random) {
  std::vector<long double> moments;
  for (int i = 0; i < periodical.Count; ++i) {
    const int s = static_cast<int>(random.Below(2));
    const long double u = random.Real();
    moments.push_back(u * (1 - 2 * s) * periodical.Variation + i * periodical.Period +
                      periodical.Offset);
  }
  return moments;
}

}  // namespace sarvanta
