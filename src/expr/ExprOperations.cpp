#include "expr/ExprOperations.h"

#include "base/Exception.h"
#include "base/Random.h"
#include "expr/ExprCodes.h"

#include <cmath>

namespace sarvanta {
namespace {

// Beyond this many factors the repeated product is replaced by the library power, which
// gives the same value up to the last bits and cannot take minutes.
constexpr long double kMaxRepeatedFactors = 1024;

long double Checked(long double value) {
  if (std::isinf(value)) throw EOverflow();
  return value;
}

// e^x, raising the overflow error where the exponential leaves the extended range.
long double CheckedExp(long double x) { return Checked(std::exp(x)); }

// Nearest integer (halves to even), reduced modulo 65536 to an unsigned 16-bit number.
uint16_t RoundToWord(long double value) {
  if (!std::isfinite(value)) return 0;
  long double reduced = std::fmod(std::nearbyint(value), 65536.0L);
  if (reduced < 0) reduced += 65536.0L;
  return static_cast<uint16_t>(reduced);
}

#define SARVANTA_EXPR_OP(name, expression)        \
  void name(const TExprOperation& op) {           \
    [[maybe_unused]] const long double x = *op.X; \
    [[maybe_unused]] const long double y = *op.Y; \
    *op.Result = (expression);                    \
  }

SARVANTA_EXPR_OP(Negate, -x)
SARVANTA_EXPR_OP(Add, Checked(x + y))
SARVANTA_EXPR_OP(Subtract, Checked(x - y))
SARVANTA_EXPR_OP(Multiply, Checked(x* y))
SARVANTA_EXPR_OP(Divide, y == 0 ? 0.0L : Checked(x / y))
SARVANTA_EXPR_OP(IntPower, IntegerPower(x, y))
SARVANTA_EXPR_OP(Power, x <= 0 ? 0.0L : CheckedExp(Checked(y * std::log(x))))
SARVANTA_EXPR_OP(Cos, std::cos(x))
SARVANTA_EXPR_OP(Sin, std::sin(x))
SARVANTA_EXPR_OP(Exp, CheckedExp(x))
SARVANTA_EXPR_OP(Ln, x <= 0 ? 0.0L : std::log(x))
SARVANTA_EXPR_OP(Sqrt, x <= 0 ? 0.0L : std::sqrt(x))
SARVANTA_EXPR_OP(ArcTan, std::atan(x))
SARVANTA_EXPR_OP(Square, Checked(x* x))
SARVANTA_EXPR_OP(Cube, Checked(x* x* x))
SARVANTA_EXPR_OP(Fourth, Checked(x* x* x* x))
SARVANTA_EXPR_OP(Abs, std::fabs(x))
SARVANTA_EXPR_OP(Max, y < x ? x : y)
SARVANTA_EXPR_OP(Min, x > y ? y : x)
SARVANTA_EXPR_OP(Heav, x >= 0 ? 1.0L : 0.0L)
SARVANTA_EXPR_OP(Fr, x - std::trunc(x))
SARVANTA_EXPR_OP(Lt, x < y ? 1.0L : 0.0L)
SARVANTA_EXPR_OP(Eq, x == y ? 1.0L : 0.0L)
SARVANTA_EXPR_OP(Le, x <= y ? 1.0L : 0.0L)
SARVANTA_EXPR_OP(Ne, x != y ? 1.0L : 0.0L)
SARVANTA_EXPR_OP(R, Checked(std::sqrt(Checked(y* y + x * x))))

#undef SARVANTA_EXPR_OP

void Nothing(const TExprOperation&) {}

// The phase of x: x reduced to [-pi, pi] by whole turns.
void Ph(const TExprOperation& op) {
  const long double turns = *op.X / 2 / kExprPi;
  *op.Result = (turns - std::nearbyint(turns)) * (2 * kExprPi);
}

// rn(n, k): 1 when an integer draw below n equals k, else 0.
void Rn(const TExprOperation& op) {
  const uint16_t k = RoundToWord(*op.Y);
  const uint16_t n = RoundToWord(*op.X);
  *op.Result = TRandom::Shared().Below(n) == k ? 1.0L : 0.0L;
}

// Angle of the point (x, y), in (-pi, pi]; pi/2 on the vertical axis.
void Arg(const TExprOperation& op) {
  const long double x = *op.X, y = *op.Y;
  if (x == 0) {
    *op.Result = kExprPi / 2;
    return;
  }
  const long double angle = std::atan(Checked(y / x));
  if (x > 0)
    *op.Result = angle;
  else
    *op.Result = y > 0 ? angle + kExprPi : angle - kExprPi;
}

void Sinh(const TExprOperation& op) { *op.Result = (CheckedExp(*op.X) - CheckedExp(-*op.X)) / 2; }

void Cosh(const TExprOperation& op) { *op.Result = (CheckedExp(*op.X) + CheckedExp(-*op.X)) / 2; }

void Tanh(const TExprOperation& op) {
  const long double up = CheckedExp(*op.X), down = CheckedExp(-*op.X);
  *op.Result = (up - down) / (up + down);
}

// rm(x, y): x plus y times a normal deviate drawn by the Box-Muller method.
void Rm(const TExprOperation& op) {
  TRandom& random = TRandom::Shared();
  long double u1 = random.Real();
  if (u1 < 1e-20L) u1 = 1e-20L;
  const long double rho = std::sqrt(-2 * std::log(u1));
  const long double u2 = random.Real();
  const long double z = std::cos(2 * kExprPi * u2) * rho;
  *op.Result = Checked(*op.X + Checked(*op.Y * z));
}

void Tan(const TExprOperation& op) {
  const long double c = std::cos(*op.X);
  *op.Result = c == 0 ? 0.0L : std::sin(*op.X) / c;
}

void ArcSin(const TExprOperation& op) {
  const long double x = *op.X;
  if (std::fabs(x) < 1)
    *op.Result = std::atan(x / std::sqrt(1 - x * x));
  else if (x == 1)
    *op.Result = kExprPi / 2;
  else if (x == -1)
    *op.Result = -kExprPi / 2;
  else
    *op.Result = 0;
}

void ArcCos(const TExprOperation& op) {
  const long double x = *op.X;
  if (x > 1 || x < -1)
    *op.Result = 0;
  else if (x == 0)
    *op.Result = kExprPi / 2;
  else if (x > 0)
    *op.Result = std::atan(Checked(std::sqrt(1 - x * x) / x));
  else
    *op.Result = std::atan(Checked(std::sqrt(1 - x * x) / x)) + kExprPi;
}

}  // namespace

long double IntegerPower(long double x, long double n) {
  const long double k = std::trunc(std::fabs(n));
  if (k == 0) return 1;
  long double product = x;
  if (k <= kMaxRepeatedFactors) {
    for (long double factor = 2; factor <= k && product != 0; ++factor)
      product = Checked(product * x);
  } else {
    product = Checked(std::pow(x, k));
  }
  if (n < 0 && product != 0) product = Checked(1 / product);
  return product;
}

TExprComputation ComputationOf(int16_t code) {
  switch (code) {
    case ecNegate:
      return Negate;
    case ecAdd:
      return Add;
    case ecSubtract:
      return Subtract;
    case ecMultiply:
      return Multiply;
    case ecDivide:
      return Divide;
    case ecIntPower:
      return IntPower;
    case ecPower:
      return Power;
    case ecCos:
      return Cos;
    case ecSin:
      return Sin;
    case ecExp:
      return Exp;
    case ecLn:
      return Ln;
    case ecSqrt:
      return Sqrt;
    case ecArcTan:
      return ArcTan;
    case ecSquare:
      return Square;
    case ecCube:
      return Cube;
    case ecFourth:
      return Fourth;
    case ecAbs:
      return Abs;
    case ecMax:
      return Max;
    case ecMin:
      return Min;
    case ecHeav:
      return Heav;
    case ecPh:
      return Ph;
    case ecRn:
      return Rn;
    case ecArg:
      return Arg;
    case ecSinh:
      return Sinh;
    case ecCosh:
      return Cosh;
    case ecR:
      return R;
    case ecRm:
      return Rm;
    case ecFr:
      return Fr;
    case ecLt:
      return Lt;
    case ecEq:
      return Eq;
    case ecLe:
      return Le;
    case ecNe:
      return Ne;
    case ecTan:
      return Tan;
    case ecTanh:
      return Tanh;
    case ecArcSin:
      return ArcSin;
    case ecArcCos:
      return ArcCos;
    default:
      return Nothing;
  }
}

}  // namespace sarvanta
