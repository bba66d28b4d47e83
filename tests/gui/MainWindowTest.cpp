#include "TestMain.h"
#include "app/Logo.h"
#include "app/MSystem.h"
#include "app/ObjectInspector.h"
#include "app/SVmain.h"
#include "app/StartUp.h"
#include "model/Bone.h"
#include "model/Joint.h"
#include "model/Muscle.h"
#include "settings/Options.h"
#include "settings/SystemResources.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QMenuBar>
#include <QPrinter>

namespace sarvanta {
namespace {

using test::Find;

TEST(MainWindow, StartUpCreatesTheWindowsAndEveryMenuItem) {
  TStartUp startUp;
  TSVmain* main = startUp.SVmain.get();
  EXPECT_TRUE(main->isVisible());
  EXPECT_FALSE(startUp.Logo->isVisible());
  EXPECT_FALSE(startUp.Options->isVisible());
  EXPECT_FALSE(startUp.SystemResources->isVisible());
  EXPECT_EQ(main->windowTitle(), "Sarvanta Ver. 0.76b1");
  EXPECT_EQ(Find<QLabel>(main, "StatusPanel0")->text(), "Status");

  struct Item {
    const char* name;
    const char* caption;
    const char* shortcut;
    bool enabled;
  };
  const Item items[] = {
      {"miNew", "&New", "Ctrl+N", true},
      {"miOpen", "&Open...", "Ctrl+O", true},
      {"miSave", "&Save", "Ctrl+S", true},
      {"miSaveAs", "Save &As...", "", true},
      {"miPrint", "&Print...", "Ctrl+P", false},
      {"miPrintSetup", "P&rint Setup...", "", true},
      {"miExit", "E&xit", "Alt+F4", true},
      {"miCut", "Cu&t", "Ctrl+X", false},
      {"miCopy", "&Copy", "Ctrl+C", false},
      {"miPaste", "&Paste", "Ctrl+V", false},
      {"miProperties", "P&roperties", "Ctrl+Space", true},
      {"miDelete", "&Delete", "Del", false},
      {"miMuscle", "&Muscle", "Ctrl+M", true},
      {"miBone", "&Bone", "Ctrl+B", true},
      {"miJoint", "&Joint", "Ctrl+J", true},
      {"miRun", "R&un", "F9", true},
      {"miStop", "&Stop", "Ctrl+F2", false},  // hidden, so not enabled
      {"miTrace", "Trace", "F7", true},
      {"miGoals", "&Goals...", "", true},
      {"miTimeFrame", "&Time Frame...", "", true},
      {"miLimitations", "&Limitations...", "", true},
      {"miHGASettings", "&HGA settings...", "", true},
      {"miResults", "&Results...", "", true},
      {"miReport", "Rep&ort...", "", true},
      {"miOptions", "&Options", "", true},
      {"miObjectInspector", "&Object Inspector", "", true},
      {"miStatusLine", "&Status Line", "", true},
      {"miToolbar", "&Toolbar", "", true},
      {"miSystemMonitor", "System &Monitor", "", true},
      {"miTile", "&Tile", "", true},
      {"miCascade", "&Cascade", "", true},
      {"miAbout", "&About...", "", true},
  };
  for (const Item& item : items) {
    SCOPED_TRACE(item.name);
    auto* action = main->findChild<QAction*>(item.name);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), item.caption);
    EXPECT_EQ(action->shortcut(), QKeySequence(item.shortcut));
    EXPECT_EQ(action->isEnabled(), item.enabled);
  }
  EXPECT_FALSE(main->miStop->isVisible());
  // Each motor-task item carries the number of the page it opens (1 Limitations, 2 Time Frame).
  const std::pair<QAction*, int> pages[] = {{main->miGoals, 0},
                                            {main->miTimeFrame, 2},
                                            {main->miLimitations, 1},
                                            {main->miHGASettings, 3},
                                            {main->miResults, 4}};
  for (const auto& [page, number] : pages) EXPECT_EQ(page->data().toInt(), number);
  EXPECT_TRUE(main->miObjectInspector->isChecked());
  EXPECT_TRUE(main->miStatusLine->isChecked());
  EXPECT_TRUE(main->miToolbar->isChecked());
  EXPECT_FALSE(main->miSystemMonitor->isChecked());
  const char* hints[] = {"tbNew",   "New",   "tbOpen",       "Open",          "tbSave", "Save",
                         "tbPrint", "Print", "tbPrintSetup", "Printer setup", "tbCut",  "Cut",
                         "tbCopy",  "Copy",  "tbPaste",      "Paste"};
  for (size_t i = 0; i < std::size(hints); i += 2)
    EXPECT_EQ(Find<QAction>(main, hints[i])->toolTip(), hints[i + 1]);
  EXPECT_TRUE(main->tbPrint->isEnabled());

