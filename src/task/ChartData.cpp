#include "task/ChartData.h"

#include "base/NumberText.h"
#include "model/ProjectFile.h"

namespace sarvanta {

std::string SaveChartData(const TChartData& chart) {
  if (chart.Series.empty()) return {};
  std::string text = chart.Title + "\r\n" + chart.Foot;
  for (const TChartSeries& series : chart.Series) text += "\t" + series.Title;
  text += "\r\n";
  const std::vector<TCurvePoint>& first = chart.Series.front().Points;
  for (size_t i = 0; i < first.size(); ++i) {
    text += FloatToStrDigits(first[i].X, 6);
    for (const TChartSeries& series : chart.Series) {
      text += '\t';
      if (i < series.Points.size()) text += FloatToStrDigits(series.Points[i].Y, 6);
    }
    text += "\r\n";
  }
  return text;
}

void SaveChartDataFile(const TChartData& chart, const std::string& fileName) {
  WriteFileAtomically(fileName, SaveChartData(chart));
}

}  // namespace sarvanta
