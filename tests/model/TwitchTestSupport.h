// What the twitch-kernel tests share: seeded random draws, and the fast kernels this
// processor can run.
#pragma once

#include "model/TwitchKernel.h"

#include <cstdint>
#include <random>
#include <vector>

namespace sarvanta {

class TTestDraws {
 public:
  explicit TTestDraws(uint64_t seed) : engine_(seed) {}

  long double Uniform(long double lo, long double hi) {
    return lo + (hi - lo) *
                    static_cast<long double>(std::uniform_real_distribution<double>(0, 1)(engine_));
  }
  bool Chance(double p) { return std::bernoulli_distribution(p)(engine_); }

 protected:
  std::mt19937_64 engine_;
};

// The portable double path, and the AVX2 and AVX-512 ones where the processor has them.
inline std::vector<TTwitchKernelChoice> FastKernelChoices() {
  std::vector<TTwitchKernelChoice> kernels{TTwitchKernelChoice::Portable};
  if (TwitchKernelPresent(TTwitchKernelChoice::Avx2)) kernels.push_back(TTwitchKernelChoice::Avx2);
  if (TwitchKernelPresent(TTwitchKernelChoice::Avx512))
    kernels.push_back(TTwitchKernelChoice::Avx512);
  return kernels;
}

}  // namespace sarvanta
