// sarvanta-cli trains PROJECT.svt [--muscle M]: the impulse trains of a project, one row per
// impulse (muscle, unit, time), the format of a run's trains.tsv.
#include "Command.h"

#include "model/MechanicalSystem.h"
#include "model/ProjectFile.h"
#include "task/FileKind.h"
#include "task/RunTables.h"

#include <iostream>
#include <memory>
#include <string>

namespace sarvanta::cli {
namespace {

struct TTrainsOptions {
  std::string Project;
  std::string Muscle;
};

const TCommandRegistrar registrar([](CLI::App& app) {
  auto* command = app.add_subcommand("trains", "Impulse trains of a project, one row per impulse");
  auto options = std::make_shared<TTrainsOptions>();
  command->add_option("PROJECT", options->Project, "Project file (.svt)")->required();
  command->add_option("--muscle", options->Muscle, "Only this muscle's trains");
  command->callback([options] {
    RequireProjectFile(options->Project, "trains");
    TMechanicalSystem system;
    LoadSystemFromFile(system, options->Project);
    std::cout << TrainsTable(system, options->Muscle);
  });
});

}  // namespace
}  // namespace sarvanta::cli
