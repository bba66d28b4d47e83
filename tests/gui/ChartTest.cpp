#include "TestMain.h"
#include "base/Exception.h"
#include "chart/Chart.h"
#include "chart/ChartDrawing.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QtCharts/QChartView>
#include <QtCharts/QXYSeries>
#include <cmath>
#include <limits>

namespace sarvanta {
namespace {

QXYSeries* DrawnXY(TChart& chart, int index) {
  auto* view = chart.findChild<QChartView*>();
  if (!view) return nullptr;
  return qobject_cast<QXYSeries*>(view->chart()->series().value(index));
}

TEST(Chart, SavedPicturesHaveTheChartsSizeAndAFailedSaveSaysSo) {
  TChart chart;
  chart.resize(420, 300);
  chart.SetTitle("Force");
  chart.SetFoot("t [ms]");
  TSeries* series = chart.AddSeries(TSeriesKind::FastLine, "Force");
  for (int i = 0; i < 100; ++i) series->Append(2 * i, std::sin(i / 10.0));
  const QString dir = test::ScratchDir();
  for (const char* name : {"chart.png", "chart.bmp"}) {
    const QString file = dir + "/" + name;
    QFile::remove(file);
    chart.SaveImage(file);
    const QImage image(file);
    EXPECT_EQ(image.size(), QSize(420, 300)) << name;
  }
  const QString svg = dir + "/chart.svg";
  chart.SaveImage(svg);
  QFile svgFile(svg);
  ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
  const QByteArray text = svgFile.readAll();
  EXPECT_TRUE(text.contains("<svg")) << "not a vector picture";
  EXPECT_TRUE(text.contains("width=\"420")) << text.left(400).toStdString();
  EXPECT_THROW(chart.SaveImage(dir + "/no such folder/chart.png"), EFileError);
}

TEST(Chart, AutomaticBoundsFollowTheDataAndFixedBoundsStay) {
  TChart chart;
  TSeries* line = chart.AddSeries(TSeriesKind::Line);
  line->Append(0, 5);
  line->Append(10, -3);
  // An undefined value of a sampled function neither draws nor widens the axes.
  line->Append(5, std::numeric_limits<double>::quiet_NaN());
  TChartAxis time = chart.Axis(TAxisSide::Bottom);
  TChartAxis value = chart.Axis(TAxisSide::Left);
  EXPECT_TRUE(time.AutomaticMinimum && time.AutomaticMaximum);
  EXPECT_DOUBLE_EQ(static_cast<double>(time.Minimum), 0);
  EXPECT_DOUBLE_EQ(static_cast<double>(time.Maximum), 10);
  EXPECT_DOUBLE_EQ(static_cast<double>(value.Minimum), -3);
  EXPECT_DOUBLE_EQ(static_cast<double>(value.Maximum), 5);

  // Bars stand on zero, so zero joins the value range.
  TSeries* bars = chart.AddSeries(TSeriesKind::Bar);
  bars->Append(3, 8);
  EXPECT_DOUBLE_EQ(static_cast<double>(chart.Axis(TAxisSide::Left).Maximum), 8);
  chart.RemoveSeries(bars);
  EXPECT_EQ(chart.SeriesCount(), 1);

  chart.SetAxis(TAxisSide::Left, {false, true, -10, 0});
  value = chart.Axis(TAxisSide::Left);
  EXPECT_DOUBLE_EQ(static_cast<double>(value.Minimum), -10);
  EXPECT_DOUBLE_EQ(static_cast<double>(value.Maximum), 5);
  // An automatic maximum below a fixed minimum is pushed above it.
  chart.SetAxis(TAxisSide::Left, {false, true, 20, 0});
  value = chart.Axis(TAxisSide::Left);
  EXPECT_GT(value.Maximum, value.Minimum);

  // A results scale: value maximum from the data with 5 % margin (200 gives 210).
  TChartScale scale;
  scale.AutoFlags = 15;
  scale.ModeFlags = 8;
  scale.YMaxMargin = 0.05L;
  scale.DataMin = 0;
  scale.DataMax = 200;
  chart.ApplyScale(scale);
  value = chart.Axis(TAxisSide::Left);
  EXPECT_TRUE(value.AutomaticMinimum);
  EXPECT_FALSE(value.AutomaticMaximum);
  EXPECT_NEAR(static_cast<double>(value.Maximum), 210, 1e-9);

  chart.Refresh();
  QXYSeries* drawn = DrawnXY(chart, 0);
  ASSERT_NE(drawn, nullptr);
  EXPECT_EQ(drawn->count(), 2);
}

TEST(Chart, PointsAppendedOneByOneAreDrawnTogetherAtTheNextRefresh) {
  TChart chart;
  TSeries* series = chart.AddSeries(TSeriesKind::FastLine, "Performance");
  chart.Refresh();
  for (int step = 0; step < 60; ++step) series->Append(step, 100 - step);
  QXYSeries* drawn = DrawnXY(chart, 0);
  ASSERT_NE(drawn, nullptr);
  EXPECT_EQ(drawn->count(), 0) << "each point redrew the chart";
  // The monitor keeps the last 50 steps.
  series->Delete(0, series->Count() - 50);
  ASSERT_EQ(series->Count(), 50);
  EXPECT_DOUBLE_EQ(series->Points().front().x(), 10);
  QCoreApplication::processEvents();
  EXPECT_EQ(drawn->count(), 50);
  EXPECT_DOUBLE_EQ(drawn->at(0).x(), 10);
  series->Delete(45, 100);  // past the end: only what lies in the series goes
  EXPECT_EQ(series->Count(), 45);
  series->Clear();
  chart.Refresh();
  EXPECT_EQ(drawn->count(), 0);
}

TEST(Chart, DataHoldsTitlesAndPointsOfEverySeries) {
  TChart chart;
  chart.SetTitle("Goal");
  chart.SetFoot("t [ms]");
  chart.AddSeries(TSeriesKind::FastLine, "Goal")->SetPoints({{0, 1}, {2, 3}});
  chart.AddSeries(TSeriesKind::FastLine, "Results")->Append(0, 4);
  const TChartData data = chart.Data();
  EXPECT_EQ(data.Title, "Goal");
  EXPECT_EQ(data.Foot, "t [ms]");
  ASSERT_EQ(data.Series.size(), 2u);
  EXPECT_EQ(data.Series[1].Title, "Results");
  ASSERT_EQ(data.Series[0].Points.size(), 2u);
  EXPECT_EQ(data.Series[0].Points[1].X, 2);
  EXPECT_EQ(data.Series[0].Points[1].Y, 3);
  // The hidden title still names the chart's data.
  chart.SetTitleVisible(false);
  EXPECT_EQ(chart.Data().Title, "Goal");
}

TEST(Chart, DoubleClickIsSignalledAndTheMouseReadsAxisValues) {
  TChart chart;
  chart.resize(400, 300);
  chart.AddSeries(TSeriesKind::Line)->SetPoints({{0, 0}, {100, 50}});
  chart.show();
  chart.Refresh();
  QSignalSpy clicks(&chart, &TChart::DblClick);
  QSignalSpy moves(&chart, &TChart::MouseValues);
  auto* view = chart.findChild<QChartView*>();
  ASSERT_NE(view, nullptr);
  const QRectF plot = view->chart()->plotArea();
  const QPoint middle = view->mapFromScene(plot.center());
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, middle);
  EXPECT_EQ(clicks.count(), 1);
  QTest::mouseMove(view->viewport(), middle);
  const QPointF value = chart.ValueAt(view->mapTo(&chart, middle));
  EXPECT_NEAR(value.x(), 50, 1);
  EXPECT_NEAR(value.y(), 25, 1);
  if (!moves.isEmpty()) {
    EXPECT_NEAR(moves.last().at(0).toDouble(), 50, 1);
  }
}

TEST(Chart, BarsAreDrawnAsOutlinesAtTheirPositions) {
  const std::vector<QPointF> points = {{0, 5}, {2, -1}, {4, 3}};
  const std::vector<QPointF> vertical = BarOutline(points, false);
  ASSERT_EQ(vertical.size(), 12u);
  // 70 % of the gap of 2: each bar runs from x - 0.7 to x + 0.7.
  EXPECT_DOUBLE_EQ(vertical[0].x(), -0.7);
  EXPECT_DOUBLE_EQ(vertical[0].y(), 0);
  EXPECT_DOUBLE_EQ(vertical[1].y(), 5);
  EXPECT_DOUBLE_EQ(vertical[6].y(), -1);
  EXPECT_DOUBLE_EQ(vertical[11].x(), 4.7);
  const std::vector<QPointF> horizontal = BarOutline({{5, 10}}, true);
  ASSERT_EQ(horizontal.size(), 4u);
  EXPECT_DOUBLE_EQ(horizontal[1].x(), 5);
  EXPECT_DOUBLE_EQ(horizontal[1].y(), 9.65);
  EXPECT_TRUE(BarOutline({}, false).empty());
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(BarOutline({{0, 1}, {nan, 2}, {1, nan}, {2, 3}}, false).size(), 8u);

  // The first and the last bar are shown whole on automatic axes.
  TChart chart;
  chart.AddSeries(TSeriesKind::Bar)->SetPoints({{0, 5}, {2, 3}});
  EXPECT_DOUBLE_EQ(static_cast<double>(chart.Axis(TAxisSide::Bottom).Minimum), -0.7);
  EXPECT_DOUBLE_EQ(static_cast<double>(chart.Axis(TAxisSide::Bottom).Maximum), 2.7);
  EXPECT_DOUBLE_EQ(static_cast<double>(chart.Axis(TAxisSide::Left).Minimum), 0);
}

TEST(Chart, EveryKindAndPointerIsDrawnInTheSeriesColour) {
  TChart chart;
  chart.resize(300, 200);
  const TSeriesKind kinds[] = {TSeriesKind::Line, TSeriesKind::FastLine, TSeriesKind::Point,
                               TSeriesKind::Area, TSeriesKind::Bar,      TSeriesKind::HorizBar,
                               TSeriesKind::Pie};
  for (TSeriesKind kind : kinds) {
    TSeries* series = chart.AddSeries(kind);
    series->SetColor(Qt::red);
    series->SetPoints({{1, 2}, {2, 3}});
  }
  chart.Refresh();
  EXPECT_EQ(chart.SeriesCount(), 7);
  for (int style = 0; style <= static_cast<int>(TPointerStyle::Star); ++style) {
    const QImage pointer = PointerImage(static_cast<TPointerStyle>(style), Qt::red, 9);
    // The middle column crosses every shape's body: some pixel there is red.
    bool red = false;
    for (int y = 0; y < 9; ++y) {
      const QColor pixel = pointer.pixelColor(4, y);
      red = red || (pixel.red() > 200 && pixel.green() < 60 && pixel.alpha() > 200);
    }
    EXPECT_TRUE(red) << "pointer style " << style;
  }
  chart.ClearSeries();
  EXPECT_EQ(chart.SeriesCount(), 0);
}

}  // namespace
}  // namespace sarvanta
