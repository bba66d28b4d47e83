// A fixed set of worker threads that run the calls of one index range at a time: the caller
// hands over a range and waits until every index has been done. Used to evaluate several
// individuals at once. A worker out of work looks for the next range for a millisecond
// (yielding the processor), then sleeps: the calling thread's work between two generations'
// evaluations takes a few tenths of a millisecond, and waking a sleeping thread takes tens of
// microseconds more.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace sarvanta {

class TThreadPool {
 public:
  // Called with an index of the range and the number (0 .. Size() - 1) of the worker running it.
  using TTask = std::function<void(size_t index, int worker)>;

  // A bound on the setting: threads beyond the cores only take turns on them.
  static constexpr int MaxThreads = 256;

  // Starts `workers` threads (1 .. MaxThreads). Throws std::system_error when the system
  // refuses a thread (none is left running then).
  explicit TThreadPool(int workers);
  // Stops and joins every worker.
  ~TThreadPool();
  TThreadPool(const TThreadPool&) = delete;
  TThreadPool& operator=(const TThreadPool&) = delete;

  int Size() const { return static_cast<int>(threads_.size()); }

  // Calls task(i, worker) once for every i in [0, count), spread over the workers in no fixed
  // order, and returns when all calls have ended. When calls threw, the first exception caught
  // is thrown here after all calls have ended. Not to be called from a task.
  void Run(size_t count, const TTask& task);
  // The same in two halves: Start hands the range over and returns at once (the workers take
  // the indices in ascending order); Wait returns when all calls have ended and throws as Run
  // does. Every Start must be followed by a Wait before the next Start.
  void Start(size_t count, TTask task);
  // Adds `more` indices to the started range (after Start, before Wait): workers that ran out
  // of indices take them up.
  void Extend(size_t more);
  // Every index of the started range has been taken and every call has ended.
  bool Done();
  void Wait();
  // Runs the next index of the started range on the calling thread, as worker `worker`;
  // false when none is left. A failure is kept for Wait as a worker's would be.
  bool RunOne(int worker);
  // The indices of the started range that no call has taken yet are not run at all; the calls
  // already running end as usual (Wait still waits for them).
  void SkipRest();

 private:
  void WorkerLoop(int worker);
  void StopAll();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable finished_;
  std::vector<std::thread> threads_;
  static constexpr std::chrono::microseconds kSpinTime{1000};

  TTask task_;
  size_t count_ = 0;
  size_t next_ = 0;
  // Calls taken and not yet ended.
  size_t running_ = 0;
  uint64_t round_ = 0;
  // round_, for the workers that look for a range without the lock.
  std::atomic<uint64_t> published_{0};
  bool stopping_ = false;
  std::exception_ptr error_;
};

// The number of evaluation threads a setting asks for: 0 (or less) means one per core; never
// more than TThreadPool::MaxThreads.
int ResolveThreadCount(int setting);

}  // namespace sarvanta
