#include "MotorTaskFixture.h"
#include "TestMain.h"
#include "app/MSystem.h"
#include "app/ObjectInspector.h"
#include "app/SVmain.h"
#include "app/StartUp.h"
#include "editors/FunctionWizard.h"
#include "editors/SyntaxWindow.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticOperation.h"
#include "ga/Individual.h"
#include "model/MechanicalSystem.h"
#include "model/TimeFrame.h"
#include "settings/Options.h"
#include "task/SVAlgorithm.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <memory>

namespace sarvanta {
namespace {

using test::Find;

TEST_F(MotorTask, PagesStartWithTheirDefaults) {
  QStringList pages;
  for (int i = 0; i < task->pcMotorControl->count(); ++i) pages << task->pcMotorControl->tabText(i);
  EXPECT_EQ(pages, QStringList({"&Goals", "&Time Frame", "&Limitations", "&HGA Settings",
                                "&Results", "&Monitor"}));
  EXPECT_EQ(task->windowTitle(), "Motor control");
  EXPECT_FALSE(task->isVisible());
  EXPECT_TRUE(task->bbStop->isHidden());
  EXPECT_FALSE(task->bbRun->isHidden());
  EXPECT_EQ(task->pbProgerss->maximum(), 100);
  EXPECT_EQ(task->bbSave->text(), "Save HGA");
  EXPECT_EQ(task->bbLoad->text(), "Load HGA");

  const std::pair<const char*, const char*> edits[] = {{"eFromMoment", "0"},
                                                       {"eToMoment", "200"},
                                                       {"eCtrlExt", "40"},
                                                       {"ePrecision", "2"},
                                                       {"eVariablePrecision", "2"},
                                                       {"eForSteps", "100"},
                                                       {"eShowWithPrecision", "2"},
                                                       {"eShowFrom", "0"},
                                                       {"eShowTo", "200"},
                                                       {"eOscStep", "0"},
                                                       {"eOscilateOnEach", "10"},
                                                       {"eFrameSize", "50"},
                                                       {"eOnStep", "10"},
                                                       {"eMoveWith", "2"},
                                                       {"eStopMoveAfter", "60"},
                                                       {"ePopulationSize", "4"},
                                                       {"eNumberOfSteps", "1000"},
                                                       {"eMutationsPerStep", "1"},
                                                       {"eCrossoversPerStep", "1"},
                                                       {"eCOmMutPerStep", "1"},
                                                       {"eInitParameter", "0"},
                                                       {"emNumberOfPoints", "1"},
                                                       {"emRange", "1"},
                                                       {"emProbabilityDependance", "0"},
                                                       {"ecNumberOfPoints", "1"},
                                                       {"ecProbabilityDependance", ""},
                                                       {"ecmNumberOfPoints", "1"},
                                                       {"ecmRange", "1"},
                                                       {"ecmProbabilityDependence", "0"}};
  for (const auto& [name, text] : edits)
    EXPECT_EQ(Find<QLineEdit>(task, name)->text(), text) << name;
  EXPECT_TRUE(task->cbFixedStart->isChecked());
  EXPECT_TRUE(task->cbPrecedingCtrlExt->isChecked());
  EXPECT_FALSE(task->cbAlwaysShowFrame->isChecked());
  EXPECT_FALSE(task->cbOscilate->isChecked());
  EXPECT_EQ(task->cbPrecedingCtrlExt->text(), "use only preceding  control extension");

  // The combos show, and apply, their default items.
  const std::pair<const char*, const char*> combos[] = {
      {"cbForMutation", "Roulette Wheel"},    {"cbForCrossover", "Roulette Wheel"},
      {"cbForReinsertion", "Fittest"},        {"cbMethod", "Weighted Sum"},
      {"cbStopCriterion", "Number of Steps"}, {"cbInitMethod", "None"}};
  for (const auto& [name, text] : combos)
    EXPECT_EQ(Find<QComboBox>(task, name)->currentText(), text) << name;
  EXPECT_EQ(task->Settings().cbForReinsertion, 0);
  EXPECT_EQ(task->gbNumberOfSteps->title(), "Number of Steps");

  ASSERT_EQ(task->lbStandardGoals->count(), 10);
  EXPECT_EQ(task->lbStandardGoals->item(9)->text(), "Bone position chacks point");
  EXPECT_EQ(task->cbMutationOperations->itemText(7), "Muscle Mutation  Change Muscle Activity");
  EXPECT_EQ(task->cbCommonMutationOperations->itemText(1),
            "Motor Unit Multi Point Common Synchronic Mutation ");
  QStringList tabs;
  for (int i = 0; i < task->pcGeneticOperatoions->count(); ++i)
    tabs << task->pcGeneticOperatoions->tabText(i);
  EXPECT_EQ(tabs, QStringList({"Mutation", "Crossover", "Common mutation"}));
  EXPECT_EQ(task->stElapsedTime->text(), "00:00:00");
}

TEST_F(MotorTask, MenuItemsOpenTheirPagesOnTheActiveModel) {
  // Without a model window the items do nothing.
  main->miGoals->trigger();
  EXPECT_FALSE(task->isVisible());
  TMSystem* model = main->tbNewClick();
  const std::pair<QAction*, const char*> items[] = {{main->miGoals, "tsGoals"},
                                                    {main->miTimeFrame, "tsTimeFrame"},
                                                    {main->miLimitations, "tsLimitations"},
                                                    {main->miHGASettings, "tsHGASettings"},
                                                    {main->miResults, "tsResults"}};
  for (const auto& [item, page] : items) {
    item->trigger();
    EXPECT_EQ(task->pcMotorControl->currentWidget()->objectName(), page);
  }
  EXPECT_TRUE(task->isVisible());
  EXPECT_EQ(task->BoundModel(), model);
  EXPECT_EQ(task->GeneticAlgorithm, model->GeneticAlgorithm.get());
  EXPECT_EQ(model->GeneticAlgorithm->MechanicalSystem, model->MechanicalSystem.get());
  // A system without joints has no limitation lines; the elbow has three per joint.
  EXPECT_EQ(task->lbLimitations->count(), 0);
  OpenElbow();
  main->miLimitations->trigger();
  ASSERT_GT(task->lbLimitations->count(), 0);
  EXPECT_EQ(task->lbLimitations->count() % 3, 0);
  EXPECT_TRUE(task->lbLimitations->item(0)->text().startsWith("X joint angle for "));
  task->bbOKClick();
  EXPECT_FALSE(task->isVisible());
  EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
}

TEST_F(MotorTask, TimeFrameEditsMirrorAndReachTheAlgorithmWhenLeft) {
  main->tbNewClick();
  main->miTimeFrame->trigger();
  task->eToMoment->clear();
  QTest::keyClicks(task->eToMoment, "150");
  EXPECT_EQ(task->eShowTo->text(), "150");
  task->eFromMoment->setText("10");
  EXPECT_EQ(task->eShowFrom->text(), "10");
  task->ePrecision->setText("1");
  EXPECT_EQ(task->eVariablePrecision->text(), "1");
  task->eShowTo->setText("120");  // the other way nothing is copied
  EXPECT_EQ(task->eToMoment->text(), "150");
  task->eCtrlExt->setText("20");
  task->eForSteps->setText("7");
  task->cbAlwaysShowFrame->setChecked(true);
  emit task->eToMoment->editingFinished();
  const TGeneticAlgorithm& a = Algorithm();
  EXPECT_EQ(a.TimeFrame->FromMoment, 10.0L);
  EXPECT_EQ(a.TimeFrame->ToMoment, 150.0L);
  EXPECT_EQ(a.TimeFrame->Precision, 1.0L);
  EXPECT_EQ(a.TimeFrame->CtrlExt(), 20.0L);
  EXPECT_EQ(a.StopChangePrecAfter, 7.0L);
  EXPECT_EQ(a.VisibleFrameEnd, 120.0L);
  EXPECT_TRUE(a.AlwaysUseVisFrame);

  // Oscillation: checking it with no range starts at 1 ms; unchecking sets 0.
  task->cbOscilate->click();
  EXPECT_EQ(task->eOscStep->text(), "1");
  EXPECT_EQ(a.TimeFrame->OscRange, 1.0L);
  task->cbOscilate->click();
  EXPECT_EQ(task->eOscStep->text(), "0");
  EXPECT_EQ(a.TimeFrame->OscRange, 0.0L);

  // A text that is not a number is reported; the fields read before it stay.
  task->eMoveWith->setText("x");
  emit task->eMoveWith->editingFinished();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], "'x' is not a valid floating point value");

