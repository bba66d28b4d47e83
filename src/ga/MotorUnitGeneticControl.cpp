#include "base/Random.h"
#include "ga/GeneticControl.h"
#include "ga/GeneticOperation.h"
#include "ga/TrainOperations.h"
#include "model/MotorUnit.h"
#include "model/TimeFrame.h"

#include <algorithm>
#include <cstring>

namespace sarvanta {

namespace {

TRandom& Random() { return TRandom::Shared(); }

// Byte for byte the same train (equal bytes are equal values).
bool SameBytes(const TGenes& a, const TGenes& b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(long double)) == 0);
}

// n times: a random impulse moves by a random fraction of `range` (the position is drawn
// before the fraction).
void ShiftImpulses(TGenes& genes, int n, long double range, long double direction) {
  if (genes.empty()) return;
  for (int i = 0; i < n; ++i) {
    const size_t k = Random().Below(static_cast<uint32_t>(genes.size()));
    genes[k] += direction * (Random().Real() * range);
  }
}

void RemoveImpulses(TGenes& genes, int n, const TTimeFrame& frame) {
  if (genes.empty()) return;
  if (n >= static_cast<int64_t>(genes.size())) {
    genes.clear();
    return;
  }
  const long double mark = RemovalMark(frame);
  for (int i = 0; i < n; ++i) {
    const size_t k = Random().Below(static_cast<uint32_t>(genes.size()));
    if (genes[k] > frame.CtrlStart) genes[k] = mark;
  }
  // The first impulse stays whatever its value.
  CompactFrom(genes, 1, frame.CtrlStart);
}

void Inverse(TMotorUnitGeneticControl& s, TMotorUnitGeneticControl& o, int n, long double range,
             const TTimeFrame& frame) {
  const TSubWindow window = DrawSubWindow(frame, range);
  if (s.Genes.empty()) return;
  const int64_t m = RemoveWithin(s, window, n, frame);
  // The partner gains as many impulses as this train lost; nothing when none was removed.
  if (m > 0) Lengthen(o.Genes, m, [&window] { return window.Draw(); });
}

void Synchronic(TMotorUnitGeneticControl& s, TMotorUnitGeneticControl& o, int n, long double range,
                const TTimeFrame& frame) {
  const TSubWindow window = DrawSubWindow(frame, range);
  if (Random().Below(2) == 0) {
    Lengthen(s.Genes, n, [&window] { return window.Draw(); });
    Lengthen(o.Genes, n, [&window] { return window.Draw(); });
    return;
  }
  if (s.Genes.empty() || o.Genes.empty()) return;
  const long double end = window.Start + window.Width;
  const TTrainSpan first = FindSpan(s, window.Start, end);
  const TTrainSpan second = FindSpan(o, window.Start, end);
  if (first.First < 0 || first.Last < 0 || second.First < 0 || second.Last < 0) return;
  const int64_t m = std::min<int64_t>({first.Length(), n, second.Length()});
  RemoveInSpan(s.Genes, first, m, frame);
  RemoveInSpan(o.Genes, second, m, frame);
}

}  // namespace

TMotorUnitGeneticControl::TMotorUnitGeneticControl(TComponent* owner, TTimeFrame* timeFrame,
                                                   TObject* model)
    : TChromosome(owner, timeFrame, model, ChromosomeLevel::MotorUnit) {
  if (TMotorUnit* unit = MotorUnit()) Genes = unit->ImpArray();
}

TMotorUnitGeneticControl::TMotorUnitGeneticControl(TComponent* owner,
                                                   const TMotorUnitGeneticControl& source)
    : TChromosome(owner, source, TCopying{}), Samples(source.Samples) {}

TChromosome* TMotorUnitGeneticControl::Copy(TComponent* owner) const {
  return new TMotorUnitGeneticControl(owner, *this);
}

void TMotorUnitGeneticControl::TakeValues(const TChromosome& source) {
  TChromosome::TakeValues(source);
  Samples = static_cast<const TMotorUnitGeneticControl&>(source).Samples;
}

TMotorUnit* TMotorUnitGeneticControl::MotorUnit() const { return dynamic_cast<TMotorUnit*>(Model); }

void TMotorUnitGeneticControl::Mutate(int opType, int numberOfPoints, long double range) {
  SetChanged(true);
  if (TimeFrame == nullptr) return;
  const TTimeFrame& frame = *TimeFrame;
  switch (opType) {
    case OpCode::ShiftImpulseLeft:
      ShiftImpulses(Genes, numberOfPoints, range, -1);
      break;
    case OpCode::ShiftImpulseRight:
      ShiftImpulses(Genes, numberOfPoints, range, +1);
      break;
    case OpCode::AddImpulse:
      Lengthen(Genes, numberOfPoints, [&frame] { return DrawInWindow(frame); });
      break;
    case OpCode::RemoveImpulse:
      RemoveImpulses(Genes, numberOfPoints, frame);
      break;
    default:
      break;
  }
}

void TMotorUnitGeneticControl::Crossover(int opType, int numberOfPoints, TChromosome* p1,
                                         TChromosome* p2, TChromosome* c1, TChromosome* c2) {
  if (c1 != nullptr) c1->SetChanged(true);
  if (c2 != nullptr) c2->SetChanged(true);
  if (TimeFrame == nullptr || p1 == nullptr || p2 == nullptr || c1 == nullptr || c2 == nullptr) {
    return;
  }
  std::vector<long double> cuts;
  if (opType == OpCode::MotorUnitOnePoint) {
    cuts.push_back(DrawInWindow(*TimeFrame));
  } else if (opType == OpCode::MotorUnitMultiPoint) {
    CheckTrainLength(numberOfPoints);
    for (int i = 0; i < numberOfPoints; ++i) cuts.push_back(DrawInWindow(*TimeFrame));
    std::sort(cuts.begin(), cuts.end());
  } else {
    return;
  }
  CrossTrains(p1->Genes, p2->Genes, cuts, c1->Genes, c2->Genes);
}

void TMotorUnitGeneticControl::CommonMutate(int opType, int numberOfPoints, long double range,
                                            TChromosome* other) {
  SetChanged(true);
  if (other != nullptr) other->SetChanged(true);
  auto* partner = dynamic_cast<TMotorUnitGeneticControl*>(other);
  if (TimeFrame == nullptr || partner == nullptr) return;
  if (opType == OpCode::MotorUnitInverse) {
    Inverse(*this, *partner, numberOfPoints, range, *TimeFrame);
  } else if (opType == OpCode::MotorUnitSynchronic) {
    Synchronic(*this, *partner, numberOfPoints, range, *TimeFrame);
  }
}

void TMotorUnitGeneticControl::Apply() {
  TMotorUnit* unit = MotorUnit();
  if (unit == nullptr) return;
  // Evaluated genes are the stored train already: the best solution, applied after every
  // step, mostly finds its trains in place. The same bytes are found faster than equal values.
  if (SameBytes(unit->ImpArray(), Genes) || unit->ImpArray() == Genes) return;
  unit->SetImpArray(Genes);
  Genes = unit->ImpArray();
}

}  // namespace sarvanta
