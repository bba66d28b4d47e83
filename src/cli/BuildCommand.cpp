// sarvanta-cli build FILE.json -o FILE.svt|FILE.hga: the file described by dump's JSON.
#include "Command.h"

#include "base/Exception.h"
#include "ga/TaskFile.h"
#include "model/ModelClasses.h"
#include "model/ProjectFile.h"
#include "model/StreamJson.h"

#include <memory>
#include <string>

namespace sarvanta::cli {
namespace {

struct TBuildOptions {
  std::string Input;
  std::string Output;
};

const TCommandRegistrar registrar([](CLI::App& app) {
  auto* command = app.add_subcommand("build", "Turn dump's JSON back into the identical file");
  auto options = std::make_shared<TBuildOptions>();
  command->add_option("FILE", options->Input, "JSON file written by dump")->required();
  command->add_option("-o,--output", options->Output, "Project or task file to write")->required();
  command->callback([options] {
    RefuseToReplaceInput(options->Output, options->Input);
    RequireWritableFolder(options->Output);
    const std::string json = ReadFileBytes(options->Input);
    std::string bytes;
    try {
      RegisterModelClasses();
      RegisterTaskClasses();
      bytes = JsonToCheckedStream(json);
    } catch (const Exception& e) {
      throw Exception("Cannot build from \"" + options->Input + "\": " + e.what());
    }
    WriteFileAtomically(options->Output, bytes);
  });
});

}  // namespace
}  // namespace sarvanta::cli
