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

long double TCompiledExpression::Evaluate(long double x, long double y, long double z) {
  if (operations_.empty()) return 1.0L;
  cells_[0] = x;
  cells_[1] = y;
  cells_[2] = z;
  for (const TExprOperation& operation : operations_) operation.Compute(operation);
  return *operations_.back().Result;
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
  if (operations_.empty()) return 1.0L;
  cells_[0] = x;
  cells_[1] = y;
  cells_[2] = z;
  for (const TExprOperation& operation : operations_) operation.Compute(operation);
  return *operations_.back().Result;
}

}  // namespace sarvanta
