#include "ga/DerivedFunctions.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/Individual.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/TimeFrame.h"
#include "task/PresampledForces.h"
#include "task/ResultCurves.h"
#include "task/RunExport.h"
#include "task/RunProgress.h"
#include "task/SummaryChart.h"
#include "task/TaskRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace sarvanta;
namespace fs = std::filesystem;

namespace {

TRunSettings ElbowRun(const std::string& folder) {
  TRunSettings settings;
  settings.ProjectFile = std::string(SARVANTA_EXAMPLES_DIR) + "/elbow.svt";
  settings.OutFolder = (fs::temp_directory_path() / folder).string();
  settings.Seed = 5;
  settings.Population = 3;
  fs::remove_all(settings.OutFolder);
  return settings;
}

// Loads, prepares and runs the task to its end, without progress reports or stop requests.
void RunToEnd(TTaskRun& run) {
  run.Load();
  run.Prepare();
  run.Run(nullptr, nullptr);
}

TRunSettings ElbowRun(const std::string& folder, int32_t steps) {
  TRunSettings settings = ElbowRun(folder);
  settings.Steps = steps;
  return settings;
}

// An elbow run of `steps` steps, done to its end; its folder goes with it.
struct TFinishedElbowRun {
  TFinishedElbowRun(const std::string& folder, int32_t steps)
      : Settings(ElbowRun(folder, steps)), Run(Settings) {
    RunToEnd(Run);
  }
  ~TFinishedElbowRun() { fs::remove_all(Settings.OutFolder); }
  TFinishedElbowRun(const TFinishedElbowRun&) = delete;
  TFinishedElbowRun& operator=(const TFinishedElbowRun&) = delete;

  TRunSettings Settings;
  TTaskRun Run;
};

}  // namespace

TEST(RunProgress, LineShowsBarCountsAndTimes) {
  EXPECT_EQ(ProgressLine({40, 100, 12.5L, 0.25L, 62}, 10),
            "[####------]  40/100  best 12.5  improvement 0.25  elapsed 0:01:02  left 0:01:33");
  EXPECT_EQ(ProgressLine({0, 100, 0, 0, 0}, 4),
            "[----]  0/100  best 0  improvement 0  elapsed 0:00:00  left --:--:--");
  EXPECT_EQ(ProgressLine({5, 5, 1, 0, 3725}, 2),
            "[##]  5/5  best 1  improvement 0  elapsed 1:02:05  left 0:00:00");
  EXPECT_EQ(ProgressLine({3, 0, 1, 0, 1}, 2).substr(0, 12), "[##]  0/0  b");
}

TEST(TaskRun, StopsWhenAskedAndSavesOnSchedule) {
  TRunSettings settings = ElbowRun("sarvanta-taskrun-stop");
  settings.Steps = 50;
  settings.AutoSaveEvery = 2;
  TTaskRun run(settings);
  run.Load();
  EXPECT_EQ(fs::path(run.TaskFileUsed()).filename(), "elbow.hga");
  EXPECT_EQ(run.Settings().eNumberOfSteps, "50");
  EXPECT_EQ(run.Settings().ePopulationSize, "3");
  run.Prepare();
  EXPECT_EQ(run.Algorithm().Population.Count(), 4);  // the template and three copies
  std::vector<int32_t> seen;
  run.Run([&seen](const TRunProgress& p) { seen.push_back(p.Step); },
          [&seen] { return seen.size() == 5; });
  EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_TRUE(run.Stopped());
  EXPECT_EQ(run.StepsDone(), 5);
  EXPECT_EQ(run.Algorithm().Population.Count(), 3);
  // Saved after steps 2 and 4, under the project's name in the output folder.
  ASSERT_EQ(run.AutoSaves().size(), 2u);
  EXPECT_EQ(run.AutoSaves()[0], run.ProjectOutFile());
  // The saves wait in the staging folder until the run's results are written with them.
  EXPECT_FALSE(fs::exists(run.ProjectOutFile()));
  run.WriteResults("/nonexistent-template-folder");
  EXPECT_TRUE(fs::exists(run.ProjectOutFile()));
  fs::remove_all(settings.OutFolder);
}

