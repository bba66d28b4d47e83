// Evaluating (not copying) a copy of an evaluated individual on the bench-arm model over a task of
// 0 .. 1000 ms in steps of 1 ms (480 motor units, 4 muscles): a copy shares its units' samples, so
// it costs no sampling; a copy with one motor unit mutated samples that unit and sums its muscle
// again; the baseline recomputes one whole muscle (every unit of it sampled, then summed), which is
// what a mutation cost when the samples were kept per muscle.
#include "ga/GeneticControl.h"
#include "ga/GeneticOperation.h"
#include "ga/Individual.h"
#include "ga/PopulationEvaluation.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "model/TimeFrame.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

using namespace sarvanta;

namespace {

struct TBenchModel {
  TMechanicalSystem System;
  TTimeFrame Frame;
  std::unique_ptr<TIndividual> Template;
  TPopulationEvaluator Evaluator;

  TBenchModel() {
    LoadSystemFromFile(System, std::string(SARVANTA_EXAMPLES_DIR) + "/bench-arm.svt");
    Frame.SetFrame(false, false, 0, 1000, 1, 1, 0, 1000);
    Template = std::make_unique<TIndividual>(nullptr, 0, 3);
    auto* root = new TMovementCenterGeneticControl(nullptr, &Frame, &System);
    auto* center = new TMotorCenterGeneticControl(root, &Frame, &System);
    for (int m = 1; m < System.Muscles.Count(); ++m) {
      TMuscle* muscle = System.Muscle(m);
      auto* control = new TMuscleGeneticControl(center, &Frame, muscle);
      for (int u = 0; u < muscle->MotorUnits.Count(); ++u)
        new TMotorUnitGeneticControl(control, &Frame, muscle->MotorUnit(u));
    }
    Template->Root = root;
    Template->RegisterLevels();
    Evaluate(*Template);
  }

  void Evaluate(TIndividual& individual) {
    Evaluator.Begin({&individual}, {}, System, Frame, [] {});
    Evaluator.Complete(0);
    Evaluator.End();
  }
};

enum TCase { Unchanged, OneUnitMutated, WholeMuscle };

// Seconds the evaluation of a fresh copy of the template takes (the copy itself not timed).
double EvaluateCopy(TBenchModel& model, TCase kind) {
  TIndividual copy(nullptr, 0, 3);
  model.Template->AssignTo(&copy);
  if (kind == OneUnitMutated) copy.Level(0)[5]->Mutate(OpCode::ShiftImpulseLeft, 1, 1);
  if (kind == WholeMuscle) {
    TChromosome* muscle = copy.Level(1)[0];
    for (int u = 0; u < muscle->ChildCount(); ++u)
      static_cast<TMotorUnitGeneticControl*>(muscle->Child(u))->Samples.reset();
  }
  const auto start = std::chrono::steady_clock::now();
  model.Evaluate(copy);
  benchmark::ClobberMemory();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_EvaluateCopy(benchmark::State& state) {
  TBenchModel model;
  const auto kind = static_cast<TCase>(state.range(0));
  // The baseline, timed in the same run (best of five), for the ratio.
  double baseline = 1e9;
  for (int i = 0; i < 5; ++i) baseline = std::min(baseline, EvaluateCopy(model, WholeMuscle));
  double best = 1e9;
  for (auto _ : state) {
    const double seconds = EvaluateCopy(model, kind);
    best = std::min(best, seconds);
    state.SetIterationTime(seconds);
  }
  state.counters["x_whole_muscle"] = baseline / best;
  const char* labels[] = {"copy shares the samples", "one motor unit mutated",
                          "baseline: one whole muscle recomputed"};
  state.SetLabel(std::string(labels[kind]) + " (best vs best), " +
                 std::to_string(model.System.Muscles.Count() - 1) + " muscles, " +
                 std::to_string(model.Template->Level(0).size()) + " motor units");
}
BENCHMARK(BM_EvaluateCopy)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Copying an evaluated individual and freeing the copy: what the algorithm's operators do on the
// calling thread for every offspring.
void BM_CopyAndFree(benchmark::State& state) {
  TBenchModel model;
  for (auto _ : state) {
    TIndividual copy(nullptr, 0, 3);
    model.Template->AssignTo(&copy);
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::to_string(model.Template->Level(0).size() + model.Template->Level(1).size() +
                                model.Template->Level(2).size() + 1) +
                 " chromosomes");
}
BENCHMARK(BM_CopyAndFree)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();
