// A goal function scores one individual of the genetic algorithm (lower is better) and
// offers the value a motor task demands at a time (Goal) and the value an individual
// achieves (Result). Goals are owned by the algorithm, which combines their estimations
// through each goal's Weight.
#pragma once

#include "model/InspectedObject.h"

#include "expr/CompiledExpression.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <span>
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

// Where a goal's Estimation may run while a population is evaluated.
enum class TGoalThreading {
  // On any evaluation thread, for several individuals at once: Estimation reads only the
  // individual's tree (through TIndividualMuscle), the model and the time frame, and writes
  // nothing but its result.
  AnyThread,
  // On the calling thread only, individuals in list order: Estimation draws from the shared
  // random generator or keeps state of its own.
  CallingThread,
};

class TGoalFunction : public TInspectedObject {
 public:
  // Stores Weight and Descr, then joins `owner` (whose Notification sees a complete goal).
  TGoalFunction(TComponent* owner, long double weight, const std::string& descr);

  // The score of the individual whose root chromosome is `root`, read from the individual's
  // evaluated tree (its trains and muscle samples). The base gives 0.
  virtual long double Estimation(TChromosome* root);
  // How Estimation may be called; asked after PrepareEstimation. The base says CallingThread,
  // the safe answer for a goal class that does not declare otherwise.
  virtual TGoalThreading Threading() const;
  // Called on the calling thread before a round of estimations, with nothing else running; a
  // goal brings what its estimations share up to date here. The base does nothing.
  virtual void PrepareEstimation();
  // An estimation that is a sum of terms in a fixed order, so that evaluation threads may
  // compute it in slices (AnyThread goals only). TermCount: the number of terms, 0 when the
  // estimation is not split (the base). Terms: the terms first .. first + terms.size() - 1.
  // FromTermSum: the estimation from the sum of all terms added in order from the first.
  // A class that splits gives Estimation == FromTermSum(that sum) bit for bit and throws what
  // Estimation throws at its first failing term; a class derived from it that estimates
  // otherwise answers TermCount 0.
  virtual size_t TermCount(TChromosome* root);
  virtual void Terms(TChromosome* root, size_t first, std::span<long double> terms);
  virtual long double FromTermSum(TChromosome* root, long double sum);
  // The value demanded at time t; the base gives 0.
  virtual long double Goal(TChromosome* root, long double t);
  // The value achieved at time t; the base gives 0.
  virtual long double Result(TChromosome* root, long double t);
  // values[i] := Result(root, times[i]) for every i, bit for bit, computed for all times at
  // once where the class can (the forces of a whole curve in one sweep); the base asks Result
  // one time after the other.
  virtual void Results(TChromosome* root, std::span<const long double> times,
                       std::span<long double> values);
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
  // 1, then compiles Expression (cut to 255 characters; an empty text becomes "0"). Throws
  // EExpressError for a text that does not compile; Expression keeps the text.
  void UpdateExpression();
  // The expression's value at time t (x = y = 0).
  long double ExpressionValue(long double t);
  // Recompiles when the compiled text differs from Expression ("0" replaces an empty text).
  void EnsureCompiled();

  // Compiles the expression for the coming estimations; a text that does not compile is
  // remembered and thrown by ExpressionRunner, where an estimation would meet it.
  void PrepareEstimation() override;
  // AnyThread, unless the expression draws random numbers ("rn", "rm").
  TGoalThreading Threading() const override;
  // An evaluation state of its own over the compiled expression, for one estimation on any
  // thread. Throws the compile failure PrepareEstimation met.
  TExpressionRunner ExpressionRunner() const;

  const TClassInfo& ClassInfo() const override;

  std::string Expression = "t";
  long double A = 0;
  long double B = 0;
  long double C = 0;
  long double D = 0;
  TExpress* Express = nullptr;  // owned

 private:
  // Written by PrepareEstimation only, read by the estimations that follow it.
  std::exception_ptr compileError_;

 protected:
  TGoalFunctionExpression(TJoinLater, long double weight, const std::string& descr);
  static TClassInfo ExpressionInfo(const std::string& className);
};

}  // namespace sarvanta
