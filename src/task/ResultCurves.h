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
class TParamFunction;
class TStringList;
class TComponent;
class TTimeFrame;

// Each samples over FrameRange(FrameViewOf(algorithm), scale) and stores the curve's range in
// the scale's DataMin and DataMax.
TCurve MotorUnitForceCurve(const TMotorUnit& unit, const TGeneticAlgorithm& algorithm,
                           TChartScale& scale);
TCurve MuscleForceCurve(const TMuscle& muscle, const TGeneticAlgorithm& algorithm,
                        TChartScale& scale);
TGoalCurves GoalCurves(TGoalFunction& goal, const TIndividual& solution,
                       const TGeneticAlgorithm& algorithm, TChartScale& scale);
// A derived function of one solution; a function whose Precision is 0 gets 1 first.
TCurve DerivedFunctionCurve(TParamFunction& function, const TIndividual& solution,
                            const TGeneticAlgorithm& algorithm, TChartScale& scale);

// The curve drawn when a motor unit is chosen: from the evaluation window's start, each point
// one precision step later, up to the first at or after its end (a step that is not above 0
// gives no points).
TCurve MotorUnitSelectionCurve(const TMotorUnit& unit, const TTimeFrame& frame);

// The six derived functions of the "Divers" page, created owned by `owner` with Precision 1
// and listed under their names in `functions`: "Intergral EMG", "Reaction Force",
// "X Projection of Reaction Force", "Y Projection of Reaction Force", "Force Arm",
// "Muscle Moment".
void CreateParamFunctions(TComponent* owner, TStringList& functions);

}  // namespace sarvanta
