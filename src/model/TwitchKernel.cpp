#include "model/TwitchKernel.h"

#include "model/TwitchKernelWide.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

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

// Nearest integer of |v| < 2^51 without changing the rounding mode.
inline int64_t RoundToInt(double v) {
  constexpr double kShifter = 6755399441055744.0;  // 1.5 * 2^52
  return static_cast<int64_t>((v + kShifter) - kShifter);
}

// 2^e as a double for |e| <= 1022, built from its bits.
inline double DoublePowerOfTwo(int64_t e) {
  const uint64_t bits = static_cast<uint64_t>(1023 + e) << 52;
  double result;
  std::memcpy(&result, &bits, sizeof result);
  return result;
}

// Exponential and logarithm of extended precision for the twitch sum: table-driven, accurate
// to a few units of the last place over the ranges the sum uses (|x| <= 700 for the
// exponential, 1e-300 <= x <= 1e300 for the logarithm), and several times faster than the
// library's. Plain arithmetic only: no instruction set beyond the baseline.
class TFastMath {
 public:
  static constexpr long double kMinLog = 1e-300L;
  static constexpr long double kMaxLog = 1e300L;

  static const TFastMath& Get() {
    static const TFastMath math;
    return math;
  }

  long double Exp(long double x) const {
    const int64_t k = RoundToInt(static_cast<double>(x * stepsPerLn2_));
    const auto kf = static_cast<long double>(k);
    // ln2/64 split so that k * high is exact.
    const long double r = (x - kf * expHigh_) - kf * expLow_;
    // e^r - 1 - r for |r| <= ln2/128, its terms paired so they can be worked out side by side.
    const long double r2 = r * r;
    const long double tail =
        r2 * ((0.5 + r * (1.0 / 6)) +
              r2 * ((1.0 / 24 + r * (1.0 / 120)) + r2 * (1.0 / 720 + r * (1.0 / 5040))));
    const int64_t j = k & (kSteps - 1);
    const int64_t m = (k - j) / kSteps;
    const long double mantissa = pow2_[j] + pow2_[j] * (r + tail);
    return mantissa * static_cast<long double>(DoublePowerOfTwo(m));
  }

  long double Log(long double x) const {
    // x = f * 2^e with f near [1, 2) (the double rounding of x may leave f just below 1); the
    // cell is read off the double's leading fraction bits.
    const double xd = static_cast<double>(x);
    uint64_t bits;
    std::memcpy(&bits, &xd, sizeof bits);
    const int64_t e = static_cast<int64_t>((bits >> 52) & 0x7FF) - 1023;
    const long double f = x * static_cast<long double>(DoublePowerOfTwo(-e));
    const auto j = static_cast<int>((bits >> (52 - kCellBits)) & (kCells - 1));
    const long double u = (f - centre_[j]) * inverse_[j];  // |u| <= 1/256 (a little more)
    // ln(1 + u) - u, its terms paired as above.
    const long double u2 = u * u;
    const long double tail = u2 * ((-0.5 + u * (1.0 / 3)) + u2 * ((-1.0 / 4 + u * (1.0 / 5)) +
                                                                  u2 * (-1.0 / 6 + u * (1.0 / 7))));
    const auto ef = static_cast<long double>(e);
    return (ef * ln2High_ + logCentre_[j]) + (ef * ln2Low_ + (u + tail));
  }

 private:
  static constexpr int kSteps = 64;
  static constexpr int kCellBits = 7;
  static constexpr int kCells = 1 << kCellBits;

  TFastMath() {
    const long double ln2 = std::numbers::ln2_v<long double>;
    // ln 2 minus its nearest 64-bit value.
    const long double ln2Rest = -1.1458352726798732811e-20L;
    stepsPerLn2_ = kSteps / ln2;
    // High parts with 40 significant bits, so that products with small integers are exact.
    expHigh_ = std::ldexp(std::round(std::ldexp(ln2 / kSteps, 46)), -46);
    expLow_ = (ln2 / kSteps - expHigh_) + ln2Rest / kSteps;
    ln2High_ = std::ldexp(std::round(std::ldexp(ln2, 40)), -40);
    ln2Low_ = (ln2 - ln2High_) + ln2Rest;
    for (int j = 0; j < kSteps; ++j) pow2_[j] = std::exp2(static_cast<long double>(j) / kSteps);
    for (int j = 0; j < kCells; ++j) {
      centre_[j] = 1 + (j + 0.5L) / kCells;
      inverse_[j] = 1 / centre_[j];
      logCentre_[j] = std::log(centre_[j]);
    }
  }

