// The fast twitch sum against the step-by-step one, over many trains, parameters and times,
// including the cases where steps fault.
#include "model/TwitchKernel.h"
#include "model/TwitchTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <random>
#include <span>
#include <vector>

namespace sarvanta {
namespace {

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

TEST(TwitchKernel, PowerFollowsTheLibraryDefinitionAndReportsFaults) {
  const struct {
    long double Base, Exponent;
    bool Ok;
    long double Result;
  } cases[] = {
      {2, 0, true, 1},      {kNaN, 0, true, 1},   {0, 0, true, 1},        {0, 2.5L, true, 0},
      {-2, 3, true, -8},    {2, -2, true, 0.25L}, {4, 0.5L, true, 2},     {0, -1, false, 0},
      {0, -0.5L, false, 0}, {-2, 0.5L, false, 0}, {1e3000L, 2, false, 0}, {1e-3000L, -2, false, 0},
      {10, 1e6L, false, 0}, {1, kNaN, false, 0},
  };
  for (const auto& c : cases) {
    long double result = -1;
    EXPECT_EQ(CheckedPower(c.Base, c.Exponent, result), c.Ok) << c.Base << " ^ " << c.Exponent;
    if (c.Ok) {
      EXPECT_NEAR(static_cast<double>(result), static_cast<double>(c.Result), 1e-18);
    }
  }
}

TEST(TwitchKernel, PeaksDoNotDependOnTime) {
  const TTwitchParameters p{0.25L, 50, 1.5L, 2, 20, 5, 3, 2.2L};
  const std::vector<long double> train{0, 5, 10, 40, 100};
  const TTwitchPeaks peaks = ComputeTwitchPeaks(p, train);
  EXPECT_TRUE(peaks.Sorted);
  EXPECT_EQ(peaks.LastFault, -1);
  EXPECT_EQ(peaks.Peak[0], 2);  // no earlier impulse in the window
  EXPECT_EQ(peaks.Start[3], 43);
  EXPECT_LT(peaks.Peak[2], peaks.Peak[1]);

  const std::vector<long double> unsorted{10, 0, 5};
  EXPECT_FALSE(ComputeTwitchPeaks(p, unsorted).Sorted);
  const TTwitchParameters noWindow{0.25L, 0, 1.5L, 2, 20, 5, 3, 2.2L};
  EXPECT_EQ(ComputeTwitchPeaks(noWindow, train).LastFault, 4);
}

// Draws one of a few special values now and then, a plausible value otherwise.
class TCaseMaker : public TTestDraws {
 public:
  using TTestDraws::TTestDraws;
  template <class T>
  T Pick(std::initializer_list<T> values) {
    const auto i = std::uniform_int_distribution<size_t>(0, values.size() - 1)(engine_);
    return *(values.begin() + i);
  }

  long double Shape(long double tc, long double tr) {
    if (Chance(0.1)) return Pick<long double>({0, 1, 2, 3, -1, 0.5L, 999, 5000, kNaN, kInf});
    if (tc == tr || tr == 0) return 0;
    const long double m =
        std::numbers::ln2_v<long double> * tc / (tc * std::log(tc / tr) + tr - tc);
    return std::isfinite(m) ? m : 0;
  }

  TTwitchParameters Parameters() {
    TTwitchParameters p;
    p.Fmax = Chance(0.1) ? Pick<long double>({0, -1, 1e300L, 1e-300L, 1e1500L}) : Uniform(0.1L, 5);
    p.Fmin = Chance(0.1) ? Pick<long double>({0, -2, p.Fmax}) : Uniform(0, p.Fmax);
    p.Tf = Chance(0.1) ? Pick<long double>({0, -50, 1e-3L, 1e6L}) : Uniform(20, 500);
    p.Pow = Chance(0.2) ? Pick<long double>({0, 1, 2, 3, -1, -0.5L, 40}) : Uniform(0.2L, 4);
    p.Tc = Chance(0.1) ? Pick<long double>({0, -10, 1e-4L, 1e4L}) : Uniform(5, 120);
    p.Tref = Chance(0.1) ? Pick<long double>({0, -1, 1e4L}) : Uniform(1, 15);
    p.LeadT = Chance(0.2) ? Pick<long double>({-5, 2.5L, 1e5L}) : 0;
    p.ShapeExponent = Shape(p.Tc, Chance(0.8) ? p.Tc * Uniform(1.2L, 4) : p.Tc);
    return p;
  }

