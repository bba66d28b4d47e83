// What a user takes away from sarvanta-cli: the run folder's tables and record, the trains and
// check commands, messages that say what is wrong, and an elbow example whose flexion is done
// by the flexors.
#include "cli/CliRun.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace sarvanta {
namespace {

namespace fs = std::filesystem;
using clitest::RunCli;
using clitest::Slurp;
using clitest::TOutcome;

const std::string kExamples = SARVANTA_EXAMPLES_DIR;
const std::string kElbow = kExamples + "/elbow.svt";

using TTable = std::vector<std::vector<std::string>>;

TTable Rows(const std::string& text) {
  TTable rows;
  std::stringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> cells;
    std::stringstream cellText(line);
    std::string cell;
    while (std::getline(cellText, cell, '\t')) cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The mean of |goal - result| of the first goal in a run folder's goals.tsv.
double MeanMismatch(const fs::path& folder) {
  const TTable rows = Rows(Slurp(folder / "goals.tsv"));
  double sum = 0;
  for (size_t i = 1; i < rows.size(); ++i)
    sum += std::abs(std::stod(rows[i][1]) - std::stod(rows[i][2]));
  return sum / static_cast<double>(rows.size() - 1);
}

class Outputs : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("sarvanta-outputs-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  TOutcome Run(const std::vector<std::string>& arguments) { return RunCli(arguments, folder_); }

  TOutcome RunElbow(const std::string& out, std::vector<std::string> more) {
    std::vector<std::string> arguments{"run", kElbow, "--quiet", "--out", Path(out)};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return Run(arguments);
  }

  fs::path folder_;
};

TEST_F(Outputs, ASeededRunWritesTablesWithUnitsAHistoryAndItsRecord) {
  const TOutcome run = RunElbow("a", {"--steps", "12", "--population", "5", "--seed", "11"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  const fs::path a = Path("a");
  const struct {
    const char* File;
    const char* Header;
  } headers[] = {
      {"forces.tsv", "t [ms]\tBiceps [N]\tBrachialis [N]\tBrachioradialis [N]\tTriceps [N]"},
      {"goals.tsv",
       "t [ms]\tJoint angle goal [N·m]\tJoint angle result [N·m]\tMinimal aggregate force goal "
       "[N]\tMinimal aggregate force result [N]"},
      {"trains.tsv", "muscle\tunit\tt [ms]"},
      {"history.tsv",
       "step\tbest fitness\tmean fitness\timprovement\tframe from [ms]\tframe to [ms]\t"
       "evaluations\telapsed [s]"},
      {"population.tsv", "rank\tfitness\tJoint angle [N·m]\tMinimal aggregate force [N]"},
  };
  for (const auto& h : headers) {
    const std::string text = Slurp(a / h.File);
    EXPECT_EQ(FirstLine(text), h.Header) << h.File;
    EXPECT_EQ(text.find('\r'), std::string::npos) << h.File;
    const TTable rows = Rows(text);
    ASSERT_GT(rows.size(), 1u) << h.File;
    for (const auto& row : rows) EXPECT_EQ(row.size(), rows[0].size()) << h.File;
  }

  // trains.tsv is the saved project's trains, exactly, and what `trains` prints of it.
  const std::string trains = Slurp(a / "trains.tsv");
  const TOutcome listed = Run({"trains", (a / "elbow.svt").string()});
  ASSERT_EQ(listed.Status, 0) << listed.Err;
  EXPECT_EQ(listed.Out, trains);
  TMechanicalSystem saved;
  LoadSystemFromFile(saved, (a / "elbow.svt").string());
  const TTable trainRows = Rows(trains);
  size_t row = 1;
  for (int m = 1; m < saved.Muscles.Count(); ++m)
    for (int u = 0; u < saved.Muscle(m)->MotorUnits.Count(); ++u)
      for (const long double t : saved.Muscle(m)->MotorUnit(u)->ImpArray()) {
        ASSERT_LT(row, trainRows.size());
        EXPECT_EQ(trainRows[row][0], saved.Muscles.Strings(m));
        EXPECT_EQ(trainRows[row][1], saved.Muscle(m)->MotorUnits.Strings(u));
        EXPECT_EQ(std::stod(trainRows[row][2]), static_cast<double>(t)) << trainRows[row][2];
        ++row;
      }
  EXPECT_EQ(row, trainRows.size());
  const TOutcome triceps = Run({"trains", (a / "elbow.svt").string(), "--muscle", "Triceps"});
  ASSERT_EQ(triceps.Status, 0) << triceps.Err;
  for (const auto& cells : Rows(triceps.Out)) EXPECT_NE(cells[0], "Biceps");

  // One history row per step; its last best is the population's best.
  const TTable history = Rows(Slurp(a / "history.tsv"));
  ASSERT_EQ(history.size(), 13u);
  for (size_t step = 1; step < history.size(); ++step)
    EXPECT_EQ(history[step][0], std::to_string(step));
  EXPECT_EQ(history.back()[1], Rows(Slurp(a / "population.tsv"))[1][1]);

  const auto record = nlohmann::json::parse(Slurp(a / "run.json"));
  EXPECT_EQ(record["seed"], 11);
  EXPECT_EQ(record["seed_given"], true);
  EXPECT_EQ(record["ended_by"], "finished");
  EXPECT_EQ(record["steps_done"], 12);
  EXPECT_EQ(record["settings"]["population_size"], 5);
  EXPECT_EQ(record["settings"]["goals"][0]["expression"], "a+b*(1-cos(c*t))");
  EXPECT_EQ(record["command_line"][0], SARVANTA_CLI);
}

TEST_F(Outputs, ARunWithoutSeedRecordsTheSeedThatRepeatsItBitForBit) {
  const std::vector<std::string> common{"--steps", "8", "--population", "4"};
  ASSERT_EQ(RunElbow("drawn", common).Status, 0);
  const auto record = nlohmann::json::parse(Slurp(Path("drawn") + "/run.json"));
  EXPECT_EQ(record["seed_given"], false);
  std::vector<std::string> again = common;
  again.push_back("--seed");
  again.push_back(std::to_string(record["seed"].get<uint32_t>()));
  ASSERT_EQ(RunElbow("again", again).Status, 0);
  for (const char* file :
       {"elbow.svt", "population.tsv", "goals.tsv", "forces.tsv", "trains.tsv", "trace.log"})
    EXPECT_EQ(Slurp(Path("again") + "/" + file), Slurp(Path("drawn") + "/" + file)) << file;
  // The history too, but for the elapsed time.
  TTable first = Rows(Slurp(Path("drawn") + "/history.tsv"));
  TTable second = Rows(Slurp(Path("again") + "/history.tsv"));
  for (TTable* table : {&first, &second})
    for (auto& cells : *table) cells.pop_back();
  EXPECT_EQ(first, second);
}

TEST_F(Outputs, RunsThatWouldScoreNothingAreRefusedBeforeAnythingIsWritten) {
  fs::copy_file(kElbow, Path("alone.svt"));
  std::ofstream(Path("bad.json"))
      << std::string(Slurp(kExamples + "/elbow-task.json"))
             .replace(Slurp(kExamples + "/elbow-task.json").find("a+b*(1-cos(c*t))"), 16,
                      "a+b*(1-cos(c*t)");
  ASSERT_EQ(Run({"build", Path("bad.json"), "-o", Path("bad.hga")}).Status, 0);
  const struct {
    std::vector<std::string> Arguments;
    std::string Message;
  } cases[] = {
      {{"run", Path("alone.svt")},
       "sarvanta-cli: the task has no goals: a run would score every solution 0 and optimise "
       "nothing (no task file was given and there is none beside the project); give a task "
       "with goals with --task\n"},
      {{"run", kElbow, "--steps", "0"},
       "sarvanta-cli: The number of steps must be at least 1 (it is 0)\n"},
      {{"run", kElbow, "--task", Path("bad.hga")},
       "sarvanta-cli: goal 1 \"Joint angle\": its formula \"a+b*(1-cos(c*t)\" does not compile "
       "(Error in Expression)\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = c.Arguments;
    arguments.insert(arguments.end(), {"--out", Path("out")});
    const TOutcome outcome = Run(arguments);
    EXPECT_EQ(outcome.Status, 1) << c.Message;
    EXPECT_EQ(outcome.Err, c.Message);
    EXPECT_FALSE(fs::exists(Path("out"))) << c.Message;
  }
}

TEST_F(Outputs, ErrorsSayWhatIsWrongWordForWord) {
  const std::string task = kExamples + "/elbow.hga";
  std::ofstream(Path("misspelt.json"))
      << std::string(Slurp(kExamples + "/elbow.json"))
             .replace(Slurp(kExamples + "/elbow.json").find("\"Fmax\""), 6, "\"FMax\"");
  const struct {
    std::vector<std::string> Arguments;
    std::string Message;
  } cases[] = {
      {{"info", task},
       "sarvanta-cli: \"" + task +
           "\" is a task file (TGeneticAlgorithm), not a project: info reads project files "
           "(.svt); task files are read by run --task, report, check and dump\n"},
      {{"force", task, "--muscle", "Biceps", "--from", "0", "--to", "10", "--step", "1"},
       "sarvanta-cli: \"" + task +
           "\" is a task file (TGeneticAlgorithm), not a project: force reads project files "
           "(.svt); task files are read by run --task, report, check and dump\n"},
      {{"report", kElbow, "-o", Path("report.html")},
       "sarvanta-cli: \"" + kElbow +
           "\" is a project file (TMechanicalSystem), not a task: report reads task files "
           "(.hga); project files are read by info, force, trains, check, run and dump\n"},
      {{"build", kExamples + "/elbow.json", "-o", "/nonexistent/x.svt"},
       "sarvanta-cli: Cannot write file \"/nonexistent/x.svt\": the folder \"/nonexistent\" "
       "does not exist\n"},
      {{"build", Path("misspelt.json"), "-o", Path("misspelt.svt")},
       "sarvanta-cli: Cannot build from \"" + Path("misspelt.json") +
           "\": JSON root.properties[2].records[0].properties[7].records[0].properties[4].name: "
           "\"TMotorUnit\" has no property \"FMax\"\n"},
      {{"trains", kElbow, "--muscle", "Deltoid"}, "sarvanta-cli: No muscle named \"Deltoid\"\n"},
  };
  for (const auto& c : cases) {
    const TOutcome outcome = Run(c.Arguments);
    EXPECT_EQ(outcome.Status, 1) << c.Arguments[0];
    EXPECT_EQ(outcome.Err, c.Message);
  }
  EXPECT_FALSE(fs::exists(Path("misspelt.svt")));

  // eval takes its options before or after "--", and a formula that starts with "-".
  const struct {
    std::vector<std::string> Arguments;
    std::string Value;
  } evals[] = {
      {{"eval", "--", "-1", "--t", "2"}, "-1\n"},
      {{"eval", "--t", "3", "--", "-t^2"}, "-9\n"},
      {{"eval", "--", "-t^2", "--t=3"}, "-9\n"},
      {{"eval", "--", "-2^2"}, "4\n"},  // a signed number, squared
      {{"eval", "--", "a*t", "--params", "2", "--t", "4"}, "8\n"},
  };
  for (const auto& e : evals) {
    const TOutcome outcome = Run(e.Arguments);
    EXPECT_EQ(outcome.Status, 0) << outcome.Err;
    EXPECT_EQ(outcome.Out, e.Value) << e.Arguments[2];
  }
  const TOutcome extra = Run({"eval", "--", "1", "2"});
  EXPECT_EQ(extra.Status, 1);
  EXPECT_EQ(extra.Err,
            "sarvanta-cli: Unexpected argument \"2\" after the formula (one formula; options --t, "
            "--x, --y, --params)\n");
}

TEST_F(Outputs, CheckListsWarningsAndPassesTheExamples) {
  for (const char* name : {"elbow", "bench-arm"}) {
    const TOutcome clean =
        Run({"check", kExamples + "/" + name + ".svt", kExamples + "/" + name + ".hga"});
    EXPECT_EQ(clean.Status, 0) << clean.Out;
    EXPECT_EQ(clean.Out, "No problems found\n");
  }
  // A bone of negative mass and a unit whose Fmin is above its Fmax, as a hand-edited file has
  // them: the file loads, check names both.
  std::string json = Slurp(kExamples + "/elbow.json");
  json.replace(json.find("\"2.0\""), 5, "\"-2.0\"");  // the Humerus' mass
  auto record = nlohmann::ordered_json::parse(json);
  auto& unit = record["root"]["properties"][2]["records"][0]["properties"][7]["records"][0];
  for (auto& property : unit["properties"])
    if (property["name"] == "Fmin") property["value"]["ext"] = "100";
  std::ofstream(Path("odd.json")) << record.dump();
  ASSERT_EQ(Run({"build", Path("odd.json"), "-o", Path("odd.svt")}).Status, 0);
  const TOutcome odd = Run({"check", Path("odd.svt")});
  EXPECT_EQ(odd.Status, 1);
  EXPECT_EQ(odd.Out,
            "warning: Bone \"Humerus\": Mass -2 is negative\n"
            "warning: Muscle \"Biceps\", motor unit \"MU1\": Fmin 100 is above Fmax 0.15\n");
  EXPECT_EQ(odd.Err, "2 warnings\n");
  EXPECT_EQ(Run({"info", Path("odd.svt")}).Status, 0);  // it still loads
}

TEST_F(Outputs, TheElbowFlexionIsDoneByTheFlexorsAndItsFitImproves) {
  ASSERT_EQ(RunElbow("start", {"--steps", "1", "--seed", "1"}).Status, 0);
  ASSERT_EQ(RunElbow("end", {"--steps", "300", "--seed", "1"}).Status, 0);
  EXPECT_LT(MeanMismatch(Path("end")), 0.6 * MeanMismatch(Path("start")));
  // Over the flexion, the three flexors together give more force than the Triceps.
  const TTable forces = Rows(Slurp(Path("end") + "/forces.tsv"));
  ASSERT_EQ(forces[0].back(), "Triceps [N]");
  double flexors = 0, triceps = 0;
  for (size_t i = 1; i < forces.size(); ++i) {
    flexors += std::stod(forces[i][1]) + std::stod(forces[i][2]) + std::stod(forces[i][3]);
    triceps += std::stod(forces[i][4]);
  }
  EXPECT_GT(flexors, 10 * triceps);
}

}  // namespace
}  // namespace sarvanta
