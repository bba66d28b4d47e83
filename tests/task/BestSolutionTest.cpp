#include "base/Random.h"
#include "base/StringList.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/Individual.h"
#include "ga/TaskFile.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "task/ResultCurves.h"
#include "task/RunExport.h"
#include "task/SettingsTransfer.h"
#include "task/SummaryChart.h"

#include "support/ModelTrains.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace sarvanta;

using sarvanta::test::ModelTrains;
using sarvanta::test::TTrains;

TEST(BestSolution, ModelHoldsTheBestTrainsDuringAndAfterARun) {
  RegisterTaskClasses();
  TMechanicalSystem system;
  LoadSystemFromFile(system, std::string(SARVANTA_EXAMPLES_DIR) + "/elbow.svt");
  TGeneticAlgorithm algorithm;
  LoadTaskFromFile(algorithm, std::string(SARVANTA_EXAMPLES_DIR) + "/elbow.hga");
  TTaskSettings settings;
  ShowLoadedTask(settings, algorithm);
  settings.eNumberOfSteps = "8";
  TChartScales scales;
  PrepareFreshRun(settings, algorithm, scales);
  TRandom::Shared().SetFixedSeed(2);
  algorithm.InitRun(&system);

  int steps = 0;
  algorithm.OnStep = [&](TObject*) {
    const TTrains held = ModelTrains(system);
    ApplySolution(*algorithm.Individual(algorithm.Population, 0), system);
    EXPECT_EQ(held, ModelTrains(system)) << "after step " << algorithm.StepNo;
    ++steps;
  };
  algorithm.RunAll();
  algorithm.OnStep = nullptr;
  EXPECT_EQ(steps, 8);
  const TTrains after = ModelTrains(system);
  ApplySolution(*algorithm.Individual(algorithm.Population, 0), system);
  EXPECT_EQ(after, ModelTrains(system));
}

TEST(BestSolution, ASolutionsCurvesAreSampledWithItsTrainsAndTheBestComesBack) {
  RegisterTaskClasses();
  TMechanicalSystem system;
  LoadSystemFromFile(system, std::string(SARVANTA_EXAMPLES_DIR) + "/elbow.svt");
  TGeneticAlgorithm algorithm;
  LoadTaskFromFile(algorithm, std::string(SARVANTA_EXAMPLES_DIR) + "/elbow.hga");
  ASSERT_GT(algorithm.Goals.Count(), 0);
  TTaskSettings settings;
  ShowLoadedTask(settings, algorithm);
  settings.eNumberOfSteps = "4";
  settings.ePopulationSize = "4";
  TChartScales scales;
  PrepareFreshRun(settings, algorithm, scales);
  TRandom::Shared().SetFixedSeed(9);
  algorithm.InitRun(&system);
  algorithm.RunAll();
  const int last = algorithm.Population.Count() - 1;
  const TIndividual& best = *algorithm.Individual(algorithm.Population, 0);
  const TIndividual& worst = *algorithm.Individual(algorithm.Population, last);
  const TTrains bestTrains = ModelTrains(system);

  // The summary samples a goal's result for the worst solution with that solution's trains.
  TStringList functions;
  const std::vector<TChartDescription> descriptions = {{ckGoal, last, 0}, {ckGoal, 0, 0}};
  const auto curves = SampleSummary(descriptions, algorithm, system, functions, scales[3]);
  EXPECT_EQ(ModelTrains(system), bestTrains);
  {
    const TSolutionInModel applied(algorithm, worst, system);
    const TTrains worstTrains = ModelTrains(system);
    EXPECT_NE(worstTrains, bestTrains);
    const TGoalCurves direct = GoalCurves(*algorithm.Goal(0), worst, algorithm, scales[2]);
    ASSERT_EQ(direct.Result.Points.size(), curves[0].SecondSeries.Points.size());
    for (size_t i = 0; i < direct.Result.Points.size(); ++i)
      EXPECT_EQ(direct.Result.Points[i].Y, curves[0].SecondSeries.Points[i].Y) << i;
  }
  EXPECT_EQ(ModelTrains(system), bestTrains);
  {
    const TSolutionInModel applied(algorithm, best, system);  // nothing to rewrite
    EXPECT_EQ(ModelTrains(system), bestTrains);
  }
  // The two solutions' result curves differ: the worst one's was not sampled from the best.
  bool differ = false;
  for (size_t i = 0; i < curves[0].SecondSeries.Points.size(); ++i)
    differ = differ || curves[0].SecondSeries.Points[i].Y != curves[1].SecondSeries.Points[i].Y;
  EXPECT_TRUE(differ);
}
