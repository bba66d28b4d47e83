#include "base/Random.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/Individual.h"
#include "ga/TaskFile.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "task/AutoSave.h"
#include "task/RunExport.h"
#include "task/RunProgress.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace sarvanta;
namespace fs = std::filesystem;

namespace {

std::vector<std::vector<long double>> Trains(const TMechanicalSystem& system) {
  std::vector<std::vector<long double>> trains;
  for (int m = 1; m < system.Muscles.Count(); ++m)
    for (int u = 0; u < system.Muscle(m)->MotorUnits.Count(); ++u)
      trains.push_back(system.Muscle(m)->MotorUnit(u)->ImpArray());
  return trains;
}

}  // namespace

TEST(AutoSave, StepsCountFromTheLastSaveAndMinutesFromRunTime) {
  TAutoSaveOptions options;
  options.AtEachStep = true;
  options.StepCount = 500;
  TAutoSaveSchedule schedule;
  schedule.Start(0);
  std::vector<int32_t> saved;
  for (int32_t step = 1; step <= 1000; ++step)
    if (schedule.DueAfterStep(options, step, step * 0.01)) saved.push_back(step);
  EXPECT_EQ(saved, (std::vector<int32_t>{500, 1000}));

  // A new run restarts the step number: the distance to the last save still counts.
  schedule.Start(0);
  EXPECT_FALSE(schedule.DueAfterStep(options, 499, 0));
  EXPECT_TRUE(schedule.DueAfterStep(options, 500, 0));

  TAutoSaveOptions timed;
  timed.EveryMinutes = true;
  timed.Minutes = 2;
  schedule.Start(30);
  EXPECT_FALSE(schedule.DueAfterStep(timed, 1, 149));
  EXPECT_TRUE(schedule.DueAfterStep(timed, 2, 150));
  EXPECT_FALSE(schedule.DueAfterStep(timed, 3, 269));
  EXPECT_TRUE(schedule.DueAfterStep(timed, 4, 270));
  timed.Minutes = 0;  // never falls due
  EXPECT_FALSE(schedule.DueAfterStep(timed, 5, 1e9));
  EXPECT_FALSE(schedule.DueAfterStep(TAutoSaveOptions{}, 1000, 1e9));
}

TEST(AutoSave, SolutionFilesAreNumberedByRankBesideTheProject) {
  EXPECT_EQ(SolutionFileName("/m/arm.svt", 1), "/m/arm-solution1.svt");
  EXPECT_EQ(SolutionFileName("/m/arm(14-05-09).svt", 12), "/m/arm(14-05-09)-solution12.svt");
  EXPECT_EQ(SolutionFileName("/m/v1.2/arm", 3), "/m/v1.2/arm-solution3");
  EXPECT_EQ(SolutionFileName("Reult", 2), "Reult-solution2");
}

TEST(AutoSave, AllSolutionsAreWrittenAndTheModelKeepsTheBest) {
  RegisterTaskClasses();
  TMechanicalSystem system;
  LoadSystemFromFile(system, std::string(SARVANTA_EXAMPLES_DIR) + "/elbow.svt");
  TGeneticAlgorithm algorithm;
  LoadTaskFromFile(algorithm, std::string(SARVANTA_EXAMPLES_DIR) + "/elbow.hga");
  algorithm.PopulationSize = 4;
  algorithm.NumberOfSteps = 4;
  algorithm.EvaluationThreads = 1;
  TRandom::Shared().SetFixedSeed(9);
  algorithm.InitRun(&system);
  algorithm.RunAll();
  const int count = algorithm.Population.Count();
  ASSERT_GE(count, 3);
  const auto bestTrains = Trains(system);

  const fs::path folder = fs::temp_directory_path() / "sarvanta-autosave-solutions";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const auto written = SaveSolutions(algorithm, system, (folder / "arm.svt").string());
  ASSERT_EQ(static_cast<int>(written.size()), count);
  EXPECT_EQ(Trains(system), bestTrains);  // the model holds the best solution again
  bool solutionsDiffer = false;
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(written[i], (folder / ("arm-solution" + std::to_string(i + 1) + ".svt")).string());
    TMechanicalSystem saved;
    LoadSystemFromFile(saved, written[i]);
    ApplySolution(*algorithm.Individual(algorithm.Population, i), system);
    EXPECT_EQ(Trains(saved), Trains(system)) << written[i];
    solutionsDiffer = solutionsDiffer || Trains(saved) != bestTrains;
  }
  EXPECT_TRUE(solutionsDiffer);
  fs::remove_all(folder);
}

TEST(RunProgress, ElapsedTimeReadsAsAClock) {
  EXPECT_EQ(TimeOfDayText(0), "00:00:00");
  EXPECT_EQ(TimeOfDayText(3725.9), "01:02:05");
  EXPECT_EQ(TimeOfDayText(86400 + 61), "00:01:01");
  EXPECT_EQ(TimeOfDayText(-3), "00:00:00");
}
