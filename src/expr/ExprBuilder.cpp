#include "expr/ExprBuilder.h"

#include "base/Random.h"
#include "expr/ExprCodes.h"

#include <algorithm>

namespace sarvanta {
namespace {

constexpr int kVariableCells = 3;
constexpr int kParameterCells = 6;

}  // namespace

bool TExprBuilder::Build(TCompiledExpression& target) {
  const TExprSpan whole = parser_.Whole();
  if (whole.Len == 0 || !parser_.Classify(whole)) return false;
  cells_.assign(kVariableCells + kParameterCells, 0.0L);
  segmentsOnLevel_[0] = 1;
  if (!Decompose(whole, 0, kPlaceholder, 1)) return false;
  Finish(target);
  return true;
}

// Depth first: a leaf hands its cell to its consumer; an operation is created together with
// its first operand's segment, and its second operand follows after the first one's subtree.
bool TExprBuilder::Decompose(TExprSpan segment, int level, int consumer, int slot) {
  const auto form = parser_.Classify(segment);
  if (!form) return false;
  if (form->Arity == 0) {
    int cell = 0;
    if (form->Code == ecVariable)
      cell = parser_.VariableIndex(form->First);
    else if (form->Code == ecParameter)
      cell = kVariableCells + parser_.ParameterIndex(form->First);
    else
      cell = NewCell(parser_.NumberValue(form->First));
    Attach(consumer, slot, cell);
    return true;
  }
  if (form->Code == ecRn || form->Code == ecRm) {
    // Every random call in a text reseeds the shared generator once.
    TRandom::Shared().Randomize();
    usesRandom_ = true;
  }
  int index = 0;
  if (!NewSegment(level + 1, index)) return false;
  const int operation = static_cast<int>(pending_.size());
  pending_.push_back({form->Code, -1, -1, NewCell(0), level + 1, index});
  Attach(consumer, slot, pending_.back().Result);
  if (!Decompose(form->First, level + 1, operation, 1)) return false;
  if (form->Arity == 2) {
    if (!NewSegment(level + 1, index)) return false;
    if (!Decompose(form->Second, level + 1, operation, 2)) return false;
  }
  return true;
}

bool TExprBuilder::NewSegment(int level, int& index) {
  if (level > TCompiledExpression::kMaxLevel) return false;
  index = ++segmentsOnLevel_[static_cast<size_t>(level)];
  return index <= TCompiledExpression::kMaxSegmentsPerLevel;
}

int TExprBuilder::NewCell(long double value) {
  cells_.push_back(value);
  return static_cast<int>(cells_.size()) - 1;
}

void TExprBuilder::Attach(int consumer, int slot, int cell) {
  if (consumer == kPlaceholder)
    placeholderCell_ = cell;
  else if (slot == 1)
    pending_[static_cast<size_t>(consumer)].First = cell;
  else
    pending_[static_cast<size_t>(consumer)].Second = cell;
}

// Orders the operations deepest level first, by creation within a level, and binds them to
// the final cells.
void TExprBuilder::Finish(TCompiledExpression& target) {
  std::stable_sort(pending_.begin(), pending_.end(), [](const TPending& a, const TPending& b) {
    return a.Level != b.Level ? a.Level > b.Level : a.Index < b.Index;
  });
  target.cells_ = std::make_unique<long double[]>(cells_.size());
  std::copy(cells_.begin(), cells_.end(), target.cells_.get());
  target.cellCount_ = cells_.size();
  long double* cells = target.cells_.get();
  target.operations_.clear();
  if (pending_.empty()) {
    // A single leaf: the placeholder stands alone, its result is the leaf's cell.
    long double* leaf = cells + placeholderCell_;
    target.operations_.push_back({ComputationOf(ecVariable), leaf, leaf, leaf, ecVariable});
    target.count_ = 0;
  } else {
    for (const TPending& p : pending_) {
      const int second = p.Second >= 0 ? p.Second : p.First;
      target.operations_.push_back(
          {ComputationOf(p.Code), cells + p.First, cells + second, cells + p.Result, p.Code});
    }
    target.count_ = static_cast<int>(pending_.size());
  }
  target.usesRandom_ = usesRandom_;
}

}  // namespace sarvanta
