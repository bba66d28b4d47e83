// The twitch-sum kernel of a motor unit's force, with the straightforward per-impulse
// computation beside it as the reference that tests and benchmarks compare against.
//
// Force at t: for every impulse i (time ti) in train order:
//   k  := i - Search(ti - Tf)                  (earlier impulses inside the fatigue window)
//   A  := Fmax + (Fmin - Fmax) * Power(k * Tref / Tf, Pow)
//   s  := ti + LeadT
//   if s < t: F += A * Power(tau / Tc, m) * exp(m - tau * m / Tc), tau = t - s,
//             m = ShapeExponent
// A step without a finite value (division by zero, overflow, invalid operation) resets F to 0
// and the loop goes on with the next impulse. Faults are found by checking values, never by
// trapping.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace sarvanta {

// Which computation motor units use for their force: the step-by-step reference (baselines
// and checks), the fast kernels with the widest instruction set the processor has, or the fast
// kernels with one instruction set: the baseline (Portable), AVX2 with FMA, or AVX-512 (F and
// DQ) with FMA. Process-wide; choose it before a run, not during one.
enum class TTwitchKernelChoice { Literal, Fast, Portable, Avx2, Avx512 };
void SetTwitchKernel(TTwitchKernelChoice choice);
TTwitchKernelChoice TwitchKernel();

// The kernel that `kernel` runs on this processor: Literal stays Literal, Fast becomes the
// widest instruction set present, and an instruction set the processor lacks becomes the next
// narrower one it has (so nothing ever runs instructions the processor lacks).
TTwitchKernelChoice ResolvedTwitchKernel(TTwitchKernelChoice kernel);
// True when `kernel` runs as asked on this processor (ResolvedTwitchKernel leaves it alone, or
// it is Fast).
bool TwitchKernelPresent(TTwitchKernelChoice kernel);
// "literal 80-bit", "fast", "portable", "AVX2+FMA" or "AVX-512".
const char* TwitchKernelName(TTwitchKernelChoice kernel);

struct TTwitchParameters {
  long double Fmin = 0;
  long double Tf = 0;
  long double Pow = 0;
  long double Fmax = 0;
  long double Tc = 0;
  long double Tref = 0;
  long double LeadT = 0;
  long double ShapeExponent = 0;
};

// Equal parameters, a NaN equal to a NaN: all of them, or those a train's peaks depend on
// (not Tc and the shape exponent).
bool SameTwitchParameters(const TTwitchParameters& a, const TTwitchParameters& b);
bool SamePeakParameters(const TTwitchParameters& a, const TTwitchParameters& b);

// Power(b, e): 1 when e = 0; 0 when b = 0 and e > 0; repeated multiplication for whole e
// (reciprocal for negative e); exp(e * ln b) otherwise. False when any step has no finite value
// (b < 0 with fractional e, b = 0 with e < 0, overflow).
bool CheckedPower(long double base, long double exponent, long double& result);

// The binary search of a train a[0..n-1]: the index of an entry equal to x when the search meets
// one, otherwise the last index examined; -1 for an empty train.
int32_t SearchImpulse(std::span<const long double> train, long double x);

// The straightforward computation, step by step.
long double TwitchForceLiteral(const TTwitchParameters& p, std::span<const long double> train,
                               long double t);

// What does not depend on t: each impulse's peak and start, and which impulses fault there.
struct TTwitchPeaks {
  std::vector<long double> Peak;
  std::vector<long double> Start;
  std::vector<uint8_t> Faulted;  // 1 where the peak or the start has no finite value
  // Index of the last impulse whose peak or start has no finite value, -1 when none.
  int64_t LastFault = -1;
  // Starts ascending (and finite): the impulses started before t are a prefix of the train.
  bool Sorted = true;
  // Every peak that does not fault is 0 or a positive number of moderate size, the largest
  // being MaxPeak: then old twitches too small to matter can be left out.
  bool PeaksModerate = true;
  long double MaxPeak = 0;
  // The same in double precision for the wide kernels: each start as the sum of two doubles,
  // each peak times 2^-PeakScale (so that the largest is below 2). Wide is false when the
  // train does not suit them (unsorted, a start beyond double range, a negative peak, or a
  // peak much smaller than the largest): then the 80-bit kernel computes every time.
  std::vector<double> StartHigh;
  std::vector<double> StartLow;
  std::vector<double> PeakWide;
  int PeakScale = 0;
  bool Wide = false;
};

TTwitchPeaks ComputeTwitchPeaks(const TTwitchParameters& p, std::span<const long double> train);

// The same force as TwitchForceLiteral (within 1e-15 relative, usually a few units of the last
// place) from precomputed peaks: only impulses started before t are visited, each twitch is one
// table-driven exponential, and where all peaks are non-negative the sum runs newest first and
// leaves out old twitches that together stay below 2^-66 of it.
long double TwitchForceFast(const TTwitchParameters& p, const TTwitchPeaks& peaks, long double t);

// The same force (within 1e-13 relative of TwitchForceLiteral) from lanes of double-precision
// twitches, with the instruction set ResolvedTwitchKernel(kernel). False, leaving `force`
// alone, when the double computation cannot vouch for the result at t and TwitchForceFast must
// give it.
bool TwitchForceWide(const TTwitchParameters& p, const TTwitchPeaks& peaks, long double t,
                     TTwitchKernelChoice kernel, long double& force);

// samples[i] += the force at times[i] by the fast kernels (any choice but Literal), bit for bit
// the value each time gives on its own with the same kernel, whatever the other times; times
// usually ascend.
void AddTwitchForces(const TTwitchParameters& p, const TTwitchPeaks& peaks,
                     std::span<const long double> times, std::span<long double> samples,
                     TTwitchKernelChoice kernel);

}  // namespace sarvanta