  // The function wizard's readers fall back to 0 and leave "0" in the edit.
  task->ePrecision->setText("fine");
  EXPECT_EQ(task->GetPrecision(), 0.0L);
  EXPECT_EQ(task->ePrecision->text(), "0");
  EXPECT_EQ(task->GetToMoment(), 150.0L);
}

TEST_F(MotorTask, AccuracyRetitlesTheStepsAndRunStillNeedsAnInteger) {
  OpenElbow();
  const int32_t steps = Algorithm().NumberOfSteps;
  task->cbStopCriterion->setCurrentIndex(1);
  emit task->cbStopCriterion->activated(1);
  EXPECT_EQ(task->gbNumberOfSteps->title(), "Accuracy");
  task->eNumberOfSteps->setText("0.01");
  emit task->eNumberOfSteps->editingFinished();
  EXPECT_EQ(Algorithm().AccuracyTreshold, 0.01L);
  EXPECT_EQ(Algorithm().NumberOfSteps, steps);
  EXPECT_EQ(Algorithm().StopCriterion, 1);

  // Run and Trace read the box as the number of steps: both stop at once.
  errors.clear();
  task->bbRun->click();
  task->bbDebugRun->click();
  EXPECT_EQ(errors, QStringList({"'0.01' is not a valid integer value",
                                 "'0.01' is not a valid integer value"}));
  EXPECT_EQ(Algorithm().TotalSteps, 0);
  // The run strip and the menu are back as before.
  EXPECT_FALSE(task->bbRun->isHidden());
  EXPECT_TRUE(task->bbRun->isEnabled());
  EXPECT_TRUE(task->bbStop->isHidden());
  EXPECT_TRUE(main->miRun->isVisible());
  EXPECT_FALSE(main->miStop->isVisible());
  EXPECT_TRUE(main->miTrace->isEnabled());
}

