// A model window: one document of the main window. It owns its mechanical system and the
// genetic algorithm that works on it, knows its project file, loads and saves it, and shows the
// system in a 3D view.
#pragma once

#include "ga/GeneticAlgorithm.h"
#include "model/MechanicalSystem.h"

#include <QMdiSubWindow>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace sarvanta {

class TObjectInspector;
class TOGLPanel;
struct TSceneBox;

class TMSystem : public QMdiSubWindow {
  Q_OBJECT

 public:
  // `inspector` is the main window's inspector, which lists this model's objects.
  TMSystem(TObjectInspector* inspector, bool withModelView, QWidget* parent = nullptr);
  ~TMSystem() override;

  // Replaces the system by the project file's content and lists its bones, joints and muscles
  // in the inspector. A read failure throws after listing what was read.
  void LoadFromFile(const QString& name);
  // Writes the system to the project file (through a temporary file beside it).
  void SaveToFile(const QString& name);
  // Rebuilds and repaints the 3D view.
  void Redraw();
  // Lists this model's bones, joints and muscles in the inspector, in place of what it showed.
  void ListObjectsInInspector();

  // Whether the window holds changes that its file does not: edits marked by SetModified, or
  // impulse trains that a motor-task run wrote into the system since the last load or save.
  bool Modified() const;
  // Marks an edit (true) or forgets every change (false, as after a save); updates the caption,
  // which carries "*" while the window is modified.
  void SetModified(bool modified);
  // Shows the caption again for the present state (after a run wrote into the system).
  void UpdateCaption();
  // The name shown for the model: its file name without the folder, or "Project".
  QString DisplayName() const;
  // Builds the scene of the system into a new display list (the view's context is current).
  unsigned ModelViewBuildScene(TOGLPanel* panel);
  // The box the scene's bones, joints and muscles take, in the view's coordinates.
  TSceneBox ModelViewBounds() const;

  TOGLPanel* ModelView = nullptr;
  // Axes and bones, selected bone, muscles, selected muscle, joints, selected joint.
  std::array<std::array<float, 4>, 6> Colours{};
  int32_t Slices = 10;
  int32_t Stacks = 10;
  QString FileName;
  std::unique_ptr<TMechanicalSystem> MechanicalSystem;
  // The motor task of this model; freed before the system its goals refer to.
  std::unique_ptr<TGeneticAlgorithm> GeneticAlgorithm;
  // The inspector entry that was shown when the window was last the active one.
  int ShownEntry = -1;
  // Asked before the window closes; false keeps it open (set by the main window).
  std::function<bool(TMSystem*)> MayClose;
  // Told before the system and the algorithm are freed.
  std::function<void(TMSystem*)> AboutToFree;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void SetFileName(const QString& name);
  // Forgets every change: what the system holds now is what its file holds.
  void MarkSaved();
  // A fingerprint of every motor unit's impulse train (what a run writes).
  size_t SolutionFingerprint() const;
  // The algorithm evaluates on as many threads as the program's options say, now and after
  // every change of that option.
  void FollowEvaluationThreadsOption();

  TObjectInspector* inspector_;
  bool modified_ = false;
  size_t savedSolutions_ = 0;
};

}  // namespace sarvanta
