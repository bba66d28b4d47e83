// Derived muscle functions: curves over time computed from a solution of the motor task
// (the root chromosome of an individual, whose model is the mechanical system): integrated
// EMG, force arm and moment of a muscle about a joint whose angle is an expression of time,
// and the reaction force between two bones.
#pragma once

#include "base/StringList.h"
#include "model/InspectedObject.h"

#include <cstdint>
#include <string>

namespace sarvanta {

class TBone;
class TChromosome;
class TExpress;
class TMechanicalSystem;
class TMuscle;

class TParamFunction : public TInspectedObject {
 public:
  TParamFunction(TComponent* owner, long double precision, const std::string& name);

  // The function's value at t for `solution`.
  virtual long double Value(TChromosome* solution, long double t) = 0;
  // Caption = the function's name; rows "Name" and "Precision".
  std::unique_ptr<TObjectDescription> ObjectDescription(const std::string& name) override;

  const TClassInfo& ClassInfo() const override;

  // The sampling step the results page uses for the function.
  long double Precision = 0;
  // The motor task's current system, whose lists the reference rows pick from; not owned.
  TMechanicalSystem* System = nullptr;

 protected:
  const TStringList* MuscleList() const;
  const TStringList* BoneList() const;
};

// Impulses of all motor units of Muscle inside [T0, T0 + Interval], where T0 is t rounded to
// the nearest multiple of Interval (halves to even).
class TIntEMG : public TParamFunction {
 public:
  TIntEMG(TComponent* owner, long double precision, const std::string& name);
  // An Interval of 0 is taken as 1 (and stored); 0 without a muscle.
  long double Value(TChromosome* solution, long double t) override;
  // Rows "Name", "Precision" (EMGPrecision), "Interval", "Muscle".
  std::unique_ptr<TObjectDescription> ObjectDescription(const std::string& name) override;

  TMuscle* Muscle = nullptr;
  long double EMGPrecision = 0;
  long double Interval = 0;
};

// A function of a muscle and a joint-angle expression of time ("0" when the text is empty).
class TMuscleAngleFunction : public TParamFunction {
 public:
  TMuscleAngleFunction(TComponent* owner, long double precision, const std::string& name);
  // Rows "Name", "Joint Angle", "Muscle".
  std::unique_ptr<TObjectDescription> ObjectDescription(const std::string& name) override;

  TMuscle* Muscle = nullptr;
  TExpress* Expr = nullptr;  // owned
  std::string JointAngle;

 protected:
  // The joint angle at s; the text is compiled first when it changed.
  long double Angle(long double s);
};

// The muscle's force-arm polynomial at the joint angle; 0 without a muscle.
class TForceArm : public TMuscleAngleFunction {
 public:
  using TMuscleAngleFunction::TMuscleAngleFunction;
  long double Value(TChromosome* solution, long double t) override;
};

// The muscle's force at t times its force arm at the joint angle; 0 without a muscle.
class TMuscleMoment : public TMuscleAngleFunction {
 public:
  using TMuscleAngleFunction::TMuscleAngleFunction;
  long double Value(TChromosome* solution, long double t) override;
};

// The reaction force between FromBone and ToBone of the solution's system, by Mode.
class TReactionForce : public TParamFunction {
 public:
  TReactionForce(TComponent* owner, long double precision, const std::string& name);
  long double Value(TChromosome* solution, long double t) override;
  // Rows "Name", "From Bone", "To Bone", "Joint Angle", "Inertial Force" (Mode in ModeList).
  std::unique_ptr<TObjectDescription> ObjectDescription(const std::string& name) override;
  const TClassInfo& ClassInfo() const override;

  const std::string& JointAngleExpression() const { return jointAngleExpression_; }
  // Stores the text and compiles it at once (EExpressError for a bad text).
  void SetJointAngleExpression(const std::string& text);

  TBone* FromBone = nullptr;
  TBone* ToBone = nullptr;
  TExpress* Expr = nullptr;  // owned
  int32_t Mode = 0;
  // "Modul incl. inert. forces", "By X incl. inert. forces", "By Y incl. inert. forces",
  // "By X", "By Y", "Modul".
  TStringList ModeList;

 private:
  long double Angle(long double s);
  std::string jointAngleExpression_;
};

}  // namespace sarvanta
