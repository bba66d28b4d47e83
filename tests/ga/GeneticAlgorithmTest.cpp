#include "GoalTestModel.h"
#include "base/Exception.h"
#include "base/Random.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticControl.h"
#include "ga/GeneticOperation.h"
#include "ga/GoalKinematic.h"
#include "ga/GoalLoadSharing.h"
#include "ga/Individual.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace sarvanta;
using sarvanta::test::TTestModel;

namespace {

// The test model with two muscles (two units and one unit) and a 0 .. 100 ms task.
struct TAlgorithmModel : TTestModel {
  TAlgorithmModel() {
    Frame.SetFrame(false, false, 0, 100, 2, 2, 10, 50);
    TMuscle* first = AddMuscle(Upper, Lower, 10);
    auto* second = new TMotorUnit(first, "U2", 0, 100, 1, 5, 10, 2, 20, 0, 0);
    first->AddMotorUnit(second);
    const long double train[] = {5, 30, 60};
    second->SetImpArray(train);
    AddMuscle(Lower, Upper, 20);
  }
};

// An algorithm set up over the frame of `model` with one goal of each weight given.
void Prepare(TGeneticAlgorithm& ga, const TAlgorithmModel& model, int32_t population) {
  ga.TimeFrame->SetFrame(false, false, model.Frame.FromMoment, model.Frame.ToMoment,
                         model.Frame.Precision, model.Frame.StopPrec, model.Frame.CtrlExt(),
                         model.Frame.FrameSize);
  ga.PopulationSize = population;
  ga.NumberOfSteps = 5;
  ga.MutationsPerStep = ga.CrossoversPerStep = ga.CommonMutPerStep = 1;
}

TIndividual* AddIndividual(TGeneticAlgorithm& ga, TStringList& list, long double value) {
  ga.Individuals = &list;
  auto* individual = new TIndividual(&ga, 1, 3);
  individual->Values = {value};
  ga.Individuals = &ga.Population;
  return individual;
}

std::vector<long double> Fitnesses(const TGeneticAlgorithm& ga) {
  std::vector<long double> values;
  for (int i = 0; i < ga.Population.Count(); ++i)
    values.push_back(ga.Individual(ga.Population, i)->Fitness);
  return values;
}

}  // namespace

TEST(GeneticAlgorithm, ConstructionDefaultsAndSelectionTable) {
  TGeneticAlgorithm ga;
  EXPECT_EQ(ga.Individuals, &ga.Population);
  EXPECT_EQ(ga.WeightSum, 1);
  EXPECT_FALSE(ga.Running);
  ASSERT_NE(ga.TimeFrame, nullptr);
  EXPECT_EQ(ga.TimeFrame->Owner(), &ga);
  EXPECT_EQ(ga.SelFuncForMutation, 1);
  EXPECT_EQ(ga.SelFuncForReinsertion, 2);
  EXPECT_EQ(ga.FitnessFunction, 0);
  EXPECT_EQ(ga.InitActivation, 1);

  for (long double v : {3.0L, 1.0L, 2.0L}) AddIndividual(ga, ga.Population, v);
  // Index 0 walks the list from its start; any unknown reinsertion index is the roulette
  // wheel, which returns entry 0 while FitnessSum is 0.
  ga.SetFunctions(0, 9, 9, 1, 2, 1, 0.5L);
  EXPECT_EQ(ga.MutationSelector(ga.Population), ga.Individual(ga.Population, 0));
  EXPECT_EQ(ga.MutationSelector(ga.Population), ga.Individual(ga.Population, 1));
  EXPECT_EQ(ga.MutationSelector(ga.Population), ga.Individual(ga.Population, 2));
  EXPECT_EQ(ga.MutationSelector(ga.Population), ga.Individual(ga.Population, 0));
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(ga.ReinsertionSelector(ga.Population), ga.Individual(ga.Population, 0));
  EXPECT_EQ(ga.SelInitializationFunc, 2);
  EXPECT_EQ(ga.StopCriterion, 1);
  EXPECT_EQ(ga.InitActivation, 0.5L);
  // Fitness 1 is the ranking; without goals every individual ranks 0 instead of dividing by
  // zero.
  ga.FitnessFunc(ga.Population);
  EXPECT_EQ(Fitnesses(ga), (std::vector<long double>{0, 0, 0}));
}

