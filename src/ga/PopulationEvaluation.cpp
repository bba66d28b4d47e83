#include "ga/PopulationEvaluation.h"

#include "base/Exception.h"
#include "ga/GeneticControl.h"
#include "ga/GoalFunction.h"
#include "ga/Individual.h"
#include "ga/ThreadPool.h"
#include "model/Cache.h"
#include "model/ImpulseTrain.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <unordered_map>

namespace sarvanta {

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);
// Keys of an individual's signature: a unit's samples Serial, or a job of the round (serials
// stay far below this bit).
constexpr uint64_t kJobKey = uint64_t{1} << 63;

// A goal whose estimation is a sum of terms is estimated in this many slices at most, so that
// the last estimations of a round end close together on the evaluation threads.
constexpr size_t kGoalSlices = 4;
// Beyond this many terms (a very fine time grid) a goal is estimated whole: every individual of
// a round would otherwise hold its terms at once.
constexpr size_t kMaxSlicedTerms = 16384;

// The muscle controls of a tree, in tree order.
void CollectMuscles(TChromosome& node, std::vector<TMuscleGeneticControl*>& muscles) {
  if (node.Level == ChromosomeLevel::Muscle) {
    if (auto* muscle = dynamic_cast<TMuscleGeneticControl*>(&node)) muscles.push_back(muscle);
    return;
  }
  if (node.Level < ChromosomeLevel::Muscle) return;
  for (int i = 0; i < node.ChildCount(); ++i) CollectMuscles(*node.Child(i), muscles);
}

TMotorUnitGeneticControl* UnitOf(const TMuscleGeneticControl& muscle, int index) {
  return dynamic_cast<TMotorUnitGeneticControl*>(muscle.Child(index));
}

uint64_t HashWords(const uint64_t* words, size_t count) {
  uint64_t hash = 1469598103934665603ull;
  for (size_t i = 0; i < count; ++i) hash = (hash ^ words[i]) * 1099511628211ull;
  return hash;
}

// A hash of a unit's train that equal trains share (0 and -0 alike); only the bytes that hold
// the value are read.
uint64_t TrainHash(const TObject* unit, const TGenes& train) {
  uint64_t hash = reinterpret_cast<uintptr_t>(unit);
  for (long double t : train) {
    if (t == 0) t = 0;
    uint64_t words[2] = {0, 0};
    std::memcpy(words, &t, TUnitSamples::kValueBytes);
    hash = (hash ^ words[0]) * 1099511628211ull;
    hash = (hash ^ words[1]) * 1099511628211ull;
  }
  return hash;
}

// A unit with a train: equal keys make equal samples.
struct TTrainKey {
  const TObject* Unit;
  const TGenes* Train;
  uint64_t Hash;
  bool operator==(const TTrainKey& other) const {
    return Unit == other.Unit && *Train == *other.Train;
  }
};

struct TTrainKeyHash {
  size_t operator()(const TTrainKey& key) const { return key.Hash; }
};

// A unit whose samples do not fit its train: its parameters, its train's hash, the position of
// its muscle among the individual's muscles and, once planned, the job that makes its samples.
struct TNeed {
  TMotorUnitGeneticControl* Unit = nullptr;
  const TTwitchParameters* Parameters = nullptr;
  uint64_t Hash = 0;
  size_t Muscle = 0;
  size_t Job = kNone;
};

// What preparing one muscle of an individual found, kept apart so that the muscles of an
// individual can be prepared on different threads: the muscle's part of the signature (a need
// as kJobKey + its position among the muscle's needs) and its needs.
struct TMusclePart {
  std::vector<uint64_t> Signature;
  std::vector<TNeed> Needs;
  std::exception_ptr Error;
  // An added individual's muscle makes its own samples: one slot per need for the samples and
  // for their failure, the needs not yet done, and the first failure in unit order.
  std::vector<std::shared_ptr<const TUnitSamples>> Made;
  std::vector<std::exception_ptr> NeedErrors;
  std::unique_ptr<std::atomic<size_t>> SamplesLeft = std::make_unique<std::atomic<size_t>>(0);
  std::exception_ptr SamplesError;
};

}  // namespace

