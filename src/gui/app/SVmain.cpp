#include "app/SVmain.h"
#include "app/WindowPlacement.h"

#include "app/MSystem.h"
#include "app/ObjectInspector.h"
#include "app/Resources.h"
#include "model/InspectedObject.h"
#include "settings/SystemResources.h"

#include <QEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinter>
#include <QVBoxLayout>

namespace sarvanta {

namespace {

QAction* MakeAction(QObject* parent, const char* name, const QString& caption,
                    const QKeySequence& shortcut = {}, const char* icon = nullptr) {
  auto* action = new QAction(caption, parent);
  action->setObjectName(name);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  if (icon) action->setIcon(QIcon(QString(":/icons/%1.svg").arg(icon)));
  return action;
}

}  // namespace

TSVmain::TSVmain(QWidget* parent) : QMainWindow(parent) {
  InitResources();
  setObjectName("SVmain");
  setWindowTitle("Sarvanta Ver. 0.76b1");
  setWindowIcon(QIcon(":/icons/muscle.svg"));
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusLine();
  CreateInspectorPanel();

  ObjectInspector = new TObjectInspector(this, bDefine, sgObjectProperties, cbValueList, cbObjects);
  ObjectInspector->OnChange = [this](TObjectInspector*) { tbRedrawClick(); };
  // The inspector lists the shown model's objects only, so every written value is its change.
  ObjectInspector->OnValueWritten = [this](TInspectedObject*) {
    if (inspected_) inspected_->SetModified(true);
  };
  ObjectInspector->OnRefusal = [this](const QString& reason) { ShowStatus(reason); };
  connect(cbObjects, &QComboBox::activated, this, &TSVmain::cbObjectsChange);

  connect(ClientArea, &QMdiArea::subWindowActivated, this, &TSVmain::ActiveWindowChanged);
  UpdateCommandStates();
  RestoreWindowState();
}

TSVmain::~TSVmain() {
  // Model windows go first: their objects leave the inspector before it is freed. Closed
  // windows whose deferred deletion has not run yet are no longer listed by the area but are
  // still its children: they go too.
  for (TMSystem* model : findChildren<TMSystem*>()) delete model;
  delete ObjectInspector;
  delete printer_;
}

void TSVmain::SetOptions(TOptions* options) { options_ = options; }

void TSVmain::SetSystemMonitor(TSystemResources* monitor) {
  monitor_ = monitor;
  // Closing the monitor's own window unchecks its menu item.
  if (monitor_)
    connect(monitor_, &QDialog::finished, this, [this] { miSystemMonitor->setChecked(false); });
}

void TSVmain::CreateActions() {
  miNew = MakeAction(this, "miNew", "&New", QKeySequence("Ctrl+N"), "new");
  miOpen = MakeAction(this, "miOpen", "&Open...", QKeySequence("Ctrl+O"), "open");
  miSave = MakeAction(this, "miSave", "&Save", QKeySequence("Ctrl+S"), "save");
  miSaveAs = MakeAction(this, "miSaveAs", "Save &As...");
  miClose = MakeAction(this, "miClose", "&Close", QKeySequence("Ctrl+F4"));
  miPrint = MakeAction(this, "miPrint", "&Print...", QKeySequence("Ctrl+P"), "print");
  miPrintSetup = MakeAction(this, "miPrintSetup", "P&rint Setup...", {}, "printsetup");
  miExit = MakeAction(this, "miExit", "E&xit", QKeySequence("Alt+F4"));
  miCut = MakeAction(this, "miCut", "Cu&t", QKeySequence("Ctrl+X"), "cut");
  miCopy = MakeAction(this, "miCopy", "&Copy", QKeySequence("Ctrl+C"), "copy");
  miPaste = MakeAction(this, "miPaste", "&Paste", QKeySequence("Ctrl+V"), "paste");
  miProperties = MakeAction(this, "miProperties", "P&roperties", QKeySequence("Ctrl+Space"));
  miDelete = MakeAction(this, "miDelete", "&Delete", QKeySequence(Qt::Key_Delete));
  miMuscle = MakeAction(this, "miMuscle", "&Muscle", QKeySequence("Ctrl+M"), "muscle");
  miBone = MakeAction(this, "miBone", "&Bone", QKeySequence("Ctrl+B"), "bone");
  miJoint = MakeAction(this, "miJoint", "&Joint", QKeySequence("Ctrl+J"), "joint");
  miRun = MakeAction(this, "miRun", "R&un", QKeySequence(Qt::Key_F9), "run");
  miStop = MakeAction(this, "miStop", "&Stop", QKeySequence("Ctrl+F2"), "stop");
  miTrace = MakeAction(this, "miTrace", "Trace", QKeySequence(Qt::Key_F7), "trace");
  miGoals = MakeAction(this, "miGoals", "&Goals...");
  miTimeFrame = MakeAction(this, "miTimeFrame", "&Time Frame...");
  miLimitations = MakeAction(this, "miLimitations", "&Limitations...");
  miHGASettings = MakeAction(this, "miHGASettings", "&HGA settings...");
  miResults = MakeAction(this, "miResults", "&Results...");
  miReport = MakeAction(this, "miReport", "Rep&ort...");
  miOptions = MakeAction(this, "miOptions", "&Options");
  miObjectInspector = MakeAction(this, "miObjectInspector", "&Object Inspector");
  miStatusLine = MakeAction(this, "miStatusLine", "&Status Line");
  miToolbar = MakeAction(this, "miToolbar", "&Toolbar");
  miSystemMonitor = MakeAction(this, "miSystemMonitor", "System &Monitor", {}, "monitor");
  miFitToWindow = MakeAction(this, "miFitToWindow", "Fit to window", QKeySequence("Ctrl+0"));
  miTile = MakeAction(this, "miTile", "&Tile", {}, "tile");
  miCascade = MakeAction(this, "miCascade", "&Cascade", {}, "cascade");
  miContents = MakeAction(this, "miContents", "&Contents");
  miSearch = MakeAction(this, "miSearch", "&Search for Help On...");
  miAbout = MakeAction(this, "miAbout", "&About...", {}, "about");

  // The motor-task items carry the number of the page they open: "&Time Frame..." opens the
  // time frame (2) and "&Limitations..." the limitations (1).
  const std::pair<QAction*, int> pages[] = {
      {miGoals, 0}, {miTimeFrame, 2}, {miLimitations, 1}, {miHGASettings, 3}, {miResults, 4}};
  for (const auto& [page, tag] : pages) page->setData(tag);
  for (QAction* view : {miObjectInspector, miStatusLine, miToolbar, miSystemMonitor})
    view->setCheckable(true);
  miObjectInspector->setChecked(true);
  miStatusLine->setChecked(true);
  miToolbar->setChecked(true);

  // Edit commands without behaviour, and help without contents, are shown disabled.
  for (QAction* idle : {miCut, miCopy, miPaste, miDelete, miContents, miSearch})
    idle->setEnabled(false);
  // The motor-task commands wait for the motor-task window (SetMotorTask), the report item for
  // the report wizard. Stop only replaces Run while a run goes on.
  for (QAction* task : {miRun, miStop, miTrace, miGoals, miTimeFrame, miLimitations, miHGASettings,
                        miResults, miReport})
    task->setEnabled(false);
  miStop->setVisible(false);

  tbNew = MakeAction(this, "tbNew", "New", {}, "new");
  tbOpen = MakeAction(this, "tbOpen", "Open", {}, "open");
  tbSave = MakeAction(this, "tbSave", "Save", {}, "save");
  tbPrint = MakeAction(this, "tbPrint", "Print", {}, "print");
  tbPrintSetup = MakeAction(this, "tbPrintSetup", "Printer setup", {}, "printsetup");
  tbCut = MakeAction(this, "tbCut", "Cut", {}, "cut");
  tbCopy = MakeAction(this, "tbCopy", "Copy", {}, "copy");
  tbPaste = MakeAction(this, "tbPaste", "Paste", {}, "paste");
  tbRedraw = MakeAction(this, "tbRedraw", "Redraw", {}, "redraw");
  for (QAction* idle : {tbCut, tbCopy, tbPaste}) idle->setEnabled(false);

  connect(miNew, &QAction::triggered, this, &TSVmain::tbNewClick);
  connect(tbNew, &QAction::triggered, this, &TSVmain::tbNewClick);
  connect(miOpen, &QAction::triggered, this, &TSVmain::miOpenClick);
  connect(tbOpen, &QAction::triggered, this, &TSVmain::miOpenClick);
  connect(miSave, &QAction::triggered, this, &TSVmain::miSaveClick);
  connect(tbSave, &QAction::triggered, this, &TSVmain::miSaveClick);
  connect(miSaveAs, &QAction::triggered, this, &TSVmain::miSaveAsClick);
  connect(miClose, &QAction::triggered, this, &TSVmain::miCloseClick);
  connect(miFitToWindow, &QAction::triggered, this, &TSVmain::miFitToWindowClick);
  connect(miTile, &QAction::triggered, this, &TSVmain::miTileClick);
  connect(miCascade, &QAction::triggered, this, &TSVmain::miCascadeClick);
  connect(miPrint, &QAction::triggered, this, &TSVmain::tbPrintClick);
  connect(tbPrint, &QAction::triggered, this, &TSVmain::tbPrintClick);
  connect(miPrintSetup, &QAction::triggered, this, &TSVmain::miPrintSetupClick);
  connect(tbPrintSetup, &QAction::triggered, this, &TSVmain::miPrintSetupClick);
  connect(miExit, &QAction::triggered, this, &QWidget::close);
  connect(miProperties, &QAction::triggered, this, &TSVmain::miPropertiesClick);
  connect(miBone, &QAction::triggered, this, &TSVmain::miBoneClick);
  connect(miJoint, &QAction::triggered, this, &TSVmain::miJointClick);
  connect(miMuscle, &QAction::triggered, this, &TSVmain::miMuscleClick);
  connect(miOptions, &QAction::triggered, this, &TSVmain::miOptionsClick);
  connect(miObjectInspector, &QAction::toggled, this, &TSVmain::miObjectInspectorClick);
  connect(miStatusLine, &QAction::toggled, this, &TSVmain::miStatusLineClick);
  connect(miToolbar, &QAction::toggled, this, &TSVmain::miToolbarClick);
  connect(miSystemMonitor, &QAction::toggled, this, &TSVmain::miSystemMonitorClick);
  connect(miAbout, &QAction::triggered, this, &TSVmain::miAboutClick);
  connect(tbRedraw, &QAction::triggered, this, &TSVmain::tbRedrawClick);
  connect(miRun, &QAction::triggered, this, &TSVmain::miRunClick);
  connect(miStop, &QAction::triggered, this, &TSVmain::miRunClick);
  connect(miTrace, &QAction::triggered, this, &TSVmain::miTraceClick);
  connect(miReport, &QAction::triggered, this, &TSVmain::miReportClick);
  for (QAction* page : {miGoals, miTimeFrame, miLimitations, miHGASettings, miResults})
    connect(page, &QAction::triggered, this, &TSVmain::miShowTaskClick);
}

void TSVmain::CreateMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu");
  QMenu* file = bar->addMenu("&File");
  file->setObjectName("miFile");
  file->addActions({miNew, miOpen, miSave, miSaveAs, miClose});
  file->addSeparator();
  miRecentFiles = file->addMenu("Recent &Files");
  miRecentFiles->setObjectName("miRecentFiles");
  connect(miRecentFiles, &QMenu::aboutToShow, this, &TSVmain::FillRecentFiles);
  file->addSeparator();
  file->addActions({miPrint, miPrintSetup});
  file->addSeparator();
  file->addAction(miExit);
  QMenu* edit = bar->addMenu("&Edit");
  edit->setObjectName("miEdit");
  edit->addActions({miCut, miCopy, miPaste});
  edit->addSeparator();
  edit->addActions({miProperties, miDelete});
  QMenu* place = bar->addMenu("&Place");
  place->setObjectName("miPlace");
  place->addActions({miMuscle, miBone, miJoint});
  QMenu* task = bar->addMenu("&Motor Task");
  task->setObjectName("miMotorTask");
  task->addActions({miRun, miStop, miTrace});
  task->addSeparator();
  task->addActions({miGoals, miTimeFrame, miLimitations, miHGASettings, miResults});
  task->addSeparator();
  task->addAction(miReport);
  bar->addAction(miOptions);
  QMenu* view = bar->addMenu("&View");
  view->setObjectName("miView");
  view->addActions({miObjectInspector, miStatusLine, miToolbar});
  view->addSeparator();
  view->addAction(miFitToWindow);
  view->addSeparator();
  view->addAction(miSystemMonitor);
  miWindow = bar->addMenu("&Window");
  miWindow->setObjectName("miWindow");
  miWindow->addActions({miTile, miCascade});
  connect(miWindow, &QMenu::aboutToShow, this, &TSVmain::FillWindowMenu);
  QMenu* help = bar->addMenu("&Help");
  help->setObjectName("miHelp");
  help->addActions({miContents, miSearch});
  help->addSeparator();
  help->addAction(miAbout);
}

