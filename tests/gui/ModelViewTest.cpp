// The 3D view needs an OpenGL context (run under xvfb-run); without one the test skips.
#include "TestMain.h"
#include "app/MSystem.h"
#include "app/OGLPanel.h"
#include "app/ObjectInspector.h"
#include "app/SVmain.h"
#include "model/Bone.h"
#include "model/Muscle.h"
#include "model/Polynomial.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>

namespace sarvanta {
namespace {

bool OpenGLAvailable() {
  QOpenGLContext context;
  if (!context.create()) return false;
  QOffscreenSurface surface;
  surface.create();
  return context.makeCurrent(&surface);
}

struct TPixelCounts {
  int Lit = 0;     // any colour other than the black background
  int Yellow = 0;  // joints: red and green well above blue
  int Red = 0;     // muscles: red well above green and blue
  int White = 0;   // highlights: bright and grey
};

TPixelCounts CountPixels(const QImage& image) {
  TPixelCounts counts;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() + c.green() + c.blue() > 30) ++counts.Lit;
      if (c.red() > 90 && c.green() > 90 && c.blue() < 0.75 * c.green()) ++counts.Yellow;
      if (c.red() > 90 && c.green() < 0.8 * c.red() && c.blue() < 0.8 * c.red()) ++counts.Red;
      if (c.red() > 200 && c.green() > 200 && c.blue() > 200) ++counts.White;
    }
  }
  return counts;
}

class ModelView : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OpenGLAvailable())
      GTEST_SKIP() << "no OpenGL context on this display: run under xvfb-run to test the 3D view";
    main_ = std::make_unique<TSVmain>();
    main_->resize(900, 700);
    main_->show();
    model_ = main_->tbNewClick();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_.get()));
    ASSERT_NE(model_->ModelView, nullptr);
  }

  // With SARVANTA_SCREENSHOTS set to a folder, every frame is kept there as a picture.
  QImage Frame() {
    QApplication::processEvents();
    QImage frame = model_->ModelView->grabFramebuffer();
    const QString folder = qEnvironmentVariable("SARVANTA_SCREENSHOTS");
    if (!folder.isEmpty()) {
      QTest::qWait(100);  // let the other widgets reach the screen
      frame.save(QString("%1/view-%2.png").arg(folder).arg(++frames_));
      main_->screen()->grabWindow(0).save(QString("%1/screen-%2.png").arg(folder).arg(frames_));
    }
    return frame;
  }
  int frames_ = 0;

  std::unique_ptr<TSVmain> main_;
  TMSystem* model_ = nullptr;
};

TEST_F(ModelView, DrawsTheModelInItsColoursAndHighlightsTheSelection) {
  const TPixelCounts empty = CountPixels(Frame());
  EXPECT_EQ(empty.Lit, 0) << "a new view shows nothing until its first redraw";

  main_->miBoneClick();
  const TPixelCounts bone = CountPixels(Frame());
  EXPECT_GT(bone.Lit, 100);
  EXPECT_GT(bone.White, 20) << "the selected bone is drawn in white";

  main_->miJointClick();
  main_->miMuscleClick();
  TMuscle* muscle = model_->MechanicalSystem->Muscle(1);
  muscle->PCSAPoly->Coefficients = {2.0L};
  // A muscle without its insertion bone is not drawn.
  main_->cbObjects->setCurrentIndex(0);
  main_->cbObjectsChange();
  const TPixelCounts unattached = CountPixels(Frame());
  EXPECT_GT(unattached.Yellow, 20) << "joints are yellow";
  EXPECT_EQ(unattached.Red, 0);

  muscle->ToBone = model_->MechanicalSystem->Bone(1);
  muscle->ForceArmPoly->Coefficients = {0.2L};
  main_->tbRedrawClick();
  const TPixelCounts all = CountPixels(Frame());
  EXPECT_GT(all.Red, 20) << "muscles are red";
  EXPECT_GT(all.White, 20);

  main_->cbObjects->setCurrentIndex(1);  // the joint: drawn in its pale highlight
  main_->cbObjectsChange();
  const TPixelCounts jointShown = CountPixels(Frame());
  EXPECT_LT(jointShown.Yellow, all.Yellow / 2);
}

