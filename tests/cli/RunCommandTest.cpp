#include "ga/GeneticAlgorithm.h"
#include "ga/GoalFunction.h"
#include "ga/Individual.h"
#include "ga/TaskFile.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "model/TimeFrame.h"
#include "task/SettingsTransfer.h"
#include "task/TaskEditing.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace sarvanta;
namespace fs = std::filesystem;

namespace {

const std::string Elbow = std::string(SARVANTA_EXAMPLES_DIR) + "/elbow.svt";

struct TOutcome {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs sarvanta-cli with the arguments (already quoted for the shell).
TOutcome Cli(const std::string& arguments) {
  const fs::path out = fs::temp_directory_path() / "sarvanta-run-test.out";
  const fs::path err = fs::temp_directory_path() / "sarvanta-run-test.err";
  const std::string command = std::string("'") + SARVANTA_CLI + "' " + arguments + " >'" +
                              out.string() + "' 2>'" + err.string() + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err)};
}

fs::path FreshFolder(const std::string& name) {
  const fs::path folder = fs::temp_directory_path() / ("sarvanta-run-" + name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// A task that evaluates the whole frame at every step (no moving frame, no precision change,
// no oscillation), so that the saved best solution can be scored again exactly.
std::string SteadyTask(const fs::path& folder) {
  RegisterTaskClasses();
  TGeneticAlgorithm algorithm;
  TTaskSettings settings;
  settings.eToMoment = "150";
  settings.eStopMoveAfter = "0";
  settings.cbForReinsertion = 0;
  TGoalFunction* angle = CreateStandardGoal(6, algorithm);
  auto* joint = dynamic_cast<TGoalFunctionExpression*>(angle);
  joint->Expression = "0.3*t/150";
  CreateStandardGoal(0, algorithm)->Weight = 0.5L;
  settings.emProbabilityDependance = "0.7";
  AddOperation(TOperationTab::Mutation, 2, settings, algorithm);
  AddOperation(TOperationTab::Mutation, 3, settings, algorithm);
  settings.ecProbabilityDependance = "0.5";
  AddOperation(TOperationTab::Crossover, 2, settings, algorithm);
  TransferBeforeSave(settings, algorithm);
  TimeFrameExit(settings, algorithm);
  const std::string path = (folder / "steady.hga").string();
  SaveTaskToFile(algorithm, path);
  return path;
}

// The population table's rows: fitness and goal values of each rank.
std::vector<std::vector<std::string>> TableRows(const std::string& table) {
  std::vector<std::vector<std::string>> rows;
  std::stringstream lines(table);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> cells;
    std::stringstream cellsText(line);
    std::string cell;
    while (std::getline(cellsText, cell, '\t')) cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

}  // namespace

TEST(RunCommand, WritesEveryResultRepeatablyAndSavesTheBestSolution) {
  const fs::path folder = FreshFolder("steady");
  const std::string task = SteadyTask(folder);
  const std::string common =
      "run '" + Elbow + "' --task '" + task + "' --steps 15 --population 6 --seed 7 --quiet --out ";
  const TOutcome first = Cli(common + "'" + (folder / "a").string() + "'");
  ASSERT_EQ(first.ExitCode, 0) << first.Err;
  EXPECT_EQ(first.Err, "");  // --quiet
  EXPECT_NE(first.Out.find("Results in " + (folder / "a").string()), std::string::npos);
  for (const char* file : {"elbow.svt", "elbow.hga", "population.tsv", "goals.tsv", "forces.tsv",
                           "trace.log", "report.html", "qelvo_line.gif", "line.gif"})
    EXPECT_TRUE(fs::exists(folder / "a" / file)) << file;

  const TOutcome second = Cli(common + "'" + (folder / "b").string() + "'");
  ASSERT_EQ(second.ExitCode, 0) << second.Err;
  for (const char* file : {"population.tsv", "goals.tsv", "forces.tsv", "elbow.svt", "trace.log"})
    EXPECT_EQ(ReadAll(folder / "a" / file), ReadAll(folder / "b" / file)) << file;

  const auto rows = TableRows(ReadAll(folder / "a" / "population.tsv"));
  ASSERT_EQ(rows.size(), 7u);  // header and six solutions
  EXPECT_EQ(rows[0], (std::vector<std::string>{"rank", "fitness", "Joint angle [N·m]",
                                               "Minimal aggregate force [N]"}));
  EXPECT_EQ(rows[1][0], "0");
  EXPECT_LE(std::stold(rows[1][1]), std::stold(rows[6][1]));  // best first

  // The saved project holds the best solution: scored again, it gives the best fitness.
  TMechanicalSystem system;
  LoadSystemFromFile(system, (folder / "a" / "elbow.svt").string());
  TGeneticAlgorithm algorithm;
  LoadTaskFromFile(algorithm, (folder / "a" / "elbow.hga").string());
  algorithm.EvaluateModel(&system);
  const TIndividual* model = algorithm.Individual(algorithm.Population, 0);
  ASSERT_NE(model, nullptr);
  EXPECT_NEAR(static_cast<double>(model->Fitness), std::stod(rows[1][1]),
              1e-9 * (1 + std::abs(std::stod(rows[1][1]))));

  // The trains differ from the example's: the run changed the model.
  TMechanicalSystem original;
  LoadSystemFromFile(original, Elbow);
  bool changed = false;
  for (int m = 1; m < system.Muscles.Count(); ++m)
    for (int u = 0; u < system.Muscle(m)->MotorUnits.Count(); ++u)
      changed |= system.Muscle(m)->MotorUnit(u)->ImpArray() !=
                 original.Muscle(m)->MotorUnit(u)->ImpArray();
  EXPECT_TRUE(changed);

  // Goal and force curves: a header line with units, then the 75 points of the 0 .. 150 ms
  // frame, lines ended by LF alone.
  const std::string goals = ReadAll(folder / "a" / "goals.tsv");
  EXPECT_EQ(goals.rfind("t [ms]\tJoint angle goal [N·m]\tJoint angle result [N·m]\t"
                        "Minimal aggregate force goal [N]\tMinimal aggregate force result [N]\n0\t",
                        0),
            0u);
  EXPECT_EQ(std::count(goals.begin(), goals.end(), '\n'), 76);
  const std::string forces = ReadAll(folder / "a" / "forces.tsv");
  EXPECT_EQ(
      forces.rfind("t [ms]\tBiceps [N]\tBrachialis [N]\tBrachioradialis [N]\tTriceps [N]\n", 0),
      0u);
  for (const std::string& table : {goals, forces}) EXPECT_EQ(table.find('\r'), std::string::npos);
  EXPECT_NE(ReadAll(folder / "a" / "trace.log").find("Step 14"), std::string::npos);
  fs::remove_all(folder);
}

TEST(RunCommand, ResultsDoNotDependOnTheNumberOfThreads) {
  const fs::path folder = FreshFolder("threads");
  const std::string common = "run '" + Elbow + "' --steps 12 --population 6 --seed 3 --quiet ";
  for (const char* threads : {"1", "2"}) {
    const TOutcome run =
        Cli(common + "--threads " + threads + " --out '" + (folder / threads).string() + "'");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
  }
  for (const char* file : {"population.tsv", "goals.tsv", "forces.tsv", "elbow.svt", "trace.log"}) {
    const std::string one = ReadAll(folder / "1" / file);
    EXPECT_FALSE(one.empty()) << file;
    EXPECT_EQ(ReadAll(folder / "2" / file), one) << file;
  }
  fs::remove_all(folder);
}

TEST(RunCommand, ExampleTaskImprovesAndSavesAutomatically) {
  const fs::path folder = FreshFolder("example");
  const TOutcome run = Cli("run '" + Elbow + "' --steps 60 --seed 1 --autosave-every 20 " +
                           "--autosave-as-new-files --out '" + folder.string() + "'");
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_NE(run.Err.find("elbow.hga"), std::string::npos);  // the project's own task
  EXPECT_NE(run.Err.find("60/60"), std::string::npos);      // progress reached the end
  int stamped = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.size() == 19 && name.rfind("elbow(", 0) == 0 && name.substr(15) == ".svt") ++stamped;
  }
  EXPECT_GE(stamped, 1);  // saves in the same second share a name

  // Scored over the whole frame, the saved best solution beats the example's own trains.
  auto wholeFrameFitness = [](const std::string& project) {
    TMechanicalSystem system;
    LoadSystemFromFile(system, project);
    TGeneticAlgorithm algorithm;
    LoadTaskFromFile(algorithm, std::string(SARVANTA_EXAMPLES_DIR) + "/elbow.hga");
    algorithm.StopMoveAfter = 0;
    algorithm.EvaluateModel(&system);
    return algorithm.Individual(algorithm.Population, 0)->Fitness;
  };
  EXPECT_LT(wholeFrameFitness((folder / "elbow.svt").string()), wholeFrameFitness(Elbow));
  fs::remove_all(folder);
}

