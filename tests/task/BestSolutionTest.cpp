#include "base/Random.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/Individual.h"
#include "ga/TaskFile.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "task/RunExport.h"
#include "task/SettingsTransfer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace sarvanta;

namespace {

using TTrains = std::vector<std::vector<long double>>;

TTrains ModelTrains(const TMechanicalSystem& system) {
  TTrains trains;
  for (int m = 1; m < system.Muscles.Count(); ++m)
    for (int u = 0; u < system.Muscle(m)->MotorUnits.Count(); ++u)
      trains.push_back(system.Muscle(m)->MotorUnit(u)->ImpArray());
  return trains;
}

}  // namespace

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
