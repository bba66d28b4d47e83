// sarvanta-cli: the headless face of the engine.
//
// Exit codes: 0 success, 1 a command that failed (a bad file, a failed run, output that could
// not be written) or check's warnings, 2 arguments that do not parse (with the usage line),
// 130 a run stopped by Ctrl+C (its results written).
#include "Command.h"

#include "base/Exception.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

namespace sarvanta::cli {

std::vector<TCommandSetup>& CommandSetups() {
  static std::vector<TCommandSetup> setups;
  return setups;
}

std::vector<std::string>& CommandLine() {
  static std::vector<std::string> arguments;
  return arguments;
}

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// "Usage: sarvanta-cli run PROJECT [OPTIONS]" for the command named first, or the list of
// commands when there is none.
std::string UsageLine(const CLI::App& app, int argc, char** argv) {
  const std::string name = argc > 1 ? argv[1] : "";
  for (const CLI::App* command : app.get_subcommands({})) {
    if (command->get_name() != name) continue;
    std::string line = "Usage: sarvanta-cli " + name;
    for (const CLI::Option* option : command->get_options())
      if (option->get_positional()) line += " " + option->get_name();
    return line + " [OPTIONS] (sarvanta-cli " + name + " --help tells more)";
  }
  std::string line = "Usage: sarvanta-cli COMMAND [OPTIONS], COMMAND one of";
  for (const CLI::App* command : app.get_subcommands({})) line += " " + command->get_name();
  return line;
}

// Standard output must have reached its file completely (a full disk, /dev/full).
bool OutputWritten() {
  std::cout.flush();
  const bool good = static_cast<bool>(std::cout);
  return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 && good;
}

}  // namespace
}  // namespace sarvanta::cli

int main(int argc, char** argv) {
  using sarvanta::cli::Printable;
  CLI::App app{"sarvanta-cli: models, forces, expressions and motor tasks of Sarvanta"};
  app.require_subcommand(1);
  for (auto& setup : sarvanta::cli::CommandSetups()) setup(app);
  sarvanta::cli::CommandLine().assign(argv, argv + argc);
  int status = 0;
  try {
    app.parse(argc, argv);
  } catch (const sarvanta::cli::TExitStatus& exit) {
    status = exit.Code;
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);  // --help
    std::cerr << "sarvanta-cli: " << Printable(e.what()) << '\n'
              << sarvanta::cli::UsageLine(app, argc, argv) << '\n';
    return sarvanta::cli::kExitUsage;
  } catch (const sarvanta::cli::EQuietFailure&) {
    // Island 0 reports the failure and ends the run with exit code 1. This island ends
    // quietly with 0: a non-zero code would let the launcher kill island 0 before it speaks.
    return 0;
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "sarvanta-cli: " << Printable(e.what()) << '\n';
    return sarvanta::cli::kExitFailure;
  }
  if (!sarvanta::cli::OutputWritten()) {
    std::cerr << "sarvanta-cli: Cannot write standard output: " << std::strerror(errno) << '\n';
    return sarvanta::cli::kExitFailure;
  }
  return status;
}
