#include "TestMain.h"
#include "base/Exception.h"
#include "chart/Chart.h"
#include "settings/ChartProperties.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace sarvanta {
namespace {

// A results chart after a curve with values 0 to 200 was plotted under the default scale.
struct PlottedChart {
  TChart Chart;
  TChartScale Scale = DefaultChartScale(-40, 240);

  PlottedChart() {
    Chart.SetTitle("Force");
    Chart.SetFoot("t [ms]");
    Chart.SetAxisTitle(TAxisSide::Left, "F [N]");
    TSeries* series = Chart.AddSeries(TSeriesKind::FastLine, "Force");
    for (int i = 0; i < 100; ++i) series->Append(2 * i, 2 * i + 2);
    Scale.DataMin = 2;
    Scale.DataMax = 200;
    Chart.ApplyScale(Scale);
  }
};

TEST(ChartProperties, OpensWithTheChartsSettingsAndUnchangedGivesTheSameScale) {
  PlottedChart plotted;
  TChartProperties dialog;
  dialog.Fill(&plotted.Chart, &plotted.Scale);
  EXPECT_EQ(dialog.eChartTitle->text(), "Force");
  EXPECT_EQ(dialog.eYLabel->text(), "F [N]");
  EXPECT_EQ(dialog.eXLabel->text(), "t [ms]");
  EXPECT_TRUE(dialog.cbChartTitle->isChecked());
  EXPECT_TRUE(dialog.cbShowGradient->isChecked());
  EXPECT_EQ(dialog.SwatchColor(dialog.sStartColor), QColor(192, 192, 192));
  EXPECT_TRUE(dialog.rbAXMin->isChecked());
  EXPECT_TRUE(dialog.rbaXMax->isChecked());
  EXPECT_TRUE(dialog.rbAYMinPercent->isChecked());
  EXPECT_TRUE(dialog.rbAYMaxPercent->isChecked());
  EXPECT_EQ(dialog.eXMin->text(), "0");
  EXPECT_EQ(dialog.exMax->text(), "198");
  EXPECT_EQ(dialog.eyMAx->text(), "202");
  EXPECT_EQ(dialog.eYRMinPercent->text(), "1");
  EXPECT_EQ(dialog.eYRMAxPercent->text(), "1");

  const TChartScale before = plotted.Scale;
  dialog.Apply();
  // The value bounds follow their margins, so their automatic bits were never in force.
  EXPECT_EQ(plotted.Scale.AutoFlags, 3);
  EXPECT_EQ(plotted.Scale.ModeFlags, before.ModeFlags);
  EXPECT_EQ(plotted.Scale.YMinMargin, 0.01L);
  EXPECT_EQ(plotted.Scale.YMaxMargin, 0.01L);
  // Opened again, the dialog shows the same choices.
  plotted.Chart.ApplyScale(plotted.Scale);
  dialog.rbMYMax->setChecked(true);
  dialog.Fill(&plotted.Chart, &plotted.Scale);
  EXPECT_TRUE(dialog.rbAYMaxPercent->isChecked());
  EXPECT_TRUE(dialog.rbAXMin->isChecked());
}

TEST(ChartProperties, OkWritesTheChoicesIntoTheChartAndTheScale) {
  PlottedChart plotted;
  TChartProperties dialog;
  dialog.Fill(&plotted.Chart, &plotted.Scale);
  dialog.rbMXMin->setChecked(true);
  dialog.eXMin->setText("10");
  dialog.rbAXMaxCtrlExt->setChecked(true);
  dialog.rbMYMin->setChecked(true);
  dialog.eYMin->setText("-5");
  dialog.rbAYMax->setChecked(true);
  dialog.eYRMinPercent->setText("5");
  dialog.cbChartLegend->setChecked(true);
  dialog.cbShowGradient->setChecked(false);
  dialog.cbChartTitle->setChecked(false);
  dialog.SetSwatchColor(dialog.sEndColor, Qt::yellow);
  dialog.eYLabel->setText("Force [N]");
  dialog.seAngle->setValue(90);
  dialog.eSize->setText("14");
  dialog.Apply();

  EXPECT_EQ(plotted.Scale.AutoFlags, 8);
  EXPECT_EQ(plotted.Scale.ModeFlags, 2);
  EXPECT_EQ(plotted.Scale.XMin, 10);
  EXPECT_EQ(plotted.Scale.XMax, 198);
  EXPECT_EQ(plotted.Scale.YMin, -5);
  EXPECT_EQ(plotted.Scale.YMinMargin, 0.05L);
  EXPECT_EQ(plotted.Scale.DataMax, 200);
  const TChartAxis time = plotted.Chart.Axis(TAxisSide::Bottom);
  EXPECT_FALSE(time.AutomaticMinimum);
  EXPECT_EQ(time.Minimum, 10);
  const TChartAxis value = plotted.Chart.Axis(TAxisSide::Left);
  EXPECT_EQ(value.Minimum, -5);
  EXPECT_TRUE(value.AutomaticMaximum);
  EXPECT_TRUE(plotted.Chart.LegendVisible());
  EXPECT_FALSE(plotted.Chart.GradientVisible());
  EXPECT_FALSE(plotted.Chart.TitleVisible());
  EXPECT_EQ(plotted.Chart.GradientEnd(), QColor(Qt::yellow));
  EXPECT_EQ(plotted.Chart.AxisTitle(TAxisSide::Left), "Force [N]");
  EXPECT_EQ(plotted.Chart.LeftTitleAngle(), 90);
  EXPECT_EQ(plotted.Chart.LeftTitleSize(), 14);
  EXPECT_EQ(plotted.Chart.AxisTitleFont(TAxisSide::Left).pixelSize(), 14);
}

TEST(ChartProperties, ABoxWithoutANumberChangesNothing) {
  PlottedChart plotted;
  TChartProperties dialog;
  dialog.Fill(&plotted.Chart, &plotted.Scale);
  const TChartScale before = plotted.Scale;
  dialog.cbShowGradient->setChecked(false);
  dialog.eXMin->setText("12");
  dialog.eYRMAxPercent->setText("five");
  try {
    dialog.Apply();
    ADD_FAILURE() << "a margin without a number was applied";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'five' is not a valid floating point value");
  }
  EXPECT_TRUE(plotted.Chart.GradientVisible());
  EXPECT_EQ(plotted.Scale.AutoFlags, before.AutoFlags);
  EXPECT_EQ(plotted.Scale.ModeFlags, before.ModeFlags);
  EXPECT_EQ(plotted.Scale.XMin, before.XMin);
  EXPECT_EQ(plotted.Scale.YMaxMargin, before.YMaxMargin);
}

TEST(ChartProperties, TitleCopiesIntoTheYLabelAndTimeBoxesChooseTheirFixedValue) {
  PlottedChart plotted;
  TChartProperties dialog;
  dialog.Fill(&plotted.Chart, &plotted.Scale);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  dialog.eChartTitle->clear();
  QTest::keyClicks(dialog.eChartTitle, "Muscle");
  EXPECT_EQ(dialog.eYLabel->text(), "Muscle");
  QTest::mouseClick(dialog.eYMin, Qt::LeftButton);
  EXPECT_TRUE(dialog.rbAYMinPercent->isChecked());
  QTest::mouseClick(dialog.eXMin, Qt::LeftButton);
  EXPECT_TRUE(dialog.rbMXMin->isChecked());
  QTest::mouseClick(dialog.exMax, Qt::LeftButton);
  EXPECT_TRUE(dialog.rbMXMax->isChecked());
  dialog.hide();
}

TEST(ChartProperties, ExecuteAppliesOnOkOnlyAndABadBoxKeepsTheDialogOpen) {
  PlottedChart plotted;
  TChartProperties dialog;
  QTimer::singleShot(0, &dialog, [&dialog] {
    dialog.cbChartLegend->setChecked(true);
    dialog.bbCancel->click();
  });
  EXPECT_FALSE(dialog.Execute(&plotted.Chart, &plotted.Scale));
  EXPECT_FALSE(plotted.Chart.LegendVisible());

  // OK with a bad bound: a message, the dialog stays; then the bound is put right and OK.
  bool messageShown = false;
  QTimer::singleShot(0, &dialog, [&] {
    dialog.rbMYMax->setChecked(true);
    dialog.eyMAx->setText("2OO");
    QTimer::singleShot(0, &dialog, [&] {
      auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      messageShown = message && message->text() == "'2OO' is not a valid floating point value";
      if (message) message->accept();
      QTimer::singleShot(0, &dialog, [&] {
        EXPECT_TRUE(dialog.isVisible());
        dialog.eyMAx->setText("300");
        dialog.bbOK->click();
      });
    });
    dialog.bbOK->click();
  });
  EXPECT_TRUE(dialog.Execute(&plotted.Chart, &plotted.Scale));
  EXPECT_TRUE(messageShown);
  EXPECT_TRUE(plotted.Chart.LegendVisible());
  EXPECT_EQ(plotted.Scale.YMax, 300);
  EXPECT_EQ(plotted.Chart.Axis(TAxisSide::Left).Maximum, 300);
}

}  // namespace
}  // namespace sarvanta
