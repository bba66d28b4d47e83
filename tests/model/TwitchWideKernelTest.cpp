// The double-precision kernels against the step-by-step 80-bit sum on random and awkward units,
// once per instruction set (portable, AVX2, AVX-512; skipped where the processor lacks it): the
// tolerance, the fault rule, and results that do not depend on which other times are computed
// with them. And which instruction set the fast kernel chooses.
#include "model/TwitchKernel.h"
#include "model/TwitchTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace sarvanta {
namespace {

constexpr long double kTolerance = 1e-13L;
// What the lanes guarantee for each sample they serve (the 80-bit kernel does better).
constexpr long double kProvenBound = 4e-14L;

long double ShapeExponent(long double tc, long double tr) {
  return std::numbers::ln2_v<long double> * tc / (tc * std::log(tc / tr) + tr - tc);
}

struct TUnitCase {
  TTwitchParameters Parameters;
  std::vector<long double> Train;
};

// Units as a model holds them, with now and then a shape, fatigue or train that strains the
// double computation or makes steps fault.
class TUnitMaker : public TTestDraws {
 public:
  using TTestDraws::TTestDraws;

  TUnitCase Make() {
    TUnitCase c;
    TTwitchParameters& p = c.Parameters;
    // Contraction times as muscles have them, and now and then very short or very long ones.
    p.Tc = Chance(0.1) ? Uniform(0.01L, 1) : Chance(0.08) ? Uniform(200, 2000) : Uniform(5, 120);
    // Tr close to Tc gives a steep shape (large m), far from it a flat one; Tr below Tc a shape
    // flatter still (m < 1).
    const long double ratio = Chance(0.2)   ? Uniform(1.02L, 1.2L)
                              : Chance(0.1) ? Uniform(0.1L, 0.95L)
                                            : Uniform(1.2L, 6);
    p.ShapeExponent = Chance(0.1) ? std::round(Uniform(1, 12)) : ShapeExponent(p.Tc, p.Tc * ratio);
    p.Fmax = Uniform(0.01L, 3);
    p.Fmin = Chance(0.15) ? p.Fmax * Uniform(1, 3) : p.Fmax * Uniform(0, 1);  // Fmin > Fmax too
    if (Chance(0.05)) p.Fmin = p.Fmax = 0;
    p.Pow = Chance(0.3) ? std::round(Uniform(0, 4)) : Uniform(0.2L, 4);
    if (Chance(0.1)) p.Pow = -0.5L;  // an impulse alone in its window faults
    // Fatigue windows shorter than the spacing of the impulses (most are alone in theirs), of
    // a few impulses, and longer than the whole train.
    p.Tf = Chance(0.1) ? Uniform(1, 30) : Chance(0.05) ? Uniform(1e4L, 1e6L) : Uniform(50, 1500);
    p.Tref = Uniform(1, 25);
    p.LeadT = Chance(0.5) ? Uniform(-3, 5) : Chance(0.2) ? Uniform(-60, 60) : 0;
    const int n = std::uniform_int_distribution<int>(0, Chance(0.1) ? 200 : 40)(engine_);
    const bool dense = Chance(0.1);
    long double t = Uniform(-20, 100);
    for (int i = 0; i < n; ++i) {
      c.Train.push_back(t);
      t += Chance(0.05) ? 0 : dense ? Uniform(0.2L, 3) : Uniform(p.Tref, 120);  // equal times too
    }
    if (Chance(0.05)) c.Train.insert(c.Train.begin(), Uniform(-1e6L, -1e4L));  // long ago
    return c;
  }