// One individual of the round. Written by the one thread that handles it in a phase.
struct TPopulationEvaluator::TWork {
  TIndividual* Individual = nullptr;
  std::vector<TMuscleGeneticControl*> Muscles;
  std::vector<TMusclePart> Parts;
  // Units whose samples do not fit their train, in muscle and unit order.
  std::vector<TNeed> Needs;
  // What the individual's results follow from: per muscle a mark, then per unit its samples'
  // Serial (kJobKey + job for a need).
  std::vector<uint64_t> Signature;
  // An earlier entry of the round with the same signature, whose results it takes (for an
  // added individual: one added before it).
  size_t SameAs = kNone;
  // The entry's position in the round.
  size_t Index = 0;
  // A failure before the goals (a grid that cannot be sampled, no memory for the samples).
  std::exception_ptr Error;
  // The failure of each muscle's sum and of each goal estimated apart (none for the others).
  std::vector<std::exception_ptr> MuscleErrors;
  std::vector<std::exception_ptr> GoalErrors;
  // The muscle sums not yet done; an estimation waits for 0.
  std::unique_ptr<std::atomic<size_t>> SumsLeft = std::make_unique<std::atomic<size_t>>(0);
  // Per goal estimated in slices (none for the others): each slice writes its own terms and
  // failure.
  struct TGoalTerms {
    std::vector<long double> Terms;
    std::vector<std::exception_ptr> SliceErrors;
    std::unique_ptr<std::atomic<size_t>> SlicesLeft = std::make_unique<std::atomic<size_t>>(0);
  };
  std::vector<TGoalTerms> GoalTerms;
};

// The samples of one unit for one train, made once for every individual that needs them.
struct TPopulationEvaluator::TJob {
  const TMotorUnitGeneticControl* Source = nullptr;
  const TTwitchParameters* Parameters = nullptr;
  std::shared_ptr<const TUnitSamples> Result;
  std::exception_ptr Error;
};

TPopulationEvaluator::TPopulationEvaluator() = default;
// The workers must be done with the added individuals before the entries go.
TPopulationEvaluator::~TPopulationEvaluator() { End(); }

void TPopulationEvaluator::SetThreads(int threads) {
  if (threads == Threads()) return;
  pool_.reset();
  LastError.clear();
  if (threads <= 1) return;
  try {
    // The calling thread is one of the evaluation threads.
    pool_ = std::make_unique<TThreadPool>(threads - 1);
  } catch (const std::exception& e) {
    // Without workers everything runs on the calling thread, with the same results.
    LastError = e.what();
  }
}

int TPopulationEvaluator::Threads() const { return pool_ ? pool_->Size() + 1 : 1; }

void TPopulationEvaluator::RunAll(size_t count, const std::function<void(size_t)>& task,
                                  const std::function<void()>& checkStop) {
  if (count == 0) return;
  if (!pool_ || count == 1) {
    for (size_t i = 0; i < count; ++i) {
      checkStop();
      task(i);
    }
    return;
  }
  // Marks the workers busy for as long as the range runs, however it ends.
  struct TBusy {
    bool& Flag;
    explicit TBusy(bool& flag) : Flag(flag) { Flag = true; }
    ~TBusy() { Flag = false; }
  } busy(poolBusy_);
  pool_->Start(count, [&task](size_t index, int) { task(index); });
  try {
    do checkStop();
    while (pool_->RunOne(pool_->Size()));
  } catch (...) {
    pool_->SkipRest();
    pool_->Wait();
    throw;
  }
  pool_->Wait();
}

