#include "task/RunExport.h"

#include "base/NumberText.h"
#include "ga/Chromosome.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GoalFunction.h"
#include "ga/Individual.h"
#include "ga/PopulationEvaluation.h"
#include "model/MechanicalSystem.h"
#include "model/Muscle.h"
#include "task/ResultCurves.h"
#include "task/RunTables.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

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

void SampleOnEvaluationThreads(const TGeneticAlgorithm& algorithm, const TMechanicalSystem* system,
                               size_t count, const std::function<void(size_t)>& task) {
  if (system != nullptr) system->PrepareForceSampling();
  algorithm.Evaluator->RunTasks(count, task);
}

// Each goal's curves are sampled on a thread of their own; goals that draw random numbers
// are sampled on the calling thread, in goal order, so that their draws keep their order.
TChartData GoalsChart(TGeneticAlgorithm& algorithm, const TIndividual& solution) {
  const int count = algorithm.Goals.Count();
  std::vector<std::optional<TGoalCurves>> curves(static_cast<size_t>(count));
  const auto sample = [&](size_t j) {
    TChartScale scale;
    curves[j] = GoalCurves(*algorithm.Goal(static_cast<int>(j)), solution, algorithm, scale);
  };
  const auto drawsRandom = [&](int j) {
    return algorithm.Goal(j)->Threading() == TGoalThreading::CallingThread;
  };
  for (int j = 0; j < count; ++j)
    if (algorithm.Goal(j) != nullptr && drawsRandom(j)) sample(static_cast<size_t>(j));
  SampleOnEvaluationThreads(algorithm, algorithm.MechanicalSystem, curves.size(), [&](size_t j) {
    const int goal = static_cast<int>(j);
    if (algorithm.Goal(goal) != nullptr && !drawsRandom(goal)) sample(j);
  });
  TChartData chart{"Goal", "t [ms]", {}};
  for (int j = 0; j < count; ++j) {
    const TGoalFunction* goal = algorithm.Goal(j);
    if (goal == nullptr) continue;
    const TGoalCurves& goalCurves = *curves[static_cast<size_t>(j)];
    const std::string caption = algorithm.Goals.Strings(j);
    const std::string unit = GoalUnit(*goal);
    chart.Series.push_back(Series(WithUnit(caption + " goal", unit), goalCurves.Target));
    chart.Series.push_back(Series(WithUnit(caption + " result", unit), goalCurves.Result));
  }
  return chart;
}

// Each muscle's curve is sampled on a thread of its own.
TChartData ForcesChart(const TGeneticAlgorithm& algorithm, const TMechanicalSystem& system) {
  std::vector<TCurve> curves(static_cast<size_t>(std::max(system.Muscles.Count(), 0)));
  SampleOnEvaluationThreads(algorithm, &system, curves.size(), [&](size_t i) {
    const TMuscle* muscle = system.Muscle(static_cast<int>(i));
    if (i == 0 || muscle == nullptr) return;
    TChartScale scale;
    curves[i] = MuscleForceCurve(*muscle, algorithm, scale);
  });
  TChartData chart{"Muscle forces, [N]", "t [ms]", {}};
  for (int i = 1; i < system.Muscles.Count(); ++i)
    if (system.Muscle(i) != nullptr)
      chart.Series.push_back(
          Series(WithUnit(system.Muscles.Strings(i), "N"), curves[static_cast<size_t>(i)]));
  return chart;
}

}  // namespace sarvanta
