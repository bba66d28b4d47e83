// Helpers that every command of sarvanta-cli shares (Command.h).
#include "Command.h"

#include "base/Exception.h"
#include "model/ProjectFile.h"

#include <unistd.h>

#include <filesystem>
#include <string>

namespace sarvanta::cli {

std::string Printable(const std::string& text) {
  static const char digits[] = "0123456789abcdef";
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      shown += c;
    } else {
      shown += "\\x";
      shown += digits[byte >> 4];
      shown += digits[byte & 0xf];
    }
  }
  return shown;
}

void RefuseToReplaceInput(const std::string& output, const std::string& input) {
  if (IsSameFile(output, input))
    throw Exception("The output \"" + output + "\" is the input \"" + input +
                    "\": write to another file");
}

void RequireWritableFolder(const std::string& output) {
  const std::filesystem::path parent = std::filesystem::path(output).parent_path();
  const std::string folder = parent.empty() ? "." : parent.string();
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error))
    throw Exception("Cannot write file \"" + output + "\": the folder \"" + folder +
                    "\" does not exist");
  if (::access(folder.c_str(), W_OK) != 0)
    throw Exception("Cannot write file \"" + output + "\": the folder \"" + folder +
                    "\" cannot be written");
}

}  // namespace sarvanta::cli
