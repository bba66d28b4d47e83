// sarvanta-cli info PROJECT.svt: the model as a tree, with its parameters.
#include "Command.h"

#include "base/NumberText.h"
#include "model/Bone.h"
#include "model/Joint.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/Polynomial.h"
#include "model/ProjectFile.h"
#include "task/FileKind.h"

#include <iostream>
#include <memory>
#include <string>

namespace sarvanta::cli {
namespace {

std::string Name(const TInspectedObject* object) { return object ? object->Descr : "-"; }

std::string Point(long double x, long double y, long double z) {
  return "(" + FloatToStr(x) + ", " + FloatToStr(y) + ", " + FloatToStr(z) + ")";
}

std::string Coefficients(const TPolynomial& poly) {
  std::string text;
  for (long double c : poly.Coefficients) text += FloatToStr(c) + ";";
  return text.empty() ? "-" : text;
}

void PrintBone(int index, const TBone& bone) {
  std::cout << "  Bone " << index << ": " << bone.Descr << "\tLength " << FloatToStr(bone.Length)
            << "\tMass " << FloatToStr(bone.Mass) << "\tInertM " << FloatToStr(bone.InertM)
            << "\tFromJoint " << Name(bone.FromJnt) << "\tToJoint " << Name(bone.ToJnt)
            << "\tFixedEdges " << int{bone.FixedEdges} << "\tStart "
            << Point(bone.StartPointX, bone.StartPointY, bone.StartPointZ) << "\tEnd "
            << Point(bone.EndPointX, bone.EndPointY, bone.EndPointZ) << '\n';
}

void PrintJoint(int index, const TJoint& joint) {
  std::cout << "  Joint " << index << ": " << joint.Descr << "\tJointType " << int{joint.JointType}
            << "\tPosition " << Point(joint.xPosition, joint.yPosition, joint.zPosition)
            << "\tFirstBone " << Name(joint.FBone()) << "\tSecondBone " << Name(joint.SBone())
            << "\tXAngle " << FloatToStr(joint.MinXAngle) << ".." << FloatToStr(joint.MaxXAngle)
            << "\tYAngle " << FloatToStr(joint.MinYAngle) << ".." << FloatToStr(joint.MaxYAngle)
            << "\tZAngle " << FloatToStr(joint.MinZAngle) << ".." << FloatToStr(joint.MaxZAngle)
            << '\n';
}

void PrintMotorUnit(int index, const TMotorUnit& unit) {
  const auto& train = unit.ImpArray();
  std::cout << "    Motor unit " << index << ": " << unit.Descr << "\tFmin "
            << FloatToStr(unit.Fmin) << "\tFmax " << FloatToStr(unit.Fmax) << "\tTf "
            << FloatToStr(unit.Tf) << "\tPow " << FloatToStr(unit.Pow) << "\tTc "
            << FloatToStr(unit.Tc()) << "\tTr " << FloatToStr(unit.Tr()) << "\tT "
            << FloatToStr(unit.Tl) << "\tLeadT " << FloatToStr(unit.LeadT) << "\tTref "
            << FloatToStr(unit.Tref) << "\tImpulses " << train.size();
  if (!train.empty())
    std::cout << " (" << FloatToStr(train.front()) << " .. " << FloatToStr(train.back()) << " ms)";
  std::cout << '\n';
}

void PrintMuscle(int index, const TMuscle& muscle) {
  std::cout << "  Muscle " << index << ": " << muscle.Descr << "\tPlane " << int{muscle.Plane}
            << "\tBoneHolding " << FloatToStr(muscle.BoneHolding) << "\tFromBone "
            << Name(muscle.FromBone) << "\tToBone " << Name(muscle.ToBone) << "\tForceArm "
            << Coefficients(*muscle.ForceArmPoly) << "\tForceAngle "
            << Coefficients(*muscle.ForceAnglePoly) << "\tLenght "
            << Coefficients(*muscle.LengthPoly) << "\tPCSA " << Coefficients(*muscle.PCSAPoly)
            << "\tMotorUnits " << muscle.MotorUnits.Count() << '\n';
  for (int i = 0; i < muscle.MotorUnits.Count(); ++i) PrintMotorUnit(i + 1, *muscle.MotorUnit(i));
}

void PrintSystem(const std::string& path, const TMechanicalSystem& system) {
  int units = 0;
  for (int i = 1; i < system.Muscles.Count(); ++i) units += system.Muscle(i)->MotorUnits.Count();
  std::cout << "System " << path << "\tBones " << system.Bones.Count() - 1 << "\tJoints "
            << system.Joints.Count() - 1 << "\tMuscles " << system.Muscles.Count() - 1
            << "\tMotorUnits " << units << '\n';
  for (int i = 1; i < system.Bones.Count(); ++i) PrintBone(i, *system.Bone(i));
  for (int i = 1; i < system.Joints.Count(); ++i) PrintJoint(i, *system.Joint(i));
  for (int i = 1; i < system.Muscles.Count(); ++i) PrintMuscle(i, *system.Muscle(i));
}

const TCommandRegistrar registrar([](CLI::App& app) {
  auto* command =
      app.add_subcommand("info", "The model of a project file as a tree, with parameters");
  auto path = std::make_shared<std::string>();
  command->add_option("PROJECT", *path, "Project file (.svt)")->required();
  command->callback([path] {
    RequireProjectFile(*path, "info");
    TMechanicalSystem system;
    LoadSystemFromFile(system, *path);
    PrintSystem(*path, system);
  });
});

}  // namespace
}  // namespace sarvanta::cli
