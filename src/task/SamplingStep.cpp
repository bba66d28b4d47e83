#include "task/SamplingStep.h"

namespace sarvanta {

const char* const StepNotPositiveMessage = "The step must be greater than 0.";

bool SamplingStepAdvances(long double minimum, long double maximum, long double step) {
  if (!(maximum > minimum)) return true;
  return step > 0;
}

}  // namespace sarvanta
