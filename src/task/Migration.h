// Moving individuals between runs of the same task (the islands of an island run): an
// individual travels as its genes, its goal values and its fitness, flattened into one plain
// vector of numbers, and arrives in the receiving population in place of its worst members.
#pragma once

#include "ga/Chromosome.h"

#include <vector>

namespace sarvanta {

class TGeneticAlgorithm;
class TIndividual;

struct TMigrant {
  long double Fitness = 0;
  std::vector<long double> Values;
  // The genes of every chromosome, level 0 first, each level in tree order.
  std::vector<TGenes> Genes;
};

// A copy of the individual's genes, goal values and fitness.
TMigrant TakeMigrant(const TIndividual& individual);
// Writes the migrant's genes, goal values and fitness into `individual`, whose tree must have
// the same shape (the same task on the same model), and marks every chromosome changed so
// that its caches are made anew and it is scored again. Throws Exception, changing nothing,
// when the shapes differ.
void PutMigrant(const TMigrant& migrant, TIndividual& individual);

// The message format: count, then per migrant its fitness, goal count, goal values,
// chromosome count and per chromosome its gene count and genes.
std::vector<long double> FlattenMigrants(const std::vector<TMigrant>& migrants);
// The reverse; throws Exception on a vector that does not hold whole migrants.
std::vector<TMigrant> UnflattenMigrants(const std::vector<long double>& flat);

// Copies of the `count` first (best, once sorted) members of the population.
std::vector<TMigrant> BestMigrants(const TGeneticAlgorithm& algorithm, int count);
// Writes the first migrants over the last (worst, once sorted) members of the population, in
// order; returns how many were taken (never more than the population holds). Throws Exception when
// a migrant does not fit the population's trees.
int ReplaceWorst(TGeneticAlgorithm& algorithm, const std::vector<TMigrant>& migrants);

}  // namespace sarvanta
