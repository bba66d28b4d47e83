// sarvanta-cli check PROJECT.svt [TASK.hga]: what is physically or logically wrong in a model
// (and in a task over it) that loads nonetheless. One line per finding on standard output;
// exit 0 when there is none, 1 with findings.
#include "Command.h"

#include "ga/GeneticAlgorithm.h"
#include "ga/TaskFile.h"
#include "model/MechanicalSystem.h"
#include "model/ProjectFile.h"
#include "task/FileKind.h"
#include "task/ModelCheck.h"

#include <iostream>
#include <memory>
#include <string>

namespace sarvanta::cli {
namespace {

struct TCheckOptions {
  std::string Project;
  std::string Task;
};

void Check(const TCheckOptions& options) {
  RequireProjectFile(options.Project, "check");
  TMechanicalSystem system;
  LoadSystemFromFile(system, options.Project);
  std::vector<std::string> findings = CheckSystem(system);
  if (!options.Task.empty()) {
    RequireTaskFile(options.Task, "check");
    RegisterTaskClasses();
    TGeneticAlgorithm algorithm;
    LoadTaskFromFile(algorithm, options.Task);
    algorithm.RenameLists();
    const std::vector<std::string> task = CheckTask(algorithm, system);
    findings.insert(findings.end(), task.begin(), task.end());
  }
  for (const std::string& finding : findings)
    std::cout << "warning: " << Printable(finding) << '\n';
  if (findings.empty()) {
    std::cout << "No problems found\n";
    return;
  }
  std::cerr << findings.size() << (findings.size() == 1 ? " warning\n" : " warnings\n");
  throw TExitStatus{1};
}

const TCommandRegistrar registrar([](CLI::App& app) {
  auto* command =
      app.add_subcommand("check", "What is physically or logically wrong in a project and task");
  auto options = std::make_shared<TCheckOptions>();
  command->add_option("PROJECT", options->Project, "Project file (.svt)")->required();
  command->add_option("TASK", options->Task, "Task file (.hga) over the project");
  command->callback([options] { Check(*options); });
});

}  // namespace
}  // namespace sarvanta::cli
