#include "expr/ExprParser.h"

#include "base/NumberText.h"
#include "expr/ExprCodes.h"

#include <array>
#include <cmath>

namespace sarvanta {
namespace {

struct TFunctionName {
  std::string_view Name;
  TExprCode Code;
};

// Names are compared in this order; a later name is tried when an earlier one matches the start
// of the text but the rest does not fit ("sinh" after "sin", "rm" after "r").
constexpr std::array<TFunctionName, 16> kOneArgNames{{{"cos", ecCos},
                                                      {"sin", ecSin},
                                                      {"exp", ecExp},
                                                      {"ln", ecLn},
                                                      {"arctan", ecArcTan},
                                                      {"sqrt", ecSqrt},
                                                      {"abs", ecAbs},
                                                      {"heav", ecHeav},
                                                      {"ph", ecPh},
                                                      {"sinh", ecSinh},
                                                      {"cosh", ecCosh},
                                                      {"fr", ecFr},
                                                      {"tan", ecTan},
                                                      {"tanh", ecTanh},
                                                      {"arcsin", ecArcSin},
                                                      {"arccos", ecArcCos}}};

constexpr std::array<TFunctionName, 10> kTwoArgNames{{{"min", ecMin},
                                                      {"max", ecMax},
                                                      {"rn", ecRn},
                                                      {"arg", ecArg},
                                                      {"r", ecR},
                                                      {"rm", ecRm},
                                                      {"lt", ecLt},
                                                      {"le", ecLe},
                                                      {"eq", ecEq},
                                                      {"ne", ecNe}}};

constexpr int8_t kNotComputed = -2;

bool IsWhitespace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

TExprSpan Interior(TExprSpan s) { return {s.Pos + 1, s.Len - 2}; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNumberStart(char c) {
  return IsDigit(c) || c == '.' || c == '+' || c == '-' || c == 'p' || c == 'P';
}
bool IsNumberEnd(char c) { return IsDigit(c) || c == '.' || c == 'i'; }

}  // namespace

int OperatorPriority(char c) {
  switch (c) {
    case '+':
    case '-':
      return 1;
    case '*':
    case '/':
      return 2;
    case '^':
      return 3;
    default:
      return 0;
  }
}

TExprParser::TExprParser(std::string_view text, std::string_view variableNames,
                         std::string_view parameterNames)
    : variables_(variableNames.substr(0, kMaxVariables)),
      parameters_(parameterNames.substr(0, kMaxParameters)) {
  for (char c : text.substr(0, kMaxText))
    if (c != ' ') text_ += c;

  const int n = static_cast<int>(text_.size());
  depth_.assign(static_cast<size_t>(n) + 1, 0);
  for (int i = 0; i < n; ++i) depth_[i + 1] = depth_[i] + (At(i) == '(') - (At(i) == ')');
  firstDrop_.assign(static_cast<size_t>(n) + 1, n + 1);
  for (int p = 0; p <= n; ++p)
    for (int q = p + 1; q <= n; ++q)
      if (depth_[q] < depth_[p]) {
        firstDrop_[p] = q;
        break;
      }
  memo_.resize(static_cast<size_t>(n + 1) * static_cast<size_t>(n + 1));
  rightSplits_.resize(static_cast<size_t>(n) + 1);
  for (int end = 0; end <= n; ++end) rightSplits_[end].Lowest = end;
  MarkBoundaryCharacters();
}

// A number begins with a sign, a digit, "." or "p"/"P" and ends with a digit, "." or "i"; a
// bracketed expression or a call ends with ")"; names may be any characters. A negation or a
// binary operation begins and ends like its operands.
void TExprParser::MarkBoundaryCharacters() {
  const auto mark = [](std::array<bool, 256>& set, std::string_view chars) {
    for (char c : chars) set[static_cast<unsigned char>(c)] = true;
  };
  mark(canStart_, "0123456789.+-pP(");
  mark(canEnd_, "0123456789.i)");
  for (const auto& name : kOneArgNames) mark(canStart_, name.Name.substr(0, 1));
  for (const auto& name : kTwoArgNames) mark(canStart_, name.Name.substr(0, 1));
  for (const std::string* names : {&variables_, &parameters_}) {
    mark(canStart_, *names);
    mark(canEnd_, *names);
  }
}

TExprParser::TMemo& TExprParser::Memo(TExprSpan s) {
  return memo_[static_cast<size_t>(s.Pos) * (text_.size() + 1) + static_cast<size_t>(s.Len)];
}

std::string_view TExprParser::View(TExprSpan s) const {
  return std::string_view(text_).substr(static_cast<size_t>(s.Pos), static_cast<size_t>(s.Len));
}

std::optional<TExprForm> TExprParser::Classify(TExprSpan s) {
  const int n = static_cast<int>(text_.size());
  if (s.Pos < 0 || s.Len < 0 || s.Pos + s.Len > n) return std::nullopt;
  const TKind kind = Kind(s);
  if (kind == TKind::Fail) return std::nullopt;
  return FormOf(s, kind);
}

TExprParser::TKind TExprParser::Kind(TExprSpan s) {
  TMemo& memo = Memo(s);
  if (memo.Kind == TKind::Unknown) {
    ++work_;
    const TKind kind = ComputeKind(s);
    Memo(s).Kind = kind;
    return kind;
  }
  return memo.Kind;
}

// The forms in the order in which they are tried; the first that fits decides.
TExprParser::TKind TExprParser::ComputeKind(TExprSpan s) {
  if (!PassesBracketTest(s)) return TKind::Fail;
  if (s.Len == 0 || !CanStart(s.Pos) || !CanEnd(s.Pos + s.Len - 1)) return TKind::Fail;
  if (IsBracketed(s)) return TKind::Bracketed;
  if (IsNumber(s)) return TKind::Number;
  if (IsVariable(s)) return TKind::Variable;
  if (IsParameter(s)) return TKind::Parameter;
  if (BinarySplit(s) >= 0) return TKind::Binary;
  if (IsNegation(s)) return TKind::Negation;
  if (OneArgName(s) >= 0) return TKind::OneArgCall;
  if (TwoArgName(s) >= 0) return TKind::TwoArgCall;
  return TKind::Fail;
}

TExprForm TExprParser::FormOf(TExprSpan s, TKind kind) {
  TExprForm form;
  switch (kind) {
    case TKind::Bracketed: {
      const TExprSpan inner = Interior(s);
      return FormOf(inner, Kind(inner));
    }
    case TKind::Number:
      form.Code = ecNumber;
      form.First = s;
      return form;
    case TKind::Variable:
      form.Code = ecVariable;
      form.First = s;
      return form;
    case TKind::Parameter:
      form.Code = ecParameter;
      form.First = s;
      return form;
    case TKind::Binary: {
      const int split = BinarySplit(s);
      form.Arity = 2;
      form.First = {s.Pos, split - s.Pos};
      form.Second = {split + 1, s.Pos + s.Len - split - 1};
      switch (At(split)) {
        case '+':
          form.Code = ecAdd;
          break;
        case '-':
          form.Code = ecSubtract;
          break;
        case '*':
          form.Code = ecMultiply;
          break;
        case '/':
          form.Code = ecDivide;
          break;
        default:
          form.Code = PowerCode(form.Second);
          break;
      }
      return form;
    }
    case TKind::Negation: {
      const TExprSpan rest{s.Pos + 1, s.Len - 1};
      form.Code = ecNegate;
      form.Arity = 1;
      form.First = IsBracketed(rest) ? Interior(rest) : rest;
      return form;
    }
    case TKind::OneArgCall: {
      const auto& name = kOneArgNames[static_cast<size_t>(OneArgName(s))];
      const int nameLength = static_cast<int>(name.Name.size());
      form.Code = name.Code;
      form.Arity = 1;
      form.First = Interior({s.Pos + nameLength, s.Len - nameLength});
      return form;
    }
    case TKind::TwoArgCall: {
      const auto& name = kTwoArgNames[static_cast<size_t>(TwoArgName(s))];
      const TExprSpan inner = Interior(
          {s.Pos + static_cast<int>(name.Name.size()), s.Len - static_cast<int>(name.Name.size())});
      const int comma = Memo(s).Comma;
      form.Code = name.Code;
      form.Arity = 2;
      form.First = {inner.Pos, comma - inner.Pos};
      form.Second = {comma + 1, inner.Pos + inner.Len - comma - 1};
      return form;
    }
    default:
      return form;
  }
}

// Reading left to right, ")" never outnumbers "(" and both counts are equal at the end.
bool TExprParser::PassesBracketTest(TExprSpan s) const {
  return depth_[s.Pos + s.Len] == depth_[s.Pos] && firstDrop_[s.Pos] > s.Pos + s.Len;
}

bool TExprParser::IsBracketed(TExprSpan s) {
  return s.Len >= 2 && At(s.Pos) == '(' && At(s.Pos + s.Len - 1) == ')' &&
         IsExpression(Interior(s));
}

// "pi", "Pi" or the text of a decimal real as every real-number field reads it (surrounding
// white space is not part of a number here).
bool TExprParser::IsNumber(TExprSpan s) {
  if (s.Len == 0 || !IsNumberStart(At(s.Pos)) || !IsNumberEnd(At(s.Pos + s.Len - 1))) return false;
  TMemo& memo = Memo(s);
  if (memo.Number == kNotComputed) {
    const std::string_view view = View(s);
    long double value = 0;
    const bool number =
        view == "pi" || view == "Pi" ||
        (!IsWhitespace(view.front()) && !IsWhitespace(view.back()) && TryStrToFloat(view, value));
    memo.Number = number ? 1 : 0;
  }
  return memo.Number == 1;
}

long double TExprParser::NumberValue(TExprSpan s) const {
  const std::string_view view = View(s);
  if (view == "pi" || view == "Pi") return kExprPi;
  long double value = 0;
  TryStrToFloat(view, value);
  return value;
}

int TExprParser::VariableIndex(TExprSpan s) const {
  if (s.Len != 1) return -1;
  const auto index = variables_.find(At(s.Pos));
  return index == std::string::npos ? -1 : static_cast<int>(index);
}

int TExprParser::ParameterIndex(TExprSpan s) const {
  if (s.Len != 1) return -1;
  const auto index = parameters_.find(At(s.Pos));
  return index == std::string::npos ? -1 : static_cast<int>(index);
}

// Operators are tried from the left; the first at which both parts fit decides. The strict
// rules for the right part make every operator group from the left. Only operators whose right
// part fits are looked at: the others cannot decide.
int TExprParser::BinarySplit(TExprSpan s) {
  if (s.Len < 3) return -1;
  TMemo& memo = Memo(s);
  if (memo.Split != kNotComputed) return memo.Split;
  const int end = s.Pos + s.Len;
  FindRightSplits(end, s.Pos + 1);
  // Operators at s.Pos + 1 or later form the front of the descending list; walk it backwards.
  const std::vector<int16_t>& operators = rightSplits_[static_cast<size_t>(end)].Operators;
  size_t count = 0;
  while (count < operators.size() && operators[count] > s.Pos) ++count;
  int found = -1;
  for (size_t k = count; k-- > 0 && found < 0;) {
    const int op = rightSplits_[static_cast<size_t>(end)].Operators[k];
    const TExprSpan left{s.Pos, op - s.Pos};
    if (!PassesBracketTest(left)) continue;
    ++work_;
    if (IsLeftOperand(left, OperatorPriority(At(op)))) found = op;
  }
  Memo(s).Split = static_cast<int16_t>(found);
  return found;
}

// Extends the list of right splits for `end` down to position `lowest`. Deciding one position
// may need the list for the same end, but only above that position, which is done already.
void TExprParser::FindRightSplits(int end, int lowest) {
  while (rightSplits_[static_cast<size_t>(end)].Lowest > lowest) {
    const int op = --rightSplits_[static_cast<size_t>(end)].Lowest;
    if (IsRightSplit(op, end))
      rightSplits_[static_cast<size_t>(end)].Operators.push_back(static_cast<int16_t>(op));
  }
}

bool TExprParser::IsRightSplit(int op, int end) {
  const int priority = OperatorPriority(At(op));
  if (priority == 0 || op < 1 || op > end - 2 || !CanEnd(op - 1) || !CanStart(op + 1)) return false;
  const TExprSpan right{op + 1, end - op - 1};
  if (!PassesBracketTest(right)) return false;
  ++work_;
  return IsRightOperand(right, priority);
}

bool TExprParser::IsBinaryWithPriority(TExprSpan s, int minimum) {
  const int split = BinarySplit(s);
  return split >= 0 && OperatorPriority(At(split)) >= minimum;
}

bool TExprParser::IsLeftOperand(TExprSpan s, int priority) {
  return IsVariable(s) || IsNumber(s) || IsParameter(s) || IsBracketed(s) ||
         (priority < 3 && IsNegation(s)) || IsBinaryWithPriority(s, priority) ||
         TwoArgName(s) >= 0 || OneArgName(s) >= 0;
}

// A negation is never a right operand; a signed number literal is.
bool TExprParser::IsRightOperand(TExprSpan s, int priority) {
  return IsVariable(s) || IsNumber(s) || IsParameter(s) || IsBracketed(s) ||
         IsBinaryWithPriority(s, priority + 1) || OneArgName(s) >= 0 || TwoArgName(s) >= 0;
}

bool TExprParser::IsNegation(TExprSpan s) {
  if (s.Len < 2 || At(s.Pos) != '-') return false;
  TMemo& memo = Memo(s);
  if (memo.Negation == kNotComputed) {
    ++work_;
    const bool negation = IsNegationOperand({s.Pos + 1, s.Len - 1});
    Memo(s).Negation = negation ? 1 : 0;
  }
  return Memo(s).Negation == 1;
}

// "--a" is refused, "--2" is the negation of the number "-2", "-x^2" negates "x^2".
bool TExprParser::IsNegationOperand(TExprSpan s) {
  return IsBracketed(s) || IsVariable(s) || IsParameter(s) || OneArgName(s) >= 0 ||
         TwoArgName(s) >= 0 || IsNumber(s) || IsBinaryWithPriority(s, 2);
}

int TExprParser::OneArgName(TExprSpan s) {
  if (s.Len < 4 || At(s.Pos + s.Len - 1) != ')') return -1;
  TMemo& memo = Memo(s);
  if (memo.OneArg != kNotComputed) return memo.OneArg;
  int found = -1;
  const std::string_view view = View(s);
  for (size_t i = 0; i < kOneArgNames.size() && found < 0; ++i) {
    const std::string_view name = kOneArgNames[i].Name;
    if (view.size() <= name.size() || view.substr(0, name.size()) != name) continue;
    ++work_;
    const int nameLength = static_cast<int>(name.size());
    if (IsBracketed({s.Pos + nameLength, s.Len - nameLength})) found = static_cast<int>(i);
  }
  Memo(s).OneArg = static_cast<int8_t>(found);
  return found;
}

// The interior is split at the first comma (not at its ends) where both parts are expressions,
// so "min(max(a,b),c)" splits at its second comma.
int TExprParser::TwoArgName(TExprSpan s) {
  if (s.Len < 6 || At(s.Pos + s.Len - 1) != ')') return -1;
  TMemo& memo = Memo(s);
  if (memo.TwoArg != kNotComputed) return memo.TwoArg;
  int found = -1;
  int comma = -1;
  const std::string_view view = View(s);
  for (size_t i = 0; i < kTwoArgNames.size() && found < 0; ++i) {
    const std::string_view name = kTwoArgNames[i].Name;
    if (view.size() < name.size() + 2 || view.substr(0, name.size()) != name ||
        view[name.size()] != '(' || view.back() != ')')
      continue;
    const TExprSpan inner =
        Interior({s.Pos + static_cast<int>(name.size()), s.Len - static_cast<int>(name.size())});
    for (int c = inner.Pos + 1; c < inner.Pos + inner.Len - 1; ++c) {
      if (At(c) != ',' || !CanEnd(c - 1) || !CanStart(c + 1)) continue;
      ++work_;
      if (IsExpression({inner.Pos, c - inner.Pos}) &&
          IsExpression({c + 1, inner.Pos + inner.Len - c - 1})) {
        found = static_cast<int>(i);
        comma = c;
        break;
      }
    }
  }
  TMemo& stored = Memo(s);
  stored.TwoArg = static_cast<int8_t>(found);
  stored.Comma = static_cast<int16_t>(comma);
  return found;
}

// "^" with an integer-valued number literal (possibly in brackets) as exponent gets its own
// code: 2, 3 and 4 are plain products, any other integer a repeated product.
int16_t TExprParser::PowerCode(TExprSpan exponent) {
  const auto form = Classify(exponent);
  if (!form || form->Code != ecNumber || form->Arity != 0) return ecPower;
  const long double value = NumberValue(form->First);
  if (value != std::trunc(value)) return ecPower;
  if (value == 2) return ecSquare;
  if (value == 3) return ecCube;
  if (value == 4) return ecFourth;
  return ecIntPower;
}

}  // namespace sarvanta
