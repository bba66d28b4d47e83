#include "task/ResultCurves.h"

#include "base/StringList.h"
#include "ga/DerivedFunctions.h"
#include "ga/GoalFunction.h"
#include "ga/Individual.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/TimeFrame.h"
#include "task/TaskViews.h"

#include <algorithm>

namespace sarvanta {

namespace {

template <class TFunction>
TCurve SampleInto(const TGeneticAlgorithm& algorithm, TChartScale& scale, const TFunction& f) {
  TCurve curve = SampleCurve(FrameRange(FrameViewOf(algorithm), scale), f);
  scale.DataMin = curve.DataMin;
  scale.DataMax = curve.DataMax;
  return curve;
}

}  // namespace

// Forces at every point of a curve at once: the same bits as one time after the other.
TCurve MotorUnitForceCurve(const TMotorUnit& unit, const TGeneticAlgorithm& algorithm,
                           TChartScale& scale) {
  const TCurveFunction forces = [&unit](std::span<const long double> times,
                                        std::span<long double> values) {
    unit.AddForceSamples(times, values);
  };
  return SampleInto(algorithm, scale, forces);
}

TCurve MuscleForceCurve(const TMuscle& muscle, const TGeneticAlgorithm& algorithm,
                        TChartScale& scale) {
  const TCurveFunction forces = [&muscle](std::span<const long double> times,
                                          std::span<long double> values) {
    muscle.SampleForceCached(times, values);
  };
  return SampleInto(algorithm, scale, forces);
}

TGoalCurves GoalCurves(TGoalFunction& goal, const TIndividual& solution,
                       const TGeneticAlgorithm& algorithm, TChartScale& scale) {
  TChromosome* root = solution.Root;
  TGoalCurves curves = SampleGoalCurves(
      FrameRange(FrameViewOf(algorithm), scale),
      [&goal, root](long double t) { return goal.Goal(root, t); },
      [&goal, root](std::span<const long double> times, std::span<long double> values) {
        goal.Results(root, times, values);
      });
  scale.DataMin = curves.DataMin;
  scale.DataMax = curves.DataMax;
  return curves;
}

TCurve DerivedFunctionCurve(TParamFunction& function, const TIndividual& solution,
                            const TGeneticAlgorithm& algorithm, TChartScale& scale) {
  if (function.Precision == 0) function.Precision = 1.0L;
  TChromosome* root = solution.Root;
  return SampleInto(algorithm, scale,
                    [&function, root](long double t) { return function.Value(root, t); });
}

TCurve MotorUnitSelectionCurve(const TMotorUnit& unit, const TTimeFrame& frame) {
  TCurve curve;
  if (!(frame.Precision > 0)) return curve;
  for (long double t = frame.FromMoment;
       frame.ToMoment > t && curve.Points.size() < MaxCurvePoints;) {
    t += frame.Precision;
    const long double y = unit.Force(t);
    if (curve.Points.empty()) curve.DataMin = curve.DataMax = y;
    curve.DataMin = std::min(curve.DataMin, y);
    curve.DataMax = std::max(curve.DataMax, y);
    curve.Points.push_back({t, y});
  }
  return curve;
}

void CreateParamFunctions(TComponent* owner, TStringList& functions) {
  functions.Add("Intergral EMG", new TIntEMG(owner, 1.0L, "Intergral EMG"));
  functions.Add("Reaction Force", new TReactionForce(owner, 1.0L, "Reaction Force"));
  functions.Add("X Projection of Reaction Force",
                new TReactionForce(owner, 1.0L, "Reaction Force"));
  functions.Add("Y Projection of Reaction Force",
                new TReactionForce(owner, 1.0L, "Reaction Force"));
  functions.Add("Force Arm", new TForceArm(owner, 1.0L, "Force Arm"));
  functions.Add("Muscle Moment", new TMuscleMoment(owner, 1.0L, "Muscle Moment"));
}

}  // namespace sarvanta
