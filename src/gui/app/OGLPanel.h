// The 3D view of a model window: fixed-function OpenGL with GLU, a camera looking down the Z
// axis, two lights, and a scene held in one display list that the model window builds.
// The mouse turns (left button), turns about X and Z (other buttons), moves (Shift + left),
// zooms (Shift + other buttons, dragged up or down, and the wheel) and frames the model again
// (Alt + click).
#pragma once

#include <QOpenGLWidget>
#include <array>
#include <functional>

namespace sarvanta {

// An axis-aligned box in scene coordinates; empty until something is added.
struct TSceneBox {
  std::array<double, 3> Min{};
  std::array<double, 3> Max{};
  bool Empty = true;
  // Grows the box to hold a ball of `radius` around (x, y, z).
  void Add(double x, double y, double z, double radius);
};

class TOGLPanel : public QOpenGLWidget {
  Q_OBJECT

 public:
  enum : int { mmIdle = 0, mmTurnXY = 3, mmTurnXZ = 5, mmMove = 24, mmZoom = 32 };

  explicit TOGLPanel(QWidget* parent = nullptr);
  ~TOGLPanel() override;

  // Rebuilds the display list through BuildScene (when a rendering context exists) and
  // repaints.
  void Rebuild();
  // Rotation and translation back to 0, the camera back to its start.
  void ResetView();
  // Frames the scene from the side: the model's Y upwards, the box of SceneBounds centred and
  // filling most of the view. The view keeps the model framed (after every rebuild and
  // resize) until the user turns, moves or zooms it.
  void FitToView();
  bool Framing() const { return framing_; }
  // The camera stays where it is set, as after the user moved it.
  void HoldCamera() { framing_ = false; }

  // Builds the scene into a new display list (the context is current) and returns its id.
  std::function<unsigned(TOGLPanel*)> BuildScene;
  // The box the scene's objects take, for framing; the axes do not count.
  std::function<TSceneBox()> SceneBounds;

  bool Initialised = false;
  unsigned DisplayList = 0;
  int MouseMode = mmIdle;
  int LastX = 0;
  int LastY = 0;
  double EyeX = 0, EyeY = 0, EyeZ = 10;
  double CentreX = 0, CentreY = 0, CentreZ = -10;
  double UpX = 0, UpY = 1, UpZ = 0;
  double TranslateX = 0, TranslateY = 0, TranslateZ = 0;
  double RotateX = 0, RotateY = 0, RotateZ = 0;
  long double RotateStep = 3.0L;
  long double TranslateStep = 0.1L;

 protected:
  void initializeGL() override;
  void resizeGL(int width, int height) override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void SetUpLighting();
  void DeleteDisplayList();
  // Places the camera for FitToView in a view of this width and height.
  void Frame(int width, int height);
  // Moves the eye along its line of sight: a factor below 1 comes closer.
  void Zoom(double factor);

  bool framing_ = true;

  // A rebuild asked for before the context existed runs when it is created.
  bool rebuildPending_ = false;
};

}  // namespace sarvanta
