// The four chromosome classes, one per level of the tree.
#pragma once

#include "ga/Chromosome.h"
#include "ga/UnitSamples.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace sarvanta {

class TCache;
class TMechanicalSystem;
class TMotorUnit;
class TMuscle;

// Level 0: the impulse times of one motor unit.
class TMotorUnitGeneticControl : public TChromosome {
 public:
  // Starts with a copy of the unit's present impulse times (empty when `model` is not a
  // motor unit).
  TMotorUnitGeneticControl(TComponent* owner, TTimeFrame* timeFrame, TObject* model);

  // 1 shift impulse left, 2 shift impulse right, 4 add impulse, 8 remove impulse.
  void Mutate(int opType, int numberOfPoints, long double range) override;
  // -1 one-point, -2 multi-point: the children take the parents' impulses before and after
  // crossing times drawn in the control window, complementary to each other.
  void Crossover(int opType, int numberOfPoints, TChromosome* p1, TChromosome* p2, TChromosome* c1,
                 TChromosome* c2) override;
  // -1 inverse, -2 synchronic.
  void CommonMutate(int opType, int numberOfPoints, long double range, TChromosome* other) override;
  // Sets the unit's train from the genes; the genes become the sorted, filtered train.
  // Genes equal to the unit's train change nothing.
  void Apply() override;
  TChromosome* Copy(TComponent* owner) const override;
  void TakeValues(const TChromosome& source) override;

  // nullptr when the model is not a motor unit.
  TMotorUnit* MotorUnit() const;

  // The unit's force over the grid for the train evaluated last (none before the first
  // evaluation); shared with the copies of this control and never changed once made.
  std::shared_ptr<const TUnitSamples> Samples;

 private:
  TMotorUnitGeneticControl(TComponent* owner, const TMotorUnitGeneticControl& source);
};

// Level 1: the motor units of one muscle, with this individual's cache of the muscle's force.
class TMuscleGeneticControl : public TChromosome {
 public:
  TMuscleGeneticControl(TComponent* owner, TTimeFrame* timeFrame, TObject* model);
  ~TMuscleGeneticControl() override;

  // 16 change MU activation, 32 shift MU activation left, 64 shift MU activation right.
  void Mutate(int opType, int numberOfPoints, long double range) override;
  // -4 one-point, -8 multi-point, over the motor units.
  void Crossover(int opType, int numberOfPoints, TChromosome* p1, TChromosome* p2, TChromosome* c1,
                 TChromosome* c2) override;
  // -4 inverse, -8 synchronic.
  void CommonMutate(int opType, int numberOfPoints, long double range, TChromosome* other) override;
  // Installs this cache in the muscle (invalid when this control changed), clears the flag
  // and writes every motor unit's train.
  void Apply() override;
  // The copy carries a copy of the cache's grid and samples, so it needs no recomputation.
  TChromosome* Copy(TComponent* owner) const override;
  void TakeValues(const TChromosome& source) override;
  // The muscle stops using this control's cache when Apply installed it there.
  void Uninstall();

  // nullptr when the model is not a muscle.
  TMuscle* Muscle() const;
  TCache& Cache() const { return *cache_; }

  // What the cache's samples were summed from: the grid's Id, then the Serial of every motor
  // unit's samples in child order. Equal lists give equal sums, so the sum is redone only when
  // the list changes.
  std::vector<uint64_t> SummedFrom;

 private:
  TMuscleGeneticControl(TComponent* owner, const TMuscleGeneticControl& source);
  void CreateCache();

  std::unique_ptr<TCache> cache_;
};

// Level 2: the muscles of the system.
class TMotorCenterGeneticControl : public TChromosome {
 public:
  TMotorCenterGeneticControl(TComponent* owner, TTimeFrame* timeFrame, TObject* model);

  // 128 change muscle activity.
  void Mutate(int opType, int numberOfPoints, long double range) override;
  // -16 one-point, -32 multi-point, over whole muscles.
  void Crossover(int opType, int numberOfPoints, TChromosome* p1, TChromosome* p2, TChromosome* c1,
                 TChromosome* c2) override;
  // The motor center has no common mutation: this does nothing, not even mark a change.
  void CommonMutate(int opType, int numberOfPoints, long double range, TChromosome* other) override;
  void Apply() override;
  TChromosome* Copy(TComponent* owner) const override;

  TMechanicalSystem* System() const;

 private:
  TMotorCenterGeneticControl(TComponent* owner, const TMotorCenterGeneticControl& source);
};

// Level 3: the root of an individual's tree.
class TMovementCenterGeneticControl : public TChromosome {
 public:
  TMovementCenterGeneticControl(TComponent* owner, TTimeFrame* timeFrame, TObject* model);

  void Apply() override;
  TChromosome* Copy(TComponent* owner) const override;

  TMechanicalSystem* System() const;

 private:
  TMovementCenterGeneticControl(TComponent* owner, const TMovementCenterGeneticControl& source);
};

}  // namespace sarvanta