TEST_F(MotorTask, GoalsAreAddedNamedAndDeletedInStep) {
  TMSystem* model = main->tbNewClick();
  main->miGoals->trigger();
  const TGeneticAlgorithm& a = *model->GeneticAlgorithm;
  auto add = [this](int position) {
    task->lbStandardGoals->setCurrentRow(position);
    task->bbAdd->click();
  };
  add(0);
  add(5);  // "Antagonist coactivation" counts but creates nothing
  add(3);
  add(1);
  EXPECT_EQ(task->GoalCounter, 4);
  ASSERT_EQ(a.Goals.Count(), 3);
  ASSERT_EQ(task->GoalInspector->Count(), 3);
  EXPECT_TRUE(task->cbGoal->itemText(0).endsWith(": Goal1"));
  EXPECT_TRUE(task->cbGoal->itemText(1).endsWith(": Goal3"));
  EXPECT_TRUE(task->cbGoal->itemText(2).endsWith(": Goal4"));
  EXPECT_EQ(task->lbGoalsList->item(1)->text(), "Minimal joint reaction");
  EXPECT_EQ(task->cbGoals->count(), 3);

  // Deleting the middle goal keeps the first and the last, in order, everywhere.
  task->lbGoalsList->setCurrentRow(1);
  task->bbDeleteClick();
  ASSERT_EQ(a.Goals.Count(), 2);
  const QStringList expected = {"Minimal aggregate force", "Minimal motor unit activation"};
  QStringList listed, results, algorithm;
  for (int i = 0; i < 2; ++i) {
    listed << task->lbGoalsList->item(i)->text();
    results << task->cbGoals->itemText(i);
    algorithm << QString::fromStdString(a.Goals.Strings(i));
  }
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(results, expected);
  EXPECT_EQ(algorithm, expected);
  EXPECT_EQ(task->GoalInspector->Count(), 2);
  EXPECT_TRUE(task->cbGoal->itemText(1).endsWith(": Goal4"));

  // Clicking a goal shows its rows: "Name", "Weight", then the goal's own.
  task->lbGoalsList->setCurrentRow(0);
  task->lbGoalsListClick();
  EXPECT_EQ(task->cbGoal->currentIndex(), 0);
  EXPECT_EQ(task->sgGolaDefinition->item(0, 0)->text(), "Name");
  EXPECT_EQ(task->sgGolaDefinition->item(1, 0)->text(), "Weight");
  EXPECT_EQ(task->sgGolaDefinition->item(1, 1)->text(), "1");
}

