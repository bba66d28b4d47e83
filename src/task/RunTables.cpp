#include "task/RunTables.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "ga/GoalFunction.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"

namespace sarvanta {

std::string TableNumber(long double value) {
  // 17 significant digits identify every double.
  return FloatToStrDigits(value, 17);
}

std::string ChartTable(const TChartData& chart) {
  std::string text = chart.Foot;
  for (const TChartSeries& series : chart.Series) text += "\t" + series.Title;
  text += "\n";
  if (chart.Series.empty()) return text;
  const std::vector<TCurvePoint>& first = chart.Series.front().Points;
  for (size_t i = 0; i < first.size(); ++i) {
    text += TableNumber(first[i].X);
    for (const TChartSeries& series : chart.Series) {
      text += '\t';
      if (i < series.Points.size()) text += TableNumber(series.Points[i].Y);
    }
    text += "\n";
  }
  return text;
}

std::string GoalUnit(const TGoalFunction& goal) {
  switch (goal.GoalType) {
    case 0:  // minimal aggregate force: a mean muscle force
    case 1:  // minimal motor unit activation: a mean twitch force
    case 3:  // minimal joint reaction: a force
      return "N";
    case 6:  // joint angle: required and produced moments
    case 8:  // joint angle check points
      return "N·m";
    default:
      return "";
  }
}

std::string WithUnit(const std::string& name, const std::string& unit) {
  return unit.empty() ? name : name + " [" + unit + "]";
}

std::string TrainsTable(const TMechanicalSystem& system, const std::string& muscle) {
  if (!muscle.empty() && system.Muscles.IndexOf(muscle) < 1)
    throw Exception("No muscle named \"" + muscle + "\"");
  std::string text = "muscle\tunit\tt [ms]\n";
  for (int m = 1; m < system.Muscles.Count(); ++m) {
    const TMuscle* owner = system.Muscle(m);
    if (owner == nullptr || (!muscle.empty() && system.Muscles.Strings(m) != muscle)) continue;
    for (int u = 0; u < owner->MotorUnits.Count(); ++u) {
      const TMotorUnit* unit = owner->MotorUnit(u);
      const std::string prefix = system.Muscles.Strings(m) + "\t" + owner->MotorUnits.Strings(u);
      for (const long double t : unit->ImpArray()) text += prefix + "\t" + TableNumber(t) + "\n";
    }
  }
  return text;
}

std::string HistoryTable(const std::vector<THistoryRow>& rows) {
  std::string text =
      "step\tbest fitness\tmean fitness\timprovement\tframe from [ms]\tframe to [ms]\t"
      "evaluations\telapsed [s]\n";
  for (const THistoryRow& row : rows) {
    text += IntToStr(row.Step) + "\t" + TableNumber(row.BestFitness) + "\t" +
            TableNumber(row.MeanFitness) + "\t" + TableNumber(row.Improvement) + "\t" +
            TableNumber(row.FrameFrom) + "\t" + TableNumber(row.FrameTo) + "\t" +
            std::to_string(row.Evaluations) + "\t" + FloatToStrDigits(row.ElapsedSeconds, 6) + "\n";
  }
  return text;
}

}  // namespace sarvanta
