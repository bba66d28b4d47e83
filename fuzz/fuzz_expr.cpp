// Any text of up to 255 characters either compiles or is refused, quickly and without a
// crash; a text that compiles evaluates without a crash, failing at most with an overflow.
#include "base/Exception.h"
#include "base/Random.h"
#include "expr/CompiledExpression.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Far above the few milliseconds the hardest known texts take (even under the sanitizers):
// exceeding it means the recogniser went exponential.
constexpr double kCompileLimitSeconds = 1.0;

void EvaluateEverywhere(sarvanta::TCompiledExpression& compiled) {
  const long double points[] = {0, 1, -1, 0.5L, 1000, -1e-300L, 1e300L, 3.14159L};
  compiled.SetParameterValues({1.5L, -2, 0, 1e10L, 1, 1});
  for (long double t : points) {
    try {
      compiled.Evaluate(t, 0, 0);
      compiled.Evaluate(t, t, -t);
    } catch (const sarvanta::EOverflow&) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  sarvanta::TRandom::Shared().SetFixedSeed(1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 255) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto start = std::chrono::steady_clock::now();
  sarvanta::TCompiledExpression compiled(text, "txy", "abcd");
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  if (took.count() > kCompileLimitSeconds) {
    std::fprintf(stderr, "compile took %.3f s: %s\n", took.count(), text.c_str());
    std::abort();
  }
  if (!compiled.CompileError()) EvaluateEverywhere(compiled);
  return 0;
}