TEST(TaskRun, ResultsDescribeTheBestSolution) {
  TFinishedElbowRun elbow("sarvanta-taskrun-results", 3);
  TTaskRun& run = elbow.Run;
  EXPECT_FALSE(run.Stopped());
  EXPECT_EQ(run.StepsDone(), 3);
  const auto files = run.WriteResults("/nonexistent-template-folder");
  EXPECT_EQ(files, (std::vector<std::string>{"elbow.svt", "elbow.hga", "population.tsv",
                                             "goals.tsv", "forces.tsv", "trains.tsv", "history.tsv",
                                             "run.json", "trace.log", "report.html"}));
  for (const auto& file : files) EXPECT_TRUE(fs::exists(fs::path(elbow.Settings.OutFolder) / file));

  TGeneticAlgorithm& algorithm = run.Algorithm();
  const std::string table = PopulationTable(algorithm);
  EXPECT_EQ(table.substr(0, table.find('\n')),
            "rank\tfitness\tJoint angle [N·m]\tMinimal aggregate force [N]");
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 4);

  // Curves follow the model: a muscle's curve is its force on the frame's grid.
  TMechanicalSystem& system = run.System();
  TChartScale scale;
  const TCurve biceps = MuscleForceCurve(*system.Muscle(1), algorithm, scale);
  ASSERT_GT(biceps.Points.size(), 2u);
  EXPECT_EQ(biceps.Points[1].Y, system.Muscle(1)->Force(biceps.Points[1].X));
  EXPECT_EQ(scale.DataMax, biceps.DataMax);
  const TChartData forces = ForcesChart(algorithm, system);
  ASSERT_EQ(forces.Series.size(), 4u);
  EXPECT_EQ(forces.Series[0].Title, "Biceps [N]");
  EXPECT_EQ(forces.Series[0].Points.size(), biceps.Points.size());
  const TChartData goals = GoalsChart(algorithm, *algorithm.Individual(algorithm.Population, 0));
  ASSERT_EQ(goals.Series.size(), 4u);
  EXPECT_EQ(goals.Series[1].Title, "Joint angle result [N·m]");
}

namespace {

bool SamePoints(const TChartData& a, const TChartData& b) {
  if (a.Series.size() != b.Series.size()) return false;
  for (size_t s = 0; s < a.Series.size(); ++s) {
    const auto& p = a.Series[s].Points;
    const auto& q = b.Series[s].Points;
    if (p.size() != q.size()) return false;
    for (size_t i = 0; i < p.size(); ++i)
      if (p[i].X != q[i].X || p[i].Y != q[i].Y) return false;
  }
  return true;
}

}  // namespace

TEST(ResultCurves, PresampledForcesGiveEveryChartTheSameBitsAndGoAway) {
  TFinishedElbowRun elbow("sarvanta-taskrun-presampled", 2);
  TTaskRun& run = elbow.Run;
  TGeneticAlgorithm& algorithm = run.Algorithm();
  TMechanicalSystem& system = run.System();
  const TIndividual& best = *algorithm.Individual(algorithm.Population, 0);
  // An oscillating frame: a force curve starts at X0, a goal's result curve at X0 + offset.
  algorithm.TimeFrame->OscOffset = 0.375L;
  for (int m = 1; m < system.Muscles.Count(); ++m) system.Muscle(m)->CacheInvalid = true;
  const TChartData goals = GoalsChart(algorithm, best);
  const TChartData forces = ForcesChart(algorithm, system);
  ASSERT_FALSE(forces.Series.empty());
  ASSERT_GT(forces.Series[0].Points.size(), 2u);
  TMuscle& biceps = *system.Muscle(1);
  {
    const TPresampledForces presampled(algorithm, system);
    ASSERT_NE(biceps.Presampled, nullptr);
    EXPECT_TRUE(SamePoints(GoalsChart(algorithm, best), goals));
    EXPECT_TRUE(SamePoints(ForcesChart(algorithm, system), forces));
    // The tail is copied from the presampled forces, the first point (at another time) is
    // sampled on its own.
    auto marked = std::make_shared<TMuscle::TPresampled>(*biceps.Presampled);
    std::fill(marked->Values.begin(), marked->Values.end(), 7.0L);
    biceps.Presampled = marked;
    const TChartData copied = ForcesChart(algorithm, system);
    const auto& points = copied.Series[0].Points;
    EXPECT_EQ(points[0].Y, forces.Series[0].Points[0].Y);
    EXPECT_NE(points[0].X, marked->Times[0]);
    EXPECT_EQ(points[1].Y, 7.0L);
    EXPECT_EQ(points.back().Y, 7.0L);
  }
  for (int m = 1; m < system.Muscles.Count(); ++m) EXPECT_EQ(system.Muscle(m)->Presampled, nullptr);
  EXPECT_TRUE(SamePoints(ForcesChart(algorithm, system), forces));
}

