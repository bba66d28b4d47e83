#include "ga/ParallelEvaluation.h"

#include "ga/GeneticControl.h"
#include "ga/Individual.h"
#include "model/Cache.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"

#include <unordered_set>

namespace sarvanta {

namespace {

// The muscle controls of a tree in the order Apply visits them. False when the tree holds a
// chromosome whose Apply would do more than write muscle caches and motor-unit trains.
bool CollectMuscleControls(TChromosome& node, std::vector<TMuscleGeneticControl*>& controls) {
  if (auto* muscle = dynamic_cast<TMuscleGeneticControl*>(&node)) {
    controls.push_back(muscle);
    return true;
  }
  if (dynamic_cast<TMovementCenterGeneticControl*>(&node) == nullptr &&
      dynamic_cast<TMotorCenterGeneticControl*>(&node) == nullptr)
    return false;
  for (int i = 0; i < node.ChildCount(); ++i)
    if (!CollectMuscleControls(*node.Child(i), controls)) return false;
  return true;
}

// True when the controls name every muscle of the system once, each with one motor-unit
// control per motor unit of the muscle, in the muscle's order. Only then does every muscle of
// the shared system hold exactly this individual's trains and caches when its caches are
// refreshed.
bool CoverSystem(const std::vector<TMuscleGeneticControl*>& controls, const TSystemTwin& twin) {
  if (controls.size() != twin.MuscleCount()) return false;
  std::unordered_set<const TMuscle*> seen;
  for (const TMuscleGeneticControl* control : controls) {
    const TMuscle* muscle = control->Muscle();
    if (muscle == nullptr || twin.TwinOf(muscle) == nullptr || !seen.insert(muscle).second)
      return false;
    if (control->ChildCount() != muscle->MotorUnits.Count()) return false;
    for (int u = 0; u < control->ChildCount(); ++u) {
      const auto* unit = dynamic_cast<const TMotorUnitGeneticControl*>(control->Child(u));
      if (unit == nullptr || unit->MotorUnit() != muscle->MotorUnit(u)) return false;
    }
  }
  return true;
}

}  // namespace

std::optional<std::vector<TMuscleGeneticControl*>> ControlsToRefresh(const TIndividual& individual,
                                                                     const TSystemTwin& twin) {
  if (individual.Root == nullptr) return std::nullopt;
  std::vector<TMuscleGeneticControl*> controls;
  if (!CollectMuscleControls(*individual.Root, controls) || !CoverSystem(controls, twin))
    return std::nullopt;
  std::vector<TMuscleGeneticControl*> due;
  for (TMuscleGeneticControl* control : controls) {
    // The question the muscle asks its cache, put to a copy of the cache's grid.
    const TCache& cache = control->Cache();
    TCache probe(nullptr, cache.TimeFrame);
    probe.SetTimes(cache.StartTime, cache.EndTime, cache.TimeStep, cache.Offset);
    if (control->Changed || probe.TimeFrameChanged()) due.push_back(control);
  }
  return due;
}

TPendingCache ComputeCache(const TMuscleGeneticControl& control, TSystemTwin& twin) {
  TMuscle& muscle = *twin.TwinOf(control.Muscle());
  for (int u = 0; u < control.ChildCount(); ++u) {
    const auto& unit = static_cast<const TMotorUnitGeneticControl&>(*control.Child(u));
    twin.TwinOf(unit.MotorUnit())->SetImpArray(unit.Genes);
  }
  const TCache& cache = control.Cache();
  TCache scratch(nullptr, cache.TimeFrame);
  scratch.SetTimes(cache.StartTime, cache.EndTime, cache.TimeStep, cache.Offset);
  muscle.Cache = &scratch;
  muscle.CacheInvalid = control.Changed;
  try {
    muscle.UpdateCache();
  } catch (...) {
    muscle.Cache = nullptr;
    throw;
  }
  muscle.Cache = nullptr;
  // The scratch cache starts without samples: it holds some only when it was recalculated.
  TPendingCache result;
  result.Control = const_cast<TMuscleGeneticControl*>(&control);
  result.StartTime = scratch.StartTime;
  result.EndTime = scratch.EndTime;
  result.TimeStep = scratch.TimeStep;
  result.Offset = scratch.Offset;
  result.Sampled = scratch.Count != 0;
  result.Samples = std::move(scratch.Samples);
  return result;
}

void CommitCaches(TPendingCaches& pending) {
  for (TPendingCache& entry : pending) {
    TCache& cache = entry.Control->Cache();
    cache.SetTimes(entry.StartTime, entry.EndTime, entry.TimeStep, entry.Offset);
    if (entry.Sampled) cache.SetValues(std::move(entry.Samples));
    entry.Control->SetChanged(false);
  }
}

void TParallelEvaluator::Prepare(TMechanicalSystem* system, int threads) {
  pending_.clear();
  twins_.clear();
  failedFor_ = nullptr;
  LastError.clear();
  if (system == nullptr || threads <= 1) {
    pool_.reset();
    return;
  }
  try {
    if (!pool_ || pool_->Size() != threads) {
      pool_.reset();
      pool_ = std::make_unique<TThreadPool>(threads);
    }
    for (int w = 0; w < threads; ++w) twins_.push_back(std::make_unique<TSystemTwin>(*system));
  } catch (const std::exception& e) {
    // Without copies every individual is evaluated on the calling thread, with the same
    // results; the reason is kept for whoever wants to know.
    pool_.reset();
    twins_.clear();
    failedFor_ = system;
    LastError = e.what();
  }
}

bool TParallelEvaluator::Ready(TMechanicalSystem* system, int threads) const {
  if (failedFor_ != nullptr) return failedFor_ == system;
  if (threads <= 1) return !pool_;
  if (!pool_ || pool_->Size() != threads || twins_.size() != static_cast<size_t>(threads))
    return false;
  for (const auto& twin : twins_)
    if (!twin->Mirrors(*system)) return false;
  return true;
}

void TParallelEvaluator::Prefill(const std::vector<TIndividual*>& individuals,
                                 TMechanicalSystem* system, int threads) {
  pending_.clear();
  if (system == nullptr) return;
  if (!Ready(system, threads)) Prepare(system, threads);
  if (!pool_ || individuals.size() < 2) return;
  // One task per muscle cache to refresh: the work of one individual spreads over the workers.
  struct TTask {
    size_t Individual;
    size_t Slot;
  };
  std::vector<TTask> tasks;
  std::vector<std::vector<TMuscleGeneticControl*>> due(individuals.size());
  std::vector<std::vector<uint8_t>> failed(individuals.size());
  pending_.resize(individuals.size());
  for (size_t i = 0; i < individuals.size(); ++i) {
    auto controls = ControlsToRefresh(*individuals[i], *twins_.front());
    if (!controls) continue;
    due[i] = std::move(*controls);
    pending_[i].emplace(due[i].size());
    failed[i].assign(due[i].size(), 0);
    for (size_t slot = 0; slot < due[i].size(); ++slot) tasks.push_back({i, slot});
  }
  if (tasks.empty()) return;
  for (const auto& twin : twins_) twin->SyncParameters();
  try {
    pool_->Run(tasks.size(), [&](size_t index, int worker) {
      const TTask& task = tasks[index];
      try {
        (*pending_[task.Individual])[task.Slot] =
            ComputeCache(*due[task.Individual][task.Slot], *twins_[static_cast<size_t>(worker)]);
      } catch (...) {
        failed[task.Individual][task.Slot] = 1;
      }
    });
  } catch (...) {
    // Nothing was changed: the sequential evaluation does all the work.
    pending_.clear();
    return;
  }
  for (size_t i = 0; i < individuals.size(); ++i) {
    if (!pending_[i]) continue;
    // A failure leaves the whole individual to the sequential evaluation, which meets the
    // same failure at the same point.
    for (uint8_t f : failed[i])
      if (f != 0) pending_[i].reset();
    if (pending_[i] && !pending_[i]->empty()) ++Prefilled;
  }
}

void TParallelEvaluator::Commit(size_t index) {
  if (index < pending_.size() && pending_[index]) {
    CommitCaches(*pending_[index]);
    pending_[index].reset();
  }
}

}  // namespace sarvanta
