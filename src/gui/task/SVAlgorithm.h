// The motor-task window ("Motor control"): one modeless window for the whole program, bound to
// the system and the algorithm of one model window at a time. Its pages set up the task (goals,
// time frame, limitations, HGA settings), its run strip runs, stops and traces the algorithm,
// and the monitor page shows a run as it goes.
//
// Ownership: the window owns its controls and the goal inspector; it owns no model. The bound
// model window owns the system and the algorithm; the main window calls ForgetModel before a
// model window frees them, and a model window cannot close while its algorithm is in a run
// (RunInProgress). Threads: everything here runs on the user-interface thread. A run is one
// long call (RunAll) that lets pending events run after every generation and at every log
// message, so the handlers below may be entered while a run is on the call stack.
#pragma once

#include "base/Component.h"
#include "base/StringList.h"
#include "task/AutoSave.h"
#include "task/ChartScale.h"
#include "task/OperationText.h"
#include "task/SeriesColors.h"
#include "task/SummaryChart.h"
#include "task/TaskSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <functional>
#include <memory>
#include <vector>

class QAction;

namespace sarvanta {

class TChart;
class TChartProperties;
class TColorSwatch;
class TSeries;
class TGeneticAlgorithm;
class TIndividual;
class TMotorUnit;
class TMSystem;
class TMechanicalSystem;
class TObjectInspector;
class TOptions;

class TSVAlgorithm : public QDialog {
  Q_OBJECT

 public:
  explicit TSVAlgorithm(QWidget* parent = nullptr);
  ~TSVAlgorithm() override;

  // Binds the model window, moves the time frame into its algorithm, opens page `page`
  // (0 Goals, 1 Limitations, 2 Time Frame, 3 HGA Settings, 4 Results) and shows the window.
  void ShowTask(int page, TMSystem* model);
  // Shows the window on its "Monitor" page.
  void ShowMonitor();
  // Binds the model window's system and algorithm and fills the lists that come from them.
  // While a run loops on the bound algorithm the binding stays as it is.
  void SetModel(TMSystem* model);
  // The model window is about to free its system and algorithm: the window lets go of them.
  void ForgetModel(TMSystem* model);
  TMSystem* BoundModel() const { return model_; }
  // A Run or a Trace step of the bound algorithm is on the call stack.
  bool RunInProgress() const { return callDepth_ > 0; }
  // Stops a looping run after the generation in progress.
  void RequestStop();

  // Reads a task file into the bound algorithm and shows it on the pages.
  void LoadHGA(const QString& fileName);
  // Writes the bound algorithm as a task file (after copying the pages into it).
  void SaveHGA(const QString& fileName);

  // The numbers of "start", "end" and the first precision box; text that is not a number
  // gives 0 and becomes "0".
  long double GetFromMoment();
  long double GetToMoment();
  long double GetPrecision();

  // The settings as the pages hold them, and back.
  TTaskSettings Settings() const;
  void ShowSettings(const TTaskSettings& settings);

  // The main window's items that follow the run (shown, hidden, enabled) and its status
  // panel; set once by the main window.
  void SetMainWindowControls(QAction* run, QAction* stop, QAction* trace, QLabel* statusPanel);
  // Shows the formula language (the "Syntax" button of the goal definitions); set at start-up.
  std::function<void()> OnShowSyntax;
  // Shows a failure; a message box unless replaced (tests collect the texts).
  std::function<void(const QString&)> OnError;
  // The chart-properties dialog that a double click on a results chart opens (not owned).
  void SetChartProperties(TChartProperties* dialog) { chartProperties_ = dialog; }
  // A double click on a results chart: its properties and scale in the dialog.
  void cMusclesDblClick(TChart* chart, int tag);
  // Writes the data or the picture of the visible results chart.
  void SaveChartData(const QString& fileName);
  void SaveChartImage(const QString& fileName);
  // The chart of the visible results page.
  TChart* VisibleResultsChart() const;

  // Bound model (not owned).
  TMechanicalSystem* MechanicalSystem = nullptr;
  TGeneticAlgorithm* GeneticAlgorithm = nullptr;
  TObjectInspector* GoalInspector = nullptr;  // owned (a child object)
  double ElapsedTime = 0;                     // run time so far, in days
  double LastTimeMark = 0;                    // the moment up to which run time was added, in days
  int32_t GoalCounter = 0;
  TChartScales ChartScales{};

