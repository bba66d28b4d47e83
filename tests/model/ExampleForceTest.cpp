// The fast force of every motor unit of the example projects equals the step-by-step force on
// the time grid the benchmark and the CLI use.
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace sarvanta {
namespace {

void ExpectForcesAgree(const std::string& file, int step) {
  TMechanicalSystem system;
  LoadSystemFromFile(system, std::string(SARVANTA_EXAMPLES_DIR) + "/" + file);
  int units = 0;
  int nonZero = 0;
  for (int m = 1; m < system.Muscles.Count(); ++m) {
    const TMuscle& muscle = *system.Muscle(m);
    for (int u = 0; u < muscle.MotorUnits.Count(); ++u, ++units) {
      const TMotorUnit& unit = *muscle.MotorUnit(u);
      for (int i = 0; i < 1000; i += step) {
        const long double t = i;
        const long double literal = unit.ForceLiteral(t);
        const long double fast = unit.Force(t);
        ASSERT_LE(std::fabs(fast - literal), 1e-15L * std::fabs(literal))
            << file << " " << muscle.Descr << " " << unit.Descr << " t " << i;
        if (literal != 0) ++nonZero;
      }
    }
  }
  EXPECT_GE(units, 40) << file;
  EXPECT_GT(nonZero, units * 100 / step) << file;
}

TEST(ExampleForce, ElbowEveryMillisecond) { ExpectForcesAgree("elbow.svt", 1); }

TEST(ExampleForce, BenchArmEveryThirdMillisecond) { ExpectForcesAgree("bench-arm.svt", 3); }

}  // namespace
}  // namespace sarvanta
