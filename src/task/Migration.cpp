#include "task/Migration.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/Individual.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace sarvanta {

namespace {

std::vector<TChromosome*> AllChromosomes(const TIndividual& individual) {
  std::vector<TChromosome*> all;
  for (int level = 0; level < individual.LevelCount(); ++level)
    for (TChromosome* chromosome : individual.Level(level)) all.push_back(chromosome);
  return all;
}

// Reads the flat message front to back, refusing counts that the rest cannot hold.
class TFlatReader {
 public:
  explicit TFlatReader(const std::vector<long double>& flat) : flat_(flat) {}

  long double Number() {
    if (next_ >= flat_.size()) throw Exception("The migrants' message ends early");
    return flat_[next_++];
  }

  size_t Count() {
    const long double count = Number();
    if (!(count >= 0) || count != std::floor(count) ||
        count > static_cast<long double>(flat_.size() - next_))
      throw Exception("The migrants' message holds a bad count at position " +
                      IntToStr(static_cast<int64_t>(next_ - 1)));
    return static_cast<size_t>(count);
  }

  std::vector<long double> Numbers(size_t count) {
    std::vector<long double> numbers(flat_.begin() + static_cast<std::ptrdiff_t>(next_),
                                     flat_.begin() + static_cast<std::ptrdiff_t>(next_ + count));
    next_ += count;
    return numbers;
  }

  bool AtEnd() const { return next_ == flat_.size(); }

 private:
  const std::vector<long double>& flat_;
  size_t next_ = 0;
};

void CheckFits(const TMigrant& migrant, const TIndividual& individual) {
  const size_t chromosomes = AllChromosomes(individual).size();
  if (chromosomes == migrant.Genes.size() && individual.Values.size() == migrant.Values.size())
    return;
  throw Exception("A migrant with " + IntToStr(static_cast<int64_t>(migrant.Genes.size())) +
                  " chromosomes and " + IntToStr(static_cast<int64_t>(migrant.Values.size())) +
                  " goal values does not fit an individual with " +
                  IntToStr(static_cast<int64_t>(chromosomes)) + " and " +
                  IntToStr(static_cast<int64_t>(individual.Values.size())));
}

}  // namespace

TMigrant TakeMigrant(const TIndividual& individual) {
  TMigrant migrant;
  migrant.Fitness = individual.Fitness;
  migrant.Values = individual.Values;
  for (const TChromosome* chromosome : AllChromosomes(individual))
    migrant.Genes.push_back(chromosome->Genes);
  return migrant;
}

void PutMigrant(const TMigrant& migrant, TIndividual& individual) {
  CheckFits(migrant, individual);
  const std::vector<TChromosome*> chromosomes = AllChromosomes(individual);
  for (size_t k = 0; k < chromosomes.size(); ++k) {
    chromosomes[k]->Genes = migrant.Genes[k];
    chromosomes[k]->SetChanged(true);
  }
  individual.Values = migrant.Values;
  individual.Fitness = migrant.Fitness;
}

std::vector<long double> FlattenMigrants(const std::vector<TMigrant>& migrants) {
  std::vector<long double> flat{static_cast<long double>(migrants.size())};
  for (const TMigrant& migrant : migrants) {
    flat.push_back(migrant.Fitness);
    flat.push_back(static_cast<long double>(migrant.Values.size()));
    flat.insert(flat.end(), migrant.Values.begin(), migrant.Values.end());
    flat.push_back(static_cast<long double>(migrant.Genes.size()));
    for (const TGenes& genes : migrant.Genes) {
      flat.push_back(static_cast<long double>(genes.size()));
      flat.insert(flat.end(), genes.begin(), genes.end());
    }
  }
  return flat;
}

std::vector<TMigrant> UnflattenMigrants(const std::vector<long double>& flat) {
  TFlatReader reader(flat);
  std::vector<TMigrant> migrants(reader.Count());
  for (TMigrant& migrant : migrants) {
    migrant.Fitness = reader.Number();
    migrant.Values = reader.Numbers(reader.Count());
    migrant.Genes.resize(reader.Count());
    for (TGenes& genes : migrant.Genes) genes = reader.Numbers(reader.Count());
  }
  if (!reader.AtEnd()) throw Exception("The migrants' message holds more than its migrants");
  return migrants;
}

std::vector<TMigrant> BestMigrants(const TGeneticAlgorithm& algorithm, int count) {
  std::vector<TMigrant> migrants;
  for (int i = 0; i < count && i < algorithm.Population.Count(); ++i)
    migrants.push_back(TakeMigrant(*algorithm.Individual(algorithm.Population, i)));
  return migrants;
}

int ReplaceWorst(TGeneticAlgorithm& algorithm, const std::vector<TMigrant>& migrants) {
  const int size = algorithm.Population.Count();
  const int taken = std::min(size, static_cast<int>(migrants.size()));
  std::vector<TIndividual*> targets;
  for (int k = 0; k < taken; ++k)
    targets.push_back(algorithm.Individual(algorithm.Population, size - taken + k));
  // Every migrant is checked before the first is written, so a bad one changes nothing.
  for (size_t k = 0; k < targets.size(); ++k) CheckFits(migrants[k], *targets[k]);
  for (size_t k = 0; k < targets.size(); ++k) PutMigrant(migrants[k], *targets[k]);
  return taken;
}

}  // namespace sarvanta
