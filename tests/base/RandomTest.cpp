#include "base/Random.h"

#include <gtest/gtest.h>

using namespace sarvanta;

TEST(Random, DrawsFollowTheLinearCongruence) {
  TRandom r;
  r.State = 0;
  EXPECT_EQ(r.Next(), 1u);
  EXPECT_EQ(r.Next(), 134775814u);
  r.State = 0xFFFFFFFFu;  // wraps modulo 2^32
  EXPECT_EQ(r.Next(), static_cast<uint32_t>(0xFFFFFFFFull * 134775813ull + 1));

  r.State = 0;
  EXPECT_EQ(r.Real(), 1.0L / 4294967296.0L);
  r.State = 0;
  EXPECT_EQ(r.Below(10), 0u);  // (10 * 1) >> 32
  r.State = 0x7FFFFFFFu;
  const uint32_t next = 0x7FFFFFFFu * 134775813u + 1u;
  EXPECT_EQ(r.Below(1000), static_cast<uint32_t>((1000ull * next) >> 32));
  EXPECT_EQ(r.Below(0), 0u);
  for (int i = 0; i < 1000; ++i) {
    EXPECT_LT(r.Below(7), 7u);
    const long double x = r.Real();
    EXPECT_GE(x, 0);
    EXPECT_LT(x, 1);
  }
}

TEST(Random, FixedSeedMakesReseedsRepeatable) {
  TRandom a, b;
  a.SetFixedSeed(42);
  b.SetFixedSeed(42);
  EXPECT_EQ(a.State, 42u);
  a.Randomize();
  b.Randomize();
  EXPECT_EQ(a.State, b.State);
  const uint32_t first = a.State;
  a.Randomize();
  EXPECT_NE(a.State, first);  // successive reseeds differ
  a.SetFixedSeed(std::nullopt);
  a.Randomize();
  EXPECT_LT(a.State, 24u * 60 * 60 * 1000);  // the clock's time of day in ms
}
