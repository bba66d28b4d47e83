#include "ga/GeneticAlgorithm.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "base/Random.h"
#include "ga/GeneticControl.h"
#include "ga/GeneticOperation.h"
#include "ga/GoalFunction.h"
#include "ga/Individual.h"
#include "ga/PopulationEvaluation.h"
#include "ga/RunLimits.h"
#include "ga/ThreadPool.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/TimeFrame.h"

#include <cmath>
#include <string>
#include <vector>

namespace sarvanta {

namespace {

constexpr int kLevelDepth = 3;

TGeneticOperation* OperationOf(const TStringList& list, int index) {
  return static_cast<TGeneticOperation*>(list.Objects(index));
}

long double RangeOf(const TGeneticOperation& operation) {
  if (const auto* m = dynamic_cast<const TMutationOperation*>(&operation)) return m->Range;
  if (const auto* c = dynamic_cast<const TCommonMutationOperation*>(&operation)) return c->Range;
  return 0;
}

void RemoveObject(TStringList& list, const TObject* object) {
  const int index = list.IndexOfObject(object);
  if (index >= 0) list.Delete(index);
}

// Thrown between individuals when a stop was requested; Step catches it.
struct TStepAbandoned {};

// Cycles of a per-step count: the count plus one, none for a negative count.
int64_t CyclesOf(int32_t count) { return count < 0 ? 0 : int64_t{count} + 1; }

// Random(n) of the shared generator as a list position.
size_t RandomBelow(size_t n) { return TRandom::Shared().Below(static_cast<uint32_t>(n)); }

}  // namespace

TGeneticAlgorithm::TGeneticAlgorithm(TComponent* owner)
    : TStreamComponent(nullptr), Evaluator(std::make_unique<TPopulationEvaluator>()) {
  TimeFrame = new TTimeFrame(this);
  SetFunctions(1, 1, 2, 0, 0, 0, 1.0L);
  JoinOwner(owner);
}

TGeneticAlgorithm::~TGeneticAlgorithm() {
  spares_.clear();
  Individuals = &Population;
  DestroyComponents();
}

void TGeneticAlgorithm::SetFunctions(int32_t selMut, int32_t selCross, int32_t selReins,
                                     int32_t fitness, int32_t initMethod, int32_t stopCrit,
                                     long double initActivation) {
  auto selector = [this](int32_t index, bool reinsertion) -> TSelector {
    switch (index) {
      case 0:
        return [this](TStringList& list) { return SelectSequential(list); };
      case 1:
        return [this](TStringList& list) { return SelectRandom(list); };
      case 2:
        return [this](TStringList& list) { return SelectRouletteWheel(list); };
      default:
        if (reinsertion) return [this](TStringList& list) { return SelectRouletteWheel(list); };
        return [this](TStringList& list) { return SelectRandom(list); };
    }
  };
  MutationSelector = selector(selMut, false);
  CrossoverSelector = selector(selCross, false);
  ReinsertionSelector = selector(selReins, true);
  if (fitness == 1)
    FitnessFunc = [this](TStringList& list) { RankingFitness(list); };
  else
    FitnessFunc = [this](TStringList& list) { WeightedSumFitness(list); };
  SelFuncForMutation = selMut;
  SelFuncForCrossover = selCross;
  SelFuncForReinsertion = selReins;
  FitnessFunction = fitness;
  SelInitializationFunc = initMethod;
  StopCriterion = stopCrit;
  InitActivation = initActivation;
}

TGoalFunction* TGeneticAlgorithm::Goal(int index) const {
  return static_cast<TGoalFunction*>(Goals.Objects(index));
}

TIndividual* TGeneticAlgorithm::Individual(const TStringList& list, int index) const {
  return static_cast<TIndividual*>(list.Objects(index));
}

void TGeneticAlgorithm::Trace(int kind, const std::string& text) {
  if (OnTrace) OnTrace(kind, text);
}

// ---- Notification and lists ----

void TGeneticAlgorithm::Notification(TComponent* component, TOperation operation) {
  TStreamComponent::Notification(component, operation);
  if (operation == TOperation::opInsert) {
    if (auto* goal = dynamic_cast<TGoalFunction*>(component)) {
      Goals.Add(goal->GetDescription(), goal);
    } else if (auto* op = dynamic_cast<TGeneticOperation*>(component)) {
      Operations.Add(op->Descr, op);
      FileOperation(op);
    } else if (auto* individual = dynamic_cast<TIndividual*>(component)) {
      Individuals->Add("", individual);
    }
    return;
  }
  // A removed component is no longer of its class: look its entry up by object everywhere,
  // so that no list keeps a freed object.
  RemoveObject(Goals, component);
  RemoveObject(Operations, component);
  for (auto* lists : {&MutationOperations, &CrossoverOperations, &CommonMutOperations})
    for (TStringList& list : *lists) RemoveObject(list, component);
  RemoveObject(Population, component);
  RemoveObject(Offspring, component);
}

void TGeneticAlgorithm::FileOperation(TObject* object) {
  auto* operation = dynamic_cast<TGeneticOperation*>(object);
  if (operation == nullptr || operation->Level < 0 || operation->Level > kLevelDepth) return;
  const auto level = static_cast<size_t>(operation->Level);
  const std::string& className = operation->ClassInfo().ClassName;
  if (dynamic_cast<TMutationOperation*>(operation) != nullptr)
    MutationOperations[level].Add(operation->Descr, operation);
  else if (className == "TCrossoverOperation")
    CrossoverOperations[level].Add(operation->Descr, operation);
  else if (className == "TCommonMutationOperation")
    CommonMutOperations[level].Add(operation->Descr, operation);
}

void TGeneticAlgorithm::RebuildOperationLevels() {
  for (auto* lists : {&MutationOperations, &CrossoverOperations, &CommonMutOperations})
    for (TStringList& list : *lists) list.Clear();
  for (int i = 0; i < Operations.Count(); ++i) FileOperation(Operations.Objects(i));
}

void TGeneticAlgorithm::RenameLists() {
  for (int i = 0; i < Operations.Count(); ++i)
    Operations.SetString(i, OperationOf(Operations, i)->Descr);
  for (auto* lists : {&MutationOperations, &CrossoverOperations, &CommonMutOperations})
    for (TStringList& list : *lists)
      for (int i = 0; i < list.Count(); ++i) list.SetString(i, OperationOf(list, i)->Descr);
  for (int i = 0; i < Goals.Count(); ++i) Goals.SetString(i, Goal(i)->GetDescription());
}

void TGeneticAlgorithm::Clear() {
  while (Goals.Count() > 0) delete Goal(Goals.Count() - 1);
  while (Operations.Count() > 0) delete OperationOf(Operations, Operations.Count() - 1);
  for (auto* lists : {&MutationOperations, &CrossoverOperations, &CommonMutOperations})
    for (TStringList& list : *lists) list.Clear();
}

void TGeneticAlgorithm::FreeIndividuals() {
  spares_.clear();
  while (Offspring.Count() > 0) delete Individual(Offspring, Offspring.Count() - 1);
  while (Population.Count() > 0) delete Individual(Population, Population.Count() - 1);
}

// ---- Run preparation ----

void TGeneticAlgorithm::BuildTemplate(TIndividual& individual) {
  TMechanicalSystem* system = MechanicalSystem;
  auto* root = new TMovementCenterGeneticControl(nullptr, TimeFrame, system);
  root->SetChanged(true);
  auto* motorCenter = new TMotorCenterGeneticControl(root, TimeFrame, system);
  for (int m = 1; m < system->Muscles.Count(); ++m) {
    TMuscle* muscle = system->Muscle(m);
    if (muscle == nullptr) continue;
    auto* muscleControl = new TMuscleGeneticControl(motorCenter, TimeFrame, muscle);
    for (int u = 0; u < muscle->MotorUnits.Count(); ++u)
      new TMotorUnitGeneticControl(muscleControl, TimeFrame, muscle->MotorUnit(u));
  }
  individual.Root = root;
  individual.RegisterLevels();
}

void TGeneticAlgorithm::InitRun(TMechanicalSystem* system) {
  if (PopulationSize < 1)
    throw Exception("Population size must be at least 1 (it is " + IntToStr(PopulationSize) + ")");
  if (system == nullptr) throw Exception("No mechanical system to optimise");
  CheckRunLimits(*this, *system);
  Individuals = &Population;
  FreeIndividuals();
  MechanicalSystem = system;
  Evaluator->SetThreads(ResolveThreadCount(EvaluationThreads));
  PrecChanging = TimeFrame->StartPrec != TimeFrame->StopPrec;
  RebuildOperationLevels();

  auto* templateIndividual = new TIndividual(this, Goals.Count(), kLevelDepth);
  BuildTemplate(*templateIndividual);
  for (int32_t i = 0; i < PopulationSize; ++i)
    templateIndividual->AssignTo(new TIndividual(this, Goals.Count(), kLevelDepth));

  StepNo = MoveCounter = OscCounter = 0;
  WeightSum = 0;
  if (StopChangePrecAfter == 0) StopChangePrecAfter = 1.0L;
  if (StopMoveAfter > StepNo) TimeFrame->StartMove();
  for (int j = 0; j < Goals.Count(); ++j) {
    WeightSum += Goal(j)->Weight;
    if (auto* expression = dynamic_cast<TGoalFunctionExpression*>(Goal(j)))
      expression->UpdateExpression();
  }
  if (WeightSum == 0) WeightSum = 1.0L;
  Running = true;
  InitPopulation();
}

void TGeneticAlgorithm::InitPopulation() {
  Trace(0, "Init population");
  TRandom::Shared().Randomize();
  if (SelInitializationFunc != 1 && SelInitializationFunc != 2) return;
  const int n = Population.Count();
  for (int i = 0; i < n; ++i) {
    Trace(1, ".");
    long double range = InitActivation;
    if (SelInitializationFunc == 1)
      range = n > 1 ? static_cast<long double>(i) / static_cast<long double>(n - 1) : 0;
    for (TChromosome* muscle : Individual(Population, i)->Level(ChromosomeLevel::Muscle))
      muscle->Mutate(OpCode::ChangeMUActivation, muscle->ChildCount() - 1, range);
  }
}

// ---- Evaluation and fitness ----

std::vector<TGoalFunction*> TGeneticAlgorithm::GoalList() const {
  std::vector<TGoalFunction*> goals;
  for (int j = 0; j < Goals.Count(); ++j) goals.push_back(Goal(j));
  return goals;
}

bool TGeneticAlgorithm::Due(const TIndividual& individual) const {
  return TimeFrame->Changed || (individual.Root != nullptr && individual.Root->Changed);
}

void TGeneticAlgorithm::EvaluateIndividuals(TStringList& list) {
  const bool all = TimeFrame->Changed;
  std::vector<TIndividual*> due;
  for (int i = 0; i < list.Count(); ++i) {
    TIndividual* individual = Individual(list, i);
    if (Due(*individual)) due.push_back(individual);
  }
  Evaluations += due.size();
  // The round ends however this ends, an open round of offspring included.
  struct TRoundEnd {
    TPopulationEvaluator& Evaluator;
    ~TRoundEnd() { Evaluator.End(); }
  } roundEnd{*Evaluator};
  if (!due.empty()) {
    if (MechanicalSystem == nullptr) throw Exception("No mechanical system to optimise");
    const auto checkStop = [this] { CheckStopRequest(); };
    if (Evaluator->IsOpen() && Evaluator->Added() == due) {
      Evaluator->Close(checkStop);
    } else {
      Evaluator->End();
      Evaluator->SetThreads(ResolveThreadCount(EvaluationThreads));
      Evaluator->Begin(due, GoalList(), *MechanicalSystem, *TimeFrame, checkStop);
    }
    for (size_t k = 0; k < due.size(); ++k) {
      CheckStopRequest();
      Evaluator->Complete(k);
      CheckGoalValues(*due[k]);
    }
  }
  if (all) TimeFrame->Changed = false;
}

void TGeneticAlgorithm::OpenOffspringRound() {
  if (MechanicalSystem == nullptr) return;
  Evaluator->End();
  Evaluator->SetThreads(ResolveThreadCount(EvaluationThreads));
  try {
    Evaluator->Open(GoalList(), *MechanicalSystem, *TimeFrame);
  } catch (...) {
    // A frame that cannot be sampled or a goal that cannot be prepared fails the step where
    // the offspring are evaluated, after the operators, as it always did: the round stays
    // closed and EvaluateIndividuals meets the same failure.
    Evaluator->End();
  }
}

void TGeneticAlgorithm::Submit(TIndividual* child) {
  if (Evaluator->IsOpen() && Due(*child)) Evaluator->Add(child);
}

void TGeneticAlgorithm::CheckGoalValues(const TIndividual& individual) const {
  for (size_t j = 0; j < individual.Values.size(); ++j) {
    if (std::isfinite(individual.Values[j])) continue;
    const int index = static_cast<int>(j);
    const std::string caption = index < Goals.Count() ? Goals.Strings(index) : IntToStr(index);
    throw EMathError("The goal \"" + caption + "\" gave " + FloatToStr(individual.Values[j]) +
                     ", not a finite number");
  }
}

void TGeneticAlgorithm::CheckStopRequest() const {
  if (StopRequested && StopRequested()) throw TStepAbandoned{};
}

namespace {

long double ValueOf(const TIndividual& individual, int goal) {
  const auto j = static_cast<size_t>(goal);
  return j < individual.Values.size() ? individual.Values[j] : 0;
}

}  // namespace

void TGeneticAlgorithm::WeightedSumFitness(TStringList& list) {
  for (int i = 0; i < list.Count(); ++i) {
    TIndividual* individual = Individual(list, i);
    long double sum = 0;
    for (int j = 0; j < Goals.Count(); ++j) sum += ValueOf(*individual, j) * Goal(j)->Weight;
    individual->Fitness = sum / WeightSum;
  }
}

void TGeneticAlgorithm::RankingFitness(TStringList& list) {
  const int goals = Goals.Count();
  const int n = list.Count();
  for (int i = 0; i < n; ++i) {
    TIndividual* individual = Individual(list, i);
    long double better = 0;
    for (int j = 0; j < goals; ++j) {
      const long double own = std::fabs(ValueOf(*individual, j));
      for (int k = 0; k < n; ++k)
        if (std::fabs(ValueOf(*Individual(list, k), j)) < own) better += 1;
    }
    // Without goals every individual ranks equal.
    individual->Fitness = goals == 0 ? 0 : better / (static_cast<long double>(goals) * n);
  }
}

void TGeneticAlgorithm::SortByFitness(TStringList& list) {
  auto fitness = [&list](int i) { return static_cast<TIndividual*>(list.Objects(i))->Fitness; };
  auto sort = [&](auto&& self, int l, int r) -> void {
    int i = l, j = r;
    const long double pivot = fitness((l + r) / 2);
    do {
      while (fitness(i) < pivot) ++i;
      while (fitness(j) > pivot) --j;
      if (i <= j) {
        list.Exchange(i, j);
        ++i;
        --j;
      }
    } while (i <= j);
    if (l < j) self(self, l, j);
    if (i < r) self(self, i, r);
  };
  if (list.Count() > 1) sort(sort, 0, list.Count() - 1);
}

// ---- Selectors ----

TIndividual* TGeneticAlgorithm::SelectSequential(TStringList& list) {
  if (list.Count() == 0) return nullptr;
  if (SelCursor > list.Count() - 1 || SelCursor < 0) SelCursor = 0;
  return Individual(list, SelCursor++);
}

TIndividual* TGeneticAlgorithm::SelectRandom(TStringList& list) {
  if (list.Count() == 0) return nullptr;
  return Individual(list, static_cast<int>(RandomBelow(static_cast<size_t>(list.Count()))));
}

TIndividual* TGeneticAlgorithm::SelectRouletteWheel(TStringList& list) {
  if (list.Count() == 0) return nullptr;
  const long double threshold = TRandom::Shared().Real() * FitnessSum;
  long double accumulated = 0;
  for (int i = 0; i < list.Count(); ++i) {
    if (threshold <= accumulated) return Individual(list, i);
    accumulated += Individual(list, i)->Fitness;
  }
  return Individual(list, 0);
}

// ---- Reinsertion ----

namespace {

// The individual's fitness as text, formatted again only when the value changed (a NaN is
// always formatted again).
const std::string& FitnessText(TIndividual& individual) {
  const long double fitness = individual.Fitness;
  if (individual.FitnessText.empty() || !(individual.FitnessTextOf == fitness)) {
    individual.FitnessText = FloatToStr(fitness);
    individual.FitnessTextOf = fitness;
  }
  return individual.FitnessText;
}

}  // namespace

void TGeneticAlgorithm::SetPopulationTexts() {
  for (int i = 0; i < Population.Count(); ++i)
    Population.SetString(
        i, "Solution " + IntToStr(i) + " (" + FitnessText(*Individual(Population, i)) + ")");
}

void TGeneticAlgorithm::Reinsert() {
  for (int i = 0; i < Offspring.Count(); ++i)
    Population.Add(Offspring.Strings(i), Offspring.Objects(i));
  Offspring.Clear();
  Individuals = &Population;
  if (Population.Count() == 0) return;
  FitnessFunc(Population);
  SortByFitness(Population);
  const long double best = Individual(Population, 0)->Fitness;
  Improvement = BestFitness - best;
  BestFitness = best;
  FitnessSum = 0;
  for (int i = 0; i < Population.Count(); ++i) {
    FitnessSum += Individual(Population, i)->Fitness;
    Individual(Population, i)->Selected = false;
  }
  SelCursor = 0;
  for (int32_t i = 0; i < PopulationSize; ++i)
    if (TIndividual* chosen = ReinsertionSelector(Population)) chosen->Selected = true;
  int j = 0;
  while (Population.Count() > PopulationSize && j < Population.Count()) {
    TIndividual* individual = Individual(Population, j);
    if (!individual->Selected)
      Retire(individual);  // Notification removes it from Population
    else
      ++j;
  }
  SetPopulationTexts();
}

// ---- Generations ----

void TGeneticAlgorithm::Retire(TIndividual* individual) {
  if (individual->Owner() != this) {
    delete individual;
    return;
  }
  RemoveComponent(individual);
  std::unique_ptr<TIndividual> spare(individual);
  for (TChromosome* muscle : spare->Level(ChromosomeLevel::Muscle))
    if (auto* control = dynamic_cast<TMuscleGeneticControl*>(muscle)) control->Uninstall();
  // A population that shrinks needs no more spares than it has members.
  if (spares_.size() < static_cast<size_t>(Population.Count())) spares_.push_back(std::move(spare));
}

TIndividual* TGeneticAlgorithm::NewChild(TIndividual* parent) {
  while (parent != nullptr && !spares_.empty()) {
    std::unique_ptr<TIndividual> spare = std::move(spares_.back());
    spares_.pop_back();
    if (spare->AssignInPlace(*parent)) {
      TIndividual* child = spare.release();
      InsertComponent(child);  // Notification lists it in Individuals
      return child;
    }
  }
  auto* child = new TIndividual(this, Goals.Count(), kLevelDepth);
  if (parent != nullptr) parent->AssignTo(child);
  return child;
}

void TGeneticAlgorithm::MutationCycle() {
  TIndividual* child = NewChild(MutationSelector(Population));
  for (int level = 0; level <= kLevelDepth; ++level) {
    const TStringList& operations = MutationOperations[static_cast<size_t>(level)];
    for (int o = 0; o < operations.Count(); ++o) {
      const TGeneticOperation& op = *OperationOf(operations, o);
      if (!(op.OpProbability >= TRandom::Shared().Real())) continue;
      const auto& chromosomes = child->Level(level);
      if (chromosomes.empty()) continue;
      chromosomes[RandomBelow(chromosomes.size())]->Mutate(op.OpType, op.NumberOfPoints,
                                                           RangeOf(op));
      Trace(0, "Mutation applied: " + op.Descr);
    }
  }
  Submit(child);
}

void TGeneticAlgorithm::CrossoverCycle() {
  TIndividual* p1 = CrossoverSelector(Population);
  TIndividual* p2 = CrossoverSelector(Population);
  TIndividual* c1 = NewChild(p1);
  TIndividual* c2 = NewChild(p2);
  for (int level = 0; level <= kLevelDepth; ++level) {
    const TStringList& operations = CrossoverOperations[static_cast<size_t>(level)];
    for (int o = 0; o < operations.Count(); ++o) {
      const TGeneticOperation& op = *OperationOf(operations, o);
      if (!(op.OpProbability >= TRandom::Shared().Real())) continue;
      const size_t count = c1->Level(level).size();
      if (count == 0) continue;
      const size_t k = RandomBelow(count);
      if (k >= p1->Level(level).size() || k >= p2->Level(level).size() ||
          k >= c2->Level(level).size())
        continue;
      TChromosome* target = c1->Level(level)[k];
      target->Crossover(op.OpType, op.NumberOfPoints, p1->Level(level)[k], p2->Level(level)[k],
                        target, c2->Level(level)[k]);
      Trace(0, "Crossover applied: " + op.Descr);
    }
  }
  Submit(c1);
  Submit(c2);
}

void TGeneticAlgorithm::CommonMutationCycle() {
  TIndividual* c1 = NewChild(CrossoverSelector(Population));
  TIndividual* c2 = NewChild(CrossoverSelector(Population));
  for (int level = 0; level <= kLevelDepth; ++level) {
    const TStringList& operations = CommonMutOperations[static_cast<size_t>(level)];
    for (int o = 0; o < operations.Count(); ++o) {
      const TGeneticOperation& op = *OperationOf(operations, o);
      if (!(op.OpProbability >= TRandom::Shared().Real())) continue;
      const auto& first = c1->Level(level);
      const auto& second = c2->Level(level);
      if (first.empty() || second.empty()) continue;
      const size_t k1 = RandomBelow(first.size());
      const size_t k2 = RandomBelow(second.size());
      first[k1]->CommonMutate(op.OpType, op.NumberOfPoints, RangeOf(op), second[k2]);
      Trace(0, "Common mutation applied: " + op.Descr);
    }
  }
  Submit(c1);
  Submit(c2);
}

void TGeneticAlgorithm::AfterStep() {
  Individuals = &Population;
  ++StepNo;
  ++TotalSteps;
  ++MoveCounter;
  ++OscCounter;
  if (Moving && MoveCounter >= MoveOnEach) {
    Moving = StopMoveAfter > StepNo;
    MoveCounter = 0;
    if (Moving)
      TimeFrame->MoveFrame(MoveFrameWith);
    else
      TimeFrame->ResetFrame();
  }
  if (PrecChanging && StopChangePrecAfter > StepNo)
    TimeFrame->SetPrecisionFraction(static_cast<long double>(StepNo) / StopChangePrecAfter);
  if (TimeFrame->OscRange > 0 && OscCounter >= OscilateOnEach) {
    TimeFrame->Oscillate();
    OscCounter = 0;
  }
  // "Accuracy": the run ends once the best fitness reaches the threshold.
  if (StopCriterion == 1 && BestFitness <= AccuracyTreshold) Stop();
}

void TGeneticAlgorithm::Step() {
  if (!Running || StepNo >= NumberOfSteps || Population.Count() == 0) {
    Stop();
    return;
  }
  // Stop() (from the desktop program, while this step runs) moves StepNo to the end.
  const int32_t step = StepNo;
  Trace(0, "Step " + IntToStr(step));
  Individuals = &Offspring;
  SelCursor = 0;
  try {
    Trace(0, "Evaluate fittens estimations for population");
    EvaluateIndividuals(Population);
    FitnessFunc(Population);
    OpenOffspringRound();
    for (int64_t k = CyclesOf(MutationsPerStep); k > 0; --k) {
      CheckStopRequest();
      MutationCycle();
    }
    for (int64_t k = CyclesOf(CrossoversPerStep); k > 0; --k) {
      CheckStopRequest();
      CrossoverCycle();
    }
    for (int64_t k = CyclesOf(CommonMutPerStep); k > 0; --k) {
      CheckStopRequest();
      CommonMutationCycle();
    }
    Trace(0, "Evaluate fittens estimations for offspring");
    EvaluateIndividuals(Offspring);
    CheckStopRequest();
    Reinsert();
  } catch (const TStepAbandoned&) {
    FreeOffspring();
    Trace(0, "Stopped within step " + IntToStr(step));
    Stop();
    ApplyBest();
    return;
  } catch (...) {
    FreeOffspring();
    throw;
  }
  AfterStep();
  ApplyBest();
  if (OnStep) OnStep(this);
}

void TGeneticAlgorithm::FreeOffspring() {
  Evaluator->End();
  while (Offspring.Count() > 0) delete Individual(Offspring, Offspring.Count() - 1);
  Individuals = &Population;
}

void TGeneticAlgorithm::ApplyBest() {
  TIndividual* best = Population.Count() > 0 ? Individual(Population, 0) : nullptr;
  if (best == nullptr || best->Root == nullptr) return;
  best->Root->Apply();
  if (MechanicalSystem != nullptr) MechanicalSystem->UpdateCaches();
}

void TGeneticAlgorithm::RunAll() {
  Moving = true;
  StepNo = 0;
  MoveCounter = 0;
  if (StopMoveAfter > 0) TimeFrame->StartMove();
  RunningAll = true;
  Running = true;
  try {
    for (int32_t i = 0; i < NumberOfSteps; ++i) Step();
  } catch (...) {
    RunningAll = false;
    Running = false;
    TimeFrame->ResetFrame();
    throw;
  }
  RunningAll = false;
  Running = false;
  TimeFrame->ResetFrame();
}

void TGeneticAlgorithm::Stop() {
  Running = false;
  StepNo = NumberOfSteps - 1;
}

void TGeneticAlgorithm::EvaluateModel(TMechanicalSystem* system) {
  const int32_t saved = SelInitializationFunc;
  SelInitializationFunc = 0;
  try {
    InitRun(system);
  } catch (...) {
    SelInitializationFunc = saved;
    throw;
  }
  SelInitializationFunc = saved;
  EvaluateIndividuals(Population);
  FitnessFunc(Population);
  SetPopulationTexts();
  Running = false;
}

}  // namespace sarvanta
