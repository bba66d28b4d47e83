// The function windows' sampling: where the points lie, when sampling refuses to start, and
// the numeric derivatives with the order in which they take the function's values.
#include "task/FunctionSampling.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace sarvanta {
namespace {

std::vector<long double> Xs(const std::vector<TCurvePoint>& curve) {
  std::vector<long double> xs;
  for (const TCurvePoint& p : curve) xs.push_back(p.X);
  return xs;
}

TEST(FunctionSampling, PointsStartOneStepAboveTheMinimumAndEndAtOrBeyondTheMaximum) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  struct Case {
    long double Min, Max, Step;
    std::vector<long double> Points;
  };
  const Case cases[] = {
      {0, 1, 0.5L, {0.5L, 1}},
      {0, 0, 1, {}},
      {0, 1, 0.4L, {0.4L, 0.8L, 0.4L + 0.4L + 0.4L}},
      {2, 1, 0.5L, {}},
      // A step that would not advance gives nothing instead of sampling for ever.
      {0, 1, 0, {}},
      {0, 1, -1, {}},
      {0, 1, nan, {}},
      // A step too small to change x ends the sampling.
      {1e20L, 2e20L, 1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.Min << " " << c.Max << " " << c.Step);
    EXPECT_EQ(SamplePoints(c.Min, c.Max, c.Step), c.Points);
  }
  EXPECT_EQ(SamplePoints(0, 1e9L, 1).size(), MaxCurvePoints);
}

TEST(FunctionSampling, ValuesAndDerivativesOfASquare) {
  const TRealFunction square = [](long double x) { return x * x; };
  const auto values = SampleFunction(0, 10, 1, square);
  ASSERT_EQ(values.size(), 10u);
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(values[i].X, i + 1);
    EXPECT_EQ(values[i].Y, (i + 1) * (i + 1));
  }
  const auto first = SampleFunction(0, 10, 1, square, TDerivative::First);
  const auto second = SampleFunction(0, 10, 1, square, TDerivative::Second);
  EXPECT_EQ(Xs(first), Xs(values));
  EXPECT_EQ(Xs(second), Xs(values));
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_NEAR(first[i].Y, 2 * values[i].X, 1e-9);
    // Three values of about 100 differ by h^2 = 4e-12 here: the rounding of the 64-bit
    // mantissa stays below 1e-5.
    EXPECT_NEAR(second[i].Y, 2, 1e-5);
  }
}

TEST(FunctionSampling, DerivativesTakeTheValuesInTheirOrder) {
  std::vector<long double> asked;
  const TRealFunction record = [&asked](long double x) {
    asked.push_back(x);
    return x;
  };
  EXPECT_NEAR(FirstDerivative(record, 3), 1, 1e-9);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0], 3 + 1e-6L);
  EXPECT_EQ(asked[1], 3 - 1e-6L);
  asked.clear();
  EXPECT_NEAR(SecondDerivative(record, 3), 0, 1e-3);
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0], 3);
  EXPECT_EQ(asked[1], 3 + 2e-6L);
  EXPECT_EQ(asked[2], 3 - 2e-6L);
}

}  // namespace
}  // namespace sarvanta
