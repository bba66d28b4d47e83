// Island runs of sarvanta-cli under mpirun with two islands (oversubscribed on small machines;
// allowed as root, as CI runs).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string Examples = SARVANTA_EXAMPLES_DIR;
const std::string Elbow = Examples + "/elbow.svt";
const std::string Mpirun = std::string(SARVANTA_MPIRUN) + " --oversubscribe";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct TOutcome {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

TOutcome Shell(const std::string& command) {
  const fs::path out = fs::temp_directory_path() / "sarvanta-islands-test.out";
  const fs::path err = fs::temp_directory_path() / "sarvanta-islands-test.err";
  const std::string line = command + " >'" + out.string() + "' 2>'" + err.string() + "'";
  const int status = std::system(line.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err)};
}

std::string Cli() { return std::string("'") + SARVANTA_CLI + "'"; }

// `np` islands of one run; `arguments` follow "run".
TOutcome Islands(int np, const std::string& arguments) {
  return Shell(Mpirun + " -np " + std::to_string(np) + " " + Cli() + " run " + arguments +
               " --islands --quiet");
}

fs::path FreshFolder(const std::string& name) {
  const fs::path folder = fs::temp_directory_path() / ("sarvanta-islands-" + name);
  fs::remove_all(folder);
  return folder;
}

class IslandRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(SARVANTA_MPIRUN))
      GTEST_SKIP() << "mpirun is not installed: island runs untested";
    setenv("OMPI_ALLOW_RUN_AS_ROOT", "1", 1);
    setenv("OMPI_ALLOW_RUN_AS_ROOT_CONFIRM", "1", 1);
  }
};

// One row of islands.tsv.
struct TRow {
  double Best = 0;
  int Sent = 0;
  int Taken = 0;
  std::string ReceivedBest;
};

// (island, generation) -> row.
std::map<std::pair<int, int>, TRow> IslandRows(const fs::path& file) {
  std::map<std::pair<int, int>, TRow> rows;
  std::istringstream text(ReadAll(file));
  std::string line;
  std::getline(text, line);
  EXPECT_EQ(line, "island\tgeneration\tbest\tmean\tsent\ttaken\treceived_best");
  while (std::getline(text, line)) {
    std::vector<std::string> cells;
    std::istringstream fields(line);
    std::string cell;
    while (std::getline(fields, cell, '\t')) cells.push_back(cell);
    if (cells.size() == 6) cells.push_back("");
    EXPECT_EQ(cells.size(), 7u) << line;
    if (cells.size() != 7) continue;
    rows[{std::stoi(cells[0]), std::stoi(cells[1])}] = {std::stod(cells[2]), std::stoi(cells[4]),
                                                        std::stoi(cells[5]), cells[6]};
  }
  return rows;
}

const char* const RunFiles[] = {"elbow.svt",      "elbow.hga", "population.tsv", "goals.tsv",
                                "forces.tsv",     "trace.log", "report.html",    "islands.tsv",
                                "qelvo_line.gif", "line.gif"};

void ExpectCompleteFolder(const fs::path& folder) {
  for (const char* name : RunFiles)
    EXPECT_GT(fs::exists(folder / name) ? fs::file_size(folder / name) : 0u, 0u) << name;
  for (const auto& entry : fs::directory_iterator(folder))
    EXPECT_EQ(entry.path().filename().string().rfind(".sarvanta-run-", 0), std::string::npos)
        << "staging folder left: " << entry.path();
}

TEST_F(IslandRun, ASeededRunRepeatsBitForBitAndFillsItsFolder) {
  const fs::path first = FreshFolder("repeat-1");
  const fs::path second = FreshFolder("repeat-2");
  const fs::path other = FreshFolder("repeat-other");
  const std::string common = Elbow + " --steps 12 --seed 7 --migrate-every 3 --migrants 2";
  const TOutcome a = Islands(2, common + " --threads 1 --out " + first.string());
  ASSERT_EQ(a.ExitCode, 0) << a.Err;
  const TOutcome b = Islands(2, common + " --threads 2 --out " + second.string());
  ASSERT_EQ(b.ExitCode, 0) << b.Err;
  ExpectCompleteFolder(first);
  for (const char* name :
       {"elbow.svt", "population.tsv", "goals.tsv", "forces.tsv", "trace.log", "islands.tsv"})
    EXPECT_EQ(ReadAll(first / name), ReadAll(second / name)) << name;
  EXPECT_NE(a.Out.find("after 12 of 12 steps"), std::string::npos) << a.Out;

  const auto rows = IslandRows(first / "islands.tsv");
  EXPECT_EQ(rows.size(), 24u);
  // The islands evolve apart (their own seeds).
  EXPECT_NE(rows.at({0, 1}).Best, rows.at({1, 1}).Best);
  // Another seed, another run.
  ASSERT_EQ(Islands(2, Elbow + " --steps 12 --seed 8 --out " + other.string()).ExitCode, 0);
  EXPECT_NE(ReadAll(first / "islands.tsv"), ReadAll(other / "islands.tsv"));
}

