#include "task/SVAlgorithm.h"

#include "app/Latin1.h"
#include "app/MSystem.h"
#include "app/ObjectInspector.h"
#include "ga/GeneticAlgorithm.h"
#include "model/MechanicalSystem.h"
#include "model/TimeFrame.h"
#include "task/Limitations.h"
#include "task/SettingsTransfer.h"
#include "task/TaskViews.h"

#include <QAction>
#include <QMessageBox>

namespace sarvanta {

namespace {

// Which control shows which member of the settings record.
struct TSettingsBindings {
  std::vector<std::pair<std::string TTaskSettings::*, QLineEdit*>> Edits;
  std::vector<std::pair<bool TTaskSettings::*, QCheckBox*>> Checks;
  std::vector<std::pair<int TTaskSettings::*, QComboBox*>> Combos;
};

TSettingsBindings Bindings(const TSVAlgorithm& w) {
  using S = TTaskSettings;
  return {{{&S::eFromMoment, w.eFromMoment},
           {&S::eToMoment, w.eToMoment},
           {&S::eCtrlExt, w.eCtrlExt},
           {&S::ePrecision, w.ePrecision},
           {&S::eVariablePrecision, w.eVariablePrecision},
           {&S::eForSteps, w.eForSteps},
           {&S::eShowWithPrecision, w.eShowWithPrecision},
           {&S::eShowFrom, w.eShowFrom},
           {&S::eShowTo, w.eShowTo},
           {&S::eOscStep, w.eOscStep},
           {&S::eOscilateOnEach, w.eOscilateOnEach},
           {&S::eFrameSize, w.eFrameSize},
           {&S::eOnStep, w.eOnStep},
           {&S::eMoveWith, w.eMoveWith},
           {&S::eStopMoveAfter, w.eStopMoveAfter},
           {&S::ePopulationSize, w.ePopulationSize},
           {&S::eNumberOfSteps, w.eNumberOfSteps},
           {&S::eMutationsPerStep, w.eMutationsPerStep},
           {&S::eCrossoversPerStep, w.eCrossoversPerStep},
           {&S::eCOmMutPerStep, w.eCOmMutPerStep},
           {&S::eInitParameter, w.eInitParameter},
           {&S::emNumberOfPoints, w.emNumberOfPoints},
           {&S::emRange, w.emRange},
           {&S::emProbabilityDependance, w.emProbabilityDependance},
           {&S::ecNumberOfPoints, w.ecNumberOfPoints},
           {&S::ecProbabilityDependance, w.ecProbabilityDependance},
           {&S::ecmNumberOfPoints, w.ecmNumberOfPoints},
           {&S::ecmRange, w.ecmRange},
           {&S::ecmProbabilityDependence, w.ecmProbabilityDependence}},
          {{&S::cbAlwaysShowFrame, w.cbAlwaysShowFrame},
           {&S::cbOscilate, w.cbOscilate},
           {&S::cbFixedStart, w.cbFixedStart},
           {&S::cbPrecedingCtrlExt, w.cbPrecedingCtrlExt}},
          {{&S::cbInitMethod, w.cbInitMethod},
           {&S::cbForMutation, w.cbForMutation},
           {&S::cbForCrossover, w.cbForCrossover},
           {&S::cbForReinsertion, w.cbForReinsertion},
           {&S::cbMethod, w.cbMethod},
           {&S::cbStopCriterion, w.cbStopCriterion}}};
}

// Sets a control's value without running its change handlers.
template <class Control, class Setter>
void SetQuietly(Control* control, Setter set) {
  const bool blocked = control->blockSignals(true);
  set(control);
  control->blockSignals(blocked);
}

}  // namespace

TSVAlgorithm::TSVAlgorithm(QWidget* parent) : QDialog(parent) {
  setObjectName("SVAlgorithm");
  setWindowTitle("Motor control");
  setModal(false);
  setSizeGripEnabled(true);
  CreateControls();
  GoalInspector = new TObjectInspector(this, bDefine, sgGolaDefinition, cbGoalValueList, cbGoal);
  GoalInspector->setObjectName("GoalInspector");
  lockedWhileRunning_ = {bbDebugRun,        bbAdd,  bbDelete,       bbAddOperation,
                         bbDeleteOperation, bbLoad, lbStandardGoals};
  ConnectHandlers();
  ConnectResultsHandlers();
  ListFunctions();
  resize(860, 560);
}

TSVAlgorithm::~TSVAlgorithm() {
  // The inspectors' rows point into the goals and the derived functions; they go first.
  delete GoalInspector;
  GoalInspector = nullptr;
  delete FunctionInspector;
  FunctionInspector = nullptr;
}

void TSVAlgorithm::SetMainWindowControls(QAction* run, QAction* stop, QAction* trace,
                                         QLabel* statusPanel) {
  miRun_ = run;
  miStop_ = stop;
  miTrace_ = trace;
  statusPanel_ = statusPanel;
}

void TSVAlgorithm::ConnectHandlers() {
  connect(bbRun, &QToolButton::clicked, this, &TSVAlgorithm::bbRunClick);
  connect(bbStop, &QToolButton::clicked, this, &TSVAlgorithm::bbRunClick);
  connect(bbDebugRun, &QToolButton::clicked, this, &TSVAlgorithm::bbDebugRunClick);
  connect(bbOK, &QPushButton::clicked, this, &TSVAlgorithm::bbOKClick);
  connect(bbSave, &QPushButton::clicked, this, &TSVAlgorithm::bbSaveClick);
  connect(bbLoad, &QPushButton::clicked, this, &TSVAlgorithm::bbLoadClick);

  connect(bbAdd, &QPushButton::clicked, this, &TSVAlgorithm::bbAddClick);
  connect(lbStandardGoals, &QListWidget::itemDoubleClicked, this, &TSVAlgorithm::bbAddClick);
  connect(bbDelete, &QPushButton::clicked, this, &TSVAlgorithm::bbDeleteClick);
  connect(lbGoalsList, &QListWidget::itemClicked, this, &TSVAlgorithm::lbGoalsListClick);
  connect(cbGoal, &QComboBox::activated, this, &TSVAlgorithm::cbGoalChange);
  connect(bbSyntax, &QPushButton::clicked, this, [this] {
    if (OnShowSyntax) OnShowSyntax();
  });

  for (QLineEdit* edit : {eFromMoment, eToMoment, eCtrlExt, ePrecision, eVariablePrecision,
                          eForSteps, eShowWithPrecision, eShowFrom, eShowTo, eOscStep,
                          eOscilateOnEach, eFrameSize, eOnStep, eMoveWith, eStopMoveAfter})
    connect(edit, &QLineEdit::editingFinished, this, &TSVAlgorithm::eTimeFrameExit);
  for (QCheckBox* check : {cbAlwaysShowFrame, cbFixedStart, cbPrecedingCtrlExt})
    connect(check, &QCheckBox::clicked, this, &TSVAlgorithm::eTimeFrameExit);
  connect(eFromMoment, &QLineEdit::textChanged, eShowFrom, &QLineEdit::setText);
  connect(eToMoment, &QLineEdit::textChanged, eShowTo, &QLineEdit::setText);
  connect(ePrecision, &QLineEdit::textChanged, eVariablePrecision, &QLineEdit::setText);
  connect(cbOscilate, &QCheckBox::clicked, this, &TSVAlgorithm::cbOscilateClick);

  for (QLineEdit* edit : {ePopulationSize, eNumberOfSteps, eMutationsPerStep, eCrossoversPerStep,
                          eCOmMutPerStep, eInitParameter})
    connect(edit, &QLineEdit::editingFinished, this, &TSVAlgorithm::GeneralOptionExit);
  for (QComboBox* combo :
       {cbInitMethod, cbForMutation, cbForCrossover, cbForReinsertion, cbMethod, cbStopCriterion})
    connect(combo, &QComboBox::activated, this, &TSVAlgorithm::GeneralOptionExit);
  connect(cbStopCriterion, &QComboBox::currentIndexChanged, this,
          &TSVAlgorithm::cbStopCriterionChange);

  connect(bbAddOperation, &QPushButton::clicked, this, &TSVAlgorithm::bbAddOperationClick);
  connect(bbDeleteOperation, &QPushButton::clicked, this, &TSVAlgorithm::bbDeleteOperationClick);
  connect(lbOperations, &QListWidget::itemClicked, this, &TSVAlgorithm::lbOperationsClick);
  connect(cbShowLog, &QCheckBox::clicked, this, &TSVAlgorithm::cbShowLogClick);
  connect(pcMotorControl, &QTabWidget::currentChanged, this, [this] {
    if (GeneticAlgorithm == nullptr) return;
    UpdateMonitor();
    UpdateResults();
  });
}

// ---- Errors ----

void TSVAlgorithm::ShowError(const QString& text) {
  if (OnError)
    OnError(text);
  else
    QMessageBox::critical(this, "Motor control", text);
}

bool TSVAlgorithm::Guarded(const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const std::exception& e) {
    ShowError(ToQString(e.what()));
    return false;
  }
}

