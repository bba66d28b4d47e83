// The main window's window habits: the inspector follows the active model window, the Window
// menu lists the open windows, cascade and tile keep them usable, the status line says what
// happened, and the frame remembers its size, place and splitter.
#include "app/MSystem.h"
#include "app/OGLPanel.h"
#include "app/ObjectInspector.h"
#include "app/SVmain.h"
#include "app/WindowPlacement.h"
#include "settings/FormData.h"

#include <QMenu>
#include <QSettings>

namespace sarvanta {

namespace {

const char* const kGeometryKey = "Window/Geometry";
const char* const kSplitterKey = "Window/Splitter";

}  // namespace

void TSVmain::ActiveWindowChanged() {
  TMSystem* active = ActiveModel();
  // With other windows left, the next one to be activated takes the inspector.
  if (active || Models().isEmpty()) ShowModelInInspector(active);
  UpdateCommandStates();
}

void TSVmain::ShowModelInInspector(TMSystem* model) {
  if (model == inspected_.data() && (model || ObjectInspector->Count() == 0)) return;
  if (inspected_) inspected_->ShownEntry = cbObjects->currentIndex();
  inspected_ = model;
  if (!model) {
    ObjectInspector->Clear();
    return;
  }
  model->ListObjectsInInspector();
  if (model->ShownEntry >= 0 && model->ShownEntry < ObjectInspector->Count()) {
    cbObjects->setCurrentIndex(model->ShownEntry);
    ObjectInspector->SetActiveObject();
  }
}

void TSVmain::FillWindowMenu() {
  miWindow->clear();
  miWindow->addActions({miTile, miCascade});
  const QList<TMSystem*> models = Models();
  if (!models.isEmpty()) miWindow->addSeparator();
  for (int i = 0; i < models.size(); ++i) {
    TMSystem* model = models.at(i);
    QAction* entry = miWindow->addAction(QString("&%1 %2").arg(i + 1).arg(model->windowTitle()));
    entry->setCheckable(true);
    entry->setChecked(model == ActiveModel());
    connect(entry, &QAction::triggered, this, [this, model] {
      if (Models().contains(model)) ClientArea->setActiveSubWindow(model);
    });
  }
}

void TSVmain::miCascadeClick() {
  const QList<TMSystem*> models = Models();
  const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
  const QList<QRect> places = CascadeRects(ClientArea->viewport()->size(), models.size(), step);
  for (int i = 0; i < models.size(); ++i) {
    models.at(i)->showNormal();
    models.at(i)->setGeometry(places.at(i));
    models.at(i)->raise();
  }
  if (TMSystem* active = ActiveModel()) ClientArea->setActiveSubWindow(active);
  RepaintModels();
}

void TSVmain::miTileClick() {
  for (TMSystem* model : Models()) model->showNormal();
  ClientArea->tileSubWindows();
  RepaintModels();
}

void TSVmain::RepaintModels() {
  // Views that only changed their place are painted again as a whole, so that no part of the
  // area keeps what it showed before.
  for (TMSystem* model : Models()) {
    if (model->ModelView) model->ModelView->update();
    model->update();
  }
  ClientArea->viewport()->update();
}

void TSVmain::miCloseClick() {
  if (TMSystem* model = ActiveModel()) model->close();
}

void TSVmain::miFitToWindowClick() {
  TMSystem* model = ActiveModel();
  if (model && model->ModelView) model->ModelView->FitToView();
}

void TSVmain::ShowStatus(const QString& text) { StatusPanel1->setText(text); }

void TSVmain::RestoreWindowState() {
  QSettings settings(TFormData::Organisation);
  const QByteArray geometry = settings.value(kGeometryKey).toByteArray();
  if (geometry.isEmpty() || !restoreGeometry(geometry)) {
    // First start: a comfortable share of the screen, never below the frame's own size.
    resize(FirstStartSize(QSize(566, 378)));
    CenterOnScreen(*this);
  }
  const QByteArray splitter = settings.value(kSplitterKey).toByteArray();
  if (!splitter.isEmpty()) Splitter1->restoreState(splitter);
}

void TSVmain::SaveWindowState() const {
  QSettings settings(TFormData::Organisation);
  settings.setValue(kGeometryKey, saveGeometry());
  settings.setValue(kSplitterKey, Splitter1->saveState());
}

}  // namespace sarvanta
