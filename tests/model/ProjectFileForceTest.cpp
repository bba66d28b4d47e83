// The fast twitch sum gives the straightforward per-impulse result on every unit of the
// example projects at every point of the benchmark's grid.
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace sarvanta {
namespace {

TEST(ProjectFileForce, FastForceEqualsTheLiteralStepsOnTheExamples) {
  for (const char* name : {"elbow.svt", "bench-arm.svt"}) {
    TMechanicalSystem system;
    LoadSystemFromFile(system, std::string(SARVANTA_EXAMPLES_DIR) + "/" + name);
    long double worst = 0;
    int samples = 0;
    for (int m = 1; m < system.Muscles.Count(); ++m) {
      const TMuscle& muscle = *system.Muscle(m);
      for (int u = 0; u < muscle.MotorUnits.Count(); ++u) {
        const TMotorUnit& unit = *muscle.MotorUnit(u);
        for (int i = 0; i < 1000; ++i) {
          const long double t = i;
          const long double literal = unit.ForceLiteral(t);
          const long double fast = unit.Force(t);
          const long double error = std::fabs(fast - literal);
          // The double-precision lanes guarantee 4e-14 of every sample they compute.
          ASSERT_LE(error, 4e-14L * std::fabs(literal))
              << name << " muscle " << muscle.Descr << " unit " << unit.Descr << " t " << i;
          if (literal != 0) worst = std::max(worst, error / std::fabs(literal));
          ++samples;
        }
      }
    }
    EXPECT_GT(samples, 0);
    RecordProperty(std::string("worst_relative_error_") + name, std::to_string(double(worst)));
  }
}

}  // namespace
}  // namespace sarvanta
