// One candidate solution of the genetic algorithm: a tree of chromosomes holding a complete
// stimulation pattern of the model, the goal values computed for it, and its fitness.
#pragma once

#include "base/Component.h"

#include <string>
#include <vector>

namespace sarvanta {

class TChromosome;

class TIndividual : public TComponent {
 public:
  // Creates LevelDepth + 1 empty level lists and GoalCount goal values, then joins `owner`
  // (so the owner's Notification sees a complete individual).
  TIndividual(TComponent* owner, int goalCount, int levelDepth);
  ~TIndividual() override;

  int LevelDepth() const { return levelDepth_; }
  // Frees the tree and creates levelDepth + 1 new empty level lists; Root becomes none.
  void SetLevelDepth(int levelDepth);

  // Takes Root's tree as this individual's own (freeing any other tree it held) and lists
  // every chromosome in the level list of its Level, depth first, parent before children.
  // Chromosomes above LevelDepth are owned but not listed.
  void RegisterLevels();
  // Deep copy of the tree into `dest` when it is an individual (anything else is left
  // alone): same level depth, the same chromosomes in the same list positions with their
  // genes, flags and caches; goal values sized but not copied; the copy's root is marked
  // changed so that it is evaluated.
  void AssignTo(TObject* dest) const;
  // Makes this individual what AssignTo would make of `source`, goal values and fitness reset,
  // reusing its own chromosomes and their storage. Only for trees of the same shape (the same
  // classes over the same models, with the same children): false otherwise, and this
  // individual's tree is then partly overwritten, fit only to be freed.
  bool AssignInPlace(const TIndividual& source);
  // Frees the whole tree and empties the level lists (which stay in place).
  void FreeLevels();

  // Chromosomes of `level` in tree order; empty for a level outside 0 .. LevelDepth.
  const std::vector<TChromosome*>& Level(int level) const;
  int LevelCount() const { return static_cast<int>(Levels.size()); }

  bool Selected = false;
  TChromosome* Root = nullptr;
  std::vector<std::vector<TChromosome*>> Levels;
  std::vector<long double> Values;
  long double Fitness = 0;
  // Fitness as the population's texts last showed it, and the value it was formatted from:
  // an unchanged fitness is not formatted again.
  std::string FitnessText;
  long double FitnessTextOf = 0;

 private:
  void Register(TChromosome* chromosome);
  void CopyChildren(const TChromosome& source, TChromosome& copy);

  int levelDepth_ = 0;
  // The top of the tree this individual owns (normally Root).
  TChromosome* tree_ = nullptr;
};

}  // namespace sarvanta
