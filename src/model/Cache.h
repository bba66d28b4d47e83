// Samples of one function of time on the task's time grid: one value per grid point from the
// frame's start to its end in steps of the frame's precision. A muscle's force is cached so
// that the goals read samples instead of summing twitches again.
#pragma once

#include "base/Component.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace sarvanta {

class TTimeFrame;

class TCache : public TComponent {
 public:
  using TFunc = std::function<long double(long double t)>;
  // Fills samples[i] with the function's value at times[i], for the whole grid at once.
  using TGridFunc =
      std::function<void(std::span<const long double> times, std::span<long double> samples)>;

  TCache(TComponent* owner, const TTimeFrame* timeFrame);

  // Resizes Samples to n entries (kept entries unchanged, new ones 0).
  void SetCount(int32_t n);
  // Replaces Samples; Count follows.
  void SetValues(std::vector<long double> values);
  // Stores the grid times unchanged (used with SetValues when a cache is copied).
  void SetTimes(long double start, long double end, long double step, long double offset);
  // Takes the grid times and the samples of `source` (a copy of a cache), keeping this
  // cache's storage where it is large enough.
  void TakeGridAndSamples(const TCache& source);
  // True when the frame's grid differs from this cache's copy (or, with a non-zero OscRange,
  // its oscillation offset does); the copy is then brought up to date.
  bool TimeFrameChanged();
  // Fills Samples from Func on the grid; does nothing while TimeStep is 0. A negative or
  // non-finite step, or a grid of more than MaxSamples points, is an error.
  void Recalculate();
  // The same grid and checks, with the samples computed by `sample` instead of Func.
  void Recalculate(const TGridFunc& sample);
  // The times Recalculate samples at (the oscillation offset added when the frame oscillates);
  // none while TimeStep is 0. Throws for a step Recalculate refuses.
  std::vector<long double> GridTimes() const;

  static constexpr int32_t MaxSamples = 10'000'000;

  long double StartTime = 0;
  long double EndTime = 0;
  long double TimeStep = 0;
  long double Offset = 0;
  TFunc Func;
  int32_t Count = 0;
  std::vector<long double> Samples;
  const TTimeFrame* TimeFrame = nullptr;
};

}  // namespace sarvanta
