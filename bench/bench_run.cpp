// Whole motor-task runs: generations and individual evaluations per second (an evaluation
// writes one solution's trains into the model, refreshes the muscle caches and scores every
// goal), on one thread and on every core, against the same run with the literal twitch sums
// on one thread. Every run happens in a fresh process of this program, so that its peak memory
// (peak_MB) is its own and earlier runs do not count. Times are wall-clock: the fast runs are
// made kFastRuns times and the fastest counts, since a shared machine slows single runs down
// at random; the literal runs, which take minutes, are made once.
//
// Columns of the one table: gen/s, eval/s, threads, peak_MB (the largest of the runs),
// scored_apart (individuals whose goals the evaluation threads estimated); x_1thread = gen/s
// against the same task's fast run on one thread; x_literal = gen/s against the same task's literal
// run (nan where the table has no such baseline).
#include "base/Random.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/PopulationEvaluation.h"
#include "ga/TaskFile.h"
#include "ga/ThreadPool.h"
#include "model/MechanicalSystem.h"
#include "model/ProjectFile.h"
#include "model/TwitchKernel.h"
#include "task/SettingsTransfer.h"

#include <sys/resource.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

using namespace sarvanta;

namespace {

const std::string Examples = SARVANTA_EXAMPLES_DIR;

struct TRunCase {
  std::string Task;     // a task of examples/
  std::string Project;  // a project of examples/
  int Steps = 0;
  int Population = 0;  // 0: the task's own
  int Threads = 1;
  bool Literal = false;
};

struct TRunResult {
  double Seconds = 0;
  int64_t Generations = 0;
  int64_t Evaluations = 0;
  long PeakKB = 0;
  // Unit samples made (each a motor unit's force over the grid for one train).
  int64_t SamplesMade = 0;
};

// In the child process: one seeded run of the case; prints its figures on standard output.
int RunCase(const TRunCase& c) {
  RegisterTaskClasses();
  TMechanicalSystem system;
  LoadSystemFromFile(system, Examples + "/" + c.Project);
  TGeneticAlgorithm algorithm;
  LoadTaskFromFile(algorithm, Examples + "/" + c.Task);
  algorithm.MechanicalSystem = &system;
  TTaskSettings settings;
  ShowLoadedTask(settings, algorithm);
  settings.eNumberOfSteps = std::to_string(c.Steps);
  if (c.Population > 0) settings.ePopulationSize = std::to_string(c.Population);
  TChartScales scales;
  PrepareFreshRun(settings, algorithm, scales);
  algorithm.EvaluationThreads = c.Threads;
  SetTwitchKernel(c.Literal ? TTwitchKernelChoice::Literal : TTwitchKernelChoice::Fast);
  TRandom::Shared().SetFixedSeed(1);
  const auto start = std::chrono::steady_clock::now();
  algorithm.InitRun(&system);
  algorithm.RunAll();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  SetTwitchKernel(TTwitchKernelChoice::Fast);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%.9f %d %llu %ld %llu\n", seconds, algorithm.StepNo,
              static_cast<unsigned long long>(algorithm.Evaluations), usage.ru_maxrss,
              static_cast<unsigned long long>(algorithm.Evaluator->SamplesMade));
  return 0;
}

TRunResult RunInChild(const TRunCase& c) {
  const std::string command = "'/proc/" + std::to_string(getpid()) + "/exe' --run-case '" + c.Task +
                              "' '" + c.Project + "' " + std::to_string(c.Steps) + " " +
                              std::to_string(c.Population) + " " + std::to_string(c.Threads) + " " +
                              (c.Literal ? "literal" : "fast");
  FILE* child = popen(command.c_str(), "r");
  if (child == nullptr) throw std::runtime_error("cannot start " + command);
  TRunResult result;
  long long generations = 0;
  long long evaluations = 0;
  long long samples = 0;
  const int read = std::fscanf(child, "%lf %lld %lld %ld %lld", &result.Seconds, &generations,
                               &evaluations, &result.PeakKB, &samples);
  const int status = pclose(child);
  if (read != 5 || status != 0) throw std::runtime_error("the run failed: " + command);
  result.Generations = generations;
  result.Evaluations = evaluations;
  result.SamplesMade = samples;
  return result;
}

