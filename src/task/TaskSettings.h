// The values of the motor task's "Time Frame" and "HGA Settings" pages, as their controls
// hold them: edits keep their text as typed (converted only when copied into the algorithm),
// check boxes a flag, combo boxes their item index.
// Members carry the names of the controls they stand for.
#pragma once

#include <string>

namespace sarvanta {

struct TTaskSettings {
  // "Time Frame" page.
  std::string eFromMoment = "0";
  std::string eToMoment = "200";
  std::string eCtrlExt = "40";
  std::string ePrecision = "2";
  std::string eVariablePrecision = "2";
  std::string eForSteps = "100";
  bool cbAlwaysShowFrame = false;
  std::string eShowWithPrecision = "2";
  std::string eShowFrom = "0";
  std::string eShowTo = "200";
  bool cbOscilate = false;
  std::string eOscStep = "0";
  std::string eOscilateOnEach = "10";
  std::string eFrameSize = "50";
  std::string eOnStep = "10";
  std::string eMoveWith = "2";
  std::string eStopMoveAfter = "60";
  bool cbFixedStart = true;
  bool cbPrecedingCtrlExt = true;

  // "HGA Settings" page, "General" tab.
  std::string ePopulationSize = "4";
  std::string eNumberOfSteps = "1000";
  std::string eMutationsPerStep = "1";
  std::string eCrossoversPerStep = "1";
  std::string eCOmMutPerStep = "1";
  int cbInitMethod = 0;  // "None"
  std::string eInitParameter = "0";

  // "Functions" tab. Each combo starts on the item it shows, so that what is shown is what
  // runs.
  int cbForMutation = 2;     // "Roulette Wheel"
  int cbForCrossover = 2;    // "Roulette Wheel"
  int cbForReinsertion = 0;  // "Fittest"
  int cbMethod = 0;          // "Weighted Sum"
  int cbStopCriterion = 0;   // "Number of Steps"

  // "Genetic Operations" tabs.
  std::string emNumberOfPoints = "1";
  std::string emRange = "1";
  std::string emProbabilityDependance = "0";
  std::string ecNumberOfPoints = "1";
  std::string ecProbabilityDependance;
  std::string ecmNumberOfPoints = "1";
  std::string ecmRange = "1";
  std::string ecmProbabilityDependence = "0";

  // Typing into "start", "end" or the first precision box copies the text, unchanged, into
  // "from", "to" and "change to" (the reverse direction copies nothing).
  void eFromMomentChange() { eShowFrom = eFromMoment; }
  void eToMomentChange() { eShowTo = eToMoment; }
  void ePrecisionChange() { eVariablePrecision = ePrecision; }
};

// Stop criterion index 1 is "Accuracy": the steps box then holds the accuracy threshold.
constexpr int StopCriterionAccuracy = 1;

// A task file may store -1 for a selection, fitness, initialisation or stop-criterion choice;
// the algorithm then applies an item of its own choosing (random selection for mutation and
// crossover, roulette wheel for reinsertion, the first item elsewhere). This shows that item
// in place of -1, so that the combo shows, and applying it again runs, what the file ran.
void ShowAppliedFunctions(TTaskSettings& settings);

// Caption of the group around the steps box: "Number of Steps" or "Accuracy".
std::string StopCriterionCaption(int stopCriterionIndex);

// The number in an edit's text; text that is not a number gives 0 and becomes "0" itself.
long double NumberOrZero(std::string& editText);

// The readers the function wizard uses to plot over the task's time frame; never fail.
long double GetFromMoment(TTaskSettings& settings);
long double GetToMoment(TTaskSettings& settings);
long double GetPrecision(TTaskSettings& settings);

}  // namespace sarvanta
