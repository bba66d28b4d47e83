#include "base/Exception.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/Individual.h"
#include "ga/TaskFile.h"
#include "model/MechanicalSystem.h"
#include "model/ProjectFile.h"
#include "task/Migration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace sarvanta;

namespace {

const std::string Examples = SARVANTA_EXAMPLES_DIR;

// The elbow task with a small population, its members made different from each other.
struct TElbowRun {
  TElbowRun() {
    RegisterTaskClasses();
    LoadSystemFromFile(system, Examples + "/elbow.svt");
    LoadTaskFromFile(algorithm, Examples + "/elbow.hga");
    algorithm.PopulationSize = 4;
    algorithm.EvaluationThreads = 1;
    algorithm.InitRun(&system);
    for (int i = 0; i < algorithm.Population.Count(); ++i) {
      TIndividual& member = *algorithm.Individual(algorithm.Population, i);
      member.Fitness = i;
      member.Level(0)[0]->Genes = {static_cast<long double>(i), 10.5L + i};
    }
  }
  TMechanicalSystem system;
  TGeneticAlgorithm algorithm;
};

TEST(Migration, MigrantsSurviveTheMessageExactly) {
  TMigrant a{0.125L, {1.0L / 3, -2.5L}, {{1.5L, 2.25L, 3.0L}, {}, {7.0L}}};
  TMigrant b{1e-300L, {}, {}};
  const auto back = UnflattenMigrants(FlattenMigrants({a, b}));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].Fitness, a.Fitness);
  EXPECT_EQ(back[0].Values, a.Values);
  EXPECT_EQ(back[0].Genes, a.Genes);
  EXPECT_EQ(back[1].Fitness, b.Fitness);
  EXPECT_TRUE(back[1].Genes.empty());
  EXPECT_TRUE(UnflattenMigrants(FlattenMigrants({})).empty());
}

TEST(Migration, ABrokenMessageIsRefused) {
  const std::vector<long double> good = FlattenMigrants({{0.5L, {1.0L}, {{2.0L, 3.0L}}}});
  std::vector<long double> cut(good.begin(), good.end() - 1);
  std::vector<long double> longer = good;
  longer.push_back(0);
  std::vector<long double> hugeCount = good;
  hugeCount[0] = 1e18L;
  std::vector<long double> fraction = good;
  fraction[0] = 0.5L;
  std::vector<long double> negative = good;
  negative[2] = -1;
  for (const auto& bad : {cut, longer, hugeCount, fraction, negative, std::vector<long double>{}})
    EXPECT_THROW(UnflattenMigrants(bad), Exception);
}

TEST(Migration, MigrantsReplaceTheWorstAndAreScoredAgain) {
  TElbowRun run;
  TGeneticAlgorithm& a = run.algorithm;
  const std::vector<TMigrant> best = BestMigrants(a, 2);
  ASSERT_EQ(best.size(), 2u);
  EXPECT_EQ(best[0].Genes[0], (TGenes{0.0L, 10.5L}));
  EXPECT_EQ(best[1].Fitness, 1);

  TIndividual& worst = *a.Individual(a.Population, a.Population.Count() - 1);
  worst.Root->SetChanged(false);
  EXPECT_EQ(ReplaceWorst(a, best), 2);
  const int n = a.Population.Count();
  EXPECT_EQ(a.Individual(a.Population, n - 2)->Level(0)[0]->Genes, (TGenes{0.0L, 10.5L}));
  EXPECT_EQ(a.Individual(a.Population, n - 1)->Level(0)[0]->Genes, (TGenes{1.0L, 11.5L}));
  EXPECT_EQ(a.Individual(a.Population, n - 1)->Fitness, 1);
  EXPECT_TRUE(worst.Root->Changed);
  EXPECT_EQ(a.Individual(a.Population, 0)->Level(0)[0]->Genes, (TGenes{0.0L, 10.5L}));
  // More migrants than members: only as many as the population holds are taken.
  std::vector<TMigrant> many = BestMigrants(a, n);
  many.push_back(many[0]);
  EXPECT_EQ(ReplaceWorst(a, many), n);
}

TEST(Migration, AMigrantOfAnotherShapeChangesNothing) {
  TElbowRun run;
  TGeneticAlgorithm& a = run.algorithm;
  TMigrant stranger = BestMigrants(a, 1)[0];
  stranger.Genes.pop_back();
  std::vector<TMigrant> arriving{BestMigrants(a, 1)[0], stranger};
  arriving[0].Genes[0] = {99.0L};
  EXPECT_THROW(ReplaceWorst(a, arriving), Exception);
  const int n = a.Population.Count();
  // Member i holds {i, 10.5 + i}: the second last is untouched.
  const auto i = static_cast<long double>(n - 2);
  EXPECT_EQ(a.Individual(a.Population, n - 2)->Level(0)[0]->Genes, (TGenes{i, 10.5L + i}));
  TMigrant fewerValues = BestMigrants(a, 1)[0];
  fewerValues.Values.clear();
  EXPECT_THROW(PutMigrant(fewerValues, *a.Individual(a.Population, 0)), Exception);
}

}  // namespace
