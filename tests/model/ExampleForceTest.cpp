// The force of every motor unit of the example projects by each kernel against the
// step-by-step force, on a fine grid from before the first impulse to long after the last;
// and the samples a muscle caches are bit for bit the forces charts ask for one time at a time.
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

// Restores the fast kernel when a test leaves, whatever it chose.
struct TKernelGuard {
  ~TKernelGuard() { SetTwitchKernel(TTwitchKernelChoice::Fast); }
};

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

void ExpectKernelsAgreeWithTheSteps(const std::string& file, long double step) {
  TKernelGuard guard;
  TMechanicalSystem system;
  LoadSystemFromFile(system, std::string(SARVANTA_EXAMPLES_DIR) + "/" + file);
  const std::vector<const TMotorUnit*> units = Units(system);
  ASSERT_GE(units.size(), 40u) << file;
  int samples = 0;
  int nonZero = 0;
  int wide = 0;
  for (const TMotorUnit* unit : units) {
    const std::vector<long double> times = FineGrid(*unit, step);
    std::vector<long double> literal(times.size());
    for (size_t i = 0; i < times.size(); ++i) literal[i] = unit->ForceLiteral(times[i]);
    const TTwitchPeaks peaks = ComputeTwitchPeaks(unit->TwitchParameters(), unit->ImpArray());
    for (const TTwitchKernelChoice kernel : FastKernelChoices()) {
      SetTwitchKernel(kernel);
      std::vector<long double> forces(times.size(), 0);
      unit->AddForceSamples(times, forces);
      for (size_t i = 0; i < times.size(); ++i) {
        ASSERT_LE(std::fabs(forces[i] - literal[i]), 1e-13L * std::fabs(literal[i]))
            << file << " " << unit->Descr << " t " << times[i];
        ASSERT_EQ(forces[i], unit->Force(times[i])) << file << " " << unit->Descr;
        long double alone = 0;
        if (TwitchForceWide(unit->TwitchParameters(), peaks, times[i], kernel, alone)) ++wide;
        if (literal[i] != 0) ++nonZero;
        ++samples;
      }
    }
  }
  EXPECT_GT(nonZero, samples / 2) << file;
  // The double lanes serve (nearly) every sample of these ordinary units.
  EXPECT_GT(wide, samples * 85 / 100) << file;
}

TEST(ExampleForce, ElbowUnitsByEveryKernel) { ExpectKernelsAgreeWithTheSteps("elbow.svt", 0.7L); }

TEST(ExampleForce, BenchArmUnitsByEveryKernel) {
  ExpectKernelsAgreeWithTheSteps("bench-arm.svt", 1.3L);
}

TEST(ExampleForce, CachedMuscleSamplesAreTheForcesOfSingleTimes) {
  TKernelGuard guard;
  TMechanicalSystem system;
  LoadSystemFromFile(system, std::string(SARVANTA_EXAMPLES_DIR) + "/bench-arm.svt");
  std::vector<long double> grid;
  for (int i = 0; i <= 400; ++i) grid.push_back(i * 2.5L - 20);
  // A second grid through some of the same times, in another order.
  std::vector<long double> other(grid.rbegin(), grid.rend());
  other.erase(std::remove_if(other.begin(), other.end(),
                             [](long double t) { return std::fmod(t, 3) != 0; }),
              other.end());
  for (const TTwitchKernelChoice kernel :
       {TTwitchKernelChoice::Fast, TTwitchKernelChoice::Portable, TTwitchKernelChoice::Literal}) {
    SetTwitchKernel(kernel);
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
}

}  // namespace
}  // namespace sarvanta
