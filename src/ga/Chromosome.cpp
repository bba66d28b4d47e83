#include "ga/Chromosome.h"

namespace sarvanta {

TChromosome::TChromosome(TComponent* owner, TTimeFrame* timeFrame, TObject* model, int level)
    : TComponent(nullptr), Level(level), Model(model), TimeFrame(timeFrame) {
  if (owner != nullptr) JoinOwner(owner);
  SetChanged(true);
}

TChromosome::TChromosome(TComponent* owner, const TChromosome& source, TCopying)
    : TComponent(nullptr),
      Changed(source.Changed),
      Level(source.Level),
      Genes(source.Genes),
      Model(source.Model),
      TimeFrame(source.TimeFrame) {
  if (owner != nullptr) JoinOwner(owner);
}

void TChromosome::TakeValues(const TChromosome& source) {
  Changed = source.Changed;
  Genes = source.Genes;
}

void TChromosome::Mutate(int, int, long double) { SetChanged(true); }

void TChromosome::Crossover(int, int, TChromosome*, TChromosome*, TChromosome*, TChromosome*) {
  SetChanged(true);
}

void TChromosome::CommonMutate(int, int, long double, TChromosome*) { SetChanged(true); }

void TChromosome::Apply() {}

void TChromosome::SetChanged(bool value) {
  Changed = value;
  if (!value) return;
  for (TChromosome* parent = Parent(); parent != nullptr; parent = parent->Parent()) {
    parent->Changed = true;
  }
}

TChromosome* TChromosome::Parent() const { return dynamic_cast<TChromosome*>(Owner()); }

}  // namespace sarvanta
