// The scene of a model window's 3D view: axes, bones as capped cylinders, joints as two
// crossed short cylinders and muscles as arrows, with the object shown in the main inspector
// drawn last in its highlight colour. Model coordinates are scaled by 5 and drawn with the
// model's Y as OpenGL's Z and the model's Z as OpenGL's Y.
#include "app/MSystem.h"

#include "app/OGLPanel.h"
#include "app/ObjectInspector.h"
#include "model/Bone.h"
#include "model/InspectedObject.h"
#include "model/Joint.h"
#include "model/Muscle.h"
#include "model/Polynomial.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <numbers>

namespace sarvanta {

namespace {

enum TColour { clBone = 0, clSelectedBone, clMuscle, clSelectedMuscle, clJoint, clSelectedJoint };

constexpr double kScale = 5.0;

GLfloat F(long double value) { return static_cast<GLfloat>(value); }

// Where a muscle's arrow starts and the direction it points in, as the scene draws it.
struct TArrow {
  double X, Y, Z;
  double DirectionX, DirectionZ;
  double Length;
};

TArrow ArrowOf(const TMuscle& muscle, const TBone& bone) {
  const long double side = (muscle.Plane & 1) ? 0.1L : -0.1L;
  const double angle = static_cast<double>(180 - muscle.ForceAnglePoly->Evaluate(0) * 180 /
                                                     std::numbers::pi_v<long double>);
  const double radians = angle * std::numbers::pi / 180;
  return {
      static_cast<double>(kScale * (muscle.ForceArmPoly->Evaluate(0) + bone.StartPointX) + side),
      static_cast<double>(kScale * bone.StartPointZ),
      static_cast<double>(kScale * (bone.StartPointY + muscle.BoneHolding) + 0.2L),
      std::sin(radians),
      std::cos(radians),
      static_cast<double>(0.4L * muscle.PCSAPoly->Evaluate(0))};
}

class TSceneBuilder {
 public:
  TSceneBuilder(const TMSystem& model, GLUquadric* quadric) : model_(model), quadric_(quadric) {}

  void Colour(int index) const {
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE,
                 model_.Colours[static_cast<size_t>(index)].data());
  }

  void Cylinder(double base, double top, double height) const {
    gluCylinder(quadric_, base, top, height, model_.Slices, model_.Stacks);
  }

  void Disk(double radius) const { gluDisk(quadric_, 0, radius, model_.Slices, model_.Stacks); }

  void Axes() const {
    glPushMatrix();
    Cylinder(0.01, 0.01, 10);
    glRotatef(90, 0, 1, 0);
    Cylinder(0.01, 0.01, 10);
    glRotatef(-90, 1, 0, 0);
    Cylinder(0.01, 0.01, 10);
    glPopMatrix();
  }

  void Bone(const TBone& bone) const {
    const double length = kScale * static_cast<double>(bone.Length);
    glPushMatrix();
    glTranslatef(F(kScale * bone.StartPointX), F(kScale * bone.StartPointZ),
                 F(kScale * bone.StartPointY));
    Cylinder(0.1, 0.1, length);
    Disk(0.1);
    glTranslated(0, 0, length);
    Disk(0.1);
    glPopMatrix();
  }

  void Joint(const TJoint& joint) const {
    const GLfloat x = F(kScale * joint.xPosition);
    const GLfloat y = F(kScale * joint.zPosition);
    const GLfloat z = F(kScale * joint.yPosition);
    glPushMatrix();
    glPushMatrix();
    glTranslatef(x - 0.1f, y, z);
    glRotatef(90, 0, 1, 0);
    Cylinder(0.2, 0.2, 0.2);
    Disk(0.2);
    glTranslatef(0, 0, 0.1f);
    Disk(0.2);
    glPopMatrix();
    glTranslatef(x, y, z);
    glRotatef(90, 0, 1, 0);
    glRotatef(90, 1, 0, 0);
    glTranslatef(0, 0, -0.1f);
    Cylinder(0.2, 0.2, 0.2);
    Disk(0.2);
    glTranslatef(0, 0, 0.1f);
    Disk(0.2);
    glPopMatrix();
  }

