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
#include "ga/TwinScoring.h"
#include "model/Bone.h"
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
  uint64_t Scored = 0;
  std::string Error;
};

// The elbow task with a frame that moves, oscillates and changes its precision, and goals of
// several kinds: when `noisy`, one of them is an expression drawing from the shared generator
// (whose draws only the calling thread can make in order); otherwise every goal can be
// estimated on the workers.
void LoadElbowTask(TMechanicalSystem& system, TGeneticAlgorithm& ga, bool noisy = true) {
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
  auto* angle = new TGFJointAngle(&ga, 0.5L, noisy ? "Noisy angle" : "Swinging angle");
  angle->FromBoneInd = 1;
  angle->ToBoneInd = 2;
  angle->Expression = noisy ? "0.4+0.05*rn(4,1)" : "0.4+a*sin(t/b)";
  angle->A = 0.05L;
  angle->B = 60;
  if (!noisy) {
    auto* reaction = new TGFMinimalJointReaction(&ga, 0.05L, "Reaction");
    reaction->FromBoneInd = 1;
    reaction->ToBoneInd = 2;
    reaction->Expression = "0.3+0.1*cos(t/80)";
  }
  ga.RenameLists();
}

TRunRecord RunElbow(int threads, bool noisy) {
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga, noisy);
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
  record.Scored = ga.Evaluator->Scored;
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

// One step that fails: through a goal at its `failAt`-th estimation, (failAt 0) because the
// time grid cannot be sampled, or (failAt -1) because an expression goal that the workers
// estimate overflows.
TFailure FailingStep(int threads, int failAt) {
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga, failAt >= 0);
  auto* goal = failAt > 0 ? new TFailingGoal(&ga, failAt) : nullptr;
  ga.EvaluationThreads = threads;
  TRandom::Shared().SetFixedSeed(5);
  ga.InitRun(&system);
  ga.Step();
  // A new grid: every individual of the population is evaluated again and every cache
  // sampled anew.
  ga.TimeFrame->Precision = failAt != 0 ? 2.5L : -1;
  ga.TimeFrame->Changed = true;
  if (goal != nullptr) goal->Armed = true;
  if (failAt < 0) {
    auto* angle = static_cast<TGFJointAngle*>(ga.Goal(ga.Goals.Count() - 2));
    angle->Expression = "exp(a*t)";
    angle->A = 100;
    angle->UpdateExpression();
  }
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
  for (bool noisy : {true, false}) {
    const TRunRecord sequential = RunElbow(1, noisy);
    EXPECT_EQ(sequential.Prefilled, 0u);
    EXPECT_EQ(sequential.Scored, 0u);
    // The frame really moved, oscillated and changed its precision during the run.
    EXPECT_GT(sequential.Ends.size(), 1u);
    EXPECT_GT(sequential.Precisions.size(), 1u);
    EXPECT_GT(sequential.Offsets.size(), 1u);
    ASSERT_EQ(sequential.Population.size(), 6u * (3 + 86 + 2 * 4));
    for (int threads : {2, 4}) {
      const TRunRecord parallel = RunElbow(threads, noisy);
      EXPECT_EQ(parallel.Error, "");
      EXPECT_GT(parallel.Prefilled, 100u) << threads;  // the workers did the sampling
      // Goals drawing random numbers stay on the calling thread; the others are estimated
      // on the workers.
      if (noisy)
        EXPECT_EQ(parallel.Scored, 0u) << threads;
      else
        EXPECT_GT(parallel.Scored, 100u) << threads;
      EXPECT_EQ(parallel.Population, sequential.Population) << threads << noisy;
      EXPECT_EQ(parallel.Trace, sequential.Trace) << threads << noisy;
      EXPECT_TRUE(parallel.Project == sequential.Project) << threads << noisy;
    }
  }
}

TEST(ParallelEvaluation, FailuresLeaveTheSameStateAsSequentialEvaluation) {
  // 0: every cache fails to sample on the workers; the calling thread meets the same error.
  // 3: a goal fails for the third individual; the later ones stay as they were (the goal's
  //    class keeps its base's stored name, so it is never copied to the workers).
  // -1: a goal estimated on the workers overflows; the calling thread meets it again.
  for (int failAt : {0, 3, -1}) {
    const TFailure sequential = FailingStep(1, failAt);
    const TFailure parallel = FailingStep(2, failAt);
    EXPECT_FALSE(sequential.Message.empty()) << failAt;
    EXPECT_EQ(parallel.Message, sequential.Message) << failAt;
    EXPECT_EQ(parallel.Population, sequential.Population) << failAt;
  }
  EXPECT_NE(FailingStep(2, 0).Message.find("Cannot sample"), std::string::npos);
}

