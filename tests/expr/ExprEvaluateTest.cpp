#include "base/Exception.h"
#include "base/Random.h"
#include "expr/CompiledExpression.h"
#include "expr/ExprCodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

namespace sarvanta {
namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

long double Eval(const std::string& text, long double t = 0, long double x = 0, long double y = 0,
                 std::array<long double, 6> parameters = {1, 1, 1, 1, 1, 1}) {
  TCompiledExpression compiled(text, "txy", "abcd");
  EXPECT_FALSE(compiled.CompileError()) << text;
  if (compiled.CompileError()) return std::nanl("");
  compiled.SetParameterValues(parameters);
  return compiled.Evaluate(t, x, y);
}

// Equal to 15 significant digits (absolute near zero).
void ExpectClose(long double actual, long double expected, const std::string& what) {
  const long double scale = std::max(std::fabs(expected), 1.0L);
  EXPECT_LE(std::fabs(actual - expected), 1e-15L * scale)
      << what << ": got " << static_cast<double>(actual) << ", expected "
      << static_cast<double>(expected);
}

// The random generator's law, written out independently of TRandom.
struct TLcg {
  uint32_t State;
  uint32_t Next() { return State = State * 134775813u + 1u; }
  long double Real() { return Next() / 4294967296.0L; }
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>((uint64_t{n} * Next()) >> 32); }
  long double Normal() {
    long double u1 = Real();
    if (u1 < 1e-20L) u1 = 1e-20L;
    const long double u2 = Real();
    return std::cos(2 * kPi * u2) * std::sqrt(-2 * std::log(u1));
  }
};

class RandomFixture : public ::testing::Test {
 protected:
  void TearDown() override { TRandom::Shared().SetFixedSeed(std::nullopt); }
};

TEST(ExprEvaluate, AgreesWithDirectComputation) {
  const long double t = 0.7L, x = -1.3L, y = 2.25L;
  const long double a = 1.5L, b = -0.25L, c = 3, d = 0.125L;
  const struct {
    const char* Text;
    long double Expected;
  } cases[] = {
      {"4.5*t/(y^2-x)", 4.5L * t / (y * y - x)},
      {"a-b-c", (a - b) - c},
      {"2^3^2", 64},
      {"-t^2", -(t * t)},
      {"-a*b", (-a) * b},
      {"min(max(a,b),c)", 1.5L},
      {"sin(t)^2+cos(t)^2", std::sin(t) * std::sin(t) + std::cos(t) * std::cos(t)},
      {"exp(ln(y))", std::exp(std::log(y))},
      {"sqrt(y)", 1.5L},
      {"arctan(1)*4", kPi},
      {"x^3", -2.197L},
      {"x^4", 2.8561L},
      {"y^0.5", 1.5L},
      {"y^-3", 1 / (y * y * y)},
      {"(-2)^5", -32},
      {"2^10", 1024},
      {"abs(x)", 1.3L},
      {"heav(x)+heav(t)", 1},
      {"ph(7)", 7 - 2 * kPi},
      {"ph(-10)", -10 + 4 * kPi},
      {"arg(x,y)", std::atan2(y, x)},
      {"arg(1,1)", kPi / 4},
      {"arg(-1,-1)", -3 * kPi / 4},
      {"sinh(t)", std::sinh(t)},
      {"cosh(t)", std::cosh(t)},
      {"tanh(x)", std::tanh(x)},
      {"r(3,4)", 5},
      {"fr(x)", -0.3L},
      {"lt(x,t)+2*le(t,t)+4*eq(a,1.5)+8*ne(a,b)", 15},
      {"lt(t,x)+le(a,b)+eq(a,b)+ne(c,3)", 0},
      {"tan(t)", std::tan(t)},
      {"arcsin(0.5)", kPi / 6},
      {"arccos(0.5)", kPi / 3},
      {"arccos(-0.5)", 2 * kPi / 3},
      {"a*t^2+b*t+c", a * t * t + b * t + c},
      {"(a+b)*(c-d)/(a*d)", (a + b) * (c - d) / (a * d)},
      {"ln(t*y)*lt(0.1,t*y)+ln(0.1)*le(t*y,0.1)", std::log(t * y)},
      {"exp(-t/d)", std::exp(-t / d)},
      {"1e3*t-2.5E-1", 699.75L},
      {"cos(pi)", -1},
      {"sin(Pi/6)", 0.5L},
      {"--2*t", 1.4L},
      {"x*-2", 2.6L},
      {"2*pi*t/c", 2 * kPi * t / c},
      {"(t-x)^2.5", std::pow(t - x, 2.5L)},
      {"a+b*sin(2*pi*t/c)^2+d*cos(pi*t)^3",
       a + b * std::pow(std::sin(2 * kPi * t / c), 2) + d * std::pow(std::cos(kPi * t), 3)},
      {"(((t)))", t},
      {"d", d},
  };
  for (const auto& e : cases)
    ExpectClose(Eval(e.Text, t, x, y, {a, b, c, d, 1, 1}), e.Expected, e.Text);
}

