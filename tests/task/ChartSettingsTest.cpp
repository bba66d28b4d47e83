#include "base/Exception.h"
#include "task/ChartScale.h"
#include "task/ChartSettings.h"
#include "task/SamplingStep.h"

#include <gtest/gtest.h>

#include <limits>

using namespace sarvanta;

namespace {

// The automatic flags a chart's axes get from a scale, in the order of the bound choices.
std::array<bool, 4> AutomaticAfterApplying(const TChartScale& scale) {
  TChartAxis time;
  TChartAxis value;
  ApplyChartScale(scale, time, value);
  return {time.AutomaticMinimum, time.AutomaticMaximum, value.AutomaticMinimum,
          value.AutomaticMaximum};
}

TEST(ChartSettings, FlagsGiveChoicesThatGiveTheSameFlagsBack) {
  using C = TBoundChoice;
  struct Case {
    int32_t AutoFlags;
    int32_t ModeFlags;
    TBoundChoices Choices;
  };
  const Case cases[] = {
      // The start: automatic time axis, value bounds from the data with their margins.
      {3, 12, {C::Auto, C::Auto, C::Data, C::Data}},
      {0, 0, {C::Fixed, C::Fixed, C::Fixed, C::Fixed}},
      {15, 0, {C::Auto, C::Auto, C::Auto, C::Auto}},
      {2, 1, {C::Data, C::Auto, C::Fixed, C::Fixed}},
      {4, 10, {C::Fixed, C::Data, C::Auto, C::Data}},
      {8, 7, {C::Data, C::Data, C::Data, C::Auto}},
  };
  for (const Case& c : cases) {
    TChartScale scale;
    scale.AutoFlags = c.AutoFlags;
    scale.ModeFlags = c.ModeFlags;
    const TBoundChoices choices = BoundChoicesOf(c.ModeFlags, AutomaticAfterApplying(scale));
    EXPECT_EQ(choices, c.Choices) << c.AutoFlags << " " << c.ModeFlags;
    int32_t autoFlags = -1;
    int32_t modeFlags = -1;
    FlagsOf(choices, autoFlags, modeFlags);
    EXPECT_EQ(autoFlags, c.AutoFlags);
    EXPECT_EQ(modeFlags, c.ModeFlags);
  }
  // The defaults (AutoFlags 15, ModeFlags 12) after a curve was plotted: the value axis
  // follows its margins, so those bounds show their data choice; the time bounds stay "Auto".
  TChartScale defaults;
  defaults.DataMax = 200;
  EXPECT_EQ(BoundChoicesOf(defaults.ModeFlags, AutomaticAfterApplying(defaults)),
            (TBoundChoices{C::Auto, C::Auto, C::Data, C::Data}));
  // Before any curve the value maximum is drawn automatically, and shows so.
  defaults.DataMax = 0;
  EXPECT_EQ(BoundChoicesOf(defaults.ModeFlags, AutomaticAfterApplying(defaults))[3], C::Auto);
  // A time bound both automatic and at the control window is drawn automatically: "Auto".
  EXPECT_EQ(BoundChoicesOf(1, {true, true, true, true})[0], C::Auto);
}

TEST(ChartSettings, MarginsShowAsPercentAndReadBack) {
  EXPECT_EQ(MarginText(0.01L), "1");
  EXPECT_EQ(MarginText(0.05L), "5");
  EXPECT_EQ(MarginText(0.125L), "12.5");
  EXPECT_EQ(MarginText(0), "0");
  EXPECT_EQ(MarginOf("1"), 0.01L);
  EXPECT_EQ(MarginOf("5"), 0.05L);
  EXPECT_EQ(MarginOf(" -2.5 "), -0.025L);
  EXPECT_EQ(MarginText(MarginOf("7.5")), "7.5");
  try {
    MarginOf("5%");
    ADD_FAILURE() << "a margin with a percent sign was read";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'5%' is not a valid floating point value");
  }
}

TEST(ChartSettings, TheFirstBadBoxIsReportedBeforeAnythingIsStored) {
  TChartPropertiesText text{"0", "-40", "240", "0", "100", "1", "5"};
  const TChartPropertiesValues values = ReadChartProperties(text);
  EXPECT_EQ(values.XMin, -40);
  EXPECT_EQ(values.XMax, 240);
  EXPECT_EQ(values.YMax, 100);
  EXPECT_EQ(values.YMinMargin, 0.01L);
  EXPECT_EQ(values.YMaxMargin, 0.05L);

  text.Size = "1.5";
  text.YMax = "lots";
  try {
    ReadChartProperties(text);
    ADD_FAILURE() << "bad boxes were read";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'1.5' is not a valid integer value");
  }
  text.Size = "12";
  try {
    ReadChartProperties(text);
    ADD_FAILURE() << "a bad bound was read";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'lots' is not a valid floating point value");
  }
}

TEST(ChartSettings, StoringKeepsTheDataRange) {
  TChartScale scale;
  scale.DataMin = -3;
  scale.DataMax = 7;
  TChartPropertiesValues values;
  values.XMin = 10;
  values.XMax = 90;
  values.YMin = -1;
  values.YMax = 1;
  values.YMinMargin = 0.02L;
  values.YMaxMargin = 0.03L;
  using C = TBoundChoice;
  StoreChartProperties({C::Fixed, C::Data, C::Auto, C::Data}, values, scale);
  EXPECT_EQ(scale.AutoFlags, 4);
  EXPECT_EQ(scale.ModeFlags, 10);
  EXPECT_EQ(scale.XMin, 10);
  EXPECT_EQ(scale.XMax, 90);
  EXPECT_EQ(scale.YMin, -1);
  EXPECT_EQ(scale.YMax, 1);
  EXPECT_EQ(scale.YMinMargin, 0.02L);
  EXPECT_EQ(scale.YMaxMargin, 0.03L);
  EXPECT_EQ(scale.DataMin, -3);
  EXPECT_EQ(scale.DataMax, 7);
}

TEST(ChartSettings, AStepThatCannotAdvanceIsRefused) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  struct Case {
    long double Minimum, Maximum, Step;
    bool Advances;
  };
  const Case cases[] = {
      {0, 1, 0.5L, true}, {0, 1, 0, false}, {0, 1, -1, false},    {0, 1, nan, false},
      {0, 0, 0, true},    {1, 0, -1, true}, {-5, 5, 1e-9L, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SamplingStepAdvances(c.Minimum, c.Maximum, c.Step), c.Advances)
        << c.Minimum << " " << c.Maximum << " " << c.Step;
  EXPECT_STRNE(StepNotPositiveMessage, "");
}

}  // namespace
