// Force of every muscle of the bench-arm example over a 1000-point grid (0 .. 999 ms), as
// twitch evaluations (impulses x grid points) per second: the model's Force against the
// straightforward per-impulse computation, measured in the same run, with their ratio.
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace sarvanta {
namespace {

constexpr int GridPoints = 1000;

const TMechanicalSystem& BenchArm() {
  static TMechanicalSystem* system = [] {
    auto* loaded = new TMechanicalSystem;
    LoadSystemFromFile(*loaded, SARVANTA_EXAMPLES_DIR "/bench-arm.svt");
    return loaded;
  }();
  return *system;
}

// Impulses of all units times grid points: the twitches one sweep evaluates.
double TwitchesPerSweep(const TMechanicalSystem& system) {
  double impulses = 0;
  for (int m = 1; m < system.Muscles.Count(); ++m) {
    const TMuscle& muscle = *system.Muscle(m);
    for (int u = 0; u < muscle.MotorUnits.Count(); ++u)
      impulses += static_cast<double>(muscle.MotorUnit(u)->ImpArray().size());
  }
  return impulses * GridPoints;
}

void Sweep(benchmark::State& state, bool literal) {
  const TMechanicalSystem& system = BenchArm();
  for (auto _ : state) {
    for (int m = 1; m < system.Muscles.Count(); ++m) {
      const TMuscle& muscle = *system.Muscle(m);
      for (int i = 0; i < GridPoints; ++i) {
        const long double t = i;
        long double force = 0;
        if (literal) {
          for (int u = 0; u < muscle.MotorUnits.Count(); ++u)
            force += muscle.MotorUnit(u)->ForceLiteral(t);
        } else {
          force = muscle.Force(t);
        }
        benchmark::DoNotOptimize(force);
      }
    }
  }
  state.counters["twitches/s"] =
      benchmark::Counter(TwitchesPerSweep(system) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

void BM_ForceLiteral(benchmark::State& state) { Sweep(state, true); }
void BM_Force(benchmark::State& state) { Sweep(state, false); }
BENCHMARK(BM_ForceLiteral)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Force)->Unit(benchmark::kMillisecond);

// Prints the table as usual and remembers each benchmark's processor time per sweep (the
// machine may be shared; processor time is what the two computations cost).
class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) Seconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
  }
  std::map<std::string, double> Seconds;
};

}  // namespace
}  // namespace sarvanta

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  sarvanta::TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto literal = reporter.Seconds.find("BM_ForceLiteral");
  auto fast = reporter.Seconds.find("BM_Force");
  if (literal != reporter.Seconds.end() && fast != reporter.Seconds.end() && fast->second > 0)
    std::printf("Force is %.1fx the literal computation on bench-arm\n",
                literal->second / fast->second);
  benchmark::Shutdown();
  return 0;
}
