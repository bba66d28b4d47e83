#include "task/TaskRun.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "base/Random.h"
#include "expr/Express.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GoalFunction.h"
#include "ga/Individual.h"
#include "ga/PopulationEvaluation.h"
#include "ga/RunLimits.h"
#include "ga/TaskFile.h"
#include "model/MechanicalSystem.h"
#include "model/ProjectFile.h"
#include "model/TimeFrame.h"
#include "task/AutoSave.h"
#include "task/AutoSaveName.h"
#include "task/FileKind.h"
#include "task/PresampledForces.h"
#include "task/Report.h"
#include "task/RunExport.h"
#include "task/RunFolder.h"
#include "task/RunTables.h"
#include "task/SettingsTransfer.h"
#include "task/TaskViews.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace sarvanta {

namespace fs = std::filesystem;

namespace {

// The message of the exception being handled ("" outside a handler).
std::string CurrentFailure() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown failure";
  }
}

double NowSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Files of a run that are the same for every run (copied only when missing).
const char* const kPictures[] = {"qelvo_line.gif", "line.gif"};

// A seed for a run that was given none: from the system's entropy source, so that two runs
// started in the same millisecond differ.
uint32_t DrawSeed() {
  std::random_device device;
  return device();
}

long double MeanFitness(const TGeneticAlgorithm& algorithm) {
  long double sum = 0;
  int count = 0;
  for (int i = 0; i < algorithm.Population.Count(); ++i) {
    const TIndividual* individual = algorithm.Individual(algorithm.Population, i);
    if (individual == nullptr) continue;
    sum += individual->Fitness;
    ++count;
  }
  return count > 0 ? sum / count : 0;
}

// The task file that opening the project opens too.
std::string TaskBesideProject(const std::string& project) {
  return fs::path(project).replace_extension(".hga").string();
}

}  // namespace

TTaskRun::TTaskRun(TRunSettings settings)
    : run_(std::move(settings)),
      system_(std::make_unique<TMechanicalSystem>()),
      algorithm_(std::make_unique<TGeneticAlgorithm>()) {
  folder_ = std::make_unique<TRunFolder>(run_.OutFolder, RunFileNames());
}

TTaskRun::~TTaskRun() {
  // The algorithm's handlers point at this run.
  algorithm_->OnStep = nullptr;
  algorithm_->OnTrace = nullptr;
  algorithm_->StopRequested = nullptr;
}

std::string TTaskRun::ProjectOutName() const {
  return fs::path(run_.ProjectFile).filename().string();
}

std::string TTaskRun::TaskOutName() const {
  return fs::path(run_.ProjectFile).replace_extension(".hga").filename().string();
}

std::vector<std::string> TTaskRun::RunFileNames() const {
  // islands.tsv is written by island runs only; a plain run removes an earlier one's.
  return {ProjectOutName(), TaskOutName(), "population.tsv", "goals.tsv",
          "forces.tsv",     "trains.tsv",  "history.tsv",    "run.json",
          "trace.log",      "report.html", "islands.tsv"};
}

std::string TTaskRun::ProjectOutFile() const { return folder_->FinalPath(ProjectOutName()); }

void TTaskRun::RefuseToReplaceInputs() const {
  std::vector<std::string> inputs{run_.ProjectFile, TaskBesideProject(run_.ProjectFile)};
  if (!taskFileUsed_.empty()) inputs.push_back(taskFileUsed_);
  std::vector<std::string> outputs = RunFileNames();
  outputs.insert(outputs.end(), std::begin(kPictures), std::end(kPictures));
  for (const std::string& name : outputs) {
    const std::string output = folder_->FinalPath(name);
    for (const std::string& input : inputs)
      if (IsSameFile(output, input))
        throw EFileError("The output " + output + " would replace the input " + input +
                         ": choose another output folder with --out");
  }
}

void TTaskRun::Load() {
  RegisterTaskClasses();
  RequireProjectFile(run_.ProjectFile, "run");
  LoadSystemFromFile(*system_, run_.ProjectFile);
  algorithm_->MechanicalSystem = system_.get();
  std::string task = run_.TaskFile;
  if (task.empty()) {
    const fs::path sameName = fs::path(run_.ProjectFile).replace_extension(".hga");
    std::error_code error;
    if (fs::is_regular_file(sameName, error)) task = sameName.string();
  }
  if (!task.empty()) {
    RequireTaskFile(task, "run --task");
    LoadTaskFromFile(*algorithm_, task);
    algorithm_->RenameLists();
    ShowLoadedTask(settings_, *algorithm_);
    taskFileUsed_ = task;
  }
  if (run_.Steps) settings_.eNumberOfSteps = IntToStr(*run_.Steps);
  if (run_.Population) settings_.ePopulationSize = IntToStr(*run_.Population);
}

