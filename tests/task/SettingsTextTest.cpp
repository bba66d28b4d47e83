#include "task/Limitations.h"
#include "task/OperationText.h"
#include "task/TaskSettings.h"

#include <gtest/gtest.h>

using namespace sarvanta;

TEST(TaskSettings, TextReadersFallBackToZeroAndRepairTheEdit) {
  TTaskSettings settings;
  settings.eFromMoment = "12.5";
  settings.eToMoment = "end";
  settings.ePrecision = "";
  EXPECT_EQ(GetFromMoment(settings), 12.5L);
  EXPECT_EQ(settings.eFromMoment, "12.5");
  EXPECT_EQ(GetToMoment(settings), 0.0L);
  EXPECT_EQ(settings.eToMoment, "0");
  EXPECT_EQ(GetPrecision(settings), 0.0L);
  EXPECT_EQ(settings.ePrecision, "0");
}

TEST(TaskSettings, TypingIntoTheFrameMirrorsOnlyForwards) {
  TTaskSettings settings;
  settings.eToMoment = "150";
  settings.eToMomentChange();
  EXPECT_EQ(settings.eShowTo, "150");
  settings.eShowTo = "90";  // typing into "to" leaves "end" alone
  EXPECT_EQ(settings.eToMoment, "150");
  settings.ePrecision = "0.5";
  settings.ePrecisionChange();
  EXPECT_EQ(settings.eVariablePrecision, "0.5");
  EXPECT_EQ(StopCriterionCaption(1), "Accuracy");
  EXPECT_EQ(StopCriterionCaption(-1), "Number of Steps");
}

TEST(OperationText, DescriptionsInsertPointCountsAtTheirMarker) {
  EXPECT_EQ(MutationDescr("Motor Unit Mutation Add Impulse", "2", "1", "0.5"),
            "Motor Unit 2-point Mutation Add Impulse, with Rnage = 1 and Probability 0.5");
  EXPECT_EQ(MutationDescr(MutationOperationItems[7], "1", "0.3", "1"),
            "Muscle 1-point Mutation  Change Muscle Activity, with Rnage = 0.3 and Probability 1");
  EXPECT_EQ(CrossoverDescr("Muscle Multi Point Crossover", "3", "0.8"),
            "Muscle Multi (3-point) Point Crossover, with Probability 0.8");
  EXPECT_EQ(CrossoverDescr(CrossoverOperationItems[5], "2", ""),
            "Motor Center  Multi (2-point) Point Crossover, with Probability ");
  EXPECT_EQ(CrossoverDescr("Muscle One Point Crossover", "3", "1"),
            "Muscle One Point Crossover, with Probability 1");
  EXPECT_EQ(CommonMutationDescr(CommonMutationOperationItems[1], "4", "0.2", "0"),
            "Motor Unit Multi (4-point) Point Common Synchronic Mutation , with Rnage = 0.2 and "
            "Probability 0");
}

TEST(OperationText, LevelsCodesAndComboIndexRoundTrip) {
  const int mutationLevels[] = {0, 0, 0, 0, 1, 1, 1, 2};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(OperationLevel(TOperationTab::Mutation, i), mutationLevels[i]) << i;
    EXPECT_EQ(OperationOpType(TOperationTab::Mutation, i), 1 << i);
    EXPECT_EQ(OperationComboIndex(OperationOpType(TOperationTab::Mutation, i)), i);
  }
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(OperationLevel(TOperationTab::Crossover, i), i / 2);
    EXPECT_EQ(OperationOpType(TOperationTab::Crossover, i), -(1 << i));
    EXPECT_EQ(OperationComboIndex(OperationOpType(TOperationTab::CommonMutation, i)), i);
  }
  EXPECT_EQ(OperationComboIndex(0), 0);
  EXPECT_EQ(OperationComboIndex(-1), 0);
  EXPECT_EQ(OperationComboIndex(24), 4);  // highest set bit decides
  EXPECT_EQ(OperationComboIndex(INT32_MIN), 31);
}

TEST(Limitations, ThreeLinesPerJointWithFiveDigits) {
  EXPECT_TRUE(LimitationLines({}).empty());
  TJointLimits elbow;
  elbow.Name = "Joint1";
  elbow.MinXAngle = 10;
  elbow.MaxXAngle = 90;
  elbow.MinYAngle = -1.234567L;
  elbow.MaxZAngle = 123456;
  const auto lines = LimitationLines({elbow, TJointLimits{}});
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "X joint angle for Joint1 must be in the interval: [10 , 90]");
  EXPECT_EQ(lines[1], "Y joint angle for Joint1 must be in the interval: [-1.2346 , 0]");
  EXPECT_EQ(lines[2], "Z joint angle for Joint1 must be in the interval: [0 , 1.2346E5]");
  EXPECT_EQ(lines[3], "X joint angle for  must be in the interval: [0 , 0]");
}
