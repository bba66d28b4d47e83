// An island run: under an MPI launcher every process evolves its own population of the same
// task on its own copy of the model (an ordinary TTaskRun, seeded from the run's seed and its
// rank). After every generation the islands agree, in step, whether to go on; every
// MigrateEvery generations each one sends copies of its Migrants best individuals to the next
// island of the ring and puts those it receives over its worst. At the end the best individual
// of all islands joins island 0's population, and island 0 writes the usual run folder plus
// islands.tsv. With the same seed and the same number of islands a run repeats bit for bit;
// with one island it is the plain run.
#pragma once

#include "base/Exception.h"
#include "task/RunProgress.h"
#include "task/TaskRun.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sarvanta {

struct TIslandSettings {
  // Generations between two migrations (at least 1).
  int32_t MigrateEvery = 10;
  // Individuals each island sends at a migration (0: none; fewer than the population).
  int32_t Migrants = 1;
};

struct TIslandHooks {
  // Island 0's progress after each of its generations.
  std::function<void(const TRunProgress&)> OnStep;
  // This process's own stop request (a signal); the islands stop together after the
  // generation in which any of them asked.
  std::function<bool()> StopRequested;
  // Island 0's lines for the user (the task used, the seed).
  std::function<void(const std::string&)> Message;
};

struct TIslandOutcome {
  int Island = 0;
  int Islands = 1;
  uint32_t Seed = 0;
  bool Stopped = false;
  int32_t StepsDone = 0;
  int32_t NumberOfSteps = 0;
  // The best fitness of all islands, and the island that found it.
  long double BestFitness = 0;
  int BestIsland = 0;
  // Island 0: the files written into the output folder.
  std::vector<std::string> Files;
};

// Thrown on every island when one island failed: names that island and its message.
class EIslandFailure : public Exception {
 public:
  EIslandFailure(int failedIsland, int ownIsland, const std::string& message);
  int FailedIsland = 0;
  // True on every island but 0, which tells the user.
  bool ToldByFirstIsland = false;
};

// The seed of island `island` from the run's seed: island 0 keeps it.
uint32_t IslandSeed(uint32_t seed, int island);

// Runs this process's island. `settings` are the plain run's; without a seed island 0 picks
// one from the clock and tells it through hooks.Message. Throws EIslandFailure when any island
// failed (every island ends), and what island 0 throws while writing the results.
TIslandOutcome RunIslands(const TRunSettings& settings, const TIslandSettings& islands,
                          const TIslandHooks& hooks);

}  // namespace sarvanta
