// The function graphic, the motor-unit parameters dialog with its force preview, the function
// wizard and the syntax window, on their controls.
#include "TestMain.h"
#include "app/StartUp.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "editors/FunctionGraphic.h"
#include "editors/FunctionWizard.h"
#include "editors/MUParameters.h"
#include "editors/SyntaxWindow.h"
#include "expr/SyntaxText.h"
#include "ga/GoalKinematic.h"
#include "model/MotorUnit.h"
#include "model/ObjectDescription.h"
#include "task/FunctionSampling.h"
#include "task/SVAlgorithm.h"
#include "task/SamplingStep.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <functional>
#include <memory>

namespace sarvanta {
namespace {

void Leave(QLineEdit* edit, const QString& text) {
  edit->setText(text);
  edit->setModified(true);
  emit edit->editingFinished();
}

void WhenShown(QDialog* dialog, std::function<void()> act) {
  QTimer::singleShot(0, dialog, std::move(act));
}

QStringList Lines(const QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

TEST(FunctionGraphic, SamplesFromOneStepAboveTheMinimumAndRefusesAStepThatCannotAdvance) {
  TFunctionGraphic graphic;
  QStringList errors;
  graphic.OnError = [&errors](const QString& text) { errors << text; };
  graphic.SetFunction("Square", "x", "mm", "y", "mm2", 0, 1, 0.5L,
                      [](long double x) { return x * x; });
  EXPECT_EQ(graphic.cFunction->Title(), "Square");
  EXPECT_EQ(graphic.Series()->Title(), "x[mm]");
  EXPECT_EQ(graphic.Series()->Points(), (std::vector<QPointF>{{0.5, 0.25}, {1, 1}}));
  EXPECT_EQ(graphic.exMax->text(), "1");

  graphic.exMax->setText("2");
  graphic.ePrecision->setText("0.25");
  graphic.bbDerivative->click();
  ASSERT_EQ(graphic.Series()->Count(), 8);
  for (const QPointF& p : graphic.Series()->Points()) EXPECT_NEAR(p.y(), 2 * p.x(), 1e-9);
  graphic.bbSecond->click();
  for (const QPointF& p : graphic.Series()->Points()) EXPECT_NEAR(p.y(), 2, 1e-5);
  const auto lastGood = graphic.Series()->Points();

  Leave(graphic.ePrecision, "0");
  Leave(graphic.ePrecision, "-1");
  Leave(graphic.exMin, "abc");
  EXPECT_EQ(errors, QStringList({StepNotPositiveMessage, StepNotPositiveMessage,
                                 "'abc' is not a valid floating point value"}));
  EXPECT_EQ(graphic.Series()->Points(), lastGood);
  EXPECT_EQ(graphic.ePrecision->text(), "0.25");
  EXPECT_EQ(graphic.exMin->text(), "0");
  EXPECT_EQ(graphic.Range().Step(), 0.25L);

  // Nothing to sample: the maximum is not above the minimum.
  Leave(graphic.exMax, "0");
  EXPECT_EQ(graphic.Series()->Count(), 0);

  graphic.cFunctionMouseMove(12.5, 3.14159);
  EXPECT_EQ(graphic.StatusPanels[0]->text(), "x=12.5 mm");
  EXPECT_EQ(graphic.StatusPanels[1]->text(), "y=3.14 mm2");
}

class Editors : public ::testing::Test {
 protected:
  void SetUp() override {
    startUp = std::make_unique<TStartUp>();
    graphic = startUp->FunctionGraphic;
    graphic->OnError = [this](const QString& text) { messages << text; };
  }
  void TearDown() override { startUp.reset(); }

  std::unique_ptr<TStartUp> startUp;
  TFunctionGraphic* graphic = nullptr;
  QStringList messages;
};

TEST_F(Editors, MotorUnitParametersLoadRevertAndWriteOnOkOnly) {
  TMUParameters* dialog = startUp->MUParameters;
  EXPECT_EQ(dialog->GetFMax(), 0.43L);
  EXPECT_EQ(dialog->Box(TMUParameter::T)->text(), "200");
  TMotorUnit unit(nullptr, "U", 0.1L, 400, 2, 3, 30, 20, 50, 150, 7);
  // The row "Impulses" of a motor unit opens the dialog.
  const auto description = unit.ObjectDescription("U");
  const TProperty* impulses = description->FindRow("Impulses");
  ASSERT_TRUE(impulses && impulses->HasEditButton());
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog->Box(TMUParameter::Tc)->text(), "30");
    Leave(dialog->Box(TMUParameter::Tc), "x");
    EXPECT_EQ(dialog->Box(TMUParameter::Tc)->text(), "30");
    EXPECT_FALSE(dialog->lStatus->text().isEmpty());
    Leave(dialog->Box(TMUParameter::FMax), "5");
    dialog->bbCancel->click();
  });
  impulses->OnEdit(&unit);
  EXPECT_EQ(unit.Fmax, 3);
  WhenShown(dialog, [&] {
    Leave(dialog->Box(TMUParameter::Tr), "70");
    Leave(dialog->Box(TMUParameter::LT), "9");
    dialog->bbOK->click();
  });
  EXPECT_TRUE(dialog->Edit(&unit));
  const TMotorUnit expected(nullptr, "", 0.1L, 400, 2, 3, 30, 20, 70, 150, 9);
  EXPECT_EQ(ReadParameters(unit), ReadParameters(expected));
  EXPECT_EQ(unit.ShapeExponent(), expected.ShapeExponent());
}