  long double stepsPerLn2_, expHigh_, expLow_, ln2High_, ln2Low_;
  long double pow2_[kSteps];
  long double centre_[kCells];
  long double inverse_[kCells];
  long double logCentre_[kCells];
};

// What the fast twitch needs of the parameters, worked out once per force evaluation.
struct TFastTwitch {
  explicit TFastTwitch(const TTwitchParameters& p)
      : Parameters(p),
        M(p.ShapeExponent),
        InverseTc(1 / p.Tc),
        Math(TFastMath::Get()),
        Enabled(std::fabs(M) <= kMaxFastShape) {}
  // A steeper shape magnifies the last-place differences between the two ways of computing a
  // twitch beyond what they may differ by, so such units are computed step by step.
  static constexpr long double kMaxFastShape = 1000;
  const TTwitchParameters& Parameters;
  long double M;
  long double InverseTc;
  const TFastMath& Math;
  bool Enabled;
};

// Within these bounds neither factor of a twitch nor their product can overflow or underflow,
// so A * exp(m (ln x + 1 - x)) has the value of the step-by-step product (to a few units of the
// last place) and, like it, no fault. Outside them the twitch is computed step by step.
constexpr long double kSafeExponent = 300;
constexpr long double kSafePeakMax = 1e1000L;
constexpr long double kSafePeakMin = 1e-1000L;

// The twitch shape x^m e^(m (1 - x)) at x = tau / Tc, as one exponential; false where the
// shortcut does not hold and the twitch must be computed step by step.
inline bool FastShape(const TFastTwitch& fast, long double x, long double& shape) {
  if (!fast.Enabled || !(x >= TFastMath::kMinLog && x <= TFastMath::kMaxLog)) return false;
  const long double rise = fast.M * fast.Math.Log(x);
  const long double fall = fast.M * (1 - x);
  if (!(std::fabs(rise) <= kSafeExponent && std::fabs(fall) <= kSafeExponent)) return false;
  shape = fast.Math.Exp(rise + fall);
  return true;
}

bool ModeratePeak(long double peak) {
  const long double size = std::fabs(peak);
  return size <= kSafePeakMax && (size >= kSafePeakMin || peak == 0);
}

inline bool TwitchFast(const TFastTwitch& fast, long double peak, long double start, long double t,
                       long double& term) {
  long double shape = 0;
  if (ModeratePeak(peak) && FastShape(fast, (t - start) * fast.InverseTc, shape)) {
    term = peak * shape;
    return true;
  }
  return TwitchLiteral(fast.Parameters, peak, start, t, term);
}

// Sums the started twitches first..count-1 newest first, and stops once all older ones together
// stay below 2^-66 of the sum: with peaks between 0 and MaxPeak and a shape that falls after its
// peak (m > 0), each older twitch is at most MaxPeak times the shape just computed. False when
// a twitch needs the step-by-step computation.
bool SumNewestFirst(const TFastTwitch& fast, const TTwitchPeaks& peaks, size_t first, size_t count,
                    long double t, long double& sum) {
  constexpr long double kNegligible = 0x1p-66L;
  sum = 0;
  for (size_t i = count; i-- > first;) {
    const long double x = (t - peaks.Start[i]) * fast.InverseTc;
    long double shape = 0;
    if (!FastShape(fast, x, shape)) return false;
    sum += peaks.Peak[i] * shape;
    if (x > 1 && static_cast<long double>(i - first) * peaks.MaxPeak * shape <= kNegligible * sum)
      break;
  }
  return true;
}

