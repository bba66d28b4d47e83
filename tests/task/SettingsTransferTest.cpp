#include "base/Exception.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticOperation.h"
#include "ga/GoalFunction.h"
#include "model/TimeFrame.h"
#include "task/SettingsTransfer.h"
#include "task/TaskEditing.h"
#include "task/TaskViews.h"

#include <gtest/gtest.h>

#include <string>

using namespace sarvanta;

namespace {

// Runs `action` and returns the message of the conversion error it raised ("" for none).
template <typename F>
std::string ConversionMessage(F action) {
  try {
    action();
  } catch (const EConvertError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(SettingsTransfer, PageDefaultsPrepareARunOverZeroToTwoHundred) {
  TGeneticAlgorithm algorithm;
  TTaskSettings settings;
  TChartScales scales;
  scales[0].AutoFlags = 0;
  PrepareFreshRun(settings, algorithm, scales);
  EXPECT_EQ(algorithm.PopulationSize, 4);
  EXPECT_EQ(algorithm.NumberOfSteps, 1000);
  EXPECT_EQ(scales[0].AutoFlags, 15);
  const TTimeFrame& frame = *algorithm.TimeFrame;
  EXPECT_EQ(frame.FromMoment, 0.0L);
  EXPECT_EQ(frame.ToMoment, 200.0L);
  EXPECT_EQ(frame.CtrlExt(), 40.0L);
  EXPECT_EQ(frame.CtrlStart, 0.0L);  // only the preceding extension
  EXPECT_EQ(frame.CtrlEnd, 240.0L);
  EXPECT_EQ(frame.Precision, 2.0L);
  EXPECT_EQ(frame.StopPrec, 2.0L);
  EXPECT_EQ(frame.FrameSize, 50.0L);
  EXPECT_TRUE(frame.FixedStart());
  EXPECT_EQ(frame.OscRange, 0.0L);
  EXPECT_EQ(algorithm.OscilateOnEach, 10);
  EXPECT_EQ(algorithm.MoveFrameWith, 2.0L);
  EXPECT_EQ(algorithm.MoveOnEach, 10);
  EXPECT_EQ(algorithm.StopMoveAfter, 60.0L);
  EXPECT_EQ(algorithm.StopChangePrecAfter, 100.0L);
  // The combos apply the items they show: roulette wheel for mutation and crossover, fittest
  // reinsertion, weighted sum, no initialisation, a number of steps.
  EXPECT_EQ(algorithm.SelFuncForMutation, 2);
  EXPECT_EQ(algorithm.SelFuncForCrossover, 2);
  EXPECT_EQ(algorithm.SelFuncForReinsertion, 0);
  EXPECT_EQ(algorithm.FitnessFunction, 0);
  EXPECT_EQ(algorithm.SelInitializationFunc, 0);
  EXPECT_EQ(algorithm.StopCriterion, 0);
  EXPECT_EQ(algorithm.InitActivation, 0.0L);
  // The visible frame is not part of a run's preparation.
  EXPECT_EQ(algorithm.VisibleFrameEnd, 0.0L);
}

TEST(SettingsTransfer, ConversionErrorsNameTheTextAndKeepEarlierValues) {
  TGeneticAlgorithm algorithm;
  TChartScales scales;
  TTaskSettings settings;
  settings.ePopulationSize = "6";
  settings.eNumberOfSteps = "0.01";
  settings.cbStopCriterion = StopCriterionAccuracy;
  // A run always reads the steps box as an integer: "Accuracy" with 0.01 stops preparation.
  EXPECT_EQ(ConversionMessage([&] { PrepareFreshRun(settings, algorithm, scales); }),
            "'0.01' is not a valid integer value");
  EXPECT_EQ(algorithm.PopulationSize, 6);
  EXPECT_EQ(algorithm.TimeFrame->ToMoment, 0.0L);  // the frame was never reached

  // Leaving the box stores the accuracy and leaves NumberOfSteps alone.
  algorithm.NumberOfSteps = 77;
  GeneralOptionExit(settings, algorithm);
  EXPECT_EQ(algorithm.AccuracyTreshold, 0.01L);
  EXPECT_EQ(algorithm.NumberOfSteps, 77);
  EXPECT_EQ(algorithm.StopCriterion, 1);

  settings = TTaskSettings{};
  settings.eToMoment = "2OO";
  EXPECT_EQ(ConversionMessage([&] { TimeFrameExit(settings, algorithm); }),
            "'2OO' is not a valid floating point value");
  EXPECT_EQ(algorithm.TimeFrame->ToMoment, 0.0L);  // the frame changes all at once or not at all

  settings = TTaskSettings{};
  settings.eShowTo = "";
  algorithm.AlwaysUseVisFrame = true;
  EXPECT_EQ(ConversionMessage([&] { TimeFrameExit(settings, algorithm); }),
            "'' is not a valid floating point value");
  EXPECT_EQ(algorithm.TimeFrame->ToMoment, 200.0L);
  EXPECT_EQ(algorithm.VisibleFrameStart, 0.0L);
  EXPECT_TRUE(algorithm.AlwaysUseVisFrame);  // after the failing value: not copied
}

TEST(SettingsTransfer, TimeFrameExitOscillationAndPrecisionChange) {
  TGeneticAlgorithm algorithm;
  TTaskSettings settings;
  settings.eOscStep = "3";
  settings.eVariablePrecision = "1";
  settings.cbAlwaysShowFrame = true;
  settings.eShowFrom = "20";
  TimeFrameExit(settings, algorithm);
  EXPECT_EQ(algorithm.TimeFrame->OscRange, 0.0L);  // oscillation unchecked
  EXPECT_TRUE(algorithm.PrecChanging);
  EXPECT_TRUE(algorithm.AlwaysUseVisFrame);
  EXPECT_EQ(algorithm.VisibleFrameStart, 20.0L);
  EXPECT_EQ(algorithm.VisibleFrameEnd, 200.0L);
  EXPECT_EQ(algorithm.VisiblePrecision, 2.0L);
  settings.cbOscilate = true;
  TimeFrameExit(settings, algorithm);
  EXPECT_EQ(algorithm.TimeFrame->OscRange, 3.0L);

  TTimeFrame& frame = *algorithm.TimeFrame;
  frame.OscRange = 0;
  cbOscilateClick(settings, frame);
  EXPECT_EQ(settings.eOscStep, "1");
  EXPECT_EQ(frame.OscRange, 1.0L);
  frame.OscRange = 2.5L;
  cbOscilateClick(settings, frame);
  EXPECT_EQ(settings.eOscStep, "2.5");
  settings.cbOscilate = false;
  cbOscilateClick(settings, frame);
  EXPECT_EQ(settings.eOscStep, "0");
  EXPECT_EQ(frame.OscRange, 0.0L);
}

TEST(SettingsTransfer, LoadedTaskIsShownOnThePages) {
  TGeneticAlgorithm algorithm;
  algorithm.TimeFrame->SetFrame(false, false, 10, 150, 0.5L, 0.25L, 20, 30);
  algorithm.TimeFrame->OscRange = 1.5L;
  algorithm.PopulationSize = 8;
  algorithm.NumberOfSteps = 300;
  algorithm.MoveOnEach = 5;
  algorithm.MoveFrameWith = 2.5L;
  algorithm.CommonMutPerStep = 3;
  algorithm.SetFunctions(0, 2, 1, 1, 2, 1, 0.3L);
  TTaskSettings settings;
  ShowLoadedTask(settings, algorithm);
  EXPECT_EQ(settings.eFromMoment, "10");
  EXPECT_EQ(settings.eToMoment, "150");
  EXPECT_EQ(settings.eCtrlExt, "20");
  EXPECT_EQ(settings.ePrecision, "0.5");
  EXPECT_EQ(settings.eVariablePrecision, "0.25");
  EXPECT_EQ(settings.eFrameSize, "30");
  EXPECT_FALSE(settings.cbFixedStart);
  EXPECT_FALSE(settings.cbPrecedingCtrlExt);
  EXPECT_TRUE(settings.cbOscilate);
  EXPECT_EQ(settings.eOscStep, "1.5");
  EXPECT_EQ(settings.ePopulationSize, "8");
  EXPECT_EQ(settings.eNumberOfSteps, "300");
  EXPECT_EQ(settings.eOnStep, "5");
  EXPECT_EQ(settings.eMoveWith, "2.5");
  EXPECT_EQ(settings.eCOmMutPerStep, "3");
  // An empty visible frame becomes the evaluation window, in the algorithm too.
  EXPECT_EQ(settings.eShowFrom, "10");
  EXPECT_EQ(settings.eShowTo, "150");
  EXPECT_EQ(settings.eShowWithPrecision, "0.5");
  EXPECT_EQ(algorithm.VisibleFrameEnd, 150.0L);
  EXPECT_EQ(settings.cbForMutation, 0);
  EXPECT_EQ(settings.cbForCrossover, 2);
  EXPECT_EQ(settings.cbForReinsertion, 1);
  EXPECT_EQ(settings.cbMethod, 1);
  EXPECT_EQ(settings.cbInitMethod, 2);
  EXPECT_EQ(settings.cbStopCriterion, 1);
  EXPECT_EQ(settings.eInitParameter, "0.3");

  // Shown and transferred back, the task is unchanged.
  TGeneticAlgorithm copy;
  TransferBeforeSave(settings, copy);
  TimeFrameExit(settings, copy);
  settings.cbStopCriterion = 0;  // so that the steps box reaches NumberOfSteps
  GeneralOptionExit(settings, copy);
  EXPECT_EQ(copy.TimeFrame->CtrlStart, algorithm.TimeFrame->CtrlStart);
  EXPECT_EQ(copy.TimeFrame->OscRange, 1.5L);
  EXPECT_EQ(copy.NumberOfSteps, 300);
  EXPECT_EQ(copy.SelFuncForCrossover, 2);
  EXPECT_EQ(copy.VisiblePrecision, 0.5L);
}

TEST(TaskEditing, StandardGoalsAndOperationsEnterTheAlgorithm) {
  TGeneticAlgorithm algorithm;
  EXPECT_EQ(CreateStandardGoal(5, algorithm), nullptr);
  EXPECT_EQ(CreateStandardGoal(10, algorithm), nullptr);
  TGoalFunction* angle = CreateStandardGoal(6, algorithm);
  TGoalFunction* force = CreateStandardGoal(0, algorithm);
  ASSERT_NE(angle, nullptr);
  ASSERT_EQ(algorithm.Goals.Count(), 2);
  EXPECT_EQ(algorithm.Goals.Strings(0), "Joint angle");
  EXPECT_EQ(angle->GoalType, 6);
  EXPECT_EQ(force->Weight, 1.0L);

  TTaskSettings settings;
  settings.emNumberOfPoints = "2";
  settings.emProbabilityDependance = "0.5";
  TGeneticOperation* add = AddOperation(TOperationTab::Mutation, 2, settings, algorithm);
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(add->Level, 0);
  EXPECT_EQ(add->OpType, 4);
  EXPECT_EQ(add->NumberOfPoints, 2);
  EXPECT_EQ(add->OpProbability, 0.5L);
  EXPECT_EQ(algorithm.Operations.Strings(0),
            "Motor Unit 2-point Mutation Add Impulse, with Rnage = 1 and Probability 0.5");

  // The crossover's probability box starts empty: empty reads as 0. A text that is not a
  // number adds nothing.
  TGeneticOperation* plain = AddOperation(TOperationTab::Crossover, 0, settings, algorithm);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->OpProbability, 0.0L);
  EXPECT_EQ(algorithm.Operations.Strings(1), "Motor Unit One Point Crossover, with Probability 0");
  delete plain;
  settings.ecProbabilityDependance = "0.8x";
  EXPECT_EQ(
      ConversionMessage([&] { AddOperation(TOperationTab::Crossover, 3, settings, algorithm); }),
      "'0.8x' is not a valid floating point value");
  EXPECT_EQ(algorithm.Operations.Count(), 1);
  settings.ecProbabilityDependance = "0.8";
  settings.ecNumberOfPoints = "3";
  TGeneticOperation* cross = AddOperation(TOperationTab::Crossover, 3, settings, algorithm);
  EXPECT_EQ(cross->Level, 1);
  EXPECT_EQ(cross->OpType, -8);
  EXPECT_EQ(algorithm.Operations.Count(), 2);
  settings.ecmRange = "0.25";
  TGeneticOperation* common = AddOperation(TOperationTab::CommonMutation, 2, settings, algorithm);
  EXPECT_EQ(common->Level, 1);
  EXPECT_EQ(AddOperation(TOperationTab::Mutation, 8, settings, algorithm), nullptr);

  // Showing an operation recovers its tab, combo index and edits.
  TTaskSettings shown;
  EXPECT_EQ(ShowOperation(*cross, shown), 3);
  EXPECT_EQ(OperationTabOf(*cross), TOperationTab::Crossover);
  EXPECT_EQ(shown.ecNumberOfPoints, "3");
  EXPECT_EQ(shown.ecProbabilityDependance, "0.8");
  EXPECT_EQ(ShowOperation(*common, shown), 2);
  EXPECT_EQ(shown.ecmRange, "0.25");
  EXPECT_EQ(OperationTabOf(*add), TOperationTab::Mutation);

  const TReportTask report = ReportTaskOf(algorithm);
  ASSERT_EQ(report.Goals.size(), 2u);
  EXPECT_EQ(report.Goals[1].Caption, "Minimal aggregate force");
  ASSERT_EQ(report.Operations.size(), 3u);
  EXPECT_EQ(report.Operations[0].Kind, TReportOperationKind::Mutation);
  EXPECT_EQ(report.Operations[1].Kind, TReportOperationKind::Crossover);
  EXPECT_EQ(report.Operations[1].Descr,
            "Muscle Multi (3-point) Point Crossover, with Probability 0.8");
  EXPECT_EQ(report.Operations[2].Kind, TReportOperationKind::CommonMutation);
}

TEST(SettingsTransfer, ALoadedMinusOneShowsTheItemTheAlgorithmApplies) {
  TGeneticAlgorithm algorithm;
  algorithm.SetFunctions(-1, -1, -1, -1, -1, -1, 0.0L);
  TTaskSettings settings;
  ShowLoadedTask(settings, algorithm);
  EXPECT_EQ(settings.cbForReinsertion, -1);
  ShowAppliedFunctions(settings);
  EXPECT_EQ(settings.cbForMutation, 1);  // random selection
  EXPECT_EQ(settings.cbForCrossover, 1);
  EXPECT_EQ(settings.cbForReinsertion, 2);  // roulette wheel
  EXPECT_EQ(settings.cbMethod, 0);
  EXPECT_EQ(settings.cbInitMethod, 0);
  EXPECT_EQ(settings.cbStopCriterion, 0);
  // Chosen items stay as they are.
  settings.cbForReinsertion = 1;
  ShowAppliedFunctions(settings);
  EXPECT_EQ(settings.cbForReinsertion, 1);
}

TEST(SettingsTransfer, OperationCyclesReachTheAlgorithmWhenLeftAndBeforeARun) {
  TGeneticAlgorithm algorithm;
  TTaskSettings settings;
  settings.eMutationsPerStep = "3";
  settings.eCrossoversPerStep = "0";
  settings.eCOmMutPerStep = "2";
  GeneralOptionExit(settings, algorithm);
  EXPECT_EQ(algorithm.MutationsPerStep, 3);
  EXPECT_EQ(algorithm.CrossoversPerStep, 0);
  EXPECT_EQ(algorithm.CommonMutPerStep, 2);
  settings.eMutationsPerStep = "5";
  TChartScales scales;
  PrepareFreshRun(settings, algorithm, scales);
  EXPECT_EQ(algorithm.MutationsPerStep, 5);
  settings.eCOmMutPerStep = "1.5";
  EXPECT_EQ(ConversionMessage([&] { GeneralOptionExit(settings, algorithm); }),
            "'1.5' is not a valid integer value");
}
