// The step of a sampled range: with the maximum above the minimum it must be above 0, or the
// sampling would never advance.
#pragma once

namespace sarvanta {

extern const char* const StepNotPositiveMessage;

// Whether sampling from `minimum` to `maximum` with `step` ends: always when the maximum is not
// above the minimum (nothing to sample), otherwise only with a step above 0 (not a non-number).
bool SamplingStepAdvances(long double minimum, long double maximum, long double step);

}  // namespace sarvanta
