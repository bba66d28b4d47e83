// The operations on an impulse train (ascending stimulation times, ms) that do not need a motor
// unit: ordering and filtering a train as a unit stores it, and adding its twitch forces to grid
// samples. Pure functions of their arguments, safe on any thread.
#pragma once

#include "model/TwitchKernel.h"

#include <cstdint>
#include <span>
#include <vector>

namespace sarvanta {

// Quicksort of entries lo..hi of the train (indices clamped to the train).
void SortTrain(std::vector<long double>& train, int32_t lo, int32_t hi);
// Keeps the first impulse and every later one at least `tref` after the last kept one.
void FilterTrain(std::vector<long double>& train, long double tref);
// The train as a motor unit stores it: with more than one time, sorted (unless strictly
// ascending already) and filtered with `tref`.
void NormalizeTrain(std::vector<long double>& train, long double tref);

// samples[i] += the force of the train at times[i] with the process's kernel choice; `peaks`
// must be ComputeTwitchPeaks(p, train) (unused by the literal computation).
void AddTrainForces(const TTwitchParameters& p, std::span<const long double> train,
                    const TTwitchPeaks& peaks, std::span<const long double> times,
                    std::span<long double> samples);

}  // namespace sarvanta
