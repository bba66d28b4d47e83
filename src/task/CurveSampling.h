// Curves of the results charts: a function of time sampled over the task's time frame.
#pragma once

#include "task/ChartScale.h"

#include <functional>
#include <span>
#include <vector>

namespace sarvanta {

// What the sampling reads from the algorithm and its time frame.
struct TFrameView {
  bool AlwaysUseVisFrame = false;
  long double VisibleFrameStart = 0;
  long double VisibleFrameEnd = 0;
  long double VisiblePrecision = 0;
  long double FromMoment = 0;
  long double ToMoment = 0;
  long double CtrlStart = 0;
  long double CtrlEnd = 0;
  long double Precision = 0;
  long double OscOffset = 0;
};

// Sampling from X0 to X1 with step S; points after the first are taken at t + O.
struct TFrameRange {
  long double X0 = 0;
  long double X1 = 0;
  long double S = 0;
  long double O = 0;
};

// "Always show frame" samples the visible frame with its own step and no offset. Otherwise the
// step and offset are the time frame's, and each end is the evaluation window's when the
// scale's time-axis bound is automatic, else the control window's when its mode bit says so,
// else the scale's fixed XMin / XMax.
TFrameRange FrameRange(const TFrameView& frame, const TChartScale& scale);

struct TCurvePoint {
  long double X = 0;
  long double Y = 0;
};

struct TCurve {
  std::vector<TCurvePoint> Points;
  long double DataMin = 0;
  long double DataMax = 0;
};

using TTimeFunction = std::function<long double(long double t)>;
// values[i] := the function at times[i], for a whole curve at once.
using TCurveFunction =
    std::function<void(std::span<const long double> times, std::span<long double> values)>;

// A curve never holds more points than this: a step that is tiny against the range (or not
// above 0) would otherwise run out of memory or never end.
constexpr size_t MaxCurvePoints = 1000000;

// The times of a curve: the first at X0 + firstOffset, then t + O for t = X0 + S, X0 + 2S, ...
// while t < X1 (at most MaxCurvePoints).
std::vector<long double> CurveTimes(const TFrameRange& range, long double firstOffset);

// The first point at X0 itself, then points at t + O for t = X0 + S, X0 + 2S, ... while t < X1
// (0 to 200 with step 2 gives the 100 points 0, 2, ..., 198). A step that is not above 0 gives
// the first point only.
TCurve SampleCurve(const TFrameRange& range, const TTimeFunction& f);
// The same points, with the values computed for all times at once.
TCurve SampleCurve(const TFrameRange& range, const TCurveFunction& f);

// Like SampleCurve, but every point, the first included, is taken at t + O: a goal's result
// curve, drawn beside its target curve.
TCurve SampleOffsetCurve(const TFrameRange& range, const TTimeFunction& f);

// A goal's two curves: the target (as SampleCurve) and the result (as SampleOffsetCurve); the
// returned range covers both.
struct TGoalCurves {
  TCurve Target;
  TCurve Result;
  long double DataMin = 0;
  long double DataMax = 0;
};
TGoalCurves SampleGoalCurves(const TFrameRange& range, const TTimeFunction& target,
                             const TCurveFunction& result);

// Smallest and largest value of several curves (0 and 0 for none).
void CurvesRange(const std::vector<const TCurve*>& curves, long double& dataMin,
                 long double& dataMax);

}  // namespace sarvanta
