// A polynomial of one variable: entry i of Coefficients is the coefficient of x^i.
#pragma once

#include "model/Stream.h"

#include <cstdint>
#include <vector>

namespace sarvanta {

class TPolynomial : public TStreamComponent {
 public:
  explicit TPolynomial(TComponent* owner = nullptr, std::vector<long double> coefficients = {})
      : TStreamComponent(owner), Coefficients(std::move(coefficients)) {}

  // The degree: number of coefficients - 1, -1 when there are none.
  int32_t Exponent() const { return static_cast<int32_t>(Coefficients.size()) - 1; }
  // Resizes to n + 1 coefficients (new ones 0); -1 (or less) empties the polynomial.
  void SetExponent(int32_t n);
  // The highest degree a file may state: the muscle functions are evaluated at every sample,
  // and no muscle needs a polynomial of higher degree.
  static constexpr int32_t MaxExponent = 64;

  // Horner's rule from the highest coefficient down; 0 without coefficients.
  long double Evaluate(long double x) const;

  const TClassInfo& ClassInfo() const override;

  std::vector<long double> Coefficients;
};

}  // namespace sarvanta
