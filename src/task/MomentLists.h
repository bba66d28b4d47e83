// The lists of numbers typed line by line in the property dialogs (impulse moments, polynomial
// coefficients) and the periodical impulse generator.
#pragma once

#include <string>
#include <vector>

namespace sarvanta {

class TRandom;

// Lines converted as reals, in order, up to the first line that is not a number.
struct TRealLines {
  // One entry per line; the entries from the first bad line on are 0.
  std::vector<long double> Values;
  // Index of the first line that is not a number, -1 when every line is one.
  int FirstBad = -1;
  bool Ok() const { return FirstBad < 0; }
};
TRealLines ParseRealLines(const std::vector<std::string>& lines);

// "Stimul 2 is not valid real number".
std::string StimulMessage(int index);
// "Coefficient 0 is not valid real number".
std::string CoefficientMessage(int index);
extern const char* const PeriodCountMessage;

// The most periods one "Add" generates; a larger count is refused like a text that is not a
// number, so that a mistyped count cannot exhaust the memory.
inline constexpr int MaxPeriods = 100000;

// The boxes of the periodical impulse page as typed.
struct TPeriodicalText {
  std::string Period;
  std::string Count;
  std::string Offset;
  std::string Variation;
};

// What the boxes give: a period or offset that is not a number is 0 (and its box is to show
// "0"), an empty offset is 0; a count that is not a whole number from 0 to MaxPeriods is 0 and
// to be reported (PeriodCountMessage); a variation that is not a whole number is 0.
struct TPeriodical {
  long double Period = 0;
  int Count = 0;
  long double Offset = 0;
  int Variation = 0;
  bool PeriodReset = false;
  bool OffsetReset = false;
  bool CountBad = false;
};
TPeriodical ReadPeriodical(const TPeriodicalText& text);

// i * period + offset for i = 0 .. count - 1.
std::vector<long double> PeriodicMoments(const TPeriodical& periodical);
// As PeriodicMoments with a random variation: for each moment first an integer draw s from
// {0, 1}, then a real draw u in [0, 1) from `random`; the moment is
// u * (1 - 2s) * variation + i * period + offset.
std::vector<long double> VariedPeriodicMoments(const TPeriodical& periodical, TRandom& random);

}  // namespace sarvanta
