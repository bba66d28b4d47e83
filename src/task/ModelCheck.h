// What is physically or logically wrong in a model or task that loads: each finding is one
// line naming the object and the value, for `sarvanta-cli check`. Nothing is changed.
#pragma once

#include <string>
#include <vector>

namespace sarvanta {

class TGeneticAlgorithm;
class TMechanicalSystem;

// Negative lengths, masses or moments of inertia; joints and muscles whose bones are missing;
// bones whose joints are missing; Fmin above Fmax; Tc, Tr or Tref not above 0; impulse
// trains out of order or before 0 ms; duplicate names of bones, joints, muscles and of the
// motor units of a muscle.
std::vector<std::string> CheckSystem(const TMechanicalSystem& system);

// Goals whose bones do not exist in `system`, and impulses outside the task's time frame
// (from its start less the control extension to its end).
std::vector<std::string> CheckTask(const TGeneticAlgorithm& algorithm,
                                   const TMechanicalSystem& system);

}  // namespace sarvanta
