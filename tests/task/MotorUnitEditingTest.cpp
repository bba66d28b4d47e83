// What the property dialogs do with motor units outside their windows: the nine parameters,
// shared values of a selection, chart ranges, typed number lists, periodical impulses and the
// units of one opening of the muscle dialog.
#include "base/Random.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "task/MomentLists.h"
#include "task/MotorUnitEditing.h"
#include "task/MuscleEditSession.h"

#include <gtest/gtest.h>

#include <vector>

namespace sarvanta {
namespace {

using P = TMUParameter;

const TMUParameterValues kValues = {3.288L, 30, 480, 0, 3, 30, 60, 120, 20};

TEST(MotorUnitEditing, ParametersGoToTheirFieldsAndTheTwitchShapeFollows) {
  TMotorUnit unit;
  WriteParameters(unit, kValues);
  EXPECT_EQ(unit.Fmax, 3.288L);
  EXPECT_EQ(unit.Tref, 30);
  EXPECT_EQ(unit.Tf, 480);
  EXPECT_EQ(unit.Fmin, 0);
  EXPECT_EQ(unit.Pow, 3);
  EXPECT_EQ(unit.Tc(), 30);
  EXPECT_EQ(unit.Tr(), 60);
  EXPECT_EQ(unit.Tl, 120);
  EXPECT_EQ(unit.LeadT, 20);
  EXPECT_EQ(ReadParameters(unit), kValues);

  std::unique_ptr<TMotorUnit> made(NewMotorUnit(nullptr, "MU", kValues));
  EXPECT_EQ(made->Descr, "MU");
  EXPECT_EQ(ReadParameters(*made), kValues);
  EXPECT_EQ(made->ShapeExponent(), unit.ShapeExponent());
  EXPECT_NE(unit.ShapeExponent(), 0);

  SetParameterOf(unit, P::Tc, 25);
  const TMotorUnit reference(nullptr, "", 0, 480, 3, 3.288L, 25, 30, 60, 120, 20);
  EXPECT_EQ(unit.ShapeExponent(), reference.ShapeExponent());
}

TEST(MotorUnitEditing, ASelectionSharesAValueOnlyWhenEveryUnitHoldsIt) {
  TMotorUnit a, b, c;
  for (TMotorUnit* unit : {&a, &b, &c}) WriteParameters(*unit, kValues);
  b.SetTc(25);
  std::vector<TMotorUnit*> ab{&a, &b}, ac{&a, &c}, none;
  EXPECT_EQ(CommonParameter(ac, P::Tc), 30);
  EXPECT_EQ(CommonParameter(ab, P::Tc), std::nullopt);
  EXPECT_EQ(CommonParameter(ab, P::FMax), 3.288L);
  EXPECT_EQ(CommonParameter(none, P::FMax), std::nullopt);

  const std::vector<long double> train{10, 50};
  a.SetImpArray(train);
  c.SetImpArray(train);
  EXPECT_TRUE(SameImpulses(ac));
  EXPECT_FALSE(SameImpulses(ab));
  EXPECT_FALSE(SameImpulses(none));
  std::vector<TMotorUnit*> justB{&b};
  EXPECT_TRUE(SameImpulses(justB));
}

TEST(MotorUnitEditing, ChartsEndAfterTheLastTwitch) {
  TMuscle muscle;
  TMotorUnit* first = NewMotorUnit(&muscle, "A", kValues);
  TMotorUnit* second = NewMotorUnit(&muscle, "B", kValues);
  muscle.AddMotorUnit(first);
  muscle.AddMotorUnit(second);
  EXPECT_EQ(UnitChartEnd(*first), 0);
  EXPECT_EQ(MuscleChartEnd(muscle), 0);
  const std::vector<long double> early{0, 100}, late{300};
  first->SetImpArray(early);
  second->SetImpArray(late);
  EXPECT_EQ(UnitChartEnd(*first), 100 + 120 + 20);
  EXPECT_EQ(PreviewChartEnd(*first), 100 + 120 + 30);
  EXPECT_EQ(MuscleChartEnd(muscle), 300 + 120 + 20);
  EXPECT_EQ(ForceChartStep(999), 1);
}

TEST(MomentLists, LinesConvertUpToTheFirstBadOne) {
  const TRealLines good = ParseRealLines({"5", " -1.5e1 ", "0.25"});
  EXPECT_TRUE(good.Ok());
  EXPECT_EQ(good.Values, (std::vector<long double>{5, -15, 0.25L}));
  const TRealLines bad = ParseRealLines({"5", "abc", "7"});
  EXPECT_EQ(bad.FirstBad, 1);
  EXPECT_EQ(bad.Values, (std::vector<long double>{5, 0, 0}));
  EXPECT_EQ(ParseRealLines({""}).FirstBad, 0);
  EXPECT_TRUE(ParseRealLines({}).Ok());
  EXPECT_EQ(StimulMessage(2), "Stimul 2 is not valid real number");
  EXPECT_EQ(CoefficientMessage(0), "Coefficient 0 is not valid real number");
}

TEST(MomentLists, PeriodicalBoxesFallBackAndReportOnlyTheCount) {
  struct Case {
    TPeriodicalText Text;
    std::vector<long double> Moments;
    bool PeriodReset, OffsetReset, CountBad;
  };
  const Case cases[] = {
      {{"10", "3", "5", "0"}, {5, 15, 25}, false, false, false},
      {{"20", "4", "", ""}, {0, 20, 40, 60}, false, false, false},
      {{"x", "2", "y", ""}, {0, 0}, true, true, false},
      {{"10", "x", "", ""}, {}, false, false, true},
      {{"10", "-1", "", ""}, {}, false, false, true},
      {{"10", "100001", "", ""}, {}, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text.Period + " " + c.Text.Count + " " + c.Text.Offset);
    const TPeriodical periodical = ReadPeriodical(c.Text);
    EXPECT_EQ(PeriodicMoments(periodical), c.Moments);
    EXPECT_EQ(periodical.PeriodReset, c.PeriodReset);
    EXPECT_EQ(periodical.OffsetReset, c.OffsetReset);
    EXPECT_EQ(periodical.CountBad, c.CountBad);
  }
  EXPECT_EQ(ReadPeriodical({"1", "1", "", "7"}).Variation, 7);
  EXPECT_EQ(ReadPeriodical({"1", "1", "", "7.5"}).Variation, 0);
}

TEST(MomentLists, VariationDrawsASignThenAnAmountFromTheGenerator) {
  const TPeriodical periodical = ReadPeriodical({"10", "3", "5", "4"});
  TRandom random;
  random.State = 0;
  const auto moments = VariedPeriodicMoments(periodical, random);
  ASSERT_EQ(moments.size(), 3u);
  // State 0: the sign draw gives state 1 and s = 0, the amount draw state 134775814.
  EXPECT_EQ(moments[0], 134775814 * 0x1p-32L * 4 + 5);
  for (size_t i = 0; i < moments.size(); ++i) EXPECT_NEAR(moments[i], 5 + 10.0 * i, 4);
  TRandom replay;
  replay.State = 0;
  for (int i = 0; i < 6; ++i) replay.Next();
  EXPECT_EQ(random.State, replay.State);
}

class MuscleEditSessionTest : public ::testing::Test {
 protected:
  MuscleEditSessionTest() {
    for (const char* name : {"A", "B"}) muscle->AddMotorUnit(NewMotorUnit(muscle, name, kValues));
  }
  std::vector<TMotorUnit*> Listed() const {
    std::vector<TMotorUnit*> units;
    for (int i = 0; i < muscle->MotorUnits.Count(); ++i) units.push_back(muscle->MotorUnit(i));
    return units;
  }
  TMechanicalSystem system;
  TMuscle* muscle = new TMuscle(&system, "M");
};

TEST_F(MuscleEditSessionTest, CancelFreesNewUnitsAndGivesBackRemovedOnes) {
  const auto before = Listed();
  const int owned = muscle->ComponentCount();
  {
    TMuscleEditSession session(*muscle);
    TMotorUnit* added = session.NewUnit("C", kValues);
    EXPECT_EQ(added->Owner(), muscle);
    EXPECT_EQ(muscle->MotorUnits.Count(), 2);
    session.Remove(before[0]);
    session.Commit({{"B", before[1]}, {"C", added}});
    EXPECT_EQ(muscle->MotorUnits.Count(), 2);
    session.Cancel();
  }
  EXPECT_EQ(Listed(), before);
  EXPECT_EQ(muscle->ComponentCount(), owned);
  EXPECT_EQ(muscle->MotorUnits.Strings(0), "A");
}

TEST_F(MuscleEditSessionTest, FinishKeepsTheLinesAndFreesTheRemovedUnits) {
  const auto before = Listed();
  const int owned = muscle->ComponentCount();
  TMuscleEditSession session(*muscle);
  TMotorUnit* kept = session.NewUnit("C", kValues);
  TMotorUnit* dropped = session.NewUnit("D", kValues);
  session.Remove(dropped);
  EXPECT_EQ(muscle->ComponentCount(), owned + 1);
  session.Remove(before[0]);
  session.Finish({{"B", before[1]}, {"C", kept}});
  EXPECT_EQ(Listed(), (std::vector<TMotorUnit*>{before[1], kept}));
  EXPECT_EQ(muscle->ComponentCount(), owned);
}

TEST_F(MuscleEditSessionTest, ASessionLeftWithoutAnAnswerCancels) {
  const auto before = Listed();
  const int owned = muscle->ComponentCount();
  { TMuscleEditSession(*muscle).NewUnit("C", kValues); }
  EXPECT_EQ(Listed(), before);
  EXPECT_EQ(muscle->ComponentCount(), owned);
}

}  // namespace
}  // namespace sarvanta
