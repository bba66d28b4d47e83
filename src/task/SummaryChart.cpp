#include "task/SummaryChart.h"

#include "base/StringList.h"
#include "ga/DerivedFunctions.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GoalFunction.h"
#include "ga/Individual.h"
#include "model/MechanicalSystem.h"
#include "model/Muscle.h"
#include "task/ResultCurves.h"
#include "task/RunExport.h"

namespace sarvanta {

namespace {

const TIndividual* Solution(const TGeneticAlgorithm& algorithm, int index) {
  if (index < 0 || index >= algorithm.Population.Count()) return nullptr;
  return algorithm.Individual(algorithm.Population, index);
}

TSummaryCurves SampleOne(const TChartDescription& d, TGeneticAlgorithm& algorithm,
                         TMechanicalSystem& system, const TStringList& functions,
                         TChartScale& scale) {
  TSummaryCurves curves;
  const TMuscle* muscle = d.FirstIndex >= 1 ? system.Muscle(d.FirstIndex) : nullptr;
  if (d.Kind == ckMotorUnit && muscle != nullptr) {
    if (const TMotorUnit* unit = muscle->MotorUnit(d.SecondIndex)) {
      curves.Series = MotorUnitForceCurve(*unit, algorithm, scale);
      curves.Charted = true;
    }
  } else if (d.Kind == ckMuscle && muscle != nullptr) {
    curves.Series = MuscleForceCurve(*muscle, algorithm, scale);
    curves.Charted = true;
  } else if (d.Kind == ckGoal) {
    const TIndividual* solution = Solution(algorithm, d.FirstIndex);
    TGoalFunction* goal = d.SecondIndex >= 0 && d.SecondIndex < algorithm.Goals.Count()
                              ? algorithm.Goal(d.SecondIndex)
                              : nullptr;
    if (solution != nullptr && goal != nullptr) {
      const TSolutionInModel applied(algorithm, *solution, system);
      TGoalCurves goalCurves = GoalCurves(*goal, *solution, algorithm, scale);
      curves.Series = std::move(goalCurves.Target);
      curves.SecondSeries = std::move(goalCurves.Result);
      curves.Charted = true;
    }
  } else if (d.Kind == ckDerivedFunction) {
    const TIndividual* solution = Solution(algorithm, d.FirstIndex);
    auto* function = d.SecondIndex >= 0 && d.SecondIndex < functions.Count()
                         ? dynamic_cast<TParamFunction*>(functions.Objects(d.SecondIndex))
                         : nullptr;
    if (solution != nullptr && function != nullptr) {
      const TSolutionInModel applied(algorithm, *solution, system);
      curves.Series = DerivedFunctionCurve(*function, *solution, algorithm, scale);
      curves.Charted = true;
    }
  }
  return curves;
}

}  // namespace

std::vector<TSummaryCurves> SampleSummary(const std::vector<TChartDescription>& descriptions,
                                          TGeneticAlgorithm& algorithm, TMechanicalSystem& system,
                                          const TStringList& functions, TChartScale& scale) {
  std::vector<TSummaryCurves> all;
  std::vector<const TCurve*> produced;
  for (const TChartDescription& description : descriptions)
    all.push_back(SampleOne(description, algorithm, system, functions, scale));
  for (const TSummaryCurves& curves : all) {
    produced.push_back(&curves.Series);
    produced.push_back(&curves.SecondSeries);
  }
  CurvesRange(produced, scale.DataMin, scale.DataMax);
  return all;
}

}  // namespace sarvanta
