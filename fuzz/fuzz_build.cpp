// Fuzz target of build's JSON input: whatever the text, building never crashes, hangs or
// allocates without bound; JSON that builds gives bytes that dump shows and build turns back
// into the same bytes.
#include "base/Exception.h"
#include "ga/TaskFile.h"
#include "model/ModelClasses.h"
#include "model/StreamJson.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sarvanta::RegisterModelClasses();
  sarvanta::RegisterTaskClasses();
  const std::string json(reinterpret_cast<const char*>(data), size);
  std::string bytes;
  try {
    bytes = sarvanta::JsonToCheckedStream(json);
  } catch (const sarvanta::Exception&) {
    return 0;
  }
  try {
    if (sarvanta::JsonToStream(sarvanta::StreamToJson(bytes)) != bytes) std::abort();
  } catch (const sarvanta::Exception&) {
    std::abort();  // what build wrote must dump
  }
  return 0;
}
