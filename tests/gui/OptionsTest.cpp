#include "TestMain.h"
#include "app/MSystem.h"
#include "settings/Options.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QSignalSpy>

namespace sarvanta {
namespace {

void ClearSettings() {
  QSettings settings("Qelvo");
  settings.clear();
  settings.sync();
}

TEST(Options, FirstStartHasTheDefaultsAndTheEndWritesEveryControl) {
  ClearSettings();
  {
    TOptions options;
    EXPECT_TRUE(options.cbAutoSaveOnStep->isChecked());
    EXPECT_EQ(options.eAutoSaveOnStep->text(), "500");
    EXPECT_EQ(options.AutoSaveStep, 500);
    EXPECT_FALSE(options.cbAutoSaveOnMin->isChecked());
    EXPECT_EQ(options.eAutoSaveOnMin->text(), "30");
    EXPECT_TRUE(options.cbAutoSaveWhenDone->isChecked());
    EXPECT_FALSE(options.cbAutoSaveAsNewFiles->isChecked());
    EXPECT_FALSE(options.cbAutoSaveAllSolutions->isChecked());
    EXPECT_FALSE(options.cbAutoEstHGAafterrLoading->isChecked());
    EXPECT_FALSE(options.cbDisableOpenGLModelView->isChecked());
  }
  QSettings settings("Qelvo");
  EXPECT_EQ(settings.value("Version").toString(), "pilot version");
  EXPECT_FALSE(settings.value("Description").toString().isEmpty());
  settings.beginGroup("Options");
  QStringList keys = settings.childGroups();
  keys.sort();
  EXPECT_EQ(keys, QStringList({"cbAutoEstHGAafterrLoading", "cbAutoSaveAllSolutions",
                               "cbAutoSaveAsNewFiles", "cbAutoSaveOnMin", "cbAutoSaveOnStep",
                               "cbAutoSaveWhenDone", "cbDisableOpenGLModelView", "eAutoSaveOnMin",
                               "eAutoSaveOnStep", "eEvaluationThreads"}));
  EXPECT_EQ(settings.value("cbAutoSaveOnStep/Index").toInt(), 3);
  EXPECT_EQ(settings.value("cbAutoSaveOnStep/Type").toInt(), 1);
  EXPECT_EQ(settings.value("cbAutoSaveOnStep/Value").toInt(), 1);
  EXPECT_EQ(settings.value("eAutoSaveOnStep/Index").toInt(), 4);
  EXPECT_EQ(settings.value("eAutoSaveOnStep/Type").toInt(), 2);
  EXPECT_EQ(settings.value("eAutoSaveOnStep/Value").toString(), "500");
  EXPECT_EQ(settings.value("cbDisableOpenGLModelView/Index").toInt(), 13);
  // Added controls come after the old ones, whose indices stay.
  EXPECT_EQ(settings.value("eEvaluationThreads/Index").toInt(), 18);
  EXPECT_EQ(settings.value("eEvaluationThreads/Value").toString(), "0");
}

TEST(Options, ChangedValuesSurviveARestart) {
  ClearSettings();
  {
    TOptions options;
    options.cbAutoSaveOnStep->setChecked(false);
    options.eAutoSaveOnStep->setText("250");
    options.eAutoSaveOnMin->setText("45");
    options.cbAutoSaveAsNewFiles->setChecked(true);
    options.cbDisableOpenGLModelView->setChecked(true);
  }
  TOptions restarted;
  EXPECT_FALSE(restarted.cbAutoSaveOnStep->isChecked());
  EXPECT_EQ(restarted.eAutoSaveOnStep->text(), "250");
  EXPECT_EQ(restarted.AutoSaveStep, 250);
  EXPECT_EQ(restarted.eAutoSaveOnMin->text(), "45");
  EXPECT_TRUE(restarted.cbAutoSaveAsNewFiles->isChecked());
  EXPECT_TRUE(restarted.cbDisableOpenGLModelView->isChecked());
  EXPECT_TRUE(restarted.cbAutoSaveWhenDone->isChecked());
}

TEST(Options, EntriesThatDoNotFitTheirControlAreIgnored) {
  ClearSettings();
  {
    QSettings settings("Qelvo");
    // A check box stored as an edit box, an index that names another control, a control that
    // no longer exists.
    settings.setValue("Options/cbAutoSaveOnStep/Index", 3);
    settings.setValue("Options/cbAutoSaveOnStep/Type", 2);
    settings.setValue("Options/cbAutoSaveOnStep/Value", "0");
    settings.setValue("Options/cbAutoSaveAsNewFiles/Index", 11);
    settings.setValue("Options/cbAutoSaveAsNewFiles/Type", 1);
    settings.setValue("Options/cbAutoSaveAsNewFiles/Value", 1);
    settings.setValue("Options/cbGone/Index", 99);
    settings.setValue("Options/cbGone/Type", 1);
    settings.setValue("Options/cbGone/Value", 1);
    settings.setValue("Options/eAutoSaveOnStep/Index", 4);
    settings.setValue("Options/eAutoSaveOnStep/Type", 2);
    settings.setValue("Options/eAutoSaveOnStep/Value", "not a number");
  }
  TOptions options;
  EXPECT_TRUE(options.cbAutoSaveOnStep->isChecked());
  EXPECT_FALSE(options.cbAutoSaveAsNewFiles->isChecked());
  EXPECT_FALSE(options.cbAutoSaveAllSolutions->isChecked());
  // Text that is no integer is shown as stored, and the step keeps its default.
  EXPECT_EQ(options.eAutoSaveOnStep->text(), "not a number");
  EXPECT_EQ(options.AutoSaveStep, 500);
  ClearSettings();
}

TEST(Options, AutoSaveStepFollowsTheEditBox) {
  ClearSettings();
  TOptions options;
  options.eAutoSaveOnStep->setText("");
  EXPECT_EQ(options.AutoSaveStep, 500);
  options.eAutoSaveOnStep->setText("250");
  EXPECT_EQ(options.AutoSaveStep, 250);
  options.eAutoSaveOnStep->setText("25x");
  EXPECT_EQ(options.AutoSaveStep, 250);
  EXPECT_FALSE(options.eAutoSaveOnStep->toolTip().isEmpty());
  options.AutoSaveStep = 75;
  options.SaveOptions();
  EXPECT_EQ(options.eAutoSaveOnStep->text(), "75");
  ClearSettings();
}

TEST(Options, OnlyTheUsersClickOnTheViewSwitchEndsTheProgram) {
  ClearSettings();
  TOptions options;
  QSignalSpy endRequests(&options, &TOptions::ProgramEndRequested);
  options.cbDisableOpenGLModelView->setChecked(true);  // as restoring does: window not shown
  EXPECT_EQ(endRequests.count(), 0);
  options.cbDisableOpenGLModelView->setChecked(false);
  options.show();
  options.cbDisableOpenGLModelView->click();
  EXPECT_EQ(endRequests.count(), 1);
  EXPECT_FALSE(options.isVisible());
  ClearSettings();
}

TEST(Options, ModelWindowsEvaluateOnTheThreadsTheOptionSays) {
  ClearSettings();
  {
    TOptions options;
    const struct {
      const char* text;
      int threads;
    } cases[] = {{"", 0}, {"0", 0}, {"3", 3}, {" 2 ", 2}, {"-2", 0}, {"two", 0}};
    for (const auto& c : cases) {
      options.eEvaluationThreads->setText(c.text);
      EXPECT_EQ(options.EvaluationThreads(), c.threads) << c.text;
    }
    options.eEvaluationThreads->setText("3");
    TMSystem model(nullptr, false);
    EXPECT_EQ(model.GeneticAlgorithm->EvaluationThreads, 3);
    options.eEvaluationThreads->setText("1");
    EXPECT_EQ(model.GeneticAlgorithm->EvaluationThreads, 1);
    options.eEvaluationThreads->setText("");
    EXPECT_EQ(model.GeneticAlgorithm->EvaluationThreads, 0);
    options.eEvaluationThreads->setText("2");
  }
  TOptions restarted;
  EXPECT_EQ(restarted.EvaluationThreads(), 2);
  ClearSettings();
}

}  // namespace
}  // namespace sarvanta
