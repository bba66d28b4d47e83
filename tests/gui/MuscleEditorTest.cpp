// The muscle-properties dialog on its own controls: Place Muscle, the motor-unit list and its
// parameters, impulses, coefficients, the charts it opens, OK and Cancel down to the saved file.
#include "TestMain.h"
#include "app/MSystem.h"
#include "app/ObjectInspector.h"
#include "app/SVmain.h"
#include "app/StartUp.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "editors/FunctionGraphic.h"
#include "editors/MuscleProperties.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ObjectDescription.h"
#include "model/Polynomial.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTimer>
#include <functional>
#include <memory>

namespace sarvanta {
namespace {

// Types into a box and leaves it.
void Leave(QLineEdit* edit, const QString& text) {
  edit->setText(text);
  edit->setModified(true);
  emit edit->editingFinished();
}

// Runs `act` once the dialog's modal loop runs.
void WhenShown(QDialog* dialog, std::function<void()> act) {
  QTimer::singleShot(0, dialog, std::move(act));
}

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

QStringList Lines(const QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

class MuscleEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    startUp = std::make_unique<TStartUp>();
    main = startUp->SVmain.get();
    dialog = startUp->MuscleProperties;
    graphic = startUp->FunctionGraphic;
    main->OnError = [this](const QString& text) { messages << text; };
    dialog->OnMessage = [this](const QString& text) { messages << text; };
    graphic->OnError = [this](const QString& text) { messages << text; };
    folder =
        test::ScratchDir() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
  }
  void TearDown() override { startUp.reset(); }

  TMuscle* LastMuscle(TMSystem* model) const {
    const TStringList& muscles = model->MechanicalSystem->Muscles;
    return model->MechanicalSystem->Muscle(muscles.Count() - 1);
  }

  std::unique_ptr<TStartUp> startUp;
  TSVmain* main = nullptr;
  TMuscleProperties* dialog = nullptr;
  TFunctionGraphic* graphic = nullptr;
  QStringList messages;
  QString folder;
};

TEST_F(MuscleEditor, PlacedMuscleGetsAGroupWithTrainsThatSurviveSavingAndOpening) {
  TMSystem* model = main->tbNewClick();
  bool shown = false;
  WhenShown(dialog, [&] {
    shown = dialog->isVisible();
    EXPECT_EQ(dialog->eMuscleName->text(), "Muscle1");
    dialog->eMuscleName->setText("Biceps");
    Leave(dialog->Box(TMUParameter::Tc), "25");
    Leave(dialog->Box(TMUParameter::FMax), "2.5");
    dialog->eName->setText("MU");
    dialog->eCount->setText("10");
    dialog->bbAddGroup->click();
    dialog->pcImpulses->setCurrentIndex(1);
    dialog->ePeriod->setText("50");
    dialog->eImpCount->setText("4");
    dialog->eOffset->setText("10");
    dialog->eVariation->setText("0");
    for (int i = 0; i < 10; ++i) {
      dialog->lbMotorUnits->setCurrentRow(i);
      dialog->bbEnter->click();
    }
    dialog->bbOK->click();
  });
  main->miMuscle->trigger();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();

  TMuscle* muscle = LastMuscle(model);
  ASSERT_NE(muscle, nullptr);
  EXPECT_EQ(muscle->Descr, "Biceps");
  EXPECT_EQ(main->cbObjects->currentText(), "Muscle: Biceps");
  ASSERT_EQ(muscle->MotorUnits.Count(), 10);
  const std::vector<long double> train{10, 60, 110, 160};
  for (int i = 0; i < 10; ++i) {
    const TMotorUnit* unit = muscle->MotorUnit(i);
    EXPECT_EQ(muscle->MotorUnits.Strings(i), "MU" + std::to_string(i));
    EXPECT_EQ(unit->ImpArray(), train);
    EXPECT_EQ(unit->Tc(), 25);
    EXPECT_EQ(unit->Fmax, 2.5L);
    EXPECT_EQ(unit->Tr(), 60);
    EXPECT_EQ(unit->LeadT, 20);
  }

  // The "..." of a polynomial row opens the dialog again; the inspector shows what OK stored.
  const int row = main->ObjectInspector->GetActiveObject()->Properties.IndexOf("ForceArm");
  main->sgObjectProperties->setCurrentCell(row, 1);
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog->lbMotorUnits->count(), 10);
    dialog->eMuscleName->setText("Brachialis");
    dialog->ePolyCoef->setText("0.5");
    dialog->bAddCoefficient->click();
    dialog->bbOK->click();
  });
  main->bDefine->click();
  EXPECT_EQ(main->cbObjects->currentText(), "Muscle: Brachialis");
  EXPECT_EQ(main->sgObjectProperties->item(0, 1)->text(), "Brachialis");
  EXPECT_EQ(main->sgObjectProperties->item(row, 1)->text(), "0.5;");

  const QString first = folder + "/placed.svt";
  const QString second = folder + "/again.svt";
  ASSERT_TRUE(main->SaveActiveModel(first));
  TMSystem* reopened = main->OpenProject(first);
  ASSERT_NE(reopened, model);
  TMuscle* read = LastMuscle(reopened);
  ASSERT_EQ(read->MotorUnits.Count(), 10);
  EXPECT_EQ(read->MotorUnit(9)->ImpArray(), train);
  EXPECT_EQ(read->MotorUnit(9)->Tc(), 25);
  ASSERT_TRUE(main->SaveActiveModel(second));
  EXPECT_EQ(FileBytes(first), FileBytes(second));
}

