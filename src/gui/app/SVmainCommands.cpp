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
#include "task/ReportWizard.h"
#include "task/SVAlgorithm.h"

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

void TSVmain::ShowError(const QString& text) {
  if (OnError)
    OnError(text);
  else
    QMessageBox::critical(this, "Sarvanta", text);
}

void TSVmain::SetMotorTask(TSVAlgorithm* motorTask) {
  motorTask_ = motorTask;
  if (!motorTask_) return;
  motorTask_->SetMainWindowControls(miRun, miStop, miTrace, StatusPanel0);
  // A run writes its solutions into the model and an automatic save stores them: the
  // captions show either.
  const auto updateCaptions = [this] {
    for (TMSystem* model : Models()) model->UpdateCaption();
  };
  connect(motorTask_, &TSVAlgorithm::RunEnded, this, [this, updateCaptions] {
    updateCaptions();
    ShowStatus("Run ended");
  });
  connect(motorTask_, &TSVAlgorithm::AutoSaved, this, [this, updateCaptions](const QString& name) {
    updateCaptions();
    ShowStatus("Saved automatically: " + QFileInfo(name).fileName());
  });
  for (QAction* task :
       {miRun, miStop, miTrace, miGoals, miTimeFrame, miLimitations, miHGASettings, miResults})
    task->setEnabled(true);
}

void TSVmain::SetReportWizard(TReportWizard* wizard) {
  reportWizard_ = wizard;
  miReport->setEnabled(reportWizard_ != nullptr);
}

void TSVmain::miReportClick() {
  TMSystem* model = ActiveModel();
  if (reportWizard_ && model) reportWizard_->ShowReport(model->GeneticAlgorithm.get());
}

TMSystem* TSVmain::BindActiveModel() {
  TMSystem* model = ActiveModel();
  if (!motorTask_) return nullptr;
  if (model && !motorTask_->RunInProgress()) motorTask_->SetModel(model);
  return motorTask_->BoundModel();
}

void TSVmain::miRunClick() {
  if (!BindActiveModel()) return;
  // A run started from the menu is watched on the monitor page.
  if (!motorTask_->isVisible() && !motorTask_->RunInProgress()) motorTask_->ShowMonitor();
  motorTask_->bbRunClick();
}

void TSVmain::miTraceClick() {
  if (BindActiveModel()) motorTask_->bbDebugRunClick();
}

void TSVmain::miShowTaskClick() {
  auto* item = qobject_cast<QAction*>(sender());
  TMSystem* model = ActiveModel();
  if (!item || !model || !motorTask_) return;
  motorTask_->ShowTask(item->data().toInt(), model);
}

TMSystem* TSVmain::NewModelWindow() {
  const bool withView = !(options_ && options_->cbDisableOpenGLModelView->isChecked());
  auto* model = new TMSystem(ObjectInspector, withView);
  model->MayClose = [this](TMSystem* closing) { return ModelMayClose(closing); };
  model->AboutToFree = [this](TMSystem* freed) {
    if (motorTask_) motorTask_->ForgetModel(freed);
  };
  ClientArea->addSubWindow(model);
  model->showMaximized();
  ClientArea->setActiveSubWindow(model);
  ShowModelInInspector(model);
  connect(
      model, &QObject::destroyed, this, [this] { ActiveWindowChanged(); }, Qt::QueuedConnection);
  UpdateCommandStates();
  return model;
}

TMSystem* TSVmain::tbNewClick() { return NewModelWindow(); }

void TSVmain::SaveTaskBeside(TMSystem* model) {
  const TGeneticAlgorithm& algorithm = *model->GeneticAlgorithm;
  if (algorithm.Goals.Count() == 0 && algorithm.Operations.Count() == 0) return;
  const QString taskName = QFileInfo(model->FileName).path() + "/" +
                           QFileInfo(model->FileName).completeBaseName() + ".hga";
  if (motorTask_ && motorTask_->BoundModel() == model) {
    motorTask_->SaveHGA(taskName);
    return;
  }
  try {
    SaveTaskToFile(algorithm, ToStdString(taskName));
  } catch (const std::exception& e) {
    ShowError(QString::fromLocal8Bit(e.what()));
  }
}

bool TSVmain::SaveActiveModelAs(const QString& fileName) {
  TMSystem* model = ActiveModel();
  if (!model || !SaveActiveModel(fileName)) return false;
  // The task goes along, so that opening the new project brings it back.
  SaveTaskBeside(model);
  return true;
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

void TSVmain::Placed(TMSystem* model, const std::string& name) {
  model->SetModified(true);
  model->Redraw();
  ShowStatus("Placed " + ToQString(name));
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
  Placed(model, name);
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
  Placed(model, name);
}

void TSVmain::miMuscleClick() {
  TMSystem* model = ActiveModel();
  if (!model) return;
  TMechanicalSystem& system = *model->MechanicalSystem;
  const std::string name = "Muscle" + system.MuscleCounter.Next();
  auto* muscle = new TMuscle(&system, name);
  // The new muscle is described in its dialog; whatever its answer, it stays in the system,
  // under the name the dialog gave it.
  if (TMuscle::PropertiesEditor) TMuscle::PropertiesEditor(muscle);
  AddToInspector(muscle->ObjectDescription(muscle->Descr).release());
  Placed(model, muscle->Descr);
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
