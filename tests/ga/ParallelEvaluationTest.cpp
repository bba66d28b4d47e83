// Evaluation on several threads gives the results of one thread, bit for bit, and the
// incremental evaluation (per motor unit, shared between copies) gives what a full
// recomputation gives.
#include "base/Exception.h"
#include "base/Random.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticControl.h"
#include "ga/GeneticOperation.h"
#include "ga/GoalKinematic.h"
#include "ga/GoalLoadSharing.h"
#include "ga/Individual.h"
#include "ga/PopulationEvaluation.h"
#include "ga/TaskFile.h"
#include "ga/ThreadPool.h"
#include "model/Bone.h"
#include "model/Cache.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "model/TimeFrame.h"
#include "task/RunExport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
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

// Every point of the result charts, then the shared generator's next draw: goals that draw
// must draw in the same order whatever thread samples the others.
std::vector<std::string> DescribeCharts(TGeneticAlgorithm& ga, const TMechanicalSystem& system) {
  std::vector<std::string> lines;
  for (const TChartData& chart :
       {GoalsChart(ga, *ga.Individual(ga.Population, 0)), ForcesChart(ga, system)})
    for (const TChartSeries& series : chart.Series) {
      std::string line = series.Title;
      for (const auto& point : series.Points) line += " " + Bits(point.X) + ":" + Bits(point.Y);
      lines.push_back(line);
    }
  lines.push_back("next draw " + Bits(TRandom::Shared().Real()));
  return lines;
}

struct TRunRecord {
  std::vector<std::string> Population;
  std::vector<std::string> Charts;
  std::vector<std::string> Trace;
  std::string Project;
  std::set<std::string> Ends, Precisions, Offsets;
  uint64_t SamplesMade = 0;
  uint64_t Shared = 0;
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
  // A second goal that draws when noisy: their draws interleave only in goal order.
  auto* reaction = new TGFMinimalJointReaction(&ga, 0.05L, "Reaction");
  reaction->FromBoneInd = 1;
  reaction->ToBoneInd = 2;
  reaction->Expression = noisy ? "0.3+0.01*rn(2,1)" : "0.3+0.1*cos(t/80)";
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
  record.Charts = DescribeCharts(ga, system);
  TRandom::Shared().SetFixedSeed(std::nullopt);
  record.Population = Describe(ga, ga.Population);
  ApplySolution(*ga.Individual(ga.Population, 0), system);
  record.Project = SaveSystemToBytes(system);
  record.SamplesMade = ga.Evaluator->SamplesMade;
  record.Shared = ga.Evaluator->SharedResults;
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
  // noisy: a goal draws from the shared generator on the calling thread.
  for (bool noisy : {true, false}) {
    const TRunRecord single = RunElbow(1, noisy);
    // The frame really moved, oscillated and changed its precision during the run.
    EXPECT_GT(single.Ends.size(), 1u);
    EXPECT_GT(single.Precisions.size(), 1u);
    EXPECT_GT(single.Offsets.size(), 1u);
    ASSERT_EQ(single.Population.size(), 6u * (3 + 86 + 2 * 4));
    // Goal and result of every goal, a force curve per muscle, the draw.
    ASSERT_EQ(single.Charts.size(), 2u * 7 + 4 + 1);
    // The template's copies share its samples and results instead of being evaluated each.
    EXPECT_GE(single.Shared, 6u);
    for (int threads : {2, 4}) {
      const TRunRecord parallel = RunElbow(threads, noisy);
      EXPECT_EQ(parallel.Error, "");
      EXPECT_EQ(parallel.SamplesMade, single.SamplesMade) << threads;
      EXPECT_EQ(parallel.Shared, single.Shared) << threads;
      EXPECT_EQ(parallel.Population, single.Population) << threads << noisy;
      EXPECT_EQ(parallel.Trace, single.Trace) << threads << noisy;
      EXPECT_EQ(parallel.Charts, single.Charts) << threads << noisy;
      EXPECT_TRUE(parallel.Project == single.Project) << threads << noisy;
    }
  }
}

