// sarvanta-cli build FILE.json -o FILE.svt|FILE.hga: the file described by dump's JSON.
#include "Command.h"

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
    std::string bytes = JsonToStream(ReadFileBytes(options->Input));
    WriteFileAtomically(options->Output, bytes);
  });
});

}  // namespace
}  // namespace sarvanta::cli
