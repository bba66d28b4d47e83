// The double-precision twitch sum of the fast kernels, one copy per instruction set; used by
// TwitchKernel.cpp only.
#pragma once

#include <cstdint>

namespace sarvanta {

// Constant tables of the exponential and the logarithm of the lanes, and the bounds within
// which the double computation is trusted.
struct TWideTables {
  static constexpr int kExpStepBits = 8;
  static constexpr uint64_t kExpSteps = uint64_t{1} << kExpStepBits;
  static constexpr int kLogCellBits = 9;
  static constexpr uint64_t kLogCells = uint64_t{1} << kLogCellBits;
  // x = tau / Tc outside these bounds goes to the 80-bit computation: within them, and with
  // 0 < m <= kMaxShape, no step of the literal twitch overflows for any peak the unit accepts.
  static constexpr double kMinX = 1e-30;
  static constexpr double kMaxX = 1e30;
  static constexpr double kMaxShape = 16;
  // Twitches below e^-kDeadExponent of their peak are left out (bounded by kDeadShape each).
  static constexpr double kDeadExponent = 600;
  static constexpr double kDeadShape = 1e-260;
  // Where m (1 - x) is below -kVanishedExponent, e^(m (1 - x)) is 0 in 80 bits (whose
  // smallest value is about e^-11400).
  static constexpr double kVanishedExponent = 11500;
  // Older twitches are left out once together they stay below this share of the sum: far
  // below the 1e-13 the force may differ from the step-by-step sum by.
  static constexpr double kNegligible = 0x1p-50;

  // A sample is served by the lanes only when the bound on its terms' errors (see Twitch)
  // stays below kMaxError of it; with the twitches left out (at most 2 kNegligible) and the
  // compensated sum the sample is then within 4e-14 of the exact sum. kFixedError is the part
  // of a term's relative error, in units of kUnitRoundoff, that does not depend on its
  // exponent.
  static constexpr double kUnitRoundoff = 0x1p-53;
  static constexpr double kFixedError = 6;
  static constexpr double kMaxError = 3.8e-14;

  static const TWideTables& Get();

  double StepsPerLn2, ExpStepHigh, ExpStepLow, Ln2High, Ln2Low;
  double Pow2[kExpSteps];
  double Inverse[kLogCells], LogCentreHigh[kLogCells], LogCentreLow[kLogCells];

 private:
  TWideTables();
};

// One unit's twitch data in the form the lanes read: each start as the sum of two doubles,
// peaks scaled by a power of two to at most 2.
struct TWideUnit {
  double M, InverseTc, MaxPeak;
  const double* StartHigh;
  const double* StartLow;
  const double* Peak;
};

// A batch of kWideBatch times for the lanes, and what the lanes give back. A batch is as wide
// as the widest vector (AVX-512: eight doubles); narrower instruction sets take it in slices.
constexpr int kWideBatch = 8;
struct alignas(64) TWideBatch {
  // In: each time as the sum of two doubles (high part: the time rounded to double), and the
  // number of impulses started before it (as a double, exact).
  double TimeHigh[kWideBatch];
  double TimeLow[kWideBatch];
  double Count[kWideBatch];
  // Out: the scaled force at each time as SumHigh + SumLow, and Ok (all bits set, or 0): 0
  // where the 80-bit computation must give the force.
  double SumHigh[kWideBatch];
  double SumLow[kWideBatch];
  uint64_t Ok[kWideBatch];
};

// The scaled forces at the batch's times, each of twitches first..Count[l]-1 (0 when
// Count[l] <= first), each time on its own: a time's result does not depend on the other times.
using TWideSum = void (*)(const TWideUnit& unit, int64_t first, TWideBatch& batch);
void WideSumPortable(const TWideUnit& unit, int64_t first, TWideBatch& batch);
// Only where the processor has AVX2 and FMA (HasAvx2).
void WideSumAvx2(const TWideUnit& unit, int64_t first, TWideBatch& batch);
// Only where the processor has AVX-512 F and DQ, and FMA (HasAvx512).
void WideSumAvx512(const TWideUnit& unit, int64_t first, TWideBatch& batch);
bool HasAvx2();
bool HasAvx512();

}  // namespace sarvanta