TEST(ExprEvaluate, GuardsGiveZeroInsteadOfFaults) {
  const struct {
    const char* Text;
    long double T, X;
    long double Expected;
  } cases[] = {
      {"1/0", 0, 0, 0},
      {"t/x", 5, 0, 0},
      {"ln(0)", 0, 0, 0},
      {"ln(-1)", 0, 0, 0},
      {"sqrt(-4)", 0, 0, 0},
      {"sqrt(0)", 0, 0, 0},
      {"(-8)^(1/3)", 0, 0, 0},  // general power of a negative base
      {"t^x", 0, 0, 0},         // 0^y is 0 for the general power
      {"t^x", 0, -2, 0},
      {"0^0", 0, 0, 1},  // integer power: no factors
      {"(-2)^3", 0, 0, -8},
      {"t^-2", 0, 0, 0},  // a zero product is not inverted
      {"t^-2", 2, 0, 0.25L},
      {"t^-3", -2, 0, -0.125L},
      {"t^1", -7, 0, -7},
      {"t^5000", 0.5L, 0, 0},    // underflow is silent
      {"t^-7", 1e-1000L, 0, 0},  // the product underflows to 0 and stays 0
      {"t^1e30", -1, 0, 1},      // an even number of factors
      {"t^1e30", 0.5L, 0, 0},
      {"heav(0)", 0, 0, 1},
      {"heav(-1e-300)", 0, 0, 0},
      {"arg(0,-1)", 0, 0, kPi / 2},
      {"arg(-1,0)", 0, 0, -kPi},
      {"arg(-1,1)", 0, 0, 3 * kPi / 4},
      {"arcsin(1.5)", 0, 0, 0},
      {"arcsin(1)", 0, 0, kPi / 2},
      {"arcsin(-1)", 0, 0, -kPi / 2},
      {"arccos(-2)", 0, 0, 0},
      {"arccos(2)", 0, 0, 0},
      {"arccos(-1)", 0, 0, kPi},
      {"arccos(0)", 0, 0, kPi / 2},
      {"arccos(1)", 0, 0, 0},
      {"fr(-2.5)", 0, 0, -0.5L},
      {"fr(2.75)", 0, 0, 0.75L},
      {"exp(-20000)", 0, 0, 0},
      {"sinh(0)+tanh(0)", 0, 0, 0},
      {"cosh(0)", 0, 0, 1},
      {"max(t,x)", 2, 3, 3},
      {"min(t,x)", 2, 3, 2},
  };
  for (const auto& e : cases) ExpectClose(Eval(e.Text, e.T, e.X), e.Expected, e.Text);
  // The repeated product and the library power agree on either side of the switch between them.
  ExpectClose(Eval("t^1000", 1.0001L), std::pow(1.0001L, 1000.0L), "t^1000");
  ExpectClose(Eval("t^2000", 1.0001L), std::pow(1.0001L, 2000.0L), "t^2000");
}

