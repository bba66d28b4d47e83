// A results chart's data as tab-separated text (the "Data" button; also the CLI's curve files).
#pragma once

#include "task/CurveSampling.h"

#include <string>
#include <vector>

namespace sarvanta {

struct TChartSeries {
  std::string Title;
  std::vector<TCurvePoint> Points;
};

struct TChartData {
  std::string Title;
  std::string Foot;
  std::vector<TChartSeries> Series;
};

// Lines ended by CR LF: the title; the foot followed by a TAB and each series' title; then one
// line per point of the first series: its X, and for each series a TAB and that series' Y at
// the same position (an empty cell where a series is shorter). Numbers have 6 significant
// digits. A chart without series gives no text.
std::string SaveChartData(const TChartData& chart);

// Writes that text to a file (through a temporary file renamed over it); throws EFileError
// when it cannot be written.
void SaveChartDataFile(const TChartData& chart, const std::string& fileName);

}  // namespace sarvanta
