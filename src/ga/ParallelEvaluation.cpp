#include "ga/ParallelEvaluation.h"

#include "ga/GeneticControl.h"
#include "ga/Individual.h"
#include "model/Cache.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"

#include <algorithm>
#include <span>
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

void WriteTrains(const TMuscleGeneticControl& control, TSystemTwin& twin) {
  for (int u = 0; u < control.ChildCount(); ++u) {
    const auto& unit = static_cast<const TMotorUnitGeneticControl&>(*control.Child(u));
    twin.TwinOf(unit.MotorUnit())->SetImpArray(unit.Genes);
  }
}

void SampleCache(TPendingCache& pending, TSystemTwin& twin, size_t begin, size_t end) {
  const auto times = std::span<const long double>(pending.Times).subspan(begin, end - begin);
  const auto samples = std::span<long double>(pending.Samples).subspan(begin, end - begin);
  twin.TwinOf(pending.Control->Muscle())->SampleForce(times, samples);
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
  scorers_.clear();
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
                                 TMechanicalSystem* system, int threads,
                                 const std::vector<TGoalFunction*>& goals) {
  Discard();
  if (system == nullptr) return;
  if (!Ready(system, threads)) Prepare(system, threads);
  if (!pool_ || individuals.empty()) return;
  scoring_ = PrepareScoring(system, threads, goals);
  if (!pool_) return;
  individuals_ = individuals;
  controls_.assign(individuals.size(), {});
  failed_.assign(individuals.size(), 0);
  pending_.assign(individuals.size(), std::nullopt);
  scores_.assign(individuals.size(), std::nullopt);
  remaining_.assign(individuals.size(), 0);
  ready_.assign(individuals.size(), 1);
  for (size_t i = 0; i < individuals.size(); ++i)
    if (!Plan(i, *individuals[i], *system)) pending_[i].reset();
  if (tasks_.empty()) return;
  SplitLastTasks();
  for (const auto& twin : twins_) twin->SyncParameters();
  // The copies of the parameters brought the trains of the original along.
  holding_.assign(twins_.size(), {});
  pool_->Start(tasks_.size(), [this](size_t index, int worker) { RunTask(index, worker); });
  started_ = true;
}

bool TParallelEvaluator::PrepareScoring(TMechanicalSystem* system, int threads,
                                        const std::vector<TGoalFunction*>& goals) {
  const std::optional<std::string> copyable = CopyableGoals(goals);
  if (!copyable) return false;
  const std::string view = GoalView(*system);
  const auto showsGoals = [&] {
    for (const auto& twin : twins_)
      if (!twin->ShowsGoals(view)) return false;
    return true;
  };
  if (!showsGoals()) {
    // The system was edited since the copies were made: they are made anew, once per edit.
    if (view == remadeFor_) return false;
    remadeFor_ = view;
    Prepare(system, threads);
    if (!pool_ || !showsGoals()) return false;
  }
  try {
    scorers_.resize(twins_.size());
    for (size_t w = 0; w < twins_.size(); ++w)
      if (!scorers_[w] || !scorers_[w]->Copies(*copyable, goals))
        scorers_[w] = std::make_unique<TTwinScorer>(*twins_[w], *copyable, goals);
  } catch (const std::exception&) {
    scorers_.clear();
    return false;
  }
  return true;
}

bool TParallelEvaluator::Plan(size_t individual, TIndividual& candidate,
                              const TMechanicalSystem& system) {
  // The goals find the system through the root.
  if (candidate.Root == nullptr || candidate.Root->Model != &system) return false;
  auto controls = MuscleControls(candidate, *twins_.front());
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
    if (planned[slot].Sampled) tasks_.push_back({individual, slot, 0, planned[slot].Times.size()});
  if (scoring_ && tasks_.size() == first) tasks_.push_back({individual, kScoreOnly, 0, 0});
  pending_[individual] = std::move(planned);
  controls_[individual] = std::move(*controls);
  return true;
}

void TParallelEvaluator::SplitLastTasks() {
  // Whole grids keep the cost per task low; only the last few are cut into parts, so that the
  // round does not end with one thread sampling a whole grid while the others wait.
  const auto sampling = static_cast<size_t>(std::count_if(
      tasks_.begin(), tasks_.end(), [](const TTask& task) { return task.Slot != kScoreOnly; }));
  const size_t whole = sampling - std::min(sampling, static_cast<size_t>(Threads()));
  std::vector<TTask> tasks;
  size_t seen = 0;
  for (const TTask& task : tasks_) {
    if (task.Slot == kScoreOnly || seen++ < whole) {
      tasks.push_back(task);
      continue;
    }
    const size_t samples = task.End;
    const size_t count = PartCount(samples);
    for (size_t part = 0; part < count; ++part)
      tasks.push_back(
          {task.Individual, task.Slot, samples * part / count, samples * (part + 1) / count});
  }
  tasks_ = std::move(tasks);
  for (const TTask& task : tasks_) {
    ++remaining_[task.Individual];
    ready_[task.Individual] = 0;
  }
}

