#include "GoalTestModel.h"
#include "base/Exception.h"
#include "expr/Express.h"
#include "ga/GoalKinematic.h"
#include "ga/GoalLoadSharing.h"
#include "ga/GoalMath.h"
#include "ga/TaskFile.h"
#include "model/ProjectFile.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace sarvanta;
using sarvanta::test::kPeakTime;
using sarvanta::test::TTestModel;

namespace {

// One estimation as an evaluation round makes it: prepared first.
long double Estimate(TGoalFunction& goal, TChromosome* root) {
  goal.PrepareEstimation();
  return goal.Estimation(root);
}

}  // namespace

TEST(GoalFunction, CaptionsKindsAndExpressionDefaults) {
  TGFMinimalForce force(nullptr, 1, "anything stored");
  EXPECT_EQ(force.GetDescription(), "Minimal aggregate force");
  // The stored "Descr" value reads as the caption whatever text was stored.
  const TPropertyInfo& descr = force.ClassInfo().Properties[2];
  EXPECT_EQ(descr.Name, "Descr");
  EXPECT_EQ(descr.GetString(force), "Minimal aggregate force");
  EXPECT_EQ(force.Descr, "anything stored");

  EXPECT_EQ(TGFMinimalMUActivation(nullptr, 1, "").GoalType, 1);
  EXPECT_EQ(TGFMinimalFatigue(nullptr, 1, "").GoalType, 2);
  EXPECT_EQ(TGFMinimalJointReaction(nullptr, 1, "").GoalType, 3);
  EXPECT_EQ(TGFPCSAbased(nullptr, 1, "").GoalType, 4);
  EXPECT_EQ(TGFJointAngle(nullptr, 1, "").GoalType, 6);
  EXPECT_EQ(TGFBonePosition(nullptr, 1, "").GoalType, 7);
  EXPECT_EQ(TGFJointAngleCheckPoints(nullptr, 1, "").GoalType, 8);
  EXPECT_EQ(TGFBonePosCheckPoint(nullptr, 1, "").GetDescription(), "Bone position chacks point");

  TGFBonePosition position(nullptr, 1, "");
  EXPECT_EQ(position.Expression, "t");
  EXPECT_EQ(position.A, 0);
  position.UpdateExpression();
  EXPECT_EQ(position.ExpressionValue(5), 5);
  position.Expression = "a*t+b";
  position.A = 2;
  position.B = 3;
  position.UpdateExpression();
  EXPECT_EQ(position.ExpressionValue(5), 13);
  position.Expression = "2t";  // does not compile: the text stays, the error reaches the caller
  EXPECT_THROW(position.UpdateExpression(), EExpressError);
  EXPECT_EQ(position.Expression, "2t");
}

TEST(GoalFunction, RowsOfTheInspector) {
  TGFPCSAbased pcsa(nullptr, 1, "");
  auto rows = pcsa.ObjectDescription("Goal1");
  EXPECT_EQ(rows->ClassCaption, "Minimal sum (1/PCSA)^n");
  ASSERT_EQ(rows->RowCount(), 4);
  EXPECT_EQ(rows->Properties.Strings(0), "Name");
  EXPECT_EQ(rows->Properties.Strings(1), "Weight");
  EXPECT_EQ(rows->Properties.Strings(3), "Antagonist dif. signs ");
  EXPECT_EQ(rows->Row(3).Name, "Antagonist dif. signs");
  EXPECT_EQ(rows->Row(3).Kind, 64);

  TGFJointAngleCheckPoints checks(nullptr, 1, "");
  rows = checks.ObjectDescription("Goal2");
  ASSERT_EQ(rows->RowCount(), 6);
  EXPECT_EQ(rows->Properties.Strings(4), "Angle Displacement");
  TProperty* moments = rows->FindRow("Moments");
  ASSERT_NE(moments, nullptr);
  std::get<TFloatArrayValue>(moments->Value).Set({1, 2, 3});
  EXPECT_EQ(checks.MomentsCnt, 3);
  EXPECT_EQ(checks.Moments.size(), 3u);
}

TEST(GoalFunction, LoadSharingGoalsWithoutRealMusclesGiveZero) {
  TTestModel model;
  TGoalFunction* goals[] = {
      new TGFMinimalForce(nullptr, 1, ""), new TGFMinimalMUActivation(nullptr, 1, ""),
      new TGFMinimalFatigue(nullptr, 1, ""), new TGFPCSAbased(nullptr, 1, "")};
  for (TGoalFunction* goal : goals) {
    EXPECT_EQ(goal->Estimation(model.Root.get()), 0);
    EXPECT_EQ(goal->Result(model.Root.get(), 3), 0);
    EXPECT_EQ(goal->Goal(model.Root.get(), 3), 0);
    delete goal;
  }
}

