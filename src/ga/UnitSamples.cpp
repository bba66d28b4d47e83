#include "ga/UnitSamples.h"

#include "model/ImpulseTrain.h"

#include <atomic>
#include <cstring>

namespace sarvanta {

uint64_t NewEvaluationSerial() {
  static std::atomic<uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

long double TUnitSamples::ForceAt(long double t) const {
  long double force = 0;
  AddTrainForces(Parameters, Train, Peaks, std::span<const long double>(&t, 1),
                 std::span<long double>(&force, 1));
  return force;
}

std::shared_ptr<const TUnitSamples> MakeUnitSamples(const TTwitchParameters& parameters,
                                                    uint64_t units, std::vector<long double> train,
                                                    const TEvaluationGrid& grid) {
  auto samples = std::make_shared<TUnitSamples>();
  samples->Parameters = parameters;
  samples->Units = units;
  samples->Train = std::move(train);
  if (!samples->Train.empty()) samples->Peaks = ComputeTwitchPeaks(parameters, samples->Train);
  samples->Grid = grid.Id;
  std::vector<long double> values(grid.Times.size(), 0.0L);
  AddTrainForces(parameters, samples->Train, samples->Peaks, grid.Times, values);
  samples->Values.resize(values.size() * TUnitSamples::kValueBytes);
  for (size_t i = 0; i < values.size(); ++i)
    std::memcpy(samples->Values.data() + i * TUnitSamples::kValueBytes, &values[i],
                TUnitSamples::kValueBytes);
  samples->Serial = NewEvaluationSerial();
  return samples;
}

}  // namespace sarvanta