TEST(GeneticAlgorithm, FitnessFunctions) {
  TAlgorithmModel model;  // outlives the algorithm, whose individuals control it
  TGeneticAlgorithm ga;
  auto* goal = new TGFMinimalForce(&ga, 2, "");
  new TGFMinimalFatigue(&ga, 0, "");  // weight 0: counted by the ranking only
  TIndividual* a = AddIndividual(ga, ga.Population, 0);
  TIndividual* b = AddIndividual(ga, ga.Population, 0);
  a->Values = {1, -5};
  b->Values = {-3, 2};
  ga.WeightSum = 4;
  ga.WeightedSumFitness(ga.Population);
  EXPECT_EQ(a->Fitness, 2.0L / 4);
  EXPECT_EQ(b->Fitness, -6.0L / 4);
  ga.RankingFitness(ga.Population);  // |1| < |-3|, |2| < |-5|
  EXPECT_EQ(a->Fitness, 1.0L / 4);
  EXPECT_EQ(b->Fitness, 1.0L / 4);
  b->Values = {0.5L, 1};  // better on both goals
  ga.RankingFitness(ga.Population);
  EXPECT_EQ(b->Fitness, 0);
  EXPECT_EQ(a->Fitness, 2.0L / 4);

  // Only goal 0 with two individuals: the worse gets 1/2.
  delete ga.Goal(1);
  ASSERT_EQ(ga.Goals.Count(), 1);
  ga.RankingFitness(ga.Population);
  EXPECT_EQ(a->Fitness, 0.5L);

  // All weights 0: WeightSum 1 and every weighted-sum fitness 0.
  goal->Weight = 0;
  Prepare(ga, model, 2);
  ga.InitRun(&model.System);
  EXPECT_EQ(ga.WeightSum, 1);
  ga.EvaluateIndividuals(ga.Population);
  ga.WeightedSumFitness(ga.Population);
  for (long double f : Fitnesses(ga)) EXPECT_EQ(f, 0);
}

TEST(GeneticAlgorithm, ReinsertionKeepsTheBestInOrder) {
  TGeneticAlgorithm ga;
  new TGFMinimalForce(&ga, 1, "");
  ga.SetFunctions(0, 0, 0, 0, 0, 0, 1);
  ga.PopulationSize = 3;
  for (long double v : {5.0L, 1.0L, 7.0L}) AddIndividual(ga, ga.Population, v);
  for (long double v : {4.0L, 0.5L, 9.0L, 3.0L}) AddIndividual(ga, ga.Offspring, v);
  ga.BestFitness = 2;
  ga.Reinsert();
  EXPECT_EQ(Fitnesses(ga), (std::vector<long double>{0.5L, 1, 3}));
  EXPECT_EQ(ga.Offspring.Count(), 0);
  EXPECT_EQ(ga.Population.Strings(0), "Solution 0 (0.5)");
  EXPECT_EQ(ga.Population.Strings(2), "Solution 2 (3)");
  EXPECT_EQ(ga.BestFitness, 0.5L);
  EXPECT_EQ(ga.Improvement, 1.5L);
  EXPECT_EQ(ga.FitnessSum, 5 + 1 + 7 + 4 + 0.5L + 9 + 3);
  EXPECT_EQ(ga.ComponentCount(), 1 + 1 + 3);  // time frame, goal, survivors

  // Random and roulette reinsertion still keep exactly PopulationSize, in sorted order.
  for (int selector : {1, 2}) {
    ga.SetFunctions(0, 0, selector, 0, 0, 0, 1);
    TRandom::Shared().SetFixedSeed(7);
    for (long double v : {2.0L, 8.0L, 0.1L, 6.0L}) AddIndividual(ga, ga.Offspring, v);
    ga.Reinsert();
    const std::vector<long double> f = Fitnesses(ga);
    ASSERT_EQ(f.size(), 3u);
    EXPECT_TRUE(std::is_sorted(f.begin(), f.end()));
  }

  // The texts follow a fitness that changed since they were last made.
  TIndividual& first = *ga.Individual(ga.Population, 0);
  for (long double value : {0.0625L, 0.0L, 0.0625L}) {
    first.Values = {value};
    ga.Reinsert();
    ASSERT_EQ(ga.Individual(ga.Population, 0), &first);
    EXPECT_EQ(ga.Population.Strings(0), "Solution 0 (" + FloatToStr(value) + ")");
  }
  EXPECT_EQ(ga.Population.Strings(0), "Solution 0 (0.0625)");
}

