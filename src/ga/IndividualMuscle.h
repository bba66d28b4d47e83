// One muscle as an individual holds it while its goals are estimated: the model's muscle with
// the individual's own samples and impulse trains, which its evaluation put in its tree. Reads
// only the tree and the model, so goals can use it on any evaluation thread. A muscle the tree
// has no control for shows the model's trains and cache.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace sarvanta {

class TChromosome;
class TMotorUnitGeneticControl;
class TMuscle;
class TMuscleGeneticControl;
class TTimeFrame;

class TIndividualMuscle {
 public:
  TIndividualMuscle(const TChromosome* root, const TMuscle& muscle);

  const TMuscle& Muscle() const { return muscle_; }
  // Entry i of the muscle's samples, or its force at t when there is no entry i.
  long double Sample(int64_t i, long double t) const;
  // The sum of the units' forces at t, in unit order.
  long double ForceAt(long double t) const;
  // Every sample, read in place; without samples, the force at the frame's k + 1 estimation
  // points, computed into `scratch`.
  std::span<const long double> Samples(const TTimeFrame& frame,
                                       std::vector<long double>& scratch) const;
  // The train of the muscle's motor unit number u (from 0).
  std::span<const long double> Train(int u) const;

 private:
  const TMotorUnitGeneticControl* UnitControl(int u) const;
  // The samples: the control's cache, else the model muscle's cache; nullptr without either.
  const std::vector<long double>* Cached() const;

  const TMuscle& muscle_;
  const TMuscleGeneticControl* control_ = nullptr;
};

// The control of `muscle` in the individual's tree, or nullptr.
const TMuscleGeneticControl* MuscleControlOf(const TChromosome* root, const TMuscle& muscle);

}  // namespace sarvanta
