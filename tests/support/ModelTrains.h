// Every motor unit's train of a system, muscle by muscle in list order: what tests compare to
// see which solution the model holds.
#pragma once

#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"

#include <vector>

namespace sarvanta::test {

using TTrains = std::vector<std::vector<long double>>;

inline TTrains ModelTrains(const TMechanicalSystem& system) {
  TTrains trains;
  for (int m = 1; m < system.Muscles.Count(); ++m)
    for (int u = 0; u < system.Muscle(m)->MotorUnits.Count(); ++u)
      trains.push_back(system.Muscle(m)->MotorUnit(u)->ImpArray());
  return trains;
}

}  // namespace sarvanta::test
