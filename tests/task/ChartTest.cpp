#include "task/ChartData.h"
#include "task/ChartScale.h"
#include "task/CurveSampling.h"
#include "task/SeriesColors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace sarvanta;

namespace {

TFrameView Frame0To200() {
  TFrameView frame;
  frame.FromMoment = 0;
  frame.ToMoment = 200;
  frame.CtrlStart = -40;
  frame.CtrlEnd = 240;
  frame.Precision = 2;
  frame.VisibleFrameStart = 50;
  frame.VisibleFrameEnd = 60;
  frame.VisiblePrecision = 5;
  return frame;
}

size_t CountLines(const std::string& text) {
  size_t lines = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lines;
  return lines;
}

}  // namespace

TEST(ChartScale, DefaultsAndResetKeepTheDataRange) {
  TChartScales scales;
  scales[2].AutoFlags = 0;
  scales[2].YMaxMargin = 0.5L;
  scales[2].DataMax = 7;
  ResetChartScales(scales, -40, 240);
  for (const TChartScale& scale : scales) {
    EXPECT_EQ(scale.AutoFlags, 15);
    EXPECT_EQ(scale.ModeFlags, 12);
    EXPECT_EQ(scale.XMin, -40.0L);
    EXPECT_EQ(scale.XMax, 240.0L);
    EXPECT_EQ(scale.YMin, 0.0L);
    EXPECT_EQ(scale.YMax, 100.0L);
    EXPECT_EQ(scale.YMinMargin, 0.01L);
    EXPECT_EQ(scale.YMaxMargin, 0.01L);
  }
  EXPECT_EQ(scales[2].DataMax, 7.0L);
}

TEST(FrameRange, ChoosesEachEndFromFlagsOrTheVisibleFrame) {
  TFrameView frame = Frame0To200();
  frame.OscOffset = 0.5L;
  TChartScale scale = DefaultChartScale(-40, 240);
  scale.XMin = 10;
  scale.XMax = 20;
  const struct {
    int autoFlags, modeFlags;
    long double x0, x1;
  } cases[] = {{15, 12, 0, 200}, {12, 3, -40, 240}, {12, 12, 10, 20}, {13, 2, 0, 240}};
  for (const auto& c : cases) {
    scale.AutoFlags = c.autoFlags;
    scale.ModeFlags = c.modeFlags;
    const TFrameRange range = FrameRange(frame, scale);
    EXPECT_EQ(range.X0, c.x0) << c.autoFlags << "/" << c.modeFlags;
    EXPECT_EQ(range.X1, c.x1) << c.autoFlags << "/" << c.modeFlags;
    EXPECT_EQ(range.S, 2.0L);
    EXPECT_EQ(range.O, 0.5L);
  }
  frame.AlwaysUseVisFrame = true;
  const TFrameRange visible = FrameRange(frame, scale);
  EXPECT_EQ(visible.X0, 50.0L);
  EXPECT_EQ(visible.X1, 60.0L);
  EXPECT_EQ(visible.S, 5.0L);
  EXPECT_EQ(visible.O, 0.0L);
}

TEST(CurveSampling, HundredPointsOverTwoHundredMillisecondsAndTheOffsetRule) {
  const TChartScale scale = DefaultChartScale(-40, 240);
  TFrameView frame = Frame0To200();
  const TCurve curve = SampleCurve(FrameRange(frame, scale), [](long double t) { return t * t; });
  ASSERT_EQ(curve.Points.size(), 100u);
  EXPECT_EQ(curve.Points.front().X, 0.0L);
  EXPECT_EQ(curve.Points.back().X, 198.0L);
  EXPECT_EQ(curve.DataMin, 0.0L);
  EXPECT_EQ(curve.DataMax, 198.0L * 198.0L);

  frame.OscOffset = 0.5L;
  const TFrameRange range = FrameRange(frame, scale);
  const TGoalCurves goal = SampleGoalCurves(
      range, [](long double t) { return -t; },
      [](std::span<const long double> times, std::span<long double> values) {
        for (size_t i = 0; i < times.size(); ++i) values[i] = times[i];
      });
  ASSERT_EQ(goal.Target.Points.size(), 100u);
  ASSERT_EQ(goal.Result.Points.size(), 100u);
  EXPECT_EQ(goal.Target.Points[0].X, 0.0L);  // the target's first point has no offset
  EXPECT_EQ(goal.Target.Points[1].X, 2.5L);
  EXPECT_EQ(goal.Result.Points[0].X, 0.5L);  // the result's has
  EXPECT_EQ(goal.Result.Points[0].Y, 0.5L);
  EXPECT_EQ(goal.DataMin, -198.5L);
  EXPECT_EQ(goal.DataMax, 198.5L);

  frame.AlwaysUseVisFrame = true;
  const TCurve visible = SampleCurve(FrameRange(frame, scale), [](long double) { return 1; });
  ASSERT_EQ(visible.Points.size(), 2u);  // 50 and 55, no offset
  EXPECT_EQ(visible.Points[1].X, 55.0L);
}