void TSVmain::CreateToolBar() {
  tbSpeedBar = new QToolBar("Toolbar", this);
  tbSpeedBar->setObjectName("tbSpeedBar");
  tbSpeedBar->setMovable(false);
  tbSpeedBar->setIconSize(QSize(18, 18));
  tbSpeedBar->addActions({tbNew, tbOpen, tbSave});
  tbSpeedBar->addSeparator();
  tbSpeedBar->addActions({tbPrint, tbPrintSetup});
  tbSpeedBar->addSeparator();
  tbSpeedBar->addActions({tbCut, tbCopy, tbPaste});
  tbSpeedBar->addSeparator();
  tbSpeedBar->addAction(tbRedraw);
  tbSpeedBar->addSeparator();
  tbSpeedBar->addActions({miBone, miJoint, miMuscle});
  addToolBar(Qt::TopToolBarArea, tbSpeedBar);
  setContextMenuPolicy(Qt::PreventContextMenu);
}

void TSVmain::CreateStatusLine() {
  StatusLine = statusBar();
  StatusLine->setObjectName("StatusLine");
  StatusPanel0 = new QLabel("Status", StatusLine);
  StatusPanel0->setObjectName("StatusPanel0");
  StatusPanel0->setFixedWidth(100);
  // The second panel says what the program did last (loaded, saved, placed, refused).
  StatusPanel1 = new QLabel(StatusLine);
  StatusPanel1->setObjectName("StatusPanel1");
  StatusPanel1->setMinimumWidth(50);
  StatusLine->addWidget(StatusPanel0);
  StatusLine->addWidget(StatusPanel1, 1);
}

