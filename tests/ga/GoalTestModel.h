// A small model for the goal, derived-function and algorithm tests: two bones, muscles whose
// single motor unit peaks at a known force at t = 10 ms, a time frame and a root chromosome.
#pragma once

#include "ga/GeneticControl.h"
#include "model/Bone.h"
#include "model/Cache.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/Polynomial.h"
#include "model/TimeFrame.h"

#include <memory>
#include <vector>

namespace sarvanta::test {

// The time at which the test units' twitch peaks.
inline constexpr long double kPeakTime = 10;

struct TTestModel {
  TMechanicalSystem System;
  TTimeFrame Frame;
  TBone* Upper;
  TBone* Lower;  // mass 2, length 0.5, InertM 3
  std::unique_ptr<TMovementCenterGeneticControl> Root;
  std::vector<std::unique_ptr<TCache>> Caches;

  TTestModel() {
    Upper = new TBone(&System, "Upper", 0.3L, 1);
    Lower = new TBone(&System, "Lower", 0.5L, 2, 3);
    Frame.SetFrame(false, false, 0, 10, 1, 1, 0, 10);  // k = 10 points of 1 ms
    Root = std::make_unique<TMovementCenterGeneticControl>(nullptr, &Frame, &System);
  }

  // A muscle from `from` to `to` with one motor unit whose force at kPeakTime is `peak`.
  TMuscle* AddMuscle(TBone* from, TBone* to, long double peak) {
    auto* muscle = new TMuscle(&System, "M" + std::to_string(System.Muscles.Count()));
    muscle->FromBone = from;
    muscle->ToBone = to;
    auto* unit = new TMotorUnit(muscle, "U", 0, 100, 1, peak, kPeakTime, 1, 20, 0, 0);
    muscle->AddMotorUnit(unit);
    const long double impulse = 0;
    unit->SetImpArray({&impulse, 1});
    return muscle;
  }

  // Installs a cache with the given samples as the muscle's cache.
  void SetSamples(TMuscle* muscle, std::vector<long double> samples) {
    Caches.push_back(std::make_unique<TCache>(nullptr, &Frame));
    Caches.back()->SetValues(std::move(samples));
    muscle->Cache = Caches.back().get();
  }
};

}  // namespace sarvanta::test