TEST_F(IslandRun, MigrantsArriveAndTheBestOfAllIslandsIsWritten) {
  const fs::path folder = FreshFolder("migrants");
  const int steps = 14;
  const TOutcome run =
      Islands(2, Elbow + " --steps " + std::to_string(steps) +
                     " --seed 11 --migrate-every 4 --migrants 3 --out " + folder.string());
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const auto rows = IslandRows(folder / "islands.tsv");
  ASSERT_EQ(rows.size(), static_cast<size_t>(2 * steps));
  double bestOfAll = 1e300;
  for (int island = 0; island < 2; ++island) {
    for (int g = 1; g <= steps; ++g) {
      const TRow& row = rows.at({island, g});
      const bool migration = g % 4 == 0 && g < steps;
      EXPECT_EQ(row.Sent, migration ? 3 : 0) << island << " " << g;
      EXPECT_EQ(row.Taken, migration ? 3 : 0) << island << " " << g;
      EXPECT_EQ(row.ReceivedBest.empty(), !migration) << island << " " << g;
      if (!migration) continue;
      // After the migration the island is at least as good as the best it took.
      EXPECT_LE(rows.at({island, g + 1}).Best, std::stod(row.ReceivedBest)) << island << " " << g;
    }
    bestOfAll = std::min(bestOfAll, rows.at({island, steps}).Best);
  }
  // population.tsv: the best of any island comes first.
  std::istringstream population(ReadAll(folder / "population.tsv"));
  std::string header, first;
  std::getline(population, header);
  std::getline(population, first);
  const std::string fitness = first.substr(2, first.find('\t', 2) - 2);
  EXPECT_DOUBLE_EQ(std::stod(fitness), bestOfAll) << first;
}

TEST_F(IslandRun, OneIslandIsThePlainRun) {
  const fs::path plain = FreshFolder("plain");
  const fs::path island = FreshFolder("one-island");
  const std::string common = Elbow + " --steps 10 --seed 3 --threads 1 --quiet --out ";
  const TOutcome p = Shell(Cli() + " run " + common + plain.string());
  ASSERT_EQ(p.ExitCode, 0) << p.Err;
  const TOutcome i = Islands(1, common + island.string());
  ASSERT_EQ(i.ExitCode, 0) << i.Err;
  for (const char* name : {"elbow.svt", "elbow.hga", "population.tsv", "goals.tsv", "forces.tsv",
                           "trace.log", "report.html"})
    EXPECT_EQ(ReadAll(plain / name), ReadAll(island / name)) << name;
  EXPECT_TRUE(fs::exists(island / "islands.tsv"));
  EXPECT_FALSE(fs::exists(plain / "islands.tsv"));
}

TEST_F(IslandRun, AFailingIslandEndsEveryIslandAndIsNamed) {
  // Island 1 reads another task: at its start a missing file; then, once running, a goal whose
  // value overflows to not a number in the first generation.
  const fs::path folder = FreshFolder("failing");
  fs::create_directories(folder);
  const std::string badTask = (folder / "bad.hga").string();
  const TOutcome dumped = Shell(Cli() + " dump " + Examples + "/elbow.hga");
  ASSERT_EQ(dumped.ExitCode, 0) << dumped.Err;
  std::string json = dumped.Out;
  const std::string formula = "\"a+b*(1-cos(c*t))\"";
  const auto at = json.find(formula);
  ASSERT_NE(at, std::string::npos);
  json.replace(at, formula.size(), "\"a+b*(1-cos(c*t))+1e4000*t\"");
  std::ofstream(folder / "bad.json") << json;
  ASSERT_EQ(Shell(Cli() + " build " + (folder / "bad.json").string() + " -o " + badTask).ExitCode,
            0);

  const std::string out = " --out " + (folder / "out").string();
  const std::string island0 = Cli() + " run " + Elbow + " --steps 60 --seed 1 --islands" + out;
  for (const std::string& task : {(folder / "missing.hga").string(), badTask}) {
    const TOutcome run = Shell(Mpirun + " -np 1 " + island0 + " : -np 1 " + Cli() + " run " +
                               Elbow + " --steps 60 --seed 1 --islands --task " + task + out);
    EXPECT_NE(run.ExitCode, 0) << task;
    EXPECT_NE(run.Err.find("sarvanta-cli: island 1 failed: "), std::string::npos) << run.Err;
    // One line tells it, from island 0; island 1 does not repeat it.
    const auto first = run.Err.find("sarvanta-cli:");
    EXPECT_EQ(run.Err.find("sarvanta-cli:", first + 1), std::string::npos) << run.Err;
    if (task == badTask)
      EXPECT_NE(run.Err.find("not a finite number"), std::string::npos) << run.Err;
    else
      EXPECT_NE(run.Err.find("missing.hga"), std::string::npos) << run.Err;
  }
}

TEST_F(IslandRun, StopAtTheLauncherEndsEveryIslandAndWritesTheResults) {
  const fs::path folder = FreshFolder("stop");
  const fs::path err = fs::temp_directory_path() / "sarvanta-islands-stop.err";
  // The launcher passes the stop on as SIGTERM and kills only after the timeout given here.
  const std::string command = "exec " + Mpirun + " --mca odls_base_sigkill_timeout 60 -np 2 " +
                              Cli() + " run " + Elbow +
                              " --steps 100000 --seed 2 --islands --out " + folder.string() +
                              " 2>'" + err.string() + "' >/dev/null";
  const pid_t launcher = fork();
  ASSERT_GE(launcher, 0);
  if (launcher == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // Some generations are done by then (the launcher forwards standard error only in blocks).
  std::this_thread::sleep_for(std::chrono::seconds(3));
  kill(launcher, SIGINT);
  int status = 0;
  waitpid(launcher, &status, 0);
  const std::string messages = ReadAll(err);
  EXPECT_NE(messages.find("Stopped after step"), std::string::npos) << messages;
  ExpectCompleteFolder(folder);
  // Both islands ended after the same generation.
  const auto rows = IslandRows(folder / "islands.tsv");
  ASSERT_FALSE(rows.empty());
  const int last = rows.rbegin()->first.second;
  EXPECT_LT(last, 100000);
  EXPECT_EQ(rows.count({0, last}) + rows.count({1, last}), 2u);
  EXPECT_EQ(rows.size(), static_cast<size_t>(2 * last));
}

}  // namespace
