// The command-line tool's model commands run as a user runs them: info, force, dump, build.
#include "base/Extended.h"
#include "base/NumberText.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace sarvanta {
namespace {

namespace fs = std::filesystem;

struct TRun {
  int Status = 0;
  std::string Out;
  std::string Err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

const std::string elbow = std::string(SARVANTA_EXAMPLES_DIR) + "/elbow.svt";

class ModelCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("sarvanta-cli-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  TRun Run(const std::vector<std::string>& arguments) {
    std::string command = Quote(SARVANTA_CLI);
    for (const std::string& argument : arguments) command += " " + Quote(argument);
    command += " >" + Quote((folder_ / "out").string()) + " 2>" + Quote((folder_ / "err").string());
    TRun run;
    int status = std::system(command.c_str());
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = Slurp(folder_ / "out");
    run.Err = Slurp(folder_ / "err");
    return run;
  }

  fs::path folder_;
};

std::vector<std::vector<std::string>> Table(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> cells;
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

TEST_F(ModelCommands, ForcePrintsTheGridWithExactValues) {
  TMechanicalSystem system;
  LoadSystemFromFile(system, elbow);
  const TMuscle& biceps = *system.Muscle(system.Muscles.IndexOf("Biceps"));

  TRun run =
      Run({"force", elbow, "--muscle", "biceps", "--from", "0", "--to", "200", "--step", "12.5"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  auto rows = Table(run.Out);
  ASSERT_EQ(rows.size(), 18u);  // header and t = 0, 12.5, ..., 200
  EXPECT_EQ(rows[0], (std::vector<std::string>{"t (ms)", "Biceps (N)"}));
  for (size_t i = 1; i < rows.size(); ++i) {
    long double t = 12.5L * static_cast<long double>(i - 1);
    ASSERT_EQ(rows[i].size(), 2u);
    EXPECT_EQ(StrToFloat(rows[i][0]), t);
    // The printed text reads back to the very same extended value.
    EXPECT_EQ(EncodeExtended(StrToFloat(rows[i][1])), EncodeExtended(biceps.Force(t)))
        << rows[i][1];
  }
  EXPECT_GT(StrToFloat(rows.back()[1]), 0);

  // One motor unit; the grid ends at the rounded step count.
  run = Run({"force", elbow, "--muscle", "Triceps", "--unit", "MU3", "--from", "150", "--to",
             "160.4", "--step", "1"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  rows = Table(run.Out);
  ASSERT_EQ(rows.size(), 12u);
  EXPECT_EQ(rows[0][1], "MU3 (N)");
  const TMuscle& triceps = *system.Muscle(system.Muscles.IndexOf("Triceps"));
  EXPECT_EQ(StrToFloat(rows[11][0]), 160.0L);
  EXPECT_EQ(EncodeExtended(StrToFloat(rows[11][1])),
            EncodeExtended(triceps.MotorUnit(2)->Force(160)));
}

TEST_F(ModelCommands, BadArgumentsAndFilesFailWithOneLine) {
  struct BadCase {
    std::vector<std::string> arguments;
    std::string message;
  };
  const std::string missing = (folder_ / "missing.svt").string();
  const std::string garbage = (folder_ / "garbage.svt").string();
  std::ofstream(garbage) << "TPF0\x03";
  for (const BadCase& c : std::vector<BadCase>{
           {{"force", elbow, "--muscle", "Deltoid", "--from", "0", "--to", "1", "--step", "1"},
            "No muscle named \"Deltoid\""},
           {{"force", elbow, "--muscle", "Biceps", "--unit", "MU99", "--from", "0", "--to", "1",
             "--step", "1"},
            "No motor unit named \"MU99\" in muscle \"Biceps\""},
           {{"force", elbow, "--muscle", "Biceps", "--from", "x", "--to", "1", "--step", "1"},
            "'x' is not a valid floating point value"},
           {{"force", elbow, "--muscle", "Biceps", "--from", "0", "--to", "1", "--step", "0"},
            "The step must be greater than 0"},
           {{"force", elbow, "--muscle", "Biceps", "--from", "5", "--to", "1", "--step", "1"},
            "The end time must not be before the start time"},
           {{"force", elbow, "--muscle", "Biceps", "--from", "0", "--to", "1E30", "--step", "1"},
            "Too many rows"},
           {{"info", missing}, "Cannot open file"},
           {{"info", garbage}, "at byte 5"},
           {{"dump", garbage}, "at byte"},
           {{"build", garbage, "-o", (folder_ / "x.svt").string()}, "not valid JSON"},
       }) {
    TRun run = Run(c.arguments);
    EXPECT_NE(run.Status, 0) << c.message;
    EXPECT_EQ(run.Out, "") << c.message;
    EXPECT_NE(run.Err.find(c.message), std::string::npos) << run.Err;
    EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << run.Err;  // one line
  }
  EXPECT_FALSE(fs::exists(folder_ / "x.svt"));
}

TEST_F(ModelCommands, DumpThenBuildGivesTheSameFile) {
  TRun dump = Run({"dump", elbow});
  ASSERT_EQ(dump.Status, 0) << dump.Err;
  EXPECT_NE(dump.Out.find("\"class\": \"TMuscle\""), std::string::npos);
  std::ofstream(folder_ / "elbow.json") << dump.Out;
  TRun build =
      Run({"build", (folder_ / "elbow.json").string(), "-o", (folder_ / "copy.svt").string()});
  ASSERT_EQ(build.Status, 0) << build.Err;
  EXPECT_EQ(Slurp(folder_ / "copy.svt"), Slurp(elbow));
}

TEST_F(ModelCommands, InfoShowsTheTree) {
  TRun run = Run({"info", elbow});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("Bones 2\tJoints 1\tMuscles 4\t"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("  Joint 1: Elbow\t"), std::string::npos);
  EXPECT_NE(run.Out.find("FirstBone Humerus\tSecondBone Forearm"), std::string::npos);
  EXPECT_NE(run.Out.find("  Muscle 4: Triceps\t"), std::string::npos);
  EXPECT_NE(run.Out.find("    Motor unit 1: MU1\t"), std::string::npos);
}

}  // namespace
}  // namespace sarvanta
