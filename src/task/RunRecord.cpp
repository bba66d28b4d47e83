#include "task/RunRecord.h"

#include "ga/GeneticAlgorithm.h"
#include "ga/GoalFunction.h"
#include "model/TimeFrame.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <ctime>

#ifndef SARVANTA_VERSION
#define SARVANTA_VERSION "unknown"
#endif

namespace sarvanta {

namespace {

nlohmann::ordered_json Number(long double value) {
  if (!std::isfinite(value)) return nullptr;
  return static_cast<double>(value);
}

}  // namespace

void DescribeTask(const TGeneticAlgorithm& algorithm, TRunRecord& record) {
  record.PopulationSize = algorithm.PopulationSize;
  record.NumberOfSteps = algorithm.NumberOfSteps;
  if (algorithm.TimeFrame != nullptr) {
    record.FrameStart = algorithm.TimeFrame->FrameStart;
    record.FrameEnd = algorithm.TimeFrame->FrameEnd;
    record.Precision = algorithm.TimeFrame->StartPrec;
  }
  record.Goals.clear();
  for (int j = 0; j < algorithm.Goals.Count(); ++j) {
    const TGoalFunction* goal = algorithm.Goal(j);
    if (goal == nullptr) continue;
    const auto* expression = dynamic_cast<const TGoalFunctionExpression*>(goal);
    record.Goals.push_back(
        {algorithm.Goals.Strings(j), goal->Weight, expression ? expression->Expression : ""});
  }
  record.Operations = algorithm.Operations.Count();
}

std::string RunRecordJson(const TRunRecord& record) {
  nlohmann::ordered_json goals = nlohmann::ordered_json::array();
  for (const TRunRecord::TGoal& goal : record.Goals) {
    nlohmann::ordered_json entry{{"name", goal.Name}, {"weight", Number(goal.Weight)}};
    if (!goal.Expression.empty()) entry["expression"] = goal.Expression;
    goals.push_back(entry);
  }
  nlohmann::ordered_json json{
      {"program", "sarvanta-cli"},
      {"version", ProgramVersion()},
      {"command_line", record.CommandLine},
      {"project", record.ProjectFile},
      {"task", record.TaskFile.empty() ? nlohmann::ordered_json()
                                       : nlohmann::ordered_json(record.TaskFile)},
      {"seed", record.Seed},
      {"seed_given", record.SeedGiven},
      {"threads", record.Threads},
      {"settings",
       {{"population_size", record.PopulationSize},
        {"number_of_steps", record.NumberOfSteps},
        {"frame_start_ms", Number(record.FrameStart)},
        {"frame_end_ms", Number(record.FrameEnd)},
        {"precision_ms", Number(record.Precision)},
        {"goals", goals},
        {"operations", record.Operations}}},
      {"started", record.Started},
      {"ended", record.Ended},
      {"steps_done", record.StepsDone},
      {"ended_by", record.EndedBy},
      {"best_fitness", Number(record.BestFitness)}};
  if (!record.Failure.empty()) json["failure"] = record.Failure;
  // Names come from files as bytes: invalid UTF-8 is replaced rather than refused.
  return json.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::string UtcTimestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::string ProgramVersion() { return SARVANTA_VERSION; }

}  // namespace sarvanta
