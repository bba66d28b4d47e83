#include "model/TwitchKernel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sarvanta {
namespace {

bool Finite(long double x) { return std::isfinite(x); }

// Square-and-multiply; false when an intermediate has no finite value.
bool CheckedIntPower(long double base, int64_t exponent, long double& result) {
  uint64_t y = static_cast<uint64_t>(exponent < 0 ? -exponent : exponent);
  long double b = base;
  long double r = 1.0L;
  while (y > 0) {
    while ((y & 1) == 0) {
      y >>= 1;
      b = b * b;
      if (!Finite(b)) return false;
    }
    --y;
    r = r * b;
    if (!Finite(r)) return false;
  }
  if (exponent < 0) {
    if (r == 0) return false;
    r = 1.0L / r;
    if (!Finite(r)) return false;
  }
  result = r;
  return true;
}

// Peak and start of impulse i; false when either has no finite value.
bool PeakAndStart(const TTwitchParameters& p, std::span<const long double> train, size_t i,
                  long double& peak, long double& start) {
  const long double ti = train[i];
  const long double windowStart = ti - p.Tf;
  if (!Finite(windowStart)) return false;
  const int64_t k = static_cast<int64_t>(i) - SearchImpulse(train, windowStart);
  const long double share = static_cast<long double>(k) * p.Tref;
  if (!Finite(share)) return false;
  const long double ratio = share / p.Tf;
  if (!Finite(ratio)) return false;
  long double fatigue = 0;
  if (!CheckedPower(ratio, p.Pow, fatigue)) return false;
  const long double drop = p.Fmin - p.Fmax;
  if (!Finite(drop)) return false;
  const long double scaled = drop * fatigue;
  if (!Finite(scaled)) return false;
  peak = p.Fmax + scaled;
  if (!Finite(peak)) return false;
  start = ti + p.LeadT;
  return Finite(start);
}

// One twitch of peak A started at s, at time t > s, step by step.
bool TwitchLiteral(const TTwitchParameters& p, long double peak, long double start, long double t,
                   long double& term) {
  const long double m = p.ShapeExponent;
  const long double tau = t - start;
  if (!Finite(tau)) return false;
  const long double x = tau / p.Tc;
  if (!Finite(x)) return false;
  long double rise = 0;
  if (!CheckedPower(x, m, rise)) return false;
  const long double tauM = tau * m;
  if (!Finite(tauM)) return false;
  const long double q = tauM / p.Tc;
  if (!Finite(q)) return false;
  const long double exponent = m - q;
  if (!Finite(exponent)) return false;
  const long double decay = std::exp(exponent);
  if (!Finite(decay)) return false;
  const long double scaled = peak * rise;
  if (!Finite(scaled)) return false;
  term = scaled * decay;
  return Finite(term);
}

// Within these bounds neither factor of a twitch nor their product can overflow or underflow,
// so A * exp(m ln x + m - tau m / Tc) has the value of the step-by-step product and faults
// where it does (never). Outside them the twitch is computed step by step.
constexpr long double kSafeExponent = 1000.0L;
constexpr long double kSafePeakMax = 1e1000L;
constexpr long double kSafePeakMin = 1e-1000L;

bool TwitchFast(const TTwitchParameters& p, long double peak, long double start, long double t,
                long double& term) {
  const long double m = p.ShapeExponent;
  const long double tau = t - start;
  const long double x = tau / p.Tc;
  const long double absPeak = std::fabs(peak);
  if (x > 0 && x <= std::numeric_limits<long double>::max() && absPeak <= kSafePeakMax &&
      (absPeak >= kSafePeakMin || peak == 0)) {
    const long double rise = m * std::log(x);
    const long double fall = m - tau * m / p.Tc;
    if (std::fabs(rise) <= kSafeExponent && std::fabs(fall) <= kSafeExponent) {
      term = peak * std::exp(rise + fall);
      return true;
    }
  }
  return TwitchLiteral(p, peak, start, t, term);
}

// Adds one twitch to the sum; a fault (in the twitch or in the sum) resets the sum to 0.
template <class Twitch>
void Accumulate(long double& sum, Twitch twitch, const TTwitchParameters& p, long double peak,
                long double start, long double t) {
  long double term = 0;
  if (!twitch(p, peak, start, t, term)) {
    sum = 0;
    return;
  }
  sum += term;
  if (!Finite(sum)) sum = 0;
}

}  // namespace

