#include "task/FunctionSampling.h"

#include "task/SamplingStep.h"

namespace sarvanta {

long double FirstDerivative(const TRealFunction& f, long double x) {
  constexpr long double h = 1e-6L;
  const long double forward = f(x + h);
  const long double backward = f(x - h);
  return (forward - backward) / (2 * h);
}

long double SecondDerivative(const TRealFunction& f, long double x) {
  constexpr long double h = 2e-6L;
  const long double f0 = f(x);
  const long double forward = (f(x + h) - f0) / h;
  const long double backward = (f0 - f(x - h)) / h;
  return (forward - backward) / h;
}

std::vector<long double> SamplePoints(long double minimum, long double maximum, long double step) {
  std::vector<long double> points;
  if (!SamplingStepAdvances(minimum, maximum, step)) return points;
  long double x = minimum;
  while (maximum > x && points.size() < MaxCurvePoints) {
    const long double next = x + step;
    // A step too small to change x would never reach the maximum.
    if (!(next > x)) break;
    x = next;
    points.push_back(x);
  }
  return points;
}

std::vector<TCurvePoint> SampleFunction(long double minimum, long double maximum, long double step,
                                        const TRealFunction& f, TDerivative derivative) {
  std::vector<TCurvePoint> curve;
  for (const long double x : SamplePoints(minimum, maximum, step)) {
    switch (derivative) {
      case TDerivative::None:
        curve.push_back({x, f(x)});
        break;
      case TDerivative::First:
        curve.push_back({x, FirstDerivative(f, x)});
        break;
      case TDerivative::Second:
        curve.push_back({x, SecondDerivative(f, x)});
        break;
    }
  }
  return curve;
}

}  // namespace sarvanta
