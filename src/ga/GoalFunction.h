// A goal function scores one individual of the genetic algorithm (lower is better) and
// offers the value a motor task demands at a time (Goal) and the value an individual
// achieves (Result). Goals are owned by the algorithm, which combines their estimations
// through each goal's Weight.
#pragma once

#include "model/InspectedObject.h"

#include <cstdint>
#include <memory>
#include <string>

namespace sarvanta {

class TChromosome;
class TExpress;
class TMechanicalSystem;

// Goal kinds: positions in the motor-task window's list of standard goals (5, "Antagonist
// coactivation", has no goal class).
namespace GoalKind {
inline constexpr int32_t MinimalForce = 0;
inline constexpr int32_t MinimalMUActivation = 1;
inline constexpr int32_t MinimalFatigue = 2;
inline constexpr int32_t MinimalJointReaction = 3;
inline constexpr int32_t PCSAbased = 4;
inline constexpr int32_t JointAngle = 6;
inline constexpr int32_t BonePosition = 7;
inline constexpr int32_t JointAngleCheckPoints = 8;
inline constexpr int32_t BonePosCheckPoint = 9;
}  // namespace GoalKind

class TGoalFunction : public TInspectedObject {
 public:
  // Stores Weight and Descr, then joins `owner` (whose Notification sees a complete goal).
  TGoalFunction(TComponent* owner, long double weight, const std::string& descr);

  // The score of the individual whose root chromosome is `root`, after the individual was
  // applied to the model. The base gives 0.
  virtual long double Estimation(TChromosome* root);
  // The value demanded at time t; the base gives 0.
  virtual long double Goal(TChromosome* root, long double t);
  // The value achieved at time t; the base gives 0.
  virtual long double Result(TChromosome* root, long double t);
  // The goal's caption; the base gives the stored Descr text.
  virtual std::string GetDescription() const;

  // Titled with GetDescription; rows "Name" and "Weight", then the class's own rows.
  std::unique_ptr<TObjectDescription> ObjectDescription(const std::string& name) override;

  const TClassInfo& ClassInfo() const override;

  // The function wizard's edit operation for expression rows, installed by the desktop
  // program.
  static inline TEditCallback ExpressionEditor;

  int32_t GoalType = 0;
  long double Weight = 0;

 protected:
  struct TJoinLater {};
  // For derived classes: stores the values without joining an owner; the most derived
  // constructor joins at its end.
  TGoalFunction(TJoinLater, long double weight, const std::string& descr);

  // Appends the class's own rows after "Name" and "Weight".
  virtual void AddRows(TObjectDescription& description);
  // The published values shared by every goal class: GoalType, Weight, Descr.
  static TClassInfo BaseInfo(const std::string& className);
  // The system whose lists the inspector rows pick from: the owning algorithm's system.
  const TStringList* BoneList() const;
};

// A goal with a user expression of time ("t" for a new goal, parameters a, b, c, d).
class TGoalFunctionExpression : public TGoalFunction {
 public:
  TGoalFunctionExpression(TComponent* owner, long double weight, const std::string& descr);
  ~TGoalFunctionExpression() override;

  // Sets the variable names "txy", the parameter names "abcd" and the values A, B, C, D, 1,
  // 1, then compiles Expression (cut to 255 characters; an empty text becomes "0"). Throws EExpressError for a text that
  // does not compile; Expression keeps the text.
  void UpdateExpression();
  // The expression's value at time t (x = y = 0).
  long double ExpressionValue(long double t);
  // Recompiles when the compiled text differs from Expression ("0" replaces an empty text).
  void EnsureCompiled();

  const TClassInfo& ClassInfo() const override;

  std::string Expression = "t";
  long double A = 0;
  long double B = 0;
  long double C = 0;
  long double D = 0;
  TExpress* Express = nullptr;  // owned

 protected:
  TGoalFunctionExpression(TJoinLater, long double weight, const std::string& descr);
  static TClassInfo ExpressionInfo(const std::string& className);
};

}  // namespace sarvanta
