#include "task/TaskRun.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "base/Random.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/Individual.h"
#include "ga/TaskFile.h"
#include "model/MechanicalSystem.h"
#include "model/ProjectFile.h"
#include "task/AutoSaveName.h"
#include "task/Report.h"
#include "task/RunExport.h"
#include "task/SettingsTransfer.h"
#include "task/TaskViews.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace sarvanta {

namespace fs = std::filesystem;

namespace {

double NowSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

TTaskRun::TTaskRun(TRunSettings settings)
    : run_(std::move(settings)),
      system_(std::make_unique<TMechanicalSystem>()),
      algorithm_(std::make_unique<TGeneticAlgorithm>()) {}

TTaskRun::~TTaskRun() {
  // The algorithm's handlers point at this run.
  algorithm_->OnStep = nullptr;
  algorithm_->OnTrace = nullptr;
}

std::string TTaskRun::OutPath(const std::string& name) const {
  return (fs::path(run_.OutFolder) / name).string();
}

std::string TTaskRun::ProjectOutFile() const {
  return OutPath(fs::path(run_.ProjectFile).filename().string());
}

void TTaskRun::Load() {
  RegisterTaskClasses();
  LoadSystemFromFile(*system_, run_.ProjectFile);
  algorithm_->MechanicalSystem = system_.get();
  std::string task = run_.TaskFile;
  if (task.empty()) {
    const fs::path sameName = fs::path(run_.ProjectFile).replace_extension(".hga");
    std::error_code error;
    if (fs::is_regular_file(sameName, error)) task = sameName.string();
  }
  if (!task.empty()) {
    LoadTaskFromFile(*algorithm_, task);
    algorithm_->RenameLists();
    ShowLoadedTask(settings_, *algorithm_);
    taskFileUsed_ = task;
  }
  if (run_.Steps) settings_.eNumberOfSteps = IntToStr(*run_.Steps);
  if (run_.Population) settings_.ePopulationSize = IntToStr(*run_.Population);
}

void TTaskRun::Prepare() {
  PrepareFreshRun(settings_, *algorithm_, chartScales_);
  if (algorithm_->PopulationSize < 1)
    throw Exception("The population size must be at least 1 (it is " +
                    IntToStr(algorithm_->PopulationSize) + ")");
  if (algorithm_->NumberOfSteps < 0)
    throw Exception("The number of steps must not be negative (it is " +
                    IntToStr(algorithm_->NumberOfSteps) + ")");
  std::error_code error;
  fs::create_directories(run_.OutFolder, error);
  if (error)
    throw EFileError("Cannot create folder \"" + run_.OutFolder + "\". " + error.message());
  trace_.open(OutPath("trace.log"), std::ios::binary | std::ios::trunc);
  if (!trace_) throw EFileError("Cannot create file \"" + OutPath("trace.log") + "\".");
  if (run_.Seed) TRandom::Shared().SetFixedSeed(*run_.Seed);
  algorithm_->OnTrace = [this](int kind, const std::string& text) { Trace(kind, text); };
  algorithm_->EvaluationThreads = run_.Threads;
  if (algorithm_->Population.Count() == 0) algorithm_->InitRun(system_.get());
  lastAutoSaveStep_ = 0;
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
  algorithm_->OnStep = [this, &onStep, &stopRequested](TObject*) { OnStep(onStep, stopRequested); };
  try {
    algorithm_->RunAll();
  } catch (...) {
    algorithm_->OnStep = nullptr;
    if (traceLineOpen_) trace_ << '\n';
    trace_.flush();
    throw;
  }
  algorithm_->OnStep = nullptr;
  if (traceLineOpen_) trace_ << '\n';
  traceLineOpen_ = false;
  trace_.flush();
}

void TTaskRun::OnStep(const std::function<void(const TRunProgress&)>& onStep,
                      const std::function<bool()>& stopRequested) {
  TGeneticAlgorithm& a = *algorithm_;
  stepsDone_ = a.StepNo;
  trace_.flush();
  if (run_.AutoSaveEvery > 0 && std::abs(a.StepNo - lastAutoSaveStep_) >= run_.AutoSaveEvery) {
    lastAutoSaveStep_ = a.StepNo;
    const std::string name =
        AutoSaveName(ProjectOutFile(), run_.AutoSaveAsNewFiles, LocalTimeOfDay());
    SaveSystemToFile(*system_, name);
    autoSaves_.push_back(name);
  }
  if (onStep)
    onStep({a.StepNo, a.NumberOfSteps, a.BestFitness, a.Improvement, NowSeconds() - started_});
  if (stopRequested && stopRequested() && a.StepNo < a.NumberOfSteps) {
    stopped_ = true;
    a.Stop();
  }
}

std::vector<std::string> TTaskRun::WriteResults(const std::string& templateFolder) {
  TGeneticAlgorithm& a = *algorithm_;
  std::vector<std::string> written;
  auto note = [&written](const std::string& path) {
    written.push_back(fs::path(path).filename().string());
  };
  const TIndividual* best = a.Population.Count() > 0 ? a.Individual(a.Population, 0) : nullptr;
  if (best != nullptr) ApplySolution(*best, *system_);

  SaveSystemToFile(*system_, ProjectOutFile());
  note(ProjectOutFile());
  const std::string taskOut =
      OutPath(fs::path(run_.ProjectFile).replace_extension(".hga").filename().string());
  SaveTaskToFile(a, taskOut);
  note(taskOut);
  WriteFileAtomically(OutPath("population.tsv"), PopulationTable(a));
  note("population.tsv");
  if (best != nullptr) {
    SaveChartDataFile(GoalsChart(a, *best), OutPath("goals.tsv"));
    note("goals.tsv");
  }
  SaveChartDataFile(ForcesChart(a, *system_), OutPath("forces.tsv"));
  note("forces.tsv");
  note("trace.log");
  WriteReport(ReportTaskOf(a), TReportOptions{}, OutPath("report.html"));
  note("report.html");
  CopyReportPictures(templateFolder, run_.OutFolder);
  return written;
}

}  // namespace sarvanta