TEST(CurveSampling, StepsThatWouldNeverEndAreBounded) {
  const TFrameRange noStep{0, 100, 0, 0};
  EXPECT_EQ(SampleCurve(noStep, [](long double t) { return t; }).Points.size(), 1u);
  const TFrameRange negative{0, 100, -1, 0};
  EXPECT_EQ(SampleCurve(negative, [](long double t) { return t; }).Points.size(), 1u);
  const TFrameRange notANumber{0, 100, NAN, 0};
  EXPECT_EQ(SampleCurve(notANumber, [](long double t) { return t; }).Points.size(), 1u);
  const TFrameRange tiny{1e30L, 2e30L, 1, 0};  // t + S == t: would loop for ever
  EXPECT_EQ(SampleCurve(tiny, [](long double t) { return t; }).Points.size(), MaxCurvePoints);
  const TFrameRange empty{10, 5, 1, 0};
  EXPECT_EQ(SampleCurve(empty, [](long double t) { return t; }).Points.size(), 1u);
}

TEST(ApplyChartScale, MarginsFixTheValueAxisOutwards) {
  TChartScale scale = DefaultChartScale(0, 200);
  scale.YMaxMargin = 0.05L;
  scale.DataMin = 0;
  scale.DataMax = 200;
  TChartAxis time, value;
  ApplyChartScale(scale, time, value);
  EXPECT_TRUE(time.AutomaticMinimum && time.AutomaticMaximum);
  EXPECT_FALSE(value.AutomaticMaximum);
  EXPECT_NEAR(static_cast<double>(value.Maximum), 210.0, 1e-12);
  EXPECT_EQ(value.Minimum, 0.0L);

  // Both ends widen away from the curve, whatever their sign.
  scale.DataMin = -20;
  scale.DataMax = -5;
  scale.YMinMargin = 0.1L;
  value = {};
  ApplyChartScale(scale, time, value);
  EXPECT_NEAR(static_cast<double>(value.Minimum), -22.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(value.Maximum), -4.75, 1e-12);
  scale.DataMin = 10;
  scale.DataMax = 50;
  ApplyChartScale(scale, time, value);
  EXPECT_NEAR(static_cast<double>(value.Minimum), 9.0, 1e-12);

  // A flat curve leaves the maximum to the chart, but a minimum above it raises it first.
  scale.DataMin = scale.DataMax = 300;
  value = TChartAxis{true, true, 0, 100};
  ApplyChartScale(scale, time, value);
  EXPECT_TRUE(value.AutomaticMaximum);
  EXPECT_NEAR(static_cast<double>(value.Minimum), 270.0, 1e-12);
  EXPECT_EQ(value.Maximum, value.Minimum);

  // Without the mode bits only the automatic flags are set.
  scale.ModeFlags = 0;
  scale.AutoFlags = 0b0110;
  value = TChartAxis{true, true, 1, 2};
  ApplyChartScale(scale, time, value);
  EXPECT_FALSE(time.AutomaticMinimum);
  EXPECT_TRUE(time.AutomaticMaximum);
  EXPECT_TRUE(value.AutomaticMinimum);
  EXPECT_FALSE(value.AutomaticMaximum);
  EXPECT_EQ(value.Minimum, 1.0L);
  EXPECT_EQ(value.Maximum, 2.0L);
}

