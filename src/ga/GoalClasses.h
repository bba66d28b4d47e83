// Registers every goal class with the component stream's class registry by its class name.
// Safe to call any number of times.
#pragma once

namespace sarvanta {

void RegisterGoalClasses();

}  // namespace sarvanta
