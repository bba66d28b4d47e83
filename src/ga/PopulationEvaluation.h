// Evaluation of the individuals of a population on every evaluation thread at once; offspring
// are evaluated while the next ones are made.
//
// Contract: during a round nothing writes the model, the time frame or the goals; every thread
// reads them and the round's TEvaluationSnapshot. A thread writes only the individual (or unit
// samples) handed to it: genes, unit samples, muscle caches, goal values; the calling thread
// touches it again only in Complete. Unit samples are shared, never changed once made. Random
// draws happen only on the calling thread, in list order (TGoalThreading::CallingThread goals).
#pragma once

#include "ga/EvaluationSnapshot.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace sarvanta {

class TGoalFunction;
class TIndividual;
class TMechanicalSystem;
class TMotorUnitGeneticControl;
class TMuscleGeneticControl;
class TThreadPool;
class TTimeFrame;
enum class TGoalThreading;

class TPopulationEvaluator {
 public:
  TPopulationEvaluator();
  // Waits for nothing: a round never outlives the call that started it.
  ~TPopulationEvaluator();
  TPopulationEvaluator(const TPopulationEvaluator&) = delete;
  TPopulationEvaluator& operator=(const TPopulationEvaluator&) = delete;

  // The evaluation threads, the calling thread included (1: everything on the calling thread).
  // Keeps the workers when the count is the same.
  void SetThreads(int threads);
  int Threads() const;

  // Does, on every thread, the work of evaluating `due` that may run apart: the trains are
  // normalized, the unit samples that do not fit their train and grid are made (once for equal
  // trains), the muscle samples summed where their units' samples changed and the goals that
  // may run on any thread estimated. Failures are kept for Complete. `checkStop` is called on
  // the calling thread between pieces of work; what it throws ends the round (the workers are
  // waited for) and comes out here.
  void Begin(const std::vector<TIndividual*>& due, const std::vector<TGoalFunction*>& goals,
             const TMechanicalSystem& system, const TTimeFrame& frame,
             const std::function<void()>& checkStop);
  // Completes entry `index` of the round on the calling thread, as a sequential evaluation of
  // it would end: the goals that must run there are estimated in goal order, and the
  // individual's first failure is thrown (the same error at the same point). Entries are
  // completed in list order.
  void Complete(size_t index);
  // Forgets the round; a round of offspring still running is stopped first (the calls running
  // end, the rest are skipped).
  void End();

  // A round of offspring, evaluated while they are made. Open starts it (the snapshot, the
  // goals' preparation); Add hands an individual's evaluation to the workers at once, so that
  // the calling thread goes on making the next one (only the individual itself is written,
  // and the calling thread must not touch it until Complete). Close does what is left on every
  // thread; then Complete(k) for the k-th individual added, as after Begin. Results are those
  // of Begin with the same individuals; individuals are not compared with one another.
  void Open(const std::vector<TGoalFunction*>& goals, const TMechanicalSystem& system,
            const TTimeFrame& frame);
  bool IsOpen() const { return open_; }
  void Add(TIndividual* individual);
  // The individuals added, in order.
  std::vector<TIndividual*> Added() const;
  void Close(const std::function<void()>& checkStop);

  // Runs task(i) for every i in [0, count) on the evaluation threads and returns when all
  // have ended; then throws the failure of the lowest index, if any. While a round is running
  // (a call from its checkStop), everything runs on the calling thread.
  void RunTasks(size_t count, const std::function<void(size_t)>& task);

  // Unit samples made, and individuals whose results were taken from an identical one of the
  // same round, since the evaluator was made (statistics of the program).
  uint64_t SamplesMade = 0;
  uint64_t SharedResults = 0;
  // Why the last SetThreads got no workers ("" when it did not fail).
  std::string LastError;

 private:
  struct TWork;
  struct TJob;
  // Runs task(i) for every i in [0, count) on every thread and returns when all are done.
  void RunAll(size_t count, const std::function<void(size_t)>& task,
              const std::function<void()>& checkStop);
  // The pieces of work, each touching only its own individual (or job).
  // Lists the individual's muscles and resets its goal values (calling thread).
  void FindMuscles(TWork& work) const;
  // Normalizes the trains of muscle `index` and finds the units whose samples do not fit.
  void PrepareMuscle(TWork& work, size_t index) const;
  // Puts the muscles' findings together in muscle order (calling thread).
  void JoinParts(TWork& work) const;
  void PlanJobs();
  void MakeSamples(TJob& job) const;
  // Waits for the samples of muscle `index`'s units, gives them to the units and sums the
  // muscle; a failure is kept in the work.
  void AttachAndSum(TWork& work, size_t index) const;
  void AttachAll(TWork& work) const;
  // The individual's first failure before its goals: its own, its samples' (in unit order),
  // its sums' (in muscle order).
  std::exception_ptr FirstFailure(const TWork& work) const;
  void SumMuscle(TWork& work, size_t index) const;
  void Estimate(TWork& work, size_t goal) const;
  // Waits for the individual's muscle sums, then estimates the goal unless it failed before.
  void WaitAndEstimate(TWork& work, size_t goal) const;
  void TakeFrom(TWork& work, const TWork& original) const;
  // Takes the snapshot of the model and frame and prepares the goals (calling thread).
  void StartRound(const std::vector<TGoalFunction*>& goals, const TMechanicalSystem& system,
                  const TTimeFrame& frame);

  // A task of the round of offspring: an added individual's muscle to prepare, the samples of
  // one of its units to make, or one of its goals to estimate.
  struct TAddedTask {
    enum TKind { kPrepare, kSamples, kGoal };
    TWork* Work = nullptr;
    TKind Kind = kPrepare;
    // The muscle (the goal for kGoal) and, for kSamples, the need of the muscle.
    size_t Muscle = 0;
    size_t Need = 0;
  };
  // Appends tasks to the round and hands them to the workers (from any thread).
  void Hand(const std::vector<TAddedTask>& tasks);
  void RunAddedTask(size_t index);
  // The steps of an added individual; each appends to `next` what may follow it.
  void PrepareAdded(TWork& work, size_t muscle, std::vector<TAddedTask>& next);
  void MakeAddedSamples(TWork& work, size_t muscle, size_t need, std::vector<TAddedTask>& next);
  void SumAdded(TWork& work, size_t muscle, std::vector<TAddedTask>& next);
  // After the individual's last sum: its goals, unless it equals one added before.
  void FinishAdded(TWork& work, std::vector<TAddedTask>& next);
  void AddGoalTasks(TWork& work, std::vector<TAddedTask>& tasks) const;

  std::unique_ptr<TThreadPool> pool_;
  std::unique_ptr<TEvaluationSnapshot> snapshot_;
  std::vector<TGoalFunction*> goals_;
  std::vector<TGoalThreading> threading_;
  // A deque: the workers hold on to entries while Add appends more.
  std::deque<TWork> works_;
  std::vector<TJob> jobs_;
  // Set when job k's samples are made.
  std::unique_ptr<std::atomic<bool>[]> jobDone_;
  // The workers are busy with a range of RunAll, or with the added individuals.
  bool poolBusy_ = false;
  // A round of offspring is open; its tasks, appended by Add and by the tasks themselves and
  // read under addedMutex_.
  bool open_ = false;
  bool started_ = false;
  std::atomic<bool> abandoning_ = false;
  std::mutex addedMutex_;
  std::vector<TAddedTask> added_;
  // The added individuals that needed no new samples, by the hash of their signature.
  std::unordered_map<uint64_t, std::vector<const TWork*>> addedBySignature_;
};

}  // namespace sarvanta