namespace {

// bench-arm's own task, shortened: its population after a few steps.
std::vector<std::string> RunBenchArm(int threads) {
  RegisterTaskClasses();
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadSystemFromFile(system, Examples + "/bench-arm.svt");
  LoadTaskFromFile(ga, Examples + "/bench-arm.hga");
  ga.PopulationSize = 6;
  ga.NumberOfSteps = 6;
  ga.MoveOnEach = 2;  // the frame moves within the run
  ga.EvaluationThreads = threads;
  TRandom::Shared().SetFixedSeed(4);
  ga.InitRun(&system);
  ga.RunAll();
  TRandom::Shared().SetFixedSeed(std::nullopt);
  return Describe(ga, ga.Population);
}

}  // namespace

TEST(ParallelEvaluation, BenchArmRunsAreBitIdenticalWithAnyNumberOfThreads) {
  const std::vector<std::string> single = RunBenchArm(1);
  ASSERT_GT(single.size(), 6u * 480);
  EXPECT_EQ(RunBenchArm(2), single);
  EXPECT_EQ(RunBenchArm(4), single);
}

TEST(ParallelEvaluation, FailuresReachTheCallerAsWithOneThread) {
  // 0: the grid cannot be sampled; every individual meets the same error.
  // 3: a goal estimated on the calling thread fails for the third individual.
  // -1: a goal estimated on the workers overflows: the caller gets that error.
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

// Estimated on any thread; fails for the individuals whose third unit of the second muscle
// holds a multiple of three impulses, naming the count.
class TPickyGoal : public TGoalFunction {
 public:
  explicit TPickyGoal(TComponent* owner) : TGoalFunction(owner, 1, "picky") {}
  TGoalThreading Threading() const override { return TGoalThreading::AnyThread; }
  long double Estimation(TChromosome* root) override {
    const size_t count = root->Child(0)->Child(1)->Child(2)->Genes.size();
    if (count % 3 == 0) throw EMathError("picky about " + std::to_string(count));
    return static_cast<long double>(count);
  }
};

std::string PickyFailure(int threads) {
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga, false);
  new TPickyGoal(&ga);
  ga.EvaluationThreads = threads;
  TRandom::Shared().SetFixedSeed(8);
  ga.InitRun(&system);
  std::string message;
  try {
    for (int step = 0; step < 12; ++step) ga.Step();
  } catch (const EMathError& e) {
    message = std::string(e.what()) + " at step " + std::to_string(ga.StepNo);
  }
  TRandom::Shared().SetFixedSeed(std::nullopt);
  return message;
}

}  // namespace

TEST(ParallelEvaluation, GoalsInSlicesOfTheirTermsGiveTheirWholeEstimation) {
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga, false);
  ga.EvaluationThreads = 1;
  TRandom::Shared().SetFixedSeed(4);
  ga.InitRun(&system);
  for (int step = 0; step < 3; ++step) ga.Step();
  TRandom::Shared().SetFixedSeed(std::nullopt);
  int split = 0;
  for (int i = 0; i < ga.Population.Count(); ++i) {
    TChromosome* root = ga.Individual(ga.Population, i)->Root;
    for (int j = 0; j < ga.Goals.Count(); ++j) {
      TGoalFunction& goal = *ga.Goal(j);
      const size_t count = goal.TermCount(root);
      if (count == 0) continue;
      ++split;
      const std::string whole = Bits(goal.Estimation(root));
      for (size_t slices : {size_t{1}, size_t{2}, size_t{3}, count}) {
        std::vector<long double> terms(count, -1);
        for (size_t s = 0; s < slices; ++s) {
          const size_t first = count * s / slices;
          goal.Terms(root, first,
                     std::span(terms).subspan(first, count * (s + 1) / slices - first));
        }
        long double sum = 0;
        for (long double term : terms) sum += term;
        EXPECT_EQ(Bits(goal.FromTermSum(root, sum)), whole) << goal.Descr << " " << slices;
      }
    }
  }
  EXPECT_EQ(split, 3 * ga.Population.Count());  // the task's joint angle, the swinging one, fatigue
  TGFJointAngleCheckPoints checkPoints(nullptr, 1, "");
  checkPoints.Moments = {10, 20};
  EXPECT_EQ(checkPoints.TermCount(ga.Individual(ga.Population, 0)->Root), 0u);
}

