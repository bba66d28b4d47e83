// Stream table entries that the goal and algorithm classes share beyond the model's helpers.
#pragma once

#include "model/Stream.h"

#include <string>

namespace sarvanta {

// A published boolean over a field of class C (always written, tag 8 or 9).
template <class C>
TPropertyInfo BooleanProperty(std::string name, bool C::*field) {
  TPropertyInfo info;
  info.Name = std::move(name);
  info.Type = TPropType::Boolean;
  info.GetInt = [field](const TStreamComponent& c) {
    return static_cast<int64_t>(static_cast<const C&>(c).*field);
  };
  info.SetInt = [field](TStreamComponent& c, int64_t v) { static_cast<C&>(c).*field = v != 0; };
  return info;
}

}  // namespace sarvanta
