#include "ga/GoalFunction.h"

#include "expr/ExprParser.h"
#include "expr/Express.h"
#include "ga/GeneticAlgorithm.h"
#include "model/MechanicalSystem.h"
#include "model/PublishedProperties.h"

#include <stdexcept>

namespace sarvanta {

// ---- TGoalFunction ----

TGoalFunction::TGoalFunction(TJoinLater, long double weight, const std::string& descr)
    : TInspectedObject(nullptr), Weight(weight) {
  Descr = descr;
}

TGoalFunction::TGoalFunction(TComponent* owner, long double weight, const std::string& descr)
    : TGoalFunction(TJoinLater{}, weight, descr) {
  JoinOwner(owner);
}

long double TGoalFunction::Estimation(TChromosome*) { return 0; }

void TGoalFunction::Results(TChromosome* root, std::span<const long double> times,
                            std::span<long double> values) {
  for (size_t i = 0; i < times.size(); ++i) values[i] = Result(root, times[i]);
}

TGoalThreading TGoalFunction::Threading() const { return TGoalThreading::CallingThread; }

void TGoalFunction::PrepareEstimation() {}
size_t TGoalFunction::TermCount(TChromosome*) { return 0; }
void TGoalFunction::Terms(TChromosome*, size_t, std::span<long double> terms) {
  std::fill(terms.begin(), terms.end(), 0.0L);
}
long double TGoalFunction::FromTermSum(TChromosome*, long double sum) { return sum; }
long double TGoalFunction::Goal(TChromosome*, long double) { return 0; }
long double TGoalFunction::Result(TChromosome*, long double) { return 0; }
std::string TGoalFunction::GetDescription() const { return Descr; }

std::unique_ptr<TObjectDescription> TGoalFunction::ObjectDescription(const std::string& name) {
  auto description = BeginDescription(name, GetDescription());
  description->AddProperty("Weight", ValueOf(Weight), PropertyKind::Extended);
  AddRows(*description);
  return description;
}

void TGoalFunction::AddRows(TObjectDescription&) {}

const TStringList* TGoalFunction::BoneList() const {
  const auto* algorithm = dynamic_cast<const TGeneticAlgorithm*>(Owner());
  if (algorithm == nullptr || algorithm->MechanicalSystem == nullptr) return nullptr;
  return &algorithm->MechanicalSystem->Bones;
}

TClassInfo TGoalFunction::BaseInfo(const std::string& className) {
  TClassInfo info;
  info.ClassName = className;
  info.Properties.push_back(IntegerProperty("GoalType", &TGoalFunction::GoalType));
  info.Properties.push_back(FloatProperty("Weight", &TGoalFunction::Weight));
  // Reading Descr gives the caption; writing it stores the text.
  TPropertyInfo descr = DescrProperty();
  descr.GetString = [](const TStreamComponent& c) {
    return static_cast<const TGoalFunction&>(c).GetDescription();
  };
  info.Properties.push_back(descr);
  return info;
}

const TClassInfo& TGoalFunction::ClassInfo() const {
  static const TClassInfo info = BaseInfo("TGoalFunction");
  return info;
}

// ---- TGoalFunctionExpression ----

TGoalFunctionExpression::TGoalFunctionExpression(TJoinLater, long double weight,
                                                 const std::string& descr)
    : TGoalFunction(TJoinLater{}, weight, descr) {
  Express = new TExpress(this);
}

TGoalFunctionExpression::TGoalFunctionExpression(TComponent* owner, long double weight,
                                                 const std::string& descr)
    : TGoalFunctionExpression(TJoinLater{}, weight, descr) {
  JoinOwner(owner);
}

TGoalFunctionExpression::~TGoalFunctionExpression() { DestroyComponents(); }

void TGoalFunctionExpression::UpdateExpression() {
  if (Expression.empty()) Expression = "0";
  if (Express == nullptr) Express = new TExpress(this);
  Express->SetVariableList("txy");
  Express->SetParameterList("abcd");
  Express->SetParameters(A, B, C, D, 1.0L, 1.0L);
  Express->SetExpression(Expression);
}

void TGoalFunctionExpression::EnsureCompiled() {
  if (Expression.empty() || Express == nullptr || !Express->IsCompiled() ||
      Express->Expression() != Expression)
    UpdateExpression();
}

void TGoalFunctionExpression::PrepareEstimation() {
  compileError_ = nullptr;
  try {
    EnsureCompiled();
  } catch (...) {
    compileError_ = std::current_exception();
  }
}

TGoalThreading TGoalFunctionExpression::Threading() const {
  const bool draws = Express != nullptr && Express->UsesRandom();
  return draws ? TGoalThreading::CallingThread : TGoalThreading::AnyThread;
}

TExpressionRunner TGoalFunctionExpression::ExpressionRunner() const {
  if (compileError_) std::rethrow_exception(compileError_);
  if (Express == nullptr || !Express->IsCompiled() || Express->Expression() != Expression)
    throw std::logic_error("The goal \"" + GetDescription() +
                           "\" was estimated without PrepareEstimation");
  return TExpressionRunner(Express->Compiled());
}

long double TGoalFunctionExpression::ExpressionValue(long double t) {
  return Express->TheFunction(t, 0, 0);
}

TClassInfo TGoalFunctionExpression::ExpressionInfo(const std::string& className) {
  TClassInfo info = BaseInfo(className);
  TPropertyInfo expression;
  expression.Name = "Expression";
  expression.Type = TPropType::String;
  expression.GetString = [](const TStreamComponent& c) {
    return static_cast<const TGoalFunctionExpression&>(c).Expression;
  };
  expression.SetString = [](TStreamComponent& c, const std::string& value) {
    static_cast<TGoalFunctionExpression&>(c).Expression = value;
  };
  expression.MaxLength = TExprParser::kMaxText;
  info.Properties.push_back(expression);
  info.Properties.push_back(FloatProperty("A", &TGoalFunctionExpression::A));
  info.Properties.push_back(FloatProperty("B", &TGoalFunctionExpression::B));
  info.Properties.push_back(FloatProperty("C", &TGoalFunctionExpression::C));
  info.Properties.push_back(FloatProperty("D", &TGoalFunctionExpression::D));
  return info;
}

const TClassInfo& TGoalFunctionExpression::ClassInfo() const {
  static const TClassInfo info = ExpressionInfo("TGoalFunctionExpression");
  return info;
}

}  // namespace sarvanta
