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

std::optional<std::vector<TMuscleGeneticControl*>> MuscleControls(const TIndividual& individual,
                                                                  const TSystemTwin& twin) {
  if (individual.Root == nullptr) return std::nullopt;
  std::vector<TMuscleGeneticControl*> controls;
  if (!CollectMuscleControls(*individual.Root, controls) || !CoverSystem(controls, twin))
    return std::nullopt;
  return controls;
}

std::optional<TPendingCache> PlanCache(const TMuscleGeneticControl& control) {
  // The question the muscle asks its cache, put to a copy of the cache's grid.
  const TCache& cache = control.Cache();
  TCache scratch(nullptr, cache.TimeFrame);
  scratch.SetTimes(cache.StartTime, cache.EndTime, cache.TimeStep, cache.Offset);
  const bool recalculate = scratch.TimeFrameChanged() || control.Changed;
  if (!recalculate) return std::nullopt;
  TPendingCache result;
  result.Control = const_cast<TMuscleGeneticControl*>(&control);
  result.StartTime = scratch.StartTime;
  result.EndTime = scratch.EndTime;
  result.TimeStep = scratch.TimeStep;
  result.Offset = scratch.Offset;
  if (scratch.TimeStep != 0) {
    result.Times = scratch.GridTimes();
    result.Samples.assign(result.Times.size(), 0.0L);
    result.Sampled = true;
  }
  return result;
}

void SampleCache(TPendingCache& pending, TSystemTwin& twin) {
  const TMuscleGeneticControl& control = *pending.Control;
  for (int u = 0; u < control.ChildCount(); ++u) {
    const auto& unit = static_cast<const TMotorUnitGeneticControl&>(*control.Child(u));
    twin.TwinOf(unit.MotorUnit())->SetImpArray(unit.Genes);
  }
  twin.TwinOf(control.Muscle())->SampleForce(pending.Times, pending.Samples);
}

void CommitCaches(TPendingCaches& pending) {
  for (TPendingCache& entry : pending) {
    TCache& cache = entry.Control->Cache();
    cache.SetTimes(entry.StartTime, entry.EndTime, entry.TimeStep, entry.Offset);
    if (entry.Sampled) cache.SetValues(std::move(entry.Samples));
    entry.Control->SetChanged(false);
  }
}

TParallelEvaluator::~TParallelEvaluator() { Discard(); }

void TParallelEvaluator::Prepare(TMechanicalSystem* system, int threads) {
  Discard();
  twins_.clear();
  failedFor_ = nullptr;
  LastError.clear();
  if (system == nullptr || threads <= 1) {
    pool_.reset();
    return;
  }
  try {
    // The calling thread is one of the evaluation threads: it samples too while it waits.
    if (!pool_ || pool_->Size() != threads - 1) {
      pool_.reset();
      pool_ = std::make_unique<TThreadPool>(threads - 1);
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
  if (!pool_ || pool_->Size() != threads - 1 || twins_.size() != static_cast<size_t>(threads))
    return false;
  for (const auto& twin : twins_)
    if (!twin->Mirrors(*system)) return false;
  return true;
}

void TParallelEvaluator::Prefill(const std::vector<TIndividual*>& individuals,
                                 TMechanicalSystem* system, int threads) {
  Discard();
  if (system == nullptr) return;
  if (!Ready(system, threads)) Prepare(system, threads);
  if (!pool_ || individuals.size() < 2) return;
  failed_.assign(individuals.size(), 0);
  pending_.assign(individuals.size(), std::nullopt);
  remaining_.assign(individuals.size(), 0);
  for (size_t i = 0; i < individuals.size(); ++i)
    if (!Plan(i, *individuals[i])) pending_[i].reset();
  if (tasks_.empty()) return;
  for (const auto& twin : twins_) twin->SyncParameters();
  pool_->Start(tasks_.size(), [this](size_t index, int worker) { RunTask(index, worker); });
  started_ = true;
}

bool TParallelEvaluator::Plan(size_t individual, TIndividual& candidate) {
  const auto controls = MuscleControls(candidate, *twins_.front());
  if (!controls) return false;
  TPendingCaches planned;
  try {
    for (const TMuscleGeneticControl* control : *controls)
      if (auto plan = PlanCache(*control)) planned.push_back(std::move(*plan));
  } catch (...) {
    return false;
  }
  const size_t first = tasks_.size();
  for (size_t slot = 0; slot < planned.size(); ++slot)
    if (planned[slot].Sampled) tasks_.push_back({individual, slot});
  pending_[individual] = std::move(planned);
  remaining_[individual] = tasks_.size() - first;
  return true;
}

void TParallelEvaluator::RunTask(size_t index, int worker) {
  const TTask& task = tasks_[index];
  try {
    SampleCache((*pending_[task.Individual])[task.Slot], *twins_[static_cast<size_t>(worker)]);
  } catch (...) {
    std::lock_guard lock(doneMutex_);
    failed_[task.Individual] = 1;
  }
  std::lock_guard lock(doneMutex_);
  if (--remaining_[task.Individual] == 0) done_.notify_all();
}

void TParallelEvaluator::Commit(size_t index) {
  if (index >= pending_.size() || !pending_[index]) return;
  // While its entry is not done the calling thread samples what is left, as the last worker.
  const int self = pool_->Size();
  for (;;) {
    {
      std::lock_guard lock(doneMutex_);
      if (remaining_[index] == 0) break;
    }
    if (!pool_->RunOne(self)) {
      std::unique_lock lock(doneMutex_);
      done_.wait(lock, [&] { return remaining_[index] == 0; });
      break;
    }
  }
  // A failure leaves the whole individual to the sequential evaluation, which meets the same
  // failure at the same point.
  if (failed_[index] == 0 && !pending_[index]->empty()) {
    CommitCaches(*pending_[index]);
    ++Prefilled;
  }
  pending_[index].reset();
}

void TParallelEvaluator::Discard() {
  if (started_) {
    started_ = false;
    try {
      pool_->Wait();
    } catch (...) {
      // Every call catches its own failure; nothing else can reach here.
    }
  }
  tasks_.clear();
  failed_.clear();
  pending_.clear();
  remaining_.clear();
}

}  // namespace sarvanta