TEST_F(MotorTask, OperationsGetTheirDescriptionsAndAreShownInTheirTabs) {
  TMSystem* model = main->tbNewClick();
  main->miHGASettings->trigger();
  const TGeneticAlgorithm& a = *model->GeneticAlgorithm;
  task->pcGeneticOperatoions->setCurrentIndex(0);
  task->cbMutationOperations->setCurrentIndex(2);
  task->emNumberOfPoints->setText("2");
  task->emProbabilityDependance->setText("0.5");
  task->bbAddOperation->click();
  ASSERT_EQ(task->lbOperations->count(), 1);
  EXPECT_EQ(task->lbOperations->item(0)->text(),
            "Motor Unit 2-point Mutation Add Impulse, with Rnage = 1 and Probability 0.5");
  EXPECT_EQ(task->lbOperations->item(0)->toolTip(), task->lbOperations->item(0)->text());

  // The crossover's empty probability reads as 0.
  task->pcGeneticOperatoions->setCurrentIndex(1);
  task->cbCrossoverOperations->setCurrentIndex(3);
  task->ecNumberOfPoints->setText("3");
  task->bbAddOperation->click();
  ASSERT_EQ(task->lbOperations->count(), 2);
  EXPECT_EQ(task->lbOperations->item(1)->text(),
            "Muscle Multi (3-point) Point Crossover, with Probability 0");

  // A number that does not convert adds nothing, visible or not.
  task->pcGeneticOperatoions->setCurrentIndex(2);
  task->cbCommonMutationOperations->setCurrentIndex(0);
  task->ecmRange->setText("wide");
  task->bbAddOperation->click();
  EXPECT_EQ(errors, QStringList({"'wide' is not a valid floating point value"}));
  EXPECT_EQ(a.Operations.Count(), 2);
  EXPECT_EQ(task->lbOperations->count(), 2);

  // Clicking the crossover brings its tab, item and edits back.
  task->ecNumberOfPoints->setText("9");
  task->pcGeneticOperatoions->setCurrentIndex(0);
  task->lbOperations->setCurrentRow(1);
  task->lbOperationsClick();
  EXPECT_EQ(task->pcGeneticOperatoions->currentIndex(), 1);
  EXPECT_EQ(task->cbCrossoverOperations->currentIndex(), 3);
  EXPECT_EQ(task->ecNumberOfPoints->text(), "3");
  EXPECT_EQ(task->ecProbabilityDependance->text(), "0");

  task->lbOperations->setCurrentRow(0);
  task->bbDeleteOperationClick();
  EXPECT_EQ(a.Operations.Count(), 1);
  EXPECT_EQ(a.Operations.Strings(0), "Muscle Multi (3-point) Point Crossover, with Probability 0");
  EXPECT_EQ(task->lbOperations->count(), 1);
}

