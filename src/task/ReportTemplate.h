// Where the report's pictures are found: the "Template" folder beside the running program,
// else the one in the source tree's resources.
#pragma once

#include <string>

namespace sarvanta {

// The first of <program folder>/Template and <sources>/resources/Template that exists; the
// program folder's when neither does (the pictures are then simply not copied).
std::string ReportTemplateFolder();

}  // namespace sarvanta
