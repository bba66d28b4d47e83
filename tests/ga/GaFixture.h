// A small model for the genetic tests: two muscles of two motor units each, a time frame
// 0 .. 100 ms with a control extension of 10 ms, and the chromosome tree built over them.
#pragma once

#include "base/Random.h"
#include "ga/GeneticControl.h"
#include "ga/Individual.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/TimeFrame.h"

#include <memory>
#include <vector>

namespace sarvanta::testing {

inline TMotorUnit* AddUnit(TMuscle& muscle, long double tref, std::vector<long double> times) {
  auto* unit = new TMotorUnit(nullptr, "MU", 0.5L, 100, 1, 1, 10, tref, 20, 100, 0);
  muscle.AddMotorUnit(unit);
  unit->SetImpArray(times);
  return unit;
}

struct TGaModel {
  TMechanicalSystem System;
  TTimeFrame Frame;
  TMuscle* Biceps;
  TMuscle* Triceps;

  TGaModel() {
    Frame.SetFrame(false, false, 0, 100, 1, 1, 10, 50);
    Biceps = new TMuscle(&System, "Biceps");
    Triceps = new TMuscle(&System, "Triceps");
    AddUnit(*Biceps, 2, {5, 20, 40});
    AddUnit(*Biceps, 2, {});
    AddUnit(*Triceps, 2, {10, 30});
    AddUnit(*Triceps, 2, {15, 60, 90});
  }

  // Movement center > motor center > one muscle control per muscle > one motor-unit control
  // per motor unit, as the algorithm builds it.
  TChromosome* BuildTree() {
    auto* root = new TMovementCenterGeneticControl(nullptr, &Frame, &System);
    auto* center = new TMotorCenterGeneticControl(root, &Frame, &System);
    for (int m = 1; m < System.Muscles.Count(); ++m) {
      TMuscle* muscle = System.Muscle(m);
      auto* control = new TMuscleGeneticControl(center, &Frame, muscle);
      for (int u = 0; u < muscle->MotorUnits.Count(); ++u) {
        new TMotorUnitGeneticControl(control, &Frame, muscle->MotorUnit(u));
      }
    }
    return root;
  }

  std::unique_ptr<TIndividual> Template() {
    auto individual = std::make_unique<TIndividual>(nullptr, 2, 3);
    individual->Root = BuildTree();
    individual->RegisterLevels();
    return individual;
  }
};

// A generator with the shared generator's present state, to predict its next draws.
inline TRandom Probe() {
  TRandom probe;
  probe.State = TRandom::Shared().State;
  return probe;
}

}  // namespace sarvanta::testing
