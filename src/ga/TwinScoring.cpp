#include "ga/TwinScoring.h"

#include "base/Exception.h"
#include "expr/Express.h"
#include "ga/GeneticControl.h"
#include "ga/GoalFunction.h"
#include "ga/SystemTwin.h"
#include "model/Cache.h"
#include "model/MechanicalSystem.h"
#include "model/Muscle.h"
#include "model/Stream.h"

#include <array>
#include <cmath>
#include <typeinfo>

namespace sarvanta {

namespace {

bool SameBits(long double a, long double b) { return a == b && std::signbit(a) == std::signbit(b); }

// True when estimating recompiles nothing: the expression in use is the one the goal's
// present text and parameters compile to.
bool CompiledAsStored(const TGoalFunctionExpression& goal) {
  const TExpress* express = goal.Express;
  if (express == nullptr || !express->IsCompiled() || express->UsesRandom()) return false;
  if (goal.Expression.empty() || express->Expression() != goal.Expression) return false;
  if (express->VariableList() != "txy" || express->ParameterList() != "abcd") return false;
  const std::array<long double, 6> stored{goal.A, goal.B, goal.C, goal.D, 1.0L, 1.0L};
  for (size_t i = 0; i < stored.size(); ++i)
    if (!SameBits(express->Parameters()[i], stored[i])) return false;
  return true;
}

}  // namespace

std::optional<std::string> CopyableGoals(const std::vector<TGoalFunction*>& goals) {
  std::string bytes;
  TWriter writer(bytes);
  writer.WriteSignature();
  for (const TGoalFunction* goal : goals) {
    if (goal == nullptr || !IsClassRegistered(goal->ClassInfo().ClassName)) return std::nullopt;
    const auto* expression = dynamic_cast<const TGoalFunctionExpression*>(goal);
    if (expression != nullptr && !CompiledAsStored(*expression)) return std::nullopt;
    writer.WriteComponent(*goal);
  }
  return bytes;
}

TTwinScorer::TTwinScorer(TSystemTwin& twin, const std::string& stored,
                         const std::vector<TGoalFunction*>& goals)
    : twin_(twin),
      goals_(stored),
      root_(std::make_unique<TMovementCenterGeneticControl>(nullptr, nullptr, &twin.System())) {
  TReader reader(reinterpret_cast<const uint8_t*>(stored.data()), stored.size());
  reader.ReadSignature();
  while (!reader.AtEnd()) {
    std::unique_ptr<TStreamComponent> read(reader.ReadComponentCreate(nullptr));
    auto* goal = dynamic_cast<TGoalFunction*>(read.get());
    if (goal == nullptr) throw EReadError("A stored goal is not a goal");
    read.release();
    copies_.emplace_back(goal);
  }
  if (!Copies(stored, goals)) throw EReadError("A goal's class is not the class stored");
}

bool TTwinScorer::Copies(const std::string& stored,
                         const std::vector<TGoalFunction*>& goals) const {
  if (stored != goals_ || goals.size() != copies_.size()) return false;
  for (size_t j = 0; j < goals.size(); ++j)
    if (typeid(*goals[j]) != typeid(*copies_[j])) return false;
  return true;
}

TTwinScorer::~TTwinScorer() {
  TMechanicalSystem& system = twin_.System();
  for (int m = 1; m < system.Muscles.Count(); ++m) {
    TMuscle* muscle = system.Muscle(m);
    if (muscle == nullptr) continue;
    for (const auto& cache : caches_)
      if (muscle->Cache == cache.get()) muscle->Cache = nullptr;
  }
}

std::vector<long double> TTwinScorer::Score(
    TTimeFrame* frame, const std::vector<TMuscleGeneticControl*>& controls,
    const std::vector<const std::vector<long double>*>& samples) {
  while (caches_.size() < controls.size())
    caches_.push_back(std::make_unique<TCache>(nullptr, nullptr));
  for (size_t m = 0; m < controls.size(); ++m) {
    caches_[m]->SetValues(*samples[m]);
    twin_.TwinOf(controls[m]->Muscle())->Cache = caches_[m].get();
  }
  root_->TimeFrame = frame;
  std::vector<long double> values(copies_.size());
  for (size_t j = 0; j < copies_.size(); ++j) values[j] = copies_[j]->Estimation(root_.get());
  return values;
}

}  // namespace sarvanta
