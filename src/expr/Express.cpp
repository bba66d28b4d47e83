#include "expr/Express.h"

#include "expr/ExprParser.h"

#include <string>

namespace sarvanta {

TExpress::TExpress(TComponent* owner)
    : TComponent(owner), syntaxDialog_(std::make_unique<TSyntaxDialog>()) {
  for (const std::string& line : DefaultSyntaxText()) syntaxText_.Add(line);
}

TExpress::~TExpress() = default;

void TExpress::SetExpression(std::string_view text) {
  compiled_.reset();
  if (text.size() > static_cast<size_t>(TExprParser::kMaxText))
    throw EExpressError("The formula is " + std::to_string(text.size()) +
                        " characters long: a formula holds at most " +
                        std::to_string(TExprParser::kMaxText) + " characters");
  auto compiled = std::make_unique<TCompiledExpression>(text, variableList_, parameterList_);
  if (compiled->CompileError()) throw EExpressError();
  compiled->SetParameterValues(parameters_);
  expression_ = std::string(text);
  compiled_ = std::move(compiled);
}

void TExpress::SetVariableList(std::string_view names) {
  variableList_ = std::string(names.substr(0, TExprParser::kMaxVariables));
}

void TExpress::SetParameterList(std::string_view names) {
  parameterList_ = std::string(names.substr(0, TExprParser::kMaxParameters));
}

void TExpress::SetParameters(long double p1, long double p2, long double p3, long double p4,
                             long double p5, long double p6) {
  parameters_ = {p1, p2, p3, p4, p5, p6};
  if (compiled_) compiled_->SetParameterValues(parameters_);
}

long double TExpress::TheFunction(long double x, long double y, long double z) {
  return compiled_ ? compiled_->Evaluate(x, y, z) : 1.0L;
}

void TExpress::SetSyntaxText(const TStringList& lines) {
  if (&lines == &syntaxText_) return;
  syntaxText_.Clear();
  for (const auto& entry : lines) syntaxText_.Add(entry.Text, entry.Object);
}

}  // namespace sarvanta