void TSVmain::CreateInspectorPanel() {
  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setObjectName("Splitter1");
  Splitter1->setHandleWidth(3);
  Splitter1->setChildrenCollapsible(false);

  pObjectInspector = new QFrame(Splitter1);
  pObjectInspector->setObjectName("pObjectInspector");
  pObjectInspector->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  pObjectInspector->setMinimumWidth(120);
  pObjects = new QWidget(pObjectInspector);
  pObjects->setObjectName("pObjects");
  pObjects->setFixedHeight(31);
  cbObjects = new QComboBox(pObjects);
  cbObjects->setObjectName("cbObjects");
  cbObjects->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  auto* objectsLayout = new QVBoxLayout(pObjects);
  objectsLayout->setContentsMargins(2, 3, 2, 3);
  objectsLayout->addWidget(cbObjects);

  sgObjectProperties = new QTableWidget(0, 2, pObjectInspector);
  sgObjectProperties->setObjectName("sgObjectProperties");
  sgObjectProperties->horizontalHeader()->hide();
  sgObjectProperties->verticalHeader()->hide();
  sgObjectProperties->horizontalHeader()->setStretchLastSection(true);
  sgObjectProperties->verticalHeader()->setDefaultSectionSize(
      qMax(17, sgObjectProperties->fontMetrics().height() + 4));
  sgObjectProperties->setFrameShape(QFrame::NoFrame);
  sgObjectProperties->setSelectionMode(QAbstractItemView::ContiguousSelection);
  sgObjectProperties->setEditTriggers(
      QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
      QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  sgObjectProperties->viewport()->installEventFilter(this);

  bDefine = new QToolButton(pObjectInspector);
  bDefine->setObjectName("bDefine");
  bDefine->setText("...");
  bDefine->hide();
  cbValueList = new QComboBox(pObjectInspector);
  cbValueList->setObjectName("cbValueList");
  cbValueList->hide();

  auto* panelLayout = new QVBoxLayout(pObjectInspector);
  panelLayout->setContentsMargins(1, 1, 1, 1);
  panelLayout->setSpacing(0);
  panelLayout->addWidget(pObjects);
  panelLayout->addWidget(sgObjectProperties);
  pObjectInspector->installEventFilter(this);

  ClientArea = new QMdiArea(Splitter1);
  ClientArea->setObjectName("ClientArea");
  ClientArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  ClientArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  Splitter1->addWidget(pObjectInspector);
  Splitter1->addWidget(ClientArea);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({201, 365});
  setCentralWidget(Splitter1);
}

bool TSVmain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pObjectInspector && event->type() == QEvent::Resize) {
    pObjectInspectorResize();
  } else if (watched == sgObjectProperties->viewport()) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
      return sgObjectPropertiesMouseDown(event);
  }
  return QMainWindow::eventFilter(watched, event);
}

