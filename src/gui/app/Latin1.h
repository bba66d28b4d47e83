// Model text is 8-bit: every stored byte maps to one character and back (Latin-1), so that a
// name typed or loaded survives a round trip through the controls unchanged.
#pragma once

#include <QString>
#include <string>

namespace sarvanta {

inline QString ToQString(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Whether every character of `text` is a Latin-1 character, that is, can be stored in a file.
inline bool IsLatin1(const QString& text) {
  for (const QChar c : text)
    if (c.unicode() > 0xFF) return false;
  return true;
}

inline std::string ToStdString(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace sarvanta
