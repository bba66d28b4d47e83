// The long-lived windows of the program, created in their fixed order at start-up and freed
// at the end.
#pragma once

#include <memory>

namespace sarvanta {

class TLogo;
class TOptions;
class TChartProperties;
class TReportWizard;
class TSVAlgorithm;
class TSVmain;
class TSystemResources;

class TStartUp {
 public:
  // Creates the main window, the start-up picture, the options window and the system monitor;
  // shows the picture while the later windows are created, then hides it and shows the main
  // window.
  TStartUp();
  // Frees the windows; the options window writes its settings.
  ~TStartUp();

  std::unique_ptr<TSVmain> SVmain;
  std::unique_ptr<TLogo> Logo;
  std::unique_ptr<TOptions> Options;
  std::unique_ptr<TSystemResources> SystemResources;
  // Owned by the main window (its children), so that they outlive every model window.
  TSVAlgorithm* SVAlgorithm = nullptr;
  TChartProperties* ChartProperties = nullptr;
  // None when it could not be created; "Rep&ort..." then stays disabled.
  TReportWizard* ReportWizard = nullptr;
};

}  // namespace sarvanta