TEST_F(MotorTask, SavedTaskLoadsBackOntoEveryPage) {
  TMSystem* first = main->tbNewClick();
  main->miGoals->trigger();
  task->lbStandardGoals->setCurrentRow(6);
  task->bbAdd->click();
  task->lbStandardGoals->setCurrentRow(0);
  task->bbAdd->click();
  task->pcGeneticOperatoions->setCurrentIndex(0);
  task->cbMutationOperations->setCurrentIndex(4);
  task->bbAddOperation->click();
  task->eFromMoment->setText("20");
  task->eToMoment->setText("180");
  task->eCtrlExt->setText("30");
  task->eFrameSize->setText("40");
  task->cbFixedStart->setChecked(false);
  task->eOnStep->setText("5");
  task->ePopulationSize->setText("12");
  task->eNumberOfSteps->setText("300");
  task->eMutationsPerStep->setText("2");
  task->cbForMutation->setCurrentIndex(0);
  task->cbForReinsertion->setCurrentIndex(2);
  task->cbMethod->setCurrentIndex(1);
  task->cbInitMethod->setCurrentIndex(2);
  task->eInitParameter->setText("0.25");
  emit task->eOnStep->editingFinished();
  const QString path = folder + "/task.hga";
  task->SaveHGA(path);
  ASSERT_TRUE(QFile::exists(path));
  const TTaskSettings saved = task->Settings();

  // Another model, with the pages reset to their defaults, then the file.
  TMSystem* second = main->tbNewClick();
  ASSERT_NE(first, second);
  main->miGoals->trigger();
  task->ShowSettings(TTaskSettings{});
  task->LoadHGA(path);
  ASSERT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
  const TTaskSettings loaded = task->Settings();
  EXPECT_EQ(loaded.eFromMoment, "20");
  EXPECT_EQ(loaded.eToMoment, "180");
  EXPECT_EQ(loaded.eCtrlExt, "30");
  EXPECT_EQ(loaded.eFrameSize, "40");
  EXPECT_FALSE(loaded.cbFixedStart);
  EXPECT_EQ(loaded.eOnStep, "5");
  EXPECT_EQ(loaded.ePopulationSize, "12");
  EXPECT_EQ(loaded.eNumberOfSteps, "300");
  EXPECT_EQ(loaded.eMutationsPerStep, "2");
  EXPECT_EQ(loaded.cbForMutation, saved.cbForMutation);
  EXPECT_EQ(loaded.cbForCrossover, saved.cbForCrossover);
  EXPECT_EQ(loaded.cbForReinsertion, 2);
  EXPECT_EQ(loaded.cbMethod, 1);
  EXPECT_EQ(loaded.cbInitMethod, 2);
  EXPECT_EQ(loaded.eInitParameter, "0.25");
  EXPECT_EQ(task->cbForReinsertion->currentText(), "Roulette Wheel");
  ASSERT_EQ(task->lbGoalsList->count(), 2);
  EXPECT_EQ(task->lbGoalsList->item(0)->text(), "Joint angle");
  EXPECT_EQ(task->GoalInspector->Count(), 2);
  ASSERT_EQ(task->lbOperations->count(), 1);
  EXPECT_TRUE(task->lbOperations->item(0)->text().startsWith("Muscle 1-point Mutation"));
  EXPECT_EQ(second->GeneticAlgorithm->Goals.Count(), 2);
  EXPECT_EQ(task->ElapsedTime, 0.0);
}

TEST_F(MotorTask, RunImprovesTheElbowAndASecondRunContinues) {
  OpenElbow();
  task->show();
  SetRun("4", "25");
  std::vector<long double> best;
  QObject::connect(task->cbSolution, &QComboBox::currentIndexChanged, task, [&] {
    if (Algorithm().RunningAll && task->cbSolution->count() > 0)
      best.push_back(Algorithm().Individual(Algorithm().Population, 0)->Fitness);
  });
  main->miRun->trigger();
  ASSERT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
  ASSERT_GE(best.size(), 25u);
  EXPECT_LT(best.back(), best.front());
  EXPECT_EQ(Algorithm().TotalSteps, 25);
  EXPECT_FALSE(Algorithm().Running);
  EXPECT_EQ(task->cbSolution->count(), Algorithm().Population.Count());
  EXPECT_EQ(task->cbSolution->currentIndex(), 0);
  EXPECT_EQ(task->pbProgerss->value(), 0);
  EXPECT_EQ(task->pbProgerss->maximum(), 25);
  EXPECT_FALSE(task->bbRun->isHidden());
  EXPECT_GT(task->lbLog->count(), 25);
  EXPECT_EQ(task->Settings().cbForReinsertion, Algorithm().SelFuncForReinsertion);

  // The population stays and evolves further; the step count starts again at 0.
  const TIndividual* kept = Algorithm().Individual(Algorithm().Population, 0);
  const long double keptFitness = kept->Fitness;
  task->pcMotorControl->setCurrentWidget(Find<QWidget>(task, "tsMonitor"));
  SetRun("4", "5");
  task->bbRun->click();
  EXPECT_EQ(Algorithm().TotalSteps, 30);
  EXPECT_LE(Algorithm().Individual(Algorithm().Population, 0)->Fitness, keptFitness);
  EXPECT_EQ(task->stOverallSteps->text(), "30");
  EXPECT_EQ(task->eStep->text(), "5");
  EXPECT_NE(task->stElapsedTime->text(), "");
}

