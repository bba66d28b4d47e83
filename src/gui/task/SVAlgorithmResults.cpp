// The motor-task window's results: which curve each results page charts, the summary chart,
// chart properties and export. Sampling, scales and colours are the core's; this file moves
// them between the model and the charts.
#include "task/SVAlgorithm.h"

#include "app/Latin1.h"
#include "app/ObjectInspector.h"
#include "base/NumberText.h"
#include "chart/Chart.h"
#include "chart/ChartLook.h"
#include "ga/DerivedFunctions.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GoalFunction.h"
#include "ga/Individual.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ObjectDescription.h"
#include "model/TimeFrame.h"
#include "settings/ChartProperties.h"
#include "task/ChartData.h"
#include "task/ColorSwatch.h"
#include "task/ResultCurves.h"
#include "task/RunExport.h"

#include <QFileDialog>

namespace sarvanta {

namespace {

enum TResultsPage { rpMotorUnits = 0, rpMuscles = 1, rpGoals = 2, rpSummary = 3, rpDivers = 4 };

QString Text(long double value) { return ToQString(FloatToStr(value)); }

// A number in a read-only box, shown from its first digit.
void ShowNumber(QLineEdit* box, long double value) {
  box->setText(Text(value));
  box->setCursorPosition(0);
}

}  // namespace

void TSVAlgorithm::ConnectResultsHandlers() {
  FunctionInspector =
      new TObjectInspector(this, bDefineProperty, sgObjectProperties, cbValueList, cbObjects);
  FunctionInspector->setObjectName("FunctionInspector");
  FunctionInspector->OnChange = [this](TObjectInspector*) { UpdateGraphic(); };

  connect(cbSolution, &QComboBox::activated, this, &TSVAlgorithm::UpdateGraphic);
  connect(cbMuscles, &QComboBox::activated, this, &TSVAlgorithm::cbMusclesChange);
  connect(cbMotorUnits, &QComboBox::activated, this, &TSVAlgorithm::cbMotorUnitsChange);
  connect(cbMuscle, &QComboBox::activated, this, &TSVAlgorithm::UpdateGraphic);
  connect(cbGoals, &QComboBox::activated, this, &TSVAlgorithm::cbGoalsChange);
  connect(cbObjects, &QComboBox::activated, this, &TSVAlgorithm::cbObjectsChange);
  connect(pcResults, &QTabWidget::currentChanged, this, &TSVAlgorithm::UpdateGraphic);
  connect(bbAddSeria, &QPushButton::clicked, this, &TSVAlgorithm::bbAddSeriaClick);
  connect(bbDeleteChart, &QPushButton::clicked, this, &TSVAlgorithm::bbDeleteChartClick);
  connect(bbReset, &QPushButton::clicked, this, &TSVAlgorithm::bbResetClick);
  connect(cb3D, &QCheckBox::clicked, this, &TSVAlgorithm::cb3DClick);
  connect(sbSaveData, &QToolButton::clicked, this, &TSVAlgorithm::sbSaveDataClick);
  connect(sbSave, &QToolButton::clicked, this, &TSVAlgorithm::SaveImageClick);
  const std::pair<TChart*, int> charts[] = {{cMotorUnits, rpMotorUnits},
                                            {cMuscles, rpMuscles},
                                            {cGoals, rpGoals},
                                            {cSummary, rpSummary},
                                            {cParamFunct, rpDivers}};
  for (const auto& [chart, tag] : charts)
    connect(chart, &TChart::DblClick, this, [this, c = chart, t = tag] { cMusclesDblClick(c, t); });
}

void TSVAlgorithm::ListFunctions() {
  // The functions refer to muscles and bones of one system: each binding gets fresh ones.
  FunctionInspector->Clear();
  ParamFunctions.Clear();
  functionOwner_ = std::make_unique<TComponent>(nullptr);
  CreateParamFunctions(functionOwner_.get(), ParamFunctions);
  for (int i = 0; i < ParamFunctions.Count(); ++i) {
    auto* function = static_cast<TParamFunction*>(ParamFunctions.Objects(i));
    function->System = MechanicalSystem;
    if (MechanicalSystem != nullptr)
      FunctionInspector->AddObject(function->ObjectDescription(ParamFunctions.Strings(i)));
  }
  // The first function is the one shown.
  if (cbObjects->count() > 0) {
    cbObjects->setCurrentIndex(0);
    cParamFunct->SetTitle(ToQString(ParamFunctions.Strings(0)));
  }
  FunctionInspector->SetActiveObject();
}

TChart* TSVAlgorithm::VisibleResultsChart() const {
  TChart* charts[] = {cMotorUnits, cMuscles, cGoals, cSummary, cParamFunct};
  const int page = pcResults->currentIndex();
  return page >= 0 && page < 5 ? charts[page] : nullptr;
}

const TIndividual* TSVAlgorithm::ChosenSolution() const {
  const int index = cbSolution->currentIndex();
  if (GeneticAlgorithm == nullptr || index < 0 || index >= GeneticAlgorithm->Population.Count())
    return nullptr;
  return GeneticAlgorithm->Individual(GeneticAlgorithm->Population, index);
}

void TSVAlgorithm::ShowCurve(TChart* chart, int series, const std::vector<TCurvePoint>& points) {
  chart->Series(series)->SetPoints(points);
}

// ---- Refresh ----

void TSVAlgorithm::UpdateResults() {
  if (GeneticAlgorithm == nullptr || pcMotorControl->currentWidget()->objectName() != "tsResults")
    return;
  TChart* chart = VisibleResultsChart();
  if (chart == nullptr) return;
  QPalette palette = pSave->palette();
  palette.setColor(QPalette::Window, chart->GradientStart());
  pSave->setPalette(palette);
  pSave->setAutoFillBackground(true);
  switch (pcResults->currentIndex()) {
    case rpMotorUnits:
      ChartMotorUnit();
      break;
    case rpMuscles:
      ChartMuscle();
      break;
    case rpGoals:
      ChartGoal();
      break;
    case rpSummary:
      ChartSummary();
      break;
    case rpDivers:
      ChartFunction();
      break;
    default:
      break;
  }
}

void TSVAlgorithm::ChartMotorUnit() {
  const int muscle = cbMuscles->currentIndex();
  const int unit = cbMotorUnits->currentIndex();
  if (muscle < 1 || unit < 0 || muscle >= MechanicalSystem->Muscles.Count()) return;
  const TMotorUnit* motorUnit = MechanicalSystem->Muscle(muscle)->MotorUnit(unit);
  if (motorUnit == nullptr) return;
  TChartScale& scale = ChartScales[rpMotorUnits];
  ShowCurve(cMotorUnits, 0, MotorUnitForceCurve(*motorUnit, *GeneticAlgorithm, scale).Points);
  cMotorUnits->ApplyScale(scale);
}

void TSVAlgorithm::ChartMuscle() {
  const int muscle = cbMuscle->currentIndex();
  if (muscle < 1 || muscle >= MechanicalSystem->Muscles.Count()) return;
  TChartScale& scale = ChartScales[rpMuscles];
  ShowCurve(cMuscles, 0,
            MuscleForceCurve(*MechanicalSystem->Muscle(muscle), *GeneticAlgorithm, scale).Points);
  cMuscles->ApplyScale(scale);
}

void TSVAlgorithm::ChartGoal() {
  while (cGoals->SeriesCount() < 2) cGoals->AddSeries(TSeriesKind::FastLine, "Results");
  const TIndividual* solution = ChosenSolution();
  const int goal = cbGoals->currentIndex();
  if (solution == nullptr || goal < 0 || goal >= GeneticAlgorithm->Goals.Count()) return;
  TChartScale& scale = ChartScales[rpGoals];
  TGoalCurves curves;
  {
    const TSolutionInModel applied(*GeneticAlgorithm, *solution, *MechanicalSystem);
    curves = GoalCurves(*GeneticAlgorithm->Goal(goal), *solution, *GeneticAlgorithm, scale);
  }
  ShowCurve(cGoals, 0, curves.Target.Points);
  ShowCurve(cGoals, 1, curves.Result.Points);
  cGoals->ApplyScale(scale);
  const auto index = static_cast<size_t>(goal);
  if (index < solution->Values.size())
    ShowNumber(eEstimation, solution->Values[index]);
  else
    eEstimation->clear();
  mDescription->setPlainText(ToQString(GeneticAlgorithm->Goal(goal)->GetDescription()));
  ShowNumber(eGoalWeight, GeneticAlgorithm->Goal(goal)->Weight);
}

void TSVAlgorithm::ChartSummary() {
  std::vector<TChartDescription> descriptions;
  for (const TSummaryEntry& entry : summary_) descriptions.push_back(entry.Description);
  TChartScale& scale = ChartScales[rpSummary];
  const auto curves =
      SampleSummary(descriptions, *GeneticAlgorithm, *MechanicalSystem, ParamFunctions, scale);
  for (size_t i = 0; i < curves.size() && i < summary_.size(); ++i) {
    if (!curves[i].Charted) continue;
    summary_[i].Series->SetPoints(curves[i].Series.Points);
    if (summary_[i].SecondSeries)
      summary_[i].SecondSeries->SetPoints(curves[i].SecondSeries.Points);
  }
  cSummary->ApplyScale(scale);
}

void TSVAlgorithm::ChartFunction() {
  cParamFunct->SetAxis(TAxisSide::Left, TChartAxis{});
  const TIndividual* solution = ChosenSolution();
  const int function = cbObjects->currentIndex();
  if (solution == nullptr || function < 0 || function >= ParamFunctions.Count()) return;
  auto* derived = static_cast<TParamFunction*>(ParamFunctions.Objects(function));
  TChartScale& scale = ChartScales[rpDivers];
  TCurve curve;
  {
    const TSolutionInModel applied(*GeneticAlgorithm, *solution, *MechanicalSystem);
    curve = DerivedFunctionCurve(*derived, *solution, *GeneticAlgorithm, scale);
  }
  ShowCurve(cParamFunct, 0, curve.Points);
  // A curve above 0 is shown from 0.
  if (curve.DataMin > 0) cParamFunct->SetAxis(TAxisSide::Left, TChartAxis{false, true, 0, 0});
}

// ---- Selections ----

void TSVAlgorithm::cbMusclesChange() {
  const int muscle = cbMuscles->currentIndex();
  if (MechanicalSystem == nullptr || muscle < 1 || muscle >= MechanicalSystem->Muscles.Count())
    return;
  cbMotorUnits->clear();
  const TStringList& units = MechanicalSystem->Muscle(muscle)->MotorUnits;
  for (int i = 0; i < units.Count(); ++i) cbMotorUnits->addItem(ToQString(units.Strings(i)));
}

const TMotorUnit* TSVAlgorithm::ChosenMotorUnit() const {
  const int muscle = cbMuscles->currentIndex();
  const int unit = cbMotorUnits->currentIndex();
  if (MechanicalSystem == nullptr || muscle < 1 || unit < 0 ||
      muscle >= MechanicalSystem->Muscles.Count())
    return nullptr;
  return MechanicalSystem->Muscle(muscle)->MotorUnit(unit);
}

void TSVAlgorithm::ShowMotorUnitParameters() {
  const TMotorUnit* u = ChosenMotorUnit();
  if (u == nullptr) return;
  const std::pair<QLineEdit*, long double> boxes[] = {
      {eFmax, u->Fmax}, {eTc, u->Tc()},   {eTr, u->Tr()}, {eT, u->Tl},
      {eFmin, u->Fmin}, {eTref, u->Tref}, {eTf, u->Tf},   {ePow, u->Pow}};
  for (const auto& [box, value] : boxes) ShowNumber(box, value);
}

void TSVAlgorithm::cbMotorUnitsChange() {
  const TMotorUnit* u = ChosenMotorUnit();
  if (u == nullptr) return;
  ShowMotorUnitParameters();
  ShowCurve(cMotorUnits, 0, MotorUnitSelectionCurve(*u, *GeneticAlgorithm->TimeFrame).Points);
}

void TSVAlgorithm::cbGoalsChange() {
  UpdateGraphic();
  const int goal = cbGoals->currentIndex();
  if (GeneticAlgorithm == nullptr || goal < 0 || goal >= GeneticAlgorithm->Goals.Count()) return;
  mDescription->setPlainText(ToQString(GeneticAlgorithm->Goal(goal)->GetDescription()));
  ShowNumber(eGoalWeight, GeneticAlgorithm->Goal(goal)->Weight);
}

void TSVAlgorithm::cbObjectsChange() {
  FunctionInspector->SetActiveObject();
  const int function = cbObjects->currentIndex();
  if (function >= 0 && function < ParamFunctions.Count())
    cParamFunct->SetTitle(ToQString(ParamFunctions.Strings(function)));
  UpdateGraphic();
}

// ---- Summary ----

TSeries* TSVAlgorithm::CreateSummarySeries(int style) {
  const TSwatch& swatch = sColor->Swatch;
  const TSeriesKind kinds[] = {TSeriesKind::FastLine, TSeriesKind::Bar,   TSeriesKind::HorizBar,
                               TSeriesKind::Area,     TSeriesKind::Point, TSeriesKind::Pie};
  const TSeriesKind kind = style >= 0 && style < 6 ? kinds[style] : TSeriesKind::FastLine;
  TSeries* series = cSummary->AddSeries(kind);
  series->SetColor(ToQColor(swatch.BrushColor));
  switch (kind) {
    case TSeriesKind::Bar:
    case TSeriesKind::HorizBar:
    case TSeriesKind::Area:
      series->SetBrushStyle(ToQtBrushStyle(swatch.BrushStyle));
      break;
    case TSeriesKind::Point:
      if (cbPointers->currentIndex() >= 0)
        series->SetPointerStyle(static_cast<TPointerStyle>(cbPointers->currentIndex()));
      break;
    case TSeriesKind::FastLine:
      series->SetPen(ToQtPenStyle(swatch.PenStyle), swatch.PenWidth);
      break;
    default:
      break;
  }
  return series;
}

void TSVAlgorithm::AddSummaryEntry(const QString& title, const TChartDescription& description,
                                   bool withSecondSeries) {
  TSummaryEntry entry{description, CreateSummarySeries(cbStyle->currentIndex()), nullptr};
  entry.Series->SetTitle(title);
  if (withSecondSeries) entry.SecondSeries = CreateSummarySeries(cbStyle->currentIndex());
  summary_.push_back(entry);
  lbCharts->addItem(title);
}

void TSVAlgorithm::bbAddSeriaClick() {
  if (cbAll->isChecked()) {
    bbAddAllSerias();
    return;
  }
  const QString title = eTitle->text();
  switch (cbChart->currentIndex()) {
    case rpMotorUnits:
      if (cbMuscles->currentIndex() >= 1 && cbMotorUnits->currentIndex() >= 0)
        AddSummaryEntry(
            title, {ckMotorUnit, cbMuscles->currentIndex(), cbMotorUnits->currentIndex()}, false);
      break;
    case rpMuscles:
      if (cbMuscle->currentIndex() >= 1)
        AddSummaryEntry(title, {ckMuscle, cbMuscle->currentIndex(), 0}, false);
      break;
    case rpGoals:
      if (cbSolution->currentIndex() >= 0 && cbGoals->currentIndex() >= 0)
        AddSummaryEntry(title, {ckGoal, cbSolution->currentIndex(), cbGoals->currentIndex()}, true);
      break;
    case rpDivers:
      cParamFunct->SetAxis(TAxisSide::Left, TChartAxis{});
      if (cbSolution->currentIndex() >= 0 && cbObjects->currentIndex() >= 0)
        AddSummaryEntry(title,
                        {ckDerivedFunction, cbSolution->currentIndex(), cbObjects->currentIndex()},
                        false);
      break;
    default:
      break;
  }
  UpdateGraphic();
}

void TSVAlgorithm::bbAddAllSerias() {
  if (MechanicalSystem == nullptr) return;
  const TColor swatch = sColor->Swatch.BrushColor;
  if (cbChart->currentIndex() == rpMotorUnits) {
    const int muscle = cbMuscles->currentIndex();
    if (muscle < 1) return;
    for (int j = 0; j < cbMotorUnits->count(); ++j) {
      const QString name = cbMotorUnits->itemText(j);
      AddSummaryEntry(name, {ckMotorUnit, muscle, j}, false);
      summary_.back().Series->SetColor(ToQColor(ColorCounter.NextSeriesColor(2, swatch)));
    }
  } else if (cbChart->currentIndex() == rpMuscles) {
    std::vector<bool> inPlane;
    for (int i = 1; i < cbMuscle->count() && i < MechanicalSystem->Muscles.Count(); ++i)
      inPlane.push_back((MechanicalSystem->Muscle(i)->Plane & 1) != 0);
    const auto shades = MuscleShades(inPlane, swatch);
    for (size_t k = 0; k < shades.size(); ++k) {
      const int muscle = static_cast<int>(k) + 1;
      AddSummaryEntry(cbMuscle->itemText(muscle), {ckMuscle, muscle, 0}, false);
      TSeries* series = summary_.back().Series;
      series->SetColor(ToQColor(shades[k].Color));
      if (series->Kind() == TSeriesKind::FastLine)
        series->SetPen(series->PenStyle(), shades[k].LineWidth);
    }
    cSummary->SetTitle("Muscle forces, [N]");
    cSummary->SetAxisTitle(TAxisSide::Left, "Muscle forces, [N]");
  } else {
    // Goals and derived functions have no "all": the single entry is added.
    cbAll->setChecked(false);
    bbAddSeriaClick();
    cbAll->setChecked(true);
    return;
  }
  UpdateGraphic();
}

void TSVAlgorithm::bbDeleteChartClick() {
  const int row = lbCharts->currentRow();
  if (row < 0 || row >= static_cast<int>(summary_.size())) return;
  const TSummaryEntry entry = summary_[static_cast<size_t>(row)];
  cSummary->RemoveSeries(entry.Series);
  if (entry.SecondSeries) cSummary->RemoveSeries(entry.SecondSeries);
  summary_.erase(summary_.begin() + row);
  delete lbCharts->takeItem(row);
}

void TSVAlgorithm::bbResetClick() {
  summary_.clear();
  cSummary->ClearSeries();
  lbCharts->clear();
}

void TSVAlgorithm::cb3DClick() { cSummary->SetView3D(cb3D->isChecked()); }

// ---- Chart properties and export ----

void TSVAlgorithm::cMusclesDblClick(TChart* chart, int tag) {
  if (chartProperties_ == nullptr || tag < 0 || tag >= ResultsPageCount) return;
  if (!chartProperties_->Execute(chart, &ChartScales[static_cast<size_t>(tag)])) return;
  chart->SetTitle(chartProperties_->eChartTitle->text());
  chart->SetAxisTitle(TAxisSide::Left, chartProperties_->eYLabel->text());
  chart->SetFoot(chartProperties_->eXLabel->text());
  UpdateGraphic();
}

void TSVAlgorithm::sbSaveDataClick() {
  QFileDialog dialog(this, "Save Data", QString(), "Text File (*.txt);;Matlab file (*.m)");
  dialog.setObjectName("SaveDataDialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("txt");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveChartData(dialog.selectedFiles().constFirst());
}

void TSVAlgorithm::SaveChartData(const QString& fileName) {
  TChart* chart = VisibleResultsChart();
  if (chart == nullptr || chart->SeriesCount() == 0) return;
  Guarded([&] { SaveChartDataFile(chart->Data(), ToStdString(fileName)); });
}

void TSVAlgorithm::SaveImageClick() {
  QFileDialog dialog(this, "Save Image", QString(),
                     "Bitmaps (*.bmp);;PNG pictures (*.png);;SVG pictures (*.svg)");
  dialog.setObjectName("SaveImageDialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("bmp");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveChartImage(dialog.selectedFiles().constFirst());
}

void TSVAlgorithm::SaveChartImage(const QString& fileName) {
  TChart* chart = VisibleResultsChart();
  if (chart == nullptr) return;
  Guarded([&] { chart->SaveImage(fileName); });
}

}  // namespace sarvanta
