#include "ga/GeneticOperation.h"

#include "ga/RunLimits.h"

#include <limits>

namespace sarvanta {

TGeneticOperation::TGeneticOperation(TComponent* owner, int32_t level)
    : TStreamComponent(nullptr), Level(level) {
  if (owner != nullptr) JoinOwner(owner);
}

namespace {

TGeneticOperation& Op(TStreamComponent& c) { return static_cast<TGeneticOperation&>(c); }
const TGeneticOperation& Op(const TStreamComponent& c) {
  return static_cast<const TGeneticOperation&>(c);
}

TPropertyInfo StringField(const char* name, std::string TGeneticOperation::*field) {
  TPropertyInfo info;
  info.Name = name;
  info.Type = TPropType::String;
  info.GetString = [field](const TStreamComponent& c) { return Op(c).*field; };
  info.SetString = [field](TStreamComponent& c, const std::string& v) { Op(c).*field = v; };
  return info;
}

TPropertyInfo IntField(const char* name, int32_t TGeneticOperation::*field, int64_t min,
                       int64_t max) {
  TPropertyInfo info;
  info.Name = name;
  info.Type = TPropType::Integer;
  info.MinValue = min;
  info.MaxValue = max;
  info.GetInt = [field](const TStreamComponent& c) { return Op(c).*field; };
  info.SetInt = [field](TStreamComponent& c, int64_t v) { Op(c).*field = static_cast<int32_t>(v); };
  return info;
}

// The Range of a mutation or common-mutation operation.
template <class T>
TPropertyInfo RangeField() {
  TPropertyInfo info;
  info.Name = "Range";
  info.Type = TPropType::Extended;
  info.GetFloat = [](const TStreamComponent& c) { return static_cast<const T&>(c).Range; };
  info.SetFloat = [](TStreamComponent& c, long double v) { static_cast<T&>(c).Range = v; };
  return info;
}

constexpr int64_t Int32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t Int32Max = std::numeric_limits<int32_t>::max();

}  // namespace

TClassInfo TGeneticOperation::BaseInfo(const std::string& className) {
  TClassInfo info;
  info.ClassName = className;
  TPropertyInfo probability;
  probability.Name = "OpProbability";
  probability.Type = TPropType::Extended;
  probability.GetFloat = [](const TStreamComponent& c) { return Op(c).OpProbability; };
  probability.SetFloat = [](TStreamComponent& c, long double v) { Op(c).OpProbability = v; };
  info.Properties = {
      StringField("Descr", &TGeneticOperation::Descr),
      // The algorithm keeps one list per level 0 .. 3: another level in a file is an error.
      IntField("Level", &TGeneticOperation::Level, 0, 3),
      IntField("OpType", &TGeneticOperation::OpType, Int32Min, Int32Max),
      IntField("NumberOfPoints", &TGeneticOperation::NumberOfPoints, Int32Min,
               RunLimits::MaxPointsPerOperation),
      probability,
      StringField("ProbDependance", &TGeneticOperation::ProbDependance),
  };
  return info;
}

const TClassInfo& TGeneticOperation::ClassInfo() const {
  static const TClassInfo info = BaseInfo("TGeneticOperation");
  return info;
}

const TClassInfo& TMutationOperation::ClassInfo() const {
  static const TClassInfo info = [] {
    TClassInfo i = BaseInfo("TMutationOperation");
    i.Properties.push_back(RangeField<TMutationOperation>());
    return i;
  }();
  return info;
}

const TClassInfo& TCrossoverOperation::ClassInfo() const {
  static const TClassInfo info = BaseInfo("TCrossoverOperation");
  return info;
}

const TClassInfo& TCommonMutationOperation::ClassInfo() const {
  static const TClassInfo info = [] {
    TClassInfo i = BaseInfo("TCommonMutationOperation");
    i.Properties.push_back(RangeField<TCommonMutationOperation>());
    return i;
  }();
  return info;
}

}  // namespace sarvanta
