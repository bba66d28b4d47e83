// Running the built sarvanta-cli from a test: its exit status and what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace sarvanta::clitest {

struct TOutcome {
  int Status = -1;
  std::string Out;
  std::string Err;
};

inline std::string Slurp(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// The text in single quotes for the shell.
inline std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs sarvanta-cli with the arguments; its output goes through files in `folder`.
inline TOutcome RunCli(const std::vector<std::string>& arguments,
                       const std::filesystem::path& folder) {
  std::string command = Quote(SARVANTA_CLI);
  for (const std::string& argument : arguments) command += " " + Quote(argument);
  command +=
      " >" + Quote((folder / "stdout").string()) + " 2>" + Quote((folder / "stderr").string());
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(folder / "stdout"),
          Slurp(folder / "stderr")};
}

}  // namespace sarvanta::clitest
