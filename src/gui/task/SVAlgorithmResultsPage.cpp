// The motor-task window's "&Results" page: the solution list, the five results pages with their
// charts and selection controls, and the export buttons.
#include "task/SVAlgorithm.h"

#include "task/PageControls.h"

#include "app/ObjectInspector.h"
#include "chart/Chart.h"
#include "task/ColorSwatch.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace sarvanta {

namespace {

QLineEdit* ReadOnly(const char* name, const QString& hint = QString()) {
  auto* edit = Named(new QLineEdit, name);
  edit->setReadOnly(true);
  edit->setMaximumWidth(150);
  edit->setToolTip(hint);
  return edit;
}

QComboBox* Combo(const char* name, std::initializer_list<const char*> items = {}) {
  auto* combo = Named(new QComboBox, name);
  for (const char* item : items) combo->addItem(item);
  combo->setCurrentIndex(-1);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  combo->setMinimumContentsLength(12);
  return combo;
}

// A page: its controls in a column on the left, its chart filling the rest.
QWidget* ResultsTab(const char* name, QWidget* controls, TChart* chart) {
  auto* tab = Named(new QWidget, name);
  controls->setMaximumWidth(260);
  auto* layout = new QHBoxLayout(tab);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(controls);
  layout->addWidget(chart, 1);
  return tab;
}

// The column of a page's controls, headed by a labelled choice box; the caller adds the rest.
QVBoxLayout* ControlColumn(QWidget* controls, const char* label, QComboBox* choice) {
  auto* layout = new QVBoxLayout(controls);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* head = new QFormLayout;
  head->addRow(label, choice);
  layout->addLayout(head);
  return layout;
}

}  // namespace

TChart* TSVAlgorithm::CreateResultsChart(const char* name, const QString& title,
                                         const QString& leftTitle) {
  auto* chart = Named(new TChart, name);
  chart->SetTitle(title);
  chart->SetFoot("t [ms]");
  chart->SetAxisTitle(TAxisSide::Left, leftTitle);
  chart->SetAxisLabelsColor(TAxisSide::Left, Qt::blue);
  chart->SetLegendVisible(false);
  chart->setMinimumSize(320, 220);
  return chart;
}

QWidget* TSVAlgorithm::CreateResultsPage() {
  auto* page = Named(new QWidget, "tsResults");
  auto* solution = Named(new QGroupBox("Solution"), "pSolution");
  cbSolution = Named(new QComboBox, "cbSolution");
  (new QVBoxLayout(solution))->addWidget(cbSolution);

  pcResults = Named(new QTabWidget, "pcResults");
  pcResults->setTabPosition(QTabWidget::West);
  pcResults->addTab(CreateMotorUnitsResults(), "Motor Units");
  pcResults->addTab(CreateMusclesResults(), "Muscles");
  pcResults->addTab(CreateGoalsResults(), "Goals");
  pcResults->addTab(CreateSummaryResults(), "Summary");
  pcResults->addTab(CreateDiversResults(), "Divers");

  pSave = Named(new QWidget, "pSave");
  sbSaveData = Named(new QToolButton, "sbSaveData");
  sbSaveData->setText("Data");
  sbSaveData->setToolTip("Save the chart's data as tab-separated text");
  sbSave = Named(new QToolButton, "sbSave");
  sbSave->setText("Image");
  sbSave->setToolTip("Save the chart as a picture");
  for (QToolButton* button : {sbSaveData, sbSave}) button->setAutoRaise(true);
  auto* saveLayout = new QHBoxLayout(pSave);
  saveLayout->setContentsMargins(4, 0, 4, 0);
  saveLayout->addWidget(sbSaveData);
  saveLayout->addWidget(sbSave);
  saveLayout->addStretch(1);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(solution);
  layout->addWidget(pcResults, 1);
  layout->addWidget(pSave);
  return page;
}

QWidget* TSVAlgorithm::CreateMotorUnitsResults() {
  cbMuscles = Combo("cbMuscles");
  cbMotorUnits = Combo("cbMotorUnits");
  eFmax = ReadOnly("eFmax");
  eTc = ReadOnly("eTc");
  eTr = ReadOnly("eTr");
  eT = ReadOnly("eT");
  eFmin = ReadOnly("eFmin");
  eTref = ReadOnly("eTref", "absolute refraction period");
  eTf = ReadOnly("eTf");
  ePow = ReadOnly("ePow");
  auto* unit = Named(new QGroupBox("MotorUnit"), "gbMotorUnit");
  auto* unitLayout = new QFormLayout(unit);
  unitLayout->addRow(cbMotorUnits);
  const std::pair<const char*, QLineEdit*> boxes[] = {
      {"Fmax", eFmax}, {"Tc", eTc},     {"Tr", eTr}, {"T", eT},
      {"minF", eFmin}, {"Tref", eTref}, {"Tf", eTf}, {"Pow", ePow}};
  for (const auto& [caption, box] : boxes) unitLayout->addRow(caption, box);

  auto* controls = new QWidget;
  QVBoxLayout* layout = ControlColumn(controls, "Muscle", cbMuscles);
  layout->addWidget(unit);
  layout->addStretch(1);
  cMotorUnits = CreateResultsChart("cMotorUnits", "Force", "F [N]");
  cMotorUnits->AddSeries(TSeriesKind::FastLine, "Force")->SetColor(Qt::black);
  return ResultsTab("tsMotorUnits", controls, cMotorUnits);
}