TEST(SeriesColors, CounterWalksThroughTheColourBytes) {
  TSeriesColorCounter colors;
  const TColor first = colors.NextSeriesColor(2, ColorBlue);
  EXPECT_EQ(colors.Counter(), 66);
  EXPECT_EQ(first, TColor{193} << 16);  // blue 127 + 66, red and green 0
  EXPECT_EQ(colors.NextSeriesColor(2, ColorBlue), 0xFF0000u + 68u);         // red
  EXPECT_EQ(colors.NextSeriesColor(1, 0x00FFFFu), 0x007FFFu + 69u * 256u);  // green
  EXPECT_EQ(colors.NextSeriesColor(2, 0x123456u), 0x123456u + 71u);         // r = 3
}

TEST(SeriesColors, MuscleShadesCountPlanesApart) {
  // Three entries (a placeholder and two muscles): step 98.
  const auto two = MuscleShades({false, false}, ColorBlue);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].Color, ColorBlue);
  EXPECT_EQ(two[1].Color, ColorBlue ^ (98u * 65793u));
  EXPECT_EQ(two[1].LineWidth, 2);
  const auto mixed = MuscleShades({true, false, true, false}, 0);  // step 49
  EXPECT_EQ(mixed[0].Color, 0u);
  EXPECT_EQ(mixed[0].LineWidth, 1);
  EXPECT_EQ(mixed[1].Color, 0u);
  EXPECT_EQ(mixed[2].Color, 49u * 65793u);
  EXPECT_EQ(mixed[3].Color, 49u * 65793u);
  EXPECT_TRUE(MuscleShades({}, ColorBlue).empty());
}

TEST(SaveChartData, TitleFootAndOneLinePerPoint) {
  TChartData chart{"Goal", "t [ms]", {}};
  EXPECT_EQ(SaveChartData(chart), "");
  const TFrameRange range{0, 200, 2, 0};
  chart.Series.push_back({"Goal", SampleCurve(range, [](long double t) { return t / 3; }).Points});
  chart.Series.push_back({"Results", SampleCurve(range, [](long double) { return 1e7L; }).Points});
  const std::string text = SaveChartData(chart);
  EXPECT_EQ(CountLines(text), 102u);
  EXPECT_EQ(text.rfind("Goal\r\nt [ms]\tGoal\tResults\r\n0\t0\t1E7\r\n2\t0.666667\t1E7\r\n", 0),
            0u);
  EXPECT_NE(text.find("\r\n198\t66\t1E7\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

  // A shorter series leaves its cells empty.
  chart.Series[1].Points.resize(1);
  const std::string shorter = SaveChartData(chart);
  EXPECT_EQ(CountLines(shorter), 102u);
  EXPECT_NE(shorter.find("\r\n2\t0.666667\t\r\n"), std::string::npos);
}

TEST(SeriesColors, SwatchRightClicksStepStylesAndWidth) {
  TSwatch swatch;
  swatch.RightClick(true, false);
  EXPECT_EQ(swatch.PenStyle, TPenStyle::InsideFrame);  // solid wraps to inside frame
  swatch.RightClick(true, true);                       // Ctrl wins over Shift
  EXPECT_EQ(swatch.PenStyle, TPenStyle::Clear);
  EXPECT_EQ(swatch.BrushStyle, TBrushStyle::Vertical);
  swatch.RightClick(false, true);
  EXPECT_EQ(swatch.BrushStyle, TBrushStyle::Horizontal);
  swatch.BrushStyle = TBrushStyle::Solid;
  swatch.RightClick(false, true);
  EXPECT_EQ(swatch.BrushStyle, TBrushStyle::DiagCross);
  const int widths[] = {2, 3, 4, 1, 2};
  for (const int width : widths) {
    swatch.RightClick(false, false);
    EXPECT_EQ(swatch.PenWidth, width);
  }
}
