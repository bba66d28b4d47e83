// Evaluation on several threads gives the results of the sequential evaluation, bit for bit.
#include "base/Exception.h"
#include "base/Random.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticControl.h"
#include "ga/GoalKinematic.h"
#include "ga/GoalLoadSharing.h"
#include "ga/Individual.h"
#include "ga/ParallelEvaluation.h"
#include "ga/SystemTwin.h"
#include "ga/TaskFile.h"
#include "ga/ThreadPool.h"
#include "model/Cache.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "model/TimeFrame.h"
#include "task/RunExport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace sarvanta;

namespace {

const std::string Examples = SARVANTA_EXAMPLES_DIR;

// The ten bytes of an extended value as hex text: equal text means equal bits.
std::string Bits(long double value) {
  unsigned char bytes[sizeof(long double)];
  std::memcpy(bytes, &value, sizeof value);
  static const char* digits = "0123456789abcdef";
  std::string text;
  for (int i = 9; i >= 0; --i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

std::string Bits(const std::vector<long double>& values) {
  std::string text;
  for (long double v : values) text += Bits(v) + " ";
  return text;
}

// Every individual's text, fitness, goal values, genes, changed flags and muscle caches.
std::vector<std::string> Describe(TGeneticAlgorithm& ga, TStringList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) {
    TIndividual* individual = ga.Individual(list, i);
    const std::string at = "#" + std::to_string(i) + " ";
    lines.push_back(at + list.Strings(i) + " fitness " + Bits(individual->Fitness));
    lines.push_back(at + "values " + Bits(individual->Values));
    lines.push_back(at + "root changed " + std::to_string(individual->Root->Changed));
    for (TChromosome* unit : individual->Level(0))
      lines.push_back(at + "genes " + Bits(unit->Genes));
    for (TChromosome* chromosome : individual->Level(1)) {
      const TCache& cache = static_cast<TMuscleGeneticControl*>(chromosome)->Cache();
      lines.push_back(at + "muscle changed " + std::to_string(chromosome->Changed) + " grid " +
                      Bits({cache.StartTime, cache.EndTime, cache.TimeStep, cache.Offset}) +
                      " count " + std::to_string(cache.Count));
      lines.push_back(at + "samples " + Bits(cache.Samples));
    }
  }
  return lines;
}

struct TRunRecord {
  std::vector<std::string> Population;
  std::vector<std::string> Trace;
  std::string Project;
  std::set<std::string> Ends, Precisions, Offsets;
  uint64_t Prefilled = 0;
  std::string Error;
};

// The elbow task with a frame that moves, oscillates and changes its precision, and goals of
// several kinds, one of them an expression drawing from the shared generator.
void LoadElbowTask(TMechanicalSystem& system, TGeneticAlgorithm& ga) {
  RegisterTaskClasses();
  LoadSystemFromFile(system, Examples + "/elbow.svt");
  LoadTaskFromFile(ga, Examples + "/elbow.hga");
  ga.PopulationSize = 6;
  ga.NumberOfSteps = 12;
  ga.MoveOnEach = 4;
  ga.OscilateOnEach = 3;
  ga.TimeFrame->OscRange = 3;
  ga.TimeFrame->StopPrec = 3;
  ga.StopChangePrecAfter = 8;
  new TGFMinimalFatigue(&ga, 0.2L, "Fatigue");
  new TGFMinimalMUActivation(&ga, 0.1L, "Activation");
  new TGFPCSAbased(&ga, 0.1L, "PCSA");
  auto* noisy = new TGFJointAngle(&ga, 0.5L, "Noisy angle");
  noisy->FromBoneInd = 1;
  noisy->ToBoneInd = 2;
  noisy->Expression = "0.4+0.05*rn(4,1)";
  ga.RenameLists();
}

TRunRecord RunElbow(int threads) {
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga);
  ga.EvaluationThreads = threads;
  TRunRecord record;
  ga.OnTrace = [&record](int kind, const std::string& text) {
    record.Trace.push_back(std::to_string(kind) + text);
  };
  ga.OnStep = [&record, &ga](TObject*) {
    const TTimeFrame& frame = *ga.TimeFrame;
    record.Ends.insert(Bits(frame.ToMoment));
    record.Precisions.insert(Bits(frame.Precision));
    record.Offsets.insert(Bits(frame.OscOffset));
  };
  TRandom::Shared().SetFixedSeed(11);
  ga.InitRun(&system);
  ga.RunAll();
  TRandom::Shared().SetFixedSeed(std::nullopt);
  record.Population = Describe(ga, ga.Population);
  ApplySolution(*ga.Individual(ga.Population, 0), system);
  record.Project = SaveSystemToBytes(system);
  record.Prefilled = ga.Evaluator->Prefilled;
  record.Error = ga.Evaluator->LastError;
  return record;
}

// Once armed, counts its estimations and fails at the given one.
class TFailingGoal : public TGoalFunction {
 public:
  TFailingGoal(TComponent* owner, int failAt) : TGoalFunction(owner, 1, "fails"), failAt_(failAt) {}
  long double Estimation(TChromosome*) override {
    if (Armed && ++calls_ == failAt_) throw EZeroDivide();
    return calls_;
  }
  bool Armed = false;

