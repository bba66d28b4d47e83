// The recogniser remembers answers and skips splits that cannot decide; its results must be
// those of the plain recogniser, which tries every form of every substring afresh. The plain
// one is written out here from the language rules and compared on many random short texts.
#include "base/NumberText.h"
#include "expr/ExprCodes.h"
#include "expr/ExprParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace sarvanta {
namespace {

struct TPlainForm {
  int Code = 0;
  std::string First, Second;
  bool operator==(const TPlainForm&) const = default;
};

class TPlainRecogniser {
 public:
  TPlainRecogniser(std::string variables, std::string parameters)
      : variables_(std::move(variables)), parameters_(std::move(parameters)) {}

  std::optional<TPlainForm> Classify(const std::string& s) const {
    if (!Balanced(s)) return std::nullopt;
    if (IsBracketed(s)) return Classify(s.substr(1, s.size() - 2));
    if (IsNumber(s)) return TPlainForm{ecNumber, s, ""};
    if (IsName(s, variables_)) return TPlainForm{ecVariable, s, ""};
    if (IsName(s, parameters_)) return TPlainForm{ecParameter, s, ""};
    if (auto form = Binary(s)) return form;
    if (IsNegation(s)) {
      const std::string rest = s.substr(1);
      return TPlainForm{ecNegate, IsBracketed(rest) ? rest.substr(1, rest.size() - 2) : rest, ""};
    }
    if (auto form = OneArg(s)) return form;
    return TwoArg(s);
  }

 private:
  static bool Balanced(const std::string& s) {
    int depth = 0;
    for (char c : s) {
      depth += (c == '(') - (c == ')');
      if (depth < 0) return false;
    }
    return depth == 0;
  }
  static int Priority(char c) {
    return c == '+' || c == '-' ? 1 : c == '*' || c == '/' ? 2 : c == '^' ? 3 : 0;
  }
  bool IsExpression(const std::string& s) const { return Classify(s).has_value(); }
  bool IsBracketed(const std::string& s) const {
    return s.size() >= 2 && s.front() == '(' && s.back() == ')' &&
           IsExpression(s.substr(1, s.size() - 2));
  }
  static bool IsNumber(const std::string& s) {
    long double value;
    if (s == "pi" || s == "Pi") return true;
    return !s.empty() && s.front() != '\t' && s.back() != '\t' && TryStrToFloat(s, value);
  }
  static bool IsName(const std::string& s, const std::string& names) {
    return s.size() == 1 && names.find(s[0]) != std::string::npos;
  }
  bool IsBinaryAbove(const std::string& s, int minimum) const {
    const auto form = Binary(s);
    return form && Priority(s[form->First.size()]) >= minimum;
  }
  bool IsNegation(const std::string& s) const {
    if (s.size() < 2 || s[0] != '-') return false;
    const std::string r = s.substr(1);
    return IsBracketed(r) || IsName(r, variables_) || IsName(r, parameters_) || OneArg(r) ||
           TwoArg(r) || IsNumber(r) || IsBinaryAbove(r, 2);
  }
  std::optional<TPlainForm> Binary(const std::string& s) const {
    for (size_t i = 0; i < s.size(); ++i) {
      const int p = Priority(s[i]);
      if (p == 0) continue;
      const std::string left = s.substr(0, i), right = s.substr(i + 1);
      if (left.empty() || right.empty() || !Balanced(left) || !Balanced(right)) continue;
      const bool leftFits = IsName(left, variables_) || IsNumber(left) ||
                            IsName(left, parameters_) || IsBracketed(left) ||
                            (p < 3 && IsNegation(left)) || IsBinaryAbove(left, p) || TwoArg(left) ||
                            OneArg(left);
      const bool rightFits = IsName(right, variables_) || IsNumber(right) ||
                             IsName(right, parameters_) || IsBracketed(right) ||
                             IsBinaryAbove(right, p + 1) || OneArg(right) || TwoArg(right);
      if (!leftFits || !rightFits) continue;
      int code = s[i] == '+'   ? ecAdd
                 : s[i] == '-' ? ecSubtract
                 : s[i] == '*' ? ecMultiply
                               : ecDivide;
      if (s[i] == '^') code = PowerCode(right);
      return TPlainForm{code, left, right};
    }
    return std::nullopt;
  }
  int PowerCode(const std::string& exponent) const {
    const auto form = Classify(exponent);
    if (!form || form->Code != ecNumber || !form->Second.empty()) return ecPower;
    long double v = 0;
    if (form->First == "pi" || form->First == "Pi") return ecPower;
    TryStrToFloat(form->First, v);
    if (v != std::trunc(v)) return ecPower;
    return v == 2 ? ecSquare : v == 3 ? ecCube : v == 4 ? ecFourth : ecIntPower;
  }
  std::optional<TPlainForm> OneArg(const std::string& s) const {
    static const std::vector<std::pair<std::string, int>> names{
        {"cos", 11}, {"sin", 12},  {"exp", 13},    {"ln", 14},    {"arctan", 16}, {"sqrt", 15},
        {"abs", 20}, {"heav", 23}, {"ph", 24},     {"sinh", 27},  {"cosh", 28},   {"fr", 31},
        {"tan", 36}, {"tanh", 37}, {"arcsin", 38}, {"arccos", 39}};
    for (const auto& [name, code] : names)
      if (s.size() > name.size() && s.compare(0, name.size(), name) == 0 &&
          IsBracketed(s.substr(name.size())))
        return TPlainForm{code, s.substr(name.size() + 1, s.size() - name.size() - 2), ""};
    return std::nullopt;
  }
  std::optional<TPlainForm> TwoArg(const std::string& s) const {
    static const std::vector<std::pair<std::string, int>> names{
        {"min", 22}, {"max", 21}, {"rn", 25}, {"arg", 26}, {"r", 29},
        {"rm", 30},  {"lt", 32},  {"le", 34}, {"eq", 33},  {"ne", 35}};
    for (const auto& [name, code] : names) {
      if (s.size() < name.size() + 2 || s.compare(0, name.size(), name) != 0 ||
          s[name.size()] != '(' || s.back() != ')')
        continue;
      const std::string inner = s.substr(name.size() + 1, s.size() - name.size() - 2);
      for (size_t c = 1; c + 1 < inner.size(); ++c)
        if (inner[c] == ',' && IsExpression(inner.substr(0, c)) &&
            IsExpression(inner.substr(c + 1)))
          return TPlainForm{code, inner.substr(0, c), inner.substr(c + 1)};
    }
    return std::nullopt;
  }

