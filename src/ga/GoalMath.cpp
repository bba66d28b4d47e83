#include "ga/GoalMath.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "ga/Chromosome.h"
#include "model/Bone.h"
#include "model/Cache.h"
#include "model/MechanicalSystem.h"
#include "model/Muscle.h"
#include "model/TimeFrame.h"

#include <cmath>

namespace sarvanta {

TMechanicalSystem* SystemOf(const TChromosome* root) {
  return root ? dynamic_cast<TMechanicalSystem*>(root->Model) : nullptr;
}

const TTimeFrame& FrameOf(const TChromosome* root) {
  if (root == nullptr || root->TimeFrame == nullptr)
    throw Exception("The individual has no time frame");
  return *root->TimeFrame;
}

int64_t EstimationPointCount(const TTimeFrame& frame) {
  const long double quotient = CheckedDivide(frame.Duration, frame.Precision);
  if (std::fabs(quotient) > 1e15L) throw EOverflow();
  return RoundHalfEven(quotient);
}

long double EstimationTime(const TTimeFrame& frame, int64_t i) {
  return frame.FromMoment + static_cast<long double>(i) * frame.Precision;
}

bool HasMuscles(const TMechanicalSystem* system) {
  return system != nullptr && system->Muscles.Count() > 1;
}

long double MuscleListCount(const TMechanicalSystem& system) {
  return static_cast<long double>(system.Muscles.Count());
}

std::vector<std::vector<long double>> MuscleForces(const std::vector<const TMuscle*>& muscles,
                                                   std::span<const long double> times) {
  std::vector<std::vector<long double>> forces;
  for (const TMuscle* muscle : muscles) {
    forces.emplace_back(times.size(), 0.0L);
    muscle->SampleForceCached(times, forces.back());
  }
  return forces;
}

std::vector<const TMuscle*> RealMuscles(const TMechanicalSystem& system) {
  std::vector<const TMuscle*> muscles;
  for (int m = 1; m < system.Muscles.Count(); ++m)
    if (const TMuscle* muscle = system.Muscle(m)) muscles.push_back(muscle);
  return muscles;
}

TBone* BoneAt(const TMechanicalSystem& system, int32_t index) {
  if (index < 1) return nullptr;
  return system.Bone(index);
}

std::vector<TMuscle*> SpanningMuscles(const TMechanicalSystem& system, const TBone* from,
                                      const TBone* to) {
  std::vector<TMuscle*> muscles;
  for (int m = 1; m < system.Muscles.Count(); ++m) {
    TMuscle* muscle = system.Muscle(m);
    if (muscle && muscle->FromBone == from && muscle->ToBone == to) muscles.push_back(muscle);
  }
  return muscles;
}

long double CheckedDivide(long double a, long double b) {
  if (b == 0) {
    if (a == 0 || std::isnan(a)) throw EInvalidOp();
    throw EZeroDivide();
  }
  const long double q = a / b;
  if (std::isinf(q) && !std::isinf(a)) throw EOverflow();
  return q;
}

long double GeneralPower(long double x, long double n) {
  if (n == 0) return 1;
  if (x == 0) {
    if (n > 0) return 0;
    throw EZeroDivide();
  }
  long double result;
  if (n == std::trunc(n) && std::fabs(n) <= 1e9L) {
    long double base = n < 0 ? 1 / x : x;
    uint64_t e = static_cast<uint64_t>(std::fabs(n));
    result = 1;
    while (e != 0) {  // square and multiply: repeated multiplication in log steps
      if (e & 1u) result *= base;
      base *= base;
      e >>= 1u;
    }
  } else {
    if (x < 0) throw EInvalidOp();
    result = std::exp(n * std::log(x));
  }
  if (!std::isfinite(result)) throw EOverflow();
  return result;
}

long double Sign(long double x) { return x > 0 ? 1 : -1; }

}  // namespace sarvanta
