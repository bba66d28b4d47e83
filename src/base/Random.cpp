#include "base/Random.h"

#include <chrono>

namespace sarvanta {

TRandom& TRandom::Shared() {
  static TRandom generator;
  return generator;
}

uint32_t TRandom::Next() {
  State = State * 134775813u + 1u;
  return State;
}

long double TRandom::Real() { return static_cast<long double>(Next()) * 0x1p-32L; }

uint32_t TRandom::Below(uint32_t n) {
  return static_cast<uint32_t>((static_cast<uint64_t>(n) * Next()) >> 32);
}

void TRandom::Randomize() {
  if (!fixedSeed_) {
    State = UtcMillisecondsOfDay();
    return;
  }
  // A different, reproducible state for every reseed of the run (a golden-ratio step keeps
  // successive states far apart).
  ++reseedCount_;
  State = *fixedSeed_ + reseedCount_ * 0x9E3779B9u;
}

void TRandom::SetFixedSeed(std::optional<uint32_t> seed) {
  fixedSeed_ = seed;
  reseedCount_ = 0;
  if (seed) State = *seed;
}

uint32_t UtcMillisecondsOfDay() {
  using namespace std::chrono;
  const auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  return static_cast<uint32_t>(now % (24LL * 60 * 60 * 1000));
}

}  // namespace sarvanta
