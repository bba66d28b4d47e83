// Evaluation of one individual: its genes are written into a system, the system's caches are
// refreshed and every goal estimates the result. When several individuals are evaluated at
// once, their muscle caches are filled beforehand on copies of the system (see
// ParallelEvaluation.h) and this evaluation finds them current.
#pragma once

#include <vector>

namespace sarvanta {

class TGoalFunction;
class TIndividual;
class TMechanicalSystem;

struct TEvaluationContext {
  // The system the individual's genes are written into; its caches are refreshed before the
  // goals read it. It must be the system the individual's chromosomes control.
  TMechanicalSystem* System = nullptr;
};

// Applies the individual's root chromosome, refreshes the context system's caches, sets
// entry j of Values to goal j's estimation and clears the root's changed flag. An individual
// without a root gets goal values of 0. A goal's numeric fault propagates (the root stays
// marked changed).
void EvaluateIndividual(TIndividual& individual, const std::vector<TGoalFunction*>& goals,
                        TEvaluationContext& context);

// What EvaluateIndividual does for goal values already estimated (on a copy of the system,
// from the same trains and caches): applies the root, refreshes the caches, stores `values`
// and clears the root's changed flag.
void ApplyEvaluated(TIndividual& individual, std::vector<long double> values,
                    TEvaluationContext& context);

}  // namespace sarvanta