TEST(ExprEvaluate, OverflowReachesTheCaller) {
  const struct {
    const char* Text;
    long double T;
  } cases[] = {
      {"exp(20000)", 0},   {"sinh(20000)", 0}, {"cosh(-20000)", 0}, {"tanh(20000)", 0},
      {"t*t", 1e3000L},    {"t^2", 1e3000L},   {"t^3", 1e2000L},    {"t^4", 1e2000L},
      {"t^7", 1e1000L},    {"t^-1", 1e-4940L}, {"t^20000", 2},      {"t^1e30", 2},
      {"t^0.5e5", 10},     {"t+t", 1e4932L},   {"t-(-t)", 1e4932L}, {"t/1e-4000", 1e1000L},
      {"r(t,t)", 1e3000L},
  };
  for (const auto& e : cases) {
    TCompiledExpression compiled(e.Text, "txy", "abcd");
    ASSERT_FALSE(compiled.CompileError()) << e.Text;
    EXPECT_THROW(compiled.Evaluate(e.T, 0, 0), EOverflow) << e.Text;
  }
}

TEST(ExprEvaluate, SingleLeafAndRepeatedEvaluation) {
  TCompiledExpression time("t*t", "txy", "abcd");
  EXPECT_EQ(time.Evaluate(2, 0, 0), 4);
  EXPECT_EQ(time.Evaluate(3, 0, 0), 9);
  TCompiledExpression leaf("(y)", "txy", "abcd");
  EXPECT_EQ(leaf.OperationCount(), 0);
  EXPECT_EQ(leaf.Evaluate(1, 2, 3), 3);
  TCompiledExpression parameter("c", "txy", "abcd");
  parameter.SetParameterValues({1, 2, 3, 4, 5, 6});
  EXPECT_EQ(parameter.Evaluate(0, 0, 0), 3);
  parameter.SetParameterValues({6, 5, 4, 3, 2, 1});
  EXPECT_EQ(parameter.Evaluate(0, 0, 0), 4);
  EXPECT_EQ(TCompiledExpression("-5", "txy", "abcd").Evaluate(0, 0, 0), -5);
}

TEST_F(RandomFixture, RnDrawsBelowNAndCompares) {
  TRandom& random = TRandom::Shared();
  random.SetFixedSeed(12345);
  TCompiledExpression compiled("rn(6,2)", "txy", "abcd");
  ASSERT_TRUE(compiled.UsesRandom());
  TLcg replica{random.State};
  int hits = 0;
  for (int i = 0; i < 200; ++i) {
    const long double value = compiled.Evaluate(0, 0, 0);
    EXPECT_EQ(value, replica.Below(6) == 2 ? 1 : 0);
    hits += value == 1;
  }
  EXPECT_GT(hits, 10);
  EXPECT_LT(hits, 70);
  // Arguments are rounded halves-to-even and reduced modulo 65536.
  const struct {
    const char* Text;
    long double Expected;
  } always[] = {
      {"rn(1,0)", 1},     {"rn(0,0)", 1},      {"rn(1,65536)", 1}, {"rn(-65535,0)", 1},
      {"rn(65537,0)", 1}, {"rn(0.5,0)", 1},    {"rn(1.5,2.5)", 0}, {"rn(1,1)", 0},
      {"rn(1e30,0)", 1},  {"rn(1,-65536)", 1},
  };
  for (const auto& e : always)
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Eval(e.Text), e.Expected) << e.Text;
}

TEST_F(RandomFixture, RmAddsScaledNormalNoiseInListOrder) {
  TRandom& random = TRandom::Shared();
  random.SetFixedSeed(777);
  TCompiledExpression compiled("rm(t,x)-2*rm(0,1)", "txy", "abcd");
  TLcg replica{random.State};
  for (int i = 0; i < 50; ++i) {
    // The right call lies one level deeper (below the "*"), so it draws first.
    const long double second = replica.Normal();
    const long double first = 10 + 3 * replica.Normal();
    ExpectClose(compiled.Evaluate(10, 3, 0), first - 2 * second, "rm");
  }
  TCompiledExpression sameLevel("rm(0,1)-rm(0,1)", "txy", "abcd");
  replica.State = random.State;
  for (int i = 0; i < 50; ++i) {
    const long double left = replica.Normal();
    ExpectClose(sameLevel.Evaluate(0, 0, 0), left - replica.Normal(), "rm-rm");
  }
}

