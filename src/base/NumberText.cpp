#include "base/NumberText.h"

#include "base/Exception.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace sarvanta {
namespace {

std::string_view Trim(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// "1.5e-05" -> "1.5E-5", "1e+20" -> "1E20".
std::string TidyExponent(std::string text) {
  const auto e = text.find('e');
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e);
  std::string_view exponent = std::string_view(text).substr(e + 1);
  bool negative = false;
  if (!exponent.empty() && (exponent.front() == '+' || exponent.front() == '-')) {
    negative = exponent.front() == '-';
    exponent.remove_prefix(1);
  }
  while (exponent.size() > 1 && exponent.front() == '0') exponent.remove_prefix(1);
  return mantissa + "E" + (negative ? "-" : "") + std::string(exponent);
}

[[noreturn]] void ThrowNotInteger(std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

[[noreturn]] void ThrowNotFloat(std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

bool ParseInt64(std::string_view text, int64_t& value) {
  std::string_view t = Trim(text);
  bool negative = false;
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  int base = 10;
  if (!t.empty() && t.front() == '$') {
    base = 16;
    t.remove_prefix(1);
  } else if (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.remove_prefix(2);
  }
  if (t.empty()) return false;
  uint64_t magnitude = 0;
  const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), magnitude, base);
  if (error != std::errc() || end != t.data() + t.size()) return false;
  const uint64_t limit = negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                                  : uint64_t(std::numeric_limits<int64_t>::max());
  if (magnitude > limit) return false;
  value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

// The accepted real-number syntax, checked before conversion so that forms the conversion
// routine would also take ("inf", "nan", hexadecimal floats) are refused.
bool IsDecimalReal(std::string_view t) {
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == t.size();
}

// Rough decimal exponent of a valid real text: positive for huge values, negative or zero for
// tiny ones. Only used to tell an overflow from an underflow.
int64_t DecimalMagnitude(std::string_view t) {
  size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  int64_t position = 0;
  bool seenNonZero = false, inFraction = false;
  for (; i < t.size() && t[i] != 'e' && t[i] != 'E'; ++i) {
    if (t[i] == '.') {
      inFraction = true;
      continue;
    }
    if (!seenNonZero && t[i] == '0') {
      if (inFraction) --position;
      continue;
    }
    if (!seenNonZero) seenNonZero = true;
    if (!inFraction) ++position;
  }
  int64_t exponent = 0;
  if (i < t.size()) {
    bool negative = false;
    ++i;
    if (t[i] == '+' || t[i] == '-') negative = t[i++] == '-';
    for (; i < t.size() && exponent < 1000000000; ++i) exponent = exponent * 10 + (t[i] - '0');
    if (negative) exponent = -exponent;
  }
  return position + exponent;
}

}  // namespace

std::string FloatToStrDigits(long double value, int digits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (digits < 1) digits = 1;
  if (digits > 21) digits = 21;
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
  std::string text(buffer, result.ptr);
  if (text == "-0") text = "0";
  return TidyExponent(text);
}

std::string FloatToStr(long double value) { return FloatToStrDigits(value, 15); }

std::string IntToStr(int64_t value) { return std::to_string(value); }

bool TryStrToInt(std::string_view text, int32_t& value) {
  int64_t wide = 0;
  if (!ParseInt64(text, wide) || wide < std::numeric_limits<int32_t>::min() ||
      wide > std::numeric_limits<int32_t>::max())
    return false;
  value = static_cast<int32_t>(wide);
  return true;
}

int32_t StrToInt(std::string_view text) {
  int32_t value = 0;
  if (!TryStrToInt(text, value)) ThrowNotInteger(text);
  return value;
}

int64_t StrToInt64(std::string_view text) {
  int64_t value = 0;
  if (!ParseInt64(text, value)) ThrowNotInteger(text);
  return value;
}

bool TryStrToFloat(std::string_view text, long double& value) {
  std::string_view t = Trim(text);
  if (!IsDecimalReal(t)) return false;
  if (t.front() == '+') t.remove_prefix(1);
  long double parsed = 0;
  const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), parsed);
  // Out of the extended range: too large is refused, too small reads as zero.
  if (error == std::errc::result_out_of_range) {
    if (DecimalMagnitude(t) > 0) return false;
    parsed = 0;
  } else if (error != std::errc() || end != t.data() + t.size()) {
    return false;
  }
  if (std::isinf(parsed)) return false;
  value = parsed;
  return true;
}

long double StrToFloat(std::string_view text) {
  long double value = 0;
  if (!TryStrToFloat(text, value)) ThrowNotFloat(text);
  return value;
}

int64_t RoundHalfEven(long double value) {
  // The default rounding mode is round-to-nearest-even.
  return static_cast<int64_t>(std::nearbyint(value));
}

}  // namespace sarvanta
