// sarvanta-cli run PROJECT.svt [--task TASK.hga] [--steps N] [--population N] [--seed S]
//   [--threads N] [--out DIR] [--overwrite] [--autosave-every N] [--autosave-as-new-files]
//   [--quiet] [--islands [--migrate-every K] [--migrants M]]:
// a whole motor task run without a window, its results written into one folder; with
// --islands, one island of an island run under an MPI launcher (docs/cluster.md).
#include "Command.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/RunLimits.h"
#include "ga/ThreadPool.h"
#include "task/ReportTemplate.h"
#include "task/TaskRun.h"
#ifdef SARVANTA_HAS_ISLANDS
#include "islands/IslandRun.h"
#endif

#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

namespace sarvanta::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

// The first Ctrl+C asks the run to stop (the algorithm abandons the generation in progress at
// the next individual); a second one ends the program at once. An island run hears SIGTERM
// and SIGUSR1 too: MPI launchers pass those on to every process.
extern "C" void OnInterrupt(int signal) {
  interrupted = 1;
  std::signal(signal, SIG_DFL);
}

struct TRunOptions {
  std::string Project;
  std::string Task;
  std::optional<int32_t> Steps;
  std::optional<int32_t> Population;
  std::optional<uint32_t> Seed;
  std::optional<int32_t> Threads;
  std::string Out;
  int32_t AutoSaveEvery = 0;
  bool AutoSaveAsNewFiles = false;
  bool Overwrite = false;
  bool Quiet = false;
  bool Islands = false;
  int32_t MigrateEvery = 10;
  int32_t Migrants = 1;
};

// Redraws one line on a terminal; elsewhere prints a line at every tenth of the run.
class TProgressBar {
 public:
  explicit TProgressBar(bool quiet) : quiet_(quiet), terminal_(isatty(STDERR_FILENO) != 0) {}

  void Show(const TRunProgress& progress) {
    if (quiet_) return;
    const bool last = progress.Step >= progress.Steps;
    if (terminal_) {
      if (!last && progress.ElapsedSeconds - shownAt_ < 0.1) return;
      shownAt_ = progress.ElapsedSeconds;
      std::cerr << '\r' << ProgressLine(progress) << "\x1b[K" << std::flush;
      open_ = true;
    } else {
      const int32_t every = progress.Steps >= 10 ? progress.Steps / 10 : 1;
      if (progress.Step % every == 0 || last) std::cerr << ProgressLine(progress) << '\n';
    }
  }

  void End() {
    if (open_) std::cerr << '\n';
    open_ = false;
  }

 private:
  bool quiet_;
  bool terminal_;
  bool open_ = false;
  double shownAt_ = -1;
};

std::string DefaultOutFolder(const std::string& project) {
  return (std::filesystem::path("out") / std::filesystem::path(project).stem()).string();
}

#ifdef SARVANTA_HAS_ISLANDS
// One island of an island run: island 0 shows the progress and tells the results; the
// others stay silent, also when another island failed (island 0 names it).
void RunIslandsCommand(const TRunSettings& settings, const TRunOptions& options) {
  TProgressBar bar(options.Quiet);
  TIslandHooks hooks;
  hooks.OnStep = [&bar](const TRunProgress& progress) { bar.Show(progress); };
  hooks.StopRequested = [] { return interrupted != 0; };
  if (!options.Quiet) hooks.Message = [](const std::string& line) { std::cerr << line << '\n'; };
  interrupted = 0;
  const int signals[] = {SIGINT, SIGTERM, SIGUSR1};
  for (const int signal : signals) std::signal(signal, OnInterrupt);
  TIslandOutcome outcome;
  try {
    outcome = RunIslands(settings, {options.MigrateEvery, options.Migrants}, hooks);
  } catch (const EIslandFailure& failure) {
    bar.End();
    if (failure.ToldByFirstIsland) throw EQuietFailure();
    throw;
  }
  bar.End();
  if (outcome.Island != 0) return;
  if (outcome.Stopped) std::cerr << "Stopped after step " << outcome.StepsDone << ".\n";
  std::cout << "Best fitness " << FloatToStr(outcome.BestFitness) << " (island "
            << outcome.BestIsland << " of " << outcome.Islands << ") after " << outcome.StepsDone
            << " of " << outcome.NumberOfSteps << " steps\n";
  std::cout << "Results in " << settings.OutFolder << ":";
  for (const std::string& file : outcome.Files) std::cout << ' ' << file;
  std::cout << '\n';
}
#else
void RunIslandsCommand(const TRunSettings&, const TRunOptions&) {
  throw Exception("--islands needs a sarvanta-cli built with MPI (see docs/cluster.md)");
}
#endif

