// The summary page: curves gathered from the other results pages, each described by the list
// positions it was taken from.
#pragma once

#include "task/CurveSampling.h"

#include <vector>

namespace sarvanta {

class TGeneticAlgorithm;
class TMechanicalSystem;
class TStringList;

enum TChartKind : int { ckMotorUnit = 0, ckMuscle = 1, ckGoal = 2, ckDerivedFunction = 4 };

// Kind 0 and 1: FirstIndex is the muscle's index in the system's muscle list; kind 2 and 4: the
// solution's position in the population. SecondIndex: kind 0 the motor unit within the muscle,
// kind 2 the goal's index, kind 4 the function's position in the page's function list.
struct TChartDescription {
  int Kind = ckMuscle;
  int FirstIndex = 0;
  int SecondIndex = 0;
};

struct TSummaryCurves {
  bool Charted = false;  // false when a position no longer names anything
  TCurve Series;
  TCurve SecondSeries;  // a goal's result curve
};

// Samples every description in order with the summary page's scale, then sets the scale's
// DataMin and DataMax to the range of all curves produced. A description refers to list
// positions, so it charts whatever stands there now; a position that names nothing (or the
// muscle list's placeholder) charts nothing. Goal and derived-function curves are sampled with
// their solution written into the model, which holds the best solution again afterwards.
std::vector<TSummaryCurves> SampleSummary(const std::vector<TChartDescription>& descriptions,
                                          TGeneticAlgorithm& algorithm, TMechanicalSystem& system,
                                          const TStringList& functions, TChartScale& scale);

}  // namespace sarvanta
