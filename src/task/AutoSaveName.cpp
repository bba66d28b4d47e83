#include "task/AutoSaveName.h"

#include <cctype>
#include <ctime>

namespace sarvanta {

TTimeOfDay LocalTimeOfDay() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

namespace {

constexpr size_t StampLength = 10;  // "(hh-mm-ss)"

bool IsStampAt(const std::string& name, size_t at) {
  if (name.size() < at + StampLength) return false;
  static constexpr std::string_view pattern = "(99-99-99)";
  for (size_t i = 0; i < StampLength; ++i) {
    const char c = name[at + i];
    const bool fits =
        pattern[i] == '9' ? std::isdigit(static_cast<unsigned char>(c)) != 0 : c == pattern[i];
    if (!fits) return false;
  }
  return true;
}

std::string TwoDigits(int value) {
  return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

}  // namespace

std::string AutoSaveName(std::string_view modelFileName, bool asNewFiles, const TTimeOfDay& now) {
  std::string name = modelFileName.empty() ? std::string("Reult") : std::string(modelFileName);
  if (!asNewFiles) return name;
  const size_t separator = name.find_last_of("/\\");
  const size_t fileStart = separator == std::string::npos ? 0 : separator + 1;
  const size_t bracket = name.find('(', fileStart);
  if (bracket != std::string::npos && IsStampAt(name, bracket)) name.erase(bracket, StampLength);
  const size_t dot = name.find('.', fileStart);
  if (dot == std::string::npos) return name;
  const std::string stamp =
      "(" + TwoDigits(now.Hour) + "-" + TwoDigits(now.Minute) + "-" + TwoDigits(now.Second) + ")";
  name.insert(dot, stamp);
  return name;
}

}  // namespace sarvanta
