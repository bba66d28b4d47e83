// The read-only "Limitations" page: the angle interval of every joint of the bound system.
#pragma once

#include <string>
#include <vector>

namespace sarvanta {

struct TJointLimits {
  std::string Name;
  long double MinXAngle = 0, MaxXAngle = 0;
  long double MinYAngle = 0, MaxYAngle = 0;
  long double MinZAngle = 0, MaxZAngle = 0;
};

// Three lines per joint, in order: "X joint angle for Joint1 must be in the interval: [10 , 90]"
// and the same for Y and Z; angles with 5 significant digits.
std::vector<std::string> LimitationLines(const std::vector<TJointLimits>& joints);

}  // namespace sarvanta