  std::vector<long double> Train() {
    const auto n = std::uniform_int_distribution<int>(0, 40)(engine_);
    std::vector<long double> train;
    long double t = Uniform(-20, 50);
    for (int i = 0; i < n; ++i) {
      train.push_back(t);
      t += Chance(0.1) ? 0 : Uniform(1, 80);
    }
    if (Chance(0.1) && !train.empty()) std::shuffle(train.begin(), train.end(), engine_);
    if (Chance(0.05) && !train.empty())
      train[train.size() / 2] = Pick<long double>({kNaN, kInf, -kInf});
    return train;
  }

  std::vector<long double> Times(const std::vector<long double>& train, long double tc) {
    std::vector<long double> times{-1e9L, 0, 1e9L, kNaN, kInf, -kInf, 1e4000L};
    for (int i = 0; i < 60; ++i) times.push_back(Uniform(-50, 2000));
    for (const long double s : train) {
      times.push_back(s);
      times.push_back(s + tc);
      times.push_back(std::nextafter(s, kInf));
    }
    return times;
  }
};

TEST(TwitchKernel, FastSumEqualsTheStepByStepSum) {
  TCaseMaker maker(20240611);
  int compared = 0;
  int faulted = 0;
  for (int c = 0; c < 800; ++c) {
    const TTwitchParameters p = maker.Parameters();
    const std::vector<long double> train = maker.Train();
    const TTwitchPeaks peaks = ComputeTwitchPeaks(p, train);
    if (peaks.LastFault >= 0) ++faulted;
    for (const long double t : maker.Times(train, p.Tc)) {
      const long double literal = TwitchForceLiteral(p, train, t);
      const long double fast = TwitchForceFast(p, peaks, t);
      ASSERT_TRUE(std::isfinite(literal));
      ASSERT_LE(std::fabs(fast - literal), 1e-15L * std::fabs(literal))
          << "case " << c << " t " << t << " literal " << literal << " fast " << fast << " Tc "
          << p.Tc << " m " << p.ShapeExponent << " n " << train.size();
      ++compared;
    }
  }
  EXPECT_GT(compared, 30000);
  EXPECT_GT(faulted, 30);
}

// The same cases through the double lanes of each instruction set (with the 80-bit kernel
// wherever they decline): within 1e-13 of the step-by-step sum, and each time's force in a
// grid bit for bit its force on its own.
class TwitchKernelLanes : public TKernelChoiceTest {};

TEST_P(TwitchKernelLanes, WideSumsStayWithinTheToleranceOfTheStepByStepSum) {
  TCaseMaker maker(20240611);
  int compared = 0;
  int wide = 0;
  for (int c = 0; c < 800; ++c) {
    const TTwitchParameters p = maker.Parameters();
    const std::vector<long double> train = maker.Train();
    const TTwitchPeaks peaks = ComputeTwitchPeaks(p, train);
    const std::vector<long double> times = maker.Times(train, p.Tc);
    std::vector<long double> forces(times.size(), 0);
    AddTwitchForces(p, peaks, times, forces, Kernel());
    for (size_t i = 0; i < times.size(); ++i) {
      const long double literal = TwitchForceLiteral(p, train, times[i]);
      ASSERT_LE(std::fabs(forces[i] - literal), 1e-13L * std::fabs(literal))
          << "case " << c << " t " << times[i] << " literal " << literal << " wide " << forces[i]
          << " Tc " << p.Tc << " m " << p.ShapeExponent << " n " << train.size();
      std::vector<long double> alone{0};
      AddTwitchForces(p, peaks, std::span<const long double>(&times[i], 1), alone, Kernel());
      ASSERT_EQ(alone[0], forces[i]) << "case " << c << " t " << times[i];
      long double wideForce = 0;
      if (TwitchForceWide(p, peaks, times[i], Kernel(), wideForce)) ++wide;
      ++compared;
    }
  }
  EXPECT_GT(compared, 30000);
  // Awkward as these cases are, a good share of them goes through the lanes.
  EXPECT_GT(wide, compared / 3);
  std::printf("%d of %d samples by the lanes\n", wide, compared);
}

INSTANTIATE_TEST_SUITE_P(EveryInstructionSet, TwitchKernelLanes, WidePaths(), KernelTestName);

}  // namespace
}  // namespace sarvanta
