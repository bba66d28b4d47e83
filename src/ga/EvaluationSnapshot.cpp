#include "ga/EvaluationSnapshot.h"

#include "model/Cache.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"

namespace sarvanta {

TEvaluationSnapshot::TEvaluationSnapshot(const TMechanicalSystem& system, const TTimeFrame& frame,
                                         const TEvaluationSnapshot* previous) {
  for (int m = 1; m < system.Muscles.Count(); ++m) {
    const TMuscle* muscle = system.Muscle(m);
    if (muscle == nullptr) continue;
    for (int u = 0; u < muscle->MotorUnits.Count(); ++u)
      if (const TMotorUnit* unit = muscle->MotorUnit(u))
        units_.emplace(static_cast<const TObject*>(unit), unit->TwitchParameters());
  }
  // The grid every muscle cache takes for this frame.
  TCache scratch(nullptr, &frame);
  scratch.TimeFrameChanged();
  try {
    grid_.Times = scratch.GridTimes();
  } catch (...) {
    gridError_ = std::current_exception();
    return;
  }
  const bool same =
      previous != nullptr && !previous->gridError_ && previous->grid_.Times == grid_.Times;
  grid_.Id = same ? previous->grid_.Id : NewEvaluationSerial();
}

const TEvaluationGrid& TEvaluationSnapshot::Grid() const {
  if (gridError_) std::rethrow_exception(gridError_);
  return grid_;
}

const TTwitchParameters* TEvaluationSnapshot::Unit(const TObject* model) const {
  const auto found = units_.find(model);
  return found == units_.end() ? nullptr : &found->second;
}

}  // namespace sarvanta