void Run(const TRunOptions& options) {
  if (options.Threads && *options.Threads < 1) throw Exception("--threads must be at least 1");
  if (options.Threads && *options.Threads > TThreadPool::MaxThreads)
    throw Exception("--threads must be at most " + IntToStr(TThreadPool::MaxThreads));
  if (options.AutoSaveEvery < 0) throw Exception("--autosave-every must not be negative");
  TRunSettings settings;
  settings.ProjectFile = options.Project;
  settings.TaskFile = options.Task;
  settings.OutFolder = options.Out.empty() ? DefaultOutFolder(options.Project) : options.Out;
  settings.Steps = options.Steps;
  settings.Population = options.Population;
  settings.Seed = options.Seed;
  settings.Threads = options.Threads.value_or(0);
  settings.AutoSaveEvery = options.AutoSaveEvery;
  settings.AutoSaveAsNewFiles = options.AutoSaveAsNewFiles;
  settings.Overwrite = options.Overwrite;
  settings.CommandLine = CommandLine();

  if (options.Islands) return RunIslandsCommand(settings, options);

  TTaskRun run(settings);
  run.Load();
  run.Prepare();
  if (!options.Quiet) {
    std::cerr << "Task: "
              << (run.TaskFileUsed().empty() ? "page defaults (no task file)" : run.TaskFileUsed())
              << '\n';
  }
  TProgressBar bar(options.Quiet);
  interrupted = 0;
  auto previous = std::signal(SIGINT, OnInterrupt);
  try {
    run.Run([&bar](const TRunProgress& progress) { bar.Show(progress); },
            [] { return interrupted != 0; });
  } catch (const std::exception& e) {
    std::signal(SIGINT, previous);
    bar.End();
    throw Exception("the run failed after " + IntToStr(run.StepsDone()) + " steps: " + e.what() +
                    " (kept: trace.log, history.tsv, run.json" +
                    (run.AutoSaves().empty() ? std::string() : " and the automatic saves") +
                    " in " + settings.OutFolder + ")");
  }
  std::signal(SIGINT, previous);
  bar.End();
  if (run.Stopped()) std::cerr << "Stopped after step " << run.StepsDone() << ".\n";

  const auto files = run.WriteResults(ReportTemplateFolder());
  const TGeneticAlgorithm& algorithm = run.Algorithm();
  std::cout << "Best fitness " << FloatToStr(algorithm.BestFitness) << " after " << run.StepsDone()
            << " of " << algorithm.NumberOfSteps << " steps\n";
  std::cout << "Results in " << settings.OutFolder << ":";
  for (const std::string& file : files) std::cout << ' ' << file;
  std::cout << '\n';
  if (!options.Quiet) std::cerr << "Seed " << run.UsedSeed() << " (run.json)\n";
  if (run.Stopped()) throw TExitStatus{kExitInterrupted};
}

const TCommandRegistrar registrar([](CLI::App& app) {
  auto* command = app.add_subcommand("run", "Run a motor task and write its results");
  auto options = std::make_shared<TRunOptions>();
  command->add_option("PROJECT", options->Project, "Project file (.svt)")->required();
  command->add_option("--task", options->Task,
                      "Task file (.hga); default: the project's .hga, else the page defaults");
  command->add_option("--steps", options->Steps, "Number of generations (at least 1)");
  command->add_option("--population", options->Population,
                      "Population size (at most " + IntToStr(RunLimits::MaxPopulationSize) +
                          ", and as the memory allows)");
  command->add_option("--seed", options->Seed,
                      "Fixed seed: the run repeats bit for bit (default: a drawn seed, recorded "
                      "in run.json)");
  command->add_option(
      "--threads", options->Threads,
      "Threads that evaluate individuals (default: one per core; the results are the same "
      "with any number)");
  command->add_option("--out", options->Out, "Output folder (default: out/<project name>)");
  command->add_flag("--overwrite", options->Overwrite,
                    "Replace the results of an earlier run in the output folder");
  command->add_option("--autosave-every", options->AutoSaveEvery,
                      "Save the project after every N steps");
  command->add_flag("--autosave-as-new-files", options->AutoSaveAsNewFiles,
                    "Stamp every automatic save with the time of day");
  command->add_flag("--quiet", options->Quiet, "No progress on standard error");
  auto* islands =
      command->add_flag("--islands", options->Islands,
                        "One island of an island run: start under mpirun -np N (docs/cluster.md)");
  command
      ->add_option("--migrate-every", options->MigrateEvery,
                   "Generations between two migrations of an island run (default 10)")
      ->needs(islands);
  command
      ->add_option("--migrants", options->Migrants,
                   "Best individuals each island sends at a migration (default 1)")
      ->needs(islands);
  command->callback([options] { Run(*options); });
});

}  // namespace
}  // namespace sarvanta::cli
