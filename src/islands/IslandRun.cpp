#include "islands/IslandRun.h"

#include "base/NumberText.h"
#include "base/Random.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/Individual.h"
#include "islands/IslandComm.h"
#include "islands/IslandTable.h"
#include "task/Migration.h"
#include "task/ReportTemplate.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>

namespace sarvanta {

namespace fs = std::filesystem;

namespace {

// What each island tells the others when they agree: its failure (the message's length + 1,
// 0 for none), whether it asks to stop, and two numbers of the moment.
constexpr size_t kStatusNumbers = 4;

// The folder where an island other than 0 keeps its trace log while it runs; removed at the
// end, whatever happens.
class TScratchFolder {
 public:
  explicit TScratchFolder(int island)
      : path_(fs::temp_directory_path() /
              ("sarvanta-island-" + std::to_string(getpid()) + "-" + std::to_string(island))) {
    fs::create_directories(path_);
  }
  ~TScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;
  std::string Path() const { return path_.string(); }

 private:
  fs::path path_;
};

long double MeanFitness(const TGeneticAlgorithm& a) {
  if (a.Population.Count() == 0) return std::numeric_limits<long double>::quiet_NaN();
  long double sum = 0;
  for (int i = 0; i < a.Population.Count(); ++i) sum += a.Individual(a.Population, i)->Fitness;
  return sum / a.Population.Count();
}

long double BestFitness(const TGeneticAlgorithm& a) {
  return a.Population.Count() > 0 ? a.Individual(a.Population, 0)->Fitness
                                  : std::numeric_limits<long double>::infinity();
}

class TIslandDriver {
 public:
  TIslandDriver(TIslandComm& comm, const TIslandSettings& islands, const TIslandHooks& hooks)
      : comm_(comm), islands_(islands), hooks_(hooks) {}

  TIslandOutcome Execute(TRunSettings settings);

 private:
  // Every island calls it at the same point of the run: returns every island's status,
  // island after island, or throws EIslandFailure on every island when one failed.
  std::vector<long double> Agree(const std::string& failure, bool stop, long double first,
                                 long double second);
  // Refuses islands that run different tasks (they would fall out of step).
  void CheckSameRun(const std::vector<long double>& statuses) const;
  void CheckSettings(const TGeneticAlgorithm& a) const;
  // After every generation: agree, migrate when due, record the rows.
  void OnGeneration(const TRunProgress& progress);
  bool MigrationDue(const TGeneticAlgorithm& a) const;
  // Sends this island's best, takes the previous island's; fills the row's migration part.
  // Returns the failure to report ("" when none).
  std::string Migrate(TGeneticAlgorithm& a, TIslandRow& row);
  // Puts the best individual of all islands into island 0's population; returns its island.
  int GatherBest(TGeneticAlgorithm& a);
  void Tell(const std::string& line) const {
    if (comm_.Rank() == 0 && hooks_.Message) hooks_.Message(line);
  }

