// The long-lived windows of the program, created in their fixed order at start-up and freed
// at the end.
#pragma once

#include <memory>

namespace sarvanta {

class TFunctionGraphic;
class TFunctionWizard;
class TLogo;
class TMUParameters;
class TMuscleProperties;
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
  // Frees the windows; the options window writes its settings. The edit operations of the
  // inspector rows are removed first.
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
  // The property editors, owned by the main window (its children) like the motor-task window;
  // the inspector rows of motor units, muscles and goal expressions open them.
  TMUParameters* MUParameters = nullptr;
  TMuscleProperties* MuscleProperties = nullptr;
  TFunctionGraphic* FunctionGraphic = nullptr;
  TFunctionWizard* FunctionWizard = nullptr;

 private:
  void CreateEditors();
};

}  // namespace sarvanta
