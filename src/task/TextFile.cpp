#include "task/TextFile.h"

#include "base/Exception.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace sarvanta {

namespace {

[[noreturn]] void CannotCreate(const std::string& fileName, const std::string& reason) {
  throw EFileError("Cannot create file \"" + fileName + "\". " + reason);
}

}  // namespace

void WriteTextFile(const std::string& fileName, const std::string& text) {
  const std::string temporary = fileName + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) CannotCreate(fileName, std::strerror(errno));
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      CannotCreate(fileName, "The file could not be written.");
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, fileName, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    CannotCreate(fileName, error.message());
  }
}

}  // namespace sarvanta
