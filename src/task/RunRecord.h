// run.json: what a run was (program, command line, seed, threads, task) and how it ended, so
// that it can be repeated and its results read without guessing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sarvanta {

class TGeneticAlgorithm;

struct TRunRecord {
  std::vector<std::string> CommandLine;
  std::string ProjectFile;
  std::string TaskFile;  // "" when the page defaults were used
  uint32_t Seed = 0;     // the seed the run used, drawn when none was given
  bool SeedGiven = false;
  int32_t Threads = 0;  // as asked (0: one per core)
  int32_t PopulationSize = 0;
  int32_t NumberOfSteps = 0;
  long double FrameStart = 0;  // ms
  long double FrameEnd = 0;    // ms
  long double Precision = 0;   // ms
  struct TGoal {
    std::string Name;
    long double Weight = 0;
    std::string Expression;  // "" for goals without a formula
  };
  std::vector<TGoal> Goals;
  int32_t Operations = 0;
  std::string Started;  // UTC, "2026-01-31T12:00:00Z"
  std::string Ended;
  int32_t StepsDone = 0;
  std::string EndedBy;  // "finished", "stopped" or "failed"
  std::string Failure;  // the failure's message when EndedBy is "failed"
  long double BestFitness = 0;
};

// The task's settings as the record lists them (population, steps, frame, goals, operations).
void DescribeTask(const TGeneticAlgorithm& algorithm, TRunRecord& record);

// The record as JSON text (numbers as JSON numbers; non-finite ones as null), ended by LF.
std::string RunRecordJson(const TRunRecord& record);

// The current UTC time as "YYYY-MM-DDThh:mm:ssZ".
std::string UtcTimestamp();

// The program's version ("0.1").
std::string ProgramVersion();

}  // namespace sarvanta