// Generations per second of the baselines measured so far, by task and kind.
std::map<std::string, double> baselines;

constexpr int kFastRuns = 5;

void MeasureRun(benchmark::State& state, const TRunCase& c, const std::string& key) {
  TRunResult result;
  for (auto _ : state) {
    result = RunInChild(c);
    for (int run = 1; run < (c.Literal ? 1 : kFastRuns); ++run) {
      const TRunResult again = RunInChild(c);
      const long peak = std::max(result.PeakKB, again.PeakKB);
      if (again.Seconds < result.Seconds) result = again;
      result.PeakKB = peak;
    }
    state.SetIterationTime(result.Seconds);
  }
  const double rate = static_cast<double>(result.Generations) / result.Seconds;
  if (c.Literal) baselines[key + "/literal"] = rate;
  if (!c.Literal && c.Threads == 1) baselines[key + "/1thread"] = rate;
  auto ratio = [&](const std::string& baseline) {
    const auto found = baselines.find(key + "/" + baseline);
    return found == baselines.end() ? std::nan("") : rate / found->second;
  };
  state.counters["gen/s"] = rate;
  state.counters["eval/s"] = static_cast<double>(result.Evaluations) / result.Seconds;
  state.counters["threads"] = c.Threads;
  state.counters["peak_MB"] = static_cast<double>(result.PeakKB) / 1024.0;
  state.counters["unit_samples"] = static_cast<double>(result.SamplesMade);
  state.counters["x_1thread"] = ratio("1thread");
  state.counters["x_literal"] = ratio("literal");
}

// The task's runs in the order their ratios need: literal on one thread, fast on one thread,
// fast on every core.
void RegisterTask(const std::string& name, TRunCase c, bool withLiteral) {
  const int cores = ResolveThreadCount(0);
  auto add = [&](const std::string& row, const TRunCase& runCase) {
    benchmark::RegisterBenchmark(
        ("run/" + name + "/" + row).c_str(),
        [runCase, name](benchmark::State& state) { MeasureRun(state, runCase, name); })
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  };
  if (withLiteral) {
    c.Literal = true;
    c.Threads = 1;
    add("literal_1thread", c);
  }
  c.Literal = false;
  c.Threads = 1;
  add("fast_1thread", c);
  c.Threads = cores;
  add("fast_" + std::to_string(cores) + "threads", c);
}

void RegisterRuns() {
  // The elbow task (20 steps) on the elbow example and on the larger bench-arm model.
  RegisterTask("elbow", {"elbow.hga", "elbow.svt", 20, 0, 1, false}, true);
  RegisterTask("elbow_task_on_bench_arm", {"elbow.hga", "bench-arm.svt", 20, 0, 1, false}, true);
  // bench-arm's own task: population 20, one cycle of each operation kind per step, operations
  // at every level, 50 steps over 0 .. 1000 ms at 1 ms.
  RegisterTask("bench_arm", {"bench-arm.hga", "bench-arm.svt", 50, 20, 1, false}, true);
  // The same with population 100: mostly for its peak memory.
  RegisterTask("bench_arm_population_100", {"bench-arm.hga", "bench-arm.svt", 50, 100, 1, false},
               false);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 8 && std::strcmp(argv[1], "--run-case") == 0) {
    const TRunCase c{argv[2],
                     argv[3],
                     std::stoi(argv[4]),
                     std::stoi(argv[5]),
                     std::stoi(argv[6]),
                     std::strcmp(argv[7], "literal") == 0};
    return RunCase(c);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RegisterRuns();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
