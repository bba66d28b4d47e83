// A formula compiled into a flat list of operations over numeric cells.
//
// Cells: three variable cells, six parameter cells, one cell per constant of the text and one
// result cell per operation, which is at the same time the operand cell of the operation that
// consumes it. The list runs deepest operations first, so each operation comes after the ones
// that compute its operands and the last one holds the value of the expression.
//
// A compiled expression keeps all its working state itself: different compiled expressions may
// be compiled and evaluated on different threads at once. The only shared state is the
// process-wide random generator, which "rn" and "rm" draw from and reseed at compile time;
// UsesRandom() tells the caller to evaluate such expressions one at a time.
#pragma once

#include "expr/ExprOperations.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sarvanta {

// Variable names (at most 3 characters) and parameter names (at most 6), one name per character.
using TVarString = std::string;
using TParString = std::string;

class TCompiledExpression {
 public:
  // Deepest level of an operand below the whole text, and most segments on one level.
  static constexpr int kMaxLevel = 30;
  static constexpr int kMaxSegmentsPerLevel = 50;

  // Compiles the text (cut to 255 characters, blanks removed) with the given variable names
  // (at most 3 characters, one name each) and parameter names (at most 6). A text that is not
  // an expression, or nests too deep, sets CompileError() and builds nothing.
  TCompiledExpression(std::string_view text, std::string_view variableNames,
                      std::string_view parameterNames);

  TCompiledExpression(const TCompiledExpression&) = delete;
  TCompiledExpression& operator=(const TCompiledExpression&) = delete;
  TCompiledExpression(TCompiledExpression&&) = default;
  TCompiledExpression& operator=(TCompiledExpression&&) = default;

  bool CompileError() const { return error_; }
  // The text as given (cut to 255 characters).
  const std::string& Text() const { return text_; }

  // Number of operations; 0 for a text that is a single number, variable or parameter.
  int OperationCount() const { return count_; }
  // Code of the i-th operation in running order (0 <= i < OperationCount()).
  int16_t OperationCode(int i) const { return operations_[static_cast<size_t>(i)].Code; }
  // True when the text calls "rn" or "rm", which draw from the shared random generator.
  bool UsesRandom() const { return usesRandom_; }

  // Writes the six parameter cells in order.
  void SetParameterValues(const std::array<long double, 6>& values);

  // Writes x, y and z into variable cells 1 to 3 and runs the list. Undefined operations give
  // 0; a result beyond the extended range throws EOverflow. Allocates nothing.
  long double Evaluate(long double x, long double y, long double z);

 private:
  friend class TExprBuilder;
  friend class TExpressionRunner;

  std::string text_;
  bool error_ = true;
  bool usesRandom_ = false;
  int count_ = 0;
  std::unique_ptr<long double[]> cells_;
  size_t cellCount_ = 0;
  std::vector<TExprOperation> operations_;
};

// A private evaluation state of a compiled expression: its own copy of the cells and of the
// operations bound to them, so that several threads can evaluate one compiled expression at
// once while nobody recompiles it. Gives what the compiled expression's Evaluate gives (1.0
// for none); made once per batch of evaluations, it allocates nothing afterwards.
class TExpressionRunner {
 public:
  explicit TExpressionRunner(const TCompiledExpression* compiled);
  long double Evaluate(long double x, long double y, long double z);

 private:
  std::vector<long double> cells_;
  std::vector<TExprOperation> operations_;
};

}  // namespace sarvanta
