// The motor-task window's runs: Run and Stop, Trace, what happens after every generation, the
// log, the monitor page and automatic saving.
#include "task/SVAlgorithm.h"

#include "app/Latin1.h"
#include "app/MSystem.h"
#include "base/NumberText.h"
#include "chart/Chart.h"
#include "ga/GeneticAlgorithm.h"
#include "model/TimeFrame.h"
#include "settings/Options.h"
#include "task/AutoSaveName.h"
#include "task/RunProgress.h"
#include "task/SettingsTransfer.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <algorithm>

namespace sarvanta {

namespace {

// The present moment as a date-time value in days.
double Now() { return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 86400000.0; }

// The performance chart shows the last 50 steps; older points are dropped.
constexpr int kPerformancePoints = 51;
// The log keeps the latest lines of a long run.
constexpr int kLogLines = 20000;

}  // namespace

// ---- Run and Stop ----

void TSVAlgorithm::bbRunClick() {
  if (GeneticAlgorithm == nullptr) return;
  TGeneticAlgorithm& a = *GeneticAlgorithm;
  if (looping_) {
    RequestStop();
    return;
  }
  // A traced generation is still on the call stack: it ends first.
  if (RunInProgress()) return;
  ShowRunning(true);
  InstallHandlers();
  ++callDepth_;
  looping_ = true;
  stopRequested_ = false;
  bool ran = false;
  if (a.Running) {
    // Continues a traced run to the number of steps, counting from 0 again.
    ran = Guarded([&] {
      a.NumberOfSteps = StrToInt(ToStdString(eNumberOfSteps->text()));
      pbProgerss->setRange(0, std::max(a.NumberOfSteps, 1));
      LastTimeMark = Now();
      a.RunAll();
    });
  } else if (Guarded([&] {
               PrepareFreshRun();
               if (a.Population.Count() == 0) a.InitRun(MechanicalSystem);
             })) {
    ListGoalsForResults();
    LastTimeMark = Now();
    // A Stop that came while the population was built ends the run before its first step.
    if (stopRequested_)
      a.Stop();
    else
      ran = Guarded([&] { a.RunAll(); });
  }
  AddRunTime();
  looping_ = false;
  stopRequested_ = false;
  --callDepth_;
  FinishRun();
  TOptions* options = TOptions::Instance();
  if (ran && options != nullptr && options->cbAutoSaveWhenDone->isChecked()) AutoSave();
  emit RunEnded();
}

void TSVAlgorithm::RequestStop() {
  if (GeneticAlgorithm == nullptr || !looping_ || stopRequested_) return;
  stopRequested_ = true;
  if (GeneticAlgorithm->RunningAll) GeneticAlgorithm->Stop();
  AddRunTime();
  ShowRunning(false);
}

void TSVAlgorithm::FinishRun() {
  pbProgerss->setValue(0);
  ShowRunning(false);
  if (statusPanel_ && !isVisible()) statusPanel_->clear();
}

void TSVAlgorithm::ShowRunning(bool running) {
  bbStop->setVisible(running);
  bbRun->setVisible(!running);
  // After Stop, Run shows at once but waits for the generation in progress.
  bbRun->setEnabled(!RunInProgress());
  if (miStop_) miStop_->setVisible(running);
  if (miRun_) {
    miRun_->setVisible(!running);
    miRun_->setEnabled(!RunInProgress());
  }
  const bool looping = running || RunInProgress();
  if (miTrace_) miTrace_->setEnabled(!looping);
  for (QWidget* control : lockedWhileRunning_) control->setEnabled(!looping);
  bbRun->repaint();
  bbStop->repaint();
}

void TSVAlgorithm::InstallHandlers() {
  GeneticAlgorithm->OnStep = [this](TObject*) { GAStep(); };
  // Stop also acts within a long generation: the algorithm abandons it between individuals.
  GeneticAlgorithm->StopRequested = [this] { return stopRequested_; };
  cbShowLogClick();
}

void TSVAlgorithm::cbShowLogClick() {
  if (GeneticAlgorithm == nullptr) return;
  if (cbShowLog->isChecked())
    GeneticAlgorithm->OnTrace = [this](int kind, const std::string& text) { GATrace(kind, text); };
  else
    GeneticAlgorithm->OnTrace = nullptr;
}

void TSVAlgorithm::PrepareFreshRun() {
  TGeneticAlgorithm& a = *GeneticAlgorithm;
  const TTaskSettings s = Settings();
  // Population size and steps first: a bad number stops here, before anything else changes.
  a.PopulationSize = StrToInt(s.ePopulationSize);
  a.NumberOfSteps = StrToInt(s.eNumberOfSteps);
  pbProgerss->setRange(0, std::max(a.NumberOfSteps, 1));
  pbProgerss->setValue(0);
  autoSaveSchedule_.Start(RunSeconds());
  sarvanta::PrepareFreshRun(s, a, ChartScales);
}

// ---- Trace ----

void TSVAlgorithm::bbDebugRunClick() {
  if (GeneticAlgorithm == nullptr || RunInProgress()) return;
  TGeneticAlgorithm& a = *GeneticAlgorithm;
  InstallHandlers();
  ++callDepth_;
  ShowRunning(false);
  if (a.Running) {
    LastTimeMark = Now();
    Guarded([&] { a.Step(); });
  } else if (Guarded([&] {
               PrepareFreshRun();
               a.InitRun(MechanicalSystem);
             })) {
    ListGoalsForResults();
    LastTimeMark = Now();
    Guarded([&] { a.Step(); });
  }
  AddRunTime();
  --callDepth_;
  ShowRunning(false);
  emit RunEnded();
}

// ---- After every generation ----

void TSVAlgorithm::GAStep() {
  TGeneticAlgorithm& a = *GeneticAlgorithm;
  ListPopulation();
  pbProgerss->setValue(std::min(a.StepNo, pbProgerss->maximum()));
  if (autoSaveSchedule_.DueAfterStep(AutoSaveOptions(), a.StepNo, RunSeconds())) AutoSave();
  UpdateGraphic();
  QCoreApplication::processEvents();
}

void TSVAlgorithm::ListPopulation() {
  cbSolution->clear();
  if (GeneticAlgorithm == nullptr) return;
  const TStringList& population = GeneticAlgorithm->Population;
  for (int i = 0; i < population.Count(); ++i)
    cbSolution->addItem(ToQString(population.Strings(i)),
                        QVariant::fromValue(reinterpret_cast<quintptr>(population.Objects(i))));
  if (cbSolution->count() > 0) cbSolution->setCurrentIndex(0);
}

void TSVAlgorithm::ListGoalsForResults() {
  cbGoals->clear();
  if (GeneticAlgorithm == nullptr) return;
  const TStringList& goals = GeneticAlgorithm->Goals;
  for (int i = 0; i < goals.Count(); ++i) cbGoals->addItem(ToQString(goals.Strings(i)));
  if (cbGoals->count() > 0) cbGoals->setCurrentIndex(0);
}

void TSVAlgorithm::GATrace(int kind, const std::string& text) {
  QCoreApplication::processEvents();
  const QString line = ToQString(text);
  switch (kind) {
    case 0:
      lbLog->addItem(line);
      if (lbLog->count() > kLogLines) delete lbLog->takeItem(0);
      lbLog->scrollToBottom();
      break;
    case 1:
      if (lbLog->count() == 0)
        lbLog->addItem(line);
      else
        lbLog->item(lbLog->count() - 1)->setText(lbLog->item(lbLog->count() - 1)->text() + line);
      break;
    case 2:
      if (lbLog->count() > 0) lbLog->item(lbLog->count() - 1)->setText(line);
      break;
    default:
      break;
  }
}

// ---- Monitor ----

void TSVAlgorithm::UpdateGraphic() {
  if (GeneticAlgorithm == nullptr) return;
  TSeries* performance = cPerformance->Series(0);
  performance->Append(GeneticAlgorithm->StepNo, static_cast<double>(GeneticAlgorithm->Improvement));
  if (performance->Count() > kPerformancePoints)
    performance->Delete(0, performance->Count() - kPerformancePoints);
  if (pcMotorControl->currentWidget()->objectName() == "tsMonitor") UpdateMonitor();
  UpdateResults();
}

void TSVAlgorithm::UpdateMonitor() {
  const TGeneticAlgorithm& a = *GeneticAlgorithm;
  eLastStepChange->setText(ToQString(FloatToStr(a.Improvement)));
  eLastStepChange->setCursorPosition(0);
  eStep->setText(QString::number(a.StepNo));
  eFrom->setText(ToQString(FloatToStr(a.TimeFrame->FromMoment)));
  eTo->setText(ToQString(FloatToStr(a.TimeFrame->ToMoment)));
  stOverallSteps->setText(QString::number(a.TotalSteps));
  cPerformance->SetAxis(TAxisSide::Bottom,
                        TChartAxis{false, false, static_cast<long double>(a.StepNo - 50),
                                   static_cast<long double>(a.StepNo)});
  if (a.RunningAll) {
    const double now = Now();
    ElapsedTime += now - LastTimeMark;
    LastTimeMark = now;
  }
  stElapsedTime->setText(ToQString(TimeOfDayText(ElapsedTime * 86400.0)));
}

void TSVAlgorithm::AddRunTime() {
  const double now = Now();
  ElapsedTime += now - LastTimeMark;
  LastTimeMark = now;
}

double TSVAlgorithm::RunSeconds() const {
  const double pending = RunInProgress() ? Now() - LastTimeMark : 0.0;
  return (ElapsedTime + pending) * 86400.0;
}

// ---- Automatic saving ----

TAutoSaveOptions TSVAlgorithm::AutoSaveOptions() const {
  TAutoSaveOptions result;
  const TOptions* options = TOptions::Instance();
  if (options == nullptr) return result;
  result.AtEachStep = options->cbAutoSaveOnStep->isChecked();
  result.StepCount = options->AutoSaveStep;
  result.EveryMinutes = options->cbAutoSaveOnMin->isChecked();
  long double minutes = 0;
  if (TryStrToFloat(ToStdString(options->eAutoSaveOnMin->text()), minutes))
    result.Minutes = static_cast<double>(minutes);
  result.WhenDone = options->cbAutoSaveWhenDone->isChecked();
  result.AsNewFiles = options->cbAutoSaveAsNewFiles->isChecked();
  result.AllSolutions = options->cbAutoSaveAllSolutions->isChecked();
  return result;
}

void TSVAlgorithm::AutoSave() {
  if (model_ == nullptr || MechanicalSystem == nullptr) return;
  const TAutoSaveOptions options = AutoSaveOptions();
  const std::string name =
      AutoSaveName(ToStdString(model_->FileName), options.AsNewFiles, LocalTimeOfDay());
  const bool saved = Guarded([&] {
    model_->SaveToFile(ToQString(name));
    if (options.AllSolutions) SaveSolutions(*GeneticAlgorithm, *MechanicalSystem, name);
  });
  if (saved) emit AutoSaved(ToQString(name));
}

}  // namespace sarvanta