TEST(GoalFunction, MinimalAggregateForce) {
  TTestModel model;
  TMuscle* a = model.AddMuscle(model.Upper, model.Lower, 10);
  TMuscle* b = model.AddMuscle(model.Upper, model.Lower, 20);
  TGFMinimalForce goal(nullptr, 1, "");
  // M counts the placeholder: (10 + 20) / 3.
  EXPECT_NEAR(goal.Result(model.Root.get(), kPeakTime), 10, 1e-12);

  // Every cache entry, divided by k = 10 points, then by M.
  model.SetSamples(a, std::vector<long double>(11, 2));
  model.SetSamples(b, std::vector<long double>(11, 4));
  EXPECT_NEAR(Estimate(goal, model.Root.get()), (22.0L / 10 + 44.0L / 10) / 3, 1e-15);

  model.Frame.Precision = 0;  // no estimation points: a math error ends the step
  EXPECT_THROW(Estimate(goal, model.Root.get()), EMathError);
}

TEST(GoalFunction, MinimalMotorUnitActivation) {
  TTestModel model;
  model.Frame.SetFrame(false, false, 0, 100, 1, 1, 0, 10);
  auto* muscle = new TMuscle(&model.System, "M");
  auto* five = new TMotorUnit(muscle, "five", 0, 100, 1, 1, 10, 10, 20, 0, 0);
  auto* none = new TMotorUnit(muscle, "none", 0, 100, 1, 1, 10, 10, 20, 0, 0);
  muscle->AddMotorUnit(five);
  muscle->AddMotorUnit(none);
  const long double train[] = {0, 10, 20, 30, 40};
  five->SetImpArray(train);
  TGFMinimalMUActivation goal(nullptr, 1, "");
  // N = 100 / 10 = 10; ImpCnt 4: (4/10 + 0) / 2 units = 0.2, divided by M = 2.
  EXPECT_NEAR(Estimate(goal, model.Root.get()), 0.1L, 1e-18);
  EXPECT_NEAR(goal.Result(model.Root.get(), 45), (five->Force(45) + 0) / 2 / 2, 1e-18);

  five->Tref = 0;  // the most impulses of a unit cannot be computed
  EXPECT_THROW(Estimate(goal, model.Root.get()), EMathError);
}

TEST(GoalFunction, MinimalFatigueMeasuresThePeakLossOfEachImpulse) {
  TTestModel model;
  model.Frame.SetFrame(false, false, 0, 100, 1, 1, 0, 10);
  auto* muscle = new TMuscle(&model.System, "M");
  auto* unit = new TMotorUnit(muscle, "U", 0, 25, 1, 1, 10, 10, 20, 0, 0);  // Tf 25, Tref 10
  muscle->AddMotorUnit(unit);
  TGFMinimalFatigue goal(nullptr, 1, "");
  EXPECT_EQ(Estimate(goal, model.Root.get()), 0);  // no impulses, no fatigue

  const long double train[] = {0, 10, 20, 150};  // 150 lies outside the window
  unit->SetImpArray(train);
  // Earlier impulses within 25 ms: 0, 1, 2 -> shares 0, 0.4, 0.8; N = 10; one unit; M = 2.
  EXPECT_NEAR(Estimate(goal, model.Root.get()), 1.2L / 10 / 2, 1e-18);
  EXPECT_NEAR(goal.Result(model.Root.get(), 15), 0.4L / 2, 1e-18);
  EXPECT_EQ(goal.Result(model.Root.get(), -1), 0);
  EXPECT_EQ(goal.Goal(model.Root.get(), 15), 0);

  // Counts that repeat with a broken exponent: every impulse's share is the power of its own
  // count. The count runs from the index where the binary search for t - Tf stops, so the
  // impulse at 40 counts 3.
  unit->Pow = 1.5L;
  const long double regular[] = {0, 10, 20, 30, 40, 50};
  unit->SetImpArray(regular);
  long double shares = 0;
  for (int k : {0, 1, 2, 2, 3, 2}) shares += GeneralPower(k * 10.0L / 25, 1.5L);
  EXPECT_EQ(Estimate(goal, model.Root.get()), shares / 10 / 2);
  // A negative exponent fails at the first impulse (no earlier one: 0 to a negative power).
  unit->Pow = -1;
  EXPECT_THROW(Estimate(goal, model.Root.get()), EZeroDivide);
}

