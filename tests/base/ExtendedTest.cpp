#include "base/Extended.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace sarvanta;

namespace {
TExtendedBytes Bytes(std::initializer_list<int> b) {
  TExtendedBytes out{};
  int i = 0;
  for (int v : b) out[static_cast<size_t>(i++)] = static_cast<uint8_t>(v);
  return out;
}
}  // namespace

TEST(Extended, KnownEncodings) {
  const auto v03 = Bytes({0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0xFD, 0x3F});
  const auto v2 = Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x40});
  EXPECT_EQ(EncodeExtended(0.3L), v03);
  EXPECT_EQ(EncodeExtended(2.0L), v2);
  EXPECT_EQ(EncodeExtendedPortable(0.3L), v03);
  EXPECT_EQ(EncodeExtendedPortable(2.0L), v2);
  EXPECT_EQ(DecodeExtended(v03), 0.3L);
  EXPECT_EQ(DecodeExtendedPortable(v2.data()), 2.0L);
}

TEST(Extended, PortableCodecMatchesTheNativeOne) {
  const long double values[] = {0,
                                -0.0L,
                                1,
                                -1,
                                0.1L,
                                1e-4940L,  // subnormal
                                std::numeric_limits<long double>::min(),
                                std::numeric_limits<long double>::max(),
                                -123456.789e300L,
                                std::numeric_limits<long double>::infinity(),
                                -std::numeric_limits<long double>::infinity()};
  for (long double v : values) {
    const auto portable = EncodeExtendedPortable(v);
    EXPECT_EQ(portable, EncodeExtended(v)) << static_cast<double>(v);
    EXPECT_EQ(DecodeExtendedPortable(portable.data()), v);
    EXPECT_EQ(std::signbit(DecodeExtendedPortable(portable.data())), std::signbit(v));
  }
  EXPECT_TRUE(std::isnan(DecodeExtendedPortable(EncodeExtendedPortable(NAN).data())));
}
