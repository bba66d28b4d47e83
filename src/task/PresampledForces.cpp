#include "task/PresampledForces.h"

#include "ga/GeneticAlgorithm.h"
#include "model/MechanicalSystem.h"
#include "model/Muscle.h"
#include "task/ChartScale.h"
#include "task/CurveSampling.h"
#include "task/RunExport.h"
#include "task/TaskViews.h"

#include <memory>

namespace sarvanta {

TPresampledForces::TPresampledForces(const TGeneticAlgorithm& algorithm,
                                     TMechanicalSystem& system) {
  for (int m = 1; m < system.Muscles.Count(); ++m)
    if (TMuscle* muscle = system.Muscle(m)) muscles_.push_back(muscle);
  // The times of a goal's result curve on a chart's default scale; a force curve's differ only
  // in the first.
  const TFrameRange range = FrameRange(FrameViewOf(algorithm), TChartScale{});
  const std::vector<long double> times = CurveTimes(range, range.O);
  std::vector<std::shared_ptr<TMuscle::TPresampled>> forces(muscles_.size());
  SampleOnEvaluationThreads(algorithm, &system, muscles_.size(), [&](size_t m) {
    auto presampled = std::make_shared<TMuscle::TPresampled>();
    presampled->Times = times;
    presampled->Values.assign(times.size(), 0.0L);
    muscles_[m]->SampleForceCached(times, presampled->Values);
    forces[m] = std::move(presampled);
  });
  for (size_t m = 0; m < muscles_.size(); ++m) muscles_[m]->Presampled = std::move(forces[m]);
}

TPresampledForces::~TPresampledForces() {
  for (TMuscle* muscle : muscles_) muscle->Presampled.reset();
}

}  // namespace sarvanta
