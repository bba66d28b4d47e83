#include "app/OGLPanel.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <QMessageBox>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace sarvanta {

namespace {

constexpr double kFieldOfView = 35.0;  // degrees, vertical
constexpr double kFill = 0.85;         // share of the view a framed model fills
constexpr double kNearPlane = 1.0;

}  // namespace

void TSceneBox::Add(double x, double y, double z, double radius) {
  const std::array<double, 3> at{x, y, z};
  for (size_t i = 0; i < 3; ++i) {
    Min[i] = Empty ? at[i] - radius : std::min(Min[i], at[i] - radius);
    Max[i] = Empty ? at[i] + radius : std::max(Max[i], at[i] + radius);
  }
  Empty = false;
}

TOGLPanel::TOGLPanel(QWidget* parent) : QOpenGLWidget(parent) {
  setObjectName("ModelView");
  setMinimumSize(16, 16);
  ResetView();
}

TOGLPanel::~TOGLPanel() {
  if (context()) {
    makeCurrent();
    DeleteDisplayList();
    doneCurrent();
  }
}

void TOGLPanel::ResetView() {
  EyeX = 0, EyeY = 0, EyeZ = 10;
  CentreX = 0, CentreY = 0, CentreZ = -10;
  UpX = 0, UpY = 1, UpZ = 0;
  TranslateX = TranslateY = TranslateZ = 0;
  RotateX = RotateY = RotateZ = 0;
}

void TOGLPanel::FitToView() {
  framing_ = true;
  Frame(width(), height());
  update();
}

void TOGLPanel::Frame(int width, int height) {
  ResetView();
  // Turned so that the scene's Z (the model's Y) points up and its X to the right.
  RotateX = -90;
  const TSceneBox box = SceneBounds ? SceneBounds() : TSceneBox{};
  if (box.Empty) return;
  TranslateX = -(box.Min[0] + box.Max[0]) / 2;
  TranslateY = -(box.Min[1] + box.Max[1]) / 2;
  TranslateZ = -(box.Min[2] + box.Max[2]) / 2;
  // Seen this way, the box's X is across, its Z up and its Y the depth.
  const double across = (box.Max[0] - box.Min[0]) / 2;
  const double up = (box.Max[2] - box.Min[2]) / 2;
  const double depth = (box.Max[1] - box.Min[1]) / 2;
  const double slope = std::tan(kFieldOfView / 2 * std::numbers::pi / 180);
  const double aspect = static_cast<double>(std::max(width, 1)) / std::max(height, 1);
  const double distance = std::max(up / slope, across / (slope * aspect)) / kFill;
  EyeZ = depth + std::max(distance, kNearPlane * 1.5);
  CentreZ = EyeZ - 20;
}

void TOGLPanel::Zoom(double factor) {
  EyeZ = std::clamp(EyeZ * factor, 0.2, 900.0);
  CentreZ = EyeZ - 20;
}

void TOGLPanel::DeleteDisplayList() {
  if (DisplayList != 0) glDeleteLists(DisplayList, 1);
  DisplayList = 0;
}

void TOGLPanel::SetUpLighting() {
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glEnable(GL_LIGHTING);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);

  const GLfloat light0Position[] = {-30, 30, 30, 1};
  const GLfloat light1Position[] = {50, 100, 50, 1};
  const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 1};
  const GLfloat white[] = {1, 1, 1, 1};
  const GLfloat dimDiffuse[] = {0.3f, 0.3f, 0.3f, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, light0Position);
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  glLightfv(GL_LIGHT0, GL_SPECULAR, white);
  glEnable(GL_LIGHT0);
  glLightfv(GL_LIGHT1, GL_POSITION, light1Position);
  glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, dimDiffuse);
  glLightfv(GL_LIGHT1, GL_SPECULAR, white);
  glEnable(GL_LIGHT1);

  const GLfloat materialDiffuse[] = {0.5f, 0.5f, 0.5f, 1};
  glMateriali(GL_FRONT, GL_SHININESS, 128);
  glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, materialDiffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, white);
}

