// What the twitch-kernel tests share: seeded random draws, and tests run once per kernel
// choice.
#pragma once

#include "model/TwitchKernel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>

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

// A test run once per kernel choice (TEST_P with KernelChoices or WidePaths). An instruction
// set this processor lacks is skipped with a message: it is never run on a narrower one and
// reported as passed. The choice in force is the one the test asked for until it ends, then
// the default again.
class TKernelChoiceTest : public ::testing::TestWithParam<TTwitchKernelChoice> {
 protected:
  void SetUp() override {
    if (!TwitchKernelPresent(GetParam()))
      GTEST_SKIP() << "this processor does not run the " << TwitchKernelName(GetParam())
                   << " kernel";
  }
  void TearDown() override { SetTwitchKernel(TTwitchKernelChoice::Fast); }
  TTwitchKernelChoice Kernel() const { return GetParam(); }
};

// The double-precision lanes with each instruction set.
inline auto WidePaths() {
  return ::testing::Values(TTwitchKernelChoice::Portable, TTwitchKernelChoice::Avx2,
                           TTwitchKernelChoice::Avx512);
}

// Every choice: the step-by-step sum, the widest lanes, and the lanes of each instruction set.
inline auto KernelChoices() {
  return ::testing::Values(TTwitchKernelChoice::Literal, TTwitchKernelChoice::Fast,
                           TTwitchKernelChoice::Portable, TTwitchKernelChoice::Avx2,
                           TTwitchKernelChoice::Avx512);
}

// gtest shows a choice by its name.
inline void PrintTo(TTwitchKernelChoice kernel, std::ostream* out) {
  *out << TwitchKernelName(kernel);
}

inline std::string KernelTestName(const ::testing::TestParamInfo<TTwitchKernelChoice>& info) {
  switch (info.param) {
    case TTwitchKernelChoice::Literal:
      return "Literal";
    case TTwitchKernelChoice::Fast:
      return "Fast";
    case TTwitchKernelChoice::Portable:
      return "Portable";
    case TTwitchKernelChoice::Avx2:
      return "Avx2";
    case TTwitchKernelChoice::Avx512:
      return "Avx512";
  }
  return "Unknown";
}

}  // namespace sarvanta
