// A chromosome is the genetic control of one part of the motor system. The chromosomes of an
// individual form a tree that mirrors the model: a movement center (level 3) over a motor
// center (level 2) over one muscle control per muscle (level 1) over one motor-unit control
// per motor unit (level 0). The genes proper are the motor units' impulse times (ms).
#pragma once

#include "base/Component.h"

#include <vector>

namespace sarvanta {

class TTimeFrame;

// Impulse times in milliseconds.
using TGenes = std::vector<long double>;

// Chromosome levels.
namespace ChromosomeLevel {
inline constexpr int MotorUnit = 0;
inline constexpr int Muscle = 1;
inline constexpr int MotorCenter = 2;
inline constexpr int MovementCenter = 3;
}  // namespace ChromosomeLevel

class TChromosome : public TComponent {
 public:
  // Joins `owner` (the parent chromosome, or none for the root), stores the model object and
  // the time frame (neither owned) and marks itself changed up to the root.
  TChromosome(TComponent* owner, TTimeFrame* timeFrame, TObject* model, int level);

  // The gene operations. The base versions only mark this chromosome changed; each level
  // overrides the operators it knows (see the operation codes in GeneticOperation.h). An
  // operator code a class does not know changes nothing but the flags.
  virtual void Mutate(int opType, int numberOfPoints, long double range);
  // Called on c1; p1, p2 are the parents' chromosomes, c1, c2 the children's, all at the
  // same position of the same level.
  virtual void Crossover(int opType, int numberOfPoints, TChromosome* p1, TChromosome* p2,
                         TChromosome* c1, TChromosome* c2);
  virtual void CommonMutate(int opType, int numberOfPoints, long double range, TChromosome* other);
  // Writes the genes into the model.
  virtual void Apply();
  // A new chromosome of the same class over the same model and frame, owned by `owner`, with
  // a copy of the genes and the same changed flag (the owner is not told). Children are not
  // copied: the individual copies the tree.
  virtual TChromosome* Copy(TComponent* owner) const = 0;
  // Makes this chromosome what Copy would make of `source`, a chromosome of the same class
  // over the same model, frame and level, reusing its own storage. Children are not touched.
  virtual void TakeValues(const TChromosome& source);
  // true: marks this chromosome and every ancestor changed. false: clears this one only.
  virtual void SetChanged(bool value);

  int ChildCount() const { return ComponentCount(); }
  TChromosome* Child(int index) const { return static_cast<TChromosome*>(Components(index)); }
  // The parent chromosome, or nullptr for the root.
  TChromosome* Parent() const;

  bool Changed = false;
  int Level = 0;
  TGenes Genes;
  TObject* Model = nullptr;
  TTimeFrame* TimeFrame = nullptr;

 protected:
  struct TCopying {};
  // For Copy: takes the source's frame, model, level, genes and flag, and only then joins
  // `owner`, without telling it of a change.
  TChromosome(TComponent* owner, const TChromosome& source, TCopying);
};

}  // namespace sarvanta
