// sarvanta-cli dump FILE: lossless JSON of a project or task file on standard output.
#include "Command.h"

#include "model/ProjectFile.h"
#include "model/StreamJson.h"

#include <iostream>
#include <string>

namespace sarvanta::cli {
namespace {

const TCommandRegistrar registrar([](CLI::App& app) {
  auto* command =
      app.add_subcommand("dump", "Lossless JSON of a project (.svt) or task (.hga) file");
  auto path = std::make_shared<std::string>();
  command->add_option("FILE", *path, "Project or task file")->required();
  command->callback([path] { std::cout << StreamToJson(ReadFileBytes(*path)); });
});

}  // namespace
}  // namespace sarvanta::cli
