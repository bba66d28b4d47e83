#include "task/ResultCurves.h"

#include "ga/GoalFunction.h"
#include "ga/Individual.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "task/TaskViews.h"

namespace sarvanta {

namespace {

TCurve SampleInto(const TGeneticAlgorithm& algorithm, TChartScale& scale, const TTimeFunction& f) {
  TCurve curve = SampleCurve(FrameRange(FrameViewOf(algorithm), scale), f);
  scale.DataMin = curve.DataMin;
  scale.DataMax = curve.DataMax;
  return curve;
}

}  // namespace

TCurve MotorUnitForceCurve(const TMotorUnit& unit, const TGeneticAlgorithm& algorithm,
                           TChartScale& scale) {
  return SampleInto(algorithm, scale, [&unit](long double t) { return unit.Force(t); });
}

TCurve MuscleForceCurve(const TMuscle& muscle, const TGeneticAlgorithm& algorithm,
                        TChartScale& scale) {
  return SampleInto(algorithm, scale, [&muscle](long double t) { return muscle.Force(t); });
}

TGoalCurves GoalCurves(TGoalFunction& goal, const TIndividual& solution,
                       const TGeneticAlgorithm& algorithm, TChartScale& scale) {
  TChromosome* root = solution.Root;
  TGoalCurves curves = SampleGoalCurves(
      FrameRange(FrameViewOf(algorithm), scale),
      [&goal, root](long double t) { return goal.Goal(root, t); },
      [&goal, root](long double t) { return goal.Result(root, t); });
  scale.DataMin = curves.DataMin;
  scale.DataMax = curves.DataMax;
  return curves;
}

}  // namespace sarvanta