size_t TParallelEvaluator::PartCount(size_t samples) const {
  // Parts much smaller than this would cost more in train copies than they gain in balance.
  constexpr size_t kMinPartSamples = 128;
  const size_t most = 2 * static_cast<size_t>(Threads());
  return std::clamp<size_t>(samples / kMinPartSamples, 1, most);
}

void TParallelEvaluator::RunTask(size_t index, int worker) {
  const TTask& task = tasks_[index];
  const auto thread = static_cast<size_t>(worker);
  if (task.Slot != kScoreOnly) Sample(task.Individual, task.Slot, task.Begin, task.End, thread);
  bool failed = false;
  {
    std::lock_guard lock(doneMutex_);
    if (--remaining_[task.Individual] != 0) return;
    failed = failed_[task.Individual] != 0;
  }
  // Every part of the individual's caches is done: this thread scores it.
  if (scoring_ && !failed) Score(task.Individual, thread);
  std::lock_guard lock(doneMutex_);
  ready_[task.Individual] = 1;
  done_.notify_all();
}

void TParallelEvaluator::HoldTrains(const TMuscleGeneticControl& control, size_t individual,
                                    size_t thread) {
  TSystemTwin& twin = *twins_[thread];
  // Only this thread uses its entry of holding_.
  auto& holding = holding_[thread];
  const TMuscle* muscle = twin.TwinOf(control.Muscle());
  const auto held = holding.find(muscle);
  if (held != holding.end() && held->second == individual) return;
  holding.erase(muscle);
  WriteTrains(control, twin);
  holding.emplace(muscle, individual);
}

void TParallelEvaluator::Sample(size_t individual, size_t slot, size_t begin, size_t end,
                                size_t thread) {
  TPendingCache& pending = (*pending_[individual])[slot];
  try {
    HoldTrains(*pending.Control, individual, thread);
    SampleCache(pending, *twins_[thread], begin, end);
  } catch (...) {
    std::lock_guard lock(doneMutex_);
    failed_[individual] = 1;
  }
}

void TParallelEvaluator::Score(size_t individual, size_t thread) {
  const std::vector<TMuscleGeneticControl*>& controls = controls_[individual];
  try {
    std::vector<const std::vector<long double>*> samples;
    for (TMuscleGeneticControl* control : controls) {
      HoldTrains(*control, individual, thread);
      // The samples the control's cache holds once the individual is committed.
      const std::vector<long double>* values = &control->Cache().Samples;
      for (const TPendingCache& entry : *pending_[individual])
        if (entry.Control == control && entry.Sampled) values = &entry.Samples;
      samples.push_back(values);
    }
    scores_[individual] =
        scorers_[thread]->Score(individuals_[individual]->Root->TimeFrame, controls, samples);
  } catch (...) {
    // The caller estimates the goals itself and meets the failure at the same point.
    scores_[individual].reset();
  }
}

std::optional<std::vector<long double>> TParallelEvaluator::Commit(size_t index) {
  if (index >= pending_.size() || !pending_[index]) return std::nullopt;
  // While its entry is not done the calling thread works on what is left, as the last worker.
  const int self = pool_->Size();
  for (;;) {
    {
      std::lock_guard lock(doneMutex_);
      if (ready_[index] != 0) break;
    }
    if (!pool_->RunOne(self)) {
      std::unique_lock lock(doneMutex_);
      done_.wait(lock, [&] { return ready_[index] != 0; });
      break;
    }
  }
  // A failure leaves the whole individual to the sequential evaluation, which meets the same
  // failure at the same point.
  std::optional<std::vector<long double>> values;
  if (failed_[index] == 0) {
    if (!pending_[index]->empty()) {
      CommitCaches(*pending_[index]);
      ++Prefilled;
    }
    values = std::move(scores_[index]);
    if (values) ++Scored;
  }
  pending_[index].reset();
  return values;
}

void TParallelEvaluator::Discard() {
  if (started_) {
    started_ = false;
    // Every pending result is forgotten: the calls not yet begun need not run.
    pool_->SkipRest();
    try {
      pool_->Wait();
    } catch (...) {
      // Every call catches its own failure; nothing else can reach here.
    }
  }
  scoring_ = false;
  tasks_.clear();
  individuals_.clear();
  controls_.clear();
  failed_.clear();
  pending_.clear();
  scores_.clear();
  remaining_.clear();
  ready_.clear();
}

}  // namespace sarvanta