TEST(ParallelEvaluation, AWorkerFailureReachesTheCallerAsWithOneThread) {
  // Several individuals of a round fail on the workers; the caller gets the first in list
  // order, of the class the goal threw, as one thread gives it.
  const std::string single = PickyFailure(1);
  ASSERT_NE(single.find("picky about"), std::string::npos) << single;
  EXPECT_EQ(PickyFailure(2), single);
  EXPECT_EQ(PickyFailure(4), single);
}

namespace {

// Steps that meet edits of the model between them: new unit and bone parameters, then a new
// motor unit that no individual controls. `counts` gets the unit samples made so far after
// every step.
std::vector<std::string> StepThroughEdits(int threads, std::vector<uint64_t>& counts) {
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga, false);
  ga.EvaluationThreads = threads;
  TRandom::Shared().SetFixedSeed(3);
  ga.InitRun(&system);
  const auto count = [&] { counts.push_back(ga.Evaluator->SamplesMade); };
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
  ga.TimeFrame->Changed = true;
  ga.Step();
  count();
  TRandom::Shared().SetFixedSeed(std::nullopt);
  std::vector<std::string> lines = Describe(ga, ga.Population);
  lines.push_back(SaveSystemToBytes(system));
  return lines;
}

}  // namespace

TEST(ParallelEvaluation, EditsOfTheModelBetweenStepsCountWithAnyNumberOfThreads) {
  std::vector<uint64_t> singleCounts;
  std::vector<uint64_t> parallelCounts;
  const auto single = StepThroughEdits(1, singleCounts);
  const auto parallel = StepThroughEdits(2, parallelCounts);
  EXPECT_EQ(parallel, single);
  EXPECT_EQ(parallelCounts, singleCounts);
  ASSERT_EQ(parallelCounts.size(), 3u);
  // The new grid makes the samples of every unit (86) anew.
  EXPECT_GT(parallelCounts[1] - parallelCounts[0], 86u);
}

namespace {

// The muscle samples of an individual computed from nothing: its trains written into the
// model's units and every unit's force summed at the cache's grid times.
std::string FullRecomputation(TIndividual& individual, const TTimeFrame& frame) {
  std::string text;
  for (TChromosome* chromosome : individual.Level(1)) {
    auto& control = static_cast<TMuscleGeneticControl&>(*chromosome);
    for (int u = 0; u < control.ChildCount(); ++u)
      static_cast<TMotorUnitGeneticControl*>(control.Child(u))
          ->MotorUnit()
          ->SetImpArray(control.Child(u)->Genes);
    const TCache& cache = control.Cache();
    std::vector<long double> times;
    for (size_t i = 0; i < cache.Samples.size(); ++i)
      times.push_back(static_cast<long double>(i) * cache.TimeStep + cache.StartTime +
                      (frame.OscRange != 0 ? frame.OscOffset : 0));
    std::vector<long double> samples(times.size(), 0.0L);
    control.Muscle()->SampleForce(times, samples);
    text += Bits(samples) + "\n";
  }
  return text;
}

std::string CachedSamples(TIndividual& individual) {
  std::string text;
  for (TChromosome* chromosome : individual.Level(1))
    text += Bits(static_cast<TMuscleGeneticControl*>(chromosome)->Cache().Samples) + "\n";
  return text;
}

// A copy of `parent` that keeps nothing of its evaluation: every sample is made anew.
TIndividual* FreshCopy(TGeneticAlgorithm& ga, TIndividual& parent) {
  auto* copy = new TIndividual(nullptr, ga.Goals.Count(), 3);
  parent.AssignTo(copy);
  for (TChromosome* unit : copy->Level(0))
    static_cast<TMotorUnitGeneticControl*>(unit)->Samples.reset();
  for (TChromosome* muscle : copy->Level(1))
    static_cast<TMuscleGeneticControl*>(muscle)->SummedFrom.clear();
  return copy;
}

void Evaluate(TGeneticAlgorithm& ga, TIndividual& individual) {
  TStringList list;
  list.Add("", &individual);
  ga.EvaluateIndividuals(list);
}

}  // namespace

