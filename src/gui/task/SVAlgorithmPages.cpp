// The motor-task window's controls: the page control with its six pages and the run strip.
#include "task/SVAlgorithm.h"

#include "task/PageControls.h"

#include "app/ObjectInspector.h"
#include "chart/Chart.h"
#include "task/TaskEditing.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QVBoxLayout>

namespace sarvanta {

namespace {

QLineEdit* Edit(const char* name, const char* text, int width = 60) {
  auto* edit = Named(new QLineEdit(text), name);
  edit->setMaximumWidth(width);
  edit->setAlignment(Qt::AlignRight);
  return edit;
}

QLabel* Unit(const char* text) { return new QLabel(text); }

QComboBox* Combo(const char* name, std::initializer_list<const char*> items, int shown) {
  auto* combo = Named(new QComboBox, name);
  for (const char* item : items) combo->addItem(item);
  combo->setCurrentIndex(shown);
  return combo;
}

template <size_t N>
QComboBox* Combo(const char* name, const std::array<const char*, N>& items) {
  auto* combo = Named(new QComboBox, name);
  for (const char* item : items) combo->addItem(item);
  combo->setCurrentIndex(-1);
  combo->setPlaceholderText("choose an operation");
  combo->setMinimumContentsLength(28);
  return combo;
}

QToolButton* GlyphButton(const char* name, const char* icon, const QString& hint) {
  auto* button = Named(new QToolButton, name);
  button->setIcon(QIcon(QString(":/icons/%1.svg").arg(icon)));
  button->setIconSize(QSize(20, 20));
  button->setToolTip(hint);
  button->setAutoRaise(true);
  return button;
}

// A row of widgets, left aligned.
QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
  auto* row = new QHBoxLayout;
  for (QWidget* widget : widgets) row->addWidget(widget);
  row->addStretch(1);
  return row;
}

}  // namespace

void TSVAlgorithm::CreateControls() {
  pcMotorControl = Named(new QTabWidget, "pcMotorControl");
  pcMotorControl->addTab(CreateGoalsPage(), "&Goals");
  pcMotorControl->addTab(CreateTimeFramePage(), "&Time Frame");
  pcMotorControl->addTab(CreateLimitationsPage(), "&Limitations");
  pcMotorControl->addTab(CreateHGASettingsPage(), "&HGA Settings");
  pcMotorControl->addTab(CreateResultsPage(), "&Results");
  pcMotorControl->addTab(CreateMonitorPage(), "&Monitor");

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(pcMotorControl, 1);
  layout->addWidget(CreateRunStrip());
}

QWidget* TSVAlgorithm::CreateRunStrip() {
  auto* strip = Named(new QWidget, "pRunStrip");
  bbRun = GlyphButton("bbRun", "run", "Run (F9)");
  bbStop = GlyphButton("bbStop", "stop", "Stop");
  bbStop->hide();
  bbDebugRun = GlyphButton("bbDebugRun", "trace", "Trace one generation (F7)");
  pbProgerss = Named(new QProgressBar, "pbProgerss");
  pbProgerss->setRange(0, 100);
  pbProgerss->setValue(0);
  pbProgerss->setTextVisible(true);
  bbSave = Named(new QPushButton("Save HGA"), "bbSave");
  bbLoad = Named(new QPushButton("Load HGA"), "bbLoad");
  bbOK = Named(new QPushButton("OK"), "bbOK");
  bbOK->setDefault(true);
  auto* row = new QHBoxLayout(strip);
  row->setContentsMargins(0, 0, 0, 0);
  for (QWidget* widget : std::initializer_list<QWidget*>{bbRun, bbStop, bbDebugRun})
    row->addWidget(widget);
  row->addWidget(pbProgerss, 1);
  for (QWidget* widget : std::initializer_list<QWidget*>{bbSave, bbLoad, bbOK})
    row->addWidget(widget);
  return strip;
}

