#include "GoalTestModel.h"
#include "expr/Express.h"
#include "ga/DerivedFunctions.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace sarvanta;
using sarvanta::test::kPeakTime;
using sarvanta::test::TTestModel;

TEST(DerivedFunctions, IntegratedEMGCountsImpulsesOfTheInterval) {
  TTestModel model;
  TMuscle* muscle = model.AddMuscle(model.Upper, model.Lower, 1);
  auto* second = new TMotorUnit(muscle, "U2", 0, 100, 1, 1, 10, 1, 20, 0, 0);
  muscle->AddMotorUnit(second);
  const long double train[] = {3, 4, 12, 20, 27};
  second->SetImpArray(train);  // the first unit fires at 0

  TIntEMG emg(nullptr, 1, "EMG");
  EXPECT_EQ(emg.Value(model.Root.get(), 3), 0);  // no muscle
  EXPECT_EQ(emg.Interval, 1);                    // an Interval of 0 is taken as 1 and kept
  emg.Muscle = muscle;
  EXPECT_EQ(emg.Value(model.Root.get(), 3.4L), 2);  // [3, 4]
  EXPECT_EQ(emg.Value(model.Root.get(), 0), 1);     // [0, 1]: the first unit's impulse
  emg.Interval = 10;
  // The window starts at t rounded to a multiple of Interval: 14 -> [10, 20], 24 -> [20, 30],
  // 26 -> [30, 40].
  EXPECT_EQ(emg.Value(model.Root.get(), 14), 2);
  EXPECT_EQ(emg.Value(model.Root.get(), 24), 2);
  EXPECT_EQ(emg.Value(model.Root.get(), 26), 0);
}

TEST(DerivedFunctions, ForceArmAndMuscleMoment) {
  TTestModel model;
  TMuscle* muscle = model.AddMuscle(model.Upper, model.Lower, 10);
  muscle->ForceArmPoly->Coefficients = {1, 2};  // 1 + 2 angle

  TForceArm arm(nullptr, 1, "Arm");
  EXPECT_EQ(arm.Value(model.Root.get(), 5), 0);  // no muscle
  arm.Muscle = muscle;
  EXPECT_EQ(arm.Value(model.Root.get(), 5), 1);  // empty angle text: the polynomial at 0
  arm.JointAngle = "t/10";
  EXPECT_NEAR(arm.Value(model.Root.get(), 5), 2, 1e-18);
  arm.JointAngle = "t/";  // a bad text reaches the caller
  EXPECT_THROW(arm.Value(model.Root.get(), 5), EExpressError);

  TMuscleMoment moment(nullptr, 1, "Moment");
  moment.Muscle = muscle;
  moment.JointAngle = "0.5";
  EXPECT_NEAR(moment.Value(model.Root.get(), kPeakTime), 10 * 2, 1e-12);

  auto rows = moment.ObjectDescription("Moment");
  ASSERT_EQ(rows->RowCount(), 3);
  EXPECT_EQ(rows->ClassCaption, "Moment");
  EXPECT_EQ(rows->Properties.Strings(1), "Joint Angle");
  EXPECT_EQ(rows->Row(2).Kind, 2048);
}

TEST(DerivedFunctions, ReactionForceModes) {
  TTestModel model;
  TReactionForce reaction(nullptr, 1, "Reaction");
  ASSERT_EQ(reaction.ModeList.Count(), 6);
  EXPECT_EQ(reaction.ModeList.Strings(0), "Modul incl. inert. forces");
  EXPECT_EQ(reaction.ModeList.Strings(5), "Modul");
  EXPECT_EQ(reaction.Value(model.Root.get(), 5), 0);  // no bones set

  reaction.FromBone = model.Upper;
  reaction.ToBone = model.Lower;
  const long double weight = 9.8L * 2;
  // No spanning muscle.
  reaction.Mode = 3;
  EXPECT_EQ(reaction.Value(model.Root.get(), 5), 0);
  reaction.Mode = 4;
  EXPECT_NEAR(reaction.Value(model.Root.get(), 5), weight, 1e-15);

  TMuscle* muscle = model.AddMuscle(model.Upper, model.Lower, 10);
  model.AddMuscle(model.Lower, model.Upper, 1000);  // opposite direction: no contribution
  muscle->ForceAnglePoly->Coefficients = {0};
  reaction.SetJointAngleExpression("0");  // phi = 0: all of the force along Y
  const long double t = kPeakTime;
  const long double expected[] = {std::fabs(weight - 10), 0, weight - 10, 0, weight - 10,
                                  std::fabs(weight - 10)};
  for (int mode = 0; mode < 6; ++mode) {
    reaction.Mode = mode;
    EXPECT_NEAR(reaction.Value(model.Root.get(), t), expected[mode], 1e-12) << mode;
  }
  // With the joint at a right angle the force acts along X.
  reaction.SetJointAngleExpression("pi/2");
  reaction.Mode = 3;
  EXPECT_NEAR(reaction.Value(model.Root.get(), t), 10, 1e-12);
  EXPECT_THROW(reaction.SetJointAngleExpression("pi/"), EExpressError);
}
