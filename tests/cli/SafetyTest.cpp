// sarvanta-cli never destroys the user's data, never hangs and never reports a failure as
// success: inputs are never written over, limits and bad numbers are refused with the field
// named, output that cannot be written fails the command, a run folder holds one run, and
// messages show control bytes escaped.
#include "cli/CliRun.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticOperation.h"
#include "ga/TaskFile.h"
#include "model/ProjectFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace sarvanta {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = SARVANTA_EXAMPLES_DIR;

using clitest::Quote;
using clitest::Slurp;
using clitest::TOutcome;

class CliSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("sarvanta-safety-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  // Runs sarvanta-cli; standard output goes to `out` (a file of the folder by default).
  TOutcome Run(const std::vector<std::string>& arguments, const std::string& out = "") {
    std::string command = Quote(SARVANTA_CLI);
    for (const std::string& argument : arguments) command += " " + Quote(argument);
    const std::string outFile = out.empty() ? Path("stdout") : out;
    command += " >" + Quote(outFile) + " 2>" + Quote(Path("stderr"));
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out.empty() ? Slurp(outFile) : "",
            Slurp(Path("stderr"))};
  }

  // The elbow project and its task copied into the folder.
  void CopyElbow() {
    fs::copy_file(kExamples + "/elbow.svt", Path("elbow.svt"));
    fs::copy_file(kExamples + "/elbow.hga", Path("elbow.hga"));
  }

  // The elbow task with a change, saved under `name`.
  std::string Task(const std::string& name, void (*change)(TGeneticAlgorithm&)) {
    TGeneticAlgorithm algorithm;
    LoadTaskFromFile(algorithm, kExamples + "/elbow.hga");
    change(algorithm);
    SaveTaskToFile(algorithm, Path(name));
    return Path(name);
  }

  fs::path folder_;
};

bool OneLine(const std::string& text) { return text.find('\n') == text.size() - 1; }

// True when a file `name` lies in a folder below `folder` (a run's staging folder) and holds
// `text`.
bool Staged(const fs::path& folder, const std::string& name, const std::string& text = "") {
  try {
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      if (entry.path().parent_path() != folder && entry.path().filename() == name &&
          Slurp(entry.path()).find(text) != std::string::npos)
        return true;
  } catch (const fs::filesystem_error&) {  // the staging folder went while we looked
  }
  return false;
}

TEST_F(CliSafety, InputsAreNeverWrittenOver) {
  CopyElbow();
  const std::string project = Slurp(Path("elbow.svt"));
  const std::string task = Slurp(Path("elbow.hga"));
  fs::copy_file(Path("elbow.hga"), Path("other.hga"));
  fs::create_hard_link(Path("other.hga"), Path("same.hga"));
  std::ofstream(Path("x.json")) << Slurp(kExamples + "/elbow-task.json");
  fs::create_directory(Path("linked"));
  fs::create_symlink(Path("elbow.hga"), Path("linked/elbow.hga"));
  const struct {
    std::vector<std::string> Arguments;
    std::string Message;
  } cases[] = {
      {{"run", Path("elbow.svt"), "--steps", "1", "--out", folder_.string()}, "would replace"},
      {{"run", Path("elbow.svt"), "--steps", "1", "--out", Path("."), "--overwrite"},
       "would replace the input"},
      // The task beside the project is kept even when another task is run (here the output
      // folder's elbow.hga is a link to it).
      {{"run", Path("elbow.svt"), "--task", Path("other.hga"), "--steps", "1", "--out",
        Path("linked"), "--overwrite"},
       "elbow.hga would replace the input"},
      {{"report", Path("other.hga"), "-o", Path("other.hga")}, "is the input"},
      {{"report", Path("other.hga"), "-o", Path("same.hga")}, "is the input"},  // a hard link
      {{"build", Path("x.json"), "-o", Path("x.json")}, "is the input"},
  };
  for (const auto& c : cases) {
    const TOutcome outcome = Run(c.Arguments);
    EXPECT_EQ(outcome.Status, 1) << c.Arguments[0] << ": " << outcome.Err;
    EXPECT_NE(outcome.Err.find(c.Message), std::string::npos) << outcome.Err;
  }
  EXPECT_EQ(Slurp(Path("elbow.svt")), project);
  EXPECT_EQ(Slurp(Path("elbow.hga")), task);
  EXPECT_EQ(Slurp(Path("other.hga")), task);
  EXPECT_EQ(Slurp(Path("x.json")), Slurp(kExamples + "/elbow-task.json"));
  EXPECT_FALSE(fs::exists(Path("trace.log")));
}

