// The pictures compiled into the program (icons, start-up picture).
#pragma once

namespace sarvanta {

// Registers them; the windows that use them call it (safe to call more than once).
void InitResources();

}  // namespace sarvanta