// Adds one twitch to the sum; a fault (in the twitch or in the sum) resets the sum to 0.
template <class Twitch>
void Accumulate(long double& sum, const Twitch& twitch, long double peak, long double start,
                long double t) {
  long double term = 0;
  if (!twitch(peak, start, t, term)) {
    sum = 0;
    return;
  }
  sum += term;
  if (!Finite(sum)) sum = 0;
}

std::atomic<TTwitchKernelChoice> kernelChoice{TTwitchKernelChoice::Fast};

// The double form of the starts and peaks, when the train suits it.
void PrepareWide(TTwitchPeaks& peaks) {
  constexpr long double kMaxStart = 1e300L;
  constexpr double kMinScaledPeak = 0x1p-150;  // with kDeadShape still a normal double
  if (!peaks.Sorted || !peaks.PeaksModerate) return;
  const size_t n = peaks.Start.size();
  peaks.PeakScale = peaks.MaxPeak > 0 ? std::ilogb(peaks.MaxPeak) + 1 : 0;
  peaks.StartHigh.resize(n);
  peaks.StartLow.resize(n);
  peaks.PeakWide.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const long double start = peaks.Start[i];
    if (!(std::fabs(start) <= kMaxStart)) return;
    peaks.StartHigh[i] = static_cast<double>(start);
    peaks.StartLow[i] = static_cast<double>(start - peaks.StartHigh[i]);
    if (peaks.Faulted[i]) {
      peaks.PeakWide[i] = 0;
      continue;
    }
    const auto scaled = static_cast<double>(std::ldexp(peaks.Peak[i], -peaks.PeakScale));
    if (scaled != 0 && !(scaled >= kMinScaledPeak)) return;
    peaks.PeakWide[i] = scaled;
  }
  peaks.Wide = true;
}

TWideSum WideSumOf(TTwitchKernelChoice resolved) {
  switch (resolved) {
    case TTwitchKernelChoice::Avx512:
      return WideSumAvx512;
    case TTwitchKernelChoice::Avx2:
      return WideSumAvx2;
    default:
      return WideSumPortable;
  }
}

// One unit's wide computation: what the lanes need, and whether the parameters suit them.
class TWideRun {
 public:
  TWideRun(const TTwitchParameters& p, const TTwitchPeaks& peaks, TTwitchKernelChoice kernel)
      : peaks_(peaks), sum_(WideSumOf(ResolvedTwitchKernel(kernel))) {
    // With Tc >= kMinTc every x the lanes take (at least kMinX) comes from a time difference
    // far above the smallest normal doubles, so the low parts of times and starts are exact.
    constexpr long double kMinTc = 1e-200L;
    constexpr long double kMaxTc = 1e300L;
    const long double m = p.ShapeExponent;
    usable_ =
        peaks.Wide && m > 0 && m <= TWideTables::kMaxShape && p.Tc >= kMinTc && p.Tc <= kMaxTc;
    if (!usable_) return;
    unit_.M = static_cast<double>(m);
    unit_.InverseTc = static_cast<double>(1 / p.Tc);
    unit_.MaxPeak = static_cast<double>(std::ldexp(peaks.MaxPeak, -peaks.PeakScale));
    unit_.StartHigh = peaks.StartHigh.data();
    unit_.StartLow = peaks.StartLow.data();
    unit_.Peak = peaks.PeakWide.data();
    scale_ = std::ldexp(1.0L, peaks.PeakScale);
  }

  bool Usable() const { return usable_; }

  // Takes the time of sample `index`, `count` being the number of impulses started before it.
  // False when the time is one the lanes do not take (the caller computes it otherwise).
  bool Add(size_t index, long double t, size_t count) {
    constexpr long double kMaxTime = 1e300L;
    if (!usable_ || !(std::fabs(t) <= kMaxTime)) return false;
    indices_[size_] = index;
    const auto high = static_cast<double>(t);
    batch_.TimeHigh[size_] = high;
    batch_.TimeLow[size_] = static_cast<double>(t - high);
    batch_.Count[size_] = static_cast<double>(count);
    return true;
  }
  bool Full() const { return size_ == kWideBatch; }
  void Next() { ++size_; }