TEST(GoalFunction, PCSABasedWithAndWithoutSigns) {
  TTestModel model;
  TMuscle* muscle = model.AddMuscle(model.Upper, model.Lower, 10);
  muscle->PCSAPoly->Coefficients = {2};
  muscle->ForceArmPoly->Coefficients = {0};  // Sign(0) is -1
  TGFPCSAbased goal(nullptr, 1, "");
  goal.n = 1;
  EXPECT_NEAR(goal.Result(model.Root.get(), kPeakTime), 5, 1e-15);
  goal.UseSigns = true;
  EXPECT_NEAR(goal.Result(model.Root.get(), kPeakTime), -5, 1e-15);
  goal.n = 2;
  model.SetSamples(muscle, {2, 4});
  EXPECT_NEAR(Estimate(goal, model.Root.get()), (1.0L + 4.0L) / 10, 1e-18);
  goal.n = 0.5L;  // a negative base with a broken exponent is a math error
  EXPECT_THROW(Estimate(goal, model.Root.get()), EInvalidOp);
  muscle->PCSAPoly->Coefficients = {0};
  EXPECT_THROW(goal.Result(model.Root.get(), kPeakTime), EMathError);
}

TEST(GoalFunction, GeneralPowerAndCheckedDivide) {
  EXPECT_EQ(GeneralPower(-3, 0), 1);
  EXPECT_EQ(GeneralPower(0, 2.5L), 0);
  EXPECT_EQ(GeneralPower(-2, 3), -8);
  EXPECT_EQ(GeneralPower(2, -2), 0.25L);
  EXPECT_NEAR(GeneralPower(4, 0.5L), 2, 1e-18);
  EXPECT_THROW(GeneralPower(0, -1), EZeroDivide);
  EXPECT_THROW(GeneralPower(-4, 0.5L), EInvalidOp);
  EXPECT_THROW(GeneralPower(1e4000L, 3), EOverflow);
  EXPECT_THROW(CheckedDivide(1, 0), EZeroDivide);
  EXPECT_THROW(CheckedDivide(0, 0), EInvalidOp);
  EXPECT_EQ(Sign(0), -1);
  EXPECT_EQ(Sign(0.1L), 1);
}

TEST(GoalFunction, JointReactionOfTheBoneAlone) {
  TTestModel model;
  TGFMinimalJointReaction goal(nullptr, 1, "");
  goal.FromBoneInd = 1;
  goal.ToBoneInd = 2;
  for (const char* angle : {"0", "0.7", "-2"}) {  // constant angle: only the weight, 9.8 * 2
    goal.Expression = angle;
    EXPECT_NEAR(goal.Result(model.Root.get(), 4), 19.6L, 1e-15) << angle;
  }
  goal.Expression = "";  // an empty angle is "0", and stays so
  EXPECT_NEAR(Estimate(goal, model.Root.get()), 19.6L * 11 / 10, 1e-14);
  EXPECT_EQ(goal.Expression, "0");
  EXPECT_EQ(goal.ToBone, model.Lower);

  goal.ToBoneInd = 7;  // no such bone
  EXPECT_EQ(goal.Result(model.Root.get(), 4), 0);
  EXPECT_EQ(Estimate(goal, model.Root.get()), 0);
}

TEST(GoalFunction, JointReactionWithASpanningMuscle) {
  TTestModel model;
  TMuscle* muscle = model.AddMuscle(model.Upper, model.Lower, 10);
  model.AddMuscle(model.Lower, model.Upper, 50);  // the opposite direction does not count
  muscle->ForceAnglePoly->Coefficients = {0};
  TGFMinimalJointReaction goal(nullptr, 1, "");
  goal.FromBoneInd = 1;
  goal.ToBoneInd = 2;
  goal.Expression = "0";
  // phi = 0: Rx = 0, Ry = 10; |9.8 * 2 - 10|.
  EXPECT_NEAR(goal.Result(model.Root.get(), kPeakTime), 9.6L, 1e-14);
  // Cached forces at the points: sample i is used at t_i.
  std::vector<long double> samples(11, 0);
  samples[3] = 19.6L;
  model.SetSamples(muscle, samples);
  EXPECT_NEAR(Estimate(goal, model.Root.get()), 19.6L * 10 / 10, 1e-14);
}

