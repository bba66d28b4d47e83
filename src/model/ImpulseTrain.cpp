#include "model/ImpulseTrain.h"

#include <algorithm>
#include <utility>

namespace sarvanta {

namespace {

bool StrictlyAscending(const std::vector<long double>& times) {
  for (size_t i = 1; i < times.size(); ++i)
    if (!(times[i - 1] < times[i])) return false;
  return true;
}

}  // namespace

void SortTrain(std::vector<long double>& train, int32_t lo, int32_t hi) {
  const auto last = static_cast<int32_t>(train.size()) - 1;
  lo = std::max(lo, 0);
  hi = std::min(hi, last);
  if (lo >= hi) return;
  auto& a = train;
  const long double pivot = a[static_cast<size_t>(lo + (hi - lo) / 2)];
  int32_t i = lo;
  int32_t j = hi;
  do {
    while (a[static_cast<size_t>(i)] < pivot) ++i;
    while (a[static_cast<size_t>(j)] > pivot) --j;
    if (i <= j) {
      std::swap(a[static_cast<size_t>(i)], a[static_cast<size_t>(j)]);
      ++i;
      --j;
    }
  } while (i <= j);
  if (lo < j) SortTrain(train, lo, j);
  if (i < hi) SortTrain(train, i, hi);
}

void FilterTrain(std::vector<long double>& train, long double tref) {
  if (train.empty()) return;
  size_t kept = 0;
  for (size_t i = 1; i < train.size(); ++i)
    if (train[i] - train[kept] >= tref) train[++kept] = train[i];
  train.resize(kept + 1);
}

void NormalizeTrain(std::vector<long double>& train, long double tref) {
  if (train.size() <= 1) return;
  // Trains written back from genes are mostly in order already. On strictly ascending times
  // the sort moves nothing, so it is skipped.
  if (!StrictlyAscending(train)) SortTrain(train, 0, static_cast<int32_t>(train.size()) - 1);
  FilterTrain(train, tref);
}

void AddTrainForces(const TTwitchParameters& p, std::span<const long double> train,
                    const TTwitchPeaks& peaks, std::span<const long double> times,
                    std::span<long double> samples) {
  if (train.empty()) return;
  const TTwitchKernelChoice kernel = TwitchKernel();
  if (kernel == TTwitchKernelChoice::Literal) {
    for (size_t i = 0; i < times.size(); ++i) samples[i] += TwitchForceLiteral(p, train, times[i]);
    return;
  }
  AddTwitchForces(p, peaks, times, samples, kernel);
}

}  // namespace sarvanta
