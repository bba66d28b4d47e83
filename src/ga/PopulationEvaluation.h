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
  // Ends a round still running first (see End).
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
  // Gives muscle `index`'s units their samples (all made by now) and sums the muscle; a
  // failure is kept in the work.
  void AttachAndSum(TWork& work, size_t index) const;
  void AttachAll(TWork& work) const;
  // The individual's first failure before its goals: its own, its samples' (in unit order),
  // its sums' (in muscle order).
  std::exception_ptr FirstFailure(const TWork& work) const;
  void SumMuscle(TWork& work, size_t index) const;
  // SumMuscle, its failure kept in the work.
  void SumKeepingFailure(TWork& work, size_t index) const;
  void Estimate(TWork& work, size_t goal) const;
  // One slice of a goal's terms; the last slice to end sums them into the goal's value.
  void EstimateSlice(TWork& work, size_t goal, size_t slice) const;
  void TakeFrom(TWork& work, const TWork& original) const;
  // Takes the snapshot of the model and frame and prepares the goals (calling thread).
  void StartRound(const std::vector<TGoalFunction*>& goals, const TMechanicalSystem& system,
                  const TTimeFrame& frame);

  // A task of a round: a job's unit samples to make, a muscle of an individual to sum, an added
  // individual's muscle to prepare or the samples of one of its units to make, one of an
  // individual's goals to estimate or a slice of its terms. Each is handed out only once what
  // it needs is done.
  struct TRoundTask {
    enum TKind { kJob, kSum, kPrepare, kSamples, kGoal, kGoalSlice };
    TWork* Work = nullptr;
    TKind Kind = kJob;
    // The job, the muscle or the goal; for kSamples, also the need of the muscle; for
    // kGoalSlice, the slice.
    size_t Muscle = 0;
    size_t Need = 0;
  };
  // Appends tasks to the round and hands them to the workers (from any thread).
  void Hand(const std::vector<TRoundTask>& tasks);
  // Runs the round's tasks on every thread until none is left or running.
  void RunHanded(const std::function<void()>& checkStop);
  void RunRoundTask(size_t index);
  // Each step appends to `next` what may follow it.
  // Begin: a job's samples, then the sums of the muscles whose last samples these were.
  void MakeJob(size_t job, std::vector<TRoundTask>& next);
  void SumPlanned(TWork& work, size_t muscle, std::vector<TRoundTask>& next);
  // Open and Add: an added individual's muscles, prepared, sampled and summed.
  void PrepareAdded(TWork& work, size_t muscle, std::vector<TRoundTask>& next);
  void MakeAddedSamples(TWork& work, size_t muscle, size_t need, std::vector<TRoundTask>& next);
  void SumAdded(TWork& work, size_t muscle, std::vector<TRoundTask>& next);
  // After the individual's last sum: its goals, unless it equals one added before.
  void FinishAdded(TWork& work, std::vector<TRoundTask>& next);
  void AddGoalTasks(TWork& work, std::vector<TRoundTask>& tasks) const;

  std::unique_ptr<TThreadPool> pool_;
  std::unique_ptr<TEvaluationSnapshot> snapshot_;
  std::vector<TGoalFunction*> goals_;
  std::vector<TGoalThreading> threading_;
  // A deque: the workers hold on to entries while Add appends more.
  std::deque<TWork> works_;
  std::vector<TJob> jobs_;
  // Per job, the muscles (entry, muscle) that wait for its samples.
  std::vector<std::vector<std::pair<TWork*, size_t>>> dependents_;
  // The workers are busy with a range of RunAll.
  bool poolBusy_ = false;
  // A round of offspring is open; the workers run the round's tasks (appended by Add and by the
  // tasks themselves, read under roundMutex_).
  bool open_ = false;
  bool started_ = false;
  std::atomic<bool> abandoning_ = false;
  std::mutex roundMutex_;
  std::vector<TRoundTask> roundTasks_;
  // The added individuals that needed no new samples, by the hash of their signature.
  std::unordered_map<uint64_t, std::vector<const TWork*>> addedBySignature_;
};

}  // namespace sarvanta
