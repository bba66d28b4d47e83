// The one-line progress report of a run: bar, step, best fitness, improvement, elapsed and
// estimated remaining time.
#pragma once

#include <cstdint>
#include <string>

namespace sarvanta {

struct TRunProgress {
  int32_t Step = 0;   // generations done in this run
  int32_t Steps = 0;  // generations the run is to make
  long double BestFitness = 0;
  long double Improvement = 0;
  double ElapsedSeconds = 0;
};

// "[########------------]  40/100  best 12.5  improvement 0.25  elapsed 0:01:02  left 0:01:33"
// The remaining time is estimated from the pace so far ("--:--:--" before the first step).
std::string ProgressLine(const TRunProgress& progress, int barWidth = 20);

// Seconds as h:mm:ss.
std::string DurationText(double seconds);

// Seconds as a time of day, hh:mm:ss (a day or more wraps round, as a clock does): the
// motor-task window's "Elapsed Time".
std::string TimeOfDayText(double seconds);

}  // namespace sarvanta