TEST(GeneticAlgorithm, PopulationSizeBelowOneIsRefused) {
  TAlgorithmModel model;
  TGeneticAlgorithm ga;
  Prepare(ga, model, 2);
  ga.InitRun(&model.System);
  ASSERT_EQ(ga.Population.Count(), 3);
  for (int32_t size : {0, -4}) {
    ga.PopulationSize = size;
    try {
      ga.InitRun(&model.System);
      FAIL() << "InitRun accepted a population size of " << size;
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()),
                "Population size must be at least 1 (it is " + std::to_string(size) + ")");
    }
    EXPECT_EQ(ga.Population.Count(), 3);  // the previous population stays
  }
  EXPECT_THROW(ga.InitRun(nullptr), Exception);
}

TEST(GeneticAlgorithm, InitRunBuildsTheTemplateAndItsCopies) {
  TAlgorithmModel model;
  TGeneticAlgorithm ga;
  Prepare(ga, model, 4);
  auto* angle = new TGFJointAngle(&ga, 1, "");
  angle->Expression = "a";
  angle->A = 0.25L;
  std::vector<std::string> trace;
  ga.OnTrace = [&trace](int kind, const std::string& text) {
    trace.push_back(std::to_string(kind) + text);
  };
  TRandom::Shared().SetFixedSeed(11);
  ga.InitRun(&model.System);

  ASSERT_EQ(ga.Population.Count(), 5);  // the template and four copies
  EXPECT_TRUE(ga.Running);
  EXPECT_EQ(ga.StopChangePrecAfter, 1);
  EXPECT_EQ(angle->ExpressionValue(3), 0.25L);  // compiled with its parameters
  TIndividual* first = ga.Individual(ga.Population, 0);
  EXPECT_EQ(first->Level(3).size(), 1u);
  EXPECT_EQ(first->Level(2).size(), 1u);
  ASSERT_EQ(first->Level(1).size(), 2u);
  ASSERT_EQ(first->Level(0).size(), 3u);
  // Without an initialisation every individual carries the model's present trains.
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(ga.Individual(ga.Population, i)->Level(0)[0]->Genes, (TGenes{0}));
    EXPECT_EQ(ga.Individual(ga.Population, i)->Level(0)[1]->Genes, (TGenes{5, 30, 60}));
  }

  // "Uniform": individual i gets the activation i / 4 on one unit of the first muscle (the
  // operator runs child count - 1 times), so the first loses a train and the last fires as
  // often as a unit can within the 120 ms control window.
  ga.SetFunctions(1, 1, 2, 0, 1, 0, 1);
  trace.clear();
  ga.InitRun(&model.System);
  EXPECT_EQ(trace, (std::vector<std::string>{"0Init population", "1.", "1.", "1.", "1.", "1."}));
  auto genes = [&ga](int i) {
    size_t count = 0;
    for (TChromosome* unit : ga.Individual(ga.Population, i)->Level(0)) count += unit->Genes.size();
    return count;
  };
  EXPECT_LT(genes(0), 1u + 3u + 1u);
  EXPECT_GE(genes(4), 60u);
}

