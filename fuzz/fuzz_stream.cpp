// Fuzz target of the component stream: the project reader, the JSON dump and the JSON build.
// Whatever the bytes, nothing may crash, hang or allocate without bound; a stream that dumps
// must build back to the same bytes.
#include "base/Exception.h"
#include "model/MechanicalSystem.h"
#include "model/ProjectFile.h"
#include "model/StreamJson.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  sarvanta::TMechanicalSystem system;
  try {
    sarvanta::LoadSystemFromBytes(system, bytes);
    // What loads saves again without failing.
    sarvanta::SaveSystemToBytes(system);
  } catch (const sarvanta::EReadError&) {
  }

  try {
    const std::string json = sarvanta::StreamToJson(bytes);
    if (sarvanta::JsonToStream(json) != bytes) std::abort();
  } catch (const sarvanta::EReadError&) {
  }

  try {
    sarvanta::JsonToStream(bytes);
  } catch (const sarvanta::Exception&) {
  }
  return 0;
}