TEST(RunCommand, FailuresPrintOneLineAndExitNonZero) {
  const fs::path folder = FreshFolder("failures");
  std::ofstream(folder / "bad.svt") << "not a project";
  const struct {
    std::string arguments;
    std::string message;
  } cases[] = {
      {"run '" + (folder / "bad.svt").string() + "'", "sarvanta-cli: "},
      {"run '" + (folder / "missing.svt").string() + "'", "missing.svt"},
      {"run '" + Elbow + "' --task '" + (folder / "bad.svt").string() + "'", "sarvanta-cli: "},
      {"run '" + Elbow + "' --population 0 --out '" + (folder / "o").string() + "'",
       "population size must be at least 1"},
      {"run '" + Elbow + "' --threads 0", "--threads must be at least 1"},
      {"run '" + Elbow + "' --threads 100000", "--threads must be at most 256"},
  };
  for (const auto& c : cases) {
    const TOutcome outcome = Cli(c.arguments);
    EXPECT_NE(outcome.ExitCode, 0) << c.arguments;
    EXPECT_NE(outcome.Err.find(c.message), std::string::npos) << outcome.Err;
    EXPECT_EQ(std::count(outcome.Err.begin(), outcome.Err.end(), '\n'), 1) << outcome.Err;
  }
  fs::remove_all(folder);
}

