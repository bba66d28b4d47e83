// The curves of the results pages, sampled over the task's time frame: a motor unit's force,
// a muscle's force and a goal's target and result for one solution.
#pragma once

#include "task/CurveSampling.h"

namespace sarvanta {

class TGeneticAlgorithm;
class TGoalFunction;
class TIndividual;
class TMotorUnit;
class TMuscle;

// Each samples over FrameRange(FrameViewOf(algorithm), scale) and stores the curve's range in
// the scale's DataMin and DataMax.
TCurve MotorUnitForceCurve(const TMotorUnit& unit, const TGeneticAlgorithm& algorithm,
                           TChartScale& scale);
TCurve MuscleForceCurve(const TMuscle& muscle, const TGeneticAlgorithm& algorithm,
                        TChartScale& scale);
TGoalCurves GoalCurves(TGoalFunction& goal, const TIndividual& solution,
                       const TGeneticAlgorithm& algorithm, TChartScale& scale);

}  // namespace sarvanta
