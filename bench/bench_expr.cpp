// Expression engine: evaluations per second of typical goal expressions, and compile times of
// the hardest texts of 255 characters we know (the recogniser re-examines substrings many
// times; its remembered answers keep every text within a few milliseconds).
#include "expr/CompiledExpression.h"
#include "expr/ExprParser.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using sarvanta::TCompiledExpression;

struct TTypical {
  const char* Name;
  const char* Text;
};

const TTypical kTypical[] = {
    {"square", "t*t"},
    {"joint angle", "a+b*sin(2*pi*t/c)^2-d*cos(pi*t/c)^3+0.5*(t/c)^4"},
    {"split definition", "ln(t*a)*lt(0.1,t*a)+ln(0.1)*le(t*a,0.1)"},
    {"exponential ramp", "a*(1-exp(-t/b))*heav(t-c)+d*t^2.5"},
};

void BM_Evaluate(benchmark::State& state) {
  const TTypical& typical = kTypical[state.range(0)];
  TCompiledExpression compiled(typical.Text, "txy", "abcd");
  if (compiled.CompileError()) {
    state.SkipWithError("does not compile");
    return;
  }
  compiled.SetParameterValues({0.5L, 1.2L, 800, 0.001L, 1, 1});
  long double t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(compiled.Evaluate(t, 0, 0));
    t += 0.5L;
    if (t > 1000) t = 0;
  }
  state.SetLabel(typical.Name);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Evaluate)->DenseRange(0, 3);

std::string Repeat(const std::string& piece, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += piece;
  return text;
}

struct TWorst {
  const char* Name;
  std::string Text;
};

// Texts of 255 characters (or just below) built to make the recogniser try many splits,
// commas, names and brackets; valid ones and refused ones.
std::vector<TWorst> WorstCases() {
  return {
      {"nested brackets", Repeat("(", 127) + "x" + Repeat(")", 127)},
      {"unbalanced brackets", Repeat("(", 254) + "x"},
      {"operator chain", Repeat("x+", 127) + "x"},
      {"mixed operators", Repeat("x*x-x^x/", 31) + "x+x^x-x"},
      {"signed numbers", Repeat("x*-2^", 50) + "2*2*2"},
      {"negations", Repeat("-", 254) + "2"},
      {"many commas", "rn(" + Repeat("x,", 125) + "x)"},
      {"nested two-argument calls", Repeat("min(x,", 36) + "x+1" + Repeat(")", 36)},
      {"left-nested calls", Repeat("min(", 36) + "x" + Repeat(",x)", 36) + "+1"},
      {"bracketed chain", Repeat("(x)+", 63) + "(x)"},
      {"deep calls", Repeat("sin(", 50) + "x" + Repeat(")", 50) + "+x+x"},
      {"call chain", Repeat("r(x,x)*", 36) + "x+x"},
      {"signed exponents", Repeat("1e-1-", 50) + "1e-11"},
      {"negated brackets", Repeat("-(", 84) + "x" + Repeat(")", 84) + "+1"},
      {"right-nested sums", Repeat("x+(", 63) + "x" + Repeat(")", 63) + "+x"},
      {"left-nested sums", Repeat("(", 63) + "x" + Repeat("+x)", 63) + "+x"},
      {"long valid formula", Repeat("(a*t^2+b*sin(t/c)-d/(1+t))*", 8) + "rm(0,1e-3)-ph(t)"},
  };
}

void BM_CompileWorstCase(benchmark::State& state) {
  static const std::vector<TWorst> cases = WorstCases();
  const TWorst& worst = cases[static_cast<size_t>(state.range(0))];
  bool compiles = false;
  for (auto _ : state) {
    TCompiledExpression compiled(worst.Text, "txy", "abcd");
    compiles = !compiled.CompileError();
    benchmark::DoNotOptimize(compiles);
  }
  sarvanta::TExprParser parser(worst.Text, "txy", "abcd");
  parser.Classify(parser.Whole());
  state.counters["steps"] = static_cast<double>(parser.Work());
  state.counters["chars"] = static_cast<double>(worst.Text.size());
  state.counters["compiles"] = compiles;
  state.SetLabel(worst.Name);
}
BENCHMARK(BM_CompileWorstCase)->DenseRange(0, 16)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
