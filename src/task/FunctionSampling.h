// Sampling of one real function of one real variable for the function windows (the function
// graphic and the function wizard): the function itself or its numeric first or second
// derivative, at the points the windows plot.
#pragma once

#include "task/CurveSampling.h"

#include <functional>
#include <vector>

namespace sarvanta {

using TRealFunction = std::function<long double(long double x)>;

enum class TDerivative { None, First, Second };

// Central difference with h = 1e-6: (f(x + h) - f(x - h)) / 2h, f(x + h) taken first.
long double FirstDerivative(const TRealFunction& f, long double x);
// Second difference with h = 2e-6: ((f(x + h) - f(x)) / h - (f(x) - f(x - h)) / h) / h, the
// values taken in the order f(x), f(x + h), f(x - h).
long double SecondDerivative(const TRealFunction& f, long double x);

// The sample points from `minimum` to `maximum`: x starts at the minimum and, while the
// maximum is greater than x, grows by the step and is taken; so the first point lies one step
// above the minimum and the last is the first at or beyond the maximum (0 to 1 with step 0.5
// gives 0.5 and 1). Nothing when the step would not advance (SamplingStepAdvances) and never
// more than MaxCurvePoints points.
std::vector<long double> SamplePoints(long double minimum, long double maximum, long double step);

// The points (x, value) at SamplePoints, the value being f, f' or f'' at x. Exceptions of f
// (math errors) reach the caller.
std::vector<TCurvePoint> SampleFunction(long double minimum, long double maximum, long double step,
                                        const TRealFunction& f,
                                        TDerivative derivative = TDerivative::None);

}  // namespace sarvanta
