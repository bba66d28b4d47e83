#include "base/Exception.h"
#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

using namespace sarvanta;

TEST(NumberText, GeneralFormatUsesPointAndShortestForm) {
  const struct {
    long double value;
    const char* text;
  } cases[] = {
      {0.3L, "0.3"},          {200, "200"},          {-2.5L, "-2.5"},
      {0, "0"},               {-0.0L, "0"},          {1e20L, "1E20"},
      {1.5e-5L, "1.5E-5"},    {0.0001L, "0.0001"},   {123456789012345.0L, "123456789012345"},
      {1e15L, "1E15"},        {1.0L / 3, "0.333333333333333"}, {-1e-300L, "-1E-300"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.value), c.text) << c.text;
  EXPECT_EQ(FloatToStrDigits(0.123456789L, 5), "0.12346");
  EXPECT_EQ(FloatToStrDigits(12345678, 5), "1.2346E7");
  EXPECT_EQ(FloatToStr(INFINITY), "INF");
}

TEST(NumberText, TwentyOneDigitsReadBackExactly) {
  for (long double v : {0.3L, 1.0L / 3, 3.14159265358979323846L, 1e-4000L, 1e4000L, -7.25e-12L}) {
    EXPECT_EQ(StrToFloat(FloatToStrDigits(v, 21)), v);
  }
}

TEST(NumberText, ParsesRealsAndRefusesWithTheStandardMessage) {
  EXPECT_EQ(StrToFloat("1e-5"), 1e-5L);
  EXPECT_EQ(StrToFloat(".5"), 0.5L);
  EXPECT_EQ(StrToFloat("+2"), 2.0L);
  EXPECT_EQ(StrToFloat(" -2.5E+1 "), -25.0L);
  EXPECT_EQ(StrToFloat("5."), 5.0L);
  EXPECT_EQ(StrToFloat("1e-99999"), 0.0L);
  for (const char* bad : {"", "abc", "1e", "1,5", "inf", "nan", "0x1p3", "1e99999", ".", "--1", "1 2"}) {
    long double v = 7;
    EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
    EXPECT_EQ(v, 7);
  }
  try {
    StrToFloat("12a");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'12a' is not a valid floating point value");
  }
}

TEST(NumberText, ParsesIntegersAndRefusesWithTheStandardMessage) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt(" -7"), -7);
  EXPECT_EQ(StrToInt("$FF"), 255);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
  for (const char* bad : {"", "0.01", "2147483648", "x", "1e3", "-"}) {
    int32_t v = 3;
    EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
  }
  try {
    StrToInt("0.01");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'0.01' is not a valid integer value");
  }
}

TEST(NumberText, IgnoresTheLocale) {
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no comma locale installed";
  EXPECT_EQ(FloatToStr(0.5L), "0.5");
  EXPECT_EQ(StrToFloat("0.5"), 0.5L);
  std::setlocale(LC_NUMERIC, "C");
}

TEST(NumberText, RoundsHalvesToEven) {
  const struct {
    long double value;
    int64_t rounded;
  } cases[] = {{2.5L, 2}, {3.5L, 4}, {-2.5L, -2}, {0.5L, 0}, {1.5L, 2}, {2.4999L, 2}, {-0.6L, -1}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << double(c.value);
}
