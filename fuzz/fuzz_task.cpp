// Fuzz target of task files: whatever the bytes, loading never crashes, hangs or allocates
// without bound; a task that loads writes bytes that load and write back identically.
#include "base/Exception.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/TaskFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sarvanta::TGeneticAlgorithm algorithm;
  try {
    sarvanta::LoadTaskFromBytes(algorithm, bytes);
  } catch (const sarvanta::Exception&) {
    return 0;
  }
  const std::string saved = sarvanta::SaveTaskToBytes(algorithm);
  sarvanta::TGeneticAlgorithm again;
  try {
    sarvanta::LoadTaskFromBytes(again, saved);
  } catch (const sarvanta::Exception&) {
    std::abort();  // what the program wrote must load
  }
  if (sarvanta::SaveTaskToBytes(again) != saved) std::abort();
  return 0;
}
