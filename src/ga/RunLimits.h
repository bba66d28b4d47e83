// Bounds on the work of a motor task, so that no setting makes a run loop for hours or take
// more memory than the machine has. Task files are checked against them as they are read
// (the reader's value ranges use these numbers), and a run checks its settings again before
// it builds its population, since options and windows can set them too.
#pragma once

#include "model/MotorUnit.h"

#include <cstdint>

namespace sarvanta {

class TGeneticAlgorithm;
class TMechanicalSystem;

namespace RunLimits {
// Cycles of each kind per generation (MutationsPerStep, CrossoversPerStep, CommonMutPerStep).
inline constexpr int32_t MaxCyclesPerStep = 100'000;
// Points of one operation (NumberOfPoints): no more than the longest train a file may hold.
inline constexpr int32_t MaxPointsPerOperation = TMotorUnit::MaxImpulses;
// Population size, whatever the memory.
inline constexpr int32_t MaxPopulationSize = 1'000'000;
// Share of the machine's physical memory that the individuals of one generation may take.
inline constexpr uint64_t MemoryShareDivisor = 2;
}  // namespace RunLimits

// Bytes one individual over `system` is estimated to take: its chromosomes, a copy of every
// impulse train, and one cache of the frame's grid per muscle.
uint64_t EstimatedIndividualBytes(const TGeneticAlgorithm& algorithm,
                                  const TMechanicalSystem& system);
// Offspring made in one generation: one per mutation cycle, two per crossover and common
// mutation cycle.
uint64_t OffspringPerGeneration(const TGeneticAlgorithm& algorithm);
// The individuals alive at once during a generation: the population, the template of a fresh
// run, and the offspring of every cycle.
uint64_t IndividualsPerGeneration(const TGeneticAlgorithm& algorithm);
// The physical memory of the machine in bytes (0 when unknown).
uint64_t PhysicalMemoryBytes();

// Throws Exception naming the setting and its limit when the algorithm's cycle counts,
// population size or operation point counts exceed their limits, or when the individuals
// of one generation would take more than half of the physical memory. Changes nothing.
void CheckRunLimits(const TGeneticAlgorithm& algorithm, const TMechanicalSystem& system);

}  // namespace sarvanta