TEST(RunCommand, CtrlCStopsTheRunWritesEveryResultAndExits130) {
  const fs::path folder = FreshFolder("interrupt");
  const std::string out = folder.string();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    execl(SARVANTA_CLI, SARVANTA_CLI, "run", Elbow.c_str(), "--steps", "100000", "--seed", "3",
          "--out", out.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // Wait until a few generations are done (the log is in the run's staging folder).
  auto stepsLogged = [&folder] {
    try {
      for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().filename() == "trace.log" &&
            ReadAll(entry.path()).find("Step 3") != std::string::npos)
          return true;
    } catch (const fs::filesystem_error&) {  // the staging folder went while we looked
    }
    return false;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (!stepsLogged() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  kill(child, SIGINT);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  for (const char* file :
       {"elbow.svt", "elbow.hga", "population.tsv", "goals.tsv", "forces.tsv", "trains.tsv",
        "history.tsv", "run.json", "trace.log", "report.html", "qelvo_line.gif", "line.gif"})
    EXPECT_TRUE(fs::exists(folder / file)) << file;
  const auto rows = TableRows(ReadAll(folder / "population.tsv"));
  EXPECT_GE(rows.size(), 2u);
  const auto record = nlohmann::json::parse(ReadAll(folder / "run.json"));
  EXPECT_EQ(record["ended_by"], "stopped");
  EXPECT_EQ(record["seed"], 3);
  // One history row per complete generation.
  EXPECT_EQ(TableRows(ReadAll(folder / "history.tsv")).size(),
            record["steps_done"].get<size_t>() + 1);
  fs::remove_all(folder);
}