void TSVmain::pObjectInspectorResize() {
  const int width = pObjectInspector->contentsRect().width();
  sgObjectProperties->setColumnWidth(0, qMax(20, (width - 32) / 2));
}

bool TSVmain::sgObjectPropertiesMouseDown(QEvent* event) {
  // A press anywhere selects the value cell of the row under the pointer, so that a click on a
  // row's name selects its value.
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint at = mouse->position().toPoint();
  const int row = sgObjectProperties->rowAt(at.y());
  const int column = sgObjectProperties->columnAt(at.x());
  const int target = row >= 0 ? row : sgObjectProperties->currentRow();
  if (target >= 0) sgObjectProperties->setCurrentCell(target, 1);
  if (column == 0) {
    if (event->type() == QEvent::MouseButtonDblClick) ObjectInspector->OnDblClick();
    return true;
  }
  return false;
}

TMSystem* TSVmain::ActiveModel() const {
  return qobject_cast<TMSystem*>(ClientArea->currentSubWindow());
}

QList<TMSystem*> TSVmain::Models() const {
  QList<TMSystem*> models;
  for (QMdiSubWindow* window : ClientArea->subWindowList())
    if (auto* model = qobject_cast<TMSystem*>(window)) models.append(model);
  return models;
}

void TSVmain::UpdateCommandStates() {
  // The menu's Print follows the presence of a model window; the tool-bar button is always on
  // and does nothing without one.
  const bool hasModel = ActiveModel() != nullptr;
  miPrint->setEnabled(hasModel);
  miClose->setEnabled(hasModel);
  miFitToWindow->setEnabled(hasModel);
}

void TSVmain::miObjectInspectorClick(bool checked) { pObjectInspector->setVisible(checked); }

void TSVmain::miStatusLineClick(bool checked) { StatusLine->setVisible(checked); }

void TSVmain::miToolbarClick(bool checked) { tbSpeedBar->setVisible(checked); }

void TSVmain::miSystemMonitorClick(bool checked) {
  if (!monitor_) return;
  monitor_->setVisible(checked);
}

}  // namespace sarvanta
