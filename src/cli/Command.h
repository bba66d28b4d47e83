// Sub-commands of sarvanta-cli register themselves here, one file per command.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <vector>

namespace sarvanta::cli {

// Adds a sub-command to the application; the sub-command's callback does the work and
// throws sarvanta::Exception (or CLI::Error) on failure.
using TCommandSetup = std::function<void(CLI::App& app)>;

std::vector<TCommandSetup>& CommandSetups();

// A static TCommandRegistrar in a command's file adds that command to sarvanta-cli.
struct TCommandRegistrar {
  explicit TCommandRegistrar(TCommandSetup setup) { CommandSetups().push_back(std::move(setup)); }
};

}  // namespace sarvanta::cli
