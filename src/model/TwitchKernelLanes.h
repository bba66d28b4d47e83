// The double-precision twitch sum over lanes of impulses. Deliberately without include guard:
// TwitchKernelWide.cpp includes it once per instruction set, each time inside its own namespace
// that first defines
//   kLanes                    the number of doubles in a vector,
//   TDouble                   a vector of kLanes doubles (GCC/clang vector extension),
//   ProductError(a, b, p)     a * b - p exactly, for p = a * b rounded,
//   Lookup(table, index)      the table entries at the lanes' indices.
// Everything here is plain vector arithmetic, so each copy is compiled for its own instruction
// set. The file is compiled without floating-point contraction: the error-free sums and
// products below rely on every operation being rounded on its own.

using TInt = decltype(TDouble{} < TDouble{});
using TBits = std::make_unsigned_t<std::remove_cvref_t<decltype(TInt{}[0])>> __attribute__((
    vector_size(sizeof(TDouble))));

[[gnu::always_inline]] inline TDouble Splat(double v) { return TDouble{} + v; }

[[gnu::always_inline]] inline TDouble Load(const double* p) {
  TDouble v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

[[gnu::always_inline]] inline TBits Bits(TDouble v) { return __builtin_bit_cast(TBits, v); }
[[gnu::always_inline]] inline TDouble FromBits(TBits v) { return __builtin_bit_cast(TDouble, v); }

// mask ? a : b, lane by lane (mask lanes are all ones or all zeros).
[[gnu::always_inline]] inline TDouble Select(TInt mask, TDouble a, TDouble b) {
  const TBits m = __builtin_bit_cast(TBits, mask);
  return FromBits((m & Bits(a)) | (~m & Bits(b)));
}

[[gnu::always_inline]] inline bool Any(TInt mask) {
  for (int l = 0; l < kLanes; ++l)
    if (mask[l] != 0) return true;
  return false;
}

[[gnu::always_inline]] inline double Total(TDouble v) {
  double sum = 0;
  for (int l = 0; l < kLanes; ++l) sum += v[l];
  return sum;
}

// hi + lo = a + b exactly, hi = a + b rounded.
[[gnu::always_inline]] inline void TwoSum(TDouble a, TDouble b, TDouble& hi, TDouble& lo) {
  hi = a + b;
  const TDouble bPart = hi - a;
  lo = (a - (hi - bPart)) + (b - bPart);
}

// e^(hi + lo) for -kDeadExponent <= hi <= 0 (a little above 0 is fine), |lo| tiny: about one
// unit of the last place. hi = k ln2/64 + r, e^r by its series, 2^(k/64) from the table.
[[gnu::always_inline]] inline TDouble Exp(const TWideTables& tables, TDouble hi, TDouble lo) {
  constexpr double kShifter = 0x1.8p52;
  const TDouble shifted = hi * Splat(tables.StepsPerLn2) + Splat(kShifter);
  const TDouble k = shifted - Splat(kShifter);
  const TDouble r = ((hi - k * Splat(tables.ExpStepHigh)) - k * Splat(tables.ExpStepLow)) + lo;
  const TDouble r2 = r * r;
  const TDouble tail = r2 * ((Splat(1.0 / 2) + r * Splat(1.0 / 6)) +
                             r2 * ((Splat(1.0 / 24) + r * Splat(1.0 / 120)) +
                                   r2 * (Splat(1.0 / 720) + r * Splat(1.0 / 5040))));
  const TBits kBits = Bits(shifted) - Bits(Splat(kShifter));  // k as a two's complement integer
  const TBits j = kBits & (TWideTables::kExpSteps - 1);
  const TDouble high = Lookup(tables.Pow2High, j);
  const TDouble low = Lookup(tables.Pow2Low, j);
  const TDouble mantissa = high + (low + high * (r + tail));
  // Multiply by 2^((k - j) / 64) by adding to the exponent field.
  return FromBits(Bits(mantissa) + ((kBits - j) << (52 - TWideTables::kExpStepBits)));
}

// ln(hi + lo) = logHigh + logLow for kMinX <= hi <= kMaxX, |lo| <= ulp(hi): hi = 2^e f,
// f near the cell centre c, ln = e ln2 + ln c + ln(1 + u), u = (f - c + lo 2^-e) / c. The
// high part e ln2High + lnHigh(c) is exact; the rest is about 1e-18 accurate.
[[gnu::always_inline]] inline void Log(const TWideTables& tables, TDouble hi, TDouble lo,
                                       TDouble& logHigh, TDouble& logLow) {
  constexpr uint64_t kMantissa = (uint64_t{1} << 52) - 1;
  constexpr uint64_t kOne = uint64_t{1023} << 52;
  constexpr int kCellShift = 52 - TWideTables::kLogCellBits;
  const TBits bits = Bits(hi);
  const TBits biased = bits >> 52;
  const TDouble f = FromBits((bits & kMantissa) | kOne);
  constexpr uint64_t cellMask = kMantissa & ~((uint64_t{1} << kCellShift) - 1);
  const TDouble centre = FromBits((bits & cellMask) | kOne | (uint64_t{1} << (kCellShift - 1)));
  const TDouble unscale = FromBits((2046 - biased) << 52);  // 2^-e
  const TBits j = (bits >> kCellShift) & (TWideTables::kLogCells - 1);
  const TDouble inverse = Lookup(tables.Inverse, j);
  const TDouble cellHigh = Lookup(tables.LogCentreHigh, j);
  const TDouble cellLow = Lookup(tables.LogCentreLow, j);
  const TDouble u = ((f - centre) + lo * unscale) * inverse;  // f - centre is exact
  const TDouble u2 = u * u;
  const TDouble tail =
      u2 *
      ((Splat(-1.0 / 2) + u * Splat(1.0 / 3)) +
       u2 * ((Splat(-1.0 / 4) + u * Splat(1.0 / 5)) + u2 * (Splat(-1.0 / 6) + u * Splat(1.0 / 7))));
  constexpr double kTwo52 = 0x1p52;
  const TDouble e = FromBits(biased | Bits(Splat(kTwo52))) - Splat(kTwo52 + 1023);
  logHigh = e * Splat(tables.Ln2High) + cellHigh;
  logLow = (e * Splat(tables.Ln2Low) + cellLow) + (u + tail);
}

// One impulse's twitch at each lane's time: the lanes are times, the impulse is shared.
struct TLaneTwitches {
  TDouble Term, Shape, X;
  TInt Dead;    // below e^-kDeadExponent of the peak but not 0: left out, counted apart
  TInt Unsafe;  // lanes the double computation cannot vouch for
};

// The twitch of the impulse started at startHigh + startLow with peak `peak` at the lanes'
// times tHigh + tLow: A e^E with E = m (ln x + 1 - x), x = (t - s)/Tc, E carried as a sum of
// two doubles so that only the final exponential rounds noticeably.
[[gnu::always_inline]] inline TLaneTwitches Twitch(const TWideTables& tables, const TWideUnit& unit,
                                                   TDouble tHigh, TDouble tLow, double startHigh,
                                                   double startLow, double peak) {
  TDouble difference, differenceLow, tauHigh, tauLow;
  TwoSum(tHigh, Splat(-startHigh), difference, differenceLow);
  TwoSum(difference, differenceLow + (tLow - startLow), tauHigh, tauLow);
  const TDouble xHigh = tauHigh * Splat(unit.InverseTc);
  const TDouble product = xHigh * Splat(unit.TcHigh);
  const TDouble residual =
      ((tauHigh - product) - ProductError(xHigh, Splat(unit.TcHigh), product)) +
      (tauLow - xHigh * Splat(unit.TcLow));
  const TDouble xLow = residual * Splat(unit.InverseTc);
  const TInt inRange = (xHigh >= Splat(TWideTables::kMinX)) & (xHigh <= Splat(TWideTables::kMaxX));
  const TDouble x = Select(inRange, xHigh, Splat(1));
  const TDouble xRest = Select(inRange, xLow, Splat(0));

  const TDouble mHigh = Splat(unit.MHigh);
  const TDouble mLow = Splat(unit.MLow);
  TDouble logHigh, logLow;
  Log(tables, x, xRest, logHigh, logLow);
  const TDouble rise = mHigh * logHigh;  // m ln x
  const TDouble riseLow = ProductError(mHigh, logHigh, rise) + (mHigh * logLow + mLow * logHigh);
  const TDouble fall = mHigh * x;  // m x
  const TDouble fallLow = ProductError(mHigh, x, fall) + (mHigh * xRest + mLow * x);
  TDouble partial, partialLow, exponent, exponentLow;
  TwoSum(mHigh, -fall, partial, partialLow);
  TwoSum(partial, rise, exponent, exponentLow);
  // The low parts hold ln(1 + u) of the logarithm, so the pair is gathered once more.
  TwoSum(exponent, ((partialLow + exponentLow) + mLow) + (riseLow - fallLow), exponent,
         exponentLow);

  TLaneTwitches out;
  // So far past its start that the step-by-step decay e^(m (1 - x)) is exactly 0 in 80 bits
  // (and x^m finite): the twitch adds exactly nothing there either.
  const TInt vanished = partial < Splat(-TWideTables::kVanishedExponent);
  const TInt small = exponent < Splat(-TWideTables::kDeadExponent);
  out.Dead = small & ~vanished;
  out.Shape =
      Select(small, Splat(0),
             Exp(tables, Select(small, Splat(0), exponent), Select(small, Splat(0), exponentLow)));
  out.Term = out.Shape * peak;
  out.X = x;
  // m > 0 keeps E at or below 0 up to rounding; anything else is unexpected.
  out.Unsafe = ~inRange | (exponent > Splat(1e-3)) | (exponent != exponent);
  return out;
}

[[gnu::always_inline]] inline TLaneTwitches TwitchOf(const TWideTables& tables,
                                                     const TWideUnit& unit, TDouble tHigh,
                                                     TDouble tLow, int64_t i) {
  return Twitch(tables, unit, tHigh, tLow, unit.StartHigh[i], unit.StartLow[i], unit.Peak[i]);
}

// The running sum of each lane (time) over the twitches visited so far.
struct TLaneSums {
  TDouble Total, TotalLow;  // compensated: Total + TotalLow
  TDouble DeadPeaks;        // peaks of the twitches left out as below e^-kDeadExponent
  TInt Unsafe, Done;
};

// Adds twitch i where it is active for the lane (started before the lane's time, the lane not
// yet done), then marks lanes done whose older twitches together stay below kNegligible of
// their sum: each older one is at most MaxPeak times this shape (the shape falls for x > 1).
[[gnu::always_inline]] inline void Accumulate(TLaneSums& sums, const TLaneTwitches& twitch,
                                              int64_t i, int64_t first, TDouble count, double peak,
                                              double maxPeak) {
  constexpr double kNegligible = TWideTables::kNegligible;
  const TInt active = (Splat(static_cast<double>(i)) < count) & ~sums.Done;
  sums.Unsafe |= active & twitch.Unsafe;
  TDouble error;
  TwoSum(sums.Total, Select(active, twitch.Term, Splat(0)), sums.Total, error);
  sums.TotalLow += error;
  sums.DeadPeaks += Select(active & twitch.Dead, Splat(peak), Splat(0));
  const double older = static_cast<double>(i - first);
  const TDouble bound =
      Splat(older * maxPeak) * Select(twitch.Dead, Splat(TWideTables::kDeadShape), twitch.Shape);
  sums.Done |= active & (twitch.X > Splat(1)) & (bound <= sums.Total * kNegligible);
}

// For each lane l: the scaled force at times[l] of the twitches first..counts[l]-1, newest
// first, each lane on its own: a lane's result does not depend on the other lanes. A lane stops
// once all its older twitches together stay below kNegligible of its sum. ok[l] is false where
// a twitch needs the 80-bit computation. Lanes with counts[l] <= first get 0.
inline void SumTwitches(const TWideTables& tables, const TWideUnit& unit, int64_t first,
                        const int64_t* counts, const long double* times, long double* sums,
                        bool* ok) {
  TDouble tHigh, tLow, count;
  int64_t newest = first;
  for (int l = 0; l < kLanes; ++l) {
    tHigh[l] = static_cast<double>(times[l]);
    tLow[l] = static_cast<double>(times[l] - tHigh[l]);
    count[l] = static_cast<double>(counts[l]);
    newest = std::max(newest, counts[l]);
  }
  TLaneSums lanes{Splat(0), Splat(0), Splat(0), Splat(0) != Splat(0), Splat(0) != Splat(0)};
  const TInt started = Splat(static_cast<double>(first)) < count;  // lanes with twitches to sum
  // Two twitches at a time: they do not depend on each other, so their long chains of
  // operations overlap; they are added one after the other as above.
  int64_t i = newest - 1;
  for (; i > first; i -= 2) {
    const TLaneTwitches newer = TwitchOf(tables, unit, tHigh, tLow, i);
    const TLaneTwitches older = TwitchOf(tables, unit, tHigh, tLow, i - 1);
    Accumulate(lanes, newer, i, first, count, unit.Peak[i], unit.MaxPeak);
    Accumulate(lanes, older, i - 1, first, count, unit.Peak[i - 1], unit.MaxPeak);
    if (!Any(~lanes.Done & started)) break;
  }
  if (i == first && Any(~lanes.Done & started))
    Accumulate(lanes, TwitchOf(tables, unit, tHigh, tLow, i), i, first, count, unit.Peak[i],
               unit.MaxPeak);
  for (int l = 0; l < kLanes; ++l) {
    // Twitches below e^-kDeadExponent of their peak were left out: fine when the rest dwarfs them.
    const double dead = lanes.DeadPeaks[l] * TWideTables::kDeadShape;
    ok[l] =
        lanes.Unsafe[l] == 0 && (dead == 0 || dead <= TWideTables::kNegligible * lanes.Total[l]);
    sums[l] =
        static_cast<long double>(lanes.Total[l]) + static_cast<long double>(lanes.TotalLow[l]);
  }
}
