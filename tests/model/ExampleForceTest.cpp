// The force of every motor unit of the example projects by the lanes of each instruction set
// against the step-by-step force, on a fine grid from before the first impulse to long after the
// last; and, with every kernel choice, the samples a muscle caches are bit for bit the forces
// charts ask for one time at a time.
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "model/TwitchTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace sarvanta {
namespace {

std::vector<const TMotorUnit*> Units(const TMechanicalSystem& system) {
  std::vector<const TMotorUnit*> units;
  for (int m = 1; m < system.Muscles.Count(); ++m)
    for (int u = 0; u < system.Muscle(m)->MotorUnits.Count(); ++u)
      units.push_back(system.Muscle(m)->MotorUnit(u));
  return units;
}

// From 30 ms before the unit's first start to 600 ms after its last.
std::vector<long double> FineGrid(const TMotorUnit& unit, long double step) {
  std::vector<long double> times;
  if (unit.ImpArray().empty()) return {0, 500};
  const long double first = unit.ImpArray().front() + unit.LeadT - 30;
  const long double last = unit.ImpArray().back() + unit.LeadT + 600;
  for (long double t = first; t <= last; t += step) times.push_back(t);
  return times;
}

void ExpectKernelAgreesWithTheSteps(const std::string& file, long double step,
                                    TTwitchKernelChoice kernel) {
  TMechanicalSystem system;
  LoadSystemFromFile(system, std::string(SARVANTA_EXAMPLES_DIR) + "/" + file);
  const std::vector<const TMotorUnit*> units = Units(system);
  ASSERT_GE(units.size(), 40u) << file;
  SetTwitchKernel(kernel);
  int samples = 0;
  int nonZero = 0;
  int wide = 0;
  for (const TMotorUnit* unit : units) {
    const std::vector<long double> times = FineGrid(*unit, step);
    const TTwitchPeaks peaks = ComputeTwitchPeaks(unit->TwitchParameters(), unit->ImpArray());
    std::vector<long double> forces(times.size(), 0);
    unit->AddForceSamples(times, forces);
    for (size_t i = 0; i < times.size(); ++i) {
      const long double literal = unit->ForceLiteral(times[i]);
      ASSERT_LE(std::fabs(forces[i] - literal), 1e-13L * std::fabs(literal))
          << file << " " << unit->Descr << " t " << times[i];
      ASSERT_EQ(forces[i], unit->Force(times[i])) << file << " " << unit->Descr;
      long double alone = 0;
      if (TwitchForceWide(unit->TwitchParameters(), peaks, times[i], kernel, alone)) ++wide;
      if (literal != 0) ++nonZero;
      ++samples;
    }
  }
  EXPECT_GT(nonZero, samples / 2) << file;
  // The double lanes serve (nearly) every sample of these ordinary units.
  EXPECT_GT(wide, samples * 85 / 100) << file;
}

class ExampleForce : public TKernelChoiceTest {};

TEST_P(ExampleForce, ElbowUnits) { ExpectKernelAgreesWithTheSteps("elbow.svt", 0.7L, Kernel()); }

TEST_P(ExampleForce, BenchArmUnits) {
  ExpectKernelAgreesWithTheSteps("bench-arm.svt", 1.3L, Kernel());
}

INSTANTIATE_TEST_SUITE_P(EveryInstructionSet, ExampleForce, WidePaths(), KernelTestName);

class ExampleMuscleCache : public TKernelChoiceTest {};

TEST_P(ExampleMuscleCache, CachedSamplesAreTheForcesOfSingleTimes) {
  TMechanicalSystem system;
  LoadSystemFromFile(system, std::string(SARVANTA_EXAMPLES_DIR) + "/bench-arm.svt");
  std::vector<long double> grid;
  for (int i = 0; i <= 400; ++i) grid.push_back(i * 2.5L - 20);
  // A second grid through some of the same times, in another order.
  std::vector<long double> other(grid.rbegin(), grid.rend());
  other.erase(std::remove_if(other.begin(), other.end(),
                             [](long double t) { return std::fmod(t, 3) != 0; }),
              other.end());
  SetTwitchKernel(Kernel());
  for (int m = 1; m < system.Muscles.Count(); ++m) {
    const TMuscle& muscle = *system.Muscle(m);
    std::vector<long double> samples(grid.size(), 99);
    muscle.SampleForce(grid, samples);
    for (size_t i = 0; i < grid.size(); ++i)
      ASSERT_EQ(samples[i], muscle.Force(grid[i])) << muscle.Descr << " t " << grid[i];
    std::vector<long double> again(grid.size(), 0);
    muscle.SampleForce(grid, again);
    EXPECT_EQ(again, samples) << muscle.Descr;
    std::vector<long double> some(other.size(), 0);
    muscle.SampleForce(other, some);
    for (size_t i = 0; i < other.size(); ++i)
      ASSERT_EQ(some[i], muscle.Force(other[i])) << muscle.Descr << " t " << other[i];
  }
}

INSTANTIATE_TEST_SUITE_P(EveryKernel, ExampleMuscleCache, KernelChoices(), KernelTestName);

}  // namespace
}  // namespace sarvanta
