#include "MotorTaskFixture.h"
#include "base/Random.h"
#include "chart/Chart.h"
#include "chart/ChartLook.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/Individual.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "task/ColorSwatch.h"
#include "task/ResultCurves.h"
#include "task/RunExport.h"

#include "support/ModelTrains.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

namespace sarvanta {
namespace {

using test::ModelTrains;
using test::TTrains;

class Results : public MotorTask {
 protected:
  // The elbow after a short run over 0 .. 200 ms at 2 ms, the results page open.
  void RunElbow() {
    OpenElbow();
    task->eFromMoment->setText("0");
    task->eToMoment->setText("200");
    task->ePrecision->setText("2");
    task->cbOscilate->setChecked(false);
    task->eOscStep->setText("0");
    SetRun("8", "3");
    TRandom::Shared().SetFixedSeed(3);
    task->bbRun->click();
    ASSERT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    main->miResults->trigger();
    ASSERT_EQ(task->pcMotorControl->currentWidget()->objectName(), "tsResults");
  }

  void ShowPage(int page) { task->pcResults->setCurrentIndex(page); }

  void Choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
};

TEST_F(Results, EveryPageChartsTheFrameAndAlwaysShowFrameUsesTheVisibleOne) {
  RunElbow();
  // Opening the page charts the first motor unit of the first muscle at once.
  EXPECT_EQ(task->cbMuscles->currentIndex(), 1);
  EXPECT_EQ(task->cMotorUnits->Series(0)->Count(), 100);
  // Every page charts its curve when it is first opened.
  task->show();
  ShowPage(1);
  QCoreApplication::processEvents();
  EXPECT_EQ(task->cMuscles->Series(0)->Count(), 100);
  EXPECT_GT(task->cMuscles->Axis(TAxisSide::Left).Maximum, 1.0L);
  ShowPage(0);
  Choose(task->cbMuscles, 1);
  ASSERT_GT(task->cbMotorUnits->count(), 0);
  Choose(task->cbMotorUnits, 0);
  EXPECT_FALSE(task->eFmax->text().isEmpty());
  task->UpdateGraphic();
  EXPECT_EQ(task->cMotorUnits->Series(0)->Count(), 100);
  EXPECT_EQ(task->cMotorUnits->Series(0)->Points().front().x(), 0.0);
  EXPECT_EQ(task->cMotorUnits->Series(0)->Points().back().x(), 198.0);

  ShowPage(1);
  Choose(task->cbMuscle, 1);
  EXPECT_EQ(task->cMuscles->Series(0)->Count(), 100);
  // The placeholder entry charts nothing: the chart stays as it was.
  Choose(task->cbMuscle, 0);
  EXPECT_EQ(task->cMuscles->Series(0)->Count(), 100);

  ShowPage(2);
  Choose(task->cbGoals, 0);
  EXPECT_EQ(task->cGoals->Series(0)->Count(), 100);
  EXPECT_EQ(task->cGoals->Series(1)->Count(), 100);
  EXPECT_FALSE(task->eEstimation->text().isEmpty());
  EXPECT_EQ(task->mDescription->toPlainText().toStdString(), Algorithm().Goals.Strings(0));

  ShowPage(4);
  Choose(task->cbObjects, 0);
  EXPECT_EQ(task->cParamFunct->Title(), "Intergral EMG");
  EXPECT_GT(task->cParamFunct->Series(0)->Count(), 0);

  // "Always show frame": from 20 to 120 at 5 ms.
  task->cbAlwaysShowFrame->setChecked(true);
  task->eShowFrom->setText("20");
  task->eShowTo->setText("120");
  task->eShowWithPrecision->setText("5");
  emit task->eShowTo->editingFinished();
  ShowPage(1);
  Choose(task->cbMuscle, 1);
  const auto& points = task->cMuscles->Series(0)->Points();
  ASSERT_EQ(points.size(), 20u);
  EXPECT_EQ(points.front().x(), 20.0);
  EXPECT_EQ(points.back().x(), 115.0);
}

TEST_F(Results, AnotherSolutionChangesTheResultCurveAndTheModelKeepsTheBest) {
  RunElbow();
  const TTrains best = ModelTrains(*task->MechanicalSystem);
  ShowPage(2);
  Choose(task->cbGoals, 0);
  Choose(task->cbSolution, 0);
  const std::vector<QPointF> bestCurve = task->cGoals->Series(1)->Points();
  // A solution that differs from the best one.
  int last = task->cbSolution->count() - 1;
  const TGeneticAlgorithm& a = Algorithm();
  while (last > 0 &&
         a.Individual(a.Population, last)->Values == a.Individual(a.Population, 0)->Values)
    --last;
  ASSERT_GT(last, 0) << "every solution scores as the best";
  Choose(task->cbSolution, last);
  const std::vector<QPointF> otherCurve = task->cGoals->Series(1)->Points();
  EXPECT_NE(bestCurve, otherCurve);
  EXPECT_EQ(ModelTrains(*task->MechanicalSystem), best);
  // The curve is the one the solution's own trains give.
  TMechanicalSystem& system = *task->MechanicalSystem;
  const TIndividual& other = *Algorithm().Individual(Algorithm().Population, last);
  ApplySolution(other, system);
  TChartScale scale;
  const TGoalCurves expected = GoalCurves(*Algorithm().Goal(0), other, Algorithm(), scale);
  ApplySolution(*Algorithm().Individual(Algorithm().Population, 0), system);
  ASSERT_EQ(expected.Result.Points.size(), otherCurve.size());
  for (size_t i = 0; i < otherCurve.size(); ++i)
    EXPECT_EQ(otherCurve[i].y(), static_cast<double>(expected.Result.Points[i].Y)) << i;
}

TEST_F(Results, SummaryAddsResetsDeletesAndShadesMuscles) {
  RunElbow();
  ShowPage(3);
  task->cbChart->setCurrentIndex(1);  // "Muscle Forces"
  task->cbMuscle->setCurrentIndex(1);
  task->eTitle->setText("Biceps force");
  task->bbAddSeria->click();
  ASSERT_EQ(task->lbCharts->count(), 1);
  EXPECT_EQ(task->lbCharts->item(0)->text(), "Biceps force");
  EXPECT_EQ(task->cSummary->SeriesCount(), 1);
  EXPECT_EQ(task->cSummary->Series(0)->Count(), 100);
  EXPECT_EQ(task->cSummary->Series(0)->Color(), QColor(0, 0, 255));

  // A goal brings its result curve as a second series.
  task->cbChart->setCurrentIndex(2);
  task->cbGoals->setCurrentIndex(0);
  task->cbSolution->setCurrentIndex(0);
  task->bbAddSeria->click();
  EXPECT_EQ(task->lbCharts->count(), 2);
  EXPECT_EQ(task->cSummary->SeriesCount(), 3);

  // "all" muscle forces: every real muscle, shaded by 196 div (entries - 1).
  const int entries = task->cbMuscle->count();
  ASSERT_GE(entries, 3);
  task->cbAll->setChecked(true);
  task->cbChart->setCurrentIndex(1);
  task->bbAddSeria->click();
  EXPECT_EQ(task->lbCharts->count(), 2 + entries - 1);
  EXPECT_EQ(task->cSummary->Title(), "Muscle forces, [N]");
  const int step = 196 / (entries - 1);
  // The first muscle of its group keeps the swatch colour, the second is shaded by one step.
  const bool firstInPlane = (task->MechanicalSystem->Muscle(1)->Plane & 1) != 0;
  const bool secondInPlane = (task->MechanicalSystem->Muscle(2)->Plane & 1) != 0;
  EXPECT_EQ(task->cSummary->Series(3)->Color(), QColor(0, 0, 255));
  const TColor second = firstInPlane == secondInPlane ? ColorBlue ^ (step * 65793u) : ColorBlue;
  EXPECT_EQ(task->cSummary->Series(4)->Color(), ToQColor(second));

  // "all" motor units: colours from the shared counter, the first with counter 66.
  task->cbChart->setCurrentIndex(0);
  task->cbMuscles->setCurrentIndex(1);
  task->cbMusclesChange();
  const int units = task->cbMotorUnits->count();
  const int before = task->lbCharts->count();
  task->bbAddSeria->click();
  EXPECT_EQ(task->lbCharts->count(), before + units);
  EXPECT_EQ(task->cSummary->Series(before + 1)->Color(), QColor(0, 0, 193));

  // Del removes a line with its series; Reset empties everything.
  const int series = task->cSummary->SeriesCount();
  task->lbCharts->setCurrentRow(1);  // the goal: two series
  task->bbDeleteChart->click();
  EXPECT_EQ(task->cSummary->SeriesCount(), series - 2);
  EXPECT_EQ(task->lbCharts->count(), before + units - 1);
  task->bbReset->click();
  EXPECT_EQ(task->cSummary->SeriesCount(), 0);
  EXPECT_EQ(task->lbCharts->count(), 0);
  task->cb3D->click();
  EXPECT_TRUE(task->cSummary->View3D());
}

TEST_F(Results, TheSwatchStepsItsPenAndBrushOnRightClicks) {
  TColorSwatch* swatch = task->sColor;
  EXPECT_EQ(swatch->Swatch.BrushStyle, TBrushStyle::Vertical);
  QTest::mouseClick(swatch, Qt::RightButton);
  EXPECT_EQ(swatch->Swatch.PenWidth, 2);
  QTest::mouseClick(swatch, Qt::RightButton, Qt::ControlModifier);
  EXPECT_EQ(swatch->Swatch.PenStyle, TPenStyle::InsideFrame);
  QTest::mouseClick(swatch, Qt::RightButton, Qt::ShiftModifier);
  EXPECT_EQ(swatch->Swatch.BrushStyle, TBrushStyle::Horizontal);
  swatch->ChooseColor = [](const QColor&) { return QColor(10, 20, 30); };
  QTest::mouseClick(swatch, Qt::LeftButton);
  EXPECT_EQ(swatch->Swatch.BrushColor, ToTColor(QColor(10, 20, 30)));
  swatch->ChooseColor = [](const QColor&) { return QColor(); };  // cancelled
  QTest::mouseClick(swatch, Qt::LeftButton);
  EXPECT_EQ(swatch->Swatch.BrushColor, ToTColor(QColor(10, 20, 30)));
}

TEST_F(Results, DataAndPicturesOfTheVisibleChartAreSaved) {
  RunElbow();
  ShowPage(2);
  Choose(task->cbGoals, 0);
  const QString data = folder + "/goal.txt";
  task->SaveChartData(data);
  QFile file(data);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = file.readAll().split('\n');
  // Title, the header, 100 points, each line ended by CR LF (the split leaves one empty rest).
  EXPECT_EQ(lines.size(), 103);
  EXPECT_EQ(lines[0], "Goal\r");
  EXPECT_TRUE(lines[1].startsWith("t [ms]\tGoal\tResults"));
  EXPECT_EQ(lines[2].count('\t'), 2);

  task->show();
  task->cGoals->resize(400, 260);
  const QString picture = folder + "/goal.png";
  task->SaveChartImage(picture);
  const QImage image(picture);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), task->cGoals->size());
  EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
}

TEST_F(Results, StartUpCreatesChartPropertiesAndTheReportWizard) {
  EXPECT_TRUE(main->miReport->isEnabled());
  ASSERT_NE(startUp->ReportWizard, nullptr);
  ASSERT_NE(startUp->ChartProperties, nullptr);
}

}  // namespace
}  // namespace sarvanta
