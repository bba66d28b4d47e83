// A run never works without bound and never reports nonsense: settings beyond their limits
// are refused with the field and the limit named, a stop request is honoured within a
// generation, and a goal that gives a non-number fails the step with the goal named.
#include "base/Exception.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticOperation.h"
#include "ga/GoalKinematic.h"
#include "ga/GoalLoadSharing.h"
#include "ga/Individual.h"
#include "ga/RunLimits.h"
#include "ga/TaskFile.h"
#include "model/MechanicalSystem.h"
#include "model/ProjectFile.h"
#include "model/TimeFrame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <string>

using namespace sarvanta;

namespace {

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();

// The elbow example with a small task: population 4, the whole 0 .. 200 ms frame.
struct TElbowRun {
  TMechanicalSystem System;
  TGeneticAlgorithm Algorithm;

  TElbowRun() {
    LoadSystemFromFile(System, SARVANTA_EXAMPLES_DIR "/elbow.svt");
    Algorithm.TimeFrame->SetFrame(true, true, 0, 200, 2, 2, 40, 50);
    Algorithm.PopulationSize = 4;
    Algorithm.NumberOfSteps = 5;
    Algorithm.EvaluationThreads = 1;
    new TGFMinimalForce(&Algorithm, 1, "Force");
    auto* add = new TMutationOperation(&Algorithm, 0);
    add->OpType = OpCode::AddImpulse;
    add->NumberOfPoints = 1;
    add->OpProbability = 0.5L;
  }
};

// A goal whose estimation is not a number, as a goal formula dividing 0 by 0 in extended
// arithmetic would give.
class TNonNumberGoal : public TGFMinimalForce {
 public:
  using TGFMinimalForce::TGFMinimalForce;
  long double Estimation(TChromosome*) override {
    return std::numeric_limits<long double>::quiet_NaN();
  }
  std::string GetDescription() const override { return "Broken goal"; }
};

std::string ReadFailure(const std::string& bytes) {
  TGeneticAlgorithm algorithm;
  try {
    LoadTaskFromBytes(algorithm, bytes);
  } catch (const EReadError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(RunSafety, TaskFilesBeyondTheLimitsAreRefusedNamingFieldAndLimit) {
  RegisterTaskClasses();
  struct TCase {
    void (*Set)(TGeneticAlgorithm&);
    std::string Message;
  };
  const TCase cases[] = {
      {[](TGeneticAlgorithm& a) { a.MutationsPerStep = kInt32Max; },
       "TGeneticAlgorithm.MutationsPerStep is 2147483647: it must be between -2147483648 and "
       "100000"},
      {[](TGeneticAlgorithm& a) { a.CrossoversPerStep = 100'001; },
       "TGeneticAlgorithm.CrossoversPerStep is 100001"},
      {[](TGeneticAlgorithm& a) { a.CommonMutPerStep = kInt32Max; },
       "TGeneticAlgorithm.CommonMutPerStep is 2147483647"},
      {[](TGeneticAlgorithm& a) { a.PopulationSize = kInt32Max; },
       "TGeneticAlgorithm.PopulationSize is 2147483647: it must be between -2147483648 and "
       "1000000"},
      {[](TGeneticAlgorithm& a) {
         auto* operation = new TMutationOperation(&a, 0);
         operation->NumberOfPoints = kInt32Max;
       },
       "TMutationOperation.NumberOfPoints is 2147483647: it must be between -2147483648 and "
       "100000"},
      // A formula longer than the 255 characters a formula holds is refused, not cut.
      {[](TGeneticAlgorithm& a) {
         new TGFJointAngle(&a, 1, "j");
         static_cast<TGFJointAngle*>(a.Goal(0))->Expression = "t*" + std::string(254, '1');
       },
       "TGFJointAngle.Expression is 256 characters long: at most 255 are allowed"},
  };
  for (const TCase& c : cases) {
    TGeneticAlgorithm algorithm;
    c.Set(algorithm);
    const std::string message = ReadFailure(SaveTaskToBytes(algorithm));
    EXPECT_NE(message.find(c.Message), std::string::npos) << message;
  }
  // At the limits the task reads.
  TGeneticAlgorithm atLimits;
  atLimits.MutationsPerStep = RunLimits::MaxCyclesPerStep;
  atLimits.PopulationSize = RunLimits::MaxPopulationSize;
  EXPECT_EQ(ReadFailure(SaveTaskToBytes(atLimits)), "");
}

TEST(RunSafety, InitRunRefusesSettingsBeyondTheLimitsAndChangesNothing) {
  TElbowRun run;
  TGeneticAlgorithm& a = run.Algorithm;
  const struct {
    void (*Set)(TGeneticAlgorithm&);
    std::string Message;
  } cases[] = {
      {[](TGeneticAlgorithm& g) { g.PopulationSize = kInt32Max; },
       "PopulationSize is 2147483647: it must be at most 1000000"},
      {[](TGeneticAlgorithm& g) { g.MutationsPerStep = kInt32Max; },
       "MutationsPerStep is 2147483647: it must be at most 100000"},
      {[](TGeneticAlgorithm& g) {
         static_cast<TGeneticOperation*>(g.Operations.Objects(0))->NumberOfPoints = kInt32Max;
       },
       "NumberOfPoints of operation"},
      // A million individuals over a 0.01 ms grid of 1000 ms: far more than half the memory.
      {[](TGeneticAlgorithm& g) {
         g.PopulationSize = RunLimits::MaxPopulationSize;
         g.TimeFrame->SetFrame(true, true, 0, 1000, 0.01L, 0.01L, 40, 50);
       },
       "more than half of the machine's"},
  };
  for (const auto& c : cases) {
    TElbowRun fresh;
    c.Set(fresh.Algorithm);
    try {
      fresh.Algorithm.InitRun(&fresh.System);
      ADD_FAILURE() << "no error for " << c.Message;
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
    }
    EXPECT_EQ(fresh.Algorithm.Population.Count(), 0);
  }
  // The rule itself: the individuals of a generation times the bytes of one.
  a.MutationsPerStep = 2;
  a.CrossoversPerStep = 0;
  a.CommonMutPerStep = -1;
  EXPECT_EQ(OffspringPerGeneration(a), 3u + 2u + 0u);
  EXPECT_EQ(IndividualsPerGeneration(a), 4u + 1u + 5u);
  EXPECT_GT(EstimatedIndividualBytes(a, run.System), 4u * 100u * sizeof(long double));
}

TEST(RunSafety, AStopRequestAbandonsTheGenerationInProgressAndKeepsThePopulation) {
  // With several threads the offspring made so far are being evaluated when the stop comes.
  for (int threads : {1, 2, 4}) {
    SCOPED_TRACE(threads);
    TElbowRun run;
    TGeneticAlgorithm& a = run.Algorithm;
    a.EvaluationThreads = threads;
    a.MutationsPerStep = 5000;  // a long generation
    int steps = 0;
    std::set<const TIndividual*> afterFirstStep;
    a.OnStep = [&](TObject*) {
      ++steps;
      for (int i = 0; i < a.Population.Count(); ++i)
        afterFirstStep.insert(a.Individual(a.Population, i));
    };
    int asked = 0;
    // As the desktop program does: Stop() at once, then the step notices the request.
    a.StopRequested = [&] {
      if (!(steps == 1 && ++asked > 100)) return false;
      a.Stop();
      return true;
    };
    std::string stopped;
    a.OnTrace = [&](int, const std::string& text) {
      if (text.rfind("Stopped", 0) == 0) stopped = text;
    };
    a.InitRun(&run.System);
    a.RunAll();

    EXPECT_EQ(steps, 1);  // the abandoned generation does not count
    EXPECT_EQ(asked, 101);
    EXPECT_EQ(stopped, "Stopped within step 1");
    EXPECT_FALSE(a.Running);
    EXPECT_EQ(a.Offspring.Count(), 0);
    std::set<const TIndividual*> kept;
    for (int i = 0; i < a.Population.Count(); ++i) kept.insert(a.Individual(a.Population, i));
    EXPECT_EQ(kept, afterFirstStep);
    EXPECT_EQ(a.Population.Count(), 4);
  }
}

TEST(RunSafety, AGoalGivingANonNumberFailsTheStepNamingTheGoal) {
  TElbowRun run;
  TGeneticAlgorithm& a = run.Algorithm;
  new TNonNumberGoal(&a, 1, "Broken");
  a.RenameLists();
  a.InitRun(&run.System);
  const int before = a.Population.Count();
  try {
    a.Step();
    ADD_FAILURE() << "no error";
  } catch (const EMathError& e) {
    EXPECT_NE(std::string(e.what()).find("The goal \"Broken goal\" gave NAN"), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(a.Population.Count(), before);
  EXPECT_EQ(a.Offspring.Count(), 0);
}
