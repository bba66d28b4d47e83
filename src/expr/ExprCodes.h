// Operation codes of a compiled expression. The numbers are fixed: every operation of a
// compiled list carries one, and tools show them.
#pragma once

#include <cstdint>

namespace sarvanta {

enum TExprCode : int16_t {
  ecVariable = 0,   // leaf: a variable cell (also the placeholder of a one-leaf list)
  ecNumber = 1,     // leaf: a constant cell
  ecParameter = 2,  // leaf: a parameter cell
  ecNegate = 4,
  ecAdd = 5,
  ecSubtract = 6,
  ecMultiply = 7,
  ecDivide = 8,
  ecIntPower = 9,  // x^n with an integer literal n other than 2, 3, 4
  ecPower = 10,    // x^y, general
  ecCos = 11,
  ecSin = 12,
  ecExp = 13,
  ecLn = 14,
  ecSqrt = 15,
  ecArcTan = 16,
  ecSquare = 17,  // x^2
  ecCube = 18,    // x^3
  ecFourth = 19,  // x^4
  ecAbs = 20,
  ecMax = 21,
  ecMin = 22,
  ecHeav = 23,
  ecPh = 24,
  ecRn = 25,
  ecArg = 26,
  ecSinh = 27,
  ecCosh = 28,
  ecR = 29,
  ecRm = 30,
  ecFr = 31,
  ecLt = 32,
  ecEq = 33,
  ecLe = 34,
  ecNe = 35,
  ecTan = 36,
  ecTanh = 37,
  ecArcSin = 38,
  ecArcCos = 39,
};

// The extended value of pi used by the language ("pi", "Pi") and by its functions.
inline constexpr long double kExprPi = 3.14159265358979323846L;

}  // namespace sarvanta