namespace {

// Steps that meet edits of the model between them: new unit and bone parameters, then a new
// motor unit that no individual controls. `counts` gets the individuals sampled and scored
// on the workers so far after every step.
std::vector<std::string> StepThroughEdits(int threads, std::vector<uint64_t>& counts) {
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga, false);
  ga.EvaluationThreads = threads;
  TRandom::Shared().SetFixedSeed(3);
  ga.InitRun(&system);
  const auto count = [&] {
    counts.push_back(ga.Evaluator->Prefilled);
    counts.push_back(ga.Evaluator->Scored);
  };
  ga.Step();
  count();
  TMotorUnit* unit = system.Muscle(1)->MotorUnit(0);
  unit->Fmax *= 1.5L;
  unit->SetTc(unit->Tc() * 0.8L);
  system.Bone(2)->Mass *= 1.25L;  // the joint-angle goals read it
  system.Bone(2)->InertM *= 0.75L;
  ga.TimeFrame->Precision = 2.5L;  // every cache is sampled anew
  ga.TimeFrame->Changed = true;
  ga.Step();
  count();
  auto* added = new TMotorUnit(nullptr, "Added", 0.5L, 1000, 2, 1, 40, 20, 60, 200, 2);
  system.Muscle(2)->AddMotorUnit(added);
  added->SetImpArray(std::vector<long double>{10, 50, 90, 130});
  ga.TimeFrame->Precision = 2.5L;  // every cache is sampled anew
  ga.TimeFrame->Changed = true;
  ga.Step();
  count();
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
  ASSERT_EQ(parallelCounts.size(), 6u);
  // New parameters reach the workers' copies, which then still sample and score;
  // individuals that do not control every motor unit any more are evaluated on the calling
  // thread.
  EXPECT_GT(parallelCounts[0], 0u);
  EXPECT_GT(parallelCounts[1], 0u);
  EXPECT_GT(parallelCounts[2], parallelCounts[0]);
  EXPECT_GT(parallelCounts[3], parallelCounts[1]);
  EXPECT_EQ(parallelCounts[4], parallelCounts[2]);
  EXPECT_EQ(parallelCounts[5], parallelCounts[3]);
}

TEST(ParallelEvaluation, GoalsAreCopiedOnlyWhereTheCopiesEstimateAsTheGoals) {
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga, false);
  std::vector<TGoalFunction*> goals;
  for (int j = 0; j < ga.Goals.Count(); ++j) goals.push_back(ga.Goal(j));
  auto* angle = static_cast<TGFJointAngle*>(ga.Goal(ga.Goals.Count() - 2));
  EXPECT_FALSE(CopyableGoals(goals));  // expressions not compiled yet
  for (TGoalFunction* goal : goals)
    if (auto* expression = dynamic_cast<TGoalFunctionExpression*>(goal))
      expression->UpdateExpression();
  const std::optional<std::string> stored = CopyableGoals(goals);
  ASSERT_TRUE(stored);
  angle->A = 0.07L;  // estimating keeps the compiled value 0.05 until the text changes
  EXPECT_FALSE(CopyableGoals(goals));
  angle->UpdateExpression();
  EXPECT_TRUE(CopyableGoals(goals));
  angle->Expression = "0.4+rm(0,1)";  // draws random numbers
  angle->UpdateExpression();
  EXPECT_FALSE(CopyableGoals(goals));
  angle->Expression = "0.4+a*sin(t/b)";
  angle->A = 0.05L;
  angle->UpdateExpression();
  EXPECT_EQ(CopyableGoals(goals), stored);

  // Copies of the system show the goals what the system shows them, until it is edited.
  TSystemTwin twin(system);
  EXPECT_TRUE(twin.ShowsGoals(GoalView(system)));
  system.Muscle(1)->MotorUnit(0)->Fmax *= 2;  // motor units are copied on their own
  EXPECT_TRUE(twin.ShowsGoals(GoalView(system)));
  system.Bone(2)->Mass *= 2;
  EXPECT_FALSE(twin.ShowsGoals(GoalView(system)));
  system.Bone(2)->Mass /= 2;
  EXPECT_TRUE(twin.ShowsGoals(GoalView(system)));
  TBone* from = system.Muscle(1)->FromBone;
  system.Muscle(1)->FromBone = system.Muscle(1)->ToBone;  // the stored index is unchanged
  EXPECT_FALSE(twin.ShowsGoals(GoalView(system)));
  system.Muscle(1)->FromBone = from;

  // The copies estimate what the goals estimate, and refuse goals of other classes.
  TTwinScorer scorer(twin, *stored, goals);
  EXPECT_TRUE(scorer.Copies(*stored, goals));
  std::vector<TGoalFunction*> others = goals;
  TFailingGoal failing(nullptr, 1);
  others.push_back(&failing);
  const std::optional<std::string> withOther = CopyableGoals(others);
  ASSERT_TRUE(withOther);  // stored under its base's name
  EXPECT_FALSE(scorer.Copies(*withOther, others));
  EXPECT_THROW(TTwinScorer(twin, *withOther, others), EReadError);
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
