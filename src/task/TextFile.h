// Whole text files written safely: into a temporary file beside the target, then renamed over
// it, so that an interrupted write never destroys the previous file.
#pragma once

#include <string>

namespace sarvanta {

// Throws EFileError "Cannot create file \"<name>\". <reason>" when the file cannot be written.
void WriteTextFile(const std::string& fileName, const std::string& text);

}  // namespace sarvanta