TEST_F(MuscleEditor, CancelAfterAddingUnitsLeavesTheMuscleAndTheFileAsTheyWere) {
  TMSystem* model = main->OpenProject(SARVANTA_EXAMPLES_DIR "/elbow.svt");
  TMuscle* muscle = model->MechanicalSystem->Muscle(1);
  ASSERT_NE(muscle, nullptr);
  const QString before = folder + "/before.svt";
  const QString after = folder + "/after.svt";
  ASSERT_TRUE(main->SaveActiveModel(before));
  const int units = muscle->MotorUnits.Count();
  const int owned = muscle->ComponentCount();

  // The "..." button of the muscle's "MotorUnits" row opens the dialog.
  const int index = main->ObjectInspector->Descriptions.IndexOf("Muscle: " + muscle->Descr);
  ASSERT_GE(index, 0);
  main->cbObjects->setCurrentIndex(index);
  main->ObjectInspector->SetActiveObject();
  const int row = main->ObjectInspector->GetActiveObject()->Properties.IndexOf("MotorUnits");
  main->sgObjectProperties->setCurrentCell(row, 1);
  EXPECT_FALSE(main->bDefine->isHidden());
  bool charted = false;
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog->lbMotorUnits->count(), units);
    dialog->eCount->setText("3");
    dialog->bbAddGroup->click();
    dialog->bbNew->click();
    dialog->lbMotorUnits->setCurrentRow(0);
    dialog->bbDelete->click();
    // The muscle chart puts the dialog's list into the muscle while it is shown.
    WhenShown(graphic, [&] {
      charted = graphic->isVisible();
      EXPECT_EQ(muscle->MotorUnits.Count(), units + 3);
      graphic->bbOK->click();
    });
    dialog->bbMuscleForce->click();
    dialog->bbCancel->click();
  });
  main->bDefine->click();
  EXPECT_TRUE(charted);
  EXPECT_EQ(muscle->MotorUnits.Count(), units);
  EXPECT_EQ(muscle->ComponentCount(), owned);
  ASSERT_TRUE(main->SaveActiveModel(after));
  EXPECT_EQ(FileBytes(before), FileBytes(after));
}

TEST_F(MuscleEditor, ParametersGoToTheSelectedUnitsOnlyAndBadTextIsPutBack) {
  TMechanicalSystem system;
  auto* muscle = new TMuscle(&system, "M");
  for (int i = 0; i < 5; ++i) {
    auto* unit = new TMotorUnit(muscle, "U" + std::to_string(i), 0, 480, 3, 3, 30, 30, 60, 120, 20);
    muscle->AddMotorUnit(unit);
  }
  muscle->MotorUnit(3)->SetTc(35);
  WhenShown(dialog, [&] {
    QListWidget* list = dialog->lbMotorUnits;
    list->setCurrentRow(1);
    list->item(2)->setSelected(true);
    EXPECT_EQ(dialog->Box(TMUParameter::Tc)->text(), "30");
    list->item(3)->setSelected(true);
    // Units 1 to 3 differ in Tc: the box is empty, and leaving it untouched writes nothing.
    EXPECT_EQ(dialog->Box(TMUParameter::Tc)->text(), "");
    EXPECT_EQ(dialog->Box(TMUParameter::FMax)->text(), "3");
    emit dialog->Box(TMUParameter::Tc)->editingFinished();
    EXPECT_EQ(dialog->Box(TMUParameter::Tc)->text(), "");
    Leave(dialog->Box(TMUParameter::Tc), "40");
    Leave(dialog->Box(TMUParameter::Tr), "x");
    EXPECT_EQ(dialog->Box(TMUParameter::Tr)->text(), "60");
    EXPECT_EQ(dialog->lStatus->text(),
              "'x' is not a valid floating point value; the value stays 60");
    EXPECT_EQ(dialog->Box(TMUParameter::Tr)->toolTip(), dialog->lStatus->text());
    dialog->bbOK->click();
  });
  EXPECT_TRUE(dialog->Edit(muscle));
  const long double tc[5] = {30, 40, 40, 40, 30};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(muscle->MotorUnit(i)->Tc(), tc[i]) << i;
    EXPECT_EQ(muscle->MotorUnit(i)->Tr(), 60) << i;
  }
  EXPECT_EQ(dialog->GetTc(), 40);
  EXPECT_EQ(dialog->GetTr(), 60);
}

