#include "ga/Evaluation.h"

#include "ga/Chromosome.h"
#include "ga/GoalFunction.h"
#include "ga/Individual.h"
#include "model/MechanicalSystem.h"

namespace sarvanta {

namespace {

// Writes the root's genes into the system and brings the system's caches up to date.
void ApplyToSystem(TChromosome& root, TEvaluationContext& context) {
  root.Apply();
  if (context.System != nullptr) context.System->UpdateCaches();
}

}  // namespace

void EvaluateIndividual(TIndividual& individual, const std::vector<TGoalFunction*>& goals,
                        TEvaluationContext& context) {
  individual.Values.assign(goals.size(), 0.0L);
  TChromosome* root = individual.Root;
  if (root == nullptr) return;
  ApplyToSystem(*root, context);
  for (size_t j = 0; j < goals.size(); ++j) individual.Values[j] = goals[j]->Estimation(root);
  root->SetChanged(false);
}

void ApplyEvaluated(TIndividual& individual, std::vector<long double> values,
                    TEvaluationContext& context) {
  individual.Values = std::move(values);
  TChromosome* root = individual.Root;
  if (root == nullptr) return;
  ApplyToSystem(*root, context);
  root->SetChanged(false);
}

}  // namespace sarvanta