QWidget* TSVAlgorithm::CreateGoalsPage() {
  auto* page = Named(new QWidget, "tsGoals");

  auto* standard = Named(new QGroupBox("&Standard Goals"), "gbStandardGoals");
  lbStandardGoals = Named(new QListWidget, "lbStandardGoals");
  for (const char* goal : StandardGoalItems) lbStandardGoals->addItem(goal);
  bbAdd = Named(new QPushButton("&Add"), "bbAdd");
  auto* standardLayout = new QVBoxLayout(standard);
  standardLayout->addWidget(lbStandardGoals, 1);
  standardLayout->addLayout(Row({bbAdd}));

  auto* active = Named(new QGroupBox("Active Goals L&ist"), "gbActiveGoals");
  lbGoalsList = Named(new QListWidget, "lbGoalsList");
  bbDelete = Named(new QPushButton("&Delete"), "bbDelete");
  auto* activeLayout = new QVBoxLayout(active);
  activeLayout->addWidget(lbGoalsList, 1);
  activeLayout->addLayout(Row({bbDelete}));

  auto* definition = Named(new QGroupBox("Goal &Definition"), "gbGoalDefinition");
  cbGoal = Named(new QComboBox, "cbGoal");
  cbGoal->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  sgGolaDefinition = InspectorGrid("sgGolaDefinition", 110);
  cbGoalValueList = Named(new QComboBox(sgGolaDefinition->parentWidget()), "cbGoalValueList");
  bDefine = Named(new QToolButton, "bDefine");
  bDefine->setText("...");
  auto* definitionLayout = new QVBoxLayout(definition);
  definitionLayout->addWidget(cbGoal);
  definitionLayout->addWidget(sgGolaDefinition, 1);
  bbSyntax = Named(new QPushButton("Syntax"), "bbSyntax");
  bbSyntax->setToolTip("The formula language of the expression rows");
  definitionLayout->addLayout(Row({bbSyntax}));
  // The drop-down and the "..." button float over the grid's value cells.
  cbGoalValueList->setParent(definition);
  bDefine->setParent(definition);
  cbGoalValueList->hide();
  bDefine->hide();

  auto* layout = new QHBoxLayout(page);
  layout->addWidget(standard, 3);
  layout->addWidget(active, 3);
  layout->addWidget(definition, 4);
  return page;
}

