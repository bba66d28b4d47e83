// Number text of the whole program: "." as the decimal separator whatever the locale.
// Nobody else formats or parses model values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sarvanta {

// General format with 15 significant digits: the shortest of fixed and exponent form
// ("0.3", "200", "1E20", "1.5E-5"), no trailing zeros. Infinities and non-numbers show as
// "INF", "-INF" and "NAN".
std::string FloatToStr(long double value);

// General format with the given number of significant digits (1 to 21).
std::string FloatToStrDigits(long double value, int digits);

std::string IntToStr(int64_t value);

// Decimal integer with optional sign and surrounding blanks; a hexadecimal "$FF" or "0xFF"
// is accepted too. Throws EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view text);
int64_t StrToInt64(std::string_view text);
bool TryStrToInt(std::string_view text, int32_t& value);

// Decimal real: optional sign, digits with an optional "." fraction, optional exponent
// "E"/"e" with optional sign; surrounding blanks allowed. Throws EConvertError
// "'<text>' is not a valid floating point value".
long double StrToFloat(std::string_view text);
bool TryStrToFloat(std::string_view text, long double& value);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
int64_t RoundHalfEven(long double value);

}  // namespace sarvanta
