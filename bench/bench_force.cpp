// Force of every muscle of the bench-arm example on the grid 0 .. 1000 ms (step 1, 1001
// samples), as a muscle fills its cache, with the baselines measured in the same run: the
// step-by-step 80-bit computation and a NumPy float64 vectorised twitch sum (run as a
// subprocess). Figures are started (sample, impulse) pairs per second of processor time of the
// fastest sweep (of five or more, as in the NumPy script): the
// pairs whose twitch has started (impulse time + LeadT < sample time), counted the same way in
// the NumPy script. Each sweep recomputes the peaks, as after a change of the trains.
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "model/TwitchKernel.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sarvanta {
namespace {

constexpr int kGridPoints = 1001;
constexpr double kMinSeconds = 1.0;
constexpr int kMinSweeps = 5;

double ProcessorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct TBench {
  TMechanicalSystem System;
  std::vector<TMotorUnit*> Units;
  std::vector<std::vector<long double>> Trains;
  std::vector<long double> Grid;
  std::vector<long double> Samples;
  double StartedPairs = 0;
  size_t Impulses = 0;

  TBench() {
    LoadSystemFromFile(System, SARVANTA_EXAMPLES_DIR "/bench-arm.svt");
    for (int i = 0; i < kGridPoints; ++i) Grid.push_back(i);
    Samples.resize(Grid.size());
    for (int m = 1; m < System.Muscles.Count(); ++m)
      for (int u = 0; u < System.Muscle(m)->MotorUnits.Count(); ++u) {
        TMotorUnit* unit = System.Muscle(m)->MotorUnit(u);
        Units.push_back(unit);
        Trains.push_back(unit->ImpArray());
        Impulses += unit->ImpArray().size();
        for (const long double time : unit->ImpArray())
          for (const long double t : Grid)
            if (time + unit->LeadT < t) ++StartedPairs;
      }
  }

  // New trains (the same times) for every unit, then every muscle's samples.
  void Sweep() {
    for (size_t i = 0; i < Units.size(); ++i) Units[i]->SetImpArray(Trains[i]);
    for (int m = 1; m < System.Muscles.Count(); ++m) System.Muscle(m)->SampleForce(Grid, Samples);
  }

  // Processor seconds of the fastest sweep with the given kernel, of at least kMinSweeps and
  // kMinSeconds, as the NumPy script takes its best sweep: on a shared machine single sweeps
  // are slowed down at random.
  double Time(TTwitchKernelChoice kernel) {
    SetTwitchKernel(kernel);
    Sweep();
    int sweeps = 0;
    double best = std::numeric_limits<double>::infinity();
    const double begin = ProcessorSeconds();
    for (;;) {
      const double start = ProcessorSeconds();
      Sweep();
      const double end = ProcessorSeconds();
      best = std::min(best, end - start);
      if (++sweeps >= kMinSweeps && end - begin >= kMinSeconds) break;
    }
    SetTwitchKernel(TTwitchKernelChoice::Fast);
    return best;
  }
};

struct TNumPy {
  std::optional<double> PairsPerSecond;
  double StartedPairs = 0;
  std::string Reason;
};

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// Runs the NumPy script and reads its started pairs and pairs per second.
TNumPy RunNumPy() {
  TNumPy result;
  const std::string python = SARVANTA_PYTHON;
  if (std::system((Quoted(python) + " -c 'import numpy' >/dev/null 2>&1").c_str()) != 0) {
    result.Reason = "numpy is not installed for " + python;
    return result;
  }
  const std::string command = Quoted(python) + " " + Quoted(SARVANTA_TWITCH_NUMPY) + " " +
                              Quoted(SARVANTA_CLI) + " " +
                              Quoted(SARVANTA_EXAMPLES_DIR "/bench-arm.svt") + " 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) {
    result.Reason = "could not start " + python;
    return result;
  }
  char line[512];
  std::string last;
  while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    last = line;
    double value = 0;
    if (std::sscanf(line, "started_pairs %lf", &value) == 1) result.StartedPairs = value;
    if (std::sscanf(line, "started_pairs_per_second %lf", &value) == 1)
      result.PairsPerSecond = value;
  }
  if (!result.PairsPerSecond) result.Reason = "the script failed: " + last;
  return result;
}

void PrintRow(const char* name, double seconds, double pairs, std::optional<double> numpy,
              double literal) {
  const double rate = pairs / seconds;
  std::printf("%-30s %12.3f %18.2f", name, seconds * 1e3, rate / 1e6);
  if (numpy)
    std::printf(" %10.2f", rate / *numpy);
  else
    std::printf(" %10s", "-");
  std::printf(" %11.1f\n", rate / (pairs / literal));
}

}  // namespace
}  // namespace sarvanta

int main() {
  using namespace sarvanta;
  TBench bench;
  const TTwitchKernelChoice chosen = ResolvedTwitchKernel(TTwitchKernelChoice::Fast);
  const double best = bench.Time(TTwitchKernelChoice::Fast);
  // The narrower instruction sets the processor also runs, for comparison.
  std::vector<std::pair<TTwitchKernelChoice, double>> narrower;
  for (const TTwitchKernelChoice kernel :
       {TTwitchKernelChoice::Avx2, TTwitchKernelChoice::Portable})
    if (kernel != chosen && TwitchKernelPresent(kernel))
      narrower.emplace_back(kernel, bench.Time(kernel));
  const double literal = bench.Time(TTwitchKernelChoice::Literal);
  const TNumPy numpy = RunNumPy();

  std::printf(
      "bench-arm: %zu motor units, %zu impulses, grid 0..1000 ms step 1 (%d samples), "
      "%.0f started (sample, impulse) pairs per sweep; processor time\n",
      bench.Units.size(), bench.Impulses, kGridPoints, bench.StartedPairs);
  std::printf("the fast kernel chose %s on this processor\n", TwitchKernelName(chosen));
  std::printf("%-30s %12s %18s %10s %11s\n", "computation", "ms/sweep", "M started pairs/s",
              "x NumPy", "x literal");
  const std::string bestName = std::string("Sarvanta fast (") + TwitchKernelName(chosen) + ")";
  PrintRow(bestName.c_str(), best, bench.StartedPairs, numpy.PairsPerSecond, literal);
  for (const auto& [kernel, seconds] : narrower) {
    const std::string name = std::string("Sarvanta ") + TwitchKernelName(kernel);
    PrintRow(name.c_str(), seconds, bench.StartedPairs, numpy.PairsPerSecond, literal);
  }
  PrintRow("literal 80-bit", literal, bench.StartedPairs, numpy.PairsPerSecond, literal);
  if (numpy.PairsPerSecond) {
    const double seconds = numpy.StartedPairs / *numpy.PairsPerSecond;
    PrintRow("NumPy float64 vectorised", seconds, numpy.StartedPairs, numpy.PairsPerSecond,
             literal * numpy.StartedPairs / bench.StartedPairs);
    if (numpy.StartedPairs != bench.StartedPairs)
      std::printf("warning: NumPy counted %.0f started pairs\n", numpy.StartedPairs);
  } else {
    std::printf("%-30s skipped: %s\n", "NumPy float64 vectorised", numpy.Reason.c_str());
  }
  return 0;
}
