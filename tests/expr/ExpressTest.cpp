#include "base/Exception.h"
#include "expr/Express.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace sarvanta {
namespace {

// The settings every user of the component makes.
void UseTimeAndFourParameters(TExpress& express) {
  express.SetVariableList("txy");
  express.SetParameterList("abcd");
}

TEST(Express, NewComponentIsUncompiledAndReturnsOne) {
  TExpress express;
  EXPECT_EQ(express.Expression(), "x");
  EXPECT_EQ(express.VariableList(), "xyz");
  EXPECT_EQ(express.ParameterList(), "abcdef");
  EXPECT_FALSE(express.IsCompiled());
  EXPECT_EQ(express.TheFunction(5, 6, 7), 1.0L);
  EXPECT_EQ(express.TheFunction(0, 0, 0), 1.0L);
}

TEST(Express, CompiledTextEvaluatesWithTheVariableList) {
  TExpress express;
  UseTimeAndFourParameters(express);
  express.SetExpression("t*t");
  EXPECT_EQ(express.TheFunction(3, 0, 0), 9);
  // The default lists name x, y, z.
  TExpress defaults;
  defaults.SetExpression("x-y*z");
  EXPECT_EQ(defaults.TheFunction(10, 2, 3), 4);
}

TEST(Express, FailedWriteKeepsTheTextAndLeavesItUncompiled) {
  TExpress express;
  UseTimeAndFourParameters(express);
  express.SetParameters(2, 3, 4, 5, 1, 1);
  express.SetExpression("t+a");
  EXPECT_EQ(express.TheFunction(1, 0, 0), 3);
  try {
    express.SetExpression("2x");
    FAIL() << "no error";
  } catch (const EExpressError& error) {
    EXPECT_STREQ(error.what(), "Error in Expression");
  }
  EXPECT_EQ(express.Expression(), "t+a");
  EXPECT_FALSE(express.IsCompiled());
  EXPECT_EQ(express.TheFunction(1, 0, 0), 1.0L);
  EXPECT_EQ(express.Parameters()[0], 2);
  // The stored values come back with the next good text.
  express.SetExpression("a*b");
  EXPECT_EQ(express.TheFunction(0, 0, 0), 6);
  // A nesting too deep is refused in the same way.
  std::string deep = "t";
  for (int i = 0; i < 31; ++i) deep = "sin(" + deep + ")";
  EXPECT_THROW(express.SetExpression(deep), EExpressError);
  EXPECT_EQ(express.Expression(), "a*b");
}

TEST(Express, ParametersBeforeAndAfterCompiling) {
  TExpress express;
  UseTimeAndFourParameters(express);
  express.SetParameters(2, 3, 4, 5, 1, 1);
  express.SetExpression("a*b");
  EXPECT_EQ(express.TheFunction(0, 0, 0), 6);
  express.SetParameters(7, 2, 0, 0, 1, 1);
  EXPECT_EQ(express.TheFunction(0, 0, 0), 14);
  // New names take effect with the next write of the text only.
  express.SetParameterList("bacd");
  EXPECT_EQ(express.TheFunction(0, 0, 0), 14);
  express.SetExpression("a");
  EXPECT_EQ(express.TheFunction(0, 0, 0), 2);
  express.SetVariableList("ytx");
  EXPECT_EQ(express.VariableList(), "ytx");
  express.SetExpression("t");
  EXPECT_EQ(express.TheFunction(1, 2, 3), 2);
  // Lists are cut to their sizes.
  express.SetVariableList("uvwxyz");
  express.SetParameterList("abcdefgh");
  EXPECT_EQ(express.VariableList(), "uvw");
  EXPECT_EQ(express.ParameterList(), "abcdef");
}

TEST(Express, TextLongerThan255CharactersIsRefusedNotCut) {
  TExpress express;
  UseTimeAndFourParameters(express);
  const std::string full = "t+1." + std::string(251, '0');  // 255 characters
  express.SetExpression(full);
  EXPECT_EQ(express.Expression(), full);
  EXPECT_EQ(express.TheFunction(2, 0, 0), 3);

  // Cut after 255 characters, "t*111...1*0" would be t times a huge number, not 0.
  const std::string longer = "t*" + std::string(260, '1') + "*0";
  try {
    express.SetExpression(longer);
    ADD_FAILURE() << "a 264-character formula compiled";
  } catch (const EExpressError& e) {
    EXPECT_STREQ(e.what(),
                 "The formula is 264 characters long: a formula holds at most 255 characters");
  }
  EXPECT_FALSE(express.IsCompiled());
  EXPECT_EQ(express.Expression(), full);
  EXPECT_THROW(express.SetExpression(full + "+"), EExpressError);  // 256 characters
}

TEST(Express, RandomUseIsReported) {
  TExpress express;
  UseTimeAndFourParameters(express);
  EXPECT_FALSE(express.UsesRandom());
  express.SetExpression("t+rm(0,1)");
  EXPECT_TRUE(express.UsesRandom());
  express.SetExpression("t");
  EXPECT_FALSE(express.UsesRandom());
}

TEST(Express, VersionIsReadOnlyAndSyntaxTextIsCopied) {
  TExpress express;
  express.SetVersion("3.0");
  EXPECT_EQ(express.Version(), "2.5 August 99");
  const TStringList& help = express.SyntaxText();
  ASSERT_EQ(help.Count(), 59);
  EXPECT_EQ(help.Strings(18), "sin, cos, tan, cot, exp, ln, sqrt, arctan, ");
  EXPECT_EQ(help.Strings(38), "     ln(x*y)*lt(0.1,x*y)+ln(0.1)*le(x*y,0.1)  ");
  EXPECT_EQ(help.Strings(48), "that don't vary as much as the variables\"");
  // The help's own split-definition example is a valid text.
  TExpress example;
  example.SetExpression(help.Strings(38));
  EXPECT_EQ(example.TheFunction(0.5L, 4, 0), std::log(2.0L));
  TStringList lines;
  lines.Add("one");
  lines.Add("two");
  express.SetSyntaxText(lines);
  lines.Clear();
  ASSERT_EQ(express.SyntaxText().Count(), 2);
  EXPECT_EQ(express.SyntaxText().Strings(1), "two");
}

TEST(Express, OwnerFreesTheComponent) {
  TComponent owner;
  auto* express = new TExpress(&owner);
  express->SetExpression("x*2");
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), express);
}

}  // namespace
}  // namespace sarvanta