  // Page control and run strip.
  QTabWidget* pcMotorControl;
  QToolButton *bbRun, *bbStop, *bbDebugRun;
  QProgressBar* pbProgerss;
  QPushButton *bbSave, *bbLoad, *bbOK;

  // "&Goals".
  QListWidget *lbStandardGoals, *lbGoalsList;
  QPushButton *bbAdd, *bbDelete;
  QComboBox *cbGoal, *cbGoalValueList;
  QTableWidget* sgGolaDefinition;
  QToolButton* bDefine;
  QPushButton* bbSyntax;

  // "&Time Frame".
  QLineEdit *eFromMoment, *eToMoment, *eCtrlExt, *ePrecision, *eVariablePrecision, *eForSteps;
  QCheckBox* cbAlwaysShowFrame;
  QLineEdit *eShowWithPrecision, *eShowFrom, *eShowTo;
  QCheckBox* cbOscilate;
  QLineEdit *eOscStep, *eOscilateOnEach, *eFrameSize, *eOnStep, *eMoveWith, *eStopMoveAfter;
  QCheckBox *cbFixedStart, *cbPrecedingCtrlExt;

  // "&Limitations".
  QListWidget* lbLimitations;

  // "&HGA Settings".
  QGroupBox* gbNumberOfSteps;
  QLineEdit *ePopulationSize, *eNumberOfSteps, *eMutationsPerStep, *eCrossoversPerStep,
      *eCOmMutPerStep, *eInitParameter;
  QComboBox *cbInitMethod, *cbForMutation, *cbForCrossover, *cbForReinsertion, *cbMethod,
      *cbStopCriterion;
  QTabWidget* pcGeneticOperatoions;
  QComboBox *cbMutationOperations, *cbCrossoverOperations, *cbCommonMutationOperations;
  QLineEdit *emNumberOfPoints, *emRange, *emProbabilityDependance;
  QLineEdit *ecNumberOfPoints, *ecProbabilityDependance;
  QLineEdit *ecmNumberOfPoints, *ecmRange, *ecmProbabilityDependence;
  QPushButton *bbAddOperation, *bbDeleteOperation;
  QListWidget* lbOperations;

  // "&Results".
  QComboBox* cbSolution;
  QTabWidget* pcResults;
  QComboBox *cbMuscles, *cbMotorUnits;  // "Motor Units"
  QLineEdit *eFmax, *eTc, *eTr, *eT, *eFmin, *eTref, *eTf, *ePow;
  QComboBox* cbMuscle;  // "Muscles"
  QListWidget* lbMotorUnitsList;
  QComboBox* cbGoals;  // "Goals"
  QPlainTextEdit* mDescription;
  QLineEdit *eGoalWeight, *eEstimation;
  QLineEdit* eTitle;  // "Summary"
  QComboBox *cbChart, *cbStyle, *cbPointers;
  TColorSwatch* sColor;
  QCheckBox *cbAll, *cb3D;
  QPushButton *bbAddSeria, *bbReset, *bbDeleteChart;
  QListWidget* lbCharts;
  QComboBox *cbObjects, *cbValueList;  // "Divers"
  QTableWidget* sgObjectProperties;
  QToolButton* bDefineProperty;
  TChart *cMotorUnits, *cMuscles, *cGoals, *cSummary, *cParamFunct;
  QWidget* pSave;
  QToolButton *sbSaveData, *sbSave;
  TObjectInspector* FunctionInspector = nullptr;  // owned (a child object)
  TStringList ParamFunctions;                     // the six derived functions (owned below)
  TSeriesColorCounter ColorCounter;

  // "&Monitor".
  QLineEdit *eLastStepChange, *eStep, *eFrom, *eTo;
  QLabel *stOverallSteps, *stElapsedTime;
  TChart* cPerformance;
  QListWidget* lbLog;
  QCheckBox* cbShowLog;

 signals:
  // A Run or Trace call has returned (a model window waiting to close may go now).
  void RunEnded();
  // The project was saved automatically under this name.
  void AutoSaved(const QString& fileName);

