#include "task/ReportTemplate.h"

#include <filesystem>

namespace sarvanta {

std::string ReportTemplateFolder() {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  const fs::path besideProgram = program.parent_path() / "Template";
  if (!error && fs::is_directory(besideProgram, error)) return besideProgram.string();
#ifdef SARVANTA_RESOURCES_DIR
  const fs::path sources = fs::path(SARVANTA_RESOURCES_DIR) / "Template";
  if (fs::is_directory(sources, error)) return sources.string();
#endif
  return besideProgram.string();
}

}  // namespace sarvanta
