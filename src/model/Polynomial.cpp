#include "model/Polynomial.h"

#include <limits>
#include <string>

namespace sarvanta {

void TPolynomial::SetExponent(int32_t n) {
  Coefficients.resize(n < 0 ? 0 : static_cast<size_t>(n) + 1, 0.0L);
}

long double TPolynomial::Evaluate(long double x) const {
  if (Coefficients.empty()) return 0;
  long double r = Coefficients.back();
  for (size_t i = Coefficients.size() - 1; i-- > 0;) r = r * x + Coefficients[i];
  return r;
}

const TClassInfo& TPolynomial::ClassInfo() const {
  static const TClassInfo info = [] {
    TPropertyInfo exponent;
    exponent.Name = "Exponent";
    exponent.Type = TPropType::Integer;
    exponent.GetInt = [](const TStreamComponent& c) {
      return static_cast<int64_t>(static_cast<const TPolynomial&>(c).Exponent());
    };
    exponent.SetInt = [](TStreamComponent& c, int64_t value) {
      static_cast<TPolynomial&>(c).SetExponent(static_cast<int32_t>(value));
    };
    exponent.MinValue = std::numeric_limits<int32_t>::min();
    exponent.MaxValue = MaxExponent;

    TBlockInfo poly;
    poly.Name = "Poly";
    poly.ShouldWrite = [](const TStreamComponent& c) {
      return !static_cast<const TPolynomial&>(c).Coefficients.empty();
    };
    poly.Write = [](const TStreamComponent& c, TWriter& writer) {
      writer.WriteListBegin();
      for (const long double value : static_cast<const TPolynomial&>(c).Coefficients)
        writer.WriteFloat(value);
      writer.WriteListEnd();
    };
    // The i-th value read goes to index i; the array grows when a value lies beyond its end.
    poly.Read = [](TStreamComponent& c, TReader& reader) {
      auto& coefficients = static_cast<TPolynomial&>(c).Coefficients;
      reader.ReadListBegin();
      for (size_t i = 0; !reader.EndOfList(); ++i) {
        if (i > static_cast<size_t>(MaxExponent))
          reader.Error("TPolynomial.Poly holds more than " + std::to_string(MaxExponent + 1) +
                       " coefficients");
        const long double value = reader.ReadFiniteFloat("TPolynomial.Poly");
        if (i >= coefficients.size()) coefficients.resize(i + 1, 0.0L);
        coefficients[i] = value;
      }
      reader.ReadListEnd();
    };
    return TClassInfo{"TPolynomial", {exponent}, {poly}};
  }();
  return info;
}

}  // namespace sarvanta
