// Individuals: level lists in tree order, deep copies with their caches, freeing.
#include "ga/Individual.h"

#include "GaFixture.h"
#include "ga/UnitSamples.h"
#include "model/Cache.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace sarvanta {
namespace {

using testing::TGaModel;

TEST(IndividualTest, NewIndividualHasEmptyLevelsAndNoRoot) {
  TIndividual individual(nullptr, 3, 3);
  EXPECT_EQ(individual.LevelCount(), 4);
  for (int level = 0; level < 4; ++level) EXPECT_TRUE(individual.Level(level).empty());
  EXPECT_EQ(individual.Root, nullptr);
  EXPECT_EQ(individual.Values.size(), 3u);
  EXPECT_TRUE(individual.Level(7).empty());
}

TEST(IndividualTest, OwnerHearsOfACompleteIndividual) {
  struct TRecorder : TComponent {
    size_t ValuesSeen = 0;
    void Notification(TComponent* component, TOperation operation) override {
      if (auto* individual = dynamic_cast<TIndividual*>(component)) {
        if (operation == TOperation::opInsert) ValuesSeen = individual->Values.size();
      }
    }
    ~TRecorder() override { DestroyComponents(); }
  } owner;
  new TIndividual(&owner, 5, 3);
  EXPECT_EQ(owner.ValuesSeen, 5u);
}

TEST(IndividualTest, RegisterLevelsListsTheTreeDepthFirst) {
  TGaModel model;
  auto individual = model.Template();
  ASSERT_NE(individual->Root, nullptr);
  EXPECT_EQ(individual->Level(3), std::vector<TChromosome*>{individual->Root});
  ASSERT_EQ(individual->Level(2).size(), 1u);
  ASSERT_EQ(individual->Level(1).size(), 2u);
  EXPECT_EQ(individual->Level(1)[0]->Model, model.Biceps);
  EXPECT_EQ(individual->Level(1)[1]->Model, model.Triceps);
  // Motor units grouped by muscle, in muscle order.
  ASSERT_EQ(individual->Level(0).size(), 4u);
  EXPECT_EQ(individual->Level(0)[0]->Model, model.Biceps->MotorUnit(0));
  EXPECT_EQ(individual->Level(0)[1]->Model, model.Biceps->MotorUnit(1));
  EXPECT_EQ(individual->Level(0)[2]->Model, model.Triceps->MotorUnit(0));
  EXPECT_EQ(individual->Level(0)[3]->Model, model.Triceps->MotorUnit(1));
  EXPECT_EQ(individual->Level(0)[3]->Genes, (TGenes{15, 60, 90}));

  // Registering again keeps the same tree (nothing is freed twice).
  individual->RegisterLevels();
  EXPECT_EQ(individual->Level(0).size(), 4u);
  EXPECT_EQ(individual->Level(0)[0]->Genes, (TGenes{5, 20, 40}));
}

TEST(IndividualTest, AssignToMakesADeepCopyWithCachesAndFlags) {
  TGaModel model;
  auto source = model.Template();
  auto* biceps = static_cast<TMuscleGeneticControl*>(source->Level(1)[0]);
  biceps->Cache().SetTimes(0, 2, 1, 0);
  biceps->Cache().SetValues({1, 2, 3});
  for (int level = 0; level < 4; ++level) {
    for (TChromosome* c : source->Level(level)) c->Changed = false;
  }
  source->Level(1)[1]->Changed = true;

  TIndividual copy(nullptr, 0, 1);
  TIndividual other(nullptr, 0, 3);
  source->AssignTo(&copy);
  source->AssignTo(&copy);  // onto a tree: the old one is freed first (checked under ASan)
  EXPECT_EQ(copy.LevelDepth(), 3);
  EXPECT_EQ(copy.Values.size(), 2u);
  ASSERT_NE(copy.Root, nullptr);
  EXPECT_NE(copy.Root, source->Root);
  EXPECT_TRUE(copy.Root->Changed);
  for (int level = 0; level < 4; ++level) {
    ASSERT_EQ(copy.Level(level).size(), source->Level(level).size());
    for (size_t i = 0; i < copy.Level(level).size(); ++i) {
      const TChromosome* a = source->Level(level)[i];
      const TChromosome* b = copy.Level(level)[i];
      EXPECT_NE(a, b);
      EXPECT_EQ(typeid(*a), typeid(*b));
      EXPECT_EQ(a->Model, b->Model);
      EXPECT_EQ(a->Genes, b->Genes);
      EXPECT_EQ(a->TimeFrame, b->TimeFrame);
      if (level < 3) {
        EXPECT_EQ(a->Changed, b->Changed) << level << " " << i;
      }
    }
  }
  // The copy's tree is its own: parents are copies too.
  EXPECT_EQ(copy.Level(0)[0]->Parent(), copy.Level(1)[0]);
  EXPECT_EQ(copy.Level(1)[1]->Parent(), copy.Level(2)[0]);
  const auto* cache = &static_cast<TMuscleGeneticControl*>(copy.Level(1)[0])->Cache();
  EXPECT_NE(cache, &biceps->Cache());
  EXPECT_EQ(cache->Samples, (std::vector<long double>{1, 2, 3}));
  EXPECT_EQ(cache->Count, 3);
  EXPECT_EQ(cache->EndTime, 2.0L);
  EXPECT_EQ(cache->TimeStep, 1.0L);

  // Changing the copy leaves the source alone.
  copy.Level(0)[0]->Genes.push_back(99);
  EXPECT_EQ(source->Level(0)[0]->Genes, (TGenes{5, 20, 40}));

  // Assigning to something that is not an individual does nothing; an individual without a
  // tree gives a copy without a root.
  TComponent notAnIndividual;
  source->AssignTo(&notAnIndividual);
  EXPECT_EQ(notAnIndividual.ComponentCount(), 0);
  TIndividual empty(nullptr, 1, 3);
  empty.AssignTo(&other);
  EXPECT_EQ(other.Root, nullptr);
  EXPECT_EQ(other.Values.size(), 1u);
}

TEST(IndividualTest, AssignInPlaceGivesWhatACopyGivesInTheSameChromosomes) {
  TGaModel model;
  auto source = model.Template();
  auto* biceps = static_cast<TMuscleGeneticControl*>(source->Level(1)[0]);
  biceps->Cache().SetTimes(0, 2, 1, 0.5L);
  biceps->Cache().SetValues({1, 2, 3});
  biceps->SummedFrom = {7, 8};
  auto samples = std::make_shared<TUnitSamples>();
  static_cast<TMotorUnitGeneticControl*>(source->Level(0)[2])->Samples = samples;
  for (int level = 0; level < 4; ++level)
    for (TChromosome* c : source->Level(level)) c->Changed = level == 0;
  source->Values = {4, 5};

  // A spare that differs everywhere a copy is written: genes, flags, caches, samples, values.
  TIndividual spare(nullptr, 2, 3);
  source->AssignTo(&spare);
  const std::vector<TChromosome*> units = spare.Level(0);
  for (TChromosome* unit : units) unit->Genes = {1, 2, 3, 4, 5, 6, 7, 8};
  for (TChromosome* c : spare.Level(1)) c->Changed = true;
  auto* spareBiceps = static_cast<TMuscleGeneticControl*>(spare.Level(1)[0]);
  spareBiceps->Cache().SetTimes(5, 9, 2, 0);
  spareBiceps->Cache().SetValues({9, 9, 9, 9, 9, 9});
  spareBiceps->SummedFrom = {1};
  static_cast<TMotorUnitGeneticControl*>(units[0])->Samples = std::make_shared<TUnitSamples>();
  static_cast<TMotorUnitGeneticControl*>(units[2])->Samples.reset();
  spare.Values = {9, 9};
  spare.Fitness = 3;
  spare.Selected = true;

  TIndividual copy(nullptr, 2, 3);
  source->AssignTo(&copy);
  ASSERT_TRUE(spare.AssignInPlace(*source));
  EXPECT_EQ(spare.Level(0), units);  // the same chromosomes, rewritten
  EXPECT_EQ(spare.Values, copy.Values);
  EXPECT_EQ(spare.Values, (std::vector<long double>{0, 0}));
  EXPECT_EQ(spare.Fitness, 0);
  EXPECT_FALSE(spare.Selected);
  EXPECT_TRUE(spare.Root->Changed);
  for (int level = 0; level < 4; ++level) {
    for (size_t i = 0; i < copy.Level(level).size(); ++i) {
      const TChromosome* a = copy.Level(level)[i];
      const TChromosome* b = spare.Level(level)[i];
      EXPECT_EQ(a->Genes, b->Genes) << level << " " << i;
      EXPECT_EQ(a->Changed, b->Changed) << level << " " << i;
    }
  }
  for (size_t i = 0; i < units.size(); ++i)
    EXPECT_EQ(static_cast<TMotorUnitGeneticControl*>(units[i])->Samples,
              static_cast<TMotorUnitGeneticControl*>(copy.Level(0)[i])->Samples);
  EXPECT_EQ(static_cast<TMotorUnitGeneticControl*>(units[2])->Samples, samples);
  for (size_t m = 0; m < 2; ++m) {
    const auto* a = static_cast<TMuscleGeneticControl*>(copy.Level(1)[m]);
    const auto* b = static_cast<TMuscleGeneticControl*>(spare.Level(1)[m]);
    EXPECT_EQ(a->SummedFrom, b->SummedFrom);
    EXPECT_EQ(a->Cache().Samples, b->Cache().Samples);
    EXPECT_EQ(a->Cache().Count, b->Cache().Count);
    EXPECT_EQ(a->Cache().StartTime, b->Cache().StartTime);
    EXPECT_EQ(a->Cache().EndTime, b->Cache().EndTime);
    EXPECT_EQ(a->Cache().TimeStep, b->Cache().TimeStep);
    EXPECT_EQ(a->Cache().Offset, b->Cache().Offset);
  }
  EXPECT_EQ(spareBiceps->Cache().Samples, (std::vector<long double>{1, 2, 3}));

  // A tree of another shape (a unit more) or over other models is refused.
  testing::AddUnit(*model.Triceps, 2, {50});
  auto larger = model.Template();
  EXPECT_FALSE(spare.AssignInPlace(*larger));
  TGaModel otherModel;
  auto foreign = otherModel.Template();
  TIndividual spare2(nullptr, 2, 3);
  source->AssignTo(&spare2);
  EXPECT_FALSE(spare2.AssignInPlace(*foreign));
  TIndividual empty(nullptr, 2, 3);
  EXPECT_FALSE(empty.AssignInPlace(*source));
}

TEST(IndividualTest, ChromosomesAboveTheLevelDepthAreOwnedButNotListed) {
  TGaModel model;
  TIndividual partial(nullptr, 0, 2);
  partial.Root = model.BuildTree();
  partial.RegisterLevels();
  EXPECT_EQ(partial.LevelCount(), 3);
  EXPECT_EQ(partial.Level(2).size(), 1u);
  EXPECT_EQ(partial.Level(0).size(), 4u);

  TIndividual copy(nullptr, 0, 3);
  partial.AssignTo(&copy);
  EXPECT_EQ(copy.LevelDepth(), 2);
  ASSERT_EQ(copy.Level(2).size(), 1u);
  EXPECT_EQ(copy.Root, copy.Level(2)[0]);  // the motor center; the movement center is unlisted
  EXPECT_EQ(copy.Root->Level, 2);

  // Setting the depth frees the tree (the leak checker sees the unlisted root freed too).
  copy.SetLevelDepth(3);
  EXPECT_EQ(copy.Root, nullptr);
  EXPECT_TRUE(copy.Level(0).empty());
}

}  // namespace
}  // namespace sarvanta
