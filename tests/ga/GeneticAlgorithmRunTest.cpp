// A whole run of the optimiser on the elbow example.
#include "base/Random.h"
#include "ga/Chromosome.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticOperation.h"
#include "ga/GoalKinematic.h"
#include "ga/GoalLoadSharing.h"
#include "ga/Individual.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "model/TimeFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace sarvanta;

namespace {

struct TRunRecord {
  std::vector<long double> BestPerStep;
  std::vector<long double> Fitness;
  std::vector<std::vector<long double>> Values;
  std::vector<TGenes> Genes;
  std::vector<std::vector<long double>> ModelTrains;
};

template <class T>
T* AddOperation(TGeneticAlgorithm& ga, int32_t level, int32_t opType, int32_t points,
                long double probability) {
  auto* operation = new T(&ga, level);
  operation->OpType = opType;
  operation->NumberOfPoints = points;
  operation->OpProbability = probability;
  return operation;
}

// Runs 12 generations of a fixed task on a freshly loaded elbow with the given seed.
TRunRecord RunElbow(uint32_t seed) {
  TMechanicalSystem system;
  LoadSystemFromFile(system, SARVANTA_EXAMPLES_DIR "/elbow.svt");
  TGeneticAlgorithm ga;
  ga.TimeFrame->SetFrame(true, true, 0, 200, 2, 2, 40, 50);
  ga.PopulationSize = 4;
  ga.NumberOfSteps = 12;
  ga.MutationsPerStep = ga.CrossoversPerStep = ga.CommonMutPerStep = 1;
  ga.SetFunctions(1, 1, 0, 0, 0, 0, 1);  // "Fittest" reinsertion, weighted sum
  auto* angle = new TGFJointAngle(&ga, 1, "Joint angle");
  angle->FromBoneInd = 1;
  angle->ToBoneInd = 2;
  angle->Expression = "0.5";
  new TGFMinimalForce(&ga, 0.1L, "Force");
  AddOperation<TMutationOperation>(ga, 0, OpCode::AddImpulse, 2, 0.7L);
  AddOperation<TMutationOperation>(ga, 0, OpCode::RemoveImpulse, 1, 0.5L);
  AddOperation<TMutationOperation>(ga, 0, OpCode::ShiftImpulseRight, 1, 0.5L)->Range = 5;
  AddOperation<TMutationOperation>(ga, 1, OpCode::ChangeMUActivation, 2, 0.3L)->Range = 0.2L;
  AddOperation<TCrossoverOperation>(ga, 0, OpCode::MotorUnitOnePoint, 1, 0.5L);
  AddOperation<TCrossoverOperation>(ga, 1, OpCode::MuscleOnePoint, 1, 0.5L);
  AddOperation<TCommonMutationOperation>(ga, 0, OpCode::MotorUnitInverse, 1, 0.5L)->Range = 0.3L;

  TRunRecord record;
  ga.OnStep = [&record, &ga](TObject*) { record.BestPerStep.push_back(ga.BestFitness); };
  TRandom::Shared().SetFixedSeed(seed);
  ga.InitRun(&system);
  ga.RunAll();
  TRandom::Shared().SetFixedSeed(std::nullopt);

  for (int i = 0; i < ga.Population.Count(); ++i) {
    TIndividual* individual = ga.Individual(ga.Population, i);
    record.Fitness.push_back(individual->Fitness);
    record.Values.push_back(individual->Values);
    for (TChromosome* unit : individual->Level(0)) record.Genes.push_back(unit->Genes);
  }
  for (int m = 1; m < system.Muscles.Count(); ++m)
    for (int u = 0; u < system.Muscle(m)->MotorUnits.Count(); ++u)
      record.ModelTrains.push_back(system.Muscle(m)->MotorUnit(u)->ImpArray());
  return record;
}

}  // namespace

TEST(GeneticAlgorithmRun, ElbowRunImprovesMonotonicallyAndRepeatsBitForBit) {
  const TRunRecord first = RunElbow(20261208);
  ASSERT_EQ(first.BestPerStep.size(), 12u);
  for (size_t i = 1; i < first.BestPerStep.size(); ++i)
    EXPECT_LE(first.BestPerStep[i], first.BestPerStep[i - 1]) << "step " << i;
  EXPECT_LT(first.BestPerStep.back(), first.BestPerStep.front());  // the run found better
  ASSERT_EQ(first.Fitness.size(), 4u);
  EXPECT_TRUE(std::is_sorted(first.Fitness.begin(), first.Fitness.end()));
  EXPECT_EQ(first.Genes.size(), 4u * 86u);

  const TRunRecord second = RunElbow(20261208);
  EXPECT_EQ(second.BestPerStep, first.BestPerStep);
  EXPECT_EQ(second.Fitness, first.Fitness);
  EXPECT_EQ(second.Values, first.Values);
  EXPECT_EQ(second.Genes, first.Genes);
  EXPECT_EQ(second.ModelTrains, first.ModelTrains);

  const TRunRecord other = RunElbow(7);
  EXPECT_NE(other.Genes, first.Genes);  // the seed matters
}
