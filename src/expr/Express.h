// The expression component: how every formula user of the program holds, compiles and
// evaluates a formula.
//
// Usage: set VariableList ("txy") and ParameterList ("abcd"), optionally SetParameters, write
// the text with SetExpression (which throws EExpressError for a bad text), then call
// TheFunction(t, 0, 0) for each time t.
#pragma once

#include "base/Component.h"
#include "base/Exception.h"
#include "base/StringList.h"
#include "expr/CompiledExpression.h"
#include "expr/SyntaxText.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace sarvanta {

// A formula text that does not compile.
class EExpressError : public Exception {
 public:
  EExpressError() : Exception("Error in Expression") {}
  using Exception::Exception;
};

class TExpress : public TComponent {
 public:
  static constexpr std::string_view kVersion = "2.5 August 99";

  // Defaults: Expression "x", VariableList "xyz", ParameterList "abcdef", parameter values
  // 1.0, the help text as SyntaxText. Nothing is compiled: TheFunction returns 1.0.
  explicit TExpress(TComponent* owner = nullptr);
  ~TExpress() override;

  // The last text that compiled (or the default "x").
  const std::string& Expression() const { return expression_; }
  // Compiles the text with the present name lists. On success the stored parameter values
  // are loaded and TheFunction evaluates the text. On failure the component is left
  // uncompiled (TheFunction returns 1.0), Expression() keeps its previous text, and
  // EExpressError is thrown: "Error in Expression", or, for a text longer than the 255
  // characters that files hold, a message that says so (the text is never cut).
  void SetExpression(std::string_view text);

  // The names take effect at the next SetExpression.
  const TVarString& VariableList() const { return variableList_; }
  void SetVariableList(std::string_view names);  // cut to 3 characters
  const TParString& ParameterList() const { return parameterList_; }
  void SetParameterList(std::string_view names);  // cut to 6 characters

  // Stores the six parameter values and loads them into the compiled text at once, if any;
  // otherwise the next successful compile uses them.
  void SetParameters(long double p1, long double p2, long double p3, long double p4, long double p5,
                     long double p6);
  const std::array<long double, 6>& Parameters() const { return parameters_; }

  // The value of the expression for the three variable values, or 1.0 when uncompiled. Throws
  // EOverflow when a result leaves the extended range.
  long double TheFunction(long double x, long double y, long double z);

  bool IsCompiled() const { return compiled_ != nullptr; }
  // True when the compiled text draws from the shared random generator ("rn", "rm"): such
  // expressions must not be evaluated on several threads at once.
  bool UsesRandom() const { return compiled_ && compiled_->UsesRandom(); }
  // The compiled form, or nullptr when uncompiled.
  const TCompiledExpression* Compiled() const { return compiled_.get(); }

  const TStringList& SyntaxText() const { return syntaxText_; }
  // Replaces the lines with a copy of the given ones.
  void SetSyntaxText(const TStringList& lines);

  std::string Version() const { return std::string(kVersion); }
  // The version cannot be changed; writing it does nothing.
  void SetVersion(std::string_view) {}

  const TSyntaxDialog& SyntaxDialog() const { return *syntaxDialog_; }

 private:
  std::unique_ptr<TCompiledExpression> compiled_;
  TParString parameterList_ = "abcdef";
  TVarString variableList_ = "xyz";
  std::array<long double, 6> parameters_{1.0L, 1.0L, 1.0L, 1.0L, 1.0L, 1.0L};
  std::string expression_ = "x";
  TStringList syntaxText_;
  std::unique_ptr<TSyntaxDialog> syntaxDialog_;
};

// A component that only carries a formula text (of any length); it has no behaviour.
class TExpression : public TComponent {
 public:
  using TComponent::TComponent;
  std::string Expression;
};

}  // namespace sarvanta