  // Forces of the times taken since the last flush: result(index, ok, force), ok false where
  // the 80-bit computation must give it.
  template <class TResult>
  void Flush(TResult&& result) {
    if (size_ == 0) return;
    for (int l = size_; l < kWideBatch; ++l) {  // idle lanes: nothing started
      batch_.TimeHigh[l] = batch_.TimeHigh[0];
      batch_.TimeLow[l] = batch_.TimeLow[0];
      batch_.Count[l] = 0;
    }
    sum_(unit_, peaks_.LastFault + 1, batch_);
    for (int l = 0; l < size_; ++l) {
      const long double sum =
          static_cast<long double>(batch_.SumHigh[l]) + static_cast<long double>(batch_.SumLow[l]);
      result(indices_[l], batch_.Ok[l] != 0, sum * scale_);
    }
    size_ = 0;
  }

 private:
  const TTwitchPeaks& peaks_;
  TWideSum sum_;
  TWideUnit unit_{};
  long double scale_ = 1;  // a power of two: the product is exact
  bool usable_ = false;
  int size_ = 0;
  size_t indices_[kWideBatch]{};
  TWideBatch batch_{};
};

size_t StartedBefore(const TTwitchPeaks& peaks, long double t) {
  return static_cast<size_t>(std::lower_bound(peaks.Start.begin(), peaks.Start.end(), t) -
                             peaks.Start.begin());
}

}  // namespace

void SetTwitchKernel(TTwitchKernelChoice choice) { kernelChoice.store(choice); }

TTwitchKernelChoice TwitchKernel() { return kernelChoice.load(std::memory_order_relaxed); }

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
    if (start < t)
      Accumulate(
          sum,
          [&p](long double a, long double s0, long double t0, long double& term) {
            return TwitchLiteral(p, a, s0, t0, term);
          },
          peak, start, t);
  }
  return sum;
}