QWidget* TSVAlgorithm::CreateMusclesResults() {
  cbMuscle = Combo("cbMuscle");
  lbMotorUnitsList = Named(new QListWidget, "lbMotorUnitsList");
  auto* properties = Named(new QGroupBox("Properties"), "gbMuscleProperties");
  auto* propertiesLayout = new QVBoxLayout(properties);
  propertiesLayout->addWidget(new QLabel("Motor Units"));
  propertiesLayout->addWidget(lbMotorUnitsList);

  auto* controls = new QWidget;
  QVBoxLayout* layout = ControlColumn(controls, "Muscle", cbMuscle);
  layout->addWidget(properties, 1);
  cMuscles = CreateResultsChart("cMuscles", "Foce", "F [N]");
  cMuscles->AddSeries(TSeriesKind::FastLine, "Force")->SetColor(QColor(0, 128, 255));
  return ResultsTab("tsMuscles", controls, cMuscles);
}

QWidget* TSVAlgorithm::CreateGoalsResults() {
  cbGoals = Combo("cbGoals");
  mDescription = Named(new QPlainTextEdit, "mDescription");
  mDescription->setReadOnly(true);
  mDescription->setMaximumHeight(70);
  eGoalWeight = ReadOnly("eGoalWeight");
  eEstimation = ReadOnly("eEstimation");
  auto* definition = Named(new QGroupBox("Definition"), "gbGoalResultDefinition");
  auto* definitionLayout = new QFormLayout(definition);
  definitionLayout->addRow(mDescription);
  definitionLayout->addRow("Weight", eGoalWeight);
  definitionLayout->addRow("Estimation", eEstimation);

  auto* controls = new QWidget;
  QVBoxLayout* layout = ControlColumn(controls, "Goals", cbGoals);
  layout->addWidget(definition);
  layout->addStretch(1);
  cGoals = CreateResultsChart("cGoals", "Goal", "value");
  cGoals->AddSeries(TSeriesKind::FastLine, "Goal")->SetColor(Qt::black);
  cGoals->AddSeries(TSeriesKind::FastLine, "Results")->SetColor(Qt::blue);
  return ResultsTab("tsGoalsResults", controls, cGoals);
}

QWidget* TSVAlgorithm::CreateSummaryResults() {
  eTitle = Named(new QLineEdit("Summary"), "eTitle");
  cbChart = Combo("cbChart", {"Motor Units", "Muscle Forces", "Goals", "", "Divers"});
  cbStyle = Combo("cbStyle", {"Line", "Bar", "Horiz. Bar", "Area", "Point", "Pie"});
  cbPointers = Combo("cbPointers", {"Rectangle", "Circle'", "Triangle", "DownTriangle", "Cross",
                                    "DiagCross", "A'Star"});
  cbChart->setPlaceholderText("choose a page");
  cbStyle->setPlaceholderText("Line");
  cbPointers->setPlaceholderText("none");
  sColor = Named(new TColorSwatch, "sColor");
  cbAll = Named(new QCheckBox("all"), "cbAll");
  bbAddSeria = Named(new QPushButton("Add           "), "bbAddSeria");
  bbReset = Named(new QPushButton("Reset"), "bbReset");
  bbDeleteChart = Named(new QPushButton("Del"), "bbDeleteChart");
  cb3D = Named(new QCheckBox("3D"), "cb3D");
  lbCharts = Named(new QListWidget, "lbCharts");

  auto* add = Named(new QGroupBox("Add Chart"), "gbAddChart");
  auto* addLayout = new QGridLayout(add);
  addLayout->addWidget(new QLabel("Title"), 0, 0);
  addLayout->addWidget(eTitle, 0, 1, 1, 2);
  addLayout->addWidget(new QLabel("From panel"), 1, 0);
  addLayout->addWidget(cbChart, 1, 1, 1, 2);
  addLayout->addWidget(new QLabel("Style"), 2, 0);
  addLayout->addWidget(cbStyle, 2, 1, 1, 2);
  addLayout->addWidget(new QLabel("Poiners"), 3, 0);
  addLayout->addWidget(cbPointers, 3, 1, 1, 2);
  addLayout->addWidget(sColor, 4, 0);
  addLayout->addWidget(cbAll, 4, 1);
  addLayout->addWidget(cb3D, 4, 2);
  addLayout->addWidget(bbAddSeria, 5, 0, 1, 3);
  addLayout->addWidget(bbReset, 6, 0, 1, 2);
  addLayout->addWidget(bbDeleteChart, 6, 2);

  auto* controls = new QWidget;
  auto* layout = new QVBoxLayout(controls);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(add);
  layout->addWidget(lbCharts, 1);
  cSummary = CreateResultsChart("cSummary", "Summary", "summary");
  cSummary->SetLegendVisible(true);
  return ResultsTab("tsSummary", controls, cSummary);
}

QWidget* TSVAlgorithm::CreateDiversResults() {
  cbObjects = Named(new QComboBox, "cbObjects");
  sgObjectProperties = InspectorGrid("sgObjectProperties", 100);

  auto* controls = new QWidget;
  cbValueList = Named(new QComboBox(controls), "cbValueList");
  bDefineProperty = Named(new QToolButton(controls), "bDefineProperty");
  bDefineProperty->setText("...");
  cbValueList->hide();
  bDefineProperty->hide();
  auto* layout = new QVBoxLayout(controls);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* function = new QFormLayout;
  function->addRow("Function", cbObjects);
  layout->addLayout(function);
  layout->addWidget(new QLabel("Parameters"));
  layout->addWidget(sgObjectProperties, 1);
  cParamFunct = CreateResultsChart("cParamFunct", "TChart", "value");
  cParamFunct->AddSeries(TSeriesKind::FastLine, "Function")->SetColor(Qt::blue);
  return ResultsTab("tsDivers", controls, cParamFunct);
}

}  // namespace sarvanta
