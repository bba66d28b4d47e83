// sarvanta-cli dump FILE: lossless JSON of a project or task file on standard output.
#include "Command.h"

#include "base/Exception.h"
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
  command->callback([path] {
    const std::string bytes = ReadFileBytes(*path);
    std::string json;
    try {
      json = StreamToJson(bytes);
    } catch (const Exception& e) {
      throw Exception("Cannot read \"" + *path + "\": " + e.what());
    }
    std::cout << json;
  });
});

}  // namespace
}  // namespace sarvanta::cli
