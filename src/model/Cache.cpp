#include "model/Cache.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "model/TimeFrame.h"

#include <cmath>

namespace sarvanta {

TCache::TCache(TComponent* owner, const TTimeFrame* timeFrame)
    : TComponent(owner), TimeFrame(timeFrame) {}

void TCache::SetCount(int32_t n) {
  if (n == Count) return;
  Count = n;
  Samples.resize(static_cast<size_t>(n < 0 ? 0 : n), 0.0L);
}

void TCache::SetValues(std::vector<long double> values) {
  Samples = std::move(values);
  Count = static_cast<int32_t>(Samples.size());
}

void TCache::SetTimes(long double start, long double end, long double step, long double offset) {
  StartTime = start;
  EndTime = end;
  TimeStep = step;
  Offset = offset;
}

void TCache::TakeGridAndSamples(const TCache& source) {
  SetTimes(source.StartTime, source.EndTime, source.TimeStep, source.Offset);
  Samples = source.Samples;
  Count = static_cast<int32_t>(Samples.size());
}

bool TCache::TimeFrameChanged() {
  if (TimeFrame == nullptr) return false;
  const TTimeFrame& frame = *TimeFrame;
  bool changed = frame.OscRange != 0 && frame.OscOffset != Offset;
  if (!changed) {
    changed =
        StartTime != frame.FrameStart || EndTime != frame.FrameEnd || TimeStep != frame.Precision;
  }
  if (changed) SetTimes(frame.FrameStart, frame.FrameEnd, frame.Precision, frame.OscOffset);
  return changed;
}

void TCache::Recalculate() {
  Recalculate([this](std::span<const long double> times, std::span<long double> samples) {
    for (size_t i = 0; i < times.size(); ++i) samples[i] = Func ? Func(times[i]) : 0.0L;
  });
}

void TCache::Recalculate(const TGridFunc& sample) {
  if (TimeStep == 0) return;
  const std::vector<long double> times = GridTimes();
  SetCount(static_cast<int32_t>(times.size()));
  sample(times, Samples);
}

std::vector<long double> TCache::GridTimes() const {
  if (TimeStep == 0) return {};
  const long double ratio = std::fabs(EndTime - StartTime) / TimeStep;
  if (!(TimeStep > 0) || !std::isfinite(ratio) || ratio > MaxSamples - 1) {
    throw Exception("Cannot sample from " + FloatToStr(StartTime) + " to " + FloatToStr(EndTime) +
                    " ms in steps of " + FloatToStr(TimeStep) +
                    " ms: the step must be positive and give at most " + IntToStr(MaxSamples) +
                    " samples");
  }
  const int64_t n = RoundHalfEven(ratio);
  const bool oscillating = TimeFrame != nullptr && TimeFrame->OscRange != 0;
  const long double shift = oscillating ? TimeFrame->OscOffset : 0.0L;
  std::vector<long double> times(static_cast<size_t>(n + 1));
  for (int64_t i = 0; i <= n; ++i) {
    const long double t = static_cast<long double>(i) * TimeStep + StartTime;
    times[static_cast<size_t>(i)] = oscillating ? t + shift : t;
  }
  return times;
}

}  // namespace sarvanta