void TPopulationEvaluator::RunTasks(size_t count, const std::function<void(size_t)>& task) {
  std::vector<std::exception_ptr> errors(count);
  const auto run = [&](size_t i) {
    try {
      task(i);
    } catch (...) {
      errors[i] = std::current_exception();
    }
  };
  // Called while the workers run a range or a round's tasks: everything here.
  if (poolBusy_ || started_) {
    for (size_t i = 0; i < count; ++i) run(i);
  } else {
    RunAll(count, run, [] {});
  }
  for (const std::exception_ptr& error : errors)
    if (error) std::rethrow_exception(error);
}

void TPopulationEvaluator::Begin(const std::vector<TIndividual*>& due,
                                 const std::vector<TGoalFunction*>& goals,
                                 const TMechanicalSystem& system, const TTimeFrame& frame,
                                 const std::function<void()>& checkStop) {
  StartRound(goals, system, frame);
  works_.resize(due.size());
  std::vector<std::pair<size_t, size_t>> parts;
  for (size_t i = 0; i < due.size(); ++i) {
    works_[i].Individual = due[i];
    FindMuscles(works_[i]);
    for (size_t m = 0; m < works_[i].Muscles.size(); ++m) parts.emplace_back(i, m);
  }
  RunAll(
      parts.size(), [&](size_t k) { PrepareMuscle(works_[parts[k].first], parts[k].second); },
      checkStop);
  for (TWork& work : works_) JoinParts(work);
  PlanJobs();
  SamplesMade += jobs_.size();
  for (TWork& work : works_) {
    work.GoalErrors.assign(goals_.size(), nullptr);
    work.MuscleErrors.assign(work.Muscles.size(), nullptr);
  }
  // The rest is handed out as it may run: every unit sample to make at once, a muscle's sum
  // after its last samples, an individual's goals after its last sum.
  dependents_.assign(jobs_.size(), {});
  std::vector<TRoundTask> tasks;
  for (size_t k = 0; k < jobs_.size(); ++k) tasks.push_back({nullptr, TRoundTask::kJob, k, 0});
  for (TWork& work : works_) {
    if (work.SameAs != kNone || work.Error) continue;
    work.Parts.resize(work.Muscles.size());
    work.SumsLeft->store(work.Muscles.size(), std::memory_order_relaxed);
    for (const TNeed& need : work.Needs) {
      work.Parts[need.Muscle].SamplesLeft->fetch_add(1, std::memory_order_relaxed);
      dependents_[need.Job].emplace_back(&work, need.Muscle);
    }
    for (size_t m = 0; m < work.Muscles.size(); ++m)
      if (work.Parts[m].SamplesLeft->load(std::memory_order_relaxed) == 0)
        tasks.push_back({&work, TRoundTask::kSum, m, 0});
    if (work.Muscles.empty()) AddGoalTasks(work, tasks);
  }
  Hand(tasks);
  RunHanded(checkStop);
}

void TPopulationEvaluator::StartRound(const std::vector<TGoalFunction*>& goals,
                                      const TMechanicalSystem& system, const TTimeFrame& frame) {
  End();
  auto snapshot = std::make_unique<TEvaluationSnapshot>(system, frame, snapshot_.get());
  snapshot_ = std::move(snapshot);
  goals_ = goals;
  threading_.clear();
  for (TGoalFunction* goal : goals) {
    goal->PrepareEstimation();
    threading_.push_back(goal->Threading());
  }
}

void TPopulationEvaluator::FindMuscles(TWork& work) const {
  TIndividual& individual = *work.Individual;
  individual.Values.assign(goals_.size(), 0.0L);
  if (individual.Root == nullptr) return;
  try {
    CollectMuscles(*individual.Root, work.Muscles);
    work.Parts.resize(work.Muscles.size());
  } catch (...) {
    work.Muscles.clear();
    work.Error = std::current_exception();
  }
}

