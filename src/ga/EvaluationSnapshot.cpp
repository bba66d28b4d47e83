#include "ga/EvaluationSnapshot.h"

#include "model/Cache.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/TimeFrame.h"

#include <algorithm>

namespace sarvanta {

namespace {

// Calls f(unit) for every motor unit of the system, muscle by muscle, in list order.
template <class F>
void ForEachUnit(const TMechanicalSystem& system, F f) {
  for (int m = 1; m < system.Muscles.Count(); ++m) {
    const TMuscle* muscle = system.Muscle(m);
    if (muscle == nullptr) continue;
    for (int u = 0; u < muscle->MotorUnits.Count(); ++u)
      if (const TMotorUnit* unit = muscle->MotorUnit(u)) f(*unit);
  }
}

}  // namespace

bool TEvaluationSnapshot::SameUnits(const TMechanicalSystem& system, const TUnitTable& table) {
  size_t k = 0;
  bool same = true;
  ForEachUnit(system, [&](const TMotorUnit& unit) {
    same = same && k < table.Units.size() && table.Units[k].first == &unit &&
           SameTwitchParameters(unit.TwitchParameters(), table.Units[k].second);
    ++k;
  });
  return same && k == table.Units.size();
}

std::shared_ptr<const TEvaluationSnapshot::TUnitTable> TEvaluationSnapshot::MakeUnitTable(
    const TMechanicalSystem& system) {
  auto table = std::make_shared<TUnitTable>();
  table->Id = NewEvaluationSerial();
  ForEachUnit(system, [&](const TMotorUnit& unit) {
    table->Units.emplace_back(static_cast<const TObject*>(&unit), unit.TwitchParameters());
  });
  for (size_t k = 0; k < table->Units.size(); ++k) table->Index.emplace(table->Units[k].first, k);
  return table;
}

TEvaluationSnapshot::TEvaluationSnapshot(const TMechanicalSystem& system, const TTimeFrame& frame,
                                         const TEvaluationSnapshot* previous) {
  const bool sameUnits = previous != nullptr && SameUnits(system, *previous->units_);
  units_ = sameUnits ? previous->units_ : MakeUnitTable(system);
  // The grid every muscle cache takes for this frame.
  TCache scratch(nullptr, &frame);
  scratch.TimeFrameChanged();
  gridKey_ = {scratch.StartTime, scratch.EndTime, scratch.TimeStep,
              frame.OscRange != 0 ? frame.OscOffset : 0.0L};
  if (previous != nullptr && previous->gridKey_ == gridKey_) {
    grid_ = previous->grid_;
    gridError_ = previous->gridError_;
    return;
  }
  auto grid = std::make_shared<TEvaluationGrid>();
  try {
    grid->Times = scratch.GridTimes();
  } catch (...) {
    gridError_ = std::current_exception();
    return;
  }
  const bool sameGrid =
      previous != nullptr && !previous->gridError_ && previous->grid_->Times == grid->Times;
  grid->Id = sameGrid ? previous->grid_->Id : NewEvaluationSerial();
  grid_ = std::move(grid);
}

const TEvaluationGrid& TEvaluationSnapshot::Grid() const {
  if (gridError_) std::rethrow_exception(gridError_);
  return *grid_;
}

const TTwitchParameters* TEvaluationSnapshot::Unit(const TObject* model, size_t& cursor) const {
  const auto& units = units_->Units;
  if (cursor >= units.size() || units[cursor].first != model) {
    const auto found = units_->Index.find(model);
    if (found == units_->Index.end()) return nullptr;
    cursor = found->second;
  }
  return &units[cursor++].second;
}

}  // namespace sarvanta