TEST_F(ModelView, MouseTurnsMovesZoomsAndAltClickResets) {
  main_->miBoneClick();
  TOGLPanel* view = model_->ModelView;
  const QPoint centre = view->rect().center();
  QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, centre);
  QMouseEvent move(QEvent::MouseMove, QPointF(centre + QPoint(5, 5)),
                   view->mapToGlobal(QPointF(centre + QPoint(5, 5))), Qt::LeftButton,
                   Qt::LeftButton, Qt::NoModifier);
  const double startX = view->RotateX;
  const double startEye = view->EyeZ;
  QApplication::sendEvent(view, &move);
  EXPECT_DOUBLE_EQ(view->RotateX, startX - 3.0);
  EXPECT_DOUBLE_EQ(view->RotateY, -3.0);
  EXPECT_FALSE(view->Framing()) << "the user took the camera";
  QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, centre + QPoint(5, 5));
  EXPECT_EQ(view->MouseMode, TOGLPanel::mmIdle);

  QTest::mousePress(view, Qt::RightButton, Qt::ShiftModifier, centre);
  EXPECT_EQ(view->MouseMode, TOGLPanel::mmZoom);
  // Shift + right drag zooms with the vertical movement: up comes closer, down goes back.
  const auto drag = [&](QPoint to) {
    QMouseEvent zoom(QEvent::MouseMove, QPointF(to), view->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::RightButton, Qt::ShiftModifier);
    QApplication::sendEvent(view, &zoom);
  };
  drag(centre + QPoint(6, 0));
  EXPECT_DOUBLE_EQ(view->EyeZ, startEye) << "a sideways drag does not zoom";
  drag(centre + QPoint(6, -4));
  EXPECT_NEAR(view->EyeZ, startEye * 0.95, 1e-9);
  drag(centre + QPoint(6, 4));
  EXPECT_NEAR(view->EyeZ, startEye * 0.95 * 1.05, 1e-9);
  QTest::mouseRelease(view, Qt::RightButton, Qt::ShiftModifier, centre);

  // The wheel zooms too.
  const double beforeWheel = view->EyeZ;
  QWheelEvent wheel(QPointF(centre), view->mapToGlobal(QPointF(centre)), QPoint(), QPoint(0, 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view, &wheel);
  EXPECT_NEAR(view->EyeZ, beforeWheel * 0.9, 1e-9);

  // Alt + click, and View > Fit to window, frame the model as at the start.
  QTest::mousePress(view, Qt::LeftButton, Qt::AltModifier, centre);
  EXPECT_DOUBLE_EQ(view->RotateX, startX);
  EXPECT_DOUBLE_EQ(view->RotateY, 0.0);
  EXPECT_DOUBLE_EQ(view->EyeZ, startEye);
  EXPECT_EQ(view->MouseMode, TOGLPanel::mmIdle);
  EXPECT_TRUE(view->Framing());
  view->RotateY = 40;
  main_->miFitToWindow->trigger();
  EXPECT_DOUBLE_EQ(view->RotateY, 0.0);
}

// The box that the lit pixels of `image` take, ignoring those that `axes` shows lit as well.
QRect LitBox(const QImage& image, const QImage& axes) {
  QRect box;
  const auto lit = [](const QColor& c) { return c.red() + c.green() + c.blue() > 30; };
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (lit(image.pixelColor(x, y)) && !lit(axes.pixelColor(x, y)))
        box = box.united(QRect(x, y, 1, 1));
  return box;
}

TEST_F(ModelView, TheFirstFrameShowsTheWholeModelFromTheSide) {
  model_ = main_->OpenProject(SARVANTA_EXAMPLES_DIR "/elbow.svt");
  ASSERT_NE(model_->ModelView, nullptr);
  const QImage first = Frame();
  TOGLPanel* view = model_->ModelView;
  EXPECT_DOUBLE_EQ(view->RotateX, -90.0) << "the model's Y points up";
  const double rotateX = view->RotateX, eyeZ = view->EyeZ, centreZ = view->CentreZ;
  const double translate[] = {view->TranslateX, view->TranslateY, view->TranslateZ};

  // The same camera over an empty model draws the axes alone; what differs is the model.
  TMSystem* empty = main_->tbNewClick();  // maximised in the same area
  empty->Redraw();
  TOGLPanel* axesView = empty->ModelView;
  QApplication::processEvents();
  axesView->HoldCamera();
  axesView->RotateX = rotateX;
  axesView->TranslateX = translate[0];
  axesView->TranslateY = translate[1];
  axesView->TranslateZ = translate[2];
  axesView->EyeZ = eyeZ;
  axesView->CentreZ = centreZ;
  const QImage axes = axesView->grabFramebuffer();
  ASSERT_EQ(axes.size(), first.size());

  const QRect box = LitBox(first, axes);
  ASSERT_FALSE(box.isEmpty());
  const QRect inside = first.rect().adjusted(1, 1, -2, -2);
  EXPECT_TRUE(inside.contains(box)) << "nothing of the model is cut: " << box.x() << "," << box.y()
                                    << " " << box.width() << "x" << box.height();
  EXPECT_GT(std::max(box.width() * 1.0 / first.width(), box.height() * 1.0 / first.height()), 0.6)
      << "the model fills most of the view";
  const QPoint offset = box.center() - first.rect().center();
  EXPECT_LT(std::abs(offset.x()), first.width() / 8) << "centred across";
  EXPECT_LT(std::abs(offset.y()), first.height() / 8) << "centred up and down";
}

TEST_F(ModelView, AnOpenedProjectIsDrawnAtOnce) {
  QStringList errors;
  main_->OnError = [&errors](const QString& text) { errors << text; };
  model_ = main_->OpenProject(SARVANTA_EXAMPLES_DIR "/elbow.svt");
  ASSERT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
  ASSERT_NE(model_->ModelView, nullptr);
  const TPixelCounts counts = CountPixels(Frame());
  EXPECT_GT(counts.Lit, 100);
}

}  // namespace
}  // namespace sarvanta
