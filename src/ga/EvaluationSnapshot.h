// What a round of evaluation reads of the model, taken on the calling thread before the round
// starts: the time grid of the muscle samples and every motor unit's twitch parameters. The
// rest of the model (bones, joints, the muscles' polynomials) is read by the goals in place:
// nothing writes the model while a round runs. Immutable once made; every thread of the round
// reads it.
#pragma once

#include "ga/UnitSamples.h"

#include <exception>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sarvanta {

class TMechanicalSystem;
class TObject;
class TTimeFrame;

class TEvaluationSnapshot {
 public:
  // `previous` (or none) lends its grid's Id when the grid is the same, so that samples made
  // in an earlier round still fit.
  TEvaluationSnapshot(const TMechanicalSystem& system, const TTimeFrame& frame,
                      const TEvaluationSnapshot* previous);

  // The grid; throws what the frame's grid throws (a step that is not positive, too many
  // samples).
  const TEvaluationGrid& Grid() const;
  // The twitch parameters of the motor unit `model` (a chromosome's model object), or nullptr
  // when it is not a motor unit of the system. Looked up first at `cursor`, which then moves
  // past the unit found: units asked for in the model's order are found without a search.
  const TTwitchParameters* Unit(const TObject* model, size_t& cursor) const;
  // The same for every snapshot of one run whose units and parameters are all the same.
  uint64_t UnitsId() const { return units_->Id; }

 private:
  // Every motor unit of the system with its parameters; shared by the snapshots of a run
  // while no unit or parameter changes.
  struct TUnitTable {
    uint64_t Id = 0;
    std::vector<std::pair<const TObject*, TTwitchParameters>> Units;
    // Position of each unit in Units.
    std::unordered_map<const TObject*, size_t> Index;
  };

  // What the grid follows from: the cache's start, end and step, and the oscillation offset
  // (0 while the frame does not oscillate).
  struct TGridKey {
    long double Start = 0, End = 0, Step = 0, Shift = 0;
    bool operator==(const TGridKey&) const = default;
  };

  static bool SameUnits(const TMechanicalSystem& system, const TUnitTable& table);
  static std::shared_ptr<const TUnitTable> MakeUnitTable(const TMechanicalSystem& system);

  // Shared with the previous snapshot while the key is the same.
  TGridKey gridKey_;
  std::shared_ptr<const TEvaluationGrid> grid_;
  std::exception_ptr gridError_;
  std::shared_ptr<const TUnitTable> units_;
};

}  // namespace sarvanta
