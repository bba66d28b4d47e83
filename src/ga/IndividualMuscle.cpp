#include "ga/IndividualMuscle.h"

#include "ga/GeneticControl.h"
#include "ga/GoalMath.h"
#include "model/Cache.h"
#include "model/ImpulseTrain.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"

namespace sarvanta {

namespace {

// The force of a model unit at t from its stored train, without touching the unit's own
// bookkeeping (so that several threads may ask at once).
long double ModelUnitForce(const TMotorUnit& unit, long double t) {
  if (unit.ImpArray().empty()) return 0;
  const TTwitchParameters p = unit.TwitchParameters();
  const TTwitchPeaks peaks = ComputeTwitchPeaks(p, unit.ImpArray());
  long double force = 0;
  AddTrainForces(p, unit.ImpArray(), peaks, std::span<const long double>(&t, 1),
                 std::span<long double>(&force, 1));
  return force;
}

}  // namespace

const TMuscleGeneticControl* MuscleControlOf(const TChromosome* root, const TMuscle& muscle) {
  if (root == nullptr) return nullptr;
  if (root->Level == ChromosomeLevel::Muscle)
    return root->Model == &muscle ? dynamic_cast<const TMuscleGeneticControl*>(root) : nullptr;
  if (root->Level < ChromosomeLevel::Muscle) return nullptr;
  for (int i = 0; i < root->ChildCount(); ++i)
    if (const TMuscleGeneticControl* found = MuscleControlOf(root->Child(i), muscle)) return found;
  return nullptr;
}

TIndividualMuscle::TIndividualMuscle(const TChromosome* root, const TMuscle& muscle)
    : muscle_(muscle), control_(MuscleControlOf(root, muscle)) {}

const TMotorUnitGeneticControl* TIndividualMuscle::UnitControl(int u) const {
  if (control_ == nullptr) return nullptr;
  const TMotorUnit* unit = muscle_.MotorUnit(u);
  // The tree mirrors the muscle: unit u's control is child u, unless the model changed since.
  if (u < control_->ChildCount() && control_->Child(u)->Model == unit)
    return dynamic_cast<const TMotorUnitGeneticControl*>(control_->Child(u));
  for (int c = 0; c < control_->ChildCount(); ++c)
    if (control_->Child(c)->Model == unit)
      return dynamic_cast<const TMotorUnitGeneticControl*>(control_->Child(c));
  return nullptr;
}

const std::vector<long double>* TIndividualMuscle::Cached() const {
  if (control_ != nullptr) return &control_->Cache().Samples;
  return muscle_.Cache != nullptr ? &muscle_.Cache->Samples : nullptr;
}

long double TIndividualMuscle::Sample(int64_t i, long double t) const {
  if (const std::vector<long double>* samples = Cached())
    if (i >= 0 && i < static_cast<int64_t>(samples->size()))
      return (*samples)[static_cast<size_t>(i)];
  return ForceAt(t);
}

long double TIndividualMuscle::ForceAt(long double t) const {
  long double sum = 0;
  for (int u = 0; u < muscle_.MotorUnits.Count(); ++u) {
    const TMotorUnitGeneticControl* unit = UnitControl(u);
    if (unit != nullptr && unit->Samples != nullptr)
      sum += unit->Samples->ForceAt(t);
    else if (const TMotorUnit* model = muscle_.MotorUnit(u))
      sum += ModelUnitForce(*model, t);
  }
  return sum;
}

std::span<const long double> TIndividualMuscle::Samples(const TTimeFrame& frame,
                                                        std::vector<long double>& scratch) const {
  if (const std::vector<long double>* cached = Cached()) return *cached;
  scratch.clear();
  const int64_t k = EstimationPointCount(frame);
  for (int64_t i = 0; i <= k; ++i) scratch.push_back(ForceAt(EstimationTime(frame, i)));
  return scratch;
}

std::span<const long double> TIndividualMuscle::Train(int u) const {
  if (const TMotorUnitGeneticControl* unit = UnitControl(u)) return unit->Genes;
  const TMotorUnit* model = muscle_.MotorUnit(u);
  if (model == nullptr) return {};
  return model->ImpArray();
}

}  // namespace sarvanta