  main->tbNewClick();
  EXPECT_TRUE(main->miPrint->isEnabled()) << "Print follows the presence of a model";
}

TEST(MainWindow, ViewItemsShowAndHideTheirPartsAndTheInspectorKeepsItsObject) {
  TStartUp startUp;
  TSVmain* main = startUp.SVmain.get();
  main->tbNewClick();
  main->miBoneClick();
  main->miObjectInspector->trigger();
  EXPECT_FALSE(main->pObjectInspector->isVisible());
  main->miObjectInspector->trigger();
  EXPECT_TRUE(main->pObjectInspector->isVisible());
  EXPECT_EQ(main->cbObjects->currentText(), "Bone: Bone1");
  EXPECT_EQ(main->sgObjectProperties->item(0, 1)->text(), "Bone1");

  main->miStatusLine->trigger();
  EXPECT_FALSE(main->StatusLine->isVisible());
  main->miToolbar->trigger();
  EXPECT_FALSE(main->tbSpeedBar->isVisible());
  main->miSystemMonitor->trigger();
  EXPECT_TRUE(startUp.SystemResources->isVisible());
  main->miSystemMonitor->trigger();
  EXPECT_FALSE(startUp.SystemResources->isVisible());
}

TEST(MainWindow, PlaceCommandsWithoutAModelDoNothing) {
  TSVmain main;
  main.miBoneClick();
  main.miJointClick();
  main.miMuscleClick();
  main.miSaveClick();
  main.tbPrintClick();
  main.tbRedrawClick();
  EXPECT_EQ(main.ObjectInspector->Count(), 0);
  EXPECT_EQ(main.cbObjects->count(), 0);
  EXPECT_EQ(main.ActiveModel(), nullptr);
}

TEST(MainWindow, PlacedBonesStackAlongYAndNamesFollowTheCounters) {
  TSVmain main;
  TMSystem* model = main.tbNewClick();
  const TMechanicalSystem& system = *model->MechanicalSystem;

  main.miJointClick();
  const TJoint* first = system.Joint(1);
  EXPECT_EQ(first->Descr, "Joint1");
  EXPECT_EQ(first->yPosition, 0.0L) << "without bones a joint sits at Y 0";

  main.miBoneClick();
  main.miBoneClick();
  ASSERT_EQ(system.Bones.Count(), 3);
  const TBone* bone1 = system.Bone(1);
  const TBone* bone2 = system.Bone(2);
  EXPECT_EQ(bone1->Length, 0.3L);
  EXPECT_EQ(bone1->Mass, 2.0L);
  EXPECT_EQ(bone1->InertM, 100.0L);
  EXPECT_EQ(bone1->StartPointX, 0.3L);
  EXPECT_EQ(bone1->StartPointY, 0.0L);
  EXPECT_EQ(bone1->StartPointZ, 0.1L);
  EXPECT_EQ(bone1->EndPointY, 0.3L);
  EXPECT_EQ(bone1->EndPointZ, 0.1L);
  EXPECT_EQ(bone2->StartPointY, 0.3L);
  EXPECT_EQ(bone2->EndPointY, 0.3L + 0.3L);

  main.miJointClick();
  const TJoint* joint = system.Joint(2);
  EXPECT_EQ(joint->Descr, "Joint2");
  EXPECT_EQ(joint->xPosition, 0.3L);
  EXPECT_EQ(joint->yPosition, 0.3L + 0.3L);
  EXPECT_EQ(joint->zPosition, 0.1L);
  EXPECT_EQ(joint->MinXAngle, 10.0L);
  EXPECT_EQ(joint->MaxXAngle, 90.0L);
  EXPECT_EQ(joint->MinYAngle, 0.0L);
  EXPECT_EQ(joint->FBone(), nullptr);
  EXPECT_EQ(joint->SBone(), nullptr);

  // Renaming the first two bones does not reuse their numbers.
  main.cbObjects->setCurrentText("Bone: Bone1");
  main.cbObjectsChange();
  main.sgObjectProperties->item(0, 1)->setText("Humerus");
  EXPECT_EQ(bone1->Descr, "Humerus");
  main.miBoneClick();
  EXPECT_EQ(system.Bone(3)->Descr, "Bone3");
  EXPECT_EQ(main.cbObjects->currentText(), "Bone: Bone3");
  EXPECT_EQ(main.sgObjectProperties->item(0, 1)->text(), "Bone3");

  main.miMuscleClick();
  const TMuscle* muscle = system.Muscle(1);
  EXPECT_EQ(muscle->Descr, "Muscle1");
  EXPECT_EQ(main.cbObjects->currentText(), "Muscle: Muscle1");

  QStringList entries;
  for (int i = 0; i < main.cbObjects->count(); ++i) entries << main.cbObjects->itemText(i);
  EXPECT_EQ(entries, QStringList({"Joint: Joint1", "Bone: Humerus", "Bone: Bone2", "Joint: Joint2",
                                  "Bone: Bone3", "Muscle: Muscle1"}));
}