bool CheckedPower(long double base, long double exponent, long double& result) {
  if (exponent == 0) {
    result = 1.0L;
    return true;
  }
  if (base == 0 && exponent > 0) {
    result = 0;
    return true;
  }
  if (exponent == std::trunc(exponent) &&
      std::fabs(exponent) <= static_cast<long double>(std::numeric_limits<int32_t>::max()))
    return CheckedIntPower(base, static_cast<int64_t>(exponent), result);
  const long double logBase = std::log(base);
  if (!Finite(logBase)) return false;
  const long double product = exponent * logBase;
  if (!Finite(product)) return false;
  result = std::exp(product);
  return Finite(result);
}

int32_t SearchImpulse(std::span<const long double> train, long double x) {
  if (train.empty()) return -1;
  int64_t lo = 0;
  int64_t hi = static_cast<int64_t>(train.size()) - 1;
  int64_t mid = 0;
  while (hi >= lo) {
    mid = (lo + hi) / 2;
    const long double value = train[static_cast<size_t>(mid)];
    if (x > value)
      lo = mid + 1;
    else
      hi = mid - 1;
    if (value == x) break;
  }
  return static_cast<int32_t>(mid);
}

long double TwitchForceLiteral(const TTwitchParameters& p, std::span<const long double> train,
                               long double t) {
  long double sum = 0;
  for (size_t i = 0; i < train.size(); ++i) {
    long double peak = 0;
    long double start = 0;
    if (!PeakAndStart(p, train, i, peak, start)) {
      sum = 0;
      continue;
    }
    if (start < t) Accumulate(sum, TwitchLiteral, p, peak, start, t);
  }
  return sum;
}

TTwitchPeaks ComputeTwitchPeaks(const TTwitchParameters& p, std::span<const long double> train) {
  TTwitchPeaks peaks;
  peaks.Peak.assign(train.size(), 0);
  peaks.Start.assign(train.size(), 0);
  peaks.Faulted.assign(train.size(), 0);
  for (size_t i = 0; i < train.size(); ++i) {
    long double start = train[i] + p.LeadT;
    if (!PeakAndStart(p, train, i, peaks.Peak[i], start)) {
      peaks.Faulted[i] = 1;
      peaks.LastFault = static_cast<int64_t>(i);
    }
    peaks.Start[i] = start;
    if (!Finite(start) || (i > 0 && !(peaks.Start[i - 1] <= start))) peaks.Sorted = false;
  }
  return peaks;
}

long double TwitchForceFast(const TTwitchParameters& p, const TTwitchPeaks& peaks, long double t) {
  const size_t n = peaks.Start.size();
  long double sum = 0;
  if (!peaks.Sorted) {
    // Any order: visit every impulse as the step-by-step loop does.
    for (size_t i = 0; i < n; ++i) {
      if (peaks.Faulted[i]) {
        sum = 0;
        continue;
      }
      if (peaks.Start[i] < t) Accumulate(sum, TwitchFast, p, peaks.Peak[i], peaks.Start[i], t);
    }
    return sum;
  }
  // Only a prefix has started. A fault resets the sum, so nothing before the last faulting
  // peak counts, and a faulting peak after the prefix leaves 0.
  const auto started = std::lower_bound(peaks.Start.begin(), peaks.Start.end(), t);
  const auto count = static_cast<int64_t>(started - peaks.Start.begin());
  if (peaks.LastFault >= count) return 0;
  for (auto i = static_cast<size_t>(peaks.LastFault + 1); i < static_cast<size_t>(count); ++i)
    Accumulate(sum, TwitchFast, p, peaks.Peak[i], peaks.Start[i], t);
  return sum;
}

}  // namespace sarvanta
