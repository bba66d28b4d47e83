// The lanes of TwitchKernelLanes.h compiled three times: with the baseline instruction set (two
// doubles per vector), for processors with AVX2 and FMA (four) and for processors with AVX-512
// (eight), chosen at run time. Only the functions inside the target regions use the wider
// instructions; nothing runs them unless the processor reports the instruction set.
#include "model/TwitchKernelWide.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>
#include <type_traits>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SARVANTA_WIDE_X86 1
#endif

namespace sarvanta {

TWideTables::TWideTables() {
  const long double ln2 = std::numbers::ln2_v<long double>;
  // ln 2 minus its nearest 64-bit value.
  const long double ln2Rest = -1.1458352726798732811e-20L;
  // High parts are multiples of 2^-42, so that their products with exponents and table
  // indices, and their sums with the table's high parts, are exact.
  const auto high = [](long double v) {
    return static_cast<double>(std::round(v * 0x1p42L) / 0x1p42L);
  };
  StepsPerLn2 = static_cast<double>(kExpSteps / ln2);
  ExpStepHigh = high(ln2 / kExpSteps);
  ExpStepLow = static_cast<double>((ln2 / kExpSteps - ExpStepHigh) + ln2Rest / kExpSteps);
  Ln2High = high(ln2);
  Ln2Low = static_cast<double>((ln2 - Ln2High) + ln2Rest);
  for (uint64_t j = 0; j < kExpSteps; ++j) {
    const long double p = std::exp2(static_cast<long double>(j) / kExpSteps);
    Pow2[j] = static_cast<double>(p);
  }
  for (uint64_t j = 0; j < kLogCells; ++j) {
    const double centre = 1 + (static_cast<double>(j) + 0.5) / kLogCells;  // exact
    Inverse[j] = 1 / centre;
    const long double log = std::log(static_cast<long double>(centre));
    LogCentreHigh[j] = high(log);
    LogCentreLow[j] = static_cast<double>(log - LogCentreHigh[j]);
  }
}

const TWideTables& TWideTables::Get() {
  static const TWideTables tables;
  return tables;
}

namespace portable {
constexpr int kLanes = 2;
using TDouble = double __attribute__((vector_size(16)));

[[gnu::always_inline]] inline TDouble MulAdd(TDouble a, TDouble b, TDouble c) { return a * b + c; }

template <class TIndex>
[[gnu::always_inline]] inline TDouble Lookup(const double* table, TIndex index) {
  return TDouble{table[index[0]], table[index[1]]};
}

template <class TMask>
[[gnu::always_inline]] inline bool Any(TMask mask) {
  return (mask[0] | mask[1]) != 0;
}

#include "model/TwitchKernelLanes.h"
}  // namespace portable

void WideSumPortable(const TWideUnit& unit, int64_t first, TWideBatch& batch) {
  static_assert(kWideBatch % portable::kLanes == 0);
  for (int l = 0; l < kWideBatch; l += portable::kLanes)
    portable::SumTwitches(TWideTables::Get(), unit, first, batch, l);
}

#ifdef SARVANTA_WIDE_X86
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#endif
namespace avx2 {
constexpr int kLanes = 4;
using TDouble = double __attribute__((vector_size(32)));

[[gnu::always_inline]] inline TDouble MulAdd(TDouble a, TDouble b, TDouble c) {
  return _mm256_fmadd_pd(a, b, c);
}

template <class TIndex>
[[gnu::always_inline]] inline TDouble Lookup(const double* table, TIndex index) {
  return _mm256_i64gather_pd(table, __builtin_bit_cast(__m256i, index), 8);
}

template <class TMask>
[[gnu::always_inline]] inline bool Any(TMask mask) {
  const auto bits = __builtin_bit_cast(__m256i, mask);
  return _mm256_testz_si256(bits, bits) == 0;
}

#include "model/TwitchKernelLanes.h"
}  // namespace avx2

void WideSumAvx2(const TWideUnit& unit, int64_t first, TWideBatch& batch) {
  static_assert(kWideBatch % avx2::kLanes == 0);
  for (int l = 0; l < kWideBatch; l += avx2::kLanes)
    avx2::SumTwitches(TWideTables::Get(), unit, first, batch, l);
}
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512dq,avx2,fma"))), \
                             apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512dq,avx2,fma")
#endif
namespace avx512 {
constexpr int kLanes = 8;
using TDouble = double __attribute__((vector_size(64)));

[[gnu::always_inline]] inline TDouble MulAdd(TDouble a, TDouble b, TDouble c) {
  return _mm512_fmadd_pd(a, b, c);
}

template <class TIndex>
[[gnu::always_inline]] inline TDouble Lookup(const double* table, TIndex index) {
  // The masked form with a zero source: GCC warns that the plain form's undefined source
  // "may be used uninitialized".
  return _mm512_mask_i64gather_pd(_mm512_setzero_pd(), 0xFF, __builtin_bit_cast(__m512i, index),
                                  table, 8);
}

template <class TMask>
[[gnu::always_inline]] inline bool Any(TMask mask) {
  const auto bits = __builtin_bit_cast(__m512i, mask);
  return _mm512_test_epi64_mask(bits, bits) != 0;
}

#include "model/TwitchKernelLanes.h"
}  // namespace avx512

void WideSumAvx512(const TWideUnit& unit, int64_t first, TWideBatch& batch) {
  static_assert(kWideBatch == avx512::kLanes);
  avx512::SumTwitches(TWideTables::Get(), unit, first, batch, 0);
}
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return has;
}

bool HasAvx512() {
  static const bool has =
      HasAvx2() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
  return has;
}
#else
void WideSumAvx2(const TWideUnit& unit, int64_t first, TWideBatch& batch) {
  WideSumPortable(unit, first, batch);
}
void WideSumAvx512(const TWideUnit& unit, int64_t first, TWideBatch& batch) {
  WideSumPortable(unit, first, batch);
}
bool HasAvx2() { return false; }
bool HasAvx512() { return false; }
#endif

}  // namespace sarvanta