// ---- Settings record ----

TTaskSettings TSVAlgorithm::Settings() const {
  TTaskSettings s;
  const TSettingsBindings bindings = Bindings(*this);
  for (const auto& [member, edit] : bindings.Edits) s.*member = ToStdString(edit->text());
  for (const auto& [member, check] : bindings.Checks) s.*member = check->isChecked();
  for (const auto& [member, combo] : bindings.Combos) s.*member = combo->currentIndex();
  return s;
}

void TSVAlgorithm::ShowSettings(const TTaskSettings& s) {
  const TSettingsBindings bindings = Bindings(*this);
  // The mirrored edits are set from the record, not copied from "start", "end" or the first
  // precision box.
  for (const auto& [member, edit] : bindings.Edits) {
    const QString text = ToQString(s.*member);
    SetQuietly(edit, [&text](QLineEdit* e) { e->setText(text); });
  }
  for (const auto& [member, check] : bindings.Checks)
    SetQuietly(check, [&](QCheckBox* c) { c->setChecked(s.*member); });
  for (const auto& [member, combo] : bindings.Combos)
    SetQuietly(combo, [&](QComboBox* c) { c->setCurrentIndex(s.*member); });
  gbNumberOfSteps->setTitle(ToQString(StopCriterionCaption(s.cbStopCriterion)));
}

