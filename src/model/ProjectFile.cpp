// Loading and saving whole mechanical systems.
#include "model/ProjectFile.h"

#include "base/Exception.h"
#include "model/MechanicalSystem.h"
#include "model/ModelClasses.h"
#include "model/Stream.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace sarvanta {

namespace {

std::string Reason() { return std::strerror(errno); }

// A name beside the target that no other save uses at the same time.
std::string TemporaryNameFor(const std::string& path) {
  static std::mt19937_64 numbers{std::random_device{}()};
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(numbers()));
  return path + suffix;
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw EFileError("Cannot open file \"" + path + "\": " + Reason());
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) throw EFileError("Cannot read file \"" + path + "\": " + Reason());
  return bytes;
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
  const std::string temporary = TemporaryNameFor(path);
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) throw EFileError("Cannot create file \"" + temporary + "\": " + Reason());
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  written = std::fflush(file) == 0 && written;
  std::string reason = written ? "" : Reason();
  if (std::fclose(file) != 0 && written) {
    written = false;
    reason = Reason();
  }
  if (!written) {
    std::remove(temporary.c_str());
    throw EFileError("Cannot write file \"" + path + "\": " + reason);
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    reason = Reason();
    std::remove(temporary.c_str());
    throw EFileError("Cannot replace file \"" + path + "\": " + reason);
  }
}

void LoadSystemFromBytes(TMechanicalSystem& system, const std::string& bytes) {
  RegisterModelClasses();
  system.Clear();
  TReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  try {
    reader.ReadSignature();
    reader.ReadComponent(system);
  } catch (...) {
    // Whatever was read stays, with lists and references that match it.
    system.UpdateLists();
    system.UpdateObjectReferences();
    throw;
  }
  system.UpdateLists();
  system.UpdateObjectReferences();
}

std::string SaveSystemToBytes(TMechanicalSystem& system) {
  system.UpdateIndexReferences();
  std::string bytes;
  TWriter writer(bytes);
  writer.WriteSignature();
  writer.WriteComponent(system);
  return bytes;
}

void LoadSystemFromFile(TMechanicalSystem& system, const std::string& path) {
  std::string bytes = ReadFileBytes(path);
  try {
    LoadSystemFromBytes(system, bytes);
  } catch (const EReadError& e) {
    throw EReadError("Cannot read \"" + path + "\": " + e.what());
  }
}

void SaveSystemToFile(TMechanicalSystem& system, const std::string& path) {
  WriteFileAtomically(path, SaveSystemToBytes(system));
}

}  // namespace sarvanta