TEST_F(CliSafety, LimitsNonNumbersAndLongFormulasAreRefusedNamingWhatIsWrong) {
  const std::string huge = Task("huge.hga", [](TGeneticAlgorithm& a) {
    a.MutationsPerStep = std::numeric_limits<int32_t>::max();
  });
  const std::string points = Task("points.hga", [](TGeneticAlgorithm& a) {
    static_cast<TGeneticOperation*>(a.Operations.Objects(0))->NumberOfPoints = 2147483647;
  });
  const std::string nan = Task("nan.hga", [](TGeneticAlgorithm& a) {
    a.MoveFrameWith = std::numeric_limits<long double>::quiet_NaN();
  });
  const std::string elbow = kExamples + "/elbow.svt";
  const std::string formula = "t*" + std::string(260, '1') + "*0";
  const struct {
    std::vector<std::string> Arguments;
    std::string Message;
  } cases[] = {
      {{"run", elbow, "--task", huge, "--out", Path("o")},
       "TGeneticAlgorithm.MutationsPerStep is 2147483647: it must be between -2147483648 and "
       "100000"},
      {{"run", elbow, "--task", points, "--out", Path("o")},
       "NumberOfPoints is 2147483647: it must be between -2147483648 and 100000"},
      {{"run", elbow, "--population", "2147483647", "--out", Path("o")},
       "PopulationSize is 2147483647: it must be at most 1000000"},
      {{"run", elbow, "--task", nan, "--out", Path("o")},
       "nan.hga\": TGeneticAlgorithm.MoveFrameWith is NAN, not a finite number"},
      {{"eval", formula}, "a formula holds at most 255 characters"},
  };
  for (const auto& c : cases) {
    const TOutcome outcome = Run(c.Arguments);
    EXPECT_EQ(outcome.Status, 1) << outcome.Err;
    EXPECT_EQ(outcome.Out, "");
    EXPECT_NE(outcome.Err.find(c.Message), std::string::npos) << outcome.Err;
    EXPECT_TRUE(OneLine(outcome.Err)) << outcome.Err;
  }
  EXPECT_FALSE(fs::exists(Path("o")));
}

TEST_F(CliSafety, OutputThatCannotBeWrittenFailsTheCommand) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::string elbow = kExamples + "/elbow.svt";
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {"dump", elbow},
           {"info", elbow},
           {"eval", "1+2"},
           {"force", elbow, "--muscle", "Biceps", "--from", "0", "--to", "10", "--step", "1"}}) {
    const TOutcome outcome = Run(arguments, "/dev/full");
    EXPECT_EQ(outcome.Status, 1) << arguments[0];
    EXPECT_NE(outcome.Err.find("Cannot write standard output"), std::string::npos) << outcome.Err;
  }
}

TEST_F(CliSafety, ARunFolderHoldsOneRunEvenWhenTheNextRunIsKilled) {
  const std::string elbow = kExamples + "/elbow.svt";
  const std::string out = Path("out");
  const std::vector<std::string> common{"run", elbow,     "--steps", "3", "--seed",
                                        "5",   "--quiet", "--out",   out};
  ASSERT_EQ(Run(common).Status, 0);
  const std::vector<std::string> names{"elbow.svt",  "elbow.hga", "population.tsv", "goals.tsv",
                                       "forces.tsv", "trace.log", "report.html"};
  std::vector<std::string> first;
  for (const std::string& name : names) first.push_back(Slurp(fs::path(out) / name));

  // The folder holds a run: without --overwrite another run is refused.
  const TOutcome refused = Run(common);
  EXPECT_EQ(refused.Status, 1);
  EXPECT_NE(refused.Err.find("holds the results of a run"), std::string::npos) << refused.Err;

  // A second run, killed while it works, leaves the first run's files as they were.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    freopen("/dev/null", "w", stdout);
    freopen("/dev/null", "w", stderr);
    execl(SARVANTA_CLI, SARVANTA_CLI, "run", elbow.c_str(), "--steps", "100000", "--out",
          out.c_str(), "--overwrite", "--autosave-every", "1", static_cast<char*>(nullptr));
    _exit(127);
  }
  // Wait until the second run has saved automatically at least once.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (!Staged(out, "elbow.svt") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  for (size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(Slurp(fs::path(out) / names[i]), first[i]) << names[i];
}

