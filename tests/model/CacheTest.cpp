// Value caches: sample counts on the grid, change detection, oscillated sampling.
#include "model/Cache.h"

#include "base/Exception.h"
#include "model/TimeFrame.h"

#include <gtest/gtest.h>

#include <vector>

namespace sarvanta {
namespace {

TEST(CacheTest, SamplesTheGridUpwardFromItsStart) {
  TTimeFrame frame;
  frame.SetFrame(false, false, 0, 1, 0.25L, 0.25L, 0, 1);
  TCache cache(nullptr, &frame);
  std::vector<long double> asked;
  cache.Func = [&](long double t) {
    asked.push_back(t);
    return 2 * t;
  };
  EXPECT_TRUE(cache.TimeFrameChanged());
  cache.Recalculate();
  EXPECT_EQ(asked, (std::vector<long double>{0, 0.25L, 0.5L, 0.75L, 1}));
  EXPECT_EQ(cache.Count, 5);
  EXPECT_EQ(cache.Samples[4], 2.0L);

  // An end before the start gives as many samples, still taken upward from the start.
  frame.SetFrame(false, false, 1, 0, 0.25L, 0.25L, 0, 1);
  asked.clear();
  EXPECT_TRUE(cache.TimeFrameChanged());
  cache.Recalculate();
  EXPECT_EQ(asked, (std::vector<long double>{1, 1.25L, 1.5L, 1.75L, 2}));
  EXPECT_EQ(cache.Count, 5);
}

TEST(CacheTest, ChangeDetectionFollowsGridAndOscillation) {
  TTimeFrame frame;
  frame.SetFrame(false, false, 0, 10, 1, 1, 0, 10);
  TCache cache(nullptr, &frame);
  EXPECT_TRUE(cache.TimeFrameChanged());
  EXPECT_FALSE(cache.TimeFrameChanged());  // the copy was brought up to date

  // Without an oscillation range the offset alone is no change.
  frame.OscOffset = 0.5L;
  EXPECT_FALSE(cache.TimeFrameChanged());
  frame.OscRange = 1;
  EXPECT_TRUE(cache.TimeFrameChanged());
  EXPECT_EQ(cache.Offset, 0.5L);
  EXPECT_FALSE(cache.TimeFrameChanged());

  frame.Precision = 0.5L;
  EXPECT_TRUE(cache.TimeFrameChanged());
  EXPECT_EQ(cache.TimeStep, 0.5L);
  frame.FrameEnd = 20;
  EXPECT_TRUE(cache.TimeFrameChanged());
  EXPECT_EQ(cache.EndTime, 20.0L);

  // With a range, samples are taken at the grid points shifted by the offset.
  std::vector<long double> asked;
  cache.Func = [&](long double t) {
    asked.push_back(t);
    return t;
  };
  cache.SetTimes(0, 1, 0.5L, 0.5L);
  cache.Recalculate();
  EXPECT_EQ(asked, (std::vector<long double>{0.5L, 1, 1.5L}));
}

TEST(CacheTest, CountValuesAndDegenerateSteps) {
  TCache cache(nullptr, nullptr);
  cache.SetValues({1, 2, 3});
  EXPECT_EQ(cache.Count, 3);
  cache.SetCount(5);
  EXPECT_EQ(cache.Samples, (std::vector<long double>{1, 2, 3, 0, 0}));
  cache.SetCount(2);
  EXPECT_EQ(cache.Samples, (std::vector<long double>{1, 2}));

  // A step of 0 keeps the old samples.
  cache.Func = [](long double) { return 9.0L; };
  cache.SetTimes(0, 10, 0, 0);
  cache.Recalculate();
  EXPECT_EQ(cache.Samples, (std::vector<long double>{1, 2}));

  // A negative step or a grid too fine for memory is refused with a message.
  cache.SetTimes(0, 10, -1, 0);
  EXPECT_THROW(cache.Recalculate(), Exception);
  cache.SetTimes(0, 1e9L, 1e-6L, 0);
  EXPECT_THROW(cache.Recalculate(), Exception);
  EXPECT_EQ(cache.Count, 2);
}

}  // namespace
}  // namespace sarvanta