TEST_F(Editors, MotorUnitPreviewShowsTheCoreForceOfAUnitWithTheseParameters) {
  TMUParameters* dialog = startUp->MUParameters;
  QStringList dialogMessages;
  dialog->OnMessage = [&dialogMessages](const QString& text) { dialogMessages << text; };
  dialog->pcImpulses->setCurrentIndex(1);
  dialog->ePeriod->setText("20");
  dialog->eCount->setText("4");
  dialog->eOffset->clear();
  dialog->bbEnter->click();
  EXPECT_EQ(Lines(dialog->lbStimols), QStringList({"0", "20", "40", "60"}));
  dialog->eCount->setText("many");
  dialog->bbEnter->click();
  EXPECT_EQ(dialogMessages, QStringList({"Enter valud number of periods to add"}));
  dialog->eCount->setText("4");
  dialog->bbEnter->click();

  std::vector<QPointF> points;
  WhenShown(graphic, [&] {
    points = graphic->Series()->Points();
    graphic->bbOK->click();
  });
  dialog->bbGpaphic->click();
  TMotorUnit core(nullptr, "MU", 0.25L, 5, 3, 0.43L, 25, 25, 75, 200, 0);
  const std::vector<long double> train{0, 20, 40, 60};
  core.SetImpArray(train);
  // Tref 25 keeps 0 and 40; the chart ends at the last impulse + T + Tc.
  const long double end = 40 + 200 + 25;
  const std::vector<long double> times = SamplePoints(0, end, (end + 1) / 1000);
  ASSERT_EQ(points.size(), times.size());
  ASSERT_GT(points.size(), 990u);
  for (size_t i = 0; i < points.size(); ++i) {
    ASSERT_EQ(points[i].x(), static_cast<double>(times[i]));
    ASSERT_EQ(points[i].y(), static_cast<double>(core.Force(times[i]))) << times[i];
  }
  EXPECT_GT(points[30].y(), 0);

  dialog->pcImpulses->setCurrentIndex(0);
  dialog->eStimul->setText("1e");
  dialog->bbEnter->click();
  dialog->bbGpaphic->click();  // no chart: nothing waits for it
  EXPECT_EQ(dialogMessages.last(), "Stimul 4 is not valid real number");
  dialog->lbStimols->clear();
  WhenShown(graphic, [&] {
    points = graphic->Series()->Points();
    graphic->bbOK->click();
  });
  dialog->bbGpaphic->click();
  EXPECT_TRUE(points.empty());
}

class Wizard : public Editors {
 protected:
  void SetUp() override {
    Editors::SetUp();
    wizard = startUp->FunctionWizard;
    wizard->OnError = [this](const QString& text) { messages << text; };
    TSVAlgorithm* task = startUp->SVAlgorithm;
    task->eFromMoment->setText("0");
    task->eToMoment->setText("10");
    task->ePrecision->setText("1");
    goal.Expression = "t*t";
  }
  TFunctionWizard* wizard = nullptr;
  TGFJointAngle goal{nullptr, 1, "G"};
};

