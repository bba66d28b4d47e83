// The computations of compiled expressions: one small function per operation code, run over
// the operation's cells. Undefined results (division by zero, logarithm or root of a
// non-positive number, ...) are 0; a result beyond the extended range throws EOverflow.
#pragma once

#include <cstdint>

namespace sarvanta {

struct TExprOperation;
using TExprComputation = void (*)(const TExprOperation& operation);

// One entry of a compiled list: reads its operand cells, writes its result cell.
struct TExprOperation {
  TExprComputation Compute = nullptr;
  const long double* X = nullptr;  // first operand
  const long double* Y = nullptr;  // second operand (the first again for unary operations)
  long double* Result = nullptr;
  int16_t Code = 0;
};

// The computation of an operation code; codes 0, 1 and 2 (and unknown codes) compute nothing.
TExprComputation ComputationOf(int16_t code);

// x^n as a repeated product: n = 0 gives 1, otherwise |n| factors of x, inverted for a negative
// n unless the product is 0.
long double IntegerPower(long double x, long double n);

}  // namespace sarvanta