TEST(GeneticAlgorithm, StepOffspringCountsAndTraces) {
  TAlgorithmModel model;
  TGeneticAlgorithm ga;
  Prepare(ga, model, 4);
  new TGFMinimalForce(&ga, 1, "");
  std::vector<int> sizes;
  ga.SetFunctions(1, 1, 2, 0, 0, 0, 1);
  ga.FitnessFunc = [&ga, &sizes](TStringList& list) {
    sizes.push_back(list.Count());
    ga.WeightedSumFitness(list);
  };
  std::vector<std::string> trace;
  ga.OnTrace = [&trace](int, const std::string& text) { trace.push_back(text); };
  int steps = 0;
  ga.OnStep = [&steps, &ga](TObject* sender) {
    EXPECT_EQ(sender, &ga);
    ++steps;
  };
  TRandom::Shared().SetFixedSeed(3);
  ga.InitRun(&model.System);
  ga.Step();
  // 5 individuals evaluated; 2 + 4 + 4 offspring merged with them; 4 kept.
  EXPECT_EQ(sizes, (std::vector<int>{5, 15}));
  EXPECT_EQ(ga.Population.Count(), 4);
  EXPECT_EQ(ga.Individuals, &ga.Population);
  EXPECT_EQ(ga.StepNo, 1);
  EXPECT_EQ(ga.TotalSteps, 1);
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(trace, (std::vector<std::string>{"Init population", "Step 0",
                                             "Evaluate fittens estimations for population",
                                             "Evaluate fittens estimations for offspring"}));

  // Cycle counts of 0 still run one cycle each: 1 + 2 + 2.
  ga.MutationsPerStep = ga.CrossoversPerStep = ga.CommonMutPerStep = 0;
  sizes.clear();
  ga.Step();
  EXPECT_EQ(sizes, (std::vector<int>{4, 9}));

  // After the last generation a step only ends the run.
  ga.NumberOfSteps = 2;
  ga.Step();
  EXPECT_FALSE(ga.Running);
  EXPECT_EQ(ga.StepNo, 1);
  EXPECT_EQ(ga.TotalSteps, 2);
  EXPECT_EQ(steps, 2);
}

TEST(GeneticAlgorithm, OperationsAreFiledByLevelAndApplied) {
  TAlgorithmModel model;
  TGeneticAlgorithm ga;
  Prepare(ga, model, 2);
  ga.MutationsPerStep = 2;
  new TGFMinimalMUActivation(&ga, 1, "");
  auto* add = new TMutationOperation(&ga, 0);
  add->Descr = "Add";
  add->OpType = OpCode::AddImpulse;
  add->NumberOfPoints = 1;
  add->OpProbability = 1;
  auto* never = new TCrossoverOperation(&ga, 1);
  never->Descr = "Never";
  never->OpType = OpCode::MuscleOnePoint;
  never->OpProbability = 0;
  auto* common = new TCommonMutationOperation(&ga, 5);  // no such level: never filed
  common->Descr = "Nowhere";
  // A new operation is filed under its level as soon as it is created.
  EXPECT_EQ(ga.MutationOperations[0].IndexOfObject(add), 0);
  EXPECT_EQ(ga.CrossoverOperations[1].IndexOfObject(never), 0);
  ga.RebuildOperationLevels();
  EXPECT_EQ(ga.Operations.Count(), 3);
  EXPECT_EQ(ga.MutationOperations[0].Count(), 1);
  EXPECT_EQ(ga.CrossoverOperations[1].Count(), 1);
  for (const auto& list : ga.CommonMutOperations) EXPECT_EQ(list.Count(), 0);

  int applied = 0;
  ga.OnTrace = [&applied](int, const std::string& text) {
    EXPECT_NE(text, "Crossover applied: Never");
    if (text == "Mutation applied: Add") ++applied;
  };
  TRandom::Shared().SetFixedSeed(5);
  ga.InitRun(&model.System);
  ga.Step();
  EXPECT_EQ(applied, 3);  // probability 1: every mutation cycle

  add->Descr = "Renamed";
  ga.RenameLists();
  EXPECT_EQ(ga.Operations.Strings(0), "Renamed");
  EXPECT_EQ(ga.MutationOperations[0].Strings(0), "Renamed");
  EXPECT_EQ(ga.Goals.Strings(0), "Minimal motor unit activation");
  delete never;  // a freed operation leaves every list
  EXPECT_EQ(ga.Operations.Count(), 2);
  EXPECT_EQ(ga.CrossoverOperations[1].Count(), 0);
  ga.Clear();
  EXPECT_EQ(ga.Goals.Count(), 0);
  EXPECT_EQ(ga.Operations.Count(), 0);
  EXPECT_EQ(ga.MutationOperations[0].Count(), 0);
  EXPECT_EQ(ga.Population.Count(), 2);  // the population is not part of the task
}

