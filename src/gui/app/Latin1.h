// Model text is 8-bit: every stored byte maps to one character and back (Latin-1), so that a
// name typed or loaded survives a round trip through the controls unchanged.
#pragma once

#include <QString>
#include <string>

namespace sarvanta {

inline QString ToQString(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToStdString(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace sarvanta