QWidget* TSVAlgorithm::CreateTimeFramePage() {
  auto* page = Named(new QWidget, "tsTimeFrame");
  eFromMoment = Edit("eFromMoment", "0");
  eToMoment = Edit("eToMoment", "200");
  eCtrlExt = Edit("eCtrlExt", "40");
  eCtrlExt->setToolTip("Control Extention");
  ePrecision = Edit("ePrecision", "2");
  eVariablePrecision = Edit("eVariablePrecision", "2");
  eForSteps = Edit("eForSteps", "100");
  cbAlwaysShowFrame = Named(new QCheckBox("Always show frame"), "cbAlwaysShowFrame");
  eShowWithPrecision = Edit("eShowWithPrecision", "2");
  eShowFrom = Edit("eShowFrom", "0");
  eShowTo = Edit("eShowTo", "200");
  cbOscilate = Named(new QCheckBox("Oscilate estimation points"), "cbOscilate");
  eOscStep = Edit("eOscStep", "0");
  eOscilateOnEach = Edit("eOscilateOnEach", "10");
  eFrameSize = Edit("eFrameSize", "50");
  eOnStep = Edit("eOnStep", "10");
  eMoveWith = Edit("eMoveWith", "2");
  eStopMoveAfter = Edit("eStopMoveAfter", "60");
  cbFixedStart = Named(new QCheckBox("fixed start"), "cbFixedStart");
  cbFixedStart->setChecked(true);
  cbPrecedingCtrlExt =
      Named(new QCheckBox("use only preceding  control extension"), "cbPrecedingCtrlExt");
  cbPrecedingCtrlExt->setChecked(true);

  auto* frame = Named(new QGroupBox("Time frame"), "gbTimeFrame");
  auto* frameLayout = new QGridLayout(frame);
  frameLayout->addWidget(new QLabel("start"), 0, 0);
  frameLayout->addWidget(eFromMoment, 0, 1);
  frameLayout->addWidget(Unit("ms"), 0, 2);
  frameLayout->addWidget(new QLabel("end"), 1, 0);
  frameLayout->addWidget(eToMoment, 1, 1);
  frameLayout->addWidget(Unit("ms"), 1, 2);
  frameLayout->addWidget(new QLabel("control extention"), 2, 0);
  frameLayout->addWidget(eCtrlExt, 2, 1);
  frameLayout->addWidget(Unit("ms"), 2, 2);
  frameLayout->setColumnStretch(3, 1);

  auto* precision = Named(new QGroupBox("Precision"), "gbPrecision");
  auto* precisionLayout = new QVBoxLayout(precision);
  precisionLayout->addLayout(Row({ePrecision, Unit("ms")}));
  precisionLayout->addLayout(Row({new QLabel("change to"), eVariablePrecision, Unit("ms")}));
  precisionLayout->addLayout(Row({new QLabel("for"), eForSteps, Unit("steps")}));

  auto* basic = Named(new QGroupBox(" Basic options "), "gbBasicOptions");
  auto* basicLayout = new QHBoxLayout(basic);
  basicLayout->addWidget(frame, 1);
  basicLayout->addWidget(precision, 1);

  auto* show = Named(new QGroupBox("Show Frame"), "gbShowFrame");
  auto* showLayout = new QVBoxLayout(show);
  showLayout->addWidget(cbAlwaysShowFrame);
  showLayout->addLayout(Row({new QLabel("with precision"), eShowWithPrecision, Unit("ms")}));
  showLayout->addLayout(
      Row({new QLabel("from"), eShowFrom, Unit("ms"), new QLabel("to"), eShowTo, Unit("ms")}));

  auto* oscillate = Named(new QGroupBox, "gbOscilate");
  auto* oscillateLayout = new QVBoxLayout(oscillate);
  oscillateLayout->addWidget(cbOscilate);
  oscillateLayout->addLayout(Row({new QLabel("with"), eOscStep, Unit("ms")}));
  oscillateLayout->addLayout(Row({new QLabel("on each"), eOscilateOnEach, Unit("-th step")}));

  auto* move = Named(new QGroupBox("Move frame"), "gbMoveFrame");
  auto* moveLayout = new QGridLayout(move);
  moveLayout->addWidget(new QLabel("with size"), 0, 0);
  moveLayout->addWidget(eFrameSize, 0, 1);
  moveLayout->addWidget(Unit("ms"), 0, 2);
  moveLayout->addWidget(new QLabel("on each"), 1, 0);
  moveLayout->addWidget(eOnStep, 1, 1);
  moveLayout->addWidget(Unit("-th step"), 1, 2);
  moveLayout->addWidget(new QLabel("with"), 2, 0);
  moveLayout->addWidget(eMoveWith, 2, 1);
  moveLayout->addWidget(Unit("ms"), 2, 2);
  moveLayout->addWidget(new QLabel("stop after"), 3, 0);
  moveLayout->addWidget(eStopMoveAfter, 3, 1);
  moveLayout->addWidget(Unit("steps"), 3, 2);
  moveLayout->addWidget(cbFixedStart, 4, 0, 1, 4);
  moveLayout->addWidget(cbPrecedingCtrlExt, 5, 0, 1, 4);
  moveLayout->setColumnStretch(3, 1);

  auto* advanced = Named(new QGroupBox(" Advanced options "), "gbAdvancedOptions");
  auto* advancedLayout = new QGridLayout(advanced);
  advancedLayout->addWidget(show, 0, 0);
  advancedLayout->addWidget(oscillate, 1, 0);
  advancedLayout->addWidget(move, 0, 1, 2, 1);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(basic);
  layout->addWidget(advanced);
  layout->addStretch(1);
  return page;
}

QWidget* TSVAlgorithm::CreateLimitationsPage() {
  auto* page = Named(new QWidget, "tsLimitations");
  lbLimitations = Named(new QListWidget, "lbLimitations");
  lbLimitations->setSelectionMode(QAbstractItemView::NoSelection);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(lbLimitations);
  return page;
}

QWidget* TSVAlgorithm::CreateHGASettingsPage() {
  auto* page = Named(new QWidget, "tsHGASettings");
  auto* general = Named(new QGroupBox("General options"), "gbGeneralOptions");
  auto* tabs = Named(new QTabWidget, "pcGeneralOptions");
  tabs->addTab(CreateGeneralTab(), "General");
  tabs->addTab(CreateFunctionsTab(), "Functions");
  auto* generalLayout = new QVBoxLayout(general);
  generalLayout->addWidget(tabs);

  auto* layout = new QHBoxLayout(page);
  layout->addWidget(general, 0);
  layout->addWidget(CreateOperationsGroup(), 1);
  return page;
}

