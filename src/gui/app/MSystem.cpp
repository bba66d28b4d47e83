#include "app/MSystem.h"
#include "app/Resources.h"

#include "app/Latin1.h"
#include "app/OGLPanel.h"
#include "app/ObjectInspector.h"
#include "model/Bone.h"
#include "model/Joint.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "settings/Options.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QOpenGLContext>

namespace sarvanta {

namespace {

// Whether this display can give a view an OpenGL context at all; without one the model
// windows go without their 3D view rather than fail while painting.
bool OpenGLAvailable() {
  static const bool available = [] {
    QOpenGLContext context;
    return context.create();
  }();
  return available;
}

std::array<float, 4> Rgb(int red, int green, int blue) {
  return {red / 255.0f, green / 255.0f, blue / 255.0f, 1.0f};
}

}  // namespace

TMSystem::TMSystem(TObjectInspector* inspector, bool withModelView, QWidget* parent)
    : QMdiSubWindow(parent),
      MechanicalSystem(std::make_unique<TMechanicalSystem>()),
      GeneticAlgorithm(std::make_unique<TGeneticAlgorithm>()),
      inspector_(inspector) {
  InitResources();
  setObjectName("MSystem");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Project");
  setWindowIcon(QIcon(":/icons/bone.svg"));
  resize(280, 363);
  if (withModelView && OpenGLAvailable()) {
    ModelView = new TOGLPanel(this);
    ModelView->BuildScene = [this](TOGLPanel* panel) { return ModelViewBuildScene(panel); };
    ModelView->SceneBounds = [this] { return ModelViewBounds(); };
    setWidget(ModelView);
  } else {
    auto* blank = new QWidget(this);
    blank->setObjectName("ModelArea");
    setWidget(blank);
  }
  // The view is black whether or not it draws.
  QPalette black = widget()->palette();
  black.setColor(QPalette::Window, Qt::black);
  widget()->setPalette(black);
  widget()->setAutoFillBackground(true);

  Colours = {Rgb(136, 136, 136), Rgb(255, 255, 255), Rgb(255, 136, 136),
             Rgb(255, 238, 238), Rgb(255, 255, 136), Rgb(255, 255, 238)};
  Slices = 10;
  Stacks = 10;
  FollowEvaluationThreadsOption();
  MarkSaved();
}

void TMSystem::FollowEvaluationThreadsOption() {
  TOptions* options = TOptions::Instance();
  if (options == nullptr) return;
  GeneticAlgorithm->EvaluationThreads = options->EvaluationThreads();
  connect(options, &TOptions::EvaluationThreadsChanged, this,
          [this](int threads) { GeneticAlgorithm->EvaluationThreads = threads; });
}

void TMSystem::closeEvent(QCloseEvent* event) {
  if (MayClose && !MayClose(this)) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}

TMSystem::~TMSystem() {
  if (AboutToFree) AboutToFree(this);
  // No inspector row may outlive the objects it shows.
  if (inspector_) inspector_->DeleteObjectsOwnedBy(MechanicalSystem.get());
  delete ModelView;
  ModelView = nullptr;
}

void TMSystem::SetFileName(const QString& name) {
  FileName = name;
  UpdateCaption();
}

QString TMSystem::DisplayName() const {
  return FileName.isEmpty() ? QString("Project") : QFileInfo(FileName).fileName();
}

void TMSystem::UpdateCaption() {
  const bool modified = Modified();
  setWindowTitle(DisplayName() + (modified ? "*" : ""));
  setWindowModified(modified);
}

bool TMSystem::Modified() const { return modified_ || SolutionFingerprint() != savedSolutions_; }

void TMSystem::SetModified(bool modified) {
  if (modified)
    modified_ = true;
  else
    MarkSaved();
  UpdateCaption();
}

void TMSystem::MarkSaved() {
  modified_ = false;
  savedSolutions_ = SolutionFingerprint();
}

size_t TMSystem::SolutionFingerprint() const {
  const TMechanicalSystem& system = *MechanicalSystem;
  size_t hash = 0;
  const auto mix = [&hash](size_t value) {
    hash ^= value + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2);
  };
  for (int i = 1; i < system.Muscles.Count(); ++i) {
    const TMuscle* muscle = system.Muscle(i);
    if (!muscle) continue;
    for (int u = 0; u < muscle->MotorUnits.Count(); ++u) {
      const TMotorUnit* unit = muscle->MotorUnit(u);
      if (!unit) continue;
      mix(unit->ImpArray().size());
      for (const long double time : unit->ImpArray()) mix(std::hash<long double>{}(time));
    }
  }
  return hash;
}

void TMSystem::LoadFromFile(const QString& name) {
  // The inspector lets go of the old objects before they are freed.
  if (inspector_) inspector_->DeleteObjectsOwnedBy(MechanicalSystem.get());
  MechanicalSystem->Clear();
  SetFileName(name);
  try {
    // Reading also rebuilds the lists and the object references.
    LoadSystemFromFile(*MechanicalSystem, ToStdString(name));
  } catch (...) {
    // What was read stays in the window, listed like a whole file. The user changed nothing,
    // and the file stays as it is unless the user saves over it.
    ListObjectsInInspector();
    SetModified(false);
    throw;
  }
  ListObjectsInInspector();
  SetModified(false);
}

void TMSystem::ListObjectsInInspector() {
  if (!inspector_) return;
  inspector_->Clear();
  const TMechanicalSystem& system = *MechanicalSystem;
  // Under their present names: a rename in the inspector changes the object, not the list.
  for (int i = 1; i < system.Bones.Count(); ++i)
    inspector_->AddObject(system.Bone(i)->ObjectDescription(system.Bone(i)->Descr));
  for (int i = 1; i < system.Joints.Count(); ++i)
    inspector_->AddObject(system.Joint(i)->ObjectDescription(system.Joint(i)->Descr));
  for (int i = 1; i < system.Muscles.Count(); ++i)
    inspector_->AddObject(system.Muscle(i)->ObjectDescription(system.Muscle(i)->Descr));
  inspector_->SetActiveObject();
}

void TMSystem::SaveToFile(const QString& name) {
  // Refreshes the stored indices, then writes through a temporary file beside the target. A
  // failed save keeps the window's file name and its changes.
  SaveSystemToFile(*MechanicalSystem, ToStdString(name));
  FileName = name;
  SetModified(false);
}

void TMSystem::Redraw() {
  if (ModelView) ModelView->Rebuild();
  update();
}

}  // namespace sarvanta
