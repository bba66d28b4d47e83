#include "task/CurveSampling.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace sarvanta {

TFrameRange FrameRange(const TFrameView& frame, const TChartScale& scale) {
  if (frame.AlwaysUseVisFrame)
    return {frame.VisibleFrameStart, frame.VisibleFrameEnd, frame.VisiblePrecision, 0};
  TFrameRange range;
  range.S = frame.Precision;
  range.O = frame.OscOffset;
  if ((scale.AutoFlags & 1) != 0)
    range.X0 = frame.FromMoment;
  else
    range.X0 = (scale.ModeFlags & 1) != 0 ? frame.CtrlStart : scale.XMin;
  if ((scale.AutoFlags & 2) != 0)
    range.X1 = frame.ToMoment;
  else
    range.X1 = (scale.ModeFlags & 2) != 0 ? frame.CtrlEnd : scale.XMax;
  return range;
}

std::vector<long double> CurveTimes(const TFrameRange& range, long double firstOffset) {
  std::vector<long double> times{range.X0 + firstOffset};
  if (!(range.S > 0) || !std::isfinite(range.S)) return times;
  for (long double t = range.X0 + range.S; t < range.X1 && times.size() < MaxCurvePoints;
       t += range.S)
    times.push_back(t + range.O);
  return times;
}

namespace {

void AddPoint(TCurve& curve, long double x, long double y) {
  if (curve.Points.empty()) {
    curve.DataMin = curve.DataMax = y;
  } else {
    curve.DataMin = std::min(curve.DataMin, y);
    curve.DataMax = std::max(curve.DataMax, y);
  }
  curve.Points.push_back({x, y});
}

TCurve Sample(const TFrameRange& range, const TCurveFunction& f, long double firstOffset) {
  const std::vector<long double> times = CurveTimes(range, firstOffset);
  std::vector<long double> values(times.size(), 0.0L);
  f(times, values);
  TCurve curve;
  curve.Points.reserve(times.size());
  for (size_t i = 0; i < times.size(); ++i) AddPoint(curve, times[i], values[i]);
  return curve;
}

TCurveFunction PointByPoint(const TTimeFunction& f) {
  return [&f](std::span<const long double> times, std::span<long double> values) {
    for (size_t i = 0; i < times.size(); ++i) values[i] = f(times[i]);
  };
}

}  // namespace

TCurve SampleCurve(const TFrameRange& range, const TTimeFunction& f) {
  return Sample(range, PointByPoint(f), 0);
}

TCurve SampleCurve(const TFrameRange& range, const TCurveFunction& f) {
  return Sample(range, f, 0);
}

TCurve SampleOffsetCurve(const TFrameRange& range, const TTimeFunction& f) {
  return Sample(range, PointByPoint(f), range.O);
}

TGoalCurves SampleGoalCurves(const TFrameRange& range, const TTimeFunction& target,
                             const TCurveFunction& result) {
  TGoalCurves curves;
  curves.Target = SampleCurve(range, target);
  curves.Result = Sample(range, result, range.O);
  CurvesRange({&curves.Target, &curves.Result}, curves.DataMin, curves.DataMax);
  return curves;
}

void CurvesRange(const std::vector<const TCurve*>& curves, long double& dataMin,
                 long double& dataMax) {
  bool any = false;
  dataMin = dataMax = 0;
  for (const TCurve* curve : curves) {
    if (curve->Points.empty()) continue;
    dataMin = any ? std::min(dataMin, curve->DataMin) : curve->DataMin;
    dataMax = any ? std::max(dataMax, curve->DataMax) : curve->DataMax;
    any = true;
  }
}

}  // namespace sarvanta
