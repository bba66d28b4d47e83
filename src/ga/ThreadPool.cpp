#include "ga/ThreadPool.h"

#include <algorithm>
#include <chrono>

namespace sarvanta {

TThreadPool::TThreadPool(int workers) {
  const int n = std::clamp(workers, 1, MaxThreads);
  threads_.reserve(static_cast<size_t>(n));
  try {
    for (int w = 0; w < n; ++w) threads_.emplace_back([this, w] { WorkerLoop(w); });
  } catch (...) {
    // The system refused a thread: the ones started are stopped before the failure goes on.
    StopAll();
    throw;
  }
}

TThreadPool::~TThreadPool() { StopAll(); }

void TThreadPool::StopAll() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

void TThreadPool::Run(size_t count, const TTask& task) {
  Start(count, task);
  Wait();
}

void TThreadPool::Start(size_t count, TTask task) {
  if (count == 0) return;
  {
    std::lock_guard lock(mutex_);
    task_ = std::move(task);
    count_ = count;
    next_ = 0;
    error_ = nullptr;
    ++round_;
    published_.store(round_, std::memory_order_release);
  }
  wake_.notify_all();
}

void TThreadPool::Extend(size_t more) {
  if (more == 0) return;
  {
    std::lock_guard lock(mutex_);
    count_ += more;
    // Workers that ran out of indices wait for a new round: the range's new part is one.
    ++round_;
    published_.store(round_, std::memory_order_release);
  }
  wake_.notify_all();
}

bool TThreadPool::Done() {
  std::lock_guard lock(mutex_);
  return next_ >= count_ && running_ == 0;
}

void TThreadPool::Wait() {
  std::unique_lock lock(mutex_);
  // Done when every index was taken and every call taken has ended; workers still asleep
  // need not wake up for that.
  finished_.wait(lock, [this] { return next_ >= count_ && running_ == 0; });
  task_ = nullptr;
  count_ = 0;
  next_ = 0;
  if (std::exception_ptr error = std::exchange(error_, nullptr)) std::rethrow_exception(error);
}

bool TThreadPool::RunOne(int worker) {
  size_t index = 0;
  {
    std::lock_guard lock(mutex_);
    if (next_ >= count_) return false;
    index = next_++;
    ++running_;
  }
  std::exception_ptr error;
  try {
    task_(index, worker);
  } catch (...) {
    error = std::current_exception();
  }
  std::lock_guard lock(mutex_);
  if (error && !error_) error_ = error;
  if (--running_ == 0 && next_ >= count_) finished_.notify_all();
  return true;
}

void TThreadPool::SkipRest() {
  std::lock_guard lock(mutex_);
  next_ = count_;
}

void TThreadPool::WorkerLoop(int worker) {
  uint64_t seen = 0;
  for (;;) {
    // The ranges of one evaluation follow each other within microseconds: a worker that just
    // ran out of work looks for the next range a little while before it goes to sleep.
    const auto until = std::chrono::steady_clock::now() + kSpinTime;
    while (published_.load(std::memory_order_acquire) == seen &&
           std::chrono::steady_clock::now() < until)
      std::this_thread::yield();
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || round_ != seen; });
      if (stopping_) return;
      seen = round_;
    }
    while (RunOne(worker)) {
    }
  }
}

int ResolveThreadCount(int setting) {
  if (setting > 0) return std::min(setting, TThreadPool::MaxThreads);
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1,
                    TThreadPool::MaxThreads);
}

}  // namespace sarvanta
