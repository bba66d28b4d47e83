// sarvanta-cli: the headless face of the engine.
#include "Command.h"

#include "base/Exception.h"

#include <cstdio>
#include <exception>
#include <iostream>

namespace sarvanta::cli {

std::vector<TCommandSetup>& CommandSetups() {
  static std::vector<TCommandSetup> setups;
  return setups;
}

}  // namespace sarvanta::cli

int main(int argc, char** argv) {
  CLI::App app{"sarvanta-cli: models, forces, expressions and motor tasks of Sarvanta"};
  app.require_subcommand(1);
  for (auto& setup : sarvanta::cli::CommandSetups()) setup(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const std::exception& e) {
    std::cerr << "sarvanta-cli: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
