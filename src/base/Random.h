// The process-wide pseudo-random generator: a 32-bit linear congruential generator shared by
// the genetic algorithm, the expression functions "rn" and "rm" and the impulse generator.
#pragma once

#include <cstdint>
#include <optional>

namespace sarvanta {

class TRandom {
 public:
  // The generator every part of the program draws from.
  static TRandom& Shared();

  // Advances the state: state := state * 134775813 + 1 (mod 2^32).
  uint32_t Next();
  // Uniform real draw in [0, 1): the new state / 2^32.
  long double Real();
  // Integer draw below n: the upper 32 bits of n * new state (0 when n is 0).
  uint32_t Below(uint32_t n);

  // Reseeds. Without a fixed seed the state becomes the UTC time of day in milliseconds
  // ((hour * 60 + minute) * 60 + second) * 1000 + millisecond. With a fixed seed every
  // reseed derives the state from that seed and the number of reseeds so far, so a run
  // can be repeated bit for bit.
  void Randomize();

  // A fixed seed makes every later reseed reproducible; std::nullopt returns to the clock.
  // Setting it also sets the state to the seed and restarts the reseed count.
  void SetFixedSeed(std::optional<uint32_t> seed);
  std::optional<uint32_t> FixedSeed() const { return fixedSeed_; }

  uint32_t State = 0;

 private:
  std::optional<uint32_t> fixedSeed_;
  uint32_t reseedCount_ = 0;
};

// The UTC time of day in milliseconds, as the clock reseed uses it.
uint32_t UtcMillisecondsOfDay();

}  // namespace sarvanta
