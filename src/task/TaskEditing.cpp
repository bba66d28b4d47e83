#include "task/TaskEditing.h"

#include "base/NumberText.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticOperation.h"
#include "ga/GoalKinematic.h"
#include "ga/GoalLoadSharing.h"

namespace sarvanta {

const std::array<const char*, 10> StandardGoalItems = {"Minimal aggregate force",
                                                       "Minimal motor unit activation",
                                                       "Minimal fatigue",
                                                       "Minimal joint reaction",
                                                       "Minimal sum (1/PCSA)^n",
                                                       "Antagonist coactivation",
                                                       "Joint angle",
                                                       "Bone position",
                                                       "Joint angle check point",
                                                       "Bone position chacks point"};

TGoalFunction* CreateStandardGoal(int position, TGeneticAlgorithm& algorithm) {
  if (position < 0 || position >= static_cast<int>(StandardGoalItems.size())) return nullptr;
  const std::string descr = StandardGoalItems[static_cast<size_t>(position)];
  switch (position) {
    case 0:
      return new TGFMinimalForce(&algorithm, 1.0L, descr);
    case 1:
      return new TGFMinimalMUActivation(&algorithm, 1.0L, descr);
    case 2:
      return new TGFMinimalFatigue(&algorithm, 1.0L, descr);
    case 3:
      return new TGFMinimalJointReaction(&algorithm, 1.0L, descr);
    case 4:
      return new TGFPCSAbased(&algorithm, 1.0L, descr);
    case 6:
      return new TGFJointAngle(&algorithm, 1.0L, descr);
    case 7:
      return new TGFBonePosition(&algorithm, 1.0L, descr);
    case 8:
      return new TGFJointAngleCheckPoints(&algorithm, 1.0L, descr);
    case 9:
      return new TGFBonePosCheckPoint(&algorithm, 1.0L, descr);
    default:
      return nullptr;
  }
}

namespace {

template <size_t N>
const char* Item(const std::array<const char*, N>& items, int index) {
  return index >= 0 && index < static_cast<int>(N) ? items[static_cast<size_t>(index)] : nullptr;
}

}  // namespace

TGeneticOperation* AddOperation(TOperationTab tab, int itemIndex, const TTaskSettings& s,
                                TGeneticAlgorithm& algorithm) {
  const int32_t level = OperationLevel(tab, itemIndex);
  TGeneticOperation* operation = nullptr;
  switch (tab) {
    case TOperationTab::Mutation: {
      const char* item = Item(MutationOperationItems, itemIndex);
      if (item == nullptr) return nullptr;
      const int32_t points = StrToInt(s.emNumberOfPoints);
      const long double probability = StrToFloat(s.emProbabilityDependance);
      const long double range = StrToFloat(s.emRange);
      auto* mutation = new TMutationOperation(&algorithm, level);
      mutation->Range = range;
      mutation->NumberOfPoints = points;
      mutation->OpProbability = probability;
      mutation->Descr =
          MutationDescr(item, s.emNumberOfPoints, s.emRange, s.emProbabilityDependance);
      operation = mutation;
      break;
    }
    case TOperationTab::Crossover: {
      const char* item = Item(CrossoverOperationItems, itemIndex);
      if (item == nullptr) return nullptr;
      const int32_t points = StrToInt(s.ecNumberOfPoints);
      // The crossover's probability box starts empty: empty reads as 0.
      const std::string probabilityText =
          s.ecProbabilityDependance.empty() ? std::string("0") : s.ecProbabilityDependance;
      const long double probability = StrToFloat(probabilityText);
      operation = new TCrossoverOperation(&algorithm, level);
      operation->NumberOfPoints = points;
      operation->OpProbability = probability;
      operation->Descr = CrossoverDescr(item, s.ecNumberOfPoints, probabilityText);
      break;
    }
    case TOperationTab::CommonMutation: {
      const char* item = Item(CommonMutationOperationItems, itemIndex);
      if (item == nullptr) return nullptr;
      const int32_t points = StrToInt(s.ecmNumberOfPoints);
      const long double probability = StrToFloat(s.ecmProbabilityDependence);
      const long double range = StrToFloat(s.ecmRange);
      auto* common = new TCommonMutationOperation(&algorithm, level);
      common->Range = range;
      common->NumberOfPoints = points;
      common->OpProbability = probability;
      common->Descr =
          CommonMutationDescr(item, s.ecmNumberOfPoints, s.ecmRange, s.ecmProbabilityDependence);
      operation = common;
      break;
    }
  }
  operation->OpType = OperationOpType(tab, itemIndex);
  algorithm.RenameLists();
  return operation;
}

TOperationTab OperationTabOf(const TGeneticOperation& operation) {
  if (dynamic_cast<const TMutationOperation*>(&operation) != nullptr)
    return TOperationTab::Mutation;
  if (dynamic_cast<const TCrossoverOperation*>(&operation) != nullptr)
    return TOperationTab::Crossover;
  return TOperationTab::CommonMutation;
}

int ShowOperation(const TGeneticOperation& operation, TTaskSettings& s) {
  const std::string points = IntToStr(operation.NumberOfPoints);
  const std::string probability = FloatToStr(operation.OpProbability);
  if (const auto* mutation = dynamic_cast<const TMutationOperation*>(&operation)) {
    s.emNumberOfPoints = points;
    s.emRange = FloatToStr(mutation->Range);
    s.emProbabilityDependance = probability;
  } else if (dynamic_cast<const TCrossoverOperation*>(&operation) != nullptr) {
    s.ecNumberOfPoints = points;
    s.ecProbabilityDependance = probability;
  } else {
    s.ecmNumberOfPoints = points;
    s.ecmProbabilityDependence = probability;
    const auto* common = dynamic_cast<const TCommonMutationOperation*>(&operation);
    s.ecmRange = FloatToStr(common != nullptr ? common->Range : 0);
  }
  return OperationComboIndex(operation.OpType);
}

}  // namespace sarvanta
