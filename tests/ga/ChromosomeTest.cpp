// Chromosomes: changed flags, applying genes to the model, copies with their caches.
#include "ga/Chromosome.h"

#include "GaFixture.h"
#include "ga/GeneticOperation.h"
#include "model/Cache.h"

#include <gtest/gtest.h>

#include <vector>

namespace sarvanta {
namespace {

using testing::TGaModel;

void ClearAll(const TIndividual& individual) {
  for (int level = 0; level < individual.LevelCount(); ++level) {
    for (TChromosome* c : individual.Level(level)) c->Changed = false;
  }
}

TEST(ChromosomeTest, ChangedFlagClimbsToTheRootButNotDown) {
  TGaModel model;
  auto individual = model.Template();
  ClearAll(*individual);
  TChromosome* unit = individual->Level(0)[2];
  unit->SetChanged(true);
  EXPECT_TRUE(unit->Changed);
  EXPECT_TRUE(individual->Level(1)[1]->Changed);
  EXPECT_TRUE(individual->Level(2)[0]->Changed);
  EXPECT_TRUE(individual->Root->Changed);
  EXPECT_FALSE(individual->Level(1)[0]->Changed);
  EXPECT_FALSE(individual->Level(0)[3]->Changed);

  individual->Root->SetChanged(false);
  EXPECT_FALSE(individual->Root->Changed);
  EXPECT_TRUE(individual->Level(1)[1]->Changed);
  EXPECT_TRUE(unit->Changed);

  // The base operators only mark the chromosome they are called on; the motor center's
  // common mutation does not even do that.
  ClearAll(*individual);
  individual->Root->Mutate(1, 1, 1);
  EXPECT_TRUE(individual->Root->Changed);
  individual->Level(2)[0]->CommonMutate(-1, 1, 1, individual->Level(2)[0]);
  EXPECT_FALSE(individual->Level(2)[0]->Changed);
  individual->Level(2)[0]->Mutate(999, 1, 1);
  EXPECT_TRUE(individual->Level(2)[0]->Changed);
}

TEST(ChromosomeTest, MotorUnitControlStartsFromTheUnitsTrain) {
  TGaModel model;
  TMotorUnitGeneticControl control(nullptr, &model.Frame, model.Biceps->MotorUnit(0));
  EXPECT_EQ(control.Genes, (TGenes{5, 20, 40}));
  EXPECT_EQ(control.Level, 0);
  EXPECT_TRUE(control.Changed);
  TMotorUnitGeneticControl notAUnit(nullptr, &model.Frame, model.Biceps);
  EXPECT_TRUE(notAUnit.Genes.empty());
  notAUnit.Genes = {3, 1};
  notAUnit.Apply();  // nothing to write into
  EXPECT_EQ(notAUnit.Genes, (TGenes{3, 1}));
}

TEST(ChromosomeTest, ApplyWritesSortedFilteredTrainsAndInstallsCaches) {
  TGaModel model;
  auto individual = model.Template();
  TChromosome* unit = individual->Level(0)[0];
  unit->Genes = {10, 5, 5.5L};
  ClearAll(*individual);
  unit->SetChanged(true);
  individual->Root->Apply();
  EXPECT_EQ(unit->Genes, (TGenes{5, 10}));
  EXPECT_EQ(model.Biceps->MotorUnit(0)->ImpArray(), (std::vector<long double>{5, 10}));
  EXPECT_EQ(model.Triceps->MotorUnit(1)->ImpArray(), (std::vector<long double>{15, 60, 90}));

  auto* biceps = static_cast<TMuscleGeneticControl*>(individual->Level(1)[0]);
  auto* triceps = static_cast<TMuscleGeneticControl*>(individual->Level(1)[1]);
  EXPECT_EQ(model.Biceps->Cache, &biceps->Cache());
  EXPECT_EQ(model.Triceps->Cache, &triceps->Cache());
  EXPECT_TRUE(model.Biceps->CacheInvalid);
  EXPECT_FALSE(model.Triceps->CacheInvalid);
  EXPECT_FALSE(biceps->Changed);           // applied: the muscle's flag is cleared
  EXPECT_TRUE(individual->Root->Changed);  // the root's flag is the evaluator's to clear

  // The cache samples the muscle's force.
  biceps->Cache().SetTimes(0, 20, 10, 0);
  biceps->Cache().Recalculate();
  ASSERT_EQ(biceps->Cache().Count, 3);
  EXPECT_EQ(biceps->Cache().Samples[2], model.Biceps->Force(20));
  EXPECT_GT(biceps->Cache().Samples[2], 0.0L);

  // A freed individual takes its caches out of the muscles.
  individual.reset();
  EXPECT_EQ(model.Biceps->Cache, nullptr);
  EXPECT_EQ(model.Triceps->Cache, nullptr);
}

TEST(ChromosomeTest, CopyOfAMuscleControlCarriesItsSamplesAndFlag) {
  TGaModel model;
  TMuscleGeneticControl control(nullptr, &model.Frame, model.Biceps);
  control.Cache().SetTimes(0, 1, 0.5L, 0.25L);
  control.Cache().SetValues({4, 5, 6});
  control.Changed = false;
  std::unique_ptr<TChromosome> copy(control.Copy(nullptr));
  auto& copied = static_cast<TMuscleGeneticControl&>(*copy);
  EXPECT_EQ(copied.Cache().Samples, (std::vector<long double>{4, 5, 6}));
  EXPECT_EQ(copied.Cache().Offset, 0.25L);
  EXPECT_FALSE(copied.Changed);
  EXPECT_EQ(copied.Level, 1);
  EXPECT_EQ(copied.Muscle(), model.Biceps);
  // The copy samples the same muscle.
  copied.Cache().SetTimes(0, 10, 10, 0);
  copied.Cache().Recalculate();
  EXPECT_EQ(copied.Cache().Samples[1], model.Biceps->Force(10));
}

TEST(ChromosomeTest, CachesAreRecomputedOnlyForChangedMusclesOrFrames) {
  TGaModel model;
  auto individual = model.Template();
  individual->Root->Apply();
  model.System.UpdateCaches();
  auto* biceps = static_cast<TMuscleGeneticControl*>(individual->Level(1)[0]);
  auto* triceps = static_cast<TMuscleGeneticControl*>(individual->Level(1)[1]);
  ASSERT_EQ(biceps->Cache().Count, 101);  // 0 .. 100 ms in steps of 1 ms
  EXPECT_EQ(biceps->Cache().Samples[50], model.Biceps->Force(50));
  EXPECT_FALSE(model.Biceps->CacheInvalid);

  // Marks that survive only while nothing is recomputed.
  biceps->Cache().Samples[0] = 12345;
  triceps->Cache().Samples[0] = 12345;
  individual->Root->Apply();
  model.System.UpdateCaches();
  EXPECT_EQ(biceps->Cache().Samples[0], 12345.0L);

  // A copy brings its samples along and needs no recomputation either.
  TIndividual copy(nullptr, 0, 3);
  individual->AssignTo(&copy);
  copy.Root->Apply();
  model.System.UpdateCaches();
  auto* copiedBiceps = static_cast<TMuscleGeneticControl*>(copy.Level(1)[0]);
  EXPECT_EQ(copiedBiceps->Cache().Samples[0], 12345.0L);

  // A changed unit recomputes its muscle only.
  copy.Level(0)[2]->Mutate(OpCode::AddImpulse, 1, 0);
  copy.Root->Apply();
  model.System.UpdateCaches();
  EXPECT_EQ(copiedBiceps->Cache().Samples[0], 12345.0L);
  EXPECT_EQ(static_cast<TMuscleGeneticControl*>(copy.Level(1)[1])->Cache().Samples[0],
            model.Triceps->Force(0));

  // A new grid recomputes every muscle.
  model.Frame.SetPrecisionFraction(0.5L);
  model.Frame.Precision = 2;
  individual->Root->Apply();
  model.System.UpdateCaches();
  EXPECT_EQ(biceps->Cache().Count, 51);
  EXPECT_EQ(biceps->Cache().Samples[0], model.Biceps->Force(0));
}

}  // namespace
}  // namespace sarvanta
