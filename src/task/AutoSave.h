// When a run saves its project automatically, and the files of "all solutions".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sarvanta {

class TGeneticAlgorithm;
class TMechanicalSystem;

// The automatic-saving options of the program, as their controls hold them.
struct TAutoSaveOptions {
  bool AtEachStep = false;  // "at each" N "step"
  int32_t StepCount = 0;
  bool EveryMinutes = false;  // "every" N "min."
  double Minutes = 0;
  bool WhenDone = false;    // at the end of a run, also after Stop
  bool AsNewFiles = false;  // stamp the name with the time of day
  bool AllSolutions = false;
};

// Decides after each generation whether an automatic save is due. Steps count from the last
// save (|StepNo - last| >= N, as the step number restarts with every run); minutes are run
// time, counted from the start of the fresh run or the last save.
class TAutoSaveSchedule {
 public:
  // A fresh run starts: no step saved yet, run time counted from `runSeconds`.
  void Start(double runSeconds);
  // True when a save is due after the generation `stepNo`, at accumulated run time
  // `runSeconds`; the save is then taken as done. Minutes of 0 or less never fall due.
  bool DueAfterStep(const TAutoSaveOptions& options, int32_t stepNo, double runSeconds);

  int32_t LastAutoSaveStep() const { return lastStep_; }

 private:
  int32_t lastStep_ = 0;
  double lastSeconds_ = 0;
};

// The file of the solution of rank `rank` (1 is the best) saved beside the project: "arm.svt"
// gives "arm-solution1.svt", "arm(14-05-09).svt" gives "arm(14-05-09)-solution1.svt"; a name
// without an extension gets the suffix at its end.
std::string SolutionFileName(const std::string& projectFileName, int rank);

// Saves every solution of the population, best first, each into its own project file beside
// `projectFileName` (SolutionFileName), then leaves the model holding the best solution, as
// the run left it. Returns the names written. A failing save throws; the model is given back
// the best solution first.
std::vector<std::string> SaveSolutions(TGeneticAlgorithm& algorithm, TMechanicalSystem& system,
                                       const std::string& projectFileName);

}  // namespace sarvanta