void TPopulationEvaluator::PrepareMuscle(TWork& work, size_t index) const {
  TMusclePart& part = work.Parts[index];
  try {
    const TEvaluationGrid& grid = snapshot_->Grid();
    const TMuscleGeneticControl& muscle = *work.Muscles[index];
    part.Signature.push_back(reinterpret_cast<uintptr_t>(muscle.Model));
    size_t cursor = static_cast<size_t>(-1);
    for (int u = 0; u < muscle.ChildCount(); ++u) {
      TMotorUnitGeneticControl* unit = UnitOf(muscle, u);
      const TTwitchParameters* parameters =
          unit != nullptr ? snapshot_->Unit(unit->Model, cursor) : nullptr;
      if (parameters == nullptr) {
        part.Signature.push_back(0);
        continue;
      }
      NormalizeTrain(unit->Genes, parameters->Tref);
      if (unit->Samples == nullptr ||
          !unit->Samples->Fit(snapshot_->UnitsId(), unit->Genes, grid.Id)) {
        // Samples that no longer fit go now, not after their successors are made: a new
        // grid would otherwise hold the population's samples twice.
        unit->Samples.reset();
        part.Signature.push_back(kJobKey + part.Needs.size());
        part.Needs.push_back({unit, parameters, TrainHash(unit->Model, unit->Genes), index});
        continue;
      }
      part.Signature.push_back(unit->Samples->Serial);
    }
  } catch (...) {
    part.Error = std::current_exception();
  }
}

void TPopulationEvaluator::JoinParts(TWork& work) const {
  for (size_t m = 0; m < work.Parts.size() && !work.Error; ++m) {
    TMusclePart& part = work.Parts[m];
    if (part.Error) {
      work.Error = part.Error;
      break;
    }
    const uint64_t offset = work.Needs.size();
    for (uint64_t key : part.Signature)
      work.Signature.push_back(key >= kJobKey ? key + offset : key);
    work.Needs.insert(work.Needs.end(), part.Needs.begin(), part.Needs.end());
  }
  work.Parts.clear();
}

void TPopulationEvaluator::PlanJobs() {
  std::unordered_map<TTrainKey, size_t, TTrainKeyHash> jobOf;
  std::unordered_map<uint64_t, std::vector<size_t>> bySignature;
  for (size_t i = 0; i < works_.size(); ++i) {
    TWork& work = works_[i];
    if (work.Error) continue;
    for (TNeed& need : work.Needs) {
      const TMotorUnitGeneticControl* unit = need.Unit;
      const auto [entry, added] =
          jobOf.try_emplace(TTrainKey{unit->Model, &unit->Genes, need.Hash}, jobs_.size());
      if (added) jobs_.push_back({unit, need.Parameters, nullptr, nullptr});
      need.Job = entry->second;
    }
    for (uint64_t& key : work.Signature)
      if (key >= kJobKey) key = kJobKey + work.Needs[key - kJobKey].Job;
    if (work.Signature.empty()) continue;
    // Identical individuals (the copies of the template a run starts with) are evaluated once.
    auto& candidates = bySignature[HashWords(work.Signature.data(), work.Signature.size())];
    for (size_t earlier : candidates)
      if (works_[earlier].Signature == work.Signature) {
        work.SameAs = earlier;
        break;
      }
    if (work.SameAs == kNone) candidates.push_back(i);
  }
}

void TPopulationEvaluator::AttachAndSum(TWork& work, size_t index) const {
  for (const TNeed& need : work.Needs) {
    if (need.Muscle != index) continue;
    // A muscle with a unit whose samples failed is not summed: the individual fails.
    if (jobs_[need.Job].Error) return;
  }
  for (const TNeed& need : work.Needs)
    if (need.Muscle == index) need.Unit->Samples = jobs_[need.Job].Result;
  SumKeepingFailure(work, index);
}

void TPopulationEvaluator::SumKeepingFailure(TWork& work, size_t index) const {
  try {
    SumMuscle(work, index);
  } catch (...) {
    work.MuscleErrors[index] = std::current_exception();
  }
}