QWidget* TSVAlgorithm::CreateGeneralTab() {
  auto* tab = Named(new QWidget, "tsGeneral");
  ePopulationSize = Edit("ePopulationSize", "4", 80);
  eNumberOfSteps = Edit("eNumberOfSteps", "1000", 80);
  eMutationsPerStep = Edit("eMutationsPerStep", "1");
  eCrossoversPerStep = Edit("eCrossoversPerStep", "1");
  eCOmMutPerStep = Edit("eCOmMutPerStep", "1");
  cbInitMethod =
      Combo("cbInitMethod", {"None", "Uniform", "With Activation", "With Respect to Goal"}, 0);
  eInitParameter = Edit("eInitParameter", "0");

  auto* population = Named(new QGroupBox("Population Size"), "gbPopulationSize");
  (new QVBoxLayout(population))->addLayout(Row({ePopulationSize}));
  gbNumberOfSteps = Named(new QGroupBox("Number of Steps"), "gbNumberOfSteps");
  (new QVBoxLayout(gbNumberOfSteps))->addLayout(Row({eNumberOfSteps}));

  auto* cycles = Named(new QGroupBox("Operations Cycles Step"), "gbOperationsCycles");
  auto* cyclesLayout = new QFormLayout(cycles);
  cyclesLayout->addRow("Mutations", eMutationsPerStep);
  cyclesLayout->addRow("Crossovers", eCrossoversPerStep);
  cyclesLayout->addRow("Common Mut.", eCOmMutPerStep);

  auto* initial = Named(new QGroupBox("Initial population"), "gbInitialPopulation");
  auto* initialLayout = new QFormLayout(initial);
  initialLayout->addRow("Method", cbInitMethod);
  initialLayout->addRow("Init Parameter", eInitParameter);

  auto* layout = new QGridLayout(tab);
  layout->addWidget(population, 0, 0);
  layout->addWidget(gbNumberOfSteps, 0, 1);
  layout->addWidget(cycles, 1, 0);
  layout->addWidget(initial, 1, 1);
  layout->setRowStretch(2, 1);
  return tab;
}

QWidget* TSVAlgorithm::CreateFunctionsTab() {
  auto* tab = Named(new QWidget, "tsFunctions");
  cbForMutation = Combo("cbForMutation", {"All", "Random", "Roulette Wheel"}, 2);
  cbForCrossover = Combo("cbForCrossover", {"All", "Random", "Roulette Wheel"}, 2);
  cbForReinsertion = Combo("cbForReinsertion", {"Fittest", "Random", "Roulette Wheel"}, 0);
  cbMethod = Combo("cbMethod", {"Weighted Sum", "Fonesca Fleming Ranking"}, 0);
  cbStopCriterion = Combo("cbStopCriterion", {"Number of Steps", "Accuracy"}, 0);

  auto* selection = Named(new QGroupBox("Chromosome Selection"), "gbChromosomeSelection");
  auto* selectionLayout = new QFormLayout(selection);
  selectionLayout->addRow("For Mutation", cbForMutation);
  selectionLayout->addRow("For Crossover", cbForCrossover);
  selectionLayout->addRow("For Reinsertion", cbForReinsertion);
  auto* fitness = Named(new QGroupBox("Fitness"), "gbFitness");
  (new QFormLayout(fitness))->addRow("Method", cbMethod);
  auto* stop = Named(new QGroupBox("Stop Criterion"), "gbStopCriterion");
  (new QFormLayout(stop))->addRow("Criterion", cbStopCriterion);

  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(selection);
  layout->addWidget(fitness);
  layout->addWidget(stop);
  layout->addStretch(1);
  return tab;
}

