// Evaluating many individuals at once. The costly part of an evaluation is filling the muscle
// caches of the muscles whose controls changed (or of every muscle when the time frame
// changed); that part runs on worker threads, each on its own copy of the system. When the
// goals estimate on a copy as they do on the system, the workers score the individuals too,
// with copies of the goals. The calling thread then commits the individuals in list order,
// applying each one to the shared system, so that every value comes out bit for bit as a
// sequential evaluation gives it; goals that draw random numbers are estimated there, in order.
#pragma once

#include "ga/SystemTwin.h"
#include "ga/ThreadPool.h"
#include "ga/TwinScoring.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace sarvanta {

class TGoalFunction;
class TIndividual;
class TMechanicalSystem;
class TMuscle;
class TMuscleGeneticControl;

// The cache contents one muscle control would get from its next evaluation.
struct TPendingCache {
  TMuscleGeneticControl* Control = nullptr;
  long double StartTime = 0;
  long double EndTime = 0;
  long double TimeStep = 0;
  long double Offset = 0;
  // False when the cache keeps its samples (only its grid times are brought up to date).
  bool Sampled = false;
  // The grid the samples are taken at (when Sampled).
  std::vector<long double> Times;
  std::vector<long double> Samples;
};

using TPendingCaches = std::vector<TPendingCache>;

// The muscle controls of the individual in the order Apply visits them. Nothing when the
// individual's tree does not cover the system's muscles and motor units one for one: it is
// then left to the sequential evaluation.
std::optional<std::vector<TMuscleGeneticControl*>> MuscleControls(const TIndividual& individual,
                                                                  const TSystemTwin& twin);

// What applying the control and refreshing its muscle's cache would do to the control's cache:
// the grid times it would take and, when it would be recalculated, the grid to sample (the
// samples themselves are left to SampleCache); nothing when the cache would stay as it is.
// The control is not changed. Throws what the refresh throws for a bad grid.
std::optional<TPendingCache> PlanCache(const TMuscleGeneticControl& control);

// Writes the trains of the control into the motor units of its muscle's twin.
void WriteTrains(const TMuscleGeneticControl& control, TSystemTwin& twin);
// Fills the planned samples [begin, end) with the force of the planned control's muscle on
// `twin`, which must hold the control's trains (WriteTrains).
void SampleCache(TPendingCache& pending, TSystemTwin& twin, size_t begin, size_t end);

// Writes pending cache contents into their muscle controls and clears those controls' changed
// flags, as applying and refreshing would; applying the individual then recomputes nothing.
void CommitCaches(TPendingCaches& pending);

class TParallelEvaluator {
 public:
  TParallelEvaluator() = default;
  // Waits for the workers' calls still running.
  ~TParallelEvaluator();
  TParallelEvaluator(const TParallelEvaluator&) = delete;
  TParallelEvaluator& operator=(const TParallelEvaluator&) = delete;

  // (Re)makes `threads` - 1 workers and one copy of `system` for each of them and for the
  // calling thread, which samples too while it waits; with one thread (or no system) there
  // are none and Prefill does nothing. When a copy cannot be made there are
  // none either (LastError says why) until the next Prepare.
  void Prepare(TMechanicalSystem* system, int threads);
  int Threads() const { return pool_ ? pool_->Size() + 1 : 1; }

  // Starts computing, on the workers, the pending caches of every individual and, when the
  // goals can be copied, its goal values (remaking the copies of the system first when it
  // changed, and bringing their parameters up to date), and returns at once: the workers go
  // through the individuals in list order while the caller commits the earlier ones. The
  // individuals must stay as they are until their turn to be committed.
  void Prefill(const std::vector<TIndividual*>& individuals, TMechanicalSystem* system, int threads,
               const std::vector<TGoalFunction*>& goals);
  // Works on the calling thread until the workers are done with entry `index`, then commits
  // the caches they computed (nothing when they computed nothing or failed) and gives the goal
  // values they estimated: nothing when the goals are left to the caller.
  std::optional<std::vector<long double>> Commit(size_t index);
  // Waits for the workers and forgets every pending result.
  void Discard();
  // Waits for the workers; the results not committed are forgotten.
  void Finish() { Discard(); }

  // Why the last Prepare left no workers ("" when it did not fail).
  std::string LastError;
  // Individuals with caches computed on the workers, since the evaluator was made.
  uint64_t Prefilled = 0;
  // Individuals whose goals were estimated on the workers, since the evaluator was made.
  uint64_t Scored = 0;

 private:
  bool Ready(TMechanicalSystem* system, int threads) const;
  // One worker call: a part of the cache of one muscle control of one individual, or the
  // goals of an individual without caches to compute. The call that ends an individual's
  // sampling scores it.
  void RunTask(size_t index, int worker);
  void Sample(size_t individual, size_t slot, size_t begin, size_t end, size_t thread);
  // Writes the control's trains into the thread's twin unless it holds the individual's already.
  void HoldTrains(const TMuscleGeneticControl& control, size_t individual, size_t thread);
  void Score(size_t individual, size_t thread);
  // Makes a copy of the goals for every thread when they can be copied and the copies of the
  // system show the goals what the system shows them; false when the goals stay with the
  // caller.
  bool PrepareScoring(TMechanicalSystem* system, int threads,
                      const std::vector<TGoalFunction*>& goals);

  // A run of grid samples of the cache of one muscle control of one individual (the whole
  // grid, or a part of it near the end of a round so that every thread stays busy to the
  // end), or the scoring of an individual with no cache to compute.
  struct TTask {
    size_t Individual;
    size_t Slot;  // kScoreOnly for an individual with no cache to compute
    size_t Begin;
    size_t End;
  };
  static constexpr size_t kScoreOnly = static_cast<size_t>(-1);
  // The parts one grid of `samples` times is sampled in when it is cut.
  size_t PartCount(size_t samples) const;
  // Cuts the last tasks of the round into parts and counts every individual's tasks.
  void SplitLastTasks();
  // Plans the individual's caches and queues a task for every grid to sample (or, when the
  // workers score, one to score an individual with none); false when that fails (the
  // sequential evaluation then meets the failure itself).
  bool Plan(size_t individual, TIndividual& candidate, const TMechanicalSystem& system);

  std::unique_ptr<TThreadPool> pool_;
  std::vector<std::unique_ptr<TSystemTwin>> twins_;
  // One per twin; made after the twins, so gone before them.
  std::vector<std::unique_ptr<TTwinScorer>> scorers_;
  // The view of the system the twins were last remade for, because they did not show it.
  std::string remadeFor_;
  // The round of work handed to the workers by Prefill.
  bool started_ = false;
  bool scoring_ = false;
  std::vector<TTask> tasks_;
  std::vector<TIndividual*> individuals_;
  std::vector<std::vector<TMuscleGeneticControl*>> controls_;
  std::vector<uint8_t> failed_;
  std::vector<std::optional<TPendingCaches>> pending_;
  std::vector<std::optional<std::vector<long double>>> scores_;
  // Worker calls not yet ended, and whether the individual is done; guarded by doneMutex_.
  std::vector<size_t> remaining_;
  std::vector<uint8_t> ready_;
  // Per evaluation thread: for every twin muscle, the individual whose trains it holds in this
  // round, so that a thread sampling several parts of one muscle writes its trains once.
  std::vector<std::unordered_map<const TMuscle*, size_t>> holding_;
  std::mutex doneMutex_;
  std::condition_variable done_;
  // The system no copy could be made of: evaluation stays on the calling thread for it.
  const TMechanicalSystem* failedFor_ = nullptr;
};

}  // namespace sarvanta