std::exception_ptr TPopulationEvaluator::FirstFailure(const TWork& work) const {
  if (work.Error) return work.Error;
  // An added individual keeps its muscles' parts: their preparation, then their samples.
  for (const TMusclePart& part : work.Parts)
    if (part.Error) return part.Error;
  for (const TMusclePart& part : work.Parts)
    if (part.SamplesError) return part.SamplesError;
  for (const TNeed& need : work.Needs)
    if (jobs_[need.Job].Error) return jobs_[need.Job].Error;
  for (const std::exception_ptr& error : work.MuscleErrors)
    if (error) return error;
  return nullptr;
}

void TPopulationEvaluator::AttachAll(TWork& work) const {
  for (const TNeed& need : work.Needs) need.Unit->Samples = jobs_[need.Job].Result;
}

void TPopulationEvaluator::MakeSamples(TJob& job) const {
  try {
    job.Result = MakeUnitSamples(*job.Parameters, snapshot_->UnitsId(), job.Source->Genes,
                                 snapshot_->Grid());
  } catch (...) {
    job.Error = std::current_exception();
  }
}

namespace {

// sum[i] = ((0 + units[0][i]) + units[1][i]) + ..., four samples at a time in registers: 80-bit
// values are slow to store, so each sum is stored once.
std::vector<long double> SumInOrder(const std::vector<const unsigned char*>& units, size_t count) {
  constexpr size_t kBytes = TUnitSamples::kValueBytes;
  const auto at = [](const unsigned char* values, size_t i) {
    return TUnitSamples::LoadSample(values + i * kBytes);
  };
  std::vector<long double> sum(count, 0.0L);
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    long double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    for (const unsigned char* values : units) {
      // Each unit's samples are a stream of their own: fetch ahead, the streams are too many
      // for the processor to follow.
      __builtin_prefetch(values + (i + 16) * kBytes);
      s0 += at(values, i);
      s1 += at(values, i + 1);
      s2 += at(values, i + 2);
      s3 += at(values, i + 3);
    }
    sum[i] = s0;
    sum[i + 1] = s1;
    sum[i + 2] = s2;
    sum[i + 3] = s3;
  }
  for (; i < count; ++i)
    for (const unsigned char* values : units) sum[i] += at(values, i);
  return sum;
}

}  // namespace

void TPopulationEvaluator::SumMuscle(TWork& work, size_t index) const {
  TMuscleGeneticControl& muscle = *work.Muscles[index];
  const TEvaluationGrid& grid = snapshot_->Grid();
  std::vector<uint64_t> from{grid.Id};
  std::vector<const unsigned char*> units;
  for (int u = 0; u < muscle.ChildCount(); ++u) {
    const TMotorUnitGeneticControl* unit = UnitOf(muscle, u);
    const bool sampled = unit != nullptr && unit->Samples != nullptr;
    from.push_back(sampled ? unit->Samples->Serial : 0);
    if (sampled) units.push_back(unit->Samples->Values.data());
  }
  TCache& cache = muscle.Cache();
  // The cache's own copy of the grid follows the frame.
  cache.TimeFrameChanged();
  if (from != muscle.SummedFrom || cache.Samples.size() != grid.Times.size()) {
    cache.SetValues(SumInOrder(units, grid.Times.size()));
    muscle.SummedFrom = std::move(from);
  }
  muscle.SetChanged(false);
}

void TPopulationEvaluator::Estimate(TWork& work, size_t goal) const {
  try {
    work.Individual->Values[goal] = goals_[goal]->Estimation(work.Individual->Root);
  } catch (...) {
    work.GoalErrors[goal] = std::current_exception();
  }
}

