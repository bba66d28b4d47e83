// sarvanta-cli force PROJECT.svt --muscle M [--unit U] --from T0 --to T1 --step S: the force
// of a muscle (or of one of its motor units) on a time grid, as a tab-separated table.
#include "Command.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "task/FileKind.h"

#include <cmath>
#include <iostream>
#include <memory>
#include <string>

namespace sarvanta::cli {
namespace {

// More rows than anybody reads; keeps a typing slip from running for hours.
constexpr int64_t MaxRows = 10'000'000;

struct TForceOptions {
  std::string Project;
  std::string Muscle;
  std::string Unit;
  std::string From;
  std::string To;
  std::string Step;
};

TMuscle& FindMuscle(const TMechanicalSystem& system, const std::string& name) {
  int index = name.empty() ? -1 : system.Muscles.IndexOf(name);
  if (index < 1) throw Exception("No muscle named \"" + name + "\"");
  return *system.Muscle(index);
}

TMotorUnit& FindUnit(const TMuscle& muscle, const std::string& name) {
  int index = name.empty() ? -1 : muscle.MotorUnits.IndexOf(name);
  if (index < 0)
    throw Exception("No motor unit named \"" + name + "\" in muscle \"" + muscle.Descr + "\"");
  return *muscle.MotorUnit(index);
}

// The number of grid steps: round((to - from) / step), checked.
int64_t GridSteps(long double from, long double to, long double step) {
  if (!std::isfinite(from) || !std::isfinite(to) || !std::isfinite(step))
    throw Exception("The times must be finite numbers");
  if (step <= 0) throw Exception("The step must be greater than 0");
  if (to < from) throw Exception("The end time must not be before the start time");
  long double steps = (to - from) / step;
  if (!(steps < MaxRows)) throw Exception("Too many rows (more than 10000000)");
  return RoundHalfEven(steps);
}

void PrintForces(const TForceOptions& options) {
  const long double from = StrToFloat(options.From);
  const long double to = StrToFloat(options.To);
  const long double step = StrToFloat(options.Step);
  const int64_t steps = GridSteps(from, to, step);

  RequireProjectFile(options.Project, "force");
  TMechanicalSystem system;
  LoadSystemFromFile(system, options.Project);
  const TMuscle& muscle = FindMuscle(system, options.Muscle);
  const TMotorUnit* unit = options.Unit.empty() ? nullptr : &FindUnit(muscle, options.Unit);

  std::cout << "t (ms)\t" << (unit ? unit->Descr : muscle.Descr) << " (N)\n";
  for (int64_t i = 0; i <= steps; ++i) {
    const long double t = from + static_cast<long double>(i) * step;
    const long double force = unit ? unit->Force(t) : muscle.Force(t);
    std::cout << FloatToStrDigits(t, 21) << '\t' << FloatToStrDigits(force, 21) << '\n';
  }
}

const TCommandRegistrar registrar([](CLI::App& app) {
  auto* command =
      app.add_subcommand("force", "Force of a muscle or of one of its motor units on a time grid");
  auto options = std::make_shared<TForceOptions>();
  command->add_option("PROJECT", options->Project, "Project file (.svt)")->required();
  command->add_option("--muscle", options->Muscle, "Muscle name")->required();
  command->add_option("--unit", options->Unit, "Motor unit name within the muscle");
  command->add_option("--from", options->From, "Start time T0 (ms)")->required();
  command->add_option("--to", options->To, "End time T1 (ms)")->required();
  command->add_option("--step", options->Step, "Time step S (ms)")->required();
  command->callback([options] { PrintForces(*options); });
});

}  // namespace
}  // namespace sarvanta::cli
