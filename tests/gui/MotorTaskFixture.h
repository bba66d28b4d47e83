// The desktop program started as a user starts it, with the motor-task window, and the elbow
// example copied into a folder of the test's own.
#pragma once

#include "TestMain.h"
#include "app/MSystem.h"
#include "app/SVmain.h"
#include "app/StartUp.h"
#include "ga/GeneticAlgorithm.h"
#include "settings/Options.h"
#include "task/SVAlgorithm.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <memory>

namespace sarvanta {

class MotorTask : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings("Qelvo").clear();
    startUp = std::make_unique<TStartUp>();
    main = startUp->SVmain.get();
    task = startUp->SVAlgorithm;
    options = startUp->Options.get();
    main->OnError = [this](const QString& text) { errors << text; };
    task->OnError = [this](const QString& text) { errors << text; };
    // A run changes its model: closing it or quitting afterwards asks to save it.
    main->OnAskSave = [](const QString&) { return TSaveAnswer::Save; };
    // Each test switches on the automatic saving it checks.
    options->cbAutoSaveOnStep->setChecked(false);
    options->cbAutoSaveWhenDone->setChecked(false);
    folder =
        test::ScratchDir() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
  }

  void TearDown() override { startUp.reset(); }

  // A copy of the elbow example (project and task) in the test's folder, opened.
  TMSystem* OpenElbow(const QString& name = "elbow") {
    for (const char* extension : {".svt", ".hga"})
      EXPECT_TRUE(QFile::copy(QString(SARVANTA_EXAMPLES_DIR "/elbow") + extension,
                              folder + "/" + name + extension));
    TMSystem* model = main->OpenProject(folder + "/" + name + ".svt");
    EXPECT_EQ(task->BoundModel(), model);
    return model;
  }

  void SetRun(const char* population, const char* steps) {
    task->ePopulationSize->setText(population);
    task->eNumberOfSteps->setText(steps);
  }

  TGeneticAlgorithm& Algorithm() { return *task->GeneticAlgorithm; }

  std::unique_ptr<TStartUp> startUp;
  TSVmain* main = nullptr;
  TSVAlgorithm* task = nullptr;
  TOptions* options = nullptr;
  QStringList errors;
  QString folder;
};

}  // namespace sarvanta