void TOGLPanel::initializeGL() {
  Initialised = true;
  ResetView();
  SetUpLighting();
  const QColor background = palette().color(QPalette::Window);
  glClearColor(static_cast<GLfloat>(background.redF()), static_cast<GLfloat>(background.greenF()),
               static_cast<GLfloat>(background.blueF()), 1.0f);
  const GLenum error = glGetError();
  if (error != GL_NO_ERROR) {
    // The view stays empty; the rest of the program (and the user's models) go on.
    QMessageBox::critical(
        this, "Sarvanta",
        QString("Error: %1").arg(reinterpret_cast<const char*>(gluErrorString(error))));
  }
  if (rebuildPending_ && BuildScene) DisplayList = BuildScene(this);
  rebuildPending_ = false;
}

void TOGLPanel::resizeGL(int width, int height) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(kFieldOfView, static_cast<double>(width) / (height == 0 ? 1 : height), kNearPlane,
                 1000.0);
  glMatrixMode(GL_MODELVIEW);
  if (framing_) Frame(width, height);
}

void TOGLPanel::paintGL() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(EyeX, EyeY, EyeZ, CentreX, CentreY, CentreZ, UpX, UpY, UpZ);
  glRotatef(static_cast<GLfloat>(RotateX), 1, 0, 0);
  glRotatef(static_cast<GLfloat>(RotateY), 0, 1, 0);
  glRotatef(static_cast<GLfloat>(RotateZ), 0, 0, 1);
  glTranslated(TranslateX, TranslateY, TranslateZ);
  if (DisplayList != 0) glCallList(DisplayList);
}

void TOGLPanel::Rebuild() {
  if (context() && context()->isValid()) {
    makeCurrent();
    DeleteDisplayList();
    if (BuildScene) DisplayList = BuildScene(this);
    doneCurrent();
  } else {
    rebuildPending_ = true;
  }
  if (framing_) Frame(width(), height());
  update();
}

void TOGLPanel::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  LastX = at.x();
  LastY = at.y();
  const bool left = event->button() == Qt::LeftButton;
  if (event->modifiers() & Qt::AltModifier) {
    MouseMode = mmIdle;
    FitToView();
  } else if (event->modifiers() & Qt::ShiftModifier) {
    MouseMode = left ? mmMove : mmZoom;
  } else {
    MouseMode = left ? mmTurnXY : mmTurnXZ;
  }
  QOpenGLWidget::mousePressEvent(event);
}

void TOGLPanel::mouseReleaseEvent(QMouseEvent* event) {
  MouseMode = mmIdle;
  QOpenGLWidget::mouseReleaseEvent(event);
}

void TOGLPanel::mouseMoveEvent(QMouseEvent* event) {
  QOpenGLWidget::mouseMoveEvent(event);
  if (MouseMode == mmIdle) return;
  framing_ = false;
  const QPoint at = event->position().toPoint();
  const double sx = at.x() > LastX ? -1.0 : 1.0;
  const double sy = at.y() > LastY ? -1.0 : 1.0;
  const double rotate = static_cast<double>(RotateStep);
  const double translate = static_cast<double>(TranslateStep);
  switch (MouseMode) {
    case mmTurnXY:
      RotateX += sx * rotate;
      RotateY += sy * rotate;
      break;
    case mmTurnXZ:
      RotateX += sx * rotate;
      RotateZ += sy * rotate;
      break;
    case mmMove:
      TranslateX += sx * translate;
      TranslateY += sy * translate;
      break;
    case mmZoom:
      // Zoom scales the camera's distance (a factor on a translation that starts at 0 would
      // change nothing): dragging up comes closer, dragging down goes back.
      if (at.y() != LastY) Zoom(1.0 - sy * 0.05);
      break;
    default:
      break;
  }
  LastX = at.x();
  LastY = at.y();
  update();
}

void TOGLPanel::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps == 0) return;
  framing_ = false;
  Zoom(std::pow(0.9, steps));
  update();
  event->accept();
}

}  // namespace sarvanta
