#include "app/StartUp.h"

#include "app/Logo.h"
#include "app/SVmain.h"
#include "settings/ChartProperties.h"
#include "settings/Options.h"
#include "settings/SystemResources.h"
#include "task/ReportWizard.h"
#include "task/SVAlgorithm.h"

#include <QApplication>
#include <QLocale>

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
  // The property dialogs and the function windows join here as they are built.
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

TStartUp::~TStartUp() {
  SVmain.reset();
  SystemResources.reset();
  Options.reset();
  Logo.reset();
}

}  // namespace sarvanta
