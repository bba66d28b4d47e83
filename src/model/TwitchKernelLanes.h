// The double-precision twitch sum over lanes of impulses. Deliberately without include guard:
// TwitchKernelWide.cpp includes it once per instruction set, each time inside its own namespace
// that first defines
//   kLanes                    the number of doubles in a vector,
//   TDouble                   a vector of kLanes doubles (GCC/clang vector extension),
//   MulAdd(a, b, c)           a * b + c (fused where the instruction set has it),
//   Lookup(table, index)      the table entries at the lanes' indices,
//   Any(mask)                 whether any lane of a comparison's result is set.
// Everything here is plain vector arithmetic, so each copy is compiled for its own instruction
// set. The file is compiled without floating-point contraction: the error-free sums below rely
// on every operation being rounded on its own, and each copy computes the same bits whatever
// the optimiser does.

using TInt = decltype(TDouble{} < TDouble{});
using TBits = std::make_unsigned_t<std::remove_cvref_t<decltype(TInt{}[0])>> __attribute__((
    vector_size(sizeof(TDouble))));

// v - 0 is v for every v (v + 0 would turn -0 into +0), so this is a plain broadcast.
[[gnu::always_inline]] inline TDouble Splat(double v) { return v - TDouble{}; }

[[gnu::always_inline]] inline TDouble Load(const double* p) {
  TDouble v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

[[gnu::always_inline]] inline void Store(double* p, TDouble v) { std::memcpy(p, &v, sizeof v); }

[[gnu::always_inline]] inline TBits Bits(TDouble v) { return __builtin_bit_cast(TBits, v); }
[[gnu::always_inline]] inline TDouble FromBits(TBits v) { return __builtin_bit_cast(TDouble, v); }

// mask ? a : b, lane by lane (mask lanes are all ones or all zeros).
[[gnu::always_inline]] inline TDouble Select(TInt mask, TDouble a, TDouble b) {
  const TBits m = __builtin_bit_cast(TBits, mask);
  return FromBits((m & Bits(a)) | (~m & Bits(b)));
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

[[gnu::always_inline]] inline TDouble Abs(TDouble v) {
  constexpr uint64_t kMagnitude = ~(uint64_t{1} << 63);
  return FromBits(Bits(v) & kMagnitude);
}

// e^x for -kDeadExponent <= x <= 0 (a little above 0 is fine), with a relative error below
// 3 u (u = 2^-53): x = k ln2/256 + r, |r| <= ln2/512, e^r by its series to r^4 (the next term is
// below 0.4 u), 2^(k/256) from the table (rounded: u), the last multiply-add rounds once more.
[[gnu::always_inline]] inline TDouble Exp(const TWideTables& tables, TDouble x) {
  constexpr double kShifter = 0x1.8p52;
  const TDouble shifted = MulAdd(x, Splat(tables.StepsPerLn2), Splat(kShifter));
  const TDouble k = shifted - Splat(kShifter);
  // k ExpStepHigh is exact and close to x, so the first difference is exact.
  const TDouble r = MulAdd(-k, Splat(tables.ExpStepLow), MulAdd(-k, Splat(tables.ExpStepHigh), x));
  const TDouble r2 = r * r;
  const TDouble series =
      MulAdd(r2, MulAdd(r2, Splat(1.0 / 24), MulAdd(r, Splat(1.0 / 6), Splat(0.5))), r);
  const TBits kBits = Bits(shifted) - Bits(Splat(kShifter));  // k as a two's complement integer
  const TBits j = kBits & (TWideTables::kExpSteps - 1);
  const TDouble power = Lookup(tables.Pow2, j);
  const TDouble mantissa = MulAdd(power, series, power);
  // Multiply by 2^((k - j) / 256) by adding to the exponent field.
  return FromBits(Bits(mantissa) + ((kBits - j) << (52 - TWideTables::kExpStepBits)));
}

// ln x for kMinX <= x <= kMaxX with an error of at most 2^-53 |ln x| + 2^-60:
// x = 2^e f, f near the cell centre c, ln x = e ln2 + ln c + ln(1 + u), u = (f - c)/c,
// |u| <= 2^-10, ln(1 + u) by its series to u^5 (the next term is below 2^-62). The high part
// e ln2High + lnHigh(c) is exact, so only the last sum rounds at the size of the result.
[[gnu::always_inline]] inline TDouble Log(const TWideTables& tables, TDouble x) {
  constexpr uint64_t kMantissa = (uint64_t{1} << 52) - 1;
  constexpr uint64_t kOne = uint64_t{1023} << 52;
  constexpr int kCellShift = 52 - TWideTables::kLogCellBits;
  const TBits bits = Bits(x);
  const TBits biased = bits >> 52;
  const TDouble f = FromBits((bits & kMantissa) | kOne);
  constexpr uint64_t cellMask = kMantissa & ~((uint64_t{1} << kCellShift) - 1);
  const TDouble centre = FromBits((bits & cellMask) | kOne | (uint64_t{1} << (kCellShift - 1)));
  const TBits j = (bits >> kCellShift) & (TWideTables::kLogCells - 1);
  const TDouble u = (f - centre) * Lookup(tables.Inverse, j);  // f - centre is exact
  const TDouble u2 = u * u;
  const TDouble series = MulAdd(u2,
                                MulAdd(u2, MulAdd(u, Splat(1.0 / 5), Splat(-1.0 / 4)),
                                       MulAdd(u, Splat(1.0 / 3), Splat(-1.0 / 2))),
                                u);
  constexpr double kTwo52 = 0x1p52;
  const TDouble e = FromBits(biased | Bits(Splat(kTwo52))) - Splat(kTwo52 + 1023);
  const TDouble high = MulAdd(e, Splat(tables.Ln2High), Lookup(tables.LogCentreHigh, j));
  const TDouble low = MulAdd(e, Splat(tables.Ln2Low), Lookup(tables.LogCentreLow, j));
  return high + (low + series);
}

// One impulse's twitch at each lane's time: the lanes are times, the impulse is shared.
struct TLaneTwitches {
  TDouble Term, Shape, X;
  // Term's relative error is at most unit roundoff times (m Weight + kFixedError).
  TDouble Weight;
  TInt Dead;    // below e^-kDeadExponent of the peak but not 0: left out, counted apart
  TInt Unsafe;  // lanes the double computation cannot vouch for
};

// The twitch of the impulse started at startHigh + startLow with peak `peak` at the lanes'
// times tHigh + tLow: A e^E with E = m (ln x + 1 - x), x = (t - s)/Tc, all in double.
//
// Error, u = 2^-53 the unit roundoff: t - s is formed from the exact difference of the high
// parts (or one rounding when t and s are not within a factor 2 of each other) and the exact
// difference of the low parts, so tau carries at most 2u; x = tau * (1/Tc) adds 2u more, 4u in
// all. E moves by m (1 - x) dx/x with x, so that costs 4u m|1 - x|; 1 - x rounds once (u m|1 -
// x|); ln x errs by u|ln x| + u/128; ln x + (1 - x), the product with m and m held in double
// each err u|E|. So E is off by at most u (m (5|1 - x| + |ln x|) + 3|E|) + u m/128, which is
// the relative error of e^E; the exponential adds 3u, the peak (rounded to double) and the
// product with it 2u. Weight = 5|1 - x| + |ln x| + 3|E|/m; the rest (with m <= 16) stays below
// kFixedError u.
[[gnu::always_inline]] inline TLaneTwitches Twitch(const TWideTables& tables, const TWideUnit& unit,
                                                   TDouble tHigh, TDouble tLow, double startHigh,
                                                   double startLow, double peak) {
  const TDouble tau = (tHigh - Splat(startHigh)) + (tLow - Splat(startLow));
  const TDouble xRaw = tau * Splat(unit.InverseTc);
  const TInt inRange = (xRaw >= Splat(TWideTables::kMinX)) & (xRaw <= Splat(TWideTables::kMaxX));
  const TDouble x = Select(inRange, xRaw, Splat(1));
  const TDouble m = Splat(unit.M);
  const TDouble log = Log(tables, x);
  const TDouble fall = Splat(1) - x;
  const TDouble sum = log + fall;
  const TDouble exponent = m * sum;

  TLaneTwitches out;
  // So far past its start that the step-by-step decay e^(m (1 - x)) is exactly 0 in 80 bits
  // (and x^m finite): the twitch adds exactly nothing there either.
  const TInt vanished = m * fall < Splat(-TWideTables::kVanishedExponent);
  const TInt small = exponent < Splat(-TWideTables::kDeadExponent);
  out.Dead = small & ~vanished;
  out.Shape = Select(small, Splat(0), Exp(tables, Select(small, Splat(0), exponent)));
  out.Term = out.Shape * peak;
  out.X = x;
  out.Weight = MulAdd(Splat(5), Abs(fall), MulAdd(Splat(3), Abs(sum), Abs(log)));
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
  TDouble Weighted;         // the sum of the terms times their error weights
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
  const TDouble term = Select(active, twitch.Term, Splat(0));
  TwoSum(sums.Total, term, sums.Total, error);
  sums.TotalLow += error;
  sums.Weighted = MulAdd(term, twitch.Weight, sums.Weighted);
  sums.DeadPeaks += Select(active & twitch.Dead, Splat(peak), Splat(0));
  const double older = static_cast<double>(i - first);
  const TDouble bound =
      Splat(older * maxPeak) * Select(twitch.Dead, Splat(TWideTables::kDeadShape), twitch.Shape);
  sums.Done |= active & (twitch.X > Splat(1)) & (bound <= sums.Total * kNegligible);
}

// For each lane l of the batch's slice from `offset`: the scaled force at its time of the
// twitches first..Count-1, newest first, each lane on its own: a lane's result does not depend
// on the other lanes. A lane stops once all its older twitches together stay below kNegligible
// of its sum. Ok is 0 where a twitch needs the 80-bit computation. Lanes with Count <= first
// get 0.
inline void SumTwitches(const TWideTables& tables, const TWideUnit& unit, int64_t first,
                        TWideBatch& batch, int offset) {
  const TDouble tHigh = Load(batch.TimeHigh + offset);
  const TDouble tLow = Load(batch.TimeLow + offset);
  const TDouble count = Load(batch.Count + offset);
  int64_t newest = first;
  for (int l = 0; l < kLanes; ++l)
    newest = std::max(newest, static_cast<int64_t>(batch.Count[offset + l]));
  TLaneSums lanes{
      Splat(0), Splat(0), Splat(0), Splat(0), Splat(0) != Splat(0), Splat(0) != Splat(0)};
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
  // Twitches below e^-kDeadExponent of their peak were left out: fine when the rest dwarfs them.
  const TDouble dead = lanes.DeadPeaks * Splat(TWideTables::kDeadShape);
  // Every term's error bound, the left-out twitches and the rounding of the sum together stay
  // within kMaxError of it.
  const TDouble bound =
      Splat(TWideTables::kUnitRoundoff) *
      (Splat(unit.M) * lanes.Weighted + Splat(TWideTables::kFixedError) * lanes.Total);
  const TInt ok = ~lanes.Unsafe &
                  ((dead == Splat(0)) | (dead <= Splat(TWideTables::kNegligible) * lanes.Total)) &
                  (bound <= Splat(TWideTables::kMaxError) * lanes.Total);
  Store(batch.SumHigh + offset, lanes.Total);
  Store(batch.SumLow + offset, lanes.TotalLow);
  std::memcpy(batch.Ok + offset, &ok, sizeof ok);
}