TEST_F(MotorTask, StopEndsTheRunAfterTheGenerationInProgress) {
  OpenElbow();
  task->show();
  SetRun("4", "1000");
  int32_t stepsAtStop = -1;
  bool runShownAtOnce = false;
  QTimer::singleShot(0, task, [&] {
    EXPECT_FALSE(task->bbStop->isHidden());
    EXPECT_TRUE(main->miStop->isVisible());
    EXPECT_FALSE(main->miTrace->isEnabled());
    EXPECT_FALSE(task->bbAdd->isEnabled());
    stepsAtStop = Algorithm().TotalSteps;
    main->miStop->trigger();
    runShownAtOnce = !task->bbRun->isHidden() && task->bbStop->isHidden();
  });
  task->bbRun->click();
  ASSERT_GE(stepsAtStop, 0);
  EXPECT_TRUE(runShownAtOnce);
  EXPECT_LE(Algorithm().TotalSteps, stepsAtStop + 1);
  EXPECT_LT(Algorithm().TotalSteps, 1000);
  EXPECT_EQ(Algorithm().Offspring.Count(), 0);  // nothing half-made stays
  EXPECT_EQ(task->pbProgerss->value(), 0);
  EXPECT_TRUE(task->bbRun->isEnabled());
  EXPECT_TRUE(main->miRun->isVisible());
  EXPECT_TRUE(main->miTrace->isEnabled());
  EXPECT_TRUE(task->bbAdd->isEnabled());
  EXPECT_FALSE(Algorithm().RunningAll);
}

TEST_F(MotorTask, TraceTraceRunContinuesTheTracedPopulation) {
  OpenElbow();
  SetRun("4", "6");
  main->miTrace->trigger();
  main->miTrace->trigger();
  EXPECT_EQ(Algorithm().TotalSteps, 2);
  EXPECT_TRUE(Algorithm().Running);
  EXPECT_FALSE(Algorithm().RunningAll);
  EXPECT_FALSE(task->bbRun->isHidden());
  const long double traced = Algorithm().Individual(Algorithm().Population, 0)->Fitness;
  const uint64_t evaluations = Algorithm().Evaluations;

  SetRun("4", "3");
  main->miRun->trigger();
  EXPECT_EQ(Algorithm().TotalSteps, 5);
  EXPECT_FALSE(Algorithm().Running);
  EXPECT_LE(Algorithm().Individual(Algorithm().Population, 0)->Fitness, traced);
  // No new population was built: a fresh one would be evaluated whole first.
  EXPECT_GT(Algorithm().Evaluations, evaluations);
  EXPECT_FALSE(task->bbRun->isHidden());
  EXPECT_TRUE(main->miRun->isVisible());
  EXPECT_FALSE(main->miStop->isVisible());
}

TEST_F(MotorTask, LogFollowsShowLogAndMarksExtendTheLastLine) {
  OpenElbow();
  task->cbShowLog->setChecked(false);
  task->cbShowLogClick();
  SetRun("4", "2");
  task->bbRun->click();
  EXPECT_EQ(task->lbLog->count(), 0);

  // Checked during a run, the log starts with the next message.
  QTimer::singleShot(0, task, [this] { task->cbShowLog->click(); });
  task->bbRun->click();
  EXPECT_GT(task->lbLog->count(), 0);

  task->GATrace(0, "Init population");
  for (int i = 0; i < 3; ++i) task->GATrace(1, ".");
  EXPECT_EQ(task->lbLog->item(task->lbLog->count() - 1)->text(), "Init population...");
  task->GATrace(2, "Done");
  EXPECT_EQ(task->lbLog->item(task->lbLog->count() - 1)->text(), "Done");
  const int lines = task->lbLog->count();
  task->GATrace(7, "ignored");
  EXPECT_EQ(task->lbLog->count(), lines);
}

TEST_F(MotorTask, AutomaticSavesFollowTheOptions) {
  TMSystem* model = OpenElbow("arm");
  QList<std::pair<int32_t, QString>> saves;
  QObject::connect(task, &TSVAlgorithm::AutoSaved, task, [&](const QString& name) {
    saves.append({Algorithm().StepNo, name});
  });
  options->cbAutoSaveOnStep->setChecked(true);
  options->eAutoSaveOnStep->setText("500");
  SetRun("2", "1000");
  task->bbRun->click();
  ASSERT_EQ(saves.size(), 2);
  EXPECT_EQ(saves[0].first, 500);
  EXPECT_EQ(saves[1].first, 1000);
  EXPECT_EQ(saves[0].second, folder + "/arm.svt");

  // "as new files", "when done" and "all solutions": one stamped save at the end, with every
  // solution beside it; the window's project is now the stamped file.
  saves.clear();
  options->cbAutoSaveOnStep->setChecked(false);
  options->cbAutoSaveWhenDone->setChecked(true);
  options->cbAutoSaveAsNewFiles->setChecked(true);
  options->cbAutoSaveAllSolutions->setChecked(true);
  SetRun("3", "2");
  task->bbRun->click();
  ASSERT_EQ(saves.size(), 1);
  const QString stamped = saves[0].second;
  EXPECT_TRUE(
      QRegularExpression(QRegularExpression::escape(folder) + R"(/arm\(\d\d-\d\d-\d\d\)\.svt)")
          .match(stamped)
          .hasMatch())
      << stamped.toStdString();
  EXPECT_TRUE(QFile::exists(stamped));
  EXPECT_EQ(model->FileName, stamped);
  const int solutions = Algorithm().Population.Count();
  for (int rank = 1; rank <= solutions; ++rank)
    EXPECT_TRUE(QFile::exists(stamped.chopped(4) + "-solution" + QString::number(rank) + ".svt"))
        << rank;
  EXPECT_FALSE(
      QFile::exists(stamped.chopped(4) + "-solution" + QString::number(solutions + 1) + ".svt"));
  EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
}

