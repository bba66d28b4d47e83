#include "ga/RunLimits.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticOperation.h"
#include "model/Cache.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/TimeFrame.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace sarvanta {

namespace {

// What a chromosome with its lists and flags takes besides its genes (a generous figure).
constexpr uint64_t kChromosomeBytes = 512;
constexpr uint64_t kValueBytes = sizeof(long double);

// Cycles a count gives: the count plus one, none for a negative count.
uint64_t Cycles(int32_t count) { return count < 0 ? 0 : static_cast<uint64_t>(count) + 1; }

uint64_t GridSamples(const TTimeFrame& frame) {
  const long double span = frame.FrameEnd - frame.FrameStart;
  if (!(frame.Precision > 0) || !(span >= 0)) return 1;
  const long double samples = span / frame.Precision + 1;
  if (!std::isfinite(samples)) return TCache::MaxSamples;
  return static_cast<uint64_t>(std::min<long double>(samples, TCache::MaxSamples));
}

void CheckAtMost(const std::string& field, int64_t value, int64_t limit) {
  if (value > limit)
    throw Exception(field + " is " + IntToStr(value) + ": it must be at most " + IntToStr(limit));
}

std::string MegaBytes(uint64_t bytes) {
  return IntToStr(static_cast<int64_t>(bytes >> 20)) + " MB";
}

}  // namespace

uint64_t EstimatedIndividualBytes(const TGeneticAlgorithm& algorithm,
                                  const TMechanicalSystem& system) {
  uint64_t chromosomes = 2, impulses = 0, muscles = 0;
  for (int m = 1; m < system.Muscles.Count(); ++m) {
    const TMuscle* muscle = system.Muscle(m);
    if (muscle == nullptr) continue;
    ++muscles;
    chromosomes += 1 + static_cast<uint64_t>(muscle->MotorUnits.Count());
    for (int u = 0; u < muscle->MotorUnits.Count(); ++u)
      impulses += muscle->MotorUnit(u)->ImpArray().size();
  }
  const uint64_t samples = GridSamples(*algorithm.TimeFrame);
  return chromosomes * kChromosomeBytes + impulses * kValueBytes + muscles * samples * kValueBytes +
         static_cast<uint64_t>(algorithm.Goals.Count()) * 16;
}

uint64_t OffspringPerGeneration(const TGeneticAlgorithm& a) {
  return Cycles(a.MutationsPerStep) + 2 * Cycles(a.CrossoversPerStep) +
         2 * Cycles(a.CommonMutPerStep);
}

uint64_t IndividualsPerGeneration(const TGeneticAlgorithm& a) {
  const uint64_t population = a.PopulationSize < 0 ? 0 : static_cast<uint64_t>(a.PopulationSize);
  return population + 1 + OffspringPerGeneration(a);
}

uint64_t PhysicalMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

void CheckRunLimits(const TGeneticAlgorithm& a, const TMechanicalSystem& system) {
  CheckAtMost("PopulationSize", a.PopulationSize, RunLimits::MaxPopulationSize);
  CheckAtMost("MutationsPerStep", a.MutationsPerStep, RunLimits::MaxCyclesPerStep);
  CheckAtMost("CrossoversPerStep", a.CrossoversPerStep, RunLimits::MaxCyclesPerStep);
  CheckAtMost("CommonMutPerStep", a.CommonMutPerStep, RunLimits::MaxCyclesPerStep);
  for (int i = 0; i < a.Operations.Count(); ++i) {
    const auto* operation = static_cast<const TGeneticOperation*>(a.Operations.Objects(i));
    CheckAtMost("NumberOfPoints of operation \"" + operation->Descr + "\"",
                operation->NumberOfPoints, RunLimits::MaxPointsPerOperation);
  }
  const uint64_t memory = PhysicalMemoryBytes();
  if (memory == 0) return;
  const uint64_t each = EstimatedIndividualBytes(a, system);
  const uint64_t individuals = IndividualsPerGeneration(a);
  const uint64_t allowed = memory / RunLimits::MemoryShareDivisor;
  // Both factors are bounded above, so their product cannot overflow.
  if (each > 0 && individuals > allowed / each)
    throw Exception("PopulationSize " + IntToStr(a.PopulationSize) + " with " +
                    IntToStr(static_cast<int64_t>(OffspringPerGeneration(a))) +
                    " offspring per generation needs about " + MegaBytes(individuals * each) +
                    " (" + IntToStr(static_cast<int64_t>(each)) +
                    " bytes per individual): more than half of the machine's " + MegaBytes(memory) +
                    " of memory");
}

}  // namespace sarvanta
