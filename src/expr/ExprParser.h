// The recogniser of the formula language: decides what a substring of an expression text is
// (a number, a name, a bracketed expression, a binary operation, a negation or a function
// call) by trying fixed forms in a fixed order, splitting at operators and commas and
// re-checking the pieces.
//
// Every answer depends on the substring alone, so each one is computed once per parser and
// remembered; the results are those of the plain recogniser, but the work stays polynomial in
// the text length however the text is built. A parser holds all its working state itself:
// separate parsers may run on separate threads.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sarvanta {

// A substring of the prepared text: 0-based position and length.
struct TExprSpan {
  int Pos = 0;
  int Len = 0;
  bool operator==(const TExprSpan&) const = default;
};

// What a well-formed substring is. Arity 0 (leaf): Code is 0 (variable), 1 (number) or
// 2 (parameter) and First is the leaf's own text without enclosing brackets. Arity 1: First is
// the operand. Arity 2: First and Second are the operands.
struct TExprForm {
  int16_t Code = 0;
  int Arity = 0;
  TExprSpan First;
  TExprSpan Second;
};

class TExprParser {
 public:
  // Longest text, variable list and parameter list that take part in a compile.
  static constexpr int kMaxText = 255;
  static constexpr int kMaxVariables = 3;
  static constexpr int kMaxParameters = 6;

  // Cuts the text to 255 characters and the name lists to 3 and 6, then deletes every space
  // character (only the space) from the text.
  TExprParser(std::string_view text, std::string_view variableNames,
              std::string_view parameterNames);

  // The text with its blanks removed; spans index into it.
  const std::string& Text() const { return text_; }
  TExprSpan Whole() const { return {0, static_cast<int>(text_.size())}; }

  // The form of a substring, or nothing when it is not an expression.
  std::optional<TExprForm> Classify(TExprSpan s);

  // For leaves: the value of a number, the 0-based index of a variable or parameter (-1 when
  // the substring is not one).
  long double NumberValue(TExprSpan s) const;
  int VariableIndex(TExprSpan s) const;
  int ParameterIndex(TExprSpan s) const;

  // Number of elementary recognition steps done so far (split and comma attempts, forms
  // examined); a measure of the recogniser's work for tests and benchmarks.
  uint64_t Work() const { return work_; }

 private:
  enum class TKind : int8_t {
    Unknown,
    Fail,
    Bracketed,
    Number,
    Variable,
    Parameter,
    Binary,
    Negation,
    OneArgCall,
    TwoArgCall
  };

  // Remembered answers for one substring; -2 means not yet computed, -1 means "no".
  struct TMemo {
    TKind Kind = TKind::Unknown;
    int8_t Number = -2;
    int8_t Negation = -2;
    int8_t OneArg = -2;  // name index
    int8_t TwoArg = -2;  // name index
    int16_t Split = -2;  // absolute position of the binary operator
    int16_t Comma = -2;  // absolute position of the two-argument comma
  };

  void MarkBoundaryCharacters();
  TMemo& Memo(TExprSpan s);
  char At(int pos) const { return text_[static_cast<size_t>(pos)]; }
  bool CanStart(int pos) const { return canStart_[static_cast<unsigned char>(At(pos))]; }
  bool CanEnd(int pos) const { return canEnd_[static_cast<unsigned char>(At(pos))]; }
  std::string_view View(TExprSpan s) const;

  TKind Kind(TExprSpan s);
  TKind ComputeKind(TExprSpan s);
  TExprForm FormOf(TExprSpan s, TKind kind);

  bool PassesBracketTest(TExprSpan s) const;
  bool IsExpression(TExprSpan s) { return Kind(s) != TKind::Fail; }
  bool IsBracketed(TExprSpan s);
  bool IsNumber(TExprSpan s);
  bool IsVariable(TExprSpan s) const { return VariableIndex(s) >= 0; }
  bool IsParameter(TExprSpan s) const { return ParameterIndex(s) >= 0; }
  // Position of the operator of the first split that works, or -1.
  int BinarySplit(TExprSpan s);
  // Whether the part after the operator at `op`, up to `end`, is a right operand for it.
  bool IsRightSplit(int op, int end);
  void FindRightSplits(int end, int lowest);
  bool IsBinaryWithPriority(TExprSpan s, int minimum);
  bool IsNegation(TExprSpan s);
  bool IsNegationOperand(TExprSpan s);
  bool IsLeftOperand(TExprSpan s, int priority);
  bool IsRightOperand(TExprSpan s, int priority);
  int OneArgName(TExprSpan s);
  int TwoArgName(TExprSpan s);
  int16_t PowerCode(TExprSpan exponent);

  std::string text_;
  std::string variables_;
  std::string parameters_;
  std::vector<int> depth_;      // bracket depth before each position (size n + 1)
  std::vector<int> firstDrop_;  // first position q > p with depth_[q] < depth_[p]
  std::vector<TMemo> memo_;
  // For each end position: the operators (positions descending) whose right part up to that
  // end is a right operand, found for every position from `Lowest` on. The right part depends
  // on the end alone, so all substrings with that end share the list, and a split search only
  // looks at these operators instead of at every one.
  struct TRightSplits {
    int Lowest = 0;
    std::vector<int16_t> Operators;
  };
  std::vector<TRightSplits> rightSplits_;
  // Characters an expression can begin and end with: checked before anything costlier.
  std::array<bool, 256> canStart_{};
  std::array<bool, 256> canEnd_{};
  uint64_t work_ = 0;
};

// Priority of a binary operator character: "+" "-" 1, "*" "/" 2, "^" 3, anything else 0.
int OperatorPriority(char c);

}  // namespace sarvanta
