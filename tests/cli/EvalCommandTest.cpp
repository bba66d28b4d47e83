// sarvanta-cli eval, run as a user runs it: value on standard output, errors on standard
// error with exit code 1.
#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace sarvanta {
namespace {

namespace fs = std::filesystem;

struct TEvalRun {
  int Status = -1;
  std::string Out;
  std::string Err;
};

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEvalRun Eval(const std::vector<std::string>& arguments) {
  const fs::path err = fs::temp_directory_path() / "sarvanta-cli-eval-err";
  std::string command = Quoted(SARVANTA_CLI) + " eval";
  for (const std::string& argument : arguments) command += " " + Quoted(argument);
  command += " 2>" + Quoted(err.string());
  TEvalRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe)) run.Out += buffer;
  const int status = pclose(pipe);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Err = ReadAll(err);
  fs::remove(err);
  return run;
}

TEST(EvalCommand, PrintsTheValueWith21Digits) {
  const struct {
    std::vector<std::string> Arguments;
    std::string Expected;
  } cases[] = {
      {{"4.5*t/(x^2-y)", "--t", "2", "--x", "3", "--y", "1"}, "1.125"},
      {{"a*b+c-d", "--params", "2,3,4,5"}, "5"},
      {{"a+b+c+d"}, "4"},  // parameters default to 1
      {{"a*10+b", "--params", "7"}, "71"},
      {{"--t", "3", "--", "-t^2"}, "-9"},
      {{" 2 * t ", "--t", "0.25"}, "0.5"},
      {{"1/0"}, "0"},
  };
  for (const auto& c : cases) {
    const TEvalRun run = Eval(c.Arguments);
    EXPECT_EQ(run.Status, 0) << c.Arguments[0] << ": " << run.Err;
    EXPECT_EQ(run.Out, c.Expected + "\n") << c.Arguments[0];
  }
  // 21 digits give back the extended value exactly.
  const TEvalRun third = Eval({"1/3"});
  ASSERT_EQ(third.Status, 0);
  EXPECT_EQ(third.Out, "0.333333333333333333342\n");
  EXPECT_EQ(StrToFloat(third.Out.substr(0, third.Out.size() - 1)), 1.0L / 3);
  EXPECT_EQ(Eval({"pi"}).Out, "3.14159265358979323851\n");
}

TEST(EvalCommand, FailuresGoToStandardErrorWithExitCodeOne) {
  const struct {
    std::vector<std::string> Arguments;
    std::string Message;
  } cases[] = {
      {{"2x"}, "Error in Expression"},
      {{"cot(t)"}, "Error in Expression"},
      {{"exp(20000)"}, "Floating point overflow"},
      {{"t*t", "--t", "1e3000"}, "Floating point overflow"},
      {{"t", "--t", "abc"}, "'abc' is not a valid floating point value"},
      {{"a", "--params", "1,2,3,4,5"}, "At most four parameter values"},
      {{"a", "--params", "1,,2"}, "'' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    const TEvalRun run = Eval(c.Arguments);
    EXPECT_EQ(run.Status, 1) << c.Arguments[0];
    EXPECT_EQ(run.Out, "") << c.Arguments[0];
    EXPECT_NE(run.Err.find(c.Message), std::string::npos) << c.Arguments[0] << ": " << run.Err;
  }
}

}  // namespace
}  // namespace sarvanta
