// A whole motor-task run (the elbow task) on the elbow example and on the larger bench-arm
// model: generations per second and individual evaluations per second (an evaluation writes
// one solution's trains into the model, refreshes the muscle caches and scores every goal).
#include "base/Random.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GoalFunction.h"
#include "ga/TaskFile.h"
#include "model/MechanicalSystem.h"
#include "model/ProjectFile.h"
#include "task/SettingsTransfer.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace sarvanta;

namespace {

constexpr int Steps = 20;

// A goal of weight 0 that only counts how often the algorithm evaluates an individual.
class TCountingGoal : public TGoalFunction {
 public:
  TCountingGoal(TComponent* owner, int64_t& count)
      : TGoalFunction(owner, 0, "count"), count_(count) {}
  long double Estimation(TChromosome*) override {
    ++count_;
    return 0;
  }

 private:
  int64_t& count_;
};

void RunElbowTask(benchmark::State& state, const std::string& project) {
  RegisterTaskClasses();
  int64_t evaluations = 0;
  int64_t generations = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TMechanicalSystem system;
    LoadSystemFromFile(system, std::string(SARVANTA_EXAMPLES_DIR) + "/" + project);
    TGeneticAlgorithm algorithm;
    LoadTaskFromFile(algorithm, std::string(SARVANTA_EXAMPLES_DIR) + "/elbow.hga");
    algorithm.MechanicalSystem = &system;
    TTaskSettings settings;
    ShowLoadedTask(settings, algorithm);
    settings.eNumberOfSteps = std::to_string(Steps);
    TChartScales scales;
    PrepareFreshRun(settings, algorithm, scales);
    new TCountingGoal(&algorithm, evaluations);
    TRandom::Shared().SetFixedSeed(1);
    algorithm.InitRun(&system);
    state.ResumeTiming();
    algorithm.RunAll();
    generations += algorithm.StepNo;
  }
  state.counters["generations/s"] =
      benchmark::Counter(static_cast<double>(generations), benchmark::Counter::kIsRate);
  state.counters["evaluations/s"] =
      benchmark::Counter(static_cast<double>(evaluations), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK_CAPTURE(RunElbowTask, elbow, std::string("elbow.svt"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(RunElbowTask, bench_arm, std::string("bench-arm.svt"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK_MAIN();
