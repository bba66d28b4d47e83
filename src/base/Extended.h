// The 10-byte extended float of the files: 64-bit mantissa with explicit integer bit, then
// 16-bit sign and exponent (bias 16383), little-endian. Works whatever `long double` is.
#pragma once

#include <array>
#include <cstdint>

namespace sarvanta {

using TExtendedBytes = std::array<uint8_t, 10>;

TExtendedBytes EncodeExtended(long double value);
long double DecodeExtended(const TExtendedBytes& bytes);
long double DecodeExtended(const uint8_t* bytes);

// The arithmetic codec used where long double is not the 80-bit format (tests compare it
// with the native one).
TExtendedBytes EncodeExtendedPortable(long double value);
long double DecodeExtendedPortable(const uint8_t* bytes);

}  // namespace sarvanta