 private:
  int failAt_;
  int calls_ = 0;
};

struct TFailure {
  std::string Message;
  std::vector<std::string> Population;
};

// One step that fails: through a goal at its `failAt`-th estimation, or (failAt 0) because the
// time grid cannot be sampled.
TFailure FailingStep(int threads, int failAt) {
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga);
  auto* goal = failAt > 0 ? new TFailingGoal(&ga, failAt) : nullptr;
  ga.EvaluationThreads = threads;
  TRandom::Shared().SetFixedSeed(5);
  ga.InitRun(&system);
  ga.Step();
  // A new grid: every individual of the population is evaluated again and every cache
  // sampled anew.
  ga.TimeFrame->Precision = goal != nullptr ? 2.5L : -1;
  ga.TimeFrame->Changed = true;
  if (goal != nullptr) goal->Armed = true;
  TFailure failure;
  try {
    ga.Step();
  } catch (const std::exception& e) {
    failure.Message = e.what();
  }
  TRandom::Shared().SetFixedSeed(std::nullopt);
  failure.Population = Describe(ga, ga.Population);
  return failure;
}

}  // namespace

TEST(ParallelEvaluation, RunsGiveBitIdenticalResultsWithAnyNumberOfThreads) {
  const TRunRecord sequential = RunElbow(1);
  EXPECT_EQ(sequential.Prefilled, 0u);
  // The frame really moved, oscillated and changed its precision during the run.
  EXPECT_GT(sequential.Ends.size(), 1u);
  EXPECT_GT(sequential.Precisions.size(), 1u);
  EXPECT_GT(sequential.Offsets.size(), 1u);
  ASSERT_EQ(sequential.Population.size(), 6u * (3 + 86 + 2 * 4));
  for (int threads : {2, 4}) {
    const TRunRecord parallel = RunElbow(threads);
    EXPECT_EQ(parallel.Error, "");
    EXPECT_GT(parallel.Prefilled, 100u) << threads;  // the workers did the sampling
    EXPECT_EQ(parallel.Population, sequential.Population) << threads;
    EXPECT_EQ(parallel.Trace, sequential.Trace) << threads;
    EXPECT_TRUE(parallel.Project == sequential.Project) << threads;
  }
}

TEST(ParallelEvaluation, FailuresLeaveTheSameStateAsSequentialEvaluation) {
  // 0: every cache fails to sample on the workers; the calling thread meets the same error.
  // 3: a goal fails for the third individual; the later ones stay as they were.
  for (int failAt : {0, 3}) {
    const TFailure sequential = FailingStep(1, failAt);
    const TFailure parallel = FailingStep(2, failAt);
    EXPECT_FALSE(sequential.Message.empty()) << failAt;
    EXPECT_EQ(parallel.Message, sequential.Message) << failAt;
    EXPECT_EQ(parallel.Population, sequential.Population) << failAt;
  }
  EXPECT_NE(FailingStep(2, 0).Message.find("Cannot sample"), std::string::npos);
}

namespace {

// Steps that meet edits of the model between them: new unit parameters, then a new motor unit
// that no individual controls.
std::vector<std::string> StepThroughEdits(int threads, std::vector<uint64_t>& prefilled) {
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga);
  ga.EvaluationThreads = threads;
  TRandom::Shared().SetFixedSeed(3);
  ga.InitRun(&system);
  ga.Step();
  prefilled.push_back(ga.Evaluator->Prefilled);
  TMotorUnit* unit = system.Muscle(1)->MotorUnit(0);
  unit->Fmax *= 1.5L;
  unit->SetTc(unit->Tc() * 0.8L);
  ga.TimeFrame->Precision = 2.5L;  // every cache is sampled anew
  ga.TimeFrame->Changed = true;
  ga.Step();
  prefilled.push_back(ga.Evaluator->Prefilled);
  auto* added = new TMotorUnit(nullptr, "Added", 0.5L, 1000, 2, 1, 40, 20, 60, 200, 2);
  system.Muscle(2)->AddMotorUnit(added);
  added->SetImpArray(std::vector<long double>{10, 50, 90, 130});
  ga.TimeFrame->Precision = 2.5L;  // every cache is sampled anew
  ga.TimeFrame->Changed = true;
  ga.Step();
  prefilled.push_back(ga.Evaluator->Prefilled);
  TRandom::Shared().SetFixedSeed(std::nullopt);
  std::vector<std::string> lines = Describe(ga, ga.Population);
  lines.push_back(SaveSystemToBytes(system));
  return lines;
}

}  // namespace

