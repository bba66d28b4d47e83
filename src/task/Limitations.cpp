#include "task/Limitations.h"

#include "base/NumberText.h"

namespace sarvanta {

namespace {

std::string Line(char axis, const std::string& joint, long double low, long double high) {
  return std::string(1, axis) + " joint angle for " + joint + " must be in the interval: [" +
         FloatToStrDigits(low, 5) + " , " + FloatToStrDigits(high, 5) + "]";
}

}  // namespace

std::vector<std::string> LimitationLines(const std::vector<TJointLimits>& joints) {
  std::vector<std::string> lines;
  for (const TJointLimits& joint : joints) {
    lines.push_back(Line('X', joint.Name, joint.MinXAngle, joint.MaxXAngle));
    lines.push_back(Line('Y', joint.Name, joint.MinYAngle, joint.MaxYAngle));
    lines.push_back(Line('Z', joint.Name, joint.MinZAngle, joint.MaxZAngle));
  }
  return lines;
}

}  // namespace sarvanta