TEST_F(MuscleEditor, MomentListAndGroupCountMessages) {
  TMechanicalSystem system;
  auto* muscle = new TMuscle(&system, "M");
  WhenShown(dialog, [&] {
    dialog->eCount->setText("abc");
    dialog->bbAddGroup->click();
    EXPECT_EQ(dialog->lbMotorUnits->count(), 0);
    EXPECT_TRUE(messages.isEmpty());
    dialog->eName->setText("MU");
    dialog->eCount->setText("3");
    dialog->bbAddGroup->click();
    EXPECT_EQ(Lines(dialog->lbMotorUnits), QStringList({"MU0", "MU1", "MU2"}));
    EXPECT_EQ(dialog->lbMotorUnits->currentRow(), 2);

    dialog->pcImpulses->setCurrentIndex(1);
    dialog->ePeriod->setText("10");
    dialog->eImpCount->setText("x");
    dialog->bbEnter->click();
    EXPECT_EQ(messages, QStringList({"Enter valud number of periods to add"}));
    EXPECT_EQ(dialog->lbStimuls->count(), 0);
    dialog->eImpCount->setText("3");
    dialog->eOffset->setText("5");
    dialog->eVariation->setText("0");
    dialog->bbEnter->click();
    EXPECT_EQ(Lines(dialog->lbStimuls), QStringList({"5", "15", "25"}));

    messages.clear();
    dialog->lbStimuls->clear();
    dialog->pcImpulses->setCurrentIndex(0);
    for (const char* moment : {"50", "abc", "90"}) {
      dialog->eStimul->setText(moment);
      dialog->bbEnter->click();
    }
    EXPECT_EQ(messages.last(), "Stimul 1 is not valid real number");
    dialog->bbOK->click();
  });
  EXPECT_TRUE(dialog->Edit(muscle));
  ASSERT_EQ(muscle->MotorUnits.Count(), 3);
  // The focused unit got the list converted up to the bad line, the rest 0.
  TMotorUnit reference;
  reference.Tref = muscle->MotorUnit(2)->Tref;
  const std::vector<long double> applied{50, 0, 0};
  reference.SetImpArray(applied);
  EXPECT_EQ(muscle->MotorUnit(2)->ImpArray(), reference.ImpArray());
  EXPECT_TRUE(muscle->MotorUnit(0)->ImpArray().empty());
}

TEST_F(MuscleEditor, CoefficientsGoToThePolynomialOfThePageLeft) {
  TMechanicalSystem system;
  auto* muscle = new TMuscle(&system, "M");
  muscle->ForceAnglePoly->Coefficients = {0.5L};
  const int owned = muscle->ComponentCount();
  std::vector<QPointF> plotted;
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog->pcPhysiology->currentIndex(), 0);
    for (const char* text : {"1", "2"}) {
      dialog->ePolyCoef->setText(text);
      dialog->bAddCoefficient->click();
    }
    dialog->pcPhysiology->setCurrentIndex(1);
    EXPECT_EQ(muscle->ForceArmPoly->Coefficients, (std::vector<long double>{1, 2}));
    EXPECT_EQ(Lines(dialog->lbCoefficients), QStringList({"0.5"}));
    EXPECT_EQ(dialog->ePolyCoef->text(), "");

    dialog->lbCoefficients->setCurrentRow(0);
    dialog->ePolyCoef->setText("x");
    dialog->bReplaceCoefficient->click();
    // A list that does not convert keeps its page and its lines.
    dialog->pcPhysiology->setCurrentIndex(2);
    EXPECT_EQ(messages, QStringList({"Coefficient 0 is not valid real number"}));
    EXPECT_EQ(dialog->pcPhysiology->currentIndex(), 1);
    EXPECT_EQ(Lines(dialog->lbCoefficients), QStringList({"x"}));
    EXPECT_EQ(dialog->ePolyCoef->text(), "x");
    EXPECT_EQ(muscle->ForceAnglePoly->Coefficients, (std::vector<long double>{0.5L}));
    dialog->sbPolynomialClick();
    EXPECT_EQ(messages.last(), "Stimul 0 is not valid real number");
    EXPECT_EQ(muscle->ComponentCount(), owned);

    dialog->ePolyCoef->setText("3");
    dialog->bReplaceCoefficient->click();
    dialog->ePolyCoef->setText("1");
    dialog->bAddCoefficient->click();
    WhenShown(graphic, [&] {
      plotted = graphic->Series()->Points();
      EXPECT_EQ(graphic->cFunction->Title(), "Force arm");
      graphic->bbOK->click();
    });
    dialog->sbPolynomial->click();
    EXPECT_EQ(muscle->ComponentCount(), owned);
    dialog->eBoneHolding->clear();
    dialog->bbOK->click();
  });
  EXPECT_TRUE(dialog->Edit(muscle));
  EXPECT_EQ(muscle->ForceAnglePoly->Coefficients, (std::vector<long double>{3, 1}));
  EXPECT_EQ(muscle->BoneHolding, 1.0L);
  ASSERT_EQ(plotted.size(), 629u);  // 0.01 to the first step at or beyond 2 pi
  EXPECT_DOUBLE_EQ(plotted[0].x(), 0.01);
  EXPECT_NEAR(plotted[0].y(), 3.01, 1e-12);
}

}  // namespace
}  // namespace sarvanta
