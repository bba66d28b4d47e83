// A whole motor task run without a window: the project and its task are loaded, a fresh run
// is prepared as the motor-task window prepares it, the generations run with automatic saving
// and a trace log, and the results are written into one folder. The run writes into a staging
// folder and moves its files into place at the end (TRunFolder), and it never writes over
// the project or task it reads.
#pragma once

#include "task/AutoSave.h"
#include "task/ChartScale.h"
#include "task/RunProgress.h"
#include "task/RunRecord.h"
#include "task/RunTables.h"
#include "task/TaskSettings.h"

#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sarvanta {

class TGeneticAlgorithm;
class TMechanicalSystem;
class TRunFolder;

struct TRunSettings {
  std::string ProjectFile;
  // Empty: the task file of the project's base name when it exists, else the page defaults.
  std::string TaskFile;
  std::string OutFolder;
  std::optional<int32_t> Steps;
  std::optional<int32_t> Population;
  // Without a seed one is drawn when the run is prepared and recorded in run.json, so that
  // every run can be repeated bit for bit.
  std::optional<uint32_t> Seed;
  // Threads that evaluate individuals (0: one per core, 1: sequential); the results do not
  // depend on it.
  int32_t Threads = 0;
  // Save the project after every this many steps (0: never).
  int32_t AutoSaveEvery = 0;
  bool AutoSaveAsNewFiles = false;
  // Replace the results of an earlier run in the output folder (otherwise refused).
  bool Overwrite = false;
  // The command that started the run, recorded in run.json.
  std::vector<std::string> CommandLine;
};

class TTaskRun {
 public:
  explicit TTaskRun(TRunSettings settings);
  ~TTaskRun();
  TTaskRun(const TTaskRun&) = delete;
  TTaskRun& operator=(const TTaskRun&) = delete;

  // Loads the project and its task and shows the task on the settings record; --steps and
  // --population go into the steps and population boxes. Throws on a bad file or setting.
  void Load();

  // Prepares a fresh run (settings into the algorithm, frame, functions; the population is
  // built when it is empty), fixes the seed (the given one, else a drawn one) and starts the
  // trace log in the output folder's staging folder. Throws, before anything is written, when
  // the task has no goals, a goal's formula does not compile, the number of steps is below 1,
  // an output would replace the project or the task read (or the task beside the project),
  // or the folder holds an earlier run's results and Overwrite is not set.
  void Prepare();

  // Runs the generations. After each one `onStep` hears the progress and the project is saved
  // automatically when due. `stopRequested` is asked between individuals too: when it answers
  // true the generation in progress is abandoned and the run ends. A failure inside a
  // generation propagates after the trace log, history.tsv, run.json (ended by "failed") and
  // the automatic saves were moved into the output folder (the earlier run's other results
  // are removed, so the folder holds one run).
  void Run(const std::function<void(const TRunProgress&)>& onStep,
           const std::function<bool()>& stopRequested);

  // Writes the project with the best solution's trains, the task, population.tsv, goals.tsv,
  // forces.tsv, trains.tsv, history.tsv, run.json and report.html with its pictures (taken
  // from `templateFolder`) and moves them, with the trace log and the automatic saves, into
  // the output folder; returns the names of the files written. `extraFiles` (name, content)
  // are written and moved with them (an island run's islands.tsv). Throws EFileError when a
  // file cannot be written completely.
  std::vector<std::string> WriteResults(
      const std::string& templateFolder,
      const std::vector<std::pair<std::string, std::string>>& extraFiles = {});

  TGeneticAlgorithm& Algorithm() { return *algorithm_; }
  TMechanicalSystem& System() { return *system_; }
  TTaskSettings& Settings() { return settings_; }
  // The task file that was loaded ("" when the page defaults were used).
  const std::string& TaskFileUsed() const { return taskFileUsed_; }
  // Where the project is saved (automatically and at the end).
  std::string ProjectOutFile() const;
  int32_t StepsDone() const { return stepsDone_; }
  bool Stopped() const { return stopped_; }
  // The seed the run uses (valid after Prepare).
  uint32_t UsedSeed() const { return record_.Seed; }
  // One row per generation done.
  const std::vector<THistoryRow>& History() const { return history_; }
  const std::vector<std::string>& AutoSaves() const { return autoSaves_; }

 private:
  void OnStep(const std::function<void(const TRunProgress&)>& onStep,
              const std::function<bool()>& stopRequested);
  void Trace(int kind, const std::string& text);
  // The names of the project and task files in the output folder.
  std::string ProjectOutName() const;
  std::string TaskOutName() const;
  // The files a run leaves in its output folder besides the report's pictures.
  std::vector<std::string> RunFileNames() const;
  // Throws when one of the run's outputs is the project or a task file it reads.
  void RefuseToReplaceInputs() const;
  // Ends the trace log; throws EFileError when it could not be written completely.
  void CloseTrace();
  // Refuses a task that cannot score anything: no goals, or a goal formula that does not
  // compile (named with the goal).
  void RefuseUnscoredTask() const;
  // history.tsv and run.json in the staging folder, the run ended by `endedBy`.
  void WriteRunRecord(const std::string& endedBy, const std::string& failure);

  TRunSettings run_;
  std::unique_ptr<TRunFolder> folder_;
  TTaskSettings settings_;
  TChartScales chartScales_{};
  std::unique_ptr<TMechanicalSystem> system_;
  std::unique_ptr<TGeneticAlgorithm> algorithm_;
  std::string taskFileUsed_;
  std::ofstream trace_;
  bool traceLineOpen_ = false;
  TAutoSaveSchedule autoSaveSchedule_;
  int32_t stepsDone_ = 0;
  bool stopped_ = false;
  double started_ = 0;
  uint64_t evaluationsBefore_ = 0;
  TRunRecord record_;
  std::vector<THistoryRow> history_;
  std::vector<std::string> autoSaves_;
};

}  // namespace sarvanta
