#include "base/NumberText.h"
#include "base/Random.h"
#include "ga/GeneticControl.h"
#include "ga/GeneticOperation.h"
#include "ga/TrainOperations.h"
#include "model/Cache.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/TimeFrame.h"

namespace sarvanta {

namespace {

TRandom& Random() { return TRandom::Shared(); }

TMotorUnitGeneticControl* Unit(const TChromosome& muscle, int index) {
  return dynamic_cast<TMotorUnitGeneticControl*>(muscle.Child(index));
}

// Removes up to n impulses inside the window from the non-empty trains of the muscle's units.
void RemoveFromUnits(const TChromosome& muscle, const TSubWindow& window, int n,
                     const TTimeFrame& frame) {
  for (int c = 0; c < muscle.ChildCount(); ++c) {
    TMotorUnitGeneticControl* unit = Unit(muscle, c);
    if (unit != nullptr && !unit->Genes.empty()) RemoveWithin(*unit, window, n, frame);
  }
}

void LengthenUnits(const TChromosome& muscle, const TSubWindow& window, int n) {
  for (int c = 0; c < muscle.ChildCount(); ++c) {
    Lengthen(muscle.Child(c)->Genes, n, [&window] { return window.Draw(); });
  }
}

void ShiftActivation(const TChromosome& muscle, int n, long double range, long double direction,
                     const TTimeFrame& frame) {
  for (int i = 0; i < n; ++i) {
    const long double shift = direction * (Random().Real() * range);
    for (int c = 0; c < muscle.ChildCount(); ++c) {
      TGenes& genes = muscle.Child(c)->Genes;
      for (long double& t : genes) t += shift;
      KeepInside(genes, frame.CtrlStart, frame.CtrlEnd);
    }
  }
}

void Inverse(const TChromosome& s, const TChromosome& o, int n, long double range,
             const TTimeFrame& frame) {
  if (s.ChildCount() == 0) return;
  const TSubWindow window = DrawSubWindow(frame, range);
  LengthenUnits(s, window, n);
  RemoveFromUnits(o, window, n, frame);
}

void Synchronic(const TChromosome& s, const TChromosome& o, int n, long double range,
                const TTimeFrame& frame) {
  if (s.ChildCount() == 0) return;
  const TSubWindow window = DrawSubWindow(frame, range);
  if (Random().Below(2) != 0) {
    RemoveFromUnits(s, window, n, frame);
    RemoveFromUnits(o, window, n, frame);
  } else {
    LengthenUnits(s, window, n);
    LengthenUnits(o, window, n);
  }
}

}  // namespace

TMuscleGeneticControl::TMuscleGeneticControl(TComponent* owner, TTimeFrame* timeFrame,
                                             TObject* model)
    : TChromosome(owner, timeFrame, model, ChromosomeLevel::Muscle) {
  CreateCache();
}

TMuscleGeneticControl::TMuscleGeneticControl(TComponent* owner, const TMuscleGeneticControl& source)
    : TChromosome(owner, source, TCopying{}), SummedFrom(source.SummedFrom) {
  CreateCache();
  cache_->TakeGridAndSamples(*source.cache_);
}

// The muscle must not keep a cache that goes away with this control.
TMuscleGeneticControl::~TMuscleGeneticControl() { Uninstall(); }

void TMuscleGeneticControl::Uninstall() {
  TMuscle* muscle = Muscle();
  if (muscle != nullptr && muscle->Cache == cache_.get()) muscle->Cache = nullptr;
}

void TMuscleGeneticControl::CreateCache() {
  cache_ = std::make_unique<TCache>(nullptr, TimeFrame);
  if (TMuscle* muscle = Muscle()) {
    cache_->Func = [muscle](long double t) { return muscle->Force(t); };
  }
}

TChromosome* TMuscleGeneticControl::Copy(TComponent* owner) const {
  return new TMuscleGeneticControl(owner, *this);
}

void TMuscleGeneticControl::TakeValues(const TChromosome& source) {
  TChromosome::TakeValues(source);
  const auto& muscle = static_cast<const TMuscleGeneticControl&>(source);
  SummedFrom = muscle.SummedFrom;
  cache_->TakeGridAndSamples(*muscle.cache_);
}

TMuscle* TMuscleGeneticControl::Muscle() const { return dynamic_cast<TMuscle*>(Model); }

void TMuscleGeneticControl::Mutate(int opType, int numberOfPoints, long double range) {
  SetChanged(true);
  if (TimeFrame == nullptr || ChildCount() == 0) return;
  const TTimeFrame& frame = *TimeFrame;
  switch (opType) {
    case OpCode::ChangeMUActivation:
      for (int i = 0; i < numberOfPoints; ++i) {
        const int c = static_cast<int>(Random().Below(static_cast<uint32_t>(ChildCount())));
        TMotorUnitGeneticControl* unit = Unit(*this, c);
        if (unit != nullptr && !ChangeActivation(*unit, range, frame)) break;
      }
      break;
    case OpCode::ShiftMUActivationLeft:
      ShiftActivation(*this, numberOfPoints, range, -1, frame);
      break;
    case OpCode::ShiftMUActivationRight:
      ShiftActivation(*this, numberOfPoints, range, +1, frame);
      break;
    default:
      break;
  }
}

void TMuscleGeneticControl::Crossover(int opType, int numberOfPoints, TChromosome* p1,
                                      TChromosome* p2, TChromosome* c1, TChromosome* c2) {
  // Each child position takes whole trains from one parent or the other.
  auto write = [&](int32_t i, bool swapped) {
    CopyTrain(*(swapped ? p2 : p1)->Child(i), *c1->Child(i));
    CopyTrain(*(swapped ? p1 : p2)->Child(i), *c2->Child(i));
  };
  CrossChildren(opType, OpCode::MuscleOnePoint, OpCode::MuscleMultiPoint, numberOfPoints, p1, p2,
                c1, c2, write);
}

void TMuscleGeneticControl::CommonMutate(int opType, int numberOfPoints, long double range,
                                         TChromosome* other) {
  SetChanged(true);
  if (other != nullptr) other->SetChanged(true);
  auto* partner = dynamic_cast<TMuscleGeneticControl*>(other);
  if (TimeFrame == nullptr || partner == nullptr) return;
  if (opType == OpCode::MuscleInverse) {
    Inverse(*this, *partner, numberOfPoints, range, *TimeFrame);
  } else if (opType == OpCode::MuscleSynchronic) {
    Synchronic(*this, *partner, numberOfPoints, range, *TimeFrame);
  }
}

void TMuscleGeneticControl::Apply() {
  if (TMuscle* muscle = Muscle()) {
    muscle->CacheInvalid = Changed;
    muscle->Cache = cache_.get();
  }
  SetChanged(false);
  for (int i = 0; i < ChildCount(); ++i) Child(i)->Apply();
}

}  // namespace sarvanta
