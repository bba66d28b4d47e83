// Shared notation of the goal functions: the system and time frame of an individual, the
// estimation points, cached muscle forces, bone lookups and the checked arithmetic whose
// faults end the current step.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace sarvanta {

class TBone;
class TChromosome;
class TMechanicalSystem;
class TMuscle;
class TTimeFrame;

// The system an individual's root chromosome controls, or nullptr.
TMechanicalSystem* SystemOf(const TChromosome* root);
// The time frame of the root chromosome; throws when there is none.
const TTimeFrame& FrameOf(const TChromosome* root);

// k: Duration / Precision rounded half to even (a zero precision is a math error).
int64_t EstimationPointCount(const TTimeFrame& frame);
// t_i = FromMoment + i * Precision.
long double EstimationTime(const TTimeFrame& frame, int64_t i);

// True when the system has at least one real muscle.
bool HasMuscles(const TMechanicalSystem* system);
// M: the muscle list's count, placeholder included.
long double MuscleListCount(const TMechanicalSystem& system);
// Each muscle's force at every time (TMuscle::SampleForce), in the order given.
std::vector<std::vector<long double>> MuscleForces(const std::vector<const TMuscle*>& muscles,
                                                   std::span<const long double> times);
// The real muscles of the system in list order.
std::vector<const TMuscle*> RealMuscles(const TMechanicalSystem& system);
// Real bone number `index` of the system's bone list, or nullptr.
TBone* BoneAt(const TMechanicalSystem& system, int32_t index);
// The real muscles whose FromBone is `from` and ToBone is `to`.
std::vector<TMuscle*> SpanningMuscles(const TMechanicalSystem& system, const TBone* from,
                                      const TBone* to);

// a / b; EZeroDivide for b = 0 (EInvalidOp for 0 / 0), EOverflow for an infinite result.
long double CheckedDivide(long double a, long double b);
// x^n: 1 for n = 0; 0 for x = 0 and n > 0; repeated multiplication for integral n;
// exp(n ln x) otherwise (EInvalidOp for a negative x, EZeroDivide for 0 with n < 0).
long double GeneralPower(long double x, long double n);
// +1 for x > 0, -1 otherwise.
long double Sign(long double x);

}  // namespace sarvanta