  std::string variables_, parameters_;
};

std::optional<TPlainForm> FastForm(const std::string& text, const std::string& variables,
                                   const std::string& parameters) {
  TExprParser parser(text, variables, parameters);
  const auto form = parser.Classify(parser.Whole());
  if (!form) return std::nullopt;
  const auto part = [&](TExprSpan s) { return parser.Text().substr(s.Pos, s.Len); };
  return TPlainForm{form->Code, part(form->First), form->Arity == 2 ? part(form->Second) : ""};
}

// Compares both recognisers on random texts made of the pieces; returns how many were valid.
int CompareOnRandomTexts(const std::string& variables, const std::string& parameters,
                         unsigned seed) {
  const std::vector<std::string> pieces{
      "t", "x", "a", "d", "z", "2", "-2", "1e-1", ".5",    "2.0",  "pi", "(",   "(",  ")", ")", "+",
      "-", "-", "*", "/", "^", "^", ",",  "sin(", "sinh(", "min(", "r(", "rm(", "-(", "e", "s"};
  const TPlainRecogniser plain(variables, parameters);
  std::mt19937 random(seed);
  int accepted = 0;
  for (int n = 0; n < 30000; ++n) {
    std::string text;
    const int count = 1 + static_cast<int>(random() % 9);
    for (int k = 0; k < count; ++k) text += pieces[random() % pieces.size()];
    if (text.size() > 22) continue;
    const auto expected = plain.Classify(text);
    const auto actual = FastForm(text, variables, parameters);
    EXPECT_EQ(actual.has_value(), expected.has_value()) << text;
    if (!expected || !actual) continue;
    ++accepted;
    EXPECT_EQ(actual->Code, expected->Code) << text;
    EXPECT_EQ(actual->First, expected->First) << text;
    EXPECT_EQ(actual->Second, expected->Second) << text;
  }
  return accepted;
}

TEST(ExprReference, RecogniserAgreesWithThePlainRulesOnRandomTexts) {
  // The pieces make plenty of valid texts, so the comparison is not only about refusals.
  EXPECT_GT(CompareOnRandomTexts("txy", "abcd", 20261208), 1000);
  // Names may be any characters, even those of operators, numbers and function names.
  EXPECT_GT(CompareOnRandomTexts("x-e", "i,(s", 7), 1000);
}

}  // namespace
}  // namespace sarvanta