TEST(ResultCurves, DerivedFunctionsAndTheMotorUnitSelectionCurve) {
  TFinishedElbowRun elbow("sarvanta-taskrun-divers", 1);
  TTaskRun& run = elbow.Run;
  TGeneticAlgorithm& algorithm = run.Algorithm();
  TMechanicalSystem& system = run.System();

  TComponent owner;
  TStringList functions;
  CreateParamFunctions(&owner, functions);
  ASSERT_EQ(functions.Count(), 6);
  EXPECT_EQ(functions.Strings(0), "Intergral EMG");
  EXPECT_EQ(functions.Strings(3), "Y Projection of Reaction Force");
  EXPECT_EQ(functions.Strings(5), "Muscle Moment");
  EXPECT_EQ(owner.ComponentCount(), 6);
  auto* emg = dynamic_cast<TParamFunction*>(functions.Objects(0));
  ASSERT_NE(emg, nullptr);
  emg->Precision = 0;
  emg->System = &system;
  TChartScale scale;
  const TCurve curve =
      DerivedFunctionCurve(*emg, *algorithm.Individual(algorithm.Population, 0), algorithm, scale);
  EXPECT_EQ(emg->Precision, 1.0L);
  EXPECT_EQ(curve.Points.size(), 200u);  // 0 .. 400 ms in steps of 2
  EXPECT_EQ(scale.DataMin, curve.DataMin);

  TTimeFrame frame;
  frame.SetFrame(true, true, 0, 200, 2, 2, 40, 50);
  const TMotorUnit& unit = *system.Muscle(1)->MotorUnit(0);
  const TCurve selected = MotorUnitSelectionCurve(unit, frame);
  ASSERT_EQ(selected.Points.size(), 100u);  // 2, 4, ..., 200
  EXPECT_EQ(selected.Points.front().X, 2.0L);
  EXPECT_EQ(selected.Points.back().X, 200.0L);
  EXPECT_EQ(selected.Points.back().Y, unit.Force(200));
  frame.Precision = 0;
  EXPECT_TRUE(MotorUnitSelectionCurve(unit, frame).Points.empty());
}

TEST(SummaryChart, ChartsWhatTheDescriptionsNameAndSpansTheirRange) {
  TFinishedElbowRun elbow("sarvanta-taskrun-summary", 1);
  TTaskRun& run = elbow.Run;
  TGeneticAlgorithm& algorithm = run.Algorithm();
  TMechanicalSystem& system = run.System();
  TComponent owner;
  TStringList functions;
  CreateParamFunctions(&owner, functions);

  const std::vector<TChartDescription> descriptions = {
      {ckMotorUnit, 1, 19},      {ckMuscle, 2, 0},         {ckGoal, 0, 0},
      {ckDerivedFunction, 0, 0}, {ckMuscle, 0, 0},         {ckMuscle, 9, 0},
      {ckMotorUnit, 1, 20},      {ckGoal, 0, 2},           {ckGoal, 99, 0},
      {ckDerivedFunction, 0, 6}, {ckDerivedFunction, 3, 0}};
  TChartScale scale;
  const auto curves = SampleSummary(descriptions, algorithm, system, functions, scale);
  ASSERT_EQ(curves.size(), descriptions.size());
  const bool charted[] = {true, true, true, true, false, false, false, false, false, false, false};
  for (size_t i = 0; i < curves.size(); ++i) EXPECT_EQ(curves[i].Charted, charted[i]) << i;
  EXPECT_FALSE(curves[2].SecondSeries.Points.empty());  // the goal's result curve
  EXPECT_TRUE(curves[1].SecondSeries.Points.empty());
  EXPECT_TRUE(curves[4].Series.Points.empty());

  long double low = curves[0].Series.DataMin, high = curves[0].Series.DataMax;
  for (const auto& c : curves)
    for (const TCurve* curve : {&c.Series, &c.SecondSeries})
      if (!curve->Points.empty()) {
        low = std::min(low, curve->DataMin);
        high = std::max(high, curve->DataMax);
      }
  EXPECT_EQ(scale.DataMin, low);
  EXPECT_EQ(scale.DataMax, high);
  EXPECT_GT(high, curves[0].Series.DataMax);  // the muscle's force exceeds one unit's
}
