#include "task/TaskSettings.h"

#include "base/NumberText.h"

namespace sarvanta {

std::string StopCriterionCaption(int stopCriterionIndex) {
  return stopCriterionIndex == StopCriterionAccuracy ? "Accuracy" : "Number of Steps";
}

void ShowAppliedFunctions(TTaskSettings& s) {
  auto applied = [](int& index, int itemForMinusOne) {
    if (index < 0) index = itemForMinusOne;
  };
  applied(s.cbForMutation, 1);
  applied(s.cbForCrossover, 1);
  applied(s.cbForReinsertion, 2);
  applied(s.cbMethod, 0);
  applied(s.cbInitMethod, 0);
  applied(s.cbStopCriterion, 0);
}

long double NumberOrZero(std::string& editText) {
  long double value = 0;
  if (TryStrToFloat(editText, value)) return value;
  editText.assign(1, '0');  // (assigning a literal trips a false -Wrestrict of GCC 12)
  return 0;
}

long double GetFromMoment(TTaskSettings& settings) { return NumberOrZero(settings.eFromMoment); }
long double GetToMoment(TTaskSettings& settings) { return NumberOrZero(settings.eToMoment); }
long double GetPrecision(TTaskSettings& settings) { return NumberOrZero(settings.ePrecision); }

}  // namespace sarvanta
