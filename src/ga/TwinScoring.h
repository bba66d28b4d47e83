// Scoring individuals on a thread's copy of the system. Copies of the goals, read from the
// goals' stored bytes, estimate on the twin what the goals themselves would estimate on the
// system, so that several individuals are scored at once. Only goals that estimate the same
// on a copy qualify: their expression (if any) is compiled from its present text and
// parameters, and draws no random numbers, whose order only one thread can keep.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sarvanta {

class TCache;
class TChromosome;
class TGoalFunction;
class TMuscleGeneticControl;
class TSystemTwin;
class TTimeFrame;

// The goals as stored, when every one of them estimates on a copy as it does on the system;
// nothing otherwise.
std::optional<std::string> CopyableGoals(const std::vector<TGoalFunction*>& goals);

class TTwinScorer {
 public:
  // Copies of `goals`, read from their stored bytes `stored` (from CopyableGoals), estimating
  // on `twin`. Throws what reading the goals throws, and EReadError when a copy is not of its
  // goal's class.
  TTwinScorer(TSystemTwin& twin, const std::string& stored,
              const std::vector<TGoalFunction*>& goals);
  // Leaves the twin's muscles without this scorer's caches.
  ~TTwinScorer();
  TTwinScorer(const TTwinScorer&) = delete;
  TTwinScorer& operator=(const TTwinScorer&) = delete;

  // True when the copies were read from these stored goals and are of the classes of
  // `goals` (a class that keeps the stored name of its base would be copied as the base).
  bool Copies(const std::string& stored, const std::vector<TGoalFunction*>& goals) const;

  // The goal values of an individual whose trains the twin's motor units hold: the twin of
  // the muscle of controls[m] shows samples[m] as its cache, and the goals see `frame`.
  std::vector<long double> Score(TTimeFrame* frame,
                                 const std::vector<TMuscleGeneticControl*>& controls,
                                 const std::vector<const std::vector<long double>*>& samples);

 private:
  TSystemTwin& twin_;
  std::string goals_;
  std::vector<std::unique_ptr<TGoalFunction>> copies_;
  std::unique_ptr<TChromosome> root_;
  std::vector<std::unique_ptr<TCache>> caches_;
};

}  // namespace sarvanta
