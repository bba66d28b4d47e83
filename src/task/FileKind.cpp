#include "task/FileKind.h"

#include "base/Exception.h"
#include "model/ProjectFile.h"

namespace sarvanta {

namespace {

const char kProjectClass[] = "TMechanicalSystem";
const char kTaskClass[] = "TGeneticAlgorithm";

}  // namespace

std::string FileRootClass(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  // "TPF0", then the root's class name as a length byte and its characters.
  if (bytes.size() < 5 || bytes.compare(0, 4, "TPF0") != 0) return "";
  const size_t length = static_cast<unsigned char>(bytes[4]);
  if (bytes.size() < 5 + length) return "";
  return bytes.substr(5, length);
}

void RequireProjectFile(const std::string& path, const std::string& command) {
  if (FileRootClass(path) != kTaskClass) return;
  throw Exception("\"" + path + "\" is a task file (" + kTaskClass +
                  "), not a project: " + command +
                  " reads project files (.svt); task files are read by run --task, report, "
                  "check and dump");
}

void RequireTaskFile(const std::string& path, const std::string& command) {
  if (FileRootClass(path) != kProjectClass) return;
  throw Exception("\"" + path + "\" is a project file (" + kProjectClass +
                  "), not a task: " + command +
                  " reads task files (.hga); project files are read by info, force, trains, "
                  "check, run and dump");
}

}  // namespace sarvanta
