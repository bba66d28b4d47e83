#include "app/OGLPanel.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <QMessageBox>
#include <QMouseEvent>
#include <QOpenGLContext>

namespace sarvanta {

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
  gluPerspective(35.0, static_cast<double>(width) / (height == 0 ? 1 : height), 1.0, 1000.0);
  glMatrixMode(GL_MODELVIEW);
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
  update();
}

void TOGLPanel::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  LastX = at.x();
  LastY = at.y();
  const bool left = event->button() == Qt::LeftButton;
  if (event->modifiers() & Qt::AltModifier) {
    ResetView();
    MouseMode = mmIdle;
    update();
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
      // Zoom scales the camera's distance, which starts at 10, so that it works from the
      // first step (a factor on a translation that starts at 0 would change nothing).
      EyeZ *= 1.0 + sx * 0.05;
      break;
    default:
      break;
  }
  LastX = at.x();
  if (MouseMode != mmZoom) LastY = at.y();
  update();
}

}  // namespace sarvanta