void TPopulationEvaluator::EstimateSlice(TWork& work, size_t goal, size_t slice) const {
  TWork::TGoalTerms& terms = work.GoalTerms[goal];
  const size_t slices = terms.SliceErrors.size();
  const size_t count = terms.Terms.size();
  const size_t first = count * slice / slices;
  const size_t last = count * (slice + 1) / slices;
  TChromosome* root = work.Individual->Root;
  try {
    goals_[goal]->Terms(root, first, std::span(terms.Terms).subspan(first, last - first));
  } catch (...) {
    terms.SliceErrors[slice] = std::current_exception();
  }
  if (terms.SlicesLeft->fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  // The terms go when this ends, not with the round: its other individuals are still going on.
  std::vector<long double> all;
  all.swap(terms.Terms);
  // The first failing slice holds the term where the whole estimation would have failed.
  for (const std::exception_ptr& error : terms.SliceErrors)
    if (error) {
      work.GoalErrors[goal] = error;
      return;
    }
  long double sum = 0;
  for (long double term : all) sum += term;
  try {
    work.Individual->Values[goal] = goals_[goal]->FromTermSum(root, sum);
  } catch (...) {
    work.GoalErrors[goal] = std::current_exception();
  }
}

void TPopulationEvaluator::TakeFrom(TWork& work, const TWork& original) const {
  for (size_t m = 0; m < work.Muscles.size(); ++m) {
    TMuscleGeneticControl& muscle = *work.Muscles[m];
    const TMuscleGeneticControl& source = *original.Muscles[m];
    muscle.Cache().TimeFrameChanged();
    muscle.Cache().SetValues(source.Cache().Samples);
    muscle.SummedFrom = source.SummedFrom;
    muscle.SetChanged(false);
  }
  for (size_t j = 0; j < goals_.size(); ++j)
    if (threading_[j] == TGoalThreading::AnyThread)
      work.Individual->Values[j] = original.Individual->Values[j];
}

void TPopulationEvaluator::Complete(size_t index) {
  TWork& work = works_.at(index);
  work.Error = FirstFailure(work);
  if (work.SameAs != kNone && !work.Error) {
    AttachAll(work);
    TakeFrom(work, works_[work.SameAs]);
    ++SharedResults;
  }
  if (work.Error) std::rethrow_exception(work.Error);
  TChromosome* root = work.Individual->Root;
  if (root == nullptr) return;
  for (size_t j = 0; j < goals_.size(); ++j) {
    if (work.GoalErrors[j]) std::rethrow_exception(work.GoalErrors[j]);
    if (threading_[j] == TGoalThreading::CallingThread)
      work.Individual->Values[j] = goals_[j]->Estimation(root);
  }
  root->SetChanged(false);
}

void TPopulationEvaluator::End() {
  if (started_) {
    // Calls already running end at once, and what they hand on is skipped too.
    abandoning_.store(true, std::memory_order_relaxed);
    pool_->SkipRest();
    pool_->Wait();  // the tasks keep their failures: none comes out here
    abandoning_.store(false, std::memory_order_relaxed);
  }
  started_ = false;
  open_ = false;
  roundTasks_.clear();
  addedBySignature_.clear();
  works_.clear();
  jobs_.clear();
}

// ---- Offspring evaluated while they are made ----

void TPopulationEvaluator::Open(const std::vector<TGoalFunction*>& goals,
                                const TMechanicalSystem& system, const TTimeFrame& frame) {
  StartRound(goals, system, frame);
  open_ = true;
}

void TPopulationEvaluator::Add(TIndividual* individual) {
  if (!open_) throw Exception("No round of offspring is open");
  TWork& work = works_.emplace_back();
  work.Index = works_.size() - 1;
  work.Individual = individual;
  FindMuscles(work);
  work.GoalErrors.assign(goals_.size(), nullptr);
  work.MuscleErrors.assign(work.Muscles.size(), nullptr);
  if (work.Error) return;
  work.SumsLeft->store(work.Muscles.size(), std::memory_order_relaxed);
  std::vector<TRoundTask> tasks;
  for (size_t m = 0; m < work.Muscles.size(); ++m)
    tasks.push_back({&work, TRoundTask::kPrepare, m, 0});
  if (tasks.empty()) AddGoalTasks(work, tasks);
  Hand(tasks);
}

std::vector<TIndividual*> TPopulationEvaluator::Added() const {
  std::vector<TIndividual*> individuals;
  for (const TWork& work : works_) individuals.push_back(work.Individual);
  return individuals;
}

void TPopulationEvaluator::Hand(const std::vector<TRoundTask>& tasks) {
  if (tasks.empty()) return;
  size_t total = 0;
  {
    std::lock_guard lock(roundMutex_);
    roundTasks_.insert(roundTasks_.end(), tasks.begin(), tasks.end());
    total = roundTasks_.size();
  }
  if (!pool_) return;  // RunHanded runs them all in order
  if (started_) {
    pool_->Extend(tasks.size());
    return;
  }
  // Only the calling thread starts the range: workers hand tasks over only once it runs.
  started_ = true;
  pool_->Start(total, [this](size_t index, int) { RunRoundTask(index); });
}

void TPopulationEvaluator::AddGoalTasks(TWork& work, std::vector<TRoundTask>& tasks) const {
  TChromosome* root = work.Individual->Root;
  if (root == nullptr) return;
  for (size_t j = 0; j < goals_.size(); ++j) {
    if (threading_[j] != TGoalThreading::AnyThread) continue;
    // With one thread, or for a goal that is not a sum of terms, the estimation is one task.
    size_t count = 0;
    try {
      if (pool_) count = goals_[j]->TermCount(root);
    } catch (...) {
      count = 0;  // Estimation meets the same failure
    }
    const size_t slices = count <= kMaxSlicedTerms ? std::min(count, kGoalSlices) : 1;
    if (slices < 2) {
      tasks.push_back({&work, TRoundTask::kGoal, j, 0});
      continue;
    }
    if (work.GoalTerms.empty()) work.GoalTerms.resize(goals_.size());
    TWork::TGoalTerms& terms = work.GoalTerms[j];
    terms.Terms.assign(count, 0.0L);
    terms.SliceErrors.assign(slices, nullptr);
    terms.SlicesLeft->store(slices, std::memory_order_relaxed);
    for (size_t slice = 0; slice < slices; ++slice)
      tasks.push_back({&work, TRoundTask::kGoalSlice, j, slice});
  }
}

void TPopulationEvaluator::RunRoundTask(size_t index) {
  if (abandoning_.load(std::memory_order_relaxed)) return;
  TRoundTask task;
  {
    std::lock_guard lock(roundMutex_);
    task = roundTasks_[index];
  }
  std::vector<TRoundTask> next;
  switch (task.Kind) {
    case TRoundTask::kJob:
      MakeJob(task.Muscle, next);
      break;
    case TRoundTask::kSum:
      SumPlanned(*task.Work, task.Muscle, next);
      break;
    case TRoundTask::kPrepare:
      PrepareAdded(*task.Work, task.Muscle, next);
      break;
    case TRoundTask::kSamples:
      MakeAddedSamples(*task.Work, task.Muscle, task.Need, next);
      break;
    case TRoundTask::kGoalSlice:
      if (!FirstFailure(*task.Work)) EstimateSlice(*task.Work, task.Muscle, task.Need);
      break;
    default:
      if (!FirstFailure(*task.Work)) Estimate(*task.Work, task.Muscle);
      break;
  }
  Hand(next);
}

void TPopulationEvaluator::MakeJob(size_t job, std::vector<TRoundTask>& next) {
  MakeSamples(jobs_[job]);
  for (const auto& [work, muscle] : dependents_[job])
    if (work->Parts[muscle].SamplesLeft->fetch_sub(1, std::memory_order_acq_rel) == 1)
      SumPlanned(*work, muscle, next);
}

void TPopulationEvaluator::SumPlanned(TWork& work, size_t muscle, std::vector<TRoundTask>& next) {
  AttachAndSum(work, muscle);
  if (work.SumsLeft->fetch_sub(1, std::memory_order_acq_rel) == 1) AddGoalTasks(work, next);
}

// Each step hands on the next one when it is the last of its kind: the samples once the
// muscle is prepared, the sum after the muscle's last samples, the goals after the
// individual's last sum. Nothing waits for work that was not handed out.
void TPopulationEvaluator::PrepareAdded(TWork& work, size_t muscle, std::vector<TRoundTask>& next) {
  PrepareMuscle(work, muscle);
  TMusclePart& part = work.Parts[muscle];
  const size_t needs = part.Error ? 0 : part.Needs.size();
  part.Made.resize(needs);
  part.NeedErrors.resize(needs);
  part.SamplesLeft->store(needs, std::memory_order_relaxed);
  if (needs == 0) {
    SumAdded(work, muscle, next);
    return;
  }
  for (size_t k = 0; k < needs; ++k) next.push_back({&work, TRoundTask::kSamples, muscle, k});
}

void TPopulationEvaluator::MakeAddedSamples(TWork& work, size_t muscle, size_t need,
                                            std::vector<TRoundTask>& next) {
  TMusclePart& part = work.Parts[muscle];
  const TNeed& unit = part.Needs[need];
  try {
    part.Made[need] = MakeUnitSamples(*unit.Parameters, snapshot_->UnitsId(), unit.Unit->Genes,
                                      snapshot_->Grid());
  } catch (...) {
    part.NeedErrors[need] = std::current_exception();
  }
  if (part.SamplesLeft->fetch_sub(1, std::memory_order_acq_rel) == 1) SumAdded(work, muscle, next);
}

void TPopulationEvaluator::SumAdded(TWork& work, size_t muscle, std::vector<TRoundTask>& next) {
  TMusclePart& part = work.Parts[muscle];
  for (const std::exception_ptr& error : part.NeedErrors)
    if (error && !part.SamplesError) part.SamplesError = error;
  // As after Begin: a muscle with a unit whose samples failed gives none of them to its units
  // and is not summed.
  if (!part.Error && !part.SamplesError) {
    for (size_t k = 0; k < part.Made.size(); ++k)
      part.Needs[k].Unit->Samples = std::move(part.Made[k]);
    SumKeepingFailure(work, muscle);
  }
  if (work.SumsLeft->fetch_sub(1, std::memory_order_acq_rel) == 1) FinishAdded(work, next);
}

void TPopulationEvaluator::FinishAdded(TWork& work, std::vector<TRoundTask>& next) {
  // An individual that needed no new samples and equals one added before (a child whose
  // operators changed nothing, twice the same parent) takes that one's results in Complete.
  const bool plain = std::all_of(work.Parts.begin(), work.Parts.end(),
                                 [](const TMusclePart& part) { return part.Needs.empty(); });
  if (plain && !FirstFailure(work)) {
    for (const TMusclePart& part : work.Parts)
      work.Signature.insert(work.Signature.end(), part.Signature.begin(), part.Signature.end());
    std::lock_guard lock(roundMutex_);
    auto& candidates = addedBySignature_[HashWords(work.Signature.data(), work.Signature.size())];
    for (const TWork* earlier : candidates)
      if (earlier->Signature == work.Signature) {
        work.SameAs = earlier->Index;
        return;
      }
    candidates.push_back(&work);
  }
  AddGoalTasks(work, next);
}

void TPopulationEvaluator::RunHanded(const std::function<void()>& checkStop) {
  if (!started_) {
    // No workers: everything in order on the calling thread (the list grows as it runs).
    for (size_t k = 0; k < roundTasks_.size(); ++k) {
      checkStop();
      RunRoundTask(k);
    }
    return;
  }
  try {
    // Tasks running elsewhere may still hand out more: help until every one has ended.
    for (;;) {
      checkStop();
      if (pool_->RunOne(pool_->Size())) continue;
      if (pool_->Done()) break;
      std::this_thread::yield();
    }
  } catch (...) {
    End();
    throw;
  }
  pool_->Wait();
  started_ = false;
}

void TPopulationEvaluator::Close(const std::function<void()>& checkStop) {
  if (!open_) return;
  RunHanded(checkStop);
  open_ = false;
  for (const TWork& work : works_)
    for (const TMusclePart& part : work.Parts)
      if (!part.Error) SamplesMade += part.Needs.size();
}

}  // namespace sarvanta
