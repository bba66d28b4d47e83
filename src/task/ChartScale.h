// Axis settings of the five results charts and how they decide a chart's axes.
#pragma once

#include <array>
#include <cstdint>

namespace sarvanta {

// Indexed by the results page tag: 0 motor units, 1 muscles, 2 goals, 3 summary, 4 divers.
constexpr int ResultsPageCount = 5;

struct TChartScale {
  // Bit 0: time-axis minimum automatic; bit 1: time-axis maximum automatic; bit 2: value-axis
  // minimum automatic; bit 3: value-axis maximum automatic.
  int32_t AutoFlags = 15;
  // Bit 0: time axis starts at CtrlStart; bit 1: time axis ends at CtrlEnd; bit 2: value-axis
  // minimum from YMinMargin; bit 3: value-axis maximum from YMaxMargin.
  int32_t ModeFlags = 12;
  long double XMin = 0;
  long double XMax = 0;
  long double YMin = 0;
  long double YMax = 100;
  long double YMinMargin = 0.01L;
  long double YMaxMargin = 0.01L;
  // Range of the curve(s) last plotted on the page.
  long double DataMin = 0;
  long double DataMax = 0;
};

using TChartScales = std::array<TChartScale, ResultsPageCount>;

// A scale with the defaults; its fixed time axis spans the control window.
TChartScale DefaultChartScale(long double ctrlStart, long double ctrlEnd);

// Every scale back to the defaults (DataMin and DataMax are kept).
void ResetChartScales(TChartScales& scales, long double ctrlStart, long double ctrlEnd);

// One axis of a chart, as far as the scales decide it.
struct TChartAxis {
  bool AutomaticMinimum = true;
  bool AutomaticMaximum = true;
  long double Minimum = 0;
  long double Maximum = 0;
};

// Applies the scale's automatic flags to both axes, then the value-axis margins: with ModeFlags
// bit 2 the minimum is fixed at DataMin widened by YMinMargin (raising the maximum first when it
// would lie below); with bit 3 and DataMax > DataMin the maximum is fixed at DataMax widened by
// YMaxMargin (200 with 0.05 gives 210). A margin always widens the range outwards, so the
// smallest and the largest point stay on the chart whatever their sign.
void ApplyChartScale(const TChartScale& scale, TChartAxis& timeAxis, TChartAxis& valueAxis);

}  // namespace sarvanta
