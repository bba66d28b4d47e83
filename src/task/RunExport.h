// What a finished run leaves for the user: the population as a table, and the best solution's
// goal curves and muscle forces as chart data.
#pragma once

#include "task/ChartData.h"

#include <cstddef>
#include <functional>
#include <string>

namespace sarvanta {

class TGeneticAlgorithm;
class TIndividual;
class TMechanicalSystem;

// Writes the solution's impulse trains into the model's motor units and refreshes the
// system's caches, so that the model shows (and saves) that solution.
void ApplySolution(const TIndividual& solution, TMechanicalSystem& system);

// While it lives, the model holds `solution`'s trains, so that curves sampled from the model
// (goal results, derived functions) are that solution's; at its end the model gets the best
// solution back, as a run leaves it. Nothing is rewritten when `solution` is the best.
class TSolutionInModel {
 public:
  TSolutionInModel(const TGeneticAlgorithm& algorithm, const TIndividual& solution,
                   TMechanicalSystem& system);
  ~TSolutionInModel();
  TSolutionInModel(const TSolutionInModel&) = delete;
  TSolutionInModel& operator=(const TSolutionInModel&) = delete;

 private:
  const TIndividual* best_ = nullptr;
  TMechanicalSystem& system_;
};

// Runs task(i) for every i in [0, count) on the algorithm's evaluation threads and throws the
// failure of the lowest index. The forces of `system` (when given) are prepared first, so that
// the tasks only read the model.
void SampleOnEvaluationThreads(const TGeneticAlgorithm& algorithm, const TMechanicalSystem* system,
                               size_t count, const std::function<void(size_t)>& task);

// "rank", "fitness" and one column per goal (its caption and unit, "Joint angle [N·m]"), then
// one row per individual of the population, best first: its position (from 0), its fitness
// and its goal values (task/RunTables.h numbers).
std::string PopulationTable(const TGeneticAlgorithm& algorithm);

// Chart "Goal", foot "t [ms]": for every goal, its target curve (titled "<caption> goal") and
// its result curve for the solution ("<caption> result"), each with its unit ("Joint angle
// goal [N·m]"), sampled over the task's frame. The solution must be applied to the model first.
TChartData GoalsChart(TGeneticAlgorithm& algorithm, const TIndividual& solution);

// Chart "Muscle forces, [N]", foot "t [ms]": every muscle's force (titled "<name> [N]") over
// the task's frame, as the model holds it now.
TChartData ForcesChart(const TGeneticAlgorithm& algorithm, const TMechanicalSystem& system);

}  // namespace sarvanta
