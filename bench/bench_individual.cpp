// Copying an individual and refreshing the model for it, on the bench-arm model over a task
// of 0 .. 500 ms in steps of 1 ms. A copy carries its muscles' force samples, so applying it
// recomputes nothing; the baseline marks every muscle changed, which is what a copy without
// its samples would cost. A third case changes one motor unit: one muscle is recomputed.
#include "ga/GeneticControl.h"
#include "ga/GeneticOperation.h"
#include "ga/Individual.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "model/TimeFrame.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

using namespace sarvanta;

namespace {

struct TBenchModel {
  TMechanicalSystem System;
  TTimeFrame Frame;
  std::unique_ptr<TIndividual> Template;

  TBenchModel() {
    LoadSystemFromFile(System, std::string(SARVANTA_EXAMPLES_DIR) + "/bench-arm.svt");
    Frame.SetFrame(false, false, 0, 500, 1, 1, 20, 100);
    Template = std::make_unique<TIndividual>(nullptr, 0, 3);
    auto* root = new TMovementCenterGeneticControl(nullptr, &Frame, &System);
    auto* center = new TMotorCenterGeneticControl(root, &Frame, &System);
    for (int m = 1; m < System.Muscles.Count(); ++m) {
      TMuscle* muscle = System.Muscle(m);
      auto* control = new TMuscleGeneticControl(center, &Frame, muscle);
      for (int u = 0; u < muscle->MotorUnits.Count(); ++u) {
        new TMotorUnitGeneticControl(control, &Frame, muscle->MotorUnit(u));
      }
    }
    Template->Root = root;
    Template->RegisterLevels();
    Template->Root->Apply();
    System.UpdateCaches();
  }
};

enum TCase { Unchanged, OneUnitChanged, AllMusclesChanged };

void CopyApplyRefresh(TBenchModel& model, TCase kind) {
  TIndividual copy(nullptr, 0, 3);
  model.Template->AssignTo(&copy);
  if (kind == OneUnitChanged) copy.Level(0)[0]->SetChanged(true);
  if (kind == AllMusclesChanged) {
    for (TChromosome* muscle : copy.Level(1)) muscle->SetChanged(true);
  }
  copy.Root->Apply();
  model.System.UpdateCaches();
  benchmark::ClobberMemory();
}

void BM_CopyApplyRefresh(benchmark::State& state) {
  TBenchModel model;
  const auto kind = static_cast<TCase>(state.range(0));
  // The baseline, timed once in the same run, for the ratio.
  const auto start = std::chrono::steady_clock::now();
  CopyApplyRefresh(model, AllMusclesChanged);
  const std::chrono::duration<double> baseline = std::chrono::steady_clock::now() - start;
  const auto loopStart = std::chrono::steady_clock::now();
  for (auto _ : state) CopyApplyRefresh(model, kind);
  const std::chrono::duration<double> loop = std::chrono::steady_clock::now() - loopStart;
  state.counters["x baseline"] =
      baseline.count() / (loop.count() / static_cast<double>(state.iterations()));
  const char* labels[] = {"copy keeps samples", "one unit changed", "baseline: all recomputed"};
  state.SetLabel(std::string(labels[kind]) + ", " +
                 std::to_string(model.System.Muscles.Count() - 1) + " muscles, " +
                 std::to_string(model.Template->Level(0).size()) + " motor units");
}
BENCHMARK(BM_CopyApplyRefresh)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();