TEST(ParallelEvaluation, IncrementalResultsEqualAFullRecomputation) {
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga, false);
  ga.EvaluationThreads = 2;
  TRandom::Shared().SetFixedSeed(21);
  ga.InitRun(&system);
  ga.Step();
  struct TOperator {
    int Kind;  // 0 mutation, 1 crossover, 2 common mutation
    int Level;
    int Code;
  };
  const std::vector<TOperator> operators = {{0, 0, OpCode::ShiftImpulseLeft},
                                            {0, 0, OpCode::ShiftImpulseRight},
                                            {0, 0, OpCode::AddImpulse},
                                            {0, 0, OpCode::RemoveImpulse},
                                            {0, 1, OpCode::ChangeMUActivation},
                                            {0, 1, OpCode::ShiftMUActivationLeft},
                                            {0, 1, OpCode::ShiftMUActivationRight},
                                            {0, 2, OpCode::ChangeMuscleActivity},
                                            {1, 0, OpCode::MotorUnitOnePoint},
                                            {1, 0, OpCode::MotorUnitMultiPoint},
                                            {1, 1, OpCode::MuscleOnePoint},
                                            {1, 1, OpCode::MuscleMultiPoint},
                                            {1, 2, OpCode::MotorCenterOnePoint},
                                            {1, 2, OpCode::MotorCenterMultiPoint},
                                            {2, 0, OpCode::MotorUnitInverse},
                                            {2, 0, OpCode::MotorUnitSynchronic},
                                            {2, 1, OpCode::MuscleInverse},
                                            {2, 1, OpCode::MuscleSynchronic}};
  const auto check = [&](TIndividual& evaluated, const std::string& what) {
    std::unique_ptr<TIndividual> fresh(FreshCopy(ga, evaluated));
    Evaluate(ga, *fresh);
    EXPECT_EQ(Bits(evaluated.Values), Bits(fresh->Values)) << what;
    EXPECT_EQ(CachedSamples(evaluated), CachedSamples(*fresh)) << what;
    EXPECT_EQ(CachedSamples(evaluated), FullRecomputation(evaluated, *ga.TimeFrame)) << what;
  };
  TIndividual* p1 = ga.Individual(ga.Population, 0);
  TIndividual* p2 = ga.Individual(ga.Population, 1);
  for (const TOperator& op : operators) {
    const std::string what = std::to_string(op.Kind) + " " + std::to_string(op.Code);
    std::unique_ptr<TIndividual> c1(new TIndividual(nullptr, ga.Goals.Count(), 3));
    std::unique_ptr<TIndividual> c2(new TIndividual(nullptr, ga.Goals.Count(), 3));
    p1->AssignTo(c1.get());
    p2->AssignTo(c2.get());
    const size_t k = op.Level == 0 ? 7 : op.Level == 1 ? 1 : 0;
    TChromosome* a = c1->Level(op.Level).at(k);
    TChromosome* b = c2->Level(op.Level).at(k);
    if (op.Kind == 0) a->Mutate(op.Code, 3, 0.3L);
    if (op.Kind == 1)
      a->Crossover(op.Code, 2, p1->Level(op.Level).at(k), p2->Level(op.Level).at(k), a, b);
    if (op.Kind == 2) a->CommonMutate(op.Code, 3, 0.3L, b);
    Evaluate(ga, *c1);
    Evaluate(ga, *c2);
    check(*c1, what);
    check(*c2, what);
  }
  // A moved frame and a new precision: the individuals are evaluated on the new grid.
  ga.TimeFrame->MoveFrame(40);
  ga.TimeFrame->Precision = 2.5L;
  ga.TimeFrame->Changed = true;
  ga.EvaluateIndividuals(ga.Population);
  for (int i = 0; i < ga.Population.Count(); ++i)
    check(*ga.Individual(ga.Population, i), "frame " + std::to_string(i));
  TRandom::Shared().SetFixedSeed(std::nullopt);
}

