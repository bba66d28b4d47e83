#include "ga/TrainOperations.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "base/Random.h"
#include "ga/GeneticControl.h"
#include "model/MotorUnit.h"
#include "model/TimeFrame.h"

#include <algorithm>

namespace sarvanta {

namespace {

TRandom& Random() { return TRandom::Shared(); }

}  // namespace

void CheckTrainLength(int64_t length) {
  if (length > MaxTrainLength) {
    throw Exception("A train of " + IntToStr(length) + " impulses is more than the " +
                    IntToStr(MaxTrainLength) + " allowed");
  }
}

long double RemovalMark(const TTimeFrame& frame) { return frame.CtrlStart - 626515.0L; }

long double DrawInWindow(const TTimeFrame& frame) {
  return Random().Real() * frame.CtrlLength + frame.CtrlStart;
}

long double TSubWindow::Draw() const { return Start + Random().Real() * Width; }

TSubWindow DrawSubWindow(const TTimeFrame& frame, long double range) {
  const long double length = frame.CtrlLength;
  TSubWindow window;
  window.Width = range * length;
  window.Start = Random().Real() * (length - window.Width) + frame.CtrlStart;
  return window;
}

void Lengthen(TGenes& genes, int64_t n, const std::function<long double()>& draw) {
  if (n < 0) return;
  const int64_t length = genes.empty() ? n : static_cast<int64_t>(genes.size()) - 1 + n;
  CheckTrainLength(length);
  genes.resize(static_cast<size_t>(length));
  for (int64_t i = 0; i < n; ++i) genes[static_cast<size_t>(length - 1 - i)] = draw();
}

TTrainSpan FindSpan(TMotorUnitGeneticControl& control, long double from, long double to) {
  TMotorUnit* unit = control.MotorUnit();
  if (unit == nullptr) return {};
  unit->SetImpArray(control.Genes);
  control.Genes = unit->ImpArray();
  return {unit->IndexOfFirstGreatOrEqualTo(from), unit->IndexOfFirstLessOrEqualTo(to)};
}

void RemoveInSpan(TGenes& genes, const TTrainSpan& span, int64_t m, const TTimeFrame& frame) {
  if (m < 1 || !span.Valid()) return;
  const long double mark = RemovalMark(frame);
  for (int64_t i = 0; i < m; ++i) {
    const auto k =
        static_cast<size_t>(span.First) + Random().Below(static_cast<uint32_t>(span.Length()) + 1u);
    if (genes[k] > frame.CtrlStart) genes[k] = mark;
  }
  CompactFrom(genes, static_cast<size_t>(span.First), frame.CtrlStart);
}

int64_t RemoveWithin(TMotorUnitGeneticControl& control, const TSubWindow& window, int64_t n,
                     const TTimeFrame& frame) {
  const TTrainSpan span = FindSpan(control, window.Start, window.Start + window.Width);
  const int64_t m = span.Valid() ? std::max<int64_t>(0, std::min<int64_t>(span.Length(), n)) : 0;
  RemoveInSpan(control.Genes, span, m, frame);
  return m;
}

void CompactFrom(TGenes& genes, size_t from, long double keepFrom) {
  if (from >= genes.size()) return;
  auto kept = std::remove_if(genes.begin() + static_cast<std::ptrdiff_t>(from), genes.end(),
                             [keepFrom](long double t) { return !(t >= keepFrom); });
  genes.erase(kept, genes.end());
}

void KeepInside(TGenes& genes, long double start, long double end) {
  auto kept = std::remove_if(genes.begin(), genes.end(),
                             [&](long double t) { return !(t >= start && t <= end); });
  genes.erase(kept, genes.end());
  std::sort(genes.begin(), genes.end());
}

void CrossTrains(const TGenes& p1, const TGenes& p2, const std::vector<long double>& cuts,
                 TGenes& c1, TGenes& c2) {
  TGenes first, second;
  // Stretch s holds the times t with cuts[s - 1] < t <= cuts[s].
  auto deal = [&cuts](const TGenes& parent, TGenes& evenChild, TGenes& oddChild) {
    for (long double t : parent) {
      const auto stretch = std::lower_bound(cuts.begin(), cuts.end(), t) - cuts.begin();
      (stretch % 2 == 0 ? evenChild : oddChild).push_back(t);
    }
  };
  deal(p1, first, second);
  deal(p2, second, first);
  std::sort(first.begin(), first.end());
  std::sort(second.begin(), second.end());
  c1 = std::move(first);
  c2 = std::move(second);
}

void OnePointPositions(int32_t count, const std::function<void(int32_t, bool)>& write) {
  if (count <= 0) return;
  const auto k = static_cast<int32_t>(Random().Below(static_cast<uint32_t>(count)));
  for (int32_t i = 0; i <= k; ++i) write(i, false);
  for (int32_t i = k; i < count; ++i) write(i, true);
}

void MultiPointPositions(int32_t count, int64_t n,
                         const std::function<void(int32_t, bool)>& write) {
  if (count <= 0) return;
  n = std::max<int64_t>(n, 0);
  CheckTrainLength(n);
  std::vector<int32_t> cuts(static_cast<size_t>(n + 3), 0);
  for (int64_t i = 1; i <= n; ++i) {
    cuts[static_cast<size_t>(i)] =
        static_cast<int32_t>(Random().Below(static_cast<uint32_t>(count)));
  }
  cuts[static_cast<size_t>(n + 1)] = count - 1;
  std::sort(cuts.begin(), cuts.end());
  for (size_t s = 0; s + 1 < cuts.size(); ++s) {
    for (int32_t i = cuts[s]; i <= cuts[s + 1]; ++i) write(i, s % 2 == 1);
  }
}

void CrossChildren(int opType, int onePoint, int multiPoint, int n, const TChromosome* p1,
                   const TChromosome* p2, TChromosome* c1, TChromosome* c2,
                   const std::function<void(int32_t, bool)>& write) {
  if (c1 != nullptr) c1->SetChanged(true);
  if (c2 != nullptr) c2->SetChanged(true);
  if (p1 == nullptr || p2 == nullptr || c1 == nullptr || c2 == nullptr) return;
  const int count = p1->ChildCount();
  if (p2->ChildCount() != count || c1->ChildCount() != count || c2->ChildCount() != count) {
    return;
  }
  if (opType == onePoint) {
    OnePointPositions(count, write);
  } else if (opType == multiPoint) {
    MultiPointPositions(count, n, write);
  }
}

bool ChangeActivation(TMotorUnitGeneticControl& control, long double range,
                      const TTimeFrame& frame) {
  TGenes& genes = control.Genes;
  const TMotorUnit* unit = control.MotorUnit();
  const int64_t most = unit != nullptr ? unit->MaxNumOfImpulses(frame.CtrlLength) : 0;
  const int64_t current = genes.empty() ? 0 : static_cast<int64_t>(genes.size()) - 1;
  const int64_t target = RoundHalfEven(static_cast<long double>(most) * range);
  const int64_t d = target - current;
  if (d > 0) {
    Lengthen(genes, d, [&frame] { return DrawInWindow(frame); });
  } else if (d < 0) {
    const int64_t m = -d;
    if (m >= static_cast<int64_t>(genes.size()) - 1) {
      genes.clear();
      return false;
    }
    constexpr long double mark = -626515.0L;
    for (int64_t i = 0; i < m; ++i) {
      const size_t k = Random().Below(static_cast<uint32_t>(genes.size()));
      if (genes[k] != mark) genes[k] = mark;
    }
    CompactFrom(genes, 1, 0.0L);
  } else {
    genes.clear();
  }
  return true;
}

void CopyTrain(const TChromosome& from, TChromosome& to) {
  to.Genes = from.Genes;
  const auto* source = dynamic_cast<const TMotorUnitGeneticControl*>(&from);
  auto* target = dynamic_cast<TMotorUnitGeneticControl*>(&to);
  if (source != nullptr && target != nullptr) target->Samples = source->Samples;
}

bool CopyTrains(const TChromosome& from, TChromosome& to) {
  bool changed = to.Genes != from.Genes;
  if (changed) CopyTrain(from, to);
  const int count = std::min(from.ChildCount(), to.ChildCount());
  for (int i = 0; i < count; ++i) changed = CopyTrains(*from.Child(i), *to.Child(i)) || changed;
  return changed;
}

}  // namespace sarvanta