  // A muscle is drawn at its insertion bone; without one it is not drawn.
  void Muscle(const TMuscle& muscle) const {
    const TBone* bone = muscle.ToBone;
    if (!bone) return;
    const TArrow arrow = ArrowOf(muscle, *bone);
    const long double length = 0.4L * muscle.PCSAPoly->Evaluate(0);
    glPushMatrix();
    glTranslated(arrow.X, arrow.Y, arrow.Z);
    glRotatef(F(180 - muscle.ForceAnglePoly->Evaluate(0) * 180 / std::numbers::pi_v<long double>),
              0, 1, 0);
    Cylinder(0.03, 0.03, static_cast<double>(length));
    glTranslatef(0, 0, F(length));
    Cylinder(0.06, 0, 0.2);
    Disk(0.06);
    glPopMatrix();
  }

 private:
  const TMSystem& model_;
  GLUquadric* quadric_;
};

}  // namespace

TSceneBox TMSystem::ModelViewBounds() const {
  TSceneBox box;
  const TMechanicalSystem& system = *MechanicalSystem;
  for (int i = 1; i < system.Bones.Count(); ++i) {
    const TBone* bone = system.Bone(i);
    if (!bone) continue;
    const double x = kScale * static_cast<double>(bone->StartPointX);
    const double y = kScale * static_cast<double>(bone->StartPointZ);
    const double z = kScale * static_cast<double>(bone->StartPointY);
    box.Add(x, y, z, 0.1);
    box.Add(x, y, z + kScale * static_cast<double>(bone->Length), 0.1);
  }
  for (int i = 1; i < system.Joints.Count(); ++i) {
    const TJoint* joint = system.Joint(i);
    if (!joint) continue;
    box.Add(kScale * static_cast<double>(joint->xPosition),
            kScale * static_cast<double>(joint->zPosition),
            kScale * static_cast<double>(joint->yPosition), 0.3);
  }
  for (int i = 1; i < system.Muscles.Count(); ++i) {
    const TMuscle* muscle = system.Muscle(i);
    if (!muscle || !muscle->ToBone) continue;
    const TArrow arrow = ArrowOf(*muscle, *muscle->ToBone);
    const double reach = arrow.Length + 0.2;
    box.Add(arrow.X, arrow.Y, arrow.Z, 0.06);
    box.Add(arrow.X + reach * arrow.DirectionX, arrow.Y, arrow.Z + reach * arrow.DirectionZ, 0.06);
  }
  // A value the model cannot draw (not a number, infinite) frames nothing.
  for (size_t i = 0; i < 3; ++i)
    if (!std::isfinite(box.Min[i]) || !std::isfinite(box.Max[i])) return TSceneBox{};
  return box;
}

unsigned TMSystem::ModelViewBuildScene(TOGLPanel* /*panel*/) {
  const GLuint list = glGenLists(1);
  GLUquadric* quadric = gluNewQuadric();
  gluQuadricDrawStyle(quadric, GLU_FILL);
  gluQuadricNormals(quadric, GLU_SMOOTH);
  gluQuadricOrientation(quadric, GLU_OUTSIDE);
  glNewList(list, GL_COMPILE);
  const TSceneBuilder scene(*this, quadric);

  scene.Colour(clBone);
  scene.Axes();

  const TObjectDescription* shown = inspector_ ? inspector_->GetActiveObject() : nullptr;
  const TObject* selected = shown ? shown->Obj : nullptr;
  const TMechanicalSystem& system = *MechanicalSystem;

  scene.Colour(clBone);
  for (int i = 1; i < system.Bones.Count(); ++i)
    if (const TBone* bone = system.Bone(i); bone && bone != selected) scene.Bone(*bone);
  scene.Colour(clJoint);
  for (int i = 1; i < system.Joints.Count(); ++i)
    if (const TJoint* joint = system.Joint(i); joint && joint != selected) scene.Joint(*joint);
  scene.Colour(clMuscle);
  for (int i = 1; i < system.Muscles.Count(); ++i)
    if (const TMuscle* muscle = system.Muscle(i); muscle && muscle != selected)
      scene.Muscle(*muscle);

  // The selected object is highlighted only in the window whose system holds it.
  if (const int at = system.Bones.IndexOfObject(selected); selected && at > 0) {
    scene.Colour(clSelectedBone);
    scene.Bone(*system.Bone(at));
  } else if (const int at = system.Joints.IndexOfObject(selected); selected && at > 0) {
    scene.Colour(clSelectedJoint);
    scene.Joint(*system.Joint(at));
  } else if (const int at = system.Muscles.IndexOfObject(selected); selected && at > 0) {
    scene.Colour(clSelectedMuscle);
    scene.Muscle(*system.Muscle(at));
  }

  gluDeleteQuadric(quadric);
  glEndList();
  return list;
}

}  // namespace sarvanta