QWidget* TSVAlgorithm::CreateOperationsGroup() {
  auto* group = Named(new QGroupBox("Genetic Operations"), "gbGeneticOperations");
  cbMutationOperations = Combo("cbMutationOperations", MutationOperationItems);
  cbCrossoverOperations = Combo("cbCrossoverOperations", CrossoverOperationItems);
  cbCommonMutationOperations = Combo("cbCommonMutationOperations", CommonMutationOperationItems);
  emNumberOfPoints = Edit("emNumberOfPoints", "1");
  emRange = Edit("emRange", "1");
  emProbabilityDependance = Edit("emProbabilityDependance", "0");
  ecNumberOfPoints = Edit("ecNumberOfPoints", "1");
  ecProbabilityDependance = Edit("ecProbabilityDependance", "");
  ecmNumberOfPoints = Edit("ecmNumberOfPoints", "1");
  ecmRange = Edit("ecmRange", "1");
  ecmProbabilityDependence = Edit("ecmProbabilityDependence", "0");

  auto tabPage = [](const char* name, QComboBox* combo,
                    std::initializer_list<std::pair<const char*, QLineEdit*>> edits) {
    auto* page = Named(new QWidget, name);
    auto* layout = new QFormLayout(page);
    layout->addRow(combo);
    for (const auto& [caption, edit] : edits) layout->addRow(caption, edit);
    return page;
  };
  pcGeneticOperatoions = Named(new QTabWidget, "pcGeneticOperatoions");
  pcGeneticOperatoions->addTab(tabPage("tsMutation", cbMutationOperations,
                                       {{"Number of Points", emNumberOfPoints},
                                        {"Range", emRange},
                                        {"Probability dependence", emProbabilityDependance}}),
                               "Mutation");
  pcGeneticOperatoions->addTab(tabPage("tsCrossover", cbCrossoverOperations,
                                       {{"Number Of Points", ecNumberOfPoints},
                                        {"Probability dependence", ecProbabilityDependance}}),
                               "Crossover");
  pcGeneticOperatoions->addTab(tabPage("tsCommonMutation", cbCommonMutationOperations,
                                       {{"Number of Points", ecmNumberOfPoints},
                                        {"Range", ecmRange},
                                        {"Probability dependence", ecmProbabilityDependence}}),
                               "Common mutation");

  bbAddOperation = Named(new QPushButton("&Add"), "bbAddOperation");
  bbDeleteOperation = Named(new QPushButton("&Delete"), "bbDeleteOperation");
  lbOperations = Named(new QListWidget, "lbOperations");

  auto* layout = new QVBoxLayout(group);
  layout->addWidget(pcGeneticOperatoions);
  layout->addLayout(Row({bbAddOperation, bbDeleteOperation}));
  layout->addWidget(lbOperations, 1);
  return group;
}

QWidget* TSVAlgorithm::CreateMonitorPage() {
  auto* page = Named(new QWidget, "tsMonitor");
  auto readOnly = [](const char* name) {
    QLineEdit* edit = Edit(name, "", 170);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignLeft);  // long numbers are read from their first digit
    return edit;
  };
  eLastStepChange = readOnly("eLastStepChange");
  eStep = readOnly("eStep");
  eFrom = readOnly("eFrom");
  eTo = readOnly("eTo");
  stOverallSteps = Named(new QLabel("0"), "stOverallSteps");
  stElapsedTime = Named(new QLabel("00:00:00"), "stElapsedTime");

  auto* figures = new QGridLayout;
  figures->addWidget(new QLabel("Rank Change"), 0, 0);
  figures->addWidget(eLastStepChange, 0, 1);
  figures->addWidget(new QLabel("Step"), 0, 2);
  figures->addWidget(eStep, 0, 3);
  figures->addWidget(new QLabel("Current Frame"), 1, 0);
  figures->addWidget(eFrom, 1, 1);
  figures->addWidget(new QLabel("-"), 1, 2, Qt::AlignCenter);
  figures->addWidget(eTo, 1, 3);
  figures->addWidget(new QLabel("Overall steps:"), 0, 4);
  figures->addWidget(stOverallSteps, 0, 5);
  figures->addWidget(new QLabel("Elapsed Time:"), 1, 4);
  figures->addWidget(stElapsedTime, 1, 5);
  figures->setColumnStretch(6, 1);
  figures->setHorizontalSpacing(10);

  cPerformance = Named(new TChart, "cPerformance");
  cPerformance->SetTitleVisible(false);
  cPerformance->SetLegendVisible(false);
  cPerformance->SetAxisTitle(TAxisSide::Bottom, "step");
  cPerformance->SetAxisTitle(TAxisSide::Left, "rank change");
  TSeries* performance = cPerformance->AddSeries(TSeriesKind::Area, "Performance");
  performance->SetColor(QColor(128, 128, 128));
  cPerformance->SetAxis(TAxisSide::Left, TChartAxis{true, true, 0, 0});
  cPerformance->setMinimumHeight(140);

  lbLog = Named(new QListWidget, "lbLog");
  lbLog->setUniformItemSizes(true);
  cbShowLog = Named(new QCheckBox("Show Log"), "cbShowLog");
  cbShowLog->setChecked(true);

  auto* layout = new QVBoxLayout(page);
  layout->addLayout(figures);
  layout->addWidget(cPerformance, 3);
  layout->addWidget(lbLog, 2);
  layout->addWidget(cbShowLog);
  return page;
}

}  // namespace sarvanta
