// The run folder's tables: one header line with units, LF line ends, numbers that read back.
#include "ga/GeneticAlgorithm.h"
#include "ga/GoalFunction.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "task/RunRecord.h"
#include "task/RunTables.h"
#include "task/TaskEditing.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <limits>
#include <string>
#include <vector>

using namespace sarvanta;

TEST(RunTables, NumbersReadBackAsTheSameDouble) {
  for (const double value : {0.1, 1.0 / 3.0, 2.0 / 3.0 * 1e-7, 123456.789012345678, -5.4, 0.0,
                             1e300, -2.2250738585072014e-308}) {
    const std::string text = TableNumber(value);
    EXPECT_EQ(std::stod(text), value) << text;
  }
  EXPECT_EQ(TableNumber(5.4L), "5.4");
  EXPECT_EQ(TableNumber(250), "250");
}

TEST(RunTables, ChartTableHasOneHeaderLineAndLineFeeds) {
  const TChartData chart{"Muscle forces, [N]",
                         "t [ms]",
                         {{"Biceps [N]", {{0, 0}, {2, 1.0L / 3}}}, {"Triceps [N]", {{0, 5}}}}};
  EXPECT_EQ(ChartTable(chart),
            "t [ms]\tBiceps [N]\tTriceps [N]\n"
            "0\t0\t5\n"
            "2\t0.33333333333333333\t\n");
  EXPECT_EQ(ChartTable({"Goal", "t [ms]", {}}), "t [ms]\n");
}

TEST(RunTables, GoalUnitsFollowWhatTheGoalMeasures) {
  TGeneticAlgorithm algorithm;
  const struct {
    int Position;
    std::string Column;
  } cases[] = {{0, "Minimal aggregate force [N]"},
               {1, "Minimal motor unit activation [N]"},
               {2, "Minimal fatigue"},
               {3, "Minimal joint reaction [N]"},
               {4, "Minimal sum (1/PCSA)^n"},
               {6, "Joint angle [N·m]"},
               {8, "Joint angle check point [N·m]"},
               {7, "Bone position"}};
  for (const auto& c : cases) {
    const TGoalFunction* goal = CreateStandardGoal(c.Position, algorithm);
    ASSERT_NE(goal, nullptr) << c.Position;
    EXPECT_EQ(WithUnit(goal->Descr, GoalUnit(*goal)), c.Column);
  }
}

TEST(RunTables, TrainsAreListedPerImpulseAndPerMuscleOnRequest) {
  TMechanicalSystem system;
  auto* biceps = new TMuscle(&system, "Biceps");
  auto* triceps = new TMuscle(&system, "Triceps");
  const long double first[] = {40, 5.4L};
  const long double second[] = {12.5L};
  auto unit = [](TMuscle* muscle, const std::string& name) {
    auto* made = new TMotorUnit(muscle, name, 0.5L, 1000, 2, 1, 20, 5, 30, 100, 0);
    muscle->AddMotorUnit(made);
    return made;
  };
  unit(biceps, "MU1")->SetImpArray(first);  // sorted on the way in
  unit(biceps, "MU2");                      // an empty train has no rows
  unit(triceps, "MU1")->SetImpArray(second);
  EXPECT_EQ(TrainsTable(system),
            "muscle\tunit\tt [ms]\n"
            "Biceps\tMU1\t5.4\n"
            "Biceps\tMU1\t40\n"
            "Triceps\tMU1\t12.5\n");
  EXPECT_EQ(TrainsTable(system, "Triceps"), "muscle\tunit\tt [ms]\nTriceps\tMU1\t12.5\n");
  EXPECT_THROW(TrainsTable(system, "Deltoid"), std::exception);
}

TEST(RunTables, HistoryAndRecord) {
  EXPECT_EQ(HistoryTable({{1, 2.5L, 3, -2.5L, 0, 100, 21, 0.25}}),
            "step\tbest fitness\tmean fitness\timprovement\tframe from [ms]\tframe to [ms]\t"
            "evaluations\telapsed [s]\n"
            "1\t2.5\t3\t-2.5\t0\t100\t21\t0.25\n");
  TRunRecord record;
  record.CommandLine = {"sarvanta-cli", "run", "arm.svt"};
  record.Seed = 4000000000u;
  record.Goals = {{"Joint angle", 1, "a+b*t"}, {"Minimal aggregate force", 0.05L, ""}};
  record.EndedBy = "stopped";
  record.BestFitness = std::numeric_limits<long double>::infinity();
  const auto json = nlohmann::json::parse(RunRecordJson(record));
  EXPECT_EQ(json["seed"], 4000000000u);
  EXPECT_EQ(json["command_line"][2], "arm.svt");
  EXPECT_EQ(json["settings"]["goals"][0]["expression"], "a+b*t");
  EXPECT_FALSE(json["settings"]["goals"][1].contains("expression"));
  EXPECT_TRUE(json["best_fitness"].is_null());  // JSON has no infinity
  EXPECT_TRUE(json["task"].is_null());
  EXPECT_EQ(json["ended_by"], "stopped");
  EXPECT_EQ(json["version"], ProgramVersion());
}
