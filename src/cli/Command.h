// Sub-commands of sarvanta-cli register themselves here, one file per command.
#pragma once

#include <CLI/CLI.hpp>

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace sarvanta::cli {

// Adds a sub-command to the application; the sub-command's callback does the work and
// throws sarvanta::Exception (or CLI::Error) on failure.
using TCommandSetup = std::function<void(CLI::App& app)>;

std::vector<TCommandSetup>& CommandSetups();

// The program's arguments as given (argv), for what records how it was started.
std::vector<std::string>& CommandLine();

// Thrown by a command that did its work and must end with another exit status than 0 (a run
// stopped by Ctrl+C, check with warnings); its message has already been printed.
struct TExitStatus {
  int Code;
};

// The exit status of a program stopped by Ctrl+C (128 + SIGINT), as shells report it.
constexpr int kExitInterrupted = 130;

// The text with every control byte (below 0x20, and 0x7f) shown as \xNN, so that a name or
// message taken from a file cannot move the cursor, clear the terminal or break the line.
std::string Printable(const std::string& text);

// Throws when `output` names the same file as `input` (by identity, not by name), so that a
// command never writes over what it reads.
void RefuseToReplaceInput(const std::string& output, const std::string& input);

// Throws, naming `output` as the user gave it, when the folder it is to be written into does
// not exist or cannot be written, so that no message names the temporary file a save uses.
void RequireWritableFolder(const std::string& output);

// A failure that another process of the same run reports (an island run's island 0): this
// process ends quietly, and island 0's exit code tells the failure.
struct EQuietFailure : std::exception {};

// A static TCommandRegistrar in a command's file adds that command to sarvanta-cli.
struct TCommandRegistrar {
  explicit TCommandRegistrar(TCommandSetup setup) { CommandSetups().push_back(std::move(setup)); }
};

}  // namespace sarvanta::cli