TEST_F(MotorTask, AModelWindowDoesNotCloseUnderItsRun) {
  TMSystem* model = OpenElbow();
  task->show();
  SetRun("4", "1000");
  QStringList questions;
  bool answer = false;
  main->OnAsk = [&](const QString& question) {
    questions << question;
    return answer;
  };
  // Refused: the run goes on to its end.
  QTimer::singleShot(0, task, [&] { EXPECT_FALSE(model->close()); });
  SetRun("4", "20");
  task->bbRun->click();
  EXPECT_EQ(questions.size(), 1);
  EXPECT_EQ(Algorithm().TotalSteps, 20);
  EXPECT_EQ(main->Models().size(), 1);

  // Agreed: the run stops, then the window closes and the motor-task window lets go of it.
  answer = true;
  QPointer<TMSystem> watched = model;
  SetRun("4", "1000");
  QTimer::singleShot(0, task, [&] { model->close(); });
  task->bbRun->click();
  EXPECT_EQ(questions.size(), 2);
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(watched.isNull());
  EXPECT_EQ(task->BoundModel(), nullptr);
  EXPECT_EQ(task->GeneticAlgorithm, nullptr);
  EXPECT_EQ(task->lbGoalsList->count(), 0);
  EXPECT_EQ(task->GoalInspector->Count(), 0);
  // With nothing bound, the commands do nothing.
  task->bbRunClick();
  task->bbDebugRunClick();
  EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
}

TEST_F(MotorTask, QuittingDuringARunStopsItFirst) {
  OpenElbow();
  SetRun("4", "1000");
  QTimer::singleShot(0, task, [&] { EXPECT_FALSE(main->close()); });
  task->bbRun->click();
  EXPECT_LT(Algorithm().TotalSteps, 1000);
  QCoreApplication::processEvents();
  EXPECT_FALSE(main->isVisible());
}

TEST_F(MotorTask, SaveAsTakesTheTaskAlong) {
  OpenElbow();
  ASSERT_GT(Algorithm().Goals.Count(), 0);
  task->eToMoment->setText("160");
  const QString path = folder + "/copy.svt";
  ASSERT_TRUE(main->SaveActiveModelAs(path));
  ASSERT_TRUE(QFile::exists(folder + "/copy.hga"));
  const int goals = Algorithm().Goals.Count();
  TMSystem* reopened = main->OpenProject(path);
  EXPECT_EQ(reopened->GeneticAlgorithm->Goals.Count(), goals);
  EXPECT_EQ(reopened->GeneticAlgorithm->TimeFrame->ToMoment, 160.0L);
  EXPECT_EQ(task->eToMoment->text(), "160");
  // A model without goals or operations writes no task.
  main->tbNewClick();
  ASSERT_TRUE(main->SaveActiveModelAs(folder + "/empty.svt"));
  EXPECT_FALSE(QFile::exists(folder + "/empty.hga"));
}

}  // namespace
}  // namespace sarvanta

namespace sarvanta {
namespace {

TEST_F(MotorTask, TheGoalDefinitionsShowTheFormulaLanguage) {
  TSyntaxWindow* syntax = startUp->FunctionWizard->SyntaxWindow();
  int lines = 0;
  QTimer::singleShot(0, syntax, [&] {
    lines = syntax->lbSyntax->count();
    syntax->bbOK->click();
  });
  task->bbSyntax->click();
  EXPECT_EQ(lines, 59);
}

}  // namespace
}  // namespace sarvanta
