#include "task/RunExport.h"

#include "base/NumberText.h"
#include "ga/Chromosome.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GoalFunction.h"
#include "ga/Individual.h"
#include "model/MechanicalSystem.h"
#include "model/Muscle.h"
#include "task/ResultCurves.h"
#include "task/RunTables.h"

namespace sarvanta {

void ApplySolution(const TIndividual& solution, TMechanicalSystem& system) {
  if (solution.Root != nullptr) solution.Root->Apply();
  system.UpdateCaches();
}

TSolutionInModel::TSolutionInModel(const TGeneticAlgorithm& algorithm, const TIndividual& solution,
                                   TMechanicalSystem& system)
    : system_(system) {
  const TIndividual* best =
      algorithm.Population.Count() > 0 ? algorithm.Individual(algorithm.Population, 0) : nullptr;
  if (&solution == best) return;
  best_ = best;
  ApplySolution(solution, system_);
}

TSolutionInModel::~TSolutionInModel() {
  if (best_ != nullptr) ApplySolution(*best_, system_);
}

std::string PopulationTable(const TGeneticAlgorithm& algorithm) {
  std::string table = "rank\tfitness";
  for (int j = 0; j < algorithm.Goals.Count(); ++j) {
    const TGoalFunction* goal = algorithm.Goal(j);
    table += "\t" + WithUnit(algorithm.Goals.Strings(j), goal ? GoalUnit(*goal) : "");
  }
  table += "\n";
  for (int i = 0; i < algorithm.Population.Count(); ++i) {
    const TIndividual* individual = algorithm.Individual(algorithm.Population, i);
    if (individual == nullptr) continue;
    table += IntToStr(i) + "\t" + TableNumber(individual->Fitness);
    for (const long double value : individual->Values) table += "\t" + TableNumber(value);
    table += "\n";
  }
  return table;
}

namespace {

TChartSeries Series(const std::string& title, const TCurve& curve) { return {title, curve.Points}; }

}  // namespace

TChartData GoalsChart(TGeneticAlgorithm& algorithm, const TIndividual& solution) {
  TChartData chart{"Goal", "t [ms]", {}};
  TChartScale scale;
  for (int j = 0; j < algorithm.Goals.Count(); ++j) {
    TGoalFunction* goal = algorithm.Goal(j);
    if (goal == nullptr) continue;
    const TGoalCurves curves = GoalCurves(*goal, solution, algorithm, scale);
    const std::string caption = algorithm.Goals.Strings(j);
    const std::string unit = GoalUnit(*goal);
    chart.Series.push_back(Series(WithUnit(caption + " goal", unit), curves.Target));
    chart.Series.push_back(Series(WithUnit(caption + " result", unit), curves.Result));
  }
  return chart;
}

TChartData ForcesChart(const TGeneticAlgorithm& algorithm, const TMechanicalSystem& system) {
  TChartData chart{"Muscle forces, [N]", "t [ms]", {}};
  TChartScale scale;
  for (int i = 1; i < system.Muscles.Count(); ++i) {
    const TMuscle* muscle = system.Muscle(i);
    if (muscle == nullptr) continue;
    chart.Series.push_back(Series(WithUnit(system.Muscles.Strings(i), "N"),
                                  MuscleForceCurve(*muscle, algorithm, scale)));
  }
  return chart;
}

}  // namespace sarvanta
