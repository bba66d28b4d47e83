// A genetic operation is a rule of the motor task: in each cycle, with probability
// OpProbability, apply operator OpType with these parameters to one random chromosome of
// level Level. The operation objects only carry the parameters; the algorithm decides when
// to apply them and the chromosome classes carry the operators out.
#pragma once

#include "model/Stream.h"

#include <cstdint>
#include <string>

namespace sarvanta {

// Operator codes. Mutations are positive, crossovers and common mutations negative.
namespace OpCode {
inline constexpr int ShiftImpulseLeft = 1;
inline constexpr int ShiftImpulseRight = 2;
inline constexpr int AddImpulse = 4;
inline constexpr int RemoveImpulse = 8;
inline constexpr int ChangeMUActivation = 16;
inline constexpr int ShiftMUActivationLeft = 32;
inline constexpr int ShiftMUActivationRight = 64;
inline constexpr int ChangeMuscleActivity = 128;

inline constexpr int MotorUnitOnePoint = -1;
inline constexpr int MotorUnitMultiPoint = -2;
inline constexpr int MuscleOnePoint = -4;
inline constexpr int MuscleMultiPoint = -8;
inline constexpr int MotorCenterOnePoint = -16;
inline constexpr int MotorCenterMultiPoint = -32;

inline constexpr int MotorUnitInverse = -1;
inline constexpr int MotorUnitSynchronic = -2;
inline constexpr int MuscleInverse = -4;
inline constexpr int MuscleSynchronic = -8;
}  // namespace OpCode

class TGeneticOperation : public TStreamComponent {
 public:
  // Level is stored before the operation joins `owner`, so that the owner files it under
  // the right level. The concrete classes pass no owner here and join at the end of their own
  // constructors, so that the owner sees the finished class.
  TGeneticOperation(TComponent* owner, int32_t level);

  const TClassInfo& ClassInfo() const override;

  std::string Descr;
  int32_t Level = 0;
  int32_t OpType = 0;
  int32_t NumberOfPoints = 0;
  long double OpProbability = 0;
  std::string ProbDependance;

 protected:
  // The published values shared by every operation class, in stored order.
  static TClassInfo BaseInfo(const std::string& className);
};

class TMutationOperation : public TGeneticOperation {
 public:
  TMutationOperation(TComponent* owner, int32_t level) : TGeneticOperation(nullptr, level) {
    JoinOwner(owner);
  }
  const TClassInfo& ClassInfo() const override;

  long double Range = 0;
};

class TCrossoverOperation : public TGeneticOperation {
 public:
  TCrossoverOperation(TComponent* owner, int32_t level) : TGeneticOperation(nullptr, level) {
    JoinOwner(owner);
  }
  const TClassInfo& ClassInfo() const override;
};

class TCommonMutationOperation : public TGeneticOperation {
 public:
  TCommonMutationOperation(TComponent* owner, int32_t level) : TGeneticOperation(nullptr, level) {
    JoinOwner(owner);
  }
  const TClassInfo& ClassInfo() const override;

  long double Range = 0;
};

}  // namespace sarvanta
