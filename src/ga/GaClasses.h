// Registers the stream classes of the genetic module (the operations and the time frame)
// with the component stream's class registry. Safe to call any number of times.
#pragma once

namespace sarvanta {

void RegisterGaClasses();

}  // namespace sarvanta