 public slots:
  void bbRunClick();
  void bbDebugRunClick();
  void bbOKClick();
  void FormActivate();
  void UpdateGraphic();
  void AutoSave();
  void bbAddClick();
  void bbDeleteClick();
  void lbGoalsListClick();
  void cbGoalChange();
  void eTimeFrameExit();
  void cbOscilateClick();
  void cbStopCriterionChange();
  void GeneralOptionExit();
  void bbAddOperationClick();
  void bbDeleteOperationClick();
  void lbOperationsClick();
  void bbSaveClick();
  void bbLoadClick();
  void cbShowLogClick();
  // Results page.
  void cbMusclesChange();
  void cbMotorUnitsChange();
  void cbGoalsChange();
  void cbObjectsChange();
  void bbAddSeriaClick();
  void bbAddAllSerias();
  void bbDeleteChartClick();
  void bbResetClick();
  void cb3DClick();
  void sbSaveDataClick();
  void SaveImageClick();

 public:
  // Installed as the algorithm's OnStep and (while "Show Log" is checked) OnTrace.
  void GAStep();
  void GATrace(int kind, const std::string& text);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Window layout (SVAlgorithmPages.cpp).
  void CreateControls();
  QWidget* CreateRunStrip();
  QWidget* CreateGoalsPage();
  QWidget* CreateTimeFramePage();
  QWidget* CreateLimitationsPage();
  QWidget* CreateHGASettingsPage();
  QWidget* CreateGeneralTab();
  QWidget* CreateFunctionsTab();
  QWidget* CreateOperationsGroup();
  // Results page (SVAlgorithmResultsPage.cpp, SVAlgorithmResults.cpp).
  QWidget* CreateResultsPage();
  QWidget* CreateMotorUnitsResults();
  QWidget* CreateMusclesResults();
  QWidget* CreateGoalsResults();
  QWidget* CreateSummaryResults();
  QWidget* CreateDiversResults();
  TChart* CreateResultsChart(const char* name, const QString& title, const QString& leftTitle);
  void ConnectResultsHandlers();
  void UpdateResults();
  void ChartMotorUnit();
  void ChartMuscle();
  void ChartGoal();
  void ChartSummary();
  void ChartFunction();
  void ShowCurve(TChart* chart, int series, const std::vector<TCurvePoint>& points);
  const TIndividual* ChosenSolution() const;
  const TMotorUnit* ChosenMotorUnit() const;
  void ShowMotorUnitParameters();
  TSeries* CreateSummarySeries(int style);
  void AddSummaryEntry(const QString& title, const TChartDescription& description,
                       bool withSecondSeries);
  void ListFunctions();
  QWidget* CreateMonitorPage();
  void ConnectHandlers();

  // Runs (SVAlgorithmRun.cpp).
  void InstallHandlers();
  void PrepareFreshRun();
  void ListGoalsForResults();
  void ListPopulation();
  void ShowRunning(bool running);
  void FinishRun();
  void AddRunTime();
  void UpdateMonitor();
  TAutoSaveOptions AutoSaveOptions() const;
  double RunSeconds() const;

  // Lists that show the bound algorithm's goals and operations.
  void ShowGoalsOfAlgorithm();
  void ShowOperationsOfAlgorithm();
  void CopyGoalsToAlgorithmAndResults();
  void ClearBoundLists();
  void FillLimitations();
  void FillMuscleLists();

  // Runs a handler's body; a failure is shown, and the handler ends there.
  bool Guarded(const std::function<void()>& action);
  void ShowError(const QString& text);

  TMSystem* model_ = nullptr;
  TAutoSaveSchedule autoSaveSchedule_;
  int callDepth_ = 0;
  // A Run is under way, from its preparation to its end; Stop may come at any point of it.
  bool looping_ = false;
  bool stopRequested_ = false;
  QAction* miRun_ = nullptr;
  QAction* miStop_ = nullptr;
  QAction* miTrace_ = nullptr;
  QLabel* statusPanel_ = nullptr;
  // Controls that change what a generation uses; disabled while a run loops.
  std::vector<QWidget*> lockedWhileRunning_;
  TChartProperties* chartProperties_ = nullptr;
  // Owns the six derived functions of the "Divers" page.
  std::unique_ptr<TComponent> functionOwner_;
  // One entry per line of lbCharts: what it charts and the summary series it fills.
  struct TSummaryEntry {
    TChartDescription Description;
    TSeries* Series = nullptr;
    TSeries* SecondSeries = nullptr;
  };
  std::vector<TSummaryEntry> summary_;
};

}  // namespace sarvanta
