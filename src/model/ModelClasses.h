// Registers the model classes with the stream's class registry, so files can create them by
// their stored names.
#pragma once

namespace sarvanta {

// Registers TMechanicalSystem, TBone, TJoint, TMuscle, TPolynomial and TMotorUnit. Calling it
// again does nothing.
void RegisterModelClasses();

}  // namespace sarvanta