TEST(MainWindow, TheInspectorListsTheActiveModelWindowsObjectsOnly) {
  TSVmain main;
  main.OnAskSave = [](const QString&) { return TSaveAnswer::Discard; };
  const auto entries = [&main] {
    QStringList texts;
    for (int i = 0; i < main.cbObjects->count(); ++i) texts << main.cbObjects->itemText(i);
    return texts;
  };
  TMSystem* first = main.tbNewClick();
  main.miBoneClick();
  main.miJointClick();
  main.cbObjects->setCurrentIndex(0);
  main.cbObjectsChange();

  // A new window starts with an empty inspector; its objects are its own.
  TMSystem* second = main.tbNewClick();
  EXPECT_EQ(main.ObjectInspector->Count(), 0);
  EXPECT_EQ(main.sgObjectProperties->rowCount(), 0) << "no row of the other model stays shown";
  main.miBoneClick();
  main.miBoneClick();
  EXPECT_EQ(entries(), QStringList({"Bone: Bone1", "Bone: Bone2"}));
  EXPECT_EQ(main.ObjectInspector->Description(0)->Obj, second->MechanicalSystem->Bone(1));

  // Activating the first window lists its objects again, with the one it showed.
  main.ClientArea->setActiveSubWindow(first);
  EXPECT_EQ(entries(), QStringList({"Bone: Bone1", "Joint: Joint1"}));
  EXPECT_EQ(main.ObjectInspector->GetActiveObject()->Obj, first->MechanicalSystem->Bone(1));
  EXPECT_EQ(main.sgObjectProperties->item(0, 1)->text(), "Bone1");
  // An edit goes to the window on screen.
  main.sgObjectProperties->item(1, 1)->setText("0.4");
  EXPECT_EQ(first->MechanicalSystem->Bone(1)->Length, 0.4L);
  EXPECT_EQ(second->MechanicalSystem->Bone(1)->Length, 0.3L);

  // Opening a project lists that project alone.
  TMSystem* opened = main.OpenProject(SARVANTA_EXAMPLES_DIR "/elbow.svt");
  const TMechanicalSystem& elbow = *opened->MechanicalSystem;
  EXPECT_EQ(main.ObjectInspector->Count(),
            elbow.Bones.Count() + elbow.Joints.Count() + elbow.Muscles.Count() - 3);
  for (int i = 0; i < main.ObjectInspector->Count(); ++i)
    EXPECT_NE(main.ObjectInspector->Description(i)->Obj->Owner(), first->MechanicalSystem.get());

  // Closing the shown window hands the inspector to the window that becomes active.
  opened->close();
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(main.Models().size(), 2);
  TMSystem* active = main.ActiveModel();
  ASSERT_NE(active, nullptr);
  for (int i = 0; i < main.ObjectInspector->Count(); ++i)
    EXPECT_EQ(main.ObjectInspector->Description(i)->Obj->Owner(), active->MechanicalSystem.get());

  first->close();
  second->close();
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
  EXPECT_EQ(main.ObjectInspector->Count(), 0);
  EXPECT_EQ(main.cbObjects->currentText(), "");
  EXPECT_EQ(main.ActiveModel(), nullptr);
  main.tbRedrawClick();
}

