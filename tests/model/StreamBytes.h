// Byte strings of the component stream, written out by hand in tests.
#pragma once

#include <initializer_list>
#include <string>

namespace sarvanta::streamtest {

inline std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

// A short string: one length byte, then the characters.
inline std::string Short(const std::string& text) {
  return std::string(1, static_cast<char>(text.size())) + text;
}

}  // namespace sarvanta::streamtest
