#include "expr/CompiledExpression.h"

#include "expr/ExprBuilder.h"
#include "expr/ExprParser.h"

#include <algorithm>

namespace sarvanta {
namespace {

constexpr int kFirstParameterCell = 3;

}  // namespace

TCompiledExpression::TCompiledExpression(std::string_view text, std::string_view variableNames,
                                         std::string_view parameterNames)
    : text_(text.substr(0, TExprParser::kMaxText)) {
  TExprParser parser(text_, variableNames, parameterNames);
  error_ = !TExprBuilder(parser).Build(*this);
  if (error_) {
    operations_.clear();
    count_ = 0;
  }
}

void TCompiledExpression::SetParameterValues(const std::array<long double, 6>& values) {
  if (!cells_) return;
  std::copy(values.begin(), values.end(), cells_.get() + kFirstParameterCell);
}

namespace {

// Writes the variables into their cells and runs the list; 1 for an empty list (nothing
// compiled).
long double Run(long double* cells, const std::vector<TExprOperation>& operations, long double x,
                long double y, long double z) {
  if (operations.empty()) return 1.0L;
  cells[0] = x;
  cells[1] = y;
  cells[2] = z;
  for (const TExprOperation& operation : operations) operation.Compute(operation);
  return *operations.back().Result;
}

}  // namespace

long double TCompiledExpression::Evaluate(long double x, long double y, long double z) {
  return Run(cells_.get(), operations_, x, y, z);
}

TExpressionRunner::TExpressionRunner(const TCompiledExpression* compiled) {
  if (compiled == nullptr || compiled->operations_.empty()) return;
  const long double* from = compiled->cells_.get();
  cells_.assign(from, from + compiled->cellCount_);
  long double* to = cells_.data();
  // Every operand and result points into the compiled cells: the same offsets in the copy.
  auto rebase = [&](const long double* cell) { return to + (cell - from); };
  operations_ = compiled->operations_;
  for (TExprOperation& operation : operations_) {
    operation.X = rebase(operation.X);
    operation.Y = rebase(operation.Y);
    operation.Result = rebase(operation.Result);
  }
}

long double TExpressionRunner::Evaluate(long double x, long double y, long double z) {
  return Run(cells_.data(), operations_, x, y, z);
}

}  // namespace sarvanta