void TTaskRun::RefuseUnscoredTask() const {
  if (algorithm_->Goals.Count() == 0)
    throw Exception(
        "the task has no goals: a run would score every solution 0 and optimise nothing (" +
        (taskFileUsed_.empty() ? "no task file was given and there is none beside the project"
                               : "the task file " + taskFileUsed_ + " has none") +
        "); give a task with goals with --task");
  for (int j = 0; j < algorithm_->Goals.Count(); ++j) {
    auto* goal = dynamic_cast<TGoalFunctionExpression*>(algorithm_->Goal(j));
    if (goal == nullptr) continue;
    try {
      goal->UpdateExpression();
    } catch (const EExpressError& e) {
      throw Exception("goal " + IntToStr(j + 1) + " \"" + algorithm_->Goals.Strings(j) +
                      "\": its formula \"" + goal->Expression + "\" does not compile (" + e.what() +
                      ")");
    }
  }
}

void TTaskRun::Prepare() {
  RefuseUnscoredTask();
  PrepareFreshRun(settings_, *algorithm_, chartScales_);
  if (algorithm_->PopulationSize < 1)
    throw Exception("The population size must be at least 1 (it is " +
                    IntToStr(algorithm_->PopulationSize) + ")");
  // No steps would only score the initial population and report it as a result.
  if (algorithm_->NumberOfSteps < 1)
    throw Exception("The number of steps must be at least 1 (it is " +
                    IntToStr(algorithm_->NumberOfSteps) + ")");
  if (algorithm_->Population.Count() == 0) CheckRunLimits(*algorithm_, *system_);
  RefuseToReplaceInputs();
  folder_->Open(run_.Overwrite);
  const std::string tracePath = folder_->StagedPath("trace.log");
  trace_.open(tracePath, std::ios::binary | std::ios::trunc);
  if (!trace_) throw EFileError("Cannot create file \"" + tracePath + "\".");
  record_.Seed = run_.Seed ? *run_.Seed : DrawSeed();
  record_.SeedGiven = run_.Seed.has_value();
  TRandom::Shared().SetFixedSeed(record_.Seed);
  record_.CommandLine = run_.CommandLine;
  record_.ProjectFile = run_.ProjectFile;
  record_.TaskFile = taskFileUsed_;
  record_.Threads = run_.Threads;
  DescribeTask(*algorithm_, record_);
  algorithm_->OnTrace = [this](int kind, const std::string& text) { Trace(kind, text); };
  algorithm_->EvaluationThreads = run_.Threads;
  if (algorithm_->Population.Count() == 0) algorithm_->InitRun(system_.get());
  autoSaveSchedule_.Start(0);
}

void TTaskRun::Trace(int kind, const std::string& text) {
  if (kind == 0) {
    if (traceLineOpen_) trace_ << '\n';
    trace_ << text;
    traceLineOpen_ = true;
  } else if (kind == 1) {
    trace_ << text;
  }
}

void TTaskRun::Run(const std::function<void(const TRunProgress&)>& onStep,
                   const std::function<bool()>& stopRequested) {
  stepsDone_ = 0;
  stopped_ = false;
  started_ = NowSeconds();
  record_.Started = UtcTimestamp();
  evaluationsBefore_ = algorithm_->Evaluations;
  history_.clear();
  algorithm_->OnStep = [this, &onStep, &stopRequested](TObject*) { OnStep(onStep, stopRequested); };
  algorithm_->StopRequested = stopRequested;
  try {
    algorithm_->RunAll();
  } catch (...) {
    algorithm_->OnStep = nullptr;
    algorithm_->StopRequested = nullptr;
    // What the run made so far replaces the earlier run's results; a failure to move it
    // leaves it in the staging folder and the run's own failure is the one reported.
    try {
      CloseTrace();
      WriteRunRecord("failed", CurrentFailure());
      folder_->Publish();
    } catch (const std::exception&) {
    }
    throw;
  }
  algorithm_->OnStep = nullptr;
  algorithm_->StopRequested = nullptr;
  if (!stopped_ && stopRequested && stopRequested()) stopped_ = true;
  if (traceLineOpen_) trace_ << '\n';
  traceLineOpen_ = false;
  trace_.flush();
}

void TTaskRun::CloseTrace() {
  if (!trace_.is_open()) return;
  if (traceLineOpen_) trace_ << '\n';
  traceLineOpen_ = false;
  trace_.close();
  if (trace_.fail())
    throw EFileError("Cannot write file \"" + folder_->StagedPath("trace.log") + "\".");
}

