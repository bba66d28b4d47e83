#include "ga/GaClasses.h"

#include "ga/GeneticOperation.h"
#include "model/Stream.h"
#include "model/TimeFrame.h"

namespace sarvanta {

void RegisterGaClasses() {
  // The level is read from the file after creation; 0 until then.
  RegisterClass("TMutationOperation",
                [](TComponent* owner) { return new TMutationOperation(owner, 0); });
  RegisterClass("TCrossoverOperation",
                [](TComponent* owner) { return new TCrossoverOperation(owner, 0); });
  RegisterClass("TCommonMutationOperation",
                [](TComponent* owner) { return new TCommonMutationOperation(owner, 0); });
  RegisterClass("TTimeFrame", [](TComponent* owner) { return new TTimeFrame(owner); });
}

}  // namespace sarvanta
