#include "task/AutoSave.h"

#include "base/NumberText.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/Individual.h"
#include "model/MechanicalSystem.h"
#include "model/ProjectFile.h"
#include "task/RunExport.h"

#include <cstdlib>

namespace sarvanta {

void TAutoSaveSchedule::Start(double runSeconds) {
  lastStep_ = 0;
  lastSeconds_ = runSeconds;
}

bool TAutoSaveSchedule::DueAfterStep(const TAutoSaveOptions& options, int32_t stepNo,
                                     double runSeconds) {
  const bool stepDue =
      options.AtEachStep && std::abs(int64_t{stepNo} - lastStep_) >= int64_t{options.StepCount};
  const bool timeDue = options.EveryMinutes && options.Minutes > 0 &&
                       runSeconds - lastSeconds_ >= options.Minutes * 60.0;
  if (!stepDue && !timeDue) return false;
  lastStep_ = stepNo;
  lastSeconds_ = runSeconds;
  return true;
}

std::string SolutionFileName(const std::string& projectFileName, int rank) {
  const size_t separator = projectFileName.find_last_of("/\\");
  const size_t fileStart = separator == std::string::npos ? 0 : separator + 1;
  size_t dot = projectFileName.rfind('.');
  if (dot == std::string::npos || dot < fileStart) dot = projectFileName.size();
  std::string name = projectFileName;
  name.insert(dot, "-solution" + IntToStr(rank));
  return name;
}

std::vector<std::string> SaveSolutions(TGeneticAlgorithm& algorithm, TMechanicalSystem& system,
                                       const std::string& projectFileName) {
  std::vector<std::string> written;
  const int count = algorithm.Population.Count();
  if (count == 0) return written;
  const TIndividual& best = *algorithm.Individual(algorithm.Population, 0);
  try {
    for (int i = 0; i < count; ++i) {
      ApplySolution(*algorithm.Individual(algorithm.Population, i), system);
      const std::string name = SolutionFileName(projectFileName, i + 1);
      SaveSystemToFile(system, name);
      written.push_back(name);
    }
  } catch (...) {
    ApplySolution(best, system);
    throw;
  }
  ApplySolution(best, system);
  return written;
}

}  // namespace sarvanta
