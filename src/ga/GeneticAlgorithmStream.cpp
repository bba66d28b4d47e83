// How a genetic algorithm is stored in a task file: its published settings in declared
// order, then its goals, its operations and its time frame. The population is not stored.
#include "ga/GeneticAlgorithm.h"

#include "ga/GeneticOperation.h"
#include "ga/GoalFunction.h"
#include "ga/GoalStreamHelpers.h"
#include "ga/RunLimits.h"
#include "model/PublishedProperties.h"
#include "model/TimeFrame.h"

namespace sarvanta {

namespace {

using GA = TGeneticAlgorithm;

// A list block of the components of `list`; reading creates each from its class name, owned
// by the algorithm, and accepts only components of class T.
template <class T>
TBlockInfo ComponentListBlock(std::string name, TStringList GA::*list, const char* kind) {
  TBlockInfo block;
  block.Name = std::move(name);
  block.ShouldWrite = [list](const TStreamComponent& c) {
    return (static_cast<const GA&>(c).*list).Count() > 0;
  };
  block.Write = [list](const TStreamComponent& c, TWriter& writer) {
    writer.WriteListBegin();
    for (const auto& entry : static_cast<const GA&>(c).*list)
      writer.WriteComponent(*static_cast<const T*>(entry.Object));
    writer.WriteListEnd();
  };
  block.Read = [kind](TStreamComponent& c, TReader& reader) {
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
      const size_t start = reader.Position();
      TStreamComponent* component = reader.ReadComponentCreate(&c);
      if (dynamic_cast<T*>(component) == nullptr) {
        const std::string className = component->ClassInfo().ClassName;
        delete component;
        reader.ErrorAt(start, "\"" + className + "\" is not " + kind);
      }
    }
    reader.ReadListEnd();
  };
  return block;
}

TPropertyInfo Limited(TPropertyInfo info, int64_t maxValue) {
  info.MaxValue = maxValue;
  return info;
}

TClassInfo AlgorithmInfo() {
  TClassInfo info;
  info.ClassName = "TGeneticAlgorithm";
  auto& p = info.Properties;
  p.push_back(BooleanProperty("AlwaysUseVisFrame", &GA::AlwaysUseVisFrame));
  p.push_back(FloatProperty("VisibleFrameStart", &GA::VisibleFrameStart));
  p.push_back(FloatProperty("VisiblePrecision", &GA::VisiblePrecision));
  p.push_back(FloatProperty("VisibleFrameEnd", &GA::VisibleFrameEnd));
  p.push_back(Limited(IntegerProperty("PopulationSize", &GA::PopulationSize),
                      RunLimits::MaxPopulationSize));
  p.push_back(IntegerProperty("NumberOfSteps", &GA::NumberOfSteps));
  p.push_back(Limited(IntegerProperty("MutationsPerStep", &GA::MutationsPerStep),
                      RunLimits::MaxCyclesPerStep));
  p.push_back(Limited(IntegerProperty("CrossoversPerStep", &GA::CrossoversPerStep),
                      RunLimits::MaxCyclesPerStep));
  p.push_back(Limited(IntegerProperty("CommonMutPerStep", &GA::CommonMutPerStep),
                      RunLimits::MaxCyclesPerStep));
  p.push_back(FloatProperty("AccuracyTreshold", &GA::AccuracyTreshold));
  p.push_back(FloatProperty("MoveFrameWith", &GA::MoveFrameWith));
  p.push_back(FloatProperty("StopMoveAfter", &GA::StopMoveAfter));
  p.push_back(IntegerProperty("MoveOnEach", &GA::MoveOnEach));
  p.push_back(FloatProperty("StopChangePrecAfter", &GA::StopChangePrecAfter));
  p.push_back(IntegerProperty("OscilateOnEach", &GA::OscilateOnEach));
  p.push_back(IntegerProperty("SelFuncForMutation", &GA::SelFuncForMutation));
  p.push_back(IntegerProperty("SelFuncForCrossover", &GA::SelFuncForCrossover));
  p.push_back(IntegerProperty("SelFuncForReinsertion", &GA::SelFuncForReinsertion));
  p.push_back(IntegerProperty("FitnessFunction", &GA::FitnessFunction));
  p.push_back(IntegerProperty("SelInitializationFunc", &GA::SelInitializationFunc));
  p.push_back(IntegerProperty("StopCriterion", &GA::StopCriterion));
  p.push_back(FloatProperty("InitActivation", &GA::InitActivation));

  info.Blocks.push_back(ComponentListBlock<TGoalFunction>("Goals", &GA::Goals, "a goal"));
  TBlockInfo operations =
      ComponentListBlock<TGeneticOperation>("Operations", &GA::Operations, "an operation");
  auto readOperations = operations.Read;
  operations.Read = [readOperations](TStreamComponent& c, TReader& reader) {
    readOperations(c, reader);
    static_cast<GA&>(c).RebuildOperationLevels();  // levels are known once read
  };
  info.Blocks.push_back(operations);

  TBlockInfo frame;
  frame.Name = "TimeFrame";
  frame.ShouldWrite = [](const TStreamComponent& c) {
    return static_cast<const GA&>(c).TimeFrame != nullptr;
  };
  frame.Write = [](const TStreamComponent& c, TWriter& writer) {
    writer.WriteComponent(*static_cast<const GA&>(c).TimeFrame);
  };
  frame.Read = [](TStreamComponent& c, TReader& reader) {
    reader.ReadComponent(*static_cast<GA&>(c).TimeFrame);
  };
  info.Blocks.push_back(frame);
  return info;
}

}  // namespace

const TClassInfo& TGeneticAlgorithm::ClassInfo() const {
  static const TClassInfo info = AlgorithmInfo();
  return info;
}

}  // namespace sarvanta
