#include "model/Property.h"

namespace sarvanta {
namespace {

template <class Int>
TPropertyValue IntegerField(Int& field) {
  return TIntValue{[&field]() { return static_cast<int64_t>(field); },
                   [&field](int64_t value) { field = static_cast<Int>(value); },
                   std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max()};
}

template <class Float>
TPropertyValue FloatField(Float& field) {
  return TFloatValue{[&field]() { return static_cast<long double>(field); },
                     [&field](long double value) { field = static_cast<Float>(value); }};
}

}  // namespace

TPropertyValue ValueOf(int16_t& field) { return IntegerField(field); }
TPropertyValue ValueOf(int32_t& field) { return IntegerField(field); }
TPropertyValue ValueOf(uint8_t& field) { return IntegerField(field); }
TPropertyValue ValueOf(double& field) { return FloatField(field); }
TPropertyValue ValueOf(long double& field) { return FloatField(field); }

TPropertyValue ValueOf(bool& field) {
  return TBoolValue{[&field]() { return field; }, [&field](bool value) { field = value; }};
}

TPropertyValue ValueOf(std::string& field) {
  return TStringValue{[&field]() { return field; },
                      [&field](const std::string& value) { field = value; }};
}

TPropertyValue ValueOf(std::vector<long double>& field) {
  return TFloatArrayValue{[&field]() { return field; },
                          [&field](std::vector<long double> value) { field = std::move(value); }};
}

}  // namespace sarvanta
