// The main window: a multiple-document frame whose documents are model windows, with the
// object inspector in a panel on the left, the menu, the tool bar and the status line.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <QSet>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <string>

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

// The answers to "Save changes to <name>?".
enum class TSaveAnswer { Save, Discard, Cancel };

// Ownership: the main window owns its model windows (children of ClientArea) and the object
// inspector; the long-lived windows set through Set... are owned by the start-up. Everything
// runs on the user-interface thread.
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
  // with what was read. A file that a window holds already is opened over it, after asking
  // about that window's changes; Cancel returns that window untouched. Returns the window.
  TMSystem* OpenProject(const QString& fileName);
  // Writes the active model to the file; false (with the error shown) when it fails.
  bool SaveActiveModel(const QString& fileName);
  // Writes the model to the file (the project alone); false (with the error shown) on failure.
  bool SaveModel(TMSystem* model, const QString& fileName);
  // Whether the model's changes may go now: it holds none, or the user saved them or chose to
  // discard them. False (Cancel, or a failed or cancelled save) keeps everything as it was.
  bool MayLoseChanges(TMSystem* model);
  // After the 3D-view option changed: asks about every window's changes, keeps the option,
  // closes the program and starts it again with the open project files. False when the user
  // cancelled (the option goes back to what it was) or a run is in progress.
  bool RestartProgram();
  // Puts a message about what the program did into the status line.
  void ShowStatus(const QString& text);
  // The recent-files list, newest first (kept in the settings).
  QStringList RecentFiles() const;
  // Where the file dialogs start: the last folder used, at first the documents folder.
  QString StartFolder() const;
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
  // Asks "Save changes to <name>?"; a message box with Save, Discard and Cancel unless replaced.
  std::function<TSaveAnswer(const QString&)> OnAskSave;
  // Asks for a project file to open (saving false) or to save (true), starting in `folder`;
  // an empty name cancels. A file dialog unless replaced.
  std::function<QString(bool saving, const QString& folder, const QString& name)> OnChooseFile;
  // Starts the program again with these project files; a new process unless replaced.
  std::function<void(const QStringList&)> OnRestart;

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
  QAction *miNew, *miOpen, *miSave, *miSaveAs, *miClose, *miPrint, *miPrintSetup, *miExit;
  QMenu* miRecentFiles;
  QMenu* miWindow;
  QAction *miCut, *miCopy, *miPaste, *miProperties, *miDelete;
  QAction *miMuscle, *miBone, *miJoint;
  QAction *miRun, *miStop, *miTrace, *miGoals, *miTimeFrame, *miLimitations, *miHGASettings,
      *miResults, *miReport;
  QAction* miOptions;
  QAction *miObjectInspector, *miStatusLine, *miToolbar, *miSystemMonitor, *miFitToWindow;
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
  void miCloseClick();
  void miCascadeClick();
  void miTileClick();
  void miFitToWindowClick();
  // Lists the open model windows under the window commands, the active one checked.
  void FillWindowMenu();
  void FillRecentFiles();

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
  // Whether the model window may close now: during its run, asks to stop it first (and closes
  // it when the run has ended); otherwise asks about its changes.
  bool ModelMayClose(TMSystem* model);
  void SaveTaskBeside(TMSystem* model);
  void AddToInspector(TObjectDescription* description);
  // After a Place command: the model is changed, redrawn, and the status line says so.
  void Placed(TMSystem* model, const std::string& name);
  void ShowError(const QString& text);
  void closeEvent(QCloseEvent* event) override;
  // Whether the program may end: no run in progress (else it is stopped first and the program
  // ends after it) and every window's changes saved or discarded.
  bool MayQuit();
  // The inspector lists the objects of this model window, and only those (none for nullptr).
  void ShowModelInInspector(TMSystem* model);
  void ActiveWindowChanged();
  TMSystem* ModelWithFile(const QString& fileName) const;
  QString ChooseFile(bool saving, const QString& name);
  // The file was opened or saved: it joins the recent files and the files this run knows.
  void RememberFile(const QString& fileName);
  void RepaintModels();
  void RestoreWindowState();
  void SaveWindowState() const;

  TLogo* logo_ = nullptr;
  TOptions* options_ = nullptr;
  TSystemResources* monitor_ = nullptr;
  TSVAlgorithm* motorTask_ = nullptr;
  TReportWizard* reportWizard_ = nullptr;
  bool quitAfterRun_ = false;
  // Set while the program closes after every window's changes were settled (restart).
  bool changesSettled_ = false;
  QPrinter* printer_ = nullptr;
  QPointer<TMSystem> inspected_;
  // Files opened or saved since the program started: saving over them does not ask.
  QSet<QString> knownFiles_;
};

}  // namespace sarvanta
