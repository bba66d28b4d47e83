// The tab-separated tables of a run folder and of sarvanta-cli: exactly one header line whose
// column names carry their units ("t [ms]", "Biceps [N]"), lines ended by LF, and numbers
// written with 17 significant digits, so that every value reads back as the same double.
// (The results page's "Data" button keeps its own format: task/ChartData.h.)
#pragma once

#include "task/ChartData.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sarvanta {

class TGoalFunction;
class TMechanicalSystem;

// A number of a table: 17 significant digits, "." as the decimal separator.
std::string TableNumber(long double value);

// The chart as one table: its foot (the X column's name) and its series' titles as the
// header, then one row per point of the first series (an empty cell where a series is
// shorter). A chart without series gives the header of its X column alone.
std::string ChartTable(const TChartData& chart);

// The unit of a goal's values (goal and result curves, estimations): "N·m" for the
// joint-angle goals (moments), "N" for the force and joint-reaction goals, "" for goals whose
// values have no unit.
std::string GoalUnit(const TGoalFunction& goal);

// "name [unit]", or the name alone when the unit is empty.
std::string WithUnit(const std::string& name, const std::string& unit);

// The impulse trains of the system's motor units, one row per impulse: "muscle", "unit",
// "t [ms]", in the order of the muscle list, of each muscle's units and of each train.
// With a non-empty `muscle`, only that muscle's rows (throws when the system has no muscle of
// that name).
std::string TrainsTable(const TMechanicalSystem& system, const std::string& muscle = "");

// One generation of a run, as history.tsv lists it.
struct THistoryRow {
  int32_t Step = 0;
  long double BestFitness = 0;
  long double MeanFitness = 0;
  long double Improvement = 0;
  long double FrameFrom = 0;  // ms
  long double FrameTo = 0;    // ms
  uint64_t Evaluations = 0;   // individuals evaluated since the run started
  double ElapsedSeconds = 0;
};

// "step", "best fitness", "mean fitness", "improvement", "frame from [ms]", "frame to [ms]",
// "evaluations", "elapsed [s]", then one row per generation.
std::string HistoryTable(const std::vector<THistoryRow>& rows);

}  // namespace sarvanta