void TTaskRun::OnStep(const std::function<void(const TRunProgress&)>& onStep,
                      const std::function<bool()>& stopRequested) {
  TGeneticAlgorithm& a = *algorithm_;
  stepsDone_ = a.StepNo;
  trace_.flush();
  const TTimeFrame* frame = a.TimeFrame;
  history_.push_back({a.StepNo, a.BestFitness, MeanFitness(a), a.Improvement,
                      frame ? frame->FromMoment : 0, frame ? frame->ToMoment : 0,
                      a.Evaluations - evaluationsBefore_, NowSeconds() - started_});
  TAutoSaveOptions autoSave;
  autoSave.AtEachStep = run_.AutoSaveEvery > 0;
  autoSave.StepCount = run_.AutoSaveEvery;
  if (autoSaveSchedule_.DueAfterStep(autoSave, a.StepNo, 0)) {
    const std::string staged = AutoSaveName(folder_->StagedPath(ProjectOutName()),
                                            run_.AutoSaveAsNewFiles, LocalTimeOfDay());
    SaveSystemToFile(*system_, staged);
    autoSaves_.push_back(folder_->FinalPath(fs::path(staged).filename().string()));
  }
  if (onStep)
    onStep({a.StepNo, a.NumberOfSteps, a.BestFitness, a.Improvement, NowSeconds() - started_});
  if (stopRequested && stopRequested() && a.StepNo < a.NumberOfSteps) {
    stopped_ = true;
    a.Stop();
  }
}

void TTaskRun::WriteRunRecord(const std::string& endedBy, const std::string& failure) {
  record_.Ended = UtcTimestamp();
  record_.StepsDone = stepsDone_;
  record_.EndedBy = endedBy;
  record_.Failure = failure;
  record_.BestFitness = algorithm_->BestFitness;
  WriteFileAtomically(folder_->StagedPath("history.tsv"), HistoryTable(history_));
  WriteFileAtomically(folder_->StagedPath("run.json"), RunRecordJson(record_));
}

std::vector<std::string> TTaskRun::WriteResults(
    const std::string& templateFolder,
    const std::vector<std::pair<std::string, std::string>>& extraFiles) {
  TGeneticAlgorithm& a = *algorithm_;
  std::vector<std::string> written;
  auto note = [&written](const std::string& path) {
    written.push_back(fs::path(path).filename().string());
  };
  const TIndividual* best = a.Population.Count() > 0 ? a.Individual(a.Population, 0) : nullptr;
  if (best != nullptr) ApplySolution(*best, *system_);
  auto staged = [this](const std::string& name) { return folder_->StagedPath(name); };

  // The curves are sampled, and the tables' numbers written out, on the evaluation threads;
  // the muscles' forces are sampled once for the goals' curves and the force chart.
  TChartData goals, forces;
  {
    const TPresampledForces presampled(a, *system_);
    if (best != nullptr) goals = GoalsChart(a, *best);
    forces = ForcesChart(a, *system_);
  }
  std::string tables[4];
  const auto makeTable = [&](size_t k) {
    switch (k) {
      case 0:
        tables[0] = PopulationTable(a);
        break;
      case 1:
        tables[1] = ChartTable(goals);
        break;
      case 2:
        tables[2] = ChartTable(forces);
        break;
      default:
        tables[3] = TrainsTable(*system_);
        break;
    }
  };
  a.Evaluator->RunTasks(4, makeTable);
  SaveSystemToFile(*system_, staged(ProjectOutName()));
  note(ProjectOutName());
  SaveTaskToFile(a, staged(TaskOutName()));
  note(TaskOutName());
  WriteFileAtomically(staged("population.tsv"), tables[0]);
  note("population.tsv");
  if (best != nullptr) {
    WriteFileAtomically(staged("goals.tsv"), tables[1]);
    note("goals.tsv");
  }
  WriteFileAtomically(staged("forces.tsv"), tables[2]);
  note("forces.tsv");
  WriteFileAtomically(staged("trains.tsv"), tables[3]);
  note("trains.tsv");
  WriteRunRecord(stopped_ ? "stopped" : "finished", "");
  note("history.tsv");
  note("run.json");
  CloseTrace();
  note("trace.log");
  WriteReport(ReportTaskOf(a), TReportOptions{}, staged("report.html"));
  note("report.html");
  for (const auto& [name, content] : extraFiles) {
    WriteFileAtomically(staged(name), content);
    note(name);
  }
  folder_->Publish();
  CopyReportPicturesChecked(templateFolder, run_.OutFolder);
  return written;
}

}  // namespace sarvanta
