// The main window: a multiple-document frame whose documents are model windows, with the
// object inspector in a panel on the left, the menu, the tool bar and the status line.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <functional>

class QPrinter;

namespace sarvanta {

class TLogo;
class TMSystem;
class TObjectDescription;
class TObjectInspector;
class TOptions;
class TReportWizard;
class TSVAlgorithm;
class TSystemResources;

class TSVmain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TSVmain(QWidget* parent = nullptr);
  ~TSVmain() override;

  // The long-lived windows created after the main window (start-up order).
  void SetLogo(TLogo* logo) { logo_ = logo; }
  void SetOptions(TOptions* options);
  void SetSystemMonitor(TSystemResources* monitor);
  // The motor-task window (a child of this window); its commands are enabled from now on.
  void SetMotorTask(TSVAlgorithm* motorTask);
  TSVAlgorithm* MotorTask() const { return motorTask_; }
  // The report wizard; "Rep&ort..." is enabled from now on.
  void SetReportWizard(TReportWizard* wizard);

  // The active model window, or none.
  TMSystem* ActiveModel() const;
  QList<TMSystem*> Models() const;

  // Opens a project into a new model window. A read failure is shown; the window stays open
  // with what was read. Returns the new window.
  TMSystem* OpenProject(const QString& fileName);
  // Writes the active model to the file; false (with the error shown) when it fails.
  bool SaveActiveModel(const QString& fileName);
  // Save As: writes the active model, and its task beside it (same base name, ".hga") when the
  // task holds goals or operations.
  bool SaveActiveModelAs(const QString& fileName);
  // Prints an image of the active model window on one page of the printer.
  void PrintActiveModel(QPrinter& printer);

  TObjectInspector* ObjectInspector = nullptr;
  // Shows a failure of a command; a message box unless replaced (tests collect the texts).
  std::function<void(const QString&)> OnError;
  // Asks a yes-or-no question; a message box unless replaced (tests answer it).
  std::function<bool(const QString&)> OnAsk;

  QMdiArea* ClientArea;
  QToolBar* tbSpeedBar;
  QStatusBar* StatusLine;
  QLabel* StatusPanel0;
  QLabel* StatusPanel1;
  QSplitter* Splitter1;
  QFrame* pObjectInspector;
  QWidget* pObjects;
  QComboBox* cbObjects;
  QTableWidget* sgObjectProperties;
  QToolButton* bDefine;
  QComboBox* cbValueList;

  // Menu items.
  QAction *miNew, *miOpen, *miSave, *miSaveAs, *miPrint, *miPrintSetup, *miExit;
  QAction *miCut, *miCopy, *miPaste, *miProperties, *miDelete;
  QAction *miMuscle, *miBone, *miJoint;
  QAction *miRun, *miStop, *miTrace, *miGoals, *miTimeFrame, *miLimitations, *miHGASettings,
      *miResults, *miReport;
  QAction* miOptions;
  QAction *miObjectInspector, *miStatusLine, *miToolbar, *miSystemMonitor;
  QAction *miTile, *miCascade;
  QAction *miContents, *miSearch, *miAbout;
  // Tool-bar buttons.
  QAction *tbNew, *tbOpen, *tbSave, *tbPrint, *tbPrintSetup, *tbCut, *tbCopy, *tbPaste, *tbRedraw;

 public slots:
  TMSystem* tbNewClick();
  void miOpenClick();
  void miSaveClick();
  void miSaveAsClick();
  void tbPrintClick();
  void miPrintSetupClick();
  void miPropertiesClick();
  void miBoneClick();
  void miJointClick();
  void miMuscleClick();
  void miOptionsClick();
  void miAboutClick();
  void tbRedrawClick();
  void cbObjectsChange();
  void miObjectInspectorClick(bool checked);
  void miStatusLineClick(bool checked);
  void miToolbarClick(bool checked);
  void miSystemMonitorClick(bool checked);
  void miRunClick();
  void miTraceClick();
  void miShowTaskClick();
  void miReportClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusLine();
  void CreateInspectorPanel();
  void UpdateCommandStates();
  void pObjectInspectorResize();
  bool sgObjectPropertiesMouseDown(QEvent* event);
  TMSystem* NewModelWindow();
  // Binds the active model to the motor-task window unless a run holds the window.
  TMSystem* BindActiveModel();
  // Whether the model window may close now; during its run, asks to stop it first.
  bool ModelMayClose(TMSystem* model);
  void SaveTaskBeside(TMSystem* model);
  void AddToInspector(TObjectDescription* description);
  void ShowError(const QString& text);
  void closeEvent(QCloseEvent* event) override;

  TLogo* logo_ = nullptr;
  TOptions* options_ = nullptr;
  TSystemResources* monitor_ = nullptr;
  TSVAlgorithm* motorTask_ = nullptr;
  TReportWizard* reportWizard_ = nullptr;
  bool quitAfterRun_ = false;
  QPrinter* printer_ = nullptr;
};

}  // namespace sarvanta
