// What the chart-properties dialog decides besides moving text: which choice each axis bound
// shows, the scale flags those choices give back, margins as percent text and the reading of
// the dialog's number boxes.
#pragma once

#include "task/ChartScale.h"

#include <array>
#include <cstdint>
#include <string>

namespace sarvanta {

// The three choices of one axis bound: automatic, fixed at the value in its box, or from the
// data ("Auto with contol extention" for the time axis, "Auto with ... % bigger" for values).
enum class TBoundChoice { Auto, Fixed, Data };

// The bounds in the order time minimum, time maximum, value minimum, value maximum: the order
// of the bits of AutoFlags and ModeFlags.
using TBoundChoices = std::array<TBoundChoice, 4>;

// A bound the chart draws automatically shows "Auto"; otherwise the scale's mode bit shows the
// data choice, and a bound that is neither shows the fixed choice.
TBoundChoices BoundChoicesOf(int32_t modeFlags, const std::array<bool, 4>& automatic);

// AutoFlags gets bit i for each "Auto" choice, ModeFlags bit i for each data choice.
void FlagsOf(const TBoundChoices& choices, int32_t& autoFlags, int32_t& modeFlags);

// A margin (a fraction) as percent text: 0.01 shows "1".
std::string MarginText(long double margin);

// Percent text as a margin: "5" gives 0.05. Throws EConvertError
// "'<text>' is not a valid floating point value".
long double MarginOf(const std::string& text);

// The number boxes of the dialog, as typed.
struct TChartPropertiesText {
  std::string Size;  // value-axis title size, an integer
  std::string XMin;
  std::string XMax;
  std::string YMin;
  std::string YMax;
  std::string YMinPercent;
  std::string YMaxPercent;
};

struct TChartPropertiesValues {
  int32_t Size = 0;
  long double XMin = 0;
  long double XMax = 0;
  long double YMin = 0;
  long double YMax = 0;
  long double YMinMargin = 0;
  long double YMaxMargin = 0;
};

// Reads every box in the order the dialog applies them (size, bounds, margins); throws the
// conversion error of the first box that does not hold a number, before anything is applied.
TChartPropertiesValues ReadChartProperties(const TChartPropertiesText& text);

// Writes the dialog's choices and values into a scale: the flags, the fixed bounds and the
// margins. DataMin and DataMax stay.
void StoreChartProperties(const TBoundChoices& choices, const TChartPropertiesValues& values,
                          TChartScale& scale);

}  // namespace sarvanta
