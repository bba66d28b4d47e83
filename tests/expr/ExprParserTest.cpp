#include "expr/CompiledExpression.h"
#include "expr/ExprCodes.h"
#include "expr/ExprParser.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace sarvanta {
namespace {

bool Compiles(const std::string& text, const std::string& variables = "txy",
              const std::string& parameters = "abcd") {
  return !TCompiledExpression(text, variables, parameters).CompileError();
}

std::vector<int16_t> Codes(const std::string& text, const std::string& variables = "xyz") {
  TCompiledExpression compiled(text, variables, "abcdef");
  EXPECT_FALSE(compiled.CompileError()) << text;
  std::vector<int16_t> codes;
  for (int i = 0; i < compiled.OperationCount(); ++i) codes.push_back(compiled.OperationCode(i));
  return codes;
}

std::string Sum(int terms) {
  std::string text = "x";
  for (int i = 1; i < terms; ++i) text += "+x";
  return text;
}

TEST(ExprParser, AcceptsTheLanguageAndRefusesEverythingElse) {
  const struct {
    const char* Text;
    bool Valid;
  } cases[] = {
      {"4.5*x/(y^2-t)", true},
      {"2x", false},      // multiplication must be written out
      {"Sin(x)", false},  // names are case sensitive
      {"PI", false},
      {"pi", true},
      {"Pi", true},
      {"cot(x)", false},  // listed in the help, but not a function
      {"e", false},
      {"sin x", false},       // reads "sinx": the argument is not in brackets
      {"s i n ( x )", true},  // blanks vanish wherever they stand
      {"sin\t(x)", false},    // only the space is a blank
      {"x*-y", false},        // a negation is never a right operand
      {"x^-y", false},
      {"x*-2", true},  // a signed literal is
      {"x^-2", true},
      {"x*(-y)", true},
      {"-(a+b)", true},
      {"-sin(x)", true},
      {"--2", true},  // negation of the literal -2
      {"--a", false},
      {"+2", true},
      {"+x", false},
      {".5", true},
      {"1e-5", true},
      {"2E+3*x", true},
      {"5.", true},
      {".", false},
      {"1e99999", false},  // beyond the extended range
      {"sinh(x)", true},
      {"rm(x,y)", true},
      {"r(x,y)", true},
      {"min(max(a,b),c)", true},
      {"min(a)", false},
      {"sin(a,b)", false},
      {"min(,a)", false},
      {"rn(6,0)", true},
      {"arccos(arcsin(arctan(x)))", true},
      {"tanh(cosh(sinh(tan(x))))", true},
      {"ph(fr(heav(abs(sqrt(ln(exp(x)))))))", true},
      {"lt(x,y)+le(x,y)+eq(x,y)+ne(x,y)+arg(x,y)", true},
      {"z", false},  // not a name with the list "txy"
      {"f", false},  // "abcd" names four parameters only
      {"()", false},
      {"(x", false},
      {"x)", false},
      {")x(", false},
      {"((x))", true},
      {"(x)+(y)", true},
      {"", false},
      {"   ", false},
      {"x+", false},
      {"*x", false},
      {"x++y", false},
      {"x+-2", true},
  };
  for (const auto& c : cases) EXPECT_EQ(Compiles(c.Text), c.Valid) << '"' << c.Text << '"';
}

TEST(ExprParser, NamesComeFromTheListsVariablesBeforeParameters) {
  EXPECT_TRUE(Compiles("z", "xyz", "abcdef"));
  EXPECT_TRUE(Compiles("f", "xyz", "abcdef"));
  EXPECT_FALSE(Compiles("t", "xyz", "abcdef"));
  // Lists are cut to 3 and 6 names.
  EXPECT_FALSE(Compiles("w", "xyzw", "abcdef"));
  EXPECT_FALSE(Compiles("g", "xyz", "abcdefg"));
  // A character in both lists is a variable: it reads the variable cell.
  TCompiledExpression both("a", "abc", "abcdef");
  both.SetParameterValues({7, 7, 7, 7, 7, 7});
  EXPECT_EQ(both.Evaluate(2, 0, 0), 2);
  // A digit is a number before it can be a name.
  TCompiledExpression digit("1", "1yz", "abcdef");
  EXPECT_EQ(digit.Evaluate(5, 0, 0), 1);
}

TEST(ExprParser, ClassifySplitsAtTheFirstFittingOperatorOrComma) {
  struct TCase {
    const char* Text;
    int16_t Code;
    const char* First;
    const char* Second;
  };
  const TCase cases[] = {
      {"a-b-c", ecSubtract, "a-b", "c"},
      {"2^3^2", ecSquare, "2^3", "2"},
      {"-x^2", ecNegate, "x^2", ""},
      {"-a*b", ecMultiply, "-a", "b"},
      {"a+b*c-d", ecSubtract, "a+b*c", "d"},
      {"a*b+c", ecAdd, "a*b", "c"},
      {"min(max(a,b),c)", ecMin, "max(a,b)", "c"},
      {"(x+y)", ecAdd, "x", "y"},
      {"-(a+b)", ecNegate, "a+b", ""},
      {"sinh(x)", ecSinh, "x", ""},
      {"rm(x,y)", ecRm, "x", "y"},
      {"x*-2", ecMultiply, "x", "-2"},
      {"2e-3-x", ecSubtract, "2e-3", "x"},
      {"((5))", ecNumber, "5", ""},
  };
  for (const auto& c : cases) {
    TExprParser parser(c.Text, "xyz", "abcdef");
    const auto form = parser.Classify(parser.Whole());
    ASSERT_TRUE(form) << c.Text;
    const auto text = [&](TExprSpan s) { return parser.Text().substr(s.Pos, s.Len); };
    EXPECT_EQ(form->Code, c.Code) << c.Text;
    EXPECT_EQ(text(form->First), c.First) << c.Text;
    if (form->Arity == 2) {
      EXPECT_EQ(text(form->Second), c.Second) << c.Text;
    }
  }
}

TEST(ExprParser, PowerCodesFollowTheExponentLiteral) {
  const struct {
    const char* Text;
    int16_t Code;
  } cases[] = {
      {"x^2", ecSquare},      {"x^2.0", ecSquare}, {"x^(2)", ecSquare},  {"x^((2))", ecSquare},
      {"x^3", ecCube},        {"x^4", ecFourth},   {"x^2.5", ecPower},   {"x^-2", ecIntPower},
      {"x^(-2)", ecIntPower}, {"x^0", ecIntPower}, {"x^1", ecIntPower},  {"x^5", ecIntPower},
      {"x^y", ecPower},       {"x^pi", ecPower},   {"x^(1+1)", ecPower}, {"x^20e-1", ecSquare},
  };
  // The power is the last operation of each list.
  for (const auto& c : cases) EXPECT_EQ(Codes(c.Text).back(), c.Code) << c.Text;
}

TEST(ExprParser, OperationsRunDeepestLevelFirstLeftToRight) {
  EXPECT_EQ(Codes("5").size(), 0u);
  EXPECT_EQ(Codes("(x)").size(), 0u);
  // (x*y) and sin(z) are both one level below the "+".
  EXPECT_EQ(Codes("x*y+sin(z)"), (std::vector<int16_t>{ecMultiply, ecSin, ecAdd}));
  EXPECT_EQ(Codes("sin(z)+x*y"), (std::vector<int16_t>{ecSin, ecMultiply, ecAdd}));
  EXPECT_EQ(Codes("-(x-y)/exp(x^2)"),
            (std::vector<int16_t>{ecSubtract, ecSquare, ecNegate, ecExp, ecDivide}));
}

TEST(ExprParser, LevelAndSegmentLimits) {
  EXPECT_TRUE(Compiles(Sum(31)));
  EXPECT_FALSE(Compiles(Sum(32)));
  // Brackets add no level; every negation or call does.
  std::string calls = "x";
  for (int i = 0; i < 30; ++i) calls = "sin(" + calls + ")";
  EXPECT_TRUE(Compiles(calls));
  EXPECT_FALSE(Compiles("sin(" + calls + ")"));
  std::string brackets = "x";
  for (int i = 0; i < 100; ++i) brackets = "(" + brackets + ")";
  EXPECT_TRUE(Compiles(brackets));
}

// A balanced tree whose 32 bottom nodes (level 5) are the given texts, written with as few
// brackets as the priorities allow: their operands lie on level 6.
std::string BalancedTree(const std::vector<std::string>& bottoms) {
  size_t next = 0;
  std::function<std::string(int)> level = [&](int k) -> std::string {
    switch (k) {
      case 1:
        return bottoms[next++];
      case 2:
        return level(1) + "*" + level(1);
      case 4:
      case 6: {
        const std::string left = level(k - 1);
        return "(" + left + ")*(" + level(k - 1) + ")";
      }
      default: {
        const std::string left = level(k - 1);
        return left + "+" + level(k - 1);
      }
    }
  };
  return level(6);
}

TEST(ExprParser, AtMostFiftySegmentsOnOneLevel) {
  std::vector<std::string> bottoms(32, "x^x");
  const std::string full = BalancedTree(bottoms);  // 64 segments on level 6
  ASSERT_LE(full.size(), 255u);
  EXPECT_FALSE(Compiles(full));
  for (size_t i = 25; i < 32; ++i) bottoms[i] = "x";
  EXPECT_TRUE(Compiles(BalancedTree(bottoms)));  // 50 segments
  bottoms[25] = "sin(x)";
  EXPECT_FALSE(Compiles(BalancedTree(bottoms)));  // 51 segments
}

// Remembered answers keep the recogniser's work polynomial: the plain recogniser needs
// astronomically many steps for these texts.
TEST(ExprParser, HardTextsTakeFewRecognitionSteps) {
  const auto repeat = [](const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
  };
  const std::string texts[] = {
      repeat("x+", 127) + "x",
      repeat("x*x-x^x/", 31) + "x+x^x-x",
      repeat("x*-2^", 50) + "2*2*2",
      repeat("-", 254) + "2",
      repeat("(x)+", 63) + "(x)",
      repeat("r(x,x)*", 36) + "x+x",
      repeat("min(", 36) + "x" + repeat(",x)", 36) + "+1",
  };
  for (const std::string& text : texts) {
    ASSERT_LE(text.size(), 255u);
    TExprParser parser(text, "txy", "abcd");
    parser.Classify(parser.Whole());
    EXPECT_LT(parser.Work(), 100000u) << text;
  }
}

TEST(ExprParser, TextIsCutTo255Characters) {
  // Whatever follows the 255th character is ignored.
  std::string text(254, '1');
  EXPECT_TRUE(Compiles(text + "2"));
  EXPECT_TRUE(Compiles(text + "2+"));  // the "+" is the 256th character
  TCompiledExpression compiled(text + "2+", "txy", "abcd");
  EXPECT_EQ(compiled.Text().size(), 255u);
}

}  // namespace
}  // namespace sarvanta
