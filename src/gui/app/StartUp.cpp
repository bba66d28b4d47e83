#include "app/StartUp.h"

#include "app/Logo.h"
#include "app/SVmain.h"
#include "editors/FunctionGraphic.h"
#include "editors/FunctionWizard.h"
#include "editors/MUParameters.h"
#include "editors/MuscleProperties.h"
#include "ga/GoalFunction.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "settings/ChartProperties.h"
#include "settings/Options.h"
#include "settings/SystemResources.h"
#include "task/ReportWizard.h"
#include "task/SVAlgorithm.h"

#include <QApplication>
#include <QLocale>
#include <QPointer>

namespace sarvanta {

TStartUp::TStartUp() {
  QApplication::setApplicationDisplayName(QString());
  QApplication::setApplicationName("Sarvanta");
  // Number text uses "." whatever the user's locale.
  QLocale::setDefault(QLocale::c());

  SVmain = std::make_unique<TSVmain>();
  Logo = std::make_unique<TLogo>();
  Options = std::make_unique<TOptions>();
  SystemResources = std::make_unique<TSystemResources>();
  SVmain->SetLogo(Logo.get());
  SVmain->SetOptions(Options.get());
  SVmain->SetSystemMonitor(SystemResources.get());
  QObject::connect(Options.get(), &TOptions::ProgramEndRequested, SVmain.get(),
                   &TSVmain::RestartProgram, Qt::QueuedConnection);

  Logo->show();
  Logo->repaint();
  QApplication::processEvents();
  SVAlgorithm = new TSVAlgorithm(SVmain.get());
  SVmain->SetMotorTask(SVAlgorithm);
  ChartProperties = new TChartProperties(SVmain.get());
  SVAlgorithm->SetChartProperties(ChartProperties);
  CreateEditors();
  try {
    ReportWizard = new TReportWizard(SVmain.get());
    SVmain->SetReportWizard(ReportWizard);
  } catch (const std::exception&) {
    // Without the wizard the program goes on; its menu item stays disabled.
    ReportWizard = nullptr;
  }
  Logo->hide();
  SVmain->show();
}

void TStartUp::CreateEditors() {
  MUParameters = new TMUParameters(SVmain.get());
  MuscleProperties = new TMuscleProperties(SVmain.get());
  FunctionGraphic = new TFunctionGraphic(SVmain.get());
  FunctionWizard = new TFunctionWizard(SVmain.get());
  MUParameters->SetFunctionGraphic(FunctionGraphic);
  MuscleProperties->SetFunctionGraphic(FunctionGraphic);
  FunctionWizard->SetMotorTask(SVAlgorithm);
  // The goal definitions, where formulas are typed, show the formula language too.
  SVAlgorithm->OnShowSyntax = [wizard = FunctionWizard] { wizard->bbSyntaxClick(); };
  // Rows keep a copy of the operation; a window already gone makes it do nothing.
  TMotorUnit::ParametersEditor = [dialog = QPointer(MUParameters)](TInspectedObject* object) {
    if (dialog) dialog->Edit(object);
  };
  TMuscle::PropertiesEditor = [dialog = QPointer(MuscleProperties)](TInspectedObject* object) {
    if (dialog) dialog->Edit(object);
  };
  TGoalFunction::ExpressionEditor = [wizard = QPointer(FunctionWizard)](TInspectedObject* object) {
    if (wizard) wizard->Edit(object);
  };
}

TStartUp::~TStartUp() {
  TMotorUnit::ParametersEditor = nullptr;
  TMuscle::PropertiesEditor = nullptr;
  TGoalFunction::ExpressionEditor = nullptr;
  SVmain.reset();
  SystemResources.reset();
  Options.reset();
  Logo.reset();
}

}  // namespace sarvanta