TEST(ParallelEvaluation, OffspringEvaluatedWhileMadeEqualAFreshEvaluation) {
  // Offspring are evaluated on the workers while the next are made, and a child equal to an
  // earlier one takes its results: every member of the population must still hold what an
  // evaluation of it alone gives.
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga, false);
  ga.EvaluationThreads = 4;
  ga.MoveOnEach = 1000;  // a still frame: only the offspring are evaluated after the first step
  ga.OscilateOnEach = 1000;
  ga.StopChangePrecAfter = 0;
  ga.MutationsPerStep = 6;
  ga.CrossoversPerStep = 3;
  TRandom::Shared().SetFixedSeed(13);
  ga.InitRun(&system);
  ga.Step();
  const uint64_t sharedBefore = ga.Evaluator->SharedResults;
  for (int step = 0; step < 8; ++step) ga.Step();
  // Children whose operators changed nothing, or twice the same parent, were not evaluated
  // twice.
  EXPECT_GT(ga.Evaluator->SharedResults, sharedBefore);
  for (int i = 0; i < ga.Population.Count(); ++i) {
    TIndividual& member = *ga.Individual(ga.Population, i);
    std::unique_ptr<TIndividual> fresh(FreshCopy(ga, member));
    Evaluate(ga, *fresh);
    EXPECT_EQ(Bits(member.Values), Bits(fresh->Values)) << i;
    EXPECT_EQ(CachedSamples(member), FullRecomputation(member, *ga.TimeFrame)) << i;
  }
  TRandom::Shared().SetFixedSeed(std::nullopt);
}

namespace {

// Notes on which thread, and in which order among its kind, its result curve was sampled.
class TThreadNotingGoal : public TGoalFunction {
 public:
  TThreadNotingGoal(TComponent* owner, TGoalThreading threading, std::vector<int>& order, int id)
      : TGoalFunction(owner, 1, "noting"), threading_(threading), order_(order), id_(id) {}
  TGoalThreading Threading() const override { return threading_; }
  void Results(TChromosome*, std::span<const long double>, std::span<long double> values) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::fill(values.begin(), values.end(), id_);
    if (threading_ == TGoalThreading::AnyThread) return;
    std::lock_guard lock(mutex_);
    OnCallingThread = std::this_thread::get_id() == CallingThread;
    order_.push_back(id_);
  }
  std::thread::id CallingThread = std::this_thread::get_id();
  bool OnCallingThread = false;

 private:
  static inline std::mutex mutex_;
  TGoalThreading threading_;
  std::vector<int>& order_;
  int id_;
};

}  // namespace

TEST(ParallelEvaluation, ResultChartsSampleCallingThreadGoalsThereInGoalOrder) {
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga, false);
  std::vector<int> order;
  std::vector<TThreadNotingGoal*> noting;
  for (int id = 0; id < 12; ++id)
    noting.push_back(new TThreadNotingGoal(
        &ga, id % 3 == 0 ? TGoalThreading::CallingThread : TGoalThreading::AnyThread, order, id));
  ga.EvaluationThreads = 4;
  ga.NumberOfSteps = 1;
  TRandom::Shared().SetFixedSeed(3);
  ga.InitRun(&system);
  ga.RunAll();
  TRandom::Shared().SetFixedSeed(std::nullopt);
  order.clear();
  const TChartData chart = GoalsChart(ga, *ga.Individual(ga.Population, 0));
  EXPECT_EQ(order, (std::vector<int>{0, 3, 6, 9}));
  for (TThreadNotingGoal* goal : noting) {
    if (goal->Threading() == TGoalThreading::CallingThread) {
      EXPECT_TRUE(goal->OnCallingThread);
    }
  }
  // The series stay in goal order, whoever sampled them.
  const size_t first = chart.Series.size() - 2 * noting.size();
  for (size_t id = 0; id < noting.size(); ++id)
    EXPECT_EQ(chart.Series[first + 2 * id + 1].Points.back().Y, static_cast<long double>(id));
}

