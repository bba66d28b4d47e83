// Island runs against one population of the same total size, with the same evaluations: for
// N = 1, 2, 4 islands of population P each (under mpirun, oversubscribed on a small machine)
// against one population of N * P that runs N times the generations (each island makes the
// task's offspring every generation, so N islands evaluate N times as many per generation).
// Prints best fitness reached and wall time per row; each run is one fresh process tree.
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const std::string Examples = SARVANTA_EXAMPLES_DIR;
const std::string Cli = SARVANTA_CLI;

struct TResult {
  std::string Best = "?";
  double Seconds = 0;
};

TResult Run(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  FILE* child = popen((command + " 2>/dev/null").c_str(), "r");
  TResult result;
  char line[512];
  while (child != nullptr && std::fgets(line, sizeof line, child) != nullptr) {
    const std::string text = line;
    if (text.rfind("Best fitness ", 0) == 0) result.Best = text.substr(13, text.find(' ', 13) - 13);
  }
  if (child != nullptr) pclose(child);
  result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  // An optional first argument sets the generations (make bench passes only options).
  const int steps =
      argc > 1 && std::isdigit(static_cast<unsigned char>(argv[1][0])) ? std::atoi(argv[1]) : 40;
  const int population = 8;
  setenv("OMPI_ALLOW_RUN_AS_ROOT", "1", 1);
  setenv("OMPI_ALLOW_RUN_AS_ROOT_CONFIRM", "1", 1);
  std::printf("task\tN\tislands_best\tislands_s\tone_population_best\tone_population_s\n");
  for (const char* task : {"elbow", "bench-arm"}) {
    const std::string project = Examples + "/" + task + ".svt";
    for (const int n : {1, 2, 4}) {
      const std::string common = " run " + project + " --seed 1 --threads 1 --quiet --overwrite";
      const TResult islands =
          Run("mpirun --oversubscribe -np " + std::to_string(n) + " " + Cli + common +
              " --islands --population " + std::to_string(population) + " --steps " +
              std::to_string(steps) + " --out /tmp/bench-islands-" + task);
      const TResult one =
          Run(Cli + common + " --population " + std::to_string(population * n) + " --steps " +
              std::to_string(steps * n) + " --out /tmp/bench-one-" + task);
      std::printf("%s\t%d\t%s\t%.2f\t%s\t%.2f\n", task, n, islands.Best.c_str(), islands.Seconds,
                  one.Best.c_str(), one.Seconds);
      std::fflush(stdout);
    }
  }
  return 0;
}
