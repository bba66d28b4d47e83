#include "task/ChartScale.h"

#include <cmath>

namespace sarvanta {

TChartScale DefaultChartScale(long double ctrlStart, long double ctrlEnd) {
  TChartScale scale;
  scale.XMin = ctrlStart;
  scale.XMax = ctrlEnd;
  return scale;
}

void ResetChartScales(TChartScales& scales, long double ctrlStart, long double ctrlEnd) {
  for (TChartScale& scale : scales) {
    TChartScale fresh = DefaultChartScale(ctrlStart, ctrlEnd);
    fresh.DataMin = scale.DataMin;
    fresh.DataMax = scale.DataMax;
    scale = fresh;
  }
}

void ApplyChartScale(const TChartScale& scale, TChartAxis& timeAxis, TChartAxis& valueAxis) {
  timeAxis.AutomaticMinimum = (scale.AutoFlags & 1) != 0;
  timeAxis.AutomaticMaximum = (scale.AutoFlags & 2) != 0;
  valueAxis.AutomaticMinimum = (scale.AutoFlags & 4) != 0;
  valueAxis.AutomaticMaximum = (scale.AutoFlags & 8) != 0;
  if ((scale.ModeFlags & 4) != 0) {
    const long double minimum = scale.DataMin - scale.YMinMargin * std::fabs(scale.DataMin);
    if (minimum > valueAxis.Maximum) valueAxis.Maximum = minimum;
    valueAxis.Minimum = minimum;
    valueAxis.AutomaticMinimum = false;
  }
  if ((scale.ModeFlags & 8) != 0 && scale.DataMax > scale.DataMin) {
    valueAxis.Maximum = scale.DataMax + scale.YMaxMargin * std::fabs(scale.DataMax);
    valueAxis.AutomaticMaximum = false;
  }
}

}  // namespace sarvanta