TEST(MainWindow, AModelBuiltInTheWindowSurvivesSaveAndOpen) {
  TSVmain main;
  QStringList errors;
  main.OnError = [&errors](const QString& text) { errors << text; };
  TMSystem* built = main.tbNewClick();
  main.miBoneClick();
  main.miBoneClick();
  main.miJointClick();
  main.miMuscleClick();
  TBone* bone = built->MechanicalSystem->Bone(1);
  TJoint* joint = built->MechanicalSystem->Joint(1);
  bone->FromJnt = joint;
  bone->Mass = 2.75L;

  const QString path = test::ScratchDir() + "/arm.svt";
  ASSERT_TRUE(main.SaveActiveModel(path));
  EXPECT_EQ(built->windowTitle(), "arm.svt");
  EXPECT_EQ(built->FileName, path);

  TMSystem* opened = main.OpenProject(path);
  EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
  EXPECT_EQ(opened->GeneticAlgorithm->Goals.Count(), 0) << "no task file beside it";
  EXPECT_NE(opened, built);
  EXPECT_EQ(opened->windowTitle(), "arm.svt");
  EXPECT_EQ(main.ActiveModel(), opened);
  const TMechanicalSystem& system = *opened->MechanicalSystem;
  ASSERT_EQ(system.Bones.Count(), 3);
  ASSERT_EQ(system.Joints.Count(), 2);
  ASSERT_EQ(system.Muscles.Count(), 2);
  EXPECT_EQ(system.Bone(1)->Mass, 2.75L);
  EXPECT_EQ(system.Bone(2)->StartPointY, 0.3L);
  EXPECT_EQ(system.Bone(1)->FromJnt, system.Joint(1));

  // Loading empties the inspector and lists bones, joints, then muscles.
  QStringList entries;
  for (int i = 0; i < main.cbObjects->count(); ++i) entries << main.cbObjects->itemText(i);
  EXPECT_EQ(entries,
            QStringList({"Bone: Bone1", "Bone: Bone2", "Joint: Joint1", "Muscle: Muscle1"}));
  EXPECT_EQ(main.ObjectInspector->Description(0)->Obj, system.Bone(1));

  // The opened model's counters start again at 0.
  main.miBoneClick();
  EXPECT_EQ(system.Bone(3)->Descr, "Bone1");

  // Saving an empty model writes a file that loads back empty.
  main.tbNewClick();
  const QString emptyPath = test::ScratchDir() + "/empty.svt";
  ASSERT_TRUE(main.SaveActiveModel(emptyPath));
  TMSystem* empty = main.OpenProject(emptyPath);
  EXPECT_EQ(empty->MechanicalSystem->Bones.Count(), 1);
  EXPECT_EQ(empty->MechanicalSystem->Joints.Count(), 1);
  EXPECT_EQ(empty->MechanicalSystem->Muscles.Count(), 1);
  EXPECT_TRUE(errors.isEmpty());
}

TEST(MainWindow, AFailedOpenShowsTheErrorAndKeepsTheWindow) {
  TSVmain main;
  QStringList errors;
  main.OnError = [&errors](const QString& text) { errors << text; };
  const QString path = test::ScratchDir() + "/broken.svt";
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("TPF0\x10TMechanicalSystem\x00garbage", 30);
  }
  TMSystem* model = main.OpenProject(path);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_FALSE(errors.first().isEmpty());
  EXPECT_EQ(main.Models().size(), 1);
  EXPECT_EQ(model->windowTitle(), "broken.svt");

  errors.clear();
  main.OpenProject(test::ScratchDir() + "/missing.svt");
  EXPECT_EQ(errors.size(), 1);
}

