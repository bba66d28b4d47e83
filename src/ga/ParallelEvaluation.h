// Evaluating many individuals at once. The costly part of an evaluation is filling the muscle
// caches of the muscles whose controls changed (or of every muscle when the time frame
// changed); that part runs on worker threads, each on its own copy of the system. The goals
// then run one individual after the other on the shared system, in list order, where every
// cache is found current: the generator draws of goal expressions and the trace keep their
// order, and every value comes out bit for bit as a sequential evaluation gives it.
#pragma once

#include "ga/SystemTwin.h"
#include "ga/ThreadPool.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sarvanta {

class TIndividual;
class TMechanicalSystem;
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

// Fills the planned samples with the force of the planned control's muscle on `twin`, after
// writing the control's trains into the twin's motor units.
void SampleCache(TPendingCache& pending, TSystemTwin& twin);

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

  // Starts computing, on the workers, the pending caches of every individual (remaking the
  // copies first when the system changed shape, and bringing their parameters up to date),
  // and returns at once: the workers go through the individuals in list order while the
  // caller commits and scores the earlier ones. The individuals must stay as they are until
  // their turn to be committed.
  void Prefill(const std::vector<TIndividual*>& individuals, TMechanicalSystem* system,
               int threads);
  // Samples on the calling thread until the workers are done with entry `index`, then commits what
  // they computed (nothing when they computed nothing or failed).
  void Commit(size_t index);
  // Waits for the workers and forgets every pending result.
  void Discard();
  // Waits for the workers; the results not committed are forgotten.
  void Finish() { Discard(); }

  // Why the last Prepare left no workers ("" when it did not fail).
  std::string LastError;
  // Individuals with caches computed on the workers, since the evaluator was made.
  uint64_t Prefilled = 0;

 private:
  bool Ready(TMechanicalSystem* system, int threads) const;
  // One worker call: the cache of one muscle control of one individual.
  void RunTask(size_t index, int worker);

  // The cache of one muscle control of one individual.
  struct TTask {
    size_t Individual;
    size_t Slot;
  };
  // Plans the individual's caches and queues their parts; false when that fails (the
  // sequential evaluation then meets the failure itself).
  bool Plan(size_t individual, TIndividual& candidate);

  std::unique_ptr<TThreadPool> pool_;
  std::vector<std::unique_ptr<TSystemTwin>> twins_;
  // The round of work handed to the workers by Prefill.
  bool started_ = false;
  std::vector<TTask> tasks_;
  std::vector<uint8_t> failed_;
  std::vector<std::optional<TPendingCaches>> pending_;
  // Worker calls not yet ended, per individual; guarded by doneMutex_.
  std::vector<size_t> remaining_;
  std::mutex doneMutex_;
  std::condition_variable done_;
  // The system no copy could be made of: evaluation stays on the calling thread for it.
  const TMechanicalSystem* failedFor_ = nullptr;
};

}  // namespace sarvanta
