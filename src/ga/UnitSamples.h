// The force samples of one motor unit over one time grid, for one impulse train and one set of
// twitch parameters. Made once, never changed afterwards, and shared (reference counted) by
// every individual whose unit holds that train: copying an individual copies pointers, and a
// changed train gets samples of its own instead of an edit of shared ones.
#pragma once

#include "model/TwitchKernel.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <span>
#include <vector>

namespace sarvanta {

// The times a round of evaluation samples at; Id is the same for equal grids of one run.
struct TEvaluationGrid {
  uint64_t Id = 0;
  std::vector<long double> Times;
};

struct TUnitSamples {
  TTwitchParameters Parameters;
  // The snapshot unit table the parameters came from (TEvaluationSnapshot::UnitsId).
  uint64_t Units = 0;
  // The train as the unit stores it (sorted, filtered).
  std::vector<long double> Train;
  TTwitchPeaks Peaks;
  uint64_t Grid = 0;
  // The unit's force at the grid's times, kValueBytes bytes each (LoadSample reads one).
  std::vector<unsigned char> Values;
  // Unique to these samples among every samples made by the process.
  uint64_t Serial = 0;

  // True when these are the samples of `train` with the parameters of unit table `units` on
  // grid `grid`.
  bool Fit(uint64_t units, const std::vector<long double>& train, uint64_t grid) const {
    return Grid == grid && Units == units && Train == train;
  }
  // The unit's force at any time t, bit for bit as a sample at t would give it.
  long double ForceAt(long double t) const;

  // The bytes of one value: an 80-bit extended value needs 10 of the 16 it occupies in memory,
  // and a population keeps many samples.
  static constexpr size_t kValueBytes =
      std::numeric_limits<long double>::digits == 64 ? 10 : sizeof(long double);
  static long double LoadSample(const unsigned char* bytes) {
    long double value = 0;
#if defined(__x86_64__) || defined(__i386__)
    // Straight from the packed bytes: a copy into a padded value would stall the load.
    asm("fldt %1" : "=t"(value) : "m"(*reinterpret_cast<const unsigned char(*)[10]>(bytes)));
#else
    std::memcpy(&value, bytes, kValueBytes);
#endif
    return value;
  }
};

// Computes the samples of a normalized train (pure: safe on any thread).
std::shared_ptr<const TUnitSamples> MakeUnitSamples(const TTwitchParameters& parameters,
                                                    uint64_t units, std::vector<long double> train,
                                                    const TEvaluationGrid& grid);

// A number no other caller of this function gets (grids and samples are told apart by it).
uint64_t NewEvaluationSerial();

}  // namespace sarvanta
