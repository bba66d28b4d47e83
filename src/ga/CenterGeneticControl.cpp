#include "base/Random.h"
#include "ga/GeneticControl.h"
#include "ga/GeneticOperation.h"
#include "ga/TrainOperations.h"
#include "model/MechanicalSystem.h"

namespace sarvanta {

namespace {

// Sets every motor unit of a muscle control to the activation `range` (as the muscle's
// "change MU activation" does for one unit).
void ChangeMuscleActivity(TChromosome& muscle, long double range, const TTimeFrame& frame) {
  muscle.SetChanged(true);
  for (int c = 0; c < muscle.ChildCount(); ++c) {
    auto* unit = dynamic_cast<TMotorUnitGeneticControl*>(muscle.Child(c));
    if (unit != nullptr) ChangeActivation(*unit, range, frame);
  }
}

}  // namespace

// ---- Motor center ----

TMotorCenterGeneticControl::TMotorCenterGeneticControl(TComponent* owner, TTimeFrame* timeFrame,
                                                       TObject* model)
    : TChromosome(owner, timeFrame, model, ChromosomeLevel::MotorCenter) {}

TMotorCenterGeneticControl::TMotorCenterGeneticControl(TComponent* owner,
                                                       const TMotorCenterGeneticControl& source)
    : TChromosome(owner, source, TCopying{}) {}

TChromosome* TMotorCenterGeneticControl::Copy(TComponent* owner) const {
  return new TMotorCenterGeneticControl(owner, *this);
}

TMechanicalSystem* TMotorCenterGeneticControl::System() const {
  return dynamic_cast<TMechanicalSystem*>(Model);
}

void TMotorCenterGeneticControl::Mutate(int opType, int numberOfPoints, long double range) {
  SetChanged(true);
  if (opType != OpCode::ChangeMuscleActivity || TimeFrame == nullptr || ChildCount() == 0) {
    return;
  }
  for (int i = 0; i < numberOfPoints; ++i) {
    const auto m = TRandom::Shared().Below(static_cast<uint32_t>(ChildCount()));
    ChangeMuscleActivity(*Child(static_cast<int>(m)), range, *TimeFrame);
  }
}

void TMotorCenterGeneticControl::Crossover(int opType, int numberOfPoints, TChromosome* p1,
                                           TChromosome* p2, TChromosome* c1, TChromosome* c2) {
  // Each muscle position takes all the trains of that muscle from one parent or the other;
  // only the muscles whose trains change are marked for a new force cache.
  auto write = [&](int32_t i, bool swapped) {
    if (CopyTrains(*(swapped ? p2 : p1)->Child(i), *c1->Child(i))) c1->Child(i)->SetChanged(true);
    if (CopyTrains(*(swapped ? p1 : p2)->Child(i), *c2->Child(i))) c2->Child(i)->SetChanged(true);
  };
  CrossChildren(opType, OpCode::MotorCenterOnePoint, OpCode::MotorCenterMultiPoint, numberOfPoints,
                p1, p2, c1, c2, write);
}

void TMotorCenterGeneticControl::CommonMutate(int, int, long double, TChromosome*) {}

void TMotorCenterGeneticControl::Apply() {
  for (int i = 0; i < ChildCount(); ++i) Child(i)->Apply();
}

// ---- Movement center ----

TMovementCenterGeneticControl::TMovementCenterGeneticControl(TComponent* owner,
                                                             TTimeFrame* timeFrame, TObject* model)
    : TChromosome(owner, timeFrame, model, ChromosomeLevel::MovementCenter) {}

TMovementCenterGeneticControl::TMovementCenterGeneticControl(
    TComponent* owner, const TMovementCenterGeneticControl& source)
    : TChromosome(owner, source, TCopying{}) {}

TChromosome* TMovementCenterGeneticControl::Copy(TComponent* owner) const {
  return new TMovementCenterGeneticControl(owner, *this);
}

TMechanicalSystem* TMovementCenterGeneticControl::System() const {
  return dynamic_cast<TMechanicalSystem*>(Model);
}

void TMovementCenterGeneticControl::Apply() {
  for (int i = 0; i < ChildCount(); ++i) Child(i)->Apply();
}

}  // namespace sarvanta
