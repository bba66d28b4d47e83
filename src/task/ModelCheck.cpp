#include "task/ModelCheck.h"

#include "base/NumberText.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GoalKinematic.h"
#include "ga/GoalLoadSharing.h"
#include "model/Bone.h"
#include "model/Joint.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/TimeFrame.h"

#include <set>

namespace sarvanta {

namespace {

using TFindings = std::vector<std::string>;

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

bool IsBoneIndex(const TMechanicalSystem& system, int32_t index) {
  return index >= 1 && index < system.Bones.Count() && system.Bone(index) != nullptr;
}

void CheckNotNegative(const std::string& what, const char* field, long double value,
                      TFindings& findings) {
  if (value < 0) findings.push_back(what + ": " + field + " " + FloatToStr(value) + " is negative");
}

void CheckPositive(const std::string& what, const char* field, long double value,
                   TFindings& findings) {
  if (!(value > 0))
    findings.push_back(what + ": " + field + " " + FloatToStr(value) + " is not above 0");
}

void CheckDuplicates(const std::string& kind, const TStringList& list, int first,
                     TFindings& findings) {
  std::set<std::string> seen, reported;
  for (int i = first; i < list.Count(); ++i) {
    const std::string& name = list.Strings(i);
    if (!seen.insert(name).second && reported.insert(name).second)
      findings.push_back(kind + " " + Quoted(name) + ": the name is used more than once");
  }
}

void CheckBones(const TMechanicalSystem& system, TFindings& findings) {
  for (int i = 1; i < system.Bones.Count(); ++i) {
    const TBone* bone = system.Bone(i);
    if (bone == nullptr) continue;
    const std::string what = "Bone " + Quoted(bone->Descr);
    CheckNotNegative(what, "Length", bone->Length, findings);
    CheckNotNegative(what, "Mass", bone->Mass, findings);
    CheckNotNegative(what, "InertM", bone->InertM, findings);
    // 0 is "no joint"; any other index must name one.
    for (const auto& [field, index] :
         {std::pair{"FromJoint", bone->FromJntInd}, std::pair{"ToJoint", bone->ToJntInd}})
      if (index != 0 && !(index >= 1 && index < system.Joints.Count()))
        findings.push_back(what + ": " + field + " refers to joint " + IntToStr(index) +
                           ", which does not exist");
  }
}

void CheckJoints(const TMechanicalSystem& system, TFindings& findings) {
  for (int i = 1; i < system.Joints.Count(); ++i) {
    const TJoint* joint = system.Joint(i);
    if (joint == nullptr) continue;
    for (const auto& [field, index] :
         {std::pair{"FirstBone", joint->FBoneInd}, std::pair{"SecondBone", joint->SBoneInd}})
      if (!IsBoneIndex(system, index))
        findings.push_back("Joint " + Quoted(joint->Descr) + ": " + field + " refers to bone " +
                           IntToStr(index) + ", which does not exist");
  }
}

void CheckUnit(const std::string& what, const TMotorUnit& unit, TFindings& findings) {
  if (unit.Fmin > unit.Fmax)
    findings.push_back(what + ": Fmin " + FloatToStr(unit.Fmin) + " is above Fmax " +
                       FloatToStr(unit.Fmax));
  CheckNotNegative(what, "Fmin", unit.Fmin, findings);
  CheckPositive(what, "Tc", unit.Tc(), findings);
  CheckPositive(what, "Tr", unit.Tr(), findings);
  CheckPositive(what, "Tref", unit.Tref, findings);
  const auto& train = unit.ImpArray();
  for (size_t k = 1; k < train.size(); ++k)
    if (train[k] < train[k - 1]) {
      findings.push_back(what + ": impulse " + IntToStr(static_cast<int64_t>(k + 1)) + " at " +
                         FloatToStr(train[k]) + " ms comes before impulse " +
                         IntToStr(static_cast<int64_t>(k)) + " at " + FloatToStr(train[k - 1]) +
                         " ms (the train is out of order)");
      break;
    }
  if (!train.empty() && train.front() < 0)
    findings.push_back(what + ": impulse at " + FloatToStr(train.front()) + " ms, before 0 ms");
}

void CheckMuscles(const TMechanicalSystem& system, TFindings& findings) {
  for (int i = 1; i < system.Muscles.Count(); ++i) {
    const TMuscle* muscle = system.Muscle(i);
    if (muscle == nullptr) continue;
    const std::string what = "Muscle " + Quoted(muscle->Descr);
    for (const auto& [field, index] :
         {std::pair{"FromBone", muscle->FromBoneInd}, std::pair{"ToBone", muscle->ToBoneInd}})
      if (!IsBoneIndex(system, index))
        findings.push_back(what + ": " + field + " refers to bone " + IntToStr(index) +
                           ", which does not exist");
    for (int u = 0; u < muscle->MotorUnits.Count(); ++u)
      CheckUnit(what + ", motor unit " + Quoted(muscle->MotorUnits.Strings(u)),
                *muscle->MotorUnit(u), findings);
    CheckDuplicates(what + ", motor unit", muscle->MotorUnits, 0, findings);
  }
}

// The bone indices a goal refers to, with their row names.
std::vector<std::pair<const char*, int32_t>> GoalBones(const TGoalFunction& goal) {
  if (const auto* angle = dynamic_cast<const TGFJointAngle*>(&goal))
    return {{"From Bone", angle->FromBoneInd}, {"To Bone", angle->ToBoneInd}};
  if (const auto* reaction = dynamic_cast<const TGFMinimalJointReaction*>(&goal))
    return {{"From Bone", reaction->FromBoneInd}, {"To Bone", reaction->ToBoneInd}};
  if (const auto* position = dynamic_cast<const TGFBonePosition*>(&goal))
    return {{"Bone", position->BoneInd}};
  return {};
}

}  // namespace

std::vector<std::string> CheckSystem(const TMechanicalSystem& system) {
  TFindings findings;
  CheckBones(system, findings);
  CheckJoints(system, findings);
  CheckMuscles(system, findings);
  CheckDuplicates("Bone", system.Bones, 1, findings);
  CheckDuplicates("Joint", system.Joints, 1, findings);
  CheckDuplicates("Muscle", system.Muscles, 1, findings);
  return findings;
}

std::vector<std::string> CheckTask(const TGeneticAlgorithm& algorithm,
                                   const TMechanicalSystem& system) {
  TFindings findings;
  for (int j = 0; j < algorithm.Goals.Count(); ++j) {
    const TGoalFunction* goal = algorithm.Goal(j);
    if (goal == nullptr) continue;
    for (const auto& [row, index] : GoalBones(*goal))
      if (!IsBoneIndex(system, index))
        findings.push_back("Goal " + IntToStr(j + 1) + " " + Quoted(algorithm.Goals.Strings(j)) +
                           ": " + row + " refers to bone " + IntToStr(index) +
                           ", which does not exist in the project");
  }
  const TTimeFrame* frame = algorithm.TimeFrame;
  if (frame == nullptr) return findings;
  const long double from = frame->FrameStart - frame->CtrlExt();
  const long double to = frame->FrameEnd;
  for (int i = 1; i < system.Muscles.Count(); ++i) {
    const TMuscle* muscle = system.Muscle(i);
    if (muscle == nullptr) continue;
    for (int u = 0; u < muscle->MotorUnits.Count(); ++u) {
      int outside = 0;
      for (const long double t : muscle->MotorUnit(u)->ImpArray()) outside += t < from || t > to;
      if (outside > 0)
        findings.push_back("Muscle " + Quoted(muscle->Descr) + ", motor unit " +
                           Quoted(muscle->MotorUnits.Strings(u)) + ": " + IntToStr(outside) +
                           " impulses outside the task's time frame (" + FloatToStr(from) + " .. " +
                           FloatToStr(to) + " ms)");
    }
  }
  return findings;
}

}  // namespace sarvanta
