#include "base/Extended.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace sarvanta {
namespace {

// True where long double is the x87 80-bit format stored little-endian in its first 10 bytes.
constexpr bool kNativeExtended = LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384 &&
                                 __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

TExtendedBytes PortableEncode(long double value) {
  TExtendedBytes out{};
  uint16_t signExponent = std::signbit(value) ? 0x8000 : 0;
  uint64_t mantissa = 0;
  if (std::isnan(value)) {
    signExponent |= 0x7FFF;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(value)) {
    signExponent |= 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (value != 0) {
    int exponent = 0;
    long double fraction = std::frexp(std::fabs(value), &exponent);  // [0.5, 1)
    int biased = exponent - 1 + 16383;
    if (biased <= 0) {  // subnormal in the 80-bit format
      fraction = std::ldexp(fraction, biased - 1);
      biased = 0;
    }
    mantissa = static_cast<uint64_t>(std::ldexp(fraction, 64));
    signExponent |= static_cast<uint16_t>(biased);
  }
  for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(mantissa >> (8 * i));
  out[8] = static_cast<uint8_t>(signExponent);
  out[9] = static_cast<uint8_t>(signExponent >> 8);
  return out;
}

long double PortableDecode(const uint8_t* bytes) {
  uint64_t mantissa = 0;
  for (int i = 0; i < 8; ++i) mantissa |= static_cast<uint64_t>(bytes[i]) << (8 * i);
  const uint16_t signExponent = static_cast<uint16_t>(bytes[8] | (bytes[9] << 8));
  const bool negative = signExponent & 0x8000;
  const int biased = signExponent & 0x7FFF;
  long double value;
  if (biased == 0x7FFF) {
    value = (mantissa << 1) == 0 ? HUGE_VALL : NAN;
  } else {
    const int exponent = (biased == 0 ? 1 : biased) - 16383 - 63;
    value = std::ldexp(static_cast<long double>(mantissa), exponent);
  }
  return negative ? -value : value;
}

}  // namespace

TExtendedBytes EncodeExtended(long double value) {
  if constexpr (kNativeExtended) {
    TExtendedBytes out;
    std::memcpy(out.data(), &value, out.size());
    return out;
  } else {
    return PortableEncode(value);
  }
}

long double DecodeExtended(const uint8_t* bytes) {
  if constexpr (kNativeExtended) {
    long double value = 0;
    std::memcpy(&value, bytes, 10);
    // Unnormal encodings (integer bit clear with a non-zero exponent) are invalid on x87;
    // read them the portable way so that they keep a definite value.
    if (!(bytes[7] & 0x80) && ((bytes[8] | (bytes[9] << 8)) & 0x7FFF) != 0)
      return PortableDecode(bytes);
    return value;
  } else {
    return PortableDecode(bytes);
  }
}

long double DecodeExtended(const TExtendedBytes& bytes) { return DecodeExtended(bytes.data()); }

// Exposed for the codec's tests on machines where the native path is taken.
TExtendedBytes EncodeExtendedPortable(long double value) { return PortableEncode(value); }
long double DecodeExtendedPortable(const uint8_t* bytes) { return PortableDecode(bytes); }

}  // namespace sarvanta
