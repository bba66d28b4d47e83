// sarvanta-cli eval 'EXPR' [--t T] [--x X] [--y Y] [--params a,b,c,d]: the value of a formula
// of time, compiled as every formula of a model or task is (variables t, x, y; parameters a,
// b, c, d; the fifth and sixth parameters are 1), printed with 21 significant digits so that
// the exact extended value can be read back.
#include "Command.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "expr/Express.h"

#include <array>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace sarvanta::cli {
namespace {

struct TEvalOptions {
  // The formula and whatever follows "--": options may come after it there too, so that
  // "eval -- '-1' --t 2" works as "eval --t 2 -- '-1'".
  std::vector<std::string> Words;
  std::string T = "0";
  std::string X = "0";
  std::string Y = "0";
  std::string Params;
};

// "a,b,c,d": one to four reals; parameters not given keep the value 1.
std::array<long double, 4> ParseParameters(const std::string& text) {
  std::array<long double, 4> values{1, 1, 1, 1};
  if (text.empty()) return values;
  size_t count = 0, start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    if (count == values.size()) throw Exception("At most four parameter values (a,b,c,d)");
    values[count++] = StrToFloat(text.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return values;
}

// Takes the options that followed "--" (as "--t 2" or "--t=2") out of the words.
void TakeTrailingOptions(TEvalOptions& options) {
  const std::pair<const char*, std::string*> names[] = {
      {"--t", &options.T}, {"--x", &options.X}, {"--y", &options.Y}, {"--params", &options.Params}};
  for (size_t i = 1; i < options.Words.size(); ++i) {
    const std::string& word = options.Words[i];
    bool known = false;
    for (const auto& [name, value] : names) {
      const std::string prefix = std::string(name) + "=";
      if (word == name && i + 1 < options.Words.size()) {
        *value = options.Words[++i];
        known = true;
      } else if (word.rfind(prefix, 0) == 0) {
        *value = word.substr(prefix.size());
        known = true;
      }
      if (known) break;
    }
    if (!known)
      throw Exception("Unexpected argument \"" + word +
                      "\" after the formula (one formula; options --t, --x, --y, --params)");
  }
}

void PrintValue(TEvalOptions options) {
  TakeTrailingOptions(options);
  const long double t = StrToFloat(options.T);
  const long double x = StrToFloat(options.X);
  const long double y = StrToFloat(options.Y);
  const auto p = ParseParameters(options.Params);
  TExpress express;
  express.SetVariableList("txy");
  express.SetParameterList("abcd");
  express.SetParameters(p[0], p[1], p[2], p[3], 1, 1);
  express.SetExpression(options.Words.front());
  std::cout << FloatToStrDigits(express.TheFunction(t, x, y), 21) << '\n';
}

const TCommandRegistrar registrar([](CLI::App& app) {
  auto* command = app.add_subcommand(
      "eval",
      "Value of a formula of t, x, y with parameters a, b, c, d (put -- before a formula "
      "that begins with '-'; options may come before or after it)");
  auto options = std::make_shared<TEvalOptions>();
  command->add_option("EXPR", options->Words, "Formula, e.g. 4.5*t/(x^2-y)")->required();
  command->add_option("--t", options->T, "Value of t (default 0)");
  command->add_option("--x", options->X, "Value of x (default 0)");
  command->add_option("--y", options->Y, "Value of y (default 0)");
  command->add_option("--params", options->Params, "Values of a,b,c,d (default 1 each)");
  command->callback([options] { PrintValue(*options); });
});

}  // namespace
}  // namespace sarvanta::cli