TEST(GoalFunction, JointAngleMoments) {
  TTestModel model;
  TGFJointAngle goal(nullptr, 1, "");
  goal.FromBoneInd = 1;
  goal.ToBoneInd = 2;
  goal.Expression = "0";  // constant 0: no required moment
  EXPECT_EQ(goal.Goal(model.Root.get(), 5), 0);
  goal.Expression = "0.5";  // constant: R = L 4.9 m sin c
  EXPECT_NEAR(goal.Goal(model.Root.get(), 5), 0.5L * 4.9L * 2 * std::sin(0.5L), 1e-15);
  goal.Expression = "0.001*t";  // linear: no acceleration up to rounding
  EXPECT_NEAR(goal.Goal(model.Root.get(), 5), 0.5L * 4.9L * 2 * std::sin(0.005L), 1e-6);
  goal.Expression = "t*t/1000000";  // theta'' = 2 rad/s^2: I alpha = 3 * 2
  EXPECT_NEAR(goal.Goal(model.Root.get(), 0), 6, 1e-6);

  TMuscle* muscle = model.AddMuscle(model.Upper, model.Lower, 10);
  muscle->ForceArmPoly->Coefficients = {0.04L};
  goal.Expression = "0";
  EXPECT_NEAR(goal.Result(model.Root.get(), kPeakTime), 0.4L, 1e-15);
  // |S_i - R| over 11 points with cached forces 1 and R = 0, divided by k = 10.
  model.SetSamples(muscle, std::vector<long double>(11, 1));
  EXPECT_NEAR(Estimate(goal, model.Root.get()), 0.04L * 11 / 10, 1e-15);

  goal.ToBoneInd = 0;  // no distal bone: the goal gives 0
  EXPECT_EQ(goal.Goal(model.Root.get(), 5), 0);
  EXPECT_EQ(Estimate(goal, model.Root.get()), 0);
}

TEST(GoalFunction, JointAngleCheckPoints) {
  TTestModel model;
  TGFJointAngleCheckPoints goal(nullptr, 1, "");
  goal.FromBoneInd = 1;
  goal.ToBoneInd = 2;
  EXPECT_EQ(Estimate(goal, model.Root.get()), 0);  // no moments
  goal.Expression = "t/10";
  goal.Moments = {5, 10};
  // Zero muscle forces: the mean of |R| at the moments.
  const long double r5 = 0.5L * 4.9L * 2 * std::sin(0.5L);
  const long double r10 = 0.5L * 4.9L * 2 * std::sin(1.0L);
  EXPECT_NEAR(Estimate(goal, model.Root.get()), (r5 + r10) / 2, 1e-6);
}

TEST(GoalFunction, ResultsOfAWholeCurveAreTheResultsOfSingleTimes) {
  TMechanicalSystem system;
  LoadSystemFromFile(system, std::string(SARVANTA_EXAMPLES_DIR) + "/elbow.svt");
  TTimeFrame frame;
  frame.SetFrame(false, false, 0, 400, 1, 1, 0, 400);
  TMovementCenterGeneticControl root(nullptr, &frame, &system);
  auto angle = std::make_unique<TGFJointAngle>(nullptr, 1, "");
  auto reaction = std::make_unique<TGFMinimalJointReaction>(nullptr, 1, "");
  for (TGoalFunctionExpression* goal : {static_cast<TGoalFunctionExpression*>(angle.get()),
                                        static_cast<TGoalFunctionExpression*>(reaction.get())}) {
    goal->Expression = "0.4+0.3*sin(t/70)";
    goal->UpdateExpression();
  }
  angle->FromBoneInd = reaction->FromBoneInd = 1;
  angle->ToBoneInd = reaction->ToBoneInd = 2;
  auto pcsa = std::make_unique<TGFPCSAbased>(nullptr, 1, "");
  pcsa->n = 2;
  std::vector<std::unique_ptr<TGoalFunction>> goals;
  goals.push_back(std::make_unique<TGFMinimalForce>(nullptr, 1, ""));
  goals.push_back(std::make_unique<TGFMinimalMUActivation>(nullptr, 1, ""));
  goals.push_back(std::make_unique<TGFMinimalFatigue>(nullptr, 1, ""));
  goals.push_back(std::move(pcsa));
  goals.push_back(std::move(angle));
  goals.push_back(std::move(reaction));
  std::vector<long double> times;
  for (long double t = -20; t < 450; t += 1.7L) times.push_back(t);
  for (const auto& goal : goals) {
    std::vector<long double> values(times.size(), -1);
    goal->Results(&root, times, values);
    long double largest = 0;
    for (size_t i = 0; i < times.size(); ++i) {
      ASSERT_EQ(values[i], goal->Result(&root, times[i])) << goal->GetDescription() << " " << i;
      largest = std::max(largest, std::fabs(values[i]));
    }
    EXPECT_GT(largest, 0) << goal->GetDescription();  // the curve is not trivially zero
  }
}
