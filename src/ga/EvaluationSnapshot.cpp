#include "ga/EvaluationSnapshot.h"

#include "model/Cache.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"

#include <algorithm>

namespace sarvanta {

TEvaluationSnapshot::TEvaluationSnapshot(const TMechanicalSystem& system, const TTimeFrame& frame,
                                         const TEvaluationSnapshot* previous) {
  std::vector<std::pair<const TObject*, TTwitchParameters>> units;
  for (int m = 1; m < system.Muscles.Count(); ++m) {
    const TMuscle* muscle = system.Muscle(m);
    if (muscle == nullptr) continue;
    for (int u = 0; u < muscle->MotorUnits.Count(); ++u)
      if (const TMotorUnit* unit = muscle->MotorUnit(u))
        units.emplace_back(static_cast<const TObject*>(unit), unit->TwitchParameters());
  }
  const auto sameUnits = [&units](const TUnitTable& table) {
    return std::ranges::equal(units, table.Units, [](const auto& a, const auto& b) {
      return a.first == b.first && SameTwitchParameters(a.second, b.second);
    });
  };
  if (previous != nullptr && sameUnits(*previous->units_)) {
    units_ = previous->units_;
  } else {
    auto table = std::make_shared<TUnitTable>();
    table->Id = NewEvaluationSerial();
    table->Units = std::move(units);
    for (const auto& [unit, parameters] : table->Units) table->Index.emplace(unit, &parameters);
    units_ = std::move(table);
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
  const bool sameGrid =
      previous != nullptr && !previous->gridError_ && previous->grid_.Times == grid_.Times;
  grid_.Id = sameGrid ? previous->grid_.Id : NewEvaluationSerial();
}

const TEvaluationGrid& TEvaluationSnapshot::Grid() const {
  if (gridError_) std::rethrow_exception(gridError_);
  return grid_;
}

const TTwitchParameters* TEvaluationSnapshot::Unit(const TObject* model) const {
  const auto found = units_->Index.find(model);
  return found == units_->Index.end() ? nullptr : found->second;
}

}  // namespace sarvanta