TEST(GeneticAlgorithm, AccuracyStopsTheRunAndEvaluateModelScoresThePresentTrains) {
  TAlgorithmModel model;
  TGeneticAlgorithm ga;
  Prepare(ga, model, 3);
  ga.NumberOfSteps = 50;
  new TGFMinimalForce(&ga, 1, "");
  ga.SetFunctions(1, 1, 0, 0, 0, 1, 1);
  ga.AccuracyTreshold = 1e9L;  // reached at once
  TRandom::Shared().SetFixedSeed(9);
  ga.InitRun(&model.System);
  ga.RunAll();
  EXPECT_EQ(ga.TotalSteps, 1);
  EXPECT_FALSE(ga.Running);
  EXPECT_FALSE(ga.RunningAll);

  ga.SetFunctions(1, 1, 0, 0, 1, 0, 1);
  ga.EvaluateModel(&model.System);
  EXPECT_EQ(ga.SelInitializationFunc, 1);  // restored
  EXPECT_FALSE(ga.Running);
  ASSERT_EQ(ga.Population.Count(), 4);
  const long double expected =
      TGFMinimalForce(nullptr, 1, "").Estimation(ga.Individual(ga.Population, 0)->Root);
  for (long double f : Fitnesses(ga)) EXPECT_EQ(f, expected);
  EXPECT_GT(expected, 0);
  EXPECT_EQ(ga.Population.Strings(3), "Solution 3 (" + FloatToStr(expected) + ")");
}

namespace {

// A goal whose estimation fails from its `limit`-th call on, as a numeric fault would.
class TFailingGoal : public TGoalFunction {
 public:
  TFailingGoal(TComponent* owner, int limit) : TGoalFunction(owner, 1, "fails"), limit_(limit) {}
  long double Estimation(TChromosome*) override {
    if (++calls_ >= limit_) throw EZeroDivide();
    return calls_;
  }

 private:
  int limit_;
  int calls_ = 0;
};

}  // namespace

TEST(GeneticAlgorithm, AFailedStepOrARunWithoutPopulationLeavesNoHalfMadeState) {
  TAlgorithmModel model;
  TGeneticAlgorithm ga;
  Prepare(ga, model, 2);
  new TFailingGoal(&ga, 6);  // the 3 individuals pass, an offspring fails
  ga.InitRun(&model.System);
  EXPECT_THROW(ga.Step(), EZeroDivide);
  EXPECT_EQ(ga.Offspring.Count(), 0);
  EXPECT_EQ(ga.Population.Count(), 3);
  EXPECT_EQ(ga.Individuals, &ga.Population);
  EXPECT_EQ(ga.ComponentCount(), 1 + 1 + 3);  // time frame, goal, population
  EXPECT_EQ(ga.StepNo, 0);

  // A freed individual leaves whichever list holds it.
  TIndividual* stray = AddIndividual(ga, ga.Offspring, 1);
  ASSERT_EQ(ga.Individuals, &ga.Population);
  delete stray;
  EXPECT_EQ(ga.Offspring.Count(), 0);

  // RunAll before any InitRun has no population to evolve: it ends at once.
  TGeneticAlgorithm fresh;
  fresh.NumberOfSteps = 3;
  fresh.RunAll();
  EXPECT_FALSE(fresh.Running);
  EXPECT_EQ(fresh.TotalSteps, 0);
  EXPECT_EQ(fresh.Population.Count(), 0);
}