  TIslandComm& comm_;
  TIslandSettings islands_;
  TIslandHooks hooks_;
  TTaskRun* run_ = nullptr;
  TIslandTable table_;
  int32_t generation_ = 0;
  bool stopAll_ = false;
};

std::vector<long double> TIslandDriver::Agree(const std::string& failure, bool stop,
                                              long double first, long double second) {
  const std::vector<long double> all =
      comm_.AllGather({failure.empty() ? 0 : static_cast<long double>(failure.size()) + 1,
                       stop ? 1.0L : 0.0L, first, second});
  for (int island = 0; island < comm_.Size(); ++island) {
    if (all[static_cast<size_t>(island) * kStatusNumbers] == 0) continue;
    const std::string message = comm_.Broadcast(failure, island);
    throw EIslandFailure(island, comm_.Rank(), message);
  }
  return all;
}

void TIslandDriver::CheckSameRun(const std::vector<long double>& statuses) const {
  for (int island = 1; island < comm_.Size(); ++island) {
    const size_t at = static_cast<size_t>(island) * kStatusNumbers;
    if (statuses[at + 2] == statuses[2] && statuses[at + 3] == statuses[3]) continue;
    throw EIslandFailure(island, comm_.Rank(),
                         "it runs " + FloatToStr(statuses[at + 2]) + " steps with population " +
                             FloatToStr(statuses[at + 3]) + ", island 0 runs " +
                             FloatToStr(statuses[2]) + " with " + FloatToStr(statuses[3]) +
                             ": every island must run the same task");
  }
}

void TIslandDriver::CheckSettings(const TGeneticAlgorithm& a) const {
  if (islands_.MigrateEvery < 1) throw Exception("--migrate-every must be at least 1");
  if (islands_.Migrants < 0) throw Exception("--migrants must not be negative");
  if (islands_.Migrants >= a.PopulationSize && comm_.Size() > 1)
    throw Exception("--migrants (" + IntToStr(islands_.Migrants) +
                    ") must be smaller than the population size (" + IntToStr(a.PopulationSize) +
                    ")");
}

bool TIslandDriver::MigrationDue(const TGeneticAlgorithm& a) const {
  return comm_.Size() > 1 && islands_.Migrants > 0 && !stopAll_ &&
         generation_ % islands_.MigrateEvery == 0 && generation_ < a.NumberOfSteps;
}

std::string TIslandDriver::Migrate(TGeneticAlgorithm& a, TIslandRow& row) {
  const std::vector<TMigrant> outgoing = BestMigrants(a, islands_.Migrants);
  const std::vector<long double> incoming = comm_.PassAlongRing(FlattenMigrants(outgoing));
  row.Sent = static_cast<int32_t>(outgoing.size());
  try {
    row.Taken = ReplaceWorst(a, UnflattenMigrants(incoming));
    // The newcomers are scored here, on this island's frame, so that the table shows what
    // arrived; the next generation finds them scored and does not score them again.
    a.EvaluateIndividuals(a.Population);
    a.FitnessFunc(a.Population);
    for (int i = a.Population.Count() - row.Taken; i < a.Population.Count(); ++i)
      row.ReceivedBest = std::fmin(row.ReceivedBest, a.Individual(a.Population, i)->Fitness);
  } catch (const std::exception& e) {
    return std::string("taking the migrants: ") + e.what();
  }
  return {};
}

void TIslandDriver::OnGeneration(const TRunProgress& progress) {
  TGeneticAlgorithm& a = run_->Algorithm();
  ++generation_;
  // An island that reached its accuracy has ended (Running false): the others end with it.
  const bool stop = (hooks_.StopRequested && hooks_.StopRequested()) || !a.Running;
  const std::vector<long double> all = Agree({}, stop, 0, 0);
  for (int island = 0; island < comm_.Size(); ++island)
    if (all[static_cast<size_t>(island) * kStatusNumbers + 1] != 0) stopAll_ = true;

  TIslandRow row;
  row.Best = BestFitness(a);
  row.Mean = MeanFitness(a);
  row.ReceivedBest = std::numeric_limits<long double>::quiet_NaN();
  std::string failure;
  if (MigrationDue(a)) failure = Migrate(a, row);
  table_.Add(generation_, comm_.GatherToFirst(row.ToNumbers()));
  if (comm_.Rank() == 0 && hooks_.OnStep) hooks_.OnStep(progress);
  // Reported at the islands' next agreement, which every other island reaches after its
  // next generation.
  if (!failure.empty()) throw Exception(failure);
}

int TIslandDriver::GatherBest(TGeneticAlgorithm& a) {
  const std::vector<long double> bests = comm_.AllGather({BestFitness(a)});
  const auto winner =
      static_cast<int>(std::min_element(bests.begin(), bests.end()) - bests.begin());
  if (winner == 0) return 0;
  if (comm_.Rank() == winner) comm_.Send(FlattenMigrants(BestMigrants(a, 1)), 0);
  if (comm_.Rank() == 0) {
    ReplaceWorst(a, UnflattenMigrants(comm_.Receive(winner)));
    TGeneticAlgorithm::SortByFitness(a.Population);
    a.BestFitness = BestFitness(a);
  }
  return winner;
}

TIslandOutcome TIslandDriver::Execute(TRunSettings settings) {
  const int island = comm_.Rank();
  TIslandOutcome outcome;
  outcome.Island = island;
  outcome.Islands = comm_.Size();
  outcome.Seed = comm_.Broadcast(settings.Seed.value_or(UtcMillisecondsOfDay()), 0);
  settings.Seed = IslandSeed(outcome.Seed, island);
  // Only island 0 writes the output folder; the others keep their logs aside.
  std::optional<TScratchFolder> scratch;
  if (island != 0) {
    scratch.emplace(island);
    settings.OutFolder = scratch->Path();
    settings.AutoSaveEvery = 0;
    settings.Overwrite = true;
  }
  TTaskRun run(settings);
  run_ = &run;

  std::string failure;
  try {
    run.Load();
    run.Prepare();
    CheckSettings(run.Algorithm());
  } catch (const std::exception& e) {
    failure = e.what();
  }
  CheckSameRun(
      Agree(failure, false, run.Algorithm().NumberOfSteps, run.Algorithm().PopulationSize));
  Tell("Task: " + (run.TaskFileUsed().empty() ? std::string("page defaults (no task file)")
                                              : run.TaskFileUsed()));
  Tell("Islands: " + IntToStr(comm_.Size()) + ", seed " + IntToStr(outcome.Seed) + ", " +
       IntToStr(islands_.Migrants) + " migrant(s) every " + IntToStr(islands_.MigrateEvery) +
       " generations");

  try {
    run.Run([this](const TRunProgress& progress) { OnGeneration(progress); },
            [this] { return stopAll_; });
  } catch (const EIslandFailure&) {
    throw;
  } catch (const std::exception& e) {
    Agree(e.what(), true, 0, 0);  // throws EIslandFailure naming this island
    throw;
  }
  TGeneticAlgorithm& a = run.Algorithm();
  outcome.BestIsland = GatherBest(a);
  outcome.BestFitness = BestFitness(a);
  outcome.Stopped = run.Stopped();
  outcome.StepsDone = run.StepsDone();
  outcome.NumberOfSteps = a.NumberOfSteps;
  if (island == 0)
    outcome.Files = run.WriteResults(ReportTemplateFolder(), {{"islands.tsv", table_.Text()}});
  return outcome;
}

}  // namespace

EIslandFailure::EIslandFailure(int failedIsland, int ownIsland, const std::string& message)
    : Exception("island " + std::to_string(failedIsland) + " failed: " + message),
      FailedIsland(failedIsland),
      ToldByFirstIsland(ownIsland != 0) {}

uint32_t IslandSeed(uint32_t seed, int island) {
  // Island 0 keeps the seed, so that one island is the plain run; the others' seeds lie far
  // apart (an odd multiplier spreads consecutive islands over the whole range).
  return seed ^ (static_cast<uint32_t>(island) * 0x85EBCA6Bu);
}

TIslandOutcome RunIslands(const TRunSettings& settings, const TIslandSettings& islands,
                          const TIslandHooks& hooks) {
  TIslandComm comm;
  TIslandDriver driver(comm, islands, hooks);
  return driver.Execute(settings);
}

}  // namespace sarvanta
