// Helpers that build the stream table entries of published values over a class's fields or
// its getter and setter.
#pragma once

#include "model/Stream.h"

#include <limits>
#include <string>

namespace sarvanta {

template <class C, class Int>
TPropertyInfo IntegerProperty(std::string name, Int C::*field) {
  TPropertyInfo info;
  info.Name = std::move(name);
  info.Type = TPropType::Integer;
  info.GetInt = [field](const TStreamComponent& c) {
    return static_cast<int64_t>(static_cast<const C&>(c).*field);
  };
  info.SetInt = [field](TStreamComponent& c, int64_t value) {
    static_cast<C&>(c).*field = static_cast<Int>(value);
  };
  info.MinValue = std::numeric_limits<Int>::min();
  info.MaxValue = std::numeric_limits<Int>::max();
  return info;
}

template <class C>
TPropertyInfo FloatProperty(std::string name, long double C::*field) {
  TPropertyInfo info;
  info.Name = std::move(name);
  info.Type = TPropType::Extended;
  info.GetFloat = [field](const TStreamComponent& c) { return static_cast<const C&>(c).*field; };
  info.SetFloat = [field](TStreamComponent& c, long double value) {
    static_cast<C&>(c).*field = value;
  };
  return info;
}

// A float stored through the class's getter and setter, so derived values follow.
template <class C>
TPropertyInfo FloatProperty(std::string name, long double (C::*getter)() const,
                            void (C::*setter)(long double)) {
  TPropertyInfo info;
  info.Name = std::move(name);
  info.Type = TPropType::Extended;
  info.GetFloat = [getter](const TStreamComponent& c) {
    return (static_cast<const C&>(c).*getter)();
  };
  info.SetFloat = [setter](TStreamComponent& c, long double value) {
    (static_cast<C&>(c).*setter)(value);
  };
  return info;
}

}  // namespace sarvanta