TEST(MainWindow, OpeningTheExampleListsItsObjectsAndLoadsItsTask) {
  TSVmain main;
  QStringList errors;
  main.OnError = [&errors](const QString& text) { errors << text; };
  TMSystem* model = main.OpenProject(SARVANTA_EXAMPLES_DIR "/elbow.svt");
  ASSERT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
  const TMechanicalSystem& system = *model->MechanicalSystem;
  const int objects = system.Bones.Count() + system.Joints.Count() + system.Muscles.Count() - 3;
  EXPECT_GT(objects, 0);
  EXPECT_EQ(main.ObjectInspector->Count(), objects);
  EXPECT_EQ(model->windowTitle(), "elbow.svt");
  // The shown object is the last one listed.
  EXPECT_EQ(main.ObjectInspector->GetActiveObject(),
            main.ObjectInspector->Description(objects - 1));
  EXPECT_GT(main.sgObjectProperties->rowCount(), 1);
  // elbow.hga beside it filled the model's algorithm.
  EXPECT_GT(model->GeneticAlgorithm->Goals.Count(), 0);
  EXPECT_GT(model->GeneticAlgorithm->PopulationSize, 0);
}

TEST(MainWindow, PrintsTheModelWindowOnOnePage) {
  TSVmain main;
  main.tbNewClick();
  main.miBoneClick();
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString path = test::ScratchDir() + "/model.pdf";
  printer.setOutputFileName(path);
  main.PrintActiveModel(printer);
  QFile pdf(path);
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const QByteArray bytes = pdf.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  EXPECT_EQ(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), 1) << "one page";
}

TEST(MainWindow, CascadeAndTileKeepWindowsUsableAndTheWindowMenuListsThem) {
  TSVmain main;
  main.resize(1000, 700);
  main.show();
  QList<TMSystem*> models;
  for (int i = 0; i < 3; ++i) models << main.tbNewClick();
  main.miBoneClick();
  const QSize area = main.ClientArea->viewport()->size();

  main.miCascadeClick();
  QPoint previous(-1, -1);
  for (TMSystem* model : models) {
    const QRect place = model->geometry();
    EXPECT_FALSE(model->isMaximized());
    EXPECT_GE(place.width(), area.width() * 2 / 3 - 1);
    EXPECT_GE(place.height(), area.height() * 2 / 3 - 1);
    EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(place)) << "inside the client area";
    EXPECT_GT(place.left(), previous.x());
    EXPECT_GT(place.top(), previous.y());
    previous = place.topLeft();
  }
  EXPECT_EQ(main.ActiveModel(), models.last()) << "the active window stays active";

  main.miTileClick();
  int covered = 0;
  for (int i = 0; i < models.size(); ++i) {
    const QRect place = models.at(i)->geometry();
    EXPECT_GE(place.width(), 200);
    EXPECT_GE(place.height(), 200);
    covered += place.width() * place.height();
    for (int j = i + 1; j < models.size(); ++j)
      EXPECT_FALSE(place.intersects(models.at(j)->geometry())) << i << " and " << j;
  }
  EXPECT_GT(covered, area.width() * area.height() * 9 / 10);

  main.FillWindowMenu();
  QStringList entries;
  QList<QAction*> windows;
  for (QAction* item : main.miWindow->actions())
    if (!item->isSeparator() && item != main.miTile && item != main.miCascade) {
      entries << item->text() + (item->isChecked() ? " (active)" : "");
      windows << item;
    }
  EXPECT_EQ(entries, QStringList({"&1 Project", "&2 Project", "&3 Project* (active)"}));
  windows.first()->trigger();
  EXPECT_EQ(main.ActiveModel(), models.first());

  main.miCloseClick();
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(main.Models().size(), 2) << "File > Close closes the active window";
}

}  // namespace
}  // namespace sarvanta
