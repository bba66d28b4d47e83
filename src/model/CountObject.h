// A counter that numbers default names: Bone1, Bone2, ...
#pragma once

#include "base/NumberText.h"

#include <cstdint>
#include <string>

namespace sarvanta {

class TCountObject {
 public:
  explicit TCountObject(int32_t count = 0) : Count(count) {}

  // Adds 1 to Count and returns the new value as decimal text.
  std::string Next() { return IntToStr(++Count); }

  int32_t Count;
};

}  // namespace sarvanta
