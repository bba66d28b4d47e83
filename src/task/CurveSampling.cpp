#include "task/CurveSampling.h"

#include <algorithm>
#include <cmath>

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

TCurve Sample(const TFrameRange& range, const TTimeFunction& f, long double firstOffset) {
  TCurve curve;
  const long double first = range.X0 + firstOffset;
  AddPoint(curve, first, f(first));
  if (!(range.S > 0) || !std::isfinite(range.S)) return curve;
  for (long double t = range.X0 + range.S; t < range.X1 && curve.Points.size() < MaxCurvePoints;
       t += range.S) {
    const long double x = t + range.O;
    AddPoint(curve, x, f(x));
  }
  return curve;
}

}  // namespace

TCurve SampleCurve(const TFrameRange& range, const TTimeFunction& f) { return Sample(range, f, 0); }

TCurve SampleOffsetCurve(const TFrameRange& range, const TTimeFunction& f) {
  return Sample(range, f, range.O);
}

TGoalCurves SampleGoalCurves(const TFrameRange& range, const TTimeFunction& target,
                             const TTimeFunction& result) {
  TGoalCurves curves;
  curves.Target = SampleCurve(range, target);
  curves.Result = SampleOffsetCurve(range, result);
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
