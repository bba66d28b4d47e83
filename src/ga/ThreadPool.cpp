#include "ga/ThreadPool.h"

#include <algorithm>

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
    busy_ = Size();
    error_ = nullptr;
    ++round_;
  }
  wake_.notify_all();
}

void TThreadPool::Wait() {
  std::unique_lock lock(mutex_);
  finished_.wait(lock, [this] { return busy_ == 0; });
  task_ = nullptr;
  count_ = 0;
  if (std::exception_ptr error = std::exchange(error_, nullptr)) std::rethrow_exception(error);
}

bool TThreadPool::RunOne(int worker) {
  size_t index = 0;
  {
    std::lock_guard lock(mutex_);
    if (next_ >= count_) return false;
    index = next_++;
  }
  try {
    task_(index, worker);
  } catch (...) {
    std::lock_guard lock(mutex_);
    if (!error_) error_ = std::current_exception();
  }
  return true;
}

void TThreadPool::SkipRest() {
  std::lock_guard lock(mutex_);
  next_ = count_;
}

void TThreadPool::WorkerLoop(int worker) {
  uint64_t seen = 0;
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || round_ != seen; });
      if (stopping_) return;
      seen = round_;
    }
    while (RunOne(worker)) {
    }
    std::lock_guard lock(mutex_);
    if (--busy_ == 0) finished_.notify_one();
  }
}

int ResolveThreadCount(int setting) {
  if (setting > 0) return std::min(setting, TThreadPool::MaxThreads);
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1,
                    TThreadPool::MaxThreads);
}

}  // namespace sarvanta
