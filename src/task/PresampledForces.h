// The forces of every muscle, sampled once at the times of a solution's result curves, for the
// goals' result curves and the force chart to copy instead of each sampling every motor unit
// again.
#pragma once

#include <vector>

namespace sarvanta {

class TGeneticAlgorithm;
class TMechanicalSystem;
class TMuscle;

// Ownership: each muscle's TMuscle::Presampled is set here and cleared by the destructor. The
// muscles are sampled on the algorithm's evaluation threads; the object lives on the calling
// thread, and the solution must stay applied to the model while it lives.
class TPresampledForces {
 public:
  TPresampledForces(const TGeneticAlgorithm& algorithm, TMechanicalSystem& system);
  ~TPresampledForces();
  TPresampledForces(const TPresampledForces&) = delete;
  TPresampledForces& operator=(const TPresampledForces&) = delete;

 private:
  std::vector<TMuscle*> muscles_;
};

}  // namespace sarvanta
