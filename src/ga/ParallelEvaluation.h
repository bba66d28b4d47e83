// Evaluating many individuals at once. The costly part of an evaluation is filling the muscle
// caches of the muscles whose controls changed (or of every muscle when the time frame
// changed); that part runs on worker threads, each on its own copy of the system. The goals
// then run one individual after the other on the shared system, in list order, where every
// cache is found current: the generator draws of goal expressions and the trace keep their
// order, and every value comes out bit for bit as a sequential evaluation gives it.
#pragma once

#include "ga/SystemTwin.h"
#include "ga/ThreadPool.h"

#include <cstddef>
#include <cstdint>
#include <memory>
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
  std::vector<long double> Samples;
};

using TPendingCaches = std::vector<TPendingCache>;

// The muscle controls of the individual whose caches applying it and refreshing the caches
// would change (recomputed, or their grid times brought up to date), in the order Apply visits
// them. Nothing when the individual's tree does not cover the system's muscles and motor units
// one for one: it is then left to the sequential evaluation.
std::optional<std::vector<TMuscleGeneticControl*>> ControlsToRefresh(const TIndividual& individual,
                                                                     const TSystemTwin& twin);

// Computes on `twin` what applying the control and refreshing its muscle's cache would put
// into the control's cache, without changing the control. Throws what the refresh throws.
TPendingCache ComputeCache(const TMuscleGeneticControl& control, TSystemTwin& twin);

// Writes pending cache contents into their muscle controls and clears those controls' changed
// flags, as applying and refreshing would; applying the individual then recomputes nothing.
void CommitCaches(TPendingCaches& pending);

class TParallelEvaluator {
 public:
  // (Re)makes `threads` workers, each with its own copy of `system`; with one thread (or no
  // system) there are none and Prefill does nothing. When a copy cannot be made there are
  // none either (LastError says why) until the next Prepare.
  void Prepare(TMechanicalSystem* system, int threads);
  int Threads() const { return pool_ ? pool_->Size() : 1; }

  // Computes, on the workers, the pending caches of every individual (remaking the copies
  // first when the system changed shape, and bringing their parameters up to date). The
  // individuals must stay as they are until their turn to be committed.
  void Prefill(const std::vector<TIndividual*>& individuals, TMechanicalSystem* system,
               int threads);
  // Commits what Prefill computed for entry `index` (nothing when it computed nothing).
  void Commit(size_t index);
  // Forgets every pending result.
  void Discard() { pending_.clear(); }

  // Why the last Prepare left no workers ("" when it did not fail).
  std::string LastError;
  // Individuals with caches computed on the workers, since the evaluator was made.
  uint64_t Prefilled = 0;

 private:
  bool Ready(TMechanicalSystem* system, int threads) const;

  std::unique_ptr<TThreadPool> pool_;
  std::vector<std::unique_ptr<TSystemTwin>> twins_;
  std::vector<std::optional<TPendingCaches>> pending_;
  // The system no copy could be made of: evaluation stays on the calling thread for it.
  const TMechanicalSystem* failedFor_ = nullptr;
};

}  // namespace sarvanta