  // A fine grid from before the first start to long after the last, the starts themselves and
  // the times just after them.
  std::vector<long double> Grid(const TUnitCase& c) {
    const long double first = c.Train.empty() ? 0 : std::max(c.Train.front(), -100.0L);
    const long double last = c.Train.empty() ? 0 : c.Train.back();
    const long double step = Uniform(1, 4) * std::max(1.0L, c.Parameters.Tc / 100);
    std::vector<long double> times;
    for (long double t = first - 20; t < last + 20 * c.Parameters.Tc + 100; t += step)
      times.push_back(t);
    for (const long double s : c.Train) {
      const long double start = s + c.Parameters.LeadT;
      times.push_back(start);
      times.push_back(std::nextafter(start, std::numeric_limits<long double>::infinity()));
      times.push_back(start + c.Parameters.Tc);
    }
    std::sort(times.begin(), times.end());
    return times;
  }
};

class TwitchWideKernel : public TKernelChoiceTest {};

TEST_P(TwitchWideKernel, GridSamplesStayWithinToleranceOfTheStepByStepSum) {
  const TTwitchKernelChoice kernel = Kernel();
  TUnitMaker maker(7702);
  long double worst = 0;
  int samples = 0;
  int wide = 0;
  int faulted = 0;
  int steep = 0;
  int flat = 0;
  int longTc = 0;
  for (int c = 0; c < 150; ++c) {
    const TUnitCase unit = maker.Make();
    const TTwitchParameters& p = unit.Parameters;
    const TTwitchPeaks peaks = ComputeTwitchPeaks(p, unit.Train);
    if (peaks.LastFault >= 0) ++faulted;
    if (p.ShapeExponent > 16) ++steep;
    if (p.ShapeExponent < 1) ++flat;
    if (p.Tc > 200) ++longTc;
    const std::vector<long double> times = maker.Grid(unit);
    std::vector<long double> forces(times.size(), 0);
    AddTwitchForces(p, peaks, times, forces, kernel);
    for (size_t i = 0; i < times.size(); ++i) {
      const long double literal = TwitchForceLiteral(p, unit.Train, times[i]);
      const long double error = std::fabs(forces[i] - literal);
      ASSERT_LE(error, kProvenBound * std::fabs(literal))
          << "case " << c << " t " << times[i] << " literal " << literal << " m " << p.ShapeExponent
          << " Tc " << p.Tc << " n " << unit.Train.size();
      if (literal != 0) worst = std::max(worst, error / std::fabs(literal));
      long double alone = -1;
      if (TwitchForceWide(p, peaks, times[i], kernel, alone)) {
        ++wide;
        ASSERT_EQ(alone, forces[i]) << "case " << c << " t " << times[i];
      }
      ++samples;
    }
  }
  // The double lanes must carry most of the work, or this compared the 80-bit fallback only.
  EXPECT_GT(wide, samples / 2);
  EXPECT_GT(faulted, 8);
  EXPECT_GT(steep, 10);
  EXPECT_GT(flat, 3);
  EXPECT_GT(longTc, 3);
  EXPECT_LT(worst, kProvenBound) << "worst relative error";
  std::printf("%s: %d samples, %d by the lanes, worst relative error %Lg\n",
              TwitchKernelName(kernel), samples, wide, worst);
}

TEST_P(TwitchWideKernel, SampleDoesNotDependOnTheOtherTimesOfTheGrid) {
  const TTwitchKernelChoice kernel = Kernel();
  TUnitMaker maker(99);
  std::mt19937_64 engine(5);
  for (int c = 0; c < 60; ++c) {
    const TUnitCase unit = maker.Make();
    const TTwitchPeaks peaks = ComputeTwitchPeaks(unit.Parameters, unit.Train);
    const std::vector<long double> times = maker.Grid(unit);
    std::vector<long double> whole(times.size(), 0);
    AddTwitchForces(unit.Parameters, peaks, times, whole, kernel);
    // Every third time, in shuffled order, added onto samples that are not 0.
    std::vector<size_t> picked;
    for (size_t i = 0; i < times.size(); i += 3) picked.push_back(i);
    std::shuffle(picked.begin(), picked.end(), engine);
    std::vector<long double> someTimes, some;
    for (const size_t i : picked) someTimes.push_back(times[i]);
    some.assign(someTimes.size(), 0);
    AddTwitchForces(unit.Parameters, peaks, someTimes, some, kernel);
    for (size_t k = 0; k < picked.size(); ++k)
      ASSERT_EQ(some[k], whole[picked[k]]) << "case " << c << " t " << someTimes[k];
    std::vector<long double> again(times.size(), 0);
    AddTwitchForces(unit.Parameters, peaks, times, again, kernel);
    ASSERT_EQ(again, whole) << "case " << c;
  }
}

TEST_P(TwitchWideKernel, AwkwardTimesAndUnitsFallBackToTheExactRule) {
  const TTwitchKernelChoice kernel = Kernel();
  constexpr long double kInf = std::numeric_limits<long double>::infinity();
  constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
  const TTwitchParameters base{0.2L, 300, 1.5L, 1, 40, 10, 0, ShapeExponent(40, 64)};
  const std::vector<long double> train{0, 15, 30, 60, 200};
  const std::vector<long double> times{-kInf, -1e4000L, -5,   0,     1e-30L, 15,   16,  45,
                                       250,   1e5L,     1e9L, 1e40L, 1e400L, kInf, kNaN};
  struct TVariant {
    const char* Name;
    TTwitchParameters P;
    std::vector<long double> Train;
  };
  TTwitchParameters steep = base, negativeShape = base, hugePeaks = base, tinyTc = base,
                    negativePeaks = base, noWindow = base;
  steep.ShapeExponent = 400;
  negativeShape.ShapeExponent = -2;
  hugePeaks.Fmax = 1e900L;
  hugePeaks.Fmin = 1e899L;
  tinyTc.Tc = 1e-35L;
  negativePeaks.Fmin = -3;  // peaks change sign as fatigue grows
  noWindow.Tf = 0;          // every peak faults
  const std::vector<TVariant> variants{
      {"plain", base, train},
      {"steep", steep, train},
      {"negative shape", negativeShape, train},
      {"huge peaks", hugePeaks, train},
      {"tiny Tc", tinyTc, train},
      {"negative peaks", negativePeaks, train},
      {"no window", noWindow, train},
      {"unsorted", base, {30, 0, 15}},
      {"far train", base, {-1e350L, 0, 1e350L}},
      {"single", base, {5}},
      {"far past impulse", base, {-626513, 83, 123}},
  };
  for (const TVariant& v : variants) {
    const TTwitchPeaks peaks = ComputeTwitchPeaks(v.P, v.Train);
    std::vector<long double> forces(times.size(), 0);
    AddTwitchForces(v.P, peaks, times, forces, kernel);
    for (size_t i = 0; i < times.size(); ++i) {
      const long double literal = TwitchForceLiteral(v.P, v.Train, times[i]);
      ASSERT_TRUE(std::isfinite(forces[i])) << v.Name << " t " << times[i];
      EXPECT_LE(std::fabs(forces[i] - literal), kTolerance * std::fabs(literal))
          << v.Name << " t " << times[i] << " literal " << literal << " got " << forces[i];
    }
  }
  // Where the lanes serve, a lone impulse reaches its peak exactly at Tc after its start.
  const TTwitchPeaks single = ComputeTwitchPeaks(base, std::vector<long double>{0});
  long double force = -1;
  ASSERT_TRUE(TwitchForceWide(base, single, 40, kernel, force));
  EXPECT_NEAR(static_cast<double>(force), 1.0, 1e-15);
  ASSERT_TRUE(TwitchForceWide(base, single, 0, kernel, force));
  EXPECT_EQ(force, 0);
  // A twitch so old that its decay is 0 in 80 bits adds exactly nothing, in the lanes too.
  const std::vector<long double> farTrain{-626513, 83, 123};
  const TTwitchPeaks far = ComputeTwitchPeaks(base, farTrain);
  for (const long double t : {0.0L, 50.0L, 100.0L, 300.0L}) {
    ASSERT_TRUE(TwitchForceWide(base, far, t, kernel, force)) << t;
    EXPECT_LE(std::fabs(force - TwitchForceLiteral(base, farTrain, t)),
              kTolerance * TwitchForceLiteral(base, farTrain, t))
        << t;
  }
  EXPECT_EQ(TwitchForceLiteral(base, farTrain, 0), 0);
}

// A lone twitch of a steep shape: near its peak the lanes' bound covers it; far down its
// tail the double exponent can be off by more than the lanes promise, so the sample goes to the
// 80-bit kernel, which keeps to a few units of its last place.
TEST_P(TwitchWideKernel, LanesDeclineSamplesTheirErrorBoundDoesNotCover) {
  const TTwitchKernelChoice kernel = Kernel();
  TTwitchParameters p{1, 300, 1, 1, 40, 10, 0, 16};
  const std::vector<long double> train{0};
  const TTwitchPeaks peaks = ComputeTwitchPeaks(p, train);
  long double force = -1;
  EXPECT_TRUE(TwitchForceWide(p, peaks, 40, kernel, force));
  EXPECT_TRUE(TwitchForceWide(p, peaks, 80, kernel, force));  // x = 2
  for (const long double t : {200.0L, 400.0L, 0.2L}) {        // x = 5, 10 and 1/200
    EXPECT_FALSE(TwitchForceWide(p, peaks, t, kernel, force)) << t;
    std::vector<long double> sample{0};
    AddTwitchForces(p, peaks, std::vector<long double>{t}, sample, kernel);
    const long double literal = TwitchForceLiteral(p, train, t);
    EXPECT_GT(literal, 0) << t;
    EXPECT_LE(std::fabs(sample[0] - literal), 1e-15L * literal) << t;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryInstructionSet, TwitchWideKernel, WidePaths(), KernelTestName);

// Fast runs the widest instruction set the processor reports; a set it lacks is never run, so
// asking for it gives the next narrower one.
TEST(TwitchKernelChoice, FastTakesTheWidestInstructionSetTheProcessorHas) {
  using enum TTwitchKernelChoice;
#if defined(__x86_64__) || defined(__i386__)
  const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  const bool avx512 =
      avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
#else
  const bool avx2 = false;
  const bool avx512 = false;
#endif
  const TTwitchKernelChoice widest = avx512 ? Avx512 : avx2 ? Avx2 : Portable;
  EXPECT_EQ(ResolvedTwitchKernel(Fast), widest);
  EXPECT_EQ(ResolvedTwitchKernel(Avx512), widest);
  EXPECT_EQ(ResolvedTwitchKernel(Avx2), avx2 ? Avx2 : Portable);
  EXPECT_EQ(ResolvedTwitchKernel(Portable), Portable);
  EXPECT_EQ(ResolvedTwitchKernel(Literal), Literal);
  EXPECT_EQ(TwitchKernelPresent(Avx512), avx512);
  EXPECT_EQ(TwitchKernelPresent(Avx2), avx2);
  EXPECT_TRUE(TwitchKernelPresent(Portable));
  EXPECT_TRUE(TwitchKernelPresent(Fast));
  std::printf("the fast kernel runs %s here\n", TwitchKernelName(ResolvedTwitchKernel(Fast)));
}

}  // namespace
}  // namespace sarvanta