TEST_F(CliSafety, CtrlCStopsWithinALongGeneration) {
  const std::string task = Task("long.hga", [](TGeneticAlgorithm& a) {
    a.MutationsPerStep = 100'000;  // one generation takes far longer than the test waits
    a.PopulationSize = 2;
  });
  const std::string out = Path("out");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    freopen("/dev/null", "w", stdout);
    freopen("/dev/null", "w", stderr);
    execl(SARVANTA_CLI, SARVANTA_CLI, "run", (kExamples + "/elbow.svt").c_str(), "--task",
          task.c_str(), "--steps", "3", "--threads", "1", "--out", out.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  // Wait until the first generation's mutations are under way.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!Staged(out, "trace.log", "Mutation applied") &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  kill(child, SIGINT);
  int status = 0;
  deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (waitpid(child, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (waitpid(child, &status, WNOHANG) == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "the run did not stop within 20 s of Ctrl+C";
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  EXPECT_NE(Slurp(fs::path(out) / "trace.log").find("Stopped within step 0"), std::string::npos);
  EXPECT_TRUE(fs::exists(fs::path(out) / "population.tsv"));
}

TEST_F(CliSafety, MessagesEscapeControlBytesNameFilesAndArgumentErrorsExitTwo) {
  // A property name that would clear the terminal and break the line.
  std::string bytes = Slurp(kExamples + "/elbow.svt");
  const std::string descr = std::string("\x05") + "Descr";
  const size_t at = bytes.find(descr);
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at, descr.size(), std::string("\x05") + "\x1b[2J\n");
  std::ofstream(Path("escape.svt"), std::ios::binary) << bytes;
  const TOutcome escaped = Run({"info", Path("escape.svt")});
  EXPECT_EQ(escaped.Status, 1);
  EXPECT_NE(escaped.Err.find("Unknown property \"\\x1b[2J\\x0a\""), std::string::npos)
      << escaped.Err;
  EXPECT_TRUE(OneLine(escaped.Err)) << escaped.Err;

  std::ofstream(Path("garbage.svt")) << "TPF0\x03";
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {"info", folder_.string()}, {"dump", folder_.string()}, {"dump", Path("garbage.svt")}}) {
    const TOutcome outcome = Run(arguments);
    EXPECT_EQ(outcome.Status, 1) << arguments[0];
    EXPECT_NE(outcome.Err.find(arguments[1]), std::string::npos) << outcome.Err;
  }

  const struct {
    std::vector<std::string> Arguments;
    std::string Usage;
  } usage[] = {
      {{"run"}, "Usage: sarvanta-cli run PROJECT [OPTIONS]"},
      {{"info", "x.svt", "--bogus"}, "Usage: sarvanta-cli info PROJECT [OPTIONS]"},
      {{"frobnicate"}, "Usage: sarvanta-cli COMMAND [OPTIONS]"},
      {{"run", "x.svt", "--steps", "many"}, "Usage: sarvanta-cli run PROJECT"},
  };
  for (const auto& c : usage) {
    const TOutcome outcome = Run(c.Arguments);
    EXPECT_EQ(outcome.Status, 2) << c.Arguments[0];
    EXPECT_NE(outcome.Err.find(c.Usage), std::string::npos) << outcome.Err;
  }
}

TEST_F(CliSafety, BuildChecksValuesAgainstTheClassesWithTheirJsonPath) {
  const std::string head = R"({"signature": "TPF0", "root": {"class": "TMechanicalSystem",)";
  const struct {
    std::string Json;
    std::string Message;
  } cases[] = {
      {head + R"("properties": [{"name": "Bones", "value": 1}]}})",
       "JSON root.properties[0]: \"Bones\" holds \"records\""},
      {head + R"("properties": [{"name": "Bones", "records": [{"class": "TBone", "properties":
          [{"name": "Length", "value": "long"}]}]}]}})",
       "JSON root.properties[0].records[0].properties[0].value: expected a number"},
      {head + R"("properties": [{"name": "Bones", "records": [{"class": "TBone", "properties":
          [{"name": "Colour", "value": 1}]}]}]}})",
       "\"TBone\" has no property \"Colour\""},
      {R"({"signature": "TPF0", "root": {"class": "TBone", "properties": []}})",
       "JSON root.class: a project holds a \"TMechanicalSystem\""},
      {head + R"("properties": [{"name": "Bones", "records": [{"class": "TBone", "properties":
          [{"name": "Descr", "value": {"nil": false}}]}]}]}})",
       "expected a string"},
  };
  for (const auto& c : cases) {
    std::ofstream(Path("in.json")) << c.Json;
    const TOutcome outcome = Run({"build", Path("in.json"), "-o", Path("out.svt")});
    EXPECT_EQ(outcome.Status, 1) << c.Json;
    EXPECT_NE(outcome.Err.find(c.Message), std::string::npos) << outcome.Err;
    EXPECT_FALSE(fs::exists(Path("out.svt")));
  }
}

}  // namespace
}  // namespace sarvanta
