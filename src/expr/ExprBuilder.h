// Turns an accepted expression text into the operation list of a TCompiledExpression.
#pragma once

#include "expr/CompiledExpression.h"
#include "expr/ExprParser.h"

#include <array>
#include <vector>

namespace sarvanta {

class TExprBuilder {
 public:
  explicit TExprBuilder(TExprParser& parser) : parser_(parser) {}

  // Decomposes the parser's whole text into `target`'s cells and operations. Returns false
  // (and leaves `target` without operations) when the text is not an expression or nests
  // deeper than the level limits.
  bool Build(TCompiledExpression& target);

 private:
  // An operation while the list is built: cells are indices, and the operation is filed under
  // the level and index of its first operand's segment.
  struct TPending {
    int16_t Code = 0;
    int First = -1;
    int Second = -1;
    int Result = -1;
    int Level = 0;
    int Index = 0;
  };

  static constexpr int kPlaceholder = -1;

  bool Decompose(TExprSpan segment, int level, int consumer, int slot);
  bool NewSegment(int level, int& index);
  int NewCell(long double value);
  void Attach(int consumer, int slot, int cell);
  void Finish(TCompiledExpression& target);

  TExprParser& parser_;
  std::vector<long double> cells_;
  std::vector<TPending> pending_;
  std::array<int, TCompiledExpression::kMaxLevel + 1> segmentsOnLevel_{};
  int placeholderCell_ = -1;
  bool usesRandom_ = false;
};

}  // namespace sarvanta