TEST_F(Wizard, PlotsTheGoalExpressionAndItsDerivativesOverTheTimeFrame) {
  wizard->Open(&goal);
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_EQ(wizard->exMax->text(), "10");
  ASSERT_EQ(wizard->Series()->Count(), 10);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(wizard->Series()->Points()[i], QPointF(i + 1, (i + 1) * (i + 1)));
  EXPECT_EQ(wizard->sgSegments->rowCount(), 2);
  EXPECT_EQ(wizard->sgSegments->item(0, 3)->text(), "Segment");

  wizard->cbExpression->setEditText("t^3-2*t");
  wizard->bbDerivativeClick();
  ASSERT_EQ(wizard->Series()->Count(), 10);
  for (const QPointF& p : wizard->Series()->Points())
    EXPECT_NEAR(p.y(), 3 * p.x() * p.x() - 2, 1e-9) << p.x();
  wizard->bbSecondClick();
  // The second difference divides the rounding of values up to 1000 by h^2 = 4e-12.
  for (const QPointF& p : wizard->Series()->Points()) EXPECT_NEAR(p.y(), 6 * p.x(), 1e-4) << p.x();

  wizard->cbExpression->setEditText("2x");
  wizard->DrawCurve();
  EXPECT_EQ(messages, QStringList({"Error in Expression"}));
  for (const QPointF& p : wizard->Series()->Points()) EXPECT_EQ(p.y(), 1);

  Leave(wizard->ePrecision, "0");
  EXPECT_EQ(messages.last(), StepNotPositiveMessage);
  EXPECT_EQ(wizard->ePrecision->text(), "1");
  EXPECT_EQ(wizard->Series()->Count(), 10);

  wizard->cFunctionMouseMove(1.2345678, 9.87654);
  EXPECT_EQ(wizard->StatusPanels[0]->text(), "X= 1.23457");
  EXPECT_EQ(wizard->StatusPanels[1]->text(), "Y= 9.88");
}

TEST_F(Wizard, OkKeepsTheEditedExpressionCancelChangesNothingAndHistoryHoldsEachOnce) {
  // The goal's expression row opens the wizard.
  const auto description = goal.ObjectDescription("G");
  const TProperty* row = description->FindRow("Angle Displacement");
  ASSERT_TRUE(row && row->HasEditButton());
  WhenShown(wizard, [&] {
    EXPECT_TRUE(wizard->isVisible());
    wizard->cbExpression->setEditText("t+1");
    wizard->bbCancel->click();
  });
  row->OnEdit(&goal);
  EXPECT_EQ(goal.Expression, "t*t");
  WhenShown(wizard, [&] {
    wizard->cbExpression->setEditText("2x");
    wizard->bbOK->click();  // refused: the text does not compile
    EXPECT_TRUE(wizard->isVisible());
    wizard->cbExpression->setEditText("3*t");
    wizard->bbOK->click();
  });
  EXPECT_TRUE(wizard->Edit(&goal));
  EXPECT_EQ(goal.Expression, "3*t");
  EXPECT_EQ(goal.ExpressionValue(2), 6);
  EXPECT_EQ(messages, QStringList({"Error in Expression"}));
  // The history holds every text the wizard was opened with, newest first, each once.
  wizard->Open(&goal);
  wizard->Open(&goal);
  goal.Expression = "t*t";
  wizard->Open(&goal);
  QStringList history;
  for (int i = 0; i < wizard->cbExpression->count(); ++i)
    history << wizard->cbExpression->itemText(i);
  EXPECT_EQ(history, QStringList({"3*t", "t*t"}));
  EXPECT_EQ(wizard->OpenedText(), "t*t");
}

TEST_F(Wizard, SyntaxButtonListsTheHelpText) {
  wizard->Open(&goal);
  QStringList shown;
  WhenShown(wizard->SyntaxWindow(), [&] {
    EXPECT_EQ(wizard->SyntaxWindow()->windowTitle(), "Expression Syntax");
    shown = Lines(wizard->SyntaxWindow()->lbSyntax);
    wizard->SyntaxWindow()->bbOK->click();
  });
  wizard->bbSyntax->click();
  QStringList expected;
  for (const std::string& line : DefaultSyntaxText()) expected << QString::fromStdString(line);
  EXPECT_EQ(expected.size(), 59);
  EXPECT_EQ(shown, expected);
}

}  // namespace
}  // namespace sarvanta
