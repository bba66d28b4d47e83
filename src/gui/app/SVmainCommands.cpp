// The main window's commands: new and open model windows, save, print, place objects, and the
// windows it shows.
#include "app/Latin1.h"
#include "app/Logo.h"
#include "app/MSystem.h"
#include "app/ObjectInspector.h"
#include "app/SVmain.h"
#include "base/Exception.h"
#include "ga/TaskFile.h"
#include "model/Bone.h"
#include "model/Joint.h"
#include "model/Muscle.h"
#include "settings/Options.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <cmath>

namespace sarvanta {

namespace {

const char* const kProjectFilter = "Sarvanta (*.svt)";

}  // namespace

void TSVmain::ShowError(const QString& text) {
  if (OnError)
    OnError(text);
  else
    QMessageBox::critical(this, "Sarvanta", text);
}

void TSVmain::closeEvent(QCloseEvent* event) {
  QMainWindow::closeEvent(event);
  if (event->isAccepted()) QCoreApplication::quit();
}

TMSystem* TSVmain::NewModelWindow() {
  const bool withView = !(options_ && options_->cbDisableOpenGLModelView->isChecked());
  auto* model = new TMSystem(ObjectInspector, withView);
  ClientArea->addSubWindow(model);
  model->showMaximized();
  ClientArea->setActiveSubWindow(model);
  connect(
      model, &QObject::destroyed, this, [this] { UpdateCommandStates(); }, Qt::QueuedConnection);
  UpdateCommandStates();
  return model;
}

TMSystem* TSVmain::tbNewClick() { return NewModelWindow(); }

void TSVmain::miOpenClick() {
  const QString name = QFileDialog::getOpenFileName(this, "Open", QString(), kProjectFilter);
  if (name.isEmpty()) return;
  OpenProject(name);
}

TMSystem* TSVmain::OpenProject(const QString& fileName) {
  TMSystem* model = NewModelWindow();
  try {
    model->LoadFromFile(fileName);
  } catch (const std::exception& e) {
    ShowError(QString::fromLocal8Bit(e.what()));
    return model;
  }
  // The task file of the same base name comes with the project.
  // TODO(motor task): bind the motor-task window to this model (SetModel) once it exists.
  const QString taskName = fileName.chopped(4) + ".hga";
  if (QFileInfo::exists(taskName)) {
    try {
      RegisterTaskClasses();
      LoadTaskFromFile(*model->GeneticAlgorithm, ToStdString(taskName));
    } catch (const std::exception& e) {
      ShowError(QString::fromLocal8Bit(e.what()));
    }
  }
  return model;
}

bool TSVmain::SaveActiveModel(const QString& fileName) {
  TMSystem* model = ActiveModel();
  if (!model) return false;
  try {
    model->SaveToFile(fileName);
  } catch (const std::exception& e) {
    ShowError(QString::fromLocal8Bit(e.what()));
    return false;
  }
  return true;
}

void TSVmain::miSaveClick() {
  TMSystem* model = ActiveModel();
  if (!model) return;
  // A model without a file name is saved as a new file.
  if (model->FileName.isEmpty())
    miSaveAsClick();
  else
    SaveActiveModel(model->FileName);
}

void TSVmain::miSaveAsClick() {
  TMSystem* model = ActiveModel();
  if (!model) return;
  QFileDialog dialog(this, "Save As", model->FileName, kProjectFilter);
  dialog.setObjectName("SaveDialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("svt");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveActiveModel(dialog.selectedFiles().constFirst());
}

void TSVmain::tbPrintClick() {
  if (!ActiveModel()) return;
  if (!printer_) printer_ = new QPrinter(QPrinter::HighResolution);
  printer_->setFromTo(1, 1);
  QPrintDialog dialog(printer_, this);
  dialog.setObjectName("PrintDialog");
  dialog.setMinMax(1, 1);
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                    QAbstractPrintDialog::PrintSelection);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintActiveModel(*printer_);
}

void TSVmain::PrintActiveModel(QPrinter& printer) {
  TMSystem* model = ActiveModel();
  if (!model || !model->widget()) return;
  QCoreApplication::processEvents();
  const QPixmap image = model->widget()->grab();
  QPainter painter;
  // A printer that cannot start its job ends the command without a message.
  if (!painter.begin(&printer)) return;
  const int width = painter.device()->width();
  const int height = painter.device()->height();
  const int left = static_cast<int>(std::lround(0.05 * width));
  const int top = static_cast<int>(std::lround(0.05 * height));
  painter.drawPixmap(QRect(QPoint(left, top), QPoint(width - left - 1, height - top - 1)), image);
  painter.end();
}

void TSVmain::miPrintSetupClick() {
  if (!printer_) printer_ = new QPrinter(QPrinter::HighResolution);
  QPageSetupDialog dialog(printer_, this);
  dialog.setObjectName("PrinterSetupDialog");
  dialog.exec();
}

void TSVmain::AddToInspector(TObjectDescription* description) {
  ObjectInspector->AddObject(std::unique_ptr<TObjectDescription>(description));
  ObjectInspector->SetActiveObject();
}

void TSVmain::miBoneClick() {
  TMSystem* model = ActiveModel();
  if (!model) return;
  TMechanicalSystem& system = *model->MechanicalSystem;
  const int last = system.Bones.Count() - 1;
  const long double y0 = last >= 1 ? system.Bone(last)->EndPointY : 0.0L;
  const std::string name = "Bone" + system.BoneCounter.Next();
  auto* bone = new TBone(&system, name, 0.3L, 2.0L, 100.0L, 0.3L, y0, 0.1L, 0.3L, y0 + 0.3L, 0.1L);
  AddToInspector(bone->ObjectDescription(name).release());
  model->Redraw();
}

void TSVmain::miJointClick() {
  TMSystem* model = ActiveModel();
  if (!model) return;
  TMechanicalSystem& system = *model->MechanicalSystem;
  const int last = system.Bones.Count() - 1;
  const long double y0 = last >= 1 ? system.Bone(last)->EndPointY : 0.0L;
  const std::string name = "Joint" + system.JointCounter.Next();
  auto* joint = new TJoint(&system, name, 0.3L, y0, 0.1L, nullptr, nullptr, 10.0L, 90.0L, 0.0L,
                           0.0L, 0.0L, 0.0L);
  AddToInspector(joint->ObjectDescription(name).release());
  model->Redraw();
}

void TSVmain::miMuscleClick() {
  TMSystem* model = ActiveModel();
  if (!model) return;
  TMechanicalSystem& system = *model->MechanicalSystem;
  const std::string name = "Muscle" + system.MuscleCounter.Next();
  auto* muscle = new TMuscle(&system, name);
  // TODO(muscle properties): open the muscle-properties dialog on the new muscle here, once it
  // exists; whatever its result, the muscle stays in the system.
  AddToInspector(muscle->ObjectDescription(name).release());
  model->Redraw();
}

void TSVmain::miPropertiesClick() { ObjectInspector->OnDblClick(); }

void TSVmain::miOptionsClick() {
  if (options_) options_->exec();
}

void TSVmain::miAboutClick() {
  if (logo_) logo_->exec();
}

void TSVmain::tbRedrawClick() {
  if (TMSystem* model = ActiveModel()) model->Redraw();
}

void TSVmain::cbObjectsChange() { ObjectInspector->SetActiveObject(); }

}  // namespace sarvanta