namespace {

bool Same(long double a, long double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

bool SamePeakParameters(const TTwitchParameters& a, const TTwitchParameters& b) {
  return Same(a.Fmin, b.Fmin) && Same(a.Tf, b.Tf) && Same(a.Pow, b.Pow) && Same(a.Fmax, b.Fmax) &&
         Same(a.Tref, b.Tref) && Same(a.LeadT, b.LeadT);
}

bool SameTwitchParameters(const TTwitchParameters& a, const TTwitchParameters& b) {
  return SamePeakParameters(a, b) && Same(a.Tc, b.Tc) && Same(a.ShapeExponent, b.ShapeExponent);
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
    if (!peaks.Faulted[i]) {
      const long double peak = peaks.Peak[i];
      if (peak < 0 || !ModeratePeak(peak)) peaks.PeaksModerate = false;
      peaks.MaxPeak = std::max(peaks.MaxPeak, peak);
    }
    if (!Finite(start) || (i > 0 && !(peaks.Start[i - 1] <= start))) peaks.Sorted = false;
  }
  PrepareWide(peaks);
  return peaks;
}

long double TwitchForceFast(const TTwitchParameters& p, const TTwitchPeaks& peaks, long double t) {
  const size_t n = peaks.Start.size();
  const TFastTwitch fast(p);
  const auto twitch = [&fast](long double a, long double s0, long double t0, long double& term) {
    return TwitchFast(fast, a, s0, t0, term);
  };
  long double sum = 0;
  if (!peaks.Sorted) {
    // Any order: visit every impulse as the step-by-step loop does.
    for (size_t i = 0; i < n; ++i) {
      if (peaks.Faulted[i]) {
        sum = 0;
        continue;
      }
      if (peaks.Start[i] < t) Accumulate(sum, twitch, peaks.Peak[i], peaks.Start[i], t);
    }
    return sum;
  }
  // Only a prefix has started. A fault resets the sum, so nothing before the last faulting
  // peak counts, and a faulting peak after the prefix leaves 0.
  const auto started = std::lower_bound(peaks.Start.begin(), peaks.Start.end(), t);
  const auto count = static_cast<int64_t>(started - peaks.Start.begin());
  if (peaks.LastFault >= count) return 0;
  if (peaks.PeaksModerate && fast.M > 0 &&
      SumNewestFirst(fast, peaks, static_cast<size_t>(peaks.LastFault + 1),
                     static_cast<size_t>(count), t, sum))
    return sum;
  sum = 0;
  // The twitches of a block are worked out first, independently of each other, so their
  // computations can overlap; then they are added in train order.
  constexpr size_t kBlock = 16;
  long double terms[kBlock];
  bool valid[kBlock];
  for (auto first = static_cast<size_t>(peaks.LastFault + 1); first < static_cast<size_t>(count);
       first += kBlock) {
    const size_t size = std::min(kBlock, static_cast<size_t>(count) - first);
    for (size_t k = 0; k < size; ++k)
      valid[k] = TwitchFast(fast, peaks.Peak[first + k], peaks.Start[first + k], t, terms[k]);
    for (size_t k = 0; k < size; ++k) {
      if (!valid[k]) {
        sum = 0;
        continue;
      }
      sum += terms[k];
      if (!Finite(sum)) sum = 0;
    }
  }
  return sum;
}

bool TwitchForceWide(const TTwitchParameters& p, const TTwitchPeaks& peaks, long double t,
                     TTwitchKernelChoice kernel, long double& force) {
  TWideRun run(p, peaks, kernel);
  if (!run.Add(0, t, StartedBefore(peaks, t))) return false;
  run.Next();
  bool served = false;
  run.Flush([&](size_t, bool ok, long double sum) {
    served = ok;
    if (ok) force = sum;
  });
  return served;
}

void AddTwitchForces(const TTwitchParameters& p, const TTwitchPeaks& peaks,
                     std::span<const long double> times, std::span<long double> samples,
                     TTwitchKernelChoice kernel) {
  TWideRun run(p, peaks, kernel);
  const auto exact = [&](size_t i) { samples[i] += TwitchForceFast(p, peaks, times[i]); };
  const auto result = [&](size_t i, bool ok, long double sum) {
    if (ok)
      samples[i] += sum;
    else
      exact(i);
  };
  if (!run.Usable()) {
    for (size_t i = 0; i < times.size(); ++i) exact(i);
    return;
  }
  const size_t n = peaks.Start.size();
  size_t count = 0;
  long double previous = -std::numeric_limits<long double>::infinity();
  for (size_t i = 0; i < times.size(); ++i) {
    const long double t = times[i];
    // The starts ascend: walk on from the previous time when the times ascend too.
    if (!(t >= previous)) count = StartedBefore(peaks, t);
    while (count < n && peaks.Start[count] < t) ++count;
    previous = t;
    if (!run.Add(i, t, count)) {
      exact(i);
      continue;
    }
    run.Next();
    if (run.Full()) run.Flush(result);
  }
  run.Flush(result);
}

TTwitchKernelChoice ResolvedTwitchKernel(TTwitchKernelChoice kernel) {
  using enum TTwitchKernelChoice;
  switch (kernel) {
    case Literal:
    case Portable:
      return kernel;
    case Fast:
    case Avx512:
      if (HasAvx512()) return Avx512;
      [[fallthrough]];
    case Avx2:
      return HasAvx2() ? Avx2 : Portable;
  }
  return Portable;
}

bool TwitchKernelPresent(TTwitchKernelChoice kernel) {
  return kernel == TTwitchKernelChoice::Fast || ResolvedTwitchKernel(kernel) == kernel;
}

const char* TwitchKernelName(TTwitchKernelChoice kernel) {
  using enum TTwitchKernelChoice;
  switch (kernel) {
    case Literal:
      return "literal 80-bit";
    case Fast:
      return "fast";
    case Portable:
      return "portable";
    case Avx2:
      return "AVX2+FMA";
    case Avx512:
      return "AVX-512";
  }
  return "?";
}

}  // namespace sarvanta
