// The gene operators on known trains with a fixed generator state. The control window of the
// test frame is -10 .. 110 ms (length 120).
#include "ga/GeneticOperation.h"

#include "GaFixture.h"
#include "ga/TrainOperations.h"
#include "ga/UnitSamples.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace sarvanta {
namespace {

using testing::AddUnit;
using testing::Probe;
using testing::TGaModel;

constexpr int32_t kShiftLeft = OpCode::ShiftImpulseLeft;

struct TOperatorTest : ::testing::Test {
  TTimeFrame Frame;
  TOperatorTest() { Frame.SetFrame(false, false, 0, 100, 1, 1, 10, 50); }

  long double InWindow(long double r) const { return r * 120 - 10; }

  // A muscle control over no model with one motor-unit control per train.
  std::unique_ptr<TMuscleGeneticControl> Muscle(const std::vector<TGenes>& trains,
                                                TComponent* owner = nullptr) {
    auto muscle = std::make_unique<TMuscleGeneticControl>(owner, &Frame, nullptr);
    for (const TGenes& train : trains) {
      auto* unit = new TMotorUnitGeneticControl(muscle.get(), &Frame, nullptr);
      unit->Genes = train;
    }
    return muscle;
  }

  static std::vector<TGenes> Trains(const TChromosome& muscle) {
    std::vector<TGenes> trains;
    for (int i = 0; i < muscle.ChildCount(); ++i) trains.push_back(muscle.Child(i)->Genes);
    return trains;
  }
};

TEST_F(TOperatorTest, AddImpulseRedrawsTheLastEntries) {
  TMotorUnitGeneticControl unit(nullptr, &Frame, nullptr);
  TRandom::Shared().State = 1000;
  TRandom probe = Probe();
  unit.Genes = {5, 20, 40};
  unit.Mutate(OpCode::AddImpulse, 1, 0);
  EXPECT_EQ(unit.Genes, (TGenes{5, 20, InWindow(probe.Real())}));

  unit.Genes = {5, 20, 40};
  unit.Mutate(OpCode::AddImpulse, 2, 0);
  const long double last = InWindow(probe.Real());  // drawn first
  const long double before = InWindow(probe.Real());
  EXPECT_EQ(unit.Genes, (TGenes{5, 20, before, last}));

  unit.Genes = {};
  unit.Mutate(OpCode::AddImpulse, 1, 0);
  ASSERT_EQ(unit.Genes.size(), 1u);
  EXPECT_GE(unit.Genes[0], -10.0L);
  EXPECT_LT(unit.Genes[0], 110.0L);

  unit.Genes = {5, 20, 40};
  unit.Mutate(OpCode::AddImpulse, 0, 0);
  EXPECT_EQ(unit.Genes, (TGenes{5, 20}));
}

TEST_F(TOperatorTest, ShiftImpulseMovesOneDrawnImpulse) {
  TMotorUnitGeneticControl unit(nullptr, &Frame, nullptr);
  unit.Genes = {5, 20, 40};
  TRandom::Shared().State = 1000;
  TRandom probe = Probe();
  const uint32_t k = probe.Below(3);  // the position is drawn before the amount
  const long double amount = probe.Real() * 4;
  unit.Mutate(kShiftLeft, 1, 4);
  TGenes expected{5, 20, 40};
  expected[k] -= amount;
  EXPECT_EQ(unit.Genes, expected);
  EXPECT_GT(amount, 0.0L);

  unit.Genes = {5, 20, 40};
  TRandom::Shared().State = 1000;
  unit.Mutate(OpCode::ShiftImpulseRight, 1, 4);
  expected[k] += 2 * amount;
  EXPECT_EQ(unit.Genes, expected);

  unit.Genes = {};
  unit.Mutate(kShiftLeft, 3, 4);
  EXPECT_TRUE(unit.Genes.empty());
}

TEST_F(TOperatorTest, RemoveImpulseNeverMarksImpulsesBeforeTheWindow) {
  TMotorUnitGeneticControl unit(nullptr, &Frame, nullptr);
  unit.Genes = {5, 20, 40};
  unit.Mutate(OpCode::RemoveImpulse, 3, 0);
  EXPECT_TRUE(unit.Genes.empty());

  TRandom::Shared().State = 1010;
  ASSERT_EQ(Probe().Below(3), 2u);
  unit.Genes = {-20, -10, 50};
  unit.Mutate(OpCode::RemoveImpulse, 1, 0);
  EXPECT_EQ(unit.Genes, (TGenes{-20, -10}));  // the first entry stays whatever its value

  TRandom::Shared().State = 1020;
  ASSERT_EQ(Probe().Below(3), 0u);
  unit.Genes = {-20, -10, 50};
  unit.Mutate(OpCode::RemoveImpulse, 1, 0);
  EXPECT_EQ(unit.Genes, (TGenes{-20, -10, 50}));

  unit.Genes = {30};
  unit.Mutate(OpCode::RemoveImpulse, 0, 0);
  EXPECT_EQ(unit.Genes, (TGenes{30}));
}

TEST_F(TOperatorTest, MotorUnitCrossoversGiveComplementaryChildren) {
  const TGenes first{5, 20, 40, 80};
  const TGenes second{10, 30, 60, 90};
  TMotorUnitGeneticControl p1(nullptr, &Frame, nullptr), p2(nullptr, &Frame, nullptr);
  TMotorUnitGeneticControl c1(nullptr, &Frame, nullptr), c2(nullptr, &Frame, nullptr);
  p1.Genes = first;
  p2.Genes = second;
  c1.Changed = c2.Changed = false;

  TRandom::Shared().State = 1002;  // crossing time 43.1 ms
  ASSERT_NEAR(static_cast<double>(InWindow(Probe().Real())), 43.1, 0.1);
  c1.Crossover(OpCode::MotorUnitOnePoint, 1, &p1, &p2, &c1, &c2);
  EXPECT_EQ(c1.Genes, (TGenes{5, 20, 40, 60, 90}));
  EXPECT_EQ(c2.Genes, (TGenes{10, 30, 80}));
  EXPECT_TRUE(c1.Changed);
  EXPECT_TRUE(c2.Changed);

  TRandom::Shared().State = 1073;  // crossing times 21.9 and 70.5 ms
  c1.Crossover(OpCode::MotorUnitMultiPoint, 2, &p1, &p2, &c1, &c2);
  EXPECT_EQ(c1.Genes, (TGenes{5, 20, 30, 60, 80}));
  EXPECT_EQ(c2.Genes, (TGenes{10, 40, 90}));

  // Without crossing times the children are their parents; unsorted parents give sorted
  // children.
  p1.Genes = {40, 5};
  c1.Crossover(OpCode::MotorUnitMultiPoint, 0, &p1, &p2, &c1, &c2);
  EXPECT_EQ(c1.Genes, (TGenes{5, 40}));
  EXPECT_EQ(c2.Genes, second);
}

TEST_F(TOperatorTest, MotorUnitCommonMutations) {
  TGaModel model;  // motor units with a refractory period of 2 ms, for the searches
  auto individual = model.Template();
  auto* s = static_cast<TMotorUnitGeneticControl*>(individual->Level(0)[0]);
  auto* o = static_cast<TMotorUnitGeneticControl*>(individual->Level(0)[2]);
  TTimeFrame& frame = model.Frame;
  frame.SetFrame(false, false, 0, 100, 1, 1, 10, 50);

  // A sub-window of range 1 is the whole control window.
  TRandom::Shared().State = 1000;
  const TSubWindow whole = DrawSubWindow(frame, 1);
  EXPECT_EQ(whole.Start, -10.0L);
  EXPECT_EQ(whole.Width, 120.0L);

  // Inverse: one impulse leaves s, and o's last entry is drawn anew in the sub-window.
  s->Genes = {5, 20, 40};
  o->Genes = {50};
  TRandom::Shared().State = 1000;
  TRandom probe = Probe();
  probe.Real();
  const uint32_t k = probe.Below(3);
  const long double added = -10 + probe.Real() * 120;
  s->CommonMutate(OpCode::MotorUnitInverse, 1, 1, o);
  TGenes left{5, 20, 40};
  left.erase(left.begin() + k);
  EXPECT_EQ(s->Genes, left);
  EXPECT_EQ(o->Genes, (TGenes{added}));

  // Nothing removed from s: the partner keeps its train.
  s->Genes = {5};
  o->Genes = {50, 60};
  s->CommonMutate(OpCode::MotorUnitInverse, 1, 1, o);
  EXPECT_EQ(s->Genes, (TGenes{5}));
  EXPECT_EQ(o->Genes, (TGenes{50, 60}));

  // Synchronic, adding branch: both trains get their last entry redrawn in the sub-window.
  s->Genes = {5, 20, 40};
  o->Genes = {50, 60};
  TRandom::Shared().State = 1002;
  s->CommonMutate(OpCode::MotorUnitSynchronic, 1, 1, o);
  ASSERT_EQ(s->Genes.size(), 3u);
  ASSERT_EQ(o->Genes.size(), 2u);
  EXPECT_EQ(s->Genes[1], 20.0L);
  EXPECT_NE(s->Genes[2], 40.0L);
  EXPECT_NE(o->Genes[1], 60.0L);

  // Synchronic, removing branch: as many impulses leave both trains.
  s->Genes = {5, 20, 40};
  o->Genes = {50, 60, 70, 80};
  TRandom::Shared().State = 1000;
  s->CommonMutate(OpCode::MotorUnitSynchronic, 1, 1, o);
  EXPECT_EQ(s->Genes.size(), 2u);
  EXPECT_EQ(o->Genes.size(), 3u);
  EXPECT_TRUE(individual->Root->Changed);
}

TEST_F(TOperatorTest, ChangeMUActivationMovesTowardTheTarget) {
  TMuscle muscleModel(nullptr, "M");
  TMotorUnit* unitModel = AddUnit(muscleModel, 2, {});  // at most 60 impulses in 120 ms
  auto make = [&](TGenes train) {
    auto muscle = std::make_unique<TMuscleGeneticControl>(nullptr, &Frame, &muscleModel);
    (new TMotorUnitGeneticControl(muscle.get(), &Frame, unitModel))->Genes = std::move(train);
    return muscle;
  };
  // Range 0 on one impulse: current 0, target 0, the train is emptied.
  auto muscle = make({30});
  muscle->Mutate(OpCode::ChangeMUActivation, 1, 0);
  EXPECT_TRUE(muscle->Child(0)->Genes.empty());

  // Already target + 1 entries: emptied too.
  muscle = make({10, 20, 30});
  muscle->Mutate(OpCode::ChangeMUActivation, 1, 2.0L / 60);
  EXPECT_TRUE(muscle->Child(0)->Genes.empty());

  // Below the target: lengthened with draws in the window.
  muscle = make({10, 20, 30});
  muscle->Mutate(OpCode::ChangeMUActivation, 1, 5.0L / 60);
  ASSERT_EQ(muscle->Child(0)->Genes.size(), 5u);
  EXPECT_EQ(muscle->Child(0)->Genes[1], 20.0L);

  // Above the target: random impulses after the first are removed.
  TRandom::Shared().State = 1000;
  muscle = make({10, 20, 30, 40, 50});
  muscle->Mutate(OpCode::ChangeMUActivation, 1, 2.0L / 60);
  EXPECT_EQ(muscle->Child(0)->Genes, (TGenes{10, 30, 50}));
}

TEST_F(TOperatorTest, EmptyingATrainEndsChangeMUActivation) {
  TGaModel model;
  auto individual = model.Template();
  TChromosome* biceps = individual->Level(1)[0];
  biceps->Child(0)->Genes = {10, 20, 30};
  biceps->Child(1)->Genes = {10, 20, 30};
  TRandom::Shared().State = 1000;
  TRandom probe = Probe();
  const uint32_t picked = probe.Below(2);
  biceps->Mutate(OpCode::ChangeMUActivation, 5, 0);
  EXPECT_TRUE(biceps->Child(static_cast<int>(picked))->Genes.empty());
  EXPECT_EQ(biceps->Child(1 - static_cast<int>(picked))->Genes, (TGenes{10, 20, 30}));
  EXPECT_EQ(TRandom::Shared().State, probe.State);  // the other repetitions drew nothing
}

TEST_F(TOperatorTest, ShiftMUActivationKeepsTimesInsideTheControlWindow) {
  auto muscle = Muscle({{-5, 20, 105}, {}});
  TRandom::Shared().State = 1008;
  const long double shift = Probe().Real() * 10;  // 6.3 ms
  muscle->Mutate(OpCode::ShiftMUActivationLeft, 1, 10);
  EXPECT_EQ(Trains(*muscle), (std::vector<TGenes>{{20 - shift, 105 - shift}, {}}));

  muscle = Muscle({{-5, 20, 105}});
  TRandom::Shared().State = 1008;
  muscle->Mutate(OpCode::ShiftMUActivationRight, 1, 10);
  EXPECT_EQ(Trains(*muscle), (std::vector<TGenes>{{-5 + shift, 20 + shift}}));
}

TEST_F(TOperatorTest, MuscleCrossoversSwapWholeTrains) {
  const std::vector<TGenes> a{{1, 2}, {3}, {4, 5, 6}};
  const std::vector<TGenes> b{{11}, {12, 13}, {}};
  auto p1 = Muscle(a), p2 = Muscle(b), c1 = Muscle(a), c2 = Muscle(b);
  // Each parent's unit holds the samples of its train; the children start as the parents'
  // copies.
  const auto samplesOf = [](const TChromosome& muscle, int i) {
    return static_cast<const TMotorUnitGeneticControl*>(muscle.Child(i))->Samples;
  };
  for (int i = 0; i < 3; ++i) {
    for (auto* pair : {&p1, &p2}) {
      auto samples = std::make_shared<TUnitSamples>();
      static_cast<TMotorUnitGeneticControl*>((*pair)->Child(i))->Samples = samples;
      auto& child = pair == &p1 ? c1 : c2;
      static_cast<TMotorUnitGeneticControl*>(child->Child(i))->Samples = samples;
    }
  }
  TRandom::Shared().State = 1000;
  ASSERT_EQ(Probe().Below(3), 1u);
  c1->Crossover(OpCode::MuscleOnePoint, 0, p1.get(), p2.get(), c1.get(), c2.get());
  EXPECT_EQ(Trains(*c1), (std::vector<TGenes>{a[0], b[1], b[2]}));
  EXPECT_EQ(Trains(*c2), (std::vector<TGenes>{b[0], a[1], a[2]}));
  // The samples went with the trains: no new samples are needed for them.
  EXPECT_EQ(samplesOf(*c1, 0), samplesOf(*p1, 0));
  EXPECT_EQ(samplesOf(*c1, 2), samplesOf(*p2, 2));
  EXPECT_EQ(samplesOf(*c2, 1), samplesOf(*p1, 1));
  EXPECT_EQ(samplesOf(*c2, 0), samplesOf(*p2, 0));

  // Cut positions 0, 0, 1, 2, 3 over four units: segments P1 | P2 | P1 | P2, later ones win.
  const std::vector<TGenes> a4{{1}, {2}, {3}, {4}};
  const std::vector<TGenes> b4{{11}, {12}, {13}, {14}};
  p1 = Muscle(a4), p2 = Muscle(b4), c1 = Muscle(a4), c2 = Muscle(b4);
  TRandom::Shared().State = 1000;
  c1->Crossover(OpCode::MuscleMultiPoint, 2, p1.get(), p2.get(), c1.get(), c2.get());
  EXPECT_EQ(Trains(*c1), (std::vector<TGenes>{b4[0], a4[1], b4[2], b4[3]}));
  EXPECT_EQ(Trains(*c2), (std::vector<TGenes>{a4[0], b4[1], a4[2], a4[3]}));

  // Parents with different unit counts change no train.
  p1 = Muscle(a), p2 = Muscle(b4), c1 = Muscle(a), c2 = Muscle(b4);
  c1->Crossover(OpCode::MuscleOnePoint, 0, p1.get(), p2.get(), c1.get(), c2.get());
  EXPECT_EQ(Trains(*c1), a);
  EXPECT_EQ(Trains(*c2), b4);
  EXPECT_TRUE(c1->Changed);
}

TEST_F(TOperatorTest, MuscleCommonMutations) {
  TGaModel model;
  auto individual = model.Template();
  TChromosome* s = individual->Level(1)[0];  // units [5 20 40], []
  TChromosome* o = individual->Level(1)[1];  // units [10 30], [15 60 90]
  model.Frame.SetFrame(false, false, 0, 100, 1, 1, 10, 50);

  // Inverse: every unit of s gets its last entry drawn in the sub-window (the empty one gets
  // one), and the non-empty units of o lose impulses inside it.
  s->CommonMutate(OpCode::MuscleInverse, 1, 1, o);
  EXPECT_EQ(s->Child(0)->Genes.size(), 3u);
  EXPECT_EQ(s->Child(1)->Genes.size(), 1u);
  EXPECT_EQ(o->Child(0)->Genes.size(), 1u);
  EXPECT_EQ(o->Child(1)->Genes.size(), 2u);

  // Synchronic, removing branch (state 1000 draws c = 1).
  s->Child(0)->Genes = {5, 20, 40};
  s->Child(1)->Genes = {};
  o->Child(0)->Genes = {10, 30};
  o->Child(1)->Genes = {15, 60, 90};
  TRandom::Shared().State = 1000;
  s->CommonMutate(OpCode::MuscleSynchronic, 1, 1, o);
  EXPECT_EQ(Trains(*s)[0].size(), 2u);
  EXPECT_TRUE(Trains(*s)[1].empty());
  EXPECT_EQ(Trains(*o)[0].size(), 1u);
  EXPECT_EQ(Trains(*o)[1].size(), 2u);

  // A muscle without units changes nothing.
  auto bare = Muscle({});
  bare->CommonMutate(OpCode::MuscleInverse, 1, 1, o);
  EXPECT_EQ(Trains(*o)[1].size(), 2u);
}

TEST_F(TOperatorTest, MotorCenterOperationsActOnWholeMuscles) {
  TGaModel model;
  auto first = model.Template();
  TIndividual second(nullptr, 0, 3);
  first->AssignTo(&second);
  for (TChromosome* c : second.Level(0)) c->Genes.push_back(95);
  TIndividual c1(nullptr, 0, 3), c2(nullptr, 0, 3);
  first->AssignTo(&c1);
  second.AssignTo(&c2);
  for (const TIndividual* i : {&c1, &c2}) {
    for (TChromosome* muscle : i->Level(1)) muscle->Changed = false;
  }

  // One point at muscle 0: each child takes the other parent's triceps only.
  TRandom::Shared().State = 1000;
  ASSERT_EQ(Probe().Below(2), 0u);
  c1.Level(2)[0]->Crossover(OpCode::MotorCenterOnePoint, 0, first->Level(2)[0], second.Level(2)[0],
                            c1.Level(2)[0], c2.Level(2)[0]);
  for (int unit = 0; unit < 4; ++unit) {
    EXPECT_EQ(c1.Level(0)[unit]->Genes, second.Level(0)[unit]->Genes) << unit;
    EXPECT_EQ(c2.Level(0)[unit]->Genes, first->Level(0)[unit]->Genes) << unit;
  }
  // A copied train brings its unit's samples along.
  static_cast<TMotorUnitGeneticControl*>(second.Level(0)[3])->Samples =
      std::make_shared<TUnitSamples>();
  first->AssignTo(&c1);
  TRandom::Shared().State = 1000;
  c1.Level(2)[0]->Crossover(OpCode::MotorCenterOnePoint, 0, first->Level(2)[0], second.Level(2)[0],
                            c1.Level(2)[0], c2.Level(2)[0]);
  EXPECT_EQ(static_cast<TMotorUnitGeneticControl*>(c1.Level(0)[3])->Samples,
            static_cast<TMotorUnitGeneticControl*>(second.Level(0)[3])->Samples);
  EXPECT_NE(static_cast<TMotorUnitGeneticControl*>(c1.Level(0)[3])->Samples, nullptr);
  EXPECT_TRUE(c1.Level(1)[0]->Changed);
  EXPECT_TRUE(c1.Level(1)[1]->Changed);

  TRandom::Shared().State = 1004;
  ASSERT_EQ(Probe().Below(2), 1u);
  first->AssignTo(&c1);
  second.AssignTo(&c2);
  for (TChromosome* muscle : c1.Level(1)) muscle->Changed = false;
  c1.Level(2)[0]->Crossover(OpCode::MotorCenterOnePoint, 0, first->Level(2)[0], second.Level(2)[0],
                            c1.Level(2)[0], c2.Level(2)[0]);
  EXPECT_EQ(c1.Level(0)[0]->Genes, first->Level(0)[0]->Genes);
  EXPECT_EQ(c1.Level(0)[3]->Genes, second.Level(0)[3]->Genes);
  EXPECT_FALSE(c1.Level(1)[0]->Changed);  // the biceps kept its trains and its cache
  EXPECT_TRUE(c1.Level(1)[1]->Changed);

  // Change muscle activity with range 0 empties every unit of the drawn muscle only.
  TRandom::Shared().State = 1000;
  c1.Level(2)[0]->Mutate(OpCode::ChangeMuscleActivity, 1, 0);
  EXPECT_TRUE(c1.Level(0)[0]->Genes.empty());
  EXPECT_TRUE(c1.Level(0)[1]->Genes.empty());
  EXPECT_EQ(c1.Level(0)[2]->Genes, (TGenes{10, 30, 95}));
  EXPECT_TRUE(c1.Level(1)[0]->Changed);
}

}  // namespace
}  // namespace sarvanta