TEST(ParallelEvaluation, RunTasksRunsEveryTaskAndThrowsTheLowestFailure) {
  TPopulationEvaluator evaluator;
  evaluator.SetThreads(4);
  std::vector<std::atomic<int>> runs(100);
  try {
    evaluator.RunTasks(runs.size(), [&](size_t i) {
      runs[i]++;
      if (i == 80) throw std::runtime_error("eighty");
      if (i == 37) throw std::runtime_error("thirty-seven");
    });
    ADD_FAILURE() << "no failure came back";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "thirty-seven");
  }
  for (size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i], 1) << i;

  // Asked while a round runs (from the stop check, as a window's events are), the tasks run
  // on the calling thread and the round goes on undisturbed.
  TMechanicalSystem system;
  TGeneticAlgorithm ga;
  LoadElbowTask(system, ga, false);
  ga.EvaluationThreads = 4;
  ga.NumberOfSteps = 3;
  int asked = 0;
  std::vector<int> done(5, 0);
  ga.StopRequested = [&] {
    ++asked;
    ga.Evaluator->RunTasks(done.size(), [&](size_t i) { ++done[i]; });
    return false;
  };
  TRandom::Shared().SetFixedSeed(11);
  ga.InitRun(&system);
  ga.RunAll();
  TRandom::Shared().SetFixedSeed(std::nullopt);
  EXPECT_GT(asked, 3);
  EXPECT_EQ(done, std::vector<int>(5, asked));
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

TEST(ThreadPool, ManySmallRangesInARowRunEveryIndexOnce) {
  // Ranges follow each other faster than sleeping workers wake up: each must still run every
  // index once, whoever takes it.
  TThreadPool pool(3);
  std::vector<std::atomic<int>> runs(7);
  int expected = 0;
  for (int round = 0; round < 3000; ++round) {
    const size_t count = static_cast<size_t>(round % 7) + 1;
    expected += static_cast<int>(count);
    pool.Start(count, [&](size_t index, int) { runs[index]++; });
    while (pool.RunOne(3)) {
    }
    pool.Wait();
  }
  int total = 0;
  for (auto& run : runs) total += run;
  EXPECT_EQ(total, expected);
  for (size_t i = 0; i < runs.size(); ++i) EXPECT_GT(runs[i], 0) << i;
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

TEST(ThreadPool, ARangeGrowsWhileItRunsAndSleepingWorkersTakeUpWhatIsAdded) {
  TThreadPool pool(2);
  // Each of the first 100 calls adds two indices to the range it belongs to.
  std::vector<std::atomic<int>> runs(300);
  pool.Start(100, [&](size_t index, int) {
    runs[index]++;
    if (index < 100) pool.Extend(2);
  });
  for (;;) {
    if (pool.RunOne(2)) continue;
    if (pool.Done()) break;
    std::this_thread::yield();
  }
  pool.Wait();
  for (size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i], 1) << i;

  // Indices added after the workers went to sleep are taken up by them alone.
  std::atomic<int> byWorkers = 0;
  pool.Start(1, [&](size_t, int worker) {
    if (worker < pool.Size()) ++byWorkers;
  });
  while (!pool.Done()) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  pool.Extend(50);
  while (!pool.Done()) std::this_thread::yield();
  pool.Wait();
  EXPECT_EQ(byWorkers, 51);
}