namespace {

// The number in an edit; text that is not a number gives 0 and becomes "0".
long double NumberOrZeroIn(QLineEdit* edit) {
  std::string text = ToStdString(edit->text());
  const long double value = NumberOrZero(text);
  edit->setText(ToQString(text));
  return value;
}

}  // namespace

long double TSVAlgorithm::GetFromMoment() { return NumberOrZeroIn(eFromMoment); }
long double TSVAlgorithm::GetToMoment() { return NumberOrZeroIn(eToMoment); }
long double TSVAlgorithm::GetPrecision() { return NumberOrZeroIn(ePrecision); }

// ---- Binding ----

void TSVAlgorithm::ShowTask(int page, TMSystem* model) {
  if (model == nullptr) return;
  SetModel(model);
  Guarded([this] { SetFrameFromSettings(Settings(), *GeneticAlgorithm->TimeFrame); });
  // Pages by number: 0 Goals, 1 Limitations, 2 Time Frame, 3 HGA Settings, 4 Results.
  static const int tabOfPage[] = {0, 2, 1, 3, 4};
  if (page >= 0 && page < 5) pcMotorControl->setCurrentIndex(tabOfPage[page]);
  show();
  raise();
  activateWindow();
}

void TSVAlgorithm::ShowMonitor() {
  pcMotorControl->setCurrentWidget(pcMotorControl->findChild<QWidget*>("tsMonitor"));
  show();
  raise();
}

void TSVAlgorithm::SetModel(TMSystem* model) {
  if (model == nullptr || model == model_) {
    if (model != nullptr) {
      FillMuscleLists();
      FillLimitations();
      FormActivate();
    }
    return;
  }
  // A run keeps the model it works on.
  if (RunInProgress()) return;
  ClearBoundLists();
  model_ = model;
  MechanicalSystem = model->MechanicalSystem.get();
  GeneticAlgorithm = model->GeneticAlgorithm.get();
  GeneticAlgorithm->MechanicalSystem = MechanicalSystem;
  FillMuscleLists();
  FillLimitations();
  ListFunctions();
  ShowGoalsOfAlgorithm();
  ShowOperationsOfAlgorithm();
  ListPopulation();
  ListGoalsForResults();
  FormActivate();
}

void TSVAlgorithm::ForgetModel(TMSystem* model) {
  if (model == nullptr || model != model_) return;
  ClearBoundLists();
  model_ = nullptr;
  MechanicalSystem = nullptr;
  GeneticAlgorithm = nullptr;
  cbMuscles->clear();
  cbMuscle->clear();
  cbMotorUnits->clear();
  lbLimitations->clear();
  bbResetClick();
  ListFunctions();
}

void TSVAlgorithm::ClearBoundLists() {
  GoalInspector->Clear();
  lbGoalsList->clear();
  lbOperations->clear();
  cbSolution->clear();
  cbGoals->clear();
}

void TSVAlgorithm::FillMuscleLists() {
  cbMuscles->clear();
  cbMuscle->clear();
  cbMotorUnits->clear();
  const TStringList& muscles = MechanicalSystem->Muscles;
  for (int i = 0; i < muscles.Count(); ++i) {
    const QString name = ToQString(muscles.Strings(i));
    cbMuscles->addItem(name);
    cbMuscle->addItem(name);
  }
}

void TSVAlgorithm::FillLimitations() {
  lbLimitations->clear();
  for (const std::string& line : LimitationLines(JointLimitsOf(*MechanicalSystem)))
    lbLimitations->addItem(ToQString(line));
}

void TSVAlgorithm::bbOKClick() {
  const bool running = GeneticAlgorithm != nullptr && GeneticAlgorithm->RunningAll;
  if (statusPanel_) statusPanel_->setText(running ? "Running..." : QString());
  hide();
}

void TSVAlgorithm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TSVAlgorithm::FormActivate() {
  // The muscle lists start on the first real muscle (entry 0 is the empty placeholder, which
  // charts nothing), so that the results pages show a curve at once.
  for (QComboBox* combo : {cbMuscles, cbMuscle})
    if (combo->currentIndex() < 1 && combo->count() > 1)
      SetQuietly(combo, [](QComboBox* c) { c->setCurrentIndex(1); });
  if (cbMotorUnits->count() == 0) cbMusclesChange();
  for (QComboBox* combo : {cbSolution, cbMuscles, cbMotorUnits, cbMuscle, cbGoals})
    if (combo->currentIndex() < 0 && combo->count() > 0)
      SetQuietly(combo, [](QComboBox* c) { c->setCurrentIndex(0); });
  ShowMotorUnitParameters();
}

}  // namespace sarvanta