TEST_F(RandomFixture, EveryRandomCallReseedsAtCompileTime) {
  TRandom& random = TRandom::Shared();
  random.SetFixedSeed(100);
  TCompiledExpression none("t+1", "txy", "abcd");
  EXPECT_EQ(random.State, 100u);
  EXPECT_FALSE(none.UsesRandom());
  TCompiledExpression one("rn(6,0)", "txy", "abcd");
  EXPECT_EQ(random.State, 100u + 0x9E3779B9u);
  TCompiledExpression two("rn(t,0)+rm(0,1)", "txy", "abcd");
  EXPECT_EQ(random.State, 100u + 3 * 0x9E3779B9u);
  // A text that is refused reseeds nothing.
  TCompiledExpression refused("rn(6,0)+", "txy", "abcd");
  EXPECT_TRUE(refused.CompileError());
  EXPECT_EQ(random.State, 100u + 3 * 0x9E3779B9u);
}

TEST(ExprEvaluate, SeparateExpressionsEvaluateOnSeparateThreads) {
  const std::vector<std::string> texts{"sin(t)*a+t^2", "exp(-t/b)*c", "ph(t*d)+arg(t,a)",
                                       "max(t,a)-min(t,b)"};
  std::vector<std::vector<long double>> expected(texts.size()), actual(texts.size());
  const auto run = [&](size_t i, std::vector<long double>& out) {
    TCompiledExpression compiled(texts[i], "txy", "abcd");
    compiled.SetParameterValues({1.5L, 2.5L, 3.5L, 4.5L, 1, 1});
    for (int k = 0; k < 2000; ++k) out.push_back(compiled.Evaluate(k * 0.01L, 0, 0));
  };
  for (size_t i = 0; i < texts.size(); ++i) run(i, expected[i]);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < texts.size(); ++i) threads.emplace_back(run, i, std::ref(actual[i]));
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(actual, expected);
}

}  // namespace
}  // namespace sarvanta

namespace sarvanta {
namespace {

TEST(ExpressionRunner, GivesTheCompiledValuesOnAnyNumberOfThreads) {
  const std::vector<std::string> texts = {
      "a*sin(t/b)+c", "t", "2.5", "(t-a)^2/(x+b)", "if(t>10,t*a,-t)", "exp(-t/100)*cos(t)"};
  for (const std::string& text : texts) {
    TCompiledExpression compiled(text, "txy", "abcd");
    if (compiled.CompileError()) continue;  // texts of another dialect are not this test's
    compiled.SetParameterValues({0.5L, 3, 7, 1, 1, 1});
    std::vector<long double> expected;
    for (int i = 0; i < 200; ++i) expected.push_back(compiled.Evaluate(i * 0.37L, 1.5L, 0));
    // Four threads at once, each with its own runner over the one compiled expression.
    std::vector<std::vector<long double>> got(4);
    std::vector<std::thread> threads;
    for (auto& values : got)
      threads.emplace_back([&compiled, &values] {
        TExpressionRunner runner(&compiled);
        for (int round = 0; round < 20; ++round) {
          values.clear();
          for (int i = 0; i < 200; ++i) values.push_back(runner.Evaluate(i * 0.37L, 1.5L, 0));
        }
      });
    for (std::thread& thread : threads) thread.join();
    for (const auto& values : got) EXPECT_EQ(values, expected) << text;
  }
  // No compiled text, or one that did not compile: 1, as an uncompiled expression gives.
  EXPECT_EQ(TExpressionRunner(nullptr).Evaluate(3, 0, 0), 1.0L);
  TCompiledExpression broken("2t", "txy", "abcd");
  ASSERT_TRUE(broken.CompileError());
  EXPECT_EQ(TExpressionRunner(&broken).Evaluate(3, 0, 0), 1.0L);
}

}  // namespace
}  // namespace sarvanta