TEST(ParallelEvaluation, EditsOfTheModelBetweenStepsCountAsInASequentialRun) {
  std::vector<uint64_t> sequentialCounts;
  std::vector<uint64_t> parallelCounts;
  const auto sequential = StepThroughEdits(1, sequentialCounts);
  const auto parallel = StepThroughEdits(2, parallelCounts);
  EXPECT_EQ(parallel, sequential);
  ASSERT_EQ(parallelCounts.size(), 3u);
  // New parameters reach the workers' copies; individuals that do not control every motor
  // unit any more are evaluated on the calling thread.
  EXPECT_GT(parallelCounts[1], parallelCounts[0]);
  EXPECT_EQ(parallelCounts[2], parallelCounts[1]);
}

TEST(ParallelEvaluation, SystemTwinMapsEveryMuscleAndUnitAndSeesShapeChanges) {
  TMechanicalSystem system;
  LoadSystemFromFile(system, Examples + "/elbow.svt");
  TSystemTwin twin(system);
  EXPECT_EQ(twin.MuscleCount(), 4u);
  EXPECT_TRUE(twin.Mirrors(system));
  for (int m = 1; m < system.Muscles.Count(); ++m) {
    TMuscle* muscle = system.Muscle(m);
    TMuscle* copy = twin.TwinOf(muscle);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, muscle);
    EXPECT_EQ(copy->Descr, muscle->Descr);
    ASSERT_EQ(copy->MotorUnits.Count(), muscle->MotorUnits.Count());
    for (int u = 0; u < muscle->MotorUnits.Count(); ++u) {
      EXPECT_EQ(twin.TwinOf(muscle->MotorUnit(u)), copy->MotorUnit(u));
      EXPECT_EQ(Bits(copy->MotorUnit(u)->ImpArray()), Bits(muscle->MotorUnit(u)->ImpArray()));
    }
  }
  TMechanicalSystem other;
  EXPECT_FALSE(twin.Mirrors(other));
  auto* unit = new TMotorUnit(nullptr, "Extra", 0.5L, 1000, 2, 1, 40, 20, 60, 200, 2);
  EXPECT_EQ(twin.TwinOf(unit), nullptr);
  system.Muscle(3)->AddMotorUnit(unit);
  EXPECT_FALSE(twin.Mirrors(system));
  delete unit;
  EXPECT_TRUE(twin.Mirrors(system));
}

TEST(ThreadPool, RunsEveryIndexOnceAndCarriesTheFirstFailureBack) {
  TThreadPool pool(3);
  EXPECT_EQ(pool.Size(), 3);
  for (size_t count : {size_t{0}, size_t{1}, size_t{2}, size_t{100}}) {
    std::vector<std::atomic<int>> runs(count);
    std::atomic<bool> badWorker = false;
    pool.Run(count, [&](size_t index, int worker) {
      runs[index]++;
      if (worker < 0 || worker >= 3) badWorker = true;
    });
    for (size_t i = 0; i < count; ++i) EXPECT_EQ(runs[i], 1) << count << " " << i;
    EXPECT_FALSE(badWorker);
  }
  std::atomic<int> done = 0;
  EXPECT_THROW(pool.Run(50,
                        [&](size_t index, int) {
                          ++done;
                          if (index == 7) throw std::runtime_error("seven");
                        }),
               std::runtime_error);
  EXPECT_EQ(done, 50);  // the other calls still ran
  std::atomic<int> after = 0;
  pool.Run(5, [&](size_t, int) { ++after; });  // the pool still works after a failure
  EXPECT_EQ(after, 5);
  EXPECT_EQ(ResolveThreadCount(3), 3);
  EXPECT_GE(ResolveThreadCount(0), 1);
  EXPECT_EQ(ResolveThreadCount(100000), TThreadPool::MaxThreads);
}

TEST(ThreadPool, TheCallerCanTakePartInAStartedRange) {
  TThreadPool pool(1);
  std::vector<std::atomic<int>> runs(200);
  std::atomic<int> byCaller = 0;
  pool.Start(runs.size(), [&](size_t index, int worker) {
    runs[index]++;
    if (worker == 1) ++byCaller;
    if (index == 150) throw std::runtime_error("one fifty");
  });
  int taken = 0;
  while (pool.RunOne(1)) ++taken;
  EXPECT_THROW(pool.Wait(), std::runtime_error);  // wherever index 150 ran
  for (size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i], 1) << i;
  EXPECT_EQ(byCaller, taken);
  EXPECT_FALSE(pool.RunOne(1));     // nothing is left once the range is done
  pool.Run(3, [](size_t, int) {});  // and the pool starts the next range as usual
}
