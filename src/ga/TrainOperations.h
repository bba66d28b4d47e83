// The steps the gene operators share: drawing times in the control window, lengthening a
// train with new draws, removing impulses by marking and compacting, and crossing trains.
// Every random draw comes from the shared generator, in the order the operators document.
#pragma once

#include "ga/Chromosome.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace sarvanta {

class TMotorUnitGeneticControl;

// An impulse time far before the control window: a train entry marked for removal.
long double RemovalMark(const TTimeFrame& frame);

// Random * CtrlLength + CtrlStart.
long double DrawInWindow(const TTimeFrame& frame);

// A random stretch [Start, Start + Width] of the control window, Width = range * CtrlLength.
struct TSubWindow {
  long double Start = 0;
  long double Width = 0;
  // Start + Random * Width.
  long double Draw() const;
};
TSubWindow DrawSubWindow(const TTimeFrame& frame, long double range);

// More impulses than this in one train are refused (a bad task file cannot exhaust memory).
inline constexpr int64_t MaxTrainLength = 10'000'000;
// Throws a clear error when `length` is above MaxTrainLength.
void CheckTrainLength(int64_t length);

// An empty train gets length n, a non-empty one length (its length - 1 + n); then its last n
// entries, from the last backwards, each get draw(). So n = 1 redraws the last entry and
// n = 0 drops it. A negative n changes nothing.
void Lengthen(TGenes& genes, int64_t n, const std::function<long double()>& draw);

// Positions a .. b of a train found by the motor unit's searches for [from, to].
struct TTrainSpan {
  int32_t First = -1;
  int32_t Last = -1;
  bool Valid() const { return First >= 0 && Last >= 0 && Last >= First; }
  int32_t Length() const { return Last - First; }
};
// Sets the unit's train from the genes, takes the sorted, filtered train back as the genes
// and finds the span of [from, to] in it. No span for a control without a motor unit.
TTrainSpan FindSpan(TMotorUnitGeneticControl& control, long double from, long double to);

// m times: k := span.First + Random(span length + 1); genes[k] := the removal mark unless it
// lies at or before CtrlStart. With m >= 1, the entries from span.First on are compacted,
// keeping those at or after CtrlStart (the entries before span.First are untouched).
void RemoveInSpan(TGenes& genes, const TTrainSpan& span, int64_t m, const TTimeFrame& frame);

// Removes up to n impulses of the control's train inside the sub-window; returns the number
// of removal draws made.
int64_t RemoveWithin(TMotorUnitGeneticControl& control, const TSubWindow& window, int64_t n,
                     const TTimeFrame& frame);

// Moves the entries of genes[from ..] that are at or after `keepFrom` to the front of that
// stretch, in order, and cuts the train after the last kept one.
void CompactFrom(TGenes& genes, size_t from, long double keepFrom);

// Keeps the times inside [start, end], sorted.
void KeepInside(TGenes& genes, long double start, long double end);

// Children of two parents' trains crossed at the sorted times `cuts`: the stretches between
// crossing times alternate between the parents, the first child starting with the first
// parent's impulses up to the first crossing time, the second child with the second's.
// Every parent impulse goes to exactly one child; both children come out sorted.
void CrossTrains(const TGenes& p1, const TGenes& p2, const std::vector<long double>& cuts,
                 TGenes& c1, TGenes& c2);

// Positions of a one-point crossover over K positions: k := Random(K); write(i, false) for
// i = 0 .. k, then write(i, true) for i = k .. K - 1 (k written twice, the second stands).
// `true` means the children take the other parent's position. Nothing for K <= 0.
void OnePointPositions(int32_t count, const std::function<void(int32_t, bool)>& write);
// Positions of a multi-point crossover over K positions with n random cut positions: the
// list (0, n draws of Random(K), K - 1, 0) is sorted; segment s runs from entry s to entry
// s + 1 inclusive and swaps the parents for odd s. Nothing for K <= 0.
void MultiPointPositions(int32_t count, int64_t n, const std::function<void(int32_t, bool)>& write);

// Brings a motor unit's train toward `range` times the most impulses that fit into the
// control window (rounded half to even): with d := target - (length - 1), d > 0 lengthens by
// d with draws in the window; d < 0 removes -d random impulses (keeping the first), or
// empties the train when that is at least its length - 1 and then returns false so that the
// calling operation ends; d = 0 empties the train.
bool ChangeActivation(TMotorUnitGeneticControl& control, long double range,
                      const TTimeFrame& frame);

// The crossover of two parents' children position by position: marks c1 and c2 changed;
// then, when all four have the same number of children, runs the one-point scheme when
// opType is onePoint or the multi-point one (n cut positions) when it is multiPoint, and
// calls write(i, swapped) for each position.
void CrossChildren(int opType, int onePoint, int multiPoint, int n, const TChromosome* p1,
                   const TChromosome* p2, TChromosome* c1, TChromosome* c2,
                   const std::function<void(int32_t, bool)>& write);

// The train of `from` becomes the train of `to`. A motor unit's samples go with its train:
// they were made for it, so the copy needs none of its own.
void CopyTrain(const TChromosome& from, TChromosome& to);
// Copies every train below `from` (its own genes and its children's, position by position)
// into `to`, as CopyTrain does; true when any train changed.
bool CopyTrains(const TChromosome& from, TChromosome& to);

}  // namespace sarvanta
